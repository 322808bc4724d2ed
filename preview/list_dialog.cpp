#include "preview/list_dialog.h"

#include "drawing/canvas.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace zubira {

namespace {

// The dialog's design resolution, outer size and font height.
constexpr int kDesignDpi = 120;
constexpr int kDesignWidth = 378;
constexpr int kDesignHeight = 338;
constexpr int kDesignFontPixels = 15;

int screenResolution(int screenDpi) {
  if (screenDpi > 0) return screenDpi;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int dpi = screen ? roundHalfAway(screen->logicalDotsPerInchY()) : 0;
  return dpi > 0 ? dpi : 96;
}

int scaled(int designPixels, int dpi) {
  return roundHalfAway(double(designPixels) * dpi / kDesignDpi);
}

}  // namespace

TFrmList::TFrmList(QWidget* parent, int screenDpi) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmList"));
  setWindowTitle(QStringLiteral("リストの確認"));
  // A sizeable tool window whose title bar has no buttons: it is closed by "閉じる(&C)".
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

  const int dpi = screenResolution(screenDpi);
  QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
  f.setPixelSize(std::max(1, scaled(kDesignFontPixels, dpi)));
  setFont(f);

  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListBox1->installEventFilter(this);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  BtnClear = new QPushButton(QStringLiteral("消去(&A)"), Panel1);
  BtnClear->setObjectName(QStringLiteral("BtnClear"));
  BtnClear->setAutoDefault(false);
  Button1 = new QPushButton(QStringLiteral("閉じる(&C)"), Panel1);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setAutoDefault(false);

  auto* panelRow = new QHBoxLayout(Panel1);
  panelRow->setContentsMargins(scaled(8, dpi), scaled(6, dpi), scaled(8, dpi), scaled(6, dpi));
  panelRow->addWidget(BtnClear);
  panelRow->addStretch();
  panelRow->addWidget(Button1);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  outer->addWidget(ListBox1, 1);
  outer->addWidget(Panel1);

  resize(scaled(kDesignWidth, dpi), scaled(kDesignHeight, dpi));

  connect(BtnClear, &QPushButton::clicked, this, &TFrmList::BtnClearClick);
  connect(Button1, &QPushButton::clicked, this, &TFrmList::Button1Click);
}

void TFrmList::SetList(const QStringList& lines, bool manualList) {
  manualList_ = manualList;
  ListBox1->clear();
  ListBox1->addItems(lines);
  BtnClear->setVisible(manualList);
}

void TFrmList::BtnClearClick() {
  if (!manualList_) return;
  if (ClearManualList) ClearManualList();
  ListBox1->clear();
  redraw();
}

void TFrmList::ListBox1DeleteKey() {
  if (!manualList_) return;
  const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
  if (selected.isEmpty()) return;
  const int i = ListBox1->row(selected.constFirst());
  if (i < 0) return;
  if (DeleteManualList) DeleteManualList(i);
  delete ListBox1->takeItem(i);
  // The selection goes with the deleted line; another Delete needs a new choice.
  ListBox1->clearSelection();
  ListBox1->setCurrentRow(-1);
  redraw();
}

void TFrmList::Button1Click() { accept(); }

bool TFrmList::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListBox1 && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    ListBox1DeleteKey();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFrmList::redraw() {
  if (DrawGraphics) DrawGraphics();
}

void ShowListDialog(TFrmList& dialog, const QStringList& lines, bool manualList) {
  dialog.SetList(lines, manualList);
  dialog.exec();
}

}  // namespace zubira
