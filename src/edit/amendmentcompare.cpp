#include "edit/amendmentcompare.h"

#include <cstring>
#include <functional>
#include <set>

#include "calc/codepage.h"
#include "calc/formats.h"
#include "edit/amendment.h"
#include "model/contract/contract.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/texttrim.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

std::string Trimmed(const Text& text)
{
    return std::string(TrimWhite(TextView(text)));
}

std::string NumberKey(const CItem& item)
{
    return UpperNoCase(TrimWhite(TextView(item.m_strItemNumber)));
}

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Shown(const std::string& text)
{
    return text.empty() ? "(none)" : text;
}

AmendedEntry EntryOf(const CItem& item)
{
    const bool heading = item.IsHeading();
    return {Trimmed(item.m_strLineNumber), heading ? std::string() : Trimmed(item.m_strItemNumber),
            Trimmed(heading || IsBlankText(TextView(item.m_strShortDesc)) ? item.m_strLongDesc
                                                                          : item.m_strShortDesc)};
}

// Every item (not heading) of a contract by its folded line number, the
// first of a number that occurs twice.
void IndexLines(const CContract& c, std::unordered_map<std::string, const CItem*>& lines)
{
    for (const auto& item : c.m_Items)
        if (!item->IsHeading())
            lines.try_emplace(UpperNoCase(TextView(item->m_strLineNumber)), item.get());
}

std::string Change(const char* what, const std::string& from, const std::string& to)
{
    return std::string(what) + ": " + Shown(from) + " -> " + Shown(to);
}

} // namespace

bool SameItemNumber(const CItem& a, const CItem& b)
{
    return NumberKey(a) == NumberKey(b);
}

ItemComparison::ItemComparison(const CContract& working, const CContract& amended)
    : m_working(working), m_amended(amended)
{
    IndexLines(working, m_workingLines);
    IndexLines(amended, m_amendedLines);
    for (const auto& item : working.m_Items)
        if (!item->IsHeading())
            ++m_workingNumbers[NumberKey(*item)];
    for (const auto& item : amended.m_Items)
        if (!item->IsHeading()) {
            const std::string key = NumberKey(*item);
            ++m_amendedNumberCount[key];
            m_amendedNumbers.try_emplace(key, item.get());
        }
    auto price = [&](double x) {
        return FormatNumber(x, amended.m_UPFormat.digits, amended.m_UPFormat.decimals, true, false);
    };
    for (const auto& [key, old] : m_workingLines) {
        const CItem* now = AmendedItem(key);
        if (!now || !SameItemNumber(*old, *now))
            continue;
        ItemDelta d;
        if (Trimmed(old->m_strUnit) != Trimmed(now->m_strUnit)) {
            d.unitChanged = true;
            d.oldUnit = Trimmed(old->m_strUnit);
            d.newUnit = std::string(TextView(now->m_strUnit));
            d.changes.push_back(Change("Unit", d.oldUnit, Trimmed(now->m_strUnit)));
        }
        const bool wasLump = FlagTest(old->m_wFlags, ITEM_LUMP_SUM);
        d.nowLumpSum = FlagTest(now->m_wFlags, ITEM_LUMP_SUM);
        d.lumpSumChanged = wasLump != d.nowLumpSum;
        if (d.lumpSumChanged)
            d.changes.push_back(Change("Lump sum", wasLump ? "yes" : "no", d.nowLumpSum ? "yes" : "no"));
        std::vector<std::string> others;
        if (!SameBits(old->m_fQuantity, now->m_fQuantity))
            others.push_back(
                Change("Quantity", FormatQuantity(old->m_fQuantity), FormatQuantity(now->m_fQuantity)));
        if (!SameBits(old->m_fUnitPrice, now->m_fUnitPrice))
            others.push_back(Change("Unit price", price(old->m_fUnitPrice), price(now->m_fUnitPrice)));
        if (old->m_strShortDesc != now->m_strShortDesc)
            others.push_back(
                Change("Description", Trimmed(old->m_strShortDesc), Trimmed(now->m_strShortDesc)));
        else if (old->m_strLongDesc != now->m_strLongDesc)
            others.push_back("Long description changed");
        if (!SameBits(old->m_fQuantity, now->m_fQuantity) ||
            !SameBits(old->m_fUnitPrice, now->m_fUnitPrice) || d.lumpSumChanged ||
            old->m_wFlags != now->m_wFlags)
            d.valuesChanged = true;
        for (const std::string& o : others) {
            d.others += (d.others.empty() ? "" : "; ") + o;
            d.changes.push_back(o);
        }
        if (!d.changes.empty() || d.valuesChanged)
            m_deltas.emplace(key, std::move(d));
    }
}

const CItem* ItemComparison::WorkingItem(const std::string& lineKey) const
{
    const auto it = m_workingLines.find(lineKey);
    return it != m_workingLines.end() ? it->second : nullptr;
}

const CItem* ItemComparison::AmendedItem(const std::string& lineKey) const
{
    const auto it = m_amendedLines.find(lineKey);
    return it != m_amendedLines.end() ? it->second : nullptr;
}

const CItem* ItemComparison::UniqueAmendedByNumber(const CItem& working) const
{
    const std::string key = NumberKey(working);
    if (key.empty())
        return nullptr;
    const auto w = m_workingNumbers.find(key);
    const auto a = m_amendedNumberCount.find(key);
    if (w == m_workingNumbers.end() || w->second != 1 || a == m_amendedNumberCount.end() || a->second != 1)
        return nullptr;
    const CItem* found = m_amendedNumbers.at(key);
    // The line must be the item's own: a line number that occurs twice in
    // the amended file shadows the later one.
    return AmendedItem(UpperNoCase(TextView(found->m_strLineNumber))) == found ? found : nullptr;
}

const ItemDelta* ItemComparison::DeltaOf(const std::string& lineKey) const
{
    const auto it = m_deltas.find(lineKey);
    return it != m_deltas.end() ? &it->second : nullptr;
}

std::string ItemComparison::FormatQuantity(double quantity) const
{
    return FormatNumber(quantity, m_amended.m_QuanFormat.digits, m_amended.m_QuanFormat.decimals, true,
                        false);
}

void ItemComparison::Describe(AmendmentPreview& preview) const
{
    // In contract order: removed ones in the working file's, the others in
    // the amended file's.
    std::set<std::string> oldSections;
    std::set<std::string> newSections;
    for (const auto& item : m_amended.m_Items)
        if (item->IsHeading())
            newSections.insert(UpperNoCase(TrimWhite(TextView(item->m_strLineNumber))));
    for (const auto& item : m_working.m_Items) {
        const std::string key = UpperNoCase(TextView(item->m_strLineNumber));
        if (item->IsHeading()) {
            oldSections.insert(UpperNoCase(TrimWhite(TextView(item->m_strLineNumber))));
            if (!newSections.count(UpperNoCase(TrimWhite(TextView(item->m_strLineNumber)))))
                preview.sectionsRemoved.push_back(EntryOf(*item));
        } else if (WorkingItem(key) == item.get() && !AmendedItem(key)) {
            preview.itemsRemoved.push_back(EntryOf(*item));
        }
    }
    for (const auto& item : m_amended.m_Items) {
        const std::string key = UpperNoCase(TextView(item->m_strLineNumber));
        if (item->IsHeading()) {
            if (!oldSections.count(UpperNoCase(TrimWhite(TextView(item->m_strLineNumber)))))
                preview.sectionsAdded.push_back(EntryOf(*item));
            continue;
        }
        if (AmendedItem(key) != item.get())
            continue;
        const CItem* old = WorkingItem(key);
        if (!old) {
            preview.itemsAdded.push_back(EntryOf(*item));
        } else if (!SameItemNumber(*old, *item)) {
            preview.itemsChanged.push_back(
                {EntryOf(*item),
                 {Change("Item number", Trimmed(old->m_strItemNumber), Trimmed(item->m_strItemNumber))}});
        } else if (const ItemDelta* d = DeltaOf(key); d && !d->changes.empty()) {
            preview.itemsChanged.push_back({EntryOf(*item), d->changes});
        }
    }
}

namespace {

const char* HeaderName(int index)
{
    static const char* const kNames[HDR_TEXT_COUNT] = {"Letting ID",
                                                       "Call order",
                                                       "Contract ID",
                                                       "Alternate contract ID",
                                                       "Location",
                                                       "Header text 5",
                                                       "Description",
                                                       "Contract type",
                                                       "Contract type (2)",
                                                       "Highway number",
                                                       "Controlling project",
                                                       "Controlling route",
                                                       "Fund type",
                                                       "Project number",
                                                       "Road name",
                                                       "Route",
                                                       "Serial number",
                                                       "Header text 17",
                                                       "Agency",
                                                       "Header text 19",
                                                       "Header text 20"};
    return kNames[index];
}

// Names of a form's fields, folded, each once.
std::set<std::string> FieldNames(const CWinMeta* table)
{
    std::set<std::string> names;
    if (table)
        for (const auto& f : table->m_Fields)
            if (!IsBlankText(TextView(f->m_strName)))
                names.insert(Trimmed(f->m_strName));
    return names;
}

bool SameFields(const CWinMeta& a, const CWinMeta& b)
{
    if (a.m_Fields.GetSize() != b.m_Fields.GetSize() || !(a.m_LabelLines == b.m_LabelLines))
        return false;
    for (int j = 0; j < a.m_Fields.GetSize(); ++j) {
        const CFieldInfo& x = *a.m_Fields[j];
        const CFieldInfo& y = *b.m_Fields[j];
        if (x.m_wFlags != y.m_wFlags || x.m_iX != y.m_iX || x.m_iY != y.m_iY || x.m_iCX != y.m_iCX ||
            x.m_iCY != y.m_iCY || x.m_iType != y.m_iType || x.m_iListStart != y.m_iListStart ||
            x.m_iListEnd != y.m_iListEnd || x.m_iRequired != y.m_iRequired || x.m_strName != y.m_strName ||
            x.m_strListSource != y.m_strListSource || x.m_strHelp != y.m_strHelp)
            return false;
    }
    return true;
}

void DescribeForm(const char* what, const CWinMeta* old, const CWinMeta* now, std::vector<std::string>& out)
{
    if (!old && !now)
        return;
    if (!old || !now) {
        out.push_back(std::string(what) + (now ? ": added" : ": not in the amended file"));
        return;
    }
    const std::set<std::string> a = FieldNames(old);
    const std::set<std::string> b = FieldNames(now);
    auto list = [](const std::set<std::string>& from, const std::set<std::string>& without) {
        std::string text;
        for (const std::string& n : from)
            if (!without.count(n))
                text += (text.empty() ? "" : ", ") + n;
        return text;
    };
    const std::string added = list(b, a);
    const std::string removed = list(a, b);
    if (!added.empty())
        out.push_back(std::string(what) + ": fields added: " + added);
    if (!removed.empty())
        out.push_back(std::string(what) + ": fields removed: " + removed);
    if (added.empty() && removed.empty() && !SameFields(*old, *now))
        out.push_back(std::string(what) + ": fields or layout changed");
}

// Names added, removed and changed between two maps of named things.
template <class Map, class Same>
void DescribeNamed(const char* what, const Map& old, const Map& now, Same same, std::vector<std::string>& out)
{
    std::string added;
    std::string removed;
    std::string changed;
    auto append = [](std::string& to, const std::string& name) { to += (to.empty() ? "" : ", ") + name; };
    old.ForEach([&](const std::string& name, const auto& value) {
        const auto* other = now.Lookup(name);
        if (!other)
            append(removed, name);
        else if (!same(value, *other))
            append(changed, name);
    });
    now.ForEach([&](const std::string& name, const auto&) {
        if (!old.Lookup(name))
            append(added, name);
    });
    if (!added.empty())
        out.push_back(std::string(what) + " added: " + added);
    if (!removed.empty())
        out.push_back(std::string(what) + " removed: " + removed);
    if (!changed.empty())
        out.push_back(std::string(what) + " changed: " + changed);
}

template <class T, class Same> bool SameArray(const CDataArray<T>& a, const CDataArray<T>& b, Same same)
{
    if (a.GetSize() != b.GetSize())
        return false;
    for (int i = 0; i < a.GetSize(); ++i)
        if (!same(*a[i], *b[i]))
            return false;
    return true;
}

} // namespace

void DescribeOtherChanges(const CContract& w, const CContract& a, std::vector<std::string>& out)
{
    if (w.dLetingDate != a.dLetingDate)
        out.push_back(Change("Letting date", FormatDate(w.dLetingDate, 0), FormatDate(a.dLetingDate, 0)));
    for (int i = 0; i < HDR_TEXT_COUNT; ++i)
        if (Trimmed(w.m_strHeader[i]) != Trimmed(a.m_strHeader[i]))
            out.push_back(Change(HeaderName(i), Trimmed(w.m_strHeader[i]), Trimmed(a.m_strHeader[i])));
    if (!SameArray(w.m_Counties, a.m_Counties, [](const CCounty& x, const CCounty& y) {
            return x.m_strID == y.m_strID && x.m_strName == y.m_strName;
        }))
        out.push_back("Counties changed");
    if (!SameArray(w.m_Sites, a.m_Sites, [](const CSite& x, const CSite& y) {
            return x.m_dStartDate == y.m_dStartDate && x.m_dEndDate == y.m_dEndDate &&
                   x.m_dwEstDays == y.m_dwEstDays && SameBits(x.m_fDamages, y.m_fDamages) &&
                   x.m_strTypeDays == y.m_strTypeDays && x.m_strDescription == y.m_strDescription;
        }))
        out.push_back("Sites changed");
    if (!SameArray(w.m_Notes, a.m_Notes, [](const CNote& x, const CNote& y) {
            return x.m_iNumberA == y.m_iNumberA && x.m_iNumberB == y.m_iNumberB && x.m_strText == y.m_strText;
        }))
        out.push_back("Notes changed");
    if (!SameArray(w.m_OtherRpts, a.m_OtherRpts, [](const COtherRpt& x, const COtherRpt& y) {
            return x.m_strFirst == y.m_strFirst && x.m_strSecond == y.m_strSecond &&
                   x.m_wReportNumber == y.m_wReportNumber;
        }))
        out.push_back("Other reports changed");
    if (w.m_QuanFormat.Word() != a.m_QuanFormat.Word() || w.m_UPFormat.Word() != a.m_UPFormat.Word() ||
        w.m_ExtFormat.Word() != a.m_ExtFormat.Word())
        out.push_back("Number formats changed");
    DescribeForm("Subcontractor form", w.m_pSubTable.get(), a.m_pSubTable.get(), out);
    DescribeForm("Miscellaneous data form", w.m_pMiscTable.get(), a.m_pMiscTable.get(), out);
    DescribeNamed(
        "Pick lists", w.m_StoredLists, a.m_StoredLists,
        [](const CSAStringArray& x, const CSAStringArray& y) { return x == y; }, out);
    DescribeNamed(
        "Templates", w.m_DataTemplates, a.m_DataTemplates,
        [](const CPlate& x, const CPlate& y) { return x.m_strText == y.m_strText; }, out);
}

} // namespace kestrel
