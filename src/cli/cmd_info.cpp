// kestrel-cli info FILE: the contract's key figures as "Key: value" lines.

#include <cinttypes>
#include <cstdio>
#include <iostream>

#include "cli/command.h"
#include "cli/loadcontract.h"
#include "cli/opendocument.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::cli {

namespace {

std::string Printf(const char* format, double v)
{
    char buf[400];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

int RunInfo(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        PrintError("usage: kestrel-cli info FILE");
        return kExitUnreadable;
    }
    Document document;
    if (const int status = OpenDocument(args[0], document))
        return status;
    const std::unique_ptr<CContract>& c = document.contract;
    const CWinMeta* table = c->m_pSubTable.get();
    char flags[8];
    std::snprintf(flags, sizeof flags, "%4.4X", static_cast<unsigned>(c->m_wFlags));
    char check[16];
    std::snprintf(check, sizeof check, "%8.8lX", static_cast<unsigned long>(ComputeCheckValue(*c)));
    std::cout << "Contract ID: " << Out(std::string(TextView(c->pszContractID()))) << "\n"
              << "Letting ID: " << Out(std::string(TextView(c->pszLettingID()))) << "\n"
              << "Call Order: " << Out(std::string(TextView(c->pszCallOrder()))) << "\n"
              << "Version: " << c->m_iVersion << "\n"
              << "Flags: " << flags << "\n"
              << "Entries: " << c->m_Items.GetSize() << "\n"
              << "Contract total: "
              << (IsBlankValue(c->m_fContractTotal) ? std::string("blank")
                                                    : Printf("%.2f", c->m_fContractTotal))
              << "\n"
              << "Subcontractors: " << (table ? table->m_Records.GetSize() : 0) << "\n"
              << "Subcontracted total: " << Printf("%.2f", table ? table->m_fSubTotal : 0.0) << "\n"
              << "Check: " << check << "\n";
    return 0;
}

const bool kRegistered = RegisterCommand({"info", "FILE", RunInfo});

} // namespace

} // namespace kestrel::cli
