#pragma once
// The map every model map is built on: text keys compared exactly, 17
// buckets, and a fixed iteration order that decides the order in which map
// entries are written to the contract file and added to the check value.
//
// Order: bucket by bucket from 0 to 16; within a bucket the entry added last
// comes first. The bucket of a key is h mod 17 with h = h * 33 + byte for
// every byte of the key taken as a signed 8-bit value, in unsigned 32-bit
// arithmetic. Replacing the value of an existing key keeps its place.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel {

constexpr int kMapBuckets = 17;

inline uint32_t MapKeyHash(std::string_view key)
{
    uint32_t h = 0;
    for (char c : key)
        h = h * 33u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
    return h;
}

inline int MapBucket(std::string_view key)
{
    return static_cast<int>(MapKeyHash(key) % kMapBuckets);
}

template <class V> class BucketMap {
public:
    using Entry = std::pair<std::string, V>;

    BucketMap() = default;
    BucketMap(const BucketMap&) = delete;
    BucketMap& operator=(const BucketMap&) = delete;
    BucketMap(BucketMap&&) noexcept = default;
    BucketMap& operator=(BucketMap&&) noexcept = default;

    int GetCount() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    V* Find(std::string_view key)
    {
        auto& b = m_buckets[static_cast<size_t>(MapBucket(key))];
        for (auto& e : b)
            if (e.first == key)
                return &e.second;
        return nullptr;
    }
    const V* Find(std::string_view key) const { return const_cast<BucketMap*>(this)->Find(key); }

    // Stores v under key: replaces (and destroys) the value of an existing
    // key in its place, or adds a new entry in front of its bucket.
    V& Set(std::string_view key, V v)
    {
        if (V* old = Find(key)) {
            *old = std::move(v);
            return *old;
        }
        auto& b = m_buckets[static_cast<size_t>(MapBucket(key))];
        b.emplace_back(std::string(key), std::move(v));
        ++m_count;
        return b.back().second;
    }

    bool Remove(std::string_view key)
    {
        auto& b = m_buckets[static_cast<size_t>(MapBucket(key))];
        for (auto it = b.begin(); it != b.end(); ++it) {
            if (it->first == key) {
                b.erase(it);
                --m_count;
                return true;
            }
        }
        return false;
    }

    void RemoveAll()
    {
        for (auto& b : m_buckets)
            b.clear();
        m_count = 0;
    }

    // Visits every entry in map order: f(const std::string& key, V& value).
    template <class F> void ForEach(F&& f)
    {
        for (auto& b : m_buckets)
            for (auto it = b.rbegin(); it != b.rend(); ++it)
                f(it->first, it->second);
    }
    template <class F> void ForEach(F&& f) const
    {
        for (const auto& b : m_buckets)
            for (auto it = b.rbegin(); it != b.rend(); ++it)
                f(it->first, it->second);
    }

    // The keys in map order.
    std::vector<std::string> Keys() const
    {
        std::vector<std::string> keys;
        keys.reserve(static_cast<size_t>(m_count));
        ForEach([&](const std::string& k, const V&) { keys.push_back(k); });
        return keys;
    }

private:
    std::array<std::vector<Entry>, kMapBuckets> m_buckets;
    int m_count = 0;
};

} // namespace kestrel
