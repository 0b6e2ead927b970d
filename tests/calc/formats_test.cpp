#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <limits>
#include <string>

#include "calc/formats.h"
#include "model/contract/values.h"

using namespace kestrel;

namespace {

// Seconds since 1970 of a UTC date and time, by the standard library's
// calendar (the same on every system).
uint32_t Utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    using namespace std::chrono;
    const sys_days date = year(y) / month(unsigned(mo)) / day(unsigned(d));
    return static_cast<uint32_t>((date.time_since_epoch() + hours(h) + minutes(mi) + seconds(s)).count());
}

} // namespace

// --- numbers -------------------------------------------------------------

TEST(FormatNumber, FixedDecimalsAndBlank)
{
    EXPECT_EQ(FormatNumber(BlankValue(), 9, 2, true, true), "");
    EXPECT_EQ(FormatNumber(12.345, 4, 2, false, false), "12.35");
    EXPECT_EQ(FormatNumber(-12.5, 4, 0, false, false), "-12"); // printf rounds half to even
    EXPECT_EQ(FormatNumber(3, 2, 3, false, false), "3.000");
    EXPECT_EQ(FormatNumber(-0.0, 4, 2, false, false), "0.00");
}

TEST(FormatNumber, ExponentFormOnlyWithoutWidthAndAboveNineTrillion)
{
    EXPECT_EQ(FormatNumber(1.5e13, 0, 2, false, false), "1.500000e+13");
    EXPECT_EQ(FormatNumber(-2e13, 0, 2, true, true), "-2.000000e+13");
    EXPECT_EQ(FormatNumber(9e12, 0, 0, false, false), "9000000000000");
    EXPECT_EQ(FormatNumber(1.5e13, 14, 0, false, false), "15000000000000");
}

TEST(FormatNumber, MoneyStyle)
{
    EXPECT_EQ(FormatNumber(0, 9, 2, false, true), "$0.00");
    EXPECT_EQ(FormatNumber(-0.0, 9, 2, false, true), "$0.00");
    EXPECT_EQ(FormatNumber(-12.5, 9, 2, false, true), "($12.50)");
    EXPECT_EQ(FormatNumber(7.125, 9, 1, false, true), "$7.1");
}

TEST(FormatNumber, CommasEveryThirdDigitLeftOfThePoint)
{
    EXPECT_EQ(FormatNumber(1234567.5, 9, 2, true, false), "1,234,567.50");
    EXPECT_EQ(FormatNumber(1234567.5, 9, 2, true, true), "$1,234,567.50");
    EXPECT_EQ(FormatNumber(-1234567.5, 9, 2, true, false), "-1,234,567.50");
    EXPECT_EQ(FormatNumber(-1234567.5, 9, 2, true, true), "($1,234,567.50)");
    EXPECT_EQ(FormatNumber(-123456, 9, 0, true, false), "-123,456");
    EXPECT_EQ(FormatNumber(-123456, 9, 0, true, true), "($123,456)");
    EXPECT_EQ(FormatNumber(123456, 9, 0, true, true), "$123,456");
    EXPECT_EQ(FormatNumber(1234567, 9, 0, true, false), "1,234,567");
    EXPECT_EQ(FormatNumber(1234, 9, 0, true, false), "1,234");
    // Three or fewer characters before the point stay as they are.
    EXPECT_EQ(FormatNumber(123.45, 9, 2, true, false), "123.45");
    EXPECT_EQ(FormatNumber(-12.5, 9, 2, true, false), "-12.50");
    EXPECT_EQ(FormatNumber(999, 9, 0, true, false), "999");
}

TEST(FormatNumber, OverflowGivesStarsWithThePointAtW)
{
    EXPECT_EQ(FormatNumber(1e9, 9, 2, false, false), "*********.**");
    EXPECT_EQ(FormatNumber(-1e9, 9, 2, false, true), "*********.**");
    EXPECT_EQ(FormatNumber(1000, 3, 2, true, false), "***.**");
    EXPECT_EQ(FormatNumber(999.99, 3, 2, false, false), "999.99");
    EXPECT_EQ(FormatNumber(-999.99, 3, 2, false, false), "-999.99");
    EXPECT_EQ(FormatNumber(10, 1, 0, false, false), "*.");
    // W 0 never overflows.
    EXPECT_EQ(FormatNumber(123456, 0, 0, false, false), "123456");
}

TEST(FormatNumber, NegativeWidthStaysInsideItsText)
{
    // 10^-2 is the limit: the stars are W + P + 1 long without a point.
    EXPECT_EQ(FormatNumber(5, -2, 4, false, false), "***");
    EXPECT_EQ(FormatNumber(0.001, -2, 4, false, false), "0.0010");
    EXPECT_EQ(FormatNumber(5, -5, 2, false, false), "");
    EXPECT_EQ(FormatNumber(5, -3, 2, false, false), "");
    EXPECT_EQ(FormatNumber(5, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), true, true),
              "");
}

TEST(FormatNumber, ExtremeArgumentsStayBounded)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_LE(FormatNumber(inf, std::numeric_limits<int>::max(), 2, false, false).size(), 1024u);
    EXPECT_LE(FormatNumber(inf, 2, std::numeric_limits<int>::max(), true, false).size(), 1024u);
    const std::string big = FormatNumber(1e308, 400, 1000, true, true);
    EXPECT_EQ(big.substr(0, 5), "$100,");
    EXPECT_EQ(big.size(), 1 + 309 + 102 + 101u); // $, digits, commas, point and 100 decimals
    EXPECT_EQ(FormatNumber(2.5, 4, -1, false, false), "2.500000");
}

TEST(ParseWPFormat, WidthBeforeTheSeparatorPlacesAfter)
{
    const auto check = [](std::string_view text, int w, int p) {
        const WPFormat f = ParseWPFormat(text);
        EXPECT_EQ(f.w, w) << text;
        EXPECT_EQ(f.p, p) << text;
    };
    check("", 2, 2);
    check("12.2", 12, 2);
    check("9:3", 9, 3);
    check("7", 7, 0);
    check(".4", 0, 4);
    check("12.2.5", 12, 2);
    check(" 5.1", 5, 1);
    // Long runs of digits are held in range instead of overflowing.
    const WPFormat f = ParseWPFormat("99999999999999999999.99999999999999999999");
    EXPECT_GT(f.w, 0);
    EXPECT_GT(f.p, 0);
}

// --- dates ---------------------------------------------------------------

TEST(FormatDate, EveryStyle)
{
    const uint32_t d = Utc(2011, 3, 5, 23, 59, 59); // a Saturday
    EXPECT_EQ(FormatDate(d, 1), "11/03/05");
    EXPECT_EQ(FormatDate(d, 2), "05/03/11");
    EXPECT_EQ(FormatDate(d, 3), "110305");
    EXPECT_EQ(FormatDate(d, 4), "03/05/11");
    EXPECT_EQ(FormatDate(d, 5), "Mar 05, 2011");
    EXPECT_EQ(FormatDate(d, 6), "March 05, 2011");
    EXPECT_EQ(FormatDate(d, 7), "Saturday, March 05, 2011");
    EXPECT_EQ(FormatDate(d, 10), "05Mar");
    for (int style : {0, 8, 9, 11, -1})
        EXPECT_EQ(FormatDate(d, style), "03-05-11") << style;
}

TEST(FormatDate, ZeroIsEightBlanks)
{
    for (int style : {0, 1, 5, 7, 10})
        EXPECT_EQ(FormatDate(0, style), "        ");
}

TEST(FormatDate, CalendarEdges)
{
    EXPECT_EQ(FormatDate(1, 7), "Thursday, January 01, 1970");
    EXPECT_EQ(FormatDate(Utc(2000, 2, 29), 1), "00/02/29");
    EXPECT_EQ(FormatDate(Utc(2000, 2, 29), 7), "Tuesday, February 29, 2000");
    EXPECT_EQ(FormatDate(Utc(1999, 12, 31, 23, 59, 59), 6), "December 31, 1999");
    EXPECT_EQ(FormatDate(Utc(2024, 12, 1), 7), "Sunday, December 01, 2024");
    EXPECT_EQ(FormatDate(0xFFFFFFFFu, 7), "Sunday, February 07, 2106");
    EXPECT_EQ(FormatDate(0xFFFFFFFFu, 0), "02-07-06");
}

namespace {

// Reads with a fixed clock (2011-06-15 10:20:30 local) and a zone five hours
// behind UTC.
class DateReading : public ::testing::Test {
protected:
    static constexpr int kBias = 300;
    LocalDateTime now{2011, 6, 15, 10, 20, 30};

    int Read(std::string_view date, std::string_view time, uint32_t& out, bool universal = true) const
    {
        return ParseDateTime(date, time, universal, now, kBias, out);
    }
    uint32_t Date(std::string_view date, std::string_view time = "") const
    {
        uint32_t out = 1;
        EXPECT_EQ(Read(date, time, out), 0) << "'" << date << "' '" << time << "'";
        return out;
    }
    int Error(std::string_view date, std::string_view time = "") const
    {
        uint32_t out = 1;
        return Read(date, time, out);
    }
};

} // namespace

TEST_F(DateReading, EmptyDateIsNoDate)
{
    uint32_t out = 1;
    EXPECT_EQ(Read("", "garbage", out), 0);
    EXPECT_EQ(out, 0u);
}

TEST_F(DateReading, MonthNameForms)
{
    EXPECT_EQ(Date("Mar 5"), Utc(2011, 3, 5, 10, 20, 30));
    EXPECT_EQ(Date("march 5"), Utc(2011, 3, 5, 10, 20, 30));
    EXPECT_EQ(Date("DECEMBER31"), Utc(2011, 12, 31, 10, 20, 30));
    // The year that styles 5 and 6 print is read back.
    EXPECT_EQ(Date("Mar 05, 2012"), Utc(2012, 3, 5, 10, 20, 30));
    EXPECT_EQ(Date("Mar 5 99"), Utc(1999, 3, 5, 10, 20, 30));
    EXPECT_EQ(Error("Mar"), 2);
    EXPECT_EQ(Error("Mar 0"), 2);
    EXPECT_EQ(Error("Xyz 5"), 2);
    EXPECT_EQ(Error("XXX 5"), 2); // the unused entry of the month table
    EXPECT_EQ(Error("Ma 5"), 2);
}

TEST_F(DateReading, DayMonthYearRun)
{
    EXPECT_EQ(Date("05Mar11"), Utc(2011, 3, 5, 10, 20, 30));
    EXPECT_EQ(Date("05mar2012"), Utc(2012, 3, 5, 10, 20, 30));
    EXPECT_EQ(Date("05Mar"), Utc(2011, 3, 5, 10, 20, 30));
    EXPECT_EQ(Error("05Mar0"), 2);
    EXPECT_EQ(Error("05Xyz11"), 2);
    EXPECT_EQ(Error("00Mar11"), 2);
}

TEST_F(DateReading, SixDigitForm)
{
    EXPECT_EQ(Date("031511"), Utc(2011, 3, 15, 10, 20, 30));
    EXPECT_EQ(Date("03152012"), Utc(2012, 3, 15, 10, 20, 30));
    EXPECT_EQ(Error("0315"), 2);
    EXPECT_EQ(Error("133111"), 2);
}

TEST_F(DateReading, SeparatedForms)
{
    EXPECT_EQ(Date("3/15/11"), Utc(2011, 3, 15, 10, 20, 30));
    EXPECT_EQ(Date("3-15-2011"), Utc(2011, 3, 15, 10, 20, 30));
    EXPECT_EQ(Date("3-15/11"), Utc(2011, 3, 15, 10, 20, 30));
    EXPECT_EQ(Date("12/25"), Utc(2011, 12, 25, 10, 20, 30));
    EXPECT_EQ(Error("315"), 2);
    EXPECT_EQ(Error("3.15.11"), 2);
}

TEST_F(DateReading, TwoDigitYears)
{
    EXPECT_EQ(Date("1/2/69"), Utc(2069, 1, 2, 10, 20, 30));
    EXPECT_EQ(Date("1/2/70"), Utc(1970, 1, 2, 10, 20, 30));
    EXPECT_EQ(Date("1/2/0"), Utc(2000, 1, 2, 10, 20, 30));
    EXPECT_EQ(Date("1/2/100"), Utc(2000, 1, 2, 10, 20, 30));
    EXPECT_EQ(Date("1/2/136"), Utc(2036, 1, 2, 10, 20, 30));
    EXPECT_EQ(Date("1/2/1999"), Utc(1999, 1, 2, 10, 20, 30));
    // 201 is a full year, long before dates begin.
    EXPECT_EQ(Error("1/2/201"), 2);
}

TEST_F(DateReading, ImpossibleDatesAreRefused)
{
    EXPECT_EQ(Error("13/1/11"), 2);
    EXPECT_EQ(Error("0/5/11"), 2);
    EXPECT_EQ(Error("2/29/11"), 2);
    EXPECT_EQ(Date("2/29/12"), Utc(2012, 2, 29, 10, 20, 30));
    EXPECT_EQ(Error("4/31/11"), 2);
    EXPECT_EQ(Error("1/1/1960"), 2);
    EXPECT_EQ(Error("1/1/2107"), 2);
    EXPECT_EQ(Error("1/1/99999999999999"), 2);
}

TEST_F(DateReading, Times)
{
    EXPECT_EQ(Date("3/15/11", "09:30"), Utc(2011, 3, 15, 9, 30, 0));
    EXPECT_EQ(Date("3/15/11", "09:30 PM"), Utc(2011, 3, 15, 21, 30, 0));
    EXPECT_EQ(Date("3/15/11", "9:30p"), Utc(2011, 3, 15, 21, 30, 0));
    EXPECT_EQ(Date("3/15/11", "12:15 AM"), Utc(2011, 3, 15, 0, 15, 0));
    EXPECT_EQ(Date("3/15/11", "12:15 pm"), Utc(2011, 3, 15, 12, 15, 0));
    EXPECT_EQ(Date("3/15/11", "11:59   P"), Utc(2011, 3, 15, 23, 59, 0));
    EXPECT_EQ(Error("3/15/11", "9:30"), 4);
    EXPECT_EQ(Error("3/15/11", "09300"), 4);
    EXPECT_EQ(Error("3/15/11", "25:00"), 4);
    EXPECT_EQ(Error("3/15/11", "11:75 PM"), 4);
    EXPECT_EQ(Error("3/15/11", "13:00 PM"), 4);
    // A bad date is reported before the time is looked at.
    EXPECT_EQ(Error("3/45/11", "bad"), 2);
}

TEST_F(DateReading, ToUniversalShowsTheWallClock)
{
    uint32_t local = 0;
    uint32_t universal = 0;
    ASSERT_EQ(Read("3/15/11", "10:00", local, false), 0);
    ASSERT_EQ(Read("3/15/11", "10:00", universal, true), 0);
    EXPECT_EQ(universal, Utc(2011, 3, 15, 10, 0, 0));
    EXPECT_EQ(local, universal + kBias * 60);
    EXPECT_EQ(FormatDate(universal, 4), "03/15/11");
}

TEST(DateReadingClock, ToUniversalIsIndependentOfTheMachineZone)
{
    uint32_t out = 0;
    ASSERT_EQ(ParseDateTime("3/15/2011", "10:05 PM", true, out), 0);
    EXPECT_EQ(out, Utc(2011, 3, 15, 22, 5, 0));
    EXPECT_EQ(ParseDateTime("", "", true, out), 0);
    EXPECT_EQ(out, 0u);
    EXPECT_EQ(ParseDateTime("3/15/2011", "x", true, out), 4);
}
