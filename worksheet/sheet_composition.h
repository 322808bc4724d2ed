#pragma once
// The main window's sheets as a composition makes them: the one place where its lists, settings
// and kind meet the composer, for the preview and for the PDF of all three sheets.

#include "drawing/page_str.h"
#include "generation/generation_settings.h"
#include "worksheet/main_settings.h"
#include "worksheet/worksheet_composer.h"

#include <QString>
#include <functional>

namespace zubira {

class PageModel;
class Typesetter;

// What a composition reads from the main window.
struct SheetSource {
  MainSettings* settings = nullptr;  // a composition raises its margins for good
  const GenerationSettings* gen = nullptr;
  const TPageStr* dateTime = nullptr;
  ProblemMemos memos;
  ProblemKind kind = pkAdd;
  QString kigou;  // the operator caption
};

// Whether the lists hold a problem to compose.
bool hasProblems(const SheetSource& source);

// Composes `sheetKind` (WorksheetComposer::SheetKind) into the program list of `page`; `refresh`
// redraws it. With no problem in the lists the program list is emptied (and redrawn when it held
// a sheet), so the page never keeps problems the lists no longer hold; the result is then false.
bool composeSheet(PageModel& page, Typesetter& typesetter, const SheetSource& source, int sheetKind,
                  const std::function<void()>& refresh = {});

// The problem sheet, the answer sheet and the key as the three pages of an A4 PDF, each on the
// page of `shown` (its list file, manual list, pictures, page strings and unit) as the preview
// would show it. The settings are not changed. False with the message in `error` (and nothing on
// disk) when the file could not be written.
bool writeSheetsPdf(const PageModel& shown, const SheetSource& source, const QString& file,
                    QString* error);

}  // namespace zubira
