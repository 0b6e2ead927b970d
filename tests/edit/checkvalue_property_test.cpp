// The check value printed on a bid is the file's: on the demo and on
// generated contracts, after any sequence of changes and a save, the
// contract in memory has the check value (and the bytes) that opening the
// saved file gives; and saving an unchanged contract again writes the
// same bytes.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "demogen/demogen.h"
#include "edit/edittestutil.h"
#include "file/checkvalue.h"
#include "file/contractfile.h"
#include "file/contractsave.h"
#include "file/opencontract.h"
#include "model/contract/contract.h"
#include "support/editdriver.h"
#include "support/testfiles.h"

namespace kestrel::test {
namespace {

// A contract file beside the demo's list files, in a folder of its own.
struct ContractCase {
    const char* name;
    std::function<std::unique_ptr<CContract>()> build; // none: the committed demo
};

const ContractCase kCases[] = {
    {"demo", {}},
    {"generated small",
     [] {
         return demo::BuildLargeContract({90, 7, 12});
     }},
    {"generated large",
     [] {
         return demo::BuildLargeContract({500, 30, 45});
     }},
};

std::string WriteCase(const ContractCase& c, const TempDir& dir)
{
    const std::string path = dir.file("JOB.CON");
    WriteBytes(dir.file(demo::kVendorListName), demo::VendorListFile());
    WriteText(dir.file(demo::kWorkTypeListName), demo::WorkTypeListText());
    if (!c.build) {
        WriteBytes(path, ReadBytes(std::string(KESTREL_SAMPLES) + "/" + demo::kDemoContractName));
    } else {
        std::unique_ptr<CContract> built = c.build();
        EXPECT_EQ(demo::WriteContract(*built, path), "");
    }
    return path;
}

// The contract in memory against the saved file opened afresh.
::testing::AssertionResult IsTheFilesContract(CContract& live, const std::string& saved)
{
    CProgramPaths paths;
    Result<OpenedFile> opened = OpenContractFile(saved, paths);
    if (!opened)
        return ::testing::AssertionFailure() << opened.errorText();
    const uint32_t shown = ComputeCheckValue(live);
    const uint32_t read = ComputeCheckValue(*opened->contract);
    if (shown != read)
        return ::testing::AssertionFailure() << std::hex << "shown " << shown << ", the file's " << read;
    if (WriteContractStream(live) != WriteContractStream(*opened->contract))
        return ::testing::AssertionFailure() << "same check value, other contents";
    return ::testing::AssertionSuccess();
}

TEST(CheckValueProperties, SavingAnUnchangedContractAgainWritesTheSameBytes)
{
    for (const ContractCase& c : kCases) {
        TempDir dir;
        auto first = OpenSession(WriteCase(c, dir));
        ASSERT_TRUE(first);
        ASSERT_TRUE(SaveContract(*first->contract, dir.file("ONCE.CON")).ok());
        EXPECT_TRUE(IsTheFilesContract(*first->contract, dir.file("ONCE.CON"))) << c.name;
        auto second = OpenSession(dir.file("ONCE.CON"));
        ASSERT_TRUE(second);
        ASSERT_TRUE(SaveContract(*second->contract, dir.file("TWICE.CON")).ok());
        EXPECT_EQ(ComputeCheckValue(*second->contract), ComputeCheckValue(*first->contract)) << c.name;
        EXPECT_TRUE(ReadBytes(dir.file("ONCE.CON")) == ReadBytes(dir.file("TWICE.CON"))) << c.name;
    }
}

TEST(CheckValueProperties, AfterChangesAndASaveTheValueShownIsTheFiles)
{
    constexpr int kSteps = 240;
    constexpr int kSaveEvery = 40;
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        const ContractCase& c = kCases[seed % std::size(kCases)];
        TempDir dir;
        auto s = OpenSession(WriteCase(c, dir));
        ASSERT_TRUE(s);
        // The contract flags that change what the rules allow.
        const int bits[] = {CONTRACT_IRONBARK_LOCKED, CONTRACT_IRONBARK_FLOOR, CONTRACT_TRACK_PRICES};
        for (int i = 0; i < 3; ++i)
            FlagSet(s->contract->m_wFlags, bits[i], (seed >> i) & 1u);
        EditDriver driver(*s->edits);
        RandomChoices choices(seed);
        std::string last;
        for (int step = 1; step <= kSteps; ++step) {
            last = driver.Step(choices);
            if (step % kSaveEvery != 0)
                continue;
            const std::string saved = dir.file("SAVED" + std::to_string(step) + ".CON");
            ASSERT_TRUE(SaveContract(*s->contract, saved).ok());
            ASSERT_TRUE(IsTheFilesContract(*s->contract, saved))
                << c.name << ", seed " << seed << ", step " << step << " (" << last << ")";
        }
    }
}

} // namespace
} // namespace kestrel::test
