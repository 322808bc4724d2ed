#pragma once
// Turns one value of a problem line ("3", "-7/4", "2+1/3", "-(2+1/3)", or whatever the user typed
// into the lists) into text and line commands on the page model's program list: sign, brackets,
// integer part, and a stacked fraction with its bar. The steps of a worked solution are typeset
// the same way, an unmultiplied fraction with its sums of products over and under the bar. Also
// keeps the list's font state: only the differences from the font already in force are emitted.
//
// Coordinates are reals in the page's current drawing unit; nothing here converts units.

#include "drawing/canvas.h"
#include "generation/solver.h"

#include <QString>

namespace zubira {

class PageModel;
class TPageStr;

class Typesetter {
 public:
  explicit Typesetter(PageModel& prev) : prev_(prev) {}

  // The composer sets these before it typesets a cell: the height of one text line (operator and
  // "8" in the problem font), the advance of one character and its decimal text.
  double SignHeight = 0;
  double CharPitch = 0;
  QString PitchText = QStringLiteral("0");
  // Below 0, each character of a whole part advances one unit more than the pitch (the sheets'
  // rule); otherwise the whole part advances its characters' pitch and then this gap, the same
  // for any number of digits (the key's rule).
  double WholePartGap = -1;

  // The font the interpreter will have in force at the end of the list built so far.
  CanvasFont CurFont;

  // Appends the commands for one value whose box has its top-left corner at (x, y); returns the
  // x where the next element of the line begins. `bracketNegative` draws brackets round a
  // negative value.
  double TypesetValue(const QString& text, bool bracketNegative, double x, double y);

  // One term of a solution step, its box's top-left corner at (x, y): a value as TypesetValue
  // draws it; an unmultiplied fraction as its sign and its numerator and denominator sums of
  // products stacked over a bar. Returns the x where the next element begins.
  double TypesetTerm(const SolutionTerm& term, bool bracketNegative, double x, double y);
  // An operator (with its trailing blank) or " = ", on the middle line as the problem line draws
  // its operator; returns the x after it.
  double TypesetSign(const QString& sign, double x, double y);
  // The terms of a step joined by their operators. A negative term after an operator is
  // bracketed; the first one only with `bracketFirst` and when the step has more than one term.
  double TypesetStep(const SolutionStep& step, bool bracketFirst, double x, double y);

  // How far the routines above would advance from x, appending nothing.
  double ValueWidth(const QString& text, bool bracketNegative);
  double TermWidth(const SolutionTerm& term, bool bracketNegative);
  double SignWidth(const QString& sign) const { return double(sign.size()) * CharPitch; }
  double StepWidth(const SolutionStep& step, bool bracketFirst);

  // The operator of a step as the sheet writes it, with its trailing blank: "＋ ", "－ ", "× ", "÷ ".
  static QString OperatorSign(SolutionOp op);
  static QString EqualsSign() { return QStringLiteral(" = "); }

  // Appends the font commands that turn CurFont into `f` (name, size, colour, then BOLD/BOLD-
  // and ITALIC/ITALIC-), then makes CurFont a copy of `f`.
  void EmitFontChange(const CanvasFont& f);

  // The interpreter's font after INITPARAM: 9 points, black, "ＭＳ Ｐゴシック", no style.
  void ResetCurrentFont() { CurFont = CanvasFont(); }

  // The page string's face, size, bold and italic, and black, into `f`.
  static void LoadPageStrFont(const TPageStr& ps, CanvasFont& f);

  // Sets CharPitch and PitchText from a width of "88": three quarters of it in whole units.
  void setPitchFromWidth(double width88);
  // Sets CharPitch and PitchText to `pitch`.
  void setPitch(double pitch);

 private:
  void text(double x, double y, const QString& t);
  void line(double x1, double y1, double x2, double y2);
  // `num` over `den` with the bar, starting `off` after x; a closing bracket after it with
  // `brackets`. Returns the x where the next element begins.
  double stackedFraction(const QString& num, const QString& den, bool brackets, double x,
                         double off, double y);
  PageModel& prev_;
  bool measuring_ = false;  // while set, nothing is appended
};

// Leading and trailing characters up to U+0020 removed (the ideographic space stays).
QString trimControls(const QString& s);

}  // namespace zubira
