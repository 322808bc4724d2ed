#include "app/cli_support.h"

#include "drawing/page_model.h"

#include <QFileInfo>

#include <cstdio>

namespace zubira {

void printTo(FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
  std::fflush(stream);
}

void ConsoleDialogs::message(QWidget*, const QString&, const QString& text, MessageIcon) {
  printTo(stderr, text + u'\n');
}

void CommandHooks::SetStatusText(const QString& text) {
  if (text.startsWith(QLatin1String("Loop over:"))) printTo(stderr, text + u'\n');
}

int usageError(const QString& command, const QString& text, const QString& usage) {
  printTo(stderr, command + QStringLiteral(": ") + text + QStringLiteral("\n\n") + usage);
  return ExitUsage;
}

bool takeValue(const QStringList& args, int& i, QString* value) {
  if (i + 1 >= args.size()) return false;
  *value = args[++i];
  return true;
}

bool takeNumber(const QStringList& args, int& i, int lo, int hi, int* value) {
  QString text;
  if (!takeValue(args, i, &text)) return false;
  const std::optional<int32_t> n = parseInt32Text(text);
  if (!n || *n < lo || *n > hi) return false;
  *value = *n;
  return true;
}

void loadPreviewPageStrings(const IniFile& ini, PageModel& m) {
  const QString zero = QStringLiteral("0");
  m.Header.GetIniSets(ini, QStringLiteral("Header"), QString(), 0, zero, zero);
  m.Footer.GetIniSets(ini, QStringLiteral("Footer"), QString(), 0, zero, zero);
  m.PageTitle.GetIniSets(ini, QStringLiteral("PageTitle"), QString(), 0, zero, zero);
  m.SubTitle.GetIniSets(ini, QStringLiteral("SubTitle"), QString(), 0, zero, zero);
}

namespace {

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

}  // namespace

QString problemOptionsUsage() {
  return QStringLiteral(
      "  --kind add|sub|mul|div|m2i|i2m   problem kind (default add)\n"
      "  --ranges T1,...,T12              the twelve range texts in the order\n"
      "                                   Min1i,Max1i,Min1c,Max1c,Min1m,Max1m,\n"
      "                                   Min2i,Max2i,Min2c,Max2c,Min2m,Max2m\n"
      "                                   (default 0,0,1,10,1,10,0,0,1,10,1,10)\n"
      "  --sign1, --sign2 plus|minus|either   sign of an operand (default plus)\n"
      "  --step1, --step2                 step through that operand's numerators instead of\n"
      "                                   drawing it at random\n"
      "  --settings FILE                  read the options and the layout from a settings file\n"
      "  --set Section/Key=Value          override one settings key (repeatable), e.g.\n"
      "                                   --set Exam/Range=2 --set Exam/TaiBunSu=1\n"
      "  --rows N, --cols N               the grid (rows 1..10, columns 1..4, at most 20)\n"
      "  --seed N                         reproducible draws (default: seeded from the clock)\n"
      "  --keep-failed                    keep the last candidate when a problem's attempts run\n"
      "                                   out, instead of stopping\n");
}

std::optional<int> takeProblemOption(const QStringList& args, int& i, ProblemOptions* o,
                                     const QString& command) {
  const QString& opt = args[i];
  const QString usage = problemOptionsUsage();
  auto value = [&](QString* out) {
    if (i + 1 >= args.size()) return false;
    *out = args[++i];
    return true;
  };
  auto fail = [&](const QString& text) { return usageError(command, text, usage); };
  QString v;
  if (opt == QLatin1String("--kind")) {
    if (!value(&v)) return fail(QStringLiteral("--kind needs a value"));
    auto k = parseKind(v);
    if (!k) return fail(QStringLiteral("unknown kind \"%1\"").arg(v));
    o->kind = *k;
  } else if (opt == QLatin1String("--ranges")) {
    if (!value(&v)) return fail(QStringLiteral("--ranges needs a value"));
    const QStringList parts = v.split(u',');
    if (parts.size() != RangeEditCount)
      return fail(QStringLiteral("--ranges needs 12 texts separated by commas, got %1").arg(parts.size()));
    for (int k = 0; k < RangeEditCount; ++k) o->ranges[size_t(k)] = parts[k];
  } else if (opt == QLatin1String("--sign1") || opt == QLatin1String("--sign2")) {
    if (!value(&v)) return fail(opt + QStringLiteral(" needs a value"));
    auto s = parseSign(v);
    if (!s) return fail(QStringLiteral("unknown sign \"%1\"").arg(v));
    (opt.endsWith(u'1') ? o->hooks.choices.sign1 : o->hooks.choices.sign2) = *s;
  } else if (opt == QLatin1String("--step1")) {
    o->hooks.choices.random1 = false;
  } else if (opt == QLatin1String("--step2")) {
    o->hooks.choices.random2 = false;
  } else if (opt == QLatin1String("--settings")) {
    if (!value(&o->settingsPath)) return fail(QStringLiteral("--settings needs a file"));
  } else if (opt == QLatin1String("--set")) {
    if (!value(&v)) return fail(QStringLiteral("--set needs Section/Key=Value"));
    const int slash = v.indexOf(u'/');
    const int eq = v.indexOf(u'=');
    if (slash <= 0 || eq <= slash + 1)
      return fail(QStringLiteral("--set \"%1\": expected Section/Key=Value").arg(v));
    o->overrides << v;
  } else if (opt == QLatin1String("--rows") || opt == QLatin1String("--cols")) {
    if (!value(&v)) return fail(opt + QStringLiteral(" needs a number"));
    auto n = parseInt32Text(v);
    if (!n) return fail(QStringLiteral("%1: \"%2\" is not a number").arg(opt, v));
    (opt == QLatin1String("--rows") ? o->rows : o->cols) = *n;
  } else if (opt == QLatin1String("--seed")) {
    if (!value(&v)) return fail(QStringLiteral("--seed needs a number"));
    bool ok = false;
    const qulonglong n = v.toULongLong(&ok);
    if (!ok) return fail(QStringLiteral("--seed: \"%1\" is not a number").arg(v));
    o->seed = n;
  } else if (opt == QLatin1String("--keep-failed")) {
    o->hooks.keepFailed = true;
  } else {
    return std::nullopt;
  }
  return ExitOk;
}

std::optional<IniFile> loadSettings(const ProblemOptions& o, const QString& command) {
  if (!o.settingsPath.isEmpty() && !QFileInfo(o.settingsPath).isFile()) {
    usageError(command, QStringLiteral("no settings file \"%1\"").arg(o.settingsPath), problemOptionsUsage());
    return std::nullopt;
  }
  IniFile ini(o.settingsPath);
  if (!ini.readOk()) {
    usageError(command, QStringLiteral("cannot read \"%1\": %2").arg(o.settingsPath, ini.errorString()),
               problemOptionsUsage());
    return std::nullopt;
  }
  for (const QString& v : o.overrides) {
    const int slash = v.indexOf(u'/');
    const int eq = v.indexOf(u'=');
    ini.writeString(v.left(slash), v.mid(slash + 1, eq - slash - 1), v.mid(eq + 1));
  }
  return ini;
}

int prepareGeneration(const ProblemOptions& o, const IniFile& ini, GenerationSettings* gen,
                      MainSettings* sheet) {
  ReadSettings(ini, sheet, gen);
  if (o.rows) gen->ExamRowN = *o.rows;
  if (o.cols) gen->ExamColN = *o.cols;
  // The grid as the fields "行" and "列" take it.
  const QString rowText = QString::number(gen->ExamRowN);
  const QString colText = QString::number(gen->ExamColN);
  for (const GridCheck& g : {CheckGridRows(rowText, colText), CheckGridCols(colText, rowText)}) {
    if (!g.accepted) {
      printTo(stderr, g.message + u'\n');
      return ExitUsage;
    }
  }
  // The range edits as if the user had left each in turn, then the checks over all twelve.
  RangeTexts ranges = o.ranges;
  for (int k = 0; k < RangeEditCount; ++k) {
    const RangeCheckResult r = CheckRangeEditText(RangeEdit(k), ranges[size_t(k)]);
    if (!r.accepted) {
      printTo(stderr, r.message + u'\n');
      return ExitUsage;
    }
    ranges[size_t(k)] = r.text;
  }
  const QString message = CheckRangeSet(ranges, gen->fInt);
  if (!message.isEmpty()) {
    printTo(stderr, message + u'\n');
    return ExitUsage;
  }
  ParseRangeTexts(ranges, gen);
  return ExitOk;
}

QString operatorCaption(ProblemKind kind) {
  switch (kind) {
    case pkSub: return QStringLiteral("－");
    case pkMul: return QStringLiteral("×");
    case pkDiv: return QStringLiteral("÷");
    default: return QStringLiteral("＋");
  }
}

}  // namespace zubira
