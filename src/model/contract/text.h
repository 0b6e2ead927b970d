#pragma once
// A model text in eight bytes. Contracts hold hundreds of thousands of
// texts, most of them empty or short (units, codes, numbers), so the
// representation matters: null means "no text"; a text of up to seven bytes
// (the empty text too) is kept in the eight bytes themselves and costs no
// allocation; any longer text owns its string, whose object comes from a
// block pool.
//
// The interface is the part of std::optional<std::string> the models use,
// except that a const text is read as a std::string_view (View(); a null
// text reads as ""), and that writing through a non-const text (*, ->,
// value()) first gives it its own string.
//
// A view of a short text points into the text object itself: it lasts as
// long as the text is neither changed nor moved, as a view of a string does.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "model/contract/blockpool.h"

namespace kestrel {

class Text {
public:
    // The longest text kept inside the object.
    static constexpr size_t kInlineMax = 7;

    Text() noexcept = default;
    Text(std::nullopt_t) noexcept {}
    Text(const char* s)
    {
        if (s)
            Init(std::string_view(s));
    }
    Text(std::string_view s) { Init(s); }
    Text(const std::string& s) { Init(std::string_view(s)); }
    Text(std::string&& s)
    {
        if (s.size() <= kInlineMax)
            SetInline(s);
        else
            m_bits = FromString(NewString(std::move(s)));
    }
    Text(const Text& other)
    {
        if (other.m_bits)
            Init(other.View());
    }
    Text(Text&& other) noexcept : m_bits(std::exchange(other.m_bits, 0)) {}
    ~Text() { FreeString(); }

    Text& operator=(const Text& other)
    {
        if (this != &other) {
            if (other.m_bits)
                Assign(other.View());
            else
                reset();
        }
        return *this;
    }
    // A moved-from text is null.
    Text& operator=(Text&& other) noexcept
    {
        if (this != &other) {
            FreeString();
            m_bits = std::exchange(other.m_bits, 0);
        }
        return *this;
    }
    Text& operator=(std::nullopt_t) noexcept
    {
        reset();
        return *this;
    }
    Text& operator=(const char* s)
    {
        if (s)
            Assign(std::string_view(s));
        else
            reset();
        return *this;
    }
    Text& operator=(std::string_view s)
    {
        Assign(s);
        return *this;
    }
    Text& operator=(const std::string& s)
    {
        Assign(std::string_view(s));
        return *this;
    }
    Text& operator=(std::string&& s);

    bool has_value() const noexcept { return m_bits != 0; }
    explicit operator bool() const noexcept { return m_bits != 0; }

    // The bytes of the text, empty for a null text.
    std::string_view View() const noexcept
    {
        if (IsInline())
            return {InlineBytes(), (m_bits & kLengthMask) >> 1};
        return m_bits ? std::string_view(*String()) : std::string_view();
    }

    // Gives the text its own string first (an empty one for a null text).
    std::string& operator*() { return Own(); }
    std::string* operator->() { return &Own(); }

    // As std::optional: std::bad_optional_access for a null text.
    std::string& value();
    template <class U> std::string value_or(U&& fallback) const
    {
        return m_bits ? std::string(View()) : std::string(std::forward<U>(fallback));
    }

    void reset() noexcept
    {
        FreeString();
        m_bits = 0;
    }
    // Stores a string built from args; the result is the text's own string.
    template <class... A> std::string& emplace(A&&... args)
    {
        std::string s(std::forward<A>(args)...);
        if (IsString()) {
            *String() = std::move(s);
        } else {
            m_bits = FromString(NewString(std::move(s)));
        }
        return *String();
    }
    void swap(Text& other) noexcept { std::swap(m_bits, other.m_bits); }

    // True when the text is kept inside the object (no allocation).
    bool IsInline() const noexcept { return (m_bits & 1) != 0; }
    // Hints for a loop that reads many texts lying scattered in memory: it
    // asks for the text's own string some texts ahead of the one it reads,
    // and for the bytes of that string a few texts later, so that reading
    // them waits on no fetch. Neither changes anything.
    void PrefetchString() const noexcept
    {
        if (IsString())
            __builtin_prefetch(String());
    }
    void PrefetchBytes() const noexcept
    {
        if (IsString())
            __builtin_prefetch(String()->data());
    }

    friend bool operator==(const Text& a, const Text& b) noexcept
    {
        if (!a.m_bits || !b.m_bits)
            return a.m_bits == b.m_bits;
        return a.View() == b.View();
    }
    friend bool operator==(const Text& a, std::string_view b) noexcept { return a.m_bits && a.View() == b; }
    friend bool operator==(const Text& a, const std::string& b) noexcept
    {
        return a.m_bits && a.View() == std::string_view(b);
    }
    friend bool operator==(const Text& a, const char* b) noexcept
    {
        return b ? a.m_bits && a.View() == std::string_view(b) : !a.m_bits;
    }
    friend bool operator==(const Text& a, std::nullopt_t) noexcept { return !a.m_bits; }

private:
    // m_bits is 0 for null. An inline text has bit 0 set in its first byte
    // in memory, with its length in bits 1-3 of that byte and its bytes in
    // the seven bytes after it. Anything else is the address of the text's
    // own string, whose alignment keeps bit 0 clear.
    static_assert(std::endian::native == std::endian::little, "the inline layout assumes little-endian");
    static constexpr uintptr_t kLengthMask = 0x0F;
    static_assert(sizeof(uintptr_t) == 8);

    const char* InlineBytes() const noexcept { return reinterpret_cast<const char*>(&m_bits) + 1; }
    bool IsString() const noexcept { return m_bits != 0 && !IsInline(); }
    std::string* String() const noexcept { return reinterpret_cast<std::string*>(m_bits); }
    static uintptr_t FromString(std::string* s) noexcept { return reinterpret_cast<uintptr_t>(s); }

    // Stores s (at most kInlineMax bytes) inside the object; s may lie in
    // the object's own bytes. A short loop, because a call to memcpy would
    // cost more than the copy.
    void SetInline(std::string_view s) noexcept
    {
        uint64_t bytes = 0;
        for (size_t i = s.size(); i-- > 0;)
            bytes = (bytes << 8) | static_cast<unsigned char>(s[i]);
        m_bits = static_cast<uintptr_t>((bytes << 8) | 1 | (s.size() << 1));
    }
    void Init(std::string_view s)
    {
        if (s.size() <= kInlineMax)
            SetInline(s);
        else
            m_bits = FromString(NewString(s));
    }

    // The string objects of longer texts come from a block pool: reading a
    // contract makes tens of thousands of them at once.
    using StringPool = BlockPool<sizeof(std::string)>;
    template <class... A> static std::string* NewString(A&&... args)
    {
        void* block = StringPool::Alloc();
        try {
            return new (block) std::string(std::forward<A>(args)...);
        } catch (...) {
            StringPool::Release(block);
            throw;
        }
    }
    void FreeString() noexcept
    {
        if (IsString()) {
            std::string* s = String();
            s->~basic_string();
            StringPool::Release(s);
        }
    }
    // Kept small so that it is inlined: most texts are short and new.
    [[gnu::always_inline]] void Assign(std::string_view s)
    {
        if (s.size() <= kInlineMax && !IsString())
            SetInline(s);
        else
            AssignLong(s);
    }
    void AssignLong(std::string_view s);
    std::string& Own();

    uintptr_t m_bits = 0;
};

inline void swap(Text& a, Text& b) noexcept
{
    a.swap(b);
}

static_assert(sizeof(Text) == sizeof(void*));
static_assert(alignof(std::string) >= 2);

} // namespace kestrel
