#include "platform/Vexa_random.h"

#include <chrono>
#include <cmath>
#include <numbers>

namespace vexa {

namespace {

// splitmix64: expands a 64-bit seed into the generator state. Its output
// function is a bijection of the 64-bit integers.
uint64_t SplitMix64(uint64_t& state) {
  state += 0x9E3779B97F4A7C15ull;
  uint64_t z = state;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint64_t RotateLeft(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

/// xoshiro256** (Blackman and Vigna): fast, 256 bits of state, passes the
/// usual statistical test batteries.
class TXoshiro256 {
public:
  explicit TXoshiro256(uint64_t seed) { Seed(seed); }

  void Seed(uint64_t seed) {
    uint64_t sm = seed;
    for (uint64_t& word : FState) word = SplitMix64(sm);
    // splitmix64 never yields four zero words in a row, so the state is valid.
  }

  uint64_t Next() {
    const uint64_t result = RotateLeft(FState[1] * 5, 7) * 9;
    const uint64_t t = FState[1] << 17;
    FState[2] ^= FState[0];
    FState[3] ^= FState[1];
    FState[1] ^= FState[2];
    FState[0] ^= FState[3];
    FState[2] ^= t;
    FState[3] = RotateLeft(FState[3], 45);
    return result;
  }

private:
  uint64_t FState[4] = {};
};

// The generator starts from seed 0 so that a program that never calls
// Randomize or SetRandSeed sees the same sequence on every run.
uint64_t gSeed = 0;
TXoshiro256 gGenerator(0);
uint64_t gRandomizeCount = 0;

// Uniform integer in [0, range) for range > 0, without modulo bias: draws
// that fall into the incomplete last block of the 64-bit space are rejected.
uint64_t UniformBelow(uint64_t range) {
  const uint64_t rejectBelow = (0 - range) % range;  // 2^64 mod range
  uint64_t draw = gGenerator.Next();
  while (draw < rejectBelow) draw = gGenerator.Next();
  return draw % range;
}

}  // namespace

double Random() {
  // The top 53 bits give every multiple of 2^-53 in [0, 1) with equal probability.
  return static_cast<double>(gGenerator.Next() >> 11) * 0x1.0p-53;
}

int32_t Random(int32_t Range) {
  if (Range <= 0) return 0;
  return static_cast<int32_t>(UniformBelow(static_cast<uint64_t>(Range)));
}

int64_t Random(int64_t Range) {
  if (Range <= 0) return 0;
  return static_cast<int64_t>(UniformBelow(static_cast<uint64_t>(Range)));
}

double RandG(double Mean, double StdDev) {
  // Box-Muller; 1 - Random() lies in (0, 1], so the logarithm is finite.
  const double u1 = 1.0 - Random();
  const double u2 = Random();
  const double standard = std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
  return Mean + StdDev * standard;
}

void Randomize() {
  // steady clock + call counter strictly increases within the process, so no
  // two calls feed the same value into the mixer; the process constant (wall
  // clock at the first call) separates processes; SplitMix64's output function
  // is a bijection, so distinct inputs give distinct seeds.
  using namespace std::chrono;
  static const uint64_t processConstant =
      static_cast<uint64_t>(system_clock::now().time_since_epoch().count());
  const auto ticks = static_cast<uint64_t>(steady_clock::now().time_since_epoch().count());
  uint64_t mixerInput = ((ticks + ++gRandomizeCount) ^ processConstant) - 0x9E3779B97F4A7C15ull;
  SetRandSeed(SplitMix64(mixerInput));
}

uint64_t RandSeed() { return gSeed; }

void SetRandSeed(uint64_t Seed) {
  gSeed = Seed;
  gGenerator.Seed(Seed);
}

}  // namespace vexa
