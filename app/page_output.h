#pragma once
// A page model and its renderer set up for the command line, on one of two pages: Qt's PDF
// printer (A4, whole page printable, at a chosen resolution) for files, written as a PDF through
// the printer path or as a PNG, BMP or JPEG image of the 1:1 page at 96 dpi; or a CUPS queue's
// own page and resolution, for print jobs of one or more pages each.
//
// Nothing is drawn that is not output: composing asks for no redraw, the 1:1 page image is
// made only for an image file, and the model, the renderer and the printer serve every page of
// the run.

#include "drawing/cups_printer.h"
#include "drawing/page_model.h"
#include "drawing/page_renderer.h"
#include "drawing/pdf_pages.h"

#include <QPainter>
#include <QString>
#include <memory>
#include <optional>

class QPagedPaintDevice;
class QPrinter;

namespace zubira {

enum class OutputFormat { Pdf, Png, Bmp, Jpeg };

// By the file's extension (either case): .pdf, .png, .bmp, .jpg or .jpeg.
std::optional<OutputFormat> outputFormatOf(const QString& file);

class PageOutput {
 public:
  // Files: Qt's PDF printer on A4 at `printerDpi`.
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
  // only when every page was written.
  bool beginPdf(const QString& file);
  bool endPdf();

  // A print job of one or more pages on the queue: beginJob, one addPage per page, submitJob,
  // which sends it as one job and gives its id; nothing is sent unless every page was drawn.
  bool beginJob();
  std::optional<int> submitJob(const QString& title, int copies);

  // Draws the program's lists as the next page of the PDF or the job.
  bool addPage();

 private:
  bool beginPages(QPagedPaintDevice* device);
  void endPainting();

  std::optional<CupsQueue> queue_;
  QPrinter* printer_ = nullptr;  // the PDF printer, owned by the model's printer access
  std::unique_ptr<PageModel> model_;
  PageRenderer renderer_;
  QPainter painter_;
  QPagedPaintDevice* device_ = nullptr;  // the PDF printer or the job's document, while pages are added
  std::unique_ptr<CupsDocument> job_;
  std::unique_ptr<PdfPages> pdf_;  // files only
  int pages_ = 0;
  QString error_;
};

}  // namespace zubira
