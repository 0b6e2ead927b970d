// kestrel-cli info, rewrite, items and dump, run as the real binary.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <utility>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/clirun.h"
#include "support/testcontract.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::TempDir;

using test::CliRun;
using test::RunCli;
using test::ShellQuote;

std::unique_ptr<CContract> MakeContract()
{
    auto c = std::make_unique<CContract>();
    c->m_strHeader[HDR_CONTRACT_ID] = "C-\xE9"; // é in Windows-1252
    c->m_strHeader[HDR_LETTING_ID] = "L7";
    c->m_wFlags = 0x0410;
    c->m_QuanFormat = {8, 3};
    c->m_UPFormat = {7, 4};
    c->m_ExtFormat = {10, 2};
    test::AddHeading(*c, "0001");
    CItem* a = test::AddItem(*c, "0010", "201-01", "EA", "Clearing");
    a->m_fQuantity = 2;
    a->m_fUnitPrice = 1.25;
    CItem* b = test::AddItem(*c, "0020", 3, 0);
    SetBlankValue(b->m_fUnitPrice);
    c->m_pSubTable = test::MakeTextTable(18);
    CSubcontract* r = test::AddNumberedSub(*c->m_pSubTable, 1);
    FlagSet(r->m_wFlags, SUB_USESSUBITEMS, 0);
    r->SetCellText(SUBF_AMOUNT, std::string("$1,000.50"));
    return c;
}

TEST(CliContract, InfoPrintsTheKeyFigures)
{
    TempDir dir;
    auto c = MakeContract();
    ASSERT_EQ(WriteContractFile(*c, dir.file("a.con")), CF_OK);
    std::unique_ptr<CContract> back;
    ASSERT_EQ(ReadContractFile(dir.file("a.con"), back), CF_OK);
    char check[16];
    std::snprintf(check, sizeof check, "%8.8X", ComputeCheckValue(*back));
    const CliRun r = RunCli(dir, "info " + ShellQuote(dir.file("a.con")));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Contract ID: C-\xC3\xA9\nLetting ID: L7\nCall Order: \nVersion: 410\nFlags: 0410\n"
                     "Entries: 3\nContract total: 2.50\nSubcontractors: 1\nSubcontracted total: 1000.50\n"
                     "Check: " +
                         std::string(check) + "\n");
}

TEST(CliContract, InfoWithoutTablesAndBlankTotal)
{
    TempDir dir;
    CContract c;
    ASSERT_EQ(WriteContractFile(c, dir.file("e.con")), CF_OK);
    const CliRun r = RunCli(dir, "info " + ShellQuote(dir.file("e.con")));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Entries: 0\nContract total: 0.00\nSubcontractors: 0\nSubcontracted total: 0.00\n"),
              std::string::npos);
}

TEST(CliContract, UnreadableFilesExitTwo)
{
    TempDir dir;
    test::WriteText(dir.file("bad.con"), "This is not it");
    for (const char* cmd : {"info", "items", "dump"}) {
        const std::string extra = std::string(cmd) == "dump" ? " --json" : "";
        CliRun r = RunCli(dir, std::string(cmd) + " " + ShellQuote(dir.file("bad.con")) + extra);
        EXPECT_EQ(r.status, 2) << cmd;
        EXPECT_EQ(r.err,
                  "Error: " + dir.file("bad.con") +
                      ": File is too old. This file can only be read with a previous version of KESTREL\n");
        EXPECT_EQ(r.out, "");
    }
    CliRun r =
        RunCli(dir, "rewrite " + ShellQuote(dir.file("none.con")) + " " + ShellQuote(dir.file("out.con")));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Error: " + dir.file("none.con") + ": Cannot open file: No such file or directory\n");
}

// A FIFO (a read would wait for ever) and a folder are refused at once.
TEST(CliContract, WhatIsNotARegularFileIsRefusedAtOnce)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("PIPE.CON").c_str(), 0600), 0);
    test::WriteText(dir.file("e.json"), "[]");
    for (const auto& [path, text] :
         {std::pair{dir.file("PIPE.CON"), "Not a regular file"}, {dir.path(), "Is a folder, not a file"}}) {
        const std::string q = ShellQuote(path);
        for (const std::string& args :
             {"info " + q, "check " + q, "apply " + q + " " + ShellQuote(dir.file("e.json")) + " o",
              "kvl list " + q, "lists " + q}) {
            const CliRun r = RunCli(dir, args, {"timeout 20", ""});
            EXPECT_EQ(r.status, 2) << args;
            const std::string named = args[0] == 'l' ? "Cannot open the file '" + path + "': " : path + ": ";
            EXPECT_EQ(r.err, "Error: " + named + text + "\n") << args;
        }
    }
}

TEST(CliContract, RewriteKeepsTheStream)
{
    TempDir dir;
    auto c = MakeContract();
    // The computed values as reading recomputes them.
    c->m_fContractTotal = 2.5;
    c->m_pSubTable->m_fSubTotal = 1000.5;
    FlagSet(c->m_pSubTable->m_Records[0]->m_wFlags, SUB_COMPLETE, 1);
    ASSERT_EQ(WriteContractFile(*c, dir.file("a.con")), CF_OK);
    const CliRun r =
        RunCli(dir, "rewrite " + ShellQuote(dir.file("a.con")) + " " + ShellQuote(dir.file("b.con")));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(test::GunzipFile(dir.file("b.con")), test::GunzipFile(dir.file("a.con")));
    EXPECT_EQ(test::ReadBytes(dir.file("b.con")), test::ReadBytes(dir.file("a.con")));

    const CliRun bad = RunCli(dir, "rewrite " + ShellQuote(dir.file("a.con")) + " " +
                                       ShellQuote(dir.file("no/such/dir.con")));
    EXPECT_EQ(bad.status, 3);
    EXPECT_EQ(bad.err, "Error: " + dir.file("no/such/dir.con") + ": Cannot create a temporary file in " +
                           dir.file("no/such") + ": No such file or directory\n");
}

TEST(CliContract, ItemsGiveTheCopyText)
{
    TempDir dir;
    auto c = MakeContract();
    ASSERT_EQ(WriteContractFile(*c, dir.file("a.con")), CF_OK);
    const CliRun r = RunCli(dir, "items " + ShellQuote(dir.file("a.con")));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "C-\xC3\xA9\t0010\t\t201-01\t2.000\tEA\t1.2500\t2.50\tClearing\r\n"
                     "C-\xC3\xA9\t0020\t\t\t3.000\t\t\t\t\r\n");
}

TEST(CliContract, DumpGivesTheWholeModel)
{
    TempDir dir;
    auto c = MakeContract();
    ASSERT_EQ(WriteContractFile(*c, dir.file("a.con")), CF_OK);
    const CliRun r = RunCli(dir, "dump " + ShellQuote(dir.file("a.con")) + " --json");
    ASSERT_EQ(r.status, 0);
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["version"], 410);
    EXPECT_EQ(j["headerTexts"][HDR_CONTRACT_ID], "C-\xC3\xA9");
    ASSERT_EQ(j["items"].size(), 3u);
    EXPECT_EQ(j["items"][1]["extension"], 2.5);
    EXPECT_TRUE(j["items"][2]["unitPrice"].is_null()); // blank
    EXPECT_EQ(j["subcontractorTable"]["records"][0]["cells"][17]["text"], "$1,000.50");
    EXPECT_EQ(j["subcontractorTable"]["subcontractedTotal"], 1000.5);
    EXPECT_TRUE(j["miscTable"].is_null());
    EXPECT_EQ(j["formats"]["unitPrice"]["decimals"], 4);

    const CliRun usage = RunCli(dir, "dump " + ShellQuote(dir.file("a.con")));
    EXPECT_NE(usage.status, 0);
}

} // namespace
} // namespace kestrel
