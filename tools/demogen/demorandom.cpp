#include "demogen/demorandom.h"

namespace kestrel::demo {

uint64_t DemoRandom::Next()
{
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double DemoRandom::Uniform()
{
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

int DemoRandom::Below(int n)
{
    if (n <= 0)
        return 0;
    return static_cast<int>(Next() % static_cast<uint64_t>(n));
}

} // namespace kestrel::demo
