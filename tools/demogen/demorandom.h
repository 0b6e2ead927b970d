#pragma once
// A small pseudo-random generator with a fixed algorithm (SplitMix64), so
// that generated files are the same on every platform and library; the
// standard distributions are not specified bit for bit.

#include <cstdint>

namespace kestrel::demo {

class DemoRandom {
public:
    explicit DemoRandom(uint64_t seed) : m_state(seed) {}

    uint64_t Next();
    // In [0, 1).
    double Uniform();
    // In [0, n); 0 when n is not positive.
    int Below(int n);

private:
    uint64_t m_state;
};

} // namespace kestrel::demo
