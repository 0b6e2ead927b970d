#pragma once
// Owning map from a text key to an array of texts (a pick list), in the
// fixed map order.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/contract/bucketmap.h"
#include "model/contract/sastringarray.h"

namespace kestrel {

// Each list lives in its own allocation: a list handed out stays where it is
// while other lists are added (a form keeps the lists of its drop-downs while
// further list files are read).
class CStringArrayMap {
public:
    int GetCount() const { return m_map.GetCount(); }
    bool IsEmpty() const { return m_map.IsEmpty(); }

    CSAStringArray* Lookup(std::string_view key)
    {
        auto* p = m_map.Find(key);
        return p ? p->get() : nullptr;
    }
    const CSAStringArray* Lookup(std::string_view key) const
    {
        const auto* p = m_map.Find(key);
        return p ? p->get() : nullptr;
    }
    // Creates an empty array under key, destroying one of that name.
    CSAStringArray* New(std::string_view key)
    {
        return m_map.Set(key, std::make_unique<CSAStringArray>()).get();
    }
    bool RemoveKey(std::string_view key) { return m_map.Remove(key); }
    void RemoveAll() { m_map.RemoveAll(); }

    // f(const std::string& key, const CSAStringArray& list), in map order.
    template <class F> void ForEach(F&& f) const
    {
        m_map.ForEach(
            [&](const std::string& key, const std::unique_ptr<CSAStringArray>& list) { f(key, *list); });
    }
    std::vector<std::string> Keys() const { return m_map.Keys(); }
    // The same, oldest first within each bucket: storing the lists in this
    // order into an empty map gives a map of the same order.
    template <class F> void ForEachOldestFirst(F&& f) const
    {
        m_map.ForEachOldestFirst(
            [&](const std::string& key, const std::unique_ptr<CSAStringArray>& list) { f(key, *list); });
    }

private:
    BucketMap<std::unique_ptr<CSAStringArray>> m_map;
};

} // namespace kestrel
