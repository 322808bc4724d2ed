#include "worksheet/style_dialog.h"

#include "drawing/font_choice.h"

#include "platform/real_format.h"
#include "platform/site_links.h"
#include "tests/support/scripted_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::DialogKind;
using testing::ScriptedDialogs;

std::string str(const QString& s) { return s.toStdString(); }

// The main window's fields and the dialog on them, shown and active so that focus changes are
// real. Every test installs scripted dialogs: an unexpected dialog fails it.
class StyleFixture : public ::testing::Test {
 protected:
  void show() {
    dlg.setSettings(&main, &gen);
    dlg.show();
    activate();
  }
  void activate() {
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
  }
  QLineEdit* edit(const char* name) {
    auto* e = dlg.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(e, nullptr) << name;
    return e;
  }
  template <class W>
  W* child(const char* name) {
    auto* w = dlg.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  // Enters the edit, replaces its text by typing, and leaves it for `next` (the Cancel button
  // unless told), as the Tab key or a click would.
  void typeAndLeave(QLineEdit* e, const QString& text, QWidget* next = nullptr) {
    e->setFocus(Qt::TabFocusReason);
    e->selectAll();
    if (text.isEmpty()) {
      QTest::keyClick(e, Qt::Key_Delete);
    } else {
      QTest::keyClicks(e, text);
    }
    (next ? next : static_cast<QWidget*>(dlg.BtnCancel))->setFocus(Qt::TabFocusReason);
  }

  ScriptedDialogs dialogs;
  MainSettings main;
  GenerationSettings gen;
  TFrmStyle dlg;
};

using TFrmStyleTest = StyleFixture;

TEST_F(TFrmStyleTest, CaptionGroupsAndControls) {
  show();
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("スタイル"));
  EXPECT_EQ(dlg.windowFlags() & Qt::WindowType_Mask, Qt::Tool);

  QStringList groups;
  for (QGroupBox* g : dlg.findChildren<QGroupBox*>()) groups << g->title();
  groups.sort();
  QStringList expectedGroups{QStringLiteral("問題"), QStringLiteral("問題番号の形式"),
                             QStringLiteral("答えの印刷"), QStringLiteral("余白")};
  expectedGroups.sort();
  EXPECT_EQ(groups, expectedGroups);

  // Each control, its caption and its group.
  const struct {
    const char* name;
    const char* text;  // nullptr for edit boxes
    const char* group;
  } controls[] = {
      {"EdtRow", nullptr, "問題"},         {"EdtCol", nullptr, "問題"},
      {"Button3", "フォント", "問題"},     {"EdtLeft", nullptr, "問題番号の形式"},
      {"EdtRight", nullptr, "問題番号の形式"}, {"CBoxExam", "描画する", "問題番号の形式"},
      {"EdtSeparate", nullptr, "問題番号の形式"}, {"RButton1", "別に印刷", "答えの印刷"},
      {"RButton2", "共に印刷", "答えの印刷"}, {"EdtTopP", nullptr, "余白"},
      {"EdtLeftP", nullptr, "余白"},       {"EdtRightP", nullptr, "余白"},
      {"EdtBottomP", nullptr, "余白"},     {"CBoxFrame", "枠", "余白"},
      {"BtnOK", "&OK", nullptr},           {"BtnCancel", "&Cancel", nullptr},
      {"Button1", "&Help", nullptr},
  };
  for (const auto& c : controls) {
    QWidget* w = dlg.findChild<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_NE(w, nullptr) << c.name;
    if (c.text) {
      auto* b = qobject_cast<QAbstractButton*>(w);
      ASSERT_NE(b, nullptr) << c.name;
      EXPECT_EQ(b->text(), QString::fromUtf8(c.text)) << c.name;
    } else {
      EXPECT_NE(qobject_cast<QLineEdit*>(w), nullptr) << c.name;
    }
    auto* group = qobject_cast<QGroupBox*>(w->parentWidget());
    if (c.group) {
      ASSERT_NE(group, nullptr) << c.name;
      EXPECT_EQ(group->title(), QString::fromUtf8(c.group)) << c.name;
    } else {
      EXPECT_EQ(group, nullptr) << c.name;
    }
  }

  // The labels, each in its group and next to its edit box.
  QStringList labels;
  for (QLabel* l : dlg.findChildren<QLabel*>()) labels << l->text();
  labels.sort();
  QStringList expectedLabels{"行", "列", "間隔", "mm", "上", "左", "右", "下", "mm"};
  expectedLabels.sort();
  EXPECT_EQ(labels, expectedLabels);
  const struct {
    const char* label;
    const char* edit;
  } buddies[] = {{"LblTopP", "EdtTopP"}, {"LblLeftP", "EdtLeftP"}, {"LblRightP", "EdtRightP"},
                 {"LblBottomP", "EdtBottomP"}, {"LblSeparate", "EdtSeparate"}};
  for (const auto& b : buddies) {
    QLabel* l = child<QLabel>(b.label);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->buddy(), edit(b.edit)) << b.label;
  }
}

TEST_F(TFrmStyleTest, CentredOnTheScreen) {
  QWidget owner;
  owner.setGeometry(10, 10, 200, 150);
  owner.show();
  TFrmStyle dialog(&owner);
  dialog.show();
  ASSERT_NE(dialog.screen(), nullptr);
  const QPoint centre = dialog.screen()->availableGeometry().center();
  EXPECT_NEAR(dialog.geometry().center().x(), centre.x(), 2);
  EXPECT_NEAR(dialog.geometry().center().y(), centre.y(), 2);
}

TEST_F(TFrmStyleTest, TheTabKeyLeavesTheEdit) {
  show();
  QLineEdit* row = edit("EdtRow");
  row->setFocus(Qt::MouseFocusReason);
  row->selectAll();
  QTest::keyClicks(row, QStringLiteral("11"));
  QTest::keyClick(row, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), edit("EdtCol"));
  EXPECT_EQ(row->text(), QStringLiteral("10"));
  EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("行は１以上１０以下でなければなりません")});
  // The next edit was entered with its own text.
  EXPECT_EQ(dlg.EdtTmp, QStringLiteral("1"));
}

TEST_F(TFrmStyleTest, EveryShowingLoadsTheFields) {
  main.WindowTop = 47.25;
  main.WindowLeft = 12.5;
  main.WindowRight = 0.000001;
  main.WindowBottom = 30;
  main.ExamSeparate = 3.5;
  main.ExNumLeft = QStringLiteral("［");
  main.ExNumRight = QStringLiteral("］");
  main.fExNum = false;
  main.WindowFrame = true;
  main.AnswerType = 2;
  gen.ExamRowN = 5;
  gen.ExamColN = 4;
  show();
  EXPECT_EQ(edit("EdtRow")->text(), QStringLiteral("5"));
  EXPECT_EQ(edit("EdtCol")->text(), QStringLiteral("4"));
  EXPECT_EQ(edit("EdtTopP")->text(), QStringLiteral("47.25"));
  EXPECT_EQ(edit("EdtLeftP")->text(), QStringLiteral("12.5"));
  EXPECT_EQ(edit("EdtRightP")->text(), QStringLiteral("1E-6"));
  EXPECT_EQ(edit("EdtBottomP")->text(), QStringLiteral("30"));
  EXPECT_EQ(edit("EdtSeparate")->text(), QStringLiteral("3.5"));
  EXPECT_EQ(edit("EdtLeft")->text(), QStringLiteral("［"));
  EXPECT_EQ(edit("EdtRight")->text(), QStringLiteral("］"));
  EXPECT_FALSE(child<QCheckBox>("CBoxExam")->isChecked());
  EXPECT_TRUE(child<QCheckBox>("CBoxFrame")->isChecked());
  EXPECT_TRUE(child<QRadioButton>("RButton2")->isChecked());

  // Edits made in a cancelled showing are lost; the next showing loads the fields again.
  typeAndLeave(edit("EdtLeftP"), QStringLiteral("20"));
  edit("EdtLeft")->setText(QStringLiteral("<"));
  QTest::mouseClick(dlg.BtnCancel, Qt::LeftButton);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(main.WindowLeft, 12.5);
  main.WindowTop = 50;
  show();
  EXPECT_EQ(edit("EdtLeftP")->text(), QStringLiteral("12.5"));
  EXPECT_EQ(edit("EdtLeft")->text(), QStringLiteral("［"));
  EXPECT_EQ(edit("EdtTopP")->text(), QStringLiteral("50"));
}

TEST_F(TFrmStyleTest, AnswerTypeShownAndStored) {
  struct Case {
    int loaded;
    bool first;
    int stored;
  } cases[] = {{1, true, 1}, {2, false, 2}, {3, false, 2}, {0, false, 2}};
  for (const Case& c : cases) {
    main.AnswerType = c.loaded;
    show();
    EXPECT_EQ(child<QRadioButton>("RButton1")->isChecked(), c.first) << c.loaded;
    EXPECT_EQ(child<QRadioButton>("RButton2")->isChecked(), !c.first) << c.loaded;
    QTest::mouseClick(dlg.BtnOK, Qt::LeftButton);
    EXPECT_EQ(main.AnswerType, c.stored) << c.loaded;
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
  }
  main.AnswerType = 2;
  show();
  child<QRadioButton>("RButton1")->click();
  QTest::mouseClick(dlg.BtnOK, Qt::LeftButton);
  EXPECT_EQ(main.AnswerType, 1);
}

TEST_F(TFrmStyleTest, GridChecksOnLeaving) {
  struct Case {
    const char* edit;
    const char* otherText;  // the other grid field's text
    const char* typed;
    const char* shown;      // afterwards
    const char* message;    // nullptr: accepted without one
  } cases[] = {
      {"EdtCol", "10", "3", "1", "問題数は１以上２０以下でなければなりません"},
      {"EdtCol", "10", "2", "2", nullptr},
      {"EdtCol", "10", "5", "1", "列は１以上４以下でなければなりません"},
      {"EdtCol", "1", "5", "1", "列は１以上４以下でなければなりません"},
      {"EdtCol", "5", "4", "4", nullptr},
      {"EdtCol", "10", "0", "1", "列は１以上４以下でなければなりません"},
      {"EdtCol", "abc", "3", "1", "問題数は１以上２０以下でなければなりません"},  // rows count as 10
      {"EdtCol", "10", "x", "1", nullptr},  // counts as 1 column and shows it
      {"EdtRow", "1", "11", "10", "行は１以上１０以下でなければなりません"},
      {"EdtRow", "1", "0", "10", "行は１以上１０以下でなければなりません"},
      {"EdtRow", "1", "-1", "10", "行は１以上１０以下でなければなりません"},
      {"EdtRow", "3", "7", "10", "問題数は１以上２０以下でなければなりません"},
      {"EdtRow", "2", "abc", "10", nullptr},  // counts as 10 rows and shows it
      {"EdtRow", "3", "abc", "10", "問題数は１以上２０以下でなければなりません"},
      {"EdtRow", "4", "5", "5", nullptr},
      {"EdtRow", "x", "9", "9", nullptr},  // columns count as 1
      {"EdtRow", "1", " 7 ", "7", nullptr},
      {"EdtRow", "1", "", "10", nullptr},
  };
  for (const Case& c : cases) {
    gen.ExamRowN = 10;
    gen.ExamColN = 1;
    show();
    const bool rows = std::string(c.edit) == "EdtRow";
    QLineEdit* e = edit(c.edit);
    edit(rows ? "EdtCol" : "EdtRow")->setText(QString::fromUtf8(c.otherText));
    dialogs.clear();
    typeAndLeave(e, QString::fromUtf8(c.typed));
    const std::string what = std::string(c.edit) + " \"" + c.typed + "\" with " + c.otherText;
    EXPECT_EQ(str(e->text()), c.shown) << what;
    EXPECT_EQ(dialogs.messages(),
              c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{})
        << what;
    EXPECT_EQ(gen.ExamRowN, 10) << "nothing stored before OK: " << what;
    EXPECT_EQ(gen.ExamColN, 1) << what;
    dlg.reject();
  }
}

TEST_F(TFrmStyleTest, MarginChecksOnLeaving) {
  struct Case {
    const char* typed;
    const char* shown;
    bool message;
    bool focusBack;
  } cases[] = {
      {"61", "10", true, true},      {"60.0001", "10", true, true}, {"1e3", "10", true, true},
      {"60", "60", false, false},    {"0", "0", false, false},      {"12.5", "12.5", false, false},
      {"-1", "10", false, false},    {"-0.5", "10", false, false},  {"abc", "10", false, false},
      {"", "10", false, false},      {"1,5", "10", false, false},   {" 7 ", " 7 ", false, false},
  };
  for (const char* name : {"EdtTopP", "EdtLeftP", "EdtRightP", "EdtBottomP"}) {
    for (const Case& c : cases) {
      show();
      dialogs.clear();
      QLineEdit* e = edit(name);
      typeAndLeave(e, QString::fromUtf8(c.typed));
      const std::string what = std::string(name) + " \"" + c.typed + "\"";
      EXPECT_EQ(str(e->text()), c.shown) << what;
      EXPECT_EQ(dialogs.messages(),
                c.message ? QStringList{QStringLiteral("余白は60以下でなければいけません")}
                          : QStringList{})
          << what;
      EXPECT_EQ(QApplication::focusWidget() == e, c.focusBack) << what;
      dlg.reject();
    }
  }
  EXPECT_EQ(marginTooLargeMessage(), QStringLiteral("余白は60以下でなければいけません"));
}

TEST_F(TFrmStyleTest, AMarginRefusedForItsSizeCanBeCorrectedAtOnce) {
  show();
  QLineEdit* top = edit("EdtTopP");
  typeAndLeave(top, QStringLiteral("75"), edit("EdtLeftP"));
  ASSERT_EQ(QApplication::focusWidget(), top);
  // The focus is back: the user types again and leaves; the restored text is what was entered.
  top->selectAll();
  QTest::keyClicks(top, QStringLiteral("x"));
  edit("EdtLeftP")->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(top->text(), QStringLiteral("10"));
  EXPECT_EQ(dialogs.messages().size(), 1);
  EXPECT_EQ(edit("EdtLeftP")->text(), QStringLiteral("10")) << "the next edit was not checked";
}

TEST_F(TFrmStyleTest, GapChecksOnLeaving) {
  struct Case {
    const char* typed;
    const char* shown;
  } cases[] = {{"-1", "10"}, {"x", "10"}, {"", "10"}, {"100", "100"}, {"2.5", "2.5"}, {"0", "0"},
               {"1e2", "1e2"}};
  for (const Case& c : cases) {
    show();
    dialogs.clear();
    typeAndLeave(edit("EdtSeparate"), QString::fromUtf8(c.typed));
    EXPECT_EQ(str(edit("EdtSeparate")->text()), c.shown) << c.typed;
    EXPECT_TRUE(dialogs.messages().isEmpty()) << c.typed;
    dlg.reject();
  }
}

TEST_F(TFrmStyleTest, OkStoresEveryControl) {
  show();
  typeAndLeave(edit("EdtRow"), QStringLiteral("5"));
  typeAndLeave(edit("EdtCol"), QStringLiteral("4"));
  typeAndLeave(edit("EdtTopP"), QStringLiteral("20.5"));
  typeAndLeave(edit("EdtLeftP"), QStringLiteral("0"));
  typeAndLeave(edit("EdtRightP"), QStringLiteral("60"));
  typeAndLeave(edit("EdtBottomP"), QStringLiteral("15"));
  typeAndLeave(edit("EdtSeparate"), QStringLiteral("2.25"));
  typeAndLeave(edit("EdtLeft"), QStringLiteral("No."));
  typeAndLeave(edit("EdtRight"), QStringLiteral(":"));
  child<QCheckBox>("CBoxExam")->setChecked(false);
  child<QCheckBox>("CBoxFrame")->setChecked(true);
  child<QRadioButton>("RButton2")->setChecked(true);
  QTest::mouseClick(dlg.BtnOK, Qt::LeftButton);

  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(gen.ExamRowN, 5);
  EXPECT_EQ(gen.ExamColN, 4);
  EXPECT_EQ(main.WindowTop, 20.5);
  EXPECT_EQ(main.WindowLeft, 0);
  EXPECT_EQ(main.WindowRight, 60);
  EXPECT_EQ(main.WindowBottom, 15);
  EXPECT_EQ(main.ExamSeparate, 2.25);
  EXPECT_EQ(main.ExNumLeft, QStringLiteral("No."));
  EXPECT_EQ(main.ExNumRight, QStringLiteral(":"));
  EXPECT_FALSE(main.fExNum);
  EXPECT_TRUE(main.WindowFrame);
  EXPECT_EQ(main.AnswerType, 2);
  EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(TFrmStyleTest, CancelAndClosingStoreNothing) {
  for (int way = 0; way < 3; ++way) {
    const MainSettings before = main;
    show();
    typeAndLeave(edit("EdtRow"), QStringLiteral("2"));
    typeAndLeave(edit("EdtBottomP"), QStringLiteral("33"));
    child<QCheckBox>("CBoxFrame")->setChecked(true);
    dialogs.answerFont(FontChoice{QFont(QStringLiteral("IPAMincho"), 30), Qt::red});
    QTest::mouseClick(dlg.Button3, Qt::LeftButton);
    if (way == 0) QTest::mouseClick(dlg.BtnCancel, Qt::LeftButton);
    if (way == 1) dlg.close();
    if (way == 2) QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible()) << way;
    EXPECT_EQ(dlg.result(), QDialog::Rejected) << way;
    EXPECT_EQ(gen.ExamRowN, 10) << way;
    EXPECT_EQ(main.WindowBottom, before.WindowBottom) << way;
    EXPECT_EQ(main.WindowFrame, before.WindowFrame) << way;
    EXPECT_EQ(main.FntExam.name, before.FntExam.name) << way;
    EXPECT_EQ(main.FntExam.size, before.FntExam.size) << way;
  }
}

TEST_F(TFrmStyleTest, ARaisedTopMarginIsShownAndKeptByOk) {
  for (double raised : {41.2345678, 72.5}) {
    main.WindowTop = raised;
    show();
    QLineEdit* top = edit("EdtTopP");
    EXPECT_EQ(top->text(), formatReal(raised));
    // Entering and leaving it unchanged asks nothing, even above 60.
    top->setFocus(Qt::TabFocusReason);
    edit("EdtLeftP")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(dialogs.messages().isEmpty()) << raised;
    QTest::mouseClick(dlg.BtnOK, Qt::LeftButton);
    EXPECT_EQ(main.WindowTop, raised);
    EXPECT_FALSE(dlg.isVisible());
  }
}

TEST_F(TFrmStyleTest, OkWithoutLeavingChecksTheEditFirst) {
  struct Case {
    const char* edit;
    const char* typed;
    bool closes;
    const char* message;  // nullptr: none
  } cases[] = {
      {"EdtTopP", "75", false, "余白は60以下でなければいけません"},
      {"EdtTopP", "abc", false, nullptr},
      {"EdtTopP", "25", true, nullptr},
      {"EdtSeparate", "-3", false, nullptr},
      {"EdtCol", "3", false, "問題数は１以上２０以下でなければなりません"},
      {"EdtRow", "x", true, nullptr},
  };
  for (const Case& c : cases) {
    for (bool byEnter : {false, true}) {
      main = MainSettings{};
      gen = GenerationSettings{};
      show();
      dialogs.clear();
      QLineEdit* e = edit(c.edit);
      e->setFocus(Qt::TabFocusReason);
      e->selectAll();
      QTest::keyClicks(e, QString::fromUtf8(c.typed));
      if (byEnter) {
        QTest::keyClick(e, Qt::Key_Return);  // the default button; the focus stays here
      } else {
        dlg.BtnOK->click();  // as Alt+O does
      }
      const std::string what = std::string(c.edit) + " \"" + c.typed + "\"" +
                               (byEnter ? " by Enter" : " by shortcut");
      EXPECT_EQ(dlg.isVisible(), !c.closes) << what;
      EXPECT_EQ(dialogs.messages(),
                c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{})
          << what;
      if (c.closes) {
        EXPECT_EQ(main.WindowTop, std::string(c.edit) == "EdtTopP" ? 25 : 10) << what;
        EXPECT_EQ(gen.ExamRowN, 10) << what;
      } else {
        EXPECT_EQ(e->text(), std::string(c.edit) == "EdtCol" ? QStringLiteral("1")
                                                               : QStringLiteral("10"))
            << what << ": restored";
        EXPECT_EQ(main.WindowTop, 10) << what;
        EXPECT_EQ(main.ExamSeparate, 10) << what;
        EXPECT_EQ(gen.ExamColN, 1) << what;
        // A second OK stores the restored values.
        dlg.BtnOK->click();
        EXPECT_FALSE(dlg.isVisible()) << what;
        EXPECT_EQ(main.WindowTop, 10) << what;
      }
      dlg.reject();
    }
  }
}

TEST_F(TFrmStyleTest, OkByMouseAfterABadEntryStoresTheRestoredText) {
  show();
  QLineEdit* bottom = edit("EdtBottomP");
  bottom->setFocus(Qt::TabFocusReason);
  bottom->selectAll();
  QTest::keyClicks(bottom, QStringLiteral("-4"));
  QTest::mouseClick(dlg.BtnOK, Qt::LeftButton);  // the press takes the focus and leaves the edit
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(main.WindowBottom, 10);
}

TEST_F(TFrmStyleTest, FontDialogWorksOnACopy) {
  main.FntExam = ExamFont{QStringLiteral("ＭＳ 明朝"), 18, 0, false, true};
  show();
  QFont chosen(QStringLiteral("IPAPGothic"));
  chosen.setPointSize(30);
  chosen.setBold(true);
  dialogs.answerFont(FontChoice{chosen, QColor(255, 0, 0)});
  QTest::mouseClick(dlg.Button3, Qt::LeftButton);
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].kind, DialogKind::Font);
  EXPECT_EQ(dialogs.shown()[0].text, drawnFamily(QStringLiteral("ＭＳ 明朝"))) << "preset with the face drawn";
  EXPECT_EQ(main.FntExam.name, QStringLiteral("ＭＳ 明朝")) << "nothing stored before OK";
  EXPECT_EQ(dlg.FontExam.name, QStringLiteral("IPAPGothic"));

  // A second font dialog starts from the first one's choice; cancelling it keeps that choice.
  dialogs.answerFont(std::nullopt);
  QTest::mouseClick(dlg.Button3, Qt::LeftButton);
  EXPECT_EQ(dialogs.shown()[1].text, QStringLiteral("IPAPGothic"));

  // A size the sheets cannot take is refused with its message; the earlier choice stays.
  for (const int size : {4, 100}) {
    QFont odd(QStringLiteral("IPAMincho"));
    odd.setPointSize(size);
    dialogs.answerFont(FontChoice{odd, QColor(0, 0, 0)});
    QTest::mouseClick(dlg.Button3, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages().constLast(), ExamFontSizeMessage()) << size;
    EXPECT_EQ(dlg.FontExam.size, 30) << size;
  }

  QTest::mouseClick(dlg.BtnOK, Qt::LeftButton);
  EXPECT_EQ(main.FntExam.name, QStringLiteral("IPAPGothic"));
  EXPECT_EQ(main.FntExam.size, 30);
  EXPECT_TRUE(main.FntExam.bold);
  EXPECT_FALSE(main.FntExam.italic);
  EXPECT_EQ(main.FntExam.color, 0x0000FF) << "red in the low byte";
}

TEST(ExamFontChoice, RoundTripsFaceSizeStyleAndColour) {
  const ExamFont fonts[] = {
      {QStringLiteral("ＭＳ Ｐゴシック"), 24, 0, false, false},
      {QStringLiteral("ＭＳ 明朝"), 11, makeTColor(0x12, 0x34, 0x56), true, true},
      {QStringLiteral("CourierNew"), 72, makeTColor(255, 255, 255), false, true},
  };
  for (const ExamFont& f : fonts) {
    const FontChoice c = canvasFontChoice(f);
    EXPECT_EQ(c.font.family(), drawnFamily(f.name)) << "the dialog opens on the face drawn";
    EXPECT_EQ(c.font.pointSize(), f.size);
    EXPECT_EQ(toTColor(c.color), f.color);
    const ExamFont back = canvasFontFromChoice(c, f);
    EXPECT_EQ(back.name, f.name);
    EXPECT_EQ(back.size, f.size);
    EXPECT_EQ(back.color, f.color);
    EXPECT_EQ(back.bold, f.bold);
    EXPECT_EQ(back.italic, f.italic);
  }
  // A font measured in pixels has no point size: the size stays.
  QFont pixels(QStringLiteral("IPAMincho"));
  pixels.setPixelSize(20);
  ExamFont before;
  before.size = 17;
  EXPECT_EQ(canvasFontFromChoice(FontChoice{pixels, Qt::black}, before).size, 17);
  // A size of 0 read from a settings file leaves the dialog's own default.
  ExamFont zero;
  zero.size = 0;
  EXPECT_GT(canvasFontChoice(zero).font.pointSize(), 0);
}

TEST_F(TFrmStyleTest, HelpOpensTheProgramsHelpPageOrSaysItCouldNot) {
  for (bool opened : {true, false}) {
    dialogs.clear();
    dialogs.answerOpenUrl(opened);
    show();
    QTest::mouseClick(dlg.Button1, Qt::LeftButton);
    ASSERT_GE(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, DialogKind::OpenUrl);
    EXPECT_EQ(dialogs.shown()[0].text, siteLinks().help.toString());
    EXPECT_EQ(dialogs.messages(),
              opened ? QStringList{}
                     : QStringList{QStringLiteral("エラー：繰り返し発生する場合作者へご連絡下さい")});
    EXPECT_TRUE(dlg.isVisible());
    dlg.reject();
  }
}

TEST_F(TFrmStyleTest, WithoutFieldsShowsDefaultsAndStoresNothing) {
  dlg.show();
  activate();
  EXPECT_EQ(edit("EdtRow")->text(), QStringLiteral("10"));
  EXPECT_EQ(edit("EdtTopP")->text(), QStringLiteral("10"));
  QTest::mouseClick(dlg.BtnOK, Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(TFrmStyleTest, ModalShowingFromTheMainWindow) {
  gen.ExamRowN = 4;
  dlg.setSettings(&main, &gen);
  QTimer::singleShot(0, &dlg, [&] {
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    typeAndLeave(edit("EdtCol"), QStringLiteral("5"));  // more than 4 columns
    QTest::mouseClick(dlg.BtnOK, Qt::LeftButton);
  });
  EXPECT_EQ(dlg.exec(), QDialog::Accepted);
  EXPECT_EQ(gen.ExamColN, 1) << "5 columns are refused";
  EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("列は１以上４以下でなければなりません")});
}

}  // namespace
}  // namespace zubira
