#pragma once
// Inside the carry-over of an amendment: the working contract's items set
// beside the amended file's, line by line, and the other agency parts that
// differ. Only the amendment sources include this.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kestrel {

class CContract;
class CItem;
struct AmendmentPreview;

// What the amendment changed of an item that stays on its line.
struct ItemDelta {
    bool unitChanged = false;
    std::string oldUnit;
    std::string newUnit; // the amended unit as the item holds it
    bool lumpSumChanged = false;
    bool nowLumpSum = false;
    // The quantity, unit price or lump-sum mark changed: the sub-items'
    // over-commit marks are renewed.
    bool valuesChanged = false;
    // Quantity, unit price and description changes, one text.
    std::string others;
    std::vector<std::string> changes; // every change, for the preview
};

// Whether two items carry the same item number (blanks around it and case
// not counted).
bool SameItemNumber(const CItem& a, const CItem& b);

class ItemComparison {
public:
    ItemComparison(const CContract& working, const CContract& amended);

    // The item (not heading) of a line, by its line number folded to upper
    // case; the first of a line number that occurs twice.
    const CItem* WorkingItem(const std::string& lineKey) const;
    const CItem* AmendedItem(const std::string& lineKey) const;
    // The amended item that carries the working item's number, when that
    // number occurs once in each file; null otherwise.
    const CItem* UniqueAmendedByNumber(const CItem& working) const;
    // The changes of an item on the same line with the same item number;
    // null when it did not change.
    const ItemDelta* DeltaOf(const std::string& lineKey) const;
    // A quantity in the amended contract's quantity format.
    std::string FormatQuantity(double quantity) const;

    // Items and sections added, removed and changed, into the preview.
    void Describe(AmendmentPreview& preview) const;

private:
    const CContract& m_working;
    const CContract& m_amended;
    std::unordered_map<std::string, const CItem*> m_workingLines;
    std::unordered_map<std::string, const CItem*> m_amendedLines;
    std::unordered_map<std::string, int> m_workingNumbers; // how often each item number occurs
    std::unordered_map<std::string, const CItem*> m_amendedNumbers;
    std::unordered_map<std::string, int> m_amendedNumberCount;
    std::unordered_map<std::string, ItemDelta> m_deltas;
};

// The agency's parts other than the items that differ: header texts and
// dates, counties, notes, form definitions, pick lists, templates, formats.
void DescribeOtherChanges(const CContract& working, const CContract& amended, std::vector<std::string>& out);

} // namespace kestrel
