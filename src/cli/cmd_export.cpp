// kestrel-cli export FILE --csv|--xlsx OUT [--table items|subcontractors|subitems]:
// the contract's tables as a spreadsheet, written through the safe
// replacement of OUT.

#include <optional>
#include <vector>

#include "cli/command.h"
#include "cli/exchangecommands.h"
#include "cli/loadcontract.h"
#include "cli/opendocument.h"
#include "exchange/csvwriter.h"
#include "exchange/exporttable.h"
#include "exchange/xlsxexport.h"
#include "model/contract/contract.h"

namespace kestrel::cli {

namespace {

constexpr const char* kUsage = "usage: kestrel-cli export FILE --csv|--xlsx OUT "
                               "[--table items|subcontractors|subitems]";

struct ExportArgs {
    std::string file;
    std::string out;
    bool xlsx = false;
    std::optional<ExportTableKind> table;
};

std::optional<ExportArgs> ParseArgs(const std::vector<std::string>& args)
{
    ExportArgs a;
    bool format = false;
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        const bool hasValue = k + 1 < args.size();
        if ((arg == "--csv" || arg == "--xlsx") && hasValue && !format) {
            format = true;
            a.xlsx = arg == "--xlsx";
            a.out = args[++k];
        } else if (arg == "--table" && hasValue && !a.table) {
            a.table = ExportTableKindFromName(args[++k]);
            if (!a.table) {
                PrintError("unknown table '" + args[k] + "' (items, subcontractors or subitems)");
                return std::nullopt;
            }
        } else if (a.file.empty() && arg.rfind("--", 0) != 0) {
            a.file = arg;
        } else {
            PrintError(kUsage);
            return std::nullopt;
        }
    }
    if (a.file.empty() || !format || a.out.empty()) {
        PrintError(kUsage);
        return std::nullopt;
    }
    return a;
}

int RunExport(const std::vector<std::string>& args)
{
    const std::optional<ExportArgs> a = ParseArgs(args);
    if (!a)
        return kExitUnreadable;
    // Writing the spreadsheet over the contract would destroy it.
    if (OutputIsInput(a->file, a->out, "contract file"))
        return kExitUnreadable;
    Document document;
    if (const int status = OpenDocument(a->file, document))
        return status;
    const CContract& contract = *document.contract;
    Status written = Ok();
    if (a->xlsx) {
        std::vector<ExportTable> tables;
        if (a->table) {
            tables.push_back(MakeExportTable(contract, *a->table));
        } else {
            for (ExportTableKind kind :
                 {ExportTableKind::Items, ExportTableKind::Subcontractors, ExportTableKind::SubItems})
                tables.push_back(MakeExportTable(contract, kind));
        }
        written = WriteXlsxFile(tables, a->out);
    } else {
        written = WriteCsvFile(MakeExportTable(contract, a->table.value_or(ExportTableKind::Items)), a->out);
    }
    if (!written) {
        PrintFileError(a->out, written.errorText());
        return kExitWriteFailed;
    }
    return 0;
}

const bool kRegistered = RegisterCommand({"export", kExportUsage, RunExport});

} // namespace

} // namespace kestrel::cli
