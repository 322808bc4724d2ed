#pragma once
// "PDFに保存(&V)...": the page the preview shows written as an A4 PDF, its texts and lines as
// vectors as the command line's PDFs have them, whole or not at all.

#include <QString>

namespace zubira {

class PageModel;

// Writes the lists, pictures and page strings of `shown` as one A4 page of `file`. False, with
// the message to show in `error`, when the file could not be written; nothing is then left.
bool savePagePdf(const PageModel& shown, const QString& file, QString* error);

}  // namespace zubira
