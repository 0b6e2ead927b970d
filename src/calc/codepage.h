#pragma once
// Windows-1252, the code page of every text in the models: conversion to and
// from UTF-8 at the program's edges, and case folding for comparisons.

#include <cstdint>
#include <string>
#include <string_view>

#include "calc/result.h"

namespace kestrel {

std::string Cp1252ToUtf8(std::string_view text);
// Text from outside (arguments, files) into Windows-1252. Characters that
// Windows-1252 cannot hold become '?'; text that is not well-formed UTF-8
// (overlong forms, surrogates, code points past U+10FFFF, truncated or
// stray continuation bytes) is refused with "not valid UTF-8 (byte N)".
[[nodiscard]] Result<std::string> Utf8ToCp1252(std::string_view text);
// The code of Utf8ToCp1252Exact's refusal of a character.
inline constexpr int kNotInCodePage = 1;
// The same, for a text that is to be stored: a character Windows-1252
// cannot hold is refused (code kNotInCodePage) with the character named
// by its code point and place ("The character U+2192 (character 5 of the
// text) cannot be stored in a contract file"), rather than changed.
[[nodiscard]] Result<std::string> Utf8ToCp1252Exact(std::string_view text);

// The Windows-1252 byte of a Unicode code point; '?' when it has none.
char Cp1252FromCodePoint(uint32_t codePoint);

// Upper case of a Windows-1252 byte (ASCII and the accented letters).
unsigned char Cp1252Upper(unsigned char c);
// The upper-case form of a text, for keys compared without regard to case.
std::string UpperNoCase(std::string_view text);
// Equal without regard to case, Windows-1252 letters included.
bool EqualNoCase(std::string_view a, std::string_view b);
// Compares without regard to case: <0, 0, >0.
int CompareNoCase(std::string_view a, std::string_view b);

} // namespace kestrel
