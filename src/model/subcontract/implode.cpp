#include "model/subcontract/implode.h"

#include <algorithm>

namespace kestrel {

namespace implode {

const std::array<uint16_t, kLengthSymbols> kLengthBase = {3,  2,  4,  5,  6,  7,  8,   9,
                                                          10, 12, 16, 24, 40, 72, 136, 264};
const std::array<uint8_t, kLengthSymbols> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};

namespace {

// The code lengths are kept run-length coded as the format's documentation
// lists them: each byte is a length (low four bits) and a repeat count less
// one (high four bits).
constexpr unsigned char kLiteralRuns[] = {
    11, 124, 8,  7,  28, 7,  188, 13,  76,  4,   10,  8,   12, 10, 12, 10, 8,  23, 8,  9,  7,  6,  7,  8,  7,
    6,  55,  8,  23, 24, 12, 11,  7,   9,   11,  12,  6,   7,  22, 5,  7,  24, 6,  11, 9,  6,  7,  22, 7,  11,
    38, 7,   9,  8,  25, 11, 8,   11,  9,   12,  8,   12,  5,  38, 5,  38, 5,  11, 7,  5,  6,  21, 6,  10, 53,
    8,  7,   24, 10, 27, 44, 253, 253, 253, 252, 252, 252, 13, 12, 45, 12, 45, 12, 61, 12, 45, 44, 173};
constexpr unsigned char kLengthRuns[] = {2, 35, 36, 53, 38, 23};
constexpr unsigned char kDistanceRuns[] = {2, 20, 53, 230, 247, 151, 248};

template <size_t N, size_t R> constexpr std::array<uint8_t, N> ExpandRuns(const unsigned char (&runs)[R])
{
    std::array<uint8_t, N> lengths{};
    size_t at = 0;
    for (unsigned char run : runs)
        for (int k = 0; k <= run >> 4 && at < N; ++k)
            lengths[at++] = static_cast<uint8_t>(run & 15);
    return lengths;
}

constexpr auto kLiteralLengths = ExpandRuns<kLiteralSymbols>(kLiteralRuns);
constexpr auto kLengthLengths = ExpandRuns<kLengthSymbols>(kLengthRuns);
constexpr auto kDistanceLengths = ExpandRuns<kDistanceSymbols>(kDistanceRuns);

} // namespace

const std::array<uint8_t, kLiteralSymbols>& LiteralCodeLengths()
{
    return kLiteralLengths;
}
const std::array<uint8_t, kLengthSymbols>& LengthCodeLengths()
{
    return kLengthLengths;
}
const std::array<uint8_t, kDistanceSymbols>& DistanceCodeLengths()
{
    return kDistanceLengths;
}

} // namespace implode

namespace {

using namespace implode;

// A decoding table indexed by the next `bits` bits of the stream (first bit
// in bit 0); each entry holds the symbol (upper bits) and its code length
// (low four bits). The codes are complete, so every index has an entry.
template <int Bits> struct DecodeTable {
    static constexpr uint32_t kMask = (1u << Bits) - 1;
    std::array<uint16_t, size_t(1) << Bits> entries{};

    template <size_t N> explicit DecodeTable(const std::array<uint8_t, N>& lengths)
    {
        int count[16] = {};
        for (uint8_t l : lengths)
            ++count[l];
        count[0] = 0;
        uint32_t next[16] = {};
        uint32_t code = 0;
        for (int l = 1; l < 16; ++l) {
            code = (code + static_cast<uint32_t>(count[l - 1])) << 1;
            next[l] = code;
        }
        for (size_t s = 0; s < N; ++s) {
            const int l = lengths[s];
            const uint32_t c = next[l]++;
            // The stream carries the code inverted, its first bit first.
            uint32_t v = 0;
            for (int i = 0; i < l; ++i)
                v |= (1u - ((c >> (l - 1 - i)) & 1u)) << i;
            for (uint32_t idx = v; idx <= kMask; idx += 1u << l)
                entries[idx] = static_cast<uint16_t>((s << 4) | static_cast<size_t>(l));
        }
    }
};

const DecodeTable<13>& LiteralTable()
{
    static const DecodeTable<13> table(kLiteralLengths);
    return table;
}
const DecodeTable<7>& LengthTable()
{
    static const DecodeTable<7> table(kLengthLengths);
    return table;
}
const DecodeTable<8>& DistanceTable()
{
    static const DecodeTable<8> table(kDistanceLengths);
    return table;
}

// Bits are taken from each byte starting at its lowest bit. Reading past
// the last byte never yields bits: every read checks what is left.
class BitReader {
public:
    BitReader(const unsigned char* p, const unsigned char* end) : m_p(p), m_end(end) {}

    bool Bits(int n, uint32_t& value)
    {
        if (m_count < n)
            Refill();
        if (m_count < n)
            return false;
        value = static_cast<uint32_t>(m_buf & ((uint64_t(1) << n) - 1));
        m_buf >>= n;
        m_count -= n;
        return true;
    }

    template <int B> bool Decode(const DecodeTable<B>& table, int& symbol)
    {
        if (m_count < B)
            Refill();
        const uint16_t e = table.entries[m_buf & DecodeTable<B>::kMask];
        const int len = e & 15;
        // Near the end the index is padded with zero bits; the entry is still
        // the right one as long as its code lies within the bits present.
        if (len > m_count)
            return false;
        symbol = e >> 4;
        m_buf >>= len;
        m_count -= len;
        return true;
    }

private:
    void Refill()
    {
        while (m_count <= 56 && m_p < m_end) {
            m_buf |= uint64_t(*m_p++) << m_count;
            m_count += 8;
        }
    }

    const unsigned char* m_p;
    const unsigned char* m_end;
    uint64_t m_buf = 0;
    int m_count = 0;
};

} // namespace

const char* ExplodeErrorText(ExplodeError error)
{
    switch (error) {
    case ExplodeError::Ok: return "no error";
    case ExplodeError::BadHeader: return "the data are not in the compressed list format";
    case ExplodeError::Truncated: return "the compressed data are cut short";
    case ExplodeError::BadDistance: return "the compressed data are damaged";
    case ExplodeError::TooLarge: return "the compressed data expand beyond the size limit";
    }
    return "unknown error";
}

ExplodeError Explode(std::span<const unsigned char> in, size_t maxOutput, std::vector<unsigned char>& out)
{
    out.clear();
    if (in.size() < 2)
        return ExplodeError::Truncated;
    const int codedLiterals = in[0];
    const int dictBits = in[1];
    if (codedLiterals > 1 || dictBits < 4 || dictBits > 6)
        return ExplodeError::BadHeader;
    out.reserve(std::min(maxOutput, in.size() * 4));

    const auto& literals = LiteralTable();
    const auto& lengths = LengthTable();
    const auto& distances = DistanceTable();
    BitReader bits(in.data() + 2, in.data() + in.size());
    for (;;) {
        uint32_t flag;
        if (!bits.Bits(1, flag))
            return ExplodeError::Truncated;
        if (!flag) {
            int literal;
            if (codedLiterals) {
                if (!bits.Decode(literals, literal))
                    return ExplodeError::Truncated;
            } else {
                uint32_t v;
                if (!bits.Bits(8, v))
                    return ExplodeError::Truncated;
                literal = static_cast<int>(v);
            }
            if (out.size() >= maxOutput)
                return ExplodeError::TooLarge;
            out.push_back(static_cast<unsigned char>(literal));
            continue;
        }
        int symbol;
        uint32_t extra;
        if (!bits.Decode(lengths, symbol) || !bits.Bits(kLengthExtra[size_t(symbol)], extra))
            return ExplodeError::Truncated;
        const size_t length = kLengthBase[size_t(symbol)] + extra;
        if (length == kEndLength)
            return ExplodeError::Ok;
        // Two-byte matches reach back at most 256 bytes and carry two low
        // distance bits; longer ones carry as many as the dictionary size says.
        const int lowBits = length == 2 ? 2 : dictBits;
        uint32_t low;
        if (!bits.Decode(distances, symbol) || !bits.Bits(lowBits, low))
            return ExplodeError::Truncated;
        const size_t distance = (size_t(symbol) << lowBits) + low + 1;
        if (distance > out.size())
            return ExplodeError::BadDistance;
        if (length > maxOutput - out.size())
            return ExplodeError::TooLarge;
        // Byte by byte: a match may overlap the bytes it produces.
        const size_t at = out.size();
        out.resize(at + length);
        unsigned char* dst = out.data() + at;
        const unsigned char* src = dst - distance;
        for (size_t k = 0; k < length; ++k)
            dst[k] = src[k];
    }
}

} // namespace kestrel
