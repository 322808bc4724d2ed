// The menu プリセット and the dialog まとめプリント through the real main window.

#include "worksheet/main_window.h"

#include "drawing/page_model.h"
#include "generation/preset.h"
#include "platform/ini_file.h"
#include "window_fixture.h"
#include "local_http_server.h"
#include "pdf_words.h"
#include "tests/generation/preset_oracle.h"
#include "tests/support/scripted_dialogs.h"
#include "worksheet/mix_dialog.h"
#include "worksheet/preset_menu.h"
#include "worksheet/preview_host.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace zubira {
namespace {

using testing::ScriptedDialogs;

class PresetWindowTest : public testing::WindowTest {
 protected:
  PresetWindowTest() : WindowTest(9) {}
  // As the window's own, with the window made active first (a dialog may be).
  void typeAndLeave(const char* name, const QString& text, const char* next) {
    activate();
    WindowTest::typeAndLeave(name, text, next);
  }
  QString userFile(const QString& name) { return dir.filePath("presets/" + name); }
  QStringList memoLines(QPlainTextEdit* memo) { return memo->toPlainText().split(u'\n', Qt::SkipEmptyParts); }
  void writeFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  }
};

TEST_F(PresetWindowTest, TheMenuStandsBetweenOptionsAndHelpWithAGradeSubmenuEach) {
  QStringList menus;
  for (QAction* a : w->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, QStringList({"ファイル(&F)", "オプション(&O)", "プリセット(&T)", "ヘルプ(&H)"}));
  QMenu* presets = w->presetMenu()->menu();
  QStringList items;
  for (QAction* a : presets->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(items, QStringList({"4年", "5年", "6年", "中1", "-", "-", "現在の設定を保存(&S)...",
                                "プリセットを開く(&O)...", "プリセットのフォルダを開く(&F)"}));
  // Every built-in preset, named after its file, in its grade's submenu, with the grade first.
  for (const testing::Promise& p : testing::builtInPromises()) {
    QAction* a = action(QStringLiteral("Preset_") + QString::fromLatin1(p.id).replace(u'-', u'_'));
    ASSERT_TRUE(a) << p.id;
    const QMenu* in = qobject_cast<QMenu*>(a->parent());
    ASSERT_TRUE(in);
    EXPECT_TRUE(a->text().startsWith(in->title() + u' ')) << a->text().toStdString();
  }
  EXPECT_EQ(action("Preset_g5_diff_add")->text(), QStringLiteral("5年 ちがう分母のたし算"));
  EXPECT_EQ(action("MixSheet")->text(), QStringLiteral("まとめプリント(&U)..."));
}

TEST_F(PresetWindowTest, ChoosingAPresetSetsTheWindowAsIfTypedAndMakesWhatItPromises) {
  w->LessonCancel[1]->trigger();  // a condition of another tab, set before
  action("Preset_g4_mixed_sub")->trigger();
  EXPECT_EQ(w->TabControl1->currentIndex(), 1);
  EXPECT_EQ(w->Label1->text(), QStringLiteral("引かれる数"));
  const char* texts[] = {"2", "6", "1", "8", "2", "9", "1", "4", "1", "8", "2", "9"};
  for (int k = 0; k < RangeEditCount; ++k) EXPECT_EQ(w->rangeEdits[size_t(k)]->text(), QLatin1String(texts[k])) << k;
  EXPECT_EQ(w->Combo1->currentIndex(), 0);
  EXPECT_TRUE(w->CBox1->isChecked() && w->CBox2->isChecked());
  EXPECT_TRUE(w->RA1->isChecked());
  EXPECT_TRUE(w->T1->isChecked() && w->gen.fTaiBun);
  EXPECT_FALSE(w->I1->isChecked() || w->gen.fInt);
  EXPECT_TRUE(w->LessonDenom[1]->isChecked() && w->LessonRegroup[1]->isChecked() && w->LessonReduce[2]->isChecked());
  EXPECT_TRUE(w->LessonCancel[0]->isChecked());
  EXPECT_EQ(w->gen.Lesson.Cancel, 0);
  EXPECT_EQ(edit("EdtRow")->text(), "10");
  EXPECT_EQ(edit("EdtCol")->text(), "2");
  EXPECT_EQ(edit("EdtTotal")->text(), "20");
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("プリセット「4年 帯分数のひき算（くり下がり）」にしました"));

  w->findChild<QPushButton*>("BtnMake")->click();
  QStringList lines;
  const QStringList a = memoLines(w->Memo1), b = memoLines(w->Memo2), c = memoLines(w->Memo3);
  for (int i = 0; i < a.size(); ++i) lines << a[i] + u'\t' + b.value(i) + u'\t' + c.value(i);
  for (const std::string& broken : testing::checkPromise(*testing::promiseFor("g4-mixed-sub"), lines)) ADD_FAILURE() << broken;
  EXPECT_EQ(dialogs.messages(), QStringList());

  // Another of the same tab keeps the lists, as typing would; the stepping and signs follow.
  action("Preset_j1_sub")->trigger();
  EXPECT_EQ(memoLines(w->Memo1).size(), 20);
  EXPECT_EQ(w->Combo1->currentIndex(), 2);
  EXPECT_TRUE(w->RC1->isChecked());
}

TEST_F(PresetWindowTest, SavedSettingsReopenAsTheyWere) {
  action("Preset_g6_mul_cancel")->trigger();
  // A change typed after choosing it, an option and a stepping operand.
  typeAndLeave("EdtMax2c", "3", "EdtRow");
  w->CBox2->setChecked(false);
  w->RB1->trigger();
  dialogs.answerInput(QStringLiteral("わたしの練習"));
  w->presetMenu()->PresetSave->trigger();
  ASSERT_TRUE(QFile::exists(userFile("わたしの練習.ini"))) << dialogs.texts().join(u'|').toStdString();
  EXPECT_EQ(dialogs.shown().front().text, QStringLiteral("プリセットの名前を入力して下さい"));
  EXPECT_EQ(dialogs.shown().front().detail, QStringLiteral("途中で約分する分数×分数")) << "the chosen preset's name offered";
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("プリセット「わたしの練習」を保存しました"));
  const PresetLoad saved = LoadPreset(userFile("わたしの練習.ini"));
  ASSERT_TRUE(saved.preset) << saved.message.toStdString();
  EXPECT_EQ(saved.preset->ranges[EdtMax2c], "3");
  EXPECT_EQ(saved.preset->settings.nRange, 1);
  EXPECT_FALSE(saved.preset->choices.random2);
  EXPECT_EQ(saved.preset->settings.Lesson.Cancel, 1);

  // It is in the menu, and choosing it after other settings brings them back.
  w->presetMenu()->menu()->aboutToShow();
  QAction* mine = action("PresetUser0");
  ASSERT_TRUE(mine);
  EXPECT_EQ(mine->text(), QStringLiteral("わたしの練習"));
  action("Preset_g4_same_add")->trigger();
  mine->trigger();
  EXPECT_EQ(w->TabControl1->currentIndex(), 2);
  EXPECT_EQ(edit("EdtMax2c")->text(), "3");
  EXPECT_FALSE(w->CBox2->isChecked());
  EXPECT_TRUE(w->RB1->isChecked());
  EXPECT_TRUE(w->LessonCancel[1]->isChecked());

  // The same name again asks first; No keeps the file.
  const QByteArray before = [&] {
    QFile f(userFile("わたしの練習.ini"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  w->RC1->trigger();
  dialogs.clear();
  dialogs.answerInput(QStringLiteral("わたしの練習")).answerYesNo(false);
  w->presetMenu()->PresetSave->trigger();
  EXPECT_EQ(dialogs.texts().last(), QStringLiteral("プリセット「わたしの練習」はもうあります。置き換えますか"));
  QFile f(userFile("わたしの練習.ini"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), before);
  dialogs.answerInput(QStringLiteral("わたしの練習")).answerYesNo(true);
  w->presetMenu()->PresetSave->trigger();
  EXPECT_EQ(LoadPreset(userFile("わたしの練習.ini")).preset->settings.nRange, 2);

  // An empty name and a cancelled box save nothing.
  dialogs.clear();
  dialogs.answerInput(QStringLiteral("  ")).answerInput(std::nullopt);
  w->presetMenu()->PresetSave->trigger();
  w->presetMenu()->PresetSave->trigger();
  EXPECT_EQ(dialogs.messages(), QStringList{"名前を入力して下さい"});
  EXPECT_EQ(QDir(dir.filePath("presets")).entryList(QDir::Files).size(), 1);
}

TEST_F(PresetWindowTest, AnEditLeftUncheckedIsCheckedBeforeSaving) {
  QLineEdit* e = edit("EdtMax1c");
  e->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  e->selectAll();
  QTest::keyClicks(e, "abc");
  w->presetMenu()->PresetSave->trigger();  // the focus is still in the edit box
  EXPECT_EQ(dialogs.messages(), QStringList{"数を入力して下さい"});
  EXPECT_EQ(e->text(), "10");
  EXPECT_FALSE(QDir(dir.filePath("presets")).exists());
}

TEST_F(PresetWindowTest, OpenedFilesAreCheckedThenCopiedAndChosen) {
  writeFile(dir.filePath("mail/bad.ini"), "[Preset]\nName=壊れた\nKind=0\nMin1c=5\nMax1c=4\n");
  dialogs.answerOpenFile(dir.filePath("mail/bad.ini"));
  w->presetMenu()->PresetImport->trigger();
  EXPECT_EQ(dialogs.messages(),
            QStringList{"プリセット「bad.ini」は読み込めません。\nMin1c: 最小値は最大値以下でなければいけません"});
  EXPECT_FALSE(QFile::exists(userFile("bad.ini")));
  EXPECT_EQ(w->TabControl1->currentIndex(), 0);
  EXPECT_EQ(edit("EdtMin1c")->text(), "1") << "nothing changed";

  writeFile(dir.filePath("mail/同僚の.ini"), "; from a colleague\n[Preset]\nName=同僚の\nGrade=5年\nKind=3\nMax1c=7\nRow=4\n");
  dialogs.clear();
  dialogs.answerOpenFile(dir.filePath("mail/同僚の.ini"));
  w->presetMenu()->PresetImport->trigger();
  EXPECT_EQ(dialogs.messages(), QStringList());
  EXPECT_EQ(dialogs.shown().front().detail.contains(QStringLiteral("プリセット (*.ini)")), true);
  QFile copied(userFile("同僚の.ini"));
  ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
  EXPECT_TRUE(copied.readAll().startsWith("; from a colleague\n")) << "the file is copied as it is";
  EXPECT_EQ(w->TabControl1->currentIndex(), 3);
  EXPECT_EQ(edit("EdtMax1c")->text(), "7");
  EXPECT_EQ(edit("EdtTotal")->text(), "4");
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("プリセット「5年 同僚の」にしました"));
  ASSERT_TRUE(action("PresetUser0"));
  EXPECT_EQ(action("PresetUser0")->text(), QStringLiteral("5年 同僚の"));
}

TEST_F(PresetWindowTest, TheFolderIsMadeAndOpened) {
  dialogs.answerOpenUrl(true);
  w->presetMenu()->PresetFolder->trigger();
  EXPECT_TRUE(QFileInfo(dir.filePath("presets")).isDir());
  EXPECT_EQ(dialogs.shown().back().text, QUrl::fromLocalFile(dir.filePath("presets")).toString());
  dialogs.answerOpenUrl(false);
  w->presetMenu()->PresetFolder->trigger();
  EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("プリセットのフォルダ「%1」を開けませんでした").arg(dir.filePath("presets"))});
  // A file there that is no preset is named in the menu, not offered.
  writeFile(userFile("notes.ini"), "hello\n");
  w->presetMenu()->menu()->aboutToShow();
  ASSERT_TRUE(action("PresetRefused"));
  EXPECT_FALSE(action("PresetRefused")->isEnabled());
  EXPECT_EQ(action("PresetRefused")->text(), QStringLiteral("（読み込めないファイルが1個あります）"));
  EXPECT_FALSE(action("PresetUser0"));
}

class MixDialogTest : public PresetWindowTest {
 protected:
  TFrmMix* open() {
    action("MixSheet")->trigger();
    QApplication::processEvents();
    TFrmMix* d = w->findChild<TFrmMix*>("FrmMix");
    EXPECT_TRUE(d && d->isVisible());
    return d;
  }
  static void setRow(TFrmMix* d, int row, const QString& choice, int count) {
    while (d->TblMix->rowCount() <= row) d->BtnMixAdd->click();
    auto* combo = static_cast<QComboBox*>(d->TblMix->cellWidget(row, 0));
    const int at = combo->findText(choice);
    ASSERT_GE(at, 0) << choice.toStdString();
    combo->setCurrentIndex(at);
    static_cast<QSpinBox*>(d->TblMix->cellWidget(row, 1))->setValue(count);
  }
  // The problem texts drawn on the page, one per cell: the numbers of the cells in order.
  QStringList numbers() {
    QStringList found;
    for (const QString& line : preview.model().ListbyProgram())
      if (line.contains(QRegularExpression("\"\\( ?\\d+\\)\""))) found << line.section(u'"', 1, 1);
    return found;
  }
};

TEST_F(MixDialogTest, SectionsOfSeveralPresetsMakeOneSheetNumberedThrough) {
  // The window on the mixed-number tab: 現在の設定 makes those.
  w->TabControl1->setCurrentIndex(4);
  for (auto [name, text] : {std::pair{"EdtMin1i", "1"}, {"EdtMax1i", "3"}, {"EdtMin1m", "2"}, {"EdtMax1m", "9"}})
    edit(name)->setText(text);
  TFrmMix* d = open();
  ASSERT_TRUE(d);
  EXPECT_EQ(d->windowTitle(), QStringLiteral("まとめプリント"));
  EXPECT_EQ(d->choices().first(), QStringLiteral("現在の設定"));
  EXPECT_TRUE(d->choices().contains(QStringLiteral("6年 分数÷分数")));
  setRow(d, 0, "5年 ちがう分母のたし算", 4);
  setRow(d, 1, "6年 分数÷分数", 3);
  setRow(d, 2, "現在の設定", 3);
  EXPECT_EQ(d->LblMixTotal->text(), QStringLiteral("合計 10 問（配置は 10 問）"));
  d->BtnMixProblems->click();
  EXPECT_EQ(dialogs.messages(), QStringList());
  ASSERT_EQ(d->problems().size(), 10u);
  const ProblemKind kinds[] = {pkAdd, pkAdd, pkAdd, pkAdd, pkDiv, pkDiv, pkDiv, pkMixedToImproper, pkMixedToImproper, pkMixedToImproper};
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(d->problems()[i].kind, kinds[i]) << i;
  EXPECT_TRUE(preview.visible);
  QStringList expected;
  for (int k = 1; k <= 10; ++k) expected << QStringLiteral("(%1)").arg(k, 2);
  EXPECT_EQ(numbers(), expected);
  const QString page = preview.program();
  EXPECT_TRUE(page.contains(QStringLiteral("\"まとめのもんだい\""))) << "no one kind's subtitle";
  EXPECT_EQ(page.count(QStringLiteral("\"＋ \"")), 4);
  EXPECT_EQ(page.count(QStringLiteral("\"÷ \"")), 3);
  EXPECT_EQ(page.count(QStringLiteral("\" = \"")), 3) << "the conversions";
  // The window's lists keep their own kind: nothing was put there.
  EXPECT_TRUE(w->Memo1->toPlainText().isEmpty());

  // The answers and the key are of the same set.
  const ProblemSet shown = d->problems();
  d->BtnMixAnswersClick();
  EXPECT_EQ(d->problems().size(), shown.size());
  for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(d->problems()[i].answer, shown[i].answer);
  EXPECT_TRUE(preview.program().contains(QStringLiteral("(答)")));
  d->BtnMixKeyClick();
  EXPECT_TRUE(preview.program().contains(QStringLiteral("(解き方)")));
  EXPECT_EQ(numbers(), expected);
  // The preview turns the pages of this key, not of a sheet it showed before.
  ASSERT_EQ(preview.pages, 1);
  const QString key = preview.program();
  const auto keyPage = preview.composePage;
  d->BtnMixAnswersClick();
  keyPage(0);
  EXPECT_EQ(preview.program(), key);

  // 作成 makes a new set; a change to the table makes one too when a sheet is asked for.
  d->BtnMixMakeClick();
  EXPECT_FALSE(d->stale());
  static_cast<QSpinBox*>(d->TblMix->cellWidget(0, 1))->setValue(2);
  EXPECT_TRUE(d->stale());
  EXPECT_EQ(d->LblMixTotal->text(), QStringLiteral("合計 8 問（配置は 10 問）"));
  d->BtnMixProblemsClick();
  EXPECT_EQ(d->problems().size(), 8u);
}

TEST_F(MixDialogTest, TheGridLimitsTheTotalAndShufflingMixesTheKinds) {
  TFrmMix* d = open();
  ASSERT_TRUE(d);
  setRow(d, 0, "4年 同じ分母のたし算", 6);
  setRow(d, 1, "6年 分数×整数", 5);
  EXPECT_EQ(d->LblMixTotal->text(), QStringLiteral("合計 11 問（配置の 10 問を越えています）"));
  d->BtnMixProblemsClick();
  EXPECT_EQ(dialogs.messages(), QStringList{"問題数の合計11問が配置の10問を越えています"});
  EXPECT_FALSE(preview.visible);

  // The main window's grid is the sheet's.
  typeAndLeave("EdtCol", "2", "EdtRow");
  ASSERT_EQ(w->gen.ExamColN, 2);
  dialogs.clear();
  d->RbMixShuffle->setChecked(true);
  d->BtnMixMakeClick();
  EXPECT_EQ(dialogs.messages(), QStringList());
  ASSERT_EQ(d->problems().size(), 11u);
  int adds = 0;
  QString order;
  for (const SheetProblem& q : d->problems()) {
    adds += q.kind == pkAdd;
    order += q.kind == pkAdd ? u'+' : u'x';
  }
  EXPECT_EQ(adds, 6);
  EXPECT_NE(order, QStringLiteral("++++++xxxxx"));

  // Rows move and go.
  d->TblMix->selectRow(1);
  d->BtnMixUpClick();
  EXPECT_EQ(static_cast<QComboBox*>(d->TblMix->cellWidget(0, 0))->currentText(), QStringLiteral("6年 分数×整数"));
  EXPECT_EQ(static_cast<QSpinBox*>(d->TblMix->cellWidget(0, 1))->value(), 5);
  d->BtnMixRemoveClick();
  EXPECT_EQ(d->TblMix->rowCount(), 1);
  EXPECT_EQ(d->total(), 6);
}

// The numbers of a page's words (the set label left out), as a sorted list.
std::vector<int> numbersOn(const std::vector<testing::PdfWord>& words) {
  std::vector<int> out;
  static const QRegularExpression digits(QStringLiteral("\\d+"));
  for (const testing::PdfWord& w : words)
    for (const QRegularExpressionMatch& m : digits.globalMatch(w.text)) out.push_back(m.captured().toInt());
  std::sort(out.begin(), out.end());
  return out;
}

TEST_F(MixDialogTest, SetsGoIntoOnePdfTheSetShownFirst) {
  if (QStandardPaths::findExecutable("pdfinfo").isEmpty() || QStandardPaths::findExecutable("pdftotext").isEmpty())
    GTEST_SKIP() << "poppler's tools are not installed";
  TFrmMix* d = open();
  ASSERT_TRUE(d);
  setRow(d, 0, "5年 ちがう分母のたし算", 5);
  setRow(d, 1, "6年 分数÷分数", 5);
  d->BtnMixProblemsClick();
  const ProblemSet shown = d->problems();
  ASSERT_EQ(shown.size(), 10u);
  d->SpnMixSets->setValue(3);
  const QString pdf = dir.filePath("mix.pdf");
  dialogs.answerSaveFile(pdf);
  d->BtnMixPdf->click();
  EXPECT_EQ(dialogs.messages(), QStringList());
  ASSERT_EQ(testing::pdfPageCount(pdf), 6) << "three sets, each a problem page and an answer page";
  const std::vector<testing::PdfWord> words = testing::pdfWords(pdf);
  // Page 1 is the set in the preview: its numbers are those of the problems shown, and their
  // labels ( 1) to (10).
  std::vector<testing::PdfWord> rest;
  const std::optional<testing::FoundLabel> label = testing::findSetLabel(testing::wordsOfPage(words, 1), &rest);
  ASSERT_TRUE(label);
  EXPECT_EQ(label->set, 1);
  EXPECT_EQ(label->sets, 3);
  std::vector<int> expected;
  for (int k = 1; k <= 10; ++k) expected.push_back(k);
  for (const SheetProblem& q : shown)
    for (const QString& value : {q.first, q.second})
      for (const QString& n : value.split(u'/')) expected.push_back(n.toInt());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(numbersOn(rest), expected);
  // Later sets are new ones of the same sections.
  std::vector<testing::PdfWord> third;
  ASSERT_TRUE(testing::findSetLabel(testing::wordsOfPage(words, 5), &third));
  EXPECT_NE(numbersOn(third), expected);
  int divisions = 0;
  for (const testing::PdfWord& w : words) divisions += w.text.count(QStringLiteral("÷"));
  EXPECT_EQ(divisions, 15);
  EXPECT_EQ(d->LblMixStatus->text(), QStringLiteral("PDFに保存しました"));
}

TEST_F(MixDialogTest, ASectionThatCannotBeMetIsNamed) {
  writeFile(userFile("neg.ini"), "[Preset]\nName=負の答え\nKind=0\nSign1=1\nSign2=1\n");
  TFrmMix* d = open();
  ASSERT_TRUE(d);
  setRow(d, 0, "5年 ちがう分母のたし算", 2);
  setRow(d, 1, "負の答え", 2);
  dialogs.answerYesNo(false);
  d->BtnMixProblemsClick();
  EXPECT_EQ(dialogs.texts(), QStringList{"2番目「負の答え」：答えが０以下\n最大値や最小値の条件は合っていますか?"});
  EXPECT_EQ(d->LblMixStatus->text(), QStringLiteral("2番目「負の答え」：答えが０以下"));
  EXPECT_FALSE(preview.visible);
}

}  // namespace
}  // namespace zubira
