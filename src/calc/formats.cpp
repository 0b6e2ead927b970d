#include "calc/formats.h"

#include <charconv>
#include <cmath>
#include <string>

#include "calc/leadingint.h"
#include "calc/numbers.h"

namespace kestrel {

namespace {

// The "C" locale's "%.*f" (or "%e" when scientific): printf would follow
// the program's locale, and a desktop session may give it a decimal comma.
std::string NumberText(double value, int precision, bool scientific)
{
    // Fixed notation of a double needs at most 309 integer digits; with the
    // precision held to 100 the text always fits.
    char buf[512];
    const auto r = scientific
                       ? std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision)
                       : std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, precision);
    return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string();
}

constexpr long long kMaxStars = 1024;

std::string Stars(int w, int p)
{
    // Counted wide: W and P come from template texts and may be anything.
    const long long count = static_cast<long long>(w) + p + 1;
    if (count <= 0)
        return std::string();
    // Only an infinite value overflows a W past the range of a double; its
    // stars are held to a printable length.
    std::string s(static_cast<size_t>(count > kMaxStars ? kMaxStars : count), '*');
    // The point stands at index W; with a negative W there is no point.
    if (w >= 0 && static_cast<size_t>(w) < s.size())
        s[static_cast<size_t>(w)] = '.';
    return s;
}

void InsertCommas(std::string& s)
{
    size_t point = s.find('.');
    if (point == std::string::npos) {
        // Without a point, count from the last digit: "($123456)" must not
        // count the closing parenthesis as a digit place.
        point = s.find_last_of("0123456789");
        if (point == std::string::npos)
            return;
        ++point;
    }
    // Walk left from the point in steps of three while digits continue; a
    // sign, "$" or "(" ends the run.
    for (size_t i = point; i > 3;) {
        i -= 3;
        const char before = s[i - 1];
        if (before < '0' || before > '9')
            break;
        s.insert(i, 1, ',');
    }
}

} // namespace

std::string FormatNumber(double x, int w, int p, bool commas, bool money)
{
    if (IsBlankValue(x))
        return std::string();
    const int precision = p < 0 ? 6 : (p > 100 ? 100 : p);
    // A negative zero (as "-0" evaluates) would print as "-0.00", and in
    // money style as "$-0.00".
    if (x == 0.0)
        x = 0.0;
    std::string s;
    if (w == 0 && std::fabs(x) > 9e12)
        s = NumberText(x, 6, true);
    else if (money) {
        // Built in place: GCC 12 at -O3 misreads `"$" + std::string` as an
        // overlapping copy and the Release build stops on the warning.
        s = NumberText(std::fabs(x), precision, false);
        s.insert(0, x >= 0 ? "$" : "($");
        if (x < 0)
            s.push_back(')');
    } else
        s = NumberText(x, precision, false);
    if (w != 0) {
        const double limit = PowerOfTen(w);
        if (x >= limit || x <= -limit)
            s = Stars(w, p > 100 ? 100 : p);
    }
    if (commas)
        InsertCommas(s);
    return s;
}

WPFormat ParseWPFormat(std::string_view text)
{
    WPFormat f;
    if (text.empty())
        return f;
    f.w = LeadingInt(text);
    const size_t sep = text.find_first_of(".:");
    f.p = sep == std::string_view::npos ? 0 : LeadingInt(text.substr(sep + 1));
    return f;
}

} // namespace kestrel
