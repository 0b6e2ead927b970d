#include "model/contract/sastringarray.h"

#include <algorithm>
#include <functional>

namespace kestrel {

CSAStringArray::CSAStringArray(std::initializer_list<std::string_view> texts)
{
    size_t bytes = 0;
    for (std::string_view t : texts)
        bytes += StoredSize(t.size());
    reserve(texts.size(), bytes);
    for (std::string_view t : texts)
        push_back(t);
}

CSAStringArray::CSAStringArray(const CSAStringArray& other)
{
    *this = other;
}

CSAStringArray& CSAStringArray::operator=(const CSAStringArray& other)
{
    if (this == &other)
        return *this;
    size_t bytes = 0;
    for (std::string_view t : other)
        bytes += StoredSize(t.size());
    clear();
    reserve(other.size(), bytes);
    for (std::string_view t : other)
        push_back(t);
    return *this;
}

uint64_t CSAStringArray::Append(std::string_view text)
{
    const uint64_t start = m_bytes.size();
    size_t length = text.size();
    while (length >= 0x80) {
        m_bytes.push_back(static_cast<char>(0x80 | (length & 0x7F)));
        length >>= 7;
    }
    m_bytes.push_back(static_cast<char>(length));
    m_bytes.append(text);
    return start;
}

void CSAStringArray::push_back(std::string_view text)
{
    // The text may lie in this array's own buffer, which the append can
    // move; take a copy first then.
    const std::less_equal<const char*> notAfter;
    if (!text.empty() && notAfter(m_bytes.data(), text.data()) &&
        !notAfter(m_bytes.data() + m_bytes.size(), text.data())) {
        const std::string copy(text);
        m_starts.push_back(Append(copy));
        return;
    }
    m_starts.push_back(Append(text));
}

void CSAStringArray::SetAt(size_t index, std::string_view text)
{
    const std::string copy(text); // it may be an entry of this array
    m_starts[index] = Append(copy);
}

void CSAStringArray::clear()
{
    m_bytes.clear();
    m_starts.clear();
}

void CSAStringArray::reserve(size_t count, size_t textBytes)
{
    m_starts.reserve(m_starts.size() + count);
    m_bytes.reserve(m_bytes.size() + textBytes);
}

bool operator==(const CSAStringArray& a, const CSAStringArray& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

} // namespace kestrel
