#pragma once
// A private CUPS server for tests: cupsd run from a configuration in a temporary folder of its
// own (its unix socket, spool, cache, state and logs there, nothing of the system's /etc/cups,
// no network listener), with raw queues whose device is an AppSocket printer served by this
// object on a loopback port, which records the bytes of every job it receives.
//
// The server and the printers stop when the object goes, whatever happened; the server is in a
// process group of its own, which stop() ends, and it is told to end when the test process dies.
// As root the server runs its jobs as lp (CUPS runs no job as root).
//
//   if (QString why = CupsServer::missingTools(); !why.isEmpty()) GTEST_SKIP() << why;
//   CupsServer cups;  ASSERT_TRUE(cups.start()) << cups.error().toStdString();
//   cups.exportEnvironment();  // before the process's first CUPS call
//   ASSERT_TRUE(cups.addQueue("zq", "A4", true));  ...print...  ASSERT_TRUE(cups.waitForJobs("zq", 1));

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace zubira::testing {

class SocketPrinter;

class CupsServer {
 public:
  CupsServer();
  ~CupsServer();
  CupsServer(const CupsServer&) = delete;
  CupsServer& operator=(const CupsServer&) = delete;

  // Why no server can be run here ("cupsd is not installed", ...); empty when one can.
  static QString missingTools();

  // Starts the server (again, after stop(), with the queues it had) and waits until it answers.
  bool start();
  // Ends the server and every process it started; its socket then has no one behind it.
  void stop();
  bool isRunning() const;
  // Why the last call failed, with the end of the server's error log.
  QString error() const { return error_; }

  // The value for CUPS_SERVER (the server's unix socket) and for CUPS_SERVERROOT (its
  // configuration folder, where libcups looks for the PPD files of a local server).
  QByteArray serverValue() const;
  QByteArray serverRoot() const;
  // Points libcups and Qt in this process at the server: sets CUPS_SERVER and CUPS_SERVERROOT and
  // clears LPDEST and PRINTER, which would name another default printer.
  void exportEnvironment() const;

  // A raw queue (no driver: a job arrives as it was sent) on a new recording printer, enabled
  // and accepting jobs, with `media` as its default paper; the server's default destination
  // when `makeDefault`.
  bool addQueue(const QString& name, const QString& media = QStringLiteral("A4"), bool makeDefault = false);
  // A queue with the driver `model` (a name lpinfo -m lists) on a new recording printer; false
  // when the server has no such driver.
  bool addDriverQueue(const QString& name, const QString& model, const QStringList& lpadminOptions = {});
  // cupsdisable / cupsenable, cupsreject / cupsaccept, with the reason the queue then shows.
  bool stopQueue(const QString& name, const QString& reason = QString());
  bool startQueue(const QString& name);
  bool rejectJobs(const QString& name, const QString& reason = QString());
  bool acceptJobs(const QString& name);
  // The ids ("zq-3") of the jobs the server holds for `queue`: "all", "completed" or
  // "not-completed".
  QStringList jobs(const QString& queue, const QString& which = QStringLiteral("all"));

  // The data of every job the printer of `queue` has received completely, in order (a job's
  // copies arrive one after the other in its data).
  QList<QByteArray> received(const QString& queue) const;
  // Runs the event loop until the printer of `queue` has received `count` jobs; false when they
  // have not come within `timeoutMs`.
  bool waitForJobs(const QString& queue, int count, int timeoutMs = 30000);

  // Runs a CUPS tool (lpadmin, lpstat, ...) against this server; true when it ends with 0.
  bool run(const QString& tool, const QStringList& args, QString* output = nullptr);
  QString folder() const { return dir_.path(); }

 private:
  QString path(const QString& name) const { return dir_.filePath(name); }
  bool writeConfiguration();
  bool addPrinterQueue(const QString& name, const QStringList& lpadminArgs);
  QString logTail() const;

  QTemporaryDir dir_;
  QProcess server_;
  QMap<QString, std::shared_ptr<SocketPrinter>> printers_;
  QString error_;
};

// Poppler's reading of a PDF a printer received: pdfinfo's report and pdftotext's text; empty
// when the tool fails. hasPopplerTools() tells whether both are installed.
QString pdfInfo(const QByteArray& pdf);
QString pdfText(const QByteArray& pdf);
bool hasPopplerTools();

// The server of a test process, started before its first test and ended after its last: libcups
// keeps to the first server it was pointed at, so one server serves the whole process. Its
// default destination is the raw queue kQueue on A4. Register it once in the test file:
//   const auto* const cupsEnvironment = ::testing::AddGlobalTestEnvironment(new CupsServerEnvironment);
class CupsServerEnvironment : public ::testing::Environment {
 public:
  static constexpr const char* kQueue = "zq";
  void SetUp() override;
  void TearDown() override;
  // The server; null when none could be run (skipReason() says why).
  static CupsServer* server();
  static QString skipReason();
};

// Tests on that server. Each is skipped, with the reason, when no server could be run; before
// each the server is brought back up if a test ended it, and kQueue is enabled and accepting.
// A test on the running server's queue. Temporary files of the code under test go to `tmp_`
// (TMPDIR) for the test's length, to see that none is left.
class CupsServerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  CupsServer& cups() { return *CupsServerEnvironment::server(); }
  static QString queue() { return QLatin1String(CupsServerEnvironment::kQueue); }
  // What is left in `tmp_`.
  QStringList leftovers() const;

  QTemporaryDir tmp_;

 private:
  bool redirected_ = false;
  QByteArray previousTmp_;
};

}  // namespace zubira::testing
