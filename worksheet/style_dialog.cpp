#include "worksheet/style_dialog.h"

#include "drawing/font_choice.h"

#include "generation/range_check.h"
#include "platform/real_format.h"
#include "platform/site_links.h"
#include "platform/tcolor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace zubira {


QLabel* TFrmStyle::addLabel(QWidget* parent, const char* name, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString::fromLatin1(name));
  return l;
}

QLineEdit* TFrmStyle::addEdit(QWidget* parent, const char* name) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  return e;
}

TFrmStyle::TFrmStyle(QWidget* parent) : QDialog(parent), focus_(this) {
  setObjectName(QStringLiteral("FrmStyle"));
  setWindowTitle(QStringLiteral("スタイル"));
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  // Controls are made in the order the Tab key visits them.
  GrpExam = new QGroupBox(QStringLiteral("問題"), this);
  GrpExam->setObjectName(QStringLiteral("GrpExam"));
  EdtRow = addEdit(GrpExam, "EdtRow");
  QLabel* rowLabel = addLabel(GrpExam, "LblRow", QStringLiteral("行"));
  EdtCol = addEdit(GrpExam, "EdtCol");
  QLabel* colLabel = addLabel(GrpExam, "LblCol", QStringLiteral("列"));
  Button3 = new QPushButton(QStringLiteral("フォント"), GrpExam);
  Button3->setObjectName(QStringLiteral("Button3"));
  Button3->setAutoDefault(false);
  auto* examRow = new QHBoxLayout(GrpExam);
  examRow->addWidget(EdtRow);
  examRow->addWidget(rowLabel);
  examRow->addWidget(EdtCol);
  examRow->addWidget(colLabel);
  examRow->addStretch();
  examRow->addWidget(Button3);

  GrpNumber = new QGroupBox(QStringLiteral("問題番号の形式"), this);
  GrpNumber->setObjectName(QStringLiteral("GrpNumber"));
  EdtLeft = addEdit(GrpNumber, "EdtLeft");
  EdtRight = addEdit(GrpNumber, "EdtRight");
  CBoxExam = new QCheckBox(QStringLiteral("描画する"), GrpNumber);
  CBoxExam->setObjectName(QStringLiteral("CBoxExam"));
  QLabel* gapLabel = addLabel(GrpNumber, "LblSeparate", QStringLiteral("間隔"));
  EdtSeparate = addEdit(GrpNumber, "EdtSeparate");
  QLabel* gapUnit = addLabel(GrpNumber, "LblSeparateUnit", QStringLiteral("mm"));
  gapLabel->setBuddy(EdtSeparate);
  auto* numberGrid = new QGridLayout(GrpNumber);
  numberGrid->addWidget(EdtLeft, 0, 0);
  numberGrid->addWidget(EdtRight, 0, 1);
  numberGrid->addWidget(CBoxExam, 0, 2, 1, 2);
  numberGrid->addWidget(gapLabel, 1, 0);
  numberGrid->addWidget(EdtSeparate, 1, 1);
  numberGrid->addWidget(gapUnit, 1, 2);

  GrpAnswer = new QGroupBox(QStringLiteral("答えの印刷"), this);
  GrpAnswer->setObjectName(QStringLiteral("GrpAnswer"));
  RButton1 = new QRadioButton(QStringLiteral("別に印刷"), GrpAnswer);
  RButton1->setObjectName(QStringLiteral("RButton1"));
  RButton2 = new QRadioButton(QStringLiteral("共に印刷"), GrpAnswer);
  RButton2->setObjectName(QStringLiteral("RButton2"));
  auto* answerColumn = new QVBoxLayout(GrpAnswer);
  answerColumn->addWidget(RButton1);
  answerColumn->addWidget(RButton2);

  GrpMargin = new QGroupBox(QStringLiteral("余白"), this);
  GrpMargin->setObjectName(QStringLiteral("GrpMargin"));
  auto* marginGrid = new QGridLayout(GrpMargin);
  struct MarginEdit {
    QLineEdit** edit;
    const char* name;
    const char* labelName;
    QString caption;
  } margins[] = {
      {&EdtTopP, "EdtTopP", "LblTopP", QStringLiteral("上")},
      {&EdtLeftP, "EdtLeftP", "LblLeftP", QStringLiteral("左")},
      {&EdtRightP, "EdtRightP", "LblRightP", QStringLiteral("右")},
      {&EdtBottomP, "EdtBottomP", "LblBottomP", QStringLiteral("下")},
  };
  int row = 0;
  for (const MarginEdit& m : margins) {
    QLabel* caption = addLabel(GrpMargin, m.labelName, m.caption);
    *m.edit = addEdit(GrpMargin, m.name);
    caption->setBuddy(*m.edit);
    marginGrid->addWidget(caption, row, 0);
    marginGrid->addWidget(*m.edit, row, 1);
    ++row;
  }
  marginGrid->addWidget(addLabel(GrpMargin, "LblMarginUnit", QStringLiteral("mm")), 0, 2);
  CBoxFrame = new QCheckBox(QStringLiteral("枠"), GrpMargin);
  CBoxFrame->setObjectName(QStringLiteral("CBoxFrame"));
  marginGrid->addWidget(CBoxFrame, row, 0, 1, 3);

  BtnOK = new QPushButton(QStringLiteral("&OK"), this);
  BtnOK->setObjectName(QStringLiteral("BtnOK"));
  BtnOK->setDefault(true);
  BtnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
  BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
  BtnCancel->setAutoDefault(false);
  Button1 = new QPushButton(QStringLiteral("&Help"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setAutoDefault(false);

  auto* grid = new QGridLayout;
  grid->addWidget(GrpExam, 0, 0, 1, 2);
  grid->addWidget(GrpNumber, 1, 0);
  grid->addWidget(GrpAnswer, 1, 1);
  grid->addWidget(GrpMargin, 0, 2, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BtnOK);
  buttons->addWidget(BtnCancel);
  buttons->addWidget(Button1);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(grid);
  outer->addLayout(buttons);
  outer->setSizeConstraint(QLayout::SetFixedSize);

  connect(Button3, &QPushButton::clicked, this, &TFrmStyle::Button3Click);
  connect(BtnOK, &QPushButton::clicked, this, &TFrmStyle::BtnOKClick);
  connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button1, &QPushButton::clicked, this, &TFrmStyle::Button1Click);

  focus_.watch(EdtRow, [this](QWidget*) { EdtRowEnter(); }, [this](QWidget*) { return EdtRowExit(); });
  focus_.watch(EdtCol, [this](QWidget*) { EdtColEnter(); }, [this](QWidget*) { return EdtColExit(); });
  for (QLineEdit* e : {EdtTopP, EdtLeftP, EdtRightP, EdtBottomP}) {
    focus_.watch(e, [this, e](QWidget*) { EdtTopPEnter(e); },
                 [this, e](QWidget*) { return EdtTopPExit(e); });
  }
  focus_.watch(EdtSeparate, [this](QWidget*) { EdtSeparateEnter(); },
               [this](QWidget*) { return EdtSeparateExit(); });
}

void TFrmStyle::setSettings(MainSettings* main, GenerationSettings* gen) {
  main_ = main;
  gen_ = gen;
}

void TFrmStyle::showEvent(QShowEvent* event) {
  FormShow();
  // The texts are new: the edit box that gets the focus now is entered afresh.
  focus_.forget();
  QDialog::showEvent(event);
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void TFrmStyle::FormShow() {
  const MainSettings main = main_ ? *main_ : MainSettings{};
  const GenerationSettings gen = gen_ ? *gen_ : GenerationSettings{};
  EdtRow->setText(QString::number(gen.ExamRowN));
  EdtCol->setText(QString::number(gen.ExamColN));
  EdtTopP->setText(formatReal(main.WindowTop));
  EdtLeftP->setText(formatReal(main.WindowLeft));
  EdtRightP->setText(formatReal(main.WindowRight));
  EdtBottomP->setText(formatReal(main.WindowBottom));
  EdtSeparate->setText(formatReal(main.ExamSeparate));
  EdtLeft->setText(main.ExNumLeft);
  EdtRight->setText(main.ExNumRight);
  CBoxExam->setChecked(main.fExNum);
  CBoxFrame->setChecked(main.WindowFrame);
  if (main.AnswerType == 1) {
    RButton1->setChecked(true);
  } else {
    RButton2->setChecked(true);
  }
  FontExam = main.FntExam;
}

void TFrmStyle::Button3Click() {
  std::optional<FontChoice> chosen = dialogs().chooseFont(this, canvasFontChoice(FontExam));
  if (!chosen) return;
  const CanvasFont font = canvasFontFromChoice(*chosen, FontExam);
  if (font.size < MinExamFontSize || font.size > MaxExamFontSize) {
    dialogs().message(this, QString(), ExamFontSizeMessage());
    return;
  }
  FontExam = font;
}

void TFrmStyle::BtnOKClick() {
  // An edit box still entered has not been checked yet.
  if (!focus_.leaveEntered()) return;
  if (main_ && gen_) {
    // Every text has passed its check or is the loaded value, so each parses; a loaded value
    // that the texts cannot carry (not finite) is kept as it was.
    auto whole = [](const QLineEdit* e, int before) {
      return parseInt32Text(e->text().trimmed()).value_or(before);
    };
    auto real = [](const QLineEdit* e, double before) {
      return parseReal(e->text()).value_or(before);
    };
    gen_->ExamRowN = whole(EdtRow, gen_->ExamRowN);
    gen_->ExamColN = whole(EdtCol, gen_->ExamColN);
    main_->WindowTop = real(EdtTopP, main_->WindowTop);
    main_->WindowLeft = real(EdtLeftP, main_->WindowLeft);
    main_->WindowRight = real(EdtRightP, main_->WindowRight);
    main_->WindowBottom = real(EdtBottomP, main_->WindowBottom);
    main_->ExNumLeft = EdtLeft->text();
    main_->ExNumRight = EdtRight->text();
    main_->fExNum = CBoxExam->isChecked();
    main_->ExamSeparate = real(EdtSeparate, main_->ExamSeparate);
    main_->AnswerType = RButton1->isChecked() ? 1 : 2;
    main_->WindowFrame = CBoxFrame->isChecked();
    main_->FntExam = FontExam;
  }
  accept();
}

void TFrmStyle::Button1Click() { openHelpLink(this, siteLinks().help); }

void TFrmStyle::EdtRowEnter() { EdtTmp = EdtRow->text(); }

bool TFrmStyle::EdtRowExit() {
  if (EdtRow->text() == EdtTmp) return true;
  const GridCheck check = CheckGridRows(EdtRow->text(), EdtCol->text());
  if (!check.accepted) {
    dialogs().message(this, QString(), check.message);
    EdtRow->setText(EdtTmp);
    return false;
  }
  EdtRow->setText(QString::number(check.value));
  return true;
}

void TFrmStyle::EdtColEnter() { EdtTmp = EdtCol->text(); }

bool TFrmStyle::EdtColExit() {
  if (EdtCol->text() == EdtTmp) return true;
  const GridCheck check = CheckGridCols(EdtCol->text(), EdtRow->text());
  if (!check.accepted) {
    dialogs().message(this, QString(), check.message);
    EdtCol->setText(EdtTmp);
    return false;
  }
  EdtCol->setText(QString::number(check.value));
  return true;
}

void TFrmStyle::EdtTopPEnter(QLineEdit* sender) { EdtTmp = sender->text(); }

bool TFrmStyle::EdtTopPExit(QLineEdit* sender) {
  if (sender->text() == EdtTmp) return true;
  const std::optional<double> v = parseReal(sender->text());
  if (!v || *v < 0) {
    sender->setText(EdtTmp);
    return false;
  }
  if (*v > MaxMargin) {
    dialogs().message(this, QString(), marginTooLargeMessage());
    sender->setText(EdtTmp);
    sender->setFocus(Qt::OtherFocusReason);
    return false;
  }
  return true;
}

void TFrmStyle::EdtSeparateEnter() { EdtTmp = EdtSeparate->text(); }

bool TFrmStyle::EdtSeparateExit() {
  if (EdtSeparate->text() == EdtTmp) return true;
  const std::optional<double> v = parseReal(EdtSeparate->text());
  if (!v || *v < 0) {
    EdtSeparate->setText(EdtTmp);
    return false;
  }
  return true;
}

}  // namespace zubira
