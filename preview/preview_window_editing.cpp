// The preview window's list management, the editing of the manual list and the page-string
// items. Each menu item is connected to its hook when the window is made (preview_window.cpp);
// the rules that need no window (the lines appended, the list file written) are manual_list's.

#include "platform/dialogs.h"
#include "preview/list_dialog.h"
#include "preview/manual_list.h"
#include "preview/page_image_view.h"
#include "preview/page_str_dialog.h"
#include "preview/preview_window.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>

namespace zubira {

namespace {

QString discardQuestion() { return QStringLiteral("入力リストを破棄してもいいですか"); }
QString closeQuestion() { return QStringLiteral("Save data?"); }

QString commandInputCaption() { return QStringLiteral("コマンド入力"); }
QString commandInputPrompt() { return QStringLiteral("挿入するコマンド列を入力して下さい"); }
QString commandInputPreset() { return QStringLiteral("追加するコマンド"); }

QString penWidthCaption() { return QStringLiteral("Change Pen Width"); }
QString penWidthPrompt() { return QStringLiteral("New pen width"); }

}  // namespace

// The window's own font ("ＭＳ Ｐ明朝", 12 pixels, which is 9 points on a 96 dpi screen), black
// and without style: what "文字(&M)" compares the first choice with.
CanvasFont TFrmPrev::defaultRememberedFont() {
  CanvasFont f;
  f.name = QStringLiteral("ＭＳ Ｐ明朝");
  f.size = 9;
  f.color = 0;
  return f;
}

// ---- The lists ---------------------------------------------------------------------------------

// "更新(&U)": the manual list's pictures, then a redraw; the list file is not read again.
void TFrmPrev::Update1Click() { PrevUpDateManual(); }

void TFrmPrev::ClearManualList() { model_->ListByManual().clear(); }

void TFrmPrev::DeleteManualList(int idx) {
  QStringList& manual = model_->ListByManual();
  // A line that is not there (the list changed behind the dialog) deletes nothing.
  if (idx < 0 || idx >= manual.size()) return;
  manual.removeAt(idx);
}

// "読込リスト(&R)", "入力リスト(&I)", "自動リスト(&A)": the list review dialog on a copy of the list.
// Only the manual list can be cleared or have lines deleted there, through this window, and the
// page is then redrawn from the lists as they are (pictures are not loaded again).
void TFrmPrev::onListReview(int list) {
  if (!listDialog_) return;
  const bool manual = list == PageModel::ListManual;
  listDialog_->ClearManualList = [this] { ClearManualList(); };
  listDialog_->DeleteManualList = [this](int idx) { DeleteManualList(idx); };
  listDialog_->DrawGraphics = [this] { DrawGraphics(); };
  ShowListDialog(*listDialog_, model_->list(list), manual);
}

// "入力リスト保存(&L)", and Yes to the question when the window is closed with a manual list.
void TFrmPrev::SaveList() {
  lastSaveFailed_ =
      zubira::SaveList(this, model_->ListByManual()).outcome == SaveListOutcome::Failed;
}

// "入力リスト破棄(&D)".
void TFrmPrev::D1Click() {
  if (!dialogs().askYesNo(this, messageCaption(), discardQuestion())) return;
  ClearManualList();
  PrevUpDateManual();
}

// Closing through the window frame; false keeps the window open. A list that could not be
// written keeps the window open too: the next show would empty the list, and the user has just
// been told that it is not on disk.
bool TFrmPrev::FormCloseQuery() {
  if (ErrorNum_ >= 0 || model_->ListByManual().isEmpty()) return true;
  switch (dialogs().askYesNoCancel(this, messageCaption(), closeQuestion())) {
    case Answer::Yes:
      lastSaveFailed_ = false;
      SaveList();
      return !lastSaveFailed_;
    case Answer::No:
      return true;
    case Answer::Cancel:
      break;
  }
  return false;
}

// ---- Lines for the manual list -----------------------------------------------------------------

// "文字(&M)": the font dialog on the remembered font; the lines that turn it into the chosen one.
// Only the name and the size are remembered. No redraw.
void TFrmPrev::Font2Click() {
  const std::optional<FontChoice> chosen =
      dialogs().chooseFont(this, canvasFontChoice(rememberedFont_));
  if (!chosen) return;
  const CanvasFont font = canvasFontFromChoice(*chosen, rememberedFont_);
  model_->ListByManual() << fontCommandLines(rememberedFont_, font);
}

// "ペン色(&C)": the colour dialog, which opens on the colour last chosen in it. No redraw.
void TFrmPrev::C3Click() {
  const std::optional<QColor> color = dialogs().chooseColor(this, penDialogColor_);
  if (!color || !color->isValid()) return;
  penDialogColor_ = *color;
  model_->ListByManual() << penColorLine(toTColor(*color));
}

// "ペン幅(&W)": a whole number above 0 appends its line; anything else is ignored silently.
void TFrmPrev::W1Click() {
  const std::optional<QString> text =
      dialogs().inputText(this, penWidthCaption(), penWidthPrompt(), QString());
  if (!text) return;
  if (const std::optional<QString> line = penWidthLine(*text)) model_->ListByManual() << *line;
}

// "初期値(&D)": INITPARAM, and the page image's canvas takes that drawing state at once (the text
// box for typing onto the page takes its font from there). No redraw.
void TFrmPrev::D2Click() {
  model_->ListByManual() << initParamLine();
  setInitialDrawingState(model_->screenCanvas());
}

// "コマンド入力(&I)": the text as one line, unchecked, then a redraw.
void TFrmPrev::I2Click() {
  const std::optional<QString> text = dialogs().inputText(
      this, commandInputCaption(), commandInputPrompt(), commandInputPreset());
  if (!text) return;
  model_->ListByManual() << *text;
  PrevUpDateManual();
}

// ---- Text typed onto the page ------------------------------------------------------------------

// "文字入力(&E)": its check mark has already toggled, and that is all it does.
void TFrmPrev::E1Click() {}

// A mouse button released on the 1:1 page image, at `position` in its pixels. In text-input mode
// the box appears there, in the page image's font; it lies on the same page area as Image1, so
// it stays over that point of the page however the view is scrolled. The focus is not moved.
void TFrmPrev::Image1MouseUp(Qt::MouseButton /*button*/, QPoint position) {
  if (!E1->isChecked() || PageView() != 1 || Image1->isHidden()) return;
  const Canvas& canvas = model_->screenCanvas();
  EdtInput->setFont(canvas.qtFont(canvas.font));
  EdtInput->resize(EdtInput->width(), textInputBoxHeight(canvas.fontHeight()));
  EdtInput->move(Image1->mapTo(EdtInput->parentWidget(), position));
  EdtInput->show();
  EdtInput->raise();
}

// The box's top-left corner in pixels of the 1:1 page image.
QPoint TFrmPrev::textInputPagePosition() const {
  return Image1->mapFrom(EdtInput->parentWidget(), EdtInput->pos());
}

// A key pressed in the text-input box; true when it is taken. Enter appends the text at the box's
// place on the page, in whole drawing units, and redraws; Escape only hides the box.
bool TFrmPrev::EdtInputKeyDown(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      const QPoint at = textInputPagePosition();
      const std::optional<QString> line =
          textInputLine(at.x(), at.y(), EdtInput->text(), model_->UnitType(),
                        model_->PrinterResX(), model_->PrinterResY(), model_->MonitorRes());
      EdtInput->hide();
      // Without the resolutions there is no drawing unit to put the text in.
      if (!line) return true;
      model_->ListByManual() << *line;
      DrawGraphics();
      return true;
    }
    case Qt::Key_Escape:
      EdtInput->hide();
      return true;
    default:
      return false;
  }
}

// ---- Page strings ------------------------------------------------------------------------------

// The page-string dialog on one of the four page strings; true when it was closed with OK. On OK
// a text checks the menu item (nothing unchecks it); the page is not redrawn.
bool TFrmPrev::Set_SetOfHeader() {
  if (!pageStrDialog_) return false;
  return runPageStrDialog(*pageStrDialog_, model_->Header, PageStrKind::Header, H1);
}

bool TFrmPrev::Set_SetOfFooter() {
  if (!pageStrDialog_) return false;
  return runPageStrDialog(*pageStrDialog_, model_->Footer, PageStrKind::Footer, F1);
}

bool TFrmPrev::Set_SetOfPageTitle() {
  if (!pageStrDialog_) return false;
  return runPageStrDialog(*pageStrDialog_, model_->PageTitle, PageStrKind::PageTitle, T1);
}

bool TFrmPrev::Set_SetOfSubTitle() {
  if (!pageStrDialog_) return false;
  return runPageStrDialog(*pageStrDialog_, model_->SubTitle, PageStrKind::SubTitle, S1);
}

}  // namespace zubira
