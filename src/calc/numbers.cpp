#include "calc/numbers.h"

#include <cmath>
#include <cstring>

namespace kestrel {

namespace {
constexpr uint64_t kBlankBits = 0x1234567812345678ULL;

// Every extension is rounded, so the powers of ten of the usual decimal
// counts come from a table: 10^-32 to 10^32 as the program has always used
// them (std::pow of the GNU C library), bit for bit, written out so that
// every system's build rounds alike whatever its own pow gives (some are a
// unit in the last place off, which would change the saved extensions).
constexpr int kPowRange = 32;
// clang-format off
constexpr double kPowersOfTen[2 * kPowRange + 1] = {
    0x1.9f623d5a8a733p-107, 0x1.039d66589688p-103, 0x1.4484bfeebc2ap-100, 0x1.95a5efea6b347p-97,
    0x1.fb0f6be506019p-94, 0x1.3ce9a36f23c1p-90, 0x1.8c240c4aecb14p-87, 0x1.ef2d0f5da7dd9p-84,
    0x1.357c299a88ea7p-80, 0x1.82db34012b251p-77, 0x1.e392010175ee6p-74, 0x1.2e3b40a0e9b4fp-70,
    0x1.79ca10c924223p-67, 0x1.d83c94fb6d2acp-64, 0x1.2725dd1d243acp-60, 0x1.70ef54646d497p-57,
    0x1.cd2b297d889bcp-54, 0x1.203af9ee75616p-50, 0x1.6849b86a12b9bp-47, 0x1.c25c268497682p-44,
    0x1.19799812dea11p-40, 0x1.5fd7fe1796495p-37, 0x1.b7cdfd9d7bdbbp-34, 0x1.12e0be826d695p-30,
    0x1.5798ee2308c3ap-27, 0x1.ad7f29abcaf48p-24, 0x1.0c6f7a0b5ed8dp-20, 0x1.4f8b588e368f1p-17,
    0x1.a36e2eb1c432dp-14, 0x1.0624dd2f1a9fcp-10, 0x1.47ae147ae147bp-7, 0x1.999999999999ap-4,
    0x1p+0, 0x1.4p+3, 0x1.9p+6, 0x1.f4p+9,
    0x1.388p+13, 0x1.86ap+16, 0x1.e848p+19, 0x1.312dp+23,
    0x1.7d784p+26, 0x1.dcd65p+29, 0x1.2a05f2p+33, 0x1.74876e8p+36,
    0x1.d1a94a2p+39, 0x1.2309ce54p+43, 0x1.6bcc41e9p+46, 0x1.c6bf52634p+49,
    0x1.1c37937e08p+53, 0x1.6345785d8ap+56, 0x1.bc16d674ec8p+59, 0x1.158e460913dp+63,
    0x1.5af1d78b58c4p+66, 0x1.b1ae4d6e2ef5p+69, 0x1.0f0cf064dd592p+73, 0x1.52d02c7e14af7p+76,
    0x1.a784379d99db4p+79, 0x1.08b2a2c280291p+83, 0x1.4adf4b7320335p+86, 0x1.9d971e4fe8402p+89,
    0x1.027e72f1f1281p+93, 0x1.431e0fae6d721p+96, 0x1.93e5939a08ceap+99, 0x1.f8def8808b024p+102,
    0x1.3b8b5b5056e17p+106,
};
// clang-format on
} // namespace

double PowerOfTen(int d)
{
    return (d >= -kPowRange && d <= kPowRange) ? kPowersOfTen[d + kPowRange] : std::pow(10.0, d);
}

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
