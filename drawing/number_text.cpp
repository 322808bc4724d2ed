#include "drawing/number_text.h"

#include "platform/real_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
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

std::optional<double> readReal(QStringView text) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n && text[i] == u' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';

  // The digits are copied into a plain ASCII form "<int>.<frac>e<exp>" for the conversion, on
  // the stack unless the text is long; leading zeros of the integer part are dropped so that
  // their number does not matter.
  char stack[128];
  std::unique_ptr<char[]> heap;
  char* ascii = stack;
  if (size_t(n) + 32 > sizeof stack) {
    heap = std::make_unique<char[]>(size_t(n) + 32);
    ascii = heap.get();
  }
  size_t len = 0;
  qsizetype mantissaDigits = 0, intDigits = 0;
  for (; i < n && isDigit(text[i]); ++i, ++mantissaDigits) {
    if (intDigits == 0 && text[i] == u'0') continue;
    ascii[len++] = char(text[i].unicode());
    ++intDigits;
  }
  if (intDigits == 0) ascii[len++] = '0';
  ascii[len++] = '.';
  qsizetype fracDigits = 0, firstFrac = -1;
  if (i < n && text[i] == u'.') {
    for (++i; i < n && isDigit(text[i]); ++i, ++mantissaDigits, ++fracDigits) {
      if (firstFrac < 0 && text[i] != u'0') firstFrac = fracDigits;
      ascii[len++] = char(text[i].unicode());
    }
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
  if (intDigits == 0 && firstFrac < 0) return negative ? -0.0 : 0.0;

  // The common case, the fifteen digits the lists are written with: digits that form an integer
  // below 2^53 times a power of ten up to 10^22 are both exact doubles, so one multiplication or
  // division rounds correctly, as the full conversion below would.
  {
    uint64_t mantissa = 0;
    int significant = 0;
    for (size_t k = 0; k < len && significant <= 16; ++k) {
      if (ascii[k] == '.') continue;
      mantissa = mantissa * 10 + uint64_t(ascii[k] - '0');
      if (mantissa != 0) ++significant;
    }
    const long long power = exponent - fracDigits;
    if (significant <= 15 && mantissa < (uint64_t(1) << 53) && power >= -22 && power <= 22) {
      static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                           1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
      const double m = double(mantissa);
      const double v = power >= 0 ? m * kPowers[power] : m / kPowers[-power];
      return negative ? -v : v;
    }
  }

  ascii[len++] = 'e';
  len = size_t(std::to_chars(ascii + len, ascii + len + 24, exponent).ptr - ascii);
  double value = 0;
  auto [end, ec] = std::from_chars(ascii, ascii + len, value);
  if (ec == std::errc::result_out_of_range) {
    // The decimal magnitude tells overflow (no number) from underflow (zero).
    const long long magnitude = exponent + (intDigits == 0 ? -static_cast<long long>(firstFrac) : intDigits);
    if (magnitude > 0) return std::nullopt;
    value = 0;
  } else if (ec != std::errc() || end != ascii + len) {
    return std::nullopt;
  }
  if (!std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

std::optional<int> readInteger(QStringView text) {
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

namespace {

// The fifteen significant digits of `a`, correctly rounded (ties to even) as the C library rounds
// the binary value, and its decimal exponent, in exact integer arithmetic: a sheet's coordinates
// all lie in this range, and this is several times faster than the general conversion. False
// outside 1e-5 <= a < 1e15, where the general conversion is used.
bool fifteenDigits(double a, uint64_t* digits, int* exponent) {
  if (!(a >= 1e-5 && a < 1e15)) return false;
  static constexpr uint64_t kPow10[] = {1ULL,
                                        10ULL,
                                        100ULL,
                                        1000ULL,
                                        10000ULL,
                                        100000ULL,
                                        1000000ULL,
                                        10000000ULL,
                                        100000000ULL,
                                        1000000000ULL,
                                        10000000000ULL,
                                        100000000000ULL,
                                        1000000000000ULL,
                                        10000000000000ULL,
                                        100000000000000ULL,
                                        1000000000000000ULL,
                                        10000000000000000ULL,
                                        100000000000000000ULL,
                                        1000000000000000000ULL,
                                        10000000000000000000ULL};
  int binaryExponent = 0;
  const double fraction = std::frexp(a, &binaryExponent);  // a = fraction * 2^binaryExponent
  const uint64_t mantissa = uint64_t(std::ldexp(fraction, 53));
  const int shift = 53 - binaryExponent;  // a = mantissa / 2^shift, 3 <= shift <= 70 here
  int e = int(std::floor(std::log10(a)));  // a first guess, checked below
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int k = 14 - e;
    if (k < 0 || k > 19) return false;
    const unsigned __int128 n = (unsigned __int128)mantissa * kPow10[k];  // a * 10^k * 2^shift
    uint64_t q = uint64_t(n >> shift);
    const unsigned __int128 rest = n - ((unsigned __int128)q << shift);
    const unsigned __int128 half = (unsigned __int128)1 << (shift - 1);
    if (q < kPow10[14]) {
      --e;
      continue;
    }
    if (q >= kPow10[15]) {
      ++e;
      continue;
    }
    if (rest > half || (rest == half && (q & 1))) ++q;
    if (q == kPow10[15]) {  // rounding carried into the next power of ten
      q = kPow10[14];
      ++e;
    }
    *digits = q;
    *exponent = e;
    return true;
  }
  return false;
}

}  // namespace

void appendCommandReal(QString& out, double value) {
  if (std::isnan(value)) {
    out += QLatin1String("NAN");
    return;
  }
  if (std::isinf(value)) {
    out += value < 0 ? QLatin1String("-INF") : QLatin1String("INF");
    return;
  }

  // Rounded to 15 significant digits, "d.ddddddddddddddde[+-]x…", whatever the locale; every
  // coordinate of a composed sheet goes through here, so no printf.
  char buf[64];
  int exponent = 0;
  uint64_t digits = 0;
  if (fifteenDigits(std::fabs(value), &digits, &exponent)) {
    for (int i = 15; i >= 2; --i, digits /= 10) buf[i] = char('0' + digits % 10);
    buf[0] = char('0' + digits);
    buf[1] = '.';
  } else {
    const std::to_chars_result r =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const char* e = std::find(buf, r.ptr, 'e');
    if (e != r.ptr) std::from_chars(e + (e[1] == '+' ? 2 : 1), r.ptr, exponent);
  }

  // " d.ddddddddddddddE+xxxx": a sign or blank, 15 digits, a four-digit exponent.
  char text[24];
  text[0] = value < 0 ? '-' : ' ';
  text[1] = buf[0];
  text[2] = '.';
  std::copy(buf + 2, buf + 16, text + 3);
  text[17] = 'E';
  text[18] = exponent < 0 ? '-' : '+';
  int x = std::abs(exponent);
  for (int i = 22; i >= 19; --i, x /= 10) text[i] = char('0' + x % 10);
  out += QLatin1String(text, 23);
}

QString formatCommandReal(double value) {
  QString out;
  out.reserve(23);
  appendCommandReal(out, value);
  return out;
}

QString formatGeneralReal(double value) { return formatReal(value); }

}  // namespace zubira
