#include "drawing/number_text.h"

#include "platform/real_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace zubira {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int hexValue(QChar c) {
  if (isDigit(c)) return c.unicode() - u'0';
  if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
  return -1;
}

// Exponents are clamped to this magnitude while they are read: far beyond the range of a double,
// yet small enough that no sum below can overflow.
constexpr long long kExponentClamp = 1000000;

}  // namespace

std::optional<double> readReal(const QString& text) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n && text[i] == u' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';

  // The digits are copied into a plain ASCII form for the conversion; leading zeros of the
  // integer part are dropped so that their number does not matter.
  std::string intDigits, fracDigits;
  qsizetype mantissaDigits = 0;
  for (; i < n && isDigit(text[i]); ++i, ++mantissaDigits)
    if (!(intDigits.empty() && text[i] == u'0')) intDigits += char(text[i].unicode());
  if (i < n && text[i] == u'.') {
    for (++i; i < n && isDigit(text[i]); ++i, ++mantissaDigits)
      fracDigits += char(text[i].unicode());
  }
  if (mantissaDigits == 0) return std::nullopt;

  long long exponent = 0;
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    bool expNegative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) expNegative = text[i++] == u'-';
    if (i >= n || !isDigit(text[i])) return std::nullopt;
    while (i < n && isDigit(text[i])) {
      if (exponent < kExponentClamp) exponent = exponent * 10 + (text[i].unicode() - u'0');
      ++i;
    }
    if (exponent > kExponentClamp) exponent = kExponentClamp;
    if (expNegative) exponent = -exponent;
  }
  if (i != n) return std::nullopt;

  const std::size_t firstFrac = fracDigits.find_first_not_of('0');
  if (intDigits.empty() && firstFrac == std::string::npos) return negative ? -0.0 : 0.0;

  std::string ascii = (intDigits.empty() ? std::string("0") : intDigits) + '.' + fracDigits + 'e' +
                      std::to_string(exponent);
  double value = 0;
  auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // The decimal magnitude tells overflow (no number) from underflow (zero).
    long long magnitude = exponent + (intDigits.empty() ? -static_cast<long long>(firstFrac)
                                                        : static_cast<long long>(intDigits.size()));
    if (magnitude > 0) return std::nullopt;
    value = 0;
  } else if (ec != std::errc() || end != ascii.data() + ascii.size()) {
    return std::nullopt;
  }
  if (!std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

std::optional<int> readInteger(const QString& text) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n && text[i] == u' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';

  int base = 10;
  if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }

  // The magnitude may reach 2^31 for a negative value; reading stops as soon as it passes that.
  constexpr long long kLimit = 2147483648LL;
  long long magnitude = 0;
  const qsizetype firstDigit = i;
  for (; i < n; ++i) {
    const int d = base == 16 ? hexValue(text[i]) : (isDigit(text[i]) ? text[i].unicode() - u'0' : -1);
    if (d < 0) return std::nullopt;
    magnitude = magnitude * base + d;
    if (magnitude > kLimit) return std::nullopt;
  }
  if (i == firstDigit) return std::nullopt;
  if (negative) return static_cast<int>(-magnitude);
  if (magnitude == kLimit) return std::nullopt;
  return static_cast<int>(magnitude);
}

QString formatCommandReal(double value) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

  // "%.14e" rounds to 15 significant digits. Its decimal point may follow the locale, so only the
  // digits and the exponent are taken from it.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  std::string digits;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits += *p;
  int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
  digits.resize(15, '0');

  char out[32];
  std::snprintf(out, sizeof out, "%c%c.%sE%c%04d", value < 0 ? '-' : ' ', digits[0],
                digits.c_str() + 1, exponent < 0 ? '-' : '+', std::abs(exponent));
  return QString::fromLatin1(out);
}

QString formatGeneralReal(double value) { return formatReal(value); }

}  // namespace zubira
