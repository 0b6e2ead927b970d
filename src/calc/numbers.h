#pragma once
// The number conventions every part of the program shares: the blank value
// ("not entered", distinct from 0), rounding, and 16-bit flag words.

#include <cstdint>

namespace kestrel {

// The blank value: both 32-bit halves 0x12345678. "Not entered", distinct from 0.
[[nodiscard]] bool IsBlankValue(double x);
void SetBlankValue(double& x);
[[nodiscard]] double BlankValue();

// 10^d, the same double on every system (a table for |d| <= 32).
[[nodiscard]] double PowerOfTen(int d);

// sign(x) * floor(|x| * 10^d + 0.5001) * 10^-d; a blank value stays blank.
[[nodiscard]] double RoundValue(double x, int d);

// Bit n of a 16-bit flags word.
[[nodiscard]] bool FlagTest(uint16_t w, int n);
// mode 0 clears bit n, mode 2 toggles it, any other mode sets it; n == -1
// sets all 16 bits; n above 15 changes nothing.
void FlagSet(uint16_t& w, int n, int mode);

} // namespace kestrel
