#pragma once
// Decompression of the PKWARE Data Compression Library "implode" format,
// the format of the compressed (".BIN") pick-list files.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kestrel {

enum class ExplodeError : int {
    Ok = 0,
    BadHeader,   // literal mode not 0/1 or dictionary bits not 4..6
    Truncated,   // the stream ended before its end code
    BadDistance, // a match reaches back before the start of the output
    TooLarge,    // the output would pass the caller's cap
};

// Message text of an error, e.g. "the compressed data are cut short".
const char* ExplodeErrorText(ExplodeError error);

// Decompresses a whole stream (two header bytes, then the coded data up to
// and including the end code) into out, which is replaced. Bytes after the
// end code are ignored. Never produces more than maxOutput bytes: a stream
// that would is rejected with TooLarge. On error, out holds what was decoded
// before the fault.
ExplodeError Explode(std::span<const unsigned char> in, size_t maxOutput, std::vector<unsigned char>& out);

// The fixed code tables of the format, as code lengths per symbol; the codes
// themselves are canonical (shorter codes first, then by symbol) and are
// sent with every bit inverted, first bit first.
namespace implode {
constexpr int kLiteralSymbols = 256;
constexpr int kLengthSymbols = 16;
constexpr int kDistanceSymbols = 64;
constexpr int kMaxCodeBits = 13;
// Base match length and extra bits of each length symbol; the length
// 519 (symbol 15 with all extra bits set) ends the stream.
extern const std::array<uint16_t, kLengthSymbols> kLengthBase;
extern const std::array<uint8_t, kLengthSymbols> kLengthExtra;
constexpr int kEndLength = 519;
const std::array<uint8_t, kLiteralSymbols>& LiteralCodeLengths();
const std::array<uint8_t, kLengthSymbols>& LengthCodeLengths();
const std::array<uint8_t, kDistanceSymbols>& DistanceCodeLengths();
} // namespace implode

} // namespace kestrel
