#include "worksheet/sheet_composition.h"

#include "drawing/page_model.h"
#include "drawing/page_output.h"
#include "drawing/pdf_pages.h"
#include "worksheet/typesetter.h"

namespace zubira {

bool hasProblems(const SheetSource& source) { return !source.problems.empty(); }

bool composeSheet(PageModel& model, Typesetter& typesetter, const SheetSource& source,
                  int sheetKind, int page, SheetFit* fit, const std::function<void()>& refresh) {
  if (!hasProblems(source)) {
    if (!model.ListbyProgram().isEmpty()) {
      model.ClearProgramList();
      if (refresh) refresh();
    }
    if (fit) *fit = SheetFit();
    return false;
  }
  WorksheetComposer composer(model, typesetter, *source.settings, *source.gen, *source.dateTime);
  if (refresh) composer.setRefresh(refresh);
  const bool composed = composer.ComposeWorksheet(sheetKind, source.problems, page);
  if (fit) *fit = composer.fit();
  return composed;
}

bool writeSheetsPdf(const PageModel& shown, const SheetSource& source, const QString& file,
                    QString* error) {
  PageOutput out(600);
  if (!out.ready()) {
    *error = pdfNotWrittenMessage(file, WholeFileWriter::Fault::None, out.error());
    return false;
  }
  out.model().copyPageFrom(shown);
  Typesetter typesetter(out.model());
  bool ok = out.beginPdf(file);
  for (int sheet : {WorksheetComposer::ProblemSheet, WorksheetComposer::AnswerSheet,
                    WorksheetComposer::SolutionSheet}) {
    for (int page = 0; ok && composeSheet(out.model(), typesetter, source, sheet, page); ++page)
      ok = out.addPage();
  }
  if (ok && out.endPdf()) return true;
  *error = pdfNotWrittenMessage(file, out.fileFault(), out.error());
  out.cancelPdf();
  return false;
}

}  // namespace zubira
