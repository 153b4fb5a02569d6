#include "platform/Vexa_dateutils.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>
#include <string_view>

#include "platform/Vexa_exceptions.h"
#include "platform/Vexa_intmath.h"
#include "platform/Vexa_numtext.h"

namespace vexa {

const char* const ShortMonthNames[13] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const LongMonthNames[13] = {"",     "January", "February",  "March",   "April",
                                        "May",  "June",    "July",      "August",  "September",
                                        "October", "November", "December"};
const char* const ShortDayNames[8] = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const LongDayNames[8] = {"",         "Sunday", "Monday",  "Tuesday",
                                     "Wednesday", "Thursday", "Friday", "Saturday"};

namespace {

using namespace std::chrono;

constexpr sys_days kEpoch = 1899y / December / 30;
constexpr int32_t kMinYear = 1;
constexpr int32_t kMaxYear = 9999;

// ---------------------------------------------------------------- splitting values

/// A valid TDateTime taken apart: whole days since the epoch (truncated
/// toward zero) and milliseconds of the day (0 .. MSecsPerDay - 1).
struct TDayAndTime {
  int64_t Days;
  int32_t MSecOfDay;
};

[[noreturn]] void RaiseInvalidValue(TDateTime Value) {
  throw EConvertError("'" + FloatToStr(Value) + "' is not a valid date and time");
}

/// Rounds the value to whole milliseconds, then splits it as the platform
/// does: the date truncated toward zero, the time of day as the absolute
/// remainder. Raises EConvertError outside 0001-01-01 .. 9999-12-31.
TDayAndTime SplitDateTime(TDateTime Value) {
  // The span check first keeps the millisecond count far inside int64_t.
  if (!std::isfinite(Value) || std::fabs(Value) > 4e6) RaiseInvalidValue(Value);
  const int64_t msecs = RoundToInt64(Value * static_cast<double>(MSecsPerDay));
  const int64_t days = msecs / MSecsPerDay;
  if (days < static_cast<int64_t>(MinDateTime) || days > static_cast<int64_t>(MaxDateTime)) {
    RaiseInvalidValue(Value);
  }
  const int64_t remainder = msecs % MSecsPerDay;
  return {days, static_cast<int32_t>(remainder < 0 ? -remainder : remainder)};
}

year_month_day CivilDate(int64_t Days) { return year_month_day{kEpoch + days{Days}}; }

/// 1 Sunday ... 7 Saturday; the epoch 1899-12-30 was a Saturday.
uint16_t PlatformWeekday(int64_t Days) {
  const int64_t fromSunday = ((Days + 6) % 7 + 7) % 7;
  return static_cast<uint16_t>(fromSunday + 1);
}

/// 1 Monday ... 7 Sunday.
uint16_t IsoWeekday(int64_t Days) {
  const uint16_t platform = PlatformWeekday(Days);
  return platform == 1 ? 7 : static_cast<uint16_t>(platform - 1);
}

/// ISO week number and its year: the week belongs to the year of its Thursday.
uint16_t IsoWeek(int64_t Days, uint16_t& WeekYear) {
  const int64_t thursday = Days - IsoWeekday(Days) + 4;
  const year_month_day date = CivilDate(thursday);
  const int64_t dayOfYear = (kEpoch + days{thursday} - sys_days{date.year() / January / 1}).count();
  WeekYear = static_cast<uint16_t>(static_cast<int>(date.year()));
  return static_cast<uint16_t>(dayOfYear / 7 + 1);
}

/// Date and time parts of a valid value, as the formatters use them.
struct TDateTimeParts {
  int32_t Year, Month, Day, Hour, Min, Sec, MSec;
  uint16_t Weekday;  // 1 Sunday ... 7 Saturday
};

TDateTimeParts PartsOf(TDateTime Value) {
  const TDayAndTime split = SplitDateTime(Value);
  const year_month_day date = CivilDate(split.Days);
  const int32_t ms = split.MSecOfDay;
  return {static_cast<int>(date.year()), static_cast<int32_t>(static_cast<unsigned>(date.month())),
          static_cast<int32_t>(static_cast<unsigned>(date.day())), ms / 3600000, ms / 60000 % 60,
          ms / 1000 % 60, ms % 1000, PlatformWeekday(split.Days)};
}

/// A moment counted linearly in days from the epoch, in the platform's
/// convention (before the epoch the time of day counts away from the date).
TDateTime LinearToDateTime(double LinearDays) {
  const double day = std::floor(LinearDays);
  if (day >= 0) return LinearDays;
  return day - (LinearDays - day);
}

// ---------------------------------------------------------------- text helpers

/// Value with at least MinDigits digits (leading zeros); Value >= 0.
void AppendNumber(std::string& Out, int32_t Value, int32_t MinDigits) {
  const std::string digits = std::to_string(Value);
  if (static_cast<int32_t>(digits.size()) < MinDigits) Out.append(MinDigits - digits.size(), '0');
  Out += digits;
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

/// True when Text continues at Pos with Word (ASCII letters in either case).
bool ContinuesWith(std::string_view Text, size_t Pos, std::string_view Word) {
  if (Text.size() - Pos < Word.size()) return false;
  for (size_t k = 0; k < Word.size(); ++k) {
    if (UpperAscii(Text[Pos + k]) != UpperAscii(Word[k])) return false;
  }
  return true;
}

/// Length of the run of Letter starting at Pos.
size_t RunLength(std::string_view Text, size_t Pos, char Letter) {
  size_t end = Pos;
  while (end < Text.size() && Text[end] == Letter) ++end;
  return end - Pos;
}

// ---------------------------------------------------------------- FormatDateTime

/// Writes a value by the platform's format tokens. Within one format level
/// the 12-hour switch, once set, stays on, and the previous letter token
/// decides whether m means minutes.
class TDateTimeWriter {
public:
  explicit TDateTimeWriter(const TDateTimeParts& Parts) : FParts(Parts) {}

  /// Appends Format. Each level (the format and a nested format of c, t,
  /// ddddd or dddddd) starts with no previous token and a 24-hour clock.
  void Append(std::string_view Format) {
    const char outerLastToken = FLastToken;
    const bool outerUse12Hour = FUse12Hour;
    FLastToken = '\0';
    FUse12Hour = false;
    AppendLevel(Format);
    FLastToken = outerLastToken;
    FUse12Hour = outerUse12Hour;
  }

  std::string Text() const { return FOut; }

private:
  void AppendLevel(std::string_view Format) {
    size_t i = 0;
    while (i < Format.size()) {
      const char starter = Format[i++];
      char token = UpperAscii(starter);
      if (IsAsciiLetter(starter)) {
        // m right after an hour token means minutes.
        if (token == 'M' && FLastToken == 'H') token = 'N';
        FLastToken = token;
      }
      AppendToken(Format, i, starter, token);
    }
  }

  /// Handles the token that began at i - 1; advances i past it.
  void AppendToken(std::string_view Format, size_t& i, char Starter, char Token) {
    const size_t start = i - 1;
    const auto count = [&] {
      const size_t run = RunLength(Format, i, Starter);
      i += run;
      return static_cast<int32_t>(run + 1);
    };
    switch (Token) {
      case 'Y': AppendYear(count()); break;
      case 'M': AppendMonth(count()); break;
      case 'D': AppendDay(count()); break;
      case 'H': {
        const int32_t n = count();
        if (AmPmFollows(Format, i)) FUse12Hour = true;
        AppendNumber(FOut, HourOnClock(), std::min(n, 2));
        break;
      }
      case 'N': AppendNumber(FOut, FParts.Min, std::min(count(), 2)); break;
      case 'S': AppendNumber(FOut, FParts.Sec, std::min(count(), 2)); break;
      case 'Z': AppendNumber(FOut, FParts.MSec, std::min(count(), 3)); break;
      case 'T': Append(count() == 1 ? ShortTimeFormat : LongTimeFormat); break;
      case 'C':
        count();
        Append(ShortDateFormat);
        if (FParts.Hour != 0 || FParts.Min != 0 || FParts.Sec != 0 || FParts.MSec != 0) {
          FOut += ' ';
          Append(LongTimeFormat);
        }
        break;
      case 'A': AppendAmPmOrWeekday(Format, start, i); break;
      case '\'':
      case '"': AppendQuoted(Format, i, Starter); break;
      case '/': FOut += DateSeparator; break;
      case ':': FOut += TimeSeparator; break;
      default: FOut += Starter; break;
    }
  }

  void AppendYear(int32_t Count) {
    if (Count <= 2) {
      AppendNumber(FOut, FParts.Year % 100, 2);
    } else {
      AppendNumber(FOut, FParts.Year, 4);
    }
  }

  void AppendMonth(int32_t Count) {
    if (Count <= 2) {
      AppendNumber(FOut, FParts.Month, Count);
    } else {
      FOut += (Count == 3 ? ShortMonthNames : LongMonthNames)[FParts.Month];
    }
  }

  void AppendDay(int32_t Count) {
    switch (Count) {
      case 1:
      case 2: AppendNumber(FOut, FParts.Day, Count); break;
      case 3: FOut += ShortDayNames[FParts.Weekday]; break;
      case 4: FOut += LongDayNames[FParts.Weekday]; break;
      case 5: Append(ShortDateFormat); break;
      default: Append(LongDateFormat); break;
    }
  }

  /// Whether an am/pm token follows the hour token ending at Pos: the first
  /// 'a' outside quotes decides; the next hour token ends the search.
  static bool AmPmFollows(std::string_view Format, size_t Pos) {
    bool betweenQuotes = false;
    for (size_t p = Pos; p < Format.size(); ++p) {
      const char c = Format[p];
      if (c == '\'' || c == '"') {
        betweenQuotes = !betweenQuotes;
      } else if ((c == 'a' || c == 'A') && !betweenQuotes) {
        return ContinuesWith(Format, p, "am/pm") || ContinuesWith(Format, p, "a/p") ||
               ContinuesWith(Format, p, "ampm");
      } else if (c == 'h' || c == 'H') {
        return false;
      }
    }
    return false;
  }

  int32_t HourOnClock() const {
    if (!FUse12Hour) return FParts.Hour;
    if (FParts.Hour == 0) return 12;
    return FParts.Hour > 12 ? FParts.Hour - 12 : FParts.Hour;
  }

  /// am/pm and a/p copy their own letters (keeping their case); ampm writes
  /// the AM/PM strings; aaa and aaaa are weekday names; a lone 'a' is text.
  void AppendAmPmOrWeekday(std::string_view Format, size_t Start, size_t& i) {
    const bool afternoon = FParts.Hour >= 12;
    if (ContinuesWith(Format, Start, "am/pm")) {
      FOut += Format.substr(afternoon ? Start + 3 : Start, 2);
      i = Start + 5;
      FUse12Hour = true;
    } else if (ContinuesWith(Format, Start, "a/p")) {
      FOut += Format[afternoon ? Start + 2 : Start];
      i = Start + 3;
      FUse12Hour = true;
    } else if (ContinuesWith(Format, Start, "ampm")) {
      FOut += afternoon ? TimePMString : TimeAMString;
      i = Start + 4;
      FUse12Hour = true;
    } else if (ContinuesWith(Format, Start, "aaaa")) {
      FOut += LongDayNames[FParts.Weekday];
      i = Start + 4;
    } else if (ContinuesWith(Format, Start, "aaa")) {
      FOut += ShortDayNames[FParts.Weekday];
      i = Start + 3;
    } else {
      FOut += Format[Start];
    }
  }

  /// Text up to the next Quote (or the end) as it is.
  void AppendQuoted(std::string_view Format, size_t& i, char Quote) {
    const size_t close = Format.find(Quote, i);
    const size_t end = close == std::string_view::npos ? Format.size() : close;
    FOut += Format.substr(i, end - i);
    i = close == std::string_view::npos ? end : end + 1;
  }

  const TDateTimeParts& FParts;
  std::string FOut;
  char FLastToken = '\0';
  bool FUse12Hour = false;
};

// ---------------------------------------------------------------- picker formats

/// Writes the field for a run of Count letters Letter of a picker format;
/// false when Letter is not a field letter.
bool AppendPickerField(std::string& Out, const TDateTimeParts& Parts, char Letter, int32_t Count) {
  const int32_t padding = Count >= 2 ? 2 : 1;
  switch (Letter) {
    case 'd':
      if (Count <= 2) AppendNumber(Out, Parts.Day, padding);
      else Out += (Count == 3 ? ShortDayNames : LongDayNames)[Parts.Weekday];
      return true;
    case 'M':
      if (Count <= 2) AppendNumber(Out, Parts.Month, padding);
      else Out += (Count == 3 ? ShortMonthNames : LongMonthNames)[Parts.Month];
      return true;
    case 'y':
      if (Count == 1) AppendNumber(Out, Parts.Year % 10, 1);
      else if (Count == 2) AppendNumber(Out, Parts.Year % 100, 2);
      else AppendNumber(Out, Parts.Year, 4);
      return true;
    case 'h': AppendNumber(Out, Parts.Hour % 12 == 0 ? 12 : Parts.Hour % 12, padding); return true;
    case 'H': AppendNumber(Out, Parts.Hour, padding); return true;
    case 'm': AppendNumber(Out, Parts.Min, padding); return true;
    case 's': AppendNumber(Out, Parts.Sec, padding); return true;
    case 't': Out += std::string_view(Parts.Hour >= 12 ? TimePMString : TimeAMString).substr(0, padding); return true;
    default: return false;
  }
}

/// Quoted picker text starting after the opening quote at i - 1: up to the
/// closing quote, "''" standing for one quote; an unclosed quote runs to the end.
void AppendPickerQuoted(std::string& Out, std::string_view Format, size_t& i) {
  while (i < Format.size()) {
    if (Format[i] != '\'') {
      Out += Format[i++];
    } else if (i + 1 < Format.size() && Format[i + 1] == '\'') {
      Out += '\'';
      i += 2;
    } else {
      ++i;
      return;
    }
  }
}

// ---------------------------------------------------------------- the clock

std::mutex gClockMutex;
TClockFunction gClock;  // empty: the system clock

TDateTime SystemNow() {
  const auto sinceUnixEpoch = system_clock::now().time_since_epoch();
  const auto whole = floor<seconds>(sinceUnixEpoch);
  const auto fraction = duration_cast<nanoseconds>(sinceUnixEpoch - whole);
  return LocalDateTimeFromUnix(whole.count(), fraction.count());
}

}  // namespace

// ---------------------------------------------------------------- calendar

bool IsLeapYear(int32_t Year) noexcept {
  return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

uint16_t DaysInAMonth(int32_t Year, int32_t Month) noexcept {
  static constexpr uint16_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (Month < 1 || Month > 12) return 0;
  return (Month == 2 && IsLeapYear(Year)) ? 29 : kDays[Month - 1];
}

bool TryEncodeDate(int32_t Year, int32_t Month, int32_t Day, TDateTime& Date) noexcept {
  if (Year < kMinYear || Year > kMaxYear || Day < 1 || Day > DaysInAMonth(Year, Month)) return false;
  const year_month_day date{year(Year), month(static_cast<unsigned>(Month)), day(static_cast<unsigned>(Day))};
  Date = static_cast<TDateTime>((sys_days{date} - kEpoch).count());
  return true;
}

TDateTime EncodeDate(int32_t Year, int32_t Month, int32_t Day) {
  TDateTime date = 0;
  if (!TryEncodeDate(Year, Month, Day, date)) throw EConvertError("Invalid argument to date encode");
  return date;
}

bool TryEncodeTime(int32_t Hour, int32_t Min, int32_t Sec, int32_t MSec, TDateTime& Time) noexcept {
  if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 || MSec > 999) {
    return false;
  }
  const int32_t msecs = ((Hour * 60 + Min) * 60 + Sec) * 1000 + MSec;
  Time = static_cast<double>(msecs) / static_cast<double>(MSecsPerDay);
  return true;
}

TDateTime EncodeTime(int32_t Hour, int32_t Min, int32_t Sec, int32_t MSec) {
  TDateTime time = 0;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, time)) throw EConvertError("Invalid argument to time encode");
  return time;
}

bool TryEncodeDateTime(int32_t Year, int32_t Month, int32_t Day, int32_t Hour, int32_t Min,
                       int32_t Sec, int32_t MSec, TDateTime& Value) noexcept {
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(Year, Month, Day, date) || !TryEncodeTime(Hour, Min, Sec, MSec, time)) return false;
  Value = date >= 0 ? date + time : date - time;
  return true;
}

TDateTime EncodeDateTime(int32_t Year, int32_t Month, int32_t Day, int32_t Hour, int32_t Min,
                         int32_t Sec, int32_t MSec) {
  const TDateTime date = EncodeDate(Year, Month, Day);
  const TDateTime time = EncodeTime(Hour, Min, Sec, MSec);
  return date >= 0 ? date + time : date - time;
}

void DecodeDate(TDateTime Date, uint16_t& Year, uint16_t& Month, uint16_t& Day) {
  const TDateTimeParts parts = PartsOf(Date);
  Year = static_cast<uint16_t>(parts.Year);
  Month = static_cast<uint16_t>(parts.Month);
  Day = static_cast<uint16_t>(parts.Day);
}

void DecodeTime(TDateTime Time, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec) {
  const TDateTimeParts parts = PartsOf(Time);
  Hour = static_cast<uint16_t>(parts.Hour);
  Min = static_cast<uint16_t>(parts.Min);
  Sec = static_cast<uint16_t>(parts.Sec);
  MSec = static_cast<uint16_t>(parts.MSec);
}

void DecodeDateTime(TDateTime Value, uint16_t& Year, uint16_t& Month, uint16_t& Day, uint16_t& Hour,
                    uint16_t& Min, uint16_t& Sec, uint16_t& MSec) {
  DecodeDate(Value, Year, Month, Day);
  DecodeTime(Value, Hour, Min, Sec, MSec);
}

uint16_t DayOfWeek(TDateTime Date) { return PlatformWeekday(SplitDateTime(Date).Days); }

uint16_t DayOfTheWeek(TDateTime Date) { return IsoWeekday(SplitDateTime(Date).Days); }

uint16_t WeekOfTheYear(TDateTime Date) {
  uint16_t year = 0;
  return WeekOfTheYear(Date, year);
}

uint16_t WeekOfTheYear(TDateTime Date, uint16_t& Year) { return IsoWeek(SplitDateTime(Date).Days, Year); }

// ---------------------------------------------------------------- the clock

void SetClock(TClockFunction Clock) {
  const std::lock_guard lock(gClockMutex);
  gClock = std::move(Clock);
}

void ResetClock() { SetClock(nullptr); }

TDateTime Now() {
  TClockFunction clock;
  {
    const std::lock_guard lock(gClockMutex);
    clock = gClock;
  }
  return clock ? clock() : SystemNow();
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() {
  const TDateTime now = Now();
  return std::fabs(now - std::trunc(now));
}

TDateTime LocalDateTimeFromUnix(int64_t Seconds, int64_t Nanoseconds) noexcept {
  double offset = 0;
  const std::time_t moment = static_cast<std::time_t>(Seconds);
  std::tm local{};
  if (localtime_r(&moment, &local) != nullptr) offset = static_cast<double>(local.tm_gmtoff);
  // Doubles throughout: no overflow for any input, sub-microsecond precision
  // for today's dates.
  const double seconds = static_cast<double>(Seconds) + offset + static_cast<double>(Nanoseconds) * 1e-9;
  return LinearToDateTime(seconds / 86400.0 + UnixDateDelta);
}

int32_t ExpandTwoDigitYear(int32_t Year, int32_t CurrentYear) noexcept {
  if (Year < 0 || Year > 99) return Year;
  const int32_t centuryBase = std::clamp(CurrentYear, kMinYear, kMaxYear) - TwoDigitYearCenturyWindow;
  int32_t expanded = Year + (centuryBase / 100) * 100;
  if (expanded < centuryBase) expanded += 100;
  return expanded;
}

int32_t ExpandTwoDigitYear(int32_t Year) {
  uint16_t year = 0, month = 0, day = 0;
  DecodeDate(Date(), year, month, day);
  return ExpandTwoDigitYear(Year, year);
}

// ---------------------------------------------------------------- text

std::string FormatDateTime(const std::string& Format, TDateTime DateTime) {
  const TDateTimeParts parts = PartsOf(DateTime);
  TDateTimeWriter writer(parts);
  writer.Append(Format.empty() ? std::string_view("c") : std::string_view(Format));
  return writer.Text();
}

std::string FormatPickerDateTime(const std::string& Format, TDateTime DateTime) {
  const TDateTimeParts parts = PartsOf(DateTime);
  const std::string_view format = Format.empty() ? std::string_view("M/d/yyyy") : std::string_view(Format);
  std::string out;
  size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c == '\'' && i + 1 < format.size() && format[i + 1] == '\'') {
      out += '\'';
      i += 2;
      continue;
    }
    if (c == '\'') {
      ++i;
      AppendPickerQuoted(out, format, i);
      continue;
    }
    const size_t run = RunLength(format, i, c);
    if (AppendPickerField(out, parts, c, static_cast<int32_t>(run))) {
      i += run;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

}  // namespace vexa
