#pragma once
// TForm1: the main window "分数の加減乗除". The user picks a problem kind on the tab strip, sets
// the grid, the operand ranges, signs and random flags, presses Make to fill the three problem
// lists, and Problems, Answers or the worked key (解き方) to compose a sheet in the preview. The
// page captions, the date line, the name heading and the generation options are edited here too;
// the layout lives in the style dialog.
//
// The window is the generator's host: it hands it the sign choices and random flags at every
// attempt, shows its status texts and answers its exhaustion question through the dialog seam.
// Settings are read when the window is first shown and written when it is hidden (main
// settings and the problem it was set to) and destroyed (the date line), nothing in between.
//
// An open preview follows the lists: when they are made, cleared or edited it composes the sheet
// it shows again (window_sheets). The subtitle follows the kind while it is the kind's own.

#include "drawing/page_str.h"
#include "generation/problem_generator.h"
#include "generation/range_check.h"
#include "generation/self_test.h"
#include "platform/edit_focus.h"
#include "worksheet/main_settings.h"
#include "worksheet/problem_settings.h"
#include "worksheet/preview_host.h"
#include "worksheet/typesetter.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <array>
#include <memory>

class QAction;
class QActionGroup;
class QMenu;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;

namespace zubira {


class PresetMenu;
class PromotionPanel;
class TAboutBox;
class TFrmMix;
class TFrmRndD;
class TFrmStyle;
class FrmVersions;
class WindowSheets;

class TForm1 : public QMainWindow, private GeneratorHooks {
  Q_OBJECT
 public:
  // FormCreate: seeds the random source, reads the date line's page string from `settingsPath`,
  // resets the fields to their defaults. `random` replaces the process-wide source (tests).
  explicit TForm1(const QString& settingsPath, RandomSource* random = nullptr, QWidget* parent = nullptr);
  ~TForm1() override;

  // The other windows, created after this one.
  void setPreview(PreviewHost* preview);
  void setRndDialog(TFrmRndD* d) { rndDialog_ = d; }
  void setStyleDialog(TFrmStyle* d) { styleDialog_ = d; }
  void setAboutBox(TAboutBox* a) { aboutBox_ = a; }
  PromotionPanel* promotionPanel() const { return promotion_; }

  // FormShow runs at the first showing; FormHide writes the main settings and FormDestroy the
  // date line. Both return an empty text, or why the settings file could not be written.
  QString FormHide();
  QString FormDestroy();
  bool wasShown() const { return shown_; }

  // ---- Handlers --------------------------------------------------------------------------------
  void TabControl1Change(int index);
  void BtnMakeClick();
  void BtnClearClick();
  void MakeProblems();
  void Button1Click();  // 問題
  void Button2Click();  // 答え
  void Button3Click();  // 解き方
  void ComposeWorksheet(int sheetKind);
  void EdtMin1iEnter(QLineEdit* edit);
  bool EdtMin1iExit(QLineEdit* edit);
  void EdtRowEnter();
  bool EdtRowExit();
  void EdtColEnter();
  bool EdtColExit();
  void RA1Click();
  void RB1Click();
  void RC1Click();
  void E1Click();
  void R1Click();
  void BtnTitleClick();
  void BtnSubTitleClick();
  void BtnHeaderClick();
  void BtnFooterClick();
  void D1Click();
  void N5Click();
  void Style1Click();
  void S1Click();
  void Print1Click();
  // クラス用の複数セット: the class-set dialog on the current settings and conditions.
  void SaveVersionsClick();
  void MixSheetClick();  // まとめプリント
  void SavePdf1Click();
  void Exit1Click();
  void A1Click();
  void HelpLocalClick();  // 使い方: the local manual
  void Help2Click();
  void StBarInfClick();
  void Label7Click();
  void LblInfClick();
  void Timer1Timer();

  // ---- State -----------------------------------------------------------------------------------
  GenerationSettings gen;
  MainSettings settings;
  TPageStr DateTime;
  Typesetter* typesetter();  // holds CurFont; null before a preview
  SelfTestState selfTest;
  QString EdtTmp;
  std::array<int64_t, 3>& vargS() { return generator_.vargS; }
  std::array<int64_t, 9>& vargV() { return generator_.vargV; }

  // ---- Controls --------------------------------------------------------------------------------
  QTabBar* TabControl1;
  QGroupBox* GrpProblem;
  QLineEdit* EdtRow;
  QLineEdit* EdtCol;
  QLineEdit* EdtTotal;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* LblKigou;
  QWidget* PnlInt;
  QWidget* PnlSec;
  QLabel* Lblsgn;
  QComboBox* Combo1;
  QComboBox* Combo2;
  std::array<QLineEdit*, RangeEditCount> rangeEdits{};
  QCheckBox* CBox1;
  QCheckBox* CBox2;
  QPushButton* BtnMake;
  QPushButton* BtnClear;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label7;
  QPlainTextEdit* Memo1;
  QPlainTextEdit* Memo2;
  QPlainTextEdit* Memo3;
  QLineEdit* EdtPageTitle;
  QLineEdit* EdtSubTitle;
  QLineEdit* EdtHeader;
  QLineEdit* EdtFooter;
  QPushButton* BtnTitle;
  QPushButton* BtnSubTitle;
  QPushButton* BtnHeader;
  QPushButton* BtnFooter;
  QLabel* LblInf;
  QWidget* Panel1;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;
  QLabel* StPanel0;  // "Information"
  QLabel* StPanel1;  // the hints
  QTimer Timer1;
  // Menu items.
  QAction* Style1;
  QAction* S1;
  QAction* Print1;
  QAction* SaveVersions;
  QAction* MixSheet;
  QAction* SavePdf1;
  QAction* Exit1;
  QAction* Make1;  // 作成 from the keyboard (Ctrl+Return); in no menu
  QAction* D1;
  QAction* N5;
  QAction* RA1;
  QAction* RB1;
  QAction* RC1;
  QAction* E1;
  QAction* Z1;
  QAction* O2;
  QAction* T1;
  QAction* K1;
  QAction* I1;
  QAction* R1;
  // "問題の条件(&J)": the lesson conditions, three exclusive items each (any, yes, no), and the
  // form of the operands' fractions (any, proper only).
  std::array<QAction*, 3> LessonDenom{};
  std::array<QAction*, 3> LessonReduce{};
  std::array<QAction*, 3> LessonRegroup{};
  std::array<QAction*, 3> LessonCancel{};
  std::array<QAction*, 2> LessonForm{};
  QAction* HelpLocal;
  QAction* Help2;
  QAction* A1;

  QLineEdit* rangeEdit(RangeEdit e) const { return rangeEdits[size_t(e)]; }
  RangeTexts rangeTexts() const;
  ProblemKind kind() const;
  PresetMenu* presetMenu() const { return presetMenu_; }
  TFrmMix* mixDialog() const { return mixDialog_; }
  // Checks an edit box that still holds text never checked (a keyboard accelerator or a menu
  // reached from it), as leaving it would; false when it was refused.
  bool commitEditing();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormShow();
  void buildControls();
  void buildMenus();
  void buildLessonMenu(QMenu* menu);
  void updateLessonMenu();
  void DisplayHint(const QString& hint);
  void setMemos(const ProblemLists& lists);
  void readProblem();
  ProblemSettings problem() const;
  void pageStringButton(PageStringId which, QLineEdit* edit, QString* field);
  void showGrid();
  void message(const QString& text);

  // GeneratorHooks
  OperandChoices ReadOperandChoices() override;
  void SetStatusText(const QString& text) override;
  void ProcessEvents() override;
  bool SelfTestLabelVisible() override;
  bool SelfTestTimerRunning() override;
  void SetSelfTestCaption(const QString& text) override;
  bool AskYesNo(const QString& question) override;

  QString settingsPath_;
  RandomSource* random_;
  ProblemGenerator generator_;
  PreviewHost* preview_ = nullptr;
  std::unique_ptr<WindowSheets> sheets_;
  // The kind whose captions are shown, and whether a kind is being set from the settings file
  // (the subtitle read with it stays as it is).
  ProblemKind shownKind_ = pkAdd;
  bool readingProblem_ = false;
  TFrmRndD* rndDialog_ = nullptr;
  TFrmStyle* styleDialog_ = nullptr;
  TAboutBox* aboutBox_ = nullptr;
  FrmVersions* versionsDialog_ = nullptr;  // made at its first use, kept for its choices
  PromotionPanel* promotion_ = nullptr;
  PresetMenu* presetMenu_ = nullptr;
  TFrmMix* mixDialog_ = nullptr;
  QActionGroup* rangeGroup_ = nullptr;
  EditFocusWatcher focus_;
  bool shown_ = false;
  QString lastKigou_;
};

}  // namespace zubira
