#include "calc/numbers.h"

#include <cmath>
#include <cstring>

namespace kestrel {

namespace {
constexpr uint64_t kBlankBits = 0x1234567812345678ULL;

// Every extension is rounded, so the powers of ten of the usual decimal
// counts are taken from a table filled by std::pow itself (the same values,
// without a call per item).
constexpr int kPowRange = 32;
struct PowersOfTen {
    double v[2 * kPowRange + 1];
    PowersOfTen()
    {
        for (int d = -kPowRange; d <= kPowRange; ++d)
            v[d + kPowRange] = std::pow(10.0, d);
    }
};

double PowerOfTen(int d)
{
    static const PowersOfTen table;
    return (d >= -kPowRange && d <= kPowRange) ? table.v[d + kPowRange] : std::pow(10.0, d);
}
} // namespace

bool IsBlankValue(double x)
{
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits == kBlankBits;
}

void SetBlankValue(double& x)
{
    std::memcpy(&x, &kBlankBits, sizeof x);
}

double BlankValue()
{
    double x;
    SetBlankValue(x);
    return x;
}

double RoundValue(double x, int d)
{
    if (IsBlankValue(x))
        return x;
    // Multiplying by 10^-d (not dividing by 10^d) keeps the last bit of the
    // stored extensions the same as in files written by earlier versions.
    const double r = std::floor(std::fabs(x) * PowerOfTen(d) + 0.5001) * PowerOfTen(-d);
    return x < 0 ? -r : r;
}

bool FlagTest(uint16_t w, int n)
{
    if (n < 0 || n > 15)
        return false;
    return (w >> n) & 1u;
}

void FlagSet(uint16_t& w, int n, int mode)
{
    if (n == -1) {
        w = 0xFFFF;
        return;
    }
    if (n < 0 || n > 15)
        return;
    const uint16_t bit = static_cast<uint16_t>(1u << n);
    if (mode == 0)
        w = static_cast<uint16_t>(w & ~bit);
    else if (mode == 2)
        w = static_cast<uint16_t>(w ^ bit);
    else
        w = static_cast<uint16_t>(w | bit);
}

} // namespace kestrel
