#include "edit/subitemrules.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <unordered_map>

#include "calc/evaluator.h"
#include "model/contract/contract.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

// An entry field holds at most this many characters.
constexpr size_t kEntryLimit = 4096;

double ValueOrZero(double x)
{
    return IsBlankValue(x) ? 0.0 : x;
}

} // namespace

double RoundEntry(double x, int decimals)
{
    if (IsBlankValue(x) || !std::isfinite(x))
        return x;
    const double scale = PowerOfTen(decimals);
    const double scaled = std::fabs(x) * scale;
    // Past 2^53 every double is a whole number: nothing left to round.
    if (!std::isfinite(scaled) || scaled >= 9007199254740992.0 || scale == 0)
        return x;
    const double r = std::floor(scaled + 0.5001) / scale;
    return x < 0 ? -r : r;
}

namespace {

// What the evaluator reads of an entry: "$" and "," dropped.
std::string EntryText(std::string_view typed)
{
    std::string text;
    text.reserve(std::min(typed.size(), kEntryLimit));
    for (char c : typed.substr(0, kEntryLimit))
        if (c != '$' && c != ',')
            text.push_back(c);
    return text;
}

} // namespace

EntryValue ReadEntryValue(Evaluator& evaluator, std::string_view typed, const NumberFormat& format)
{
    const std::string text = EntryText(typed);
    EntryValue entry;
    entry.value = evaluator.Evaluate(text);
    if (!IsBlankValue(entry.value)) {
        entry.value = RoundEntry(entry.value, format.decimals);
    } else if (evaluator.ErrorCode() != 0 && text.find_first_not_of(" \t") != std::string::npos) {
        entry.unreadable = evaluator.ErrorMessage();
    }
    return entry;
}

Status CheckEntryNumber(Evaluator& evaluator, std::string_view typed)
{
    (void)evaluator.Evaluate(EntryText(typed));
    if (evaluator.ErrorCode() != 0)
        return Status::Fail(evaluator.ErrorMessage());
    return Ok();
}

namespace {

// The marks of a sub-item from what its tier has left of the item.
bool SetSubItemFlags(const CContract& contract, CSubItem& subItem, double remaining,
                     const std::function<double()>& remainingExtension, double tolerance, bool full)
{
    const uint16_t before = subItem.m_wFlags;
    uint16_t& f = subItem.m_wFlags;
    FlagSet(f, SUBITEM_OVERCOMMITTED, remaining < tolerance ? 1 : 0);
    bool priceOver = false;
    if (FlagTest(contract.m_wFlags, CONTRACT_TRACK_PRICES))
        priceOver = remainingExtension() < tolerance;
    FlagSet(f, SUBITEM_PRICE_OVERCOMMITTED, priceOver ? 1 : 0);
    if (full) {
        const bool invalid = !IsBlankValue(subItem.m_fQuan) && subItem.m_fQuan <= 0;
        FlagSet(f, SUBITEM_INVALID_QUANTITY, invalid ? 1 : 0);
        const bool complete = !IsBlankValue(subItem.m_fQuan) && !IsBlankValue(subItem.m_fUP) &&
                              !IsBlankValue(subItem.m_fExt) && !FlagTest(f, SUBITEM_OVERCOMMITTED) &&
                              !FlagTest(f, SUBITEM_PRICE_OVERCOMMITTED) && !invalid;
        FlagSet(f, SUBITEM_COMPLETE, complete ? 1 : 0);
    }
    return f != before;
}

} // namespace

bool RenewSubItemFlags(const CContract& contract, const CSubcontract& record, const CItem& item,
                       CSubItem& subItem, double tolerance, bool full)
{
    return SetSubItemFlags(
        contract, subItem, RemainingQuantity(contract, &item, record.m_pParent),
        [&] { return RemainingExtension(contract, &item, record.m_pParent); }, tolerance, full);
}

void RenewLineFlags(const CContract& contract, const CItem& item, double tolerance)
{
    const CWinMeta* table = contract.m_pSubTable.get();
    if (!table)
        return;
    const std::string_view line = TextView(item.m_strLineNumber);
    // What each tier has left of the item, in one pass over the records
    // (RemainingQuantity and RemainingExtension, for every tier at once):
    // the tier's start (the item, or the parent's own sub-item) less what
    // the itemized records of the tier hold, partial items not counted.
    struct Left {
        double quantity = 0;
        double extension = 0;
    };
    std::vector<std::pair<const CSubcontract*, CSubItem*>> holders;
    std::unordered_map<const CSubcontract*, Left> left;
    left[nullptr] = {ValueOrZero(item.m_fQuantity), ValueOrZero(item.m_fExtension)};
    for (const auto& rec : table->m_Records) {
        CSubItem* si = rec->FindSubItem(line);
        if (!si)
            continue;
        holders.emplace_back(rec.get(), si);
        left.try_emplace(rec.get(), Left{ValueOrZero(si->m_fQuan), ValueOrZero(si->m_fExt)});
    }
    for (const auto& [rec, si] : holders) {
        left.try_emplace(rec->m_pParent); // a parent without the line starts at 0
        if (rec->IsItemized() && !FlagTest(si->m_wFlags, SUBITEM_PARTIAL)) {
            Left& l = left[rec->m_pParent];
            l.quantity -= ValueOrZero(si->m_fQuan);
            l.extension -= ValueOrZero(si->m_fExt);
        }
    }
    for (const auto& [rec, si] : holders) {
        const Left& l = left[rec->m_pParent];
        SetSubItemFlags(
            contract, *si, l.quantity, [&] { return l.extension; }, tolerance, true);
    }
}

void InitNewSubItem(const CContract& contract, const CSubcontract& record, const CItem& item,
                    CSubItem& subItem)
{
    const double remaining = RemainingQuantity(contract, &item, record.m_pParent);
    subItem.m_fQuan = std::max(remaining, 0.0);
    double price = item.m_fUnitPrice;
    if (record.m_pParent) {
        const CSubItem* parentItem = record.m_pParent->FindSubItem(TextView(item.m_strLineNumber));
        price = parentItem ? parentItem->m_fUP : BlankValue();
    }
    subItem.m_fUP = price;
    subItem.m_fExt = StoredExtension(subItem.m_fQuan, price);
    subItem.m_strUnitType = item.m_strUnit.View();
    subItem.m_fOrigQuan = 0;
    subItem.m_wFlags = 0;
}

std::string SubItemMark(const CSubItem& subItem)
{
    if (FlagTest(subItem.m_wFlags, SUBITEM_INVALID_QUANTITY))
        return "<invalid quantity>";
    if (FlagTest(subItem.m_wFlags, SUBITEM_OVERCOMMITTED))
        return "<Qty over committed>";
    if (FlagTest(subItem.m_wFlags, SUBITEM_PRICE_OVERCOMMITTED))
        return "<Price over committed>";
    return {};
}

bool IsLockedSubItem(const CContract& contract, const CSubItem& subItem)
{
    return FlagTest(contract.m_wFlags, CONTRACT_IRONBARK_LOCKED) &&
           FlagTest(subItem.m_wFlags, SUBITEM_FROMIRONBARK);
}

bool HasIronbarkFloor(const CContract& contract, const CSubItem& subItem)
{
    return FlagTest(contract.m_wFlags, CONTRACT_IRONBARK_FLOOR) &&
           FlagTest(subItem.m_wFlags, SUBITEM_FROMIRONBARK);
}

bool BelowIronbarkFloor(const CContract& contract, const CSubItem& subItem, double quantity)
{
    return HasIronbarkFloor(contract, subItem) && !IsBlankValue(subItem.m_fOrigQuan) &&
           subItem.m_fOrigQuan > ValueOrZero(quantity);
}

double StoredExtension(double quantity, double unitPrice)
{
    if (IsBlankValue(quantity) || IsBlankValue(unitPrice))
        return 0.0;
    return ValueOrZero(quantity) * ValueOrZero(unitPrice);
}

} // namespace kestrel
