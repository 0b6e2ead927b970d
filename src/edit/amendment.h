#pragma once
// Carrying the contractor's work over to the agency's amended contract file.
//
// The agency issues an amendment as a new contract file for the same
// contract. PrepareAmendment builds, beside the open (working) contract,
// the contract the amendment makes of it: the agency's parts from the
// amended file, the contractor's parts from the working one, re-matched to
// the amended items and form definitions, the over-commit marks of the
// lines whose values changed renewed; and it lists what that changes (the
// preview). Totals, completeness and the check follow when it is applied.
// Nothing of the working contract changes until the edit layer applies the
// prepared contract (CContractEdits::ApplyAmendment), as one undo step.
//
// What belongs to whom:
// - the agency's: the header (except the prime id and name), items and
//   sections, counties, sites, notes, other reports, print options and
//   number formats, stored pick lists, data templates, the form
//   definitions of both tables, and the contract flags other than 0
//   (modified), 3 (check) and 6 (saved by this program);
// - the contractor's: the prime id and name, contract flag 6, the records
//   of the subcontractor table (tiers, cells, sub-items) and of the
//   miscellaneous-data table.
//
// Re-matching: a record's cells go to the amended form's fields by field
// name (without regard to case; an unnamed field only to an unnamed field
// at the same place); values of fields the amended form no longer has are
// dropped and listed. A sub-item stays on its line when the amended file
// has an item of the same item number there; when that line is gone or
// holds another item, it moves to the line that now holds its item number,
// if that number is unique in both files and the record has nothing on
// that line yet; otherwise it is dropped and listed with its quantity and
// note. Sub-items keep their values, notes, remark stamps and Ironbark
// original quantities as they are.

#include <memory>
#include <string>
#include <vector>

#include "calc/result.h"

namespace kestrel {

class CContract;
class CProgramPaths;

// The failure code of an amended file that is another contract.
inline constexpr int kAmendmentNotSameContract = 4;

// One item or section heading as the preview names it.
struct AmendedEntry {
    std::string line;       // line number (section number for a heading)
    std::string itemNumber; // empty for a heading
    std::string description;
};

// An item on the same line in both files whose agency values differ; each
// change as "Quantity: 1,200.000 -> 1,000.000".
struct AmendedItem {
    AmendedEntry entry;
    std::vector<std::string> changes;
};

// A sub-item the carry-over drops.
struct DroppedSubItem {
    std::string line;
    std::string itemNumber;
    std::string quantity; // formatted with the contract's quantity format
    std::string remarks;
    std::string reason; // "line removed", "item number changed to X", ...
};

// A sub-item the carry-over moves with its item to another line.
struct MovedSubItem {
    std::string fromLine;
    std::string toLine;
    std::string itemNumber;
};

// A sub-item on a line whose item the amendment changed, and what that
// does to it.
struct TouchedSubItem {
    std::string line;
    std::string itemNumber;
    std::string note; // "over-committed: 1,200.000 subcontracted, 1,000.000 in the contract", ...
};

// A value the carry-over drops or unlinks: the field by name and the value.
struct AmendedFieldValue {
    std::string field;
    std::string value;
};

// What the amendment does to one subcontractor (or to the miscellaneous
// data, with an empty number).
struct SubcontractorEffects {
    std::string number;
    std::string name;
    std::vector<DroppedSubItem> dropped;
    std::vector<MovedSubItem> moved;
    std::vector<TouchedSubItem> overCommitted;
    std::vector<TouchedSubItem> unitChanged;
    std::vector<TouchedSubItem> lumpSumChanged;
    std::vector<TouchedSubItem> otherChanges;     // quantity, price or description of its lines
    std::vector<AmendedFieldValue> droppedFields; // fields the amended form no longer holds
    std::vector<AmendedFieldValue> listMisfits;   // values no longer on their field's list

    bool IsEmpty() const;
};

struct AmendmentPreview {
    std::string contractID;
    std::string lettingID;
    int workingAmendCount = 0;
    int amendedAmendCount = 0;
    std::vector<AmendedEntry> itemsAdded;
    std::vector<AmendedEntry> itemsRemoved;
    std::vector<AmendedItem> itemsChanged;
    std::vector<AmendedEntry> sectionsAdded;
    std::vector<AmendedEntry> sectionsRemoved;
    std::vector<std::string> otherChanges; // header texts, form definitions, templates, ...
    // Only the subcontractors the amendment touches, in table order.
    std::vector<SubcontractorEffects> subcontractors;
    SubcontractorEffects miscData; // the miscellaneous-data record

    // The amended file's amendment count is not higher than the working
    // contract's: the caller asks (the program) or warns (kestrel-cli).
    bool CountNotHigher() const { return amendedAmendCount <= workingAmendCount; }
    int DroppedSubItemCount() const;
};

// The working contract with the amendment carried over, not yet applied.
struct PreparedAmendment {
    PreparedAmendment();
    PreparedAmendment(PreparedAmendment&&) noexcept;
    PreparedAmendment& operator=(PreparedAmendment&&) noexcept;
    ~PreparedAmendment();

    std::unique_ptr<CContract> contract;
    AmendmentPreview preview;
};

// Builds the carried-over contract from the working contract and the
// amended one (taken over). Fails with kAmendmentNotSameContract, naming
// both contracts, when the Contract ID or the Letting ID differ. The
// working contract is not changed (its pick lists read from list files
// may be cached in it); list files are looked for through paths.
[[nodiscard]] Result<PreparedAmendment>
PrepareAmendment(CContract& working, std::unique_ptr<CContract> amended, const CProgramPaths& paths);

// The warning of an amendment count that is not higher.
[[nodiscard]] std::string AmendmentCountWarning(const AmendmentPreview& preview);

// The preview as text lines (Windows-1252, no line ends).
[[nodiscard]] std::vector<std::string> RenderAmendmentPreview(const AmendmentPreview& preview);

// The carry-over report: one page (its lines) per subcontractor the
// amendment touches, and one for the miscellaneous data when touched.
[[nodiscard]] std::vector<std::vector<std::string>> AmendmentReportPages(const AmendmentPreview& preview);

} // namespace kestrel
