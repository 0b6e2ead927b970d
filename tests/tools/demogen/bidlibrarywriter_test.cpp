// Bid libraries as the generator writes them, walked by the file layout:
// signature, header, then directory records each followed by its data.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "demogen/bidlibrarywriter.h"

using namespace kestrel::demo;

namespace {

uint32_t U32(const std::vector<unsigned char>& b, size_t at)
{
    return static_cast<uint32_t>(b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16)) |
           (static_cast<uint32_t>(b.at(at + 3)) << 24);
}

uint16_t U16(const std::vector<unsigned char>& b, size_t at)
{
    return static_cast<uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

std::string Str(const std::vector<unsigned char>& b, size_t& at)
{
    std::string s;
    while (b.at(at) != 0)
        s += static_cast<char>(b[at++]);
    ++at;
    return s;
}

struct Walked {
    std::string name, second;
    uint32_t time;
    std::vector<unsigned char> content;
};

std::vector<Walked> Walk(const std::vector<unsigned char>& b, std::string& description, int16_t version)
{
    EXPECT_EQ(std::memcmp(b.data(), "This is an KVS library file.\n\x1A", 30), 0);
    const int count = static_cast<int16_t>(U16(b, 38));
    EXPECT_EQ(static_cast<int16_t>(U16(b, 40)), version);
    size_t at = 42;
    description = Str(b, at);
    EXPECT_EQ(U32(b, 30), at);
    std::vector<Walked> out;
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(std::memcmp(&b.at(at), "GNU!", 4), 0);
        const uint32_t data = U32(b, at + 4);
        const uint32_t size = U32(b, at + 12);
        Walked w;
        w.time = U32(b, at + 22);
        size_t p = at + 28;
        w.name = Str(b, p);
        w.second = Str(b, p);
        EXPECT_EQ(data, p) << "data block follows the record";
        EXPECT_EQ(std::memcmp(&b.at(data), "GNU!", 4), 0);
        w.content.assign(b.begin() + data + 4, b.begin() + data + 4 + size);
        out.push_back(w);
        at = data + 4 + size;
    }
    EXPECT_EQ(at, b.size());
    return out;
}

TEST(BidLibraryWriter, EntriesChainFromRecordToDataToNextRecord)
{
    CBidLibraryWriter w("Letting of the week", 3);
    w.Add({"ONE.kvs", "first", 100, {1, 2, 3}});
    w.Add({"EMPTY.TXT", "", 200, {}});
    w.Add({"TWO.kvs", "second", 300, std::vector<unsigned char>(5000, 0x47)});
    std::string description;
    const auto entries = Walk(w.Bytes(), description, 3);
    EXPECT_EQ(description, "Letting of the week");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "ONE.kvs");
    EXPECT_EQ(entries[0].second, "first");
    EXPECT_EQ(entries[0].content, (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(entries[1].name, "EMPTY.TXT");
    EXPECT_TRUE(entries[1].content.empty());
    EXPECT_EQ(entries[2].time, 300u);
    EXPECT_EQ(entries[2].content.size(), 5000u);
}

TEST(BidLibraryWriter, OverlongTextsAreCutToTheirLimits)
{
    CBidLibraryWriter w(std::string(3000, 'd'), 1);
    w.Add({std::string(300, 'n'), std::string(400, 's'), 0, {9}});
    std::string description;
    const auto entries = Walk(w.Bytes(), description, 1);
    EXPECT_EQ(description.size(), 2047u);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name.size(), 255u);
    EXPECT_EQ(entries[0].second.size(), 255u);
    EXPECT_EQ(entries[0].content, (std::vector<unsigned char>{9}));
}

} // namespace
