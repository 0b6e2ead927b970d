#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/contract/bucketmap.h"
#include "model/contract/dataarray.h"
#include "model/contract/datamap.h"
#include "model/contract/dataobject.h"
#include "model/contract/stringarraymap.h"
#include "model/contract/values.h"

using namespace kestrel;

TEST(BlankValue, IsExactlyTheReservedPatternAndDistinctFromZero)
{
    double b;
    SetBlankValue(b);
    uint32_t halves[2];
    std::memcpy(halves, &b, sizeof b);
    EXPECT_EQ(halves[0], 0x12345678u);
    EXPECT_EQ(halves[1], 0x12345678u);
    EXPECT_TRUE(IsBlankValue(b));
    EXPECT_FALSE(IsBlankValue(0.0));
    EXPECT_FALSE(IsBlankValue(std::nextafter(b, 1e300)));
}

TEST(RoundValue, UsesTheHalfPlusTenThousandthRule)
{
    // 3 x 1.005 is 3.0149999...; the 0.5001 bias carries it up.
    EXPECT_DOUBLE_EQ(RoundValue(3 * 1.005, 2), 3.02);
    EXPECT_DOUBLE_EQ(RoundValue(-2.5, 0), -3.0);
    EXPECT_DOUBLE_EQ(RoundValue(2.4999, 0), 3.0); // 2.4999 + 0.5001 reaches 3
    EXPECT_DOUBLE_EQ(RoundValue(2.4998, 0), 2.0);
    EXPECT_DOUBLE_EQ(RoundValue(12.5, 2), 12.5);
    EXPECT_TRUE(IsBlankValue(RoundValue(BlankValue(), 2)));
}

// The powers of ten that rounding uses are the nearest doubles on every
// system, whatever the C library's pow gives: 10^0 to 10^22 are exact, and
// one divided by an exact power is the nearest double to its inverse.
TEST(RoundValue, PowersOfTenAreTheSameOnEverySystem)
{
    double exact = 1;
    for (int d = 0; d <= 22; ++d, exact *= 10) {
        EXPECT_EQ(PowerOfTen(d), exact) << d;
        EXPECT_EQ(PowerOfTen(-d), 1 / exact) << -d;
    }
    EXPECT_EQ(RoundValue(0.125, 2), 0.13);
    EXPECT_EQ(RoundValue(-1234.5678, 3), -1234.568);
}

TEST(Flags, TestSetToggleClearAllAndOutOfRange)
{
    uint16_t w = 0;
    FlagSet(w, 3, 1);
    EXPECT_EQ(w, 0x0008);
    EXPECT_TRUE(FlagTest(w, 3));
    FlagSet(w, 3, 2);
    EXPECT_EQ(w, 0);
    FlagSet(w, 3, 2);
    EXPECT_EQ(w, 0x0008);
    FlagSet(w, 3, 0);
    EXPECT_EQ(w, 0);
    FlagSet(w, 15, 7); // any other mode sets
    EXPECT_EQ(w, 0x8000);
    FlagSet(w, 16, 1); // above 15: nothing
    EXPECT_EQ(w, 0x8000);
    FlagSet(w, -1, 0); // -1 sets all bits whatever the mode
    EXPECT_EQ(w, 0xFFFF);
    EXPECT_FALSE(FlagTest(w, 16));
}

TEST(MapOrder, HashTakesBytesAsSigned)
{
    // h = h * 33 + signed byte: "\xE9" adds -23, not 233.
    EXPECT_EQ(MapKeyHash("a"), 97u);
    EXPECT_EQ(MapKeyHash("ab"), 97u * 33u + 98u);
    EXPECT_EQ(MapKeyHash("\xE9"), static_cast<uint32_t>(-23));
    EXPECT_EQ(MapBucket("\xE9"), static_cast<int>(static_cast<uint32_t>(-23) % 17u));
}

TEST(MapOrder, BucketsAscendingNewestFirstWithinABucket)
{
    // "a" (97 % 17 = 12), "r" (114 % 17 = 12) and "\x0c" (12) collide in
    // bucket 12; "b" (98 % 17 = 13) follows; "\x01" lies in bucket 1.
    BucketMap<int> m;
    m.Set("a", 1);
    m.Set("b", 2);
    m.Set("r", 3);
    m.Set("\x0c", 4);
    m.Set("\x01", 5);
    EXPECT_EQ(m.Keys(), (std::vector<std::string>{"\x01", "\x0c", "r", "a", "b"}));
    // Replacing keeps the place; removing keeps the rest in order.
    m.Set("r", 30);
    EXPECT_EQ(m.Keys(), (std::vector<std::string>{"\x01", "\x0c", "r", "a", "b"}));
    EXPECT_EQ(*m.Find("r"), 30);
    EXPECT_TRUE(m.Remove("\x0c"));
    EXPECT_FALSE(m.Remove("\x0c"));
    EXPECT_EQ(m.Keys(), (std::vector<std::string>{"\x01", "r", "a", "b"}));
    EXPECT_EQ(m.GetCount(), 4);
    EXPECT_EQ(m.Find("R"), nullptr); // keys compare exactly
}

namespace {
struct Counted : CDataObject<Counted> {
    static inline int alive = 0;
    int value = 0;
    Counted() { ++alive; }
    ~Counted() override { --alive; }
    void Copy(const Counted& o) override { value = o.value; }
};
} // namespace

TEST(Containers, ArraysAndMapsOwnAndCopyTheirRecords)
{
    {
        CDataArray<Counted> a;
        a.Add()->value = 1;
        a.Add()->value = 2;
        CDataArray<Counted> b;
        b.Add()->value = 9;
        b.Copy(a); // appends copies
        ASSERT_EQ(b.GetSize(), 3);
        EXPECT_EQ(b[2]->value, 2);
        EXPECT_NE(b[1], a[0]);
        EXPECT_EQ(Counted::alive, 5);
        b.RemoveAt(0);
        EXPECT_EQ(Counted::alive, 4);
        EXPECT_EQ(b.GetAt(5), nullptr);

        CDataMap<Counted> m;
        m.SetAt("x")->value = 1;
        m.SetAt("x")->value = 2; // the first record is destroyed
        EXPECT_EQ(Counted::alive, 5);
        EXPECT_EQ(m.Lookup("x")->value, 2);
    }
    EXPECT_EQ(Counted::alive, 0);

    CStringArrayMap lists;
    lists.New("A")->push_back("one");
    lists.New("A"); // replaced by an empty list
    ASSERT_NE(lists.Lookup("A"), nullptr);
    EXPECT_TRUE(lists.Lookup("A")->empty());
}

// A form keeps the lists of its drop-downs while further list files are
// read: a list handed out must stay where it is however many lists follow,
// also in its own bucket (keys "Ab" and "BA" share one).
TEST(StringArrayMap, ListsHandedOutStayValidWhileOthersAreAdded)
{
    CStringArrayMap map;
    CSAStringArray* first = map.New("Ab");
    first->push_back("kept entry");
    std::string key = "BA";
    for (int i = 0; i < 200; ++i) {
        map.New(key + std::to_string(i))->push_back("x");
        map.New(std::to_string(i))->push_back("y");
    }
    map.New("BA")->push_back("same bucket");
    ASSERT_EQ(map.Lookup("Ab"), first);
    ASSERT_EQ(first->size(), 1u);
    EXPECT_EQ((*first)[0], "kept entry");
}
