#include "model/subcontract/implode.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/implodeencoder.h"

namespace kestrel {
namespace {

using test::Implode;
using test::ImplodeOptions;

std::string AsString(const std::vector<unsigned char>& v)
{
    return std::string(v.begin(), v.end());
}

ExplodeError Unpack(const std::vector<unsigned char>& in, std::vector<unsigned char>& out,
                    size_t cap = 1 << 24)
{
    return Explode(std::span(in), cap, out);
}

TEST(Explode, KnownStreamGivesItsText)
{
    const std::vector<unsigned char> in = {0x00, 0x04, 0x82, 0x24, 0x25, 0x8F, 0x80, 0x7F};
    std::vector<unsigned char> out;
    ASSERT_EQ(Unpack(in, out), ExplodeError::Ok);
    EXPECT_EQ(AsString(out), "AIAIAIAIAIAIA");
}

TEST(Explode, CodeTablesAreComplete)
{
    // A complete prefix code fills the code space exactly; a wrong length
    // anywhere in a table breaks this.
    auto kraft = [](const auto& lengths) {
        double sum = 0;
        for (auto l : lengths)
            sum += 1.0 / double(1u << l);
        return sum;
    };
    EXPECT_DOUBLE_EQ(kraft(implode::LiteralCodeLengths()), 1.0);
    EXPECT_DOUBLE_EQ(kraft(implode::LengthCodeLengths()), 1.0);
    EXPECT_DOUBLE_EQ(kraft(implode::DistanceCodeLengths()), 1.0);
}

// Random inputs of several shapes through every literal mode and dictionary
// size: text-like data with repeats, pure noise, long runs, and data whose
// matches reach far back.
std::vector<unsigned char> RandomInput(std::mt19937& rng, int shape, size_t size)
{
    std::vector<unsigned char> v(size);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string words[] = {"Acme Paving ", "00123 ", "GRADING", "\r\n", "Asphalt", "; note", "\t"};
    switch (shape) {
    case 0:
        for (auto& b : v)
            b = static_cast<unsigned char>(byte(rng));
        break;
    case 1: {
        v.clear();
        std::uniform_int_distribution<size_t> pick(0, std::size(words) - 1);
        while (v.size() < size) {
            const auto& w = words[pick(rng)];
            v.insert(v.end(), w.begin(), w.end());
        }
        v.resize(size);
        break;
    }
    case 2:
        for (size_t i = 0; i < size; ++i)
            v[i] = static_cast<unsigned char>((i / 700) % 3);
        break;
    default: {
        // A random block repeated after a gap of 1000 to 4000 bytes.
        std::uniform_int_distribution<size_t> gap(1000, 4000);
        for (auto& b : v)
            b = static_cast<unsigned char>(byte(rng));
        const size_t g = gap(rng);
        for (size_t i = g; i < size; ++i)
            if ((i / 37) % 2)
                v[i] = v[i - g];
        break;
    }
    }
    return v;
}

TEST(Explode, RoundTripsEveryModeAndDictionarySize)
{
    std::mt19937 rng(12345);
    std::uniform_int_distribution<size_t> size(0, 6000);
    int cases = 0;
    for (int coded = 0; coded < 2; ++coded) {
        for (int dictBits = 4; dictBits <= 6; ++dictBits) {
            for (int shape = 0; shape < 4; ++shape) {
                for (int n = 0; n < 4; ++n) {
                    const auto data = RandomInput(rng, shape, n == 0 ? shape : size(rng));
                    ImplodeOptions o;
                    o.codedLiterals = coded != 0;
                    o.dictBits = dictBits;
                    const auto packed = Implode(data, o);
                    std::vector<unsigned char> out;
                    ASSERT_EQ(Unpack(packed, out), ExplodeError::Ok)
                        << "coded " << coded << " dict " << dictBits << " shape " << shape;
                    ASSERT_EQ(out, data) << "coded " << coded << " dict " << dictBits << " shape " << shape;
                    ++cases;
                }
            }
        }
    }
    EXPECT_EQ(cases, 96);
}

TEST(Explode, EveryMatchLengthAndTheLongestDistances)
{
    for (int dictBits = 4; dictBits <= 6; ++dictBits) {
        const size_t window = size_t(64) << dictBits;
        for (size_t len = 2; len <= 518; ++len) {
            // A random-looking prefix of exactly the window size, then a
            // repeat of its first len bytes: the match reaches back as far as
            // the dictionary allows (two-byte matches as far as 256 bytes).
            std::vector<unsigned char> data;
            const size_t back = len == 2 ? 256 : window;
            for (size_t i = 0; i < back; ++i)
                data.push_back(static_cast<unsigned char>((i * 2654435761u) >> 13));
            data.insert(data.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(len));
            ImplodeOptions o;
            o.dictBits = dictBits;
            o.codedLiterals = len % 2 != 0;
            std::vector<unsigned char> out;
            const auto packed = Implode(data, o);
            ASSERT_EQ(Unpack(packed, out), ExplodeError::Ok) << len;
            if (len >= 8) {
                // The repeat went out as a match, not as literals.
                ImplodeOptions literalsOnly = o;
                literalsOnly.useMatches = false;
                EXPECT_LT(packed.size() + len / 2, Implode(data, literalsOnly).size()) << len;
            }
            ASSERT_EQ(out, data) << len;
        }
    }
}

TEST(Explode, EveryTruncationIsAnError)
{
    std::mt19937 rng(7);
    for (int coded = 0; coded < 2; ++coded) {
        ImplodeOptions o;
        o.codedLiterals = coded != 0;
        o.dictBits = 5;
        const auto data = RandomInput(rng, 1, 900);
        const auto packed = Implode(data, o);
        for (size_t cut = 0; cut < packed.size(); ++cut) {
            std::vector<unsigned char> in(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(cut));
            std::vector<unsigned char> out;
            const auto e = Unpack(in, out);
            EXPECT_EQ(e, ExplodeError::Truncated) << "cut at " << cut;
            EXPECT_LE(out.size(), data.size());
        }
    }
}

TEST(Explode, StreamWithoutEndCodeIsAnError)
{
    ImplodeOptions o;
    o.writeEndCode = false;
    std::vector<unsigned char> out;
    EXPECT_EQ(Unpack(test::ImplodeText("ABCABCABC", o), out), ExplodeError::Truncated);
    EXPECT_EQ(AsString(out), "ABCABCABC");
}

TEST(Explode, BadHeadersAreRejected)
{
    std::vector<unsigned char> out;
    EXPECT_EQ(Unpack({0x02, 0x04, 0xFF}, out), ExplodeError::BadHeader);
    EXPECT_EQ(Unpack({0x00, 0x03, 0xFF}, out), ExplodeError::BadHeader);
    EXPECT_EQ(Unpack({0x00, 0x07, 0xFF}, out), ExplodeError::BadHeader);
    EXPECT_EQ(Unpack({0x01}, out), ExplodeError::Truncated);
    EXPECT_EQ(Unpack({}, out), ExplodeError::Truncated);
}

TEST(Explode, MatchBeforeTheStartIsAnError)
{
    // First token a match: nothing has been produced to copy from.
    std::vector<unsigned char> out;
    EXPECT_EQ(Unpack({0x00, 0x04, 0x07, 0x00, 0x00}, out), ExplodeError::BadDistance);
}

TEST(Explode, OutputCapStopsLongStreams)
{
    const std::string text(5000, 'x');
    const auto packed = test::ImplodeText(text);
    std::vector<unsigned char> out;
    EXPECT_EQ(Explode(std::span(packed), 4999, out), ExplodeError::TooLarge);
    EXPECT_LE(out.size(), 4999u);
    EXPECT_EQ(Explode(std::span(packed), 5000, out), ExplodeError::Ok);
    EXPECT_EQ(out.size(), 5000u);
    // The cap holds for literals too.
    ImplodeOptions o;
    o.useMatches = false;
    const auto literals = test::ImplodeText("abcdef", o);
    EXPECT_EQ(Explode(std::span(literals), 5, out), ExplodeError::TooLarge);
}

TEST(Explode, DamagedStreamsEndWithoutFault)
{
    // Flipping bits of a valid stream gives either an error or some output;
    // the decoder must always stop, within the cap.
    std::mt19937 rng(99);
    ImplodeOptions o;
    o.codedLiterals = true;
    const auto packed = Implode(RandomInput(rng, 1, 2000), o);
    int errors = 0;
    for (size_t i = 2; i < packed.size(); ++i) {
        auto damaged = packed;
        damaged[i] ^= static_cast<unsigned char>(1u << (i % 8));
        std::vector<unsigned char> out;
        if (Explode(std::span(damaged), 10000, out) != ExplodeError::Ok)
            ++errors;
        EXPECT_LE(out.size(), 10000u);
    }
    EXPECT_GT(errors, 0);
}

} // namespace
} // namespace kestrel
