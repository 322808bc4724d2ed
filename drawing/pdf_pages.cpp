#include "drawing/pdf_pages.h"

#include "drawing/page_model.h"
#include "drawing/page_renderer.h"
#include "drawing/printer_access.h"

#include <QDir>
#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zubira {

namespace {

// Qt's PDF engine does not report a write that failed: a document cut short by a full disk is
// known by its missing end, which is the last thing written.
bool endsAsAPdf(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly) || f.size() < 16) return false;
  if (!f.seek(std::max<qint64>(0, f.size() - 64))) return false;
  return f.readAll().trimmed().endsWith("%%EOF");
}

}  // namespace

PdfPages::PdfPages(QPrinter& printer, PageModel& model, PageRenderer& renderer)
    : printer_(printer), model_(model), renderer_(renderer), painter_(std::make_unique<QPainter>()) {}

PdfPages::~PdfPages() { abandon(); }

bool PdfPages::active() const { return painter_->isActive(); }

bool PdfPages::fail(Failure failure, const QString& reason) {
  failure_ = failure;
  reason_ = reason;
  return false;
}

void PdfPages::endPainting() {
  renderer_.setPrintPainter(nullptr);
  if (painter_->isActive()) painter_->end();
}

bool PdfPages::begin(const QString& file) {
  abandon();
  file_ = file;
  part_ = file + QStringLiteral(".part");
  pages_ = 0;
  failure_ = Failure::None;
  reason_.clear();
  {
    // The printer says only that it could not start; the file system says why.
    QFile probe(part_);
    if (!probe.open(QIODevice::WriteOnly)) {
      const QString why = probe.errorString();
      part_.clear();
      return fail(Failure::Open, why);
    }
  }
  printer_.setOutputFileName(part_);
  if (!painter_->begin(&printer_)) {
    QFile::remove(part_);
    part_.clear();
    return fail(Failure::Open);
  }
  renderer_.setPrintPainter(painter_.get());
  return true;
}

bool PdfPages::addPage() {
  if (!active()) return false;
  if (pages_ > 0 && !printer_.newPage()) return fail(Failure::NewPage);
  const int target = model_.nTgtCanvas();
  model_.setTgtCanvas(PageModel::kTargetPrinter);
  const bool drawn = renderer_.DrawGraphics();
  model_.setTgtCanvas(target);
  if (!drawn) return fail(Failure::Draw);
  ++pages_;
  return true;
}

bool PdfPages::finish() {
  if (!active()) return false;
  endPainting();
  const QString part = part_;
  part_.clear();
  // An empty name would turn the printer into the system's printer.
  printer_.setOutputFileName(file_);
  if (pages_ == 0) {
    QFile::remove(part);
    return fail(Failure::Empty);
  }
  if (!endsAsAPdf(part)) {
    QFile::remove(part);
    return fail(Failure::Write);
  }
  if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(file_).constData()) != 0) {
    const QString why = QString::fromLocal8Bit(std::strerror(errno));
    QFile::remove(part);
    return fail(Failure::Write, why);
  }
  return true;
}

void PdfPages::abandon() {
  endPainting();
  if (!part_.isEmpty()) {
    QFile::remove(part_);
    part_.clear();
    printer_.setOutputFileName(file_);
  }
}


QString pdfFileCaption() { return QStringLiteral("PDFに保存"); }
QString pdfFileFilter() { return QStringLiteral("PDF ファイル (*.pdf)"); }
QString pdfFileSuffix() { return QStringLiteral("pdf"); }

QString pdfSavedStatus(const QString& file) {
  return QStringLiteral("PDF ファイル「%1」に保存しました").arg(QDir::toNativeSeparators(file));
}

QString pdfFailureReason(const PdfPages& pages) {
  QString why;
  switch (pages.failure()) {
    case PdfPages::Failure::Open:
      why = QStringLiteral("ファイルを作れませんでした。フォルダに書き込めるか確かめて下さい。");
      break;
    case PdfPages::Failure::NewPage:
    case PdfPages::Failure::Draw:
      why = QStringLiteral("ページを描けませんでした。");
      break;
    case PdfPages::Failure::Write:
      why = QStringLiteral("最後まで書き込めませんでした。ディスクの空きを確かめて下さい。");
      break;
    case PdfPages::Failure::Empty:
      why = QStringLiteral("書き出すページがありません。");
      break;
    case PdfPages::Failure::None:
      break;
  }
  if (!pages.reason().isEmpty()) why += QStringLiteral("\r\n（%1）").arg(pages.reason());
  return why;
}

QString pdfNotWrittenMessage(const QString& file, WholeFileWriter::Fault fault, const QString& detail) {
  QString text = QStringLiteral("PDF ファイルに保存できませんでした。\r\n%1").arg(QDir::toNativeSeparators(file));
  switch (fault) {
    case WholeFileWriter::Fault::CannotCreate:
      return text + QStringLiteral("\r\nファイルを作れませんでした。フォルダに書き込めるか確かめて下さい。");
    case WholeFileWriter::Fault::CannotWrite:
      return text + QStringLiteral("\r\n最後まで書き込めませんでした。ディスクの空きを確かめて下さい。");
    case WholeFileWriter::Fault::None:
      break;
  }
  return detail.isEmpty() ? text : text + QStringLiteral("\r\n") + detail;
}

QString pdfNotWrittenMessage(const QString& file, const PdfPages& pages) {
  QString text = QStringLiteral("PDF ファイルに保存できませんでした。\r\n%1").arg(QDir::toNativeSeparators(file));
  const QString why = pdfFailureReason(pages);
  if (!why.isEmpty()) text += QStringLiteral("\r\n") + why;
  return text;
}

}  // namespace zubira
