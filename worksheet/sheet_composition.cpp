#include "worksheet/sheet_composition.h"

#include "drawing/page_model.h"
#include "drawing/pdf_pages.h"
#include "worksheet/typesetter.h"

#include <QDir>

namespace zubira {

bool hasProblems(const SheetSource& source) { return !memoLines(source.memos.Memo1).isEmpty(); }

bool composeSheet(PageModel& page, Typesetter& typesetter, const SheetSource& source, int sheetKind,
                  const std::function<void()>& refresh) {
  if (!hasProblems(source)) {
    if (!page.ListbyProgram().isEmpty()) {
      page.ClearProgramList();
      if (refresh) refresh();
    }
    return false;
  }
  WorksheetComposer composer(page, typesetter, *source.settings, *source.gen, *source.dateTime);
  if (refresh) composer.setRefresh(refresh);
  return composer.ComposeWorksheet(sheetKind, source.memos, source.kind, source.kigou);
}

bool writeSheetsPdf(const PageModel& shown, const SheetSource& source, const QString& file,
                    QString* error) {
  A4PdfOutput out;
  if (!out.ready()) {
    *error = QStringLiteral("PDF ファイルに保存できませんでした。\r\n%1\r\nA4 の用紙を用意できませんでした。")
                 .arg(QDir::toNativeSeparators(file));
    return false;
  }
  out.model().copyPageFrom(shown);
  MainSettings settings = *source.settings;
  SheetSource own = source;
  own.settings = &settings;
  Typesetter typesetter(out.model());
  PdfPages& pages = out.pages();
  bool ok = pages.begin(file);
  for (int sheet : {WorksheetComposer::ProblemSheet, WorksheetComposer::AnswerSheet,
                    WorksheetComposer::SolutionSheet}) {
    if (!ok) break;
    ok = composeSheet(out.model(), typesetter, own, sheet) && pages.addPage();
  }
  if (ok && pages.finish()) return true;
  *error = pdfNotWrittenMessage(file, pages);
  pages.abandon();
  return false;
}

}  // namespace zubira
