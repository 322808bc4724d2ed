#include "worksheet/versions_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zubira {

FrmVersions::FrmVersions(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmVersions"));
  setWindowTitle(QStringLiteral("クラス用の複数セット"));

  SpnVersions = new QSpinBox(this);
  SpnVersions->setObjectName(QStringLiteral("SpnVersions"));
  SpnVersions->setRange(1, 1000);
  SpnVersions->setValue(30);
  ChkAnswers = new QCheckBox(QStringLiteral("答えのページ"), this);
  ChkAnswers->setObjectName(QStringLiteral("ChkAnswers"));
  ChkAnswers->setChecked(true);
  ChkKey = new QCheckBox(QStringLiteral("解き方のページ"), this);
  ChkKey->setObjectName(QStringLiteral("ChkKey"));
  BtnVersionsPdf = new QPushButton(QStringLiteral("PDFに保存(&S)..."), this);
  BtnVersionsPdf->setObjectName(QStringLiteral("BtnVersionsPdf"));
  BtnVersionsPdf->setDefault(true);
  BtnVersionsPrint = new QPushButton(QStringLiteral("印刷(&P)"), this);
  BtnVersionsPrint->setObjectName(QStringLiteral("BtnVersionsPrint"));
  BtnVersionsCancel = new QPushButton(QStringLiteral("キャンセル"), this);
  BtnVersionsCancel->setObjectName(QStringLiteral("BtnVersionsCancel"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("セットの数(&N):"), SpnVersions);
  form->addRow(ChkAnswers);
  form->addRow(ChkKey);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {BtnVersionsPdf, BtnVersionsPrint, BtnVersionsCancel}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);

  connect(BtnVersionsPdf, &QPushButton::clicked, this, [this] { BtnVersionsPdfClick(); });
  connect(BtnVersionsPrint, &QPushButton::clicked, this, [this] { BtnVersionsPrintClick(); });
  connect(BtnVersionsCancel, &QPushButton::clicked, this, [this] { reject(); });
  runner_.setBusyChanged([this](bool busy) {
    for (QPushButton* b : {BtnVersionsPdf, BtnVersionsPrint}) b->setEnabled(!busy);
  });
}

FrmVersions::~FrmVersions() = default;

void FrmVersions::reject() {
  if (runner_.running()) {
    runner_.cancel();
    return;
  }
  QDialog::reject();
}

ClassSetPlan FrmVersions::plan() const {
  ClassSetPlan p;
  p.sets = SpnVersions->value();
  p.answers = ChkAnswers->isChecked();
  p.key = ChkKey->isChecked();
  return p;
}

void FrmVersions::BtnVersionsPdfClick() {
  if (runner_.savePdf(plan())) accept();
}

void FrmVersions::BtnVersionsPrintClick() {
  if (runner_.print(plan())) accept();
}

}  // namespace zubira
