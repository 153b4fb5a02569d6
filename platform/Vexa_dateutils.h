#pragma once
/// @file
/// The platform's date and time values: TDateTime, encoding and decoding,
/// weekdays and ISO weeks, the current date and time from a replaceable
/// clock, and text formatting with English names.
///
/// A TDateTime counts days since 1899-12-30 00:00 (the platform's epoch);
/// the fraction is the time of day. Before the epoch the date is the value
/// truncated toward zero and the time of day is the absolute fraction:
/// -1.25 is 1899-12-29 06:00. Values are first rounded to whole
/// milliseconds, so 0.99999999999 is 1899-12-31 00:00.
///
/// Valid values lie between 0001-01-01 and 9999-12-31 23:59:59.999; a NaN, an
/// infinity or a value outside that span raises EConvertError wherever a
/// value is taken apart.

#include <cstdint>
#include <functional>
#include <string>

namespace vexa {

/// Days since 1899-12-30, time of day as the fraction.
using TDateTime = double;

/// Number of milliseconds in a day.
inline constexpr int64_t MSecsPerDay = 86400000;
/// TDateTime of 0001-01-01 and of 9999-12-31 (the first and last valid dates).
inline constexpr TDateTime MinDateTime = -693593.0;
inline constexpr TDateTime MaxDateTime = 2958465.0;
/// TDateTime of 1970-01-01 00:00, the start of the system's clock.
inline constexpr TDateTime UnixDateDelta = 25569.0;

/// English names; months are indexed 1..12 and weekdays 1 (Sunday) .. 7
/// (Saturday), as DayOfWeek counts. Index 0 holds an empty text.
extern const char* const ShortMonthNames[13];
extern const char* const LongMonthNames[13];
extern const char* const ShortDayNames[8];
extern const char* const LongDayNames[8];

/// The formats the compound tokens of FormatDateTime stand for (English, US).
inline constexpr const char* ShortDateFormat = "m/d/yyyy";
inline constexpr const char* LongDateFormat = "dddd, mmmm d, yyyy";
inline constexpr const char* ShortTimeFormat = "h:mm AMPM";
inline constexpr const char* LongTimeFormat = "h:mm:ss AMPM";
inline constexpr const char* TimeAMString = "AM";
inline constexpr const char* TimePMString = "PM";
inline constexpr char DateSeparator = '/';
inline constexpr char TimeSeparator = ':';

/// Two-digit years are placed in the 100 years starting this many years
/// before the current year (see ExpandTwoDigitYear).
inline constexpr int32_t TwoDigitYearCenturyWindow = 50;

// ---------------------------------------------------------------- calendar

/// True for the leap years of the Gregorian calendar (also before 1582).
bool IsLeapYear(int32_t Year) noexcept;
/// Length of a month (28..31); 0 when Month is outside 1..12.
uint16_t DaysInAMonth(int32_t Year, int32_t Month) noexcept;

/// The TDateTime of a date; false (Date unchanged) unless Year is 1..9999,
/// Month 1..12 and Day 1..length of the month.
bool TryEncodeDate(int32_t Year, int32_t Month, int32_t Day, TDateTime& Date) noexcept;
/// As TryEncodeDate; raises EConvertError "Invalid argument to date encode".
TDateTime EncodeDate(int32_t Year, int32_t Month, int32_t Day);
/// The fraction of a day of a time; false (Time unchanged) unless Hour is
/// 0..23, Min and Sec 0..59 and MSec 0..999.
bool TryEncodeTime(int32_t Hour, int32_t Min, int32_t Sec, int32_t MSec, TDateTime& Time) noexcept;
/// As TryEncodeTime; raises EConvertError "Invalid argument to time encode".
TDateTime EncodeTime(int32_t Hour, int32_t Min, int32_t Sec, int32_t MSec);
/// Date and time together; before the epoch the time counts away from the
/// date (1899-12-29 06:00 is -1.25). False (Value unchanged) on an invalid part.
bool TryEncodeDateTime(int32_t Year, int32_t Month, int32_t Day, int32_t Hour, int32_t Min,
                       int32_t Sec, int32_t MSec, TDateTime& Value) noexcept;
/// As TryEncodeDateTime; raises EConvertError with the message of the invalid part.
TDateTime EncodeDateTime(int32_t Year, int32_t Month, int32_t Day, int32_t Hour, int32_t Min,
                         int32_t Sec, int32_t MSec);

/// Year, month and day of a value (raises EConvertError for invalid values).
void DecodeDate(TDateTime Date, uint16_t& Year, uint16_t& Month, uint16_t& Day);
/// Hour, minute, second and millisecond of a value's time of day.
void DecodeTime(TDateTime Time, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec);
/// Both of the above in one step.
void DecodeDateTime(TDateTime Value, uint16_t& Year, uint16_t& Month, uint16_t& Day, uint16_t& Hour,
                    uint16_t& Min, uint16_t& Sec, uint16_t& MSec);

/// Weekday in the platform's numbering: 1 Sunday, 2 Monday ... 7 Saturday.
uint16_t DayOfWeek(TDateTime Date);
/// ISO 8601 weekday: 1 Monday ... 7 Sunday.
uint16_t DayOfTheWeek(TDateTime Date);
/// ISO 8601 week number (1..53). The week belongs to the year that holds its
/// Thursday, so 2021-01-01 is in week 53 of 2020 and 2024-12-30 in week 1 of 2025.
uint16_t WeekOfTheYear(TDateTime Date);
/// The same, also giving the year the week belongs to.
uint16_t WeekOfTheYear(TDateTime Date, uint16_t& Year);

// ---------------------------------------------------------------- the clock

/// A source of the current local date and time.
using TClockFunction = std::function<TDateTime()>;

/// Replaces the clock that Now, Date and Time read. The control framework's
/// test clock installs itself here so that timers and the wall clock move
/// together and deterministically; an empty function restores the system
/// clock. The clock is called without any lock held, so it may call SetClock.
/// Safe to call from any thread.
void SetClock(TClockFunction Clock);
/// Restores the system clock (local time, millisecond resolution or better).
void ResetClock();
/// The current date and time from the clock.
TDateTime Now();
/// Today's date (the clock's value without its time of day).
TDateTime Date();
/// The current time of day (the clock's fraction of the day).
TDateTime Time();

/// Local date and time of a moment given as seconds and nanoseconds since
/// 1970-01-01 00:00 UTC (the system's clock and file times), by the
/// system's time zone; UTC when the zone cannot place the moment.
TDateTime LocalDateTimeFromUnix(int64_t Seconds, int64_t Nanoseconds) noexcept;

/// A two-digit year (0..99) placed in the century window around CurrentYear:
/// the 100 years starting TwoDigitYearCenturyWindow years before it (with
/// 2026: 76 → 1976, 75 → 2075). Other years are returned as they are.
int32_t ExpandTwoDigitYear(int32_t Year, int32_t CurrentYear) noexcept;
/// The same around the year of Date() (EConvertError when the clock gives
/// an invalid value).
int32_t ExpandTwoDigitYear(int32_t Year);

// ---------------------------------------------------------------- text

/// The value as text by a format of the platform's tokens (letters in either case):
/// - d, dd: day (dd with a leading zero); ddd, dddd: short or long weekday
///   name; ddddd: ShortDateFormat; dddddd (or longer): LongDateFormat.
/// - m, mm: month, or minutes when the previous letter token was h or hh;
///   mmm, mmmm (or longer): short or long month name.
/// - y, yy: two-digit year; yyy, yyyy (or longer): four-digit year.
/// - h, hh: hour; on a 12-hour clock when an am/pm token follows before the
///   next h (the first 'a' outside quotes after it decides) or came earlier
///   in the same format (the formats of c, t, ddddd, dddddd count apart). n, nn:
///   minutes; s, ss: seconds; z, zz, zzz: milliseconds, at least 1..3 digits.
/// - t: ShortTimeFormat; tt: LongTimeFormat; c: ShortDateFormat, then a blank
///   and LongTimeFormat unless the time is midnight.
/// - am/pm, a/p: the morning or afternoon half of the token itself, in its
///   letter case; ampm: TimeAMString or TimePMString; aaa, aaaa: short or
///   long weekday name.
/// - '/' DateSeparator, ':' TimeSeparator; text in '...' or "..." is copied
///   as it is (an unclosed quote runs to the end); every other character too.
/// An empty Format counts as "c". Raises EConvertError for an invalid value.
std::string FormatDateTime(const std::string& Format, TDateTime DateTime);

/// The value as text by a date-time picker's display format (the letters are
/// case-sensitive): d, dd day; ddd, dddd weekday name; M, MM month; MMM, MMMM
/// month name; y last digit of the year, yy two digits, yyy and yyyy the full
/// year (four digits); h, hh hour on a 12-hour clock; H, HH hour on a 24-hour
/// clock; m, mm minutes; s, ss seconds; t "A"/"P", tt "AM"/"PM". The single
/// letters have no leading zero, the doubled ones have one; longer runs count
/// as the longest form. Text in '...' is copied ("''" gives one quote), every
/// other character too. An empty Format gives the short date "M/d/yyyy".
/// Raises EConvertError for an invalid value.
std::string FormatPickerDateTime(const std::string& Format, TDateTime DateTime);

}  // namespace vexa
