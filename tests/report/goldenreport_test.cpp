// Reports laid out from the template sets under tests/data/report/<case>/
// (templates.txt: "@@ NAME" lines start each template) on one contract built
// here, compared with the case's expected.txt page text.

#include <gtest/gtest.h>

#include <filesystem>

#include "model/subcontract/winmeta.h"
#include "reporttestutil.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using namespace test;

std::unique_ptr<CContract> GoldenContract()
{
    auto c = MakeReportContract();
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("C-2024-17");
    c->m_strHeader[HDR_CONTRACT_DESCRIPTION] = std::string(
        "Resurfacing and shoulder work on county road 12 between the river bridge and the state line");
    c->dLetingDate = 1709596800; // 2024-03-05
    c->m_fContractTotal = 1234567.5;
    for (const auto& [id, name] : {std::pair("01", "Adams"), std::pair("02", "Brown")}) {
        CCounty* county = c->m_Counties.Add();
        county->m_strID = std::string(id);
        county->m_strName = std::string(name);
    }
    AddItem(*c, "0010", "202-01", "LS", "Clearing and grubbing");
    AddItem(*c, "0020", "401-12", "TON", "Asphalt surface course, type B, including tack coat and joints");
    AddItem(*c, "0030", "620-03", "LF", "Pavement striping");
    AddItem(*c, "0040", "311-05", "CY", "Shoulder aggregate");
    CSubcontract* paving = AddSub(*c, "Paving Co");
    AddSubItem(*paving, "0040", 320, 41.25);
    AddSubItem(*paving, "0020", 1850.5, 88.1);
    CSubItem* part = AddSubItem(*paving, "0010", 1, 4500);
    FlagSet(part->m_wFlags, SUBITEM_PARTIAL, 1);
    CSubcontract* striping = AddSub(*c, "Striping LLC", paving, false);
    striping->SetCellText(SUBF_AMOUNT, std::string("$12,500.00"));
    CSubcontract* hauling = AddSub(*c, "Hauling Inc", nullptr, false);
    hauling->SetCellText(SUBF_AMOUNT, std::string("$8,000.00"));
    FlagSet(hauling->m_wFlags, SUB_COMPLETE, 0);
    return c;
}

void LoadTemplates(CContract& c, const std::string& text)
{
    std::string name, body;
    bool open = false;
    auto flush = [&] {
        if (open) {
            if (!body.empty() && body.back() == '\n')
                body.pop_back();
            SetTemplate(c, name, body);
        }
    };
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.rfind("@@ ", 0) == 0) {
            flush();
            name = line.substr(3);
            body.clear();
            open = true;
        } else {
            body += line + "\n";
        }
    }
    flush();
}

TEST(GoldenReports, EveryCase)
{
    const std::filesystem::path root = std::filesystem::path(KESTREL_TEST_DATA) / "report";
    int cases = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        const std::string dir = entry.path().string();
        auto c = GoldenContract();
        LoadTemplates(*c, ReadText(dir + "/templates.txt"));
        const std::string out = RunReport(*c);
        if (std::getenv("KESTREL_UPDATE_GOLDEN"))
            WriteText(dir + "/expected.txt", out);
        EXPECT_EQ(out, ReadText(dir + "/expected.txt")) << dir;
        ++cases;
    }
    EXPECT_GE(cases, 1);
}

} // namespace
} // namespace kestrel
