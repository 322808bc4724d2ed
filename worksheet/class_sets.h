#pragma once
// Class sets: many new sets of problems made with one generator and the same settings, each set
// composed as its problem page, then its answer page and its key page when asked for, all into one
// PDF or each sheet printed as a job of its own. Every page carries "セット k / N" at its foot.
// The command line's `zubira sheet --versions` and the main window's class-set dialog both make
// their sets here; no list of the main window is read or changed.
//
//   ClassSets batch(settings, gen, dateTime);
//   batch.writePdf(pdfOutput, file);            // and/or batch.print(queueOutput, copies)
//   batch.setProgress([](int done) { return !cancelled; });
//   ClassSetResult r = batch.run(plan, generatedSets(generator, kind, gen));
//
// A run that is cancelled or fails leaves no PDF (an older file of the name stays as it was);
// print jobs already accepted by the server stay printed.

#include "drawing/page_str.h"
#include "generation/mixed_set.h"
#include "generation/problem_generator.h"
#include "generation/sheet_problem.h"
#include "platform/save_file.h"
#include "worksheet/main_settings.h"
#include "worksheet/worksheet_composer.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace zubira {

class PageModel;
class PageOutput;

struct ClassSetPlan {
  int sets = 30;
  bool answers = true;  // an answer page after each problem page
  bool key = false;     // the worked key after those
  // The sheets of one set in order (WorksheetComposer::SheetKind).
  std::vector<int> sheets() const;
};

// A sheet's name as jobs and messages give it: "問題", "答え", "解き方".
QString sheetName(int sheetKind);

// What making one set gave: its problems, or why the run stops (any status but Done).
struct MadeSet {
  MakeStatus status = MakeStatus::Done;
  QString message;
  int problemsKept = 0;  // problems kept after their attempts ran out
  ProblemSet set;
};

// Makes the set numbered `index` (from 0).
using SetMaker = std::function<MadeSet(int index)>;

// Sets of one kind made by `generator` from `gen`, as the main window's Make does.
SetMaker generatedSets(ProblemGenerator& generator, ProblemKind kind, const GenerationSettings& gen);
// Mixed sets of `mix` (まとめプリント), each made anew with `random`; `hooks` answers for every section.
SetMaker mixedSets(const MixedSet& mix, RandomSource& random, GeneratorHooks* hooks);

struct ClassSetResult {
  enum Status {
    Done,
    Cancelled,  // the progress said stop
    NotMade,    // a set could not be made: makeStatus and message say why
    Failed,     // the PDF could not be written or a job not printed: message, fileFault say why
  };
  Status status = Done;
  int setsDone = 0;
  int problemsKept = 0;
  MakeStatus makeStatus = MakeStatus::Done;
  QString message;
  WholeFileWriter::Fault fileFault = WholeFileWriter::Fault::None;
  bool printFailed = false;  // Failed on the printer rather than on the PDF
  // How the sheets fitted their pages, each note once: "解き方: 解き方は2ページあります".
  QStringList notes;
};

// The page strings, drawing unit and credit line of `from` (the preview's page) on `to`.
void copyPageSetup(const PageModel& from, PageModel& to);

class ClassSets {
 public:
  // `settings`, `gen` and `dateTime` as the main window composes its sheets with them; the
  // settings are copied.
  ClassSets(const MainSettings& settings, const GenerationSettings& gen, const TPageStr& dateTime);
  ~ClassSets();
  ClassSets(const ClassSets&) = delete;
  ClassSets& operator=(const ClassSets&) = delete;

  // Every page into the PDF `file` on `out` (an output for files).
  void writePdf(PageOutput& out, const QString& file);
  // Each sheet as a job on `out` (an output on a print queue) with `copies`.
  void print(PageOutput& out, int copies);
  // Called after each set with the number of sets done; false stops the run.
  void setProgress(std::function<bool(int)> progress) { progress_ = std::move(progress); }
  // The clock of the page strings' "%t" and "%d".
  void setClock(std::function<QDateTime()> clock);

  // The sets of `plan`, each made by `make` and put out on every output in turn; a sheet of
  // several pages (a long key) puts out all of them.
  ClassSetResult run(const ClassSetPlan& plan, const SetMaker& make);

 private:
  struct Output;
  // Composes every page of `sheet` of `set` on `o` and puts them out as set `index` of `sets`.
  bool putSheet(Output& o, int sheet, const ProblemSet& set, int index, int sets, ClassSetResult* r);

  MainSettings settings_;
  const GenerationSettings& gen_;
  const TPageStr& dateTime_;
  std::vector<std::unique_ptr<Output>> outputs_;
  std::function<bool(int)> progress_;
  std::function<QDateTime()> clock_;
};

}  // namespace zubira
