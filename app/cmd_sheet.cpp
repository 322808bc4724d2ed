#include "app/cmd_sheet.h"

#include "app/cli_presets.h"
#include "app/cli_support.h"
#include "drawing/page_output.h"
#include "preview/preview_settings.h"
#include "worksheet/problem_settings.h"
#include "worksheet/class_sets.h"
#include "worksheet/worksheet_composer.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

namespace zubira {

namespace {

std::unique_ptr<CommandLine> sheetCommandLine() {
  auto made = std::make_unique<CommandLine>(
      QStringLiteral("zubira sheet"),
      QStringLiteral("zubira sheet [options] (--problems FILE | --answers FILE | --solutions FILE | --print)"),
      QStringLiteral(
          "Makes problems as `zubira make` does (or reads them with --lists) and writes or prints the\n"
          "problem sheet, the answer sheet and the worked answer key (解き方) composed as the buttons of\n"
          "the main window do."),
      QStringLiteral(
          "Files: .pdf through the printer path (A4, --dpi), .png, .bmp, .jpg or .jpeg through the 1:1\n"
          "page image at 96 pixels per inch.\n"
          "Printing goes to CUPS (the server CUPS_SERVER or client.conf names): the problem sheet, then\n"
          "the answer sheet, then the key when --solutions is given, one job per sheet; with\n"
          "--versions N each set in turn.\n"
          "\n"
          "Exit codes: 0 written (and every job accepted); 1 a file could not be written or a job could\n"
          "not be submitted (the reason on stderr); 2 bad command line or ranges; 3 the attempts for a\n"
          "problem ran out.\n"));
  made->add({QStringLiteral("problems")}, QStringLiteral("Write the problem sheet."), QStringLiteral("FILE"));
  made->add({QStringLiteral("answers")}, QStringLiteral("Write the answer sheet."), QStringLiteral("FILE"));
  made->add({QStringLiteral("solutions")}, QStringLiteral("Write the worked answer key (解き方)."),
           QStringLiteral("FILE"));
  made->add({QStringLiteral("versions")},
           QStringLiteral("N different sets (1..1000) in one PDF, each a problem page, its answer page and, "
                          "with --solutions, its key page, every page marked \"セット k / N\" at its foot; "
                          "name the PDF with --problems, --answers or --solutions (the same file when "
                          "several are given)."),
           QStringLiteral("N"));
  made->add({QStringLiteral("lists")},
           QStringLiteral("Read the problems as lines of first operand, second operand and answer separated "
                          "by tabs (what `zubira make` prints) instead of making them."),
           QStringLiteral("FILE"));
  made->add({QStringLiteral("print")}, QStringLiteral("Print the sheets on the default printer."));
  made->add({QStringLiteral("printer")}, QStringLiteral("Print the sheets on the CUPS queue QUEUE."),
           QStringLiteral("QUEUE"));
  made->add({QStringLiteral("copies")}, QStringLiteral("Copies of each sheet printed, 1..99 (default 1)."),
           QStringLiteral("N"));
  made->add({QStringLiteral("dpi")}, QStringLiteral("Resolution of the PDF, 36..2400 (default 600)."),
           QStringLiteral("N"));
  made->add({QStringLiteral("quality")},
           QStringLiteral("JPEG quality 1..100 (default: the settings file's, else 90)."), QStringLiteral("N"));
  addProblemOptions(*made);
  return made;
}

// The page strings as the preview loads them, with the places the main window gives those
// never set when it is first shown.
void loadPageStrings(const IniFile& ini, PageModel& m, TPageStr* dateTime) {
  loadPreviewPageStrings(ini, m);
  dateTime->GetIniSets(ini, QStringLiteral("DateTime"), QString(), 0, QStringLiteral("0"), QStringLiteral("0"));
  GiveDefaultPlaces(&m.PageTitle, &m.SubTitle, dateTime);
}

bool readLists(const QString& file, ProblemKind kind, ProblemSet* problems, QString* error) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("cannot read \"%1\": %2").arg(file, f.errorString());
    return false;
  }
  const QStringList lines = memoLines(QString::fromUtf8(f.readAll()));
  for (const QString& line : lines) {
    if (line.trimmed().isEmpty()) continue;
    QStringList parts = line.split(u'\t');
    // What `zubira make --mix` prints: each line after its kind's name.
    ProblemKind lineKind = kind;
    for (int k = 0; k < ProblemKindCount && parts.size() > 3; ++k)
      if (parts[0] == kindName(ProblemKind(k))) {
        lineKind = ProblemKind(k);
        parts.removeFirst();
        break;
      }
    problems->push_back({lineKind, parts.value(0), parts.value(1), parts.value(2)});
  }
  if (problems->empty()) {
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

// One page with its composer: the A4 page of the files, or a print queue's page.
class SheetWriter {
 public:
  SheetWriter(std::unique_ptr<PageOutput> output, const IniFile& ini, const PreviewSettings& prev,
              MainSettings& sheet, const GenerationSettings& gen)
      : output_(std::move(output)),
        typesetter_(output_->model()),
        composer_(output_->model(), typesetter_, sheet, gen, dateTime_) {
    output_->model().setUnitType(prev.UnitType);
    output_->model().SetCopyright(QString());
    loadPageStrings(ini, output_->model(), &dateTime_);
  }
  PageOutput& output() { return *output_; }
  const TPageStr& dateTime() const { return dateTime_; }
  // Composes page `page` of a sheet; false beyond its last page. What the user should know of
  // the fit goes to stderr once per sheet.
  bool compose(int sheet, const ProblemSet& problems, int page = 0) {
    if (!composer_.ComposeWorksheet(sheet, problems, page)) return false;
    const QString note = FitNote(composer_.fit());
    if (page == 0 && !note.isEmpty())
      printTo(stderr, QStringLiteral("zubira sheet: %1: %2\n").arg(sheetName(sheet), note));
    return true;
  }

 private:
  std::unique_ptr<PageOutput> output_;
  Typesetter typesetter_;
  TPageStr dateTime_;
  WorksheetComposer composer_;
};

}  // namespace

QString sheetUsage() { return sheetCommandLine()->help(); }

int runSheetCommand(const QStringList& args) {
  const QString command = QStringLiteral("zubira sheet");
  const std::unique_ptr<CommandLine> made = sheetCommandLine();
  CommandLine& line = *made;
  if (const std::optional<int> done = line.parse(args)) return *done;
  ProblemOptions o;
  if (const int rc = readProblemOptions(line, &o); rc != ExitOk) return rc;
  int versions = 1, dpi = 600, copies = 1, n = 0;
  std::optional<int> quality;
  if (!line.number(QStringLiteral("versions"), 1, 1000, &versions, QStringLiteral("--versions needs a number from 1 to 1000")) ||
      !line.number(QStringLiteral("dpi"), 36, 2400, &dpi, QStringLiteral("--dpi needs a number from 36 to 2400")) ||
      !line.number(QStringLiteral("copies"), 1, 99, &copies, QStringLiteral("--copies needs a number from 1 to 99")) ||
      !line.number(QStringLiteral("quality"), 1, 100, &n, QStringLiteral("--quality needs a number from 1 to 100")))
    return ExitUsage;
  if (line.isSet(QStringLiteral("quality"))) quality = n;
  const QString listsFile = line.value(QStringLiteral("lists"));
  const bool print = line.isSet(QStringLiteral("print")) || line.isSet(QStringLiteral("printer"));
  const QString queueName = line.value(QStringLiteral("printer"));
  const bool key = line.isSet(QStringLiteral("solutions"));
  const bool batch = line.isSet(QStringLiteral("versions"));

  std::vector<Target> targets;
  for (const auto& [name, sheet] : {std::pair{"problems", int(WorksheetComposer::ProblemSheet)},
                                    std::pair{"answers", int(WorksheetComposer::AnswerSheet)},
                                    std::pair{"solutions", int(WorksheetComposer::SolutionSheet)}}) {
    const QString file = line.value(QLatin1String(name));
    if (!line.isSet(QLatin1String(name))) continue;
    const std::optional<OutputFormat> format = outputFormatOf(file);
    if (!format) return line.fail(QStringLiteral("\"%1\": write .pdf, .png, .bmp or .jpg").arg(file));
    targets.push_back({file, *format, sheet});
  }
  if (targets.empty() && !print)
    return line.fail(QStringLiteral("give --problems FILE, --answers FILE, --solutions FILE or --print"));
  if (line.isSet(QStringLiteral("copies")) && !print)
    return line.fail(QStringLiteral("--copies needs --print or --printer"));
  if (batch) {
    for (const Target& t : targets)
      if (t.format != OutputFormat::Pdf || QFileInfo(t.file).absoluteFilePath() != QFileInfo(targets[0].file).absoluteFilePath())
        return line.fail(QStringLiteral("--versions writes one PDF: give one .pdf file"));
    if (!listsFile.isEmpty()) return line.fail(QStringLiteral("--versions makes its own problems; leave out --lists"));
  }
  if (o.mix && !listsFile.isEmpty()) return line.fail(QStringLiteral("--mix makes its own problems; leave out --lists"));
  // The sheets of one set, in order, on the printer.
  std::vector<int> setSheets{WorksheetComposer::ProblemSheet, WorksheetComposer::AnswerSheet};
  if (key) setSheets.push_back(WorksheetComposer::SolutionSheet);

  std::optional<IniFile> ini = loadSettings(o, line);
  if (!ini) return ExitUsage;
  GenerationSettings gen;
  MainSettings sheet;
  if (const int rc = prepareGeneration(o, *ini, &gen, &sheet); rc != ExitOk) return rc;
  if (const int rc = checkMix(o, gen); rc != ExitOk) return rc;
  if (sheet.AnswerType == 0) sheet.AnswerType = 1;
  // The subtitle the window left with its kind follows the kind of the sheets' problems (several
  // kinds: a review sheet's), as switching the window's tab does; one the user typed stays.
  const ProblemKind savedKind = ReadProblemSettings(*ini, gen.fInt).kind;
  const QString savedSubTitle = sheet.sSubTitle;
  const auto subTitleFor = [&](const ProblemSet& set) { sheet.sSubTitle = sheetSubTitle(savedSubTitle, savedKind, set); };
  const PreviewSettings prev = ReadPrevSettings(*ini);

  const auto failed = [&](const QString& why) {
    printTo(stderr, command + QStringLiteral(": ") + why + u'\n');
    return int(ExitFailed);
  };
  std::unique_ptr<SheetWriter> files, printer;
  if (!targets.empty()) {
    auto output = std::make_unique<PageOutput>(dpi);
    if (!output->ready()) return failed(output->error());
    files = std::make_unique<SheetWriter>(std::move(output), *ini, prev, sheet, gen);
  }
  if (print) {
    QString error;
    const std::optional<CupsQueue> queue = findCupsQueue(queueName, &error);
    if (!queue) return failed(error);
    auto output = std::make_unique<PageOutput>(*queue);
    if (!output->ready()) return failed(output->error());
    printer = std::make_unique<SheetWriter>(std::move(output), *ini, prev, sheet, gen);
  }

  PseudoRandomSource random(o.seed ? *o.seed : PseudoRandomSource::ClockSeed());
  ProblemGenerator generator(&random, &o.hooks);
  bool kept = false;
  auto problems = [&](ProblemSet* set) -> int {
    if (!listsFile.isEmpty()) {
      QString error;
      if (!readLists(listsFile, o.kind, set, &error)) {
        printTo(stderr, command + QStringLiteral(": ") + error + u'\n');
        return ExitUsage;
      }
      return ExitOk;
    }
    if (o.mix) return makeMixedProblems(o, random, set, &kept);
    const MakeResult r = generator.MakeProblems(o.kind, gen);
    if (r.status == MakeStatus::InvalidRanges) {
      printTo(stderr, r.message + u'\n');
      return ExitUsage;
    }
    if (r.status != MakeStatus::Done) return ExitExhausted;
    kept = kept || r.problemsKept > 0;
    *set = ProblemSetFromLists(o.kind, r.lists.first, r.lists.second, r.lists.answers);
    return ExitOk;
  };
  // Each sheet of the set as a job of its own, with every page of the sheet.
  auto printSet = [&](const ProblemSet& set) -> int {
    for (int s : setSheets) {
      PageOutput& out = printer->output();
      const QString title = QStringLiteral("Zubira %1").arg(sheetName(s));
      if (!out.beginJob()) return failed(out.error());
      for (int page = 0; printer->compose(s, set, page); ++page)
        if (!out.addPage()) return failed(out.error());
      if (!out.submitJob(title, copies)) return failed(out.error());
    }
    return ExitOk;
  };

  if (batch) {
    ProblemSet kinds(1);
    kinds[0].kind = o.kind;
    subTitleFor(o.mix ? MixedSetKinds(*o.mix) : kinds);
    ClassSets batchSets(sheet, gen, (files ? files : printer)->dateTime());
    if (files) batchSets.writePdf(files->output(), targets[0].file);
    if (printer) batchSets.print(printer->output(), copies);
    const ClassSetResult r = batchSets.run(ClassSetPlan{versions, true, key},
                                           o.mix ? mixedSets(*o.mix, random, &o.hooks) : generatedSets(generator, o.kind, gen));
    for (const QString& note : r.notes) printTo(stderr, command + QStringLiteral(": ") + note + u'\n');
    switch (r.status) {
      case ClassSetResult::Done: return r.problemsKept > 0 ? ExitExhausted : ExitOk;
      case ClassSetResult::NotMade:
        if (r.makeStatus != MakeStatus::InvalidRanges) return ExitExhausted;
        printTo(stderr, r.message + u'\n');
        return ExitUsage;
      case ClassSetResult::Cancelled:
      case ClassSetResult::Failed: break;
    }
    return failed(r.message);
  }

  ProblemSet set;
  if (const int rc = problems(&set); rc != ExitOk) return rc;
  subTitleFor(set);
  for (const Target& t : targets) {
    PageOutput& out = files->output();
    if (t.format == OutputFormat::Pdf) {
      bool ok = out.beginPdf(t.file);
      for (int page = 0; ok && files->compose(t.sheet, set, page); ++page) ok = out.addPage();
      if (!ok || !out.endPdf()) return failed(out.error());
      continue;
    }
    // An image holds one page: a key of several pages writes its later pages beside the first,
    // as NAME-2.png and so on.
    for (int page = 0; files->compose(t.sheet, set, page); ++page) {
      QString file = t.file;
      if (page > 0) {
        const QFileInfo info(t.file);
        file = info.dir().filePath(QStringLiteral("%1-%2.%3").arg(info.completeBaseName()).arg(page + 1).arg(info.suffix()));
        printTo(stderr, QStringLiteral("zubira sheet: page %1 of the key: %2\n").arg(page + 1).arg(file));
      }
      if (!out.saveImage(file, t.format, quality.value_or(prev.CQuality))) return failed(out.error());
    }
  }
  if (printer)
    if (const int rc = printSet(set); rc != ExitOk) return rc;
  return kept ? ExitExhausted : ExitOk;
}

}  // namespace zubira
