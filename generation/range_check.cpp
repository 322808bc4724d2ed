#include "generation/range_check.h"

#include <limits>

namespace zubira {

namespace {

const QString msgBlank() { return QStringLiteral("空白は指定できません"); }
const QString msgNumber() { return QStringLiteral("数を入力して下さい"); }
const QString msgInteger1000() { return QStringLiteral("1000以下を指定して下さい"); }
const QString msgFourDigits() { return QStringLiteral("４桁未満を指定して下さい"); }
const QString msgZeroDenominator() { return QStringLiteral("分母に０は指定できません"); }
const QString msgMinMax() { return QStringLiteral("最小値は最大値以下でなければいけません"); }
const QString msgBounds() {
  return QStringLiteral("設定値は４桁未満の正の数又は零でなければいけません");
}
const QString msgMixedNoInt() {
  return QStringLiteral("整数を含まずに帯分数で分子が分母以上の設定はできません");
}
const QString msgMixed() { return QStringLiteral("帯分数で分子が分母を越える設定はできません"); }

std::optional<uint64_t> parseMagnitude(const QString& text, uint64_t limit) {
  int i = 0;
  int base = 10;
  const int n = int(text.size());
  if (i < n && text[i] == u'$') {
    base = 16;
    i += 1;
  } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  } else if (i < n && (text[i] == u'x' || text[i] == u'X')) {
    base = 16;
    i += 1;
  }
  if (i >= n) return std::nullopt;
  uint64_t value = 0;
  for (; i < n; ++i) {
    const char16_t c = text[i].unicode();
    int digit = -1;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    if (digit < 0) return std::nullopt;
    if (value > (limit - uint64_t(digit)) / uint64_t(base)) return std::nullopt;
    value = value * uint64_t(base) + uint64_t(digit);
  }
  return value;
}

template <typename T>
std::optional<T> parseSigned(const QString& text) {
  bool negative = false;
  QString body = text;
  if (body.startsWith(u'-') || body.startsWith(u'+')) {
    negative = body.startsWith(u'-');
    body = body.mid(1);
  }
  const uint64_t maxPositive = uint64_t(std::numeric_limits<T>::max());
  auto magnitude = parseMagnitude(body, negative ? maxPositive + 1 : maxPositive);
  if (!magnitude) return std::nullopt;
  if (negative) return static_cast<T>(-static_cast<int64_t>(*magnitude - 1) - 1);
  return static_cast<T>(*magnitude);
}

bool isTrimmed(QChar c) {
  const QChar::Category cat = c.category();
  return cat == QChar::Other_Control || cat == QChar::Separator_Space || c.unicode() < 0x20;
}

QString mixedRangeMessage(int64_t minWhole, int64_t minNum, int64_t maxDen, bool fInt) {
  if (minWhole < 1) return QString();
  if (!fInt && minNum >= maxDen) return msgMixedNoInt();
  if (fInt && minNum > maxDen) return msgMixed();
  return QString();
}

}  // namespace

RangeEditClass rangeEditClass(RangeEdit edit) {
  switch (rangeIndexOf(edit) % 3) {
    case 0: return RangeEditClass::IntegerPart;
    case 1: return RangeEditClass::Numerator;
    default: return RangeEditClass::Denominator;
  }
}

int rangeIndexOf(RangeEdit edit) { return int(edit) / 2; }
bool isLowerBound(RangeEdit edit) { return int(edit) % 2 == 0; }

const char* rangeEditName(RangeEdit edit) {
  static const char* const names[RangeEditCount] = {
      "EdtMin1i", "EdtMax1i", "EdtMin1c", "EdtMax1c", "EdtMin1m", "EdtMax1m",
      "EdtMin2i", "EdtMax2i", "EdtMin2c", "EdtMax2c", "EdtMin2m", "EdtMax2m"};
  return names[int(edit)];
}

RangeTexts defaultRangeTexts() {
  RangeTexts t;
  const GenerationSettings defaults;
  for (int k = 0; k < RangeCount; ++k) {
    t[size_t(2 * k)] = QString::number(defaults.MinV[size_t(k)]);
    t[size_t(2 * k + 1)] = QString::number(defaults.MaxV[size_t(k)]);
  }
  return t;
}

std::optional<int32_t> parseInt32Text(const QString& text) { return parseSigned<int32_t>(text); }
std::optional<int64_t> parseInt64Text(const QString& text) { return parseSigned<int64_t>(text); }

QString trimRangeText(const QString& text) {
  int b = 0;
  int e = int(text.size());
  while (b < e && isTrimmed(text[b])) ++b;
  while (e > b && isTrimmed(text[e - 1])) --e;
  return text.mid(b, e - b);
}

RangeCheckResult CheckRangeEditText(RangeEdit edit, const QString& text) {
  RangeCheckResult r;
  r.text = trimRangeText(text);
  const RangeEditClass cls = rangeEditClass(edit);
  if (r.text.isEmpty()) {
    if (cls == RangeEditClass::IntegerPart) {
      r.text = QStringLiteral("0");
      r.accepted = true;
    } else {
      r.message = msgBlank();
    }
    return r;
  }
  const std::optional<int32_t> v = parseInt32Text(r.text);
  if (!v) {
    r.message = msgNumber();
    return r;
  }
  if (cls == RangeEditClass::IntegerPart && *v > 1000) {
    r.message = msgInteger1000();
    return r;
  }
  if (cls != RangeEditClass::IntegerPart && *v >= 10000) {
    r.message = msgFourDigits();
    return r;
  }
  if (cls == RangeEditClass::Denominator && *v == 0) {
    r.message = msgZeroDenominator();
    return r;
  }
  r.accepted = true;
  return r;
}

QString CheckRangeSet(const RangeTexts& texts, bool fInt, RangeBounds* MinVOut,
                      RangeBounds* MaxVOut) {
  RangeBounds MinV{};
  RangeBounds MaxV{};
  bool parsed = true;
  for (int k = 0; k < RangeCount; ++k) {
    auto lo = parseInt64Text(texts[size_t(2 * k)]);
    auto hi = parseInt64Text(texts[size_t(2 * k + 1)]);
    if (lo) MinV[size_t(k)] = *lo;
    if (hi) MaxV[size_t(k)] = *hi;
    parsed = parsed && lo && hi;
  }
  if (MinVOut) *MinVOut = MinV;
  if (MaxVOut) *MaxVOut = MaxV;
  if (!parsed) return msgNumber();
  for (int k = 0; k < RangeCount; ++k)
    if (MinV[size_t(k)] > MaxV[size_t(k)]) return msgMinMax();
  for (int k = 0; k < RangeCount; ++k)
    for (int64_t v : {MinV[size_t(k)], MaxV[size_t(k)]})
      if (v < 0 || v >= 10000) return msgBounds();
  QString m = mixedRangeMessage(MinV[0], MinV[1], MaxV[2], fInt);
  if (!m.isEmpty()) return m;
  return mixedRangeMessage(MinV[3], MinV[4], MaxV[5], fInt);
}

RangeCheckResult CheckRangeEdit(RangeEdit edit, const RangeTexts& texts, bool fInt) {
  RangeCheckResult r = CheckRangeEditText(edit, texts[size_t(edit)]);
  if (!r.accepted) return r;
  RangeTexts all = texts;
  all[size_t(edit)] = r.text;
  const QString message = CheckRangeSet(all, fInt);
  if (!message.isEmpty()) {
    r.accepted = false;
    r.message = message;
  }
  return r;
}

bool ParseRangeTexts(const RangeTexts& texts, GenerationSettings* settings) {
  RangeBounds MinV{};
  RangeBounds MaxV{};
  for (int k = 0; k < RangeCount; ++k) {
    auto lo = parseInt64Text(texts[size_t(2 * k)]);
    auto hi = parseInt64Text(texts[size_t(2 * k + 1)]);
    if (!lo || !hi) return false;
    MinV[size_t(k)] = *lo;
    MaxV[size_t(k)] = *hi;
  }
  settings->MinV = MinV;
  settings->MaxV = MaxV;
  return true;
}

QString CheckRangeInvariants(const RangeBounds& MinV, const RangeBounds& MaxV) {
  for (int k = 0; k < RangeCount; ++k)
    if (MinV[size_t(k)] > MaxV[size_t(k)]) return msgMinMax();
  for (int k = 0; k < RangeCount; ++k)
    for (int64_t v : {MinV[size_t(k)], MaxV[size_t(k)]})
      if (v < 0 || v >= 10000) return msgBounds();
  if (MinV[2] < 1 || MinV[5] < 1) return msgZeroDenominator();
  return QString();
}

}  // namespace zubira
