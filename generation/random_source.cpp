#include "generation/random_source.h"

#include <chrono>
#include <cmath>

namespace zubira {

RandomSource::~RandomSource() = default;

namespace {

uint64_t splitmix64(uint64_t* state) {
  uint64_t z = (*state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

PseudoRandomSource::PseudoRandomSource(uint64_t seed) { Seed(seed); }

void PseudoRandomSource::Seed(uint64_t seed) {
  uint64_t st = seed;
  for (uint64_t& s : s_) s = splitmix64(&st);
}

uint64_t PseudoRandomSource::NextBits() {
  const uint64_t result = rotl(s_[1] * 5, 7) * 9;
  const uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = rotl(s_[3], 45);
  return result;
}

double PseudoRandomSource::NextReal() { return double(NextBits() >> 11) * 0x1.0p-53; }

uint64_t PseudoRandomSource::NextBelow(uint64_t n) {
  if (n <= 1) return 0;
  // Lemire's multiply-and-reject: unbiased, one multiplication in the common case.
  unsigned __int128 m = static_cast<unsigned __int128>(NextBits()) * n;
  uint64_t low = static_cast<uint64_t>(m);
  if (low < n) {
    const uint64_t threshold = (0 - n) % n;
    while (low < threshold) {
      m = static_cast<unsigned __int128>(NextBits()) * n;
      low = static_cast<uint64_t>(m);
    }
  }
  return static_cast<uint64_t>(m >> 64);
}

uint64_t PseudoRandomSource::ClockSeed() {
  static int anchor;
  uint64_t t = static_cast<uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
  uint64_t mix = t ^ (reinterpret_cast<uintptr_t>(&anchor) << 16);
  return splitmix64(&mix);
}

namespace {
PseudoRandomSource& processSource() {
  static PseudoRandomSource source(PseudoRandomSource::ClockSeed());
  return source;
}
}  // namespace

RandomSource& ProcessRandomSource() { return processSource(); }
void SeedProcessRandomFromClock() { processSource().Seed(PseudoRandomSource::ClockSeed()); }
void SeedProcessRandom(uint64_t seed) { processSource().Seed(seed); }

bool RandomChance(RandomSource& random, double p) { return random.NextReal() <= p; }

double NormalDeviate(RandomSource& random, double mean, double sd) {
  double x = 0;
  double s = 0;
  do {
    x = 2 * random.NextReal() - 1;
    const double y = 2 * random.NextReal() - 1;
    s = x * x + y * y;
    // s = 0 would make the factor 0 * infinity.
  } while (s >= 1 || s == 0);
  return mean + sd * x * std::sqrt(-2 * std::log(s) / s);
}

int32_t RandomInRange(RandomSource& random, int32_t lo, int32_t hi, int32_t D) {
  if (lo >= hi) return lo;
  if (D == 0) {
    const uint64_t n = static_cast<uint64_t>(int64_t(hi) - int64_t(lo)) + 1;
    return static_cast<int32_t>(int64_t(lo) + int64_t(random.NextBelow(n)));
  }
  const double mean = D > 0 ? double(lo) : double(hi);
  const double sd = double(hi) / std::fabs(double(D));
  for (;;) {
    const double e = NormalDeviate(random, mean, sd);
    if (!(e > -2147483647.0 && e < 2147483647.0)) continue;
    const int64_t t = static_cast<int64_t>(e);  // truncation toward zero
    if (t >= lo && t <= hi) return static_cast<int32_t>(t);
  }
}

}  // namespace zubira
