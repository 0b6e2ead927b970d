#pragma once
// Owning map from a text key to an array of texts (a pick list), in the
// fixed map order.

#include <string>
#include <string_view>
#include <vector>

#include "model/contract/bucketmap.h"
#include "model/contract/sastringarray.h"

namespace kestrel {

class CStringArrayMap {
public:
    int GetCount() const { return m_map.GetCount(); }
    bool IsEmpty() const { return m_map.IsEmpty(); }

    CSAStringArray* Lookup(std::string_view key) { return m_map.Find(key); }
    const CSAStringArray* Lookup(std::string_view key) const { return m_map.Find(key); }
    // Creates an empty array under key, destroying one of that name.
    CSAStringArray* New(std::string_view key) { return &m_map.Set(key, CSAStringArray()); }
    bool RemoveKey(std::string_view key) { return m_map.Remove(key); }
    void RemoveAll() { m_map.RemoveAll(); }

    // f(const std::string& key, const CSAStringArray& list), in map order.
    template <class F> void ForEach(F&& f) const { m_map.ForEach(f); }
    std::vector<std::string> Keys() const { return m_map.Keys(); }

private:
    BucketMap<CSAStringArray> m_map;
};

} // namespace kestrel
