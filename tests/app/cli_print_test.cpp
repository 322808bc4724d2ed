// `zubira sheet --print` on a real print server: a private CUPS server whose default queue is a
// raw queue on a recording AppSocket printer, so the test reads the very bytes of every job.

#include "run_zubira.h"
#include "tests/support/cups_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace zubira {
namespace {

using testing::runZubira;

const auto* const cupsEnvironment = ::testing::AddGlobalTestEnvironment(new testing::CupsServerEnvironment);

class CliPrintTest : public testing::CupsServerTest {
 protected:
  QList<QByteArray> newJobs(int before) { return cups().received(queue()).mid(before); }
  int count() { return int(cups().received(queue()).size()); }
};

const QRegularExpression kOnePage(QStringLiteral("Pages:\\s+1\\n"));
const QRegularExpression kA4(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts"));

// One job per sheet, in order: problems, answers, then the key; each one A4 page.
TEST_F(CliPrintTest, SheetsGoToTheDefaultPrinterOneJobEach) {
  if (!testing::hasPopplerTools()) GTEST_SKIP() << "pdfinfo and pdftotext are not installed";
  QTemporaryDir dir;
  const int before = count();
  const auto r = runZubira({"sheet", "--seed", "7", "--print", "--solutions", dir.filePath("key.pdf")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  ASSERT_TRUE(cups().waitForJobs(queue(), before + 3));
  const QList<QByteArray> jobs = newJobs(before);
  ASSERT_EQ(jobs.size(), 3);
  const char* const subtitles[] = {"たしざんのもんだい\n", "(答)", "(解き方)"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const QString info = testing::pdfInfo(jobs[i]), text = testing::pdfText(jobs[i]);
    EXPECT_TRUE(info.contains(kOnePage)) << info.toStdString();
    EXPECT_TRUE(info.contains(kA4)) << info.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8(subtitles[i]))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("(10)")));
  }
  EXPECT_FALSE(testing::pdfText(jobs[0]).contains(QStringLiteral("(答)")));
}

TEST_F(CliPrintTest, CopiesVersionsAndANamedQueue) {
  ASSERT_TRUE(cups().addQueue(QStringLiteral("other"), QStringLiteral("A4")));
  int before = int(cups().received(QStringLiteral("other")).size());
  auto r = runZubira({"sheet", "--seed", "3", "--printer", "other", "--copies", "2"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  ASSERT_TRUE(cups().waitForJobs(QStringLiteral("other"), before + 2));
  for (const QByteArray& job : cups().received(QStringLiteral("other")).mid(before))
    EXPECT_EQ(job.count("%%EOF"), 2) << "two copies in each job";

  before = count();
  r = runZubira({"sheet", "--versions", "2", "--seed", "3", "--print"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  ASSERT_TRUE(cups().waitForJobs(queue(), before + 4));
  const QList<QByteArray> jobs = newJobs(before);
  if (!testing::hasPopplerTools()) return;
  const QString first = testing::pdfText(jobs[0]), second = testing::pdfText(jobs[2]);
  EXPECT_FALSE(first.contains(QStringLiteral("(答)")));
  EXPECT_TRUE(testing::pdfText(jobs[1]).contains(QStringLiteral("(答)")));
  EXPECT_NE(first, second) << "each set its own problems";
}

// Exit 1 with the reason; nothing printed.
TEST_F(CliPrintTest, RefusedJobsAreReportedAndNothingIsPrinted) {
  auto r = runZubira({"sheet", "--seed", "3", "--printer", "nosuch"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains(QStringLiteral("no printer \"nosuch\""))) << r.err.toStdString();

  ASSERT_TRUE(cups().stopQueue(queue(), QStringLiteral("out of paper")));
  const QStringList jobsBefore = cups().jobs(queue());
  r = runZubira({"sheet", "--seed", "3", "--print"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains(QStringLiteral("is stopped (out of paper)"))) << r.err.toStdString();
  EXPECT_EQ(cups().jobs(queue()), jobsBefore) << "no job";
  ASSERT_TRUE(cups().startQueue(queue()));

  // A server that is not there: at once, not after a time-out.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("CUPS_SERVER"), QDir::temp().filePath(QStringLiteral("zubira-no-server.sock")));
  QElapsedTimer timer;
  timer.start();
  r = runZubira({"sheet", "--seed", "3", "--print"}, 60000, env);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains(QStringLiteral("no print server answers"))) << r.err.toStdString();
  EXPECT_LT(timer.elapsed(), 20000);
}

}  // namespace
}  // namespace zubira
