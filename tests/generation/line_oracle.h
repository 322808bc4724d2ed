#pragma once
// Reads generator lines back as exact values, independently of the generator's own arithmetic,
// and checks the shape of each line.

#include <QRegularExpression>
#include <QString>

#include <numeric>
#include <optional>

namespace zubira::testing {

struct ParsedLine {
  int sign = 1;
  long long whole = 0, num = 0, den = 1;
  bool mixed = false;  // written as I+c/m
  bool whole_number = false;
  // The value as a canonical fraction (128-bit products keep it exact).
  __int128 n = 0, d = 1;
};

inline std::optional<ParsedLine> parseLine(const QString& line) {
  static const QRegularExpression whole(QStringLiteral("^(-?)(0|[1-9][0-9]*)$"));
  static const QRegularExpression fraction(QStringLiteral("^(-?)([1-9][0-9]*)/([1-9][0-9]*)$"));
  static const QRegularExpression mixedPos(
      QStringLiteral("^([1-9][0-9]*)\\+([1-9][0-9]*)/([1-9][0-9]*)$"));
  static const QRegularExpression mixedNeg(
      QStringLiteral("^-\\(([1-9][0-9]*)\\+([1-9][0-9]*)/([1-9][0-9]*)\\)$"));
  ParsedLine p;
  QRegularExpressionMatch m;
  if ((m = whole.match(line)).hasMatch()) {
    p.sign = m.captured(1).isEmpty() ? 1 : -1;
    p.num = m.captured(2).toLongLong();
    p.whole_number = true;
    if (p.sign < 0 && p.num == 0) return std::nullopt;  // "-0"
  } else if ((m = fraction.match(line)).hasMatch()) {
    p.sign = m.captured(1).isEmpty() ? 1 : -1;
    p.num = m.captured(2).toLongLong();
    p.den = m.captured(3).toLongLong();
  } else if ((m = mixedPos.match(line)).hasMatch() || (m = mixedNeg.match(line)).hasMatch()) {
    p.sign = line.startsWith(u'-') ? -1 : 1;
    p.whole = m.captured(1).toLongLong();
    p.num = m.captured(2).toLongLong();
    p.den = m.captured(3).toLongLong();
    p.mixed = true;
  } else {
    return std::nullopt;
  }
  __int128 n = __int128(p.whole) * p.den + p.num, d = p.den;
  const long long g = std::gcd((long long)n, (long long)d);
  p.n = p.sign * (n / g);
  p.d = d / g;
  return p;
}

// True when a fraction line c/m is reduced and, for a mixed number, its fraction proper.
inline bool isReduced(const ParsedLine& p) { return std::gcd(p.num, p.den) == 1; }

}  // namespace zubira::testing
