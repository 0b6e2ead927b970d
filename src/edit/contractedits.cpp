#include "edit/contractedits.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

#include "calc/codepage.h"
#include "calc/evaluator.h"
#include "calc/formats.h"
#include "edit/editscope.h"
#include "edit/subitemrules.h"
#include "file/recordwriter.h"
#include "model/contract/contract.h"
#include "model/subcontract/check.h"
#include "model/subcontract/subitemsummaries.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameCheck(const CheckResult& a, const CheckResult& b)
{
    if (a.errors != b.errors || a.warnings != b.warnings || a.messages.size() != b.messages.size())
        return false;
    for (size_t i = 0; i < a.messages.size(); ++i)
        if (a.messages[i].text != b.messages[i].text || a.messages[i].record != b.messages[i].record)
            return false;
    return true;
}

// 65535 as "65,535".
std::string Thousands(size_t n)
{
    return FormatNumber(static_cast<double>(n), 0, 0, true, false);
}

// No state of the contract is the one on disk.
constexpr uint64_t kNoSavedState = ~uint64_t(0);

// The bits of a record that its completeness marks show.
constexpr uint16_t kCompletenessBits =
    (1u << SUB_COMPLETE) | (1u << SUB_ITEMS_COMPLETE) | (1u << SUB_TIERS_COMPLETE);

} // namespace

const char* RefusalCaption(Refusal refusal)
{
    switch (refusal) {
    case Refusal::NumberFormat: return "Number Format Error";
    case Refusal::DateFormat: return "Date Format Error";
    case Refusal::Quantity: return "Quantity Error";
    case Refusal::Amount: return "Amount Error";
    case Refusal::Locked: return "Locked";
    case Refusal::Expression: return "Entry Error";
    case Refusal::NotAllowed: return "Not Allowed";
    case Refusal::Text: return "Text Error";
    }
    return "Error";
}

Result<std::string> TypedText(std::string_view utf8)
{
    Result<std::string> text = Utf8ToCp1252Exact(utf8);
    if (!text)
        return Result<std::string>::Fail(text.errorText(), static_cast<int>(Refusal::Text));
    return text;
}

Status CheckTextLength(std::string_view text)
{
    if (text.size() <= kMaxRecordText)
        return Ok();
    return Status::Fail("The text is too long: a contract file holds at most " + Thousands(kMaxRecordText) +
                            " characters in one text, and this one has " + Thousands(text.size()),
                        static_cast<int>(Refusal::Text));
}

void CContractEdits::Scope::TouchLine(const CContract& contract, std::string_view line, bool copies)
{
    if (copies)
        image.TakeLine(contract, line);
    else
        image.TakeLineFlags(contract, line);
    if (std::find(lines.begin(), lines.end(), line) == lines.end())
        lines.emplace_back(line);
}

CContractEdits::CContractEdits(CContract& contract, Evaluator& evaluator, const CProgramPaths& paths)
    : m_contract(contract), m_evaluator(evaluator), m_paths(paths), m_check(std::make_unique<CheckResult>()),
      m_summaries(std::make_unique<CSubItemSummaries>()),
      m_savedState(FlagTest(contract.m_wFlags, CONTRACT_MODIFIED) ? kNoSavedState : 0)
{
}

CContractEdits::~CContractEdits() = default;

const CheckResult& CContractEdits::LastCheck() const
{
    return *m_check;
}

bool CContractEdits::RunCheck()
{
    m_summaries->ForgetAll();
    CheckResult check = CheckContract(m_contract, CheckCollect::Messages, m_summaries.get());
    const bool changed = !SameCheck(check, *m_check);
    *m_check = std::move(check);
    return changed;
}

void CContractEdits::SetLastCheck(CheckResult check)
{
    m_summaries->ForgetAll();
    *m_check = std::move(check);
}

void CContractEdits::MarkSaved()
{
    m_savedState = m_state;
    m_contract.SetModified(false);
}

CWinMeta* CContractEdits::SubTable() const
{
    return m_contract.m_pSubTable.get();
}

int CContractEdits::RowOf(const CSubcontract& record) const
{
    const CWinMeta* table = SubTable();
    return table ? table->m_Records.IndexOf(&record) : -1;
}

void CContractEdits::Begin(Scope& scope, ChangeKind kind, const CWinMeta* table, const CSubcontract* record,
                           std::string_view line)
{
    scope.event.kind = kind;
    scope.event.table = table;
    scope.event.record = record;
    scope.event.line = std::string(line);
    scope.image.TakeHeader(m_contract);
    scope.image.TakeRecordStates(m_contract);
    NoteStateBefore(scope);
}

void CContractEdits::NoteStateBefore(Scope& scope) const
{
    scope.flagsBefore = m_contract.m_wFlags;
    scope.contractTotalBefore = m_contract.m_fContractTotal;
    scope.subTotalBefore = SubTable() ? SubTable()->m_fSubTotal : 0.0;
    for (const CWinMeta* t : {m_contract.m_pSubTable.get(), m_contract.m_pMiscTable.get()})
        if (t)
            for (const auto& rec : t->m_Records)
                scope.recordFlagsBefore.emplace_back(rec.get(), rec->m_wFlags);
}

void CContractEdits::FollowUp(Scope& scope)
{
    CWinMeta* table = SubTable();
    const bool exempt = FlagTest(m_contract.m_wFlags, CONTRACT_IRONBARK_LOCKED);
    if (scope.recalculate)
        m_contract.RecalculateContract();
    if (table) {
        // The marks of every sub-item of the touched lines, each against its
        // own tier, then the sub-item state of the records whose marks or
        // sub-items changed.
        std::vector<CSubcontract*> renew = scope.subItemRecords;
        for (const std::string& line : scope.lines) {
            const CItem* item = m_contract.FindItemByLineNumber(line);
            if (!item)
                continue;
            for (const auto& rec : table->m_Records)
                if (CSubItem* si = rec->FindSubItem(line))
                    if (RenewSubItemFlags(m_contract, *rec, *item, *si, kEditTolerance, true))
                        renew.push_back(rec.get());
        }
        if (scope.renewAllSubItemStates) {
            for (int i = 0; i < table->m_Records.GetSize(); ++i)
                table->UpdateSubItemState(i, exempt);
        } else {
            for (CSubcontract* rec : renew)
                if (const int row = table->m_Records.IndexOf(rec); row >= 0)
                    table->UpdateSubItemState(row, exempt);
        }
        ForgetSubItemsOf(scope.image.ChangedSubItemRecords());
        ComputeSubcontractedTotal(m_contract, m_summaries.get());
        // A record whose lower tiers went (deleted or moved away) has no
        // child left to renew its lower-tier bit: renew every record's
        // from its children first.
        table->RenewTierBits();
        table->UpdateCompleteness(-1, exempt);
    }
    if (CWinMeta* misc = m_contract.m_pMiscTable.get())
        misc->UpdateCompleteness(-1, false);
    m_contract.SetModified(true);

    const bool hadErrors = FlagTest(scope.flagsBefore, CONTRACT_BID_ERRORS);
    CheckResult check = CheckAfterChange();
    scope.event.checkChanged =
        !SameCheck(check, *m_check) || hadErrors != FlagTest(m_contract.m_wFlags, CONTRACT_BID_ERRORS);
    *m_check = std::move(check);
}

void CContractEdits::ForgetSubItemsOf(const std::vector<const CSubcontract*>& changed)
{
    m_summaries->KeepOnly(SubTable());
    for (const CSubcontract* rec : changed)
        m_summaries->Forget(rec);
}

CheckResult CContractEdits::CheckAfterChange()
{
    CheckResult check = CheckContract(m_contract, CheckCollect::Messages, m_summaries.get());
#ifndef NDEBUG
    // What the change left unread must be what reading it all gives.
    const double subTotal = SubTable() ? SubTable()->m_fSubTotal : 0.0;
    const CheckResult full = CheckContract(m_contract);
    assert(SameBits(subTotal, SubTable() ? SubTable()->m_fSubTotal : 0.0));
    assert(SameCheck(check, full));
    for (size_t i = 0; i < check.messages.size(); ++i)
        assert(check.messages[i].item == full.messages[i].item);
#endif
    return check;
}

void CContractEdits::Notify(const ChangeEvent& event)
{
    if (m_observer)
        m_observer->ContractChanged(event);
}

namespace {

// Fills in what the follow-up changed, by comparing with the state the
// scope took before the change.
void CompareWithBefore(const CContract& contract,
                       const std::vector<std::pair<const CSubcontract*, uint16_t>>& before,
                       uint16_t flagsBefore, double contractTotalBefore, double subTotalBefore,
                       ChangeEvent& ev)
{
    ev.modifiedChanged =
        FlagTest(flagsBefore, CONTRACT_MODIFIED) != FlagTest(contract.m_wFlags, CONTRACT_MODIFIED);
    const double subTotal = contract.m_pSubTable ? contract.m_pSubTable->m_fSubTotal : 0.0;
    ev.totalsChanged =
        !SameBits(contractTotalBefore, contract.m_fContractTotal) || !SameBits(subTotalBefore, subTotal);
    size_t i = 0;
    for (const CWinMeta* t : {contract.m_pSubTable.get(), contract.m_pMiscTable.get()}) {
        if (!t)
            continue;
        for (const auto& rec : t->m_Records) {
            if (i >= before.size() || before[i].first != rec.get()) {
                ev.completenessChanged = true; // records came or went
                return;
            }
            const uint16_t was = before[i].second;
            if ((was ^ rec->m_wFlags) & kCompletenessBits)
                ev.completenessChanged = true;
            if (t == contract.m_pSubTable.get() && ((was ^ rec->m_wFlags) & (1u << SUB_USESSUBITEMS)))
                ev.treeChanged = true;
            ++i;
        }
    }
    if (i != before.size())
        ev.completenessChanged = true;
}

} // namespace

EditResult CContractEdits::Finish(Scope& scope, std::string description, std::string text)
{
    AppliedEdit edit;
    edit.description = std::move(description);
    edit.text = std::move(text);
    edit.unreadable = std::move(scope.unreadable);
    if (!scope.changed) {
        // Nothing to take back and nothing to tell.
        edit.event = scope.event;
        return edit;
    }
    FollowUp(scope);
    edit.otherState = m_state;
    m_state = ++m_lastState; // a state no other change leads to: modified
    scope.event.valuesChanged = true;
    CompareWithBefore(m_contract, scope.recordFlagsBefore, scope.flagsBefore, scope.contractTotalBefore,
                      scope.subTotalBefore, scope.event);
    edit.event = scope.event;
    scope.image.Settle(m_contract);
    edit.inverse = std::move(scope.image);
    Notify(edit.event);
    return edit;
}

void CContractEdits::Exchange(AppliedEdit& edit, ChangeKind kind)
{
    if (edit.inverse.IsEmpty())
        return;
    Scope before;
    Begin(before, kind, edit.event.table, edit.event.record, edit.event.line);
    edit.inverse.Exchange(m_contract);
    // Modified is whether the state reached is not the one last saved,
    // whatever the flag was when the image was taken.
    std::swap(m_state, edit.otherState);
    m_contract.SetModified(m_state != m_savedState);
    // The image puts back every value the change and its follow-up set,
    // contract flag 3 included; the check runs again for its messages.
    ForgetSubItemsOf(edit.inverse.ChangedSubItemRecords());
    CheckResult check = CheckAfterChange();
    ChangeEvent ev = before.event;
    ev.field = edit.event.field;
    ev.templateName = edit.event.templateName;
    ev.valuesChanged = true;
    ev.checkChanged = !SameCheck(check, *m_check);
    *m_check = std::move(check);
    CompareWithBefore(m_contract, before.recordFlagsBefore, before.flagsBefore, before.contractTotalBefore,
                      before.subTotalBefore, ev);
    ev.treeChanged = ev.treeChanged || edit.event.treeChanged;
    ev.reshaped = edit.event.reshaped;
    Notify(ev);
}

void CContractEdits::Undo(AppliedEdit& edit)
{
    Exchange(edit, ChangeKind::Undone);
}

void CContractEdits::Redo(AppliedEdit& edit)
{
    Exchange(edit, ChangeKind::Redone);
}

} // namespace kestrel
