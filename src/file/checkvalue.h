#pragma once
// The steps of the check value, a reflected 32-bit CRC (polynomial
// 0xA0000001, initial value 0, no final inversion). Kept inline: the check
// value runs over every cell and sub-item of a contract, a few bytes at a
// time, on every save.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/contract/text.h"

namespace kestrel {

// Tables of the byte step: [0] takes the eight bit steps of one byte at
// once; [k] those of a byte followed by k zero bytes, so that eight bytes
// can be taken in one step.
extern const std::array<std::array<uint32_t, 256>, 8> kCheckValueTables;

inline uint32_t CheckValueAddByte(uint32_t crc, unsigned char b)
{
    return kCheckValueTables[0][(crc ^ b) & 0xFFu] ^ (crc >> 8);
}

// Adds eight bytes, the little-endian bytes of value.
inline uint32_t CheckValueAdd8(uint32_t crc, uint64_t value)
{
    const auto& t = kCheckValueTables;
    const uint32_t lo = crc ^ static_cast<uint32_t>(value);
    const auto hi = static_cast<uint32_t>(value >> 32);
    return t[7][lo & 0xFFu] ^ t[6][(lo >> 8) & 0xFFu] ^ t[5][(lo >> 16) & 0xFFu] ^ t[4][lo >> 24] ^
           t[3][hi & 0xFFu] ^ t[2][(hi >> 8) & 0xFFu] ^ t[1][(hi >> 16) & 0xFFu] ^ t[0][hi >> 24];
}

// Adds bytes to crc.
inline uint32_t CheckValueAdd(uint32_t crc, const void* data, size_t size)
{
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i)
        crc = CheckValueAddByte(crc, p[i]);
    return crc;
}

// Adds a number's low `bytes` bytes in little-endian order.
inline uint32_t CheckValueAddNumber(uint32_t crc, uint64_t value, int bytes)
{
    if (bytes == 8)
        return CheckValueAdd8(crc, value);
    for (int i = 0; i < bytes && i < 8; ++i)
        crc = CheckValueAddByte(crc, static_cast<unsigned char>(value >> (8 * i)));
    return crc;
}

// Adds a text up to its first zero byte; a null text adds nothing.
inline uint32_t CheckValueAddText(uint32_t crc, const Text& text)
{
    if (!text)
        return crc;
    // The text counts up to its first zero byte, as a C string would.
    std::string_view s = text.View();
    s = s.substr(0, s.find('\0'));
    return CheckValueAdd(crc, s.data(), s.size());
}

} // namespace kestrel
