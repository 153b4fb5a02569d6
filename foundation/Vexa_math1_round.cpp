// Rounding to round-figure values: the 1-2-5 series, limits, axis scales.

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "foundation/Vexa_math1.h"
#include "platform/Vexa_intmath.h"

namespace vexa {

namespace {

/// Mantissa·10^k as the double nearest to the decimal number (0.05, not
/// 5·0.01); overflow gives infinity, underflow 0.
double DecimalStep(int32_t Mantissa, int32_t k) {
  const std::string text = std::to_string(Mantissa) + "e" + std::to_string(k);
  double value = 0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  if (res.ec == std::errc::result_out_of_range) {
    return k > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return value;
}

/// How the magnitude is mapped to a step of 1, 2, 5, 10 times 10^k.
enum TStepRule { srNearest, srUp, srDown };

/// The step for a magnitude a in [10^k, 10^(k+1)), decided by exact
/// comparison with the decimal boundaries (so 200 rounds up to 200, not 500).
int32_t StepOfMagnitude(double a, int32_t k, TStepRule Rule) {
  switch (Rule) {
    case srNearest:  // mantissa below 1.5 -> 1, below 3 -> 2, below 8 -> 5
      if (a < DecimalStep(15, k - 1)) return 1;
      if (a < DecimalStep(3, k)) return 2;
      return a < DecimalStep(8, k) ? 5 : 10;
    case srUp:  // smallest step >= mantissa
      if (a > DecimalStep(5, k)) return 10;
      if (a > DecimalStep(2, k)) return 5;
      return a > DecimalStep(1, k) ? 2 : 1;
    case srDown:  // largest step <= mantissa
      if (a < DecimalStep(2, k)) return 1;
      return a < DecimalStep(5, k) ? 2 : 5;
  }
  return 1;
}

/// Rounds x on the 1-2-5 series; the magnitude is rounded by MagnitudeRule.
double Round125By(double x, TStepRule MagnitudeRule) {
  if (x == 0 || !std::isfinite(x)) return x;
  const double a = std::fabs(x);
  const double c = std::log10(a);  // |c| < 330: the conversions below are exact
  const double nearestPower = std::nearbyint(c);
  int32_t k = TruncToInt32(nearestPower);
  int32_t step = 1;
  // Within 1e-14 of a power of ten counts as that power (mantissa 1).
  if (std::fabs(c - nearestPower) >= 1e-14) {
    k = TruncToInt32(std::floor(c));
    // log10 may be off by an ulp next to a power of ten: settle k exactly.
    if (a < DecimalStep(1, k)) {
      --k;
    } else if (a >= DecimalStep(1, k + 1)) {
      ++k;
    }
    step = StepOfMagnitude(a, k, MagnitudeRule);
  }
  // Steps above 1 are whole numbers already, so the rounding of results
  // above 1 to an integer is implied.
  const double result = step == 10 ? DecimalStep(1, k + 1) : DecimalStep(step, k);
  return x < 0 ? -result : result;
}

}  // namespace

double Round125(double x) { return Round125By(x, srNearest); }

// Rounding towards +inf rounds the magnitude up for positive x and down for
// negative x; towards -inf the reverse.
double RoundPos125(double x) { return Round125By(x, x > 0 ? srUp : srDown); }

double RoundNeg125(double x) { return Round125By(x, x > 0 ? srDown : srUp); }

int64_t RoundLimit(double x, int64_t Low, int64_t High) {
  int64_t r = std::isnan(x) ? Low : RoundToInt64(x);
  if (r < Low) r = Low;
  if (r > High) r = High;
  return r;
}

int64_t IntPos(double x) { return std::isnan(x) ? 0 : RoundToInt64(std::ceil(x)); }

int64_t IntNeg(double x) { return std::isnan(x) ? 0 : RoundToInt64(std::floor(x)); }

// ---------------------------------------------------------------- CalcScalePars

namespace {

/// Upper bound of the steps of the first-tick search; it ends after a few
/// steps wherever the values are representable.
constexpr int32_t kMaxTickSteps = 10000;

/// 10^k in extended precision; exact for |k| <= 27.
long double PowerOfTenL(int32_t k) {
  const int32_t n = k < 0 ? -k : k;
  if (n > 27) return std::pow(10.0L, static_cast<long double>(k));
  long double p = 1;
  for (int32_t i = 0; i < n; ++i) p *= 10;
  return k < 0 ? 1 / p : p;
}

/// Advances FirstTick by Distance while it lies before Low by more than a
/// thousandth of a step; stops when a step no longer changes FirstTick.
long double AdvanceFirstTick(long double FirstTick, long double Low, long double Distance,
                             long double dir) {
  const long double tolerance = 0.001L * std::fabs(Distance);
  for (int32_t i = 0; i < kMaxTickSteps && dir * (Low - FirstTick) > tolerance; ++i) {
    const long double next = FirstTick + Distance;
    if (next == FirstTick) break;
    FirstTick = next;
  }
  return FirstTick;
}

struct TTickSpacing {
  int32_t Step = 1;   ///< 1, 2 or 5
  int32_t Power = 0;  ///< the spacing is Step·10^Power
  uint16_t MinorTicks = 5;
};

/// The 1-2-5 spacing rounded down from Ratio (> 0, finite).
TTickSpacing SpacingBelow(long double Ratio) {
  long double g = std::log10(Ratio);
  long double h = g - std::trunc(g);
  if (std::fabs(h) < 1e-10L || std::fabs(h) > 0.9999999999L) {
    g = std::nearbyint(g);
    h = 0;
  }
  if (g < 0 && h != 0) g = g - 1;
  if (h < 0) h = h + 1;
  const long double lg2 = std::log10(2.0L);
  const long double lg5 = std::log10(5.0L);
  TTickSpacing s;
  s.Power = TruncToInt32(static_cast<double>(std::trunc(g)));  // |g| < 5000
  if (h < lg2 + 1e-10L) {
    s.Step = 1;
    s.MinorTicks = 5;
  } else if (h < lg5 + 1e-10L) {
    s.Step = 2;
    s.MinorTicks = 4;
  } else {
    s.Step = 5;
    s.MinorTicks = 5;
  }
  return s;
}

}  // namespace

void CalcScalePars(int32_t NumTicks, long double Low, long double High, long double& FirstTick,
                   long double& Distance, uint16_t& MinorTicks) {
  const auto degenerate = [&] {
    FirstTick = Low;
    Distance = 0;
    MinorTicks = 1;
  };
  if (Low == High || !std::isfinite(Low) || !std::isfinite(High)) return degenerate();
  const long double dir = Low < High ? 1 : -1;
  const long double range = std::fabs(High - Low);
  if (!std::isfinite(range)) return degenerate();

  if (NumTicks == 0) {
    Distance = 1;
    FirstTick = AdvanceFirstTick(std::trunc(Low) - 1, Low, Distance, dir);
    MinorTicks = range > 10 ? 1 : 5;
    return;
  }

  const long double ticks = std::fabs(static_cast<long double>(NumTicks));
  const long double ratio = range / ticks;
  if (!(ratio > 0) || !std::isfinite(ratio)) return degenerate();
  const TTickSpacing s = SpacingBelow(ratio);
  // Formed exactly: divide by 10^-k for negative k (20, not 20.000000000000004).
  const long double magnitude = s.Power >= 0 ? s.Step * PowerOfTenL(s.Power)
                                             : s.Step / PowerOfTenL(-s.Power);
  if (!std::isfinite(magnitude) || magnitude == 0) return degenerate();
  Distance = dir * magnitude;
  MinorTicks = s.MinorTicks;
  const long double start = Distance * (std::trunc(Low / Distance) - 1);
  FirstTick = AdvanceFirstTick(start, Low, Distance, dir);
}

}  // namespace vexa
