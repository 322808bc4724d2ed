#include "app/cmd_sheet.h"

#include "app/cli_support.h"
#include "app/page_output.h"
#include "preview/preview_settings.h"
#include "worksheet/worksheet_composer.h"

#include <QFile>
#include <QFileInfo>

namespace zubira {

QString sheetUsage() {
  return QStringLiteral(
             "Usage: zubira sheet [OPTIONS] --problems FILE | --answers FILE\n"
             "Makes problems as `zubira make` does (or reads them with --lists) and writes the\n"
             "problem sheet and the answer sheet composed as the Problems and Answers buttons do.\n"
             "\n"
             "  --problems FILE    the problem sheet: .pdf through the printer (A4), .png, .bmp,\n"
             "                     .jpg or .jpeg through the 1:1 page image at 96 pixels per inch\n"
             "  --answers FILE     the answer sheet, in the same forms\n"
             "  --versions N       N different sets in one PDF, each a problem page followed by its\n"
             "                     answer page (give one PDF with --problems or --answers)\n"
             "  --lists FILE       the problems as lines of first operand, second operand and answer\n"
             "                     separated by tabs (what `zubira make` prints)\n"
             "  --dpi N            printer resolution (default 600)\n"
             "  --quality N        JPEG quality 1..100 (default: the settings file's, else 90)\n") +
         problemOptionsUsage() +
         QStringLiteral(
             "\n"
             "Exit codes: 0 written; 1 a file could not be written; 2 bad command line or ranges;\n"
             "3 the attempts for a problem ran out.\n");
}

namespace {

// The page strings as the preview loads them, with the places the main window gives those
// never set when it is first shown.
void loadPageStrings(const IniFile& ini, PageModel& m, TPageStr* dateTime) {
  loadPreviewPageStrings(ini, m);
  dateTime->GetIniSets(ini, QStringLiteral("DateTime"), QString(), 0, QStringLiteral("0"), QStringLiteral("0"));
  GiveDefaultPlaces(&m.PageTitle, &m.SubTitle, dateTime);
}

bool readLists(const QString& file, ProblemMemos* memos, QString* error) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("cannot read \"%1\": %2").arg(file, f.errorString());
    return false;
  }
  const QStringList lines = memoLines(QString::fromUtf8(f.readAll()));
  for (const QString& line : lines) {
    if (line.trimmed().isEmpty()) continue;
    const QStringList parts = line.split(u'\t');
    memos->Memo1 += parts.value(0) + QStringLiteral("\r\n");
    memos->Memo2 += parts.value(1) + QStringLiteral("\r\n");
    memos->Memo3 += parts.value(2) + QStringLiteral("\r\n");
  }
  if (memos->Memo1.isEmpty()) {
    *error = QStringLiteral("no problems in \"%1\"").arg(file);
    return false;
  }
  return true;
}

struct Target {
  QString file;
  OutputFormat format;
  int sheet;  // WorksheetComposer::SheetKind
};

}  // namespace

int runSheetCommand(const QStringList& args) {
  const QString command = QStringLiteral("zubira sheet");
  const QString usage = sheetUsage();
  ProblemOptions o;
  QString problemsFile, answersFile, listsFile;
  int versions = 1, dpi = 600;
  std::optional<int> quality;
  for (int i = 0; i < args.size(); ++i) {
    const QString& opt = args[i];
    int n = 0;
    if (opt == QLatin1String("--help") || opt == QLatin1String("-h")) {
      printTo(stdout, usage);
      return ExitOk;
    } else if (opt == QLatin1String("--problems")) {
      if (!takeValue(args, i, &problemsFile)) return usageError(command, QStringLiteral("--problems needs a file"), usage);
    } else if (opt == QLatin1String("--answers")) {
      if (!takeValue(args, i, &answersFile)) return usageError(command, QStringLiteral("--answers needs a file"), usage);
    } else if (opt == QLatin1String("--lists")) {
      if (!takeValue(args, i, &listsFile)) return usageError(command, QStringLiteral("--lists needs a file"), usage);
    } else if (opt == QLatin1String("--versions")) {
      if (!takeNumber(args, i, 1, 1000, &versions))
        return usageError(command, QStringLiteral("--versions needs a number from 1 to 1000"), usage);
    } else if (opt == QLatin1String("--dpi")) {
      if (!takeNumber(args, i, 36, 2400, &dpi)) return usageError(command, QStringLiteral("--dpi needs a number from 36 to 2400"), usage);
    } else if (opt == QLatin1String("--quality")) {
      if (!takeNumber(args, i, 1, 100, &n)) return usageError(command, QStringLiteral("--quality needs a number from 1 to 100"), usage);
      quality = n;
    } else {
      const std::optional<int> taken = takeProblemOption(args, i, &o, command);
      if (!taken) return usageError(command, QStringLiteral("unknown option \"%1\"").arg(opt), usage);
      if (*taken != ExitOk) return *taken;
    }
  }

  std::vector<Target> targets;
  for (const auto& [file, sheet] : {std::pair{problemsFile, 0}, std::pair{answersFile, 1}}) {
    if (file.isEmpty()) continue;
    const std::optional<OutputFormat> format = outputFormatOf(file);
    if (!format) return usageError(command, QStringLiteral("\"%1\": write .pdf, .png, .bmp or .jpg").arg(file), usage);
    targets.push_back({file, *format, sheet});
  }
  if (targets.empty()) return usageError(command, QStringLiteral("give --problems FILE or --answers FILE"), usage);
  if (versions > 1 && (targets.size() != 1 || targets[0].format != OutputFormat::Pdf))
    return usageError(command, QStringLiteral("--versions writes one PDF: give one .pdf file"), usage);
  if (versions > 1 && !listsFile.isEmpty())
    return usageError(command, QStringLiteral("--versions makes its own problems; leave out --lists"), usage);

  std::optional<IniFile> ini = loadSettings(o, command);
  if (!ini) return ExitUsage;
  GenerationSettings gen;
  MainSettings sheet;
  if (const int rc = prepareGeneration(o, *ini, &gen, &sheet); rc != ExitOk) return rc;
  if (sheet.AnswerType == 0) sheet.AnswerType = 1;
  const PreviewSettings prev = ReadPrevSettings(*ini);

  PageOutput output(dpi);
  if (!output.ready()) {
    printTo(stderr, command + QStringLiteral(": ") + output.error() + u'\n');
    return ExitFailed;
  }
  PageModel& model = output.model();
  model.setUnitType(prev.UnitType);
  model.SetCopyright(QString());
  TPageStr dateTime;
  loadPageStrings(*ini, model, &dateTime);
  Typesetter typesetter(model);
  WorksheetComposer composer(model, typesetter, sheet, gen, dateTime);
  composer.setRefresh([&] { output.renderer().PrevUpDateProgram(); });

  PseudoRandomSource random(o.seed ? *o.seed : PseudoRandomSource::ClockSeed());
  ProblemGenerator generator(&random, &o.hooks);
  const QString kigou = operatorCaption(o.kind);
  bool kept = false;
  auto problems = [&](ProblemMemos* memos) -> int {
    if (!listsFile.isEmpty()) {
      QString error;
      if (!readLists(listsFile, memos, &error)) {
        printTo(stderr, command + QStringLiteral(": ") + error + u'\n');
        return ExitUsage;
      }
      return ExitOk;
    }
    const MakeResult r = generator.MakeProblems(o.kind, gen);
    if (r.status == MakeStatus::InvalidRanges) {
      printTo(stderr, r.message + u'\n');
      return ExitUsage;
    }
    if (r.status != MakeStatus::Done) return ExitExhausted;
    kept = kept || r.problemsKept > 0;
    *memos = {r.lists.first, r.lists.second, r.lists.answers};
    return ExitOk;
  };
  auto fail = [&] {
    printTo(stderr, command + QStringLiteral(": ") + output.error() + u'\n');
    return int(ExitFailed);
  };

  if (versions > 1) {
    if (!output.beginPdf(targets[0].file)) return fail();
    for (int v = 0; v < versions; ++v) {
      ProblemMemos memos;
      if (const int rc = problems(&memos); rc != ExitOk) return rc;
      for (int kind : {int(WorksheetComposer::ProblemSheet), int(WorksheetComposer::AnswerSheet)}) {
        composer.ComposeWorksheet(kind, memos, o.kind, kigou);
        if (!output.addPdfPage()) return fail();
      }
    }
    if (!output.endPdf()) return fail();
    return kept ? ExitExhausted : ExitOk;
  }

  ProblemMemos memos;
  if (const int rc = problems(&memos); rc != ExitOk) return rc;
  for (const Target& t : targets) {
    composer.ComposeWorksheet(t.sheet, memos, o.kind, kigou);
    const bool ok = t.format == OutputFormat::Pdf
                        ? output.beginPdf(t.file) && output.addPdfPage() && output.endPdf()
                        : output.saveImage(t.file, t.format, quality.value_or(prev.CQuality));
    if (!ok) return fail();
  }
  return kept ? ExitExhausted : ExitOk;
}

}  // namespace zubira
