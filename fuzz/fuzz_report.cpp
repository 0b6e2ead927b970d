// A bounded report run over arbitrary templates on a small fixed contract.
// The input is split at 0x01 bytes into the texts of the section templates.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "report/reportrun.h"

namespace {

const char* const kNames[] = {
    "Report Front",
    "Report Header",
    "Report Footer",
    "Report Sub List Start",
    "Report Sub Start",
    "Report SubItem List Header",
    "Report SubItem",
    "Report SubItem List Footer",
    "Report Sub No Items",
    "Report Sub End",
    "Report Sub List End",
    "Report Back",
    "Inner",
};

std::unique_ptr<kestrel::CContract> MakeContract()
{
    using namespace kestrel;
    auto c = std::make_unique<CContract>();
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("C-100");
    c->m_strHeader[HDR_CONTRACT_DESCRIPTION] =
        std::string("Resurfacing of the county road\nwith new shoulders");
    c->m_strHeader[HDR_ROUTE] = std::string("R1\nR2");
    c->m_fContractTotal = 1234567.5;
    for (const char* n : {"North", "South"})
        c->m_Counties.Add()->m_strName = std::string(n);
    c->m_Sites.Add()->m_strDescription = std::string("Site one");
    for (const char* l : {"0010", "0020"}) {
        CItem* it = c->m_Items.Add();
        it->m_strLineNumber = std::string(l);
        it->m_strUnit = std::string("EA");
    }
    c->m_pSubTable = std::make_unique<CWinMeta>();
    for (int k = 0; k < 18; ++k)
        c->m_pSubTable->m_Fields.Add()->m_strName = k == 17 ? std::string("Amount") : "F" + std::to_string(k);
    CSubcontract* a = c->m_pSubTable->AddRecord(-1, -1);
    a->SetNumber(1);
    a->SetName(std::string("Alpha"));
    CSubItem* si = a->AddSubItem("0010");
    si->m_fQuan = 1500;
    CSubcontract* b = c->m_pSubTable->AddRecord(-1, -1);
    b->SetNumber(2);
    b->SetParent(a);
    b->SetCellText(17, std::string("$1,000.00"));
    c->m_pMiscTable = std::make_unique<CWinMeta>();
    c->m_pMiscTable->m_Fields.Add()->m_strName = std::string("Engineer");
    c->m_pMiscTable->AddRecord(-1, -1);
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto contract = MakeContract();
    const std::string input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    for (const char* name : kNames) {
        if (start > input.size())
            break;
        const size_t end = input.find('\x01', start);
        contract->AddDataTemplate(
            name, input.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? input.size() + 1 : end + 1;
    }
    kestrel::Evaluator evaluator;
    kestrel::CReportRun run(*contract, evaluator);
    run.SetWorkLimit(20000);
    run.SetPageLimit(200);
    run.SetEvaluationLimit(2'000'000);
    const kestrel::ReportOutcome all = run.LayoutAll();
    if (all.ok && !all.pages.empty()) {
        // The one-pass layout and the per-page run must agree.
        const kestrel::ReportOutcome one = run.RunToPage(1);
        if (!one.ok || one.pages.size() != 1 || !(one.pages[0] == all.pages[0]))
            __builtin_trap();
    }
    return 0;
}
