// The lock file beside an open contract: taken exclusively, telling who
// holds the contract when another program (a child process here) has it
// open, taken over when its program is gone, and removed on release only
// while it is still the one this holder wrote.

#include "file/lockfile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <optional>

#include "support/forkedchild.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

class Lock : public ::testing::Test {
protected:
    void SetUp() override { test::WriteText(contract, "contract bytes"); }

    OwnerRecord OnDisk() const
    {
        auto parsed = ParseOwnerRecord(test::ReadText(lockPath));
        EXPECT_TRUE(parsed.ok()) << parsed.errorText();
        return parsed ? parsed.value() : OwnerRecord();
    }

    LockAttempt Attempt() const
    {
        auto attempt = AcquireLock(contract);
        EXPECT_TRUE(attempt.ok()) << attempt.errorText();
        return attempt ? std::move(attempt).value() : LockAttempt();
    }

    test::TempDir dir;
    std::string contract = dir.file("JOB 17.CON");
    std::string lockPath = dir.file(".~lock.JOB 17.CON#");
};

TEST_F(Lock, AFreeContractIsLockedByAFileNamingThisProgram)
{
    const LockAttempt a = Attempt();
    EXPECT_EQ(a.outcome, LockOutcome::Acquired);
    ASSERT_TRUE(a.lock.Held());
    EXPECT_EQ(a.lock.Path(), lockPath);
    const OwnerRecord owner = OnDisk();
    EXPECT_EQ(owner.pid, ::getpid());
    EXPECT_EQ(owner.host, CurrentOwner().host);
    EXPECT_EQ(owner.user, CurrentOwner().user);
    EXPECT_FALSE(owner.user.empty());
    EXPECT_LE(std::abs(owner.time - static_cast<int64_t>(std::time(nullptr))), 5);
    EXPECT_EQ(owner.token, a.lock.Owner().token);
    EXPECT_EQ(test::ReadText(contract), "contract bytes");
}

TEST_F(Lock, ReleasingAndDestroyingTheHolderRemoveTheFile)
{
    {
        LockAttempt a = Attempt();
        ASSERT_TRUE(fs::exists(lockPath));
        ASSERT_TRUE(a.lock.Release().ok());
        EXPECT_FALSE(a.lock.Held());
        EXPECT_FALSE(fs::exists(lockPath));
    }
    {
        LockAttempt a = Attempt();
        CLockFile moved = std::move(a.lock); // the holder may change hands
        EXPECT_FALSE(a.lock.Held());
        EXPECT_TRUE(fs::exists(lockPath));
    }
    EXPECT_FALSE(fs::exists(lockPath));
    EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"JOB 17.CON"});
}

TEST_F(Lock, AContractReachedThroughALinkIsLockedBesideItsFile)
{
    const test::TempDir other;
    const std::string link = other.file("link.CON");
    fs::create_symlink(contract, link);
    const auto a = AcquireLock(link);
    ASSERT_TRUE(a.ok()) << a.errorText();
    EXPECT_EQ(a->lock.Path(), lockPath);
    EXPECT_EQ(Attempt().outcome, LockOutcome::HeldElsewhere);
}

TEST_F(Lock, AnotherRunningProgramKeepsItsLockAndIsNamed)
{
    test::ForkedChild child(
        [&] {
            static std::optional<CLockFile> held; // kept until the child exits
            auto a = AcquireLock(contract);
            if (!a || a->outcome != LockOutcome::Acquired)
                return false;
            held.emplace(std::move(a->lock));
            return true;
        },
        [] {});
    ASSERT_TRUE(child.Ready());
    const std::string before = test::ReadText(lockPath);

    const LockAttempt a = Attempt();
    EXPECT_EQ(a.outcome, LockOutcome::HeldElsewhere);
    EXPECT_FALSE(a.lock.Held());
    EXPECT_TRUE(a.holderKnown);
    EXPECT_EQ(a.holder.pid, child.Pid());
    EXPECT_EQ(a.holder.user, CurrentOwner().user);
    EXPECT_EQ(test::ReadText(lockPath), before);
}

TEST_F(Lock, TheLockOfAProgramThatCrashedIsTakenOver)
{
    test::ForkedChild child([&] {
        auto a = AcquireLock(contract);
        if (!a || a->outcome != LockOutcome::Acquired)
            return false;
        new CLockFile(std::move(a->lock)); // never released: the child is killed
        return true;
    });
    ASSERT_TRUE(child.Ready());
    const pid_t crashed = child.Pid();
    child.Kill();
    ASSERT_TRUE(fs::exists(lockPath));

    LockAttempt a = Attempt();
    EXPECT_EQ(a.outcome, LockOutcome::TookOver);
    ASSERT_TRUE(a.lock.Held());
    EXPECT_EQ(a.holder.pid, crashed);
    EXPECT_EQ(OnDisk().pid, ::getpid());
    EXPECT_EQ(OnDisk().token, a.lock.Owner().token);
}

// A process number the system gave to another program since is no sign
// that the holder still runs: the start time tells them apart.
TEST_F(Lock, ALockNamingThisProcessNumberButAnotherStartIsStale)
{
    OwnerRecord earlier = CurrentOwner();
    if (earlier.started == 0)
        GTEST_SKIP() << "the system does not tell when a process started";
    earlier.started -= 1;
    test::WriteText(lockPath, FormatOwnerRecord(earlier));
    EXPECT_EQ(Attempt().outcome, LockOutcome::TookOver);
}

TEST_F(Lock, ALockOfAnotherHostIsNeverJudgedStale)
{
    OwnerRecord remote = CurrentOwner();
    remote.host += ".elsewhere";
    remote.pid = 999999999; // no such process here
    test::WriteText(lockPath, FormatOwnerRecord(remote));
    const LockAttempt a = Attempt();
    EXPECT_EQ(a.outcome, LockOutcome::HeldElsewhere);
    EXPECT_EQ(a.holder.host, remote.host);
    EXPECT_EQ(test::ReadText(lockPath), FormatOwnerRecord(remote));
}

// Created but not yet written by another program, or left empty: nobody to
// name, and nothing to judge stale.
TEST_F(Lock, ALockFileThatNamesNoHolderIsHeldWithItsFileTime)
{
    test::WriteText(lockPath, "");
    struct timespec times[2] = {{1700000000, 0}, {1700000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, lockPath.c_str(), times, 0), 0);
    const LockAttempt a = Attempt();
    EXPECT_EQ(a.outcome, LockOutcome::HeldElsewhere);
    EXPECT_FALSE(a.holderKnown);
    EXPECT_EQ(a.holder.time, 1700000000);
    EXPECT_EQ(test::ReadText(lockPath), "");
}

TEST_F(Lock, AReleaseLeavesALockThatIsNoLongerOurs)
{
    LockAttempt mine = Attempt();
    ASSERT_TRUE(mine.lock.Held());
    OwnerRecord other = CurrentOwner(); // another holder took it meanwhile
    const std::string theirs = FormatOwnerRecord(other);
    test::WriteText(lockPath, theirs);

    EXPECT_TRUE(mine.lock.Release().ok());
    EXPECT_EQ(test::ReadText(lockPath), theirs);
    EXPECT_EQ(test::FolderEntries(dir.path()), (std::set<std::string>{"JOB 17.CON", ".~lock.JOB 17.CON#"}));
}

TEST_F(Lock, ALockThatCannotBeMadeIsAnErrorNotAHang)
{
    const auto missingFolder = AcquireLock(dir.file("no such folder/JOB.CON"));
    ASSERT_FALSE(missingFolder.ok());
    EXPECT_NE(missingFolder.errorText().find("Cannot create the lock file"), std::string::npos);

    ASSERT_EQ(::mkfifo(lockPath.c_str(), 0600), 0);
    const auto fifo = AcquireLock(contract);
    ASSERT_FALSE(fifo.ok());
    EXPECT_NE(fifo.errorText().find("Not a regular file"), std::string::npos) << fifo.errorText();
}

TEST(OwnerRecordText, ValuesWithLineBreaksComeBackAsTheyWere)
{
    OwnerRecord r = CurrentOwner();
    r.user = "name\nwith=odd\\parts\r";
    r.path = "/bids/a\nb.CON";
    const auto back = ParseOwnerRecord(FormatOwnerRecord(r));
    ASSERT_TRUE(back.ok()) << back.errorText();
    EXPECT_EQ(back->user, r.user);
    EXPECT_EQ(back->path, r.path);
    EXPECT_EQ(back->pid, r.pid);
    EXPECT_EQ(back->started, r.started);
    EXPECT_EQ(back->token, r.token);

    EXPECT_FALSE(ParseOwnerRecord("Kestrel owner 1\nuser=x\nhost=h\n").ok()); // no process
    EXPECT_FALSE(ParseOwnerRecord("Kestrel owner 1\nhost=h\npid=12x\n").ok());
    EXPECT_FALSE(ParseOwnerRecord("user=x\nhost=h\npid=1\n").ok());
}

} // namespace
} // namespace kestrel
