#pragma once
// Builds bid library files for tests from name/content pairs, laid out the
// way the reader expects: header, then each directory record followed by its
// data block.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::test {

struct KvlEntry {
    std::string name;
    std::string content;
    std::string text = "proposal";
};

inline void PutU32(std::vector<unsigned char>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

inline void PutU16(std::vector<unsigned char>& out, uint16_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

inline void PutString(std::vector<unsigned char>& out, const std::string& s)
{
    out.insert(out.end(), s.begin(), s.end());
    out.push_back(0);
}

inline std::vector<unsigned char> KvlSignature()
{
    const std::string sig = "This is an KVS library file.\n";
    std::vector<unsigned char> out(sig.begin(), sig.end());
    out.push_back(0x1A);
    return out;
}

// Without a count, the header gives the number of entries passed.
inline std::vector<unsigned char> BuildKvl(const std::vector<KvlEntry>& entries,
                                           std::optional<int16_t> count = std::nullopt,
                                           const std::string& description = "Test library")
{
    std::vector<unsigned char> out = KvlSignature();
    const uint32_t first = static_cast<uint32_t>(out.size() + 12 + description.size() + 1);
    PutU32(out, first);
    PutU32(out, 0);
    PutU16(out, static_cast<uint16_t>(count ? *count : static_cast<int16_t>(entries.size())));
    PutU16(out, 3);
    PutString(out, description);
    for (const auto& e : entries) {
        const uint32_t data = static_cast<uint32_t>(out.size() + 28 + e.name.size() + 1 + e.text.size() + 1);
        out.insert(out.end(), {'G', 'N', 'U', '!'});
        PutU32(out, data);
        PutU32(out, 0);
        PutU32(out, static_cast<uint32_t>(e.content.size()));
        PutU32(out, 0);
        PutU16(out, 0);
        PutU32(out, 1700000000u);
        PutU16(out, 0);
        PutString(out, e.name);
        PutString(out, e.text);
        out.insert(out.end(), {'G', 'N', 'U', '!'});
        out.insert(out.end(), e.content.begin(), e.content.end());
    }
    return out;
}

} // namespace kestrel::test
