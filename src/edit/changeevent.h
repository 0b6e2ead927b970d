#pragma once
// What one change of the contract did, as the views need to know it: the
// document re-emits these as signals and every view redraws from them.

#include <string>

namespace kestrel {

class CSubcontract;
class CWinMeta;

enum class ChangeKind {
    Cell,                 // a cell of a subcontractor or misc-data record
    SubcontractorAdded,   // record: the new one
    SubcontractorDeleted, // record: the deleted one (no longer in the table)
    SubcontractorMoved,   // record: the moved one
    SubItem,              // record and line: a sub-item created, deleted or changed
    Item,                 // line: a contract item's quantity, unit price or mark
    Template,             // templateName
    Amended,              // an amendment carried over (everything may have changed)
    SubItemMarks,         // record and line: only the over-commit marks, on showing
    Undone,               // a change taken back (everything may have changed)
    Redone,               // a change made again
};

struct ChangeEvent {
    ChangeKind kind = ChangeKind::Cell;
    const CWinMeta* table = nullptr;      // the table of the record, when one
    const CSubcontract* record = nullptr; // the record the change is about
    std::string line;                     // the contract line, when one
    int field = -1;                       // the field, for a cell
    std::string templateName;

    // What the change and its follow-up changed.
    bool valuesChanged = false;       // a stored value changed
    bool completenessChanged = false; // a record's completeness bits changed
    bool checkChanged = false;        // the check's result (and contract flag 3) changed
    bool totalsChanged = false;       // the contract total or the subcontracted total changed
    bool treeChanged = false;         // records added, removed or moved, or an itemized state changed
    bool modifiedChanged = false;     // contract flag 0 changed
    // The contract's parts were replaced as a whole (an amendment carried
    // over, or such a change taken back or made again): records, items and
    // form definitions may all be other ones; views are built again.
    bool reshaped = false;
};

class ContractObserver {
public:
    virtual ~ContractObserver() = default;
    virtual void ContractChanged(const ChangeEvent& event) = 0;
};

} // namespace kestrel
