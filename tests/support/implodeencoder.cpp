#include "support/implodeencoder.h"

#include <algorithm>
#include <array>
#include <string>

#include "model/subcontract/implode.h"

namespace kestrel::test {

namespace {

struct Code {
    uint32_t bits = 0;
    int length = 0;
};

template <size_t N> std::array<Code, N> CanonicalCodes(const std::array<uint8_t, N>& lengths)
{
    std::array<Code, N> codes{};
    uint32_t code = 0;
    for (int len = 1; len < 16; ++len) {
        for (size_t s = 0; s < N; ++s) {
            if (lengths[s] == len)
                codes[s] = Code{code++, len};
        }
        code <<= 1;
    }
    return codes;
}

class BitWriter {
public:
    void Put(uint32_t value, int n)
    {
        for (int i = 0; i < n; ++i)
            PutBit((value >> i) & 1u);
    }
    // Codes go out inverted, most significant bit first.
    void PutCode(const Code& c)
    {
        for (int i = c.length - 1; i >= 0; --i)
            PutBit(1u - ((c.bits >> i) & 1u));
    }
    std::vector<unsigned char> Finish()
    {
        if (m_used)
            m_out.push_back(m_byte);
        m_byte = 0;
        m_used = 0;
        return m_out;
    }
    std::vector<unsigned char> m_out;

private:
    void PutBit(uint32_t b)
    {
        m_byte = static_cast<unsigned char>(m_byte | (b << m_used));
        if (++m_used == 8) {
            m_out.push_back(m_byte);
            m_byte = 0;
            m_used = 0;
        }
    }
    unsigned char m_byte = 0;
    int m_used = 0;
};

size_t Pair(std::span<const unsigned char> data, size_t i)
{
    return data[i] | (size_t(data[i + 1]) << 8);
}

int LengthSymbol(size_t length)
{
    for (int s = 0; s < implode::kLengthSymbols; ++s) {
        const size_t base = implode::kLengthBase[size_t(s)];
        if (length >= base && length < base + (size_t(1) << implode::kLengthExtra[size_t(s)]))
            return s;
    }
    return -1;
}

} // namespace

std::vector<unsigned char> Implode(std::span<const unsigned char> data, const ImplodeOptions& options)
{
    static const auto literalCodes = CanonicalCodes(implode::LiteralCodeLengths());
    static const auto lengthCodes = CanonicalCodes(implode::LengthCodeLengths());
    static const auto distanceCodes = CanonicalCodes(implode::DistanceCodeLengths());

    BitWriter w;
    w.m_out = {static_cast<unsigned char>(options.codedLiterals ? 1 : 0),
               static_cast<unsigned char>(options.dictBits)};
    const size_t window = size_t(64) << options.dictBits;
    const size_t maxLength = implode::kEndLength - 1;

    std::vector<int64_t> head(65536, -1), prev(data.size(), -1);
    auto insertUpTo = [&, next = size_t(0)](size_t end) mutable {
        for (; next < end && next + 1 < data.size(); ++next) {
            prev[next] = head[Pair(data, next)];
            head[Pair(data, next)] = static_cast<int64_t>(next);
        }
    };
    size_t i = 0;
    while (i < data.size()) {
        insertUpTo(i);
        size_t bestLen = 0, bestDist = 0;
        if (options.useMatches && i + 1 < data.size()) {
            // Earlier positions that start with the same two bytes, nearest first.
            const size_t from = i > window ? i - window : 0;
            for (int64_t j = head[Pair(data, i)]; j >= 0 && size_t(j) >= from; j = prev[size_t(j)]) {
                const size_t at = size_t(j);
                size_t len = 0;
                while (len < maxLength && i + len < data.size() && data[at + len] == data[i + len])
                    ++len;
                const size_t dist = i - at;
                if (len == 2 && dist > 256)
                    continue;
                if (len >= 2 && len > bestLen) {
                    bestLen = len;
                    bestDist = dist;
                    if (len == maxLength)
                        break;
                }
            }
        }
        if (bestLen >= 2) {
            w.Put(1, 1);
            const int s = LengthSymbol(bestLen);
            w.PutCode(lengthCodes[size_t(s)]);
            w.Put(static_cast<uint32_t>(bestLen - implode::kLengthBase[size_t(s)]),
                  implode::kLengthExtra[size_t(s)]);
            const int lowBits = bestLen == 2 ? 2 : options.dictBits;
            const size_t d = bestDist - 1;
            w.PutCode(distanceCodes[d >> lowBits]);
            w.Put(static_cast<uint32_t>(d & ((size_t(1) << lowBits) - 1)), lowBits);
            i += bestLen;
        } else {
            w.Put(0, 1);
            if (options.codedLiterals)
                w.PutCode(literalCodes[data[i]]);
            else
                w.Put(data[i], 8);
            ++i;
        }
    }
    if (options.writeEndCode) {
        w.Put(1, 1);
        w.PutCode(lengthCodes[15]);
        w.Put(255, 8);
    }
    return w.Finish();
}

std::vector<unsigned char> ImplodeText(const std::string& text, const ImplodeOptions& options)
{
    return Implode(std::span(reinterpret_cast<const unsigned char*>(text.data()), text.size()), options);
}

} // namespace kestrel::test
