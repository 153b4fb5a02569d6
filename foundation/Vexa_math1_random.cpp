// Random numbers on the platform's uniform generator, the unit's own
// combined congruential generator, and the unit start-up.
//
// GRandom's stored value and LongRand's seeds are unit-wide state without
// locks: these routines are for one thread at a time.

#include <cmath>
#include <numbers>

#include "foundation/Vexa_math1.h"
#include "platform/Vexa_intmath.h"
#include "platform/Vexa_random.h"

namespace vexa {

namespace {

// ---------------------------------------------------------------- state

/// The uniform source of GRandom; empty means the platform generator.
std::function<double()> GRandomUniform;

struct TGaussStore {
  bool Available = false;
  double Value = 0;
};
TGaussStore GaussStore;

/// Moduli and multipliers of the three congruential generators of LongRand
/// (the moduli are primes).
constexpr uint32_t kModulus1 = 1001003;
constexpr uint32_t kModulus2 = 990923;
constexpr uint32_t kModulus3 = 1400423;
constexpr uint32_t kMultiplier1 = 1187;
constexpr uint32_t kMultiplier2 = 983;
constexpr uint32_t kMultiplier3 = 1283;

/// A congruential generator started at 0 stays at 0: a zero seed component
/// takes these values instead.
constexpr uint32_t kZeroSeedReplacement1 = 314159;
constexpr uint32_t kZeroSeedReplacement2 = 271828;
constexpr uint32_t kZeroSeedReplacement3 = 141421;

struct TLongRandSeeds {
  uint32_t s1 = kZeroSeedReplacement1;
  uint32_t s2 = kZeroSeedReplacement2;
  uint32_t s3 = kZeroSeedReplacement3;
};
TLongRandSeeds LongRandSeeds;

uint32_t NonZeroSeed(uint32_t Seed, uint32_t Replacement) { return Seed != 0 ? Seed : Replacement; }

double Uniform() { return GRandomUniform ? GRandomUniform() : Random(); }

/// |v| of the 32-bit pattern v, computed without signed overflow.
uint32_t Magnitude32(uint32_t v) {
  return (v & 0x80000000u) != 0 ? 0u - v : v;
}

void SeedLongRand(int32_t Seed) {
  const int32_t a = Seed % static_cast<int32_t>(kModulus2);  // sign of Seed
  const uint32_t ua = static_cast<uint32_t>(a);
  LongRandSeeds.s1 = NonZeroSeed(Magnitude32(ua), kZeroSeedReplacement1);
  LongRandSeeds.s2 =
      NonZeroSeed(Magnitude32(ua ^ (ua << 8)) % kModulus2, kZeroSeedReplacement2);
  LongRandSeeds.s3 =
      NonZeroSeed(Magnitude32(ua ^ (ua << 16)) % kModulus2, kZeroSeedReplacement3);
}

/// A start-up seed: a uniform number scaled by 990000, rounded.
uint32_t StartupSeed(uint32_t Replacement) {
  return NonZeroSeed(static_cast<uint32_t>(RoundToInt32(Random() * 990000)), Replacement);
}

}  // namespace

namespace detail {
void SetGRandomUniformSource(std::function<double()> Source) {
  GRandomUniform = std::move(Source);
  GaussStore = {};
}
}  // namespace detail

bool BRandom(double p) {
  if (p >= 1) return true;
  return p > Random();
}

double CRandom(double Location, double Scale) {
  return Location + Scale * std::tan(std::numbers::pi * (Random() - 0.5));
}

double GRandom() {
  if (GaussStore.Available) {
    GaussStore.Available = false;
    return GaussStore.Value;
  }
  // Polar method. s = 0 (both draws 0.5) would give 0/0: draw again.
  double v1 = 0;
  double v2 = 0;
  double s = 0;
  do {
    v1 = 2 * Uniform() - 1;
    v2 = 2 * Uniform() - 1;
    s = v1 * v1 + v2 * v2;
  } while (!(s > 0 && s < 1));
  const double f = std::sqrt(-2 * std::log(s) / s);
  GaussStore = {true, v1 * f};
  return v2 * f;
}

double LongRand(int32_t Seed) {
  if (Seed != 0) SeedLongRand(Seed);
  TLongRandSeeds& s = LongRandSeeds;
  // Each product stays below 2³¹.
  s.s1 = s.s1 * kMultiplier1 % kModulus1;
  s.s2 = s.s2 * kMultiplier2 % kModulus2;
  s.s3 = s.s3 * kMultiplier3 % kModulus3;
  const double sum = static_cast<double>(s.s1) / kModulus1 + static_cast<double>(s.s2) / kModulus2 +
                     static_cast<double>(s.s3) / kModulus3;
  return sum - std::trunc(sum);
}

namespace package_hooks {

/// Unit start-up. Everything touched here is constant-initialised (the seed
/// and store records) or belongs to a library loaded earlier (the platform
/// generator, MathFeedBackProc); the hook never throws.
void InitializeMath1() {
  LongRandSeeds.s1 = StartupSeed(kZeroSeedReplacement1);
  LongRandSeeds.s2 = StartupSeed(kZeroSeedReplacement2);
  LongRandSeeds.s3 = StartupSeed(kZeroSeedReplacement3);
  GaussStore = {};
  MathFeedBackProc = nullptr;
  try {
    // Build the constant tables now rather than at first use.
    (void)ListOfPrimes(1);
    (void)BitReversal(0);
  } catch (...) {
    // Out of memory at load time: the tables are built at first use instead.
  }
}

}  // namespace package_hooks

}  // namespace vexa
