#include "platform/real_format.h"

#include <gtest/gtest.h>

#include <clocale>

namespace zubira {
namespace {

TEST(FormatReal, GeneralFormat) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {10, "10"},
      {-10, "-10"},
      {2.5, "2.5"},
      {0.1, "0.1"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {123456789012345.0, "123456789012345"},
      {1234567890123456.0, "1.23456789012346E15"},
      {0.00001, "0.00001"},
      {0.0000123, "0.0000123"},
      {0.000001, "1E-6"},
      {-0.0000025, "-2.5E-6"},
      {25.400000000000002, "25.4"},
      {1e20, "1E20"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatReal(c.value), QString::fromLatin1(c.text)) << c.value;
}

TEST(FormatReal, IgnoresTheLocaleDecimalPoint) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale here";
  EXPECT_EQ(formatReal(2.5), QStringLiteral("2.5"));
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ParseReal, AcceptsDecimalNumbersOnly) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {"10", true, 10},     {" 2.5 ", true, 2.5}, {"-0.5", true, -0.5}, {"+3", true, 3},
      {".5", true, 0.5},    {"5.", true, 5},      {"1E-6", true, 1e-6}, {"1e3", true, 1000},
      {"", false, 0},       {"abc", false, 0},    {"2,5", false, 0},    {"1e", false, 0},
      {"nan", false, 0},    {"inf", false, 0},    {"1e999", false, 0},  {"--1", false, 0},
      {"1 2", false, 0},    {".", false, 0},      {"０", false, 0},
  };
  for (const Case& c : cases) {
    auto v = parseReal(QString::fromUtf8(c.text));
    EXPECT_EQ(v.has_value(), c.ok) << c.text;
    if (v && c.ok) {
      EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
    }
  }
}

TEST(FormatReal, RoundTripsThroughParse) {
  for (double v : {0.1, 12.75, 1e-7, 3.14159265358979, 297.0, -42.125}) {
    auto back = parseReal(formatReal(v));
    ASSERT_TRUE(back.has_value()) << v;
    EXPECT_NEAR(*back, v, std::abs(v) * 1e-14) << v;
  }
}

}  // namespace
}  // namespace zubira
