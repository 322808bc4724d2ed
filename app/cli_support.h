#pragma once
// What the command-line subcommands share: printing to the standard streams, the dialog seam
// answered on the console, and the options that choose and make problems.

#include "generation/mixed_set.h"
#include "generation/problem_generator.h"
#include "generation/range_check.h"
#include "platform/dialogs.h"
#include "platform/ini_file.h"
#include "worksheet/main_settings.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

namespace zubira {

class PageModel;

void printTo(FILE* stream, const QString& text);

// Exit codes of the subcommands.
enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2, ExitExhausted = 3 };

// Message boxes become lines on stderr; questions are answered No and every other dialog is
// cancelled, so nothing ever waits for a user.
class ConsoleDialogs final : public Dialogs {
 public:
  void message(QWidget*, const QString&, const QString& text, MessageIcon) override;
  bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
  Answer askYesNoCancel(QWidget*, const QString&, const QString&) override { return Answer::Cancel; }
  std::optional<QString> inputText(QWidget*, const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> saveFileName(QWidget*, const SaveFileRequest&) override { return std::nullopt; }
  std::optional<QString> openFileName(QWidget*, const OpenFileRequest&) override { return std::nullopt; }
  std::optional<FontChoice> chooseFont(QWidget*, const FontChoice&) override { return std::nullopt; }
  std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return std::nullopt; }
  bool printDialog(QWidget*, QPrinter*) override { return false; }
  bool openUrl(const QUrl&) override { return false; }
};

// Fixed operand choices from the command line; the exhaustion question answered as it says,
// "Loop over:" lines on stderr.
class CommandHooks final : public GeneratorHooks {
 public:
  OperandChoices choices;
  bool keepFailed = false;
  OperandChoices ReadOperandChoices() override { return choices; }
  void SetStatusText(const QString& text) override;
  bool AskYesNo(const QString&) override { return keepFailed; }
};

// One subcommand's command line on Qt's parser, so that --help (-h), --version, --opt=value and
// "--" behave as in other Qt and GNU programs. Messages name the command ("zubira make: ...").
class CommandLine {
 public:
  // `synopsis` follows "Usage: " in the help, `about` comes under it, `epilog` after the options.
  CommandLine(const QString& command, const QString& synopsis, const QString& about,
              const QString& epilog);

  // An option with a value when `valueName` is given, a switch otherwise.
  void add(const QStringList& names, const QString& description, const QString& valueName = {});
  // Positional arguments are refused unless one is declared (shown in the synopsis only).
  void allowPositional(int count) { positional_ = count; }

  // Parses `args` (the words after the subcommand). Nothing when the command should run;
  // otherwise the exit code after printing the help, the version or what was wrong.
  std::optional<int> parse(const QStringList& args);

  bool isSet(const QString& name) const { return parser_.isSet(name); }
  QString value(const QString& name) const { return parser_.value(name); }
  QStringList values(const QString& name) const { return parser_.values(name); }
  QStringList positional() const { return parser_.positionalArguments(); }
  // The whole number of an option, when it is set and from lo to hi; prints `problem` (and
  // gives false) when it is set and is not.
  bool number(const QString& name, int lo, int hi, int* out, const QString& problem) const;

  QString help() const;
  // Prints "command: text" and where the help is on stderr; returns ExitUsage.
  int fail(const QString& text) const;

 private:
  QString command_, synopsis_, about_, epilog_;
  QCommandLineParser parser_;
  int positional_ = 0;
};

// The options of `zubira make`, shared by `zubira sheet`.
struct ProblemOptions {
  ProblemKind kind = pkAdd;
  RangeTexts ranges = defaultRangeTexts();
  CommandHooks hooks;
  QString settingsPath;
  QStringList overrides;  // Section/Key=Value
  std::optional<int> rows;
  std::optional<int> cols;
  std::optional<uint64_t> seed;
  // The lesson conditions given on the command line; they win over the settings file.
  std::optional<int32_t> denominators, reduce, regroup, cancel, fractions;
  // --preset: the recipe the other options start from; --mix: a mixed set of several presets.
  std::optional<Preset> preset;
  std::optional<MixedSet> mix;
};

// The kind's name on the command line: add, sub, mul, div, m2i, i2m.
QString kindName(ProblemKind kind);

// Declares the problem options on `line`.
void addProblemOptions(CommandLine& line);
// Reads them after parsing; prints what was wrong and gives ExitUsage, or ExitOk. A lesson
// condition other than "any" that the kind does not have is refused.
int readProblemOptions(const CommandLine& line, ProblemOptions* o);

// The settings file (or the defaults) with the --set overrides applied; prints the error and
// gives nothing when the file cannot be read or an override is malformed.
std::optional<IniFile> loadSettings(const ProblemOptions& o, const CommandLine& line);

// The generation settings from the settings file and the options, checked as the grid fields and
// the range edits check them; prints the message and returns ExitUsage when one is refused.
int prepareGeneration(const ProblemOptions& o, const IniFile& ini, GenerationSettings* gen,
                      MainSettings* sheet);

// The preview's four page strings as the preview loads them from the settings file.
void loadPreviewPageStrings(const IniFile& ini, PageModel& model);


}  // namespace zubira
