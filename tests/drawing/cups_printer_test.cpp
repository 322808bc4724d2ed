// Printing on CUPS queues through the printing API, against a private CUPS server whose
// recording printers show what a job really delivered.

#include "drawing/cups_printer.h"
#include "tests/support/cups_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QLocalServer>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cups/cups.h>
#include <iostream>

namespace zubira {
namespace {

const auto* const cupsEnvironment = ::testing::AddGlobalTestEnvironment(new testing::CupsServerEnvironment);

class CupsPrinterTest : public testing::CupsServerTest {
 protected:
  CupsQueue defaultQueue() {
    QString error;
    const std::optional<CupsQueue> q = findCupsQueue(QString(), &error);
    EXPECT_TRUE(q) << error.toStdString();
    return q.value_or(CupsQueue());
  }
};

// Draws `texts` on the document, one page each.
bool drawPages(CupsDocument& doc, const QStringList& texts) {
  QPagedPaintDevice* device = doc.device();
  QPainter painter;
  if (!device || !painter.begin(device)) return false;
  painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 24));
  for (int i = 0; i < texts.size(); ++i) {
    if (i > 0 && !device->newPage()) return false;
    painter.drawText(QPoint(device->width() / 10, device->height() / 5), texts[i]);
  }
  return painter.end();
}

// The title the server keeps for job `id` of `queue`.
QString jobTitle(const QString& queue, int id) {
  cups_job_t* jobs = nullptr;
  const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
  QString title;
  for (int i = 0; i < n; ++i)
    if (jobs[i].id == id) title = QString::fromUtf8(jobs[i].title);
  cupsFreeJobs(n, jobs);
  return title;
}

const QRegularExpression kA4(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts"));

TEST_F(CupsPrinterTest, DefaultQueueComesWithItsPaper) {
  const CupsQueue q = defaultQueue();
  EXPECT_EQ(q.name.toStdString(), queue().toStdString());
  EXPECT_EQ(q.layout.pageSize().id(), QPageSize::A4);
  EXPECT_EQ(q.layout.orientation(), QPageLayout::Portrait);
  EXPECT_GT(q.resolution, 0);
  EXPECT_TRUE(q.options.isEmpty()) << "the queue's own defaults apply";

  // Another queue, by name, on its own paper; a document for it has that page.
  ASSERT_TRUE(cups().addQueue(QStringLiteral("letter"), QStringLiteral("Letter"))) << cups().error().toStdString();
  QString error;
  const std::optional<CupsQueue> letter = findCupsQueue(QStringLiteral("letter"), &error);
  ASSERT_TRUE(letter) << error.toStdString();
  EXPECT_EQ(letter->name.toStdString(), "letter");
  EXPECT_EQ(letter->layout.pageSize().id(), QPageSize::Letter);
  CupsDocument doc(*letter);
  ASSERT_NE(doc.device(), nullptr) << doc.error().toStdString();
  EXPECT_EQ(doc.resolution(), QSize(letter->resolution, letter->resolution));
  EXPECT_EQ(doc.printableSize(), letter->layout.paintRectPixels(letter->resolution).size());
}

TEST_F(CupsPrinterTest, DriverQueueComesWithItsResolutionAndMargins) {
  if (!cups().addDriverQueue(QStringLiteral("pcl"), QStringLiteral("drv:///sample.drv/generpcl.ppd"),
                             {QStringLiteral("-o"), QStringLiteral("PageSize=Letter")}))
    GTEST_SKIP() << "no PCL driver on this server: " << cups().error().toStdString();
  QString error;
  const std::optional<CupsQueue> q = findCupsQueue(QStringLiteral("pcl"), &error);
  ASSERT_TRUE(q) << error.toStdString();
  EXPECT_EQ(q->resolution, 300) << "the driver's default resolution";
  EXPECT_EQ(q->layout.pageSize().id(), QPageSize::Letter);
  const QMarginsF margins = q->layout.margins(QPageLayout::Point);
  EXPECT_NEAR(margins.left(), 18, 0.5) << "the driver's printable area";
  EXPECT_NEAR(margins.top(), 12, 0.5);
}

TEST_F(CupsPrinterTest, NoSuchQueueAndNoDefaultPrinter) {
  QString error;
  EXPECT_FALSE(findCupsQueue(QStringLiteral("nosuch"), &error));
  EXPECT_EQ(error.toStdString(), "no printer \"nosuch\"");

  // Without its default queue the server has no default printer; the queue comes back after.
  struct Restore {
    testing::CupsServer& cups;
    ~Restore() { EXPECT_TRUE(cups.addQueue(queue(), QStringLiteral("A4"), true)) << cups.error().toStdString(); }
  } restore{cups()};
  ASSERT_TRUE(cups().run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), queue()})) << cups().error().toStdString();
  error.clear();
  EXPECT_FALSE(findCupsQueue(QString(), &error));
  EXPECT_EQ(error.toStdString(), "no default printer");
}

TEST_F(CupsPrinterTest, TwoPagesInTwoCopiesAreOneJob) {
  CupsDocument doc(defaultQueue());
  ASSERT_TRUE(drawPages(doc, {QStringLiteral("Page one"), QStringLiteral("Page two")}));
  const int before = int(cups().received(queue()).size());
  QString error;
  QElapsedTimer timer;
  timer.start();
  const std::optional<int> job = doc.submit(QStringLiteral("Zubira test"), 2, &error);
  const qint64 submitMs = timer.elapsed();
  ASSERT_TRUE(job) << error.toStdString();
  EXPECT_GT(*job, 0);
  EXPECT_TRUE(leftovers().isEmpty()) << "the temporary document is gone";
  ASSERT_TRUE(cups().waitForJobs(queue(), before + 1));
  const qint64 deliveredMs = timer.elapsed();
  const QList<QByteArray> received = cups().received(queue());
  ASSERT_EQ(received.size(), before + 1) << "one job";
  const QByteArray data = received.last();
  std::cout << "[ job      ] " << data.size() / 2 << " bytes a copy; submitted in " << submitMs
            << " ms, at the printer after " << deliveredMs << " ms\n";
  // A raw queue sends the job's copies one after the other.
  ASSERT_EQ(data.size() % 2, 0);
  const QByteArray copy = data.left(data.size() / 2);
  EXPECT_EQ(data.mid(copy.size()), copy);
  EXPECT_TRUE(copy.startsWith("%PDF-"));
  EXPECT_EQ(jobTitle(queue(), *job), QStringLiteral("Zubira test"));
  EXPECT_TRUE(cups().jobs(queue(), QStringLiteral("not-completed")).isEmpty());

  if (!testing::hasPopplerTools()) GTEST_SKIP() << "pdfinfo and pdftotext are not installed";
  const QString info = testing::pdfInfo(copy);
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n")))) << info.toStdString();
  EXPECT_TRUE(info.contains(kA4)) << info.toStdString();
  const QString text = testing::pdfText(copy);
  EXPECT_TRUE(text.contains(QStringLiteral("Page one")) && text.contains(QStringLiteral("Page two")))
      << text.toStdString();
}

TEST_F(CupsPrinterTest, StoppedOrRejectingQueueGetsNoJob) {
  const struct {
    bool stop;
    const char* reason;
    const char* error;
  } cases[] = {
      {true, "out of paper", "printer \"zq\" is stopped (out of paper)"},
      {false, "under repair", "printer \"zq\" is not accepting jobs (under repair)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    const QString reason = QLatin1String(c.reason);
    ASSERT_TRUE(c.stop ? cups().stopQueue(queue(), reason) : cups().rejectJobs(queue(), reason))
        << cups().error().toStdString();
    const QStringList jobsBefore = cups().jobs(queue());
    CupsDocument doc(defaultQueue());
    ASSERT_TRUE(drawPages(doc, {QStringLiteral("Not printed")}));
    QString error;
    EXPECT_FALSE(doc.submit(QStringLiteral("refused"), 1, &error));
    EXPECT_EQ(error.toStdString(), c.error);
    EXPECT_EQ(cups().jobs(queue()).join(u' ').toStdString(), jobsBefore.join(u' ').toStdString()) << "no job";
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
    ASSERT_TRUE(cups().startQueue(queue()) && cups().acceptJobs(queue()));
  }
}

TEST_F(CupsPrinterTest, RefusesCopiesOutOfRangeAndUnfinishedDocuments) {
  const QStringList jobsBefore = cups().jobs(queue());
  for (int copies : {0, 100, -1}) {
    CupsDocument doc(defaultQueue());
    ASSERT_TRUE(drawPages(doc, {QStringLiteral("x")}));
    QString error;
    EXPECT_FALSE(doc.submit(QStringLiteral("t"), copies, &error));
    EXPECT_EQ(error, QStringLiteral("copies must be 1 to 99, not %1").arg(copies)) << error.toStdString();
  }
  {
    CupsDocument doc(defaultQueue());
    QString error;
    EXPECT_FALSE(doc.submit(QStringLiteral("t"), 1, &error));
    EXPECT_EQ(error.toStdString(), "the document has no page");
    EXPECT_FALSE(doc.submit(QStringLiteral("t"), 1, &error));
    EXPECT_EQ(error.toStdString(), "the document was already sent");
  }
  {
    CupsDocument doc(defaultQueue());
    QPainter painter(doc.device());
    QString error;
    EXPECT_FALSE(doc.submit(QStringLiteral("t"), 1, &error));
    EXPECT_EQ(error.toStdString(), "the document is not finished");
    painter.end();
    EXPECT_TRUE(doc.submit(QStringLiteral("finished after all"), 1, &error)) << error.toStdString();
  }
  {
    CupsQueue unknown;
    unknown.name = QStringLiteral("zq");
    CupsDocument doc(unknown);
    EXPECT_EQ(doc.device(), nullptr);
    EXPECT_EQ(doc.error().toStdString(), "the page of printer \"zq\" is not known");
    EXPECT_FALSE(doc.resolution());
  }
  EXPECT_EQ(cups().jobs(queue()).size(), jobsBefore.size() + 1) << "the finished document's job alone";
  EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
}

TEST_F(CupsPrinterTest, NoServerEndsAtOnceWithAClearMessage) {
  CupsDocument doc(defaultQueue());
  ASSERT_TRUE(drawPages(doc, {QStringLiteral("x")}));
  cups().stop();
  const QString noServer = QStringLiteral("no print server answers at \"%1\"").arg(QString::fromLocal8Bit(cups().serverValue()));
  QString error;
  QElapsedTimer timer;
  timer.start();
  EXPECT_FALSE(findCupsQueue(QString(), &error));
  EXPECT_TRUE(error.startsWith(noServer)) << error.toStdString();
  EXPECT_FALSE(doc.submit(QStringLiteral("t"), 1, &error));
  EXPECT_TRUE(error.startsWith(noServer)) << error.toStdString();
  std::cout << "[ no server] both answered in " << timer.elapsed() << " ms: " << error.toStdString() << "\n";
  EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
  ASSERT_TRUE(cups().start()) << cups().error().toStdString();
}

TEST_F(CupsPrinterTest, ServerThatNeverAnswersIsGivenUpAfterAFewSeconds) {
  CupsDocument doc(defaultQueue());
  ASSERT_TRUE(drawPages(doc, {QStringLiteral("x")}));
  // A socket that takes connections and answers nothing, as a hung server does; libcups is
  // pointed at it for a while, then back at CUPS_SERVER.
  QLocalServer silent;
  const QString socket = tmp_.filePath(QStringLiteral("silent.sock"));
  ASSERT_TRUE(silent.listen(socket)) << silent.errorString().toStdString();
  cupsSetServer(QFile::encodeName(socket).constData());
  QString findError, submitError;
  QElapsedTimer timer;
  timer.start();
  const std::optional<CupsQueue> q = findCupsQueue(QString(), &findError);
  const qint64 findMs = timer.restart();
  const std::optional<int> job = doc.submit(QStringLiteral("t"), 1, &submitError);
  const qint64 submitMs = timer.elapsed();
  cupsSetServer(nullptr);
  silent.close();
  const std::string expected = QStringLiteral("no print server answers at \"%1\" (no answer within 5 seconds)").arg(socket).toStdString();
  EXPECT_FALSE(q);
  EXPECT_EQ(findError.toStdString(), expected);
  EXPECT_FALSE(job);
  EXPECT_EQ(submitError.toStdString(), expected);
  std::cout << "[ no answer] given up after " << findMs << " and " << submitMs << " ms\n";
  EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
  EXPECT_TRUE(findCupsQueue(QString(), &findError)) << "the real server again: " << findError.toStdString();
}

}  // namespace
}  // namespace zubira
