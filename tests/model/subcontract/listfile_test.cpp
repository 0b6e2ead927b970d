#include "model/subcontract/listfile.h"

#include "model/subcontract/datafilter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/implodeencoder.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

std::string Bin(const std::vector<std::string>& lines, bool countAll = true)
{
    std::string data;
    const unsigned n = countAll ? static_cast<unsigned>(lines.size()) : 0;
    data.push_back(static_cast<char>(n & 0xFF));
    data.push_back(static_cast<char>(n >> 8));
    for (const auto& l : lines)
        data += l + "\n";
    return data;
}

TEST(TextList, KeysEntriesCommentsAndBlankLines)
{
    const auto lines = ParseTextList("VEND    00123 Acme Paving\r\n"
                                     "   ; a comment\n"
                                     "\t \r\n"
                                     "\n"
                                     " TYPE   Grading  \n"
                                     ";VEND   not an entry\n"
                                     "SHORT\n"
                                     "VEND    00200 Baker Bros");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].key, "VEND");
    EXPECT_EQ(lines[0].entry, "00123 Acme Paving");
    EXPECT_EQ(lines[1].key, "TYPE");
    EXPECT_EQ(lines[1].entry, "Grading  "); // the entry is kept unchanged
    EXPECT_EQ(lines[2].key, "SHORT");
    EXPECT_EQ(lines[2].entry, "");
    EXPECT_EQ(lines[3].entry, "00200 Baker Bros"); // last line without LF
}

TEST(TextList, OnlyTheFinalCarriageReturnIsDropped)
{
    const auto lines = ParseTextList("K       a\rb\r\r\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].entry, "a\rb\r");
}

TEST(TextList, OverlongLinesAreCut)
{
    const std::string text = "KEY     " + std::string(5000, 'x') + "\nNEXT    y\n";
    const auto lines = ParseTextList(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].entry.size(), kTextListLineMax - 8);
    EXPECT_EQ(lines[1].key, "NEXT");
}

TEST(BinList, CommentLinesAreEntriesAndCountLimitsTheLines)
{
    const std::string bin = Bin({";VEND   00123", "VEND    00123 Acme\r", "", "TYPE    x"});
    const auto lines = ParseBinListData(bin);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].key, ";VEND");
    EXPECT_EQ(lines[0].entry, "00123");
    EXPECT_EQ(lines[1].entry, "00123 Acme");
    EXPECT_EQ(lines[2].key, "TYPE");

    // The count stops reading; blank lines count as lines.
    std::string data = Bin({"A       1", "", "B       2", "C       3"});
    data[0] = 3;
    const auto counted = ParseBinListData(data);
    ASSERT_EQ(counted.size(), 2u);
    EXPECT_EQ(counted[1].key, "B");

    // A count past the data ends with the data; too little data for a count.
    data[0] = 100;
    EXPECT_EQ(ParseBinListData(data).size(), 3u);
    EXPECT_TRUE(ParseBinListData("\x01").empty());
}

TEST(ListFiles, ReadByExtension)
{
    test::TempDir dir;
    const std::string text = ";VEND   comment\nVEND    00123 Acme Paving\n";
    test::WriteText(dir.file("vendors.txt"), text);
    test::ImplodeOptions o;
    o.codedLiterals = true;
    o.dictBits = 4;
    test::WriteBytes(dir.file("vendors.bin"),
                     test::ImplodeText(Bin({";VEND   comment", "VEND    00123 Acme Paving"}), o));

    const auto textFile = ReadListFile(dir.file("vendors.txt"));
    ASSERT_TRUE(textFile.ok()) << textFile.errorText();
    ASSERT_EQ(textFile->Lines().size(), 1u);
    const auto binFile = ReadListFile(dir.file("vendors.bin"));
    ASSERT_TRUE(binFile.ok()) << binFile.errorText();
    const auto lines = binFile->Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].key, "VEND");
    EXPECT_EQ(lines[1].entry, "00123 Acme Paving");

    const auto missing = ReadListFile(dir.file("missing.txt"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.errorText(), "Cannot open the file '" + dir.file("missing.txt") + "'");
    // A folder is named as one.
    const auto folder = ReadListFile(dir.path());
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.errorText(), "Cannot open the file '" + dir.path() + "': Is a folder, not a file");

    // A damaged compressed file fails with its own message, nothing read.
    auto bytes = test::ReadBytes(dir.file("vendors.bin"));
    bytes.resize(bytes.size() / 2);
    test::WriteBytes(dir.file("cut.BIN"), bytes);
    const auto cut = ReadListFile(dir.file("cut.BIN"));
    ASSERT_FALSE(cut.ok());
    EXPECT_EQ(cut.errorText().rfind("Cannot read the file '" + dir.file("cut.BIN") + "': ", 0), 0u)
        << cut.errorText();
    EXPECT_NE(cut.errorText().find("cut short"), std::string::npos) << cut.errorText();
    // Text files are never decompressed, whatever they hold.
    test::WriteBytes(dir.file("cut.txt"), bytes);
    EXPECT_TRUE(ReadListFile(dir.file("cut.txt")).ok());
}

TEST(ListFiles, FilesPastTheLimitAreRefused)
{
    test::TempDir dir;
    for (const char* name : {"huge.txt", "huge.bin"}) {
        // Sparse: the size is there, the bytes are not.
        test::WriteText(dir.file(name), "VEND    a\n");
        std::filesystem::resize_file(dir.file(name), kListFileMax + 1);
        const auto r = ReadListFile(dir.file(name));
        ASSERT_FALSE(r.ok()) << name;
        EXPECT_EQ(r.errorText(), "Cannot read the file '" + dir.file(name) + "': the file is too large");
    }
}

TEST(ListFiles, BinExtensionInAnyCase)
{
    EXPECT_TRUE(IsBinListName("VENDORS.BIN"));
    EXPECT_TRUE(IsBinListName("dir/vendors.Bin"));
    EXPECT_FALSE(IsBinListName("vendors.bin.txt"));
    EXPECT_FALSE(IsBinListName("lists.bin/vendors"));
    EXPECT_FALSE(IsBinListName("BIN"));
}

TEST(ListFiles, LaterFileReplacesAKeysList)
{
    CStringArrayMap lists;
    MergeListLines(lists, ListFile::FromText("VEND    a\nTYPE    t1\nVEND    b\nVEND    c\n"));
    ASSERT_NE(lists.Lookup("VEND"), nullptr);
    EXPECT_EQ(*lists.Lookup("VEND"), (CSAStringArray{"a", "b", "c"}));
    MergeListLines(lists, ListFile::FromText("VEND    x\nOTHER   o\nVEND    y\n"));
    EXPECT_EQ(*lists.Lookup("VEND"), (CSAStringArray{"x", "y"}));
    EXPECT_EQ(*lists.Lookup("TYPE"), (CSAStringArray{"t1"}));
    EXPECT_EQ(*lists.Lookup("OTHER"), (CSAStringArray{"o"}));
}

TEST(ListFiles, MergedListsAreSizedForTheirEntries)
{
    // Keys that take turns, and entries of both sizes of stored length.
    std::string text;
    std::vector<std::string> a, b;
    for (int i = 0; i < 5000; ++i) {
        a.push_back(std::to_string(i));
        b.push_back(std::string(static_cast<size_t>(120 + i % 20), static_cast<char>('a' + i % 26)));
        text += "A       " + a.back() + "\nB       " + b.back() + "\n";
    }
    CStringArrayMap lists;
    MergeListLines(lists, ListFile::FromText(text));
    for (const auto& [key, want] : {std::pair{"A", &a}, std::pair{"B", &b}}) {
        const CSAStringArray* list = lists.Lookup(key);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->size(), want->size());
        size_t stored = 0;
        for (size_t i = 0; i < want->size(); ++i) {
            EXPECT_EQ((*list)[i], (*want)[i]) << key << " " << i;
            stored += CSAStringArray::StoredSize((*want)[i].size());
        }
        // Filled once to its size: no room left over from growing.
        EXPECT_EQ(list->MemoryBytes(), stored + want->size() * sizeof(uint64_t)) << key;
    }
}

TEST(ListFiles, ManyKeysSurviveMerging)
{
    // Enough keys to share map buckets many times over.
    std::string text;
    for (int k = 0; k < 300; ++k)
        for (int e = 0; e < 3; ++e)
            text += "K" + std::to_string(k) + std::string(8 - 1 - std::to_string(k).size(), ' ') + "e" +
                    std::to_string(e) + "\n";
    CStringArrayMap lists;
    MergeListLines(lists, ListFile::FromText(text));
    ASSERT_EQ(lists.GetCount(), 300);
    for (int k = 0; k < 300; ++k) {
        const auto* l = lists.Lookup("K" + std::to_string(k));
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(*l, (CSAStringArray{"e0", "e1", "e2"}));
    }
}

} // namespace
} // namespace kestrel

namespace kestrel {
namespace {

TEST(ListFiles, FiltersSelectEntriesOfALoadedList)
{
    // A compressed list read back and narrowed by a filter over characters
    // 1-5, with both wildcards and case folding.
    std::string data = std::string("\x04\x00", 2) +
                       "VEND    00123 Acme\nVEND    00213 Acme\nVEND    0012x baker\nVEND    00124\n";
    test::TempDir dir;
    test::WriteBytes(dir.file("v.bin"), test::ImplodeText(data));
    const auto file = ReadListFile(dir.file("v.bin"));
    ASSERT_TRUE(file.ok()) << file.errorText();
    CStringArrayMap lists;
    MergeListLines(lists, file.value());
    const CSAStringArray& vend = *lists.Lookup("VEND");

    CDataFilter f;
    f.m_iStart = 1;
    f.m_iEnd = 5;
    f.m_strPattern[2] = std::string("001?4");
    f.m_strPattern[4] = std::string("0012X");
    std::vector<std::string> accepted;
    for (const auto& e : vend)
        if (f.Accepts(e))
            accepted.emplace_back(e);
    EXPECT_EQ(accepted, (std::vector<std::string>{"0012x baker", "00124"}));
    f.m_strPattern[0] = std::string("001*");
    EXPECT_TRUE(f.Accepts(vend[0]));
    EXPECT_FALSE(f.Accepts(vend[1]));
}

} // namespace
} // namespace kestrel
