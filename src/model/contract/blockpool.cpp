#include "model/contract/blockpool.h"

#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace kestrel {

namespace {
constexpr size_t kSlabBytes = 64 * 1024;
constexpr size_t kFirstStack = 1024;

std::mutex g_slabMutex;
std::vector<void*>& Slabs()
{
    static std::vector<void*>* slabs = new std::vector<void*>();
    return *slabs;
}
} // namespace

namespace pool_detail {

void* AllocSlow(ThreadPool& p, size_t blockSize)
{
    if (FreeBlock* b = p.overflow) {
        p.overflow = b->next;
        return b;
    }
    const size_t blocks = kSlabBytes / blockSize;
    void* slab = ::operator new(blocks* blockSize);
    {
        std::lock_guard<std::mutex> lock(g_slabMutex);
        try {
            Slabs().push_back(slab);
        } catch (...) {
            ::operator delete(slab);
            throw;
        }
    }
    p.next = static_cast<char*>(slab) + blockSize;
    p.end = static_cast<char*>(slab) + blocks * blockSize;
    return slab;
}

void ReleaseSlow(ThreadPool& p, void* block) noexcept
{
    const size_t capacity = p.capacity ? 2 * p.capacity : kFirstStack;
    auto* stack = static_cast<void**>(::operator new(capacity * sizeof(void*), std::nothrow));
    if (!stack) {
        auto* b = static_cast<FreeBlock*>(block);
        b->next = p.overflow;
        p.overflow = b;
        return;
    }
    if (p.top)
        std::memcpy(stack, p.stack, p.top * sizeof(void*));
    ::operator delete(p.stack);
    p.stack = stack;
    p.capacity = capacity;
    p.stack[p.top++] = block;
}

} // namespace pool_detail

size_t PooledBlockBytes() noexcept
{
    const long long bytes = pool_detail::t_pooledBytes;
    return bytes > 0 ? static_cast<size_t>(bytes) : 0;
}

} // namespace kestrel
