#pragma once
// FrmVersions "クラス用の複数セット": how many new sets to make for a class and which pages each
// set gets; "PDFに保存(&S)..." writes them all into one PDF named through the save-file dialog,
// "印刷(&P)" sends each sheet of each set to the printer as a job of its own. The sets are made
// with the main window's settings and conditions as they were when the dialog was opened; its
// lists stay as they are. A run of more than about half a second shows a progress dialog that can
// cancel it; a cancelled or failed PDF leaves no file.

#include "worksheet/class_set_runner.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace zubira {

class FrmVersions : public QDialog {
  Q_OBJECT
 public:
  explicit FrmVersions(QWidget* parent = nullptr);
  ~FrmVersions() override;

  void setSource(const ClassSetSource& source) { runner_.setSource(source); }

  void BtnVersionsPdfClick();
  void BtnVersionsPrintClick();

  // The resolution of the PDF, as the command line's by default.
  static constexpr int kPdfDpi = ClassSetRunner::kPdfDpi;

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

  ClassSetRunner runner_{this};
};

}  // namespace zubira
