#include "platform/Vexa_dateutils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>

#include "platform/Vexa_exceptions.h"

// Expected values in the tables below were computed with Python's datetime
// (proleptic Gregorian calendar, isocalendar) and fractions (exact serial
// numbers rounded once to double).

namespace vexa {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct TCalendarCase {
  int32_t year, month, day;
  int32_t serial;     // days since 1899-12-30
  int32_t dayOfWeek;  // 1 Sunday ... 7 Saturday
  int32_t isoYear, isoWeek, isoWeekday;
};

const TCalendarCase kCalendarCases[] = {
    {1, 1, 1, -693593, 2, 1, 1, 1},
    {1, 12, 31, -693229, 2, 2, 1, 1},
    {4, 2, 29, -692439, 1, 4, 9, 7},
    {100, 3, 1, -657375, 2, 100, 9, 1},
    {1582, 10, 15, -115858, 6, 1582, 41, 5},
    {1899, 12, 29, -1, 6, 1899, 52, 5},
    {1899, 12, 30, 0, 7, 1899, 52, 6},
    {1900, 2, 28, 60, 4, 1900, 9, 3},
    {1900, 3, 1, 61, 5, 1900, 9, 4},
    {2000, 2, 29, 36585, 3, 2000, 9, 2},
    {2004, 12, 31, 38352, 6, 2004, 53, 5},
    {2005, 1, 1, 38353, 7, 2004, 53, 6},
    {2005, 1, 2, 38354, 1, 2004, 53, 7},
    {2005, 1, 3, 38355, 2, 2005, 1, 1},
    {2008, 12, 29, 39811, 2, 2009, 1, 1},
    {2009, 12, 31, 40178, 5, 2009, 53, 4},
    {2010, 1, 3, 40181, 1, 2009, 53, 7},
    {2010, 1, 4, 40182, 2, 2010, 1, 1},
    {2020, 12, 31, 44196, 5, 2020, 53, 4},
    {2021, 1, 1, 44197, 6, 2020, 53, 5},
    {2021, 1, 3, 44199, 1, 2020, 53, 7},
    {2021, 1, 4, 44200, 2, 2021, 1, 1},
    {2024, 12, 29, 45655, 1, 2024, 52, 7},
    {2024, 12, 30, 45656, 2, 2025, 1, 1},
    {2026, 12, 11, 46367, 6, 2026, 50, 5},
    {2026, 12, 31, 46387, 5, 2026, 53, 4},
    {2027, 1, 1, 46388, 6, 2026, 53, 5},
    {2027, 1, 3, 46390, 1, 2026, 53, 7},
    {9999, 12, 26, 2958460, 1, 9999, 51, 7},
    {9999, 12, 27, 2958461, 2, 9999, 52, 1},
    {9999, 12, 31, 2958465, 6, 9999, 52, 5},
    {5317, 12, 31, 1248400, 6, 5317, 52, 5},
    {7042, 12, 6, 1878418, 3, 7042, 49, 2},
    {4287, 12, 21, 872190, 4, 4287, 51, 3},
    {3068, 9, 1, 426849, 3, 3068, 36, 2},
    {1591, 12, 8, -112517, 1, 1591, 49, 7},
    {2138, 8, 14, 87155, 5, 2138, 33, 4},
    {9952, 4, 6, 2941030, 1, 9952, 14, 7},
    {7771, 4, 25, 2144455, 5, 7771, 17, 4},
    {74, 11, 24, -666603, 7, 74, 47, 6},
    {3886, 3, 15, 725447, 2, 3886, 11, 1},
    {5774, 10, 3, 1415227, 2, 5774, 40, 1},
    {5326, 3, 15, 1251396, 6, 5326, 11, 5},
};

TEST(DateUtilsTest, CalendarTableAgainstReference) {
  for (const TCalendarCase& c : kCalendarCases) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day));
    const TDateTime date = EncodeDate(c.year, c.month, c.day);
    EXPECT_EQ(date, c.serial);
    uint16_t y = 0, m = 0, d = 0;
    // 18:00 of the day; before the epoch the time counts away from the date.
    DecodeDate(c.serial >= 0 ? c.serial + 0.75 : c.serial - 0.75, y, m, d);
    EXPECT_EQ(y, c.year);
    EXPECT_EQ(m, c.month);
    EXPECT_EQ(d, c.day);
    EXPECT_EQ(DayOfWeek(date), c.dayOfWeek);
    EXPECT_EQ(DayOfTheWeek(date), c.isoWeekday);
    uint16_t weekYear = 0;
    EXPECT_EQ(WeekOfTheYear(date, weekYear), c.isoWeek);
    EXPECT_EQ(weekYear, c.isoYear);
    EXPECT_EQ(WeekOfTheYear(date), c.isoWeek);
  }
}

TEST(DateUtilsTest, LeapYearsAndMonthLengths) {
  struct TLeapCase {
    int32_t year;
    bool leap;
    int32_t february;
  };
  const TLeapCase cases[] = {
    {1, false, 28},
    {4, true, 29},
    {100, false, 28},
    {200, false, 28},
    {400, true, 29},
    {1600, true, 29},
    {1700, false, 28},
    {1900, false, 28},
    {2000, true, 29},
    {2023, false, 28},
    {2024, true, 29},
    {2100, false, 28},
    {2400, true, 29},
    {9996, true, 29},
    {9999, false, 28},
  };
  for (const TLeapCase& c : cases) {
    SCOPED_TRACE(c.year);
    EXPECT_EQ(IsLeapYear(c.year), c.leap);
    EXPECT_EQ(DaysInAMonth(c.year, 2), c.february);
    TDateTime date = 0;
    EXPECT_EQ(TryEncodeDate(c.year, 2, 29, date), c.leap);
  }
  const int32_t lengths2023[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int32_t month = 1; month <= 12; ++month) EXPECT_EQ(DaysInAMonth(2023, month), lengths2023[month - 1]);
  EXPECT_EQ(DaysInAMonth(2023, 0), 0);
  EXPECT_EQ(DaysInAMonth(2023, 13), 0);
}

// Values before the epoch: the date is the value truncated toward zero, the
// time of day the absolute fraction. Values round to whole milliseconds first.
TEST(DateUtilsTest, DecodeValuesIncludingNegativeAndRounding) {
  struct TTimeCase {
    double value;
    int32_t year, month, day, hour, min, sec, msec;
  };
  const TTimeCase cases[] = {
    {-1.25, 1899, 12, 29, 6, 0, 0, 0},
    {-0.25, 1899, 12, 30, 6, 0, 0, 0},
    {-2.5, 1899, 12, 28, 12, 0, 0, 0},
    {46367.57436484953, 2026, 12, 11, 13, 47, 5, 123},
    {-693593.5, 1, 1, 1, 12, 0, 0, 0},
    {2958465.9999999884, 9999, 12, 31, 23, 59, 59, 999},
    {0.9999999999, 1899, 12, 31, 0, 0, 0, 0},
    {45000.000000005886, 2023, 3, 15, 0, 0, 0, 1},
    {45000.00000000463, 2023, 3, 15, 0, 0, 0, 0},
  };
  for (const TTimeCase& c : cases) {
    SCOPED_TRACE(c.value);
    uint16_t y, m, d, h, n, s, z;
    DecodeDateTime(c.value, y, m, d, h, n, s, z);
    EXPECT_EQ(y, c.year);
    EXPECT_EQ(m, c.month);
    EXPECT_EQ(d, c.day);
    EXPECT_EQ(h, c.hour);
    EXPECT_EQ(n, c.min);
    EXPECT_EQ(s, c.sec);
    EXPECT_EQ(z, c.msec);
  }
}

TEST(DateUtilsTest, EncodeTimeAndDateTime) {
  // Exact fractions: 13:47:05.123 is 49625123 / 86400000 of a day.
  EXPECT_EQ(EncodeTime(13, 47, 5, 123), 49625123.0 / 86400000.0);
  EXPECT_EQ(EncodeTime(0, 0, 0, 0), 0.0);
  EXPECT_EQ(EncodeDateTime(2026, 12, 11, 13, 47, 5, 123), 46367.57436484953);
  // Before the epoch the time counts away from the date.
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 0, 30, 0, 0), -1.0208333333333333);
  EXPECT_EQ(EncodeDateTime(1, 1, 1, 12, 0, 0, 0), -693593.5);
  EXPECT_EQ(EncodeDateTime(9999, 12, 31, 23, 59, 59, 999), 2958465.9999999884);
}

TEST(DateUtilsTest, InvalidPartsAreRefused) {
  struct TDateArgs {
    int32_t year, month, day;
  };
  const TDateArgs badDates[] = {{0, 1, 1},      {10000, 1, 1}, {-1, 1, 1},   {65537, 1, 1}, {2023, 2, 29},
                                {2024, 2, 30},  {2024, 13, 1}, {2024, 0, 1}, {2024, 1, 0},  {2024, 4, 31},
                                {2024, -1, 10}, {2024, 1, -5}, {2024, 65537, 1}};
  for (const TDateArgs& a : badDates) {
    SCOPED_TRACE(std::to_string(a.year) + "-" + std::to_string(a.month) + "-" + std::to_string(a.day));
    TDateTime unchanged = 123.5;
    EXPECT_FALSE(TryEncodeDate(a.year, a.month, a.day, unchanged));
    EXPECT_EQ(unchanged, 123.5);
    try {
      EncodeDate(a.year, a.month, a.day);
      ADD_FAILURE() << "EncodeDate accepted an invalid date";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
    EXPECT_THROW(EncodeDateTime(a.year, a.month, a.day, 0, 0, 0, 0), EConvertError);
  }
  struct TTimeArgs {
    int32_t hour, min, sec, msec;
  };
  const TTimeArgs badTimes[] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}, {0, 0, 0, -1}};
  for (const TTimeArgs& a : badTimes) {
    TDateTime unchanged = 0.5;
    EXPECT_FALSE(TryEncodeTime(a.hour, a.min, a.sec, a.msec, unchanged));
    EXPECT_EQ(unchanged, 0.5);
    try {
      EncodeTime(a.hour, a.min, a.sec, a.msec);
      ADD_FAILURE() << "EncodeTime accepted an invalid time";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "Invalid argument to time encode");
    }
    EXPECT_FALSE(TryEncodeDateTime(2024, 1, 1, a.hour, a.min, a.sec, a.msec, unchanged));
  }
}

// NaN, infinities and values beyond 0001-01-01 .. 9999-12-31 23:59:59.999
// (after rounding to milliseconds) are conversion errors wherever a value
// is taken apart.
TEST(DateUtilsTest, InvalidValuesRaiseConvertError) {
  const double bad[] = {kNaN, kInf, -kInf, 1e300, -1e300, -693594.0, -693594.5,
                        2958466.0, 2958465.9999999999, 9.3e18};
  for (const double v : bad) {
    SCOPED_TRACE(v);
    uint16_t a, b, c, d;
    EXPECT_THROW(DecodeDate(v, a, b, c), EConvertError);
    EXPECT_THROW(DecodeTime(v, a, b, c, d), EConvertError);
    EXPECT_THROW(DayOfWeek(v), EConvertError);
    EXPECT_THROW(DayOfTheWeek(v), EConvertError);
    EXPECT_THROW(WeekOfTheYear(v), EConvertError);
    EXPECT_THROW(FormatDateTime("'text only'", v), EConvertError);
    EXPECT_THROW(FormatPickerDateTime("d", v), EConvertError);
  }
  // The extremes themselves are valid; -693593.5 is 0001-01-01 12:00.
  uint16_t y, m, d;
  EXPECT_NO_THROW(DecodeDate(-693593.99, y, m, d));
  EXPECT_EQ(y, 1);
  EXPECT_NO_THROW(DecodeDate(2958465.9999999884, y, m, d));
  EXPECT_EQ(y, 9999);
}

struct TFormatCase {
  const char* format;
  const char* expected[5];  // for the five values of kFormatValues
};

// 2026-03-07 14:05:09.042 (Saturday), 2005-01-02 09:03:04.005 (Sunday),
// 0001-01-01 00:00 (Monday), 9999-12-31 23:59:59.999 (Friday),
// 1899-12-29 00:30 (Friday, before the epoch).
const double kFormatValues[5] = {46088.58691020833, 38354.3771296875, -693593.0, 2958465.9999999884,
                                 -1.0208333333333333};

const TFormatCase kFormatCases[] = {
    {"d", {"7", "2", "1", "31", "29"}},
    {"dd", {"07", "02", "01", "31", "29"}},
    {"ddd", {"Sat", "Sun", "Mon", "Fri", "Fri"}},
    {"dddd", {"Saturday", "Sunday", "Monday", "Friday", "Friday"}},
    {"ddddd", {"3/7/2026", "1/2/2005", "1/1/0001", "12/31/9999", "12/29/1899"}},
    {"dddddd", {"Saturday, March 7, 2026", "Sunday, January 2, 2005", "Monday, January 1, 0001", "Friday, December 31, 9999", "Friday, December 29, 1899"}},
    {"m", {"3", "1", "1", "12", "12"}},
    {"mm", {"03", "01", "01", "12", "12"}},
    {"mmm", {"Mar", "Jan", "Jan", "Dec", "Dec"}},
    {"mmmm", {"March", "January", "January", "December", "December"}},
    {"mmmmm", {"March", "January", "January", "December", "December"}},
    {"y", {"26", "05", "01", "99", "99"}},
    {"yy", {"26", "05", "01", "99", "99"}},
    {"yyy", {"2026", "2005", "0001", "9999", "1899"}},
    {"yyyy", {"2026", "2005", "0001", "9999", "1899"}},
    {"h", {"14", "9", "0", "23", "0"}},
    {"hh", {"14", "09", "00", "23", "00"}},
    {"hhh", {"14", "09", "00", "23", "00"}},
    {"n", {"5", "3", "0", "59", "30"}},
    {"nn", {"05", "03", "00", "59", "30"}},
    {"s", {"9", "4", "0", "59", "0"}},
    {"ss", {"09", "04", "00", "59", "00"}},
    {"z", {"42", "5", "0", "999", "0"}},
    {"zz", {"42", "05", "00", "999", "00"}},
    {"zzz", {"042", "005", "000", "999", "000"}},
    {"t", {"2:05 PM", "9:03 AM", "12:00 AM", "11:59 PM", "12:30 AM"}},
    {"tt", {"2:05:09 PM", "9:03:04 AM", "12:00:00 AM", "11:59:59 PM", "12:30:00 AM"}},
    {"am/pm", {"pm", "am", "am", "pm", "am"}},
    {"AM/PM", {"PM", "AM", "AM", "PM", "AM"}},
    {"Am/Pm", {"Pm", "Am", "Am", "Pm", "Am"}},
    {"a/p", {"p", "a", "a", "p", "a"}},
    {"A/P", {"P", "A", "A", "P", "A"}},
    {"ampm", {"PM", "AM", "AM", "PM", "AM"}},
    {"aaa", {"Sat", "Sun", "Mon", "Fri", "Fri"}},
    {"aaaa", {"Saturday", "Sunday", "Monday", "Friday", "Friday"}},
    {"c", {"3/7/2026 2:05:09 PM", "1/2/2005 9:03:04 AM", "1/1/0001", "12/31/9999 11:59:59 PM", "12/29/1899 12:30:00 AM"}},
    {"", {"3/7/2026 2:05:09 PM", "1/2/2005 9:03:04 AM", "1/1/0001", "12/31/9999 11:59:59 PM", "12/29/1899 12:30:00 AM"}},
    {"hh:mm", {"14:05", "09:03", "00:00", "23:59", "00:30"}},
    {"h:m", {"14:5", "9:3", "0:0", "23:59", "0:30"}},
    {"h \"o\" m", {"14 o 5", "9 o 3", "0 o 0", "23 o 59", "0 o 30"}},
    {"hh x mm", {"14 x 03", "09 x 01", "00 x 01", "23 x 12", "00 x 12"}},
    {"hh:nn am/pm", {"02:05 pm", "09:03 am", "12:00 am", "11:59 pm", "12:30 am"}},
    {"h a", {"14 a", "9 a", "0 a", "23 a", "0 a"}},
    {"h 'am/pm'", {"14 am/pm", "9 am/pm", "0 am/pm", "23 am/pm", "0 am/pm"}},
    {"mm/dd/yy", {"03/07/26", "01/02/05", "01/01/01", "12/31/99", "12/29/99"}},
    {"yyyy-mm-dd hh:nn:ss.zzz", {"2026-03-07 14:05:09.042", "2005-01-02 09:03:04.005", "0001-01-01 00:00:00.000", "9999-12-31 23:59:59.999", "1899-12-29 00:30:00.000"}},
    {"mmm-dd, yyyy", {"Mar-07, 2026", "Jan-02, 2005", "Jan-01, 0001", "Dec-31, 9999", "Dec-29, 1899"}},
    {"'d m' \"y\" 'it''s'", {"d m y its", "d m y its", "d m y its", "d m y its", "d m y its"}},
    {"DD 'open", {"07 open", "02 open", "01 open", "31 open", "29 open"}},
    {"Week x!", {"Week x!", "Week x!", "Week x!", "Week x!", "Week x!"}},
};

TEST(DateUtilsTest, FormatDateTimeTokens) {
  for (const TFormatCase& c : kFormatCases) {
    for (int k = 0; k < 5; ++k) {
      SCOPED_TRACE(std::string("format \"") + c.format + "\", value " + std::to_string(k));
      EXPECT_EQ(FormatDateTime(c.format, kFormatValues[k]), c.expected[k]);
    }
  }
}

TEST(DateUtilsTest, FormatDateTimeTwelveHourClockAroundNoonAndMidnight) {
  // Hours 0, 1, 11, 12, 13 and 23 on the 12-hour clock, in both tokens.
  struct TClockCase {
    int32_t hour;
    const char* text;
  };
  const TClockCase cases[] = {{0, "12 AM a 12:00:00 AM"}, {1, "1 AM a 1:00:00 AM"},   {11, "11 AM a 11:00:00 AM"},
                              {12, "12 PM p 12:00:00 PM"}, {13, "1 PM p 1:00:00 PM"}, {23, "11 PM p 11:00:00 PM"}};
  for (const TClockCase& c : cases) {
    SCOPED_TRACE(c.hour);
    const TDateTime value = EncodeDateTime(2024, 6, 1, c.hour, 0, 0, 0);
    EXPECT_EQ(FormatDateTime("h AM/PM a/p tt", value), c.text);
  }
}

const TFormatCase kPickerCases[] = {
    {"d", {"7", "2", "1", "31", "29"}},
    {"dd", {"07", "02", "01", "31", "29"}},
    {"ddd", {"Sat", "Sun", "Mon", "Fri", "Fri"}},
    {"dddd", {"Saturday", "Sunday", "Monday", "Friday", "Friday"}},
    {"ddddd", {"Saturday", "Sunday", "Monday", "Friday", "Friday"}},
    {"M", {"3", "1", "1", "12", "12"}},
    {"MM", {"03", "01", "01", "12", "12"}},
    {"MMM", {"Mar", "Jan", "Jan", "Dec", "Dec"}},
    {"MMMM", {"March", "January", "January", "December", "December"}},
    {"y", {"6", "5", "1", "9", "9"}},
    {"yy", {"26", "05", "01", "99", "99"}},
    {"yyy", {"2026", "2005", "0001", "9999", "1899"}},
    {"yyyy", {"2026", "2005", "0001", "9999", "1899"}},
    {"h", {"2", "9", "12", "11", "12"}},
    {"hh", {"02", "09", "12", "11", "12"}},
    {"H", {"14", "9", "0", "23", "0"}},
    {"HH", {"14", "09", "00", "23", "00"}},
    {"m", {"5", "3", "0", "59", "30"}},
    {"mm", {"05", "03", "00", "59", "30"}},
    {"s", {"9", "4", "0", "59", "0"}},
    {"ss", {"09", "04", "00", "59", "00"}},
    {"t", {"P", "A", "A", "P", "A"}},
    {"tt", {"PM", "AM", "AM", "PM", "AM"}},
    {"", {"3/7/2026", "1/2/2005", "1/1/0001", "12/31/9999", "12/29/1899"}},
    {"dd'.'MM'.'yyyy HH:mm:ss", {"07.03.2026 14:05:09", "02.01.2005 09:03:04", "01.01.0001 00:00:00", "31.12.9999 23:59:59", "29.12.1899 00:30:00"}},
    {"'It''s' h:mm tt", {"It's 2:05 PM", "It's 9:03 AM", "It's 12:00 AM", "It's 11:59 PM", "It's 12:30 AM"}},
    {"'' d", {"' 7", "' 2", "' 1", "' 31", "' 29"}},
    {"'open d", {"open d", "open d", "open d", "open d", "open d"}},
    {"D x", {"D x", "D x", "D x", "D x", "D x"}},
};

TEST(DateUtilsTest, PickerFormatFields) {
  for (const TFormatCase& c : kPickerCases) {
    for (int k = 0; k < 5; ++k) {
      SCOPED_TRACE(std::string("format \"") + c.format + "\", value " + std::to_string(k));
      EXPECT_EQ(FormatPickerDateTime(c.format, kFormatValues[k]), c.expected[k]);
    }
  }
}

/// Installs a clock for one test and restores the system clock afterwards.
class ScopedClock {
public:
  explicit ScopedClock(TClockFunction clock) { SetClock(std::move(clock)); }
  ~ScopedClock() { ResetClock(); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;
};

TEST(DateUtilsTest, ReplaceableClock) {
  TDateTime fake = 46367.57436484953;  // 2026-12-11 13:47:05.123
  {
    ScopedClock clock([&fake] { return fake; });
    EXPECT_EQ(Now(), fake);
    EXPECT_EQ(Date(), 46367.0);
    EXPECT_NEAR(Time(), 0.57436484953, 1e-11);
    fake = -1.25;  // the clock is read on every call
    EXPECT_EQ(Date(), -1.0);
    EXPECT_EQ(Time(), 0.25);
    // A clock may replace itself.
    SetClock([] { return 100.5; });
    EXPECT_EQ(Now(), 100.5);
  }
  // Back on the system clock: agrees with the C library's time to a day.
  const TDateTime now = Now();
  EXPECT_NEAR(now, LocalDateTimeFromUnix(static_cast<int64_t>(std::time(nullptr)), 0), 1.0);
  EXPECT_GT(now, 46000.0);
}

TEST(DateUtilsTest, TwoDigitYearWindow) {
  struct TWindowCase {
    int32_t year, currentYear, expanded;
  };
  const TWindowCase cases[] = {{76, 2026, 1976}, {75, 2026, 2075}, {0, 2026, 2000},  {99, 2026, 1999},
                               {50, 2050, 2050}, {99, 2050, 2099}, {0, 2050, 2000},  {48, 2099, 2148}, {49, 2099, 2049},
                               {100, 2026, 100}, {-1, 2026, -1},   {1999, 2026, 1999}};
  for (const TWindowCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.year) + " in " + std::to_string(c.currentYear));
    EXPECT_EQ(ExpandTwoDigitYear(c.year, c.currentYear), c.expanded);
  }
  ScopedClock clock([] { return 18264.5; });  // 1950-01-01 12:00
  EXPECT_EQ(ExpandTwoDigitYear(0), 1900);
  EXPECT_EQ(ExpandTwoDigitYear(99), 1999);
}

TEST(DateUtilsTest, LocalDateTimeFromUnixUsesTheTimeZone) {
  // Each test runs in its own process, so changing the zone is contained.
  struct TZoneCase {
    const char* zone;
    int64_t seconds, nanoseconds;
    double expected;
  };
  const TZoneCase cases[] = {
      {"UTC0", 0, 0, 25569.0},
      {"EST5", 0, 0, 25568.791666666668},
      {"UTC0", 1700000000, 500000000, 45244.92593171296},
      {"EST5", 1700000000, 500000000, 45244.717598379626},
      {"UTC0", -2209161600 - 21600, 0, -1.75},  // 1899-12-29 18:00
      {"EST5", -2209161600 - 21600, 0, -1.5416666666666667},
  };
  for (const TZoneCase& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.seconds));
    ::setenv("TZ", c.zone, 1);
    ::tzset();
    EXPECT_NEAR(LocalDateTimeFromUnix(c.seconds, c.nanoseconds), c.expected, 1e-9);
  }
  // Extreme moments give a value, never undefined behaviour.
  EXPECT_TRUE(std::isfinite(LocalDateTimeFromUnix(std::numeric_limits<int64_t>::max(), 999999999)));
  EXPECT_TRUE(std::isfinite(LocalDateTimeFromUnix(std::numeric_limits<int64_t>::min(), 0)));
  ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace vexa
