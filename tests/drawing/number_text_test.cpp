#include "drawing/number_text.h"

#include <QLocale>
#include <QRandomGenerator>
#include <cmath>
#include <limits>
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace zubira {
namespace {

TEST(ReadReal, AcceptedForms) {
  struct {
    const char* text;
    double value;
  } cases[] = {
      {"0", 0},          {"25", 25},           {"12.5", 12.5},        {"-3", -3},
      {"+4", 4},         {"  7", 7},           {".5", 0.5},           {"5.", 5},
      {"-.25", -0.25},   {"1e3", 1000},        {"1E+3", 1000},        {"2.5e-1", 0.25},
      {"007", 7},        {"0.000", 0},         {"1.25000000000000E+0001", 12.5},
      {"-3.00000000000000E+0000", -3},         {"0.00000000000000E+0000", 0},
      {"1e-99999", 0},   {"1e-400", 0},        {"-1e-400", -0.0},     {"0e99999", 0},
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
      {"000000000000000000000000000001", 1},
      {"0.0000000000000000000000000000000000000001e40", 1},
  };
  for (const auto& c : cases) {
    const std::optional<double> v = readReal(QString::fromUtf8(c.text));
    ASSERT_TRUE(v.has_value()) << c.text;
    EXPECT_EQ(*v, c.value) << c.text;
  }
}

TEST(ReadReal, RejectedForms) {
  const char* cases[] = {
      "",         " ",      "+",      "-",       ".",        "e5",      "1e",     "1e+",
      "1.2.3",    "12 ",    "12a",    "a12",     "1,5",      "--1",     "+-1",    "1e5.5",
      "inf",      "nan",    "INF",    "0x10",    "$10",      "1e99999", "1e309",  "-1e309",
      "\t1",      "1\t",    "１２",   "NIL",     "1 e5",     "1e 5",    "99999999999999999999e99999999999999999999",
  };
  for (const char* c : cases) EXPECT_FALSE(readReal(QString::fromUtf8(c)).has_value()) << c;
  // A huge digit string still reads, as long as its value fits.
  EXPECT_EQ(readReal(QString(100000, u'0') + "1"), 1.0);
  EXPECT_FALSE(readReal(QStringLiteral("1") + QString(400, u'0')).has_value());
  EXPECT_FALSE(readReal(QString(QChar(0)) + "1").has_value());
  EXPECT_FALSE(readReal(QStringLiteral("1") + QChar(0)).has_value());
}

TEST(ReadInteger, AcceptedForms) {
  struct {
    const char* text;
    int value;
  } cases[] = {
      {"0", 0},           {"3", 3},           {"-4", -4},          {"+5", 5},
      {"  12", 12},       {"$10", 16},        {"$ff", 255},        {"x1A", 26},
      {"X1a", 26},        {"0x10", 16},       {"0X7fffffff", 2147483647},
      {"-$10", -16},      {"-0x10", -16},     {"2147483647", 2147483647},
      {"-2147483648", std::numeric_limits<int>::min()},
      {"-$80000000", std::numeric_limits<int>::min()},
      {"0000000000000000000042", 42},
  };
  for (const auto& c : cases) {
    const std::optional<int> v = readInteger(QString::fromUtf8(c.text));
    ASSERT_TRUE(v.has_value()) << c.text;
    EXPECT_EQ(*v, c.value) << c.text;
  }
}

TEST(ReadInteger, RejectedForms) {
  const char* cases[] = {
      "",           " ",           "-",          "$",           "0x",         "x",
      "1.0",        "1e3",         "12 ",        "12a",         "$fg",        "0x-1",
      "2147483648", "-2147483649", "$80000000",  "0xFFFFFFFF",  "99999999999999999999",
      "--1",        "3.",          "１",         "0b101",       "$ 1",        "- 1",
  };
  for (const char* c : cases) EXPECT_FALSE(readInteger(QString::fromUtf8(c)).has_value()) << c;
  EXPECT_FALSE(readInteger(QString(100000, u'9')).has_value());
}

// Random decimal texts of every length and exponent against the C++ library's correctly rounded
// conversion of the same text.
TEST(ReadReal, AgreesWithTheLibrarysConversion) {
  QRandomGenerator rng(5);
  for (int i = 0; i < 50000; ++i) {
    std::string text;
    const int digits = 1 + int(rng.bounded(19));
    const int point = int(rng.bounded(digits + 1));
    for (int d = 0; d < digits; ++d) {
      if (d == point && d > 0) text += '.';
      text += char('0' + rng.bounded(10));
    }
    if (rng.bounded(2)) text += "E" + std::to_string(int(rng.bounded(61)) - 30);
    double expected = 0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    const std::optional<double> got = readReal(QString::fromStdString(text));
    ASSERT_TRUE(got.has_value()) << text;
    ASSERT_EQ(*got, expected) << text;
  }
}

TEST(FormatCommandReal, TwentyThreeCharactersByteForByte) {
  struct {
    double value;
    const char* text;
  } cases[] = {
      {12.5, " 1.25000000000000E+0001"},
      {-3, "-3.00000000000000E+0000"},
      {0, " 0.00000000000000E+0000"},
      {-0.0, " 0.00000000000000E+0000"},
      {30, " 3.00000000000000E+0001"},
      {1, " 1.00000000000000E+0000"},
      {0.5, " 5.00000000000000E-0001"},
      {-10, "-1.00000000000000E+0001"},
      {210, " 2.10000000000000E+0002"},
      {1.0 / 3, " 3.33333333333333E-0001"},
      {2.0 / 3, " 6.66666666666667E-0001"},
      {199.97333333333333, " 1.99973333333333E+0002"},
      {9.999999999999999, " 1.00000000000000E+0001"},  // rounding carries into the exponent
      {123456789012345678.0, " 1.23456789012346E+0017"},
      {1e-5, " 1.00000000000000E-0005"},
      {1e300, " 1.00000000000000E+0300"},
      {-1e-300, "-1.00000000000000E-0300"},
      {std::numeric_limits<double>::max(), " 1.79769313486232E+0308"},
      {std::numeric_limits<double>::denorm_min(), " 4.94065645841247E-0324"},
  };
  for (const auto& c : cases) {
    const QString s = formatCommandReal(c.value);
    EXPECT_EQ(s, QString::fromLatin1(c.text)) << c.value;
    EXPECT_EQ(s.size(), 23) << c.text;
  }
  EXPECT_EQ(formatCommandReal(std::nan("")), QStringLiteral("NAN"));
  EXPECT_EQ(formatCommandReal(INFINITY), QStringLiteral("INF"));
  EXPECT_EQ(formatCommandReal(-INFINITY), QStringLiteral("-INF"));
  EXPECT_FALSE(readReal(formatCommandReal(std::nan(""))).has_value());
}

// The C library's "%.14e", an independent oracle, in the 23-character form.
QString printfCommandReal(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
  const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
  char expected[32];
  std::snprintf(expected, sizeof expected, "%c%c.%.14sE%c%04d", v < 0 ? '-' : ' ', buf[0], buf + 2,
                exponent < 0 ? '-' : '+', std::abs(exponent));
  return QString::fromLatin1(expected);
}

// Doubles of every magnitude.
TEST(FormatCommandReal, AgreesWithPrintfRounding) {
  QRandomGenerator64 rng(11);
  for (int i = 0; i < 20000; ++i) {
    double v;
    const quint64 bits = rng.generate();
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v)) continue;
    ASSERT_EQ(formatCommandReal(v), printfCommandReal(v)) << v;
  }
}

// The range of a sheet's coordinates, where the digits are found in integer arithmetic: random
// magnitudes, decimal and binary fractions, the neighbours of powers of ten and exact ties.
TEST(FormatCommandReal, AgreesWithPrintfOverCoordinates) {
  std::vector<double> values;
  QRandomGenerator64 rng(23);
  for (int i = 0; i < 20000; ++i) {
    values.push_back(rng.generateDouble() * std::pow(10.0, int(rng.bounded(22)) - 6));
    values.push_back(double(rng.bounded(10000000)) / 1000);
    values.push_back(double(rng.bounded(1000000)) / 64);
    values.push_back(double(rng.bounded(900000000000000ULL) + 100000000000000ULL) + 0.5);  // ties
  }
  for (int e = -6; e <= 16; ++e) {
    const double p = std::pow(10.0, e);
    for (double v : {p, std::nextafter(p, 0.0), std::nextafter(p, 1e300), p * 0.99999999999999995,
                     p * 9.999999999999995})
      values.push_back(v);
  }
  for (double v : values) {
    ASSERT_EQ(formatCommandReal(v), printfCommandReal(v)) << v;
    ASSERT_EQ(formatCommandReal(-v), printfCommandReal(-v)) << v;
  }
}

TEST(FormatCommandReal, ReadsBackToFifteenDigits) {
  QRandomGenerator rng(7);
  for (int i = 0; i < 5000; ++i) {
    const double v = (rng.generateDouble() - 0.5) * std::pow(10.0, int(rng.bounded(40)) - 20);
    const QString s = formatCommandReal(v);
    ASSERT_EQ(s.size(), 23);
    // The leading blank is dropped by the splitter; the reader takes the rest.
    const std::optional<double> back = readReal(s.trimmed());
    ASSERT_TRUE(back.has_value()) << s.toStdString();
    EXPECT_NEAR(*back, v, std::fabs(v) * 1e-14) << s.toStdString();
  }
}

TEST(FormatGeneralReal, ShortestFormWithoutTrailingZeros) {
  struct {
    double value;
    const char* text;
  } cases[] = {
      {0.5, "0.5"},     {2, "2"},          {0, "0"},          {-1.25, "-1.25"},
      {0.1, "0.1"},     {1.0 / 3, "0.333333333333333"},       {100, "100"},
      {0.00001, "0.00001"},                {0.000001, "1E-6"}, {1e15, "1E15"},
      {123456789012345.0, "123456789012345"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatGeneralReal(c.value), QString::fromLatin1(c.text));
  for (const auto& c : cases)
    EXPECT_EQ(readReal(formatGeneralReal(c.value)).value_or(-99), std::stod(c.text)) << c.text;
}

// Random texts from the characters that matter: every text the rules accept reads as Qt's C-locale
// conversion reads it, and nothing hangs or reads past the end.
TEST(NumberRules, AgreeWithAnIndependentConversion) {
  QRandomGenerator rng(12345);
  const QString alphabet = QStringLiteral("0123456789+-.eE xX$aF");
  int realsRead = 0, integersRead = 0;
  for (int round = 0; round < 50000; ++round) {
    QString t;
    const int n = int(rng.bounded(12));
    for (int i = 0; i < n; ++i) t += alphabet[int(rng.bounded(alphabet.size()))];
    if (const std::optional<double> v = readReal(t)) {
      ++realsRead;
      bool ok = false;
      const double q = QLocale::c().toDouble(t, &ok);
      // Qt calls an underflow a failure; the reader takes it as zero.
      EXPECT_TRUE(ok || q == 0) << t.toStdString();
      EXPECT_EQ(*v, q) << t.toStdString();
    }
    if (const std::optional<int> v = readInteger(t)) {
      ++integersRead;
      QString digits = t.trimmed();
      const bool negative = digits.startsWith(u'-');
      if (digits.startsWith(u'-') || digits.startsWith(u'+')) digits.remove(0, 1);
      int base = 10;
      if (digits.startsWith(u'$') || digits.startsWith(u'x') || digits.startsWith(u'X')) {
        digits.remove(0, 1);
        base = 16;
      } else if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        digits.remove(0, 2);
        base = 16;
      }
      bool ok = false;
      const qlonglong q = digits.toLongLong(&ok, base);
      EXPECT_TRUE(ok) << t.toStdString();
      EXPECT_EQ(*v, negative ? -q : q) << t.toStdString();
    }
  }
  EXPECT_GT(realsRead, 100);
  EXPECT_GT(integersRead, 100);
}

}  // namespace
}  // namespace zubira
