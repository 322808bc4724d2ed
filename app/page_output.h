#pragma once
// A page model and its renderer set up for the command line: the page of Qt's PDF printer (A4,
// whole page printable, at a chosen resolution) and a 96 dpi screen, writing what is rendered
// as a PDF through the printer path, or as a PNG, BMP or JPEG image of the 1:1 page.

#include "drawing/page_model.h"
#include "drawing/page_renderer.h"

#include <QPainter>
#include <QString>
#include <memory>
#include <optional>

class QPrinter;

namespace zubira {

enum class OutputFormat { Pdf, Png, Bmp, Jpeg };

// By the file's extension (either case): .pdf, .png, .bmp, .jpg or .jpeg.
std::optional<OutputFormat> outputFormatOf(const QString& file);

class PageOutput {
 public:
  explicit PageOutput(int printerDpi);
  ~PageOutput();

  PageModel& model() { return *model_; }
  PageRenderer& renderer() { return renderer_; }
  // False, with error(), when the page could not be measured.
  bool ready();
  QString error() const { return error_; }

  // Renders the page for the screen and writes the 1:1 image; the file is replaced whole or not
  // at all.
  bool saveImage(const QString& file, OutputFormat format, int quality);

  // A PDF of one or more pages: begin, one addPdfPage per page, end. The file appears only when
  // every page was written.
  bool beginPdf(const QString& file);
  bool addPdfPage();
  bool endPdf();

 private:
  QPrinter* printer_;  // owned by the model's printer access
  std::unique_ptr<PageModel> model_;
  PageRenderer renderer_;
  QPainter painter_;
  QString pdfFile_;
  QString pdfTemp_;
  int pages_ = 0;
  QString error_;
};

}  // namespace zubira
