// Noticing that the contract's file changed on disk since the program read
// or wrote it.

#include "file/filefingerprint.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/testfiles.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

struct timespec ModifiedOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mtim;
}

void SetModified(const std::string& path, struct timespec when)
{
    const struct timespec times[2] = {when, when};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

DiskState Check(const FileFingerprint& known, const std::string& path)
{
    const auto state = CheckOnDisk(known, path);
    EXPECT_TRUE(state.ok()) << state.errorText();
    return state ? state.value() : DiskState::Unchanged;
}

FileFingerprint Take(const std::string& path)
{
    const auto print = TakeFingerprint(path);
    EXPECT_TRUE(print.ok()) << print.errorText();
    return print ? print.value() : FileFingerprint();
}

// Bytes that differ from block to block, so that moving a block shows.
std::string Bytes(size_t size)
{
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 131 + i / 977) & 0xFF);
    return s;
}

class Fingerprint : public ::testing::Test {
protected:
    // Rewrites the file with one byte changed at `at`, its size and time as
    // they were: only the bytes tell.
    void ChangeByteKeepingTime(const std::string& path, size_t at)
    {
        const struct timespec before = ModifiedOf(path);
        std::string bytes = test::ReadText(path);
        bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
        test::WriteText(path, bytes);
        SetModified(path, before);
    }

    test::TempDir dir;
    std::string small = dir.file("SMALL.CON");
    std::string large = dir.file("LARGE.CON");
};

TEST_F(Fingerprint, AFileLeftAloneIsUnchanged)
{
    test::WriteText(small, Bytes(1000));
    EXPECT_EQ(Check(Take(small), small), DiskState::Unchanged);
    test::WriteText(large, Bytes(3 * kFingerprintBlock));
    EXPECT_EQ(Check(Take(large), large), DiskState::Unchanged);
}

TEST_F(Fingerprint, OtherBytesOfTheSameSizeAndTimeAreAChange)
{
    test::WriteText(small, Bytes(1000));
    const FileFingerprint known = Take(small);
    ChangeByteKeepingTime(small, 500);
    EXPECT_EQ(Take(small).size, known.size);
    EXPECT_EQ(Take(small).modified, known.modified);
    EXPECT_EQ(Check(known, small), DiskState::Changed);
}

TEST_F(Fingerprint, ALargerFileIsJudgedByBothEnds)
{
    const size_t size = 5 * kFingerprintBlock;
    test::WriteText(large, Bytes(size));
    const FileFingerprint atStart = Take(large);
    ChangeByteKeepingTime(large, 10);
    EXPECT_EQ(Check(atStart, large), DiskState::Changed);

    const FileFingerprint atEnd = Take(large);
    ChangeByteKeepingTime(large, size - 10);
    EXPECT_EQ(Check(atEnd, large), DiskState::Changed);
}

TEST_F(Fingerprint, ASizeChangeIsAChange)
{
    test::WriteText(small, Bytes(1000));
    const FileFingerprint known = Take(small);
    const struct timespec before = ModifiedOf(small);
    test::WriteText(small, Bytes(1001));
    SetModified(small, before);
    EXPECT_EQ(Check(known, small), DiskState::Changed);
}

// Hashed whole, a file touched (or written again with the same bytes) is
// the same file; for a larger one the unhashed middle may have changed, so
// its time counts.
TEST_F(Fingerprint, ANewTimeCountsOnlyWhereTheBytesAreNotAllHashed)
{
    test::WriteText(small, Bytes(2 * kFingerprintBlock));
    test::WriteText(large, Bytes(2 * kFingerprintBlock + 1));
    const FileFingerprint smallKnown = Take(small);
    const FileFingerprint largeKnown = Take(large);
    ASSERT_TRUE(smallKnown.wholeFile);
    ASSERT_FALSE(largeKnown.wholeFile);
    SetModified(small, {1700000000, 0});
    SetModified(large, {1700000000, 0});
    EXPECT_EQ(Check(smallKnown, small), DiskState::Unchanged);
    EXPECT_EQ(Check(largeKnown, large), DiskState::Changed);
}

TEST_F(Fingerprint, AFileReplacedByTheSameBytesIsUnchangedAndAGoneOneMissing)
{
    test::WriteText(small, Bytes(1000));
    const FileFingerprint known = Take(small);
    const std::string other = dir.file("other");
    test::WriteText(other, Bytes(1000));
    fs::rename(other, small);
    EXPECT_EQ(Check(known, small), DiskState::Unchanged);
    fs::remove(small);
    EXPECT_EQ(Check(known, small), DiskState::Missing);
}

TEST_F(Fingerprint, WhatIsNoRegularFileIsAnErrorNotAHang)
{
    const std::string fifo = dir.file("FIFO.CON");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto print = TakeFingerprint(fifo);
    ASSERT_FALSE(print.ok());
    EXPECT_EQ(print.errorText(), "Not a regular file");
    const auto state = CheckOnDisk(FileFingerprint(), dir.path());
    EXPECT_FALSE(state.ok());
}

} // namespace
} // namespace kestrel
