#pragma once
// A page model and its renderer set up for output without a window, on one of two pages: an A4
// page (whole page printable, at a chosen resolution) for files, written as a PDF through the
// printer path or as a PNG, BMP or JPEG image of the 1:1 page at 96 dpi; or a CUPS queue's own
// page and resolution, for print jobs of one or more pages each. The command line and the class
// sets of the main window write through it.
//
// Nothing is drawn that is not output: composing asks for no redraw, the 1:1 page image is
// made only for an image file, and the model, the renderer and the page serve every page of
// the run.

#include "drawing/cups_printer.h"
#include "drawing/page_model.h"
#include "drawing/page_renderer.h"
#include "platform/save_file.h"

#include <QPainter>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPagedPaintDevice;
class QPdfWriter;

namespace zubira {

enum class OutputFormat { Pdf, Png, Bmp, Jpeg };

// By the file's extension (either case): .pdf, .png, .bmp, .jpg or .jpeg.
std::optional<OutputFormat> outputFormatOf(const QString& file);

class PageOutput {
 public:
  // Files: an A4 page at `printerDpi`.
  explicit PageOutput(int printerDpi);
  // Print jobs on `queue`.
  explicit PageOutput(const CupsQueue& queue);
  ~PageOutput();

  PageModel& model() { return *model_; }
  PageRenderer& renderer() { return renderer_; }
  // False, with error(), when the page could not be measured.
  bool ready();
  QString error() const { return error_; }

  // Renders the page for the screen and writes the 1:1 image; the file is replaced whole or not
  // at all.
  bool saveImage(const QString& file, OutputFormat format, int quality);

  // A PDF file of one or more pages: beginPdf, one addPage per page, endPdf. The file appears
  // (or replaces the old one) only when every page was written; cancelPdf drops what was
  // written and keeps the old file.
  bool beginPdf(const QString& file);
  bool endPdf();
  void cancelPdf();
  // Why the last PDF could not be written: made (no folder, no permission) or finished (full
  // disk); None for other failures.
  WholeFileWriter::Fault fileFault() const { return fileFault_; }

  // A print job of one or more pages on the queue: beginJob, one addPage per page, submitJob,
  // which sends it as one job and gives its id; nothing is sent unless every page was drawn.
  bool beginJob();
  std::optional<int> submitJob(const QString& title, int copies);

  // What is drawn on a page after its lists, on the page's canvas, knowing the boxes of
  // everything already there (device pixels); the model's target is the page meanwhile.
  using Overlay = std::function<void(Canvas& canvas, const std::vector<QRect>& ink)>;

  // Draws the program's lists as the next page of the PDF or the job, then `overlay` if given.
  bool addPage(const Overlay& overlay = {});

 private:
  bool beginPages(QPagedPaintDevice* device);
  void endPainting();

  std::optional<CupsQueue> queue_;
  int pdfDpi_ = 0;
  std::unique_ptr<PageModel> model_;
  PageRenderer renderer_;
  QPainter painter_;
  QPagedPaintDevice* device_ = nullptr;  // the PDF writer or the job's document, while pages are added
  std::unique_ptr<CupsDocument> job_;
  std::unique_ptr<WholeFileWriter> pdfFile_;
  std::unique_ptr<QPdfWriter> pdf_;
  QString pdfName_;
  WholeFileWriter::Fault fileFault_ = WholeFileWriter::Fault::None;
  int pages_ = 0;
  QString error_;
};

}  // namespace zubira
