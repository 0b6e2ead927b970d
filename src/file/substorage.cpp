#include "file/substorage.h"

#include <cstring>
#include <memory>

#include "file/contractfile.h"
#include "file/recordreader.h"
#include "file/recordwriter.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

uint32_t AddF64(uint32_t crc, double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return CheckValueAddNumber(crc, bits, 8);
}

} // namespace

void CSubStorageReader::FlushSubItems()
{
    if (m_pendingOwner)
        m_pendingOwner->m_SubItems.SetAll(m_pending);
    m_pending.clear();
    m_pendingOwner = nullptr;
}

void CSubStorageReader::NewTable(bool misc)
{
    FlushSubItems();
    // A second table of the same kind replaces (and frees) the first.
    auto table = std::make_unique<CWinMeta>();
    m_table = table.get();
    (misc ? m_contract.m_pMiscTable : m_contract.m_pSubTable) = std::move(table);
    m_subItem = nullptr;
    m_filter = nullptr;
}

void CSubStorageReader::Handle(uint16_t tag, const RecordValue& value)
{
    if (tag == 0x0C01 || tag == 0x0C02) {
        NewTable(tag == 0x0C02);
        return;
    }
    if (!m_table)
        return;
    switch (tag & 0xFF00) {
    case 0x0C00: HandleTable(tag, value); break;
    case 0x0D00:
        if (tag == 0x0D00)
            m_table->m_LabelLines.emplace_back(value.Text());
        break;
    case 0x0E00:
        if (tag == 0x0E00)
            m_table->m_Defaults.emplace_back(value.Text());
        break;
    case 0x0F00: HandleField(tag, value); break;
    case 0x1000: HandleRecord(tag, value); break;
    case 0x1200: HandleSubItem(tag, value); break; // outside a run (not expected)
    case 0x1300: HandleFilter(tag, value); break;
    default: break;
    }
}

void CSubStorageReader::HandleTable(uint16_t tag, const RecordValue& v)
{
    CWinMeta& t = *m_table;
    switch (tag) {
    case 0x0C13: v.AssignTo(t.m_strFontFace); break;
    case 0x0C14: t.m_iFontSize = v.I32(); break;
    case 0x0C06: t.m_wFlags = v.U16(); break;
    case 0x0C07: t.m_PercentFormat = NumberFormat::FromWord(v.U16()); break;
    case 0x0C08: t.m_fNumber1 = v.F64(); break;
    case 0x0C09: t.m_fSubTotal = v.F64(); break;
    case 0x0C0C: v.AssignTo(t.m_strText1); break;
    case 0x0C0E: v.AssignTo(t.m_strText2); break;
    case 0x0C0F: t.m_iNumber2 = v.I32(); break;
    default: break; // 0x0C00 and the counts
    }
}

void CSubStorageReader::HandleField(uint16_t tag, const RecordValue& v)
{
    if (tag == 0x0F00) {
        m_table->m_Fields.Add();
        return;
    }
    CFieldInfo* f = m_table->m_Fields.Last();
    if (!f)
        return;
    switch (tag) {
    case 0x0F01: f->m_wFlags = v.U16(); break;
    case 0x0F02: f->m_iCX = v.I32(); break;
    case 0x0F0C: f->m_iCY = v.I32(); break;
    case 0x0F03: f->m_iType = v.I32(); break;
    case 0x0F04: f->m_iListStart = v.I32(); break;
    case 0x0F05: f->m_iListEnd = v.I32(); break;
    case 0x0F06: f->m_iY = v.I32(); break;
    case 0x0F07: f->m_iX = v.I32(); break;
    case 0x0F08: f->m_iRequired = v.I32(); break;
    case 0x0F09: v.AssignTo(f->m_strName); break;
    case 0x0F0A: v.AssignTo(f->m_strListSource); break;
    case 0x0F0B: v.AssignTo(f->m_strHelp); break;
    default: break;
    }
}

void CSubStorageReader::HandleRecord(uint16_t tag, const RecordValue& v)
{
    if (tag == 0x1000) {
        FlushSubItems();
        auto rec = std::make_unique<CSubcontract>();
        rec->m_Cells.RemoveAll();
        m_table->m_Records.Add(std::move(rec));
        m_subItem = nullptr; // the new last record has no sub-items yet
        return;
    }
    CSubcontract* rec = m_table->m_Records.Last();
    if (!rec)
        return;
    if (tag == 0x1001) {
        rec->m_wFlags = v.U16();
        return;
    }
    if (tag == 0x1002) {
        rec->m_Cells.Add();
        return;
    }
    CCellData* cell = rec->m_Cells.Last();
    if (!cell)
        return;
    switch (tag) {
    case 0x1003: cell->m_i = v.I16(); break;
    case 0x1004: cell->m_wFlags = v.U16(); break;
    case 0x1005: v.AssignTo(cell->m_psz); break;
    default: break;
    }
}

void CSubStorageReader::HandleSubItem(uint16_t tag, const RecordValue& v)
{
    if (tag == 0x1202) {
        CSubcontract* rec = m_table->m_Records.Last();
        if (!rec) {
            m_subItem = nullptr;
            return;
        }
        if (rec != m_pendingOwner) {
            FlushSubItems();
            m_pendingOwner = rec;
        }
        m_pending.emplace_back(std::string(v.Text()), std::make_unique<CSubItem>());
        m_subItem = m_pending.back().second.get();
        return;
    }
    if (!m_subItem)
        return;
    CSubItem& s = *m_subItem;
    switch (tag) {
    case 0x1203: s.m_wFlags = v.U16(); break;
    case 0x1204: s.m_fQuan = v.F64(); break;
    case 0x1205: s.m_fUP = v.F64(); break;
    case 0x1206: s.m_fExt = v.F64(); break;
    case 0x1207: s.m_fOrigQuan = v.F64(); break;
    case 0x1208: v.AssignTo(s.m_strUnitType); break;
    case 0x1209: v.AssignTo(s.m_strUnitValue); break;
    case 0x120A: v.AssignTo(s.m_strRemarks); break;
    case 0x120B: v.AssignTo(s.m_strExtra[0]); break;
    case 0x120C: v.AssignTo(s.m_strExtra[1]); break;
    case 0x120D: v.AssignTo(s.m_strExtra[2]); break;
    default: break; // 0x1200
    }
}

namespace {

[[gnu::always_inline]] inline void Store(const RecordValue& v, uint16_t& member)
{
    member = v.U16();
}
[[gnu::always_inline]] inline void Store(const RecordValue& v, double& member)
{
    member = v.F64();
}
[[gnu::always_inline]] inline void Store(const RecordValue& v, Text& member)
{
    v.AssignTo(member);
}

// The records that follow a sub-item's key, in the order WriteSubTable
// writes them, read without a dispatch per record. Returns 1 when all were
// read, 0 at the first record out of that order (left in tag and v, not yet
// handled), and -1 when the records ended.
int ReadSubItemFields(CRecordReader& reader, uint16_t& tag, RecordValue& v, CSubItem& s)
{
    auto next = [&](uint16_t want) __attribute__((always_inline))
    {
        return !reader.Next(tag, v) ? -1 : tag == want ? 1 : 0;
    };
    auto field = [&](uint16_t want, auto& member) __attribute__((always_inline))
    {
        const int r = next(want);
        if (r == 1)
            Store(v, member);
        return r;
    };
    int r;
    if ((r = next(0x1200)) != 1 || (r = field(0x1203, s.m_wFlags)) != 1 ||
        (r = field(0x1204, s.m_fQuan)) != 1 || (r = field(0x1205, s.m_fUP)) != 1 ||
        (r = field(0x1206, s.m_fExt)) != 1 || (r = field(0x1207, s.m_fOrigQuan)) != 1 ||
        (r = field(0x1208, s.m_strUnitType)) != 1 || (r = field(0x1209, s.m_strUnitValue)) != 1 ||
        (r = field(0x120A, s.m_strRemarks)) != 1 || (r = field(0x120B, s.m_strExtra[0])) != 1 ||
        (r = field(0x120C, s.m_strExtra[1])) != 1 || (r = field(0x120D, s.m_strExtra[2])) != 1)
        return r;
    return 1;
}

} // namespace

bool CSubStorageReader::ReadSubItemRun(CRecordReader& reader, uint16_t& tag, RecordValue& value)
{
    for (;;) {
        if ((tag & 0xFF00) != 0x1200)
            return true;
        if (m_table)
            HandleSubItem(tag, value);
        if (tag == 0x1202 && m_subItem) {
            const int read = ReadSubItemFields(reader, tag, value, *m_subItem);
            if (read < 0)
                return false;
            if (read == 0)
                continue; // a record out of the usual order, handled as any other
        }
        if (!reader.Next(tag, value))
            return false;
    }
}

void CSubStorageReader::HandleFilter(uint16_t tag, const RecordValue& v)
{
    if (tag == 0x1301) {
        m_filter = m_table->m_Filters.SetAt(v.Text());
        return;
    }
    if (!m_filter)
        return;
    switch (tag) {
    case 0x1302: m_filter->m_iStart = v.I32(); break;
    case 0x1303: m_filter->m_iEnd = v.I32(); break;
    case 0x1304:
    case 0x1305:
    case 0x1306:
    case 0x1307:
    case 0x1308: v.AssignTo(m_filter->m_strPattern[static_cast<size_t>(tag - 0x1304)]); break;
    default: break; // 0x1300
    }
}

void WriteSubTable(CRecordWriter& w, const CWinMeta& t, bool misc)
{
    w.Start(0x0C00);
    w.Start(misc ? 0x0C02 : 0x0C01);

    const int fieldCount = t.m_Fields.GetSize();
    w.Count(0x0C03, static_cast<size_t>(fieldCount));
    for (const auto& f : t.m_Fields) {
        w.Start(0x0F00);
        w.U16(0x0F01, f->m_wFlags);
        w.U16(0x0F02, static_cast<uint32_t>(f->m_iCX));
        w.U16(0x0F0C, static_cast<uint32_t>(f->m_iCY));
        w.U16(0x0F03, static_cast<uint32_t>(f->m_iType));
        w.U16(0x0F04, static_cast<uint32_t>(f->m_iListStart));
        w.U16(0x0F05, static_cast<uint32_t>(f->m_iListEnd));
        w.U16(0x0F06, static_cast<uint32_t>(f->m_iY));
        w.U16(0x0F07, static_cast<uint32_t>(f->m_iX));
        w.U16(0x0F08, static_cast<uint32_t>(f->m_iRequired));
        w.Str(0x0F09, f->m_strName);
        w.Str(0x0F0A, f->m_strListSource);
        w.Str(0x0F0B, f->m_strHelp);
    }

    w.Count(0x0C05, static_cast<size_t>(t.m_Records.GetSize()));
    for (const auto& rec : t.m_Records) {
        w.Start(0x1000);
        w.U16(0x1001, rec->m_wFlags);
        for (int j = 0; j < fieldCount; ++j) {
            const CCellData* cell = rec->m_Cells.GetAt(j);
            w.Start(0x1002);
            w.U16(0x1003, cell ? static_cast<uint16_t>(cell->m_i) : 0);
            w.U16(0x1004, cell ? cell->m_wFlags : 0);
            w.Str(0x1005, cell ? TextView(cell->m_psz) : std::string_view());
        }
        rec->m_SubItems.ForEach([&](const std::string& key, const CSubItem& s) {
            w.Str(0x1202, key);
            w.Start(0x1200);
            w.U16(0x1203, s.m_wFlags);
            w.F64(0x1204, s.m_fQuan);
            w.F64(0x1205, s.m_fUP);
            w.F64(0x1206, s.m_fExt);
            w.F64(0x1207, s.m_fOrigQuan);
            w.Str(0x1208, s.m_strUnitType);
            w.Str(0x1209, s.m_strUnitValue);
            w.Str(0x120A, s.m_strRemarks);
            w.Str(0x120B, s.m_strExtra[0]);
            w.Str(0x120C, s.m_strExtra[1]);
            w.Str(0x120D, s.m_strExtra[2]);
        });
    }

    w.Count(0x0C04, t.m_LabelLines.size());
    for (const auto& line : t.m_LabelLines)
        w.Str(0x0D00, line);
    w.Str(0x0C13, t.m_strFontFace);
    w.U16(0x0C14, static_cast<uint32_t>(t.m_iFontSize));
    if (misc)
        return;

    w.U16(0x0C06, t.m_wFlags);
    w.U16(0x0C07, t.m_PercentFormat.Word());
    w.F64(0x0C08, t.m_fNumber1);
    w.F64(0x0C09, t.m_fSubTotal);
    w.Str(0x0C0C, t.m_strText1);
    w.Str(0x0C0E, t.m_strText2);
    w.U16(0x0C0F, static_cast<uint32_t>(t.m_iNumber2));
    w.Count(0x0C0D, t.m_Defaults.size());
    for (const auto& d : t.m_Defaults)
        w.Str(0x0E00, d);
    w.Count(0x0C12, 17);
    t.m_Filters.ForEach([&](const std::string& name, const CDataFilter& f) {
        w.Start(0x1300);
        w.Str(0x1301, name);
        w.U16(0x1302, static_cast<uint32_t>(f.m_iStart));
        w.U16(0x1303, static_cast<uint32_t>(f.m_iEnd));
        for (size_t i = 0; i < f.m_strPattern.size(); ++i)
            w.Str(static_cast<uint16_t>(0x1304 + i), f.m_strPattern[i]);
    });
}

void FinishSubTables(CContract& contract)
{
    if (CWinMeta* sub = contract.m_pSubTable.get()) {
        sub->LinkParents();
        sub->RenewTierBits();
        sub->UpdateCompleteness(-1, FlagTest(contract.m_wFlags, CONTRACT_IRONBARK_LOCKED));
    }
    if (CWinMeta* misc = contract.m_pMiscTable.get()) {
        misc->RenewTierBits();
        misc->UpdateCompleteness(-1, false);
    }
}

uint32_t CheckValueAddTable(uint32_t crc, const CWinMeta& t)
{
    const int columns = t.m_Fields.GetSize();
    for (const auto& rec : t.m_Records) {
        // A missing cell counts as the writer stores it (no text, position
        // 0, flags 0), so a save and a reread keep the value.
        for (int j = 0; j < columns; ++j) {
            const CCellData* cell = rec->m_Cells.GetAt(j);
            if (!cell) {
                crc = CheckValueAddNumber(crc, 0, 4);
                continue;
            }
            crc = CheckValueAddText(crc, cell->m_psz);
            crc = CheckValueAddNumber(crc, static_cast<uint16_t>(cell->m_i), 2);
            crc = CheckValueAddNumber(crc, cell->m_wFlags, 2);
        }
        rec->m_SubItems.ForEach([&](const std::string&, const CSubItem& s) {
            crc = AddF64(crc, s.m_fQuan);
            crc = AddF64(crc, s.m_fUP);
            crc = AddF64(crc, s.m_fExt);
            crc = AddF64(crc, s.m_fOrigQuan);
            crc = CheckValueAddText(crc, s.m_strRemarks);
            crc = CheckValueAddText(crc, s.m_strUnitType);
            crc = CheckValueAddText(crc, s.m_strUnitValue);
        });
    }
    return crc;
}

} // namespace kestrel
