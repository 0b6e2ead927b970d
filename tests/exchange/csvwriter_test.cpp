// CSV as RFC 4180 writes it, and the demo contract's item schedule read
// back from CSV equal, item for item, to the Copy text of its items.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "exchange/csvreader.h"
#include "exchange/csvwriter.h"
#include "exchange/exporttable.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/contract/itemstext.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

TEST(CsvWriter, FieldsAreQuotedOnlyWhenTheyMustBe)
{
    EXPECT_EQ(CsvField("plain text"), "plain text");
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField(" leading and trailing "), " leading and trailing ");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("\""), "\"\"\"\"");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(CsvField("cr\ronly"), "\"cr\ronly\"");
    EXPECT_EQ(CsvField("lf\nonly"), "\"lf\nonly\"");
    EXPECT_EQ(CsvField("semi;colon\ttab"), "semi;colon\ttab");
}

// What a spreadsheet would run as a formula is made text; numbers, and
// texts that are plain numbers, stay as they are.
TEST(CsvWriter, TextsThatWouldBeFormulasArePrefixed)
{
    const std::pair<const char*, const char*> texts[] = {
        {"=HYPERLINK(\"http://x\",\"y\")", "'=HYPERLINK(\"http://x\",\"y\")"},
        {"+1+2", "'+1+2"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\t=1", "'\t=1"},
        {"\r=1", "'\r=1"},
        {"==Section==", "'==Section=="},
        {"-", "'-"},
        {"-5", "-5"},
        {"+1.25", "+1.25"},
        {"-.5", "'-.5"},
        {"a=b", "a=b"},
        {"", ""},
    };
    for (const auto& [text, safe] : texts)
        EXPECT_EQ(CsvSafeText(text), safe) << text;
    ExportTable t;
    t.headings = {"Text", "Number"};
    t.formats = {{9, 2, false, false}};
    t.rows.push_back({ExportCell::Text("=1+2"), ExportCell::Number(-5, 0, t.formats[0])});
    EXPECT_EQ(CsvText(t), "\xEF\xBB\xBFText,Number\r\n'=1+2,-5.00\r\n");
}

ExportTable SmallTable()
{
    ExportTable t;
    t.name = "T";
    t.headings = {"Name", "Amount"};
    t.formats = {{9, 2, true, true}};
    t.rows.push_back({ExportCell::Text("Caf\xE9, \"Inc.\""), ExportCell::Number(1234.5, 0, t.formats[0])});
    t.rows.push_back({ExportCell::Text("a\nb"), ExportCell()});
    return t;
}

TEST(CsvWriter, TextHasTheMarkCrlfLinesAndUtf8)
{
    EXPECT_EQ(CsvText(SmallTable()), "\xEF\xBB\xBFName,Amount\r\n"
                                     "\"Caf\xC3\xA9, \"\"Inc.\"\"\",1234.50\r\n"
                                     "\"a\nb\",\r\n");
}

TEST(CsvWriter, TheFileIsReplacedOnlyWhenWritten)
{
    const test::TempDir dir;
    const std::string path = dir.file("t.csv");
    test::WriteText(path, "old");
    ASSERT_TRUE(WriteCsvFile(SmallTable(), path).ok());
    EXPECT_EQ(test::ReadText(path), CsvText(SmallTable()));
    // A target that is a folder is refused and left alone.
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_FALSE(WriteCsvFile(SmallTable(), dir.file("folder")).ok());
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder")));
    EXPECT_EQ(test::FolderEntries(dir.path()), (std::set<std::string>{"folder", "t.csv"}));
}

// The Copy text's lines, each split at its tabs.
std::vector<std::vector<std::string>> CopyLines(const CContract& c)
{
    std::vector<std::string> lines = test::SplitText(ContractItemsText(c), "\r\n");
    EXPECT_EQ(lines.back(), ""); // every line ends in CR LF
    lines.pop_back();
    std::vector<std::vector<std::string>> fields;
    for (const std::string& line : lines)
        fields.push_back(test::SplitText(line, "\t"));
    return fields;
}

TEST(CsvWriter, DemoItemsReadBackEqualTheCopyText)
{
    std::unique_ptr<CContract> c;
    ASSERT_EQ(ReadContractFile(std::string(KESTREL_SAMPLES) + "/DEMO.CON", c), 0);
    const auto sheet = ReadQuoteCsv(CsvText(ItemScheduleTable(*c)));
    ASSERT_TRUE(sheet.ok()) << sheet.errorText();
    const auto copy = CopyLines(*c);
    ASSERT_GT(copy.size(), 200u);
    size_t item = 0;
    int lumps = 0;
    for (size_t r = 1; r < sheet->rows.size(); ++r) {
        const QuoteRow& row = sheet->rows[r];
        EXPECT_EQ(row.number, static_cast<int>(r) + 1);
        if (row.Cell(2) == "'==Section==") // made text, not a formula
            continue;
        ASSERT_LT(item, copy.size());
        const auto& want = copy[item];
        ASSERT_EQ(want.size(), 9u);
        const CItem* it = c->FindItemByLineNumber(want[1]);
        ASSERT_TRUE(it);
        for (int col = 0; col < 8; ++col) {
            std::string expected = want[static_cast<size_t>(col) + 1];
            if (col == 3 && FlagTest(it->m_wFlags, ITEM_LUMP_SUM)) {
                expected = "LUMP";
                ++lumps;
            }
            EXPECT_EQ(row.Cell(col), expected) << "line " << want[1] << " column " << col;
        }
        ++item;
    }
    EXPECT_EQ(item, copy.size());
    EXPECT_GT(lumps, 0);
}

} // namespace
} // namespace kestrel
