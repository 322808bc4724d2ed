#include "preview/page_pdf.h"

#include "drawing/page_output.h"
#include "drawing/pdf_pages.h"
#include "preview/sheet_pages.h"

namespace zubira {

bool savePagePdf(const PageModel& shown, SheetPages& pages, const QString& file, QString* error) {
  PageOutput out(600);
  if (!out.ready()) {
    *error = pdfNotWrittenMessage(file, WholeFileWriter::Fault::None, out.error());
    return false;
  }
  const bool written = out.beginPdf(file) && pages.forEach([&](int) {
    out.model().copyPageFrom(shown);
    return out.addPage();
  }) && out.endPdf();
  if (written) return true;
  *error = pdfNotWrittenMessage(file, out.fileFault(), out.error());
  out.cancelPdf();
  return false;
}

}  // namespace zubira
