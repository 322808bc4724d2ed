#pragma once
// Composes the problem sheet, the answer sheet or the worked answer key as the page model's
// program list: the header, footer, title and subtitle commands, the boxed date line with the
// name heading, the optional dotted frame, and the grid of numbered problems, answers or solution
// chains, each value typeset as a stacked fraction. Works in the page's current drawing unit,
// laid out for millimetres.

#include "drawing/page_str.h"
#include "generation/generation_settings.h"
#include "worksheet/main_settings.h"
#include "worksheet/typesetter.h"

#include <QDateTime>
#include <QSizeF>
#include <QStringList>
#include <functional>

namespace zubira {

class PageModel;

// The three problem lists as the main window's memos hold them.
struct ProblemMemos {
  QString Memo1;  // first operands
  QString Memo2;  // second operands, "=" for the conversion kinds
  QString Memo3;  // answers
};

// Lines of a memo text: CR LF, LF or CR end a line; a final line break adds no empty line.
QStringList memoLines(const QString& text);

// "%t" alone becomes the time in the user's long time format, "%d" alone the date in the short
// date format; any other text stays as it is.
QString replaceDateTimeCode(const QString& text, const QDateTime& now);

// The grid of the last composition, in drawing units.
struct GridFrame {
  double WindowUpper = 0;
  double WindowInner = 0;
  double WindowUnder = 0;
};

class WorksheetComposer {
 public:
  // The key (解き方) shows each problem's chain of steps, solved from the first two lists.
  enum SheetKind { ProblemSheet = 0, AnswerSheet = 1, SolutionSheet = 2 };

  // The smallest problem font, in points, the key scales down to.
  static constexpr int kMinKeyFontSize = 8;

  // `settings` is the main window's: a composition raises its WindowTop and WindowBottom for
  // good. `CurFont` lives in the typesetter, which the main window keeps.
  WorksheetComposer(PageModel& prev, Typesetter& typesetter, MainSettings& settings,
                    const GenerationSettings& gen, const TPageStr& DateTime);

  // The clock for "%t" and "%d" (the system clock by default).
  void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
  // Asks the page to redraw from its lists when the composition is done.
  void setRefresh(std::function<void()> refresh) { refresh_ = std::move(refresh); }

  // `kigou` is the operator caption ("＋", "－", "×", "÷"); `kind` the problem kind. Composes
  // nothing when Memo1 has no lines; returns whether a sheet was composed. The key writes its
  // answers as mixed numbers when the generation settings' fTaiBun says so.
  bool ComposeWorksheet(int sheetKind, const ProblemMemos& memos, ProblemKind kind,
                        const QString& kigou);

  const GridFrame& grid() const { return grid_; }
  // The problem font size of the last key composed.
  int keyFontSize() const { return keyFontSize_; }

 private:
  // The key's grid: every chain laid out in its cell at the largest size that lets all fit.
  void composeKey(const QStringList& memo1, const QStringList& memo2, ProblemKind kind,
                  const QString& kigou, double colW, double rowH);
  // The number "( K)" of a cell in the subtitle's font, appended only with `append`; returns its
  // width and height (nothing without numbering).
  QSizeF numberLabel(int64_t K, double colX, double rowY, CanvasFont& scratch, bool append);

  PageModel& prev_;
  Typesetter& ts_;
  MainSettings& s_;
  const GenerationSettings& gen_;
  const TPageStr& dateTime_;
  std::function<QDateTime()> clock_;
  std::function<void()> refresh_;
  GridFrame grid_;
  int keyFontSize_ = 0;
};

}  // namespace zubira
