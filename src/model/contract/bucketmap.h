#pragma once
// The map every model map is built on: text keys compared exactly, 17
// buckets, and a fixed iteration order that decides the order in which map
// entries are added to the check value. The contract file holds each
// bucket oldest first (ForEachOldestFirst), so that reading it back gives
// the same order.
//
// Order: bucket by bucket from 0 to 16; within a bucket the entry added last
// comes first. The bucket of a key is h mod 17 with h = h * 33 + byte for
// every byte of the key taken as a signed 8-bit value, in unsigned 32-bit
// arithmetic. Replacing the value of an existing key keeps its place.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
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

// Where a map keeps an index beside its buckets. Small maps (nearly all of
// them) only scan their bucket; a map of many entries, such as the
// sub-items of a subcontract, finds and adds keys through the index, so
// that filling it takes linear time however the keys fall into buckets.
constexpr int kMapIndexFrom = 64;

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
    // True while the map keeps its index (for tests).
    bool HasIndex() const { return !m_index.empty(); }

    V* Find(std::string_view key)
    {
        const size_t b = static_cast<size_t>(MapBucket(key));
        const size_t pos = m_index.empty() ? ScanBucket(b, key) : DecodePos(m_index[Probe(key)]);
        return pos == kNone ? nullptr : &m_buckets[b][pos].second;
    }
    const V* Find(std::string_view key) const { return const_cast<BucketMap*>(this)->Find(key); }

    // Stores v under key: replaces (and destroys) the value of an existing
    // key in its place, or adds a new entry in front of its bucket.
    V& Set(std::string_view key, V v)
    {
        const size_t b = static_cast<size_t>(MapBucket(key));
        auto& bucket = m_buckets[b];
        size_t slot = 0;
        size_t pos;
        if (m_index.empty()) {
            pos = ScanBucket(b, key);
        } else {
            slot = Probe(key);
            pos = DecodePos(m_index[slot]);
        }
        if (pos != kNone) {
            bucket[pos].second = std::move(v);
            return bucket[pos].second;
        }
        // Entries are kept oldest first; the map order reads a bucket from
        // its end.
        bucket.emplace_back(std::string(key), std::move(v));
        ++m_count;
        const size_t added = bucket.size() - 1;
        if (!m_index.empty() && static_cast<size_t>(m_count) * 2 <= m_index.size())
            m_index[slot] = Encode(b, added);
        else if (m_count >= kMapIndexFrom)
            Reindex();
        return bucket[added].second;
    }

    // Stores every entry as Set would, one after the other, and leaves
    // entries empty. Filling an empty map this way sizes its buckets and its
    // index once, which is how a reader loads a large map.
    void SetAll(std::vector<Entry>& entries)
    {
        const size_t n = entries.size();
        if (m_count != 0 || n < static_cast<size_t>(kMapIndexFrom) || n >= kMaxIndexed) {
            for (Entry& e : entries)
                Set(e.first, std::move(e.second));
            entries.clear();
            return;
        }
        std::array<size_t, kMapBuckets> counts{};
        for (const Entry& e : entries)
            ++counts[static_cast<size_t>(MapBucket(e.first))];
        for (size_t b = 0; b < kMapBuckets; ++b)
            m_buckets[b].reserve(counts[b]);
        m_index.assign(IndexSizeFor(n), 0);
        for (Entry& e : entries) {
            const size_t b = static_cast<size_t>(MapBucket(e.first));
            const size_t slot = Probe(e.first);
            if (m_index[slot] != 0) { // a key given twice: the later value, the earlier place
                m_buckets[b][DecodePos(m_index[slot])].second = std::move(e.second);
                continue;
            }
            m_buckets[b].emplace_back(std::move(e.first), std::move(e.second));
            m_index[slot] = Encode(b, m_buckets[b].size() - 1);
            ++m_count;
        }
        entries.clear();
        if (m_count < kMapIndexFrom)
            Reindex(); // drops the index
    }

    bool Remove(std::string_view key)
    {
        const size_t b = static_cast<size_t>(MapBucket(key));
        auto& bucket = m_buckets[b];
        size_t pos;
        if (m_index.empty()) {
            pos = ScanBucket(b, key);
        } else {
            const size_t slot = Probe(key);
            pos = DecodePos(m_index[slot]);
            if (pos != kNone)
                Unindex(slot, b, pos);
        }
        if (pos == kNone)
            return false;
        bucket.erase(bucket.begin() + static_cast<std::ptrdiff_t>(pos));
        --m_count;
        return true;
    }

    // The place of key within its bucket (entries oldest first), or -1.
    int PlaceOf(std::string_view key) const
    {
        const size_t b = static_cast<size_t>(MapBucket(key));
        const size_t pos = m_index.empty() ? ScanBucket(b, key) : DecodePos(m_index[Probe(key)]);
        return pos == kNone ? -1 : static_cast<int>(pos);
    }

    // Stores v under a key that is not in the map, at that place of its
    // bucket: the place PlaceOf gave before the key was removed puts the
    // entry back where it was in the map order. A place past the end of the
    // bucket adds it in front, as Set does. An existing key is replaced in
    // its place.
    V& InsertAt(std::string_view key, V v, int place)
    {
        if (V* existing = Find(key)) {
            *existing = std::move(v);
            return *existing;
        }
        auto& bucket = m_buckets[static_cast<size_t>(MapBucket(key))];
        const size_t pos = place < 0 || static_cast<size_t>(place) > bucket.size()
                               ? bucket.size()
                               : static_cast<size_t>(place);
        bucket.emplace(bucket.begin() + static_cast<std::ptrdiff_t>(pos), std::string(key), std::move(v));
        ++m_count;
        // The entries behind it moved one place; the index is built anew.
        if (!m_index.empty() || m_count >= kMapIndexFrom)
            Reindex();
        return bucket[pos].second;
    }

    void RemoveAll()
    {
        for (auto& b : m_buckets)
            b.clear();
        m_index = {};
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

    // Visits every entry in the order the buckets keep them (oldest first
    // within a bucket): setting the entries into an empty map in this order
    // gives a map of the same order.
    template <class F> void ForEachOldestFirst(F&& f) const
    {
        for (const auto& b : m_buckets)
            for (const auto& e : b)
                f(e.first, e.second);
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
    static constexpr size_t kNone = static_cast<size_t>(-1);

    // An index slot holds 0 (free) or 1 + bucket + 17 * position, so that
    // a slot costs four bytes.
    static constexpr size_t kMaxIndexed = (UINT32_MAX - kMapBuckets) / kMapBuckets;

    static uint32_t Encode(size_t bucket, size_t pos)
    {
        return static_cast<uint32_t>(1 + bucket + kMapBuckets * pos);
    }
    static size_t DecodeBucket(uint32_t code) { return (code - 1) % kMapBuckets; }
    static size_t DecodePos(uint32_t code) { return code == 0 ? kNone : (code - 1) / kMapBuckets; }
    // The index has its own hash: the bucket hash is fixed by the file
    // format and many keys share it.
    static size_t IndexHash(std::string_view key) { return std::hash<std::string_view>{}(key); }

    size_t ScanBucket(size_t b, std::string_view key) const
    {
        const auto& bucket = m_buckets[b];
        for (size_t i = bucket.size(); i-- > 0;)
            if (bucket[i].first == key)
                return i;
        return kNone;
    }
    const std::string& KeyOf(uint32_t code) const
    {
        return m_buckets[DecodeBucket(code)][DecodePos(code)].first;
    }

    // The slot holding key, or the free slot where it would go.
    size_t Probe(std::string_view key) const
    {
        const size_t mask = m_index.size() - 1;
        for (size_t i = IndexHash(key) & mask;; i = (i + 1) & mask) {
            const uint32_t code = m_index[i];
            if (code == 0 || KeyOf(code) == key)
                return i;
        }
    }

    // Index slots for count entries: a power of two, at least four per entry.
    static size_t IndexSizeFor(size_t count)
    {
        size_t size = 2 * kMapIndexFrom;
        while (size < count * 4)
            size *= 2;
        return size;
    }

    // Builds the index anew at twice the count, or drops it when the map
    // is too small to need one or too large to encode.
    void Reindex()
    {
        m_index = {};
        if (m_count < kMapIndexFrom || static_cast<size_t>(m_count) >= kMaxIndexed)
            return;
        m_index.assign(IndexSizeFor(static_cast<size_t>(m_count)), 0);
        const size_t mask = m_index.size() - 1;
        for (size_t b = 0; b < m_buckets.size(); ++b) {
            for (size_t pos = 0; pos < m_buckets[b].size(); ++pos) {
                size_t i = IndexHash(m_buckets[b][pos].first) & mask;
                while (m_index[i] != 0)
                    i = (i + 1) & mask;
                m_index[i] = Encode(b, pos);
            }
        }
    }

    // Takes the entry at (b, pos) out of the index before it is erased from
    // its bucket: frees its slot, moves later slots of the same run back so
    // every key stays reachable from its home slot, and renumbers the
    // entries behind it in the bucket.
    void Unindex(size_t slot, size_t b, size_t pos)
    {
        const size_t mask = m_index.size() - 1;
        size_t hole = slot;
        for (size_t i = (slot + 1) & mask; m_index[i] != 0; i = (i + 1) & mask) {
            const size_t home = IndexHash(KeyOf(m_index[i])) & mask;
            // Movable when its home does not lie cyclically in (hole, i].
            const bool stays = hole <= i ? (home > hole && home <= i) : (home > hole || home <= i);
            if (!stays) {
                m_index[hole] = m_index[i];
                hole = i;
            }
        }
        m_index[hole] = 0;
        for (uint32_t& code : m_index)
            if (code != 0 && DecodeBucket(code) == b && DecodePos(code) > pos)
                code -= kMapBuckets;
    }

    std::array<std::vector<Entry>, kMapBuckets> m_buckets;
    std::vector<uint32_t> m_index; // empty, or a power of two of slots
    int m_count = 0;
};

} // namespace kestrel
