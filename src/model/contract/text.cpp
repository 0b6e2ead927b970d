#include "model/contract/text.h"

#include <cstddef>
#include <mutex>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define KESTREL_TEXT_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTREL_TEXT_POOL 0
#endif
#endif
#ifndef KESTREL_TEXT_POOL
#define KESTREL_TEXT_POOL 1
#endif

namespace kestrel {

#if KESTREL_TEXT_POOL
namespace {

// Fixed-size blocks for the string objects of texts, carved from 64 KB
// slabs. A freed block goes on the releasing thread's free list; slabs are
// kept for the life of the program (a block may be released on another
// thread than the one that made it) and stay listed here so that leak
// checkers see them as reachable.
constexpr size_t kBlockSize = sizeof(std::string);
constexpr size_t kSlabBlocks = 2048;

struct FreeBlock {
    FreeBlock* next;
};

std::mutex g_slabMutex;
std::vector<void*>& Slabs()
{
    static std::vector<void*>* slabs = new std::vector<void*>();
    return *slabs;
}

thread_local FreeBlock* t_free = nullptr;
thread_local char* t_next = nullptr;
thread_local char* t_end = nullptr;
thread_local size_t t_inUse = 0;

} // namespace

size_t Text::PooledStringBytes() noexcept
{
    return t_inUse * kBlockSize;
}

void* Text::AllocString()
{
    ++t_inUse;
    if (FreeBlock* b = t_free) {
        t_free = b->next;
        return b;
    }
    if (t_next == t_end) {
        void* slab = ::operator new(kBlockSize* kSlabBlocks);
        {
            std::lock_guard<std::mutex> lock(g_slabMutex);
            Slabs().push_back(slab);
        }
        t_next = static_cast<char*>(slab);
        t_end = t_next + kBlockSize * kSlabBlocks;
    }
    void* p = t_next;
    t_next += kBlockSize;
    return p;
}

void Text::ReleaseString(void* p) noexcept
{
    --t_inUse;
    auto* b = static_cast<FreeBlock*>(p);
    b->next = t_free;
    t_free = b;
}
#else
// Under AddressSanitizer every string object is its own allocation, so that
// use after free and overflows stay visible.
size_t Text::PooledStringBytes() noexcept
{
    return 0;
}
void* Text::AllocString()
{
    return ::operator new(sizeof(std::string));
}
void Text::ReleaseString(void* p) noexcept
{
    ::operator delete(p);
}
#endif

Text& Text::operator=(std::string&& s)
{
    if (Owns())
        *m_p = std::move(s);
    else if (s.empty())
        m_p = Empty();
    else
        m_p = NewString(std::move(s));
    return *this;
}

const std::string& Text::value() const
{
    if (!m_p)
        throw std::bad_optional_access();
    return *m_p;
}

std::string& Text::value()
{
    if (!m_p)
        throw std::bad_optional_access();
    return Own();
}

std::string& Text::Own()
{
    if (!Owns())
        m_p = NewString();
    return *m_p;
}

} // namespace kestrel
