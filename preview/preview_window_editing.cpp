// The preview window's hooks for managing the command lists, editing the manual list and the
// page-string dialog. Each menu item is connected to its hook when the window is made; here they
// do nothing yet, apart from "更新(&U)", which redraws the manual list.

#include "preview/preview_window.h"

namespace zubira {

// "更新(&U)": the manual list's pictures, then a redraw; the list file is not read again.
void TFrmPrev::Update1Click() { PrevUpDateManual(); }

// "読込リスト(&R)", "入力リスト(&I)", "自動リスト(&A)": the list review dialog on a copy of the list.
void TFrmPrev::onListReview(int /*list*/) {}

// "入力リスト保存(&L)", and Yes to the question when the window is closed with a manual list.
void TFrmPrev::SaveList() {}

// "入力リスト破棄(&D)".
void TFrmPrev::D1Click() {}

// "文字(&M)", "ペン色(&C)", "ペン幅(&W)", "初期値(&D)", "コマンド入力(&I)": lines for the manual list.
void TFrmPrev::Font2Click() {}
void TFrmPrev::C3Click() {}
void TFrmPrev::W1Click() {}
void TFrmPrev::D2Click() {}
void TFrmPrev::I2Click() {}

// "文字入力(&E)": its check mark has already toggled.
void TFrmPrev::E1Click() {}

// The page-string dialog on one of the four page strings; true when it was closed with OK.
bool TFrmPrev::Set_SetOfHeader() { return false; }
bool TFrmPrev::Set_SetOfFooter() { return false; }
bool TFrmPrev::Set_SetOfPageTitle() { return false; }
bool TFrmPrev::Set_SetOfSubTitle() { return false; }

// Closing through the window frame; false keeps the window open.
bool TFrmPrev::FormCloseQuery() { return true; }

// A mouse button released on the 1:1 page image, at `position` in its pixels.
void TFrmPrev::Image1MouseUp(Qt::MouseButton /*button*/, QPoint /*position*/) {}

// A key pressed in the text-input box; true when it is taken.
bool TFrmPrev::EdtInputKeyDown(QKeyEvent* /*event*/) { return false; }

}  // namespace zubira
