#include "support/reportcontract.h"

#include <cstdio>
#include <string>

#include "calc/evaluator.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "report/reportrun.h"

namespace kestrel::bench {

namespace {

constexpr int kItems = 200;
constexpr int kSubItemsPerSub = 12;

// Text and number joined; appending (rather than operator+ on a literal)
// keeps GCC's overlap warning quiet at -O3.
std::string Cat(const char* text, int n, const char* tail = "")
{
    std::string s(text);
    s += std::to_string(n);
    s += tail;
    return s;
}

} // namespace

std::unique_ptr<CContract> MakeReportContract(int subs)
{
    auto c = std::make_unique<CContract>();
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("BENCH-1000");
    for (int k = 0; k < kItems; ++k) {
        CItem* it = c->m_Items.Add();
        char line[16];
        std::snprintf(line, sizeof line, "%04d", (k + 1) * 10);
        it->m_strLineNumber = std::string(line);
        it->m_strItemNumber = Cat("ITEM-", k);
        it->m_strUnit = std::string(k % 3 ? "EA" : "LF");
        it->m_strShortDesc = Cat("Work item number ", k, " of the schedule");
    }
    c->m_pSubTable = std::make_unique<CWinMeta>();
    for (int f = 0; f < 18; ++f)
        c->m_pSubTable->m_Fields.Add()->m_strName = f == 2 ? std::string("VendorName") : Cat("F", f);
    CSubcontract* parent = nullptr;
    for (int s = 0; s < subs; ++s) {
        CSubcontract* r = c->m_pSubTable->AddRecord(-1, -1);
        r->SetNumber(s + 1);
        r->SetName(Cat("Subcontractor ", s));
        FlagSet(r->m_wFlags, SUB_COMPLETE, 1);
        if (s % 4 == 0)
            parent = r;
        else
            r->SetParent(parent);
        for (int i = 0; i < kSubItemsPerSub; ++i) {
            const CItem* it = c->m_Items.GetAt((s * 7 + i * 13) % kItems);
            CSubItem* si = r->AddSubItem(it->m_strLineNumber.View());
            si->m_fQuan = 10 + i;
            si->m_fUP = 2.5 * (s % 9 + 1);
            si->m_fExt = si->m_fQuan * si->m_fUP;
            si->m_strRemarks = std::string("Remark on this sub-item that is long enough to wrap onto a line");
        }
    }
    c->AddDataTemplate("Report Front", "SUBCONTRACTOR REPORT {CONTRACT_ID}\n");
    c->AddDataTemplate("Report Header", "Contract {CONTRACT_ID}{\"Page\",SIZE=50,JUSTIFY=R} {PAGE_NUMBER}\n" +
                                            std::string(79, '=') + "\n");
    c->AddDataTemplate("Report Footer", "{DROP}" + std::string(80, '-') + "\n" + std::string(72, ' ') +
                                            "Page {PAGE_NUMBER}\f\r\\");
    c->AddDataTemplate("Report Sub Start", "{VendorName,SIZE=40} {SUB_ISCHILDSUB?\"(tier 2)\":\"\"}\n");
    c->AddDataTemplate("Report SubItem List Header",
                       "  LINE  ITEM NUMBER        QUANTITY UNIT      EXTENSION\n");
    c->AddDataTemplate("Report SubItem",
                       "  {SUBITEM_LINE_NUMBER}  {SUBITEM_NUMBER} {SUBITEM_QUANTITY} {SUBITEM_UNIT} "
                       "{SUBITEM_EXTENSION,MONEY}\n        {SUBITEM_REMARKS,SIZE=60,REPEAT}\n");
    c->AddDataTemplate("Report SubItem List Footer", "\n");
    c->AddDataTemplate("Report Sub End", "  total {SUB_AMMTSUBBED}\n");
    return c;
}

// Subcontractors needed for a report of about this many pages.
int SubsForPages(int pages)
{
    static double pagesPerSub = [] {
        auto c = MakeReportContract(40);
        Evaluator evaluator;
        CReportRun run(*c, evaluator);
        return double(run.LayoutAll().pages.size()) / 40.0;
    }();
    return static_cast<int>(pages / pagesPerSub + 0.5);
}

} // namespace kestrel::bench
