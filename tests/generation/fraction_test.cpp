#include "generation/fraction.h"

#include "generation/random_source.h"

#include <gtest/gtest.h>

#include <numeric>

namespace zubira {
namespace {

TEST(Fraction, EdgeCases) {
  EXPECT_EQ(Gcd64(0, 7), 7);
  EXPECT_EQ(Gcd64(7, 0), 7);
  EXPECT_EQ(Gcd64(12, 18), 6);
  EXPECT_EQ(ReduceFraction(0, 7), (Fraction{0, 1}));
  EXPECT_EQ(ReduceFraction(6, 4), (Fraction{3, 2}));
  EXPECT_EQ(ReduceFraction(-6, 4), (Fraction{-3, 2}));
  EXPECT_EQ(ReduceFraction(0, 0), (Fraction{0, 0})) << "nothing divided by zero";

  struct Case {
    int64_t a, b, c, d;
    Fraction sum;
  } sums[] = {
      {1, 4, 1, 4, {1, 2}},   {1, 2, -1, 2, {0, 1}}, {1, 3, -1, 2, {-1, 6}},
      {7, 3, 5, 6, {19, 6}},  {-7, 4, -1, 4, {-2, 1}}, {0, 5, 0, 9, {0, 1}},
      {9999, 9998, 9997, 9996, {99950005, 49970004}},
  };
  for (const Case& c : sums) {
    auto r = AddFractions(c.a, c.b, c.c, c.d);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(*r, c.sum) << c.a << "/" << c.b << " + " << c.c << "/" << c.d;
  }
  EXPECT_FALSE(AddFractions(1, 0, 1, 2).has_value());

  EXPECT_EQ(*MultiplyFractions(3, 4, 2, -3), (Fraction{-1, 2}));
  EXPECT_EQ(*MultiplyFractions(3, 4, 2, 1), (Fraction{3, 2})) << "3/4 divided by 1/2";
  EXPECT_EQ(*MultiplyFractions(3, 4, 1, 0), (Fraction{1, 0})) << "a division by zero";
  EXPECT_EQ(*MultiplyFractions(-3, 4, 1, 0), (Fraction{-1, 0}));
  EXPECT_EQ(*MultiplyFractions(0, 4, 1, 0), (Fraction{0, 1}));

  EXPECT_EQ(*MixedToImproper(2, 1, 3), (Fraction{7, 3}));
  EXPECT_EQ(ImproperToMixed(7, 2), (MixedNumber{3, 1, 2}));
  EXPECT_EQ(ImproperToMixed(4, 1), (MixedNumber{4, 0, 1}));
  EXPECT_EQ(ImproperToMixed(5, 0), (MixedNumber{0, 5, 0})) << "no division by zero";
}

TEST(Fraction, OverflowGivesNoValueInsteadOfAWrongOne) {
  const int64_t big = INT64_MAX / 2 + 1;
  EXPECT_FALSE(AddFractions(big, 3, big, 3).has_value());
  EXPECT_FALSE(AddFractions(1, big, 1, big - 1).has_value());
  EXPECT_FALSE(MultiplyFractions(big, 1, 4, 1).has_value());
  EXPECT_FALSE(MultiplyFractions(INT64_MIN, 1, 1, 1).has_value()) << "could not be negated";
  EXPECT_FALSE(MixedToImproper(big, 1, 4).has_value());
}

// An independent oracle: 128-bit cross products and std::gcd.
Fraction oracle(__int128 n, __int128 d) {
  if (d < 0) n = -n, d = -d;
  if (n == 0) return {0, 1};
  __int128 a = n < 0 ? -n : n, b = d;
  while (b) {
    __int128 t = a % b;
    a = b;
    b = t;
  }
  return {int64_t(n / a), int64_t(d / a)};
}

TEST(Fraction, AgreesWithAnOracleOverTheGeneratorsRange) {
  PseudoRandomSource random(12345);
  auto draw = [&](int64_t lo, int64_t hi) { return lo + int64_t(random.NextBelow(uint64_t(hi - lo + 1))); };
  for (int i = 0; i < 20000; ++i) {
    const int64_t a = draw(-10010000, 10010000), b = draw(1, 9999);
    const int64_t c = draw(-10010000, 10010000), d = draw(1, 9999);
    auto sum = AddFractions(a, b, c, d);
    auto product = MultiplyFractions(a, b, c, d);
    ASSERT_TRUE(sum && product);
    EXPECT_EQ(*sum, oracle(__int128(a) * d + __int128(c) * b, __int128(b) * d));
    EXPECT_EQ(*product, oracle(__int128(a) * c, __int128(b) * d));
    if (c != 0) {
      auto quotient = MultiplyFractions(a, b, d, c);
      ASSERT_TRUE(quotient);
      EXPECT_EQ(*quotient, oracle(__int128(a) * d, __int128(b) * c));
    }
  }
}

}  // namespace
}  // namespace zubira
