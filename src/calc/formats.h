#pragma once
// The number, money and date formats shared by every part of the program.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// Formats x with W integer digits and P decimals: blank gives ""; overflow
// gives stars; commas and money style on request.
std::string FormatNumber(double x, int w, int p, bool commas, bool money);

// The W.P form of a FORMAT text ("" gives 2.2; no separator gives P 0).
struct WPFormat {
    int w = 2;
    int p = 2;
};
WPFormat ParseWPFormat(std::string_view text);

// Formats a date (seconds since 1970 UTC) in one of the date styles; a date
// of 0 gives eight blanks.
std::string FormatDate(uint32_t date, int style);

// Reads a typed date and time. Returns 0 and the date in out, or an error
// code (2 bad date, 4 bad time). An empty date gives 0 without error.
int ParseDateTime(std::string_view date, std::string_view time, bool toUniversal, uint32_t& out);

// A local date and time, broken down (month 1 to 12).
struct LocalDateTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// As above, starting from the given local date and time instead of the
// clock, with the given time-zone bias (minutes by which UTC is ahead of
// local standard time) instead of the machine's.
int ParseDateTime(std::string_view date, std::string_view time, bool toUniversal, const LocalDateTime& now,
                  int biasMinutes, uint32_t& out);

// The machine's local date and time now, and its time-zone bias (minutes
// by which UTC is ahead of local standard time).
struct LocalClock {
    LocalDateTime now;
    int biasMinutes = 0;
};
LocalClock ReadLocalClock();

} // namespace kestrel
