// The comma-text splitter and the number rules of command lines, against independent oracles:
// quoting and splitting round-trip any text, the 23-character real form reads back, and a real
// or an integer reads exactly when its grammar says so, with the value the C library gives.

#include "drawing/comma_text.h"
#include "drawing/number_text.h"
#include "fuzz/fuzz_support.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace zubira;
using zubira::fuzz::check;

namespace {

bool asciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool asciiHex(QChar c) {
  return asciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The grammar of a real, written out on its own: spaces, sign, digits with a point (at least one
// digit), an optional exponent with at least one digit, nothing after.
bool matchesRealGrammar(const QString& s) {
  qsizetype i = 0, n = s.size();
  while (i < n && s[i] == u' ') ++i;
  if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
  qsizetype digits = 0;
  while (i < n && asciiDigit(s[i])) ++i, ++digits;
  if (i < n && s[i] == u'.') {
    ++i;
    while (i < n && asciiDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (s[i] == u'e' || s[i] == u'E')) {
    ++i;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
    qsizetype e = 0;
    while (i < n && asciiDigit(s[i])) ++i, ++e;
    if (e == 0) return false;
  }
  return i == n;
}

// The integer an integer item stands for, when its grammar holds, as a wide value (saturated far
// beyond the 32-bit range).
bool integerOracle(const QString& s, long long* value) {
  qsizetype i = 0, n = s.size();
  while (i < n && s[i] == u' ') ++i;
  bool negative = false;
  if (i < n && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  int base = 10;
  if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
    base = 16;
    i += 2;
  } else if (i < n && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
    base = 16;
    ++i;
  }
  if (i == n) return false;
  long long v = 0;
  for (; i < n; ++i) {
    if (base == 10 ? !asciiDigit(s[i]) : !asciiHex(s[i])) return false;
    const int d = asciiDigit(s[i]) ? s[i].unicode() - u'0' : (s[i].unicode() | 0x20) - u'a' + 10;
    if (v < (1LL << 40)) v = v * base + d;
  }
  *value = negative ? -v : v;
  return true;
}

void checkReal(const QString& s) {
  const std::optional<double> r = readReal(s);
  const bool grammar = matchesRealGrammar(s);
  if (!grammar) {
    check(!r, "readReal accepted text outside the grammar", s);
    return;
  }
  const std::string ascii = s.toLatin1().toStdString();
  const double c = std::strtod(ascii.c_str(), nullptr);
  if (std::isinf(c)) {
    check(!r, "readReal read a value beyond the range of a double", s);
    return;
  }
  check(bool(r), "readReal refused a real", s);
  check(std::isfinite(*r), "readReal gave a value that is not finite", s);
  if (std::fabs(c) >= 2.2250738585072014e-308 || c == 0)
    check(*r == c, "readReal disagrees with strtod", s);
  else
    check(*r == c || *r == 0, "readReal disagrees with strtod below the normal range", s);
}

void checkInteger(const QString& s) {
  const std::optional<int> r = readInteger(s);
  long long v = 0;
  const bool grammar = integerOracle(s, &v);
  const bool inRange = grammar && v >= INT_MIN && v <= INT_MAX;
  check(bool(r) == inRange, "readInteger reads where the oracle does not, or the reverse", s);
  if (r) check(*r == v, "readInteger gave another value", s);
}

QString textOf(const uint8_t* data, size_t size, bool utf16) {
  if (!utf16) return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  QString out;
  for (size_t i = 0; i + 1 < size; i += 2) out += QChar(char16_t(data[i] | (data[i + 1] << 8)));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0];
  const QString text = textOf(data + 1, size - 1, mode & 1);

  // Splitting any line terminates, and whole-line views agree with each other.
  const QStringList items = splitCommaText(text);
  check(isBlankLine(text) == trimBlanks(text).isEmpty(), "blank line and trimming disagree", text);
  check(keywordOf(keywordOf(text)) == keywordOf(text), "a keyword is not stable", text);
  // NUL is trimmed from lines but separates no items; the interpreter trims before splitting.
  if (isBlankLine(text) && !text.contains(QChar(0)))
    check(items.isEmpty(), "a blank line split into items", text);

  // Quoting then splitting gives the text back, alone and among others.
  check(splitCommaText(quoteText(text)) == QStringList{text}, "quoted text did not split back", text);
  if (!items.isEmpty()) {
    QStringList quoted;
    for (const QString& item : items) quoted << quoteText(item);
    check(splitCommaText(quoted.join(u',')) == items, "quoted items did not split back", text);
    check(splitCommaText(u' ' + quoted.join(QStringLiteral(" , ")) + u'\t') == items,
          "quoted items between blanks did not split back", text);
  }

  // Number rules on the whole text and on every item.
  checkReal(text);
  checkInteger(text);
  for (const QString& item : items) {
    checkReal(item);
    checkInteger(item);
  }

  // The 23-character form of any double reads back to 15 significant digits.
  if (size >= 9) {
    double v = 0;
    std::memcpy(&v, data + 1, sizeof v);
    const QString written = formatCommandReal(v);
    const std::optional<double> back = readReal(written);
    if (!std::isfinite(v)) {
      check(!back, "a value that is not finite was read back", written);
    } else if (std::fabs(v) > 1.79769313486231e308) {
      // Rounded to 15 digits, the largest doubles are written beyond the range and do not read.
      check(written.size() == 23, "the real form is not 23 characters", written);
    } else {
      check(written.size() == 23, "the real form is not 23 characters", written);
      check(bool(back), "the real form does not read", written);
      const double tolerance = std::fabs(v) * 1e-14;
      if (std::fabs(v) >= 2.2250738585072014e-308)
        check(std::fabs(*back - v) <= tolerance, "the real form reads back another value", written);
      // Items after a comma lose the blank sign character and still read.
      check(splitCommaText(QStringLiteral("Line,") + written).value(1) == written.trimmed(),
            "the real form does not split as one item", written);
    }
    int i = 0;
    std::memcpy(&i, data + 1, sizeof i);
    check(readInteger(QString::number(i)) == i, "an integer does not read back", QString::number(i));
  }
  return 0;
}
