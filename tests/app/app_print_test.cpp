// The main window's ファイル → 印刷 on a real printer: a private CUPS server whose default queue
// records what it gets. Before any preview was opened it composes the problem sheet and prints
// it; it says where the job went, or why nothing was printed.

#include "app/zubira_app.h"
#include "tests/app/test_app.h"

#include "drawing/printer_access.h"
#include "generation/random_source.h"
#include "preview/preview_window.h"
#include "tests/support/cups_server.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/worksheet/local_http_server.h"
#include "worksheet/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>

namespace zubira {
namespace {

const auto* const cupsEnvironment = ::testing::AddGlobalTestEnvironment(new testing::CupsServerEnvironment);

class AppPrintTest : public testing::CupsServerTest {
 protected:
  void SetUp() override {
    CupsServerTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    qputenv("ZUBIRA_SITE_URL", testing::LocalHttpServer::refusedBase().toString().toUtf8());
    app_ = std::make_unique<ZubiraApp>(  // on the system's default printer
        testing::TestAppOptions(dir_.filePath("zubira.ini"), &random_, /*fixedPrinter=*/false));
    app_->mainWindow().show();
    QApplication::processEvents();
  }
  void TearDown() override {
    app_.reset();
    qunsetenv("ZUBIRA_SITE_URL");
    CupsServerTest::TearDown();
  }
  TForm1& main() { return app_->mainWindow(); }
  void print() { main().findChild<QAction*>("Print1")->trigger(); }
  int receivedCount() { return int(cups().received(queue()).size()); }

  QTemporaryDir dir_;
  testing::ScriptedDialogs dlg_;
  PseudoRandomSource random_{11};
  std::unique_ptr<ZubiraApp> app_;
};

TEST_F(AppPrintTest, PrintBeforeAnyPreviewPrintsTheProblemSheet) {
  const int before = receivedCount();
  print();
  EXPECT_EQ(dlg_.messages(), QStringList{"印刷する問題がありません。\r\n先に「作成」で問題を作って下さい。"});
  EXPECT_EQ(main().StPanel1->text(), QStringLiteral("印刷する問題がありません"));
  EXPECT_FALSE(app_->preview().isVisible());

  dlg_.clear();
  main().BtnMakeClick();
  print();
  EXPECT_TRUE(dlg_.shown().empty()) << dlg_.texts().join(u'|').toStdString();
  EXPECT_EQ(main().StPanel1->text(), QStringLiteral("プリンタ「zq」に送りました（1部）"));
  EXPECT_TRUE(app_->preview().isVisible()) << "the sheet printed is the sheet shown";
  ASSERT_TRUE(cups().waitForJobs(queue(), before + 1));
  EXPECT_EQ(receivedCount(), before + 1) << "one job";
  if (!testing::hasPopplerTools()) GTEST_SKIP() << "pdftotext is not installed";
  const QString text = testing::pdfText(cups().received(queue()).last());
  for (const QString& expected : {QStringLiteral("たしざんのもんだい"), QStringLiteral("( 1)"), QStringLiteral("(10)")})
    EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in:\n" << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("(答)")));
}

TEST_F(AppPrintTest, WithoutAServerItSaysWhyNothingWasPrinted) {
  main().BtnMakeClick();
  cups().stop();
  print();
  ASSERT_EQ(dlg_.messages().size(), 1);
  EXPECT_TRUE(dlg_.messages()[0].startsWith(QStringLiteral("印刷できませんでした。\r\nno print server answers")))
      << dlg_.messages()[0].toStdString();
  EXPECT_EQ(main().StPanel1->text(), QStringLiteral("印刷できませんでした"));
  EXPECT_EQ(app_->preview().StBarPrev->currentMessage(), QStringLiteral("印刷できませんでした"));
  EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
  ASSERT_TRUE(cups().start()) << cups().error().toStdString();
}

}  // namespace
}  // namespace zubira
