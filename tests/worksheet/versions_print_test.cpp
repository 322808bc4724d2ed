// The class-set dialog's 印刷 on a private CUPS server: each sheet of each set a job of its own,
// in order, each with its set label; a stopped queue, a missing server and no printer at all told
// in Japanese.

#include "worksheet/versions_dialog.h"

#include "drawing/cups_printer.h"
#include "drawing/page_model.h"
#include "drawing/printer_access.h"
#include "generation/random_source.h"
#include "platform/ini_file.h"
#include "tests/worksheet/fake_preview.h"
#include "tests/support/cups_server.h"
#include "tests/support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>

namespace zubira {
namespace {

using testing::ScriptedDialogs;

const auto* const cupsEnvironment = ::testing::AddGlobalTestEnvironment(new testing::CupsServerEnvironment);

class VersionsPrintTest : public testing::CupsServerTest {
 protected:
  void SetUp() override {
    CupsServerTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    QString why;
    printer_ = makeCupsPrinter(queue(), &why);
    ASSERT_NE(printer_, nullptr) << why.toStdString();
    ASSERT_TRUE(testing::PrepareTestPage(page_));
    const IniFile none{QString()};
    source_.dateTime.GetIniSets(none, QStringLiteral("DateTime"), QString(), 0, "0", "0");
    GiveDefaultPlaces(&page_.PageTitle, &page_.SubTitle, &source_.dateTime);
    source_.random = &random_;
    source_.page = &page_;
    source_.printer = printer_.get();
    dlg_.setSource(source_);
    dlg_.SpnVersions->setValue(2);
    dlg_.ChkKey->setChecked(true);
  }
  int received() { return int(cups().received(queue()).size()); }

  ScriptedDialogs dialogs_;
  std::unique_ptr<QPrinter> printer_;
  PageModel page_{std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96};
  PseudoRandomSource random_{4};
  ClassSetSource source_;
  FrmVersions dlg_;
};

TEST_F(VersionsPrintTest, EachSheetOfEachSetIsAJobWithItsLabel) {
  printer_->setCopyCount(2);
  const int before = received();
  dlg_.BtnVersionsPrint->click();
  ASSERT_EQ(dialogs_.messages().size(), 1);
  const QStringList lines = dialogs_.messages()[0].split(QStringLiteral("\r\n"));
  EXPECT_EQ(lines[0], QStringLiteral("プリンタ「zq」に 2 セットを送りました（各2部）。"));
  for (const QString& note : lines.mid(1)) EXPECT_TRUE(note.startsWith(QStringLiteral("解き方: "))) << note.toStdString();
  EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
  ASSERT_TRUE(cups().waitForJobs(queue(), before + 6));
  const QList<QByteArray> jobs = cups().received(queue()).mid(before);
  ASSERT_EQ(jobs.size(), 6);
  if (!testing::hasPopplerTools()) GTEST_SKIP() << "pdfinfo and pdftotext are not installed";
  const char* const subtitles[] = {"たしざんのもんだい\n", "たしざんのもんだい (答)", "たしざんのもんだい (解き方)"};
  for (int j = 0; j < 6; ++j) {
    SCOPED_TRACE(::testing::Message() << "job " << j + 1);
    const QByteArray& data = jobs[j];
    ASSERT_EQ(data.count("%%EOF"), 2) << "two copies in one job";
    const QByteArray copy = data.left(data.indexOf("%%EOF") + 6);
    EXPECT_TRUE(testing::pdfInfo(copy).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    const QString text = testing::pdfText(copy);
    EXPECT_TRUE(text.contains(QStringLiteral("セット %1 / 2").arg(j / 3 + 1))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8(subtitles[j % 3]))) << text.toStdString();
  }
}

TEST_F(VersionsPrintTest, StoppedQueueMissingServerAndNoPrinterAreTold) {
  ASSERT_TRUE(cups().stopQueue(queue(), QStringLiteral("out of paper")));
  const QStringList jobsBefore = cups().jobs(queue());
  dlg_.BtnVersionsPrint->click();
  EXPECT_EQ(dialogs_.messages(),
            QStringList{QStringLiteral("印刷できませんでした。\r\nprinter \"zq\" is stopped (out of paper)")});
  EXPECT_EQ(cups().jobs(queue()), jobsBefore) << "no job";
  ASSERT_TRUE(cups().startQueue(queue()));

  cups().stop();
  const QString noServer = QStringLiteral("no print server answers at \"%1\"").arg(QString::fromLocal8Bit(cups().serverValue()));
  dialogs_.clear();
  dlg_.BtnVersionsPrint->click();
  ASSERT_EQ(dialogs_.messages().size(), 1);
  EXPECT_TRUE(dialogs_.messages()[0].startsWith(QStringLiteral("印刷できませんでした。\r\n") + noServer))
      << dialogs_.messages()[0].toStdString();

  // Without the preview's printer the default one is looked for, and there is none.
  source_.printer = nullptr;
  dlg_.setSource(source_);
  dialogs_.clear();
  dlg_.BtnVersionsPrint->click();
  ASSERT_EQ(dialogs_.messages().size(), 1);
  EXPECT_TRUE(dialogs_.messages()[0].startsWith(QStringLiteral("印刷できるプリンタがありません。PDFに保存して下さい。\r\n") + noServer))
      << dialogs_.messages()[0].toStdString();
  EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
  ASSERT_TRUE(cups().start()) << cups().error().toStdString();
}

}  // namespace
}  // namespace zubira
