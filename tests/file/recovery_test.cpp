// Recovery copies: written beside the settings and never over the user's
// file, one per contract path, listed after the program that wrote them
// died (a child process killed here), and taken back as the contract that
// was written.

#include "file/recovery.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/forkedchild.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<CContract> EditedDemo()
{
    std::unique_ptr<CContract> c;
    EXPECT_EQ(ReadContractFile(std::string(KESTREL_SAMPLES) + "/DEMO.CON", c), CF_OK);
    if (!c)
        return std::make_unique<CContract>();
    // Unsaved work: a new remark and another quantity.
    c->m_pSubTable->m_Records[0]->SetCellText(SUBF_REMARK, "typed after the last save");
    c->m_Items[3]->m_fQuantity = 12;
    c->RecalculateContract();
    c->SetModified(true);
    return c;
}

// A contract as reading its stream gives it, still marked modified. (A
// reading lists the sub-items of a map bucket in the order opposite to the
// one they were written in, so the bytes of a stream written again are
// compared, not the first stream.)
std::vector<unsigned char> AsRead(const std::vector<unsigned char>& stream)
{
    std::unique_ptr<CContract> c;
    EXPECT_EQ(ReadContractStream(stream.data(), stream.size(), c), CF_OK);
    if (!c)
        return {};
    c->SetModified(true);
    return WriteContractStream(*c);
}

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

class Recovery : public ::testing::Test {
protected:
    void SetUp() override { test::WriteText(contractPath, "the user's file"); }

    test::TempDir settings;
    test::TempDir work;
    std::string folder = settings.file("Recovery");
    std::string contractPath = work.file("JOB.CON");
    CRecoveryStore store{folder};
};

TEST_F(Recovery, ACopyGoesIntoThePrivateFolderAndNeverOverTheUsersFile)
{
    auto c = EditedDemo();
    const auto saved = store.Save(*c, contractPath);
    ASSERT_TRUE(saved.ok()) << saved.errorText();
    EXPECT_EQ(test::ReadText(contractPath), "the user's file");
    EXPECT_EQ(fs::path(saved->copyPath).parent_path(), fs::path(folder));
    EXPECT_EQ(saved->copyPath, store.CopyPathFor(contractPath));
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(saved->copyPath), 0600u);
    EXPECT_EQ(ModeOf(saved->notePath), 0600u);
    // Only the copy and its note: no temporary file left.
    EXPECT_EQ(test::FolderEntries(folder).size(), 2u);
    EXPECT_TRUE(FlagTest(c->m_wFlags, CONTRACT_MODIFIED));
}

TEST_F(Recovery, OnePathHasOneCopyHoweverItIsSpelled)
{
    const std::string other = work.file("OTHER.CON");
    const std::string link = settings.file("link.CON");
    fs::create_symlink(contractPath, link);
    const std::string dotted = work.path() + "/./sub/../JOB.CON";
    fs::create_directory(work.file("sub"));
    EXPECT_EQ(store.CopyPathFor(link), store.CopyPathFor(contractPath));
    EXPECT_EQ(store.CopyPathFor(dotted), store.CopyPathFor(contractPath));
    EXPECT_NE(store.CopyPathFor(other), store.CopyPathFor(contractPath));

    auto c = EditedDemo();
    ASSERT_TRUE(store.Save(*c, link).ok());
    ASSERT_TRUE(store.Save(*c, contractPath).ok());
    const auto listed = store.List();
    ASSERT_TRUE(listed.ok());
    ASSERT_EQ(listed->size(), 1u);
    EXPECT_EQ(listed->front().contractPath, fs::canonical(contractPath).string());
}

TEST_F(Recovery, TheCopiesOfThisRunningProgramAreNotLeftBehind)
{
    auto c = EditedDemo();
    ASSERT_TRUE(store.Save(*c, contractPath).ok());
    const auto all = store.List();
    ASSERT_TRUE(all.ok());
    ASSERT_EQ(all->size(), 1u);
    EXPECT_EQ(all->front().ownerState, OwnerState::Running);
    EXPECT_EQ(all->front().owner.pid, ::getpid());
    EXPECT_LE(std::abs(all->front().savedAt - static_cast<int64_t>(std::time(nullptr))), 5);
    const auto left = store.LeftBehind();
    ASSERT_TRUE(left.ok());
    EXPECT_TRUE(left->empty());
}

TEST_F(Recovery, TheCopyOfAKilledProgramIsListedAndTakenBackAsWritten)
{
    auto c = EditedDemo();
    const std::vector<unsigned char> written = WriteContractStream(*c);
    test::ForkedChild child([&] { return store.Save(*c, contractPath).ok(); });
    ASSERT_TRUE(child.Ready());
    const pid_t crashed = child.Pid();
    child.Kill();

    const auto left = store.LeftBehind();
    ASSERT_TRUE(left.ok()) << left.errorText();
    ASSERT_EQ(left->size(), 1u);
    const RecoveryCopy& copy = left->front();
    EXPECT_EQ(copy.owner.pid, crashed);
    EXPECT_EQ(copy.ownerState, OwnerState::Gone);
    EXPECT_EQ(copy.contractPath, fs::canonical(contractPath).string());
    EXPECT_LE(std::abs(copy.savedAt - static_cast<int64_t>(std::time(nullptr))), 5);

    auto back = store.TakeBack(copy);
    ASSERT_TRUE(back.ok()) << back.errorText();
    EXPECT_TRUE(FlagTest(back.value()->m_wFlags, CONTRACT_MODIFIED));
    EXPECT_EQ(WriteContractStream(*back.value()), AsRead(written));

    ASSERT_TRUE(store.Discard(copy).ok());
    EXPECT_TRUE(test::FolderEntries(folder).empty());
}

// A process number the system has given to another program since: the
// start time in the note tells that the writer is gone.
TEST_F(Recovery, ANoteOfThisProcessNumberWithAnotherStartIsLeftBehind)
{
    auto c = EditedDemo();
    const auto saved = store.Save(*c, contractPath);
    ASSERT_TRUE(saved.ok());
    OwnerRecord earlier = saved->owner;
    if (earlier.started == 0)
        GTEST_SKIP() << "the system does not tell when a process started";
    earlier.started -= 1;
    test::WriteText(saved->notePath, FormatOwnerRecord(earlier));
    const auto left = store.LeftBehind();
    ASSERT_TRUE(left.ok());
    EXPECT_EQ(left->size(), 1u);
}

TEST_F(Recovery, ACopyOfAnotherHostIsNotTakenForACrash)
{
    auto c = EditedDemo();
    const auto saved = store.Save(*c, contractPath);
    ASSERT_TRUE(saved.ok());
    OwnerRecord remote = saved->owner;
    remote.host += ".elsewhere";
    remote.pid = 999999999;
    test::WriteText(saved->notePath, FormatOwnerRecord(remote));
    const auto all = store.List();
    ASSERT_TRUE(all.ok());
    ASSERT_EQ(all->size(), 1u);
    EXPECT_EQ(all->front().ownerState, OwnerState::Unknown);
    EXPECT_TRUE(store.LeftBehind()->empty());
}

TEST_F(Recovery, ACopyWithoutAReadableNoteOrANoteWithoutACopyIsPassedOver)
{
    auto c = EditedDemo();
    const auto saved = store.Save(*c, contractPath);
    ASSERT_TRUE(saved.ok());
    test::WriteText(saved->notePath, "scribbled over");
    const std::string other = work.file("OTHER.CON");
    const auto second = store.Save(*c, other);
    ASSERT_TRUE(second.ok());
    fs::remove(second->copyPath);
    const auto all = store.List();
    ASSERT_TRUE(all.ok()) << all.errorText();
    EXPECT_TRUE(all->empty());
    // Passed over, not removed: the user's data stays where it is.
    EXPECT_TRUE(fs::exists(saved->copyPath));
}

TEST_F(Recovery, RemovingTakesTheCopyAndItsNoteAndNoCopyIsNoFailure)
{
    auto c = EditedDemo();
    ASSERT_TRUE(store.Save(*c, contractPath).ok());
    ASSERT_TRUE(store.Remove(contractPath).ok());
    EXPECT_TRUE(test::FolderEntries(folder).empty());
    EXPECT_TRUE(store.Remove(contractPath).ok());
    EXPECT_TRUE(store.List()->empty());
    EXPECT_EQ(test::ReadText(contractPath), "the user's file");
}

TEST_F(Recovery, ADamagedCopyIsRefusedWithTheReadersMessage)
{
    auto c = EditedDemo();
    const auto saved = store.Save(*c, contractPath);
    ASSERT_TRUE(saved.ok());
    test::WriteText(saved->copyPath, "not a contract");
    const auto back = store.TakeBack(saved.value());
    ASSERT_FALSE(back.ok());
    // The copy is named, not only the contract it stands for.
    EXPECT_EQ(back.errorText(), "The recovery copy " + saved->copyPath + " of " + saved->contractPath +
                                    " cannot be read: Not a CON File");
}

TEST_F(Recovery, AFolderThatCannotBeMadeIsAnError)
{
    test::WriteText(settings.file("blocked"), "a file where the folder would go");
    CRecoveryStore blocked(settings.file("blocked/Recovery"));
    auto c = EditedDemo();
    const auto saved = blocked.Save(*c, contractPath);
    ASSERT_FALSE(saved.ok());
    EXPECT_NE(saved.errorText().find("Cannot create the recovery folder"), std::string::npos);
    const auto listed = CRecoveryStore(settings.file("none yet")).List();
    ASSERT_TRUE(listed.ok());
    EXPECT_TRUE(listed->empty());
}

// A recovery folder another user could have made first (a shared folder
// named with /ini=) is not used. (Only root can give a folder away.)
TEST_F(Recovery, AFolderOthersMayChangeIsNotUsed)
{
    const std::string elsewhere = settings.file("elsewhere");
    fs::create_directory(elsewhere);
    auto c = EditedDemo();
    for (const char* why : {"may be changed by other users", "is a link", "belongs to another user"}) {
        fs::remove_all(folder);
        if (std::string(why) == "is a link")
            fs::create_directory_symlink(elsewhere, folder);
        else
            ::mkdir(folder.c_str(), 0700);
        if (std::string(why) == "belongs to another user" &&
            (::geteuid() != 0 || ::chown(folder.c_str(), 1, 1)))
            continue;
        ::chmod(folder.c_str(), std::string(why) == "may be changed by other users" ? 0777 : 0700);
        const std::string expected = "The recovery folder " + folder + " " + why + ", so it is not used";
        EXPECT_EQ(store.Save(*c, contractPath).errorText(), expected);
        EXPECT_EQ(store.List().errorText(), expected);
    }
}

TEST_F(Recovery, WhatStandsAtACopysNameIsReplacedNeverFollowed)
{
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    const std::string copyPath = store.CopyPathFor(contractPath);
    const std::string notePath = copyPath.substr(0, copyPath.size() - 4) + ".note";
    fs::create_symlink(contractPath, copyPath); // at the user's own file
    test::WriteText(notePath, "planted");
    ::chmod(notePath.c_str(), 0666);
    auto c = EditedDemo();
    ASSERT_TRUE(store.Save(*c, contractPath).ok());
    EXPECT_EQ(test::ReadText(contractPath), "the user's file");
    for (const std::string& path : {copyPath, notePath}) {
        struct stat st {};
        ASSERT_EQ(::lstat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & (S_IFMT | 07777), S_IFREG | 0600u) << path;
        EXPECT_EQ(st.st_uid, ::geteuid()) << path;
    }
}

// The copy's name is made from the contract's path; a note that names
// another contract (or none) would send the copy elsewhere.
TEST_F(Recovery, ANoteThatNamesAnotherContractIsPassedOver)
{
    auto c = EditedDemo();
    const auto saved = store.Save(*c, contractPath);
    ASSERT_TRUE(saved.ok());
    OwnerRecord owner = saved->owner;
    for (const std::string& path : {work.file("OTHER.CON"), std::string("JOB.CON"), std::string()}) {
        owner.path = path;
        test::WriteText(saved->notePath, FormatOwnerRecord(owner));
        EXPECT_TRUE(store.List()->empty()) << path;
    }
    EXPECT_FALSE(CRecoveryStore::ReadNote(folder, "notes.txt", FormatOwnerRecord(saved->owner)));
}

} // namespace
} // namespace kestrel
