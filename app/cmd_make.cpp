#include "app/cmd_make.h"

#include "generation/problem_generator.h"
#include "generation/range_check.h"
#include "platform/ini_file.h"
#include "worksheet/main_settings.h"

#include <QFileInfo>

#include <cstdio>
#include <optional>

namespace zubira {

namespace {

void print(FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
  std::fflush(stream);
}

int fail(const QString& text) {
  print(stderr, text + u'\n');
  return 2;
}

int usageError(const QString& text) {
  print(stderr, QStringLiteral("zubira make: ") + text + QStringLiteral("\n\n") + makeUsage());
  return 2;
}

// The option and grid keys of the settings file that the generator uses.
struct SettingKey {
  const char* section;
  const char* key;
};
constexpr SettingKey kKeys[] = {
    {"Exam", "Row"},  {"Exam", "Col"},   {"Exam", "Rand"},     {"Exam", "Range"},
    {"Exam", "Just"}, {"Exam", "JustMax"}, {"Exam", "Zero"},   {"Exam", "One"},
    {"Exam", "Kakko"}, {"Exam", "TaiBunSu"}, {"Exam", "Integer"},
};

const SettingKey* findKey(const QString& section, const QString& key) {
  for (const SettingKey& k : kKeys)
    if (section.compare(QLatin1String(k.section), Qt::CaseInsensitive) == 0 &&
        key.compare(QLatin1String(k.key), Qt::CaseInsensitive) == 0)
      return &k;
  return nullptr;
}

std::optional<ProblemKind> parseKind(const QString& t) {
  static const char* const names[ProblemKindCount] = {"add", "sub", "mul", "div", "m2i", "i2m"};
  for (int k = 0; k < ProblemKindCount; ++k)
    if (t == QLatin1String(names[k])) return ProblemKind(k);
  return std::nullopt;
}

std::optional<SignMode> parseSign(const QString& t) {
  if (t == QLatin1String("plus")) return smPlus;
  if (t == QLatin1String("minus")) return smMinus;
  if (t == QLatin1String("either")) return smEither;
  return std::nullopt;
}

// Fixed choices, problems written out, "Loop over:" on stderr, and the exhaustion question
// answered as the command line says.
class CommandHooks final : public GeneratorHooks {
 public:
  OperandChoices choices;
  bool keepFailed = false;
  OperandChoices ReadOperandChoices() override { return choices; }
  void SetStatusText(const QString& text) override {
    if (text.startsWith(QLatin1String("Loop over:"))) print(stderr, text + u'\n');
  }
  bool AskYesNo(const QString&) override { return keepFailed; }
};

}  // namespace

QString makeUsage() {
  return QStringLiteral(
      "Usage: zubira make [OPTIONS]\n"
      "Prints one problem per line: first operand, second operand and answer, separated by tabs.\n"
      "\n"
      "  --kind add|sub|mul|div|m2i|i2m   problem kind (default add)\n"
      "  --ranges T1,...,T12              the twelve range texts in the order\n"
      "                                   Min1i,Max1i,Min1c,Max1c,Min1m,Max1m,\n"
      "                                   Min2i,Max2i,Min2c,Max2c,Min2m,Max2m\n"
      "                                   (default 0,0,1,10,1,10,0,0,1,10,1,10)\n"
      "  --sign1, --sign2 plus|minus|either   sign of an operand (default plus)\n"
      "  --step1, --step2                 step through that operand's numerators instead of\n"
      "                                   drawing it at random\n"
      "  --settings FILE                  read the [Exam] options and grid from a settings file\n"
      "  --set Section/Key=Value          override one settings key (repeatable), e.g.\n"
      "                                   --set Exam/Range=2 --set Exam/TaiBunSu=1\n"
      "  --rows N, --cols N               the grid (rows 1..10, columns 1..4, at most 20)\n"
      "  --seed N                         reproducible draws (default: seeded from the clock)\n"
      "  --keep-failed                    keep the last candidate when a problem's attempts run\n"
      "                                   out, instead of stopping\n"
      "\n"
      "Exit codes: 0 done; 2 bad command line or ranges (the message on stderr); 3 the attempts\n"
      "for a problem ran out (\"Loop over:\" and the reason on stderr; with --keep-failed the\n"
      "problems are still printed).\n");
}

int runMakeCommand(const QStringList& args) {
  ProblemKind kind = pkAdd;
  RangeTexts ranges = defaultRangeTexts();
  CommandHooks hooks;
  QString settingsPath;
  QStringList overrides;
  std::optional<int> rows;
  std::optional<int> cols;
  std::optional<uint64_t> seed;

  for (int i = 0; i < args.size(); ++i) {
    const QString& opt = args[i];
    auto value = [&](QString* out) {
      if (i + 1 >= args.size()) return false;
      *out = args[++i];
      return true;
    };
    QString v;
    if (opt == QLatin1String("--help") || opt == QLatin1String("-h")) {
      print(stdout, makeUsage());
      return 0;
    } else if (opt == QLatin1String("--kind")) {
      if (!value(&v)) return usageError(QStringLiteral("--kind needs a value"));
      auto k = parseKind(v);
      if (!k) return usageError(QStringLiteral("unknown kind \"%1\"").arg(v));
      kind = *k;
    } else if (opt == QLatin1String("--ranges")) {
      if (!value(&v)) return usageError(QStringLiteral("--ranges needs a value"));
      const QStringList parts = v.split(u',');
      if (parts.size() != RangeEditCount)
        return usageError(QStringLiteral("--ranges needs 12 texts separated by commas, got %1")
                              .arg(parts.size()));
      for (int k = 0; k < RangeEditCount; ++k) ranges[size_t(k)] = parts[k];
    } else if (opt == QLatin1String("--sign1") || opt == QLatin1String("--sign2")) {
      if (!value(&v)) return usageError(opt + QStringLiteral(" needs a value"));
      auto s = parseSign(v);
      if (!s) return usageError(QStringLiteral("unknown sign \"%1\"").arg(v));
      (opt.endsWith(u'1') ? hooks.choices.sign1 : hooks.choices.sign2) = *s;
    } else if (opt == QLatin1String("--step1")) {
      hooks.choices.random1 = false;
    } else if (opt == QLatin1String("--step2")) {
      hooks.choices.random2 = false;
    } else if (opt == QLatin1String("--settings")) {
      if (!value(&settingsPath)) return usageError(QStringLiteral("--settings needs a file"));
    } else if (opt == QLatin1String("--set")) {
      if (!value(&v)) return usageError(QStringLiteral("--set needs Section/Key=Value"));
      overrides << v;
    } else if (opt == QLatin1String("--rows") || opt == QLatin1String("--cols")) {
      if (!value(&v)) return usageError(opt + QStringLiteral(" needs a number"));
      auto n = parseInt32Text(v);
      if (!n) return usageError(QStringLiteral("%1: \"%2\" is not a number").arg(opt, v));
      (opt == QLatin1String("--rows") ? rows : cols) = *n;
    } else if (opt == QLatin1String("--seed")) {
      if (!value(&v)) return usageError(QStringLiteral("--seed needs a number"));
      bool ok = false;
      const qulonglong n = v.toULongLong(&ok);
      if (!ok) return usageError(QStringLiteral("--seed: \"%1\" is not a number").arg(v));
      seed = n;
    } else if (opt == QLatin1String("--keep-failed")) {
      hooks.keepFailed = true;
    } else {
      return usageError(QStringLiteral("unknown option \"%1\"").arg(opt));
    }
  }

  // Settings: built-in defaults, then the file, then each --set.
  if (!settingsPath.isEmpty() && !QFileInfo(settingsPath).isFile())
    return usageError(QStringLiteral("no settings file \"%1\"").arg(settingsPath));
  IniFile ini(settingsPath);
  if (!ini.readOk())
    return usageError(
        QStringLiteral("cannot read \"%1\": %2").arg(settingsPath, ini.errorString()));
  for (const QString& o : overrides) {
    const int slash = o.indexOf(u'/');
    const int eq = o.indexOf(u'=');
    if (slash <= 0 || eq <= slash + 1)
      return usageError(QStringLiteral("--set \"%1\": expected Section/Key=Value").arg(o));
    const QString section = o.left(slash);
    const QString key = o.mid(slash + 1, eq - slash - 1);
    const QString val = o.mid(eq + 1);
    if (!findKey(section, key))
      return usageError(QStringLiteral("--set \"%1\": not a key this command uses").arg(o));
    if (!parseInt32Text(val))
      return usageError(QStringLiteral("--set \"%1\": the value is not an integer").arg(o));
    ini.writeString(section, key, val);
  }
  GenerationSettings settings;
  MainSettings sheet;
  ReadSettings(ini, &sheet, &settings);
  if (rows) settings.ExamRowN = *rows;
  if (cols) settings.ExamColN = *cols;
  // The grid as the fields "行" and "列" would take it.
  const QString rowText = QString::number(settings.ExamRowN);
  const QString colText = QString::number(settings.ExamColN);
  for (const GridCheck& g : {CheckGridRows(rowText, colText), CheckGridCols(colText, rowText)})
    if (!g.accepted) return fail(g.message);

  // The range edits as if the user had left each in turn, then the checks over all twelve.
  for (int k = 0; k < RangeEditCount; ++k) {
    const RangeCheckResult r = CheckRangeEditText(RangeEdit(k), ranges[size_t(k)]);
    if (!r.accepted) return fail(r.message);
    ranges[size_t(k)] = r.text;
  }
  const QString rangeMessage = CheckRangeSet(ranges, settings.fInt);
  if (!rangeMessage.isEmpty()) return fail(rangeMessage);
  if (!ParseRangeTexts(ranges, &settings)) return fail(QStringLiteral("数を入力して下さい"));

  PseudoRandomSource random(seed ? *seed : PseudoRandomSource::ClockSeed());
  ProblemGenerator generator(&random, &hooks);
  const MakeResult result = generator.MakeProblems(kind, settings);
  if (result.status == MakeStatus::InvalidRanges) return fail(result.message);
  if (result.status != MakeStatus::Done) return 3;

  const QString crlf = QStringLiteral("\r\n");
  const QStringList first = result.lists.first.split(crlf, Qt::SkipEmptyParts);
  const QStringList second = result.lists.second.split(crlf, Qt::SkipEmptyParts);
  const QStringList answers = result.lists.answers.split(crlf, Qt::SkipEmptyParts);
  QString out;
  for (int i = 0; i < first.size() && i < second.size() && i < answers.size(); ++i)
    out += first[i] + u'\t' + second[i] + u'\t' + answers[i] + u'\n';
  print(stdout, out);
  return result.problemsKept > 0 ? 3 : 0;
}

}  // namespace zubira
