// Dates: formatting in the date styles and reading a typed date and time.
// Dates are seconds since 1970-01-01 00:00 UTC, broken down as UTC.

#include <cstdint>
#include <ctime>
#include <string>

#include "calc/formats.h"
#include "calc/leadingint.h"
#include "calc/systemfile.h"

namespace kestrel {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Month and day names are always the English ones, whatever the machine's
// locale: dates in printed reports must not change with it.
constexpr const char* kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};
constexpr const char* kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
// Entry 0 is never a month.
constexpr const char* kMonthAbbrevs[] = {"XXX", "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct CivilDate {
    int64_t year;
    int month; // 1..12
    int day;   // 1..31
};

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar,
// counted in 400-year eras that start on 1 March.
int64_t DaysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate CivilFromDays(int64_t z)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

bool IsLeapYear(int64_t y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int64_t y, int m)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

const char* StylePattern(int style)
{
    switch (style) {
    case 1: return "%y/%m/%d";
    case 2: return "%d/%m/%y";
    case 3: return "%y%m%d";
    case 4: return "%m/%d/%y";
    case 5: return "%b %d, %Y";
    case 6: return "%B %d, %Y";
    case 7: return "%A, %B %d, %Y";
    case 10: return "%d%b";
    default: return "%m-%d-%y";
    }
}

void AppendTwoDigits(std::string& out, int64_t v)
{
    out.push_back(static_cast<char>('0' + v / 10 % 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The month (1..12) whose abbreviation the first three characters spell, or 0.
int MonthOf(std::string_view text)
{
    if (text.size() < 3)
        return 0;
    for (int m = 1; m <= 12; ++m) {
        const char* a = kMonthAbbrevs[m];
        if (Upper(text[0]) == Upper(a[0]) && Upper(text[1]) == Upper(a[1]) && Upper(text[2]) == Upper(a[2]))
            return m;
    }
    return 0;
}

// Up to 200 a year is written with two digits: 70 and later are of the
// 1900s, earlier ones of the 2000s.
int FullYear(int y)
{
    if (y > 200)
        return y;
    return y >= 70 ? y + 1900 : y + 2000;
}

// Splits at the first '-', or when there is none at the first '/'.
bool SplitDate(std::string_view text, std::string_view& head, std::string_view& tail)
{
    size_t k = text.find('-');
    if (k == std::string_view::npos)
        k = text.find('/');
    if (k == std::string_view::npos)
        return false;
    head = text.substr(0, k);
    tail = text.substr(k + 1);
    return true;
}

constexpr int kBadDate = 2;
constexpr int kBadTime = 4;

// A month name, then the day: "Mar 5", "march 5". A year after the day
// ("March 05, 2011", as styles 5 and 6 print it) is read too rather than
// dropped in favour of the current year.
int ReadNamedMonthDate(std::string_view d, LocalDateTime& t)
{
    t.month = MonthOf(d);
    if (t.month == 0)
        return kBadDate;
    size_t i = 0;
    while (i < d.size() && IsLetter(d[i]))
        ++i;
    d = d.substr(i);
    t.day = LeadingInt(d);
    if (t.day == 0)
        return kBadDate;
    i = 0;
    while (i < d.size() && (d[i] == ' ' || d[i] == '\t'))
        ++i;
    while (i < d.size() && IsDigit(d[i]))
        ++i;
    while (i < d.size() && (d[i] == ' ' || d[i] == '\t' || d[i] == ','))
        ++i;
    if (i < d.size() && IsDigit(d[i]))
        t.year = FullYear(LeadingInt(d.substr(i)));
    return 0;
}

int ReadDate(std::string_view d, LocalDateTime& t)
{
    if (IsLetter(d[0]))
        return ReadNamedMonthDate(d, t);
    if (d.size() >= 3 && IsDigit(d[0]) && IsDigit(d[1]) && IsLetter(d[2])) {
        // 05Mar11
        t.day = LeadingInt(d);
        t.month = MonthOf(d.substr(2));
        if (t.month == 0)
            return kBadDate;
        if (d.size() > 5) {
            const int y = LeadingInt(d.substr(5));
            if (y == 0)
                return kBadDate;
            t.year = FullYear(y);
        }
        return 0;
    }
    if (d.size() > 5 && IsDigit(d[0]) && IsDigit(d[1]) && IsDigit(d[2]) && IsDigit(d[3]) && IsDigit(d[4]) &&
        IsDigit(d[5])) {
        // MMDDYY or MMDDYYYY
        t.month = LeadingInt(d.substr(0, 2));
        t.day = LeadingInt(d.substr(2, 2));
        t.year = FullYear(LeadingInt(d.substr(4)));
        return 0;
    }
    std::string_view month, rest, day, year;
    if (!SplitDate(d, month, rest))
        return kBadDate;
    t.month = LeadingInt(month);
    if (SplitDate(rest, day, year)) {
        t.day = LeadingInt(day);
        t.year = FullYear(LeadingInt(year));
    } else {
        t.day = LeadingInt(rest);
    }
    return 0;
}

// "hh:mm" with an optional P (for PM) after the minutes; 12 o'clock counts
// as 0 so that 12:30 AM is half past midnight and 12:30 PM half past noon.
int ReadTime(std::string_view s, LocalDateTime& t)
{
    const size_t colon = s.find(':');
    if (s.size() < 5 || colon == std::string_view::npos)
        return kBadTime;
    int hour = LeadingInt(s.substr(0, colon));
    if (hour == 12)
        hour = 0;
    const int minute = LeadingInt(s.substr(colon + 1));
    size_t i = colon + 3;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    if (i < s.size() && Upper(s[i]) == 'P')
        hour += 12;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return kBadTime;
    t.hour = hour;
    t.minute = minute;
    t.second = 0;
    return 0;
}

} // namespace

std::string FormatDate(uint32_t date, int style)
{
    if (date == 0)
        return std::string(8, ' ');
    const int64_t days = date / kSecondsPerDay;
    const CivilDate c = CivilFromDays(days);
    const int weekday = static_cast<int>((days + 4) % 7); // 1970-01-01 was a Thursday
    std::string out;
    for (const char* p = StylePattern(style); *p; ++p) {
        if (*p != '%') {
            out.push_back(*p);
            continue;
        }
        switch (*++p) {
        case 'y': AppendTwoDigits(out, c.year % 100); break;
        case 'Y': out += std::to_string(c.year); break;
        case 'm': AppendTwoDigits(out, c.month); break;
        case 'd': AppendTwoDigits(out, c.day); break;
        case 'b': out += kMonthAbbrevs[c.month]; break;
        case 'B': out += kMonthNames[c.month - 1]; break;
        case 'A': out += kDayNames[weekday]; break;
        default: break;
        }
    }
    return out;
}

int ParseDateTime(std::string_view date, std::string_view time, bool toUniversal, const LocalDateTime& now,
                  int biasMinutes, uint32_t& out)
{
    out = 0;
    if (date.empty())
        return 0;
    LocalDateTime t = now;
    if (const int code = ReadDate(date, t))
        return code;
    // Month 13 or 31 February would otherwise roll over into another date.
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month))
        return kBadDate;
    if (!time.empty())
        if (const int code = ReadTime(time, t))
            return code;
    // Local standard time to UTC adds the bias; to-universal takes it off
    // again, so that the UTC breakdown shows the local wall-clock time.
    int64_t seconds =
        DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second;
    if (!toUniversal)
        seconds += static_cast<int64_t>(biasMinutes) * 60;
    // A date outside the 32-bit range would wrap to an unrelated one.
    if (seconds <= 0 || seconds > static_cast<int64_t>(UINT32_MAX))
        return kBadDate;
    out = static_cast<uint32_t>(seconds);
    return 0;
}

LocalClock ReadLocalClock()
{
    const std::time_t clock = std::time(nullptr);
    std::tm local{};
    long westOfUtc = 0;
    LocalTimeAndZone(clock, local, westOfUtc);
    LocalClock c;
    c.biasMinutes = static_cast<int>(westOfUtc / 60);
    c.now.year = local.tm_year + 1900;
    c.now.month = local.tm_mon + 1;
    c.now.day = local.tm_mday;
    c.now.hour = local.tm_hour;
    c.now.minute = local.tm_min;
    c.now.second = local.tm_sec;
    return c;
}

int ParseDateTime(std::string_view date, std::string_view time, bool toUniversal, uint32_t& out)
{
    const LocalClock clock = ReadLocalClock();
    return ParseDateTime(date, time, toUniversal, clock.now, clock.biasMinutes, out);
}

} // namespace kestrel
