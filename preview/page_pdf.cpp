#include "preview/page_pdf.h"

#include "drawing/page_model.h"
#include "drawing/pdf_pages.h"

#include <QDir>

namespace zubira {

bool savePagePdf(const PageModel& shown, const QString& file, QString* error) {
  A4PdfOutput out;
  if (!out.ready()) {
    *error = QStringLiteral("PDF ファイルに保存できませんでした。\r\n%1\r\nA4 の用紙を用意できませんでした。")
                 .arg(QDir::toNativeSeparators(file));
    return false;
  }
  out.model().copyPageFrom(shown);
  PdfPages& pages = out.pages();
  if (pages.begin(file) && pages.addPage() && pages.finish()) return true;
  *error = pdfNotWrittenMessage(file, pages);
  pages.abandon();
  return false;
}

}  // namespace zubira
