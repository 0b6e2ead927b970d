#pragma once
// Owning map from a text key to a record, in the fixed map order.

#include <memory>
#include <string_view>

#include "model/contract/bucketmap.h"

namespace kestrel {

template <class T> class CDataMap {
public:
    int GetCount() const { return m_map.GetCount(); }
    bool IsEmpty() const { return m_map.IsEmpty(); }

    T* Lookup(std::string_view key) const
    {
        const auto* p = m_map.Find(key);
        return p ? p->get() : nullptr;
    }
    // Stores the record under key; a record already there is destroyed.
    T* SetAt(std::string_view key, std::unique_ptr<T> rec) { return m_map.Set(key, std::move(rec)).get(); }
    T* SetAt(std::string_view key) { return SetAt(key, std::make_unique<T>()); }
    // Stores every record as SetAt would, one after the other, and leaves
    // records empty; sized once for the whole lot.
    using Entry = typename BucketMap<std::unique_ptr<T>>::Entry;
    void SetAll(std::vector<Entry>& records) { m_map.SetAll(records); }
    // Removes and destroys the record under key.
    bool RemoveKey(std::string_view key) { return m_map.Remove(key); }
    // Takes the record out of the map without destroying it.
    std::unique_ptr<T> Detach(std::string_view key)
    {
        auto* p = m_map.Find(key);
        if (!p)
            return nullptr;
        std::unique_ptr<T> rec = std::move(*p);
        m_map.Remove(key);
        return rec;
    }
    // The record's place in its bucket, and putting a detached record back
    // at that place, so that the map order is restored exactly.
    int PlaceOf(std::string_view key) const { return m_map.PlaceOf(key); }
    T* InsertAt(std::string_view key, std::unique_ptr<T> rec, int place)
    {
        return m_map.InsertAt(key, std::move(rec), place).get();
    }
    void RemoveAll() { m_map.RemoveAll(); }

    // f(const std::string& key, T& record), in map order.
    template <class F> void ForEach(F&& f) const
    {
        m_map.ForEach([&](const std::string& k, const std::unique_ptr<T>& p) { f(k, *p); });
    }
    std::vector<std::string> Keys() const { return m_map.Keys(); }
    // f(const std::string& key, T& record), oldest first within each bucket:
    // storing the entries in this order into an empty map (as a reader of
    // the contract file does) gives a map of the same order.
    template <class F> void ForEachOldestFirst(F&& f) const
    {
        m_map.ForEachOldestFirst([&](const std::string& k, const std::unique_ptr<T>& p) { f(k, *p); });
    }

    // Copies every entry of src (records duplicated) into this map; copied
    // into an empty map, the entries keep the map order of src.
    void Copy(const CDataMap& src)
    {
        src.m_map.ForEachOldestFirst([&](const std::string& k, const std::unique_ptr<T>& rec) {
            auto c = std::make_unique<T>();
            c->Copy(*rec);
            SetAt(k, std::move(c));
        });
    }

private:
    BucketMap<std::unique_ptr<T>> m_map;
};

} // namespace kestrel
