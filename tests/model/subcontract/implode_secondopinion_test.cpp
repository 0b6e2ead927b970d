// The test encoder's streams decoded by an independent decoder as well, so
// that the length and distance code tables shared by our encoder and
// decoder are checked against someone else's reading of the format.

#include <gtest/gtest.h>

#ifdef KESTREL_HAVE_DYNAMITE

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "support/implodeencoder.h"

extern "C" {
#include <libdynamite.h>
}

namespace kestrel {
namespace {

struct Streams {
    const std::vector<unsigned char>* in = nullptr;
    size_t at = 0;
    std::vector<unsigned char> out;
};

size_t ReadIn(void* buffer, size_t size, void* cookie)
{
    auto* s = static_cast<Streams*>(cookie);
    const size_t n = std::min(size, s->in->size() - s->at);
    std::memcpy(buffer, s->in->data() + s->at, n);
    s->at += n;
    return n;
}

size_t WriteOut(void* buffer, size_t size, void* cookie)
{
    auto* s = static_cast<Streams*>(cookie);
    // A valid stream never needs more; stop a runaway decoder.
    if (s->out.size() + size > (1u << 22))
        return 0;
    const auto* p = static_cast<const unsigned char*>(buffer);
    s->out.insert(s->out.end(), p, p + size);
    return size;
}

std::vector<unsigned char> SecondOpinion(const std::vector<unsigned char>& packed, bool& ok)
{
    Streams s;
    s.in = &packed;
    ok = dynamite_explode(ReadIn, WriteOut, &s) == DYNAMITE_SUCCESS;
    return s.out;
}

TEST(ExplodeSecondOpinion, EveryLengthAndDictionarySize)
{
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int dictBits = 4; dictBits <= 6; ++dictBits) {
        const size_t window = size_t(64) << dictBits;
        for (size_t len = 2; len <= 518; len += (len < 20 ? 1 : 41)) {
            std::vector<unsigned char> data;
            const size_t back = len == 2 ? 256 : window;
            for (size_t i = 0; i < back; ++i)
                data.push_back(static_cast<unsigned char>(byte(rng)));
            data.insert(data.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(len));
            // Matches at every distance too.
            for (size_t d = 3; d < back; d += 37) {
                const size_t from = data.size() - d;
                const std::vector<unsigned char> part(data.begin() + static_cast<std::ptrdiff_t>(from),
                                                      data.begin() + static_cast<std::ptrdiff_t>(from + 3));
                data.insert(data.end(), part.begin(), part.end());
            }
            test::ImplodeOptions o;
            o.dictBits = dictBits;
            bool ok = false;
            const auto out = SecondOpinion(test::Implode(data, o), ok);
            ASSERT_TRUE(ok) << "dict " << dictBits << " length " << len;
            ASSERT_EQ(out, data) << "dict " << dictBits << " length " << len;
        }
    }
}

TEST(ExplodeSecondOpinion, KnownStream)
{
    const std::vector<unsigned char> in = {0x00, 0x04, 0x82, 0x24, 0x25, 0x8F, 0x80, 0x7F};
    bool ok = false;
    const auto out = SecondOpinion(in, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(std::string(out.begin(), out.end()), "AIAIAIAIAIAIA");
}

} // namespace
} // namespace kestrel

#else

TEST(ExplodeSecondOpinion, NeedsLibdynamite)
{
    GTEST_SKIP() << "libdynamite is not installed (Debian package libdynamite-dev, see "
                    "scripts/install-deps.sh): the test encoder's streams are not checked "
                    "against a second decoder";
}

#endif
