#pragma once
// Turns one value of a problem line ("3", "-7/4", "2+1/3", "-(2+1/3)", or whatever the user typed
// into the lists) into text and line commands on the page model's program list: sign, brackets,
// integer part, and a stacked fraction with its bar. Also keeps the list's font state: only the
// differences from the font already in force are emitted.
//
// Coordinates are reals in the page's current drawing unit; nothing here converts units.

#include "drawing/canvas.h"

#include <QString>

namespace zubira {

class PageModel;
class TPageStr;

class Typesetter {
 public:
  explicit Typesetter(PageModel& prev) : prev_(prev) {}

  // The composer sets these before it typesets a cell: the height of one text line (operator and
  // "8" in the problem font), the advance of one character (whole units) and its decimal text.
  double SignHeight = 0;
  int CharPitch = 0;
  QString PitchText = QStringLiteral("0");

  // The font the interpreter will have in force at the end of the list built so far.
  CanvasFont CurFont;

  // Appends the commands for one value whose box has its top-left corner at (x, y); returns the
  // x where the next element of the line begins. `bracketNegative` draws brackets round a
  // negative value.
  double TypesetValue(const QString& text, bool bracketNegative, double x, double y);

  // Appends the font commands that turn CurFont into `f` (name, size, colour, then BOLD/BOLD-
  // and ITALIC/ITALIC-), then makes CurFont a copy of `f`.
  void EmitFontChange(const CanvasFont& f);

  // The interpreter's font after INITPARAM: 9 points, black, "ＭＳ Ｐゴシック", no style.
  void ResetCurrentFont() { CurFont = CanvasFont(); }

  // The page string's face, size, bold and italic, and black, into `f`.
  static void LoadPageStrFont(const TPageStr& ps, CanvasFont& f);

  // Sets CharPitch and PitchText from a width of "88".
  void setPitchFromWidth(double width88);

 private:
  void text(double x, double y, const QString& t);
  PageModel& prev_;
};

// Leading and trailing characters up to U+0020 removed (the ideographic space stays).
QString trimControls(const QString& s);

}  // namespace zubira
