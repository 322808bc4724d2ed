#include "generation/preset.h"

#include "generation/grid_check.h"
#include "generation/lesson_conditions.h"
#include "platform/ini_file.h"

#include <QFileInfo>
#include <QSet>

#include <functional>
#include <vector>

namespace zubira {

namespace {

const QString kSection = QStringLiteral("Preset");

QString notANumber() { return QStringLiteral("数を入力して下さい"); }

// A whole number from lo to hi, as the range edits read numbers; the message when it is not.
QString readChoice(const QString& value, int lo, int hi, int32_t* out) {
  const std::optional<int32_t> n = parseInt32Text(trimRangeText(value));
  if (!n) return notANumber();
  if (*n < lo || *n > hi) {
    return hi == lo + 1 ? QStringLiteral("%1か%2を指定して下さい").arg(lo).arg(hi)
                        : QStringLiteral("%1から%2までの数を指定して下さい").arg(lo).arg(hi);
  }
  *out = *n;
  return {};
}

QString readFlag(const QString& value, bool* out) {
  int32_t n = 0;
  const QString message = readChoice(value, 0, 1, &n);
  if (message.isEmpty()) *out = n != 0;
  return message;
}

QString flagText(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

// One key of the section: how its text goes into a preset (the message when it is refused) and
// how the preset writes it.
struct KeyRule {
  QString key;
  std::function<QString(const QString&, Preset*)> read;
  std::function<QString(const Preset&)> write;
};

struct LessonKey {
  const char* key;
  int32_t LessonConditions::*field;
  int most;
  bool (*applies)(ProblemKind);
};

// The lesson conditions a preset holds, as the settings file's section Lesson names them.
const LessonKey kLessonKeys[] = {
    {"Denominator", &LessonConditions::Denominator, 2, DenominatorConditionApplies},
    {"Reduce", &LessonConditions::Reduce, 2, ReduceConditionApplies},
    {"Regroup", &LessonConditions::Regroup, 2, RegroupConditionApplies},
    {"Cancel", &LessonConditions::Cancel, 2, CancelConditionApplies},
    {"Form", &LessonConditions::Form, 1, FormConditionApplies},
};

const std::vector<KeyRule>& keyRules() {
  static const std::vector<KeyRule> rules = [] {
    std::vector<KeyRule> r;
    r.push_back({QStringLiteral("Name"),
                 [](const QString& v, Preset* p) {
                   if (v.trimmed().isEmpty()) return QStringLiteral("空白は指定できません");
                   p->name = v.trimmed();
                   return QString();
                 },
                 [](const Preset& p) { return p.name; }});
    r.push_back({QStringLiteral("Grade"),
                 [](const QString& v, Preset* p) {
                   p->grade = v.trimmed();
                   return QString();
                 },
                 [](const Preset& p) { return p.grade; }});
    r.push_back({QStringLiteral("Kind"),
                 [](const QString& v, Preset* p) {
                   int32_t k = 0;
                   const QString m = readChoice(v, 0, ProblemKindCount - 1, &k);
                   if (m.isEmpty()) p->kind = ProblemKind(k);
                   return m;
                 },
                 [](const Preset& p) { return QString::number(int(p.kind)); }});
    for (int k = 0; k < RangeEditCount; ++k) {
      const RangeEdit edit = RangeEdit(k);
      r.push_back({QString::fromLatin1(rangeEditName(edit)).mid(3),  // "Min1i"
                   [edit](const QString& v, Preset* p) {
                     const RangeCheckResult c = CheckRangeEditText(edit, v);
                     if (!c.accepted) return c.message;
                     if (parseInt32Text(c.text).value_or(0) < 0)
                       return QStringLiteral("設定値は４桁未満の正の数又は零でなければいけません");
                     p->ranges[size_t(edit)] = c.text;
                     return QString();
                   },
                   [edit](const Preset& p) { return p.ranges[size_t(edit)]; }});
    }
    for (auto [key, sign] : {std::pair{"Sign1", &OperandChoices::sign1}, std::pair{"Sign2", &OperandChoices::sign2}}) {
      r.push_back({QLatin1String(key),
                   [sign = sign](const QString& v, Preset* p) {
                     int32_t n = 0;
                     const QString m = readChoice(v, 0, 2, &n);
                     if (m.isEmpty()) p->choices.*sign = SignMode(n);
                     return m;
                   },
                   [sign = sign](const Preset& p) { return QString::number(int(p.choices.*sign)); }});
    }
    for (auto [key, random] : {std::pair{"Step1", &OperandChoices::random1}, std::pair{"Step2", &OperandChoices::random2}}) {
      r.push_back({QLatin1String(key),
                   [random = random](const QString& v, Preset* p) {
                     bool step = false;
                     const QString m = readFlag(v, &step);
                     if (m.isEmpty()) p->choices.*random = !step;
                     return m;
                   },
                   [random = random](const Preset& p) { return flagText(!(p.choices.*random)); }});
    }
    r.push_back({QStringLiteral("Range"),
                 [](const QString& v, Preset* p) { return readChoice(v, 0, 2, &p->settings.nRange); },
                 [](const Preset& p) { return QString::number(p.settings.nRange); }});
    const auto flag = [&r](const char* key, bool GenerationSettings::*field) {
      r.push_back({QLatin1String(key),
                   [field](const QString& v, Preset* p) { return readFlag(v, &(p->settings.*field)); },
                   [field](const Preset& p) { return flagText(p.settings.*field); }});
    };
    flag("Just", &GenerationSettings::fJust);
    // The bound of simple answers, as "単純な答え" asks for it.
    r.push_back({QStringLiteral("JustMax"),
                 [](const QString& v, Preset* p) {
                   const std::optional<int32_t> n = parseInt32Text(trimRangeText(v));
                   if (!n) return QStringLiteral("入力した文字列は数字ではありません");
                   if (*n <= 1) return QStringLiteral("１を越える値で指定し直して下さい");
                   p->settings.nJust = *n;
                   return QString();
                 },
                 [](const Preset& p) { return QString::number(p.settings.nJust); }});
    flag("Zero", &GenerationSettings::fZero);
    flag("One", &GenerationSettings::fOne);
    flag("TaiBunSu", &GenerationSettings::fTaiBun);
    flag("Kakko", &GenerationSettings::fKakko);
    flag("Integer", &GenerationSettings::fInt);
    r.push_back({QStringLiteral("Rand"),
                 [](const QString& v, Preset* p) {
                   const std::optional<int32_t> n = parseInt32Text(trimRangeText(v));
                   if (!n) return notANumber();
                   p->settings.rnd_D = *n;
                   return QString();
                 },
                 [](const Preset& p) { return QString::number(p.settings.rnd_D); }});
    for (const LessonKey& l : kLessonKeys) {
      r.push_back({QLatin1String(l.key),
                   [l](const QString& v, Preset* p) { return readChoice(v, 0, l.most, &(p->settings.Lesson.*l.field)); },
                   [l](const Preset& p) { return QString::number(p.settings.Lesson.*l.field); }});
    }
    // The grid as the fields "行" and "列" take it; their product is checked over the section.
    r.push_back({QStringLiteral("Row"),
                 [](const QString& v, Preset* p) {
                   const std::optional<int32_t> n = parseInt32Text(trimRangeText(v));
                   if (!n) return notANumber();
                   const GridCheck g = CheckGridRows(QString::number(*n), QStringLiteral("1"));
                   if (!g.accepted) return g.message;
                   p->settings.ExamRowN = *n;
                   return QString();
                 },
                 [](const Preset& p) { return QString::number(p.settings.ExamRowN); }});
    r.push_back({QStringLiteral("Col"),
                 [](const QString& v, Preset* p) {
                   const std::optional<int32_t> n = parseInt32Text(trimRangeText(v));
                   if (!n) return notANumber();
                   const GridCheck g = CheckGridCols(QString::number(*n), QStringLiteral("1"));
                   if (!g.accepted) return g.message;
                   p->settings.ExamColN = *n;
                   return QString();
                 },
                 [](const Preset& p) { return QString::number(p.settings.ExamColN); }});
    return r;
  }();
  return rules;
}

const KeyRule* ruleFor(const QString& key) {
  for (const KeyRule& r : keyRules())
    if (r.key.compare(key, Qt::CaseInsensitive) == 0) return &r;
  return nullptr;
}

QString keyMessage(const QString& key, const QString& message) { return key + QStringLiteral(": ") + message; }

// The checks over several keys, once each key is right on its own: the twelve ranges together,
// the grid's size, and the conditions the kind has. The message names the key to change.
QString checkAcross(const Preset& p) {
  const QString ranges = CheckRangeSet(p.ranges, p.settings.fInt);
  if (!ranges.isEmpty()) {
    GenerationSettings bounds;
    ParseRangeTexts(p.ranges, &bounds);
    // The lower bound of the first range whose bounds cross; else the numerator's lower bound
    // of the operand whose mixed numbers cannot be drawn.
    QString key;
    for (int k = 0; k < RangeCount && key.isEmpty(); ++k)
      if (bounds.MinV[size_t(k)] > bounds.MaxV[size_t(k)]) key = QString::fromLatin1(rangeEditName(RangeEdit(2 * k))).mid(3);
    if (key.isEmpty()) {
      const bool firstRefused = bounds.MinV[0] >= 1 && (p.settings.fInt ? bounds.MinV[1] > bounds.MaxV[2]
                                                                         : bounds.MinV[1] >= bounds.MaxV[2]);
      key = firstRefused ? QStringLiteral("Min1c") : QStringLiteral("Min2c");
    }
    return keyMessage(key, ranges);
  }
  const GridCheck grid = CheckGridCols(QString::number(p.settings.ExamColN), QString::number(p.settings.ExamRowN));
  if (!grid.accepted) return keyMessage(QStringLiteral("Col"), grid.message);
  for (const LessonKey& l : kLessonKeys) {
    if (p.settings.Lesson.*l.field != 0 && !l.applies(p.kind))
      return keyMessage(QLatin1String(l.key), QStringLiteral("この種類の問題にはない条件です"));
  }
  return {};
}

}  // namespace

QString PresetSuffix() { return QStringLiteral("ini"); }

QString PresetLabel(const Preset& preset) {
  return preset.grade.isEmpty() ? preset.name : preset.grade + u' ' + preset.name;
}

PresetLoad ReadPreset(const IniFile& ini, const QString& fileName) {
  PresetLoad result;
  const auto refuse = [&](const QString& why) {
    result.message = QStringLiteral("プリセット「%1」は読み込めません。\n%2").arg(fileName, why);
    return result;
  };
  if (!ini.readOk()) return refuse(QStringLiteral("ファイルを読めません（%1）").arg(ini.errorString()));
  const std::vector<IniFile::Section> outline = ini.outline();
  bool found = false;
  for (const IniFile::Section& s : outline) found = found || s.name.compare(kSection, Qt::CaseInsensitive) == 0;
  if (!found) return refuse(QStringLiteral("プリセットのファイルではありません（[Preset] の節がありません）"));

  Preset p;
  p.id = QFileInfo(fileName).completeBaseName();
  bool seen = false;
  for (const IniFile::Section& s : outline) {
    if (!s.header)
      return refuse(QStringLiteral("「%1」が節の外にあります").arg(s.keys.isEmpty() ? s.otherLines.constFirst() : s.keys.constFirst()));
    if (s.name.compare(kSection, Qt::CaseInsensitive) != 0)
      return refuse(QStringLiteral("[%1] は使えない節です").arg(s.name));
    if (seen) return refuse(QStringLiteral("[Preset] が二度あります"));
    seen = true;
    if (!s.otherLines.isEmpty())
      return refuse(QStringLiteral("「%1」はキー=値の形ではありません").arg(s.otherLines.constFirst()));
    QSet<QString> keys;
    for (const QString& key : s.keys) {
      const KeyRule* rule = ruleFor(key);
      if (!rule) return refuse(QStringLiteral("%1 は使えないキーです").arg(key));
      if (keys.contains(rule->key)) return refuse(QStringLiteral("%1 が二度あります").arg(key));
      keys.insert(rule->key);
      const QString message = rule->read(ini.readString(kSection, key, QString()), &p);
      if (!message.isEmpty()) return refuse(keyMessage(key, message));
    }
    for (const char* required : {"Name", "Kind"})
      if (!keys.contains(QLatin1String(required))) return refuse(QStringLiteral("%1 がありません").arg(QLatin1String(required)));
  }
  const QString across = checkAcross(p);
  if (!across.isEmpty()) return refuse(across);
  ParseRangeTexts(p.ranges, &p.settings);
  result.preset = std::move(p);
  return result;
}

PresetLoad LoadPreset(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile()) {
    PresetLoad result;
    result.message = QStringLiteral("プリセット「%1」は読み込めません。\nファイルがありません").arg(info.fileName());
    return result;
  }
  PresetLoad result = ReadPreset(IniFile(path), info.fileName());
  if (result.preset) result.preset->path = info.absoluteFilePath();
  return result;
}

namespace {

void writePreset(IniFile& ini, const Preset& preset) {
  for (const KeyRule& r : keyRules()) ini.writeString(kSection, r.key, r.write(preset));
}

}  // namespace

QString SavePreset(const Preset& preset, const QString& path) {
  IniFile ini(path);
  ini.clear();
  writePreset(ini, preset);
  return ini.save() ? QString() : ini.errorString();
}

QString CheckPreset(const Preset& preset) {
  IniFile ini{QString()};
  writePreset(ini, preset);
  const PresetLoad back = ReadPreset(ini, preset.id.isEmpty() ? preset.name : preset.id);
  return back.message;
}

GenerationSettings PresetGenerationSettings(const Preset& preset) {
  GenerationSettings g = preset.settings;
  ParseRangeTexts(preset.ranges, &g);
  return g;
}

Preset PresetFromSettings(const QString& name, ProblemKind kind, const RangeTexts& ranges,
                          const OperandChoices& choices, const GenerationSettings& gen) {
  Preset p;
  p.name = name;
  p.kind = kind;
  p.ranges = ranges;
  p.choices = choices;
  p.settings = gen;
  ParseRangeTexts(ranges, &p.settings);
  // The window keeps the marks of conditions its tab does not have; the generator ignores them,
  // and so does the preset.
  for (const LessonKey& l : kLessonKeys)
    if (!l.applies(kind)) p.settings.Lesson.*l.field = 0;
  return p;
}

}  // namespace zubira
