#include "generation/rnd_d_dialog.h"

#include "generation/range_check.h"
#include "platform/site_links.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zubira {

std::optional<int32_t> parseRndDText(const QString& text) {
  return parseInt32Text(trimRangeText(text));
}

TFrmRndD::TFrmRndD(QWidget* parent) : QDialog(parent), focus_(this) {
  setObjectName(QStringLiteral("FrmRndD"));
  setWindowTitle(QStringLiteral("乱数の振り方"));
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto label = [this](const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QString::fromLatin1(name));
    return l;
  };
  Label1 = label("Label1", QStringLiteral("演算(＋,－,×,÷)の右の数と左の数の出現の確率に関するパラメータＤ"));
  Label2 = label("Label2", QStringLiteral("パラメーターＤの値"));
  EdtD = new QLineEdit(this);
  EdtD->setObjectName(QStringLiteral("EdtD"));
  Label3 = label("Label3", QStringLiteral("（整数）"));
  Label4 = label("Label4", QStringLiteral("零　：　最小値から最大値の間の均一乱数"));
  Label5 = label("Label5", QStringLiteral("正　：　最小値を中心とし、標準偏差が最大値／Ｄの正規分布乱数"));
  Label6 = label("Label6", QStringLiteral("負　：　最大値を中心とし、標準偏差が最大値／Ｄの正規分布乱数"));
  Label2->setBuddy(EdtD);

  BtnOK = new QPushButton(QStringLiteral("&OK"), this);
  BtnOK->setObjectName(QStringLiteral("BtnOK"));
  BtnOK->setDefault(true);
  BtnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
  BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
  Button1 = new QPushButton(QStringLiteral("&Help"), this);
  Button1->setObjectName(QStringLiteral("Button1"));

  auto* outer = new QVBoxLayout(this);
  outer->addWidget(Label1);
  auto* valueRow = new QHBoxLayout;
  valueRow->addWidget(Label2);
  valueRow->addWidget(EdtD);
  valueRow->addWidget(Label3);
  valueRow->addStretch();
  outer->addLayout(valueRow);
  outer->addWidget(Label4);
  outer->addWidget(Label5);
  outer->addWidget(Label6);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BtnOK);
  buttons->addWidget(BtnCancel);
  buttons->addWidget(Button1);
  outer->addLayout(buttons);
  outer->setSizeConstraint(QLayout::SetFixedSize);

  connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button1, &QPushButton::clicked, this, &TFrmRndD::Button1Click);
  focus_.watch(EdtD, [this](QWidget*) { EdtDEnter(); }, [this](QWidget*) { return EdtDExit(); });
}

void TFrmRndD::SetD(int32_t rnd_D) { EdtD->setText(QString::number(rnd_D)); }

int32_t TFrmRndD::TakeD(int32_t rnd_D, bool accepted) const {
  if (!accepted) return rnd_D;
  return parseRndDText(EdtD->text()).value_or(0);
}

void TFrmRndD::EdtDEnter() { StrTmp = EdtD->text(); }

bool TFrmRndD::EdtDExit() {
  if (parseRndDText(EdtD->text())) return true;
  EdtD->setText(StrTmp);
  return false;
}

void TFrmRndD::Button1Click() { openHelpLink(this, siteLinks().randomHelp); }

void TFrmRndD::showEvent(QShowEvent* event) {
  // A new showing starts with a new text: whichever edit box gets the focus now is entered anew.
  focus_.forget();
  QDialog::showEvent(event);
}

int32_t R1Click(TFrmRndD& dialog, int32_t rnd_D) {
  dialog.SetD(rnd_D);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  return dialog.TakeD(rnd_D, accepted);
}

}  // namespace zubira
