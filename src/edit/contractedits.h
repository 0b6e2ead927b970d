#pragma once
// The one way the program changes a contract. Every view, the command-line
// tool's `apply` and the tests go through this class; none of them sets a
// flag, computes a total or runs the check itself.
//
// Each change
// - applies the rules of entry and refuses, with the message the program
//   shows, what they do not allow (a refused change changes nothing);
// - sets contract flag 0 only when a stored value really changed;
// - runs one follow-up, the same for every change: the over-commit state of
//   the sub-items of the lines it touched, the subcontracted total, the
//   completeness of the records, the silent contract check;
// - tells the observer what changed (one event);
// - returns its inverse: the values before the change of what it changed,
//   no more (see ContractImage), which undoes it and then redoes it, the
//   modified flag included.
//
// Records are named by identity, never by row: deleting a record renumbers
// the rows behind it, but a view bound to a record stays bound to it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/formats.h"
#include "calc/result.h"
#include "edit/changeevent.h"
#include "edit/contractimage.h"
#include "edit/fieldrules.h"

namespace kestrel {

class CContract;
class CSubcontract;
class CWinMeta;
class Evaluator;
class CProgramPaths;
class CSubItemSummaries;
struct CheckResult;
struct PreparedAmendment;

// Why a change was refused; each has the caption of the program's message box.
enum class Refusal : int {
    NumberFormat = 1, // "Number Format Error"
    DateFormat,       // "Date Format Error"
    Quantity,         // "Quantity Error"
    Amount,           // "Amount Error"
    Locked,           // a record or sub-item received from Ironbark and locked
    Expression,       // an entry the evaluator cannot read
    NotAllowed,       // the contract does not allow it (no table, no such line, a refused drop)
    Text,             // a text the contract file cannot hold: too long, or a character Windows-1252 lacks
};
[[nodiscard]] const char* RefusalCaption(Refusal refusal);

// A text typed or given from outside (UTF-8) as the contract stores it, in
// Windows-1252. A character the code page cannot hold is refused with the
// character named (Refusal::Text), never changed; so is text that is not
// UTF-8.
[[nodiscard]] Result<std::string> TypedText(std::string_view utf8);

// A change that was made.
struct AppliedEdit {
    ContractImage inverse;   // exchanging it undoes the change, and again redoes it
    std::string description; // for "Undo <what>": "Quantity", "Add Subcontractor", ...
    std::string text;        // what `apply` prints after "ok" (the number of an added record)
    std::string notice;      // what the status bar says of the change's further effects, or ""
    // A quantity, unit price or extension typed that the evaluator cannot
    // read is stored as no value (the sub-item is then incomplete); this
    // is the evaluator's message, for the user to see why.
    std::string unreadable;
    ChangeEvent event; // what the change did
    // The state the contract is in once the inverse is exchanged (the edit
    // layer's own count of states, which tells whether that is the state
    // last saved).
    uint64_t otherState = 0;
};

using EditResult = Result<AppliedEdit>;

// What the sub-item entry shows for one contract line of one subcontractor.
struct SubItemDisplay {
    bool isItem = false;     // false: no line, or a section heading
    bool hasSubItem = false; // the line is subcontracted to this record
    bool partial = false;
    bool locked = false; // received from Ironbark while the contract locks such items
    double quantity = 0; // the values shown (may be blank)
    double unitPrice = 0;
    double extension = 0;
    std::string remarks;
    std::string mark; // "<invalid quantity>", "<Qty over committed>", "<Price over committed>" or ""
};

class CContractEdits {
public:
    CContractEdits(CContract& contract, Evaluator& evaluator, const CProgramPaths& paths);
    ~CContractEdits();
    CContractEdits(const CContractEdits&) = delete;
    CContractEdits& operator=(const CContractEdits&) = delete;

    CContract& Contract() { return m_contract; }
    const CContract& Contract() const { return m_contract; }
    Evaluator& GetEvaluator() { return m_evaluator; }
    const CProgramPaths& Paths() const { return m_paths; }
    void SetObserver(ContractObserver* observer) { m_observer = observer; }
    // The result of the last silent check (run after every change).
    const CheckResult& LastCheck() const;
    // Runs the silent check now (after opening a contract); returns whether
    // its result differs from the last one's.
    bool RunCheck();
    // Takes a check just run on the contract (the open steps end with one)
    // as the last one.
    void SetLastCheck(CheckResult check);
    // The contract as it stands is the one on disk (it was just saved):
    // undo and redo that come back to this state clear contract flag 0,
    // every other state sets it. The state the contract was opened in
    // counts as saved unless it was opened with flag 0 set.
    void MarkSaved();

    // --- form fields of subcontractor and misc-data records ----------------
    // A field stores only when its value really changes: leaving a field
    // untouched, binding or re-showing a record never marks the contract
    // modified. Fields on the same pick list are kept in step; the
    // subcontractor table adds its rules ("sub type", "vendor", "worktype"
    // lists, the amount against the Ironbark amount, the record lock).
    //
    // Typing into a field and leaving it. Numbers, money and dates are
    // validated; for a yes/no field and a drop-down the text chooses the
    // entry as typing into the box would (with the field's flag bit 3 the
    // first entry beginning with it; else the text is kept as an entry not
    // chosen from the list).
    [[nodiscard]] EditResult SetCell(CWinMeta& table, CSubcontract& record, int field,
                                     std::string_view typed);
    // Choosing the entry at list position `position` of a drop-down or
    // yes/no field (-1: none); a position, never a place in the box.
    [[nodiscard]] EditResult ChooseListEntry(CWinMeta& table, CSubcontract& record, int field, int position);
    // What a field's list offers for a record: for a "worktype" drop-down
    // of a subcontractor, only the work types of the record's vendor when
    // it has any.
    [[nodiscard]] FieldChoices Choices(const CWinMeta& table, const CSubcontract& record, int field);
    // What the form shows of a record bound to it. Changes nothing.
    [[nodiscard]] FormDisplay ShowRecord(const CWinMeta& table, const CSubcontract& record);
    // Today's local date and time, for "T" typed into a date field and the
    // year of a date typed without one (the machine's clock unless set).
    void SetClock(std::function<LocalDateTime()> clock) { m_clock = std::move(clock); }

    // --- subcontractor tiers -----------------------------------------------
    // Adds a record below `selected` when the contract allows tiers and one
    // is given, else in the first tier; `text` is its number.
    [[nodiscard]] EditResult AddSubcontractor(CSubcontract* selected);
    [[nodiscard]] Status CanDeleteSubcontractor(const CSubcontract& record) const;
    // Deletes the record with its lower tiers.
    [[nodiscard]] EditResult DeleteSubcontractor(CSubcontract& record);
    // Whether dragging `record` onto `target` (null: the "Subcontractors"
    // node) is accepted.
    [[nodiscard]] bool AcceptsMove(const CSubcontract& record, const CSubcontract* target) const;
    [[nodiscard]] EditResult MoveSubcontractor(CSubcontract& record, CSubcontract* newParent);

    // --- sub-items ---------------------------------------------------------
    [[nodiscard]] EditResult UseItem(CSubcontract& record, std::string_view line, bool use);
    [[nodiscard]] EditResult SetSubItemQuantity(CSubcontract& record, std::string_view line,
                                                std::string_view typed);
    [[nodiscard]] EditResult SetSubItemUnitPrice(CSubcontract& record, std::string_view line,
                                                 std::string_view typed);
    [[nodiscard]] EditResult SetSubItemExtension(CSubcontract& record, std::string_view line,
                                                 std::string_view typed);
    [[nodiscard]] EditResult SetSubItemPartial(CSubcontract& record, std::string_view line, bool partial);
    [[nodiscard]] EditResult SetSubItemRemarks(CSubcontract& record, std::string_view line,
                                               std::string_view text);
    // Showing a line: the values the entry view shows; the sub-item's
    // over-commit marks are renewed against a tolerance of 0 (not a change
    // of the contract: the modified flag stays as it is).
    SubItemDisplay ShowSubItem(CSubcontract& record, std::string_view line);
    // What the entry view shows of a line as the contract stands, without
    // renewing any mark (the display after a change keeps the marks the
    // change's own tolerance gave).
    [[nodiscard]] SubItemDisplay DescribeSubItem(const CSubcontract& record, std::string_view line) const;

    // --- contract items ----------------------------------------------------
    [[nodiscard]] EditResult SetItemQuantity(std::string_view line, std::string_view typed);
    [[nodiscard]] EditResult SetItemUnitPrice(std::string_view line, std::string_view typed);
    // The "counted although fixed price" mark of an item.
    [[nodiscard]] EditResult SetItemCounted(std::string_view line, bool counted);

    // --- templates ---------------------------------------------------------
    // Carriage return + line feed pairs are stored as line feeds.
    [[nodiscard]] EditResult SetTemplateText(std::string_view name, std::string_view text);

    // --- amendments ---------------------------------------------------------
    // Puts the contract an amendment was carried over to (PrepareAmendment,
    // prepared from this contract and not changed since) in place of this
    // one, as one change: the follow-up runs, the contract is modified, and
    // the inverse brings back the whole contract as it was. The prepared
    // contract is taken over.
    [[nodiscard]] EditResult ApplyAmendment(PreparedAmendment& prepared);

    // --- undo and redo -----------------------------------------------------
    // Takes the change back (the image exchanged) and tells the observer.
    void Undo(AppliedEdit& edit);
    void Redo(AppliedEdit& edit);

    struct Scope; // what one change touches (edit/editscope.h)

private:
    void Begin(Scope& scope, ChangeKind kind, const CWinMeta* table, const CSubcontract* record,
               std::string_view line);
    // The flags and totals as they stand before a change: the follow-up
    // tells what it changed.
    void NoteStateBefore(Scope& scope) const;
    // The common follow-up of every change, the event and the inverse.
    EditResult Finish(Scope& scope, std::string description, std::string text = {});
    void FollowUp(Scope& scope);
    // A change made: the records whose sub-items it changed, and those no
    // longer in the table, are read afresh by the totals and the check.
    void ForgetSubItemsOf(const std::vector<const CSubcontract*>& changed);
    // The check after a change, reading the sub-items only of the records
    // forgotten; in a debug build it is held against a check that reads
    // them all.
    CheckResult CheckAfterChange();
    void Notify(const ChangeEvent& event);
    void Exchange(AppliedEdit& edit, ChangeKind kind);
    EditResult SetItemValue(std::string_view line, std::string_view typed, bool quantity);
    CWinMeta* SubTable() const;
    // Form fields (edit/celledits.cpp).
    [[nodiscard]] Status CheckField(const CWinMeta& table, const CSubcontract& record, int field) const;
    [[nodiscard]] Status CheckWritable(const CWinMeta& table, const CSubcontract& record, int field) const;
    [[nodiscard]] std::vector<std::string> VendorWorkTypes(const CWinMeta& table, const CSubcontract& record);
    [[nodiscard]] Status CheckIronbarkAmount(const CSubcontract& record, double entered) const;
    [[nodiscard]] EditResult StoreText(CWinMeta& table, CSubcontract& record, int field, std::string text);
    [[nodiscard]] EditResult StoreYesNo(CWinMeta& table, CSubcontract& record, int field, int position);
    [[nodiscard]] EditResult StoreListChoice(CWinMeta& table, CSubcontract& record, int field, int position,
                                             std::string_view typed);
    bool KeepListInStep(CWinMeta& table, CSubcontract& record, int field, int position,
                        std::string_view entry);
    void LinkLists(CWinMeta& table, CSubcontract& record);
    [[nodiscard]] EditResult Unchanged(CWinMeta& table, CSubcontract& record, int field);
    FieldDisplay ShowField(const CWinMeta& table, const CSubcontract& record, int field);
    // The record's row in the subcontractor table, -1 when it is not there.
    int RowOf(const CSubcontract& record) const;

    CContract& m_contract;
    Evaluator& m_evaluator;
    const CProgramPaths& m_paths;
    ContractObserver* m_observer = nullptr;
    std::unique_ptr<CheckResult> m_check;
    // What the totals and the check read of each record's sub-items, kept
    // from one change to the next.
    std::unique_ptr<CSubItemSummaries> m_summaries;
    std::function<LocalDateTime()> m_clock;
    // Every change makes a new state; undo and redo go back and forth
    // between the states their edits hold.
    uint64_t m_state = 0;
    uint64_t m_lastState = 0;
    uint64_t m_savedState = 0;
};

} // namespace kestrel
