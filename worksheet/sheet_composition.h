#pragma once
// The main window's sheets as a composition makes them: the one place where its lists, settings
// and kind meet the composer, for the preview and for the PDF of all three sheets.

#include "drawing/page_str.h"
#include "generation/generation_settings.h"
#include "generation/sheet_problem.h"
#include "worksheet/main_settings.h"
#include "worksheet/worksheet_composer.h"

#include <QString>
#include <functional>

namespace zubira {

class PageModel;
class Typesetter;

// What a composition reads from the main window: its settings (read, never changed) and the
// problems its lists hold.
struct SheetSource {
  const MainSettings* settings = nullptr;
  const GenerationSettings* gen = nullptr;
  const TPageStr* dateTime = nullptr;
  ProblemSet problems;
};

// Whether the lists hold a problem to compose.
bool hasProblems(const SheetSource& source);

// Composes page `page` of `sheetKind` (WorksheetComposer::SheetKind) into the program list of
// `model`, and tells in `fit` how it fitted; `refresh` redraws it. With no problem in the lists the
// program list is emptied (and redrawn when it held a sheet), so the page never keeps problems
// the lists no longer hold; the result is then false, as for a page beyond the sheet's last.
bool composeSheet(PageModel& model, Typesetter& typesetter, const SheetSource& source,
                  int sheetKind, int page = 0, SheetFit* fit = nullptr,
                  const std::function<void()>& refresh = {});

// The problem sheet, the answer sheet and every page of the key as the pages of an A4 PDF, each
// on the page of `shown` (its list file, manual list, pictures, page strings and unit) as the
// preview would show it. False with the message in `error` (and nothing on disk) when the file
// could not be written.
bool writeSheetsPdf(const PageModel& shown, const SheetSource& source, const QString& file,
                    QString* error);

}  // namespace zubira
