#include "preview/page_str_dialog.h"

#include "drawing/number_text.h"
#include "platform/dialogs.h"
#include "preview/manual_list.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zubira {

bool isPageStrCoordinate(const QString& text) {
  const std::optional<double> v = readReal(text);
  return v && *v >= 0;
}

TFrmPageStr::TFrmPageStr(QWidget* parent) : QDialog(parent), focus_(this) {
  setObjectName(QStringLiteral("FrmPageStr"));
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto label = [](QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
  };
  auto edit = [](QWidget* parent, const char* name, const QString& text) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
  };
  auto button = [this](const char* name, const QString& text) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };

  // Created in tab order: text, position, styles, free position, then the buttons.
  Label1 = label(this, "Label1", QStringLiteral("表示文字列"));
  Edit1 = edit(this, "Edit1", QString());
  Label2 = label(this, "Label2", QStringLiteral("位置"));
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->addItems({QStringLiteral("なし"), QStringLiteral("左"), QStringLiteral("右"),
                       QStringLiteral("中央"), QStringLiteral("任意")});

  GroupBox1 = new QGroupBox(QStringLiteral("飾り"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  CheckBox1 = new QCheckBox(QStringLiteral("Bold"), GroupBox1);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox2 = new QCheckBox(QStringLiteral("Italic"), GroupBox1);
  CheckBox2->setObjectName(QStringLiteral("CheckBox2"));

  GroupBox2 = new QGroupBox(QStringLiteral("任意の位置"), this);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  Label3 = label(GroupBox2, "Label3", QStringLiteral("X="));
  EdtX = edit(GroupBox2, "EdtX", QStringLiteral("0"));
  Label4 = label(GroupBox2, "Label4", QStringLiteral("Y="));
  EdtY = edit(GroupBox2, "EdtY", QStringLiteral("0"));

  Button1 = button("Button1", QStringLiteral("フォント(&F)"));
  Button2 = button("Button2", QStringLiteral("&OK"));
  Button2->setDefault(true);
  Button3 = button("Button3", QStringLiteral("&Cancel"));

  Label1->setBuddy(Edit1);
  Label2->setBuddy(ComboBox1);
  Label3->setBuddy(EdtX);
  Label4->setBuddy(EdtY);

  // Layout: the text on top, the position list beside the font button, the two group boxes side
  // by side, OK and Cancel at the bottom right.
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(8, 8, 8, 8);
  outer->setSpacing(6);

  auto* top = new QGridLayout;
  top->setHorizontalSpacing(6);
  top->addWidget(Label1, 0, 0);
  top->addWidget(Edit1, 0, 1, 1, 2);
  top->addWidget(Label2, 1, 0);
  top->addWidget(ComboBox1, 1, 1);
  top->addWidget(Button1, 1, 2, Qt::AlignRight);
  top->setColumnStretch(1, 1);
  outer->addLayout(top);

  auto* styles = new QVBoxLayout(GroupBox1);
  styles->setContentsMargins(8, 4, 8, 4);
  styles->addWidget(CheckBox1);
  styles->addWidget(CheckBox2);
  auto* position = new QGridLayout(GroupBox2);
  position->setContentsMargins(8, 4, 8, 4);
  position->addWidget(Label3, 0, 0);
  position->addWidget(EdtX, 0, 1);
  position->addWidget(Label4, 1, 0);
  position->addWidget(EdtY, 1, 1);
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(GroupBox1, 2);
  boxes->addWidget(GroupBox2, 3);
  outer->addLayout(boxes, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button2);
  buttons->addWidget(Button3);
  outer->addLayout(buttons);

  setFixedSize(288, 208);

  connect(Button1, &QPushButton::clicked, this, &TFrmPageStr::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TFrmPageStr::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TFrmPageStr::Button3Click);
  connect(CheckBox1, &QCheckBox::toggled, this, &TFrmPageStr::CheckBox1Click);
  connect(CheckBox2, &QCheckBox::toggled, this, &TFrmPageStr::CheckBox2Click);
  focus_.watch(EdtX, [this](QWidget*) { EdtXEnter(); }, [this](QWidget*) { return EdtXExit(); });
  focus_.watch(EdtY, [this](QWidget*) { EdtYEnter(); }, [this](QWidget*) { return EdtYExit(); });
}

void TFrmPageStr::SetStrSet(const TPageStr& cPageStr) {
  SetPageStr2Font(cPageStr, StrFont);
  Edit1->setText(cPageStr.psStr);
  // Setting a box runs its click rule, which finds StrFont already as the page string has it.
  CheckBox1->setChecked(cPageStr.psBold);
  CheckBox2->setChecked(cPageStr.psItalic);
  const int pos = cPageStr.psPos;
  ComboBox1->setCurrentIndex(pos >= 0 && pos < ComboBox1->count() ? pos : -1);
  EdtX->setText(cPageStr.psX);
  EdtY->setText(cPageStr.psY);
}

void TFrmPageStr::GetStrSet(TPageStr& vPageStr) const {
  vPageStr.psStr = Edit1->text();
  vPageStr.psName = StrFont.name;
  vPageStr.psBold = CheckBox1->isChecked();
  vPageStr.psItalic = CheckBox2->isChecked();
  vPageStr.psPos = ComboBox1->currentIndex();
  vPageStr.psSize = StrFont.size;
  vPageStr.psX = EdtX->text();
  vPageStr.psY = EdtY->text();
}

void TFrmPageStr::Button1Click() {
  const std::optional<FontChoice> chosen = dialogs().chooseFont(this, canvasFontChoice(StrFont));
  if (!chosen) return;
  StrFont = canvasFontFromChoice(*chosen, StrFont);
  // Copied first, because setting the first box runs its click rule on StrFont.
  const bool bold = StrFont.bold;
  const bool italic = StrFont.italic;
  CheckBox1->setChecked(bold);
  CheckBox2->setChecked(italic);
}

void TFrmPageStr::CheckBox1Click() { StrFont.bold = CheckBox1->isChecked(); }

void TFrmPageStr::CheckBox2Click() { StrFont.italic = CheckBox2->isChecked(); }

void TFrmPageStr::EdtXEnter() { Strtmp = EdtX->text(); }

bool TFrmPageStr::EdtXExit() { return coordinateExit(EdtX); }

void TFrmPageStr::EdtYEnter() { Strtmp = EdtY->text(); }

bool TFrmPageStr::EdtYExit() { return coordinateExit(EdtY); }

bool TFrmPageStr::coordinateExit(QLineEdit* edit) {
  if (isPageStrCoordinate(edit->text())) return true;
  edit->setText(Strtmp);
  return false;
}

void TFrmPageStr::Button2Click() {
  focus_.leaveEntered();
  accept();
}

void TFrmPageStr::Button3Click() { reject(); }

void TFrmPageStr::showEvent(QShowEvent* event) {
  // Every use fills the boxes anew: the box that gets the focus now is entered with its new text.
  focus_.forget();
  QDialog::showEvent(event);
}

QString pageStrCaption(PageStrKind kind) {
  switch (kind) {
    case PageStrKind::Header: return QStringLiteral("ヘッダーの設定");
    case PageStrKind::Footer: return QStringLiteral("フッターの設定");
    case PageStrKind::PageTitle: return QStringLiteral("タイトルの設定");
    case PageStrKind::SubTitle: return QStringLiteral("サブタイトルの設定");
  }
  return QString();
}

QString dateLineCaption() { return QStringLiteral("日付の設定"); }

bool runPageStrDialog(TFrmPageStr& dialog, TPageStr& ps, const QString& caption,
                      QAction* menuItemToCheck) {
  dialog.setWindowTitle(caption);
  dialog.SetStrSet(ps);
  if (dialog.exec() != QDialog::Accepted) return false;
  if (menuItemToCheck && !dialog.Edit1->text().isEmpty()) menuItemToCheck->setChecked(true);
  dialog.GetStrSet(ps);
  return true;
}

bool runPageStrDialog(TFrmPageStr& dialog, TPageStr& ps, PageStrKind kind, QAction* menuItem) {
  return runPageStrDialog(dialog, ps, pageStrCaption(kind), menuItem);
}

bool runDateLineDialog(TFrmPageStr& dialog, TPageStr& dateLine) {
  return runPageStrDialog(dialog, dateLine, dateLineCaption(), nullptr);
}

}  // namespace zubira
