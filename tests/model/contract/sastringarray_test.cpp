#include "model/contract/sastringarray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace kestrel {
namespace {

// A text of n bytes that uses every byte value, NUL and high bytes included.
std::string Bytes(size_t n, unsigned seed = 0)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + seed) & 0xFF);
    return s;
}

std::vector<std::string> Copy(const CSAStringArray& a)
{
    return std::vector<std::string>(a.begin(), a.end());
}

TEST(SAStringArray, EntriesOfEveryLengthComeBackAsStored)
{
    // Lengths on both sides of each step of the stored length.
    const size_t lengths[] = {0, 1, 126, 127, 128, 129, 16383, 16384, 16385, (size_t(1) << 21) + 3};
    CSAStringArray a;
    std::vector<std::string> want;
    for (size_t n : lengths) {
        want.push_back(Bytes(n, static_cast<unsigned>(n)));
        a.push_back(want.back());
    }
    ASSERT_EQ(a.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(a[i], want[i]) << "length " << lengths[i];
    EXPECT_EQ(a.back(), want.back());
    EXPECT_EQ(Copy(a), want);
    EXPECT_EQ(CSAStringArray::StoredSize(0), 1u);
    EXPECT_EQ(CSAStringArray::StoredSize(127), 128u);
    EXPECT_EQ(CSAStringArray::StoredSize(128), 130u);
    EXPECT_EQ(CSAStringArray::StoredSize(16384), 16387u);
}

TEST(SAStringArray, EmptyTextsAreEntries)
{
    CSAStringArray a;
    EXPECT_TRUE(a.empty());
    a.emplace_back();
    a.push_back("");
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0], "");
    EXPECT_NE(a, CSAStringArray{});
    EXPECT_EQ(a, (CSAStringArray{"", ""}));
    a.clear();
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(a, CSAStringArray{});
}

TEST(SAStringArray, ComparesEntryByEntry)
{
    const CSAStringArray ab{"a", "b"};
    EXPECT_EQ(ab, (CSAStringArray{"a", "b"}));
    EXPECT_NE(ab, (CSAStringArray{"b", "a"}));
    EXPECT_NE(ab, (CSAStringArray{"a"}));
    EXPECT_NE(ab, (CSAStringArray{"a", "b", ""}));
    EXPECT_NE(ab, (CSAStringArray{"ab"})); // same bytes, other split
    EXPECT_NE((CSAStringArray{"a", "bc"}), (CSAStringArray{"ab", "c"}));
}

TEST(SAStringArray, AddingItsOwnEntryWhileTheBufferGrows)
{
    CSAStringArray a{"first entry, long enough to live outside any small buffer"};
    for (int i = 0; i < 200; ++i)
        a.push_back(a[static_cast<size_t>(i)]);
    ASSERT_EQ(a.size(), 201u);
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(a[i], "first entry, long enough to live outside any small buffer") << i;
}

TEST(SAStringArray, SetAtReplacesOneEntry)
{
    CSAStringArray a{"one", "two", "three"};
    a.SetAt(1, std::string(300, 'x'));
    EXPECT_EQ(Copy(a), (std::vector<std::string>{"one", std::string(300, 'x'), "three"}));
    a.SetAt(0, a[2]); // from itself
    a.SetAt(2, "");
    EXPECT_EQ(Copy(a), (std::vector<std::string>{"three", std::string(300, 'x'), ""}));
    a.push_back("four");
    EXPECT_EQ(a.size(), 4u);
    EXPECT_EQ(a[3], "four");
}

TEST(SAStringArray, CopiesAreEqualAndLeaveReplacedBytesBehind)
{
    CSAStringArray a{"keep", "old"};
    for (int i = 0; i < 50; ++i)
        a.SetAt(1, "replaced " + std::to_string(i) + std::string(100, '.'));
    const CSAStringArray copy = a;
    EXPECT_EQ(copy, a);
    EXPECT_LT(copy.MemoryBytes(), a.MemoryBytes() / 10);
    CSAStringArray assigned{"something else"};
    assigned = a;
    EXPECT_EQ(assigned, a);
    const CSAStringArray& same = assigned;
    assigned = same; // to itself
    EXPECT_EQ(assigned, a);
    // Copies are independent.
    assigned.SetAt(0, "changed");
    EXPECT_EQ(a[0], "keep");
    CSAStringArray moved = std::move(assigned);
    EXPECT_EQ(moved[0], "changed");
    EXPECT_EQ(moved[1], a[1]);
}

TEST(SAStringArray, SortReordersEntriesNotTheirBytes)
{
    CSAStringArray a{"pear", "apple", "", "fig", "apple"};
    a.Sort([](std::string_view x, std::string_view y) { return x < y; });
    EXPECT_EQ(Copy(a), (std::vector<std::string>{"", "apple", "apple", "fig", "pear"}));
    // Sorting by a later column, as lists sorted from a list start are.
    CSAStringArray b{"1 zeta", "2 alpha", "3 mid", "4"};
    b.Sort([](std::string_view x, std::string_view y) {
        return (x.size() > 2 ? x.substr(2) : std::string_view()) <
               (y.size() > 2 ? y.substr(2) : std::string_view());
    });
    EXPECT_EQ(Copy(b), (std::vector<std::string>{"4", "2 alpha", "3 mid", "1 zeta"}));
    b.push_back("5 last");
    EXPECT_EQ(b[4], "5 last");
    EXPECT_EQ(CSAStringArray(b), b); // a copy keeps the sorted order
}

TEST(SAStringArray, IteratorsWalkInArrayOrder)
{
    const CSAStringArray a{"a", "bb", "ccc", "dddd"};
    EXPECT_EQ(std::distance(a.begin(), a.end()), 4);
    EXPECT_EQ(a.end() - a.begin(), 4);
    EXPECT_EQ(*(a.begin() + 2), "ccc");
    EXPECT_EQ(a.begin()[3], "dddd");
    EXPECT_EQ(*(a.end() - 1), "dddd");
    auto it = a.begin();
    EXPECT_EQ(*it++, "a");
    EXPECT_EQ(*it, "bb");
    EXPECT_EQ(*--it, "a");
    EXPECT_TRUE(a.begin() < a.end());
    EXPECT_EQ(std::find(a.begin(), a.end(), "ccc") - a.begin(), 2);
    EXPECT_EQ(std::find(a.begin(), a.end(), "c"), a.end());
    const CSAStringArray none;
    EXPECT_EQ(none.begin(), none.end());
}

TEST(SAStringArray, ShortEntriesCostLittleMoreThanTheirBytes)
{
    // 100000 entries of 2 bytes, reserved as a list file's merge reserves:
    // 3 bytes each in the buffer and 8 for the start.
    CSAStringArray a;
    a.reserve(100000, 100000 * CSAStringArray::StoredSize(2));
    for (int i = 0; i < 100000; ++i)
        a.push_back(std::to_string(10 + i % 90));
    EXPECT_EQ(a[99999], "19");
    EXPECT_LE(a.MemoryBytes(), size_t(100000) * 11 + 64);
}

} // namespace
} // namespace kestrel
