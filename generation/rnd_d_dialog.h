#pragma once
// TFrmRndD: "乱数の振り方", the small tool window in which the user sets the distribution
// parameter D of the operand draws (`rnd_D`). Created once and reused; the main window's menu
// command "乱数の振り方(&R)" is R1Click below.

#include "platform/edit_focus.h"

#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zubira {

// D as the edit box reads it: an integer in the syntax of the range edits, blanks around it
// allowed.
std::optional<int32_t> parseRndDText(const QString& text);

class TFrmRndD : public QDialog {
  Q_OBJECT
 public:
  explicit TFrmRndD(QWidget* parent = nullptr);

  // Puts D into the edit box as decimal text.
  void SetD(int32_t rnd_D);
  // D after the dialog ended: on OK the edit box's integer, or 0 when it holds none (0 is the
  // uniform draw); on Cancel `rnd_D` unchanged.
  int32_t TakeD(int32_t rnd_D, bool accepted) const;

  // Entering EdtD remembers its text; leaving it with a text that is not an integer puts the
  // remembered text back without a message.
  void EdtDEnter();
  bool EdtDExit();
  // "&Help": the help page of this dialog in the browser.
  void Button1Click();

  QLabel* Label1;  // what D is about
  QLabel* Label2;  // "パラメーターＤの値"
  QLineEdit* EdtD;
  QLabel* Label3;  // "（整数）"
  QLabel* Label4;  // zero
  QLabel* Label5;  // positive
  QLabel* Label6;  // negative
  QPushButton* BtnOK;
  QPushButton* BtnCancel;
  QPushButton* Button1;

  QString StrTmp;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  EditFocusWatcher focus_;
};

// "乱数の振り方(&R)": shows `dialog` modally on `rnd_D` and returns the new D.
int32_t R1Click(TFrmRndD& dialog, int32_t rnd_D);

}  // namespace zubira
