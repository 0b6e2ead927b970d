#pragma once
// Shared value conventions of the contract and subcontract models: owned
// texts with a null state, the blank number, rounding and 16-bit flag words.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/contract/text.h"

namespace kestrel {

// Model texts (class Text) hold Windows-1252 bytes, or are null ("no
// text"). A null text and an empty text are both written to the file with
// length 0.

// The bytes of a text, empty for a null text.
inline std::string_view TextView(const Text& t)
{
    return t.View();
}
// True when the text is null or holds nothing.
inline bool TextEmpty(const Text& t)
{
    return t.View().empty();
}

// The blank value: both 32-bit halves 0x12345678. "Not entered", distinct from 0.
bool IsBlankValue(double x);
void SetBlankValue(double& x);
double BlankValue();

// sign(x) * floor(|x| * 10^d + 0.5001) * 10^-d; a blank value stays blank.
double RoundValue(double x, int d);

// Bit n of a 16-bit flags word.
bool FlagTest(uint16_t w, int n);
// mode 0 clears bit n, mode 2 toggles it, any other mode sets it; n == -1
// sets all 16 bits; n above 15 changes nothing.
void FlagSet(uint16_t& w, int n, int mode);

} // namespace kestrel
