#pragma once
/// @file
/// The global uniform random generator of the platform, with a Gaussian draw.
/// Reproducible after SetRandSeed; not safe for concurrent use.
///
/// The engine is xoshiro256** with its state expanded from the 64-bit seed by
/// splitmix64. Before any seeding the seed is 0, so a program that never seeds
/// sees the same sequence on every run.

#include <cstdint>

namespace vexa {

/// Uniform double in [0, 1): a multiple of 2^-53.
double Random();
/// Uniform integer in [0, Range), without modulo bias; 0 when Range <= 0.
int32_t Random(int32_t Range);
int64_t Random(int64_t Range);
/// Gaussian draw with the given mean and standard deviation (Box-Muller, two
/// uniform draws per call).
double RandG(double Mean, double StdDev);
/// Seeds the generator from the clock and a counter: two calls never give the same seed.
void Randomize();
/// The current seed (the value given to SetRandSeed or chosen by Randomize).
uint64_t RandSeed();
/// Restarts the generator: the same seed gives the same sequence.
void SetRandSeed(uint64_t Seed);

}  // namespace vexa
