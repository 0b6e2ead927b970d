// Sub-items, contract items and templates: the changes of the item grids,
// the sub-item entry view and the template view.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "calc/codepage.h"
#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "edit/editscope.h"
#include "edit/subitemrules.h"
#include "model/contract/contract.h"
#include "model/subcontract/subitemsummaries.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

EditResult Refuse(Refusal why, std::string text)
{
    return EditResult::Fail(std::move(text), static_cast<int>(why));
}

std::string Fixed3(double x)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", IsBlankValue(x) ? 0.0 : x);
    return buf;
}

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A value as the entry shows it and reads it back: rounded to its format.
double AsShown(double x, const NumberFormat& format)
{
    return RoundEntry(x, format.decimals);
}

} // namespace

// Finds the item of a line and the record's sub-item for it, refusing when
// the change has nothing to work on.
struct SubItemTarget {
    CItem* item = nullptr;
    CSubItem* subItem = nullptr;
    std::string key; // the item's own line number, the key of its sub-items
};

static Result<SubItemTarget> FindTarget(CContract& contract, const CSubcontract& record,
                                        std::string_view line, bool needSubItem)
{
    if (!contract.m_pSubTable || contract.m_pSubTable->m_Records.IndexOf(&record) < 0)
        return Result<SubItemTarget>::Fail("The subcontractor is not in this contract",
                                           static_cast<int>(Refusal::NotAllowed));
    SubItemTarget t;
    t.item = contract.FindItemByLineNumber(line);
    if (!t.item)
        return Result<SubItemTarget>::Fail("The contract has no item with line number " + std::string(line),
                                           static_cast<int>(Refusal::NotAllowed));
    t.key = std::string(t.item->m_strLineNumber.View());
    t.subItem = record.FindSubItem(t.key);
    if (needSubItem && !t.subItem)
        return Result<SubItemTarget>::Fail("Line " + t.key + " is not subcontracted to this subcontractor",
                                           static_cast<int>(Refusal::NotAllowed));
    return t;
}

EditResult CContractEdits::UseItem(CSubcontract& record, std::string_view line, bool use)
{
    auto target = FindTarget(m_contract, record, line, false);
    if (!target)
        return target.error();
    SubItemTarget& t = target.value();
    if (!record.IsItemized())
        return Refuse(Refusal::NotAllowed, "This subcontractor does not work by items");
    if (record.m_pParent && !record.m_pParent->FindSubItem(t.key))
        return Refuse(Refusal::NotAllowed,
                      "Line " + t.key + " is not subcontracted to the subcontractor of the tier above");
    Scope scope;
    Begin(scope, ChangeKind::SubItem, SubTable(), &record, t.key);
    if ((t.subItem != nullptr) == use)
        return Finish(scope, use ? "Use Item" : "Remove Item");
    if (!use && IsLockedSubItem(m_contract, *t.subItem))
        return Refuse(Refusal::Locked, "This item was received from Ironbark and cannot be removed");
    scope.TouchLine(m_contract, t.key, true);
    int below = 0;
    if (use) {
        auto fresh = std::make_unique<CSubItem>();
        InitNewSubItem(m_contract, record, *t.item, *fresh);
        record.m_SubItems.SetAt(t.key, std::move(fresh));
        scope.subItemRecords.push_back(&record);
    } else {
        record.RemoveSubItem(t.key);
        below = RemoveLineBelow(m_contract, t.key, &record);
        scope.renewAllSubItemStates = true;
    }
    scope.changed = true;
    EditResult done = Finish(scope, use ? "Use Item" : "Remove Item");
    // The lower tiers hold only what their parent holds: they lose the
    // line too, and the user is told how many did.
    if (done && below > 0)
        done->notice = "Line " + t.key + " removed, and with it " + std::to_string(below) +
                       " lower-tier sub-item" + (below == 1 ? "" : "s");
    return done;
}

namespace {

// Stores the three values when they differ; true when something changed.
bool StoreValues(CSubItem& si, double quantity, double unitPrice, double extension)
{
    if (SameBits(si.m_fQuan, quantity) && SameBits(si.m_fUP, unitPrice) && SameBits(si.m_fExt, extension))
        return false;
    si.m_fQuan = quantity;
    si.m_fUP = unitPrice;
    si.m_fExt = extension;
    return true;
}

} // namespace

EditResult CContractEdits::SetSubItemQuantity(CSubcontract& record, std::string_view line,
                                              std::string_view typed)
{
    auto target = FindTarget(m_contract, record, line, true);
    if (!target)
        return target.error();
    CSubItem& si = *target->subItem;
    const EntryValue entry = ReadEntryValue(m_evaluator, typed, m_contract.m_QuanFormat);
    double quantity = entry.value;
    if (!SameBits(quantity, si.m_fQuan) && BelowIronbarkFloor(m_contract, si, quantity))
        return Refuse(Refusal::Quantity, "The quantity entered must be greater than the original quantity as "
                                         "entered in Ironbark, which is " +
                                             Fixed3(si.m_fOrigQuan));
    if (!IsBlankValue(quantity) && quantity <= 0)
        quantity = BlankValue(); // the entry is emptied: no value
    const double price = AsShown(si.m_fUP, m_contract.m_UPFormat);
    Scope scope;
    Begin(scope, ChangeKind::SubItem, SubTable(), &record, target->key);
    scope.TouchLine(m_contract, target->key, true);
    scope.changed = StoreValues(si, quantity, price, StoredExtension(quantity, price));
    scope.subItemRecords.push_back(&record);
    scope.unreadable = entry.unreadable;
    return Finish(scope, "Quantity");
}

EditResult CContractEdits::SetSubItemUnitPrice(CSubcontract& record, std::string_view line,
                                               std::string_view typed)
{
    auto target = FindTarget(m_contract, record, line, true);
    if (!target)
        return target.error();
    CSubItem& si = *target->subItem;
    const double quantity = AsShown(si.m_fQuan, m_contract.m_QuanFormat);
    const EntryValue entry = ReadEntryValue(m_evaluator, typed, m_contract.m_UPFormat);
    const double price = entry.value;
    Scope scope;
    Begin(scope, ChangeKind::SubItem, SubTable(), &record, target->key);
    scope.TouchLine(m_contract, target->key, true);
    scope.changed = StoreValues(si, quantity, price, StoredExtension(quantity, price));
    scope.subItemRecords.push_back(&record);
    scope.unreadable = entry.unreadable;
    return Finish(scope, "Unit Price");
}

EditResult CContractEdits::SetSubItemExtension(CSubcontract& record, std::string_view line,
                                               std::string_view typed)
{
    auto target = FindTarget(m_contract, record, line, true);
    if (!target)
        return target.error();
    CSubItem& si = *target->subItem;
    const double price = AsShown(si.m_fUP, m_contract.m_UPFormat);
    const EntryValue entry = ReadEntryValue(m_evaluator, typed, m_contract.m_ExtFormat);
    const double extension = entry.value;
    // A blank price or amount implies no quantity, rather than dividing by
    // the tiny number a blank's bits make.
    const double implied =
        !IsBlankValue(price) && price > 0 && !IsBlankValue(extension) ? extension / price : 0.0;
    if (!SameBits(implied, si.m_fQuan) && BelowIronbarkFloor(m_contract, si, implied))
        return Refuse(
            Refusal::Quantity,
            "Changing the extended amount to this value will result in an invalid quantity lower than the "
            "original quantity as entered in Ironbark, which is " +
                Fixed3(si.m_fOrigQuan));
    double quantity = si.m_fQuan;
    if (FlagTest(m_contract.m_wFlags, CONTRACT_TRACK_PRICES))
        quantity = implied;
    Scope scope;
    Begin(scope, ChangeKind::SubItem, SubTable(), &record, target->key);
    scope.TouchLine(m_contract, target->key, true);
    scope.changed = StoreValues(si, quantity, price, extension);
    scope.subItemRecords.push_back(&record);
    scope.unreadable = entry.unreadable;
    return Finish(scope, "Extension");
}

EditResult CContractEdits::SetSubItemPartial(CSubcontract& record, std::string_view line, bool partial)
{
    auto target = FindTarget(m_contract, record, line, true);
    if (!target)
        return target.error();
    CSubItem& si = *target->subItem;
    if (FlagTest(m_contract.m_wFlags, CONTRACT_NO_PARTIALS))
        return Refuse(Refusal::NotAllowed, "This contract does not allow partial items");
    if (IsLockedSubItem(m_contract, si))
        return Refuse(Refusal::Locked,
                      "This item was received from Ironbark and cannot be made a partial item");
    Scope scope;
    Begin(scope, ChangeKind::SubItem, SubTable(), &record, target->key);
    scope.TouchLine(m_contract, target->key, true);
    const uint16_t flags = si.m_wFlags;
    FlagSet(si.m_wFlags, SUBITEM_PARTIAL, partial ? 1 : 0);
    const std::string unit = partial ? std::string("PART") : std::string(target->item->m_strUnit.View());
    const bool unitChanged = si.m_strUnitType.View() != unit;
    si.m_strUnitType = unit;
    const double quantity = AsShown(si.m_fQuan, m_contract.m_QuanFormat);
    const double price = AsShown(si.m_fUP, m_contract.m_UPFormat);
    const bool values = StoreValues(si, quantity, price, StoredExtension(quantity, price));
    scope.changed = values || unitChanged || flags != si.m_wFlags;
    scope.subItemRecords.push_back(&record);
    return Finish(scope, "Partial Item");
}

EditResult CContractEdits::SetSubItemRemarks(CSubcontract& record, std::string_view line,
                                             std::string_view text)
{
    auto target = FindTarget(m_contract, record, line, true);
    if (!target)
        return target.error();
    if (Status s = CheckTextLength(text); !s)
        return s.error();
    CSubItem& si = *target->subItem;
    Scope scope;
    Begin(scope, ChangeKind::SubItem, SubTable(), &record, target->key);
    if (si.m_strRemarks.View() != text) {
        scope.TouchLine(m_contract, target->key, true);
        si.m_strRemarks = text;
        scope.changed = true;
    }
    return Finish(scope, "Notes");
}

SubItemDisplay CContractEdits::ShowSubItem(CSubcontract& record, std::string_view line)
{
    auto target = FindTarget(m_contract, record, line, false);
    if (target && !target->item->IsHeading())
        if (CSubItem* si = target->subItem) {
            const bool before = FlagTest(record.m_wFlags, SUB_COMPLETE);
            if (RenewSubItemFlags(m_contract, record, *target->item, *si, kShowTolerance, false)) {
                m_summaries->Forget(&record);
                ChangeEvent ev;
                ev.kind = ChangeKind::SubItemMarks;
                ev.table = SubTable();
                ev.record = &record;
                ev.line = target->key;
                ev.completenessChanged = before != FlagTest(record.m_wFlags, SUB_COMPLETE);
                Notify(ev);
            }
        }
    return DescribeSubItem(record, line);
}

SubItemDisplay CContractEdits::DescribeSubItem(const CSubcontract& record, std::string_view line) const
{
    SubItemDisplay d;
    auto target = FindTarget(m_contract, record, line, false);
    if (!target || target->item->IsHeading())
        return d;
    const CItem& item = *target->item;
    d.isItem = true;
    if (const CSubItem* si = target->subItem) {
        d.hasSubItem = true;
        d.partial = FlagTest(si->m_wFlags, SUBITEM_PARTIAL);
        d.locked = IsLockedSubItem(m_contract, *si);
        d.quantity = si->m_fQuan;
        d.unitPrice = si->m_fUP;
        d.extension = si->m_fExt;
        d.remarks = std::string(si->m_strRemarks.View());
        d.mark = SubItemMark(*si);
        return d;
    }
    if (record.m_pParent) {
        const CSubItem* parentItem = record.m_pParent->FindSubItem(target->key);
        d.quantity = parentItem ? parentItem->m_fQuan : BlankValue();
        d.unitPrice = parentItem ? parentItem->m_fUP : BlankValue();
        d.extension = parentItem ? parentItem->m_fExt : BlankValue();
    } else {
        d.quantity = RemainingQuantity(m_contract, &item, nullptr);
        d.unitPrice = item.m_fUnitPrice;
        d.extension = item.m_fExtension;
    }
    return d;
}

// --- contract items ----------------------------------------------------------

namespace {

std::string CleanItemEntry(std::string_view typed)
{
    std::string text;
    for (char c : typed)
        if (c != '$' && c != ',')
            text.push_back(c);
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

static Result<CItem*> FindEditableItem(CContract& contract, std::string_view line)
{
    CItem* item = contract.FindItemByLineNumber(line);
    if (!item)
        return Result<CItem*>::Fail("The contract has no item with line number " + std::string(line),
                                    static_cast<int>(Refusal::NotAllowed));
    if (FlagTest(item->m_wFlags, ITEM_FIXED_PRICE) && !FlagTest(item->m_wFlags, ITEM_IS_OPTION))
        return Result<CItem*>::Fail("The price of item " + std::string(item->m_strLineNumber.View()) +
                                        " is fixed by the contract",
                                    static_cast<int>(Refusal::NotAllowed));
    return item;
}

EditResult CContractEdits::SetItemQuantity(std::string_view line, std::string_view typed)
{
    return SetItemValue(line, typed, true);
}

EditResult CContractEdits::SetItemUnitPrice(std::string_view line, std::string_view typed)
{
    return SetItemValue(line, typed, false);
}

// A quantity is typed with "@UP" set to the unit price, a unit price with
// "@QUAN" set to the quantity. A mistyped entry is refused and the agency's
// value stays; an empty one clears it.
EditResult CContractEdits::SetItemValue(std::string_view line, std::string_view typed, bool quantity)
{
    auto found = FindEditableItem(m_contract, line);
    if (!found)
        return found.error();
    CItem& item = *found.value();
    double& target = quantity ? item.m_fQuantity : item.m_fUnitPrice;
    const std::string text = CleanItemEntry(typed);
    const std::string key(item.m_strLineNumber.View());
    // A lump-sum item is bid as one sum: the schedule shows "LUMP" for its
    // quantity, never a number, so no other quantity may be used. "LUMP"
    // itself (the cell left as it shows) changes nothing.
    if (quantity && FlagTest(item.m_wFlags, ITEM_LUMP_SUM)) {
        if (!EqualNoCase(text, kLumpSumText))
            return Refuse(Refusal::NotAllowed,
                          "Item " + key + " is a lump sum: its quantity cannot be changed");
        Scope unchanged;
        Begin(unchanged, ChangeKind::Item, nullptr, nullptr, key);
        return Finish(unchanged, "Item Quantity");
    }
    double value = BlankValue();
    if (!text.empty()) {
        (void)m_evaluator.SetVariable(quantity ? "@UP" : "@QUAN",
                                      quantity ? item.m_fUnitPrice : item.m_fQuantity);
        value = m_evaluator.Evaluate(text);
        if (m_evaluator.ErrorCode() != 0)
            return Refuse(Refusal::Expression, m_evaluator.ErrorMessage());
        value = RoundEntry(value, (quantity ? m_contract.m_QuanFormat : m_contract.m_UPFormat).decimals);
    }
    Scope scope;
    Begin(scope, ChangeKind::Item, nullptr, nullptr, key);
    scope.image.TakeItems(m_contract);
    scope.TouchLine(m_contract, key, false);
    scope.recalculate = true;
    scope.changed = !SameBits(target, value);
    target = value;
    return Finish(scope, quantity ? "Item Quantity" : "Item Unit Price");
}

EditResult CContractEdits::SetItemCounted(std::string_view line, bool counted)
{
    CItem* item = m_contract.FindItemByLineNumber(line);
    if (!item)
        return Refuse(Refusal::NotAllowed, "The contract has no item with line number " + std::string(line));
    const std::string key(item->m_strLineNumber.View());
    Scope scope;
    Begin(scope, ChangeKind::Item, nullptr, nullptr, key);
    scope.image.TakeItems(m_contract);
    scope.recalculate = true;
    scope.changed = FlagTest(item->m_wFlags, ITEM_COUNT_FIXED) != counted;
    FlagSet(item->m_wFlags, ITEM_COUNT_FIXED, counted ? 1 : 0);
    return Finish(scope, "Counted Item");
}

// --- templates ---------------------------------------------------------------

namespace {

// A template's text as stored: every carriage return + line feed pair (as
// an edit box or a file from Windows gives lines) turned into a line feed.
std::string StoredTemplateText(std::string_view text)
{
    std::string stored;
    stored.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            stored.push_back(text[i]);
    return stored;
}

} // namespace

EditResult CContractEdits::SetTemplateText(std::string_view name, std::string_view typed)
{
    if (name.empty())
        return Refuse(Refusal::NotAllowed, "A template needs a name");
    const std::string text = StoredTemplateText(typed);
    for (const std::string_view stored : {name, std::string_view(text)})
        if (Status s = CheckTextLength(stored); !s)
            return s.error();
    Scope scope;
    Begin(scope, ChangeKind::Template, nullptr, nullptr, {});
    scope.event.templateName = std::string(name);
    const CPlate* plate = m_contract.FindDataTemplate(name);
    if (!plate || !plate->m_strText.has_value() || plate->m_strText.View() != text) {
        scope.image.TakeTemplate(m_contract, name);
        if (CPlate* existing = m_contract.FindDataTemplate(name)) {
            existing->m_strText = text;
            existing->m_pCompiled.reset(); // compiled again at the next report
        } else {
            m_contract.AddDataTemplate(name, Text(text));
        }
        scope.changed = true;
    }
    return Finish(scope, "Template");
}

} // namespace kestrel
