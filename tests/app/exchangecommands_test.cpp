// File > Export and File > Import Quote in the program: the exports read
// back equal what the command-line tool gives for the same contract, a
// failed export loses nothing, and a quote with bad rows is taken in as one
// undo step with every refused row listed.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "app/exchangecommands.h"
#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/quoteimportdlg.h"
#include "app/quoteresultdlg.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "exchange/csvreader.h"
#include "exchange/xlsxinspect.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/subcontract.h"
#include "model/subcontract/winmeta.h"
#include "support/clirun.h"

namespace kestrel {
namespace {

using test::ProgramFixture;
using test::Q;
using Export = CExchangeCommands::Export;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        contractPath = test::CopyDemo(program.dir);
        ASSERT_TRUE(program.Doc().OpenDocument(contractPath));
        program.Tree().expandAll();
    }
    CExchangeCommands& Exchange() { return *program.Frame().Exchange(); }
    CContract& Contract() { return *program.Doc().Contract(); }
    void SelectSub(int row)
    {
        program.Tree().setCurrentItem(program.Tree().FindNode(Contract().m_pSubTable->m_Records[row]));
        QApplication::processEvents();
    }
    // The CLI's `items` lines of the contract as the program holds it.
    std::vector<std::vector<std::string>> CliItems()
    {
        const test::CliRun run =
            test::RunCli(program.dir, "items " + test::ShellQuote(contractPath.toStdString()));
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<std::vector<std::string>> rows;
        for (const std::string& line : Lines(run.out))
            if (!line.empty())
                rows.push_back(Fields(line));
        return rows;
    }

    ProgramFixture program;
    QString contractPath;
};

// Every item line of the Copy command, as the export's columns hold it:
// line, alternate code, item, quantity (the schedule's "LUMP" for a lump
// sum), unit, unit price, extension, description; headings left out.
void ExpectSameItems(const std::vector<std::vector<std::string>>& exported,
                     const std::vector<std::vector<std::string>>& cli)
{
    std::vector<std::vector<std::string>> items;
    for (const auto& row : exported)
        if (row.size() > 2 && row[2] != "==Section==" && row[2] != "'==Section==") // CSV makes it text
            items.push_back(row);
    ASSERT_EQ(items.size(), cli.size());
    ASSERT_FALSE(cli.empty());
    for (size_t i = 0; i < cli.size(); ++i) {
        const auto& c = cli[i];
        const auto& e = items[i];
        ASSERT_EQ(c.size(), 9u);
        ASSERT_EQ(e.size(), 8u);
        EXPECT_EQ(e[0], c[1]) << i;
        EXPECT_EQ(e[1], c[2]) << i;
        EXPECT_EQ(e[2], c[3]) << i;
        EXPECT_TRUE(e[3] == c[4] || e[3] == "LUMP") << e[3] << " " << c[4];
        EXPECT_EQ(e[4], c[5]) << i;
        EXPECT_EQ(e[5], c[6]) << i;
        EXPECT_EQ(e[6], c[7]) << i;
        EXPECT_EQ(e[7], c[8]) << i;
    }
}

TEST_F(ExchangeTest, TheItemScheduleExportedReadsBackAsTheCommandLineGivesIt)
{
    const auto cli = CliItems();
    // CSV: the same bytes as the tool's export, and the same items as its
    // Copy lines.
    const std::string csv = program.dir.file("items.csv");
    program.asker.exportFile = Q(csv);
    ASSERT_TRUE(Exchange().OnExport(Export::Items));
    EXPECT_TRUE(program.asker.exportSuggestion.endsWith(QStringLiteral("DEMO Contract Items.xlsx")));
    const std::string reference = program.dir.file("cli.csv");
    ASSERT_EQ(test::RunCli(program.dir, "export " + test::ShellQuote(contractPath.toStdString()) + " --csv " +
                                            test::ShellQuote(reference) + " --table items")
                  .status,
              0);
    EXPECT_EQ(test::ReadText(csv), test::ReadText(reference));
    const Result<QuoteSheet> read = ReadQuoteCsv(test::ReadText(csv));
    ASSERT_TRUE(read.ok()) << read.errorText();
    std::vector<std::vector<std::string>> rows;
    for (const QuoteRow& row : read.value().rows) {
        std::vector<std::string> cells(8);
        for (const QuoteCell& cell : row.cells)
            if (cell.column < 8)
                cells[static_cast<size_t>(cell.column)] = cell.text;
        rows.push_back(cells);
    }
    rows.erase(rows.begin()); // the headings
    ExpectSameItems(rows, cli);

    // XLSX: the sheet's cells, its shared strings resolved.
    const std::string xlsx = program.dir.file("items.xlsx");
    program.asker.exportFile = Q(xlsx);
    ASSERT_TRUE(Exchange().OnExport(Export::Items));
    const test::XlsxSheet sheet = test::ReadXlsxSheet(xlsx, "xl/worksheets/sheet1.xml");
    rows.clear();
    for (int r = 1; r < sheet.Rows(); ++r) {
        std::vector<std::string> cells(8);
        for (int c = 0; c < 8; ++c)
            if (const test::XlsxCell* cell = sheet.At(r, c))
                cells[static_cast<size_t>(c)] = cell->text;
        rows.push_back(cells);
    }
    // Numbers are numbers in the workbook: compared by value.
    for (auto& row : rows)
        for (int c : {5, 6})
            if (!row[static_cast<size_t>(c)].empty())
                row[static_cast<size_t>(c)] = std::to_string(std::stod(row[static_cast<size_t>(c)]));
    auto cliByValue = cli;
    for (auto& row : cliByValue)
        for (int c : {6, 7})
            if (!row[static_cast<size_t>(c)].empty())
                row[static_cast<size_t>(c)] = std::to_string(std::stod(row[static_cast<size_t>(c)]));
    for (auto& row : rows)
        if (row[3] != "LUMP" && !row[3].empty())
            row[3] = std::to_string(std::stod(row[3]));
    for (auto& row : cliByValue)
        if (!row[4].empty())
            row[4] = std::to_string(std::stod(row[4]));
    ExpectSameItems(rows, cliByValue);
}

TEST_F(ExchangeTest, ASubcontractorsItemsAreItsOwnAndTheFolderIsKept)
{
    SelectSub(0);
    const std::filesystem::path folder = std::filesystem::path(program.dir.path()) / "out";
    std::filesystem::create_directory(folder);
    program.asker.exportFile = Q((folder / "sub.csv").string());
    ASSERT_TRUE(Exchange().OnExport(Export::SubcontractorItems));
    const Result<QuoteSheet> read = ReadQuoteCsv(test::ReadText((folder / "sub.csv").string()));
    ASSERT_TRUE(read.ok());
    const CSubcontract& record = *Contract().m_pSubTable->m_Records[0];
    ASSERT_EQ(read.value().rows.size(), static_cast<size_t>(record.m_SubItems.GetCount()) + 1);
    for (size_t i = 1; i < read.value().rows.size(); ++i)
        EXPECT_EQ(read.value().rows[i].Cell(0), TextView(*record.GetCellText(SUBF_NUMBER)));
    // The next export starts in that folder, as the type last chosen.
    program.asker.exportFile.clear();
    EXPECT_FALSE(Exchange().OnExport(Export::Subcontractors));
    EXPECT_EQ(std::filesystem::path(program.asker.exportSuggestion.toStdString()).parent_path(), folder);
    EXPECT_TRUE(program.asker.exportSuggestion.endsWith(QStringLiteral(".csv")));
    EXPECT_EQ(program.App().Settings().exchangeFolder, Q(folder.string()));
}

TEST_F(ExchangeTest, AFailedExportSaysWhyAndLosesNothing)
{
    const std::string before = test::ReadText(contractPath.toStdString());
    // Over the open contract: refused, the contract untouched.
    program.asker.exportFile = contractPath;
    EXPECT_FALSE(Exchange().OnExport(Export::Items));
    EXPECT_EQ(test::ReadText(contractPath.toStdString()), before);
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked.back().caption, QStringLiteral("Export"));
    // Into a folder that is not there: the message, and no file.
    const std::string missing = program.dir.file("none/items.xlsx");
    program.asker.exportFile = Q(missing);
    EXPECT_FALSE(Exchange().OnExport(Export::Items));
    EXPECT_EQ(program.asker.asked.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(missing));
    // A file that was there stays as it was when the new one cannot be
    // written (the table is too wide for nothing here: a read-only folder).
    const std::filesystem::path locked = std::filesystem::path(program.dir.path()) / "locked";
    std::filesystem::create_directory(locked);
    test::WriteText((locked / "items.csv").string(), "old");
    std::filesystem::permissions(locked,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    program.asker.exportFile = Q((locked / "items.csv").string());
    const bool written = Exchange().OnExport(Export::Items);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    if (::geteuid() != 0) { // root writes anywhere
        EXPECT_FALSE(written);
        EXPECT_EQ(test::ReadText((locked / "items.csv").string()), "old");
    }
}

TEST_F(ExchangeTest, ImportQuoteNeedsASubcontractor)
{
    QAction* import = program.Frame().Action(QStringLiteral("fileImportQuote"));
    ASSERT_NE(import, nullptr);
    program.Tree().setCurrentItem(program.Tree().ContractNode());
    EXPECT_FALSE(import->isEnabled());
    SelectSub(1);
    EXPECT_TRUE(import->isEnabled());
    EXPECT_FALSE(program.Frame().Action(QStringLiteral("fileExportItems"))->text().isEmpty());
}

// A quote with bad rows: the preview guesses the columns, the good rows are
// entered, the refused ones are listed with the program's message, and one
// undo gives back the contract as it was, byte for byte.
TEST_F(ExchangeTest, AQuoteWithBadRowsIsOneUndoStep)
{
    const std::string quote = program.dir.file("quote.csv");
    // For Allegheny, a lower tier of Keystone.
    test::WriteText(quote, "Allegheny quote,,\r\n"
                           "Line,Qty,Unit Price\r\n"
                           "1460,20000,0.66\r\n"   // entered
                           "9999,1,10\r\n"         // no such line
                           "0160,5,2\r\n"          // not held by the tier above
                           "1610,70000,0.61\r\n"); // entered
    SelectSub(2);
    CContract& contract = Contract();
    CSubcontract* record = contract.m_pSubTable->m_Records[2];
    const std::vector<unsigned char> before = WriteContractStream(contract);
    const int steps = program.Doc().UndoStack().count();
    program.asker.quoteFile = Q(quote);
    QStringList refused;
    program.asker.onDialog = [&](QDialog& dialog) {
        if (auto* preview = qobject_cast<CQuoteImportDialog*>(&dialog)) {
            const QuoteColumns guessed = preview->Columns();
            EXPECT_EQ(guessed.line, 0);
            EXPECT_EQ(guessed.quantity, 1);
            EXPECT_EQ(guessed.price, 2);
            EXPECT_EQ(guessed.firstRow, 3);
            EXPECT_EQ(preview->Preview()->rowCount(), 6);
            EXPECT_EQ(preview->Preview()->item(2, 0)->text(), QStringLiteral("1460"));
            EXPECT_TRUE(preview->ImportButton()->isEnabled());
            // Without a line column there is nothing to import.
            preview->LineBox()->setCurrentIndex(0);
            EXPECT_FALSE(preview->ImportButton()->isEnabled());
            preview->SetColumns(guessed);
            return int(QDialog::Accepted);
        }
        auto* result = qobject_cast<CQuoteResultDialog*>(&dialog);
        EXPECT_NE(result, nullptr);
        if (result)
            for (int r = 0; r < result->Refused()->rowCount(); ++r)
                refused << result->Refused()->item(r, 0)->text() + QLatin1Char(' ') +
                               result->Refused()->item(r, 1)->text();
        return int(QDialog::Accepted);
    };
    Exchange().OnImportQuote();
    EXPECT_EQ(program.asker.dialogsShown,
              QStringList({QStringLiteral("quoteImportDialog"), QStringLiteral("quoteResultDialog")}));
    ASSERT_EQ(refused.size(), 2) << refused.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(refused[0].startsWith(QStringLiteral("4 "))) << refused[0].toStdString();
    EXPECT_TRUE(refused[1].startsWith(QStringLiteral("5 "))) << refused[1].toStdString();
    EXPECT_NE(refused[0].indexOf(QStringLiteral("9999")), -1);
    EXPECT_NE(refused[1].indexOf(QStringLiteral("0160")), -1);
    EXPECT_DOUBLE_EQ(record->FindSubItem("1460")->m_fQuan, 20000.0);
    EXPECT_DOUBLE_EQ(record->FindSubItem("1610")->m_fUP, 0.61);
    EXPECT_EQ(record->FindSubItem("0160"), nullptr);
    EXPECT_TRUE(program.Doc().IsModified());
    ASSERT_EQ(program.Doc().UndoStack().count(), steps + 1);
    EXPECT_EQ(program.Doc().UndoStack().undoText(), QStringLiteral("Import Quote"));
    program.Doc().UndoStack().undo();
    EXPECT_EQ(WriteContractStream(contract), before);
    EXPECT_FALSE(program.Doc().IsModified());
    program.Doc().UndoStack().redo();
    EXPECT_DOUBLE_EQ(record->FindSubItem("1460")->m_fQuan, 20000.0);
}

TEST_F(ExchangeTest, AnUnreadableQuoteACancelledPreviewOrOnlyRefusedRowsChangeNothing)
{
    SelectSub(1);
    const std::vector<unsigned char> before = WriteContractStream(Contract());
    program.asker.quoteFile = Q(program.dir.file("missing.csv"));
    Exchange().OnImportQuote();
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked.back().caption, QStringLiteral("Import Quote"));
    const std::string quote = program.dir.file("q.csv");
    test::WriteText(quote, "Line,Quantity\r\n0030,4\r\n");
    program.asker.quoteFile = Q(quote);
    Exchange().OnImportQuote(); // the preview is cancelled
    EXPECT_EQ(program.asker.dialogsShown, QStringList{QStringLiteral("quoteImportDialog")});
    EXPECT_EQ(WriteContractStream(Contract()), before);
    EXPECT_EQ(program.Doc().UndoStack().count(), 0);
    // Every row refused: the list, and no step that would only mark the
    // contract modified.
    test::WriteText(quote, "Line,Quantity\r\n9998,4\r\n9999,5\r\n");
    int refused = -1;
    program.asker.onDialog = [&refused](QDialog& dialog) {
        if (auto* result = qobject_cast<CQuoteResultDialog*>(&dialog))
            refused = result->Refused()->rowCount();
        return int(QDialog::Accepted);
    };
    Exchange().OnImportQuote();
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(program.Doc().UndoStack().count(), 0);
    EXPECT_FALSE(program.Doc().IsModified());
    EXPECT_EQ(WriteContractStream(Contract()), before);
}

} // namespace
} // namespace kestrel
