#include "report/formats.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/contract/values.h"

namespace kestrel {

namespace {

std::string Printf(const char* format, int precision, double value)
{
    // Fixed notation of a double needs at most 309 integer digits; the
    // precision is clamped so that the text always fits.
    char buf[512];
    const int n = std::snprintf(buf, sizeof buf, format, precision, value);
    return n > 0
               ? std::string(buf, static_cast<size_t>(n < static_cast<int>(sizeof buf) ? n : sizeof buf - 1))
               : std::string();
}

std::string Stars(int w, int p)
{
    const int count = w + p + 1;
    if (count <= 0)
        return std::string();
    std::string s(static_cast<size_t>(count), '*');
    // The point stands at index W; with a negative W there is no point.
    if (w >= 0 && w < count)
        s[static_cast<size_t>(w)] = '.';
    return s;
}

void InsertCommas(std::string& s)
{
    size_t point = s.find('.');
    if (point == std::string::npos)
        point = s.size();
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
    std::string s;
    if (w == 0 && std::fabs(x) > 9e12) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%le", x);
        s = buf;
    } else if (money) {
        s = x >= 0 ? Printf("$%1.*lf", precision, x) : Printf("($%1.*lf)", precision, std::fabs(x));
    } else {
        s = Printf("%1.*lf", precision, x);
    }
    if (w != 0) {
        const double limit = std::pow(10.0, w);
        if (x >= limit || x <= -limit)
            s = Stars(w, p);
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
    const std::string s(text);
    f.w = std::atoi(s.c_str());
    const size_t sep = s.find_first_of(".:");
    f.p = sep == std::string::npos ? 0 : std::atoi(s.c_str() + sep + 1);
    return f;
}

} // namespace kestrel
