#include "model/subcontract/remarkstamp.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>

#include "model/contract/contract.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/texttrim.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

constexpr const char* kRemarkKind = "GEN ";
constexpr const char* kRemarkSequence = "001";

void SetIfPresent(CSubcontract& rec, int field, const char* text)
{
    if (CCellData* cell = rec.GetCell(field))
        cell->m_psz = std::string(text);
}

void StampRow(CSubcontract& rec, const RandomSource& next)
{
    const Text* remark = rec.GetCellText(SUBF_REMARK);
    const bool blank = !remark || IsBlankText(*remark);
    SetIfPresent(rec, SUBF_REMARK_KIND, blank ? "" : kRemarkKind);
    SetIfPresent(rec, SUBF_REMARK_SEQ, blank ? "" : kRemarkSequence);
    if (CCellData* id = rec.GetCell(SUBF_REMARK_ID)) {
        const bool idBlank = IsBlankText(id->m_psz);
        if (idBlank && !blank)
            id->m_psz = NewRemarkId(next);
        else if (!idBlank && blank)
            id->m_psz = std::string();
    }
}

void StampSubItem(CSubItem& si, const RandomSource& next)
{
    if (si.m_strRemarks)
        si.m_strRemarks = std::string(TrimWhite(TextView(si.m_strRemarks)));
    const bool empty = TextEmpty(si.m_strRemarks);
    si.m_strExtra[1] = std::string(empty ? "" : kRemarkKind);
    si.m_strExtra[2] = std::string(empty ? "" : kRemarkSequence);
    if (TextEmpty(si.m_strExtra[0]) && !empty)
        si.m_strExtra[0] = NewRemarkId(next);
    else if (!TextEmpty(si.m_strExtra[0]) && empty)
        si.m_strExtra[0] = std::string();
}

} // namespace

std::string NewRemarkId(const RandomSource& next)
{
    std::array<unsigned, 7> v{};
    for (unsigned& x : v)
        x = static_cast<unsigned>(static_cast<double>(std::clamp(next(), 0, 32767)) / 32767.0 * 9999.0);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4u%.4u%.4u%.4u%.4u%.4u%.4u", v[6], v[5], v[4], v[3], v[2], v[1], v[0]);
    return buf;
}

void StampRemarks(CContract& contract, const RandomSource& next)
{
    CWinMeta* table = contract.m_pSubTable.get();
    if (!table)
        return;
    for (const auto& rec : table->m_Records) {
        StampRow(*rec, next);
        rec->m_SubItems.ForEach([&](const std::string&, CSubItem& si) { StampSubItem(si, next); });
    }
}

void StampRemarks(CContract& contract)
{
    // Seeded once per save: rows stamped within the same second still get
    // different identifiers.
    CRemarkRandom random(static_cast<uint32_t>(std::time(nullptr)));
    StampRemarks(contract, [&random] { return random.Next(); });
}

} // namespace kestrel
