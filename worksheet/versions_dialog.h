#pragma once
// FrmVersions "クラス用の複数セット": how many new sets to make for a class and which pages each
// set gets; "PDFに保存(&S)..." writes them all into one PDF named through the save-file dialog,
// "印刷(&P)" sends each sheet of each set to the printer as a job of its own. The sets are made
// with the main window's settings and conditions as they were when the dialog was opened; its
// lists stay as they are. A run of more than about half a second shows a progress dialog that can
// cancel it; a cancelled or failed PDF leaves no file.

#include "drawing/page_str.h"
#include "generation/generation_settings.h"
#include "platform/dialogs.h"
#include "worksheet/class_sets.h"
#include "worksheet/main_settings.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QPrinter;
class QProgressDialog;
class QPushButton;
class QSpinBox;

namespace zubira {

class PageModel;
class RandomSource;

// What the sets are made from: the main window's state.
struct ClassSetSource {
  MainSettings settings;
  GenerationSettings gen;  // with the ranges of the range edits
  TPageStr dateTime;
  ProblemKind kind = pkAdd;
  OperandChoices choices;
  RandomSource* random = nullptr;   // null: the process-wide source
  const PageModel* page = nullptr;  // the preview's page strings, unit and credit line, if any
  QPrinter* printer = nullptr;      // the preview's printer as its print dialog left it, if any
};

class FrmVersions : public QDialog {
  Q_OBJECT
 public:
  explicit FrmVersions(QWidget* parent = nullptr);
  ~FrmVersions() override;

  void setSource(const ClassSetSource& source) { source_ = source; }

  void BtnVersionsPdfClick();
  void BtnVersionsPrintClick();

  // The resolution of the PDF, as the command line's by default.
  static constexpr int kPdfDpi = 600;

  QSpinBox* SpnVersions;
  QCheckBox* ChkAnswers;
  QCheckBox* ChkKey;
  QPushButton* BtnVersionsPdf;
  QPushButton* BtnVersionsPrint;
  QPushButton* BtnVersionsCancel;

 public slots:
  // Esc and the window's close button cancel a run in progress before they close the dialog.
  void reject() override;

 private:
  ClassSetPlan plan() const;
  // Makes the sets on `sets` with a progress dialog; the result of the run.
  ClassSetResult makeSets(ClassSets& sets, const ClassSetPlan& plan);
  void preparePage(PageModel& page) const;
  // The message for a run that did not end well; empty when none is needed.
  QString makeMessage(const ClassSetResult& r) const;
  void message(const QString& text, MessageIcon icon = MessageIcon::Warning);

  ClassSetSource source_;
  bool running_ = false;
  bool cancelled_ = false;
};

}  // namespace zubira
