// Reading and writing the contract file against zlib alone on the same
// bytes, and the peak memory of a read against the uncompressed size.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/contractgen.h"
#include "support/timesreporter.h"

// Every allocation of this binary can be counted, so that the peak of a
// read can be measured. Counting costs atomic operations on every
// allocation, which the program itself does not pay, so it is switched on
// only for a separate, untimed read. zlib's own state (some 40 KB) is
// allocated with malloc and is not counted.
namespace {
std::atomic<size_t> g_current{0};
std::atomic<size_t> g_peak{0};
std::atomic<bool> g_counting{false};
constexpr size_t kHeader = 16;
constexpr size_t kCounted = size_t(1) << 63; // header bit: the block was counted

void* CountedAlloc(size_t n)
{
    auto* p = static_cast<unsigned char*>(std::malloc(n + kHeader));
    if (!p)
        throw std::bad_alloc();
    if (!g_counting.load(std::memory_order_relaxed)) {
        *reinterpret_cast<size_t*>(p) = n;
        return p + kHeader;
    }
    *reinterpret_cast<size_t*>(p) = n | kCounted;
    const size_t now = g_current.fetch_add(n) + n;
    size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
    return p + kHeader;
}

void CountedFree(void* q) noexcept
{
    if (!q)
        return;
    auto* p = static_cast<unsigned char*>(q) - kHeader;
    const size_t header = *reinterpret_cast<size_t*>(p);
    if (header & kCounted)
        g_current.fetch_sub(header & ~kCounted);
    std::free(p);
}
} // namespace

void* operator new(size_t n)
{
    return CountedAlloc(n);
}
void* operator new[](size_t n)
{
    return CountedAlloc(n);
}
void operator delete(void* p) noexcept
{
    CountedFree(p);
}
void operator delete[](void* p) noexcept
{
    CountedFree(p);
}
void operator delete(void* p, size_t) noexcept
{
    CountedFree(p);
}
void operator delete[](void* p, size_t) noexcept
{
    CountedFree(p);
}

namespace {

using namespace kestrel;
// Thread CPU time: the machines these run on are shared, and wall time
// would charge either side with whatever else runs at the moment.
struct Clock {
    using time_point = double;
    static double now()
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    }
};

struct Case {
    std::string path;
    std::vector<unsigned char> stream;     // uncompressed
    std::vector<unsigned char> compressed; // the file's bytes
    std::unique_ptr<CContract> contract;
};

Case& GetCase(bool tables)
{
    static Case cases[2];
    Case& c = cases[tables ? 1 : 0];
    if (!c.contract) {
        bench::ContractShape shape;
        shape.tables = tables;
        c.contract = bench::GenerateContract(shape);
        c.path = (std::filesystem::temp_directory_path() /
                  (std::string("kestrel-bench-") + (tables ? "tables" : "items") + ".con"))
                     .string();
        if (WriteContractFile(*c.contract, c.path) != CF_OK)
            std::abort();
        c.stream = WriteContractStream(*c.contract);
        std::ifstream in(c.path, std::ios::binary);
        c.compressed.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return c;
}

size_t Inflate(const std::vector<unsigned char>& in, std::vector<unsigned char>& out)
{
    z_stream s{};
    inflateInit2(&s, 15 + 16);
    s.next_in = const_cast<Bytef*>(in.data());
    s.avail_in = static_cast<uInt>(in.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    inflate(&s, Z_FINISH);
    const size_t n = s.total_out;
    inflateEnd(&s);
    return n;
}

size_t Deflate(const std::vector<unsigned char>& in, std::vector<unsigned char>& out)
{
    z_stream s{};
    deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    s.next_in = const_cast<Bytef*>(in.data());
    s.avail_in = static_cast<uInt>(in.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    const size_t n = s.total_out;
    deflateEnd(&s);
    return n;
}

double Seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

// Freeing a contract leaves glibc's heap with many small free chunks that it
// merges at the next larger request, which would be zlib's own state in the
// next iteration's baseline. One untimed request of that size settles the
// heap so that the baseline times zlib alone.
void SettleHeap()
{
    void* p = std::malloc(64 * 1024);
    benchmark::DoNotOptimize(p);
    std::free(p);
}

// The peak memory of one read above what was in use before it. Small
// objects come from pools whose slabs outlive a read; the blocks the new
// contract holds are added to the heap's peak (an upper bound: the
// two peaks need not coincide).
size_t MeasureReadPeak(const std::string& path)
{
    const size_t pooledBase = PooledBlockBytes();
    g_counting.store(true);
    const size_t base = g_current.load();
    g_peak.store(base);
    std::unique_ptr<CContract> contract;
    const bool ok = ReadContractFile(path, contract) == CF_OK;
    const size_t peak = g_peak.load() - base + (PooledBlockBytes() - pooledBase);
    contract.reset();
    g_counting.store(false);
    return ok ? peak : 0;
}

void BM_ReadAndRecalculate(benchmark::State& state)
{
    Case& c = GetCase(state.range(0) != 0);
    std::vector<unsigned char> out(c.stream.size() + 1024);
    double tRead = 0, tInflate = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(Inflate(c.compressed, out));
        const auto t1 = Clock::now();
        std::unique_ptr<CContract> contract;
        if (ReadContractFile(c.path, contract) != CF_OK)
            state.SkipWithError("read failed");
        const auto t2 = Clock::now();
        contract.reset();
        SettleHeap();
        tInflate += Seconds(t0, t1);
        tRead += Seconds(t1, t2);
    }
    const size_t peak = MeasureReadPeak(c.path);
    SettleHeap();
    if (peak == 0)
        state.SkipWithError("read failed");
    const double n = static_cast<double>(state.iterations());
    state.counters["read_ms"] = tRead / n * 1e3;
    state.counters["inflate_ms"] = tInflate / n * 1e3;
    state.counters["read_vs_inflate"] = tRead / tInflate;
    state.counters["stream_kB"] = static_cast<double>(c.stream.size()) / 1024;
    state.counters["peak_vs_stream"] = static_cast<double>(peak) / static_cast<double>(c.stream.size());
}

// Building the model from uncompressed records alone, without zlib: the
// part of a read that is the program's own work.
void BM_BuildFromRecords(benchmark::State& state)
{
    Case& c = GetCase(state.range(0) != 0);
    double tBuild = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        std::unique_ptr<CContract> contract;
        if (ReadContractStream(c.stream.data(), c.stream.size(), contract) != CF_OK)
            state.SkipWithError("read failed");
        tBuild += Seconds(t0, Clock::now());
        contract.reset();
        SettleHeap();
    }
    state.counters["build_ms"] = tBuild / static_cast<double>(state.iterations()) * 1e3;
}

void BM_Write(benchmark::State& state)
{
    Case& c = GetCase(state.range(0) != 0);
    std::vector<unsigned char> out(c.stream.size() + 65536);
    const std::string path = c.path + ".out";
    double tWrite = 0, tDeflate = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(Deflate(c.stream, out));
        const auto t1 = Clock::now();
        if (WriteContractFile(*c.contract, path) != CF_OK)
            state.SkipWithError("write failed");
        const auto t2 = Clock::now();
        tDeflate += Seconds(t0, t1);
        tWrite += Seconds(t1, t2);
    }
    std::remove(path.c_str());
    const double n = static_cast<double>(state.iterations());
    state.counters["write_ms"] = tWrite / n * 1e3;
    state.counters["deflate_ms"] = tDeflate / n * 1e3;
    state.counters["write_vs_deflate"] = tWrite / tDeflate;
}

// One record holding a great many sub-items, as a damaged or hostile file
// may: the time per sub-item must stay flat as the count grows (adding a key
// used to scan its whole bucket, which made this quadratic).
void BM_ReadOneHugeRecord(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    bench::ContractShape shape;
    shape.entries = 200;
    shape.sections = 4;
    shape.tables = true;
    shape.records = 1;
    shape.subItems = 0;
    std::unique_ptr<CContract> c = bench::GenerateContract(shape);
    CSubcontract* rec = c->m_pSubTable->m_Records[0];
    char key[16];
    for (int i = 0; i < count; ++i) {
        std::snprintf(key, sizeof key, "%08d", i * 7);
        CSubItem* si = rec->AddSubItem(key);
        si->m_fQuan = i;
        si->m_strUnitType = "EA";
    }
    const std::string path =
        (std::filesystem::temp_directory_path() / ("kestrel-bench-huge-" + std::to_string(count) + ".con"))
            .string();
    if (WriteContractFile(*c, path) != CF_OK)
        std::abort();
    c.reset();
    double tRead = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        std::unique_ptr<CContract> contract;
        if (ReadContractFile(path, contract) != CF_OK)
            state.SkipWithError("read failed");
        tRead += Seconds(t0, Clock::now());
    }
    std::remove(path.c_str());
    const double n = static_cast<double>(state.iterations());
    state.counters["read_ms"] = tRead / n * 1e3;
    state.counters["ns_per_subitem"] = tRead / n * 1e9 / count;
}

BENCHMARK(BM_ReadAndRecalculate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildFromRecords)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadOneHugeRecord)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // Reports each run, then the ratios of the large contract (with its
    // tables) against zlib alone on the same bytes, both measured in this
    // run by thread CPU time.
    bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (const double r = reporter.Counter("BM_ReadAndRecalculate/1", "read_vs_inflate"); r > 0)
        std::printf(
            "read and recalculate / inflate ratio: %.2f (read %.1f ms, inflate %.1f ms, target 1.2 or "
            "less)\n",
            r, reporter.Counter("BM_ReadAndRecalculate/1", "read_ms"),
            reporter.Counter("BM_ReadAndRecalculate/1", "inflate_ms"));
    if (const double r = reporter.Counter("BM_Write/1", "write_vs_deflate"); r > 0)
        std::printf("write / deflate ratio: %.2f (write %.1f ms, deflate %.1f ms, target 1.0 or less)\n", r,
                    reporter.Counter("BM_Write/1", "write_ms"), reporter.Counter("BM_Write/1", "deflate_ms"));
    return 0;
}
