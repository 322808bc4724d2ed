#pragma once
// TFrmList: "リストの確認", the dialog in which the preview shows one of its command lists, one
// item per line. It shows a copy: nothing in it changes a list, except that for the manual list
// the user may clear it ("消去(&A)") or delete the selected line (the Delete key); both go through
// the preview's own operations, which the window hands in as callbacks, and redraw the page.

#include <QDialog>
#include <QStringList>
#include <functional>

class QFrame;
class QListWidget;
class QPushButton;

namespace zubira {

class TFrmList : public QDialog {
  Q_OBJECT
 public:
  // Laid out for 120 pixels per inch and scaled to `screenDpi` (the primary screen's logical
  // resolution when 0 or less).
  explicit TFrmList(QWidget* parent = nullptr, int screenDpi = 0);

  // The preview's operations on its manual list, set by the window.
  std::function<void()> ClearManualList;
  std::function<void(int idx)> DeleteManualList;
  std::function<void()> DrawGraphics;

  // Fills ListBox1 with `lines`; "消去(&A)" and the Delete key work only for the manual list.
  void SetList(const QStringList& lines, bool manualList);
  bool showsManualList() const { return manualList_; }

  // "消去(&A)": the manual list emptied, the list box emptied, the page redrawn.
  void BtnClearClick();
  // The Delete key on the selected line i of the manual list: that line deleted from the list
  // and from the list box, the page redrawn. Nothing without a selection or for another list.
  void ListBox1DeleteKey();
  // "閉じる(&C)".
  void Button1Click();

  QListWidget* ListBox1;
  QFrame* Panel1;
  QPushButton* BtnClear;
  QPushButton* Button1;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void redraw();

  bool manualList_ = false;
};

// The review dialog for one list ("読込リスト(&R)", "入力リスト(&I)", "自動リスト(&A)"): a copy of
// `lines` in the list box, the clear button only for the manual list, shown modally until closed.
void ShowListDialog(TFrmList& dialog, const QStringList& lines, bool manualList);

}  // namespace zubira
