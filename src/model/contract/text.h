#pragma once
// A model text in one pointer. Contracts hold hundreds of thousands of
// texts, most of them empty, so the representation matters: null means "no
// text", every empty text shares one static string and costs no allocation,
// any other text owns its string on the heap.
//
// The interface is the part of std::optional<std::string> the models use,
// with one difference: reading through a const text never fails (a null text
// reads as ""), and writing through a non-const text first gives it its own
// string, so the shared empty string is never changed.

#include <cstddef>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "model/contract/blockpool.h"

namespace kestrel {

class Text {
    // The one empty string every empty text shares. It is constant-
    // initialized, so a text made during another file's static
    // initialization finds it in place, and never destroyed, so a text
    // destroyed late at exit still finds it. It is never written to.
    union SharedEmpty {
        constexpr SharedEmpty() : s() {}
        ~SharedEmpty() {}
        std::string s;
    };
    static constinit SharedEmpty g_empty;

public:
    Text() noexcept = default;
    Text(std::nullopt_t) noexcept {}
    Text(const char* s) : m_p(s ? Make(std::string_view(s)) : nullptr) {}
    Text(std::string_view s) : m_p(Make(s)) {}
    Text(const std::string& s) : m_p(Make(std::string_view(s))) {}
    Text(std::string&& s) : m_p(s.empty() ? Empty() : NewString(std::move(s))) {}
    Text(const Text& other) : m_p(other.m_p ? Make(std::string_view(*other.m_p)) : nullptr) {}
    Text(Text&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~Text() { Free(m_p); }

    Text& operator=(const Text& other)
    {
        if (this != &other) {
            if (other.m_p)
                Assign(std::string_view(*other.m_p));
            else
                reset();
        }
        return *this;
    }
    // A moved-from text is null.
    Text& operator=(Text&& other) noexcept
    {
        if (this != &other) {
            Free(m_p);
            m_p = std::exchange(other.m_p, nullptr);
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
        // Most texts a contract reads are empty.
        if (s.empty() && !Owns())
            m_p = Empty();
        else
            Assign(s);
        return *this;
    }
    Text& operator=(const std::string& s)
    {
        Assign(std::string_view(s));
        return *this;
    }
    Text& operator=(std::string&& s);

    bool has_value() const noexcept { return m_p != nullptr; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    const std::string& operator*() const noexcept { return m_p ? *m_p : *Empty(); }
    const std::string* operator->() const noexcept { return m_p ? m_p : Empty(); }
    // Gives the text its own string first (an empty one for a null text).
    std::string& operator*() { return Own(); }
    std::string* operator->() { return &Own(); }

    // As std::optional: std::bad_optional_access for a null text.
    const std::string& value() const;
    std::string& value();
    template <class U> std::string value_or(U&& fallback) const
    {
        return m_p ? *m_p : std::string(std::forward<U>(fallback));
    }

    void reset() noexcept
    {
        Free(m_p);
        m_p = nullptr;
    }
    // Stores a string built from args; the result is the text's own string.
    template <class... A> std::string& emplace(A&&... args)
    {
        std::string s(std::forward<A>(args)...);
        if (Owns())
            *m_p = std::move(s);
        else
            m_p = NewString(std::move(s));
        return *m_p;
    }
    void swap(Text& other) noexcept { std::swap(m_p, other.m_p); }

    // True when this text uses the shared empty string (no allocation).
    bool IsSharedEmpty() const noexcept { return m_p == Empty(); }

    friend bool operator==(const Text& a, const Text& b) noexcept
    {
        if (!a.m_p || !b.m_p)
            return a.m_p == b.m_p;
        return *a.m_p == *b.m_p;
    }
    friend bool operator==(const Text& a, std::string_view b) noexcept { return a.m_p && *a.m_p == b; }
    friend bool operator==(const Text& a, const std::string& b) noexcept { return a.m_p && *a.m_p == b; }
    friend bool operator==(const Text& a, const char* b) noexcept
    {
        return b ? a.m_p && *a.m_p == std::string_view(b) : !a.m_p;
    }
    friend bool operator==(const Text& a, std::nullopt_t) noexcept { return !a.m_p; }

private:
    static std::string* Empty() noexcept { return const_cast<std::string*>(&g_empty.s); }
    static std::string* Make(std::string_view s) { return s.empty() ? Empty() : NewString(s); }
    // The string objects of texts come from a block pool: reading a
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
    static void Free(std::string* p) noexcept
    {
        if (p && p != Empty()) {
            p->~basic_string();
            StringPool::Release(p);
        }
    }
    bool Owns() const noexcept { return m_p && m_p != Empty(); }
    void Assign(std::string_view s)
    {
        // An own string is reused, so a text assigned over and over keeps
        // its buffer; anything else takes the cheapest form of the value.
        if (Owns())
            m_p->assign(s.data(), s.size());
        else
            m_p = Make(s);
    }
    std::string& Own();

    std::string* m_p = nullptr;
};

inline void swap(Text& a, Text& b) noexcept
{
    a.swap(b);
}

static_assert(sizeof(Text) == sizeof(void*));

} // namespace kestrel
