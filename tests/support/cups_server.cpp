#include "tests/support/cups_server.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QLocalSocket>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>

#include <csignal>
#include <optional>
#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace zubira::testing {

// An AppSocket (JetDirect) printer on a loopback port: it takes whatever a connection sends and
// keeps it as one job when the sender closes.
class SocketPrinter {
 public:
  SocketPrinter() {
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { open_[socket] += socket->readAll(); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
          jobs_.append(open_.take(socket) + socket->readAll());
          socket->deleteLater();
        });
      }
    });
    server_.listen(QHostAddress::LocalHost, 0);
  }
  ~SocketPrinter() {
    // A job still coming in is dropped without its signals reaching this half-destroyed object.
    server_.close();
    for (QTcpSocket* socket : server_.findChildren<QTcpSocket*>()) {
      QObject::disconnect(socket, nullptr, nullptr, nullptr);
      delete socket;
    }
  }
  SocketPrinter(const SocketPrinter&) = delete;
  SocketPrinter& operator=(const SocketPrinter&) = delete;

  bool listening() const { return server_.isListening(); }
  quint16 port() const { return server_.serverPort(); }
  const QList<QByteArray>& jobs() const { return jobs_; }

 private:
  QList<QByteArray> jobs_;
  QHash<QTcpSocket*, QByteArray> open_;  // the data of the connections still open
  QTcpServer server_;
};

namespace {

const QStringList kToolFolders = {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                  QStringLiteral("/usr/bin"), QStringLiteral("/bin")};

QString findTool(const QString& name) {
  QString found = QStandardPaths::findExecutable(name);
  if (found.isEmpty()) found = QStandardPaths::findExecutable(name, kToolFolders);
  return found;
}

bool writeFile(const QString& file, const QByteArray& text) {
  QFile f(file);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

// A process as /proc shows it: its parent and when it started (which tells it from a later
// process that got the same id).
struct ProcessEntry {
  pid_t parent = 0;
  QByteArray started;
};

std::optional<ProcessEntry> readProcess(pid_t pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray line = stat.readAll();
  // "pid (name) state ppid ... starttime(22nd) ...": the name may hold blanks and parentheses.
  const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
  if (fields.size() < 20) return std::nullopt;
  return ProcessEntry{pid_t(fields[1].toInt()), fields[19]};
}

// Every process below `root`, with when it started.
QList<QPair<pid_t, QByteArray>> descendants(pid_t root) {
  QMap<pid_t, ProcessEntry> all;
  for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    bool number = false;
    const pid_t pid = entry.toInt(&number);
    if (!number) continue;
    if (const std::optional<ProcessEntry> p = readProcess(pid)) all[pid] = *p;
  }
  QList<pid_t> below{root};
  QList<QPair<pid_t, QByteArray>> out;
  for (int i = 0; i < below.size(); ++i)
    for (auto it = all.cbegin(); it != all.cend(); ++it)
      if (it.value().parent == below[i]) {
        below.append(it.key());
        out.append({it.key(), it.value().started});
      }
  return out;
}

QString userName(uid_t uid) {
  const passwd* pw = getpwuid(uid);
  return pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(uid);
}

QString groupName(gid_t gid) {
  const group* gr = getgrgid(gid);
  return gr ? QString::fromLocal8Bit(gr->gr_name) : QString::number(gid);
}

}  // namespace

CupsServer::CupsServer() : dir_(QStringLiteral("/tmp/zubira-cups-XXXXXX")) {
  // Short and under /tmp: the socket's path must fit a socket address, and the jobs, run as
  // lp, must reach the spool through every folder above it.
  if (dir_.isValid())
    QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                           QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                           QFileDevice::ExeOther);
}

CupsServer::~CupsServer() { stop(); }

QString CupsServer::missingTools() {
  for (const char* tool : {"cupsd", "lpadmin", "lpstat", "cupsenable", "cupsdisable", "cupsaccept", "cupsreject"})
    if (findTool(QLatin1String(tool)).isEmpty())
      return QStringLiteral("%1 is not installed (packages cups and cups-client)").arg(QLatin1String(tool));
  if (geteuid() == 0 && !getpwnam("lp")) return QStringLiteral("there is no user lp to run the jobs as");
  return {};
}

QByteArray CupsServer::serverValue() const { return QFile::encodeName(path(QStringLiteral("cups.sock"))); }

QByteArray CupsServer::serverRoot() const { return QFile::encodeName(path(QStringLiteral("root"))); }

void CupsServer::exportEnvironment() const {
  qputenv("CUPS_SERVER", serverValue());
  qputenv("CUPS_SERVERROOT", serverRoot());
  qunsetenv("LPDEST");
  qunsetenv("PRINTER");
}

bool CupsServer::writeConfiguration() {
  for (const char* sub : {"root", "root/ppd", "spool", "spool/tmp", "cache", "state", "log"})
    if (!QDir().mkpath(path(QLatin1String(sub)))) return false;
  const bool root = geteuid() == 0;
  const QString user = root ? QStringLiteral("lp") : userName(geteuid());
  const QString group = root ? QStringLiteral("lp") : groupName(getegid());
  const QString files = QStringLiteral(
                            "ServerRoot %1/root\n"
                            "RequestRoot %1/spool\n"
                            "TempDir %1/spool/tmp\n"
                            "CacheDir %1/cache\n"
                            "StateDir %1/state\n"
                            "AccessLog %1/log/access_log\n"
                            "ErrorLog %1/log/error_log\n"
                            "PageLog %1/log/page_log\n"
                            "Printcap %1/state/printcap\n"
                            "FileDevice No\n"
                            "User %2\n"
                            "Group %3\n"
                            "SystemGroup %4\n"
                            "LogFileGroup %3\n")
                            .arg(dir_.path(), user, group, root ? QStringLiteral("root") : group);
  // Only the unix socket; everyone may do anything, so no administration needs a password.
  const QString conf = QStringLiteral(
                           "Listen %1/cups.sock\n"
                           "LogLevel info\n"
                           "MaxLogSize 0\n"
                           "Browsing No\n"
                           "BrowseLocalProtocols none\n"
                           "WebInterface No\n"
                           "DefaultShared No\n"
                           "ErrorPolicy abort-job\n"
                           "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                           "<Policy default>\n"
                           "  JobPrivateAccess all\n  JobPrivateValues none\n"
                           "  SubscriptionPrivateAccess all\n  SubscriptionPrivateValues none\n"
                           "  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                           "</Policy>\n")
                           .arg(dir_.path());
  return writeFile(path(QStringLiteral("cups-files.conf")), files.toLocal8Bit()) &&
         writeFile(path(QStringLiteral("cupsd.conf")), conf.toLocal8Bit());
}

bool CupsServer::start() {
  error_.clear();
  if (isRunning()) return true;
  if (!dir_.isValid()) {
    error_ = QStringLiteral("no temporary folder");
    return false;
  }
  if (!writeConfiguration()) {
    error_ = QStringLiteral("cannot write the configuration in %1").arg(dir_.path());
    return false;
  }
  QFile::remove(path(QStringLiteral("cups.sock")));
  server_.setProgram(findTool(QStringLiteral("cupsd")));
  server_.setArguments({QStringLiteral("-f"), QStringLiteral("-c"), path(QStringLiteral("cupsd.conf")),
                        QStringLiteral("-s"), path(QStringLiteral("cups-files.conf"))});
  server_.setProcessChannelMode(QProcess::MergedChannels);
  server_.setStandardOutputFile(path(QStringLiteral("log/cupsd.out")), QIODevice::Append);
  server_.setStandardInputFile(QProcess::nullDevice());
  const pid_t parent = getpid();
  server_.setChildProcessModifier([parent] {
    // Only system calls here: this runs between fork and exec. A group of its own, so that
    // stop() reaches everything it starts, and an end together with the test process.
    setsid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
  });
  server_.start();
  if (!server_.waitForStarted(10000)) {
    error_ = QStringLiteral("cupsd did not start: %1").arg(server_.errorString());
    return false;
  }
  // Ready once its socket takes connections and it answers a request.
  const QDeadlineTimer deadline(20000);
  while (!deadline.hasExpired()) {
    if (server_.state() != QProcess::Running) break;
    QLocalSocket probe;
    probe.connectToServer(QString::fromLocal8Bit(serverValue()));
    if (probe.waitForConnected(500)) {
      probe.abort();
      QString out;
      if (run(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &out) && out.contains(QLatin1String("is running")))
        return true;
    }
    QThread::msleep(50);
  }
  error_ = QStringLiteral("cupsd did not come up\n%1").arg(logTail());
  stop();
  return false;
}

void CupsServer::stop() {
  if (server_.state() == QProcess::NotRunning) return;
  const pid_t pid = pid_t(server_.processId());
  // The jobs it runs may sit in process groups of their own: note them before it goes.
  const auto started = descendants(pid);
  ::kill(-pid, SIGTERM);
  if (!server_.waitForFinished(10000)) {
    ::kill(-pid, SIGKILL);
    server_.waitForFinished(5000);
  }
  for (const auto& [child, startedAt] : started) {
    const std::optional<ProcessEntry> still = readProcess(child);
    if (still && still->started == startedAt) ::kill(child, SIGKILL);
  }
}

bool CupsServer::isRunning() const { return server_.state() == QProcess::Running; }

bool CupsServer::run(const QString& tool, const QStringList& args, QString* output) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("CUPS_SERVER"), QString::fromLocal8Bit(serverValue()));
  env.insert(QStringLiteral("CUPS_SERVERROOT"), QString::fromLocal8Bit(serverRoot()));
  env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
  env.remove(QStringLiteral("LPDEST"));
  env.remove(QStringLiteral("PRINTER"));
  p.setProcessEnvironment(env);
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(findTool(tool), args);
  const bool finished = p.waitForFinished(20000);
  const QString text = QString::fromLocal8Bit(p.readAll());
  if (output) *output = text;
  if (!finished) {
    p.kill();
    p.waitForFinished(2000);
  }
  if (finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) return true;
  error_ = QStringLiteral("%1 %2: %3").arg(tool, args.join(u' '), text.trimmed());
  return false;
}

bool CupsServer::addPrinterQueue(const QString& name, const QStringList& lpadminArgs) {
  auto printer = std::make_shared<SocketPrinter>();
  if (!printer->listening()) {
    error_ = QStringLiteral("no loopback port for the printer of %1").arg(name);
    return false;
  }
  const QStringList args = QStringList{QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                                       QStringLiteral("socket://127.0.0.1:%1").arg(printer->port())} +
                           lpadminArgs;
  if (!run(QStringLiteral("lpadmin"), args)) return false;
  printers_[name] = printer;
  return true;
}

bool CupsServer::addQueue(const QString& name, const QString& media, bool makeDefault) {
  if (!addPrinterQueue(name, {QStringLiteral("-o"), QStringLiteral("media-default=%1").arg(media)})) return false;
  return !makeDefault || run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name});
}

bool CupsServer::addDriverQueue(const QString& name, const QString& model, const QStringList& lpadminOptions) {
  QString models;
  if (!run(QStringLiteral("lpinfo"), {QStringLiteral("-m")}, &models)) return false;
  if (!models.contains(model + u' ')) {
    error_ = QStringLiteral("the server has no driver %1").arg(model);
    return false;
  }
  return addPrinterQueue(name, QStringList{QStringLiteral("-m"), model} + lpadminOptions);
}

bool CupsServer::stopQueue(const QString& name, const QString& reason) {
  QStringList args;
  if (!reason.isEmpty()) args << QStringLiteral("-r") << reason;
  return run(QStringLiteral("cupsdisable"), args << name);
}

bool CupsServer::startQueue(const QString& name) { return run(QStringLiteral("cupsenable"), {name}); }

bool CupsServer::rejectJobs(const QString& name, const QString& reason) {
  QStringList args;
  if (!reason.isEmpty()) args << QStringLiteral("-r") << reason;
  return run(QStringLiteral("cupsreject"), args << name);
}

bool CupsServer::acceptJobs(const QString& name) { return run(QStringLiteral("cupsaccept"), {name}); }

QStringList CupsServer::jobs(const QString& queue, const QString& which) {
  QString out;
  if (!run(QStringLiteral("lpstat"), {QStringLiteral("-W"), which, QStringLiteral("-o"), queue}, &out)) return {};
  QStringList ids;
  for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts))
    if (line.startsWith(queue + u'-')) ids << line.section(u' ', 0, 0);
  return ids;
}

QList<QByteArray> CupsServer::received(const QString& queue) const {
  const auto it = printers_.find(queue);
  return it == printers_.end() ? QList<QByteArray>() : (*it)->jobs();
}

bool CupsServer::waitForJobs(const QString& queue, int count, int timeoutMs) {
  return QTest::qWaitFor([&] { return received(queue).size() >= count; }, timeoutMs);
}

QString CupsServer::logTail() const {
  QFile log(path(QStringLiteral("log/error_log")));
  QString text;
  if (log.open(QIODevice::ReadOnly)) text = QString::fromLocal8Bit(log.readAll().right(2000));
  QFile out(path(QStringLiteral("log/cupsd.out")));
  if (out.open(QIODevice::ReadOnly)) text += QString::fromLocal8Bit(out.readAll().right(1000));
  return text;
}

namespace {

QString popplerTool(const char* tool, const QByteArray& pdf, const QStringList& args) {
  const QString program = QStandardPaths::findExecutable(QLatin1String(tool));
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("job.pdf"));
  if (program.isEmpty() || !dir.isValid() || !writeFile(file, pdf)) return {};
  QProcess p;
  p.start(program, QStringList{file} + args);
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

QString pdfInfo(const QByteArray& pdf) { return popplerTool("pdfinfo", pdf, {}); }

QString pdfText(const QByteArray& pdf) { return popplerTool("pdftotext", pdf, {QStringLiteral("-")}); }

bool hasPopplerTools() {
  return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
         !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

namespace {
std::unique_ptr<CupsServer> sharedServer;
QString sharedSkipReason;
}  // namespace

void CupsServerEnvironment::SetUp() {
  sharedSkipReason = CupsServer::missingTools();
  if (!sharedSkipReason.isEmpty()) return;
  sharedServer = std::make_unique<CupsServer>();
  sharedServer->exportEnvironment();
  if (!sharedServer->start() ||
      !sharedServer->addQueue(QLatin1String(kQueue), QStringLiteral("A4"), true)) {
    // A server that is installed but cannot run is a failure, not a reason to skip.
    ADD_FAILURE() << "the private CUPS server: " << sharedServer->error().toStdString();
    sharedSkipReason = QStringLiteral("the private CUPS server did not start");
    sharedServer.reset();
  }
}

void CupsServerEnvironment::TearDown() { sharedServer.reset(); }

CupsServer* CupsServerEnvironment::server() { return sharedServer.get(); }

QString CupsServerEnvironment::skipReason() { return sharedSkipReason; }

void CupsServerTest::SetUp() {
  if (!CupsServerEnvironment::server()) GTEST_SKIP() << CupsServerEnvironment::skipReason().toStdString();
  ASSERT_TRUE(cups().start()) << cups().error().toStdString();
  ASSERT_TRUE(cups().startQueue(queue()) && cups().acceptJobs(queue())) << cups().error().toStdString();
  ASSERT_TRUE(tmp_.isValid());
  previousTmp_ = qgetenv("TMPDIR");
  qputenv("TMPDIR", QFile::encodeName(tmp_.path()));
  redirected_ = true;
}

void CupsServerTest::TearDown() {
  if (!redirected_) return;
  if (previousTmp_.isNull()) qunsetenv("TMPDIR");
  else qputenv("TMPDIR", previousTmp_);
}

QStringList CupsServerTest::leftovers() const {
  return QDir(tmp_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace zubira::testing
