#pragma once
// Printing on a CUPS print queue, for the preview window and the command line alike.
//
// A queue is found by name or as the default destination, with its page (the queue's default
// paper, Qt's margins for it) and its resolution. The pages are drawn on a CupsDocument: a PDF
// in a temporary file with exactly that page layout and resolution, so the metrics the page
// model reads are the printer's. Once complete it goes to the queue as ONE job, and the job id
// or the server's reason for refusing it comes back: nothing the server did not accept is
// reported as printed. Every exchange with the server gives up after a few seconds when the
// server does not answer. The server is the one libcups names (CUPS_SERVER, client.conf).
//
//   std::optional<CupsQueue> queue = findCupsQueue(QString(), &error);  // the default printer
//   CupsDocument doc(*queue);  QPainter p(doc.device());  /* draw; doc.device()->newPage() */  p.end();
//   std::optional<int> job = doc.submit(QStringLiteral("Worksheet"), copies, &error);
//
// CupsDocument is a PrinterAccess, so a PageModel can own it and read its metrics (keep a
// pointer to reach device() and submit()). Texts of errors are in English and name the queue:
// `no printer "X"`, `printer "X" is stopped (reason)`, `no print server answers at "..."`.

#include "drawing/printer_access.h"

#include <QByteArray>
#include <QList>
#include <QPageLayout>
#include <QPair>
#include <QString>
#include <QTemporaryFile>
#include <memory>
#include <optional>

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;

namespace zubira {

struct CupsQueue {
  QString name;        // the queue, "name" or "name/instance"
  QPageLayout layout;  // paper, orientation, margins; FullPageMode when drawing on the whole sheet
  int resolution = 0;  // dots per inch
  // Options of the job besides copies, paper and orientation (two-sided printing, collation and
  // what Qt's print dialog set), as name and value.
  QList<QPair<QByteArray, QByteArray>> options;
};

// The queue `name`, or the default destination when `name` is empty; nothing, with the reason
// in `error`, when no server answers, there is no default printer or no such queue.
std::optional<CupsQueue> findCupsQueue(const QString& name, QString* error);

// A Qt printer on the queue `name` (the default destination when empty) with the queue's default
// paper and resolution; nothing, with the reason in `error`, as findCupsQueue.
std::unique_ptr<QPrinter> makeCupsPrinter(const QString& name, QString* error);

// The queue a Qt printer on CUPS prints to, with the page layout, resolution and job options it
// holds now (after Qt's print dialog, say).
CupsQueue cupsQueueOf(const QPrinter& printer);

class CupsDocument : public PrinterAccess {
 public:
  explicit CupsDocument(CupsQueue queue);
  ~CupsDocument() override;
  CupsDocument(const CupsDocument&) = delete;
  CupsDocument& operator=(const CupsDocument&) = delete;

  const CupsQueue& queue() const { return queue_; }
  std::optional<QSize> resolution() override;
  std::optional<QSize> printableSize() override;

  // Where the pages are drawn: begin a QPainter on it, newPage() between pages, end the painter
  // before submit(). Null when the temporary file could not be made (error() says why).
  QPagedPaintDevice* device();
  QString error() const { return error_; }

  // Sends the finished document as one job titled `title` with `copies` (1 to 99) and removes
  // the temporary file, whatever the outcome; the job id, or nothing with the reason in
  // `error`. A stopped queue or one that rejects jobs gets no job. Once only; a document still
  // being drawn on is refused and kept.
  std::optional<int> submit(const QString& title, int copies, QString* error);

 private:
  CupsQueue queue_;
  QTemporaryFile file_;
  std::unique_ptr<QPdfWriter> writer_;
  QString error_;
  bool submitted_ = false;
};

}  // namespace zubira
