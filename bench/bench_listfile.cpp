// Pick-list files: loading a large generated text list (read, merge into
// the lists, sort the largest) and reading its entries by position, as the
// form drop-downs do. Baseline: the same lines held one std::string each,
// in the same run. Counters: heap bytes held per byte of the file.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/subcontract/listfile.h"

namespace {

using namespace kestrel;

constexpr size_t kFileBytes = size_t(32) << 20;

// Short lines of four keys, as vendor and type lists are written.
const std::string& ListPath()
{
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "kestrel-bench-list.txt").string();
        std::string text;
        const char* const keys[] = {"VEND    ", "TYPE    ", "CERT    ", "UNIT    "};
        for (size_t i = 0; text.size() < kFileBytes; ++i) {
            text += keys[i % 4];
            text +=
                std::to_string(10000 + i % 90000) + " " + std::string(i % 7, 'A' + static_cast<char>(i % 26));
            text += '\n';
        }
        if (std::FILE* f = std::fopen(p.c_str(), "wb")) {
            std::fwrite(text.data(), 1, text.size(), f);
            std::fclose(f);
        }
        return p;
    }();
    return path;
}

size_t HeapBytes()
{
    const auto m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

using PlainLists = std::unordered_map<std::string, std::vector<std::string>>;

PlainLists LoadPlain(const ListFile& file)
{
    PlainLists lists;
    file.VisitLines([&](const ListLine& l) { lists[std::string(l.key)].emplace_back(l.entry); });
    return lists;
}

void BM_LoadPlainBaseline(benchmark::State& state)
{
    double perByte = 0;
    for (auto _ : state) {
        const size_t before = HeapBytes();
        auto file = ReadListFile(ListPath());
        PlainLists lists = LoadPlain(file.value());
        file = ListFile::FromText({});
        perByte = double(HeapBytes() - before) / double(kFileBytes);
        auto& vend = lists["VEND"];
        std::sort(vend.begin(), vend.end());
        benchmark::DoNotOptimize(lists);
    }
    state.counters["heap/byte"] = perByte;
}

void BM_LoadCompact(benchmark::State& state)
{
    double perByte = 0;
    for (auto _ : state) {
        const size_t before = HeapBytes();
        CStringArrayMap lists;
        {
            const auto file = ReadListFile(ListPath());
            MergeListLines(lists, file.value());
        }
        perByte = double(HeapBytes() - before) / double(kFileBytes);
        lists.Lookup("VEND")->Sort([](std::string_view a, std::string_view b) { return a < b; });
        benchmark::DoNotOptimize(lists);
    }
    state.counters["heap/byte"] = perByte;
}

std::vector<size_t> Positions(size_t count)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<size_t> pick(0, count - 1);
    std::vector<size_t> p(1 << 16);
    for (size_t& i : p)
        i = pick(rng);
    return p;
}

// The VEND list, loaded once, in either form.
const std::vector<std::string>& PlainVend()
{
    static const PlainLists lists = LoadPlain(ReadListFile(ListPath()).value());
    return lists.at("VEND");
}

const CSAStringArray& CompactVend()
{
    static const CStringArrayMap* lists = [] {
        auto* l = new CStringArrayMap;
        MergeListLines(*l, ReadListFile(ListPath()).value());
        return l;
    }();
    return *lists->Lookup("VEND");
}

template <class List> void ReadByPosition(benchmark::State& state, const List& list)
{
    const std::vector<size_t> positions = Positions(list.size());
    for (auto _ : state) {
        size_t sum = 0;
        for (size_t i : positions)
            sum += list[i].size() + static_cast<unsigned char>(list[i][0]);
        benchmark::DoNotOptimize(sum);
    }
}

template <class List> void ReadInOrder(benchmark::State& state, const List& list)
{
    for (auto _ : state) {
        size_t sum = 0;
        for (const std::string_view e : list)
            sum += e.size() + static_cast<unsigned char>(e[0]);
        benchmark::DoNotOptimize(sum);
    }
}

void BM_ReadByPositionPlainBaseline(benchmark::State& state)
{
    ReadByPosition(state, PlainVend());
}

void BM_ReadByPositionCompact(benchmark::State& state)
{
    ReadByPosition(state, CompactVend());
}

void BM_ReadInOrderPlainBaseline(benchmark::State& state)
{
    ReadInOrder(state, PlainVend());
}

void BM_ReadInOrderCompact(benchmark::State& state)
{
    ReadInOrder(state, CompactVend());
}

} // namespace

BENCHMARK(BM_LoadPlainBaseline)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadCompact)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadByPositionPlainBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadByPositionCompact)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadInOrderPlainBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadInOrderCompact)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
