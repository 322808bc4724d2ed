#include "drawing/printer_access.h"

#include "drawing/cups_printer.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

namespace zubira {

PrinterAccess::~PrinterAccess() = default;

std::unique_ptr<QPrinter> makeDefaultPrinter(int pdfResolution) {
  QString noPrinter;
  if (auto printer = makeCupsPrinter(QString(), &noPrinter)) return printer;
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setResolution(pdfResolution);
  printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
  return printer;
}

QtPrinterAccess::QtPrinterAccess() : printer_(makeDefaultPrinter()) {}

QtPrinterAccess::QtPrinterAccess(std::unique_ptr<QPrinter> printer)
    : printer_(printer ? std::move(printer) : makeDefaultPrinter()) {}

QtPrinterAccess::~QtPrinterAccess() = default;

std::optional<QSize> QtPrinterAccess::resolution() {
  if (!printer_ || !printer_->isValid()) return std::nullopt;
  const int x = printer_->logicalDpiX(), y = printer_->logicalDpiY();
  if (x <= 0 || y <= 0) return std::nullopt;
  return QSize(x, y);
}

std::optional<QSize> QtPrinterAccess::printableSize() {
  if (!printer_ || !printer_->isValid()) return std::nullopt;
  // The paint device's own size is the printable area that a painter on it gets.
  const int w = printer_->width(), h = printer_->height();
  if (w <= 0 || h <= 0) return std::nullopt;
  return QSize(w, h);
}

std::optional<QSize> FixedPrinterAccess::resolution() {
  if (!queryable_ || resolution_.width() <= 0 || resolution_.height() <= 0) return std::nullopt;
  return resolution_;
}

std::optional<QSize> FixedPrinterAccess::printableSize() {
  if (!queryable_ || size_.width() < 0 || size_.height() < 0) return std::nullopt;
  return size_;
}

}  // namespace zubira
