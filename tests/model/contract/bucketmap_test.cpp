#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "model/contract/bucketmap.h"

using namespace kestrel;

namespace {

// The map order written out the slow, obvious way: one list per bucket,
// new keys in front, replacements in place.
class ReferenceMap {
public:
    void Set(const std::string& key, int v)
    {
        auto& b = m_buckets[static_cast<size_t>(MapBucket(key))];
        for (auto& e : b) {
            if (e.first == key) {
                e.second = v;
                return;
            }
        }
        b.emplace_front(key, v);
    }
    bool Remove(const std::string& key)
    {
        auto& b = m_buckets[static_cast<size_t>(MapBucket(key))];
        for (auto it = b.begin(); it != b.end(); ++it) {
            if (it->first == key) {
                b.erase(it);
                return true;
            }
        }
        return false;
    }
    const int* Find(const std::string& key) const
    {
        for (const auto& e : m_buckets[static_cast<size_t>(MapBucket(key))])
            if (e.first == key)
                return &e.second;
        return nullptr;
    }
    std::vector<std::pair<std::string, int>> Entries() const
    {
        std::vector<std::pair<std::string, int>> all;
        for (const auto& b : m_buckets)
            all.insert(all.end(), b.begin(), b.end());
        return all;
    }

private:
    std::array<std::deque<std::pair<std::string, int>>, kMapBuckets> m_buckets;
};

std::vector<std::pair<std::string, int>> Entries(const BucketMap<int>& m)
{
    std::vector<std::pair<std::string, int>> all;
    m.ForEach([&](const std::string& k, const int& v) { all.emplace_back(k, v); });
    return all;
}

// 2^n distinct keys with one and the same bucket hash: each two-byte block
// is "Ab" or "BA", and 'A' * 33 + 'b' == 'B' * 33 + 'A'. A file can be made
// of such keys on purpose.
std::vector<std::string> CollidingKeys(int n)
{
    std::vector<std::string> keys;
    for (uint32_t bits = 0; bits < (1u << n); ++bits) {
        std::string k;
        for (int i = 0; i < n; ++i)
            k += (bits >> i) & 1 ? "BA" : "Ab";
        keys.push_back(k);
    }
    return keys;
}

// Runs a random mix of adds, replacements, removals and lookups on both
// maps and compares them after every step that changes them.
void RunAgainstReference(const std::vector<std::string>& keys, int steps, uint32_t seed,
                         bool sawIndexExpected)
{
    BucketMap<int> m;
    ReferenceMap ref;
    std::mt19937 rng(seed);
    bool sawIndex = false;
    for (int step = 0; step < steps; ++step) {
        const std::string& key = keys[rng() % keys.size()];
        const unsigned op = rng() % 10;
        if (op < 6) {
            m.Set(key, step);
            ref.Set(key, step);
        } else if (op < 9) {
            ASSERT_EQ(m.Remove(key), ref.Remove(key)) << key;
        } else {
            const int* expected = ref.Find(key);
            const int* got = m.Find(key);
            ASSERT_EQ(got == nullptr, expected == nullptr) << key;
            if (got) {
                ASSERT_EQ(*got, *expected);
            }
            continue;
        }
        sawIndex = sawIndex || m.HasIndex();
        const auto want = ref.Entries();
        ASSERT_EQ(m.GetCount(), static_cast<int>(want.size()));
        ASSERT_EQ(Entries(m), want) << "after step " << step;
    }
    EXPECT_EQ(sawIndex, sawIndexExpected);
}

} // namespace

TEST(BucketMap, OrderMatchesTheReferenceForSmallAndIndexedMaps)
{
    std::vector<std::string> keys;
    for (int i = 0; i < 400; ++i)
        keys.push_back(std::to_string(i * 7));
    // Few keys: the map stays below the index size.
    RunAgainstReference({keys.begin(), keys.begin() + kMapIndexFrom / 2}, 600, 1, false);
    // Many keys: the map grows past it, is indexed, and shrinks again.
    RunAgainstReference(keys, 4000, 2, true);
}

TEST(BucketMap, OrderHoldsWhenEveryKeyFallsIntoOneBucket)
{
    const std::vector<std::string> keys = CollidingKeys(8);
    ASSERT_EQ(MapKeyHash(keys.front()), MapKeyHash(keys.back()));
    RunAgainstReference(keys, 3000, 3, true);
}

TEST(BucketMap, LargeMapKeepsOrderAndFindsEveryKeyAfterRemovals)
{
    const std::vector<std::string> keys = CollidingKeys(12); // 4096 keys, one bucket
    BucketMap<int> m;
    for (size_t i = 0; i < keys.size(); ++i)
        m.Set(keys[i], static_cast<int>(i));
    ASSERT_TRUE(m.HasIndex());
    // Newest first.
    const auto all = Entries(m);
    ASSERT_EQ(all.size(), keys.size());
    EXPECT_EQ(all.front().first, keys.back());
    EXPECT_EQ(all.back().first, keys.front());

    // Remove every third key, replace every fifth; the rest keep their
    // places and stay reachable.
    std::vector<std::string> expectedOrder;
    for (size_t i = keys.size(); i-- > 0;) {
        if (i % 3 == 0)
            EXPECT_TRUE(m.Remove(keys[i]));
        else
            expectedOrder.push_back(keys[i]);
    }
    for (size_t i = 0; i < keys.size(); i += 5)
        if (i % 3 != 0)
            m.Set(keys[i], -1);
    EXPECT_EQ(m.Keys(), expectedOrder);
    for (size_t i = 0; i < keys.size(); ++i) {
        const int* v = m.Find(keys[i]);
        if (i % 3 == 0) {
            EXPECT_EQ(v, nullptr);
        } else {
            ASSERT_NE(v, nullptr) << keys[i];
            EXPECT_EQ(*v, i % 5 == 0 ? -1 : static_cast<int>(i));
        }
    }
    m.RemoveAll();
    EXPECT_FALSE(m.HasIndex());
    EXPECT_TRUE(m.Keys().empty());
    m.Set("again", 1);
    EXPECT_EQ(*m.Find("again"), 1);
}

TEST(BucketMap, MovedMapKeepsItsEntriesAndIndex)
{
    BucketMap<std::string> m;
    for (int i = 0; i < 3 * kMapIndexFrom; ++i)
        m.Set(std::to_string(i), "v" + std::to_string(i));
    const auto keys = m.Keys();
    BucketMap<std::string> moved(std::move(m));
    EXPECT_EQ(moved.Keys(), keys);
    ASSERT_NE(moved.Find("17"), nullptr);
    EXPECT_EQ(*moved.Find("17"), "v17");
    EXPECT_EQ(moved.Find("no such key"), nullptr);
}

// Filling a map all at once must give the map that adding the same entries
// one after the other gives: same order, later values in the earlier place
// of a repeated key, an index exactly when the map is large enough.
TEST(BucketMap, SetAllMatchesOneSetAfterTheOther)
{
    std::vector<std::string> pool;
    for (int i = 0; i < 300; ++i)
        pool.push_back(std::to_string(i * 13));
    const std::vector<std::string> colliding = CollidingKeys(7);
    std::mt19937 rng(7);
    struct Case {
        const std::vector<std::string>* keys;
        size_t count;
        bool prefill;
    };
    const Case cases[] = {
        {&pool, 10, false},  {&pool, kMapIndexFrom - 1, false}, {&pool, kMapIndexFrom, false},
        {&pool, 400, false}, {&colliding, 200, false},          {&pool, 200, true}};
    for (const Case& c : cases) {
        BucketMap<int> all;
        ReferenceMap ref;
        if (c.prefill) {
            all.Set("prefilled", -1);
            ref.Set("prefilled", -1);
        }
        std::vector<BucketMap<int>::Entry> entries;
        for (size_t i = 0; i < c.count; ++i) {
            // Keys drawn with repeats, so that some come twice or more.
            const std::string& key = (*c.keys)[rng() % (c.count < c.keys->size() ? c.count : c.keys->size())];
            entries.emplace_back(key, static_cast<int>(i));
            ref.Set(key, static_cast<int>(i));
        }
        all.SetAll(entries);
        EXPECT_TRUE(entries.empty());
        const auto want = ref.Entries();
        ASSERT_EQ(all.GetCount(), static_cast<int>(want.size())) << c.count;
        ASSERT_EQ(Entries(all), want) << c.count;
        EXPECT_EQ(all.HasIndex(), want.size() >= static_cast<size_t>(kMapIndexFrom)) << c.count;
        for (const auto& [key, value] : want) {
            const int* got = all.Find(key);
            ASSERT_NE(got, nullptr) << key;
            EXPECT_EQ(*got, value);
        }
        // The map goes on working as usual afterwards.
        all.Set("later", 1);
        ref.Set("later", 1);
        ASSERT_TRUE(all.Remove(want.front().first));
        ref.Remove(want.front().first);
        EXPECT_EQ(Entries(all), ref.Entries());
    }
}

// Undo takes an entry out and later puts it back: the map order must come
// back exactly, in small maps, indexed maps and crowded buckets alike.
TEST(BucketMap, RemovedEntryPutBackAtItsPlaceRestoresTheOrder)
{
    for (const int count : {5, 200}) {
        std::vector<std::string> keys = CollidingKeys(count == 5 ? 3 : 8);
        for (int i = 0; i < count; ++i)
            keys.push_back(std::to_string(i * 13));
        BucketMap<int> m;
        for (size_t i = 0; i < keys.size(); ++i)
            m.Set(keys[i], static_cast<int>(i));
        const auto before = Entries(m);
        std::mt19937 rng(static_cast<uint32_t>(count));
        for (int round = 0; round < 40; ++round) {
            const std::string& key = keys[rng() % keys.size()];
            const int place = m.PlaceOf(key);
            ASSERT_GE(place, 0) << key;
            const int value = *m.Find(key);
            ASSERT_TRUE(m.Remove(key));
            EXPECT_EQ(m.PlaceOf(key), -1);
            m.InsertAt(key, value, place);
            ASSERT_EQ(Entries(m), before) << "round " << round << " key " << key;
            ASSERT_NE(m.Find(key), nullptr);
        }
        EXPECT_EQ(m.HasIndex(), count == 200);
    }
}
