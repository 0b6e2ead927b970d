#pragma once
// Builds contract file streams byte by byte for tests, independently of the
// program's own writer, so that tests can state the exact expected bytes.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace kestrel::test {

class StreamBuilder {
public:
    std::vector<unsigned char> bytes;

    StreamBuilder& Magic(const char* m = "SDT!")
    {
        for (const char* p = m; *p; ++p)
            bytes.push_back(static_cast<unsigned char>(*p));
        return *this;
    }
    StreamBuilder& Raw(std::initializer_list<int> b)
    {
        for (int x : b)
            bytes.push_back(static_cast<unsigned char>(x));
        return *this;
    }
    StreamBuilder& Head(int tag, size_t len)
    {
        return Raw({tag & 0xFF, (tag >> 8) & 0xFF, static_cast<int>(len & 0xFF),
                    static_cast<int>((len >> 8) & 0xFF)});
    }
    StreamBuilder& Start(int tag) { return Head(tag, 0); }
    StreamBuilder& U16(int tag, uint32_t v)
    {
        Head(tag, 2);
        return Raw({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF)});
    }
    StreamBuilder& U32(int tag, uint32_t v)
    {
        Head(tag, 4);
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
        return *this;
    }
    StreamBuilder& F64(int tag, double d)
    {
        uint64_t v;
        std::memcpy(&v, &d, 8);
        Head(tag, 8);
        for (int i = 0; i < 8; ++i)
            bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
        return *this;
    }
    StreamBuilder& Str(int tag, const std::string& s)
    {
        Head(tag, s.size());
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    // A record with arbitrary value bytes.
    StreamBuilder& Value(int tag, std::initializer_list<int> v)
    {
        Head(tag, v.size());
        return Raw(v);
    }
    StreamBuilder& End() { return Head(0xFF00, 0); }

    // Everything a contract built with default values writes before its
    // tables: header, no counties, sites or notes, print options, formats
    // and no items.
    StreamBuilder& EmptyContractHead()
    {
        Magic();
        U16(0x0100, 410).Start(0x0200);
        U16(0x0201, 0).U16(0x0202, 0).U16(0x0203, 0).F64(0x0204, 0);
        U32(0x0206, 0).U32(0x0207, 0).U32(0x0208, 0);
        for (int t = 0x0209; t <= 0x021B; ++t)
            Str(t, "");
        Str(0x021D, "").Str(0x021E, "");
        Str(0x0226, "").Str(0x0227, "").Str(0x0228, "");
        F64(0x022A, 0).Str(0x022B, "").Str(0x022C, "").U16(0x022D, 0xFFFF);
        U16(0x021F, 0).U16(0x0220, 0).U16(0x0222, 0);
        Start(0x0800).U16(0x0801, 0).U16(0x0802, 0).U16(0x0803, 0).U16(0x0804, 0);
        Start(0x0900).U16(0x0901, 0).U16(0x0902, 0).U16(0x0903, 0).U16(0x0904, 0);
        return U16(0x0221, 0);
    }
    // What an empty contract writes after its tables.
    StreamBuilder& EmptyContractTail() { return U16(0x0223, 17).U16(0x0224, 0).U16(0x0225, 0).End(); }
};

} // namespace kestrel::test
