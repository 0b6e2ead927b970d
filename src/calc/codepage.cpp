#include "calc/codepage.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace kestrel {

namespace {

// Unicode code points of 0x80..0x9F; the five unassigned bytes map to the
// C1 control of the same value, as the platform's conversion does.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// One character of UTF-8 text: its code point and how many bytes it takes,
// or length 0 when the bytes at that place are not well-formed UTF-8
// (RFC 3629): a stray continuation byte, a lead byte without enough
// continuation bytes, an overlong form, a surrogate or a code point past
// U+10FFFF. Overlong forms must be refused: they would let "C1 81" pass for
// an "A" past any check made on the UTF-8 text.
struct Utf8Char {
    uint32_t codePoint = 0;
    size_t length = 0;
};

Utf8Char DecodeUtf8(std::string_view text, size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1};
    size_t length;
    uint32_t cp;
    uint32_t least; // the smallest code point that needs this many bytes
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1Fu;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0Fu;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07u;
        least = 0x10000;
    } else {
        return {}; // continuation byte, C0, C1 or F5..FF
    }
    if (text.size() - at < length)
        return {};
    for (size_t k = 1; k < length; ++k) {
        const auto cc = static_cast<unsigned char>(text[at + k]);
        if ((cc & 0xC0) != 0x80)
            return {};
        cp = (cp << 6) | (cc & 0x3Fu);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return {};
    return {cp, length};
}

} // namespace

char Cp1252FromCodePoint(uint32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp)
            return static_cast<char>(0x80 + i);
    return '?';
}

std::string Cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80)
            out.push_back(static_cast<char>(c));
        else if (c < 0xA0)
            AppendUtf8(out, kHigh[c - 0x80]);
        else
            AppendUtf8(out, c);
    }
    return out;
}

namespace {

Result<std::string> ConvertUtf8(std::string_view text, bool exact)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    for (size_t character = 1; i < text.size(); ++character) {
        const Utf8Char c = DecodeUtf8(text, i);
        if (c.length == 0)
            return Result<std::string>::Fail("not valid UTF-8 (byte " + std::to_string(i + 1) + ")");
        const char byte = Cp1252FromCodePoint(c.codePoint);
        if (exact && byte == '?' && c.codePoint != '?') {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c.codePoint));
            return Result<std::string>::Fail(std::string("The character ") + name + " (character " +
                                                 std::to_string(character) +
                                                 " of the text) cannot be stored in a contract file",
                                             kNotInCodePage);
        }
        out.push_back(byte);
        i += c.length;
    }
    return out;
}

} // namespace

Result<std::string> Utf8ToCp1252(std::string_view text)
{
    return ConvertUtf8(text, false);
}

Result<std::string> Utf8ToCp1252Exact(std::string_view text)
{
    return ConvertUtf8(text, true);
}

unsigned char Cp1252Upper(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A: return 0x8A; // s caron
    case 0x9C: return 0x8C; // oe
    case 0x9E: return 0x8E; // z caron
    case 0xFF: return 0x9F; // y diaeresis
    default: return c;
    }
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Cp1252Upper(static_cast<unsigned char>(a[i])) != Cp1252Upper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const int ca = Cp1252Upper(static_cast<unsigned char>(a[i]));
        const int cb = Cp1252Upper(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string UpperNoCase(std::string_view text)
{
    std::string u(text);
    for (char& c : u)
        c = static_cast<char>(Cp1252Upper(static_cast<unsigned char>(c)));
    return u;
}

} // namespace kestrel
