#include "generation/random_source.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <deque>

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
