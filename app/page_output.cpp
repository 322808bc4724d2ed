#include "app/page_output.h"

#include "drawing/printer_access.h"
#include "platform/jpeg_codec.h"
#include "platform/save_file.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>


namespace zubira {

std::optional<OutputFormat> outputFormatOf(const QString& file) {
  const QString suffix = QFileInfo(file).suffix().toLower();
  if (suffix == QLatin1String("pdf")) return OutputFormat::Pdf;
  if (suffix == QLatin1String("png")) return OutputFormat::Png;
  if (suffix == QLatin1String("bmp")) return OutputFormat::Bmp;
  if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return OutputFormat::Jpeg;
  return std::nullopt;
}

PageOutput::PageOutput(int printerDpi)
    : model_([&] {
        auto printer = makeA4PdfPrinter(printerDpi);
        printer_ = printer.get();
        return std::make_unique<PageModel>(std::make_unique<QtPrinterAccess>(std::move(printer)), 96);
      }()),
      renderer_(*model_),
      pdf_(std::make_unique<PdfPages>(*printer_, *model_, renderer_)) {}

// The model reads the queue's metrics from a document of its own that is never drawn on; each
// job draws on a document of its own.
PageOutput::PageOutput(const CupsQueue& queue)
    : queue_(queue),
      model_(std::make_unique<PageModel>(std::make_unique<CupsDocument>(queue), 96)),
      renderer_(*model_) {}

PageOutput::~PageOutput() {
  pdf_.reset();
  endPainting();
}

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

bool PageOutput::addPage() {
  if (pdf_ && pdf_->active()) {
    if (pdf_->addPage()) return true;
    error_ = pdf_->failure() == PdfPages::Failure::NewPage
                 ? QStringLiteral("cannot start page %1").arg(pdf_->pages() + 1)
                 : QStringLiteral("the page could not be printed");
    return false;
  }
  if (!painter_.isActive() || !device_) return false;
  if (pages_ > 0 && !device_->newPage()) {
    error_ = QStringLiteral("cannot start page %1").arg(pages_ + 1);
    return false;
  }
  model_->setTgtCanvas(PageModel::kTargetPrinter);
  const bool drawn = renderer_.DrawGraphics();
  model_->setTgtCanvas(PageModel::kTargetScreen);
  if (!drawn) {
    error_ = QStringLiteral("the page could not be printed");
    return false;
  }
  ++pages_;
  return true;
}

bool PageOutput::beginPdf(const QString& file) {
  if (!pdf_) return false;
  if (!pdf_->begin(file)) {
    error_ = QStringLiteral("cannot write \"%1\"").arg(file);
    return false;
  }
  return true;
}

bool PageOutput::endPdf() {
  if (!pdf_ || !pdf_->active()) return false;
  if (!pdf_->finish()) {
    error_ = QStringLiteral("cannot write \"%1\"").arg(pdf_->file());
    return false;
  }
  return true;
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
