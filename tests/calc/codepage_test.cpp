#include <gtest/gtest.h>

#include <string>

#include "calc/codepage.h"

namespace kestrel {
namespace {

std::string ToCp1252(std::string_view utf8)
{
    const auto r = Utf8ToCp1252(utf8);
    EXPECT_TRUE(r.ok()) << r.errorText();
    return r.ok() ? r.value() : std::string("<error>");
}

TEST(CodePage, EveryByteRoundTrips)
{
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = Cp1252ToUtf8(one);
        // ASCII stays one byte; nothing else is left as a lone high byte.
        EXPECT_EQ(utf8.size() == 1, b < 0x80) << "byte " << b;
        EXPECT_EQ(ToCp1252(utf8), one) << "byte " << b;
    }
}

TEST(CodePage, HighBytesAreTheirWindowsCharacters)
{
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");                   // euro sign
    EXPECT_EQ(Cp1252ToUtf8("\x93x\x94"), "\xE2\x80\x9Cx\xE2\x80\x9D"); // curly quotes
    EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\xC5\xB8");                       // Y diaeresis
    EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(ToCp1252("\xE2\x84\xA2"), "\x99"); // trade mark
}

// The five bytes Windows-1252 leaves undefined stand for the C1 control of
// the same value, both ways, so no byte of a model text is lost.
TEST(CodePage, UndefinedBytesMapToTheirC1Controls)
{
    for (const unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        const std::string one(1, static_cast<char>(b));
        const std::string c1 = {static_cast<char>(0xC2), static_cast<char>(b)};
        EXPECT_EQ(Cp1252ToUtf8(one), c1) << int(b);
        EXPECT_EQ(ToCp1252(c1), one) << int(b);
    }
    // The other C1 controls have no place in Windows-1252.
    EXPECT_EQ(ToCp1252("\xC2\x80"), "?");
    EXPECT_EQ(ToCp1252("\xC2\x9F"), "?");
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(ToCp1252("a\xC4\x80z"), "a?z");       // U+0100
    EXPECT_EQ(ToCp1252("\xE4\xB8\xAD"), "?");       // U+4E2D
    EXPECT_EQ(ToCp1252("\xF0\x9F\x98\x80!"), "?!"); // U+1F600, four bytes
    EXPECT_EQ(ToCp1252("\xF4\x8F\xBF\xBF"), "?");   // U+10FFFF, the last code point
    EXPECT_EQ(ToCp1252("\xEF\xBF\xBF"), "?");       // U+FFFF
    EXPECT_EQ(ToCp1252(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(ToCp1252(""), "");
}

void ExpectRefused(std::string_view utf8, int badByte)
{
    const auto r = Utf8ToCp1252(utf8);
    ASSERT_FALSE(r.ok()) << "accepted as '" << r.value() << "'";
    EXPECT_EQ(r.errorText(), "not valid UTF-8 (byte " + std::to_string(badByte) + ")");
}

TEST(CodePage, OverlongFormsAreRefused)
{
    ExpectRefused("\xC1\x81", 1);         // "A" in two bytes
    ExpectRefused("x\xC0\x80", 2);        // NUL in two bytes
    ExpectRefused("\xE0\x81\x81", 1);     // "A" in three bytes
    ExpectRefused("\xE0\x9F\xBF", 1);     // U+07FF in three bytes
    ExpectRefused("\xF0\x8F\xBF\xBF", 1); // U+FFFF in four bytes
    ExpectRefused("\xF0\x80\x81\x81", 1);
    // The shortest forms just above each limit are fine.
    EXPECT_EQ(ToCp1252("\xC2\xA0"), "\xA0");
    EXPECT_EQ(ToCp1252("\xE0\xA0\x80"), "?");
    EXPECT_EQ(ToCp1252("\xF0\x90\x80\x80"), "?");
}

TEST(CodePage, SurrogatesAndCodePointsPastTheRangeAreRefused)
{
    ExpectRefused("\xED\xA0\x80", 1);     // U+D800
    ExpectRefused("ab\xED\xBF\xBF", 3);   // U+DFFF
    ExpectRefused("\xF4\x90\x80\x80", 1); // U+110000
    ExpectRefused("\xF5\x80\x80\x80", 1);
    ExpectRefused("\xFF", 1);
    ExpectRefused("\xFE", 1);
    EXPECT_EQ(ToCp1252("\xED\x9F\xBF"), "?"); // U+D7FF, just below
    EXPECT_EQ(ToCp1252("\xEE\x80\x80"), "?"); // U+E000, just above
}

TEST(CodePage, TruncatedAndStrayBytesAreRefused)
{
    ExpectRefused("\x80", 1); // continuation byte alone
    ExpectRefused("ok\xBF", 3);
    ExpectRefused("\xC3", 1); // lead byte at the end
    ExpectRefused("caf\xC3", 4);
    ExpectRefused("\xE2\x82", 1);     // two of three bytes
    ExpectRefused("\xF0\x9F\x98", 1); // three of four bytes
    ExpectRefused("\xC3x", 1);        // a continuation byte missing mid-text
    ExpectRefused("\xE2\x82x", 1);
    ExpectRefused("\xC3\xA9\xA9", 3); // one continuation byte too many
    ExpectRefused("caf\xE9", 4);      // Windows-1252 text given as UTF-8
}

// A text to be stored: a character Windows-1252 lacks is refused and named
// by its code point and place, never changed.
TEST(CodePage, ExactConversionNamesTheCharacterItCannotHold)
{
    const std::pair<const char*, const char*> cases[] = {
        {"a\xE2\x86\x92z", "U+2192 (character 2 of"},
        {"caf\xC3\xA9 \xF0\x9F\x98\x80", "U+1F600 (character 6 of"},
        {"\xC2\x80", "U+0080 (character 1 of"}, // a C1 control Windows-1252 has no place for
    };
    for (const auto& [utf8, named] : cases) {
        const auto r = Utf8ToCp1252Exact(utf8);
        EXPECT_EQ(r.errorText(),
                  "The character " + std::string(named) + " the text) cannot be stored in a contract file");
        EXPECT_EQ(r.errorCode(), kNotInCodePage);
    }
    EXPECT_EQ(Utf8ToCp1252Exact("caf\xC3\xA9 \xE2\x82\xAC?").value(), "caf\xE9 \x80?");
    EXPECT_NE(Utf8ToCp1252Exact("caf\xC3").errorCode(), kNotInCodePage); // not UTF-8 at all
}

TEST(CodePage, UpperCaseCoversAccentedLetters)
{
    EXPECT_EQ(Cp1252Upper('a'), 'A');
    EXPECT_EQ(Cp1252Upper('z'), 'Z');
    EXPECT_EQ(Cp1252Upper('A'), 'A');
    EXPECT_EQ(Cp1252Upper('{'), '{');
    EXPECT_EQ(Cp1252Upper('`'), '`');
    EXPECT_EQ(Cp1252Upper(0xE9), 0xC9); // e acute
    EXPECT_EQ(Cp1252Upper(0xE0), 0xC0);
    EXPECT_EQ(Cp1252Upper(0xFE), 0xDE); // thorn
    EXPECT_EQ(Cp1252Upper(0xF7), 0xF7); // division sign has no case
    EXPECT_EQ(Cp1252Upper(0xDF), 0xDF); // sharp s has no single upper case
    EXPECT_EQ(Cp1252Upper(0x9A), 0x8A); // s caron
    EXPECT_EQ(Cp1252Upper(0x9C), 0x8C); // oe
    EXPECT_EQ(Cp1252Upper(0x9E), 0x8E); // z caron
    EXPECT_EQ(Cp1252Upper(0xFF), 0x9F); // y diaeresis
    // Upper case is stable: no byte changes twice.
    for (int b = 0; b < 256; ++b) {
        const unsigned char u = Cp1252Upper(static_cast<unsigned char>(b));
        EXPECT_EQ(Cp1252Upper(u), u) << b;
    }
}

TEST(CodePage, ComparisonsIgnoreCase)
{
    EXPECT_TRUE(EqualNoCase("Caf\xE9", "CAF\xC9"));
    EXPECT_TRUE(EqualNoCase("", ""));
    EXPECT_FALSE(EqualNoCase("abc", "abd"));
    EXPECT_FALSE(EqualNoCase("abc", "abcd"));
    EXPECT_FALSE(EqualNoCase("\xDF", "SS"));

    EXPECT_EQ(CompareNoCase("vendor", "VENDOR"), 0);
    EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
    EXPECT_GT(CompareNoCase("abd", "ABC"), 0);
    EXPECT_LT(CompareNoCase("ab", "abc"), 0);
    EXPECT_GT(CompareNoCase("abc", "AB"), 0);
    // Bytes compare unsigned: accented letters sort after ASCII.
    EXPECT_LT(CompareNoCase("z", "\xE9"), 0);
    EXPECT_GT(CompareNoCase("\xC9", "Z"), 0);
    EXPECT_EQ(CompareNoCase("\x9A", "\x8A"), 0);
}

} // namespace
} // namespace kestrel
