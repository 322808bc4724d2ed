#include "generation/random_source.h"

#include <algorithm>
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

namespace {

// The standard normal distribution function, and its upper tail Q(x) = 1 - Phi(x) computed
// without cancellation.
double normalCdf(double x) { return 0.5 * std::erfc(-x * M_SQRT1_2); }
double normalTail(double x) { return 0.5 * std::erfc(x * M_SQRT1_2); }

// The inverse of the standard normal distribution function for p in (0, 1): a rational
// approximation (relative error about 1e-9) polished by one Halley step, which brings it to
// double precision down to the smallest probabilities a double holds.
double normalQuantile(double p) {
  static constexpr double a[] = {-3.969683028665376e+01, 2.209460984245205e+02, -2.759285104469687e+02,
                                 1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
  static constexpr double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                                 6.680131188771972e+01,  -1.328068155288572e+01};
  static constexpr double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                                 -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
  static constexpr double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                                 3.754408661907416e+00};
  constexpr double kLow = 0.02425;
  double x;
  if (p < kLow || p > 1 - kLow) {
    const double q = std::sqrt(-2 * std::log(p < kLow ? p : 1 - p));
    x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
        ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    if (p > 1 - kLow) x = -x;
  } else {
    const double q = p - 0.5, r = q * q;
    x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
        (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
  }
  // Halley's step on Phi(x) - p, with the error taken from the tail nearer x.
  const double e = x < 0 ? normalCdf(x) - p : (1 - p) - normalTail(x);
  const double u = e * std::sqrt(2 * M_PI) * std::exp(x * x / 2);
  if (std::isfinite(u)) x -= u / (1 + x * u / 2);
  return x;
}

// A standard normal deviate conditioned to lie in [lo, hi), by the inverse of the distribution
// function: one uniform draw whatever the probability of the interval. Intervals in the upper
// half are taken through the upper tail so that no precision is lost near 1.
double truncatedStandardNormal(RandomSource& random, double lo, double hi) {
  const double u = random.NextReal();
  double x;
  if (lo >= 0) {
    const double qlo = normalTail(lo), qhi = normalTail(hi);
    if (!(qlo > qhi)) return lo;  // no probability a double can tell apart: the nearer bound
    x = -normalQuantile(qhi + u * (qlo - qhi));
  } else {
    const double plo = normalCdf(lo), phi = normalCdf(hi);
    if (!(phi > plo)) return hi > 0 ? 0.0 : hi;
    x = normalQuantile(plo + u * (phi - plo));
  }
  return std::clamp(x, lo, hi);
}

}  // namespace

int32_t RandomInRange(RandomSource& random, int32_t lo, int32_t hi, int32_t D) {
  if (lo >= hi) return lo;
  if (D == 0) {
    const uint64_t n = static_cast<uint64_t>(int64_t(hi) - int64_t(lo)) + 1;
    return static_cast<int32_t>(int64_t(lo) + int64_t(random.NextBelow(n)));
  }
  // A normal deviate e with this mean and standard deviation, drawn again until -2147483647 < e
  // < 2147483647 and lo <= trunc(e) <= hi, is a normal deviate conditioned on the interval of
  // reals that truncate into [lo, hi]; it is drawn from that interval at once rather than by
  // rejection, which on a narrow range far from the mean would take thousands of draws.
  const double mean = D > 0 ? double(lo) : double(hi);
  const double sd = double(hi) / std::fabs(double(D));
  const double below = lo > 0 ? double(lo) : double(lo) - 1;  // trunc(e) >= lo
  const double above = hi >= 0 ? double(hi) + 1 : double(hi);  // trunc(e) <= hi
  const double from = std::max(below, -2147483647.0), to = std::min(above, 2147483647.0);
  double e = mean;
  if (sd > 0 && std::isfinite(sd)) e = mean + sd * truncatedStandardNormal(random, (from - mean) / sd, (to - mean) / sd);
  const int64_t t = static_cast<int64_t>(std::clamp(e, from, to));  // truncation toward zero
  return static_cast<int32_t>(std::clamp<int64_t>(t, lo, hi));
}

}  // namespace zubira
