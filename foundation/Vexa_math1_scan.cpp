// Text scanners and validators. Every scanner is a total function over its
// input: it reads the longest valid prefix at a 1-based position, returns 0
// and leaves the position alone on failure, never reads outside the string
// and never throws.

#include <chrono>
#include <limits>

#include "foundation/Vexa_math1.h"
#include "platform/Vexa_numtext.h"

namespace vexa {

namespace {

// ---------------------------------------------------------------- cursor

/// A read position inside a string; At() gives '\0' past the end, so the
/// grammar code never indexes outside the string.
struct TCursor {
  const std::string* S = nullptr;
  size_t i = 0;

  char At(size_t Ahead = 0) const { return i + Ahead < S->size() ? (*S)[i + Ahead] : '\0'; }
  bool AtEnd() const { return i >= S->size(); }
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// Starts a scan at the 1-based Pos: false when Pos lies outside the string.
/// Leading blanks and tabs are skipped.
bool StartScan(const std::string& S, int32_t Pos, TCursor& Cursor) {
  if (Pos < 1 || static_cast<size_t>(Pos) > S.size()) return false;
  Cursor.i = static_cast<size_t>(Pos) - 1;
  while (IsBlank(Cursor.At())) ++Cursor.i;
  return true;
}

int32_t FinishScan(const TCursor& Cursor, int32_t& Pos) {
  Pos = static_cast<int32_t>(Cursor.i + 1);
  return 0;
}

void SkipBlanks(TCursor& c) {
  while (IsBlank(c.At())) ++c.i;
}

// ---------------------------------------------------------------- bit patterns

int32_t DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 99;
}

/// Reads digits of the base as a 32-bit pattern; false without a digit or when
/// the value needs more than 32 bits.
bool ReadPattern(TCursor& c, uint32_t Base, uint32_t& Value) {
  uint64_t v = 0;
  const size_t start = c.i;
  while (static_cast<uint32_t>(DigitValue(c.At())) < Base) {
    v = v * Base + static_cast<uint32_t>(DigitValue(c.At()));
    if (v > std::numeric_limits<uint32_t>::max()) return false;
    ++c.i;
  }
  Value = static_cast<uint32_t>(v);
  return c.i > start;
}

/// Scans a pattern of the base at Pos; Prefix is an optional leading
/// character ('$' for hex, '\0' for none).
int32_t ScanPattern(const std::string& S, int32_t& Pos, uint32_t Base, char Prefix) {
  TCursor c{&S};
  if (!StartScan(S, Pos, c)) return 0;
  if (Prefix != '\0' && c.At() == Prefix) ++c.i;
  uint32_t value = 0;
  if (!ReadPattern(c, Base, value)) return 0;
  FinishScan(c, Pos);
  return static_cast<int32_t>(value);  // the 32-bit pattern (well defined in C++20)
}

/// Reads an optional sign and decimal digits in the int32 range.
bool ReadDecimal(TCursor& c, int32_t& Value) {
  const bool negative = c.At() == '-';
  if (c.At() == '-' || c.At() == '+') ++c.i;
  if (!IsDigit(c.At())) return false;
  const int64_t limit = negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
  int64_t v = 0;
  while (IsDigit(c.At())) {
    v = v * 10 + (c.At() - '0');
    if (v > limit) return false;
    ++c.i;
  }
  Value = static_cast<int32_t>(negative ? -v : v);
  return true;
}

// ---------------------------------------------------------------- reals

bool IsSeparator(char ch, int32_t SepMode) {
  switch (SepMode) {
    case dpsSystem: return ch == DecimalSeparator();
    case dpsPoint: return ch == '.';
    case dpsComma: return ch == ',';
    case dpsBoth: return ch == '.' || ch == ',';
    default: return false;
  }
}

/// Reads the real-number grammar; Text receives the number in the
/// platform's form ("-12.5E+3", '.' as separator). False without a mantissa
/// digit. An "E" not followed by an exponent digit is not read.
bool ReadRealText(TCursor& c, bool AllowExp, int32_t SepMode, std::string& Text) {
  TCursor r = c;
  Text.clear();
  if (r.At() == '-' || r.At() == '+') {
    Text += r.At();
    ++r.i;
  }
  size_t mantissaDigits = 0;
  while (IsDigit(r.At())) {
    Text += r.At();
    ++r.i;
    ++mantissaDigits;
  }
  if (IsSeparator(r.At(), SepMode)) {
    TCursor afterSep = r;
    ++afterSep.i;
    std::string fraction;
    while (IsDigit(afterSep.At())) {
      fraction += afterSep.At();
      ++afterSep.i;
    }
    if (mantissaDigits + fraction.size() > 0) {
      Text += (mantissaDigits == 0 ? "0." : ".") + (fraction.empty() ? "0" : fraction);
      mantissaDigits += fraction.size();
      r = afterSep;
    }
  }
  if (mantissaDigits == 0) return false;
  if (AllowExp && (r.At() == 'E' || r.At() == 'e')) {
    size_t ahead = 1;
    if (r.At(ahead) == '+' || r.At(ahead) == '-') ++ahead;
    if (IsDigit(r.At(ahead))) {
      Text += 'E';
      for (size_t k = 1; k < ahead; ++k) Text += r.At(k);
      r.i += ahead;
      while (IsDigit(r.At())) {
        Text += r.At();
        ++r.i;
      }
    }
  }
  c = r;
  return true;
}

/// Reads a real and converts it; false also when it overflows a double.
bool ReadReal(TCursor& c, bool AllowExp, int32_t SepMode, double& Value) {
  TCursor r = c;
  std::string text;
  if (!ReadRealText(r, AllowExp, SepMode, text)) return false;
  if (!TryStrToFloat(text, Value, '.')) return false;
  c = r;
  return true;
}


// ---------------------------------------------------------------- degrees

/// Reads an unsigned fixed-point number ("12", "12.5", ".5"); Whole tells
/// whether it had no separator.
bool ReadUnsignedNumber(TCursor& c, double& Value, bool& Whole) {
  if (!IsDigit(c.At()) && c.At() != '.') return false;
  TCursor r = c;
  std::string text;
  if (!ReadRealText(r, false, dpsPoint, text)) return false;
  if (!TryStrToFloat(text, Value, '.')) return false;
  Whole = text.find('.') == std::string::npos;
  c = r;
  return true;
}

/// Length of the degree sign at the cursor: 2 for UTF-8 "°", 1 for the
/// single byte B0h, 0 if there is none.
size_t DegreeSignLength(const TCursor& c) {
  if (c.At() == '\xC2' && c.At(1) == '\xB0') return 2;
  return c.At() == '\xB0' ? 1 : 0;
}

/// Reads " <number><Unit>" with a value below 60; the cursor moves only on success.
bool ReadAnglePart(TCursor& c, char Unit, double& Value, bool& Whole) {
  TCursor r = c;
  SkipBlanks(r);
  if (!ReadUnsignedNumber(r, Value, Whole) || r.At() != Unit || !(Value < 60)) return false;
  ++r.i;
  c = r;
  return true;
}

// ---------------------------------------------------------------- dates

/// Reads exactly Count decimal digits.
bool ReadFixedDigits(TCursor& c, size_t Count, int32_t& Value) {
  int32_t v = 0;
  for (size_t k = 0; k < Count; ++k) {
    if (!IsDigit(c.At(k))) return false;
    v = v * 10 + (c.At(k) - '0');
  }
  c.i += Count;
  Value = v;
  return true;
}

struct TDateTimeFields {
  int32_t Year = -1;
  int32_t Month = -1;
  int32_t Day = -1;
  int32_t Hour = 0;
  int32_t Minute = 0;
  int32_t Second = 0;
  bool AnyToken = false;
};

/// Reads S along the layout's tokens and literal characters.
bool ReadByLayout(TCursor& c, const std::string& Layout, TDateTimeFields& f) {
  struct TToken {
    const char* Name;
    int32_t TDateTimeFields::*Field;
  };
  static constexpr TToken kTokens[] = {
      {"yyyy", &TDateTimeFields::Year},   {"mm", &TDateTimeFields::Month},
      {"dd", &TDateTimeFields::Day},      {"HH", &TDateTimeFields::Hour},
      {"MM", &TDateTimeFields::Minute},   {"SS", &TDateTimeFields::Second}};
  size_t l = 0;
  while (l < Layout.size()) {
    const TToken* token = nullptr;
    for (const TToken& t : kTokens) {
      if (Layout.compare(l, std::char_traits<char>::length(t.Name), t.Name) == 0) token = &t;
    }
    if (token != nullptr) {
      const size_t width = std::char_traits<char>::length(token->Name);
      if (!ReadFixedDigits(c, width, f.*(token->Field))) return false;
      f.AnyToken = true;
      l += width;
    } else {
      if (c.AtEnd() || c.At() != Layout[l]) return false;
      ++c.i;
      ++l;
    }
  }
  return f.AnyToken;
}

/// The TDateTime of the fields; false for impossible dates and times.
bool ComposeDateTime(const TDateTimeFields& f, double& Value) {
  using namespace std::chrono;
  if (f.Hour > 23 || f.Minute > 59 || f.Second > 59) return false;
  int64_t days = 0;
  const bool hasDate = f.Year >= 0 || f.Month >= 0 || f.Day >= 0;
  if (hasDate) {
    if (f.Year < 1) return false;
    const year_month_day date{year(f.Year), month(static_cast<unsigned>(f.Month < 0 ? 1 : f.Month)),
                              day(static_cast<unsigned>(f.Day < 0 ? 1 : f.Day))};
    if (!date.ok()) return false;
    days = (sys_days(date) - sys_days(1899y / December / 30)).count();
  }
  const double time = (f.Hour * 3600.0 + f.Minute * 60.0 + f.Second) / 86400.0;
  // Before the epoch the time of day counts away from the date, as the
  // platform's TDateTime stores it (-1.25 is 29 Dec 1899, 06:00).
  Value = days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
  return true;
}

// ---------------------------------------------------------------- validators

/// True when Scan reads the whole of S (non-empty, no leading blank).
template <typename TScan>
bool ScansWhole(const std::string& S, TScan&& Scan) {
  if (S.empty() || IsBlank(S[0])) return false;
  int32_t pos = 1;
  Scan(pos);
  return static_cast<size_t>(pos) == S.size() + 1;
}

}  // namespace

// ---------------------------------------------------------------- scanners

int32_t ScanHex(const std::string& S, int32_t& Pos) { return ScanPattern(S, Pos, 16, '$'); }

int32_t ScanOctal(const std::string& S, int32_t& Pos) { return ScanPattern(S, Pos, 8, '\0'); }

int32_t ScanBin(const std::string& S, int32_t& Pos) { return ScanPattern(S, Pos, 2, '\0'); }

int32_t ScanDecimal(const std::string& S, int32_t& Pos) {
  TCursor c{&S};
  if (!StartScan(S, Pos, c)) return 0;
  int32_t value = 0;
  if (!ReadDecimal(c, value)) return 0;
  FinishScan(c, Pos);
  return value;
}

double ScanFPNum(const std::string& S, bool AllowExp, int32_t SepMode, int32_t& Pos) {
  if (SepMode < dpsSystem || SepMode > dpsBoth) return 0;
  TCursor c{&S};
  if (!StartScan(S, Pos, c)) return 0;
  double value = 0;
  if (!ReadReal(c, AllowExp, SepMode, value)) return 0;
  FinishScan(c, Pos);
  return value;
}

double ScanDegrees(const std::string& S, int32_t& Format, bool AllowSign, int32_t& Pos) {
  TCursor c{&S};
  if (!StartScan(S, Pos, c)) return 0;
  bool negative = false;
  if (c.At() == '-' || c.At() == '+') {
    if (!AllowSign) return 0;
    negative = c.At() == '-';
    ++c.i;
  }
  double degrees = 0;
  bool whole = false;
  if (!ReadUnsignedNumber(c, degrees, whole)) return 0;
  int32_t format = dfPlain;
  double value = degrees;
  if (const size_t sign = DegreeSignLength(c); sign > 0) {
    c.i += sign;
    format = dfDecDeg;
    double minutes = 0;
    bool wholeMinutes = false;
    // Minutes follow whole degrees only, seconds whole minutes only.
    if (whole && ReadAnglePart(c, '\'', minutes, wholeMinutes)) {
      format = dfDegMin;
      double seconds = 0;
      bool wholeSeconds = false;
      if (wholeMinutes && ReadAnglePart(c, '"', seconds, wholeSeconds)) {
        format = dfDegMinSec;
        value = degrees + (minutes * 60 + seconds) / 3600;
      } else {
        value = degrees + minutes / 60;
      }
    }
  }
  Format = format;
  FinishScan(c, Pos);
  return negative ? -value : value;
}

double ScanDateTime(const std::string& S, const std::string& Layout, TLanguage Language,
                    int32_t& Pos) {
  (void)Language;  // month-name layouts are not supported yet
  TCursor c{&S};
  if (!StartScan(S, Pos, c)) return 0;
  TDateTimeFields fields;
  double value = 0;
  if (!ReadByLayout(c, Layout, fields) || !ComposeDateTime(fields, value)) return 0;
  FinishScan(c, Pos);
  return value;
}

// ---------------------------------------------------------------- validators

bool IsValidDouble(const std::string& S, bool AllowExp, TDecPSep DecPSep) {
  return ScansWhole(S, [&](int32_t& pos) { ScanFPNum(S, AllowExp, DecPSep, pos); });
}

bool IsValidFPNum(const std::string& S, TDecPSep DecPSep) {
  // Walks the grammar as far as the text goes: a text that ends early is the
  // beginning of a number; a complete number must also be in range.
  if (S.empty()) return false;
  TCursor c{&S};
  if (c.At() == '-' || c.At() == '+') ++c.i;
  size_t digits = 0;
  while (IsDigit(c.At())) ++c.i, ++digits;
  if (IsSeparator(c.At(), DecPSep)) {
    ++c.i;
    while (IsDigit(c.At())) ++c.i, ++digits;
  }
  bool complete = digits > 0;
  if (!c.AtEnd() && (c.At() == 'E' || c.At() == 'e')) {
    if (digits == 0) return false;
    ++c.i;
    if (c.At() == '-' || c.At() == '+') ++c.i;
    complete = IsDigit(c.At());
    while (IsDigit(c.At())) ++c.i;
  }
  if (!c.AtEnd()) return false;
  return !complete || IsValidDouble(S, true, DecPSep);
}

bool IsValidHex(const std::string& S) {
  return ScansWhole(S, [&](int32_t& pos) { ScanHex(S, pos); });
}

bool IsValidOct(const std::string& S) {
  return ScansWhole(S, [&](int32_t& pos) { ScanOctal(S, pos); });
}

bool IsValidBin(const std::string& S) {
  return ScansWhole(S, [&](int32_t& pos) { ScanBin(S, pos); });
}

bool IsValidDecInt(const std::string& S) {
  return ScansWhole(S, [&](int32_t& pos) { ScanDecimal(S, pos); });
}

}  // namespace vexa
