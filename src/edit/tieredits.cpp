// Subcontractor records in tiers: add, delete with the lower tiers, move
// under another record. Each recomputes what it changes: the subcontracted
// total (only the first tier counts), the completeness of the records and
// the over-commit marks of the lines the records hold.

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "edit/contractedits.h"
#include "edit/editscope.h"
#include "file/opencontract.h"
#include "model/contract/contract.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/texttrim.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

EditResult Refuse(Refusal why, std::string text)
{
    return EditResult::Fail(std::move(text), static_cast<int>(why));
}

bool IsLockedRecord(const CContract& contract, const CSubcontract& record)
{
    return FlagTest(contract.m_wFlags, CONTRACT_IRONBARK_LOCKED) &&
           FlagTest(record.m_wFlags, SUB_FROMIRONBARK);
}

// The record and every record below it, by the parent links of the table
// (not by any view of them): a record whose parent goes goes too, so no
// record is left pointing at a deleted one, whatever the links look like.
std::vector<CSubcontract*> RecordAndBelow(const CWinMeta& table, CSubcontract& record)
{
    std::unordered_set<const CSubcontract*> set{&record};
    std::vector<CSubcontract*> result{&record};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& rec : table.m_Records) {
            if (rec->m_pParent && set.count(rec->m_pParent) && !set.count(rec.get())) {
                set.insert(rec.get());
                result.push_back(rec.get());
                grew = true;
            }
        }
    }
    return result;
}

// Every line that a sub-item of these records is for.
std::vector<std::string> LinesOf(const std::vector<CSubcontract*>& records)
{
    std::vector<std::string> lines;
    std::unordered_set<std::string> seen;
    for (const CSubcontract* rec : records)
        rec->m_SubItems.ForEach([&](const std::string& line, const CSubItem&) {
            if (seen.insert(line).second)
                lines.push_back(line);
        });
    return lines;
}

} // namespace

EditResult CContractEdits::AddSubcontractor(CSubcontract* selected)
{
    CWinMeta* table = SubTable();
    if (!table)
        return Refuse(Refusal::NotAllowed, "This contract has no subcontractor table");
    if (selected && RowOf(*selected) < 0)
        return Refuse(Refusal::NotAllowed, "The subcontractor is not in this contract");
    // A record without a number could not be named as a parent: its lower
    // tiers would come loose when the file is next opened.
    if (table->FreeNumber() == 0)
        return Refuse(Refusal::NotAllowed, "All subcontractor numbers from 1 to 199 are in use");
    CSubcontract* parent = FlagTest(m_contract.m_wFlags, CONTRACT_DRAG_TIERS) ? selected : nullptr;
    Scope scope;
    Begin(scope, ChangeKind::SubcontractorAdded, table, nullptr, {});
    scope.image.TakeRecordOrder(m_contract);
    CSubcontract* rec = table->AddRecord(-1, -1);
    table->AssignNumber(rec);
    rec->SetParent(parent);
    rec->SetName(Text("<Unknown Subcontractor>"));
    table->ApplyDefaults(rec);
    LinkLists(*table, *rec);
    scope.event.record = rec;
    scope.event.treeChanged = true;
    scope.changed = true;
    const Text* number = rec->GetCellText(SUBF_NUMBER);
    return Finish(scope, "Add Subcontractor", number ? std::string(number->View()) : std::string());
}

Status CContractEdits::CanDeleteSubcontractor(const CSubcontract& record) const
{
    if (RowOf(record) < 0)
        return Status::Fail("The subcontractor is not in this contract",
                            static_cast<int>(Refusal::NotAllowed));
    if (IsLockedRecord(m_contract, record))
        return Status::Fail("This subcontractor was received from Ironbark and cannot be deleted",
                            static_cast<int>(Refusal::Locked));
    return Ok();
}

EditResult CContractEdits::DeleteSubcontractor(CSubcontract& record)
{
    if (Status allowed = CanDeleteSubcontractor(record); !allowed)
        return allowed.error();
    CWinMeta& table = *SubTable();
    // The step names the record by the name the tree shows: once it is
    // gone, nothing else tells which one it was.
    const Text* name = record.GetCellText(SubNameField(table));
    const std::string_view shown = name ? TrimBlanks(name->View()) : std::string_view();
    std::string description = "Delete Subcontractor";
    if (!shown.empty())
        description.append(" ").append(shown);
    Scope scope;
    Begin(scope, ChangeKind::SubcontractorDeleted, &table, &record, {});
    scope.image.TakeRecordOrder(m_contract);
    const std::vector<CSubcontract*> going = RecordAndBelow(table, record);
    // The marks of the lines they held change for the records that stay.
    for (const std::string& line : LinesOf(going))
        scope.TouchLine(m_contract, line, false);
    for (CSubcontract* rec : going)
        scope.image.Keep(table.m_Records.Detach(table.m_Records.IndexOf(rec)));
    scope.event.treeChanged = true;
    scope.changed = true;
    return Finish(scope, std::move(description));
}

bool CContractEdits::AcceptsMove(const CSubcontract& record, const CSubcontract* target) const
{
    if (!FlagTest(m_contract.m_wFlags, CONTRACT_DRAG_TIERS) || RowOf(record) < 0)
        return false;
    if (IsLockedRecord(m_contract, record))
        return false;
    if (!target)
        return record.m_pParent != nullptr; // to the first tier
    if (target == &record || RowOf(*target) < 0)
        return false;
    // Not onto a record of its own lower tiers (bounded against looping links).
    int steps = SubTable()->m_Records.GetSize();
    for (const CSubcontract* p = target->m_pParent; p && steps-- > 0; p = p->m_pParent)
        if (p == &record)
            return false;
    return true;
}

EditResult CContractEdits::MoveSubcontractor(CSubcontract& record, CSubcontract* newParent)
{
    if (!AcceptsMove(record, newParent))
        return Refuse(Refusal::NotAllowed, "The subcontractor cannot be moved there");
    CWinMeta& table = *SubTable();
    Scope scope;
    Begin(scope, ChangeKind::SubcontractorMoved, &table, &record, {});
    if (record.m_pParent == newParent)
        return Finish(scope, "Move Subcontractor");
    scope.image.TakeRecordOrder(m_contract);
    const std::vector<CSubcontract*> moving = RecordAndBelow(table, record);
    for (CSubcontract* rec : moving)
        scope.image.TakeRecord(*rec);
    // Sub-items of these lines may go (below), the marks of the others change.
    for (const std::string& line : LinesOf(moving))
        scope.TouchLine(m_contract, line, true);
    record.SetParent(newParent);
    // A lower tier holds only lines its parent holds: the moved record's
    // sub-items for lines the new parent does not hold go, here and below
    // it, as unchecking "Use?" would take them (undo brings them back).
    if (newParent) {
        for (const std::string& line : record.m_SubItems.Keys()) {
            if (!newParent->FindSubItem(line)) {
                record.RemoveSubItem(line);
                RemoveLineBelow(m_contract, line, &record);
            }
        }
    }
    scope.renewAllSubItemStates = true;
    scope.event.treeChanged = true;
    scope.changed = true;
    return Finish(scope, "Move Subcontractor");
}

} // namespace kestrel
