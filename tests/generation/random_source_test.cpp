#include "generation/random_source.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <deque>
#include <map>

namespace zubira {
namespace {

// Plays back a fixed list of uniform reals and counts what was asked of it.
class ScriptedRandom final : public RandomSource {
 public:
  explicit ScriptedRandom(std::deque<double> reals) : reals_(std::move(reals)) {}
  double NextReal() override {
    ++draws;
    if (reals_.empty()) return 0.5;
    double r = reals_.front();
    reals_.pop_front();
    return r;
  }
  uint64_t NextBelow(uint64_t n) override {
    ++draws;
    return n - 1;
  }
  int draws = 0;

 private:
  std::deque<double> reals_;
};

TEST(RandomInRange, EqualBoundsReturnWithoutDrawing) {
  ScriptedRandom r({});
  for (int D : {0, 3, -3, 10000}) EXPECT_EQ(RandomInRange(r, 5, 5, D), 5);
  EXPECT_EQ(r.draws, 0);
  EXPECT_EQ(RandomInRange(r, 7, 3, 4), 7) << "reversed bounds never loop forever";
}

TEST(RandomInRange, PolarMethodRejectsPointsOutsideTheCircle) {
  // (0.95, 0.95) lies outside the unit circle; (0.75, 0.5) gives x = 0.5, y = 0, s = 0.25.
  ScriptedRandom r({0.95, 0.95, 0.75, 0.5});
  const double e = NormalDeviate(r, 10, 2);
  EXPECT_EQ(r.draws, 4);
  EXPECT_NEAR(e, 10 + 2 * 0.5 * std::sqrt(-2 * std::log(0.25) / 0.25), 1e-12);
}

TEST(RandomInRange, DistributionFollowsD) {
  PseudoRandomSource random(7);
  std::array<int, 11> uniform{}, low{}, high{};
  const int n = 100000;
  for (int i = 0; i < n; ++i) {
    int u = RandomInRange(random, 1, 10, 0), l = RandomInRange(random, 1, 10, 3),
        h = RandomInRange(random, 1, 10, -3);
    for (int v : {u, l, h}) ASSERT_TRUE(v >= 1 && v <= 10) << v;
    ++uniform[size_t(u)], ++low[size_t(l)], ++high[size_t(h)];
  }
  for (int v = 1; v <= 10; ++v) EXPECT_NEAR(uniform[size_t(v)], n / 10, n / 100) << v;
  EXPECT_GT(low[1], 5 * low[10]);
  EXPECT_GT(high[10], 5 * high[1]);
  int nearZero = 0;
  for (int i = 0; i < 10000; ++i) {
    int v = RandomInRange(random, 0, 9999, 10000);
    ASSERT_TRUE(v >= 0 && v <= 9999);
    nearZero += v <= 1;
  }
  EXPECT_GT(nearZero, 9500) << "standard deviation about 1 around 0";
}

// The draw as rejection defines it: normal deviates drawn until one truncates into the range.
int32_t rejectionDraw(RandomSource& random, int32_t lo, int32_t hi, int32_t D) {
  const double mean = D > 0 ? double(lo) : double(hi);
  const double sd = double(hi) / std::fabs(double(D));
  for (;;) {
    const double e = NormalDeviate(random, mean, sd);
    if (!(e > -2147483647.0 && e < 2147483647.0)) continue;
    const int64_t t = static_cast<int64_t>(e);
    if (t >= lo && t <= hi) return static_cast<int32_t>(t);
  }
}

class CountingRandom final : public RandomSource {
 public:
  explicit CountingRandom(uint64_t seed) : source_(seed) {}
  double NextReal() override { return ++draws, source_.NextReal(); }
  uint64_t NextBelow(uint64_t n) override { return ++draws, source_.NextBelow(n); }
  int64_t draws = 0;

 private:
  PseudoRandomSource source_;
};

// The values' histogram of the constant-time draw against that of the rejection method: a
// chi-square test of homogeneity over the values seen at least ten times.
TEST(RandomInRange, NormalDrawMatchesTheRejectionMethod) {
  struct Case {
    int32_t lo, hi, D;
    int samples;
  };
  const Case cases[] = {
      {1, 10, 3, 40000},   {1, 10, -3, 40000},  {0, 20, 5, 40000},    {3, 40, -2, 40000},
      {0, 9999, 10000, 40000}, {1, 1000, 50, 40000}, {98, 99, 1, 20000}, {0, 1, -1000, 20000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi << " D=" << c.D);
    CountingRandom fast(11);
    PseudoRandomSource slow(12);
    std::map<int32_t, std::pair<int, int>> counts;
    for (int i = 0; i < c.samples; ++i) {
      const int32_t v = RandomInRange(fast, c.lo, c.hi, c.D);
      ASSERT_TRUE(v >= c.lo && v <= c.hi) << v;
      ++counts[v].first;
      ++counts[rejectionDraw(slow, c.lo, c.hi, c.D)].second;
    }
    EXPECT_EQ(fast.draws, c.samples) << "one uniform draw per value";
    double chi2 = 0;
    int bins = 0, rare = 0;
    for (const auto& [v, n] : counts) {
      if (n.first + n.second < 10) {
        rare += n.first + n.second;
        continue;
      }
      chi2 += double(n.first - n.second) * (n.first - n.second) / (n.first + n.second);
      ++bins;
    }
    EXPECT_LT(rare, c.samples / 50) << "most values fall in bins that are tested";
    // Far beyond the 1e-6 quantile of the chi-square distribution with bins - 1 degrees of
    // freedom would mean another distribution.
    const int df = std::max(1, bins - 1);
    EXPECT_LT(chi2, df + 7 * std::sqrt(2.0 * df) + 25) << bins << " bins";
  }
}

TEST(RandomInRange, NarrowRangeFarFromTheMeanTakesOneDraw) {
  // Rejection needs about 12,500 normal deviates for each of these.
  CountingRandom random(5);
  for (int i = 0; i < 1000; ++i) {
    const int32_t v = RandomInRange(random, 9998, 9999, 1);
    ASSERT_TRUE(v == 9998 || v == 9999) << v;
  }
  EXPECT_EQ(random.draws, 1000);
  // At the ends of the parameter: a deviation far below one unit, and one far beyond the range.
  for (int32_t D : {INT32_MIN, INT32_MAX, -1, 1}) {
    for (int i = 0; i < 100; ++i) {
      const int32_t v = RandomInRange(random, 0, 2147483646, D);
      ASSERT_TRUE(v >= 0 && v <= 2147483646) << D << " " << v;
    }
  }
}

TEST(RandomChance, HalfIsFair) {
  PseudoRandomSource random(99);
  int yes = 0;
  for (int i = 0; i < 100000; ++i) yes += RandomChance(random, 0.5);
  EXPECT_NEAR(yes, 50000, 1000);
  ScriptedRandom edge({0.5});
  EXPECT_TRUE(RandomChance(edge, 0.5)) << "u <= p";
}

TEST(PseudoRandomSource, ReproducibleForOneSeedAndInRange) {
  PseudoRandomSource a(42), b(42), c(43);
  bool differs = false;
  for (int i = 0; i < 1000; ++i) {
    const double x = a.NextReal();
    EXPECT_EQ(x, b.NextReal());
    differs = differs || x != c.NextReal();
    ASSERT_TRUE(x >= 0 && x < 1);
    ASSERT_LT(a.NextBelow(7), 7u);
    b.NextBelow(7);
    c.NextBelow(7);
  }
  EXPECT_TRUE(differs);
}

}  // namespace
}  // namespace zubira
