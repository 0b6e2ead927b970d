#include "report/fieldprinter.h"

#include <gtest/gtest.h>

#include <utility>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "reporttestutil.h"

namespace kestrel {
namespace {

using test::MakeReportContract;
using test::Render;

// The first line of the first page of a one-template report.
std::string Line(CContract& c, const std::string& text)
{
    const std::string out = Render(c, text + "|\n");
    return out.substr(0, out.find('\n'));
}

std::string Line(const std::string& text)
{
    auto c = MakeReportContract();
    return Line(*c, text);
}

TEST(FieldWidth, SizeAndJustification)
{
    EXPECT_EQ(Line("{\"X\",SIZE=5,JUSTIFY=R}"), "    X|");
    EXPECT_EQ(Line("{\"X\",SIZE=5,JUSTIFY=C}"), "  X  |");
    EXPECT_EQ(Line("{\"XY\",SIZE=5,JUSTIFY=C}"), " XY  |");
    EXPECT_EQ(Line("{\"X\",SIZE=2+1}"), "X  |");
    EXPECT_EQ(Line("{\"abcdef\",SIZE=3}"), "abc|");
    EXPECT_EQ(Line("{\"abcdef\",SIZE=0}"), "abcdef|");
    EXPECT_EQ(Line("{NOSUCHFIELD,SIZE=4}"), "    |");
}

// A number wider than its SIZE prints whole (page 1,724 cut to three
// characters would read 172); a text is still cut.
TEST(FieldWidth, ANumberIsNeverCut)
{
    auto c = MakeReportContract();
    c->m_fContractTotal = 1234567.5;
    for (const auto& [field, printed] :
         {std::pair{"{PAGE_NUMBER,ADJUST=@Val+1723,FORMAT=%u,SIZE=3}", "1724|"},
          std::pair{"{PAGE_NUMBER,ADJUST=@Val+1723,FORMAT=%u,SIZE=5,JUSTIFY=R}", " 1724|"},
          std::pair{"{CONTRACT_TOTAL,SIZE=8}", "1,234,567.50|"},
          std::pair{"{#123456,SIZE=3}", "123456.00000|"},
          std::pair{"{\"1234.5\",ADJUST=@Val,FORMAT=8.2,SIZE=4}", "1234.50|"},
          std::pair{"{\"abcdef\",SIZE=3}", "abc|"}})
        EXPECT_EQ(Line(*c, field), printed) << field;
}

TEST(FieldKinds, AmountsFollowFormatCommasAndMoney)
{
    auto c = MakeReportContract();
    c->m_fContractTotal = 1234567.5;
    EXPECT_EQ(Line(*c, "{CONTRACT_TOTAL}"), "  1,234,567.50|");
    EXPECT_EQ(Line(*c, "{CONTRACT_TOTAL,MONEY}"), " $1,234,567.50|");
    EXPECT_EQ(Line(*c, "{CONTRACT_TOTAL,COMMAS=N,JUSTIFY=L}"), "1234567.50    |");
    EXPECT_EQ(Line(*c, "{CONTRACT_TOTAL,FORMAT=5.1}"), "       *****.*|");
    c->m_fContractTotal = -12.5;
    EXPECT_EQ(Line(*c, "{CONTRACT_TOTAL,MONEY,SIZE=0}"), "($12.50)|");
    SetBlankValue(c->m_fContractTotal);
    EXPECT_EQ(Line(*c, "{CONTRACT_TOTAL}"), std::string(14, ' ') + "|");
}

TEST(FieldKinds, DatesCountsHexFlagsAndExpressions)
{
    auto c = MakeReportContract();
    c->dLetingDate = 1709596800; // 2024-03-05 00:00 UTC
    EXPECT_EQ(Line(*c, "{LETTING_DATE,FORMAT=5}"), "Mar 05, 2024|");
    EXPECT_EQ(Line(*c, "{LETTING_DATE}"), "03-05-24|");
    EXPECT_EQ(Line(*c, "{DATE_REVISED}"), "        |");
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x|", ComputeCheckValue(*c));
    EXPECT_EQ(Line(*c, "{CHECK,FORMAT=%x}"), hex);
    EXPECT_EQ(Line(*c, "{PAGE_NUMBER}"), "  1|");
    EXPECT_EQ(Line(*c, "{PAGE_NUMBER,FORMAT=%s%d}"), "%s1|");
    EXPECT_EQ(Line(*c, "{INFORMATIONAL}"), "|");
    FlagSet(c->m_wFlags, CONTRACT_INFORMATIONAL, 1);
    EXPECT_EQ(Line(*c, "{INFORMATIONAL}"), "1|");
    EXPECT_EQ(Line(*c, "{#2*3}"), "6.00000|");
    EXPECT_EQ(Line(*c, "{NUMBERSTRING}"), "0.00000|");
    EXPECT_EQ(Line(*c, "{STRING}{TEMPLATE}"), "|");
}

TEST(FieldKinds, Adjust)
{
    auto c = MakeReportContract();
    c->m_fContractTotal = 100;
    EXPECT_EQ(Line(*c, "{CONTRACT_TOTAL,ADJUST=@Val*2,FORMAT=5.1}"), "         200.0|");
    EXPECT_EQ(Line(*c, "{PAGE_NUMBER,ADJUST=@Val+10}"), " 11|");
    EXPECT_EQ(Line(*c, "{\"$1,234.5\",ADJUST=@Val+1,FORMAT=8.2}"), "1235.50|");
}

TEST(TextOptions, EachOption)
{
    EXPECT_EQ(Line("{\"abcdef\",SUBSTRING=2.3}"), "bcd|");
    EXPECT_EQ(Line("{\"abcdef\",SUBSTRING=0}"), "abcdef|");
    EXPECT_EQ(Line("{\"abcdef\",SUBSTRING=\"3:2\"}"), "cd|");
    EXPECT_EQ(Line("{\"abcdef\",SUBSTRING=9}"), "|");
    EXPECT_EQ(Line("{\"a-b-c\",REPLACE=-_}"), "a_b_c|");
    EXPECT_EQ(Line("{\"a-b-c\",REPLACE=-}"), "a|");
    EXPECT_EQ(Line("{\"a-b-c\",REPLACE=--}"), "a-b-c|");
    EXPECT_EQ(Line("{\"key=value\",STRSTR==}"), "=value|");
    EXPECT_EQ(Line("{\"key=value\",STRSTR=x}"), "|");
    // Option values lose their outer blanks, quoted or not.
    EXPECT_EQ(Line("{\"00 12\",STRIP=\"0 \"}"), " 12|");
    EXPECT_EQ(Line("{\"0012\",STRIP=0}"), "12|");
    EXPECT_EQ(Line("{\"12.500\",CLIP=0.}"), "12.5|");
    EXPECT_EQ(Line("{\"1,2,3\",REMOVE=\",\"}"), "123|");
}

TEST(TextOptions, AppliedNewestFirst)
{
    // STRSTR (written last) runs before REMOVE.
    EXPECT_EQ(Line("{\"abcdef\",REMOVE=c,STRSTR=c}"), "def|");
    EXPECT_EQ(Line("{\"abcdef\",STRSTR=c,REMOVE=c}"), "|");
}

TEST(TextOptions, SubstringWithoutSizeIsNotPadded)
{
    auto c = MakeReportContract();
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("ABCDEFG");
    EXPECT_EQ(Line(*c, "{CONTRACT_ID}"), "ABCDEFG        |");
    EXPECT_EQ(Line(*c, "{CONTRACT_ID,SUBSTRING=1.3}"), "ABC|");
    EXPECT_EQ(Line(*c, "{CONTRACT_ID,SUBSTRING=1.3,SIZE=5}"), "ABC  |");
}

class Conditions : public ::testing::Test {
protected:
    void SetUp() override { c = MakeReportContract(); }
    std::string L(const std::string& t) { return Line(*c, t); }
    std::unique_ptr<CContract> c;
};

TEST_F(Conditions, TextPatterns)
{
    c->m_strHeader[HDR_AGENCY] = std::string("lsum");
    EXPECT_EQ(L("{AGENCY==\"LS;L*\"?\"yes\":\"no\"}"), "yes|");
    EXPECT_EQ(L("{AGENCY!=\"LS;L*\"?\"yes\":\"no\"}"), "no|");
    EXPECT_EQ(L("{AGENCY=\"?SUM\"}"), "TRUE|");
    EXPECT_EQ(L("{AGENCY==\"LS\"}"), "FALSE|");
    c->m_strHeader[HDR_AGENCY] = std::string("XLS");
    EXPECT_EQ(L("{AGENCY==\"LS;L*\"?\"yes\":\"no\"}"), "no|");
}

TEST_F(Conditions, EveryPatternOfTheListCountsEmptyOnesIncluded)
{
    // The fund type is an empty text, not a missing one.
    c->m_strHeader[HDR_FUND_TYPE] = std::string("");
    EXPECT_EQ(L("{FUND_TYPE==\"\"?\"none\":\"some\"}"), "none|");
    EXPECT_EQ(L("{FUND_TYPE!=\"\"?\"some\":\"none\"}"), "none|");
    EXPECT_EQ(L("{\"\" == \"\"}"), "TRUE|");
    EXPECT_EQ(L("{\"\" != \"\"}"), "FALSE|");
    EXPECT_EQ(L("{FUND_TYPE==\"x;\"}"), "TRUE|");
    EXPECT_EQ(L("{FUND_TYPE==\";x\"}"), "TRUE|");
    EXPECT_EQ(L("{FUND_TYPE==\"x;y\"}"), "FALSE|");
    EXPECT_EQ(L("{FUND_TYPE==\"x;;y\"}"), "TRUE|");
    // An empty piece matches only the empty text.
    c->m_strHeader[HDR_FUND_TYPE] = std::string("x");
    EXPECT_EQ(L("{FUND_TYPE==\"\"?\"none\":\"some\"}"), "some|");
    EXPECT_EQ(L("{FUND_TYPE==\"x;\"}"), "TRUE|");
    EXPECT_EQ(L("{FUND_TYPE==\";x\"}"), "TRUE|");
    EXPECT_EQ(L("{FUND_TYPE==\";\"}"), "FALSE|");
    EXPECT_EQ(L("{FUND_TYPE!=\";y\"}"), "TRUE|");
    // A missing text compares as an empty one.
    c->m_strHeader[HDR_FUND_TYPE].reset();
    EXPECT_EQ(L("{FUND_TYPE==\"\"?\"none\":\"some\"}"), "none|");
}

TEST_F(Conditions, TextOrderingAndLogic)
{
    c->m_strHeader[HDR_AGENCY] = std::string("ABD");
    EXPECT_EQ(L("{AGENCY>\"abc\"}"), "TRUE|");
    EXPECT_EQ(L("{AGENCY<=\"abc\"}"), "FALSE|");
    EXPECT_EQ(L("{AGENCY>=\"abd\"}"), "TRUE|");
    EXPECT_EQ(L("{AGENCY&&PRIME_ID?\"both\":\"not\"}"), "not|");
    EXPECT_EQ(L("{AGENCY||PRIME_ID?\"either\":\"none\"}"), "either|");
    EXPECT_EQ(L("{PRIME_ID?\"set\":\"empty\"}"), "empty|");
    EXPECT_EQ(L("{PRIME_ID?\"set\"}"), "|");
}

TEST_F(Conditions, NumericComparisonReadsPrintedNumbers)
{
    c->m_fContractTotal = 1500;
    EXPECT_EQ(L("{CONTRACT_TOTAL>#1200}"), "TRUE|");
    EXPECT_EQ(L("{CONTRACT_TOTAL<#1200}"), "FALSE|");
    EXPECT_EQ(L("{CONTRACT_TOTAL,MONEY>=#1500}"), "TRUE|");
    c->m_fContractTotal = -12.5;
    EXPECT_EQ(L("{CONTRACT_TOTAL,MONEY<#0}"), "TRUE|");
    EXPECT_EQ(L("{CONTRACT_TOTAL,MONEY ==#-12.5}"), "TRUE|");
}

TEST_F(Conditions, NumericSidesAndLeaves)
{
    c->m_strHeader[HDR_AGENCY] = std::string("abc");
    // An unreadable text counts as 1, an empty one as 0.
    EXPECT_EQ(L("{AGENCY==#1}"), "TRUE|");
    EXPECT_EQ(L("{PRIME_ID==#0}"), "TRUE|");
    EXPECT_EQ(L("{(AGENCY&&PRIME_ID)==#0}"), "TRUE|");
    EXPECT_EQ(L("{(AGENCY||PRIME_ID)!=#0}"), "TRUE|");
    EXPECT_EQ(L("{#0?\"a\":\"b\"}"), "b|");
    EXPECT_EQ(L("{#2?\"a\":\"b\"}"), "a|");
    EXPECT_EQ(L("{#1/0?\"a\":\"b\"}"), "b|");
}

TEST_F(Conditions, FieldWithoutValueIsTestedAsSizeBlanks)
{
    c->m_Sites.Add()->m_strDescription = std::string("S1");
    c->m_Sites.Add()->m_strDescription = std::string("S2");
    const std::string out =
        Render(*c, "{SITE_DESCRIPTION,REPEAT}{CONTRACT_ID?\"Y\":\"N\"}{CONTRACT_ID,SIZE=0}|\n");
    EXPECT_EQ(out, "S1N|\nS2Y|\n\f\n");
}

TEST(Repetition, LiteralEveryPassContractFieldOnce)
{
    auto c = MakeReportContract();
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("C1");
    for (const char* d : {"A", "B", "C"})
        c->m_Sites.Add()->m_strDescription = std::string(d);
    EXPECT_EQ(Render(*c, "<{SITE_DESCRIPTION,REPEAT}> {CONTRACT_ID}|\n"),
              "<A> C1             |\n<B>                |\n<C>                |\n\f\n");
}

TEST(Repetition, ListFieldsAdvanceTogether)
{
    auto c = MakeReportContract();
    for (int k = 0; k < 2; ++k) {
        CSite* s = c->m_Sites.Add();
        s->m_strDescription = std::string(k ? "Two" : "One");
        s->m_dStartDate = k ? 86400 : 0;
    }
    EXPECT_EQ(Render(*c, "{SITE_DESCRIPTION,REPEAT} {SITE_START_DATE}|\n"),
              "One         |\nTwo 01-02-70|\n\f\n");
}

TEST(Repetition, MinAndMaxLines)
{
    auto c = MakeReportContract();
    c->m_strHeader[HDR_CONTRACT_DESCRIPTION] = std::string("short");
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("C1");
    EXPECT_EQ(Render(*c, "{CONTRACT_DESCRIPTION,SIZE=8,MINLINES=2}|\n"),
              "short   |\n        |\n        |\n\f\n");
    EXPECT_EQ(Render(*c, "{CONTRACT_ID,MINLINES=2}|\n"), "C1             |\n               |\n\f\n");
    c->m_strHeader[HDR_CONTRACT_DESCRIPTION] = std::string("aaa bbb ccc");
    EXPECT_EQ(Render(*c, "{CONTRACT_DESCRIPTION,SIZE=3,REPEAT,MAXLINES=-1}|\n"), "aaa|\nbbb|\n\f\n");
    EXPECT_EQ(Render(*c, "{CONTRACT_DESCRIPTION,SIZE=3,REPEAT,MAXLINES=1}|\n"), "aaa|\n\f\n");
    EXPECT_EQ(Render(*c, "{CONTRACT_DESCRIPTION,SIZE=3,REPEAT}|\n"), "aaa|\nbbb|\nccc|\n\f\n");
}

TEST(Repetition, FiveHundredthPassIsAFault)
{
    std::string ok = Render("{\"x\",MINLINES=498}\n");
    EXPECT_EQ(std::count(ok.begin(), ok.end(), 'x'), 499);
    EXPECT_EQ(Render("{\"x\",MINLINES=499}\n"), "Stuck in an endless loop in template: Report Front");
}

TEST(Repetition, WordWrapChunks)
{
    auto c = MakeReportContract();
    c->m_strHeader[HDR_CONTRACT_DESCRIPTION] = std::string("The quick brown fox jumps over the lazy dog");
    EXPECT_EQ(Render(*c, "{CONTRACT_DESCRIPTION,SIZE=10,REPEAT}|\n"),
              "The quick |\nbrown fox |\njumps over|\nthe lazy  |\ndog       |\n\f\n");
    c->m_strHeader[HDR_CONTRACT_DESCRIPTION] = std::string("ab\ncd abcdefghijklmnop");
    EXPECT_EQ(Render(*c, "{CONTRACT_DESCRIPTION,SIZE=5,REPEAT}|\n"),
              "ab   |\ncd   |\nabcde|\nfghij|\nklmno|\np    |\n\f\n");
    // Two template lines continue the same text.
    c->m_strHeader[HDR_CONTRACT_DESCRIPTION] = std::string("first part second part");
    EXPECT_EQ(Render(*c, "{CONTRACT_DESCRIPTION,SIZE=11}|\n{CONTRACT_DESCRIPTION,SIZE=11}|\n"),
              "first part |\nsecond part|\n\f\n");
}

TEST(Repetition, MultiLineValues)
{
    auto c = MakeReportContract();
    c->m_strHeader[HDR_ROUTE] = std::string("R1\nR2\nR3");
    EXPECT_EQ(Render(*c, "{ROUTE,REPEAT}|\n"), "R1|\nR2|\nR3|\n\f\n");
    EXPECT_EQ(Render(*c, "{ROUTE,REPEAT,MAXLINES=-1}|\n"), "R1|\nR2|\n\f\n");
    EXPECT_EQ(Render(*c, "{ROUTE}|\n{ROUTE}|\n"), "R1|\nR2|\n\f\n");
}

TEST(Positioning, IndexStartResetAndScopes)
{
    auto c = MakeReportContract();
    for (const char* n : {"C1", "C2", "C3"})
        c->m_Counties.Add()->m_strName = std::string(n);
    EXPECT_EQ(Render(*c, "{COUNTY_NAME,INDEX=2}{COUNTY_NAME,INDEX=2}|\n"), "C2C2|\n\f\n");
    EXPECT_EQ(Render(*c, "{COUNTY_NAME}|\n{COUNTY_NAME}|\n"), "C1|\nC2|\n\f\n");
    EXPECT_EQ(Render(*c, "{COUNTY_NAME}|\n{COUNTY_NAME,RESET}|\n"), "C1|\nC1|\n\f\n");
    EXPECT_EQ(Render(*c, "{COUNTY_NAME,START=2,REPEAT}|\n"), "C2|\nC3|\n\f\n");
    EXPECT_EQ(Render(*c, "{COUNTY_NAME,START=-7}|\n"), "C1|\n\f\n");
    EXPECT_EQ(Render(*c, "{COUNTY_NAME,INDEX=9}|\n"), "|\n\f\n");
    // A called template starts its own fields at the first record.
    test::SetTemplate(*c, "Inner", "{COUNTY_NAME}\\");
    EXPECT_EQ(Render(*c, "{COUNTY_NAME}{[Inner]}{COUNTY_NAME}|\n"), "C1C1C2|\n\f\n");
}

TEST(TemplateCalls, BracketsRemovedAndMissingNamesPrintNothing)
{
    auto c = MakeReportContract();
    test::SetTemplate(*c, "Inner", "in\n");
    EXPECT_EQ(Render(*c, "a{[Inner]}b{[Nope]}c\n"), "ain\nbc\n\f\n");
    EXPECT_EQ(Render(*c, "{PRIME_ID?\"x\":[Inner]}|\n"), "in\n|\n\f\n");
}

TEST(TemplateCalls, SelfCallIsAFault)
{
    auto c = MakeReportContract();
    test::SetTemplate(*c, "Loop", "{[Loop]}");
    EXPECT_EQ(Render(*c, "{[Loop]}"), "Templates call each other too deeply in template: Loop");
}

} // namespace
} // namespace kestrel
