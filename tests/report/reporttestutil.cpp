#include "reporttestutil.h"

#include "support/testcontract.h"

#include "model/subcontract/winmeta.h"
#include "report/reportrun.h"

namespace kestrel::test {

std::unique_ptr<CContract> MakeReportContract()
{
    auto c = std::make_unique<CContract>();
    c->m_pSubTable = std::make_unique<CWinMeta>();
    const char* names[] = {"VendorNo", "Type", "VendorName", "ParentNo"};
    for (int k = 0; k < 21; ++k) {
        if (k < 4)
            AddTextField(*c->m_pSubTable, names[k]);
        else if (k == 17)
            AddTextField(*c->m_pSubTable, "Amount");
        else
            AddTextField(*c->m_pSubTable, "F" + std::to_string(k));
    }
    c->m_pMiscTable = std::make_unique<CWinMeta>();
    AddTextField(*c->m_pMiscTable, "Engineer");
    AddTextField(*c->m_pMiscTable, "Phone");
    c->m_pMiscTable->AddRecord(-1, -1);
    return c;
}

void SetTemplate(CContract& c, const std::string& name, const std::string& text)
{
    c.AddDataTemplate(name, text);
}

std::string PagesText(const std::vector<ReportPage>& pages)
{
    std::string out;
    for (const auto& p : pages) {
        for (const auto& l : p.lines)
            out += l + "\n";
        out += "\f\n";
    }
    return out;
}

std::string RunReport(CContract& c)
{
    Evaluator evaluator;
    CReportRun run(c, evaluator);
    const ReportOutcome o = run.LayoutAll();
    return o.ok ? PagesText(o.pages) : o.error;
}

std::string Render(CContract& c, const std::string& text)
{
    SetTemplate(c, "Report Front", text);
    return RunReport(c);
}

std::string Render(const std::string& text)
{
    auto c = MakeReportContract();
    return Render(*c, text);
}

} // namespace kestrel::test
