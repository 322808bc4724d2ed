#include "app/zubira_app.h"
#include "tests/app/test_app.h"

#include "drawing/printer_access.h"
#include "generation/random_source.h"
#include "platform/ini_file.h"
#include "preview/preview_window.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/worksheet/local_http_server.h"
#include "worksheet/main_window.h"
#include "drawing/recording_canvas.h"
#include "tests/support/cups_server.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

namespace zubira {
namespace {

class AppTest : public ::testing::Test {
 protected:
  AppTest() { qputenv("ZUBIRA_SITE_URL", testing::LocalHttpServer::refusedBase().toString().toUtf8()); }
  ~AppTest() override { qunsetenv("ZUBIRA_SITE_URL"); }
  std::unique_ptr<ZubiraApp> make() {
    return std::make_unique<ZubiraApp>(testing::TestAppOptions(dir.filePath("zubira.ini"), &random));
  }
  QString iniText() {
    QFile f(dir.filePath("zubira.ini"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
  QTemporaryDir dir;
  testing::ScriptedDialogs dialogs;
  PseudoRandomSource random{3};
};

TEST_F(AppTest, SevenWindowsInOrderAndNothingWrittenBeforeTheEnd) {
  auto app = make();
  EXPECT_EQ(app->creationOrder(), QStringList({"Form1", "FrmRndD", "FrmPrev", "FrmPageStr", "FrmList", "FrmStyle", "AboutBox"}));
  app->mainWindow().show();
  QApplication::processEvents();
  EXPECT_FALSE(QFile::exists(dir.filePath("zubira.ini"))) << "nothing written while the program runs";
  EXPECT_EQ(app->mainWindow().windowTitle(), QStringLiteral("分数の加減乗除"));
  EXPECT_EQ(app->preview().menuItem("Edit1") ? app->preview().menuItem("Edit1")->isVisible() : false, false)
      << "the editing menu is hidden at the first showing";

  app->mainWindow().BtnMakeClick();
  app->mainWindow().findChild<QPushButton*>("Button1")->click();
  EXPECT_TRUE(app->preview().isVisible());
  EXPECT_EQ(app->preview().model().ListbyProgram().value(0), "INITPARAM");
  EXPECT_FALSE(app->preview().renderer().Image1().isNull());

  EXPECT_EQ(app->shutDown(), QStringList());
  const QString ini = iniText();
  for (const char* section : {"[Page]", "[Exam]", "[ExamFont]", "[DateTime]", "[PageView]", "[Option]", "[Header]", "[SubTitle]"})
    EXPECT_TRUE(ini.contains(QLatin1String(section))) << section;
  EXPECT_TRUE(ini.contains("Top=")) << ini.toStdString();
}

TEST_F(AppTest, ASecondRunStartsFromTheFirstRunsSettings) {
  {
    auto app = make();
    app->mainWindow().show();
    QApplication::processEvents();
    app->mainWindow().K1->trigger();
    app->mainWindow().gen.ExamColN = 2;
    app->shutDown();
  }
  auto app = make();
  app->mainWindow().show();
  QApplication::processEvents();
  EXPECT_FALSE(app->mainWindow().gen.fKakko);
  EXPECT_EQ(app->mainWindow().gen.ExamColN, 2);
}

TEST_F(AppTest, AnUnwritableSettingsFileIsReported) {
  ZubiraApp app(testing::TestAppOptions(dir.filePath("no/such/folder/zubira.ini"), &random));
  app.mainWindow().show();
  QApplication::processEvents();
  const QStringList errors = app.shutDown();
  EXPECT_FALSE(errors.isEmpty());
  EXPECT_TRUE(ZubiraApp::settingsNotWrittenMessage(errors).startsWith(QStringLiteral("設定を保存できませんでした。")));
}

// Whether every pixel of `image` is white.
bool allWhite(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) return false;
  return true;
}

void activate(QWidget& w, QWidget* focus) {
  QApplication::setActiveWindow(&w);
  w.activateWindow();
  focus->setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
}

// The preview never shows problems the lists no longer hold: after a second 作成 and after 消去.
TEST_F(AppTest, ThePreviewFollowsASecondMakeAndAClear) {
  auto app = make();
  TForm1& main = app->mainWindow();
  TFrmPrev& prev = app->preview();
  main.show();
  QApplication::processEvents();
  main.findChild<QPushButton*>("BtnMake")->click();
  main.findChild<QPushButton*>("Button2")->click();
  ASSERT_TRUE(prev.isVisible());
  const QStringList first = prev.model().ListbyProgram();
  const QImage firstImage = prev.renderer().Image1();
  ASSERT_FALSE(allWhite(firstImage));

  main.findChild<QPushButton*>("BtnMake")->click();
  const QStringList second = prev.model().ListbyProgram();
  EXPECT_NE(second, first);
  EXPECT_TRUE(second.join('\n').contains(QStringLiteral("(答)"))) << "the answer sheet it showed";
  EXPECT_NE(prev.renderer().Image1(), firstImage) << "and drawn";
  main.findChild<QPushButton*>("Button2")->click();
  EXPECT_EQ(prev.model().ListbyProgram(), second) << "what 答え makes of the lists now";

  main.findChild<QPushButton*>("BtnClear")->click();
  EXPECT_TRUE(prev.model().ListbyProgram().isEmpty());
  EXPECT_TRUE(allWhite(prev.renderer().Image1()));
  main.findChild<QPushButton*>("Button1")->click();
  EXPECT_TRUE(allWhite(prev.renderer().Image1())) << "問題 after 消去 shows no old set";
  EXPECT_TRUE(dialogs.shown().empty());
}

// Ctrl+P belongs to the window that is active: the main window's 印刷 there, the preview's
// (a tool window of the main window) there, never both at once.
TEST_F(AppTest, KeysReachTheWindowThatIsActive) {
  auto app = make();
  TForm1& main = app->mainWindow();
  TFrmPrev& prev = app->preview();
  main.show();
  QApplication::processEvents();
  main.BtnMakeClick();
  main.Button1Click();
  ASSERT_TRUE(prev.isVisible());
  // Fixed metrics have no printer to paint on: printing records what it would draw.
  prev.model().setCanvases(nullptr, std::make_unique<RecordingCanvas>(600, 600));

  auto* row = main.findChild<QLineEdit*>("EdtRow");
  activate(main, row);
  QTest::keyClick(row, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(main.StPanel1->text(), QStringLiteral("印刷しました"));

  main.StPanel1->clear();
  prev.StBarPrev->clearMessage();
  activate(prev, &prev);
  QTest::keyClick(&prev, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(prev.StBarPrev->currentMessage(), QStringLiteral("印刷しました"));
  EXPECT_EQ(main.StPanel1->text(), QString()) << "the main window's 印刷 did not run";

  // Keys of the main window that the preview does not have reach it from the preview too.
  const QString made = main.Memo1->toPlainText();
  QTest::keyClick(&prev, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_NE(main.Memo1->toPlainText(), made) << "作成";
  // F1 is 使い方, the manual beside the program (a test program has none beside it).
  activate(main, row);
  QTest::keyClick(row, Qt::Key_F1);
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_TRUE(dialogs.shown()[0].text.startsWith(QStringLiteral("使い方のページが見つかりません")))
      << dialogs.shown()[0].text.toStdString();
  QTest::keyClick(row, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(main.isVisible()) << "終了";
}

// ファイル → PDFに保存: the problem, answer and key pages of the lists in one A4 PDF.
TEST_F(AppTest, ThePdfOfTheMainWindowHoldsTheThreeSheets) {
  auto app = make();
  TForm1& main = app->mainWindow();
  main.show();
  QApplication::processEvents();
  main.BtnMakeClick();
  const QString path = dir.filePath("sheets.pdf");
  dialogs.answerSaveFile(path);
  main.findChild<QAction*>("SavePdf1")->trigger();
  EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join(u'|').toStdString();
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray pdf = f.readAll();
  EXPECT_TRUE(pdf.startsWith("%PDF-"));
  if (!testing::hasPopplerTools()) GTEST_SKIP() << "pdfinfo and pdftotext are not installed";
  const QString info = testing::pdfInfo(pdf);
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n")))) << info.toStdString();
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12]")))) << info.toStdString();
  const QString text = testing::pdfText(pdf);
  const QStringList pages = text.split(u'\f');
  ASSERT_GE(pages.size(), 3);
  EXPECT_TRUE(pages[0].contains(QStringLiteral("たしざんのもんだい"))) << pages[0].toStdString();
  EXPECT_FALSE(pages[0].contains(QStringLiteral("(答)")));
  EXPECT_TRUE(pages[1].contains(QStringLiteral("たしざんのもんだい (答)"))) << pages[1].toStdString();
  EXPECT_TRUE(pages[2].contains(QStringLiteral("たしざんのもんだい (解き方)"))) << pages[2].toStdString();
  for (const QString& page : pages.mid(0, 3)) EXPECT_TRUE(page.contains(QStringLiteral("(10)"))) << "ten problems";
}

// A key too long for one page: the preview turns it page by page (PageDown, PageUp) and its PDF
// holds every page.
TEST_F(AppTest, ALongKeyIsTurnedPageByPageAndSavedWhole) {
  {
    QFile ini(dir.filePath("zubira.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Exam]\r\nRow=10\r\nCol=2\r\n[Problem]\r\nKind=3\r\n"
              "Min1i=100\r\nMax1i=999\r\nMin1c=1\r\nMax1c=99\r\nMin1m=2\r\nMax1m=99\r\n"
              "Min2i=100\r\nMax2i=999\r\nMin2c=1\r\nMax2c=99\r\nMin2m=2\r\nMax2m=99\r\nSign1=2\r\nSign2=2\r\n");
  }
  auto app = make();
  TForm1& main = app->mainWindow();
  TFrmPrev& prev = app->preview();
  main.show();
  QApplication::processEvents();
  main.BtnMakeClick();
  main.findChild<QPushButton*>("Button3")->click();
  ASSERT_TRUE(prev.isVisible());
  EXPECT_TRUE(prev.StBarPrev->currentMessage().contains(QStringLiteral("解き方は2ページあります")))
      << prev.StBarPrev->currentMessage().toStdString();
  ASSERT_TRUE(prev.NextPage1->isEnabled());
  const QString first = prev.model().ListbyProgram().join(u'\n');
  EXPECT_TRUE(first.contains(QStringLiteral("( 1)")));
  EXPECT_FALSE(first.contains(QStringLiteral("(20)")));

  activate(prev, &prev);
  QTest::keyClick(&prev, Qt::Key_PageDown);
  const QString second = prev.model().ListbyProgram().join(u'\n');
  EXPECT_TRUE(second.contains(QStringLiteral("(20)"))) << "the second page holds the last problems";
  EXPECT_EQ(prev.StBarPrev->currentMessage(), QStringLiteral("2 / 2 ページ"));
  QTest::keyClick(&prev, Qt::Key_PageUp);
  EXPECT_EQ(prev.model().ListbyProgram().join(u'\n'), first);

  const QString path = dir.filePath("key.pdf");
  dialogs.answerSaveFile(path);
  prev.findChild<QAction*>("Save2PDF")->trigger();
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  if (!testing::hasPopplerTools()) GTEST_SKIP() << "pdfinfo and pdftotext are not installed";
  const QString info = testing::pdfInfo(f.readAll());
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n")))) << info.toStdString();
}

}  // namespace
}  // namespace zubira
