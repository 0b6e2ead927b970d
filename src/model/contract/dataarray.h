#pragma once
// Owning, ordered array of records.

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace kestrel {

template <class T> class CDataArray {
public:
    CDataArray() = default;
    CDataArray(const CDataArray&) = delete;
    CDataArray& operator=(const CDataArray&) = delete;
    CDataArray(CDataArray&&) noexcept = default;
    CDataArray& operator=(CDataArray&&) noexcept = default;
    ~CDataArray() { RemoveAll(); }

    int GetSize() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    T* GetAt(int i) const
    {
        return (i >= 0 && i < GetSize()) ? m_items[static_cast<size_t>(i)].get() : nullptr;
    }
    T* operator[](int i) const { return GetAt(i); }
    T* Last() const { return m_items.empty() ? nullptr : m_items.back().get(); }

    // Appends a record and takes ownership; returns it.
    T* Add(std::unique_ptr<T> p)
    {
        m_items.push_back(std::move(p));
        return m_items.back().get();
    }
    T* Add() { return Add(std::make_unique<T>()); }
    // Inserts at index (appends when index is -1 or past the end).
    T* InsertAt(int index, std::unique_ptr<T> p)
    {
        if (index < 0 || index >= GetSize())
            return Add(std::move(p));
        auto it = m_items.insert(m_items.begin() + index, std::move(p));
        return it->get();
    }
    // Removes and destroys the record at index.
    void RemoveAt(int i)
    {
        if (i >= 0 && i < GetSize())
            m_items.erase(m_items.begin() + i);
    }
    // Takes the record at index out of the array without destroying it.
    std::unique_ptr<T> Detach(int i)
    {
        if (i < 0 || i >= GetSize())
            return nullptr;
        std::unique_ptr<T> p = std::move(m_items[static_cast<size_t>(i)]);
        m_items.erase(m_items.begin() + i);
        return p;
    }
    int IndexOf(const T* p) const
    {
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].get() == p)
                return static_cast<int>(i);
        return -1;
    }
    // Destroys every record, front to back.
    void RemoveAll()
    {
        for (auto& p : m_items)
            p.reset();
        m_items.clear();
    }
    // Appends copies of the source's records.
    void Copy(const CDataArray& src)
    {
        m_items.reserve(m_items.size() + src.m_items.size());
        for (const auto& p : src.m_items) {
            auto c = std::make_unique<T>();
            c->Copy(*p);
            m_items.push_back(std::move(c));
        }
    }
    void Reserve(size_t n) { m_items.reserve(n); }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<std::unique_ptr<T>> m_items;
};

} // namespace kestrel
