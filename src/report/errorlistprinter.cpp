#include "report/errorlistprinter.h"

#include <string>

#include "calc/formats.h"
#include "model/contract/contract.h"
#include "model/subcontract/check.h"
#include "report/pageengine.h"

namespace kestrel {

std::vector<ReportPage> CErrorListPrinter::Print(const CContract& contract, const CheckResult& check)
{
    CPageEngine engine;
    engine.Start(CPageEngine::MODE_DEVICE | CPageEngine::MODE_FONT, 80, 60);
    auto text = [](const Text& t) { return std::string(TextView(t)); };
    engine.PutChar('\n');
    engine.PutFormatted("    Prime ID: %s - %s\n", text(contract.m_strPrimeID).c_str(),
                        text(contract.m_strPrimeName).c_str());
    engine.PutFormatted(" Contract ID: %s\n", text(contract.pszContractID()).c_str());
    engine.PutFormatted("  Letting ID: %s\n", text(contract.pszLettingID()).c_str());
    engine.PutFormatted("Letting Date: %s\n", FormatDate(contract.dLetingDate, 0).c_str());
    engine.PutFormatted("  Call Order: %s\n", text(contract.pszCallOrder()).c_str());
    engine.PutText("\n\n\n");
    for (const CheckMessage& message : check.messages)
        engine.PutFormatted("%s\n", message.text.c_str());
    engine.End(true);
    return engine.TakePages();
}

} // namespace kestrel
