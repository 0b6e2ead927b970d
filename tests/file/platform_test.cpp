// What the program asks of each system, tested the same way on Linux and on
// Windows (the Windows build runs these under Wine): the safe save, the lock
// file, recovery copies, names with accented letters and past 260
// characters, and text files with CR LF line ends. What one system lacks is
// skipped there with the reason.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "calc/systemfile.h"
#include "calc/wholefile.h"
#include "file/contractfile.h"
#include "file/contractsave.h"
#include "file/lockfile.h"
#include "file/platform.h"
#include "file/recovery.h"
#include "file/safereplace.h"
#include "model/contract/contract.h"
#include "model/subcontract/listfile.h"
#include "report/sectionfile.h"
#include "support/testcontract.h"
#include "support/testfiles.h"
#include "support/testsystem.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<CContract> SmallContract(const std::string& id)
{
    auto c = std::make_unique<CContract>();
    c->m_strHeader[HDR_CONTRACT_ID] = id;
    test::AddItem(*c, "0010", 5, 12.5);
    c->RecalculateContract();
    return c;
}

std::string ContractId(const std::string& path)
{
    std::unique_ptr<CContract> read;
    const int code = ReadContractFile(path, read);
    return code == CF_OK ? std::string(TextView(read->pszContractID())) : "code " + std::to_string(code);
}

// A folder inside the test's own, made through the system's path.
std::string MakeFolder(const test::TempDir& dir, const std::string& name)
{
    const std::string folder = dir.path() + "/" + name;
    fs::create_directories(SystemPath(folder));
    return folder;
}

class PlatformTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string target = dir.file("JOB.CON");
};

TEST_F(PlatformTest, ASavedFileKeepsTheAttributesOfTheOneItReplaced)
{
    ASSERT_TRUE(SaveContract(*SmallContract("FIRST"), target).ok());
    test::MarkFile(target);
    const Status saved = SaveContract(*SmallContract("SECOND"), target);
    ASSERT_TRUE(saved.ok()) << saved.errorText();
    EXPECT_EQ(ContractId(target), "SECOND");
    EXPECT_TRUE(test::IsMarked(target));
    EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"JOB.CON"});
}

TEST_F(PlatformTest, AFailedSaveLeavesTheFileByteForByteAndNoTemporaryFile)
{
    ASSERT_TRUE(SaveContract(*SmallContract("FIRST"), target).ok());
    const auto before = test::ReadBytes(target);
    for (SaveStep failing :
         {SaveStep::CreateTemporary, SaveStep::Write, SaveStep::Flush, SaveStep::Replace}) {
        SaveOptions options;
        // Half a contract written, then the disk is full.
        options.writer = [](CContract& c, int fd) {
            (void)WriteAll(fd, "SDT!partial");
            return WriteContractDescriptor(c, fd);
        };
        options.failStep = [failing](SaveStep step) { return step == failing; };
        EXPECT_FALSE(SaveContractSafely(*SmallContract("SECOND"), target, options).ok());
        EXPECT_EQ(test::ReadBytes(target), before);
        EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"JOB.CON"});
    }
}

TEST_F(PlatformTest, AFileAnotherProgramHoldsWithoutSharingIsReportedNotDestroyed)
{
    ASSERT_TRUE(SaveContract(*SmallContract("FIRST"), target).ok());
    const auto before = test::ReadBytes(target);
    Status saved = Ok();
    {
        const test::ExclusiveHold editor(target);
        if (!editor.Held())
            GTEST_SKIP() << test::kNoShareModes;
        saved = SaveContract(*SmallContract("SECOND"), target);
    }
    EXPECT_FALSE(saved.ok());
    EXPECT_NE(saved.errorText().find("in use by another program"), std::string::npos) << saved.errorText();
    EXPECT_EQ(test::ReadBytes(target), before);
    EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"JOB.CON"});
}

TEST_F(PlatformTest, ALockIsKeptWhileItsProgramRunsAndTakenOverWhenItEnded)
{
    ASSERT_TRUE(SaveContract(*SmallContract("FIRST"), target).ok());
    const std::string lockPath = CLockFile::LockPathFor(target);
    {
        auto first = AcquireLock(target);
        ASSERT_TRUE(first.ok()) << first.errorText();
        EXPECT_EQ(first->outcome, LockOutcome::Acquired);
        EXPECT_EQ(ReadSmallFile(lockPath).value(), FormatOwnerRecord(first->lock.Owner()));
        // This program runs: its lock stays, and names it.
        auto second = AcquireLock(target);
        ASSERT_TRUE(second.ok());
        EXPECT_EQ(second->outcome, LockOutcome::HeldElsewhere);
        EXPECT_EQ(second->holder.pid, CurrentProcessId());
        EXPECT_EQ(second->holder.user, UserName());
    }
    EXPECT_EQ(StatPath(lockPath)->kind, FileKind::Missing);
    // A lock of a program that has ended is stale.
    OwnerRecord gone = CurrentOwner();
    gone.pid = test::EndedProcessId();
    gone.started = 0;
    ASSERT_NE(gone.pid, 0);
    ASSERT_TRUE(ReplaceFileContents(lockPath, FormatOwnerRecord(gone)).ok());
    auto taken = AcquireLock(target);
    ASSERT_TRUE(taken.ok()) << taken.errorText();
    EXPECT_EQ(taken->outcome, LockOutcome::TookOver);
    EXPECT_EQ(taken->holder.pid, gone.pid);
}

TEST_F(PlatformTest, RecoveryCopiesLiveInAFolderOfTheUsersAloneAndComeBack)
{
    const std::string folder = dir.path() + "/Local/Corvane/Kestrel/recovery";
    CRecoveryStore store(folder);
    auto contract = SmallContract("UNSAVED");
    auto copy = store.Save(*contract, target);
    ASSERT_TRUE(copy.ok()) << copy.errorText();
    EXPECT_TRUE(CheckPrivateFolder(folder, "recovery folder").ok());
    EXPECT_TRUE(IsOwnRegularFile(copy->copyPath));
    auto listed = store.List();
    ASSERT_TRUE(listed.ok() && listed->size() == 1u);
    EXPECT_EQ(listed->front().ownerState, OwnerState::Running);
    auto back = store.TakeBack(listed->front());
    ASSERT_TRUE(back.ok()) << back.errorText();
    EXPECT_EQ(TextView(back.value()->pszContractID()), "UNSAVED");
    EXPECT_TRUE(store.Remove(target).ok());
    EXPECT_TRUE(test::FolderEntries(folder).empty());
}

// A contract in a folder whose name has accented letters, and one whose
// whole path is past the 260 characters of old Windows programs: opened,
// locked, saved, reported on and its lists read.
TEST_F(PlatformTest, NamesWithAccentsAndLongPathsOpenSaveAndPrint)
{
    std::string deep = "Tuckahoe Cr\xC3\xA9"
                       "ek";
    while (deep.size() < 300)
        deep += "/Subcontract bids of the spring letting";
    for (const std::string& name : {std::string("Tuckahoe Cr\xC3\xA9"
                                                "ek \xE2\x80\x94 bids"),
                                    deep}) {
        const std::string folder = MakeFolder(dir, name);
        const std::string path = folder + "/CR\xC3\x89"
                                          "EK.CON";
        ASSERT_TRUE(SaveContract(*SmallContract("ACCENT"), path).ok()) << path;
        EXPECT_EQ(ContractId(path), "ACCENT") << path;
        auto lock = AcquireLock(path);
        ASSERT_TRUE(lock.ok()) << lock.errorText();
        EXPECT_EQ(lock->outcome, LockOutcome::Acquired);
        const std::string report = folder + "/report.txt";
        ASSERT_TRUE(ReplaceFileContents(report, "page one\n\f\n").ok());
        EXPECT_EQ(ReadWholeFile(report, kMaxTextFile).value(), "page one\n\f\n");
        EXPECT_TRUE(
            SaveTemplateSection("A", "x", folder + "/ZodEva.cfg", {}, MissingSectionFile::Create).ok());
        EXPECT_EQ(test::FolderEntries(folder), (std::set<std::string>{"CR\xC3\x89"
                                                                      "EK.CON",
                                                                      ".~lock.CR\xC3\x89"
                                                                      "EK.CON#",
                                                                      "report.txt", "ZodEva.cfg"}));
    }
}

TEST_F(PlatformTest, TextFilesWithCrLfAreReadAsTheyStand)
{
    // No line-end translation on any system: the readers see CR LF and
    // take it as a line end.
    const std::string lists = dir.file("VENDORS.TXT");
    test::WriteText(lists, "VENDOR  Ridge Paving\r\nVENDOR  Shore Concrete\r\n");
    EXPECT_EQ(ReadWholeFile(lists, kMaxTextFile).value().size(), 46u);
    const auto read = ReadListFile(lists);
    ASSERT_TRUE(read.ok()) << read.errorText();
    const auto lines = read->Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].entry, "Shore Concrete");
    const std::string cfg = dir.file("ZodEva.cfg");
    test::WriteText(cfg, "[A]\r\nold\r\n[B]\r\nkept\r\n");
    ASSERT_TRUE(SaveTemplateSection("A", "new\n", cfg).ok());
    EXPECT_EQ(test::ReadText(cfg), "[A]\nnew\n[B]\r\nkept\r\n");
}

} // namespace
} // namespace kestrel
