// The committed samples: they are what the generator makes now, the
// contract reads, checks with the messages it was built to give, and a
// save changes nothing but what saving changes.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/bidlib/bidlibrary.h"
#include "demogen/demogen.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/check.h"
#include "model/subcontract/remarkstamp.h"
#include "model/subcontract/winmeta.h"
#include "support/testfiles.h"

using namespace kestrel;
using namespace kestrel::demo;

namespace {

std::string Sample(const char* name)
{
    return std::string(KESTREL_SAMPLES) + "/" + name;
}

std::unique_ptr<CContract> ReadSample()
{
    std::unique_ptr<CContract> c;
    EXPECT_EQ(ReadContractFile(Sample(kDemoContractName), c), 0);
    return c;
}

// The stream, not the gzip bytes: another zlib may compress the same
// stream differently.
TEST(DemoSamples, CommittedContractIsWhatTheGeneratorMakes)
{
    const std::pair<const char*, std::unique_ptr<CContract>> samples[] = {
        {kDemoContractName, BuildDemoContract()}, {kDemoAmendmentName, BuildDemoAmendment()}};
    for (const auto& [name, built] : samples) {
        const std::vector<unsigned char> expected = WriteContractStream(*built);
        const std::vector<unsigned char> committed = test::GunzipFile(Sample(name));
        EXPECT_EQ(committed.size(), expected.size()) << name;
        EXPECT_TRUE(committed == expected)
            << name << ": samples/ is out of date: run kestrel-demogen samples";
    }
}

TEST(DemoSamples, CommittedListFilesAreWhatTheGeneratorMakes)
{
    EXPECT_EQ(test::ReadText(Sample(kWorkTypeListName)), WorkTypeListText());
    EXPECT_TRUE(test::ReadBytes(Sample(kVendorListName)) == VendorListFile());
}

TEST(DemoSamples, ContractReadsBackAsBuilt)
{
    auto read = ReadSample();
    ASSERT_TRUE(read);
    auto built = BuildDemoContract();
    EXPECT_EQ(read->m_Items.GetSize(), built->m_Items.GetSize());
    EXPECT_DOUBLE_EQ(read->m_fContractTotal, built->m_fContractTotal);
    EXPECT_GT(read->m_fContractTotal, 1e6);
    ASSERT_TRUE(read->m_pSubTable && read->m_pMiscTable);
    const CWinMeta& a = *read->m_pSubTable;
    const CWinMeta& b = *built->m_pSubTable;
    EXPECT_DOUBLE_EQ(a.m_fSubTotal, b.m_fSubTotal);
    ASSERT_EQ(a.m_Records.GetSize(), b.m_Records.GetSize());
    for (int i = 0; i < a.m_Records.GetSize(); ++i) {
        const CSubcontract& ra = *a.m_Records[i];
        const CSubcontract& rb = *b.m_Records[i];
        EXPECT_EQ(ra.m_wFlags, rb.m_wFlags) << "record " << i + 1;
        EXPECT_EQ(a.m_Records.IndexOf(ra.m_pParent), b.m_Records.IndexOf(rb.m_pParent));
        ASSERT_EQ(ra.m_Cells.GetSize(), rb.m_Cells.GetSize());
        for (int j = 0; j < ra.m_Cells.GetSize(); ++j) {
            EXPECT_EQ(TextView(ra.m_Cells[j]->m_psz), TextView(rb.m_Cells[j]->m_psz)) << i << "/" << j;
            EXPECT_EQ(ra.m_Cells[j]->m_i, rb.m_Cells[j]->m_i) << i << "/" << j;
        }
        std::vector<std::string> ka = ra.m_SubItems.Keys(), kb = rb.m_SubItems.Keys();
        std::sort(ka.begin(), ka.end());
        std::sort(kb.begin(), kb.end());
        ASSERT_EQ(ka, kb);
        for (const std::string& line : ka) {
            const CSubItem& sa = *ra.FindSubItem(line);
            const CSubItem& sb = *rb.FindSubItem(line);
            EXPECT_EQ(sa.m_wFlags, sb.m_wFlags) << line;
            EXPECT_EQ(sa.m_fQuan, sb.m_fQuan) << line;
            EXPECT_EQ(sa.m_fExt, sb.m_fExt) << line;
            EXPECT_EQ(sa.m_strRemarks, sb.m_strRemarks) << line;
        }
    }
    EXPECT_EQ(read->m_pMiscTable->m_Records[0]->m_wFlags, built->m_pMiscTable->m_Records[0]->m_wFlags);
    EXPECT_FALSE(FlagTest(read->m_wFlags, CONTRACT_MODIFIED));
}

TEST(DemoSamples, RewritingChangesNothing)
{
    auto read = ReadSample();
    ASSERT_TRUE(read);
    const std::vector<unsigned char> committed = test::GunzipFile(Sample(kDemoContractName));
    EXPECT_EQ(WriteContractStream(*read).size(), committed.size());
    EXPECT_TRUE(WriteContractStream(*read) == committed);
}

TEST(DemoSamples, CheckGivesTheMessagesTheDemoWasBuiltFor)
{
    auto read = ReadSample();
    ASSERT_TRUE(read);
    const CheckResult check = CheckContract(*read);
    EXPECT_FALSE(check.Passed());
    std::vector<std::string> texts;
    for (const CheckMessage& m : check.messages)
        texts.push_back(m.text);
    const std::vector<std::string> expected = {
        "Subcontractor Error: Subcontractor Entry #2 is incomplete or contains item errors",
        "Subcontractor Error: Subcontractor Entry #5 is incomplete or contains item errors",
        "Subcontractor Error: Subcontractor Entry #6 is incomplete or contains item errors",
        "Subcontractor Warning: MASON not chosen from list (Subcontractor #5)",
        "Data Error: Required fields not entered in Misc Data screen",
    };
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(check.errors, 4);
    EXPECT_EQ(check.warnings, 1);
    EXPECT_TRUE(FlagTest(read->m_wFlags, CONTRACT_BID_ERRORS));
}

// Every remark of the demo was stamped when it was made, so a save sets the
// saved-by-us flag and changes nothing else.
TEST(DemoSamples, SavingChangesOnlyTheSavedFlag)
{
    auto read = ReadSample();
    ASSERT_TRUE(read);
    FlagSet(read->m_wFlags, CONTRACT_SAVED_BY_US, 1);
    int draws = 0;
    StampRemarks(*read, [&] { return ++draws; });
    EXPECT_EQ(draws, 0) << "a remark had no identifier yet";
    auto built = BuildDemoContract();
    FlagSet(built->m_wFlags, CONTRACT_SAVED_BY_US, 1);
    EXPECT_TRUE(WriteContractStream(*read) == WriteContractStream(*built));
}

TEST(DemoSamples, LibraryHoldsTheDemoProposal)
{
    auto lib = OpenBidLibrary(Sample(kBidLibraryName));
    ASSERT_TRUE(lib);
    const std::vector<unsigned char> demo = test::ReadBytes(Sample(kDemoContractName));
    std::vector<std::string> names;
    std::unique_ptr<BidLibraryEntry> entry;
    while ((entry = NextBidLibraryEntry(*lib, std::move(entry)))) {
        names.push_back(entry->m_strName);
        if (entry->m_strName == "DEMO.kvs") {
            EXPECT_EQ(entry->m_dwSize, demo.size());
        }
    }
    EXPECT_EQ(static_cast<int>(names.size()), lib->m_iEntryCount);
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[0], "DEMO.kvs");
    int proposals = 0;
    for (const std::string& n : names)
        proposals += MatchEntryPatterns(n, "*.kvs");
    EXPECT_EQ(proposals, 2);

    // The proposal taken out of the library is the demo contract.
    test::TempDir dir;
    const std::string copy = dir.file(kBidLibraryName);
    test::WriteBytes(copy, test::ReadBytes(Sample(kBidLibraryName)));
    ASSERT_EQ(ExtractMatchingEntries(copy, "DEMO.kvs"), 0);
    EXPECT_TRUE(test::ReadBytes(dir.file("DEMO.kvs")) == demo);
    std::unique_ptr<CContract> proposal;
    EXPECT_EQ(ReadContractFile(dir.file("DEMO.kvs"), proposal), 0);
}

} // namespace
