#include "app/zubira_app.h"

#include "drawing/printer_access.h"
#include "generation/random_source.h"
#include "platform/ini_file.h"
#include "preview/preview_window.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/worksheet/local_http_server.h"
#include "worksheet/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace zubira {
namespace {

class AppTest : public ::testing::Test {
 protected:
  AppTest() { qputenv("ZUBIRA_SITE_URL", testing::LocalHttpServer::refusedBase().toString().toUtf8()); }
  ~AppTest() override { qunsetenv("ZUBIRA_SITE_URL"); }
  std::unique_ptr<ZubiraApp> make() {
    ZubiraApp::Options o;
    o.settingsPath = dir.filePath("zubira.ini");
    o.printer = std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016));
    o.screenDpi = 96;
    o.random = &random;
    return std::make_unique<ZubiraApp>(std::move(o));
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
  ZubiraApp::Options o;
  o.settingsPath = dir.filePath("no/such/folder/zubira.ini");
  o.printer = std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016));
  o.screenDpi = 96;
  o.random = &random;
  ZubiraApp app(std::move(o));
  app.mainWindow().show();
  QApplication::processEvents();
  const QStringList errors = app.shutDown();
  EXPECT_FALSE(errors.isEmpty());
  EXPECT_TRUE(ZubiraApp::settingsNotWrittenMessage(errors).startsWith(QStringLiteral("設定を保存できませんでした。")));
}

}  // namespace
}  // namespace zubira
