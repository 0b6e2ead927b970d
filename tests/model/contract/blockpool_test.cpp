#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "model/contract/blockpool.h"
#include "model/subcontract/subitem.h"

using namespace kestrel;

namespace {

using Pool = BlockPool<40>;

// More blocks than one slab and than the first free stack hold, so that
// slabs are added and the stack grows.
constexpr size_t kMany = 5000;

std::vector<void*> AllocMany(size_t n)
{
    std::vector<void*> blocks;
    for (size_t i = 0; i < n; ++i) {
        void* p = Pool::Alloc();
        std::memset(p, static_cast<int>(i & 0xFF), 40);
        blocks.push_back(p);
    }
    return blocks;
}

} // namespace

TEST(BlockPool, BlocksAreDistinctAlignedAndKeepTheirContents)
{
    static_assert(Pool::kBlockSize >= 40 && Pool::kBlockSize % alignof(std::max_align_t) == 0);
    std::vector<void*> blocks = AllocMany(kMany);
    std::set<uintptr_t> addresses;
    for (void* p : blocks) {
        const auto a = reinterpret_cast<uintptr_t>(p);
        EXPECT_EQ(a % alignof(std::max_align_t), 0u);
        addresses.insert(a);
    }
    ASSERT_EQ(addresses.size(), kMany);
    // No two blocks overlap: every block still holds what was written.
    for (size_t i = 0; i < kMany; ++i) {
        const auto* bytes = static_cast<const unsigned char*>(blocks[i]);
        ASSERT_TRUE(std::all_of(bytes, bytes + 40, [&](unsigned char b) { return b == (i & 0xFF); })) << i;
    }
    for (void* p : blocks)
        Pool::Release(p);
}

#if KESTREL_BLOCK_POOL
TEST(BlockPool, ReleasedBlocksAreReusedAndCounted)
{
    const size_t before = PooledBlockBytes();
    std::vector<void*> blocks = AllocMany(kMany);
    EXPECT_EQ(PooledBlockBytes() - before, kMany * Pool::kBlockSize);
    const std::set<void*> first(blocks.begin(), blocks.end());
    for (void* p : blocks)
        Pool::Release(p);
    EXPECT_EQ(PooledBlockBytes(), before);

    // The same number again comes from the released blocks, not new slabs.
    blocks = AllocMany(kMany);
    EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()), first);
    for (void* p : blocks)
        Pool::Release(p);
}

TEST(BlockPool, BlocksReleasedOnAnotherThreadServeThatThread)
{
    std::vector<void*> blocks = AllocMany(kMany);
    const std::set<void*> made(blocks.begin(), blocks.end());
    std::vector<void*> again;
    std::thread other([&] {
        for (void* p : blocks)
            Pool::Release(p);
        for (size_t i = 0; i < kMany; ++i)
            again.push_back(Pool::Alloc());
        for (void* p : again)
            Pool::Release(p);
    });
    other.join();
    EXPECT_EQ(std::set<void*>(again.begin(), again.end()), made);
}
#endif

TEST(BlockPool, SubItemsComeFromThePoolAndDerivedClassesFromTheHeap)
{
    struct Wider : CSubItem {
        double more[4] = {1, 2, 3, 4};
    };
    const size_t before = PooledBlockBytes();
    auto item = std::make_unique<CSubItem>();
    item->m_strRemarks = "a remark long enough to need a heap buffer";
    std::unique_ptr<CSubItem> wider = std::make_unique<Wider>();
    wider->m_fQuan = 5;
#if KESTREL_BLOCK_POOL
    // The sub-item and the string object of its remark.
    EXPECT_GE(PooledBlockBytes() - before, BlockPool<sizeof(CSubItem)>::kBlockSize);
#endif
    item.reset();
    wider.reset(); // freed through the base with its own size
    EXPECT_EQ(PooledBlockBytes(), before);
}
