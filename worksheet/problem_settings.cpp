#include "worksheet/problem_settings.h"

#include <algorithm>

#include "platform/ini_file.h"

namespace zubira {

namespace {

const QString kSection = QStringLiteral("Problem");

// The key of a range edit: its name without "Edt".
QString rangeKey(int k) { return QLatin1String(rangeEditName(RangeEdit(k))).mid(3); }

// A whole number from lo to hi, written as the edits accept numbers; `def` otherwise.
int readChoice(const IniFile& ini, const QString& key, int lo, int hi, int def) {
  if (!ini.hasKey(kSection, key)) return def;
  const std::optional<int32_t> v = parseInt32Text(ini.readString(kSection, key, QString()).trimmed());
  return v && *v >= lo && *v <= hi ? *v : def;
}

// Each text checked alone as leaving its edit checks it; then the twelve together. When they
// do not go together, the operand at fault takes its default ranges (the rules over all twelve
// never tie one operand to the other); failing that, all twelve do.
RangeTexts readRanges(const IniFile& ini, bool fInt) {
  const RangeTexts defaults = defaultRangeTexts();
  RangeTexts texts = defaults;
  for (int k = 0; k < RangeEditCount; ++k) {
    const QString key = rangeKey(k);
    if (!ini.hasKey(kSection, key)) continue;
    const RangeCheckResult r = CheckRangeEditText(RangeEdit(k), ini.readString(kSection, key, QString()));
    if (r.accepted) texts[size_t(k)] = r.text;
  }
  if (CheckRangeSet(texts, fInt).isEmpty()) return texts;
  for (int first : {EdtMin1i, EdtMin2i}) {
    RangeTexts fixed = texts;
    for (int k = first; k < first + RangeEditCount / 2; ++k) fixed[size_t(k)] = defaults[size_t(k)];
    if (CheckRangeSet(fixed, fInt).isEmpty()) return fixed;
  }
  return defaults;
}

}  // namespace

ProblemSettings ReadProblemSettings(const IniFile& ini, bool fInt) {
  ProblemSettings p;
  p.kind = ProblemKind(readChoice(ini, QStringLiteral("Kind"), 0, ProblemKindCount - 1, pkAdd));
  p.ranges = readRanges(ini, fInt);
  p.sign1 = SignMode(readChoice(ini, QStringLiteral("Sign1"), smPlus, smEither, smPlus));
  p.sign2 = SignMode(readChoice(ini, QStringLiteral("Sign2"), smPlus, smEither, smPlus));
  p.step1 = readChoice(ini, QStringLiteral("Step1"), 0, 1, 0) == 1;
  p.step2 = readChoice(ini, QStringLiteral("Step2"), 0, 1, 0) == 1;
  return p;
}

void WriteProblemSettings(IniFile& ini, const ProblemSettings& p) {
  ini.writeInteger(kSection, QStringLiteral("Kind"), p.kind);
  for (int k = 0; k < RangeEditCount; ++k) ini.writeString(kSection, rangeKey(k), p.ranges[size_t(k)]);
  ini.writeInteger(kSection, QStringLiteral("Sign1"), p.sign1);
  ini.writeInteger(kSection, QStringLiteral("Sign2"), p.sign2);
  ini.writeBool(kSection, QStringLiteral("Step1"), p.step1);
  ini.writeBool(kSection, QStringLiteral("Step2"), p.step2);
}

QString defaultSubTitle(ProblemKind kind) {
  static const char* const titles[ProblemKindCount] = {
      "たしざんのもんだい", "ひきざんのもんだい", "かけざんのもんだい", "わりざんのもんだい",
      "帯分数を仮分数になおすもんだい", "仮分数を帯分数になおすもんだい"};
  return QString::fromUtf8(titles[kind >= 0 && kind < ProblemKindCount ? kind : 0]);
}

QString followSubTitle(const QString& current, ProblemKind from, ProblemKind to) {
  return current == defaultSubTitle(from) ? defaultSubTitle(to) : current;
}

QString sheetSubTitle(const QString& current, ProblemKind from, const ProblemSet& problems) {
  if (problems.empty() || current != defaultSubTitle(from)) return current;
  const ProblemKind kind = problems.front().kind;
  const bool oneKind = std::all_of(problems.begin(), problems.end(), [&](const SheetProblem& p) { return p.kind == kind; });
  return oneKind ? defaultSubTitle(kind) : QStringLiteral("まとめのもんだい");
}

}  // namespace zubira
