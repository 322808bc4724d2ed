#pragma once
// TFrmStyle: "スタイル", the tool window in which the user sets the layout of the worksheet: the
// problem grid and font, the problem-number format and the gap after the number, where the
// answers are printed, the page margins and the frame. It works on the main window's fields
// through setSettings(): every showing loads all controls from them, and only OK stores into them.
//
// Each edit box is checked when it is left (the checks below); a refused text is replaced by the
// text the edit box had when it was entered. An edit box left with the text it had when entered
// is not checked again: it holds either the loaded value or a value already accepted. (A top
// margin raised by a composition may be above 60; it can be kept, and the box cannot trap the
// focus over it.)
//
// OK reached without leaving the edit box (Enter, Alt+O) first checks that edit box as if it had
// been left; when the check refuses the text, the text is restored and the dialog stays open, so
// that what is stored is always what the checks accepted. A grid text that is not a whole number
// passes the grid checks as 10 rows or 1 column; the edit box then shows that count, which is
// what OK stores.

#include "platform/dialogs.h"
#include "platform/edit_focus.h"
#include "worksheet/main_settings.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zubira {


class TFrmStyle : public QDialog {
  Q_OBJECT
 public:
  explicit TFrmStyle(QWidget* parent = nullptr);

  // The main window's fields the dialog edits (kept, not owned). Without them the dialog shows
  // the defaults and OK stores nothing.
  void setSettings(MainSettings* main, GenerationSettings* gen);

  // Loads every control from the fields; runs at every showing.
  void FormShow();
  // "フォント": the font dialog on the working copy FontExam.
  void Button3Click();
  // "&OK": stores every control into the fields, in a fixed order, and closes with OK.
  void BtnOKClick();
  // "&Help": the program's help page in the browser.
  void Button1Click();

  // The enter handlers remember the text; the exit handlers check it and return whether the
  // text was accepted.
  void EdtRowEnter();
  bool EdtRowExit();
  void EdtColEnter();
  bool EdtColExit();
  void EdtTopPEnter(QLineEdit* sender);  // shared by the four margin edits
  bool EdtTopPExit(QLineEdit* sender);
  void EdtSeparateEnter();
  bool EdtSeparateExit();

  QGroupBox* GrpExam;     // "問題"
  QLineEdit* EdtRow;
  QLineEdit* EdtCol;
  QPushButton* Button3;   // "フォント"
  QGroupBox* GrpNumber;   // "問題番号の形式"
  QLineEdit* EdtLeft;
  QLineEdit* EdtRight;
  QCheckBox* CBoxExam;    // "描画する"
  QLineEdit* EdtSeparate;
  QGroupBox* GrpAnswer;   // "答えの印刷"
  QRadioButton* RButton1; // "別に印刷"
  QRadioButton* RButton2; // "共に印刷"
  QGroupBox* GrpMargin;   // "余白"
  QLineEdit* EdtTopP;
  QLineEdit* EdtLeftP;
  QLineEdit* EdtRightP;
  QLineEdit* EdtBottomP;
  QCheckBox* CBoxFrame;   // "枠"
  QPushButton* BtnOK;
  QPushButton* BtnCancel;
  QPushButton* Button1;   // "&Help"

  ExamFont FontExam;  // the working copy of the problem font
  QString EdtTmp;     // the text of the edit box last entered

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* addLabel(QWidget* parent, const char* name, const QString& text);
  QLineEdit* addEdit(QWidget* parent, const char* name);

  MainSettings* main_ = nullptr;
  GenerationSettings* gen_ = nullptr;
  EditFocusWatcher focus_;
};

}  // namespace zubira
