#pragma once
// TFrmMix: the dialog "まとめプリント" for sheets that mix kinds. A table of sections, each a preset
// (a built-in one, one of the user's, or "現在の設定", the main window's settings) and a number of
// problems; the total against the main window's grid; the order, as listed or shuffled. 作成 makes
// a set; 問題, 答え and 解き方 show its sheets in the preview, composed as any sheet with the main
// window's page and grid, each problem drawn with its own kind and options. "PDFに保存" and "印刷"
// put out a number of sets as class sets are, the set shown first. The set lives here and in the
// preview: the main window's lists keep their one kind.

#include "generation/mixed_set.h"
#include "generation/problem_generator.h"
#include "worksheet/class_set_runner.h"

#include <QDialog>
#include <QStringList>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace zubira {

class PresetMenu;
class PreviewHost;
class TForm1;
class TPageStr;
struct MainSettings;

class TFrmMix : public QDialog, private GeneratorHooks {
  Q_OBJECT
 public:
  // The window's settings are read when a set is made or shown, never changed.
  TFrmMix(TForm1* window, PreviewHost* preview, const MainSettings& settings, const GenerationSettings& gen,
          const TPageStr& DateTime, PresetMenu* presets, RandomSource* random);
  ~TFrmMix() override;

  // The caption of the first choice of each row: the main window's settings when the set is made.
  static QString CurrentSettingsCaption();  // "現在の設定"

  // ---- Handlers --------------------------------------------------------------------------------
  void BtnMixAddClick();
  void BtnMixRemoveClick();
  void BtnMixUpClick();
  void BtnMixDownClick();
  void BtnMixMakeClick();      // 作成: a new set, its problem sheet shown
  void BtnMixProblemsClick();  // 問題
  void BtnMixAnswersClick();   // 答え
  void BtnMixKeyClick();       // 解き方
  void BtnMixPdfClick();       // PDFに保存: SpnMixSets sets into one PDF
  void BtnMixPrintClick();     // 印刷: each sheet of each set as a print job

  // ---- State -----------------------------------------------------------------------------------
  // The rows as a mixed set (現在の設定 taken from the window now); nothing, after a message,
  // when the window's settings are refused.
  std::optional<MixedSet> mixOfTable();
  // The set made last (empty before the first), and whether the table changed since.
  const ProblemSet& problems() const { return problems_; }
  bool stale() const { return stale_; }
  int total() const;
  // Adds a row choosing the preset of `choice` (an index of the choices, 0 for 現在の設定).
  void addRow(int choice, int count);
  QStringList choices() const;

  // ---- Controls --------------------------------------------------------------------------------
  QTableWidget* TblMix;
  QPushButton* BtnMixAdd;
  QPushButton* BtnMixRemove;
  QPushButton* BtnMixUp;
  QPushButton* BtnMixDown;
  QLabel* LblMixTotal;
  QRadioButton* RbMixInOrder;
  QRadioButton* RbMixShuffle;
  QPushButton* BtnMixMake;
  QPushButton* BtnMixProblems;
  QPushButton* BtnMixAnswers;
  QPushButton* BtnMixKey;
  QSpinBox* SpnMixSets;
  QCheckBox* ChkMixAnswers;
  QCheckBox* ChkMixKey;
  QPushButton* BtnMixPdf;
  QPushButton* BtnMixPrint;
  QLabel* LblMixStatus;
  QPushButton* BtnMixClose;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Choice {
    QString label;
    std::optional<Preset> preset;  // nothing: 現在の設定
  };
  void buildControls();
  // Reads the presets again (the user's may have changed) and renews every row's list, keeping
  // each row's choice where it still exists.
  void refreshChoices();
  void setRowChoices(int row, const QString& keep);
  void moveRow(int from, int to);
  void changed();
  void updateTotal();
  bool makeSet();
  void showSheet(int sheetKind);
  // The class sets of the table, the set shown in the preview first; false when the table was
  // refused.
  bool prepareSets(ClassSetPlan* plan);
  // The window's settings as sheets of `problems` use them: a subtitle that names the window's
  // kind names theirs.
  MainSettings sheetSettings(const ProblemSet& problems) const;
  void message(const QString& text);

  // GeneratorHooks
  void SetStatusText(const QString& text) override;
  void ProcessEvents() override;
  bool AskYesNo(const QString& question) override;

  TForm1* window_;
  PreviewHost* preview_;
  const MainSettings& settings_;
  const GenerationSettings& gen_;
  const TPageStr& dateTime_;
  PresetMenu* presets_;
  RandomSource* random_;
  std::vector<Choice> choices_;
  ProblemSet problems_;
  bool stale_ = true;
  bool busy_ = false;
  ClassSetRunner runner_{this};
};

}  // namespace zubira
