#pragma once
// An array of texts: a pick list, the label lines or the defaults of a form.
//
// Pick lists read from list files can hold millions of short entries, so the
// texts are not separate strings: they lie one after the other in a single
// byte buffer, each preceded by its length (seven bits a byte, the high bit
// marking that another byte follows), and the array keeps where each entry
// starts. An entry of up to 127 bytes costs its bytes plus nine. Sorting
// reorders the starts only; replacing an entry (SetAt) appends the new text
// and leaves the old bytes unused until the array is copied or cleared.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CSAStringArray {
public:
    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        std::string_view operator*() const { return (*m_array)[m_index]; }
        std::string_view operator[](difference_type n) const { return (*m_array)[Offset(n)]; }
        const_iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator old = *this;
            ++m_index;
            return old;
        }
        const_iterator& operator--()
        {
            --m_index;
            return *this;
        }
        const_iterator operator--(int)
        {
            const_iterator old = *this;
            --m_index;
            return old;
        }
        const_iterator& operator+=(difference_type n)
        {
            m_index = Offset(n);
            return *this;
        }
        const_iterator& operator-=(difference_type n) { return *this += -n; }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
        friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b)
        {
            return static_cast<difference_type>(a.m_index) - static_cast<difference_type>(b.m_index);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b)
        {
            return a.m_index == b.m_index;
        }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b)
        {
            return a.m_index <=> b.m_index;
        }

    private:
        friend class CSAStringArray;
        const_iterator(const CSAStringArray* array, size_t index) : m_array(array), m_index(index) {}
        size_t Offset(difference_type n) const
        {
            return static_cast<size_t>(static_cast<difference_type>(m_index) + n);
        }

        const CSAStringArray* m_array = nullptr;
        size_t m_index = 0;
    };
    using iterator = const_iterator;
    using value_type = std::string_view;
    using size_type = size_t;

    CSAStringArray() = default;
    CSAStringArray(std::initializer_list<std::string_view> texts);
    // A copy holds the entries in array order without unused bytes.
    CSAStringArray(const CSAStringArray& other);
    CSAStringArray& operator=(const CSAStringArray& other);
    CSAStringArray(CSAStringArray&&) noexcept = default;
    CSAStringArray& operator=(CSAStringArray&&) noexcept = default;

    size_t size() const { return m_starts.size(); }
    bool empty() const { return m_starts.empty(); }
    // The entry at index (below size()); valid until the array changes.
    std::string_view operator[](size_t index) const { return TextAt(m_starts[index]); }
    std::string_view back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    void push_back(std::string_view text);
    void emplace_back(std::string_view text = {}) { push_back(text); }
    // Replaces the entry at index (below size()).
    void SetAt(size_t index, std::string_view text);
    void clear();
    // Room for `count` more entries of `textBytes` more bytes in all
    // (StoredSize of each), so that a list filled to a known size allocates
    // once.
    void reserve(size_t count, size_t textBytes);
    // The heap bytes the array holds (its buffer and its starts).
    size_t MemoryBytes() const { return m_bytes.capacity() + m_starts.capacity() * sizeof(uint64_t); }
    // The bytes an entry of that length takes in the buffer.
    static size_t StoredSize(size_t length) { return LengthBytes(length) + length; }

    // Sorts the entries with less(std::string_view, std::string_view); not
    // stable.
    template <class Less> void Sort(Less less)
    {
        std::sort(m_starts.begin(), m_starts.end(),
                  [&](uint64_t a, uint64_t b) { return less(TextAt(a), TextAt(b)); });
    }

    friend bool operator==(const CSAStringArray& a, const CSAStringArray& b);

private:
    static size_t LengthBytes(size_t length)
    {
        size_t n = 1;
        while (length >= 0x80) {
            length >>= 7;
            ++n;
        }
        return n;
    }
    std::string_view TextAt(uint64_t start) const
    {
        const auto* p = reinterpret_cast<const unsigned char*>(m_bytes.data()) + start;
        size_t length = *p & 0x7F;
        for (unsigned shift = 7; *p++ & 0x80; shift += 7)
            length |= static_cast<size_t>(*p & 0x7F) << shift;
        return {reinterpret_cast<const char*>(p), length};
    }
    uint64_t Append(std::string_view text);

    std::string m_bytes;            // every entry: its length, then its bytes
    std::vector<uint64_t> m_starts; // where each entry's length lies, in array order
};

} // namespace kestrel
