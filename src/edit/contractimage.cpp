#include "edit/contractimage.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

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

struct RecordState {
    CSubcontract* record = nullptr;
    uint16_t flags = 0;
    bool hasAmount = false;
    CCellData amount;
};

struct RecordPart {
    CSubcontract* record = nullptr;
    std::unique_ptr<CSubcontract> content; // flags, cells, sub-items, parent
};

struct LineSlot {
    CSubcontract* record = nullptr;
    std::unique_ptr<CSubItem> item; // null: the record had no sub-item
    int place = -1;
};

struct LinePart {
    std::string line;
    std::vector<LineSlot> slots;
};

struct LineFlagsPart {
    std::string line;
    std::vector<std::pair<CSubcontract*, uint16_t>> flags;
};

struct ItemState {
    uint16_t flags = 0;
    double quantity = 0;
    double unitPrice = 0;
    double extension = 0;
};

struct OrderPart {
    std::vector<CSubcontract*> order;
    std::vector<std::pair<CSubcontract*, CSubcontract*>> parents; // record, parent
    std::vector<std::unique_ptr<CSubcontract>> kept;
};

struct TemplatePart {
    std::string name;
    std::unique_ptr<CPlate> plate; // null: no template of that name
    int place = -1;
};

void CopyRecord(CSubcontract& to, const CSubcontract& from)
{
    to.m_wFlags = from.m_wFlags;
    to.m_Cells.RemoveAll();
    to.m_Cells.Copy(from.m_Cells);
    to.m_SubItems.RemoveAll();
    to.m_SubItems.Copy(from.m_SubItems);
    to.m_pParent = from.m_pParent;
}

std::unique_ptr<CPlate> CopyPlate(const CPlate& plate)
{
    auto copy = std::make_unique<CPlate>();
    copy->Copy(plate);
    copy->m_wFlags = plate.m_wFlags;
    return copy;
}

} // namespace

struct ContractImage::Parts {
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
};

ContractImage::ContractImage() : m_parts(std::make_unique<Parts>())
{
}
ContractImage::~ContractImage() = default;
ContractImage::ContractImage(ContractImage&&) noexcept = default;
ContractImage& ContractImage::operator=(ContractImage&&) noexcept = default;

bool ContractImage::IsEmpty() const
{
    const Parts& p = *m_parts;
    return !p.hasHeader && !p.hasStates && p.records.empty() && p.lines.empty() && p.lineFlags.empty() &&
           !p.hasItems && !p.hasOrder && p.templates.empty();
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
    for (const CWinMeta* table : {contract.m_pSubTable.get(), contract.m_pMiscTable.get()}) {
        if (!table)
            continue;
        for (const auto& rec : table->m_Records) {
            RecordState s;
            s.record = rec.get();
            s.flags = rec->m_wFlags;
            if (const CCellData* cell = rec->GetCell(SUBF_AMOUNT)) {
                s.hasAmount = true;
                s.amount.Copy(*cell);
            }
            m_parts->states.push_back(std::move(s));
        }
    }
    m_parts->hasStates = true;
}

void ContractImage::TakeRecord(const CSubcontract& record)
{
    for (const RecordPart& part : m_parts->records)
        if (part.record == &record)
            return;
    RecordPart part;
    part.record = const_cast<CSubcontract*>(&record);
    part.content = std::make_unique<CSubcontract>();
    CopyRecord(*part.content, record);
    m_parts->records.push_back(std::move(part));
}

void ContractImage::TakeLine(const CContract& contract, std::string_view line)
{
    for (const LinePart& part : m_parts->lines)
        if (part.line == line)
            return;
    LinePart part;
    part.line = std::string(line);
    if (const CWinMeta* table = contract.m_pSubTable.get()) {
        part.slots.reserve(static_cast<size_t>(table->m_Records.GetSize()));
        for (const auto& rec : table->m_Records) {
            LineSlot slot;
            slot.record = rec.get();
            if (const CSubItem* si = rec->FindSubItem(line)) {
                slot.item = std::make_unique<CSubItem>();
                slot.item->Copy(*si);
                slot.place = rec->m_SubItems.PlaceOf(line);
            }
            part.slots.push_back(std::move(slot));
        }
    }
    m_parts->lines.push_back(std::move(part));
}

void ContractImage::TakeLineFlags(const CContract& contract, std::string_view line)
{
    for (const LineFlagsPart& part : m_parts->lineFlags)
        if (part.line == line)
            return;
    LineFlagsPart part;
    part.line = std::string(line);
    if (const CWinMeta* table = contract.m_pSubTable.get())
        for (const auto& rec : table->m_Records)
            if (const CSubItem* si = rec->FindSubItem(line))
                part.flags.emplace_back(rec.get(), si->m_wFlags);
    m_parts->lineFlags.push_back(std::move(part));
}

void ContractImage::TakeItems(const CContract& contract)
{
    if (m_parts->hasItems)
        return;
    m_parts->items.reserve(static_cast<size_t>(contract.m_Items.GetSize()));
    for (const auto& item : contract.m_Items)
        m_parts->items.push_back({item->m_wFlags, item->m_fQuantity, item->m_fUnitPrice, item->m_fExtension});
    m_parts->hasItems = true;
    TakeHeader(contract); // the contract total goes with the items
}

void ContractImage::TakeRecordOrder(const CContract& contract)
{
    if (m_parts->hasOrder)
        return;
    if (const CWinMeta* table = contract.m_pSubTable.get()) {
        for (const auto& rec : table->m_Records) {
            m_parts->order.order.push_back(rec.get());
            m_parts->order.parents.emplace_back(rec.get(), rec->m_pParent);
        }
    }
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

void ContractImage::Keep(std::unique_ptr<CSubcontract> record)
{
    if (record)
        m_parts->order.kept.push_back(std::move(record));
}

namespace {

// The record array as the order part says; records of the array that it
// does not name move into `removed`, records it names come from the array
// or from `kept`.
void RestoreOrder(CWinMeta& table, OrderPart& part, std::vector<std::unique_ptr<CSubcontract>>& removed)
{
    std::vector<std::unique_ptr<CSubcontract>> pool;
    while (!table.m_Records.IsEmpty())
        pool.push_back(table.m_Records.Detach(table.m_Records.GetSize() - 1));
    for (auto& rec : part.kept)
        pool.push_back(std::move(rec));
    part.kept.clear();
    for (CSubcontract* wanted : part.order) {
        auto it = std::find_if(pool.begin(), pool.end(), [&](const auto& p) { return p.get() == wanted; });
        if (it != pool.end()) {
            table.m_Records.Add(std::move(*it));
            pool.erase(it);
        }
    }
    for (auto& rec : pool)
        removed.push_back(std::move(rec));
    for (const auto& [record, parent] : part.parents)
        record->m_pParent = parent;
}

void RestoreLine(LinePart& part)
{
    for (LineSlot& slot : part.slots) {
        slot.record->RemoveSubItem(part.line);
        if (slot.item)
            slot.record->m_SubItems.InsertAt(part.line, std::move(slot.item), slot.place);
    }
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
    // First the image of the present state, over the same parts; then the
    // parts put back; then the new image takes this one's place.
    ContractImage now;
    Parts& p = *m_parts;
    if (p.hasOrder)
        now.TakeRecordOrder(contract);
    for (const RecordPart& part : p.records)
        now.TakeRecord(*part.record);
    for (const LinePart& part : p.lines)
        now.TakeLine(contract, part.line);
    for (const LineFlagsPart& part : p.lineFlags)
        now.TakeLineFlags(contract, part.line);
    if (p.hasStates)
        now.TakeRecordStates(contract);
    if (p.hasItems)
        now.TakeItems(contract);
    if (p.hasHeader)
        now.TakeHeader(contract);
    for (const TemplatePart& part : p.templates)
        now.TakeTemplate(contract, part.name);

    if (p.hasOrder && contract.m_pSubTable)
        RestoreOrder(*contract.m_pSubTable, p.order, now.m_parts->order.kept);
    for (RecordPart& part : p.records) {
        CSubcontract& live = *part.record;
        std::swap(live.m_wFlags, part.content->m_wFlags);
        std::swap(live.m_Cells, part.content->m_Cells);
        std::swap(live.m_SubItems, part.content->m_SubItems);
        std::swap(live.m_pParent, part.content->m_pParent);
    }
    for (LinePart& part : p.lines)
        RestoreLine(part);
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
    if (p.hasItems) {
        for (int i = 0; i < contract.m_Items.GetSize() && i < static_cast<int>(p.items.size()); ++i) {
            CItem* item = contract.m_Items[i];
            const ItemState& s = p.items[static_cast<size_t>(i)];
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
