#include "generation/rnd_d_dialog.h"

#include "platform/site_links.h"
#include "tests/support/scripted_dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::DialogKind;
using testing::ScriptedDialogs;

// The dialog shown (not modally) and active, so that focus changes are real.
class ShownDialog {
 public:
  explicit ShownDialog(int32_t rnd_D = 0) {
    dlg.SetD(rnd_D);
    dlg.show();
    dlg.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dlg));
  }
  QLineEdit* edit() { return dlg.findChild<QLineEdit*>(QStringLiteral("EdtD")); }
  QPushButton* button(const char* name) {
    return dlg.findChild<QPushButton*>(QString::fromLatin1(name));
  }
  // Enters EdtD, replaces its text by typing, and leaves it for the OK button.
  void typeAndLeave(const QString& text) {
    edit()->setFocus(Qt::TabFocusReason);
    edit()->selectAll();
    QTest::keyClicks(edit(), text);
    button("BtnOK")->setFocus(Qt::TabFocusReason);
  }
  TFrmRndD dlg;
};

TEST(TFrmRndD, CaptionTextsAndButtonsTopToBottom) {
  ShownDialog s;
  EXPECT_EQ(s.dlg.windowTitle(), QStringLiteral("乱数の振り方"));
  EXPECT_EQ(s.dlg.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
  ASSERT_NE(s.edit(), nullptr);

  // The labels in reading order: by line, then from left to right.
  QList<QLabel*> labels = s.dlg.findChildren<QLabel*>();
  std::sort(labels.begin(), labels.end(), [&](QLabel* a, QLabel* b) {
    const QPoint pa = a->mapTo(&s.dlg, QPoint(0, a->height() / 2));
    const QPoint pb = b->mapTo(&s.dlg, QPoint(0, b->height() / 2));
    if (std::abs(pa.y() - pb.y()) > 3) return pa.y() < pb.y();
    return pa.x() < pb.x();
  });
  QStringList texts;
  for (QLabel* l : labels) texts << l->text();
  EXPECT_EQ(texts, (QStringList{
                       QStringLiteral("演算(＋,－,×,÷)の右の数と左の数の出現の確率に関するパラメータＤ"),
                       QStringLiteral("パラメーターＤの値"),
                       QStringLiteral("（整数）"),
                       QStringLiteral("零　：　最小値から最大値の間の均一乱数"),
                       QStringLiteral("正　：　最小値を中心とし、標準偏差が最大値／Ｄの正規分布乱数"),
                       QStringLiteral("負　：　最大値を中心とし、標準偏差が最大値／Ｄの正規分布乱数"),
                   }))
      << texts.join(QLatin1Char('\n')).toStdString();

  // The edit sits between "パラメーターＤの値" and "（整数）".
  const int editX = s.edit()->mapTo(&s.dlg, QPoint(0, 0)).x();
  EXPECT_GT(editX, labels[1]->mapTo(&s.dlg, QPoint(0, 0)).x());
  EXPECT_LT(editX, labels[2]->mapTo(&s.dlg, QPoint(0, 0)).x());

  const struct {
    const char* name;
    const char* text;
  } buttons[] = {{"BtnOK", "&OK"}, {"BtnCancel", "&Cancel"}, {"Button1", "&Help"}};
  int lastX = -1;
  for (const auto& b : buttons) {
    QPushButton* p = s.button(b.name);
    ASSERT_NE(p, nullptr) << b.name;
    EXPECT_EQ(p->text(), QString::fromLatin1(b.text));
    const QPoint at = p->mapTo(&s.dlg, QPoint(0, 0));
    EXPECT_GT(at.y(), labels.back()->mapTo(&s.dlg, QPoint(0, 0)).y()) << b.name << " below the texts";
    EXPECT_GT(at.x(), lastX) << b.name;
    lastX = at.x();
  }
}

TEST(TFrmRndD, CentredOnTheMainWindow) {
  QWidget owner;
  owner.setGeometry(40, 30, 700, 500);
  owner.show();
  TFrmRndD dlg(&owner);
  dlg.show();
  EXPECT_NEAR(dlg.frameGeometry().center().x(), owner.frameGeometry().center().x(), 2);
  EXPECT_NEAR(dlg.frameGeometry().center().y(), owner.frameGeometry().center().y(), 2);
}

TEST(TFrmRndD, LeavingWithATextThatIsNotAnIntegerRestoresItSilently) {
  ScriptedDialogs dialogs;
  struct Case {
    const char* typed;
    const char* shown;
  } cases[] = {
      {"x", "5"}, {"", "5"}, {"1.5", "5"}, {"--3", "5"}, {"99999999999", "5"},
      {"-3", "-3"}, {"+8", "+8"}, {"$A", "$A"}, {" 12 ", " 12 "}, {"0", "0"},
  };
  for (const Case& c : cases) {
    ShownDialog s(5);
    s.typeAndLeave(QString::fromUtf8(c.typed));
    EXPECT_EQ(s.edit()->text(), QString::fromUtf8(c.shown)) << c.typed;
    EXPECT_EQ(s.dlg.StrTmp, QStringLiteral("5")) << c.typed;
  }
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(TFrmRndD, EnteringRemembersTheTextOfThatMoment) {
  ShownDialog s(5);
  s.typeAndLeave(QStringLiteral("7"));
  s.typeAndLeave(QStringLiteral("oops"));
  EXPECT_EQ(s.edit()->text(), QStringLiteral("7"));
}

TEST(TFrmRndD, TheValueTakenOnOkOrCancel) {
  struct Case {
    const char* text;
    bool ok;
    int32_t expected;
  } cases[] = {
      {"-3", true, -3}, {"x", true, 0}, {"", true, 0}, {" 12 ", true, 12}, {"$10", true, 16},
      {"0x1F", true, 31}, {"2147483647", true, 2147483647}, {"2147483648", true, 0},
      {"-3", false, 42}, {"x", false, 42},
  };
  for (const Case& c : cases) {
    TFrmRndD dlg;
    dlg.EdtD->setText(QString::fromUtf8(c.text));
    EXPECT_EQ(dlg.TakeD(42, c.ok), c.expected) << c.text << (c.ok ? " OK" : " Cancel");
  }
}

TEST(TFrmRndD, R1ClickShowsTheCurrentValueAndTakesTheNewOneOnOk) {
  TFrmRndD dlg;
  QString shown;
  QTimer::singleShot(0, &dlg, [&] {
    shown = dlg.EdtD->text();
    dlg.EdtD->setFocus(Qt::TabFocusReason);
    dlg.EdtD->selectAll();
    QTest::keyClicks(dlg.EdtD, QStringLiteral("-3"));
    QTest::mouseClick(dlg.BtnOK, Qt::LeftButton);
  });
  EXPECT_EQ(R1Click(dlg, 4), -3);
  EXPECT_EQ(shown, QStringLiteral("4"));
  EXPECT_FALSE(dlg.isVisible());
}

TEST(TFrmRndD, R1ClickKeepsTheValueOnCancel) {
  TFrmRndD dlg;
  QTimer::singleShot(0, &dlg, [&] {
    dlg.EdtD->setText(QStringLiteral("9"));
    QTest::mouseClick(dlg.BtnCancel, Qt::LeftButton);
  });
  EXPECT_EQ(R1Click(dlg, 4), 4);
}

TEST(TFrmRndD, OkByEnterWithATextThatIsNotAnIntegerGivesZero) {
  TFrmRndD dlg;
  QTimer::singleShot(0, &dlg, [&] {
    dlg.EdtD->setFocus(Qt::TabFocusReason);
    dlg.EdtD->selectAll();
    QTest::keyClicks(dlg.EdtD, QStringLiteral("abc"));
    QTest::keyClick(dlg.EdtD, Qt::Key_Return);  // the default button, without leaving the edit
  });
  EXPECT_EQ(R1Click(dlg, 4), 0);
}

TEST(TFrmRndD, EveryShowingRemembersItsOwnStartingText) {
  TFrmRndD dlg;
  auto typeInto = [&](const QString& text) {
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    dlg.EdtD->setFocus(Qt::TabFocusReason);
    dlg.EdtD->selectAll();
    QTest::keyClicks(dlg.EdtD, text);
  };
  // The first showing ends by Enter, so the edit still has the focus when the dialog hides.
  QTimer::singleShot(0, &dlg, [&] {
    typeInto(QStringLiteral("7"));
    QTest::keyClick(dlg.EdtD, Qt::Key_Return);
  });
  EXPECT_EQ(R1Click(dlg, 4), 7);
  // The second showing starts from -2: a bad entry goes back to -2, not to the first's 4.
  QTimer::singleShot(0, &dlg, [&] {
    typeInto(QStringLiteral("no"));
    QTest::mouseClick(dlg.BtnOK, Qt::LeftButton);  // the click leaves the edit first
  });
  EXPECT_EQ(R1Click(dlg, -2), -2);
}

TEST(TFrmRndD, HelpOpensTheDialogsHelpPageOrSaysItCouldNot) {
  for (bool opened : {true, false}) {
    ScriptedDialogs dialogs;
    dialogs.answerOpenUrl(opened);
    ShownDialog s;
    QTest::mouseClick(s.button("Button1"), Qt::LeftButton);
    ASSERT_GE(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, DialogKind::OpenUrl);
    EXPECT_EQ(dialogs.shown()[0].text, siteLinks().randomHelp.toString());
    if (opened) {
      EXPECT_TRUE(dialogs.messages().isEmpty());
    } else {
      EXPECT_EQ(dialogs.messages(),
                QStringList{QStringLiteral("エラー：繰り返し発生する場合作者へご連絡下さい")});
    }
    EXPECT_TRUE(s.dlg.isVisible()) << "help does not close the dialog";
  }
}

}  // namespace
}  // namespace zubira
