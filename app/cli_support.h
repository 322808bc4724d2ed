#pragma once
// What the command-line subcommands share: printing to the standard streams, the dialog seam
// answered on the console, and the options that choose and make problems.

#include "generation/problem_generator.h"
#include "generation/range_check.h"
#include "platform/dialogs.h"
#include "platform/ini_file.h"
#include "worksheet/main_settings.h"

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
};

// Takes the option at args[i] (and its value, advancing i) when it is one of the problem
// options. Returns nothing when args[i] is not one of them, ExitOk when it was taken, or
// ExitUsage after printing what was wrong (prefixed with `command`).
std::optional<int> takeProblemOption(const QStringList& args, int& i, ProblemOptions* o,
                                     const QString& command);
QString problemOptionsUsage();

// The settings file (or the defaults) with the --set overrides applied; prints the error and
// gives nothing when the file cannot be read or an override is malformed.
std::optional<IniFile> loadSettings(const ProblemOptions& o, const QString& command);

// The generation settings from the settings file and the options, checked as the grid fields and
// the range edits check them; prints the message and returns ExitUsage when one is refused.
int prepareGeneration(const ProblemOptions& o, const IniFile& ini, GenerationSettings* gen,
                      MainSettings* sheet);

int usageError(const QString& command, const QString& text, const QString& usage);

// The value after args[i] (advancing i); false when there is none.
bool takeValue(const QStringList& args, int& i, QString* value);
// The integer from lo to hi after args[i] (advancing i); false when there is none or it is
// outside the range.
bool takeNumber(const QStringList& args, int& i, int lo, int hi, int* value);

// The preview's four page strings as the preview loads them from the settings file.
void loadPreviewPageStrings(const IniFile& ini, PageModel& model);

// The operator caption of a problem kind (kinds 4 and 5 keep the addition sign of start-up).
QString operatorCaption(ProblemKind kind);

}  // namespace zubira
