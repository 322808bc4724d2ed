#include "worksheet/main_window.h"

#include "drawing/page_model.h"
#include "drawing/page_renderer.h"
#include "drawing/recording_canvas.h"
#include "window_fixture.h"
#include "local_http_server.h"
#include "platform/ini_file.h"
#include "tests/support/scripted_dialogs.h"
#include "worksheet/preview_host.h"
#include "worksheet/worksheet_composer.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QStatusTipEvent>
#include <QDir>
#include <QRegularExpression>
#include <QTextCursor>
#include <functional>
#include <QTest>

namespace zubira {
namespace {

using testing::FakePreview;
using testing::ScriptedDialogs;

class MainWindowTest : public testing::WindowTest {
 protected:
  MainWindowTest() : WindowTest(5) {}
  // Text the keyboard cannot type in a test (Japanese), put into edit `name`, which is then left.
  void setAndLeave(const char* name, const QString& text) {
    edit(name)->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    edit(name)->setText(text);
    edit("EdtRow")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    activate();
  }
};

TEST_F(MainWindowTest, LayoutCaptionsAndFirstShowing) {
  EXPECT_EQ(w->windowTitle(), QStringLiteral("分数の加減乗除"));
  EXPECT_EQ(w->width(), 579);
  EXPECT_EQ(w->height() - w->menuBar()->height(), 565);
  QStringList tabs;
  for (int i = 0; i < w->TabControl1->count(); ++i) tabs << w->TabControl1->tabText(i);
  EXPECT_EQ(tabs, QStringList({"たし算", "ひき算", "かけ算", "わり算", "帯分数－＞仮分数", "仮分数－＞帯分数"}));
  for (const char* name : {"EdtMin1i", "EdtMax1i", "EdtMin1c", "EdtMax1c", "EdtMin1m", "EdtMax1m", "EdtMin2i",
                           "EdtMax2i", "EdtMin2c", "EdtMax2c", "EdtMin2m", "EdtMax2m", "EdtRow", "EdtCol",
                           "EdtTotal", "EdtPageTitle", "EdtSubTitle", "EdtHeader", "EdtFooter"})
    EXPECT_NE(edit(name), nullptr) << name;
  EXPECT_EQ(w->findChild<QPushButton*>("BtnMake")->text(), QStringLiteral("作成(&M)"));
  EXPECT_EQ(w->findChild<QPushButton*>("Button2")->text(), QStringLiteral("答え(&A)"));
  QStringList menus;
  for (QAction* a : w->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, QStringList({"ファイル(&F)", "オプション(&O)", "プリセット(&T)", "ヘルプ(&H)"}));
  EXPECT_EQ(w->findChild<QAction*>("RC1")->text(), QStringLiteral("演算結果は分数全て(&C)"));
  // The first showing with no settings file.
  EXPECT_EQ(edit("EdtPageTitle")->text(), QStringLiteral("かずの計算"));
  EXPECT_EQ(edit("EdtRow")->text(), "10");
  EXPECT_EQ(edit("EdtTotal")->text(), "10");
  EXPECT_EQ(preview.copyright, QString());
  EXPECT_EQ(preview.hidden, 1);
  EXPECT_EQ(preview.model().SubTitle.psY, "36");
  EXPECT_EQ(w->DateTime.psX, "80");
  EXPECT_EQ(w->DateTime.psSize, 11);
  EXPECT_TRUE(w->RA1->isChecked() && w->Z1->isChecked() && w->O2->isChecked() && w->K1->isChecked() &&
              w->I1->isChecked() && !w->E1->isChecked() && !w->T1->isChecked());
  EXPECT_EQ(edit("EdtMax1c")->toolTip(), QStringLiteral("最大(4桁以下)"));
}

TEST_F(MainWindowTest, RangeEditMessagesOnLeaving) {
  struct Case {
    const char* edit;
    const char* text;
    const char* shown;    // the edit's text afterwards
    const char* message;  // nullptr: accepted silently
  } cases[] = {
      {"EdtMin1i", "", "0", nullptr},
      {"EdtMin1c", "", "1", "空白は指定できません"},
      {"EdtMax2i", "1001", "0", "1000以下を指定して下さい"},
      {"EdtMax1m", "10000", "10", "４桁未満を指定して下さい"},
      {"EdtMax1m", "9999", "9999", nullptr},
      {"EdtMin1m", "0", "1", "分母に０は指定できません"},
      {"EdtMin1c", "0", "0", nullptr},
      {"EdtMin2c", "-3", "1", "設定値は４桁未満の正の数又は零でなければいけません"},
      {"EdtMax1c", " 7 ", "7", nullptr},
      {"EdtMax1c", "abc", "7", "数を入力して下さい"},
      {"EdtMin1c", "9", "0", "最小値は最大値以下でなければいけません"},
      {"EdtMax1c", "$A", "$A", nullptr},
  };
  for (const Case& c : cases) {
    dialogs.clear();
    typeAndLeave(c.edit, QString::fromUtf8(c.text), std::strcmp(c.edit, "EdtRow") ? "EdtRow" : "EdtCol");
    SCOPED_TRACE(std::string(c.edit) + " <- \"" + c.text + "\"");
    EXPECT_EQ(edit(c.edit)->text(), QString::fromUtf8(c.shown));
    EXPECT_EQ(dialogs.messages(), c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList());
  }
}

TEST_F(MainWindowTest, MixedNumberRangesFollowTheIntegerOption) {
  typeAndLeave("EdtMax1i", "1", "EdtRow");
  typeAndLeave("EdtMin1i", "1", "EdtRow");
  typeAndLeave("EdtMax1m", "5", "EdtRow");
  w->I1->trigger();  // off
  EXPECT_FALSE(w->gen.fInt);
  dialogs.clear();
  typeAndLeave("EdtMin1c", "5", "EdtRow");
  EXPECT_EQ(dialogs.messages(), QStringList{"整数を含まずに帯分数で分子が分母以上の設定はできません"});
  typeAndLeave("EdtMin1c", "4", "EdtRow");
  EXPECT_EQ(edit("EdtMin1c")->text(), "4");
}

TEST_F(MainWindowTest, GridFields) {
  typeAndLeave("EdtCol", "3", "EdtRow");
  EXPECT_EQ(dialogs.messages(), QStringList{"問題数は１以上２０以下でなければなりません"});
  EXPECT_EQ(edit("EdtCol")->text(), "1");
  dialogs.clear();
  typeAndLeave("EdtCol", "5", "EdtRow");
  EXPECT_EQ(dialogs.messages(), QStringList{"列は１以上４以下でなければなりません"});
  dialogs.clear();
  typeAndLeave("EdtRow", "5", "EdtCol");
  typeAndLeave("EdtCol", "4", "EdtRow");
  EXPECT_TRUE(dialogs.messages().isEmpty());
  EXPECT_EQ(edit("EdtTotal")->text(), "20");
  EXPECT_EQ(w->gen.ExamRowN, 5);
  EXPECT_EQ(w->gen.ExamColN, 4);
  typeAndLeave("EdtRow", "11", "EdtCol");
  EXPECT_EQ(dialogs.messages(), QStringList{"行は１以上１０以下でなければなりません"});
}

TEST_F(MainWindowTest, TabsRelabelAndEmptyTheLists) {
  w->BtnMakeClick();
  ASSERT_EQ(memoLines(w->Memo1->toPlainText()).size(), 10);
  w->TabControl1->setCurrentIndex(3);
  EXPECT_TRUE(w->Memo1->toPlainText().isEmpty() && w->Memo3->toPlainText().isEmpty());
  EXPECT_EQ(w->Label1->text(), QStringLiteral("割られる数"));
  EXPECT_EQ(w->LblKigou->text(), QStringLiteral("÷"));
  w->TabControl1->setCurrentIndex(2);
  w->TabControl1->setCurrentIndex(4);
  EXPECT_EQ(w->LblKigou->text(), QStringLiteral("×")) << "kept from the last arithmetic kind";
  EXPECT_EQ(w->Label1->text(), QStringLiteral("帯分数"));
  EXPECT_EQ(w->Label4->text(), QString());
  EXPECT_TRUE(w->PnlSec->isHidden());
  EXPECT_TRUE(w->Combo1->isHidden());
  EXPECT_FALSE(w->PnlInt->isHidden());
  w->TabControl1->setCurrentIndex(5);
  EXPECT_TRUE(w->PnlInt->isHidden());
  w->TabControl1->setCurrentIndex(0);
  EXPECT_EQ(w->Label2->text(), QStringLiteral("たす数"));
  EXPECT_EQ(w->LblKigou->text(), QStringLiteral("＋"));
  EXPECT_FALSE(w->PnlSec->isHidden());
}

TEST_F(MainWindowTest, MakeClearAndExhaustion) {
  w->findChild<QPushButton*>("BtnMake")->click();
  const QString made = w->Memo3->toPlainText();
  EXPECT_EQ(memoLines(made).size(), 10);
  w->findChild<QPushButton*>("BtnClear")->click();
  EXPECT_TRUE(w->Memo1->toPlainText().isEmpty());
  w->BtnMakeClick();
  const QString before = w->Memo1->toPlainText();
  w->Combo1->setCurrentIndex(1);
  w->Combo2->setCurrentIndex(1);
  dialogs.answerYesNo(false);
  w->BtnMakeClick();
  EXPECT_EQ(dialogs.texts(), QStringList{"最大値や最小値の条件は合っていますか?"});
  EXPECT_EQ(w->Memo1->toPlainText(), before);
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("Loop over:答えが０以下"));

  // Mixed numbers to improper fractions with no integer part to convert: the same question.
  w->TabControl1->setCurrentIndex(4);
  dialogs.answerYesNo(false);
  w->BtnMakeClick();
  EXPECT_EQ(dialogs.texts().size(), 2);
  EXPECT_TRUE(w->Memo1->toPlainText().isEmpty()) << "a new tab's lists are empty and stay so";
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("Loop over:変換の必要がない"));
}

TEST_F(MainWindowTest, AMakeByAcceleratorChecksTheEditFirst) {
  QLineEdit* e = edit("EdtMax1c");
  e->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  e->selectAll();
  QTest::keyClicks(e, "abc");
  w->BtnMakeClick();  // the focus is still in the edit box
  EXPECT_EQ(dialogs.messages(), QStringList{"数を入力して下さい"});
  EXPECT_EQ(e->text(), "10");
  EXPECT_TRUE(w->Memo1->toPlainText().isEmpty()) << "nothing made on the unchecked text";
}

TEST_F(MainWindowTest, OptionCommands) {
  w->RB1->trigger();
  EXPECT_EQ(w->gen.nRange, 1);
  EXPECT_TRUE(w->RB1->isChecked());
  EXPECT_FALSE(w->RA1->isChecked() || w->RC1->isChecked());
  dialogs.answerInput(QString("1"));
  w->E1->trigger();
  EXPECT_TRUE(w->gen.fJust);
  EXPECT_EQ(dialogs.messages(), QStringList{"１を越える値で指定し直して下さい\n元の値\"15\"を使います"});
  EXPECT_EQ(w->gen.nJust, 15);
  w->E1->trigger();  // off: asks nothing
  EXPECT_FALSE(w->gen.fJust);
  dialogs.clear();
  dialogs.answerInput(QString("x"));
  w->E1->trigger();
  EXPECT_EQ(dialogs.messages(), QStringList{"入力した文字列は数字ではありません\n元の値\"15\"を使います"});
  w->E1->trigger();
  dialogs.answerInput(QString("20"));
  w->E1->trigger();
  EXPECT_EQ(w->gen.nJust, 20);
  dialogs.answerInput(std::nullopt);  // Cancel returns the old value
  w->E1->trigger();
  w->E1->trigger();
  EXPECT_EQ(w->gen.nJust, 20);
  for (QAction* a : {w->Z1, w->O2, w->T1, w->K1, w->I1}) a->trigger();
  EXPECT_FALSE(w->gen.fZero || w->gen.fOne || w->gen.fKakko || w->gen.fInt);
  EXPECT_TRUE(w->gen.fTaiBun);
}

TEST_F(MainWindowTest, SettingsSurviveARestart) {
  w->K1->trigger();
  w->RC1->trigger();
  typeAndLeave("EdtRow", "4", "EdtCol");
  edit("EdtHeader")->setText(QStringLiteral("三年二組"));
  w->settings.WindowTop = 33.5;
  EXPECT_EQ(w->FormHide(), QString());
  EXPECT_EQ(w->FormDestroy(), QString());
  IniFile ini(dir.filePath("zubira.ini"));
  EXPECT_EQ(ini.readString("Page", "Header", ""), QStringLiteral("三年二組"));
  EXPECT_EQ(ini.readString("Window", "Top", ""), "33.5");
  EXPECT_EQ(ini.readString("DateTime", "X", ""), "80");
  w.reset();
  open();
  EXPECT_FALSE(w->gen.fKakko);
  EXPECT_FALSE(w->K1->isChecked());
  EXPECT_TRUE(w->RC1->isChecked());
  EXPECT_EQ(edit("EdtRow")->text(), "4");
  EXPECT_EQ(edit("EdtHeader")->text(), QStringLiteral("三年二組"));
  EXPECT_EQ(w->settings.WindowTop, 33.5);
}

TEST_F(MainWindowTest, LessonConditionsMenu) {
  QMenu* lesson = w->findChild<QMenu*>("Lesson1");
  ASSERT_NE(lesson, nullptr);
  EXPECT_EQ(lesson->title(), QStringLiteral("問題の条件(&J)"));
  EXPECT_EQ(w->findChild<QMenu*>("Option1")->actions().constLast(), lesson->menuAction()) << "at the end";
  const std::pair<const char*, int> groups[] = {
      {"LessonDenom", 3}, {"LessonReduce", 3}, {"LessonRegroup", 3}, {"LessonCancel", 3}, {"LessonForm", 2}};
  auto item = [&](const char* group, int i) {
    return w->findChild<QAction*>(QLatin1String(group) + QString::number(i));
  };
  for (const auto& [g, count] : groups)
    for (int i = 0; i < count; ++i) {
      ASSERT_NE(item(g, i), nullptr) << g << i;
      EXPECT_EQ(item(g, i)->isChecked(), i == 0) << g << i;
    }
  EXPECT_EQ(item("LessonForm", 2), nullptr);
  EXPECT_EQ(item("LessonDenom", 2)->text(), QStringLiteral("ちがう分母（通分あり）"));
  EXPECT_EQ(item("LessonForm", 0)->text(), QStringLiteral("仮分数も出す"));
  EXPECT_EQ(item("LessonForm", 1)->text(), QStringLiteral("真分数・帯分数だけ"));
  EXPECT_EQ(lesson->actions().size(), 14 + 4) << "five groups with separators between them";

  item("LessonDenom", 1)->trigger();
  item("LessonReduce", 2)->trigger();
  item("LessonForm", 1)->trigger();
  item("LessonCancel", 1)->trigger();
  EXPECT_EQ(w->gen.Lesson.Cancel, 0) << "a disabled item does nothing";
  w->TabControl1->setCurrentIndex(2);
  item("LessonCancel", 1)->trigger();
  w->TabControl1->setCurrentIndex(0);
  EXPECT_EQ(w->gen.Lesson.Denominator, 1);
  EXPECT_EQ(w->gen.Lesson.Reduce, 2);
  EXPECT_EQ(w->gen.Lesson.Cancel, 1);
  EXPECT_EQ(w->gen.Lesson.Form, 1);
  EXPECT_FALSE(item("LessonDenom", 0)->isChecked()) << "exclusive";
  EXPECT_FALSE(item("LessonForm", 0)->isChecked()) << "exclusive";

  // Items of conditions the kind does not have are disabled, their marks kept: the reduction is
  // the cancelling for multiplication and division, and an improper fraction is what kind 5
  // converts.
  const struct {
    int tab;
    bool denom, reduce, regroup, cancel, form;
  } kinds[] = {{0, true, true, true, false, true},    {1, true, true, true, false, true},
               {2, false, false, false, true, true},  {3, false, false, false, true, true},
               {4, false, false, false, false, true}, {5, false, false, false, false, false}};
  for (const auto& k : kinds) {
    w->TabControl1->setCurrentIndex(k.tab);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(item("LessonDenom", i)->isEnabled(), k.denom) << k.tab;
      EXPECT_EQ(item("LessonReduce", i)->isEnabled(), k.reduce) << k.tab;
      EXPECT_EQ(item("LessonRegroup", i)->isEnabled(), k.regroup) << k.tab;
      EXPECT_EQ(item("LessonCancel", i)->isEnabled(), k.cancel) << k.tab;
      if (i < 2) {
        EXPECT_EQ(item("LessonForm", i)->isEnabled(), k.form) << k.tab;
      }
    }
    EXPECT_TRUE(item("LessonDenom", 1)->isChecked());
    EXPECT_TRUE(item("LessonForm", 1)->isChecked());
  }
  // 約分する答え with 途中で約分できない on the multiplication tab: the reduction is not asked
  // there, so the problems come without the exhaustion question.
  w->gen.Lesson.Reduce = 1;
  w->gen.Lesson.Cancel = 2;
  w->TabControl1->setCurrentIndex(2);
  w->BtnMakeClick();
  EXPECT_TRUE(dialogs.shown().empty());
  EXPECT_GE(w->Memo1->toPlainText().split(u'\n', Qt::SkipEmptyParts).size(), 10);
  w->gen.Lesson.Reduce = 2;
  w->gen.Lesson.Cancel = 1;

  // The long part of an item's hint in the status bar.
  item("LessonCancel", 1)->showStatusText(w.get());
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("かけ算・わり算をかける前に約分できる問題にします"));

  // Made problems follow the conditions: the same denominators in addition.
  w->TabControl1->setCurrentIndex(0);
  w->BtnMakeClick();
  const QStringList a = w->Memo1->toPlainText().split(u'\n'), b = w->Memo2->toPlainText().split(u'\n');
  ASSERT_GE(a.size(), 10);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(a[i].section(u'/', 1), b[i].section(u'/', 1)) << a[i].toStdString();
    // Proper fractions only: numerator below denominator.
    for (const QString& v : {a[i], b[i]}) EXPECT_LT(v.section(u'/', 0, 0).toInt(), v.section(u'/', 1).toInt()) << v.toStdString();
  }

  // Written at the end, read at the next first show; a value out of range reads as 0.
  EXPECT_EQ(w->FormHide(), QString());
  IniFile ini(dir.filePath("zubira.ini"));
  EXPECT_EQ(ini.readString("Lesson", "Denominator", ""), "1");
  EXPECT_EQ(ini.readString("Lesson", "Reduce", ""), "2");
  EXPECT_EQ(ini.readString("Lesson", "Regroup", ""), "0");
  EXPECT_EQ(ini.readString("Lesson", "Form", ""), "1");
  ini.writeString("Lesson", "Cancel", "7");
  ASSERT_TRUE(ini.save());
  w.reset();
  open();
  EXPECT_EQ(w->gen.Lesson.Denominator, 1);
  EXPECT_EQ(w->gen.Lesson.Reduce, 2);
  EXPECT_EQ(w->gen.Lesson.Cancel, 0);
  EXPECT_TRUE(item("LessonDenom", 1)->isChecked());
  EXPECT_TRUE(item("LessonReduce", 2)->isChecked());
  EXPECT_TRUE(item("LessonCancel", 0)->isChecked());
  EXPECT_EQ(w->gen.Lesson.Form, 1);
  EXPECT_TRUE(item("LessonForm", 1)->isChecked());
  // The form has no third value: 2 reads as 0.
  EXPECT_EQ(w->FormHide(), QString());
  IniFile again(dir.filePath("zubira.ini"));
  again.writeString("Lesson", "Form", "2");
  ASSERT_TRUE(again.save());
  w.reset();
  open();
  EXPECT_EQ(w->gen.Lesson.Form, 0);
  EXPECT_TRUE(item("LessonForm", 0)->isChecked());
}

TEST_F(MainWindowTest, HandWrittenSettingsWithMixedCaseKeys) {
  w.reset();
  QFile f(dir.filePath("zubira.ini"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("; a teacher's file\r\n[page]\r\npagetitle=\xe3\x81\x9f\xe3\x81\x97\xe7\xae\x97\r\n[ANSWER]\r\nTYPE=0\r\n[exam]\r\nrange=5\r\nCOL=2\r\n");
  f.close();
  open();
  EXPECT_EQ(edit("EdtPageTitle")->text(), QStringLiteral("たし算"));
  EXPECT_EQ(w->settings.AnswerType, 1) << "0 becomes 1";
  EXPECT_TRUE(w->RA1->isChecked()) << "a range of 5 checks the first item";
  EXPECT_EQ(edit("EdtTotal")->text(), "20");
  EXPECT_EQ(w->FormHide(), QString());
  const QString text = QString::fromUtf8([&] {
    QFile g(dir.filePath("zubira.ini"));
    g.open(QIODevice::ReadOnly);
    return g.readAll();
  }());
  EXPECT_TRUE(text.contains("; a teacher's file")) << "other lines are kept";
}

// A hand-edited file with a grid, a font and a margin the window would not take: each is said
// once and the window works on its default. Composing never changes the stored margins.
TEST_F(MainWindowTest, HandEditedLayoutOutOfRangeFallsBackWithTheMessages) {
  w.reset();
  QFile f(dir.filePath("zubira.ini"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Exam]\r\nRow=100\r\nCol=100\r\n[ExamFont]\r\nSize=0\r\n"
          "[Window]\r\nTop=39.4395833333333\r\nBottom=500\r\n");
  f.close();
  open();
  EXPECT_EQ(dialogs.messages(), QStringList({QStringLiteral("行は１以上１０以下でなければなりません"),
                                             QStringLiteral("列は１以上４以下でなければなりません"),
                                             ExamFontSizeMessage(), marginTooLargeMessage()}));
  EXPECT_EQ(edit("EdtRow")->text(), "10");
  EXPECT_EQ(edit("EdtTotal")->text(), "10");
  EXPECT_EQ(w->settings.FntExam.size, 24);
  EXPECT_EQ(w->settings.WindowBottom, 10);
  EXPECT_EQ(w->settings.WindowTop, 39.4395833333333) << "a raised top from before is the user's";
  w->BtnMakeClick();
  for (int i = 0; i < 3; ++i) {
    w->Button1Click();
    w->Button3Click();
  }
  EXPECT_EQ(w->settings.WindowTop, 39.4395833333333) << "no composition moves it";
  EXPECT_EQ(w->settings.WindowBottom, 10);
  EXPECT_EQ(w->FormHide(), QString());
  EXPECT_EQ(IniFile(dir.filePath("zubira.ini")).readString("Window", "Top", ""), "39.4395833333333");
}

// A grid the problem font cannot fill: the preview's status bar says the font was set smaller
// for the page, and the stored font keeps the user's size.
TEST_F(MainWindowTest, ASheetSetSmallerSaysSo) {
  typeAndLeave("EdtRow", "5", "EdtCol");
  typeAndLeave("EdtCol", "4", "EdtRow");
  w->BtnMakeClick();
  w->Button1Click();
  EXPECT_TRUE(preview.status.startsWith(QStringLiteral("文字を24ptから"))) << preview.status.toStdString();
  EXPECT_EQ(w->settings.FntExam.size, 24);
  typeAndLeave("EdtCol", "1", "EdtRow");
  w->BtnMakeClick();
  w->Button1Click();
  EXPECT_EQ(preview.status, QString()) << "a sheet as set says nothing";
}

TEST_F(MainWindowTest, ProblemsAndAnswersComposeInThePreview) {
  w->Button1Click();
  EXPECT_EQ(preview.shows, 1) << "no problems: the preview shows, nothing is composed";
  EXPECT_EQ(preview.refreshes, 0);
  w->BtnMakeClick();
  EXPECT_EQ(preview.refreshes, 1) << "the open preview follows the lists made";
  preview.visible = false;
  w->BtnMakeClick();
  EXPECT_EQ(preview.refreshes, 1) << "a closed preview does not";
  w->findChild<QPushButton*>("Button1")->click();
  EXPECT_TRUE(preview.visible);
  EXPECT_EQ(preview.refreshes, 2);
  const QStringList& program = preview.model().ListbyProgram();
  ASSERT_FALSE(program.isEmpty());
  EXPECT_EQ(program.first(), "INITPARAM");
  EXPECT_TRUE(program.join('\n').contains(QStringLiteral("\"( 1)\"")));
  w->findChild<QPushButton*>("Button2")->click();
  EXPECT_TRUE(preview.model().ListbyProgram().join('\n').contains(QStringLiteral("(答)")));
  EXPECT_EQ(preview.shows, 2) << "shown again only when it was hidden";
}

TEST_F(MainWindowTest, KeyButtonUnderAnswersComposesTheKey) {
  auto* answers = w->findChild<QPushButton*>("Button2");
  auto* key = w->findChild<QPushButton*>("Button3");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->text(), QStringLiteral("解き方(&S)"));
  EXPECT_EQ(key->parentWidget(), answers->parentWidget());
  EXPECT_EQ(key->parentWidget()->objectName(), "GrpPreview");
  EXPECT_EQ(key->size(), answers->size());
  EXPECT_EQ(key->x(), answers->x());
  EXPECT_GT(key->y(), answers->geometry().bottom()) << "under 答え, not overlapping it";
  EXPECT_LE(key->geometry().bottom(), key->parentWidget()->height() - 2) << "inside its group";
  EXPECT_GT(answers->y(), w->findChild<QPushButton*>("Button1")->geometry().bottom());
  EXPECT_EQ(key->toolTip(), QStringLiteral("解き方"));
  QStatusTipEvent tip(key->statusTip());
  QApplication::sendEvent(key, &tip);
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("途中式つきの解答を表示します"));

  key->click();
  EXPECT_EQ(preview.shows, 1) << "no problems: the preview shows, nothing is composed";
  EXPECT_EQ(preview.refreshes, 0);
  preview.visible = false;
  w->BtnMakeClick();
  key->click();
  EXPECT_TRUE(preview.visible);
  EXPECT_EQ(preview.refreshes, 1);
  const QString program = preview.model().ListbyProgram().join('\n');
  EXPECT_TRUE(program.contains(QStringLiteral(" (解き方)\"")));
  EXPECT_TRUE(program.contains(QStringLiteral("\"( 1)\"")));
  EXPECT_TRUE(program.contains(QStringLiteral("\" = \""))) << "chains, not bare answers";
  EXPECT_FALSE(program.contains(QStringLiteral("解けません")));
  answers->click();
  EXPECT_TRUE(preview.model().ListbyProgram().join('\n').contains(QStringLiteral("(答)")));
}

TEST_F(MainWindowTest, PageCaptionButtonsDateLineAndName) {
  edit("EdtHeader")->setText("before");
  preview.dialogText.reset();  // Cancel
  w->findChild<QPushButton*>("BtnHeader")->click();
  EXPECT_EQ(preview.textSeen, "before");
  EXPECT_EQ(edit("EdtHeader")->text(), "before");
  EXPECT_EQ(preview.model().Header.psStr, QString()) << "the page string's own text stays empty";
  preview.dialogText = QString("after");
  w->BtnHeaderClick();
  EXPECT_EQ(edit("EdtHeader")->text(), "after");
  EXPECT_EQ(w->settings.sHeader, "after");
  w->D1Click();
  EXPECT_EQ(preview.captions, QStringList{"日付の設定"});
  EXPECT_EQ(w->settings.sDateTime, "after");
  EXPECT_EQ(w->DateTime.psStr, QString());
  dialogs.answerInput(QString());
  w->N5Click();
  EXPECT_EQ(w->settings.sName, QString()) << "an empty name is allowed";
  dialogs.answerInput(std::nullopt);
  w->N5Click();
  EXPECT_EQ(w->settings.sName, QString());
}

TEST_F(MainWindowTest, SelfTestLabelAndHints) {
  dialogs.answerYesNo(false);
  w->Label7Click();
  EXPECT_TRUE(w->LblInf->isHidden());
  dialogs.answerYesNo(true);
  QTest::mouseClick(w->Label7, Qt::LeftButton);
  EXPECT_FALSE(w->LblInf->isHidden());
  EXPECT_EQ(dialogs.shown().back().caption, QStringLiteral("テスト機能"));
  w->Label7Click();  // hides without asking
  EXPECT_TRUE(w->LblInf->isHidden());
  QStatusTipEvent tip(QStringLiteral("最小(1000以下)"));
  QApplication::sendEvent(w.get(), &tip);
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("最小(1000以下)"));
  QStatusTipEvent bar(QStringLiteral("Zubiraのホームページ"));
  QApplication::sendEvent(w.get(), &bar);
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("Zubiraのホームページ"));
}

}  // namespace
}  // namespace zubira

namespace zubira {
namespace {

TEST_F(MainWindowTest, SelfTestRunsOverDrawnRangesAndStops) {
  typeAndLeave("EdtMax1i", "3", "EdtRow");
  typeAndLeave("EdtMax1c", "9", "EdtRow");
  typeAndLeave("EdtMax1m", "9", "EdtRow");
  dialogs.answerYesNo(true);
  w->Label7Click();
  w->LblInfClick();
  ASSERT_TRUE(w->Timer1.isActive());
  // The first tick may ask the exhaustion question, as a manual run does; later ones never ask.
  for (int tick = 0; tick < 25; ++tick) {
    if (w->selfTest.counters.TestLoop == 0) dialogs.answerYesNo(false);
    const RangeTexts before = w->rangeTexts();
    w->Timer1Timer();
    const RangeTexts after = w->rangeTexts();
    if (tick != 0 && tick != 10 && tick != 20 && w->selfTest.counters.TestLoop == tick + 1) {
      EXPECT_EQ(before, after) << "ranges change only every tenth tick";
    }
    RangeBounds lo{}, hi{};
    for (int k = 0; k < 6; ++k) {
      lo[size_t(k)] = after[size_t(2 * k)].toLongLong();
      hi[size_t(k)] = after[size_t(2 * k + 1)].toLongLong();
      EXPECT_LE(lo[size_t(k)], hi[size_t(k)]);
    }
    EXPECT_LE(hi[0], 3);
    EXPECT_LE(hi[3], 3);
    EXPECT_LE(hi[1], 9);
    EXPECT_LE(hi[5], 9);
    EXPECT_GE(lo[2], 1);
    EXPECT_GE(lo[5], 1);
  }
  if (dialogs.pendingReplies() > 0) dialogs.clear();
  EXPECT_GE(w->selfTest.counters.TestLoop, 20);
  EXPECT_EQ(w->LblInf->text().size(), 6) << w->LblInf->text().toStdString();
  EXPECT_TRUE(w->LblInf->text().endsWith('.')) << "\"%5d.\" while the timer runs";
  w->LblInfClick();
  EXPECT_FALSE(w->Timer1.isActive());
  EXPECT_EQ(w->rangeTexts(), defaultRangeTexts());
  EXPECT_EQ(w->selfTest.counters.TestLoop, 0);
  w->BtnMakeClick();
  EXPECT_EQ(w->LblInf->text(), QStringLiteral("    0.(0)"));
}

TEST_F(MainWindowTest, SelfTestRefusesLimitsThatAreNotNumbers) {
  dialogs.answerYesNo(true);
  w->Label7Click();
  edit("EdtMax1c")->setText("abc");  // never left, so never checked
  w->LblInfClick();
  EXPECT_FALSE(w->Timer1.isActive());
  EXPECT_EQ(dialogs.messages(), QStringList{"数を入力して下さい"});
}

}  // namespace
}  // namespace zubira

namespace zubira {
namespace {

// Runs the event loop until `done` holds, for at most a few seconds (a wait, not a timing).
bool waitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 500 && !done(); ++i) QTest::qWait(10);
  return done();
}

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// ---- The preview follows the lists --------------------------------------------------------------

TEST_F(MainWindowTest, AnOpenPreviewFollowsTheListsItShows) {
  const QStringList& program = preview.model().ListbyProgram();
  w->BtnMakeClick();
  w->findChild<QPushButton*>("Button2")->click();  // the answer sheet
  const QStringList first = program;
  ASSERT_TRUE(first.join('\n').contains(QStringLiteral("(答)")));

  // A second 作成: the same sheet from the new lists.
  const int refreshes = preview.refreshes;
  w->findChild<QPushButton*>("BtnMake")->click();
  EXPECT_EQ(preview.refreshes, refreshes + 1);
  EXPECT_NE(program, first) << "new problems";
  EXPECT_TRUE(program.join('\n').contains(QStringLiteral("(答)"))) << "still the answer sheet";
  const QStringList followed = program;
  w->Button2Click();
  EXPECT_EQ(program, followed) << "exactly the sheet the button composes from the lists now";

  // 消去 empties the page.
  w->BtnClearClick();
  EXPECT_TRUE(program.isEmpty());
  // 問題 on the empty lists keeps the page empty; the next 作成 fills it with the problem sheet.
  w->Button1Click();
  EXPECT_TRUE(program.isEmpty());
  w->BtnMakeClick();
  EXPECT_TRUE(program.join('\n').contains(QStringLiteral("\"( 1)\"")));
  EXPECT_FALSE(program.join('\n').contains(QStringLiteral("(答)")));

  // Another kind empties the lists, and the page with them.
  w->TabControl1->setCurrentIndex(2);
  EXPECT_TRUE(program.isEmpty());
  w->BtnMakeClick();
  EXPECT_TRUE(program.join('\n').contains(QStringLiteral("×")));
}

TEST_F(MainWindowTest, ListsTypedByHandReachThePreviewOnceTheTypingPauses) {
  w->BtnMakeClick();
  w->Button1Click();
  const int refreshes = preview.refreshes;
  w->Memo1->setFocus();
  QTextCursor end = w->Memo1->textCursor();
  end.movePosition(QTextCursor::Start);
  w->Memo1->setTextCursor(end);
  QTest::keyClicks(w->Memo1, "7");
  EXPECT_EQ(preview.refreshes, refreshes) << "not at every key";
  ASSERT_TRUE(waitFor([&] { return preview.refreshes > refreshes; }));
  EXPECT_EQ(preview.refreshes, refreshes + 1) << "once for the pause";
  EXPECT_TRUE(memoLines(w->Memo1->toPlainText()).first().startsWith('7'));
  const QStringList followed = preview.model().ListbyProgram();
  EXPECT_TRUE(followed.join('\n').contains(QStringLiteral("\"7")));
  w->Button1Click();
  EXPECT_EQ(preview.model().ListbyProgram(), followed);

  // A closed preview is left alone.
  const int closed = preview.refreshes;
  preview.visible = false;
  QTest::keyClicks(w->Memo1, "8");
  QTest::qWait(800);
  EXPECT_EQ(preview.refreshes, closed);
}

// ---- The subtitle follows the kind ----------------------------------------------------------

TEST_F(MainWindowTest, SubtitleFollowsTheKindUntilTheUserTypesOne) {
  QLineEdit* sub = edit("EdtSubTitle");
  const struct {
    int tab;
    const char* shown;
  } steps[] = {{1, "ひきざんのもんだい"}, {2, "かけざんのもんだい"}, {3, "わりざんのもんだい"},
               {4, "帯分数を仮分数になおすもんだい"}, {5, "仮分数を帯分数になおすもんだい"}, {0, "たしざんのもんだい"}};
  for (const auto& s : steps) {
    w->TabControl1->setCurrentIndex(s.tab);
    EXPECT_EQ(sub->text(), QString::fromUtf8(s.shown)) << s.tab;
    EXPECT_EQ(w->settings.sSubTitle, QString::fromUtf8(s.shown)) << s.tab;
  }
  setAndLeave("EdtSubTitle", QStringLiteral("分数のけいさん"));
  for (int tab : {3, 1, 0}) {
    w->TabControl1->setCurrentIndex(tab);
    EXPECT_EQ(sub->text(), QStringLiteral("分数のけいさん")) << "a typed subtitle stays";
  }
  // Typed back to a kind's default, it follows again.
  w->TabControl1->setCurrentIndex(2);
  setAndLeave("EdtSubTitle", QStringLiteral("かけざんのもんだい"));
  w->TabControl1->setCurrentIndex(3);
  EXPECT_EQ(sub->text(), QStringLiteral("わりざんのもんだい"));
  // The composed sheet carries it.
  w->BtnMakeClick();
  w->Button1Click();
  EXPECT_TRUE(preview.model().ListbyProgram().join('\n').contains(QStringLiteral("\"わりざんのもんだい\"")));
}

// ---- The problem is remembered ----------------------------------------------------------------

TEST_F(MainWindowTest, TheProblemSurvivesARestart) {
  edit("EdtPageTitle")->setText(QStringLiteral("分数のひき算"));
  w->TabControl1->setCurrentIndex(1);
  typeAndLeave("EdtMax1i", "3", "EdtRow");
  typeAndLeave("EdtMin1i", "1", "EdtRow");
  typeAndLeave("EdtMax2c", "$9", "EdtRow");
  typeAndLeave("EdtMin2m", "2", "EdtRow");
  w->Combo1->setCurrentIndex(2);
  w->Combo2->setCurrentIndex(1);
  w->CBox2->setChecked(false);
  const RangeTexts ranges = w->rangeTexts();
  ASSERT_EQ(ranges[EdtMax2c], "$9");
  EXPECT_EQ(w->FormHide(), QString());
  EXPECT_TRUE(QString::fromUtf8(readFile(dir.filePath("zubira.ini"))).contains("[Problem]"));
  w.reset();
  open();
  EXPECT_EQ(w->TabControl1->currentIndex(), 1);
  EXPECT_EQ(w->LblKigou->text(), QStringLiteral("－"));
  EXPECT_EQ(w->Label1->text(), QStringLiteral("引かれる数"));
  EXPECT_EQ(w->rangeTexts(), ranges);
  EXPECT_EQ(w->Combo1->currentIndex(), 2);
  EXPECT_EQ(w->Combo2->currentIndex(), 1);
  EXPECT_TRUE(w->CBox1->isChecked());
  EXPECT_FALSE(w->CBox2->isChecked());
  EXPECT_EQ(edit("EdtPageTitle")->text(), QStringLiteral("分数のひき算"));
  EXPECT_EQ(edit("EdtSubTitle")->text(), QStringLiteral("ひきざんのもんだい"));
  EXPECT_TRUE(dialogs.shown().empty());
  // 作成 after the restart makes the subtraction sheet the title promises.
  w->BtnMakeClick();
  w->Button1Click();
  const QString program = preview.model().ListbyProgram().join('\n');
  EXPECT_TRUE(program.contains(QStringLiteral("\"－ \""))) << program.toStdString();
  EXPECT_FALSE(program.contains(QStringLiteral("\"＋ \"")));
}

TEST_F(MainWindowTest, NonsenseInTheProblemSectionStartsWithTheDefaults) {
  w.reset();
  QFile f(dir.filePath("zubira.ini"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Problem]\nKind=9\nMin1i=-5\nMax1c=\xe5\x8d\x81\nMin2c=30\nMax2c=4\nSign1=7\nSign2=x\nStep1=3\n"
          "Min1m=0\n\x01\x02garbage\n[Exam]\nRow=4\n");
  f.close();
  open();
  EXPECT_TRUE(dialogs.shown().empty()) << "silently";
  EXPECT_EQ(w->TabControl1->currentIndex(), 0);
  EXPECT_EQ(w->rangeTexts(), defaultRangeTexts());
  EXPECT_EQ(w->Combo1->currentIndex(), 0);
  EXPECT_EQ(w->Combo2->currentIndex(), 0);
  EXPECT_TRUE(w->CBox1->isChecked() && w->CBox2->isChecked());
  EXPECT_EQ(edit("EdtRow")->text(), "4") << "the other sections are read as before";
  w->BtnMakeClick();
  EXPECT_EQ(memoLines(w->Memo1->toPlainText()).size(), 4);
}

// ---- Printing, PDF and keys ---------------------------------------------------------------

TEST_F(MainWindowTest, PrintPrintsTheProblemSheetOrSaysWhyNot) {
  w->Print1->trigger();
  EXPECT_EQ(preview.prints, 0);
  EXPECT_EQ(dialogs.messages(), QStringList{"印刷する問題がありません。\r\n先に「作成」で問題を作って下さい。"});
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("印刷する問題がありません"));
  EXPECT_FALSE(preview.visible);

  // No preview yet: the problem sheet is composed and shown, then printed.
  w->BtnMakeClick();
  preview.printStatus = QStringLiteral("プリンタ「zq」に送りました（1部）");
  w->Print1->trigger();
  EXPECT_EQ(preview.prints, 1);
  EXPECT_TRUE(preview.visible);
  EXPECT_TRUE(preview.model().ListbyProgram().join('\n').contains(QStringLiteral("\"( 1)\"")));
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("プリンタ「zq」に送りました（1部）"));

  // An open preview prints the sheet it shows.
  w->Button2Click();
  const QStringList answers = preview.model().ListbyProgram();
  w->Print1->trigger();
  EXPECT_EQ(preview.prints, 2);
  EXPECT_EQ(preview.model().ListbyProgram(), answers);
}

TEST_F(MainWindowTest, SavePdfWritesTheThreeSheets) {
  QAction* save = w->findChild<QAction*>("SavePdf1");
  ASSERT_NE(save, nullptr);
  EXPECT_EQ(save->text(), QStringLiteral("PDFに保存(&D)..."));
  EXPECT_TRUE(w->findChild<QMenu*>("File1")->actions().contains(save));

  save->trigger();
  EXPECT_EQ(dialogs.messages(), QStringList{"PDF にする問題がありません。\r\n先に「作成」で問題を作って下さい。"});

  w->BtnMakeClick();
  const QString path = dir.filePath("sheets.pdf");
  dialogs.clear();
  dialogs.answerSaveFile(std::nullopt);
  save->trigger();
  EXPECT_FALSE(QFile::exists(path));
  dialogs.answerSaveFile(path);
  const MainSettings before = w->settings;
  save->trigger();
  ASSERT_EQ(dialogs.shown().size(), 2u);
  EXPECT_EQ(dialogs.shown()[1].caption, QStringLiteral("PDFに保存"));
  EXPECT_EQ(dialogs.shown()[1].detail, QStringLiteral("PDF ファイル (*.pdf) | pdf"));
  EXPECT_TRUE(dialogs.messages().isEmpty());
  const QByteArray pdf = readFile(path);
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  EXPECT_EQ(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 3);
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("PDF ファイル「%1」に保存しました").arg(QDir::toNativeSeparators(path)));
  EXPECT_EQ(w->settings.WindowTop, before.WindowTop) << "the window's settings stay as they were";
  EXPECT_FALSE(preview.visible) << "nothing shown";

  // A folder that is not there: a message, no file.
  dialogs.clear();
  const QString missing = dir.filePath("no/such/folder/sheets.pdf");
  dialogs.answerSaveFile(missing);
  save->trigger();
  ASSERT_EQ(dialogs.messages().size(), 1);
  EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("PDF ファイルに保存できませんでした。")));
  EXPECT_EQ(w->StPanel1->text(), QStringLiteral("PDF ファイルに保存できませんでした"));
  EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(MainWindowTest, KeysOnTheActions) {
  const struct {
    const char* action;
    QList<QKeySequence> keys;
  } cases[] = {
      {"Print1", {QKeySequence(Qt::CTRL | Qt::Key_P)}},
      {"Exit1", {QKeySequence(Qt::CTRL | Qt::Key_Q)}},
      {"HelpLocal", {QKeySequence(Qt::Key_F1)}},
      {"Help2", {}},
      {"Make1", {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}},
  };
  for (const auto& c : cases) {
    QAction* a = w->findChild<QAction*>(QLatin1String(c.action));
    ASSERT_NE(a, nullptr) << c.action;
    EXPECT_EQ(a->shortcuts(), c.keys) << c.action;
  }

  // Ctrl+Return makes problems with the focus in a list, and does not reach the list.
  w->Memo2->setFocus();
  QApplication::processEvents();
  QTest::keyClick(w->Memo2, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(memoLines(w->Memo1->toPlainText()).size(), 10);
  EXPECT_FALSE(w->Memo2->toPlainText().startsWith('\n'));
}

}  // namespace
}  // namespace zubira
