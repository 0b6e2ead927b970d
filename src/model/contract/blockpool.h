#pragma once
// Fixed-size blocks for the small objects a contract holds by the hundred
// thousand (the string objects of texts, sub-items). Reading a large
// contract makes them all at once; taking them from 64 KB slabs instead of
// one heap allocation each makes reading faster and keeps them close
// together in memory.
//
// Each thread keeps its own free blocks, so no lock is taken per block. A
// block may be released on another thread than the one that made it; it
// then joins the releasing thread's free blocks. Slabs are kept for the life
// of the program and stay listed, so that leak checkers see them as
// reachable. Under AddressSanitizer every block is its own allocation, so
// that use after free and overflows stay visible.
//
// Free blocks are kept on a stack of pointers rather than linked through
// the blocks themselves: after a contract is closed its blocks lie
// scattered, and a list linked through them would cost a cache miss per
// allocation that no prefetch can hide. The stack lets an allocation fetch
// the blocks of the allocations to come.
//
// A thread's free blocks are not handed on when the thread ends: the
// program makes and frees its model objects on the thread that reads the
// contract, and a short-lived thread that frees many of them keeps that
// memory from being reused.

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define KESTREL_BLOCK_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTREL_BLOCK_POOL 0
#endif
#endif
#ifndef KESTREL_BLOCK_POOL
#define KESTREL_BLOCK_POOL 1
#endif

namespace kestrel {

namespace pool_detail {

// A free block that did not fit on the stack (growing it failed).
struct FreeBlock {
    FreeBlock* next;
};

// One thread's state for one block size.
struct ThreadPool {
    void** stack = nullptr; // free blocks
    size_t top = 0;
    size_t capacity = 0;
    FreeBlock* overflow = nullptr;
    char* next = nullptr; // the unused rest of the newest slab
    char* end = nullptr;
};

// How many allocations ahead a block is fetched into the cache.
constexpr size_t kPrefetchAhead = 8;

// Carves a new slab for p and returns its first block, or takes a block of
// the overflow list; the block size is a multiple of the alignment of any
// object.
void* AllocSlow(ThreadPool& p, size_t blockSize);
// Puts a block on a full stack: grows it, or links the block into the
// overflow list when that fails.
void ReleaseSlow(ThreadPool& p, void* block) noexcept;
// Bytes of blocks of all sizes in use on this thread; negative when this
// thread released more than it made.
inline thread_local long long t_pooledBytes = 0;

} // namespace pool_detail

// Bytes of pooled blocks that this thread holds now (0 when pooling is off);
// memory measurements add it to the heap's figures.
size_t PooledBlockBytes() noexcept;

template <size_t Size> class BlockPool {
public:
    static constexpr size_t kBlockSize =
        (Size + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);

    static void* Alloc()
    {
#if KESTREL_BLOCK_POOL
        pool_detail::ThreadPool& p = State();
        void* block;
        if (p.top > 0) {
            block = p.stack[--p.top];
            if (p.top >= pool_detail::kPrefetchAhead)
                __builtin_prefetch(p.stack[p.top - pool_detail::kPrefetchAhead], 1);
        } else if (p.next != p.end) {
            block = p.next;
            p.next += kBlockSize;
        } else {
            block = pool_detail::AllocSlow(p, kBlockSize);
        }
        pool_detail::t_pooledBytes += static_cast<long long>(kBlockSize);
        return block;
#else
        return ::operator new(Size);
#endif
    }

    static void Release(void* block) noexcept
    {
#if KESTREL_BLOCK_POOL
        pool_detail::ThreadPool& p = State();
        pool_detail::t_pooledBytes -= static_cast<long long>(kBlockSize);
        if (p.top < p.capacity)
            p.stack[p.top++] = block;
        else
            pool_detail::ReleaseSlow(p, block);
#else
        ::operator delete(block);
#endif
    }

private:
    static pool_detail::ThreadPool& State()
    {
        thread_local pool_detail::ThreadPool state;
        return state;
    }
};

} // namespace kestrel
