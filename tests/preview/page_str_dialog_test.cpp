#include "preview/page_str_dialog.h"

#include "drawing/font_choice.h"
#include "tests/support/scripted_dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::DialogKind;
using testing::ScriptedDialogs;

TPageStr pageStr(const QString& text, int pos, const QString& x, const QString& y,
                 const QString& name, int size, bool bold, bool italic) {
  TPageStr ps;
  ps.SetSets(text, name, size, pos, x, y, bold, italic);
  return ps;
}

TPageStr sampleHeader() {
  return pageStr(QStringLiteral("第1回テスト"), 3, QStringLiteral("10"), QStringLiteral("20"),
                 QStringLiteral("ＭＳ 明朝"), 12, false, true);
}

void expectSamePageStr(const TPageStr& a, const TPageStr& b) {
  EXPECT_EQ(a.psStr, b.psStr);
  EXPECT_EQ(a.psPos, b.psPos);
  EXPECT_EQ(a.psX, b.psX);
  EXPECT_EQ(a.psY, b.psY);
  EXPECT_EQ(a.psItalic, b.psItalic);
  EXPECT_EQ(a.psBold, b.psBold);
  EXPECT_EQ(a.psSize, b.psSize);
  EXPECT_EQ(a.psName, b.psName);
  EXPECT_EQ(a.psDrawn, b.psDrawn);
}

template <typename T>
T* child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(c, nullptr) << name;
  return c;
}

// Makes the dialog the active window, so that focus changes are real.
void activate(QWidget& w) {
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

// Types `text` as key presses; characters beyond ASCII arrive as the text of a key event, as an
// input method delivers them.
void typeText(QWidget* w, const QString& text) {
  for (QChar ch : text) {
    if (ch.unicode() < 0x80)
      QTest::keyClick(w, char(ch.unicode()));
    else
      QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
}

// Enters `edit`, replaces its text by typing, and leaves it for `next`.
void typeAndLeave(QLineEdit* edit, const QString& text, QWidget* next) {
  edit->setFocus(Qt::TabFocusReason);
  edit->selectAll();
  typeText(edit, text);
  next->setFocus(Qt::TabFocusReason);
}

// Runs `body` once the modal dialog is up.
void whileShown(TFrmPageStr& dlg, std::function<void()> body) {
  QTimer::singleShot(0, &dlg, [&dlg, body] {
    activate(dlg);
    body();
  });
}

TEST(TFrmPageStr, ControlsCaptionsAndClientSize) {
  TFrmPageStr dlg;
  dlg.show();
  EXPECT_EQ(dlg.size(), QSize(288, 208));
  EXPECT_EQ(dlg.windowFlags() & Qt::WindowType_Mask, Qt::Tool);

  const struct {
    const char* name;
    const char* text;
  } labels[] = {{"Label1", "表示文字列"}, {"Label2", "位置"}, {"Label3", "X="}, {"Label4", "Y="}};
  for (const auto& l : labels)
    if (QLabel* w = child<QLabel>(dlg, l.name)) {
      EXPECT_EQ(w->text(), QString::fromUtf8(l.text));
    }
  const struct {
    const char* name;
    const char* text;
  } buttons[] = {{"Button1", "フォント(&F)"}, {"Button2", "&OK"}, {"Button3", "&Cancel"}};
  for (const auto& b : buttons)
    if (auto* w = child<QPushButton>(dlg, b.name)) {
      EXPECT_EQ(w->text(), QString::fromUtf8(b.text));
    }
  if (auto* g = child<QGroupBox>(dlg, "GroupBox1")) {
    EXPECT_EQ(g->title(), QStringLiteral("飾り"));
    EXPECT_EQ(g->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->text(), QStringLiteral("Bold"));
    EXPECT_EQ(g->findChild<QCheckBox*>(QStringLiteral("CheckBox2"))->text(),
              QStringLiteral("Italic"));
  }
  if (auto* g = child<QGroupBox>(dlg, "GroupBox2")) {
    EXPECT_EQ(g->title(), QStringLiteral("任意の位置"));
    EXPECT_EQ(g->findChild<QLineEdit*>(QStringLiteral("EdtX"))->text(), QStringLiteral("0"));
    EXPECT_EQ(g->findChild<QLineEdit*>(QStringLiteral("EdtY"))->text(), QStringLiteral("0"));
  }
  ASSERT_NE(child<QLineEdit>(dlg, "Edit1"), nullptr);
  QComboBox* combo = child<QComboBox>(dlg, "ComboBox1");
  ASSERT_NE(combo, nullptr);
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  EXPECT_EQ(items, (QStringList{QStringLiteral("なし"), QStringLiteral("左"), QStringLiteral("右"),
                                QStringLiteral("中央"), QStringLiteral("任意")}));
  EXPECT_FALSE(combo->isEditable());
  EXPECT_TRUE(dlg.Button2->isDefault());

  // Every control lies inside the client area and shows its whole caption.
  for (QWidget* w : dlg.findChildren<QWidget*>()) {
    if (!w->isVisible() || w->objectName().isEmpty()) continue;
    const QRect r(w->mapTo(&dlg, QPoint(0, 0)), w->size());
    EXPECT_TRUE(dlg.rect().contains(r)) << w->objectName().toStdString();
    if (auto* b = qobject_cast<QPushButton*>(w)) {
      EXPECT_GE(b->width(), b->minimumSizeHint().width()) << w->objectName().toStdString();
    }
  }
}

TEST(TFrmPageStr, SetStrSetCopiesEveryFieldAndKeepsTheFontsOtherAttributes) {
  TFrmPageStr dlg;
  dlg.StrFont.underline = true;
  dlg.StrFont.color = makeTColor(255, 0, 0);
  dlg.SetStrSet(pageStr(QStringLiteral("見出し"), 4, QStringLiteral("12.5"), QStringLiteral(" 7"),
                        QStringLiteral("ＭＳ Ｐ明朝"), 14, true, false));
  EXPECT_EQ(dlg.Edit1->text(), QStringLiteral("見出し"));
  EXPECT_EQ(dlg.ComboBox1->currentIndex(), 4);
  EXPECT_EQ(dlg.EdtX->text(), QStringLiteral("12.5"));
  EXPECT_EQ(dlg.EdtY->text(), QStringLiteral(" 7"));
  EXPECT_TRUE(dlg.CheckBox1->isChecked());
  EXPECT_FALSE(dlg.CheckBox2->isChecked());
  EXPECT_EQ(dlg.StrFont.name, QStringLiteral("ＭＳ Ｐ明朝"));
  EXPECT_EQ(dlg.StrFont.size, 14);
  EXPECT_TRUE(dlg.StrFont.bold);
  EXPECT_FALSE(dlg.StrFont.italic);
  EXPECT_TRUE(dlg.StrFont.underline);
  EXPECT_EQ(dlg.StrFont.color, makeTColor(255, 0, 0));

  // The next page string replaces everything, the style boxes included.
  dlg.SetStrSet(pageStr(QString(), 0, QStringLiteral("0"), QStringLiteral("0"),
                        QStringLiteral("ＭＳ 明朝"), 9, false, true));
  EXPECT_TRUE(dlg.Edit1->text().isEmpty());
  EXPECT_EQ(dlg.ComboBox1->currentIndex(), 0);
  EXPECT_FALSE(dlg.CheckBox1->isChecked());
  EXPECT_TRUE(dlg.CheckBox2->isChecked());
  EXPECT_FALSE(dlg.StrFont.bold);
  EXPECT_TRUE(dlg.StrFont.italic);
}

TEST(TFrmPageStr, GetStrSetCopiesTheDialogAndLeavesTheDrawnMark) {
  TFrmPageStr dlg;
  dlg.SetStrSet(sampleHeader());
  for (bool drawn : {false, true}) {
    TPageStr out;
    out.psDrawn = drawn;
    dlg.GetStrSet(out);
    TPageStr expected = sampleHeader();
    expected.psDrawn = drawn;
    expectSamePageStr(out, expected);
  }
}

TEST(TFrmPageStr, StyleBoxesActOnTheFontAlone) {
  TFrmPageStr dlg;
  dlg.StrFont.underline = true;
  dlg.StrFont.strikeout = true;
  dlg.SetStrSet(sampleHeader());  // italic, not bold
  dlg.CheckBox1->click();
  EXPECT_TRUE(dlg.StrFont.bold);
  EXPECT_TRUE(dlg.StrFont.italic);
  dlg.CheckBox2->click();
  EXPECT_TRUE(dlg.StrFont.bold);
  EXPECT_FALSE(dlg.StrFont.italic);
  dlg.CheckBox1->click();
  EXPECT_FALSE(dlg.StrFont.bold);
  EXPECT_TRUE(dlg.StrFont.underline);
  EXPECT_TRUE(dlg.StrFont.strikeout);
  EXPECT_EQ(dlg.StrFont.name, QStringLiteral("ＭＳ 明朝"));
  EXPECT_EQ(dlg.StrFont.size, 12);
}

TEST(TFrmPageStr, CancelAfterChangingEveryControlLeavesPageStringAndCheckMark) {
  for (bool checkedBefore : {false, true}) {
    ScriptedDialogs dialogs;
    QFont bold(QStringLiteral("IPAGothic"), 20);
    bold.setBold(true);
    dialogs.answerFont(FontChoice{bold, Qt::blue});
    TFrmPageStr dlg;
    QAction item(QStringLiteral("ヘッダー(&H)"));
    item.setCheckable(true);
    item.setChecked(checkedBefore);
    TPageStr header = sampleHeader();
    header.psDrawn = true;
    const TPageStr before = header;

    whileShown(dlg, [&] {
      typeAndLeave(dlg.Edit1, QStringLiteral("別の文字"), dlg.ComboBox1);
      dlg.ComboBox1->setCurrentIndex(1);
      QTest::mouseClick(dlg.Button1, Qt::LeftButton);
      dlg.CheckBox2->click();
      typeAndLeave(dlg.EdtX, QStringLiteral("99"), dlg.EdtY);
      typeAndLeave(dlg.EdtY, QStringLiteral("88"), dlg.Edit1);
      QTest::mouseClick(dlg.Button3, Qt::LeftButton);
    });
    EXPECT_FALSE(runPageStrDialog(dlg, header, PageStrKind::Header, &item));
    expectSamePageStr(header, before);
    EXPECT_EQ(item.isChecked(), checkedBefore);
    EXPECT_EQ(dialogs.pendingReplies(), 0u);
    EXPECT_FALSE(dlg.isVisible());
  }
}

TEST(TFrmPageStr, EscapeCancelsToo) {
  TFrmPageStr dlg;
  TPageStr header = sampleHeader();
  whileShown(dlg, [&] {
    typeAndLeave(dlg.Edit1, QStringLiteral("x"), dlg.ComboBox1);
    QTest::keyClick(dlg.ComboBox1, Qt::Key_Escape);
  });
  EXPECT_FALSE(runPageStrDialog(dlg, header, PageStrKind::Header, nullptr));
  EXPECT_EQ(header.psStr, sampleHeader().psStr);
}

TEST(TFrmPageStr, OkStoresTheDialogAndChecksTheItemOnlyForAText) {
  const struct {
    const char* typed;
    bool checkedBefore;
    bool checkedAfter;
  } cases[] = {
      {"新しい見出し", false, true},
      {"新しい見出し", true, true},
      {"", false, false},
      {"", true, true},
  };
  for (const auto& c : cases) {
    TFrmPageStr dlg;
    QAction item(QStringLiteral("フッター(&F)"));
    item.setCheckable(true);
    item.setChecked(c.checkedBefore);
    TPageStr footer = sampleHeader();
    QString caption;
    whileShown(dlg, [&] {
      caption = dlg.windowTitle();
      dlg.Edit1->setFocus(Qt::TabFocusReason);
      dlg.Edit1->selectAll();
      QTest::keyClick(dlg.Edit1, Qt::Key_Delete);
      typeText(dlg.Edit1, QString::fromUtf8(c.typed));
      dlg.ComboBox1->setCurrentIndex(2);
      QTest::mouseClick(dlg.Button2, Qt::LeftButton);
    });
    EXPECT_TRUE(runPageStrDialog(dlg, footer, PageStrKind::Footer, &item));
    EXPECT_EQ(caption, QStringLiteral("フッターの設定"));
    EXPECT_EQ(footer.psStr, QString::fromUtf8(c.typed));
    EXPECT_EQ(footer.psPos, 2);
    EXPECT_EQ(footer.psName, QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(item.isChecked(), c.checkedAfter) << c.typed << " " << c.checkedBefore;
  }
}

TEST(TFrmPageStr, CaptionsOfTheFiveUses) {
  const struct {
    PageStrKind kind;
    const char* caption;
  } kinds[] = {{PageStrKind::Header, "ヘッダーの設定"},
               {PageStrKind::Footer, "フッターの設定"},
               {PageStrKind::PageTitle, "タイトルの設定"},
               {PageStrKind::SubTitle, "サブタイトルの設定"}};
  TFrmPageStr dlg;
  for (const auto& k : kinds) {
    EXPECT_EQ(pageStrCaption(k.kind), QString::fromUtf8(k.caption));
    TPageStr ps = sampleHeader();
    QString shown;
    whileShown(dlg, [&] {
      shown = dlg.windowTitle();
      QTest::mouseClick(dlg.Button3, Qt::LeftButton);
    });
    runPageStrDialog(dlg, ps, k.kind, nullptr);
    EXPECT_EQ(shown, QString::fromUtf8(k.caption));
  }

  // The date line: its own caption, OK stores it, and there is no menu item to check.
  TPageStr dateLine = pageStr(QStringLiteral("2024/01/01"), 1, QStringLiteral("0"),
                              QStringLiteral("0"), QStringLiteral("ＭＳ 明朝"), 10, false, false);
  QString shown;
  whileShown(dlg, [&] {
    shown = dlg.windowTitle();
    dlg.ComboBox1->setCurrentIndex(3);
    QTest::mouseClick(dlg.Button2, Qt::LeftButton);
  });
  EXPECT_TRUE(runDateLineDialog(dlg, dateLine));
  EXPECT_EQ(shown, QStringLiteral("日付の設定"));
  EXPECT_EQ(dateLine.psPos, 3);
  EXPECT_EQ(dateLine.psStr, QStringLiteral("2024/01/01"));
}

TEST(TFrmPageStr, CoordinateBoxesRestoreWhatIsNotANonNegativeNumber) {
  const struct {
    const char* typed;
    const char* shown;
  } cases[] = {
      {"-1", "5"},     {"-0.5", "5"}, {"abc", "5"},  {"", "5"},     {"1,5", "5"},
      {"12.5x", "5"},  {"1e", "5"},   {".", "5"},    {"1 ", "5"},   {"１２", "5"},
      {"12.5", "12.5"}, {" 7", " 7"}, {"1e2", "1e2"}, {"0", "0"},   {"+3", "+3"},
      {".5", ".5"},    {"2.", "2."},  {"1E-3", "1E-3"},
  };
  for (const char* box : {"EdtX", "EdtY"}) {
    for (const auto& c : cases) {
      TFrmPageStr dlg;
      dlg.SetStrSet(pageStr(QStringLiteral("t"), 4, QStringLiteral("5"), QStringLiteral("5"),
                            QStringLiteral("ＭＳ 明朝"), 9, false, false));
      dlg.show();
      activate(dlg);
      QLineEdit* edit = child<QLineEdit>(dlg, box);
      typeAndLeave(edit, QString::fromUtf8(c.typed), dlg.Edit1);
      EXPECT_EQ(edit->text(), QString::fromUtf8(c.shown)) << box << " \"" << c.typed << "\"";
      EXPECT_EQ(dlg.Strtmp, QStringLiteral("5")) << box << " " << c.typed;
    }
  }
}

TEST(TFrmPageStr, EnteringACoordinateBoxRemembersItsTextOfThatMoment) {
  ScriptedDialogs dialogs;  // no message may appear
  TFrmPageStr dlg;
  dlg.SetStrSet(sampleHeader());
  dlg.show();
  activate(dlg);
  typeAndLeave(dlg.EdtX, QStringLiteral("30"), dlg.EdtY);
  typeAndLeave(dlg.EdtY, QStringLiteral("-4"), dlg.EdtX);  // straight into the other box
  EXPECT_EQ(dlg.EdtY->text(), QStringLiteral("20"));
  typeAndLeave(dlg.EdtX, QStringLiteral("oops"), dlg.Edit1);
  EXPECT_EQ(dlg.EdtX->text(), QStringLiteral("30"));
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(TFrmPageStr, OkByEnterInACoordinateBoxChecksItFirst) {
  for (const char* typed : {"abc", "-3", "44"}) {
    TFrmPageStr dlg;
    TPageStr ps = sampleHeader();  // x "10"
    whileShown(dlg, [&] {
      dlg.EdtX->setFocus(Qt::TabFocusReason);
      dlg.EdtX->selectAll();
      typeText(dlg.EdtX, QString::fromUtf8(typed));
      QTest::keyClick(dlg.EdtX, Qt::Key_Return);  // the default button, focus stays in EdtX
    });
    EXPECT_TRUE(runPageStrDialog(dlg, ps, PageStrKind::Header, nullptr)) << typed;
    EXPECT_EQ(ps.psX, QString::fromUtf8(typed) == QLatin1String("44") ? QStringLiteral("44")
                                                                      : QStringLiteral("10"))
        << typed;
  }
}

TEST(TFrmPageStr, EveryUseRemembersItsOwnStartingCoordinates) {
  TFrmPageStr dlg;
  TPageStr first = sampleHeader();  // x "10"
  whileShown(dlg, [&] {
    dlg.EdtX->setFocus(Qt::TabFocusReason);
    dlg.EdtX->selectAll();
    typeText(dlg.EdtX, QStringLiteral("15"));
    QTest::keyClick(dlg.EdtX, Qt::Key_Return);
  });
  ASSERT_TRUE(runPageStrDialog(dlg, first, PageStrKind::Header, nullptr));
  EXPECT_EQ(first.psX, QStringLiteral("15"));

  // The second use starts from x "3": a refused entry goes back to "3", not to the first's text.
  TPageStr second = pageStr(QStringLiteral("s"), 4, QStringLiteral("3"), QStringLiteral("4"),
                            QStringLiteral("ＭＳ 明朝"), 9, false, false);
  whileShown(dlg, [&] {
    dlg.EdtX->setFocus(Qt::TabFocusReason);
    dlg.EdtX->selectAll();
    typeText(dlg.EdtX, QStringLiteral("no"));
    QTest::mouseClick(dlg.Button2, Qt::LeftButton);
  });
  ASSERT_TRUE(runPageStrDialog(dlg, second, PageStrKind::Footer, nullptr));
  EXPECT_EQ(second.psX, QStringLiteral("3"));
}

TEST(TFrmPageStr, FontButtonShowsStrFontAndTakesTheChosenFontEntirely) {
  ScriptedDialogs dialogs;
  QFont chosen(QStringLiteral("IPAGothic"), 20);
  chosen.setBold(true);
  chosen.setUnderline(true);
  dialogs.answerFont(FontChoice{chosen, QColor(0, 0, 255)});
  TFrmPageStr dlg;
  dlg.SetStrSet(sampleHeader());  // ＭＳ 明朝 12, italic
  dlg.show();
  activate(dlg);
  QTest::mouseClick(dlg.Button1, Qt::LeftButton);

  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].kind, DialogKind::Font);
  EXPECT_EQ(dialogs.shown()[0].text, drawnFamily(QStringLiteral("ＭＳ 明朝")));  // the face drawn
  QFont shownFont;
  ASSERT_TRUE(shownFont.fromString(dialogs.shown()[0].detail));
  EXPECT_EQ(shownFont.pointSize(), 12);
  EXPECT_TRUE(shownFont.italic());
  EXPECT_FALSE(shownFont.bold());

  EXPECT_EQ(dlg.StrFont.name, QStringLiteral("IPAGothic"));
  EXPECT_EQ(dlg.StrFont.size, 20);
  EXPECT_TRUE(dlg.StrFont.bold);
  EXPECT_FALSE(dlg.StrFont.italic);
  EXPECT_TRUE(dlg.StrFont.underline);
  EXPECT_EQ(dlg.StrFont.color, makeTColor(0, 0, 255));
  EXPECT_TRUE(dlg.CheckBox1->isChecked());
  EXPECT_FALSE(dlg.CheckBox2->isChecked());
}

TEST(TFrmPageStr, FontDialogCancelledChangesNothing) {
  ScriptedDialogs dialogs;
  dialogs.answerFont(std::nullopt);
  TFrmPageStr dlg;
  dlg.SetStrSet(sampleHeader());
  const CanvasFont before = dlg.StrFont;
  dlg.show();
  activate(dlg);
  QTest::mouseClick(dlg.Button1, Qt::LeftButton);
  EXPECT_EQ(dlg.StrFont, before);
  EXPECT_FALSE(dlg.CheckBox1->isChecked());
  EXPECT_TRUE(dlg.CheckBox2->isChecked());
}

TEST(TFrmPageStr, ABoldFontChecksBoldAndUncheckingItStoresNoBold) {
  ScriptedDialogs dialogs;
  QFont chosen(QStringLiteral("IPAGothic"), 16);
  chosen.setBold(true);
  dialogs.answerFont(FontChoice{chosen, Qt::black});
  TFrmPageStr dlg;
  TPageStr ps = sampleHeader();
  bool boldShown = false;
  whileShown(dlg, [&] {
    QTest::mouseClick(dlg.Button1, Qt::LeftButton);
    boldShown = dlg.CheckBox1->isChecked();
    dlg.CheckBox1->click();
    QTest::mouseClick(dlg.Button2, Qt::LeftButton);
  });
  ASSERT_TRUE(runPageStrDialog(dlg, ps, PageStrKind::PageTitle, nullptr));
  EXPECT_TRUE(boldShown);
  EXPECT_FALSE(ps.psBold);
  EXPECT_FALSE(dlg.StrFont.bold);
  EXPECT_EQ(ps.psName, QStringLiteral("IPAGothic"));
  EXPECT_EQ(ps.psSize, 16);
}

TEST(TFrmPageStr, APositionOutsideTheListOpensWithNoneSelectedAndStoresMinusOne) {
  for (int pos : {-1, 5, 7, -100}) {
    TFrmPageStr dlg;
    TPageStr ps = sampleHeader();
    ps.psPos = pos;
    int shownIndex = 99;
    whileShown(dlg, [&] {
      shownIndex = dlg.ComboBox1->currentIndex();
      QTest::mouseClick(dlg.Button2, Qt::LeftButton);
    });
    ASSERT_TRUE(runPageStrDialog(dlg, ps, PageStrKind::SubTitle, nullptr));
    EXPECT_EQ(shownIndex, -1) << pos;
    EXPECT_EQ(ps.psPos, -1) << pos;
  }
}

TEST(TFrmPageStr, PositionChosenWithTheKeyboard) {
  TFrmPageStr dlg;
  TPageStr ps = sampleHeader();  // 中央
  whileShown(dlg, [&] {
    dlg.ComboBox1->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dlg.ComboBox1, Qt::Key_Down);
    QTest::mouseClick(dlg.Button2, Qt::LeftButton);
  });
  ASSERT_TRUE(runPageStrDialog(dlg, ps, PageStrKind::Header, nullptr));
  EXPECT_EQ(ps.psPos, 4);
}

TEST(TFrmPageStr, TheFontSizeComesBackAsRead) {
  for (int size : {12, 9, 36, 1}) {
    TFrmPageStr dlg;
    TPageStr ps = sampleHeader();
    ps.psSize = size;
    whileShown(dlg, [&] { QTest::mouseClick(dlg.Button2, Qt::LeftButton); });
    ASSERT_TRUE(runPageStrDialog(dlg, ps, PageStrKind::Header, nullptr));
    EXPECT_EQ(ps.psSize, size);
    EXPECT_EQ(ps.psName, QStringLiteral("ＭＳ 明朝"));
    EXPECT_FALSE(ps.psBold);
    EXPECT_TRUE(ps.psItalic);
  }
}

TEST(IsPageStrCoordinate, NonNegativeNumbersOnly) {
  const struct {
    const char* text;
    bool ok;
  } cases[] = {{"0", true},    {"12.5", true}, {"  7", true}, {"1e2", true}, {"+0", true},
               {"-0", true},   {"-1", false},  {"", false},   {" ", false},  {"x1", false},
               {"1e999", false}, {"7 ", false}};
  for (const auto& c : cases)
    EXPECT_EQ(isPageStrCoordinate(QString::fromUtf8(c.text)), c.ok) << c.text;
}

}  // namespace
}  // namespace zubira
