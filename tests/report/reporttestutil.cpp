#include "reporttestutil.h"

#include "model/subcontract/winmeta.h"
#include "report/reportrun.h"

namespace kestrel::test {

namespace {

void AddField(CWinMeta& t, const std::string& name)
{
    CFieldInfo* f = t.m_Fields.Add();
    f->m_strName = name;
    f->m_iType = 1;
    f->m_iRequired = kNeverRequired;
}

} // namespace

std::unique_ptr<CContract> MakeReportContract()
{
    auto c = std::make_unique<CContract>();
    c->m_pSubTable = std::make_unique<CWinMeta>();
    const char* names[] = {"VendorNo", "Type", "VendorName", "ParentNo"};
    for (int k = 0; k < 21; ++k) {
        if (k < 4)
            AddField(*c->m_pSubTable, names[k]);
        else if (k == 17)
            AddField(*c->m_pSubTable, "Amount");
        else
            AddField(*c->m_pSubTable, "F" + std::to_string(k));
    }
    c->m_pMiscTable = std::make_unique<CWinMeta>();
    AddField(*c->m_pMiscTable, "Engineer");
    AddField(*c->m_pMiscTable, "Phone");
    c->m_pMiscTable->AddRecord(-1, -1);
    return c;
}

CSubcontract* AddSub(CContract& c, const std::string& name, CSubcontract* parent, bool itemized)
{
    CSubcontract* s = c.m_pSubTable->AddRecord(-1, -1);
    c.m_pSubTable->AssignNumber(s);
    s->SetName(name);
    s->SetParent(parent);
    FlagSet(s->m_wFlags, SUB_USESSUBITEMS, itemized ? 1 : 0);
    FlagSet(s->m_wFlags, SUB_COMPLETE, 1);
    return s;
}

CItem* AddItem(CContract& c, const std::string& line, const std::string& number, const std::string& unit,
               const std::string& desc)
{
    CItem* it = c.m_Items.Add();
    it->m_strLineNumber = line;
    it->m_strItemNumber = number;
    it->m_strUnit = unit;
    it->m_strShortDesc = desc;
    it->m_strAltCode = std::string("");
    return it;
}

CSubItem* AddSubItem(CSubcontract& s, const std::string& line, double quan, double up)
{
    CSubItem* si = s.AddSubItem(line);
    si->m_fQuan = quan;
    si->m_fUP = up;
    si->m_fExt = quan * up;
    return si;
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
