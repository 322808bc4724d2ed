#include "platform/real_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zubira {

QString formatReal(double value) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
  if (value == 0) return QStringLiteral("0");

  // 15 significant digits and the decimal exponent of the rounded value. "%e" is not affected by
  // the locale's decimal point except for the point itself, which is skipped below.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  std::string digits;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits += *p;
  int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = value < 0 ? "-" : "";
  if (exponent < -5 || exponent >= 15) {
    out += digits[0];
    if (digits.size() > 1) out += '.' + digits.substr(1);
    out += 'E' + std::to_string(exponent);
  } else if (exponent < 0) {
    out += "0." + std::string(std::size_t(-exponent - 1), '0') + digits;
  } else {
    std::size_t intDigits = std::size_t(exponent) + 1;
    if (digits.size() <= intDigits) {
      out += digits + std::string(intDigits - digits.size(), '0');
    } else {
      out += digits.substr(0, intDigits) + '.' + digits.substr(intDigits);
    }
  }
  return QString::fromLatin1(out.c_str());
}

std::optional<double> parseReal(const QString& text) {
  const QString t = text.trimmed();
  int i = 0;
  const int n = t.size();
  auto isDigit = [&](int k) { return k < n && t[k] >= u'0' && t[k] <= u'9'; };
  if (i < n && (t[i] == u'+' || t[i] == u'-')) ++i;
  int mantissaDigits = 0;
  while (isDigit(i)) ++i, ++mantissaDigits;
  if (i < n && t[i] == u'.') {
    ++i;
    while (isDigit(i)) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < n && (t[i] == u'e' || t[i] == u'E')) {
    ++i;
    if (i < n && (t[i] == u'+' || t[i] == u'-')) ++i;
    if (!isDigit(i)) return std::nullopt;
    while (isDigit(i)) ++i;
  }
  if (i != n) return std::nullopt;
  bool ok = false;
  double v = t.toDouble(&ok);  // QString::toDouble always reads the C locale's "."
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace zubira
