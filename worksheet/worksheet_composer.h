#pragma once
// Composes the problem sheet, the answer sheet or the worked answer key (解き方) of a set of
// problems as the page model's program list: the header, footer, title and subtitle commands,
// the boxed date line with the name heading, the optional dotted frame, and the grid of numbered
// problems, answers or solution chains, each value typeset as a stacked fraction. Works in the
// page's current drawing unit, laid out for millimetres.
//
// Every composition lays the page out anew from the settings it is given and writes nothing back:
// the grid starts below the page strings above it and ends above those below it, and the problem
// font is set smaller for this page only where a problem would not fit its cell.

#include "drawing/page_str.h"
#include "generation/generation_settings.h"
#include "generation/sheet_problem.h"
#include "worksheet/main_settings.h"
#include "worksheet/typesetter.h"

#include <QDateTime>
#include <QSizeF>
#include <QStringList>
#include <functional>

namespace zubira {

class PageModel;

// "%t" alone becomes the time in the user's long time format, "%d" alone the date in the short
// date format; any other text stays as it is.
QString replaceDateTimeCode(const QString& text, const QDateTime& now);

// The grid of the last composition, in drawing units: its top edge (5 below the page strings
// above it), its right edge and its lower edge.
struct GridFrame {
  double WindowUpper = 0;
  double WindowInner = 0;
  double WindowUnder = 0;
};

// How the last composition fitted its page.
struct SheetFit {
  int storedSize = 0;     // the problem font's size in the settings
  int usedSize = 0;       // the size the problems, answers or chains were set in
  bool tooDense = false;  // even the smallest size leaves problems wider or taller than their cells
  bool narrowGap = false;  // the space after each number narrowed to one character to fit
  int columns = 0;        // the grid drawn: the key may have fewer columns and more rows
  int rows = 0;
  int pages = 1;          // only a key may need more than one page
  int settingsColumns = 0;  // the grid of the settings
};

// What a user is told about a fit, in Japanese: the font set smaller, the space after the numbers
// narrowed, a grid too dense even at the smallest size, a key in fewer columns or on several
// pages; empty when the sheet is as set.
QString FitNote(const SheetFit& fit);

class WorksheetComposer {
 public:
  // The key (解き方) shows each problem's chain of steps, solved from its operands.
  enum SheetKind { ProblemSheet = 0, AnswerSheet = 1, SolutionSheet = 2 };

  // The smallest size, in points, a sheet's problem font is set down to.
  static constexpr int kMinFontSize = 8;

  // `settings` and `gen` are read, never changed. `CurFont` lives in the typesetter, which the
  // caller keeps.
  WorksheetComposer(PageModel& prev, Typesetter& typesetter, const MainSettings& settings,
                    const GenerationSettings& gen, const TPageStr& DateTime);

  // The clock for "%t" and "%d" (the system clock by default).
  void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
  // Asks the page to redraw from its lists when the composition is done.
  void setRefresh(std::function<void()> refresh) { refresh_ = std::move(refresh); }

  // Composes page `page` (from 0) of the sheet of `problems`, each drawn with its own kind's
  // operator; the key writes answers as mixed numbers when the generation settings' fTaiBun
  // says so. Returns false, composing nothing, for an empty set or a page beyond the sheet's
  // last (fit().pages tells how many there are).
  bool ComposeWorksheet(int sheetKind, const ProblemSet& problems, int page = 0);

  const GridFrame& grid() const { return grid_; }
  const SheetFit& fit() const { return fit_; }

 private:
  struct Layout;
  struct KeyPlan;
  // The key's chains laid out on the pages, and the page `page` drawn.
  KeyPlan planKey(const ProblemSet& problems, const Layout& layout);
  void drawKeyPage(const KeyPlan& plan, int page);
  // The number "( K)" of a cell in the subtitle's font, appended only with `append`; returns its
  // width and height (nothing without numbering).
  QSizeF numberLabel(int64_t K, double colX, double rowY, CanvasFont& scratch, bool append);
  // Sets the typesetter's line height and pitch for the problem font at `size`.
  void useProblemSize(int size);
  // The advance of a problem's line from its value's start: operands, operator, " =" and the
  // answer (or the room left for it).
  double problemLineWidth(const SheetProblem& q);

  PageModel& prev_;
  Typesetter& ts_;
  const MainSettings& s_;
  const GenerationSettings& gen_;
  const TPageStr& dateTime_;
  std::function<QDateTime()> clock_;
  std::function<void()> refresh_;
  GridFrame grid_;
  SheetFit fit_;
};

}  // namespace zubira
