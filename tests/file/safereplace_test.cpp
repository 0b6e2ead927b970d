#include "file/safereplace.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>

#include "support/testfiles.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::FolderEntries;

struct stat StatOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

class Replace : public ::testing::Test {
protected:
    void SetUp() override { test::WriteText(target, old); }

    test::TempDir dir;
    std::string target = dir.file("JOB.CON");
    const std::string old = "the previous file\n";
};

TEST_F(Replace, CommitPutsTheNewFileInPlace)
{
    auto r = CFileReplacement::Begin(target);
    ASSERT_TRUE(r.ok()) << r.errorText();
    const std::string temporary = r->TemporaryPath();
    EXPECT_EQ(fs::path(temporary).parent_path(), fs::path(dir.path()));
    ASSERT_TRUE(r->WriteAll("new contents").ok());
    // Until the commit, the target is what it was.
    EXPECT_EQ(test::ReadText(target), old);
    ASSERT_TRUE(r->Commit().ok());
    EXPECT_EQ(test::ReadText(target), "new contents");
    EXPECT_EQ(FolderEntries(dir.path()), std::set<std::string>{"JOB.CON"});
    // A replacement is used once.
    EXPECT_FALSE(r->Commit().ok());
    EXPECT_EQ(test::ReadText(target), "new contents");
}

TEST_F(Replace, GivingUpRemovesTheTemporaryFile)
{
    {
        auto r = CFileReplacement::Begin(target);
        ASSERT_TRUE(r.ok());
        ASSERT_TRUE(r->WriteAll("half a fi").ok());
        EXPECT_EQ(FolderEntries(dir.path()).size(), 2u);
    }
    EXPECT_EQ(test::ReadText(target), old);
    EXPECT_EQ(FolderEntries(dir.path()), std::set<std::string>{"JOB.CON"});
}

TEST_F(Replace, FailingStepsLeaveTheTargetAndNoTemporary)
{
    for (ReplaceStep step : {ReplaceStep::CreateTemporary, ReplaceStep::Flush, ReplaceStep::Replace}) {
        const ReplaceFault fault = [step](ReplaceStep s) { return s == step; };
        auto r = CFileReplacement::Begin(target, ".kestrel", fault);
        Status status = r.ok() ? r->WriteAll("new") : Status(r.error());
        if (status.ok())
            status = r->Commit();
        EXPECT_FALSE(status.ok()) << int(step);
        EXPECT_FALSE(status.errorText().empty());
        EXPECT_EQ(test::ReadText(target), old);
        EXPECT_EQ(FolderEntries(dir.path()), std::set<std::string>{"JOB.CON"}) << int(step);
    }
}

TEST_F(Replace, AFullDiskIsAWriteError)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
    {
        auto r = CFileReplacement::Begin(target);
        ASSERT_TRUE(r.ok());
        rlimit limited = original;
        limited.rlim_cur = 1000;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const Status written = r->WriteAll(std::string(5000, 'x'));
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &original), 0);
        EXPECT_FALSE(written.ok());
        EXPECT_EQ(written.errorText().rfind("Cannot write file: ", 0), 0u) << written.errorText();
    }
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(test::ReadText(target), old);
    EXPECT_EQ(FolderEntries(dir.path()), std::set<std::string>{"JOB.CON"});
}

TEST_F(Replace, KeepsThePermissionsOwnerAndGroup)
{
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), 1, 2), 0);
    }
    ASSERT_TRUE(ReplaceFileContents(target, "new").ok());
    const struct stat st = StatOf(target);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 1u);
        EXPECT_EQ(st.st_gid, 2u);
    }
}

TEST_F(Replace, ANewFileGetsTheUsualPermissions)
{
    const mode_t mask = ::umask(027);
    const std::string fresh = dir.file("NEW.CON");
    const Status written = ReplaceFileContents(fresh, "new");
    ::umask(mask);
    ASSERT_TRUE(written.ok()) << written.errorText();
    EXPECT_EQ(StatOf(fresh).st_mode & 07777, 0640u);
    EXPECT_EQ(test::ReadText(fresh), "new");
}

TEST_F(Replace, RefusesWhatIsNotARegularFile)
{
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(dir.file("folder"));
    fs::create_symlink(fifo, dir.file("link-to-pipe"));
    for (const std::string& path :
         {fifo, dir.file("folder"), dir.file("link-to-pipe"), std::string("/dev/null")}) {
        const auto r = CFileReplacement::Begin(path);
        EXPECT_FALSE(r.ok()) << path;
        if (!r.ok()) {
            EXPECT_EQ(r.errorText(),
                      path == dir.file("folder") ? "Is a folder, not a file" : "Not a regular file")
                << path;
        }
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_directory(dir.file("folder")));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(FolderEntries(dir.path()),
              (std::set<std::string>{"JOB.CON", "folder", "link-to-pipe", "pipe"}));
}

TEST_F(Replace, RefusesAReadOnlyFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    const Status written = ReplaceFileContents(target, "new");
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(test::ReadText(target), old);
    EXPECT_EQ(FolderEntries(dir.path()), std::set<std::string>{"JOB.CON"});
}

TEST_F(Replace, LongestNamesFit)
{
    for (std::size_t length : {250u, 255u}) {
        const std::string name(length, 'n');
        const Status written = ReplaceFileContents(dir.file(name), "new");
        ASSERT_TRUE(written.ok()) << length << ": " << written.errorText();
        EXPECT_EQ(test::ReadText(dir.file(name)), "new");
    }
    // Even a stem past any reasonable length keeps the temporary name short.
    auto r = CFileReplacement::Begin(target, std::string(300, 's'));
    ASSERT_TRUE(r.ok()) << r.errorText();
    EXPECT_LT(fs::path(r->TemporaryPath()).filename().string().size(), 64u);
    EXPECT_EQ(FolderEntries(dir.path()).size(), 4u);
}

TEST_F(Replace, EachReplacementHasItsOwnTemporaryFile)
{
    auto a = CFileReplacement::Begin(target, "cfgwrite");
    auto b = CFileReplacement::Begin(target, "cfgwrite");
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_NE(a->TemporaryPath(), b->TemporaryPath());
    EXPECT_EQ(fs::path(a->TemporaryPath()).filename().string().rfind("cfgwrite-", 0), 0u);
    ASSERT_TRUE(a->WriteAll("from a").ok());
    ASSERT_TRUE(b->WriteAll("from b").ok());
    ASSERT_TRUE(a->Commit().ok());
    EXPECT_EQ(test::ReadText(target), "from a");
    ASSERT_TRUE(b->Commit().ok());
    EXPECT_EQ(test::ReadText(target), "from b");
    EXPECT_EQ(FolderEntries(dir.path()), std::set<std::string>{"JOB.CON"});
    EXPECT_EQ(CFileReplacement::TemporaryPattern(target, "cfgwrite"), dir.file("cfgwrite-XXXXXX.tmp"));
}

TEST_F(Replace, MissingDirectoryIsAnError)
{
    const Status written = ReplaceFileContents(dir.file("no/such/JOB.CON"), "new");
    EXPECT_FALSE(written.ok());
    EXPECT_NE(written.errorText().find("No such file or directory"), std::string::npos)
        << written.errorText();
}

// A link is written through whether its file exists yet or not (a link
// to a file still to be made is not turned into a file itself); a chain
// of links is followed to its end, a loop refused.
TEST_F(Replace, ALinkIsFollowedWhetherItsFileExistsOrNot)
{
    fs::create_directory(dir.file("real"));
    for (const auto& [link, to, file] : {std::tuple{"existing", target, target},
                                         {"dangling", dir.file("real/NEW.CON"), dir.file("real/NEW.CON")},
                                         {"relative", std::string("real/REL.CON"), dir.file("real/REL.CON")},
                                         {"chain", std::string("dangling"), dir.file("real/NEW.CON")}}) {
        fs::create_symlink(to, dir.file(link));
        ASSERT_TRUE(ReplaceFileContents(dir.file(link), link).ok()) << link;
        EXPECT_TRUE(fs::is_symlink(dir.file(link))) << link;
        EXPECT_EQ(test::ReadText(file), link);
    }
    fs::create_symlink("loop", dir.file("loop"));
    EXPECT_EQ(ReplaceFileContents(dir.file("loop"), "new").errorText(),
              "Cannot open file: Too many levels of symbolic links");
}

TEST(SameFile, FollowsLinksAndSpellings)
{
    test::TempDir dir;
    const std::string a = dir.file("a.CON");
    test::WriteText(a, "a");
    test::WriteText(dir.file("b.CON"), "a");
    fs::create_symlink(a, dir.file("link.CON"));
    fs::create_hard_link(a, dir.file("hard.CON"));
    fs::create_directory(dir.file("sub"));
    EXPECT_TRUE(IsSameFile(a, a));
    EXPECT_TRUE(IsSameFile(a, dir.path() + "/sub/../a.CON"));
    EXPECT_TRUE(IsSameFile(a, dir.file("link.CON")));
    EXPECT_TRUE(IsSameFile(dir.file("hard.CON"), a));
    EXPECT_FALSE(IsSameFile(a, dir.file("b.CON")));
    EXPECT_FALSE(IsSameFile(a, dir.file("missing.CON")));
    EXPECT_FALSE(IsSameFile(dir.file("missing.CON"), dir.file("missing.CON")));
}

} // namespace
} // namespace kestrel
