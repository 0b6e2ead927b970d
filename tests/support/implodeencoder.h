#pragma once
// A small compressor for the implode format, for tests only: it turns any
// bytes (for example a pick list) into a stream the program's decoder reads.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kestrel::test {

struct ImplodeOptions {
    bool codedLiterals = false;
    int dictBits = 6;         // 4, 5 or 6: a dictionary of 1024, 2048 or 4096 bytes
    bool useMatches = true;   // false: literals only
    bool writeEndCode = true; // false: a stream that stops without its end code
};

std::vector<unsigned char> Implode(std::span<const unsigned char> data, const ImplodeOptions& options = {});
std::vector<unsigned char> ImplodeText(const std::string& text, const ImplodeOptions& options = {});

} // namespace kestrel::test
