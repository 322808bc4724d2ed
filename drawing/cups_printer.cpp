#include "drawing/cups_printer.h"

#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <cups/cups.h>
#include <cups/pwg.h>

namespace zubira {

namespace {

// How long a server may take to accept the connection, and to answer each request.
constexpr int kConnectMs = 5000;
constexpr double kAnswerSeconds = 5.0;
// Where Qt's CUPS engine keeps the job options its print dialog chose (pages per sheet, banners,
// priority, ...), as name, value, name, value.
const auto kQtCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

QString serverName() {
  const QString host = QString::fromLocal8Bit(cupsServer());
  if (host.startsWith(u'/')) return host;  // a local socket
  return QStringLiteral("%1:%2").arg(host).arg(ippPort());
}

QString noAnswer() { return QStringLiteral("no print server answers at \"%1\"").arg(serverName()); }

QString cupsReason() { return QString::fromUtf8(cupsLastErrorString()); }

// Ends a wait for the server when its time is up.
int giveUp(http_t*, void*) { return 0; }

// A connection to the server that waits a few seconds at most to be accepted and for each answer.
class Connection {
 public:
  Connection()
      : http_(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                           kConnectMs, nullptr)) {
    if (http_) httpSetTimeout(http_, kAnswerSeconds, giveUp, nullptr);
  }
  ~Connection() {
    if (http_) httpClose(http_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  http_t* get() const { return http_; }
  // The last exchange failed on the connection (no answer in time, or the server went away)
  // rather than by the server's reply.
  bool broken() const { return !http_ || httpError(http_) != 0; }
  // What went wrong on a connection that got no answer.
  QString failure() const {
    const int e = http_ ? httpError(http_) : 0;
    if (e != 0 && e != ETIMEDOUT) return QString::fromLocal8Bit(std::strerror(e));
    return QStringLiteral("no answer within %1 seconds").arg(kAnswerSeconds);
  }

 private:
  http_t* http_;
};

struct FreeDest {
  void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, FreeDest>;

QString destName(const cups_dest_t& dest) {
  QString name = QString::fromUtf8(dest.name);
  if (dest.instance && *dest.instance) name += u'/' + QString::fromUtf8(dest.instance);
  return name;
}

QString destOption(const cups_dest_t& dest, const char* option) {
  return QString::fromUtf8(cupsGetOption(option, dest.num_options, dest.options));
}

// Whether the server answers a request at all. libcups' lookup of a queue, when its request
// fails, tries again on a connection of its own that waits a minute: so ask once first.
bool answers(const Connection& server) {
  if (!server.get()) return false;
  ipp_t* response = cupsDoRequest(server.get(), ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
  ippDelete(response);
  return response != nullptr;
}

// The queue `name` ("queue/instance" allowed), or the default destination when empty.
Dest findDest(const Connection& server, const QString& name, QString* error) {
  if (!answers(server)) {
    *error = server.get() ? QStringLiteral("%1 (%2)").arg(noAnswer(), server.failure()) : noAnswer();
    return {};
  }
  const QByteArray queue = name.section(u'/', 0, 0).toUtf8();
  const QByteArray instance = name.section(u'/', 1).toUtf8();
  Dest dest(cupsGetNamedDest(server.get(), queue.isEmpty() ? nullptr : queue.constData(),
                             instance.isEmpty() ? nullptr : instance.constData()));
  if (dest) return dest;
  if (server.broken())
    *error = QStringLiteral("%1 (%2)").arg(noAnswer(), server.failure());
  else if (name.isEmpty())
    *error = QStringLiteral("no default printer");
  else
    *error = QStringLiteral("no printer \"%1\"").arg(name);
  return {};
}

// The queue's default paper: its "media" default read as a PWG, legacy or PPD name.
QPageSize defaultPaper(const cups_dest_t& dest) {
  const QByteArray media = destOption(dest, "media").section(u',', 0, 0).toUtf8();
  if (media.isEmpty()) return {};
  const pwg_media_t* pwg = pwgMediaForPWG(media.constData());
  if (!pwg) pwg = pwgMediaForLegacy(media.constData());
  if (!pwg) pwg = pwgMediaForPPD(media.constData());
  if (!pwg || pwg->width <= 0 || pwg->length <= 0) return {};
  return QPageSize(QSizeF(pwg->width / 100.0, pwg->length / 100.0), QPageSize::Millimeter,
                   QString(), QPageSize::FuzzyMatch);
}

// The queue's default resolution in dots per inch; 0 when it names none (a raw queue).
int defaultResolution(const Connection& server, cups_dest_t* dest) {
  cups_dinfo_t* info = cupsCopyDestInfo(server.get(), dest);
  if (!info) return 0;
  int dpi = 0;
  if (ipp_attribute_t* a = cupsFindDestDefault(server.get(), dest, info, "printer-resolution")) {
    int y = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    const int x = ippGetResolution(a, 0, &y, &units);
    dpi = units == IPP_RES_PER_CM ? int(std::lround(x * 2.54)) : x;
  }
  cupsFreeDestInfo(info);
  return dpi;
}

// Why the queue is stopped or rejects jobs, as its operator or the printer said.
QString stateMessage(const Connection& server, const cups_dest_t& dest) {
  const QByteArray uri = destOption(dest, "printer-uri-supported").toUtf8();
  if (uri.isEmpty()) return {};
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
               "printer-state-message");
  QString text;
  if (ipp_t* response = cupsDoRequest(server.get(), request, "/")) {
    if (ipp_attribute_t* a = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT))
      text = QString::fromUtf8(ippGetString(a, 0, nullptr)).trimmed();
    ippDelete(response);
  }
  return text;
}

QString withReason(const QString& text, const QString& reason) {
  return reason.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, reason);
}

// Why the queue cannot take a job now; empty when it can.
QString refusal(const Connection& server, const cups_dest_t& dest) {
  const QString name = destName(dest);
  if (destOption(dest, "printer-state").toInt() == IPP_PSTATE_STOPPED)
    return withReason(QStringLiteral("printer \"%1\" is stopped").arg(name), stateMessage(server, dest));
  const QString accepting = destOption(dest, "printer-is-accepting-jobs");
  if (accepting == QLatin1String("false") || accepting == QLatin1String("0"))
    return withReason(QStringLiteral("printer \"%1\" is not accepting jobs").arg(name),
                      stateMessage(server, dest));
  return {};
}

// A complete PDF ends with its end-of-file marker.
bool endsLikePdf(QFile& file) {
  const qint64 size = file.size();
  if (size <= 0 || !file.seek(std::max<qint64>(0, size - 1024))) return false;
  return file.read(1024).contains("%%EOF");
}

}  // namespace

std::unique_ptr<QPrinter> makeCupsPrinter(const QString& name, QString* error) {
  const Connection server;
  const Dest dest = findDest(server, name, error);
  if (!dest) return {};
  const QString queue = destName(*dest);
  const QPrinterInfo info = QPrinterInfo::printerInfo(queue);
  std::unique_ptr<QPrinter> printer;
  if (!info.isNull()) printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  if (!printer || printer->outputFormat() != QPrinter::NativeFormat || !printer->isValid()) {
    *error = QStringLiteral("printer \"%1\" cannot be used").arg(queue);
    return {};
  }
  // Qt starts every printer on its own default paper and resolution, not the queue's.
  QPageSize paper = defaultPaper(*dest);
  if (!paper.isValid()) paper = info.defaultPageSize();
  if (paper.isValid()) printer->setPageSize(paper);
  if (const int dpi = defaultResolution(server, dest.get()); dpi > 0) printer->setResolution(dpi);
  return printer;
}

CupsQueue cupsQueueOf(const QPrinter& printer) {
  CupsQueue q;
  q.name = printer.printerName();
  q.layout = printer.pageLayout();
  q.layout.setMode(printer.fullPage() ? QPageLayout::FullPageMode : QPageLayout::StandardMode);
  q.resolution = printer.resolution();
  const bool portrait = q.layout.orientation() == QPageLayout::Portrait;
  QByteArray sides = "one-sided";
  switch (printer.duplex()) {
    case QPrinter::DuplexNone: break;
    case QPrinter::DuplexAuto: sides = portrait ? "two-sided-long-edge" : "two-sided-short-edge"; break;
    case QPrinter::DuplexLongSide: sides = "two-sided-long-edge"; break;
    case QPrinter::DuplexShortSide: sides = "two-sided-short-edge"; break;
  }
  q.options.emplaceBack("sides", sides);
  if (printer.collateCopies()) q.options.emplaceBack("Collate", "True");
  if (const QPrintEngine* engine = printer.printEngine()) {
    const QStringList dialog = engine->property(kQtCupsOptions).toStringList();
    for (int i = 0; i + 1 < dialog.size(); i += 2)
      q.options.emplaceBack(dialog[i].toUtf8(), dialog[i + 1].toUtf8());
  }
  return q;
}

std::optional<CupsQueue> findCupsQueue(const QString& name, QString* error) {
  const std::unique_ptr<QPrinter> printer = makeCupsPrinter(name, error);
  if (!printer) return std::nullopt;
  CupsQueue q = cupsQueueOf(*printer);
  q.options.clear();  // the queue's own defaults apply
  return q;
}

CupsDocument::CupsDocument(CupsQueue queue)
    : queue_(std::move(queue)),
      file_(QDir(QDir::tempPath()).filePath(QStringLiteral("zubira-print-XXXXXX.pdf"))) {
  if (queue_.resolution <= 0 || !queue_.layout.isValid()) {
    error_ = QStringLiteral("the page of printer \"%1\" is not known").arg(queue_.name);
    return;
  }
  if (!file_.open()) {
    error_ = QStringLiteral("cannot make a temporary file in \"%1\": %2")
                 .arg(QDir::toNativeSeparators(QDir::tempPath()), file_.errorString());
    return;
  }
  writer_ = std::make_unique<QPdfWriter>(&file_);
  writer_->setCreator(QGuiApplication::applicationDisplayName());
  writer_->setResolution(queue_.resolution);
  if (!writer_->setPageLayout(queue_.layout)) {
    error_ = QStringLiteral("the page of printer \"%1\" cannot be drawn").arg(queue_.name);
    writer_.reset();
  }
}

CupsDocument::~CupsDocument() = default;

std::optional<QSize> CupsDocument::resolution() {
  if (!writer_) return std::nullopt;
  return QSize(writer_->logicalDpiX(), writer_->logicalDpiY());
}

std::optional<QSize> CupsDocument::printableSize() {
  if (!writer_) return std::nullopt;
  return QSize(writer_->width(), writer_->height());
}

QPagedPaintDevice* CupsDocument::device() { return writer_.get(); }

std::optional<int> CupsDocument::submit(const QString& title, int copies, QString* error) {
  const auto fail = [&](const QString& why) -> std::optional<int> {
    *error = why;
    if (file_.isOpen()) file_.remove();
    return std::nullopt;
  };
  if (submitted_) return fail(QStringLiteral("the document was already sent"));
  if (writer_ && writer_->paintingActive()) {
    *error = QStringLiteral("the document is not finished");
    return std::nullopt;
  }
  submitted_ = true;
  if (!writer_) return fail(error_);
  if (copies < 1 || copies > 99) return fail(QStringLiteral("copies must be 1 to 99, not %1").arg(copies));
  if (!file_.flush() || file_.error() != QFileDevice::NoError)
    return fail(QStringLiteral("the document could not be written: %1").arg(file_.errorString()));
  if (file_.size() == 0) return fail(QStringLiteral("the document has no page"));
  if (!endsLikePdf(file_)) return fail(QStringLiteral("the document is incomplete"));

  const Connection server;
  QString why;
  const Dest dest = findDest(server, queue_.name, &why);
  if (!dest) return fail(why);
  if (why = refusal(server, *dest); !why.isEmpty()) return fail(why);

  QList<QPair<QByteArray, QByteArray>> options = queue_.options;
  options.emplaceBack("copies", QByteArray::number(copies));
  options.emplaceBack("media", queue_.layout.pageSize().key().toUtf8());
  if (queue_.layout.orientation() == QPageLayout::Landscape) options.emplaceBack("landscape", "");
  int count = 0;
  cups_option_t* list = nullptr;
  for (const auto& [name, value] : options)
    count = cupsAddOption(name.constData(), value.constData(), count, &list);
  const int job = cupsPrintFile2(server.get(), dest->name, QFile::encodeName(file_.fileName()).constData(),
                                 title.toUtf8().constData(), count, list);
  cupsFreeOptions(count, list);
  if (job <= 0) {
    if (server.broken()) return fail(QStringLiteral("%1 (%2)").arg(noAnswer(), server.failure()));
    return fail(withReason(QStringLiteral("printer \"%1\" refused the job").arg(destName(*dest)), cupsReason()));
  }
  file_.remove();
  return job;
}

}  // namespace zubira
