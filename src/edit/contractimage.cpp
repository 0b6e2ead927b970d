#include "edit/contractimage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_set>
#include <utility>

#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameCell(const CCellData& a, const CCellData& b)
{
    return a.m_wFlags == b.m_wFlags && a.m_i == b.m_i && a.m_psz == b.m_psz;
}

bool SameSubItem(const CSubItem& a, const CSubItem& b)
{
    return a.m_wFlags == b.m_wFlags && SameBits(a.m_fQuan, b.m_fQuan) && SameBits(a.m_fUP, b.m_fUP) &&
           SameBits(a.m_fExt, b.m_fExt) && SameBits(a.m_fOrigQuan, b.m_fOrigQuan) &&
           a.m_strUnitType == b.m_strUnitType && a.m_strUnitValue == b.m_strUnitValue &&
           a.m_strRemarks == b.m_strRemarks && a.m_strExtra == b.m_strExtra;
}

struct TableHead {
    bool present = false;
    uint16_t flags = 0;
    double total = 0;
};

struct HeaderPart {
    uint16_t flags = 0;
    double contractTotal = 0;
    TableHead sub;
    TableHead misc;
};

// The flags and the amount cell of one record: what the follow-up renews in
// records the change itself did not touch.
struct RecordState {
    CSubcontract* record = nullptr;
    uint16_t flags = 0;
    bool hasAmount = false;
    CCellData amount;
};

RecordState StateOf(CSubcontract& record)
{
    RecordState s;
    s.record = &record;
    s.flags = record.m_wFlags;
    if (const CCellData* cell = record.GetCell(SUBF_AMOUNT)) {
        s.hasAmount = true;
        s.amount.Copy(*cell);
    }
    return s;
}

bool StateHolds(const RecordState& s)
{
    const CCellData* cell = s.record->GetCell(SUBF_AMOUNT);
    return s.flags == s.record->m_wFlags && s.hasAmount == (cell != nullptr) &&
           (!cell || SameCell(*cell, s.amount));
}

// A record's own values. While the change is made every cell is kept; once
// it is made, only the cells it changed, or all of them when it changed
// how many there are.
struct CellValue {
    int field = 0;
    CCellData cell;
};

struct RecordPart {
    CSubcontract* record = nullptr;
    uint16_t flags = 0;
    CSubcontract* parent = nullptr;
    int cellCount = 0;
    std::vector<CellValue> cells;
};

RecordPart ValuesOf(CSubcontract& record, const std::vector<CellValue>* only)
{
    RecordPart part;
    part.record = &record;
    part.flags = record.m_wFlags;
    part.parent = record.m_pParent;
    part.cellCount = record.m_Cells.GetSize();
    auto add = [&](int field) {
        CellValue v;
        v.field = field;
        v.cell.Copy(*record.m_Cells[field]);
        part.cells.push_back(std::move(v));
    };
    if (only)
        for (const CellValue& v : *only)
            add(v.field);
    else
        for (int j = 0; j < part.cellCount; ++j)
            add(j);
    return part;
}

// Drops the cells the record still holds as they were; false when nothing
// of the record changed.
bool SettleRecord(RecordPart& part)
{
    const CSubcontract& live = *part.record;
    if (live.m_Cells.GetSize() != part.cellCount)
        return true;
    std::erase_if(part.cells, [&](const CellValue& v) { return SameCell(*live.m_Cells[v.field], v.cell); });
    return !part.cells.empty() || part.flags != live.m_wFlags || part.parent != live.m_pParent;
}

void RestoreRecord(RecordPart& part)
{
    CSubcontract& live = *part.record;
    live.m_wFlags = part.flags;
    live.m_pParent = part.parent;
    if (live.m_Cells.GetSize() != part.cellCount) {
        live.m_Cells.RemoveAll();
        for (CellValue& v : part.cells)
            live.m_Cells.Add(std::make_unique<CCellData>(std::move(v.cell)));
        return;
    }
    for (CellValue& v : part.cells)
        *live.m_Cells[v.field] = std::move(v.cell);
}

struct LineSlot {
    CSubcontract* record = nullptr;
    std::unique_ptr<CSubItem> item; // null: the record had no sub-item
    int place = -1;
};

LineSlot SlotOf(CSubcontract& record, std::string_view line)
{
    LineSlot slot;
    slot.record = &record;
    if (const CSubItem* si = record.FindSubItem(line)) {
        slot.item = std::make_unique<CSubItem>();
        slot.item->Copy(*si);
        slot.place = record.m_SubItems.PlaceOf(line);
    }
    return slot;
}

bool SlotHolds(const LineSlot& slot, std::string_view line)
{
    const CSubItem* si = slot.record->FindSubItem(line);
    return slot.item ? si && SameSubItem(*si, *slot.item) : !si;
}

struct LinePart {
    std::string line;
    std::vector<LineSlot> slots;
};

struct LineFlagsPart {
    std::string line;
    std::vector<std::pair<CSubcontract*, uint16_t>> flags;
};

struct ItemState {
    int index = 0;
    uint16_t flags = 0;
    double quantity = 0;
    double unitPrice = 0;
    double extension = 0;
};

ItemState ItemStateOf(const CItem& item, int index)
{
    return {index, item.m_wFlags, item.m_fQuantity, item.m_fUnitPrice, item.m_fExtension};
}

bool ItemHolds(const CItem& item, const ItemState& s)
{
    return item.m_wFlags == s.flags && SameBits(item.m_fQuantity, s.quantity) &&
           SameBits(item.m_fUnitPrice, s.unitPrice) && SameBits(item.m_fExtension, s.extension);
}

// The subcontractor records' order. While the change is made: the order
// and every parent before it. Once it is made: the records to take out
// (those the change added), the records to put back at their places in
// ascending order (those it took out, kept here), and the parents it
// changed. No change reorders the records that stay; should one do so,
// every record is taken out and put back.
struct OrderPart {
    std::vector<CSubcontract*> before;
    std::vector<std::pair<CSubcontract*, CSubcontract*>> parents; // record, parent
    std::vector<CSubcontract*> removes;
    std::vector<std::pair<int, CSubcontract*>> inserts;
    std::vector<std::unique_ptr<CSubcontract>> kept;
};

struct TemplatePart {
    std::string name;
    std::unique_ptr<CPlate> plate; // null: no template of that name
    int place = -1;
};

std::unique_ptr<CPlate> CopyPlate(const CPlate& plate)
{
    auto copy = std::make_unique<CPlate>();
    copy->Copy(plate);
    copy->m_wFlags = plate.m_wFlags;
    return copy;
}

std::vector<CSubcontract*> RecordsOf(const CContract& contract)
{
    std::vector<CSubcontract*> records;
    if (const CWinMeta* table = contract.m_pSubTable.get())
        for (const auto& rec : table->m_Records)
            records.push_back(rec.get());
    return records;
}

void SettleOrder(const CContract& contract, OrderPart& part)
{
    const std::vector<CSubcontract*> after = RecordsOf(contract);
    const std::unordered_set<CSubcontract*> wasThere(part.before.begin(), part.before.end());
    const std::unordered_set<CSubcontract*> isThere(after.begin(), after.end());
    std::vector<CSubcontract*> stayedBefore;
    std::vector<CSubcontract*> stayedAfter;
    for (CSubcontract* rec : part.before)
        if (isThere.count(rec))
            stayedBefore.push_back(rec);
    for (CSubcontract* rec : after)
        if (wasThere.count(rec))
            stayedAfter.push_back(rec);
    const bool reordered = stayedBefore != stayedAfter;
    for (CSubcontract* rec : after)
        if (reordered || !wasThere.count(rec))
            part.removes.push_back(rec);
    for (size_t i = 0; i < part.before.size(); ++i)
        if (reordered || !isThere.count(part.before[i]))
            part.inserts.emplace_back(static_cast<int>(i), part.before[i]);
    std::erase_if(part.parents,
                  [&](const auto& p) { return !isThere.count(p.first) || p.first->m_pParent == p.second; });
    part.before.clear();
    part.before.shrink_to_fit();
}

bool OrderChanged(const OrderPart& part)
{
    return !part.removes.empty() || !part.inserts.empty() || !part.parents.empty();
}

} // namespace

struct ContractImage::Parts {
    bool settled = false;
    bool hasHeader = false;
    HeaderPart header;
    bool hasStates = false;
    std::vector<RecordState> states;
    std::vector<RecordPart> records;
    std::vector<LinePart> lines;
    std::vector<LineFlagsPart> lineFlags;
    bool hasItems = false;
    std::vector<ItemState> items;
    bool hasOrder = false;
    OrderPart order;
    std::vector<TemplatePart> templates;
    std::unique_ptr<CContract> whole;
};

ContractImage::ContractImage() : m_parts(std::make_unique<Parts>())
{
}
ContractImage::~ContractImage() = default;
ContractImage::ContractImage(ContractImage&&) noexcept = default;
ContractImage& ContractImage::operator=(ContractImage&&) noexcept = default;

size_t ContractImage::Size() const
{
    const Parts& p = *m_parts;
    size_t size = (p.hasHeader ? 1 : 0) + p.states.size() + p.items.size() + p.templates.size() +
                  p.order.before.size() + p.order.removes.size() + p.order.inserts.size() +
                  p.order.parents.size();
    for (const RecordPart& part : p.records)
        size += 1 + part.cells.size();
    for (const LinePart& part : p.lines)
        size += part.slots.size();
    for (const LineFlagsPart& part : p.lineFlags)
        size += part.flags.size();
    if (p.whole)
        size += 1 + static_cast<size_t>(p.whole->m_Items.GetSize()) +
                (p.whole->m_pSubTable ? static_cast<size_t>(p.whole->m_pSubTable->m_Records.GetSize()) : 0);
    return size;
}

std::vector<const CSubcontract*> ContractImage::ChangedSubItemRecords() const
{
    std::vector<const CSubcontract*> changed;
    auto add = [&](const CSubcontract* record) {
        if (std::find(changed.begin(), changed.end(), record) == changed.end())
            changed.push_back(record);
    };
    for (const LinePart& part : m_parts->lines)
        for (const LineSlot& slot : part.slots)
            if (!SlotHolds(slot, part.line))
                add(slot.record);
    for (const LineFlagsPart& part : m_parts->lineFlags)
        for (const auto& [record, flags] : part.flags) {
            const CSubItem* si = record->FindSubItem(part.line);
            if (!si || si->m_wFlags != flags)
                add(record);
        }
    return changed;
}

bool ContractImage::IsEmpty() const
{
    const Parts& p = *m_parts;
    return !p.hasHeader && p.states.empty() && p.records.empty() && p.lines.empty() && p.lineFlags.empty() &&
           p.items.empty() && !p.hasOrder && p.templates.empty() && !p.whole;
}

void ContractImage::TakeHeader(const CContract& contract)
{
    if (m_parts->hasHeader)
        return;
    HeaderPart& h = m_parts->header;
    h.flags = contract.m_wFlags;
    h.contractTotal = contract.m_fContractTotal;
    auto take = [](const CWinMeta* table, TableHead& head) {
        head.present = table != nullptr;
        if (table) {
            head.flags = table->m_wFlags;
            head.total = table->m_fSubTotal;
        }
    };
    take(contract.m_pSubTable.get(), h.sub);
    take(contract.m_pMiscTable.get(), h.misc);
    m_parts->hasHeader = true;
}

void ContractImage::TakeRecordStates(const CContract& contract)
{
    if (m_parts->hasStates)
        return;
    for (const CWinMeta* table : {contract.m_pSubTable.get(), contract.m_pMiscTable.get()})
        if (table)
            for (const auto& rec : table->m_Records)
                m_parts->states.push_back(StateOf(*rec));
    m_parts->hasStates = true;
}

void ContractImage::TakeRecord(const CSubcontract& record)
{
    for (const RecordPart& part : m_parts->records)
        if (part.record == &record)
            return;
    m_parts->records.push_back(ValuesOf(const_cast<CSubcontract&>(record), nullptr));
}

void ContractImage::TakeLine(const CContract& contract, std::string_view line)
{
    for (const LinePart& part : m_parts->lines)
        if (part.line == line)
            return;
    LinePart part;
    part.line = std::string(line);
    for (CSubcontract* rec : RecordsOf(contract))
        part.slots.push_back(SlotOf(*rec, line));
    m_parts->lines.push_back(std::move(part));
}

void ContractImage::TakeLineFlags(const CContract& contract, std::string_view line)
{
    for (const LineFlagsPart& part : m_parts->lineFlags)
        if (part.line == line)
            return;
    LineFlagsPart part;
    part.line = std::string(line);
    for (CSubcontract* rec : RecordsOf(contract))
        if (const CSubItem* si = rec->FindSubItem(line))
            part.flags.emplace_back(rec, si->m_wFlags);
    m_parts->lineFlags.push_back(std::move(part));
}

void ContractImage::TakeItems(const CContract& contract)
{
    if (m_parts->hasItems)
        return;
    m_parts->items.reserve(static_cast<size_t>(contract.m_Items.GetSize()));
    for (int i = 0; i < contract.m_Items.GetSize(); ++i)
        m_parts->items.push_back(ItemStateOf(*contract.m_Items[i], i));
    m_parts->hasItems = true;
    TakeHeader(contract); // the contract total goes with the items
}

void ContractImage::TakeRecordOrder(const CContract& contract)
{
    if (m_parts->hasOrder)
        return;
    m_parts->order.before = RecordsOf(contract);
    for (CSubcontract* rec : m_parts->order.before)
        m_parts->order.parents.emplace_back(rec, rec->m_pParent);
    m_parts->hasOrder = true;
}

void ContractImage::TakeTemplate(const CContract& contract, std::string_view name)
{
    for (const TemplatePart& part : m_parts->templates)
        if (part.name == name)
            return;
    TemplatePart part;
    part.name = std::string(name);
    if (const CPlate* plate = contract.FindDataTemplate(name)) {
        part.plate = CopyPlate(*plate);
        part.place = contract.m_DataTemplates.PlaceOf(name);
    }
    m_parts->templates.push_back(std::move(part));
}

void ContractImage::TakeWhole(std::unique_ptr<CContract> before)
{
    m_parts->whole = std::move(before);
}

void ContractImage::Keep(std::unique_ptr<CSubcontract> record)
{
    if (record)
        m_parts->order.kept.push_back(std::move(record));
}

void ContractImage::Settle(const CContract& contract)
{
    Parts& p = *m_parts;
    if (p.settled)
        return;
    p.settled = true;
    std::erase_if(p.states, [](const RecordState& s) { return StateHolds(s); });
    std::erase_if(p.records, [](RecordPart& part) { return !SettleRecord(part); });
    for (LinePart& part : p.lines)
        std::erase_if(part.slots, [&](const LineSlot& slot) { return SlotHolds(slot, part.line); });
    std::erase_if(p.lines, [](const LinePart& part) { return part.slots.empty(); });
    for (LineFlagsPart& part : p.lineFlags)
        std::erase_if(part.flags, [&](const auto& f) {
            const CSubItem* si = f.first->FindSubItem(part.line);
            return !si || si->m_wFlags == f.second;
        });
    std::erase_if(p.lineFlags, [](const LineFlagsPart& part) { return part.flags.empty(); });
    std::erase_if(p.items, [&](const ItemState& s) {
        const CItem* item = contract.m_Items[s.index];
        return !item || ItemHolds(*item, s);
    });
    if (p.hasOrder) {
        SettleOrder(contract, p.order);
        p.hasOrder = OrderChanged(p.order);
    }
    p.states.shrink_to_fit();
    p.items.shrink_to_fit();
}

namespace {

// Puts the sub-items of the slots back: every one of them is taken out
// first, then those that were there go back at their places, lowest place
// first, so that each lands where it was among the entries of its bucket
// that the change left alone.
void RestoreLines(std::vector<LinePart>& parts)
{
    struct Back {
        LineSlot* slot;
        const std::string* line;
    };
    std::vector<Back> back;
    for (LinePart& part : parts)
        for (LineSlot& slot : part.slots) {
            slot.record->RemoveSubItem(part.line);
            if (slot.item)
                back.push_back({&slot, &part.line});
        }
    std::stable_sort(back.begin(), back.end(),
                     [](const Back& a, const Back& b) { return a.slot->place < b.slot->place; });
    for (const Back& b : back)
        b.slot->record->m_SubItems.InsertAt(*b.line, std::move(b.slot->item), b.slot->place);
}

// The order as the part has it; what the contract held instead goes into
// `now`, the part that puts it back.
void RestoreOrder(CWinMeta& table, OrderPart& part, OrderPart& now)
{
    for (CSubcontract* rec : part.removes)
        now.inserts.emplace_back(table.m_Records.IndexOf(rec), rec);
    std::sort(now.inserts.begin(), now.inserts.end());
    for (const auto& [place, rec] : part.inserts)
        now.removes.push_back(rec);
    for (const auto& [rec, parent] : part.parents)
        now.parents.emplace_back(rec, rec->m_pParent);

    std::vector<std::unique_ptr<CSubcontract>> pool = std::move(part.kept);
    for (CSubcontract* rec : part.removes)
        pool.push_back(table.m_Records.Detach(table.m_Records.IndexOf(rec)));
    for (const auto& insert : part.inserts) {
        auto it =
            std::find_if(pool.begin(), pool.end(), [&](const auto& p) { return p.get() == insert.second; });
        if (it != pool.end()) {
            table.m_Records.InsertAt(insert.first, std::move(*it));
            pool.erase(it);
        }
    }
    for (auto& rec : pool)
        if (rec)
            now.kept.push_back(std::move(rec));
    for (const auto& [rec, parent] : part.parents)
        rec->m_pParent = parent;
}

void RestoreTemplate(CContract& contract, TemplatePart& part)
{
    contract.RemoveDataTemplate(part.name);
    if (part.plate)
        contract.m_DataTemplates.InsertAt(part.name, std::move(part.plate), part.place);
}

} // namespace

void ContractImage::Exchange(CContract& contract)
{
    if (m_parts->whole) {
        contract.Swap(*m_parts->whole);
        return;
    }
    Settle(contract);
    // First the image of the present state, over the same values; then the
    // values put back; then the new image takes this one's place.
    ContractImage now;
    Parts& p = *m_parts;
    Parts& n = *now.m_parts;
    n.settled = true;
    for (RecordState& s : p.states)
        n.states.push_back(StateOf(*s.record));
    for (RecordPart& part : p.records)
        n.records.push_back(
            ValuesOf(*part.record, part.record->m_Cells.GetSize() == part.cellCount ? &part.cells : nullptr));
    for (const LinePart& part : p.lines) {
        LinePart& to = n.lines.emplace_back();
        to.line = part.line;
        for (const LineSlot& slot : part.slots)
            to.slots.push_back(SlotOf(*slot.record, part.line));
    }
    for (const LineFlagsPart& part : p.lineFlags) {
        LineFlagsPart& to = n.lineFlags.emplace_back();
        to.line = part.line;
        for (const auto& [record, flags] : part.flags)
            if (const CSubItem* si = record->FindSubItem(part.line))
                to.flags.emplace_back(record, si->m_wFlags);
    }
    for (const ItemState& s : p.items)
        if (const CItem* item = contract.m_Items[s.index])
            n.items.push_back(ItemStateOf(*item, s.index));
    if (p.hasHeader)
        now.TakeHeader(contract);
    for (const TemplatePart& part : p.templates)
        now.TakeTemplate(contract, part.name);

    if (p.hasOrder && contract.m_pSubTable) {
        RestoreOrder(*contract.m_pSubTable, p.order, n.order);
        n.hasOrder = true;
    }
    for (RecordPart& part : p.records)
        RestoreRecord(part);
    RestoreLines(p.lines);
    for (const LineFlagsPart& part : p.lineFlags)
        for (const auto& [record, flags] : part.flags)
            if (CSubItem* si = record->FindSubItem(part.line))
                si->m_wFlags = flags;
    for (RecordState& s : p.states) {
        s.record->m_wFlags = s.flags;
        if (s.hasAmount)
            if (CCellData* cell = s.record->GetCell(SUBF_AMOUNT))
                cell->Copy(s.amount);
    }
    for (const ItemState& s : p.items) {
        if (CItem* item = contract.m_Items[s.index]) {
            item->m_wFlags = s.flags;
            item->m_fQuantity = s.quantity;
            item->m_fUnitPrice = s.unitPrice;
            item->m_fExtension = s.extension;
        }
    }
    if (p.hasHeader) {
        contract.m_wFlags = p.header.flags;
        contract.m_fContractTotal = p.header.contractTotal;
        auto put = [](CWinMeta* table, const TableHead& head) {
            if (table && head.present) {
                table->m_wFlags = head.flags;
                table->m_fSubTotal = head.total;
            }
        };
        put(contract.m_pSubTable.get(), p.header.sub);
        put(contract.m_pMiscTable.get(), p.header.misc);
    }
    for (TemplatePart& part : p.templates)
        RestoreTemplate(contract, part);

    *this = std::move(now);
}

} // namespace kestrel
