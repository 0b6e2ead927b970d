#include "app/bidlib/bidlibrary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <utility>

#include "calc/systemfile.h"
#include "support/kvlbuilder.h"
#include "support/testfiles.h"
#include "support/testsystem.h"

namespace kestrel {
namespace {

using test::BuildKvl;
using test::KvlEntry;
using test::ReadText;
using test::TempDir;
using test::WriteBytes;
using test::WriteText;

// Name and size of each entry the directory walk yields.
std::vector<std::pair<std::string, uint32_t>> ListEntries(const std::string& path)
{
    std::vector<std::pair<std::string, uint32_t>> out;
    auto library = OpenBidLibrary(path);
    if (!library)
        return out;
    std::unique_ptr<BidLibraryEntry> entry;
    for (int i = 0; i < library->m_iEntryCount; ++i) {
        entry = NextBidLibraryEntry(*library, std::move(entry));
        if (!entry)
            break;
        out.emplace_back(entry->m_strName, entry->m_dwSize);
    }
    return out;
}

std::set<std::string> DirectoryNames(const std::string& dir)
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

const std::vector<KvlEntry> kThree = {
    {"A100.kvs", "first proposal"}, {"readme.txt", "notes"}, {"B200.KVS", std::string(9000, 'x')}};

TEST(BidLibraryOpen, ReadsHeaderAndWalksDirectoryInOrder)
{
    TempDir dir;
    WriteBytes(dir.file("lib.kvl"), BuildKvl(kThree, std::nullopt, "Letting of May"));
    auto library = OpenBidLibrary(dir.file("lib.kvl"));
    ASSERT_TRUE(library);
    EXPECT_EQ(library->m_iEntryCount, 3);
    EXPECT_EQ(library->m_iVersion, 3);
    EXPECT_EQ(library->m_strDescription, "Letting of May");
    EXPECT_EQ(library->m_dwFirstRecord, 42u + 15u);

    const auto entries = ListEntries(dir.file("lib.kvl"));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], std::make_pair(std::string("A100.kvs"), 14u));
    EXPECT_EQ(entries[1], std::make_pair(std::string("readme.txt"), 5u));
    EXPECT_EQ(entries[2], std::make_pair(std::string("B200.KVS"), 9000u));
}

TEST(BidLibraryOpen, RejectsAnyDifferenceInTheSignature)
{
    TempDir dir;
    const auto good = BuildKvl(kThree);
    for (std::size_t i = 0; i < 30; ++i) {
        auto bytes = good;
        bytes[i] ^= 0x20;
        WriteBytes(dir.file("lib.kvl"), bytes);
        EXPECT_FALSE(OpenBidLibrary(dir.file("lib.kvl"))) << "byte " << i;
        EXPECT_TRUE(ListEntries(dir.file("lib.kvl")).empty());
    }
    EXPECT_FALSE(OpenBidLibrary(dir.file("missing.kvl")));
    EXPECT_EQ(ExtractMatchingEntries(dir.file("missing.kvl"), "*"), kBidLibraryCannotOpen);
    // A FIFO is no library, and is not waited on.
    if (!test::MakeFifo(dir.file("pipe.kvl")))
        GTEST_SKIP() << test::kNoFifos;
    EXPECT_FALSE(OpenBidLibrary(dir.file("pipe.kvl")));
    EXPECT_EQ(ExtractMatchingEntries(dir.file("pipe.kvl"), "*"), kBidLibraryCannotOpen);
}

TEST(BidLibraryOpen, LongStringsAreTruncatedAndTheFieldsAfterThemStillRead)
{
    TempDir dir;
    const std::string longName = std::string(300, 'n') + ".kvs";
    const std::string longText(400, 't');
    const std::string longDescription(5000, 'd');
    WriteBytes(dir.file("lib.kvl"),
               BuildKvl({{longName, "abc", longText}, {"next.kvs", "12345"}}, std::nullopt, longDescription));
    auto library = OpenBidLibrary(dir.file("lib.kvl"));
    ASSERT_TRUE(library);
    EXPECT_EQ(library->m_strDescription, longDescription.substr(0, kBidLibraryMaxDescription));
    auto first = NextBidLibraryEntry(*library, nullptr);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->m_strName, longName.substr(0, kBidLibraryMaxName));
    EXPECT_EQ(first->m_strText, longText.substr(0, kBidLibraryMaxName));
    EXPECT_EQ(first->m_dwSize, 3u);
    auto second = NextBidLibraryEntry(*library, std::move(first));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->m_strName, "next.kvs");
    EXPECT_EQ(second->m_dwSize, 5u);
}

TEST(BidLibraryWalk, CountBeyondTheRecordsStopsAtTheFirstMissingMarker)
{
    TempDir dir;
    WriteBytes(dir.file("lib.kvl"), BuildKvl(kThree, 10));
    EXPECT_EQ(ListEntries(dir.file("lib.kvl")).size(), 3u);
    // Extraction needs every counted record: the missing fourth is a read error,
    // after the matching ones before it were taken out.
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "*.kvs"), kBidLibraryReadError);
    EXPECT_EQ(ReadText(dir.file("A100.kvs")), "first proposal");
}

TEST(BidLibraryWalk, CountBelowTheRecordsAndNegativeCountLimitTheWalk)
{
    TempDir dir;
    WriteBytes(dir.file("lib.kvl"), BuildKvl(kThree, 2));
    EXPECT_EQ(ListEntries(dir.file("lib.kvl")).size(), 2u);
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "B200.kvs"), kBidLibraryNoMatch);

    WriteBytes(dir.file("lib.kvl"), BuildKvl(kThree, -5));
    EXPECT_TRUE(ListEntries(dir.file("lib.kvl")).empty());
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "*"), kBidLibraryNoMatch);
}

TEST(BidLibraryWalk, DataBlockWithoutMarkerEndsTheDirectory)
{
    TempDir dir;
    auto bytes = BuildKvl(kThree);
    // The second entry's data marker sits just before its content "notes".
    const std::string all(bytes.begin(), bytes.end());
    const auto notes = all.find("notes");
    ASSERT_NE(notes, std::string::npos);
    bytes[notes - 1] = '?';
    WriteBytes(dir.file("lib.kvl"), bytes);
    const auto entries = ListEntries(dir.file("lib.kvl"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].first, "A100.kvs");
}

// A library with an empty description whose first record sits at
// `first`; `prefix` goes between the header and that record.
std::vector<unsigned char> OneRecordLibrary(const std::vector<unsigned char>& prefix, uint32_t dataOffset,
                                            uint32_t size, int16_t count)
{
    auto bytes = test::KvlSignature();
    test::PutU32(bytes, static_cast<uint32_t>(43 + prefix.size()));
    test::PutU32(bytes, 0);
    test::PutU16(bytes, static_cast<uint16_t>(count));
    test::PutU16(bytes, 1);
    bytes.push_back(0);
    bytes.insert(bytes.end(), prefix.begin(), prefix.end());
    bytes.insert(bytes.end(), {'G', 'N', 'U', '!'});
    test::PutU32(bytes, dataOffset);
    test::PutU32(bytes, 0);
    test::PutU32(bytes, size);
    test::PutU32(bytes, 0);
    test::PutU16(bytes, 0);
    test::PutU32(bytes, 0);
    test::PutU16(bytes, 0);
    test::PutString(bytes, "loop.kvs");
    test::PutString(bytes, "");
    return bytes;
}

TEST(BidLibraryWalk, DirectoryThatLoopsBackEndsAtTheRepeat)
{
    TempDir dir;
    // An empty data block right before the record: the next record after it
    // is the same record again.
    WriteBytes(dir.file("lib.kvl"), OneRecordLibrary({'G', 'N', 'U', '!'}, 43, 0, 0x7FFF));
    EXPECT_EQ(ListEntries(dir.file("lib.kvl")).size(), 1u);
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "other.kvs"), kBidLibraryReadError);
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "*"), kBidLibraryReadError);
    EXPECT_EQ(DirectoryNames(dir.path()), (std::set<std::string>{"lib.kvl", "loop.kvs"}));

    // A second walk of the same open library starts afresh.
    auto library = OpenBidLibrary(dir.file("lib.kvl"));
    ASSERT_TRUE(library);
    for (int walk = 0; walk < 2; ++walk) {
        auto first = NextBidLibraryEntry(*library, nullptr);
        ASSERT_TRUE(first);
        EXPECT_FALSE(NextBidLibraryEntry(*library, std::move(first)));
    }
}

TEST(BidLibraryWalk, HugeSizeIsAReadErrorWithoutHugeWork)
{
    TempDir dir;
    auto bytes = OneRecordLibrary({}, 0, 0xFFFFFFFFu, 2);
    const uint32_t data = static_cast<uint32_t>(bytes.size());
    bytes[43 + 4] = static_cast<unsigned char>(data);
    bytes[43 + 5] = static_cast<unsigned char>(data >> 8);
    bytes.insert(bytes.end(), {'G', 'N', 'U', '!', 'x', 'y'});
    WriteBytes(dir.file("lib.kvl"), bytes);
    // The next record would lie 4 GiB past the data block (no 32-bit wrap).
    const auto entries = ListEntries(dir.file("lib.kvl"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].second, 0xFFFFFFFFu);
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "none"), kBidLibraryReadError);
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "*"), kBidLibraryReadError);
    EXPECT_EQ(DirectoryNames(dir.path()), std::set<std::string>{"lib.kvl"});
}

TEST(BidLibraryMatch, PatternsAndSeparators)
{
    EXPECT_TRUE(MatchEntryPatterns("A100.kvs", "*.kvs"));
    EXPECT_TRUE(MatchEntryPatterns("A100.KVS", "*.kvs"));
    EXPECT_TRUE(MatchEntryPatterns("a100.KvS", "*.kvs"));
    EXPECT_FALSE(MatchEntryPatterns("A100.kvs.bak", "*.kvs"));
    EXPECT_TRUE(MatchEntryPatterns(".kvs", "*.kvs")); // '*' matches nothing too
    EXPECT_TRUE(MatchEntryPatterns("A1.kvs", "A?.kvs"));
    EXPECT_FALSE(MatchEntryPatterns("A.kvs", "A?.kvs"));
    EXPECT_FALSE(MatchEntryPatterns("A12.kvs", "A?.kvs"));
    EXPECT_TRUE(MatchEntryPatterns("abcabcabd", "*abc*abd"));
    EXPECT_TRUE(MatchEntryPatterns("\xE9t\xE9.kvs", "\xC9T\xC9.KVS")); // accented letters fold too

    EXPECT_TRUE(MatchEntryPatterns("notes.txt", "*.kvs;*.txt"));
    EXPECT_TRUE(MatchEntryPatterns("notes.txt", "*.kvs; \t*.txt")); // blanks before a pattern skipped
    EXPECT_FALSE(MatchEntryPatterns("notes.txt", "*.kvs;*.txt "));  // blanks after it are kept
    EXPECT_TRUE(MatchEntryPatterns("notes.txt ", "*.kvs;*.txt "));
    EXPECT_TRUE(MatchEntryPatterns("a.kvs", "*.kvs;"));
    EXPECT_FALSE(MatchEntryPatterns("a.kvs", ""));
    EXPECT_FALSE(MatchEntryPatterns("a.kvs", " ; "));
    EXPECT_FALSE(MatchEntryPatterns("", "*.kvs;  "));
}

TEST(BidLibraryMatch, ManyStarsStayFast)
{
    // A backtracking matcher would take exponential time here.
    const std::string name(255, 'a');
    const std::string pattern = std::string(60, '*') + std::string(2, 'a') + std::string(60, '*') + "b";
    EXPECT_FALSE(MatchEntryPatterns(name, pattern));
}

TEST(BidLibraryExtract, CopiesEveryMatchingEntryBesideTheLibrary)
{
    TempDir dir;
    WriteBytes(dir.file("lib.kvl"), BuildKvl(kThree));
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "*.kvs"), kBidLibraryOk);
    EXPECT_EQ(ReadText(dir.file("A100.kvs")), "first proposal");
    EXPECT_EQ(ReadText(dir.file("B200.KVS")), std::string(9000, 'x'));
    EXPECT_EQ(DirectoryNames(dir.path()), (std::set<std::string>{"lib.kvl", "A100.kvs", "B200.KVS"}));
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "*.doc"), kBidLibraryNoMatch);
}

TEST(BidLibraryExtract, EmptyEntryAndExistingFileAreHandled)
{
    TempDir dir;
    WriteText(dir.file("empty.kvs"), "old contents");
    WriteBytes(dir.file("lib.kvl"), BuildKvl({{"empty.kvs", ""}}));
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "empty.kvs"), kBidLibraryOk);
    EXPECT_TRUE(std::filesystem::exists(dir.file("empty.kvs")));
    EXPECT_EQ(ReadText(dir.file("empty.kvs")), "");
}

TEST(BidLibraryExtract, SameNameTwiceLaterEntryWins)
{
    TempDir dir;
    WriteBytes(dir.file("lib.kvl"), BuildKvl({{"Q.kvs", "older"}, {"other.kvs", "x"}, {"Q.kvs", "newer"}}));
    ASSERT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "q.KVS"), kBidLibraryOk);
    EXPECT_EQ(ReadText(dir.file("Q.kvs")), "newer");
}

TEST(BidLibraryExtract, ByExactNameWildcardsAndSeparatorsArePlainCharacters)
{
    TempDir dir;
    // As a pattern list, each of the last three names would also take
    // A.kvs (and "*.kvs" every proposal); by name each is only itself.
    WriteBytes(dir.file("lib.kvl"), BuildKvl({{"A.kvs", "a"},
                                              {"B.kvs", "b"},
                                              {"*.kvs", "star"},
                                              {"?.kvs", "query"},
                                              {"C.kvs;A.kvs", "pair"},
                                              {"a.KVS", "other case"}}));
    const std::string lib = dir.file("lib.kvl");
    std::set<std::string> written{"lib.kvl", "C.kvs;A.kvs"};
    for (const auto& [name, text] : {std::pair{"*.kvs", "star"}, std::pair{"?.kvs", "query"}}) {
        // Where a file's name cannot hold the character, no file is made.
        if (!test::NamesMayHoldWildcards()) {
            EXPECT_EQ(ExtractNamedEntry(lib, name), kBidLibraryCannotExtract) << name;
            continue;
        }
        ASSERT_EQ(ExtractNamedEntry(lib, name), kBidLibraryOk);
        EXPECT_EQ(ReadText(dir.file(name)), text);
        written.insert(name);
    }
    ASSERT_EQ(ExtractNamedEntry(lib, "C.kvs;A.kvs"), kBidLibraryOk);
    EXPECT_EQ(ReadText(dir.file("C.kvs;A.kvs")), "pair");
    EXPECT_EQ(DirectoryNames(dir.path()), written);
    // The case of the name counts: a.KVS is another entry than A.kvs.
    ASSERT_EQ(ExtractNamedEntry(lib, "A.kvs"), kBidLibraryOk);
    EXPECT_EQ(ReadText(dir.file("A.kvs")), "a");
    // (Listed, since a file system that ignores case finds A.kvs by that name.)
    EXPECT_EQ(DirectoryNames(dir.path()).count("a.KVS"), 0u);
    EXPECT_EQ(ExtractNamedEntry(lib, "a.kvs"), kBidLibraryNoMatch);
    EXPECT_EQ(ExtractNamedEntry(lib, "A.kv"), kBidLibraryNoMatch);
    EXPECT_EQ(ExtractNamedEntry(dir.file("none.kvl"), "A.kvs"), kBidLibraryCannotOpen);
}

TEST(BidLibraryExtract, ByExactNameTheLaterOfTwoEntriesWinsAndFailuresAreReported)
{
    TempDir dir;
    WriteBytes(dir.file("lib.kvl"), BuildKvl({{"Q.kvs", "older"}, {"Q.kvs", "newer"}}));
    ASSERT_EQ(ExtractNamedEntry(dir.file("lib.kvl"), "Q.kvs"), kBidLibraryOk);
    EXPECT_EQ(ReadText(dir.file("Q.kvs")), "newer");
    // A directory that ends before the header's count is a read error, as
    // for patterns.
    WriteBytes(dir.file("short.kvl"), BuildKvl({{"Q.kvs", "x"}}, 3));
    EXPECT_EQ(ExtractNamedEntry(dir.file("short.kvl"), "Q.kvs"), kBidLibraryReadError);
    // A name that is no plain file name is never written.
    WriteBytes(dir.file("bad.kvl"), BuildKvl({{"../up.kvs", "x"}}));
    EXPECT_EQ(ExtractNamedEntry(dir.file("bad.kvl"), "../up.kvs"), kBidLibraryCannotExtract);
}

TEST(BidLibraryExtract, AnEntryOfTheLibrarysOwnNameNeverReplacesTheLibrary)
{
    TempDir dir;
    const std::vector<unsigned char> bytes = BuildKvl({{"A.kvs", "a"}, {"lib.kvl", "not a library"}});
    WriteBytes(dir.file("lib.kvl"), bytes);
    EXPECT_EQ(ExtractNamedEntry(dir.file("lib.kvl"), "lib.kvl"), kBidLibraryCannotExtract);
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "*"), kBidLibraryCannotExtract);
    EXPECT_EQ(test::ReadBytes(dir.file("lib.kvl")), bytes);
    // Other entries are still taken out.
    EXPECT_EQ(ExtractNamedEntry(dir.file("lib.kvl"), "A.kvs"), kBidLibraryOk);
}

TEST(BidLibraryExtract, NamesThatAreNotPlainFileNamesAreNeverWritten)
{
    const std::vector<std::string> hostile = {"../escape.kvs",
                                              "..\\escape.kvs",
                                              "sub/x.kvs",
                                              "/tmp/abs.kvs",
                                              "C:evil.kvs",
                                              "c:\\evil.kvs",
                                              "..",
                                              ".",
                                              ""};
    for (const auto& name : hostile) {
        TempDir dir;
        std::filesystem::create_directory(dir.file("sub"));
        WriteBytes(dir.file("lib.kvl"), BuildKvl({{name, "payload"}, {"good.kvs", "fine"}}));
        EXPECT_FALSE(IsSafeEntryName(name)) << name;
        EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "*"), kBidLibraryCannotExtract) << name;
        // The import stopped at the hostile entry: nothing at all was written.
        EXPECT_EQ(DirectoryNames(dir.path()), (std::set<std::string>{"lib.kvl", "sub"})) << name;
        EXPECT_TRUE(std::filesystem::is_empty(dir.file("sub")));
        EXPECT_FALSE(std::filesystem::exists(dir.path() + "/../escape.kvs"));
        // A hostile entry that does not match is no obstacle.
        EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "good.kvs"), kBidLibraryOk) << name;
    }
    EXPECT_TRUE(IsSafeEntryName("ab:c.kvs"));
    EXPECT_TRUE(IsSafeEntryName("...kvs"));
}

TEST(BidLibraryExtract, TargetThatCannotBeWrittenGivesFourAndLeavesNoPartialFile)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("A100.kvs"));
    WriteText(dir.file("A100.kvs/keep"), "user data");
    WriteBytes(dir.file("lib.kvl"), BuildKvl(kThree));
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "*.kvs"), kBidLibraryCannotExtract);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("A100.kvs")));
    EXPECT_EQ(ReadText(dir.file("A100.kvs/keep")), "user data");
    // Stopped at the first failure: the later entry was not extracted, and no
    // temporary file stayed behind.
    EXPECT_EQ(DirectoryNames(dir.path()), (std::set<std::string>{"lib.kvl", "A100.kvs"}));
}

TEST(BidLibraryExtract, DirectoryThatCannotBeWrittenGivesFour)
{
    TempDir dir;
    WriteBytes(dir.file("lib.kvl"), BuildKvl(kThree));
    auto library = OpenBidLibrary(dir.file("lib.kvl"));
    ASSERT_TRUE(library);
    auto entry = NextBidLibraryEntry(*library, nullptr);
    ASSERT_TRUE(entry);
    EXPECT_EQ(ExtractBidLibraryEntry(*library, *entry, dir.file("no/such/dir/")), kBidLibraryCannotExtract);
    EXPECT_EQ(ExtractBidLibraryEntry(*library, *entry, dir.path() + "/"), kBidLibraryOk);
    EXPECT_EQ(ReadText(dir.file("A100.kvs")), "first proposal");
}

TEST(BidLibraryExtract, TruncatedContentIsAReadErrorAndKeepsAnExistingFile)
{
    TempDir dir;
    auto bytes = BuildKvl({{"big.kvs", std::string(10000, 'b')}});
    bytes.resize(bytes.size() - 1);
    WriteBytes(dir.file("lib.kvl"), bytes);
    WriteText(dir.file("big.kvs"), "the user's earlier copy");
    EXPECT_EQ(ExtractMatchingEntries(dir.file("lib.kvl"), "*"), kBidLibraryReadError);
    EXPECT_EQ(ReadText(dir.file("big.kvs")), "the user's earlier copy");
    EXPECT_EQ(DirectoryNames(dir.path()), (std::set<std::string>{"lib.kvl", "big.kvs"}));
}

TEST(BidLibraryExtract, EveryTruncationIsHandled)
{
    const std::vector<KvlEntry> entries = {{"one.kvs", "alpha"}, {"two.kvs", std::string(5000, 'z')}};
    const auto full = BuildKvl(entries);
    const auto fullList = [&] {
        TempDir d;
        WriteBytes(d.file("lib.kvl"), full);
        return ListEntries(d.file("lib.kvl"));
    }();
    ASSERT_EQ(fullList.size(), 2u);
    for (std::size_t n = 0; n <= full.size(); ++n) {
        TempDir dir;
        WriteBytes(dir.file("lib.kvl"), std::vector<unsigned char>(full.begin(), full.begin() + n));
        const auto list = ListEntries(dir.file("lib.kvl"));
        ASSERT_LE(list.size(), fullList.size());
        for (std::size_t i = 0; i < list.size(); ++i)
            EXPECT_EQ(list[i], fullList[i]) << "length " << n;

        const int result = ExtractMatchingEntries(dir.file("lib.kvl"), "*.kvs");
        if (n == full.size())
            EXPECT_EQ(result, kBidLibraryOk);
        else if (n < 42)
            EXPECT_EQ(result, kBidLibraryCannotOpen) << "length " << n;
        else
            EXPECT_EQ(result, kBidLibraryReadError) << "length " << n;
        // Whatever was extracted is complete.
        for (const auto& e : entries) {
            if (std::filesystem::exists(dir.file(e.name))) {
                EXPECT_EQ(ReadText(dir.file(e.name)), e.content) << "length " << n;
            }
        }
        EXPECT_LE(DirectoryNames(dir.path()).size(), 3u);
    }
}

TEST(BidLibraryPaths, DirectoryOfTheLibraryPath)
{
    EXPECT_EQ(BidLibraryDirectory("/home/u/bids/lib.kvl"), "/home/u/bids/");
    EXPECT_EQ(BidLibraryDirectory("lib.kvl"), "");
    // A backslash separates only where the system says so (Windows).
    EXPECT_EQ(BidLibraryDirectory("bids\\lib.kvl"),
              SystemPath("bids\\lib.kvl").has_parent_path() ? "bids\\" : "");
    EXPECT_EQ(BidLibraryDirectory("/lib.kvl"), "/");
}

TEST(BidLibraryResultTexts, DialogTexts)
{
    EXPECT_STREQ(BidLibraryResultText(1), "Can't open KVL library");
    EXPECT_STREQ(BidLibraryResultText(2), "Error Reading Library");
    EXPECT_STREQ(BidLibraryResultText(3), "No Matching Files Found");
    EXPECT_STREQ(BidLibraryResultText(4), "Can't Extract File");
    EXPECT_STREQ(BidLibraryResultText(7), "Unknown Error");
}

} // namespace
} // namespace kestrel
