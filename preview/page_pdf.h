#pragma once
// "PDFに保存(&V)...": the page the preview shows written as an A4 PDF, its texts and lines as
// vectors as the command line's PDFs have them, whole or not at all.

#include <QString>

namespace zubira {

class PageModel;
class SheetPages;

// Writes the lists, pictures and page strings of `shown` as A4 pages of `file`, one for each page
// of `pages` (which composes each into `shown` in turn). False, with the message to show in
// `error`, when the file could not be written; nothing is then left.
bool savePagePdf(const PageModel& shown, SheetPages& pages, const QString& file, QString* error);

}  // namespace zubira
