#include "app/cli_support.h"

#include "app/cli_presets.h"

#include "drawing/page_model.h"
#include "generation/lesson_conditions.h"
#include "platform/application.h"

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

CommandLine::CommandLine(const QString& command, const QString& synopsis, const QString& about,
                         const QString& epilog)
    : command_(command), synopsis_(synopsis), about_(about), epilog_(epilog) {
  // Long options only: "-abc" is not three switches.
  parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  add({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this text."));
  add({QStringLiteral("version")}, QStringLiteral("Show the program's version."));
}

void CommandLine::add(const QStringList& names, const QString& description, const QString& valueName) {
  parser_.addOption(valueName.isEmpty() ? QCommandLineOption(names, description)
                                        : QCommandLineOption(names, description, valueName));
}

std::optional<int> CommandLine::parse(const QStringList& args) {
  // Qt's parser takes the program's name first.
  if (!parser_.parse(QStringList{QStringLiteral("zubira")} + args)) {
    const QStringList unknown = parser_.unknownOptionNames();
    if (!unknown.isEmpty()) {
      const QString name = unknown.constFirst();
      return fail(QStringLiteral("unknown option \"%1%2\"").arg(name.size() > 1 ? "--" : "-", name));
    }
    return fail(parser_.errorText());
  }
  if (parser_.isSet(QStringLiteral("help"))) {
    printTo(stdout, help());
    return ExitOk;
  }
  if (parser_.isSet(QStringLiteral("version"))) {
    printTo(stdout, applicationTitle() + QStringLiteral(" Version " ZUBIRA_VERSION "\n"));
    return ExitOk;
  }
  const QStringList extra = parser_.positionalArguments();
  if (extra.size() > positional_) return fail(QStringLiteral("unexpected argument \"%1\"").arg(extra[positional_]));
  return std::nullopt;
}

bool CommandLine::number(const QString& name, int lo, int hi, int* out, const QString& problem) const {
  if (!parser_.isSet(name)) return true;
  const std::optional<int32_t> n = parseInt32Text(parser_.value(name));
  if (!n || *n < lo || *n > hi) {
    fail(problem);
    return false;
  }
  *out = *n;
  return true;
}

QString CommandLine::help() const {
  // Qt's own option list, under our synopsis.
  QString options = parser_.helpText();
  const int at = options.indexOf(QLatin1String("Options:"));
  options = at >= 0 ? options.mid(at) : QString();
  return QStringLiteral("Usage: ") + synopsis_ + u'\n' + about_ + QStringLiteral("\n\n") + options +
         (epilog_.isEmpty() ? QString() : u'\n' + epilog_);
}

int CommandLine::fail(const QString& text) const {
  printTo(stderr, command_ + QStringLiteral(": ") + text + QStringLiteral("\nTry \"") + command_ +
                      QStringLiteral(" --help\" for the options.\n"));
  return ExitUsage;
}

void loadPreviewPageStrings(const IniFile& ini, PageModel& m) {
  const QString zero = QStringLiteral("0");
  m.Header.GetIniSets(ini, QStringLiteral("Header"), QString(), 0, zero, zero);
  m.Footer.GetIniSets(ini, QStringLiteral("Footer"), QString(), 0, zero, zero);
  m.PageTitle.GetIniSets(ini, QStringLiteral("PageTitle"), QString(), 0, zero, zero);
  m.SubTitle.GetIniSets(ini, QStringLiteral("SubTitle"), QString(), 0, zero, zero);
}

namespace {

const char* const kKindNames[ProblemKindCount] = {"add", "sub", "mul", "div", "m2i", "i2m"};

std::optional<ProblemKind> parseKind(const QString& t) {
  for (int k = 0; k < ProblemKindCount; ++k)
    if (t == QLatin1String(kKindNames[k])) return ProblemKind(k);
  return std::nullopt;
}

std::optional<SignMode> parseSign(const QString& t) {
  if (t == QLatin1String("plus")) return smPlus;
  if (t == QLatin1String("minus")) return smMinus;
  if (t == QLatin1String("either")) return smEither;
  return std::nullopt;
}

// "any" 0, "yes" (or "same", "proper") 1, "no" (or "different") 2; a condition with no "no"
// passes nullptr.
std::optional<int32_t> parseLessonChoice(const QString& t, const char* yes, const char* no) {
  if (t == QLatin1String("any")) return 0;
  if (t == QLatin1String(yes)) return 1;
  if (no && t == QLatin1String(no)) return 2;
  return std::nullopt;
}

}  // namespace

QString kindName(ProblemKind kind) { return QLatin1String(kKindNames[std::clamp(int(kind), 0, ProblemKindCount - 1)]); }

void addProblemOptions(CommandLine& line) {
  line.add({QStringLiteral("kind")}, QStringLiteral("Problem kind: add, sub, mul, div, m2i (mixed number to "
                                                    "improper fraction) or i2m (the reverse); default add."),
           QStringLiteral("add|sub|mul|div|m2i|i2m"));
  line.add({QStringLiteral("ranges")},
           QStringLiteral("The twelve range texts separated by commas: the lowest and highest integer part, "
                          "numerator and denominator of the first operand (Min1i Max1i Min1c Max1c Min1m "
                          "Max1m), then of the second (default 0,0,1,10,1,10,0,0,1,10,1,10)."),
           QStringLiteral("T1,...,T12"));
  line.add({QStringLiteral("sign1")}, QStringLiteral("Sign of the first operand (default plus)."),
           QStringLiteral("plus|minus|either"));
  line.add({QStringLiteral("sign2")}, QStringLiteral("Sign of the second operand (default plus)."),
           QStringLiteral("plus|minus|either"));
  line.add({QStringLiteral("step1")},
           QStringLiteral("Step through the first operand's numerators instead of drawing it at random."));
  line.add({QStringLiteral("step2")}, QStringLiteral("The same for the second operand."));
  line.add({QStringLiteral("denominators")},
           QStringLiteral("Addition and subtraction: operands with the same denominator, or with different "
                          "ones (a common denominator needed); default: the settings file's, else any."),
           QStringLiteral("any|same|different"));
  line.add({QStringLiteral("reduce")},
           QStringLiteral("Addition and subtraction whose answers must be reduced (yes) or need no reducing "
                          "(no)."),
           QStringLiteral("any|yes|no"));
  line.add({QStringLiteral("regroup")},
           QStringLiteral("Addition that carries into the integer part, subtraction that borrows from it "
                          "(yes), or neither (no)."),
           QStringLiteral("any|yes|no"));
  line.add({QStringLiteral("cancel")},
           QStringLiteral("Multiplication and division whose factors can be cancelled before multiplying "
                          "(yes), or cannot (no)."),
           QStringLiteral("any|yes|no"));
  line.add({QStringLiteral("fractions")},
           QStringLiteral("Operands with improper fractions too (any), or only proper fractions, mixed numbers "
                          "with a proper fraction part and whole numbers (proper); every kind but i2m."),
           QStringLiteral("any|proper"));
  line.add({QStringLiteral("settings")}, QStringLiteral("Read the options and the layout from a settings file."),
           QStringLiteral("FILE"));
  line.add({QStringLiteral("set")},
           QStringLiteral("Override one settings key (repeatable), e.g. --set Exam/Range=2 --set "
                          "Exam/TaiBunSu=1 --set Lesson/Reduce=1."),
           QStringLiteral("Section/Key=Value"));
  line.add({QStringLiteral("rows")}, QStringLiteral("Rows of the grid, 1..10."), QStringLiteral("N"));
  line.add({QStringLiteral("cols")}, QStringLiteral("Columns of the grid, 1..4 (at most 20 problems)."),
           QStringLiteral("N"));
  line.add({QStringLiteral("seed")}, QStringLiteral("Reproducible draws (default: seeded from the clock)."),
           QStringLiteral("N"));
  line.add({QStringLiteral("keep-failed")},
           QStringLiteral("Keep the last candidate when a problem's attempts run out, instead of stopping."));
  addPresetOptions(line);
}

int readProblemOptions(const CommandLine& line, ProblemOptions* o) {
  // A preset first: the options below override what it sets.
  if (const int rc = readPresetOptions(line, o); rc != ExitOk) return rc;
  if (line.isSet(QStringLiteral("kind"))) {
    const QString v = line.value(QStringLiteral("kind"));
    const std::optional<ProblemKind> k = parseKind(v);
    if (!k) return line.fail(QStringLiteral("unknown kind \"%1\"").arg(v));
    o->kind = *k;
  }
  if (line.isSet(QStringLiteral("ranges"))) {
    const QStringList parts = line.value(QStringLiteral("ranges")).split(u',');
    if (parts.size() != RangeEditCount)
      return line.fail(QStringLiteral("--ranges needs 12 texts separated by commas, got %1").arg(parts.size()));
    for (int k = 0; k < RangeEditCount; ++k) o->ranges[size_t(k)] = parts[k];
  }
  for (const auto& [name, field] : {std::pair{"sign1", &o->hooks.choices.sign1},
                                    std::pair{"sign2", &o->hooks.choices.sign2}}) {
    if (!line.isSet(QLatin1String(name))) continue;
    const QString v = line.value(QLatin1String(name));
    const std::optional<SignMode> sign = parseSign(v);
    if (!sign) return line.fail(QStringLiteral("unknown sign \"%1\"").arg(v));
    *field = *sign;
  }
  if (line.isSet(QStringLiteral("step1"))) o->hooks.choices.random1 = false;
  if (line.isSet(QStringLiteral("step2"))) o->hooks.choices.random2 = false;
  struct Lesson {
    const char* name;
    const char* yes;
    const char* no;
    std::optional<int32_t>* field;
    bool (*applies)(ProblemKind);
  };
  for (const Lesson& l : {Lesson{"denominators", "same", "different", &o->denominators, DenominatorConditionApplies},
                          Lesson{"reduce", "yes", "no", &o->reduce, ReduceConditionApplies},
                          Lesson{"regroup", "yes", "no", &o->regroup, RegroupConditionApplies},
                          Lesson{"cancel", "yes", "no", &o->cancel, CancelConditionApplies},
                          Lesson{"fractions", "proper", nullptr, &o->fractions, FormConditionApplies}}) {
    if (!line.isSet(QLatin1String(l.name))) continue;
    const QString v = line.value(QLatin1String(l.name));
    *l.field = parseLessonChoice(v, l.yes, l.no);
    if (!*l.field && l.no)
      return line.fail(QStringLiteral("--%1: \"%2\" is not any, %3 or %4").arg(QLatin1String(l.name), v,
                                                                              QLatin1String(l.yes), QLatin1String(l.no)));
    if (!*l.field)
      return line.fail(QStringLiteral("--%1: \"%2\" is not any or %3").arg(QLatin1String(l.name), v, QLatin1String(l.yes)));
    // A condition the kind does not have would be ignored: a sheet that silently drills something
    // else is worse than a refusal.
    if (**l.field != 0 && !l.applies(o->kind))
      return line.fail(QStringLiteral("--%1 %2 does not apply to --kind %3")
                           .arg(QLatin1String(l.name), v, QLatin1String(kKindNames[o->kind])));
  }
  o->settingsPath = line.value(QStringLiteral("settings"));
  for (const QString& v : line.values(QStringLiteral("set"))) {
    const int slash = v.indexOf(u'/');
    const int eq = v.indexOf(u'=');
    if (slash <= 0 || eq <= slash + 1)
      return line.fail(QStringLiteral("--set \"%1\": expected Section/Key=Value").arg(v));
    o->overrides << v;
  }
  for (const auto& [name, field] : {std::pair{"rows", &o->rows}, std::pair{"cols", &o->cols}}) {
    if (!line.isSet(QLatin1String(name))) continue;
    const QString v = line.value(QLatin1String(name));
    const std::optional<int32_t> n = parseInt32Text(v);
    if (!n) return line.fail(QStringLiteral("--%1: \"%2\" is not a number").arg(QLatin1String(name), v));
    *field = *n;
  }
  if (line.isSet(QStringLiteral("seed"))) {
    bool ok = false;
    const qulonglong n = line.value(QStringLiteral("seed")).toULongLong(&ok);
    if (!ok) return line.fail(QStringLiteral("--seed: \"%1\" is not a number").arg(line.value(QStringLiteral("seed"))));
    o->seed = n;
  }
  o->hooks.keepFailed = line.isSet(QStringLiteral("keep-failed"));
  return ExitOk;
}

std::optional<IniFile> loadSettings(const ProblemOptions& o, const CommandLine& line) {
  if (!o.settingsPath.isEmpty() && !QFileInfo(o.settingsPath).isFile()) {
    line.fail(QStringLiteral("no settings file \"%1\"").arg(o.settingsPath));
    return std::nullopt;
  }
  IniFile ini(o.settingsPath);
  if (!ini.readOk()) {
    line.fail(QStringLiteral("cannot read \"%1\": %2").arg(o.settingsPath, ini.errorString()));
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
  applyPresetSettings(o, sheet, gen);
  for (const auto& [given, field] : {std::pair{o.denominators, &gen->Lesson.Denominator},
                                     std::pair{o.reduce, &gen->Lesson.Reduce},
                                     std::pair{o.regroup, &gen->Lesson.Regroup},
                                     std::pair{o.cancel, &gen->Lesson.Cancel},
                                     std::pair{o.fractions, &gen->Lesson.Form}})
    if (given) *field = *given;
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
  // The problem font and the margins as the window reads them: a value out of range is the
  // default, with the window's message.
  for (const QString& refused : CheckLayoutSettings(sheet, gen)) printTo(stderr, refused + u'\n');
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

}  // namespace zubira
