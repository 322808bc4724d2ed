#include "preview/list_dialog.h"

#include <QFrame>
#include <QKeySequence>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace zubira {
namespace {

QStringList itemsOf(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

const QStringList kLines = {QStringLiteral("INITPARAM"), QStringLiteral("FontSize,12"),
                            QStringLiteral("TextOut,53,25,\"答え\",Nil"),
                            QStringLiteral("PenWidth,3")};

// The window's side of the dialog: its manual list, the operations on it, and a count of
// redraws, with every call written down in order.
struct FakeWindow {
  QStringList manual = kLines;
  QStringList calls;
  void wire(TFrmList& dlg) {
    dlg.ClearManualList = [this] {
      calls << QStringLiteral("ClearManualList");
      manual.clear();
    };
    dlg.DeleteManualList = [this](int idx) {
      calls << QStringLiteral("DeleteManualList(%1)").arg(idx);
      manual.removeAt(idx);
    };
    dlg.DrawGraphics = [this] {
      calls << QStringLiteral("DrawGraphics(%1 lines)").arg(manual.size());
    };
  }
};

// Shows the dialog modally for `lines` and runs `body` while it is up; returns after it closed.
void review(TFrmList& dlg, const QStringList& lines, bool manual, std::function<void()> body) {
  QTimer::singleShot(0, &dlg, [&dlg, body] {
    dlg.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dlg));
    body();
    if (dlg.isVisible()) QTest::mouseClick(dlg.Button1, Qt::LeftButton);
  });
  ShowListDialog(dlg, lines, manual);
}

TEST(TFrmList, CaptionFrameFontAndControls) {
  TFrmList dlg(nullptr, 120);
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("リストの確認"));
  const Qt::WindowFlags flags = dlg.windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
  EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinMaxButtonsHint);
  EXPECT_EQ(dlg.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));

  EXPECT_EQ(dlg.findChild<QListWidget*>(QStringLiteral("ListBox1")), dlg.ListBox1);
  EXPECT_EQ(dlg.findChild<QFrame*>(QStringLiteral("Panel1")), dlg.Panel1);
  ASSERT_EQ(dlg.findChild<QPushButton*>(QStringLiteral("BtnClear")), dlg.BtnClear);
  ASSERT_EQ(dlg.findChild<QPushButton*>(QStringLiteral("Button1")), dlg.Button1);
  EXPECT_EQ(dlg.BtnClear->text(), QStringLiteral("消去(&A)"));
  EXPECT_EQ(dlg.Button1->text(), QStringLiteral("閉じる(&C)"));
  EXPECT_EQ(dlg.BtnClear->parentWidget(), dlg.Panel1);
  EXPECT_EQ(dlg.Button1->parentWidget(), dlg.Panel1);

  // The list fills the area above the bottom panel, across the whole width.
  dlg.show();
  const QRect list(dlg.ListBox1->mapTo(&dlg, QPoint(0, 0)), dlg.ListBox1->size());
  const QRect panel(dlg.Panel1->mapTo(&dlg, QPoint(0, 0)), dlg.Panel1->size());
  EXPECT_EQ(list.top(), 0);
  EXPECT_EQ(list.width(), dlg.width());
  EXPECT_EQ(panel.width(), dlg.width());
  EXPECT_EQ(list.bottom() + 1, panel.top());
  EXPECT_EQ(panel.bottom() + 1, dlg.height());
}

TEST(TFrmList, SizeAndFontScaleFrom120DotsPerInch) {
  const struct {
    int dpi;
    QSize size;
    int fontPixels;
  } cases[] = {{120, {378, 338}, 15}, {96, {302, 270}, 12}, {144, {454, 406}, 18},
               {192, {605, 541}, 24}};
  for (const auto& c : cases) {
    TFrmList dlg(nullptr, c.dpi);
    EXPECT_EQ(dlg.size(), c.size) << c.dpi;
    EXPECT_EQ(dlg.font().pixelSize(), c.fontPixels) << c.dpi;
    EXPECT_EQ(dlg.ListBox1->font().pixelSize(), c.fontPixels) << c.dpi;
  }
}

TEST(TFrmList, ShowsACopyOfTheLinesAndTheClearButtonOnlyForTheManualList) {
  for (bool manual : {false, true}) {
    TFrmList dlg(nullptr, 96);
    QStringList shown;
    bool clearVisible = !manual;
    review(dlg, kLines, manual, [&] {
      shown = itemsOf(dlg.ListBox1);
      clearVisible = dlg.BtnClear->isVisible();
    });
    EXPECT_EQ(shown, kLines);
    EXPECT_EQ(clearVisible, manual);
    EXPECT_FALSE(dlg.isVisible());
  }
}

TEST(TFrmList, EachShowingStartsFromItsOwnList) {
  TFrmList dlg(nullptr, 96);
  review(dlg, kLines, true, [] {});
  QStringList shown;
  bool clearVisible = true;
  review(dlg, {QStringLiteral("Line,0,0,10,10")}, false, [&] {
    shown = itemsOf(dlg.ListBox1);
    clearVisible = dlg.BtnClear->isVisible();
  });
  EXPECT_EQ(shown, QStringList{QStringLiteral("Line,0,0,10,10")});
  EXPECT_FALSE(clearVisible);
}

TEST(TFrmList, ClearEmptiesTheManualListThenRedraws) {
  TFrmList dlg(nullptr, 96);
  FakeWindow window;
  window.wire(dlg);
  int left = -1;
  review(dlg, window.manual, true, [&] {
    QTest::mouseClick(dlg.BtnClear, Qt::LeftButton);
    left = dlg.ListBox1->count();
  });
  EXPECT_EQ(left, 0);
  EXPECT_TRUE(window.manual.isEmpty());
  EXPECT_EQ(window.calls,
            (QStringList{QStringLiteral("ClearManualList"), QStringLiteral("DrawGraphics(0 lines)")}));
}

TEST(TFrmList, ButtonsHaveTheirAltShortcuts) {
  TFrmList dlg(nullptr, 96);
  EXPECT_EQ(dlg.BtnClear->shortcut(), QKeySequence(Qt::ALT | Qt::Key_A));
  EXPECT_EQ(dlg.Button1->shortcut(), QKeySequence(Qt::ALT | Qt::Key_C));
}

TEST(TFrmList, DeleteKeyRemovesTheSelectedLineOfTheManualList) {
  const int rows[] = {0, 2, 3};
  for (int row : rows) {
    TFrmList dlg(nullptr, 96);
    FakeWindow window;
    window.wire(dlg);
    QStringList shown;
    review(dlg, window.manual, true, [&] {
      dlg.ListBox1->setFocus(Qt::TabFocusReason);
      dlg.ListBox1->setCurrentRow(row);
      QTest::keyClick(dlg.ListBox1, Qt::Key_Delete);
      shown = itemsOf(dlg.ListBox1);
    });
    QStringList expected = kLines;
    expected.removeAt(row);
    EXPECT_EQ(shown, expected) << row;
    EXPECT_EQ(window.manual, expected) << row;
    EXPECT_EQ(window.calls, (QStringList{QStringLiteral("DeleteManualList(%1)").arg(row),
                                         QStringLiteral("DrawGraphics(3 lines)")}))
        << row;
  }
}

TEST(TFrmList, DeleteKeyWithoutASelectionDoesNothing) {
  TFrmList dlg(nullptr, 96);
  FakeWindow window;
  window.wire(dlg);
  QStringList afterFirst, afterSecond;
  review(dlg, window.manual, true, [&] {
    dlg.ListBox1->setFocus(Qt::TabFocusReason);
    dlg.ListBox1->setCurrentRow(-1);
    dlg.ListBox1->clearSelection();
    QTest::keyClick(dlg.ListBox1, Qt::Key_Delete);
    afterFirst = itemsOf(dlg.ListBox1);
    // After a deletion the selection is gone: a second Delete deletes nothing more.
    dlg.ListBox1->setCurrentRow(1);
    QTest::keyClick(dlg.ListBox1, Qt::Key_Delete);
    QTest::keyClick(dlg.ListBox1, Qt::Key_Delete);
    afterSecond = itemsOf(dlg.ListBox1);
  });
  EXPECT_EQ(afterFirst, kLines);
  QStringList expected = kLines;
  expected.removeAt(1);
  EXPECT_EQ(afterSecond, expected);
  EXPECT_EQ(window.manual, expected);
  EXPECT_EQ(window.calls, (QStringList{QStringLiteral("DeleteManualList(1)"),
                                       QStringLiteral("DrawGraphics(3 lines)")}));
}

TEST(TFrmList, TheFileAndProgramListsCannotBeChanged) {
  TFrmList dlg(nullptr, 96);
  FakeWindow window;
  window.wire(dlg);
  QStringList shown;
  review(dlg, kLines, false, [&] {
    dlg.ListBox1->setFocus(Qt::TabFocusReason);
    dlg.ListBox1->setCurrentRow(1);
    QTest::keyClick(dlg.ListBox1, Qt::Key_Delete);
    dlg.BtnClearClick();  // hidden, and refused even when reached
    shown = itemsOf(dlg.ListBox1);
  });
  EXPECT_EQ(shown, kLines);
  EXPECT_EQ(window.manual, kLines);
  EXPECT_TRUE(window.calls.isEmpty());
}

TEST(TFrmList, WorksWithoutCallbacks) {
  TFrmList dlg(nullptr, 96);
  QStringList shown;
  review(dlg, kLines, true, [&] {
    dlg.ListBox1->setFocus(Qt::TabFocusReason);
    dlg.ListBox1->setCurrentRow(0);
    QTest::keyClick(dlg.ListBox1, Qt::Key_Delete);
    shown = itemsOf(dlg.ListBox1);
    QTest::mouseClick(dlg.BtnClear, Qt::LeftButton);
  });
  EXPECT_EQ(shown, kLines.mid(1));
  EXPECT_EQ(dlg.ListBox1->count(), 0);
}

TEST(TFrmList, CloseButtonEndsTheDialog) {
  TFrmList dlg(nullptr, 96);
  bool closedByButton = false;
  QTimer::singleShot(0, &dlg, [&] {
    QTest::mouseClick(dlg.Button1, Qt::LeftButton);
    closedByButton = !dlg.isVisible();
    if (dlg.isVisible()) dlg.reject();
  });
  ShowListDialog(dlg, kLines, false);
  EXPECT_TRUE(closedByButton);
}

}  // namespace
}  // namespace zubira
