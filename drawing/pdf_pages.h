#pragma once
// Whole pages of a page model as a PDF file through the printer the model measures (Qt's PDF
// printer): the lists drawn by the renderer, text and lines as vectors, one page after another. The file is written beside its
// name and renamed over it only once every page and the end of the document are in it, so an
// unwritable folder, a full disk or a file given up half way never leaves part of a PDF under
// the name, and a file of that name that was there stays as it was.

#include "platform/save_file.h"

#include <QString>
#include <memory>

class QPainter;
class QPrinter;

namespace zubira {

class PageModel;
class PageRenderer;

class PdfPages {
 public:
  enum class Failure {
    None,
    Open,     // the file could not be created
    NewPage,  // a page after the first could not be started
    Draw,     // the renderer drew nothing
    Write,    // the document could not be written whole (a full disk) or put in place
    Empty,    // finished without a page
  };

  // `printer` is the PDF printer the model measures (its own); `renderer` draws `model`.
  PdfPages(QPrinter& printer, PageModel& model, PageRenderer& renderer);
  ~PdfPages();  // an unfinished file is given up
  PdfPages(const PdfPages&) = delete;
  PdfPages& operator=(const PdfPages&) = delete;

  // Starts the file `file`; false (and nothing on disk) when it cannot be created.
  bool begin(const QString& file);
  // Draws the model's lists as the next page.
  bool addPage();
  // Ends the document and puts it in place; false (and nothing on disk) when it failed.
  bool finish();
  // Ends the document and removes what was written.
  void abandon();

  bool active() const;
  int pages() const { return pages_; }
  const QString& file() const { return file_; }
  Failure failure() const { return failure_; }
  // The system's reason for the last failure, when it gave one.
  const QString& reason() const { return reason_; }

 private:
  bool fail(Failure failure, const QString& reason = QString());
  void endPainting();

  QPrinter& printer_;
  PageModel& model_;
  PageRenderer& renderer_;
  std::unique_ptr<QPainter> painter_;
  QString file_;
  QString part_;
  int pages_ = 0;
  Failure failure_ = Failure::None;
  QString reason_;
};

// The save dialog of the windows' "PDFに保存": caption, filter (Qt's form), default extension.
QString pdfFileCaption();
QString pdfFileFilter();
QString pdfFileSuffix();
// What a status bar says once the file is written.
QString pdfSavedStatus(const QString& file);

// Why the last PDF of `pages` was not written, in the window's language, with the system's
// reason when it gave one.
QString pdfFailureReason(const PdfPages& pages);
// The message for a PDF that was not written: the file and why.
QString pdfNotWrittenMessage(const QString& file, const PdfPages& pages);
// The same for a PDF of a page output: why, from the file's fault, else `detail`.
QString pdfNotWrittenMessage(const QString& file, WholeFileWriter::Fault fault, const QString& detail);

}  // namespace zubira
