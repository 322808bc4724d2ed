#pragma once
// Class sets run from a dialog: all the sets into one PDF named through the save-file dialog, or
// each sheet of each set as a print job on the preview's printer; a run of more than about half a
// second shows a progress dialog that can cancel it; what went wrong is told in Japanese. The
// class-set dialog and the dialog まとめプリント both make their sets here.

#include "drawing/page_str.h"
#include "generation/generation_settings.h"
#include "platform/dialogs.h"
#include "worksheet/class_sets.h"
#include "worksheet/main_settings.h"

#include <QString>
#include <functional>

class QDialog;
class QPrinter;

namespace zubira {

class PageModel;
class RandomSource;

// What the sets are made from: the main window's state.
struct ClassSetSource {
  MainSettings settings;
  GenerationSettings gen;  // with the ranges of the range edits; its grid is the sheets'
  TPageStr dateTime;
  ProblemKind kind = pkAdd;
  OperandChoices choices;
  RandomSource* random = nullptr;   // null: the process-wide source
  const PageModel* page = nullptr;  // the preview's page strings, unit and credit line, if any
  QPrinter* printer = nullptr;      // the preview's printer as its print dialog left it, if any
  // Sets of another recipe than the kind above (a mixed set), made with the run's hooks.
  std::function<SetMaker(GeneratorHooks*)> sets{};
};

class ClassSetRunner {
 public:
  // Messages and the progress dialog belong to `owner`.
  explicit ClassSetRunner(QDialog* owner) : owner_(owner) {}

  void setSource(const ClassSetSource& source) { source_ = source; }
  const ClassSetSource& source() const { return source_; }
  bool running() const { return running_; }
  // A run in progress stops after the set it is making.
  void cancel() { cancelled_ = true; }
  // Told true when a run starts and false when it ends (the owner disables its buttons).
  void setBusyChanged(std::function<void(bool)> busy) { busy_ = std::move(busy); }

  // True when every page was written or every job sent, so the owner may close.
  bool savePdf(const ClassSetPlan& plan);
  bool print(const ClassSetPlan& plan);

  // The resolution of the PDF, as the command line's by default.
  static constexpr int kPdfDpi = 600;

 private:
  // Makes the sets on `sets` with a progress dialog; the result of the run.
  ClassSetResult makeSets(ClassSets& sets, const ClassSetPlan& plan);
  void preparePage(PageModel& page) const;
  // The message for a run that did not end well; empty when none is needed.
  QString makeMessage(const ClassSetResult& r) const;
  void message(const QString& text, MessageIcon icon = MessageIcon::Warning);

  QDialog* owner_;
  ClassSetSource source_;
  std::function<void(bool)> busy_;
  bool running_ = false;
  bool cancelled_ = false;
};

}  // namespace zubira
