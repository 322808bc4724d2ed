#include "worksheet/about_box.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace zubira {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("バージョン情報"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  auto* outer = new QVBoxLayout(this);
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);
  outer->addWidget(panel);

  auto* row = new QHBoxLayout(panel);
  auto* icon = new QLabel(panel);
  icon->setObjectName(QStringLiteral("ProgramIcon"));
  // The program's icon once the desktop program has set it, a stock picture otherwise.
  const QIcon programIcon = QApplication::windowIcon();
  icon->setPixmap((programIcon.isNull() ? style()->standardIcon(QStyle::SP_FileDialogDetailedView) : programIcon)
                      .pixmap(32, 32));
  icon->setAlignment(Qt::AlignTop);
  row->addWidget(icon);

  auto* texts = new QVBoxLayout;
  ProductName = new QLabel(QStringLiteral("Zubira　分数の加減乗除篇"), panel);
  ProductName->setObjectName(QStringLiteral("ProductName"));
  Version = new QLabel(QStringLiteral("Version 1.6"), panel);
  Version->setObjectName(QStringLiteral("Version"));
  Copyright = new QLabel(QStringLiteral("分数の加減乗除の練習プリントを作ります。"), panel);
  Copyright->setObjectName(QStringLiteral("Copyright"));
  Comments = new QLabel(QString(), panel);
  Comments->setObjectName(QStringLiteral("Comments"));
  Comments->setWordWrap(true);
  for (QLabel* l : {ProductName, Version, Copyright, Comments}) texts->addWidget(l);
  row->addLayout(texts);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addStretch();
  outer->addLayout(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace zubira
