// kestrel-cli import-quote FILE --sub NUMBER QUOTE OUT [--line-col N
// --quantity-col N --price-col N --first-row N]: enters a subcontractor's
// quote (CSV or XLSX) into the contract through the edit layer, lists the
// rows it refused and writes the contract to OUT as `rewrite` does.

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "calc/codepage.h"
#include "cli/command.h"
#include "cli/exchangecommands.h"
#include "cli/loadcontract.h"
#include "cli/opendocument.h"
#include "cli/programevaluator.h"
#include "edit/contractedits.h"
#include "exchange/quotefile.h"
#include "exchange/quoteimport.h"
#include "file/contractsave.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::cli {

namespace {

constexpr int kExitBadArguments = 4;
constexpr const char* kUsage = "usage: kestrel-cli import-quote FILE --sub NUMBER QUOTE OUT "
                               "[--line-col N --quantity-col N --price-col N --first-row N]";

struct ImportArgs {
    std::string file, quote, out, sub;
    std::optional<int> line, quantity, price, firstRow;
};

// A column option's value: a number from 1 or letters.
bool TakeColumn(const std::string& option, const std::string& value, std::optional<int>& into)
{
    into = ParseColumnName(value);
    if (!into)
        PrintError(option + " needs a column number from 1 or column letters, not '" + value + "'");
    return into.has_value();
}

bool TakeRow(const std::string& value, std::optional<int>& into)
{
    // The rows of a spreadsheet: 1 to 1,048,576.
    const bool digits =
        !value.empty() && value.size() <= 7 && value.find_first_not_of("0123456789") == std::string::npos;
    const int number = digits ? std::stoi(value) : 0;
    if (number < 1 || number > 1048576) {
        PrintError("--first-row needs a row number from 1, not '" + value + "'");
        return false;
    }
    into = number;
    return true;
}

std::optional<ImportArgs> ParseArgs(const std::vector<std::string>& args)
{
    ImportArgs a;
    std::vector<std::string> positional;
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        const bool hasValue = k + 1 < args.size();
        bool ok = true;
        if (arg == "--sub" && hasValue && a.sub.empty())
            a.sub = args[++k];
        else if (arg == "--line-col" && hasValue)
            ok = TakeColumn(arg, args[++k], a.line);
        else if (arg == "--quantity-col" && hasValue)
            ok = TakeColumn(arg, args[++k], a.quantity);
        else if (arg == "--price-col" && hasValue)
            ok = TakeColumn(arg, args[++k], a.price);
        else if (arg == "--first-row" && hasValue)
            ok = TakeRow(args[++k], a.firstRow);
        else if (arg.rfind("--", 0) != 0)
            positional.push_back(arg);
        else {
            PrintError(kUsage);
            return std::nullopt;
        }
        if (!ok)
            return std::nullopt;
    }
    if (positional.size() != 3 || a.sub.empty()) {
        PrintError(kUsage);
        return std::nullopt;
    }
    a.file = positional[0];
    a.quote = positional[1];
    a.out = positional[2];
    return a;
}

// The subcontractor as the program finds a record by its number; a number
// written without its leading zeros ("7") is taken as the stored "00000007".
CSubcontract* FindSubcontractor(const CContract& contract, const std::string& number)
{
    if (!contract.m_pSubTable)
        return nullptr;
    const auto text = Utf8ToCp1252(number);
    if (!text)
        return nullptr;
    if (CSubcontract* record = contract.m_pSubTable->FindRecordByNumber(text.value()))
        return record;
    if (text->empty() || text->size() > 8 || text->find_first_not_of("0123456789") != std::string::npos)
        return nullptr;
    char padded[16];
    std::snprintf(padded, sizeof padded, "%.8d", std::stoi(text.value()));
    return contract.m_pSubTable->FindRecordByNumber(padded);
}

// The columns the caller named, the rest as the quote's header row names
// them; the reason when the quote's columns cannot be told.
Result<QuoteColumns> ChooseColumns(const QuoteSheet& sheet, const ImportArgs& a)
{
    const Result<QuoteColumns> guessed = GuessQuoteColumns(sheet);
    QuoteColumns c = guessed ? guessed.value() : QuoteColumns();
    if (a.line)
        c.line = *a.line;
    if (a.quantity)
        c.quantity = *a.quantity;
    if (a.price)
        c.price = *a.price;
    if (a.firstRow)
        c.firstRow = *a.firstRow;
    if (Status usable = CheckQuoteColumns(c); !usable)
        return guessed ? usable.error() : guessed.error();
    return c;
}

int RunImportQuote(const std::vector<std::string>& args)
{
    const std::optional<ImportArgs> a = ParseArgs(args);
    if (!a)
        return kExitBadArguments;
    // The contract may be written back over itself; the quote is the
    // subcontractor's and is never written over.
    if (OutputIsInput(a->quote, a->out, "quote file"))
        return kExitBadArguments;
    Document document;
    if (const int status = OpenDocument(a->file, document))
        return status;
    const Result<QuoteSheet> sheet = ReadQuoteFile(a->quote);
    if (!sheet) {
        PrintFileError(a->quote, Out(sheet.errorText()));
        return kExitUnreadable;
    }
    CContract& contract = *document.contract;
    CSubcontract* record = FindSubcontractor(contract, a->sub);
    if (!record) {
        PrintError("The contract has no subcontractor numbered " + a->sub);
        return kExitBadArguments;
    }
    const Result<QuoteColumns> columns = ChooseColumns(sheet.value(), *a);
    if (!columns) {
        PrintFileError(a->quote, Out(columns.errorText()));
        return kExitBadArguments;
    }
    CContractEdits edits(contract, ProgramEvaluator(), document.paths);
    edits.RunCheck();
    const Result<QuoteImport> import = ImportQuote(edits, *record, sheet.value(), columns.value());
    if (!import) {
        PrintError(Out(import.errorText()));
        return kExitBadArguments;
    }
    for (const QuoteRefusal& refusal : import->refused)
        std::cout << "row " << refusal.row << ": " << OutLine(refusal.message) << "\n";
    std::cout << import->applied << " rows applied, " << import->refused.size() << " refused\n";
    if (const Status written = WriteContractFileSafely(contract, a->out); !written) {
        PrintFileError(a->out, written.errorText());
        return kExitWriteFailed;
    }
    return 0;
}

const bool kRegistered = RegisterCommand({"import-quote", kImportQuoteUsage, RunImportQuote});

} // namespace

} // namespace kestrel::cli
