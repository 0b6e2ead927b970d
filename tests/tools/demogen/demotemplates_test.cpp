// The demo's report templates: every section of the report is there, every
// template a section calls exists, and the footer ends its page.

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>

#include "demogen/demogen.h"
#include "demogen/demotemplates.h"
#include "model/contract/contract.h"
#include "report/reporttestutil.h"

using namespace kestrel::demo;

namespace {

std::map<std::string, std::string> Templates()
{
    std::map<std::string, std::string> out;
    for (const auto& [name, text] : DemoTemplates())
        out[name] = text;
    return out;
}

TEST(DemoTemplates, EveryReportSectionHasItsTemplate)
{
    const auto t = Templates();
    for (const char* name :
         {"Report Front", "Report Header", "Report Footer", "Report Sub List Start", "Report Sub Start",
          "Report SubItem List Header", "Report SubItem", "Report SubItem List Footer", "Report Sub No Items",
          "Report Sub End", "Report Sub List End", "Report Back"})
        EXPECT_TRUE(t.count(name)) << name;
    auto contract = BuildDemoContract();
    for (const auto& [name, text] : t) {
        const kestrel::CPlate* plate = contract->FindDataTemplate(name);
        ASSERT_NE(plate, nullptr) << name;
        EXPECT_EQ(plate->m_strText, text);
    }
}

// A call of a template that does not exist prints nothing, silently: a
// misspelt name would drop part of the report without a word.
TEST(DemoTemplates, EveryCalledTemplateExists)
{
    const auto t = Templates();
    int calls = 0;
    for (const auto& [name, text] : t)
        for (size_t open = text.find('['); open != std::string::npos; open = text.find('[', open + 1)) {
            const size_t close = text.find(']', open);
            ASSERT_NE(close, std::string::npos) << name;
            const std::string called = text.substr(open + 1, close - open - 1);
            EXPECT_TRUE(t.count(called)) << name << " calls " << called;
            EXPECT_NE(called, name) << "a template that calls itself never ends";
            ++calls;
        }
    EXPECT_GE(calls, 5);
}

TEST(DemoTemplates, FooterDropsToThePageEndAndClosesThePage)
{
    const std::string footer = Templates().at("Report Footer");
    EXPECT_EQ(footer.rfind("{DROP}", 0), 0u);
    EXPECT_NE(footer.find("{PAGE_NUMBER"), std::string::npos);
    // A form feed, a carriage return and a joining backslash: the page ends
    // and no line break is left to open an empty page.
    const std::string tail = "\\f\\r\\\n";
    ASSERT_GE(footer.size(), tail.size());
    EXPECT_EQ(footer.substr(footer.size() - tail.size()), tail);
}

// The footer's page number has room for five digits before the right edge
// of the page (page 1,724 once read "Page 172").
TEST(DemoTemplates, FooterPrintsTheWholePageNumber)
{
    std::string footer = Templates().at("Report Footer");
    footer.insert(footer.find("{PAGE_NUMBER,") + 13, "ADJUST=@Val+12344,");
    const std::string pages = kestrel::test::Render(footer);
    EXPECT_TRUE(std::regex_search(pages, std::regex("Page 1234[0-9]\n"))) << pages;
}

TEST(DemoTemplates, ShortTemplatesAreCompiledOnceLongOnesEachTime)
{
    // Templates under 1024 characters are compiled once per run; the demo's
    // item template, printed most often, must be one of them.
    EXPECT_LT(Templates().at("Report SubItem").size(), 1024u);
    EXPECT_LT(Templates().at("Report Sub Start").size(), 1024u);
}

} // namespace
