#include "file/substorage.h"

#include <cstring>
#include <memory>

#include "file/contractfile.h"
#include "file/recordreader.h"
#include "file/recordtags.h"
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
    if (tag == TAG_SUB_TABLE || tag == TAG_MISC_TABLE) {
        NewTable(tag == TAG_MISC_TABLE);
        return;
    }
    if (!m_table)
        return;
    switch (GroupOf(tag)) {
    case GROUP_TABLE: HandleTable(tag, value); break;
    case GROUP_LABEL_LINE:
        if (tag == TAG_LABEL_LINE)
            m_table->m_LabelLines.emplace_back(value.Text());
        break;
    case GROUP_DEFAULT:
        if (tag == TAG_DEFAULT)
            m_table->m_Defaults.emplace_back(value.Text());
        break;
    case GROUP_FIELD: HandleField(tag, value); break;
    case GROUP_RECORD: HandleRecord(tag, value); break;
    case GROUP_SUBITEM: HandleSubItem(tag, value); break; // outside a run (not expected)
    case GROUP_FILTER: HandleFilter(tag, value); break;
    default: break;
    }
}

void CSubStorageReader::HandleTable(uint16_t tag, const RecordValue& v)
{
    CWinMeta& t = *m_table;
    switch (tag) {
    case TAG_FONT_FACE: v.AssignTo(t.m_strFontFace); break;
    case TAG_FONT_SIZE: t.m_iFontSize = v.I32(); break;
    case TAG_TABLE_FLAGS: t.m_wFlags = v.U16(); break;
    case TAG_PERCENT_FORMAT: t.m_PercentFormat = NumberFormat::FromWord(v.U16()); break;
    case TAG_TABLE_NUMBER1: t.m_fNumber1 = v.F64(); break;
    case TAG_SUBCONTRACTED_TOTAL: t.m_fSubTotal = v.F64(); break;
    case TAG_TABLE_TEXT1: v.AssignTo(t.m_strText1); break;
    case TAG_TABLE_TEXT2: v.AssignTo(t.m_strText2); break;
    case TAG_TABLE_NUMBER2: t.m_iNumber2 = v.I32(); break;
    default: break; // the group start and the counts
    }
}

void CSubStorageReader::HandleField(uint16_t tag, const RecordValue& v)
{
    if (tag == TAG_FIELD) {
        m_table->m_Fields.Add();
        return;
    }
    CFieldInfo* f = m_table->m_Fields.Last();
    if (!f)
        return;
    switch (tag) {
    case TAG_FIELD_FLAGS: f->m_wFlags = v.U16(); break;
    case TAG_FIELD_CX: f->m_iCX = v.I32(); break;
    case TAG_FIELD_CY: f->m_iCY = v.I32(); break;
    case TAG_FIELD_TYPE: f->m_iType = v.I32(); break;
    case TAG_FIELD_LIST_START: f->m_iListStart = v.I32(); break;
    case TAG_FIELD_LIST_END: f->m_iListEnd = v.I32(); break;
    case TAG_FIELD_Y: f->m_iY = v.I32(); break;
    case TAG_FIELD_X: f->m_iX = v.I32(); break;
    case TAG_FIELD_REQUIRED: f->m_iRequired = v.I32(); break;
    case TAG_FIELD_NAME: v.AssignTo(f->m_strName); break;
    case TAG_FIELD_LIST_SOURCE: v.AssignTo(f->m_strListSource); break;
    case TAG_FIELD_HELP: v.AssignTo(f->m_strHelp); break;
    default: break;
    }
}

void CSubStorageReader::HandleRecord(uint16_t tag, const RecordValue& v)
{
    if (tag == TAG_RECORD) {
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
    if (tag == TAG_RECORD_FLAGS) {
        rec->m_wFlags = v.U16();
        return;
    }
    if (tag == TAG_CELL) {
        rec->m_Cells.Add();
        return;
    }
    CCellData* cell = rec->m_Cells.Last();
    if (!cell)
        return;
    switch (tag) {
    case TAG_CELL_INDEX: cell->m_i = v.I16(); break;
    case TAG_CELL_FLAGS: cell->m_wFlags = v.U16(); break;
    case TAG_CELL_TEXT: v.AssignTo(cell->m_psz); break;
    default: break;
    }
}

void CSubStorageReader::HandleSubItem(uint16_t tag, const RecordValue& v)
{
    if (tag == TAG_SUBITEM_KEY) {
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
    case TAG_SUBITEM_FLAGS: s.m_wFlags = v.U16(); break;
    case TAG_SUBITEM_QUANTITY: s.m_fQuan = v.F64(); break;
    case TAG_SUBITEM_UNIT_PRICE: s.m_fUP = v.F64(); break;
    case TAG_SUBITEM_EXTENSION: s.m_fExt = v.F64(); break;
    case TAG_SUBITEM_ORIG_QUANTITY: s.m_fOrigQuan = v.F64(); break;
    case TAG_SUBITEM_UNIT_TYPE: v.AssignTo(s.m_strUnitType); break;
    case TAG_SUBITEM_UNIT_VALUE: v.AssignTo(s.m_strUnitValue); break;
    case TAG_SUBITEM_REMARKS: v.AssignTo(s.m_strRemarks); break;
    case TAG_SUBITEM_EXTRA:
    case TAG_SUBITEM_EXTRA + 1:
    case TAG_SUBITEM_EXTRA + 2: v.AssignTo(s.m_strExtra[static_cast<size_t>(tag - TAG_SUBITEM_EXTRA)]); break;
    default: break; // the group start
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
    if ((r = next(TAG_SUBITEM)) != 1 || (r = field(TAG_SUBITEM_FLAGS, s.m_wFlags)) != 1 ||
        (r = field(TAG_SUBITEM_QUANTITY, s.m_fQuan)) != 1 ||
        (r = field(TAG_SUBITEM_UNIT_PRICE, s.m_fUP)) != 1 ||
        (r = field(TAG_SUBITEM_EXTENSION, s.m_fExt)) != 1 ||
        (r = field(TAG_SUBITEM_ORIG_QUANTITY, s.m_fOrigQuan)) != 1 ||
        (r = field(TAG_SUBITEM_UNIT_TYPE, s.m_strUnitType)) != 1 ||
        (r = field(TAG_SUBITEM_UNIT_VALUE, s.m_strUnitValue)) != 1 ||
        (r = field(TAG_SUBITEM_REMARKS, s.m_strRemarks)) != 1 ||
        (r = field(TAG_SUBITEM_EXTRA, s.m_strExtra[0])) != 1 ||
        (r = field(TAG_SUBITEM_EXTRA + 1, s.m_strExtra[1])) != 1 ||
        (r = field(TAG_SUBITEM_EXTRA + 2, s.m_strExtra[2])) != 1)
        return r;
    return 1;
}

} // namespace

bool CSubStorageReader::ReadSubItemRun(CRecordReader& reader, uint16_t& tag, RecordValue& value)
{
    for (;;) {
        if (GroupOf(tag) != GROUP_SUBITEM)
            return true;
        if (tag == TAG_SUBITEM_KEY && !m_budget.Take())
            return false;
        if (m_table)
            HandleSubItem(tag, value);
        if (tag == TAG_SUBITEM_KEY && m_subItem) {
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
    if (tag == TAG_FILTER_NAME) {
        m_filter = m_table->m_Filters.SetAt(v.Text());
        return;
    }
    if (!m_filter)
        return;
    switch (tag) {
    case TAG_FILTER_START: m_filter->m_iStart = v.I32(); break;
    case TAG_FILTER_END: m_filter->m_iEnd = v.I32(); break;
    case TAG_FILTER_PATTERN:
    case TAG_FILTER_PATTERN + 1:
    case TAG_FILTER_PATTERN + 2:
    case TAG_FILTER_PATTERN + 3:
    case TAG_FILTER_PATTERN + 4:
        v.AssignTo(m_filter->m_strPattern[static_cast<size_t>(tag - TAG_FILTER_PATTERN)]);
        break;
    default: break; // the group start
    }
}

void WriteSubTable(CRecordWriter& w, const CWinMeta& t, bool misc)
{
    w.Start(TAG_TABLE);
    w.Start(misc ? TAG_MISC_TABLE : TAG_SUB_TABLE);

    const int fieldCount = t.m_Fields.GetSize();
    w.Count(TAG_FIELD_COUNT, static_cast<size_t>(fieldCount));
    for (const auto& f : t.m_Fields) {
        w.Start(TAG_FIELD);
        w.U16(TAG_FIELD_FLAGS, f->m_wFlags);
        w.U16(TAG_FIELD_CX, static_cast<uint32_t>(f->m_iCX));
        w.U16(TAG_FIELD_CY, static_cast<uint32_t>(f->m_iCY));
        w.U16(TAG_FIELD_TYPE, static_cast<uint32_t>(f->m_iType));
        w.U16(TAG_FIELD_LIST_START, static_cast<uint32_t>(f->m_iListStart));
        w.U16(TAG_FIELD_LIST_END, static_cast<uint32_t>(f->m_iListEnd));
        w.U16(TAG_FIELD_Y, static_cast<uint32_t>(f->m_iY));
        w.U16(TAG_FIELD_X, static_cast<uint32_t>(f->m_iX));
        w.U16(TAG_FIELD_REQUIRED, static_cast<uint32_t>(f->m_iRequired));
        w.Str(TAG_FIELD_NAME, f->m_strName);
        w.Str(TAG_FIELD_LIST_SOURCE, f->m_strListSource);
        w.Str(TAG_FIELD_HELP, f->m_strHelp);
    }

    w.Count(TAG_RECORD_COUNT, static_cast<size_t>(t.m_Records.GetSize()));
    for (const auto& rec : t.m_Records) {
        w.Start(TAG_RECORD);
        w.U16(TAG_RECORD_FLAGS, rec->m_wFlags);
        for (int j = 0; j < fieldCount; ++j) {
            const CCellData* cell = rec->m_Cells.GetAt(j);
            w.Start(TAG_CELL);
            w.U16(TAG_CELL_INDEX, cell ? static_cast<uint16_t>(cell->m_i) : 0);
            w.U16(TAG_CELL_FLAGS, cell ? cell->m_wFlags : 0);
            w.Str(TAG_CELL_TEXT, cell ? TextView(cell->m_psz) : std::string_view());
        }
        // Oldest first within each bucket, so that reading them back
        // rebuilds the map order (see the contract file's maps).
        rec->m_SubItems.ForEachOldestFirst([&](const std::string& key, const CSubItem& s) {
            w.Str(TAG_SUBITEM_KEY, key);
            w.Start(TAG_SUBITEM);
            w.U16(TAG_SUBITEM_FLAGS, s.m_wFlags);
            w.F64(TAG_SUBITEM_QUANTITY, s.m_fQuan);
            w.F64(TAG_SUBITEM_UNIT_PRICE, s.m_fUP);
            w.F64(TAG_SUBITEM_EXTENSION, s.m_fExt);
            w.F64(TAG_SUBITEM_ORIG_QUANTITY, s.m_fOrigQuan);
            w.Str(TAG_SUBITEM_UNIT_TYPE, s.m_strUnitType);
            w.Str(TAG_SUBITEM_UNIT_VALUE, s.m_strUnitValue);
            w.Str(TAG_SUBITEM_REMARKS, s.m_strRemarks);
            for (size_t i = 0; i < s.m_strExtra.size(); ++i)
                w.Str(static_cast<uint16_t>(TAG_SUBITEM_EXTRA + i), s.m_strExtra[i]);
        });
    }

    w.Count(TAG_LABEL_LINE_COUNT, t.m_LabelLines.size());
    for (const auto& line : t.m_LabelLines)
        w.Str(TAG_LABEL_LINE, line);
    w.Str(TAG_FONT_FACE, t.m_strFontFace);
    w.U16(TAG_FONT_SIZE, static_cast<uint32_t>(t.m_iFontSize));
    if (misc)
        return;

    w.U16(TAG_TABLE_FLAGS, t.m_wFlags);
    w.U16(TAG_PERCENT_FORMAT, t.m_PercentFormat.Word());
    w.F64(TAG_TABLE_NUMBER1, t.m_fNumber1);
    w.F64(TAG_SUBCONTRACTED_TOTAL, t.m_fSubTotal);
    w.Str(TAG_TABLE_TEXT1, t.m_strText1);
    w.Str(TAG_TABLE_TEXT2, t.m_strText2);
    w.U16(TAG_TABLE_NUMBER2, static_cast<uint32_t>(t.m_iNumber2));
    w.Count(TAG_DEFAULT_COUNT, t.m_Defaults.size());
    for (const auto& d : t.m_Defaults)
        w.Str(TAG_DEFAULT, d);
    w.Count(TAG_FILTER_COUNT, kMapBuckets);
    t.m_Filters.ForEachOldestFirst([&](const std::string& name, const CDataFilter& f) {
        w.Start(TAG_FILTER);
        w.Str(TAG_FILTER_NAME, name);
        w.U16(TAG_FILTER_START, static_cast<uint32_t>(f.m_iStart));
        w.U16(TAG_FILTER_END, static_cast<uint32_t>(f.m_iEnd));
        for (size_t i = 0; i < f.m_strPattern.size(); ++i)
            w.Str(static_cast<uint16_t>(TAG_FILTER_PATTERN + i), f.m_strPattern[i]);
    });
}

bool SubTablesFit(const CContract& contract, size_t limit)
{
    for (const CWinMeta* t : {contract.m_pSubTable.get(), contract.m_pMiscTable.get()}) {
        if (t && uint64_t(t->m_Fields.GetSize()) * uint64_t(t->m_Records.GetSize()) > limit)
            return false;
    }
    return true;
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
