#pragma once
// The random draws of the generator: one injectable pseudo-random source, the integer draw of an
// operand component (uniform, or normal around a bound) and the coin for a random sign.

#include <cstdint>

namespace zubira {

class RandomSource {
 public:
  virtual ~RandomSource();
  // A uniform real in [0, 1).
  virtual double NextReal() = 0;
  // A uniform integer in [0, n); n must be at least 1.
  virtual uint64_t NextBelow(uint64_t n) = 0;
};

// xoshiro256** seeded through splitmix64: fast, allocation-free, reproducible for one seed.
class PseudoRandomSource final : public RandomSource {
 public:
  explicit PseudoRandomSource(uint64_t seed);
  void Seed(uint64_t seed);
  double NextReal() override;
  uint64_t NextBelow(uint64_t n) override;
  uint64_t NextBits();

  // A seed taken from the clock (and the address space, so two processes started in the same
  // tick differ).
  static uint64_t ClockSeed();

 private:
  uint64_t s_[4];
};

// The process-wide source, seeded from the clock when first used.
RandomSource& ProcessRandomSource();
// Seeds the process-wide source again: from the clock, or with `seed` for reproducible draws.
void SeedProcessRandomFromClock();
void SeedProcessRandom(uint64_t seed);

// True when a uniform real u in [0, 1) satisfies u <= p.
bool RandomChance(RandomSource& random, double p);

// A normal deviate by Marsaglia's polar method.
double NormalDeviate(RandomSource& random, double mean, double sd);

// An integer t with lo <= t <= hi. D = 0: uniform. D > 0: normal with mean lo and standard
// deviation hi / D; D < 0: mean hi and standard deviation hi / |D|; the deviate is truncated
// toward zero and conditioned to fall in [lo, hi] (the distribution of drawing again until it
// does), drawn in constant time. lo = hi returns lo without drawing. lo > hi breaks the
// precondition; lo is then returned.
int32_t RandomInRange(RandomSource& random, int32_t lo, int32_t hi, int32_t D);

}  // namespace zubira
