#include "demogen/demogen.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "demogen/bidlibrarywriter.h"
#include "demogen/demoforms.h"
#include "demogen/demolists.h"
#include "demogen/demoschedule.h"
#include "demogen/demosubs.h"
#include "demogen/demotemplates.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::demo {

namespace {

// Everything but the schedule and the subcontractors.
std::unique_ptr<CContract> NewDemoContract()
{
    auto c = std::make_unique<CContract>();
    FillDemoHeader(*c);
    FillStoredLists(*c);
    c->m_pSubTable = BuildSubcontractForm();
    c->m_pMiscTable = BuildMiscForm();
    AddDemoTemplates(*c);
    return c;
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool ReadBytes(const std::string& path, std::vector<unsigned char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

std::vector<unsigned char> Bytes(const std::string& text)
{
    return std::vector<unsigned char>(text.begin(), text.end());
}

// A second, smaller proposal of the same letting for the bid library.
std::unique_ptr<CContract> BuildSecondProposal()
{
    auto c = BuildLargeContract({36, 3, 4});
    c->m_strHeader[HDR_CONTRACT_ID] = "C24-0488-01";
    c->m_strHeader[HDR_CALL_ORDER] = "018";
    c->m_strHeader[HDR_CONTRACT_DESCRIPTION] =
        "Guide rail replacement and pavement marking on State Route 47 and County Road 612.";
    c->m_strHeader[HDR_SERIAL_NUMBER] = "0488-2026-001";
    return c;
}

const char* const kAddenda =
    "Letting L260312 - addenda issued\r\n"
    "\r\n"
    "Addendum 1 (Feb 20, 2026): revised quantities of items 504-02000 and 606-09000;\r\n"
    "  alternate sections A1A and A1B added for the bridge deck overlay.\r\n"
    "Addendum 2 (Mar 4, 2026): pre-bid meeting minutes; no change to the proposal.\r\n"
    "\r\n"
    "Acknowledge every addendum in the proposal before submitting the bid.\r\n";

} // namespace

std::unique_ptr<CContract> BuildDemoContract()
{
    auto c = NewDemoContract();
    FillDemoSchedule(*c);
    c->RecalculateContract();
    FillDemoSubcontracts(*c);
    c->SetModified(false);
    return c;
}

std::unique_ptr<CContract> BuildLargeContract(const LargeOptions& options)
{
    auto c = NewDemoContract();
    FillLargeSchedule(*c, options.items);
    c->RecalculateContract();
    FillLargeSubcontracts(*c, options.subs, options.subItems);
    CSubcontract* misc = c->m_pMiscTable->m_Records.GetAt(0);
    for (const auto& cell : misc->m_Cells)
        cell->m_psz = "";
    c->m_pMiscTable->UpdateCompleteness(-1, false);
    c->SetModified(false);
    return c;
}

std::string WriteContract(CContract& contract, const std::string& path)
{
    const int code = WriteContractFile(contract, path);
    return code == 0 ? std::string() : ContractFileErrorText(code, true);
}

std::string WriteDemoSamples(const std::string& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
        return "cannot create " + dir + ": " + ec.message();
    const std::string con = dir + "/" + kDemoContractName;
    auto demo = BuildDemoContract();
    if (std::string error = WriteContract(*demo, con); !error.empty())
        return error;
    auto amendment = BuildDemoAmendment();
    if (std::string error = WriteContract(*amendment, dir + "/" + kDemoAmendmentName); !error.empty())
        return error;
    if (!WriteBytes(dir + "/" + kWorkTypeListName, Bytes(WorkTypeListText())))
        return "cannot write " + dir + "/" + kWorkTypeListName;
    const std::vector<unsigned char> vendors = VendorListFile();
    if (!WriteBytes(dir + "/" + kVendorListName, vendors))
        return "cannot write " + dir + "/" + kVendorListName;

    std::vector<unsigned char> demoBytes;
    if (!ReadBytes(con, demoBytes))
        return "cannot read back " + con;
    const std::string second = dir + "/C24-0488.tmp";
    auto other = BuildSecondProposal();
    if (std::string error = WriteContract(*other, second); !error.empty())
        return error;
    std::vector<unsigned char> secondBytes;
    const bool readSecond = ReadBytes(second, secondBytes);
    std::remove(second.c_str());
    if (!readSecond)
        return "cannot read back " + second;

    const uint32_t stamp = DemoDate(2026, 3, 11, 17, 45);
    CBidLibraryWriter kvl("Letting L260312, District 4: proposals of Harrow & Lane Construction Co.", 3);
    kvl.Add({"DEMO.kvs", "C24-0471-01 SR 47 resurfacing and Bridge 47-0183", stamp, demoBytes});
    kvl.Add({"C24-0488.kvs", "C24-0488-01 SR 47 guide rail and markings", stamp + 600, secondBytes});
    kvl.Add({"ADDENDA.TXT", "Addenda of the letting", stamp - 86400, Bytes(kAddenda)});
    kvl.Add({kVendorListName, "Vendor list", stamp - 7 * 86400, vendors});
    kvl.Add({kWorkTypeListName, "Work types", stamp - 7 * 86400, Bytes(WorkTypeListText())});
    if (!WriteBytes(dir + "/" + kBidLibraryName, kvl.Bytes()))
        return "cannot write " + dir + "/" + kBidLibraryName;
    return std::string();
}

} // namespace kestrel::demo
