#pragma once
// TFrmPageStr: the page-string dialog. It edits one page string at a time (header, footer, title,
// subtitle, the worksheet's date line): its text, position mode, free position, font face and
// size, bold and italic. One instance is created at start-up and reused; every use fills it from
// the page string first (SetStrSet) and copies it back only on OK (GetStrSet).

#include "drawing/canvas.h"
#include "drawing/page_str.h"
#include "platform/edit_focus.h"

#include <QDialog>
#include <QString>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zubira {

// A free-position text as the X= and Y= boxes accept it: a number (optional leading blanks, an
// optional sign, decimal digits with an optional "." fraction and an optional exponent) that is
// not below 0. An empty text is not accepted.
bool isPageStrCoordinate(const QString& text);

class TFrmPageStr : public QDialog {
  Q_OBJECT
 public:
  explicit TFrmPageStr(QWidget* parent = nullptr);

  // Copies `cPageStr` into the dialog: the font first, then the text, the style boxes, the
  // position and the free position.
  void SetStrSet(const TPageStr& cPageStr);
  // Copies the dialog into `vPageStr`; its drawn mark is not touched.
  void GetStrSet(TPageStr& vPageStr) const;

  // "フォント(&F)": the font dialog on StrFont; on OK StrFont becomes the chosen font and the
  // style boxes follow it.
  void Button1Click();
  // The style boxes add their style to StrFont or take it away; the other styles stay.
  void CheckBox1Click();
  void CheckBox2Click();
  // Entering a coordinate box remembers its text; leaving it with a text that is not a
  // non-negative number puts the remembered text back, without a message.
  void EdtXEnter();
  bool EdtXExit();
  void EdtYEnter();
  bool EdtYExit();
  // "&OK" and "&Cancel" close the dialog with their result. OK reached by Enter leaves the focus
  // in a coordinate box: that box is left (and checked) first, so a refused text is never taken.
  void Button2Click();
  void Button3Click();

  QLabel* Label1;
  QLineEdit* Edit1;
  QLabel* Label2;
  QComboBox* ComboBox1;
  QGroupBox* GroupBox1;
  QCheckBox* CheckBox1;
  QCheckBox* CheckBox2;
  QGroupBox* GroupBox2;
  QLabel* Label3;
  QLineEdit* EdtX;
  QLabel* Label4;
  QLineEdit* EdtY;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;

  CanvasFont StrFont;  // the font being edited
  QString Strtmp;      // the text of EdtX or EdtY when it was entered

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool coordinateExit(QLineEdit* edit);

  EditFocusWatcher focus_;
};

// The preview's page strings that the dialog edits, and the dialog's caption for each.
enum class PageStrKind { Header, Footer, PageTitle, SubTitle };
QString pageStrCaption(PageStrKind kind);
// The caption for the worksheet's date line.
QString dateLineCaption();

// One use of the dialog: the caption, SetStrSet(ps), the modal dialog; on OK the menu item (if
// any) gets its check mark when the text is not empty (an empty text leaves it as it was), then
// GetStrSet(ps). On any other result `ps` and the menu item stay as they were. Returns whether
// the dialog was closed with OK.
bool runPageStrDialog(TFrmPageStr& dialog, TPageStr& ps, const QString& caption,
                      QAction* menuItemToCheck);
// Set_SetOfHeader and its three siblings: one of the preview's page strings with its caption.
bool runPageStrDialog(TFrmPageStr& dialog, TPageStr& ps, PageStrKind kind, QAction* menuItem);
// The date line: caption "日付の設定", no menu item.
bool runDateLineDialog(TFrmPageStr& dialog, TPageStr& dateLine);

}  // namespace zubira
