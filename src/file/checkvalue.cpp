// The check value: a reflected 32-bit CRC (polynomial 0xA0000001, initial
// value 0, no final inversion) over the contract's identifying fields and
// the subcontract tables.

#include <array>
#include <cstdint>

#include "file/checkvalue.h"

#include "file/contractfile.h"
#include "file/substorage.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

constexpr uint32_t kPoly = 0xA0000001u;

constexpr std::array<std::array<uint32_t, 256>, 8> MakeTables()
{
    std::array<std::array<uint32_t, 256>, 8> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? (c >> 1) ^ kPoly : c >> 1;
        t[0][i] = c;
    }
    for (size_t k = 1; k < 8; ++k)
        for (size_t i = 0; i < 256; ++i)
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu];
    return t;
}

} // namespace

const std::array<std::array<uint32_t, 256>, 8> kCheckValueTables = MakeTables();

uint32_t ComputeCheckValue(const CContract& c)
{
    uint32_t crc = 0;
    crc = CheckValueAddNumber(crc, static_cast<uint32_t>(c.iAmendCount), 2);
    crc = CheckValueAddNumber(crc, c.dLetingDate, 4);
    crc = CheckValueAddNumber(crc, c.dDateGenerated, 4);
    crc = CheckValueAddNumber(crc, static_cast<uint32_t>(c.m_Items.GetSize()), 2);
    crc = CheckValueAddText(crc, c.pszLettingID());
    crc = CheckValueAddText(crc, c.pszCallOrder());
    crc = CheckValueAddText(crc, c.pszContractID());
    crc = CheckValueAddText(crc, c.pszSerialNum());
    if (c.m_pSubTable)
        crc = CheckValueAddTable(crc, *c.m_pSubTable);
    if (FlagTest(c.m_wFlags, CONTRACT_HAS_MISC) && c.m_pMiscTable)
        crc = CheckValueAddTable(crc, *c.m_pMiscTable);
    return crc;
}

} // namespace kestrel
