// kestrel-cli apply FILE EDITS.json OUT: opens a contract as the document
// does, makes the edits of a JSON file through the edit layer, as a user's
// actions in the views would, prints one line per edit and writes the
// contract as the edits left it through the safe save (OUT may be FILE).

#include <iostream>

#include "calc/wholefile.h"
#include "cli/command.h"
#include "cli/editscript.h"
#include "cli/loadcontract.h"
#include "cli/opendocument.h"
#include "cli/programevaluator.h"
#include "edit/contractedits.h"
#include "edit/edithistory.h"
#include "file/contractsave.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::cli {

namespace {

constexpr int kExitInvalidEdits = 4;

// What one edit came to: the line to print, or (failed) an edit the
// script should not have held, which ends the run with nothing written.
using Outcome = Result<std::string>;

class ApplyRun {
public:
    ApplyRun(CContract& contract, const CProgramPaths& paths)
        : m_contract(contract), m_edits(contract, ProgramEvaluator(), paths), m_history(m_edits)
    {
        m_edits.RunCheck();
    }

    Outcome Run(const ScriptEdit& e);

private:
    // The changes of one edit, made in order as separate changes; a refused
    // one takes back those before it, so that a refused edit changes nothing.
    std::string Make(const std::vector<EditStep>& steps)
    {
        const Result<std::string> made = m_history.Make(steps);
        if (!made)
            return "refused: " + OutLine(made.errorText());
        return made->empty() ? "ok" : "ok " + Out(made.value());
    }
    static std::string Said(const Status& status)
    {
        return status ? "ok" : "refused: " + OutLine(status.errorText());
    }

    // The record numbered so; none gives the error that ends the run.
    CSubcontract* Record(const std::string& number, const char* role)
    {
        const CWinMeta* table = m_contract.m_pSubTable.get();
        CSubcontract* rec = table ? table->FindRecordByNumber(number) : nullptr;
        if (!rec)
            m_missing = std::string("No ") + role + " numbered '" + number + "'";
        return rec;
    }
    Outcome Missing() const { return Outcome::Fail(m_missing); }

    Outcome RunSubItem(CSubcontract& rec, const ScriptEdit& e);

    CContract& m_contract;
    CContractEdits m_edits;
    EditHistory m_history;
    std::string m_missing;
};

Outcome ApplyRun::RunSubItem(CSubcontract& rec, const ScriptEdit& e)
{
    std::vector<EditStep> changes;
    if (e.quantity)
        changes.push_back([&] { return m_edits.SetSubItemQuantity(rec, e.line, *e.quantity); });
    if (e.unitPrice)
        changes.push_back([&] { return m_edits.SetSubItemUnitPrice(rec, e.line, *e.unitPrice); });
    if (e.extension)
        changes.push_back([&] { return m_edits.SetSubItemExtension(rec, e.line, *e.extension); });
    if (e.partial)
        changes.push_back([&] { return m_edits.SetSubItemPartial(rec, e.line, *e.partial); });
    if (e.remarks)
        changes.push_back([&] { return m_edits.SetSubItemRemarks(rec, e.line, *e.remarks); });
    return Make(changes);
}

Outcome ApplyRun::Run(const ScriptEdit& e)
{
    CSubcontract* rec = nullptr;
    if (e.sub && !(rec = Record(*e.sub, "subcontractor")))
        return Missing();
    CSubcontract* parent = nullptr;
    if (e.parent && !(parent = Record(*e.parent, "parent subcontractor")))
        return Missing();
    if (!e.refusal.empty())
        return "refused: " + Out(e.refusal);
    switch (e.op) {
    case ScriptOp::Undo: return Said(m_history.Undo());
    case ScriptOp::Redo: return Said(m_history.Redo());
    case ScriptOp::AddSubcontractor: return Make({[&] { return m_edits.AddSubcontractor(parent); }});
    case ScriptOp::DeleteSubcontractor: return Make({[&] { return m_edits.DeleteSubcontractor(*rec); }});
    case ScriptOp::MoveSubcontractor: return Make({[&] { return m_edits.MoveSubcontractor(*rec, parent); }});
    case ScriptOp::SetCell: {
        CWinMeta& table = e.misc ? *m_contract.m_pMiscTable : *m_contract.m_pSubTable;
        CSubcontract& record = e.misc ? *table.m_Records[0] : *rec;
        return Make({[&] { return m_edits.SetCell(table, record, e.field, e.text); }});
    }
    case ScriptOp::UseItem: return Make({[&] { return m_edits.UseItem(*rec, e.line, e.use); }});
    case ScriptOp::SetSubItem: return RunSubItem(*rec, e);
    case ScriptOp::SetItem: {
        std::vector<EditStep> changes;
        if (e.quantity)
            changes.push_back([&] { return m_edits.SetItemQuantity(e.line, *e.quantity); });
        if (e.unitPrice)
            changes.push_back([&] { return m_edits.SetItemUnitPrice(e.line, *e.unitPrice); });
        return Make(changes);
    }
    case ScriptOp::SetTemplate: return Make({[&] { return m_edits.SetTemplateText(e.name, e.text); }});
    }
    return Outcome::Fail("Unknown op");
}

int RunApply(const std::vector<std::string>& args)
{
    if (args.size() != 3) {
        PrintError("usage: kestrel-cli apply FILE EDITS.json OUT");
        return kExitUnreadable;
    }
    const std::string& editsPath = args[1];
    Document document;
    if (const int status = OpenDocument(args[0], document))
        return status;
    const Result<std::string> json = ReadWholeFile(editsPath, kMaxTextFile);
    if (!json) {
        PrintFileError(editsPath, json.errorText());
        return kExitInvalidEdits;
    }
    const auto script = ParseEditScript(json.value(), *document.contract);
    if (!script) {
        PrintFileError(editsPath, script.errorText());
        return kExitInvalidEdits;
    }
    // The lines are printed only once every edit was made: an edit that
    // names a record the contract does not hold by then ends the run with
    // nothing printed and nothing written.
    ApplyRun run(*document.contract, document.paths);
    std::string lines;
    const std::vector<ScriptEdit>& edits = script.value();
    for (size_t i = 0; i < edits.size(); ++i) {
        const Outcome outcome = run.Run(edits[i]);
        if (!outcome) {
            PrintFileError(editsPath, EditError(outcome.errorText(), i));
            return kExitInvalidEdits;
        }
        lines += outcome.value() + '\n';
    }
    // OUT is replaced only once the lines are out: a run whose lines were
    // lost (a full disk, a reader that went away) leaves OUT as it was.
    std::cout << lines;
    if (!StandardOutputWritten())
        return kExitWriteFailed;
    if (const Status written = WriteContractFileSafely(*document.contract, args[2]); !written) {
        PrintFileError(args[2], written.errorText());
        return kExitWriteFailed;
    }
    return 0;
}

const bool kRegistered = RegisterCommand({"apply", "FILE EDITS.json OUT", RunApply});

} // namespace

} // namespace kestrel::cli
