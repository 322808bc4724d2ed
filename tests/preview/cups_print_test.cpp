// The preview's 印刷 on a real printer: a private CUPS server whose default queue is a raw queue
// on a recording AppSocket printer, so the test reads the very bytes the printer got.

#include "drawing/page_model.h"
#include "preview/preview_window.h"
#include "tests/preview/preview_test_util.h"
#include "tests/support/cups_server.h"
#include "tests/support/scripted_dialogs.h"
#include "worksheet/typesetter.h"
#include "worksheet/worksheet_composer.h"

#include <QElapsedTimer>
#include <QStatusBar>
#include <QPrinter>
#include <QRegularExpression>

#include <iostream>

namespace zubira {
namespace {

using testing::PreviewFolder;
using testing::ScriptedDialogs;
using testing::showWindow;
using testing::trigger;

const auto* const cupsEnvironment = ::testing::AddGlobalTestEnvironment(new testing::CupsServerEnvironment);

// A shown preview on the system's default printer (the private server's queue), with a problem
// sheet composed into its program list as the main window composes it.
class CupsPrintTest : public testing::CupsServerTest {
 protected:
  void SetUp() override {
    CupsServerTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    window_ = std::make_unique<TFrmPrev>(nullptr, dir_.settings(), std::make_unique<QtPrinterAccess>(), 96);
    QPrinter* printer = window_->model().printerAccess().printer();
    ASSERT_NE(printer, nullptr);
    ASSERT_EQ(printer->outputFormat(), QPrinter::NativeFormat) << "a CUPS printer, not the PDF stand-in";
    ASSERT_EQ(printer->printerName(), queue());
    showWindow(*window_);
    compose();
  }
  void TearDown() override {
    window_.reset();
    CupsServerTest::TearDown();
  }

  void compose() {
    PageModel& model = window_->model();
    model.setUnitType(PageModel::kUnitMillimetre);
    model.PageTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 24, 4, "10", "10", false, false);
    model.SubTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 12, 4, "10", "36", false, false);
    Typesetter typesetter(model);
    MainSettings settings;
    GenerationSettings gen;
    TPageStr dateTime;
    dateTime.SetSets("", QStringLiteral("ＭＳ 明朝"), 11, 4, "80", "10", false, false);
    WorksheetComposer composer(model, typesetter, settings, gen, dateTime);
    composer.setRefresh([this] { window_->PrevUpDateProgram(); });
    const ProblemSet problems{{pkAdd, "1/2", "1/3", "5/6"}, {pkAdd, "3/4", "1/8", "7/8"}, {pkAdd, "2/5", "1/5", "3/5"}};
    ASSERT_TRUE(composer.ComposeWorksheet(WorksheetComposer::ProblemSheet, problems));
    ASSERT_GT(model.ListbyProgram().size(), 1);
  }

  int receivedCount() { return int(cups().received(queue()).size()); }

  PreviewFolder dir_;
  ScriptedDialogs dlg_;
  std::unique_ptr<TFrmPrev> window_;
};

const QRegularExpression kOnePage(QStringLiteral("Pages:\\s+1\\n"));
const QRegularExpression kA4(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts"));

TEST_F(CupsPrintTest, SheetGoesToThePrinterAsOneA4Page) {
  const int before = receivedCount();
  QElapsedTimer timer;
  timer.start();
  trigger(*window_, "Print2");
  const qint64 printMs = timer.elapsed();
  EXPECT_TRUE(dlg_.shown().empty()) << "no file name asked, no message: " << dlg_.texts().join(u'|').toStdString();
  EXPECT_EQ(window_->StBarPrev->currentMessage(), QStringLiteral("プリンタ「zq」に送りました（1部）"));
  EXPECT_EQ(window_->nTgtCanvas(), 1) << "the screen is the target again";
  EXPECT_TRUE(leftovers().isEmpty()) << "the temporary document is gone";
  ASSERT_TRUE(cups().waitForJobs(queue(), before + 1));
  const QList<QByteArray> received = cups().received(queue());
  ASSERT_EQ(received.size(), before + 1) << "one job";
  const QByteArray pdf = received.last();
  std::cout << "[ job      ] " << pdf.size() << " bytes at " << window_->model().PrinterResX()
            << " dpi; 印刷 took " << printMs << " ms, at the printer after " << timer.elapsed() << " ms\n";
  EXPECT_TRUE(pdf.startsWith("%PDF-"));
  EXPECT_EQ(pdf.count("%%EOF"), 1) << "one copy";

  if (!testing::hasPopplerTools()) GTEST_SKIP() << "pdfinfo and pdftotext are not installed";
  const QString info = testing::pdfInfo(pdf);
  EXPECT_TRUE(info.contains(kOnePage)) << info.toStdString();
  EXPECT_TRUE(info.contains(kA4)) << info.toStdString();
  const QString text = testing::pdfText(pdf);
  for (const QString& expected : {QStringLiteral("かずの計算"), QStringLiteral("たしざんのもんだい"),
                                  QStringLiteral("なまえ"), QStringLiteral("( 1)"), QStringLiteral("( 3)")})
    EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in:\n" << text.toStdString();
}

TEST_F(CupsPrintTest, CopiesOfThePrintDialogAreOneJob) {
  dlg_.answerPrint(true, [](QPrinter* printer) { printer->setCopyCount(3); });
  trigger(*window_, "Printer1");
  const int before = receivedCount();
  trigger(*window_, "Print2");
  EXPECT_TRUE(dlg_.messages().isEmpty()) << dlg_.messages().join(u'|').toStdString();
  EXPECT_EQ(window_->StBarPrev->currentMessage(), QStringLiteral("プリンタ「zq」に送りました（3部）"));
  ASSERT_TRUE(cups().waitForJobs(queue(), before + 1));
  const QByteArray data = cups().received(queue()).last();
  ASSERT_EQ(data.size() % 3, 0);
  const QByteArray copy = data.left(data.size() / 3);
  EXPECT_TRUE(copy.startsWith("%PDF-"));
  EXPECT_EQ(data, copy + copy + copy) << "three copies of one document";
  EXPECT_EQ(cups().received(queue()).size(), before + 1) << "in one job";
}

TEST_F(CupsPrintTest, StoppedOrRejectingQueueShowsTheReasonAndPrintsNothing) {
  const struct {
    bool stop;
    const char* message;
  } cases[] = {
      {true, "印刷できませんでした。\r\nprinter \"zq\" is stopped (out of paper)"},
      {false, "印刷できませんでした。\r\nprinter \"zq\" is not accepting jobs (out of paper)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const QString reason = QStringLiteral("out of paper");
    ASSERT_TRUE(c.stop ? cups().stopQueue(queue(), reason) : cups().rejectJobs(queue(), reason))
        << cups().error().toStdString();
    const QStringList jobsBefore = cups().jobs(queue());
    dlg_.clear();
    trigger(*window_, "Print2");
    EXPECT_EQ(dlg_.messages().join(u'|').toStdString(), c.message);
    EXPECT_EQ(window_->StBarPrev->currentMessage(), QStringLiteral("印刷できませんでした"));
    EXPECT_EQ(cups().jobs(queue()).join(u' ').toStdString(), jobsBefore.join(u' ').toStdString()) << "no job";
    EXPECT_EQ(window_->nTgtCanvas(), 1);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
    ASSERT_TRUE(cups().startQueue(queue()) && cups().acceptJobs(queue()));
  }
  // The window goes on printing once the queue takes jobs again.
  const int before = receivedCount();
  dlg_.clear();
  trigger(*window_, "Print2");
  EXPECT_TRUE(dlg_.messages().isEmpty()) << dlg_.messages().join(u'|').toStdString();
  EXPECT_TRUE(cups().waitForJobs(queue(), before + 1));
}

TEST_F(CupsPrintTest, MissingServerIsReportedAtOnce) {
  cups().stop();
  QElapsedTimer timer;
  timer.start();
  trigger(*window_, "Print2");
  const qint64 ms = timer.elapsed();
  ASSERT_EQ(dlg_.messages().size(), 1);
  const QString expected = QStringLiteral("印刷できませんでした。\r\nno print server answers at \"%1\"")
                               .arg(QString::fromLocal8Bit(cups().serverValue()));
  EXPECT_TRUE(dlg_.messages()[0].startsWith(expected)) << dlg_.messages()[0].toStdString();
  std::cout << "[ no server] reported after " << ms << " ms\n";
  EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
  ASSERT_TRUE(cups().start()) << cups().error().toStdString();
}

}  // namespace
}  // namespace zubira
