// The check value: a reflected 32-bit CRC (polynomial 0xA0000001, initial
// value 0, no final inversion) over the contract's identifying fields and
// the subcontract tables.

#include <array>
#include <cstdint>

#include "model/contract/contract.h"
#include "model/contract/contractfile.h"
#include "model/subcontract/substorage.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

constexpr uint32_t kPoly = 0xA0000001u;

// One byte step per table entry: the eight bit steps taken at once.
constexpr std::array<uint32_t, 256> MakeTable()
{
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? (c >> 1) ^ kPoly : c >> 1;
        t[i] = c;
    }
    return t;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

} // namespace

uint32_t CheckValueAdd(uint32_t crc, const void* data, size_t size)
{
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i)
        crc = kTable[(crc ^ p[i]) & 0xFFu] ^ (crc >> 8);
    return crc;
}

uint32_t CheckValueAddNumber(uint32_t crc, uint64_t value, int bytes)
{
    unsigned char b[8];
    for (int i = 0; i < bytes && i < 8; ++i)
        b[i] = static_cast<unsigned char>(value >> (8 * i));
    return CheckValueAdd(crc, b, static_cast<size_t>(bytes < 8 ? bytes : 8));
}

uint32_t CheckValueAddText(uint32_t crc, const Text& text)
{
    std::string_view s = TextView(text);
    s = s.substr(0, s.find('\0'));
    return CheckValueAdd(crc, s.data(), s.size());
}

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
