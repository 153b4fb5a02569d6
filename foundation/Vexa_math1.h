#pragma once
/// @file
/// Scalar math utilities: number text (fixed, exponent, engineering, hex,
/// octal, binary, Roman, degrees), text scanners and validators, round-figure
/// values for axes, polynomials and table interpolation, plane geometry,
/// number theory, bits, random numbers, small array helpers, elementary
/// functions, exchange of variables and compensated summation.
///
/// Errors are raised as EVexaMath1Error with "<Routine>: <text>" unless a
/// routine says otherwise. Reals are converted to integers only through the
/// saturating helpers of platform/Vexa_intmath.h, so NaN, ±Inf and huge values
/// give the documented values instead of undefined behaviour.
///
/// Number text (strf, MakeEFormat, EEngStr, DegreeToStr) is locale-independent:
/// digits are correctly rounded from the exact binary value (ties to even),
/// NaN and infinities are written "NAN", "INF" and "-INF", and the degree sign
/// is "°" in UTF-8.
///
/// Thread safety: GRandom and LongRand keep unit-wide state and use the
/// platform's global generator; they are not safe for concurrent use. SortArray
/// touches the shared progress counter. Everything else is pure.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "fundora/Vexa_vexabase.h"
#include "platform/Vexa_classes.h"
#include "platform/graphics/Vexa_graphtypes.h"

namespace vexa {

// ======================================================================
// Formatting and conversion
// ======================================================================

/// The platform's `x:Width:Decimals` text (platform FormatReal): Decimals >= 0
/// fixed notation, other negative values exponent notation with a four-digit
/// exponent. Decimals = −2 writes the exponent form in Width + 2 characters and
/// drops the two leading exponent digits ("1.234E+03"); when those are not
/// "00" the exponent cannot be shown in two digits and every character
/// becomes "*". Non-finite x gives "NAN", "INF", "-INF", right-aligned in Width.
std::string strf(double x, int32_t Width, int32_t Decimals);

/// Normalised exponent form " 0.ddddE+xx": sign position (blank or "-"),
/// "0.", Decimals (2…15) significant digits of |Value| correctly rounded,
/// "E", exponent sign and at least two exponent digits (all digits when the
/// exponent needs three: "0.1000E+101"), right-aligned in Width (8…40)
/// characters; a longer text is returned unpadded. A rounding carry moves the
/// exponent: MakeEFormat(9.99996, 12, 4) = "  0.1000E+02". Value 0 gives
/// exponent 0.
std::string MakeEFormat(double Value, int32_t Width, int32_t Decimals);

/// Engineering notation with a prefix letter (a f p n u m, none, k M G T):
/// |Digits| (limited to 9; 0 and ±1 mean none) − 1 decimals after the
/// leading digit ("4.7k" for 4700 and 2 digits); a negative Digits puts the
/// prefix in place of the decimal point ("4k7"). Magnitudes beyond the
/// prefixes keep the nearest prefix and more digits.
std::string EEngStr(double Value, int32_t Digits);

/// Degrees as text; Decimals is limited to 0…8. By Format: decimal degrees
/// ("12.50°"), degrees and decimal minutes ("12° 30.0'"), degrees, minutes,
/// seconds ("12°  5' 30.0\""), plain ("12.50"). The minute and second forms
/// round the value to the written precision first, so that no "60" appears,
/// and write "-0" as the degrees of a negative angle above −1°.
std::string DegreeToStr(double Value, TDegreeFormat Format, int32_t Decimals);

/// Converts an angle in place between decimal degrees, degrees with decimal
/// minutes and degrees-minutes-seconds (the plain format is left alone).
/// Min and Sec must lie in 0…60 (NaN fails), else EVexaMath1Error
/// "ConvertDegrees: invalid range of minutes" / "... seconds". The sign of
/// Deg (its sign bit, so −0 counts) applies to the minutes and seconds, which
/// stay non-negative: (−0, 30') is −0.5°, and negative angles round-trip.
void ConvertDegrees(double& Deg, double& Min, double& Sec, TDegreeFormat FromFormat,
                    TDegreeFormat ToFormat);

/// Rounds an angle given in whole degrees, minutes and seconds to a nice step
/// (1, 2, 3, 5, 10, 15, 20, 30, 60, 90, 180, 360) of its largest non-zero
/// unit, up or down; negative input becomes 0° 0' 0", minutes and seconds
/// above 59 count as 59. Compared in whole seconds, so exactly.
void RoundDegrees(int32_t& Deg, int32_t& Min, int32_t& Sec, bool RoundUp);

/// Exactly Digits (1…16) upper-case hex digits of Value as an unsigned 32-bit
/// pattern: leading zeros, higher digits dropped. Hex(−1, 8) = "FFFFFFFF".
std::string Hex(int32_t Value, int32_t Digits);
/// The same in base 8 with 1…11 digits.
std::string Octal(int32_t Value, int32_t Digits);
/// The same in base 2 with 1…32 digits.
std::string Bin(int32_t Value, int32_t Digits);
/// Exactly Digits (1…20; less than 1 counts as 1) decimal digits of |Value|,
/// with leading zeros, higher digits dropped, "-" before negative values.
/// Decimal(−42, 5) = "-00042"; INT32_MIN is handled.
std::string Decimal(int32_t Value, int32_t Digits);

/// The IEEE bit pattern, most significant byte first, as 16 hex digits.
std::string FPNumToHex(double x);
/// The IEEE bit pattern of a single, as 8 hex digits.
std::string FPNumToHex(float x);
/// Inverse of FPNumToHex: S must be 16 hex digits of either case, else
/// EVexaError "HexToDouble: invalid hex string \"S\"". BigEndian false reads
/// the first two digits as the least significant byte.
double HexToDouble(const std::string& S, bool BigEndian = true);
/// As HexToDouble for 8 digits ("HexToSingle: invalid hex string \"S\"").
float HexToSingle(const std::string& S, bool BigEndian = true);

/// Roman numeral (thousands repeat "M"); empty for Value <= 0 or >= 30000.
std::string Roman(int32_t Value);

/// The platform's string-to-integer conversion (TryStrToInt), or Default when
/// S is empty, not an integer or out of range.
int32_t StrToIntDefault(const std::string& S, int32_t Default);

// ======================================================================
// Text scanners and validators
// ======================================================================
// One contract for all scanners: Pos is 1-based; leading blanks and tabs are
// skipped; the longest valid prefix is read. On success the value is returned
// and Pos is set to the character after it; on failure 0 is returned and Pos is
// unchanged. Pos outside 1…length fails. A value that overflows its type fails
// (no partial number is taken). They never read outside the string and never
// throw.

/// Hex bit pattern: optional "$", digits of either case, at most 8 significant
/// digits (leading zeros are free): "FF00FF00" → 0xFF00FF00 as int32. No sign.
int32_t ScanHex(const std::string& S, int32_t& Pos);
/// Octal bit pattern, at most 37777777777. No sign.
int32_t ScanOctal(const std::string& S, int32_t& Pos);
/// Binary bit pattern, at most 32 significant digits. No sign.
int32_t ScanBin(const std::string& S, int32_t& Pos);
/// Optional sign and decimal digits within the int32 range.
int32_t ScanDecimal(const std::string& S, int32_t& Pos);
/// Real number: optional sign, digits with at most one decimal separator and
/// at least one mantissa digit, then (when AllowExp) "E"/"e", optional sign,
/// digits. SepMode is the TDecPSep ordinal: 0 the system separator, 1 point,
/// 2 comma, 3 either (other values fail). "1e" reads 1 and stops after "1".
/// Reads what strf, MakeEFormat and the platform's general form write; no
/// NaN or infinity text; a value beyond the double range fails.
double ScanFPNum(const std::string& S, bool AllowExp, int32_t SepMode, int32_t& Pos);
/// An angle in one of the four DegreeToStr forms ("°" in UTF-8 or the single
/// byte B0h; blanks allowed between the parts; "." as separator; minutes and
/// seconds below 60; whole minutes before seconds). Returns degrees; Format
/// receives the TDegreeFormat ordinal of the form found (0 decimal degrees,
/// 1 degrees and decimal minutes, 2 degrees-minutes-seconds, 3 plain). A sign
/// is accepted only when AllowSign; "-0° 30'" is −0.5.
double ScanDegrees(const std::string& S, int32_t& Format, bool AllowSign, int32_t& Pos);
/// A date and time (TDateTime: days since 1899-12-30 plus the fraction of the
/// day) by a layout of fixed-width digit tokens yyyy, mm, dd, HH, MM, SS; all
/// other layout characters must match literally. A layout without date tokens
/// gives a time of day only; one with month or day needs the year. Impossible
/// dates and times (30 February, 24:00) fail. Language is not used yet.
double ScanDateTime(const std::string& S, const std::string& Layout, TLanguage Language,
                    int32_t& Pos);

/// The whole string is a real number by the ScanFPNum grammar (no blanks).
bool IsValidDouble(const std::string& S, bool AllowExp, TDecPSep DecPSep);
/// The string is a real number or the beginning of one ("+", "5.", "1e-"):
/// for checking text while it is typed. Exponents allowed.
bool IsValidFPNum(const std::string& S, TDecPSep DecPSep);
/// The whole string is a hex pattern by the ScanHex grammar.
bool IsValidHex(const std::string& S);
/// The whole string is an octal pattern by the ScanOctal grammar.
bool IsValidOct(const std::string& S);
/// The whole string is a binary pattern by the ScanBin grammar.
bool IsValidBin(const std::string& S);
/// The whole string is an int32 by the ScanDecimal grammar.
bool IsValidDecInt(const std::string& S);

// ======================================================================
// Rounding and axes
// ======================================================================

/// x rounded to the nearest of the series 1, 2, 5, 10 times a power of ten
/// (mantissa below 1.5 → 1, below 3 → 2, below 8 → 5, else 10). The mantissa
/// is compared with the decimal boundaries themselves (x against the double
/// nearest 3·10^k, ...), so decimal inputs round as written: 30 gives 50 and
/// 0.15 gives 0.2. A magnitude within 1e-14 (in lg) of a power of ten counts
/// as that power. 0 and non-finite x are returned as they are; results are
/// the doubles nearest the decimal values (0.05, not 5·0.01), +Inf beyond
/// the double range.
double Round125(double x);
/// x rounded towards +∞ on the 1-2-5 series.
double RoundPos125(double x);
/// x rounded towards −∞ on the 1-2-5 series.
double RoundNeg125(double x);
/// x rounded to the nearest integer (ties to even, saturating), then raised to
/// Low and lowered to High (High wins when Low > High). NaN counts as Low.
int64_t RoundLimit(double x, int64_t Low, int64_t High);
/// Smallest integer >= x, saturated to Int64; NaN gives 0.
int64_t IntPos(double x);
/// Largest integer <= x, saturated to Int64; NaN gives 0.
int64_t IntNeg(double x);

/// Tick spacing on the 1-2-5 series and first tick for an axis from Low to
/// High with about NumTicks intervals (a negative count counts as its
/// magnitude; 0 asks for unit spacing). Distance carries the direction and is
/// formed exactly (20, not 20.000000000000004); FirstTick is the first multiple
/// of Distance not before Low (within a thousandth of a step); MinorTicks is 4
/// for a spacing of 2, else 5 (1 for NumTicks 0 and a range above 10).
/// Low = High, non-finite Low or High, or a range the type cannot hold give
/// FirstTick Low, Distance 0, MinorTicks 1. The first-tick search stops when a
/// step no longer changes FirstTick (huge Low with a small spacing).
void CalcScalePars(int32_t NumTicks, long double Low, long double High, long double& FirstTick,
                   long double& Distance, uint16_t& MinorTicks);

// ======================================================================
// Polynomials and interpolation
// ======================================================================

/// Σ Coeffs[i]·xⁱ for i = 0…Order (powers by repeated multiplication).
/// Order < 0 or beyond the coefficients raises "Polynomial: invalid order of
/// polynomial".
double Polynomial(std::span<const double> Coeffs, int32_t Order, double x);
/// Σ Coeffs[i]·(x − Center)ⁱ; same error as Polynomial.
double CenteredPolynomial(std::span<const double> Coeffs, int32_t Order, double Center, double x);

/// Linear interpolation in n equally spaced samples, entry 0 at Low and entry
/// n − 1 at High (High may lie below Low); beyond the ends the first or last
/// two entries extrapolate. NaN x gives NaN. Raises "InterpolTable: pivot
/// array must contain at least 2 values" and "InterpolTable: specified range
/// of pivot array is zero".
double InterpolTable(double x, double Low, double High, std::span<const double> Table);
/// The same for integer samples.
double InterpolTable(double x, double Low, double High, std::span<const int32_t> Table);
/// Linear interpolation in a table of (x, y) pivots: Pivots[0] the monotonic
/// x values (ascending or descending), Pivots[1] the y values; the shorter
/// column counts. Outside the pivots 0, or with Extrapolate the first or last
/// segment extended. A zero-length segment gives its pivot's y; NaN x gives
/// NaN. Raises "InterpolXYTable: pivot array must contain 2 columns" and
/// "InterpolXYTable: pivot array must contain at least 2 rows".
double InterpolXYTable(double x, const TDouble2DArray& Pivots, bool Extrapolate);
/// Bilinear interpolation between four corner values; the first index of
/// each corner is the x side.
double InterpolZofXYRect(double Z00, double Z01, double Z10, double Z11, double FracX,
                         double FracY);

// ======================================================================
// Geometry
// ======================================================================

/// Angle of (dx, dy) to the x axis in [0, 2π); (0, 0) gives 3π/2.
double AngleToXAxis(double dx, double dy);
/// Distance between two points (without intermediate overflow).
double EuclideanDistance(const TPointDouble& P1, const TPointDouble& P2);
double EuclideanDistance(double x1, double y1, double x2, double y2);
/// Distance of P from the closed rectangle R (corners in either order): 0 on
/// or inside, the distance to the nearer edge beside it, else to the nearest
/// corner rounded to the nearest integer. Saturates at INT32_MAX.
int32_t DistFromRect(const TPoint& P, const TRect& R);
/// Distance of P from the axis-aligned ellipse and the nearest point on it.
/// Half-axes count by magnitude; one of them 0 makes the ellipse a segment,
/// both 0 its centre.
double DistFromEllipse(const TPointDouble& P, double CenterX, double CenterY, double HalfAxisX,
                       double HalfAxisY, TPointDouble& NearestPoint);
/// Orientation of the triangle: 1 counter-clockwise, −1 clockwise, 0 collinear.
int32_t CcwTriangle(const TPointDouble& P1, const TPointDouble& P2, const TPointDouble& P3);
/// The segments P1P2 and P3P4 meet (touching and collinear count as meeting).
bool SegmentsIntersect(const TPointDouble& P1, const TPointDouble& P2, const TPointDouble& P3,
                       const TPointDouble& P4);
/// Distance from P to the segment AB.
double DistanceToSegment(const TPointDouble& P, const TPointDouble& A, const TPointDouble& B);
/// P lies in the closed rectangle (corners in either order).
bool WithinRect(const TPointDouble& P, const TRectDouble& R);
/// Moves P to the nearest point of the closed rectangle; true if it moved.
bool ConfinePointToRect(TPointDouble& P, const TRectDouble& R);
/// x lies in [min(b1, b2), max(b1, b2)].
bool WithinBounds(double x, double b1, double b2);
/// x lies in the interval widened by Margin on both sides.
bool WithinBounds(double x, double b1, double b2, double Margin);
/// x clamped into [min(b1, b2), max(b1, b2)].
double ConfineValue(double x, double b1, double b2);
float ConfineValue(float x, float b1, float b2);
int32_t ConfineValue(int32_t x, int32_t b1, int32_t b2);
/// The angle reduced to [−π, π] (non-finite x gives NaN).
double CanonicalAngleRadians(double x);
/// The angle reduced to [−180, 180] (non-finite x gives NaN).
double CanonicalAngleDegrees(double x);

// ======================================================================
// Number theory
// ======================================================================

/// gcd(|a|, |b|), gcd(a, 0) = |a|. The one result that does not fit, 2³¹
/// (a and b each 0 or INT32_MIN), comes back as INT32_MIN.
int32_t GreatestCommonDivisor(int32_t a, int32_t b);
/// Folds the two-value form over the values from the first; a single value is
/// the result as it is; no values give 0.
int32_t GreatestCommonDivisor(std::span<const int32_t> Values);
/// Euclid's algorithm on |a|, |b| with the tolerance 10^−min(Decimals, 12)
/// (negative Decimals count as 0). Non-finite input gives NaN.
double GreatestCommonDivisor(double a, double b, int32_t Decimals);
/// Fold over the values as for integers; no values give 0.
double GreatestCommonDivisor(std::span<const double> Values, int32_t Decimals);
/// No integer 2…⌊√|n|⌋ divides n (so −1, 0 and 1 count as prime).
bool IsPrime(int32_t n);
/// The ix-th prime (1-based, 1…4792, the primes 2…46337), else 0.
int32_t ListOfPrimes(int32_t ix);
/// Prime factors of n in ascending order, repeated by multiplicity; empty for
/// n <= 1.
TIntArray FindPrimeFactors(int32_t n);
/// Divides numerator and denominator by their greatest common divisor; signs
/// stay where they were; 0 in either leaves both unchanged.
void CancelFraction(int32_t& Numerator, int32_t& Denominator);
/// n! as a double: 1 for n < 2, +Inf from 171 on. Raises "Factorial: negative
/// argument" for n < 0 and "Factorial: argument too big" for n > 1000.
double Factorial(int32_t n);
/// Product of the integers from min(a, b) to max(a, b): 0 when the lower
/// bound is 0, −2 when it is negative, −1 when the product exceeds Int64.
int64_t ProductConsecInts(int32_t a, int32_t b);
/// b·Frac(a/b), the remainder with the sign of a; NaN for b = 0.
double modr(double a, double b);

// ======================================================================
// Bits and bytes
// ======================================================================

/// x is 0 or a power of two.
bool CheckPowerOfTwo(uint32_t x);
/// Number of set bits.
int32_t CountBits(uint8_t b);
/// The byte with its eight bits in reverse order.
uint8_t BitReversal(uint8_t b);
/// Reflected Gray code w xor (w shr 1).
uint16_t GrayCode(uint16_t w);
/// 1 shl n for n in 0…7, else 0.
int32_t DecodeBit(int32_t n);
/// 1 shl n for n in 0…31 (bit 31 gives INT32_MIN), else 0.
int32_t DecodeLong(int32_t n);
/// Number of trailing zero bits, at most 31 (31 for 0).
int32_t EncodeLong(int32_t x);
/// The value with its bytes in reverse order.
double ConvertEndian(double x);
float ConvertEndian(float x);
uint16_t ConvertEndian(uint16_t x);
int32_t ConvertEndian(int32_t x);

// ======================================================================
// Random numbers (platform generator; not safe for concurrent use)
// ======================================================================

/// True with probability p (always when p >= 1, never for NaN).
bool BRandom(double p);
/// Cauchy-distributed value: Location + Scale·tan(π(u − 0.5)).
double CRandom(double Location, double Scale);
/// Standard normal value by the polar method; every second call returns the
/// stored partner of the previous pair.
double GRandom();
/// Combined multiplicative congruential generator in [0, 1) with its own
/// three seeds. A non-zero Seed re-seeds it (a multiple of 990923 included:
/// a seed component that would be 0 takes a fixed non-zero value, so the
/// sequence never sticks at 0); the same Seed gives the same sequence.
double LongRand(int32_t Seed);

// ======================================================================
// Arrays
// ======================================================================

/// Inserts x into a sorted array of fixed length (the last element drops
/// out) at the first position whose element is >= x (ascending) or <= x
/// (descending), else at the last position. Returns the 0-based position, or −1
/// with A unchanged when A is empty, x would come after the last element, or
/// duplicates are not allowed and x equals the element at the position.
int32_t SortIntoArray(std::span<double> A, double x, bool Ascending, bool AllowDuplicates);
int32_t SortIntoArray(std::span<float> A, float x, bool Ascending, bool AllowDuplicates);
int32_t SortIntoArray(std::span<int32_t> A, int32_t x, bool Ascending, bool AllowDuplicates);
/// Generic form over NumElems elements of the kind's type (the first two
/// TVarKind values: double, the third: float, the fourth and fifth: int32);
/// the value is read from pValue. Returns the 1-based position, or 0 when
/// nothing was inserted (also for NumElems <= 0, another kind or a null pointer).
int32_t SortIntoArray(void* p, int32_t NumElems, TVarKind Kind, const void* pValue,
                      bool Ascending, bool AllowDuplicates);

/// Stores x at Index, moving the elements from Index on up by one (the last
/// drops out). Nothing happens for an Index outside the array.
void InsertIntoArray(std::span<double> A, double x, int32_t Index);
void InsertIntoArray(std::span<float> A, float x, int32_t Index);
void InsertIntoArray(std::span<int32_t> A, int32_t x, int32_t Index);
/// Generic form (kinds as for SortIntoArray); nothing for other kinds.
void InsertIntoArray(void* p, int32_t NumElems, TVarKind Kind, const void* pValue, int32_t Index);

/// Comb sort of the whole array; one ProgressStep after each pass. NaN
/// elements do not take part in comparisons and stay safe.
void SortArray(std::span<double> A, bool Ascending);
void SortArray(std::span<float> A, bool Ascending);
void SortArray(std::span<int32_t> A, bool Ascending);
/// Generic form (kinds as for SortIntoArray); nothing for other kinds.
void SortArray(void* p, int32_t NumElems, TVarKind Kind, bool Ascending);

/// Exchanges a and b when (b > a) differs from Ascending; true if exchanged.
bool SortSwap(double& a, double& b, bool Ascending);

/// The value that would stand at the 0-based index k if A[First…Last] were
/// sorted ascending; the range is partly reordered. First and Last are
/// clamped into the array and k into First…Last; an empty array or a range
/// with Last < First gives 0. Linear on average, also with many equal values;
/// NaN elements are tolerated.
double QuickSelect(std::span<double> A, int32_t k, int32_t First, int32_t Last);
/// As QuickSelect for data with one frequent value SetAside: selects rank
/// k − First among A[First…Last] while only the other values are copied and
/// partitioned. A is not changed.
double QuickSelect(std::span<const double> A, int32_t k, int32_t First, int32_t Last,
                   double SetAside);

/// Histogram bin ⌊(x − FirstBin)/BinWidth⌋ (saturating, 0 for NaN or BinWidth
/// 0) and Offset = x − (FirstBin + bin·BinWidth).
int32_t HistoBinRef(double x, double FirstBin, double BinWidth, double& Offset);
/// Limit·tanh(Slope·(x − x0)/Limit); ±Limit once the argument is large; 0 for Limit 0.
double Squash(double x, double x0, double Slope, double Limit);

// ======================================================================
// Elementary functions
// ======================================================================

/// Base-10 logarithm (exact at powers of ten). EMathError "logarithm: invalid
/// argument" for x <= 0.
double lg(double x);
/// Base-2 logarithm (exact at powers of two); same error as lg.
double ld(double x);
/// Hyperbolic functions (accurate near 0).
double sinh(double x);
double cosh(double x);
double tgh(double x);
/// sin x / cos x; EMathError "tangens overflow" when cos x is exactly 0.
double tg(double x);
/// cos x / sin x; EMathError "cotangens overflow" when sin x is exactly 0.
double cot(double x);
/// −1 for x < 0, else 1 (also for 0 and NaN).
double Signum(double x);

// ======================================================================
// Exchange
// ======================================================================

void ExChange(int32_t& a, int32_t& b);
void ExChange(uint8_t& a, uint8_t& b);
void ExChange(float& a, float& b);
void ExChange(double& a, double& b);
void ExChange(long double& a, long double& b);
void ExChange(std::string& a, std::string& b);
void ExChange(bool& a, bool& b);
void ExChange(char& a, char& b);
void ExChange(uint16_t& a, uint16_t& b);
void ExChange(int8_t& a, int8_t& b);
void ExChange(uint32_t& a, uint32_t& b);
void ExChange(int64_t& a, int64_t& b);
/// Exchanges NumBytes bytes at p1 and p2, byte by byte from the first (so
/// overlapping regions give a defined result).
void ExChange(void* p1, void* p2, uint16_t NumBytes);

// ======================================================================
// Compensated summation
// ======================================================================

/// Kahan summation: Sum is the running sum, cps the running compensation.
class TKahanSum : public TComponent {
public:
  /// Creates the component with Sum and cps 0.
  explicit TKahanSum(TComponent* AOwner);
  /// Sum and cps := 0.
  void Reset();
  /// Adds ANumber with compensation of the rounding error.
  void Add(double ANumber);

  double Sum = 0;  ///< running sum
  double cps = 0;  ///< running compensation
};

// ======================================================================
// Test seam
// ======================================================================
// The unit's start-up (package_hooks::InitializeMath1, run when the package
// loads) seeds LongRand from the platform generator, clears the stored
// GRandom value, sets MathFeedBackProc to none and builds the constant tables.

namespace detail {
/// Test seam: replaces the uniform source of GRandom (empty restores the
/// platform generator).
void SetGRandomUniformSource(std::function<double()> Source);
}  // namespace detail

}  // namespace vexa
