#include "drawing/page_output.h"

#include "drawing/ink_canvas.h"
#include "drawing/printer_access.h"
#include "platform/jpeg_codec.h"
#include "platform/save_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace zubira {

std::optional<OutputFormat> outputFormatOf(const QString& file) {
  const QString suffix = QFileInfo(file).suffix().toLower();
  if (suffix == QLatin1String("pdf")) return OutputFormat::Pdf;
  if (suffix == QLatin1String("png")) return OutputFormat::Png;
  if (suffix == QLatin1String("bmp")) return OutputFormat::Bmp;
  if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return OutputFormat::Jpeg;
  return std::nullopt;
}

namespace {

// The files' page: A4 without margins, the whole sheet printable.
QPageLayout filePageLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                     QPageLayout::Millimeter);
}

}  // namespace

// The model reads the page of the PDF writers to come, which are made for each file: 4958 by
// 7017 pixels at 600 dpi, as Qt sizes A4 from its 595 by 842 points.
PageOutput::PageOutput(int printerDpi)
    : pdfDpi_(printerDpi),
      model_(std::make_unique<PageModel>(
          std::make_unique<FixedPrinterAccess>(QSize(printerDpi, printerDpi),
                                               filePageLayout().paintRectPixels(printerDpi).size()),
          96)),
      renderer_(*model_) {
  model_->setCanvases(nullptr, std::make_unique<InkCanvas>(printerDpi, printerDpi));
}

// The model reads the queue's metrics from a document of its own that is never drawn on; each
// job draws on a document of its own.
PageOutput::PageOutput(const CupsQueue& queue)
    : queue_(queue),
      model_(std::make_unique<PageModel>(std::make_unique<CupsDocument>(queue), 96)),
      renderer_(*model_) {
  model_->setCanvases(nullptr, std::make_unique<InkCanvas>(queue.resolution, queue.resolution));
}

PageOutput::~PageOutput() { cancelPdf(); }

bool PageOutput::ready() {
  if (!model_->ReadPrinterMetrics() || !model_->GetPageSize()) {
    error_ = QStringLiteral("the page could not be measured");
    return false;
  }
  return true;
}

bool PageOutput::saveImage(const QString& file, OutputFormat format, int quality) {
  model_->setTgtCanvas(PageModel::kTargetScreen);
  if (!renderer_.DrawGraphics()) {
    error_ = QStringLiteral("the page could not be drawn");
    return false;
  }
  const QImage& image = renderer_.Image1();
  const auto failed = [&](const QString& why) {
    error_ = QStringLiteral("cannot write \"%1\": %2").arg(file, why);
    return false;
  };
  if (format == OutputFormat::Jpeg) {
    const JpegResult r = writeJpegFile(image, file, quality);
    return r.ok || failed(r.error);
  }
  // Encoded into memory first, then the file is replaced whole.
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format == OutputFormat::Png ? "PNG" : "BMP"))
    return failed(QStringLiteral("the image could not be encoded"));
  QString why;
  return saveWholeFile(file, data, &why) || failed(why);
}

bool PageOutput::beginPages(QPagedPaintDevice* device) {
  if (!device || !painter_.begin(device)) return false;
  device_ = device;
  pages_ = 0;
  renderer_.setPrintPainter(&painter_);
  return true;
}

void PageOutput::endPainting() {
  renderer_.setPrintPainter(nullptr);
  device_ = nullptr;
  if (painter_.isActive()) painter_.end();
}

bool PageOutput::addPage(const Overlay& overlay) {
  if (!painter_.isActive() || !device_) return false;
  if (pages_ > 0 && !device_->newPage()) {
    error_ = QStringLiteral("cannot start page %1").arg(pages_ + 1);
    return false;
  }
  // The page's canvas is the ink canvas made above unless a caller put another in its place.
  auto* ink = dynamic_cast<InkCanvas*>(&model_->printerCanvas());
  if (ink) ink->clearInk();
  model_->setTgtCanvas(PageModel::kTargetPrinter);
  const bool drawn = renderer_.DrawGraphics();
  // The overlay measures and converts on the page, as the lists were drawn.
  if (drawn && overlay) {
    auto* painting = dynamic_cast<PainterCanvas*>(&model_->printerCanvas());
    if (painting) painting->attach(&painter_);
    overlay(model_->printerCanvas(), ink ? ink->ink() : std::vector<QRect>());
    if (painting) painting->detach();
  }
  model_->setTgtCanvas(PageModel::kTargetScreen);
  if (!drawn) {
    error_ = QStringLiteral("the page could not be printed");
    return false;
  }
  ++pages_;
  return true;
}

bool PageOutput::beginPdf(const QString& file) {
  if (queue_ || pdfFile_) return false;
  fileFault_ = WholeFileWriter::Fault::None;
  pdfName_ = file;
  pdfFile_ = std::make_unique<WholeFileWriter>(file);
  const auto failed = [&] {
    fileFault_ = pdfFile_->fault();
    const QString why = pdfFile_->errorText();
    error_ = why.isEmpty() ? QStringLiteral("cannot write \"%1\"").arg(file)
                           : QStringLiteral("cannot write \"%1\": %2").arg(file, why);
    cancelPdf();
    return false;
  };
  if (!pdfFile_->open()) return failed();
  pdf_ = std::make_unique<QPdfWriter>(pdfFile_.get());
  pdf_->setResolution(pdfDpi_);
  if (!pdf_->setPageLayout(filePageLayout()) || !beginPages(pdf_.get())) return failed();
  return true;
}

bool PageOutput::endPdf() {
  if (!pdfFile_ || !painter_.isActive()) return false;
  endPainting();
  const bool written = pages_ > 0 && pdfFile_->commit();
  if (!written) {
    fileFault_ = pdfFile_->fault();
    const QString why = pdfFile_->errorText();
    error_ = why.isEmpty() ? QStringLiteral("cannot write \"%1\"").arg(pdfName_)
                           : QStringLiteral("cannot write \"%1\": %2").arg(pdfName_, why);
  }
  cancelPdf();
  return written;
}

void PageOutput::cancelPdf() {
  endPainting();
  pdf_.reset();
  pdfFile_.reset();  // uncommitted, the file is dropped and the old one stays
}

bool PageOutput::beginJob() {
  if (!queue_) return false;
  job_ = std::make_unique<CupsDocument>(*queue_);
  if (!beginPages(job_->device())) {
    error_ = job_->error().isEmpty() ? QStringLiteral("cannot start a job on \"%1\"").arg(queue_->name)
                                     : job_->error();
    job_.reset();
    return false;
  }
  return true;
}

std::optional<int> PageOutput::submitJob(const QString& title, int copies) {
  if (!job_ || !painter_.isActive()) return std::nullopt;
  renderer_.setPrintPainter(nullptr);
  device_ = nullptr;
  const bool ended = painter_.end();
  std::unique_ptr<CupsDocument> job = std::move(job_);
  if (!ended || pages_ == 0) {
    error_ = QStringLiteral("the pages for \"%1\" could not be drawn").arg(queue_->name);
    return std::nullopt;  // the document's file goes with it, never sent
  }
  QString why;
  const std::optional<int> id = job->submit(title, copies, &why);
  if (!id) error_ = why;
  return id;
}

}  // namespace zubira
