// kestrel-cli amend WORK.CON AMENDED.CON OUT [--report REPORT.txt]: carries
// the subcontracting of the working contract over to the agency's amended
// contract file, as File > Apply Amendment does, without asking: the
// preview as text on stdout (or into REPORT), OUT written through the safe
// save as `apply` writes (no remark stamping, the flags as they stand).

#include <iostream>
#include <string>
#include <vector>

#include "calc/evaluator.h"
#include "cli/command.h"
#include "cli/loadcontract.h"
#include "cli/opendocument.h"
#include "edit/amendment.h"
#include "edit/contractedits.h"
#include "file/contractsave.h"
#include "file/safereplace.h"
#include "model/contract/contract.h"

namespace kestrel::cli {

namespace {

constexpr int kExitDropped = 1;
constexpr int kExitNotSameContract = 4;
constexpr const char* kUsage = "usage: kestrel-cli amend WORK.CON AMENDED.CON OUT [--report REPORT.txt]";

int RunAmend(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    std::string report;
    for (size_t k = 0; k < args.size(); ++k) {
        if (args[k] == "--report" && k + 1 < args.size())
            report = args[++k];
        else
            files.push_back(args[k]);
    }
    if (files.size() != 3) {
        PrintError(kUsage);
        return kExitUnreadable;
    }
    const std::string& work = files[0];
    const std::string& amendedPath = files[1];
    const std::string& out = files[2];
    if (OutputIsInput(work, report, "working contract") ||
        OutputIsInput(amendedPath, report, "amended contract") ||
        OutputIsInput(amendedPath, out, "amended contract") ||
        (!report.empty() && report != "-" && IsSameFile(out, report)))
        return kExitUnreadable;
    Document working;
    if (const int status = OpenDocument(work, working))
        return status;
    Document amended;
    if (const int status = OpenDocument(amendedPath, amended))
        return status;
    Result<PreparedAmendment> prepared =
        PrepareAmendment(*working.contract, std::move(amended.contract), working.paths);
    if (!prepared) {
        PrintError(prepared.errorText());
        return prepared.errorCode() == kAmendmentNotSameContract ? kExitNotSameContract : kExitUnreadable;
    }
    const AmendmentPreview preview = prepared->preview;
    if (preview.CountNotHigher())
        std::cerr << "Warning: " << Out(AmendmentCountWarning(preview)) << "\n";
    Evaluator evaluator;
    CContractEdits edits(*working.contract, evaluator, working.paths);
    if (EditResult applied = edits.ApplyAmendment(prepared.value()); !applied) {
        PrintError(applied.errorText());
        return kExitUnreadable;
    }
    if (const Status written = WriteContractFileSafely(*working.contract, out); !written) {
        PrintFileError(out, written.errorText());
        return kExitWriteFailed;
    }
    std::string text;
    for (const std::string& line : RenderAmendmentPreview(preview))
        text += Out(line) + "\n";
    if (report.empty() || report == "-") {
        std::cout << text;
    } else if (const Status saved = ReplaceFileContents(report, text); !saved) {
        PrintFileError(report, saved.errorText());
        return kExitWriteFailed;
    }
    return preview.DroppedSubItemCount() > 0 ? kExitDropped : 0;
}

const bool kRegistered =
    RegisterCommand({"amend", "WORK.CON AMENDED.CON OUT [--report REPORT.txt]", RunAmend});

} // namespace

} // namespace kestrel::cli
