// Number theory: greatest common divisors, primes, fractions, factorials,
// products of consecutive integers and the real remainder.

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

#include "foundation/Vexa_errors.h"
#include "foundation/Vexa_math1.h"
#include "fundora/Vexa_univconst.h"

namespace vexa {

namespace {

/// The largest prime not above √(2³¹ − 1): trial division by the primes up to
/// it decides every 32-bit integer.
constexpr int32_t kLargestTablePrime = 46337;

/// The primes 2 … 46337 in ascending order, computed by a sieve the first
/// time they are needed.
const std::vector<int32_t>& PrimeTable() {
  static const std::vector<int32_t> primes = [] {
    std::vector<bool> composite(kLargestTablePrime + 1, false);
    std::vector<int32_t> list;
    for (int32_t i = 2; i <= kLargestTablePrime; ++i) {
      if (composite[static_cast<size_t>(i)]) continue;
      list.push_back(i);
      for (int64_t m = int64_t{i} * i; m <= kLargestTablePrime; m += i) {
        composite[static_cast<size_t>(m)] = true;
      }
    }
    return list;
  }();
  return primes;
}

uint64_t Magnitude(int32_t v) { return static_cast<uint64_t>(std::abs(int64_t{v})); }

uint64_t Gcd64(uint64_t a, uint64_t b) { return std::gcd(a, b); }

}  // namespace

// ---------------------------------------------------------------- GCD

int32_t GreatestCommonDivisor(int32_t a, int32_t b) {
  // In 64 bits: |INT32_MIN| fits. The only result beyond int32, 2³¹, wraps to
  // INT32_MIN (well defined since C++20).
  return static_cast<int32_t>(static_cast<uint32_t>(Gcd64(Magnitude(a), Magnitude(b))));
}

int32_t GreatestCommonDivisor(std::span<const int32_t> Values) {
  if (Values.empty()) return 0;
  int32_t result = Values[0];
  for (size_t i = 1; i < Values.size(); ++i) result = GreatestCommonDivisor(result, Values[i]);
  return result;
}

namespace {

/// Euclid's algorithm on reals ends after a few hundred steps at most (each
/// remainder at least halves every second step); the cap guards the loop.
constexpr int32_t kMaxRealGcdSteps = 5000;

}  // namespace

double GreatestCommonDivisor(double a, double b, int32_t Decimals) {
  if (!std::isfinite(a) || !std::isfinite(b)) return std::numeric_limits<double>::quiet_NaN();
  const double epsilon = std::pow(10.0, -std::clamp(Decimals, 0, 12));
  a = std::fabs(a);
  b = std::fabs(b);
  for (int32_t step = 0; step < kMaxRealGcdSteps; ++step) {
    if (a < b) std::swap(a, b);
    if (b < epsilon) return a;
    // The exact remainder: a − ⌊a/b⌋·b without the overflow of ⌊a/b⌋·b.
    a = std::fmod(a, b);
  }
  return std::max(a, b);
}

double GreatestCommonDivisor(std::span<const double> Values, int32_t Decimals) {
  if (Values.empty()) return 0;
  double result = Values[0];
  for (size_t i = 1; i < Values.size(); ++i) {
    result = GreatestCommonDivisor(result, Values[i], Decimals);
  }
  return result;
}

// ---------------------------------------------------------------- primes

bool IsPrime(int32_t n) {
  const uint64_t m = Magnitude(n);
  for (const int32_t p : PrimeTable()) {
    const uint64_t d = static_cast<uint64_t>(p);
    if (d * d > m) break;
    if (m % d == 0) return false;
  }
  return true;
}

int32_t ListOfPrimes(int32_t ix) {
  const std::vector<int32_t>& primes = PrimeTable();
  if (ix < 1 || static_cast<size_t>(ix) > primes.size()) return 0;
  return primes[static_cast<size_t>(ix - 1)];
}

TIntArray FindPrimeFactors(int32_t n) {
  TIntArray factors;
  if (n <= 1) return factors;
  int32_t rest = n;
  for (const int32_t p : PrimeTable()) {
    if (int64_t{p} * p > n) break;
    while (rest % p == 0) {
      factors.push_back(p);
      rest /= p;
    }
  }
  if (rest > 1) factors.push_back(rest);
  return factors;
}

void CancelFraction(int32_t& Numerator, int32_t& Denominator) {
  if (Numerator == 0 || Denominator == 0) return;
  const int64_t g = static_cast<int64_t>(Gcd64(Magnitude(Numerator), Magnitude(Denominator)));
  // g <= 2³¹; the quotients fit (|INT32_MIN| / g with g >= 2, or g = 1).
  Numerator = static_cast<int32_t>(Numerator / g);
  Denominator = static_cast<int32_t>(Denominator / g);
}

// ---------------------------------------------------------------- products

double Factorial(int32_t n) {
  if (n < 0) throw EVexaMath1Error(RoutineMessage("Factorial", "negative argument"));
  if (n > 1000) throw EVexaMath1Error(RoutineMessage("Factorial", "argument too big"));
  double product = 1;
  for (int32_t i = 2; i <= n; ++i) product *= i;  // +Inf from 171 on
  return product;
}

int64_t ProductConsecInts(int32_t a, int32_t b) {
  const int64_t lower = std::min(a, b);
  const int64_t upper = std::max(a, b);
  if (lower == 0) return 0;
  if (lower < 0) return -2;
  int64_t product = 1;
  // A 64-bit counter: the loop also ends at upper = INT32_MAX. It stops after
  // at most 63 factors >= 2 (the product overflows by then).
  for (int64_t i = lower; i <= upper; ++i) {
    if (product > uc_MaxInt64 / i) return -1;
    product *= i;
  }
  return product;
}

double modr(double a, double b) {
  if (b == 0) return std::numeric_limits<double>::quiet_NaN();
  const double q = a / b;
  return b * (q - std::trunc(q));
}

}  // namespace vexa
