#include "worksheet/worksheet_composer.h"

#include "drawing/page_model.h"
#include "generation/solver.h"
#include "platform/real_format.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <vector>

namespace zubira {

QStringList memoLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines.append(text.mid(start, i - start));
    if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  // A final line break adds no empty line.
  if (start < n) lines.append(text.mid(start));
  return lines;
}

QString replaceDateTimeCode(const QString& text, const QDateTime& now) {
  const QLocale locale = QLocale::system();
  if (text == QLatin1String("%t")) {
    // The long time format without the zone, which a desktop's long time leaves out.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    return locale.toString(now.time(), format.trimmed());
  }
  if (text == QLatin1String("%d")) return locale.toString(now.date(), QLocale::ShortFormat);
  return text;
}

namespace {

// A coordinate text of a page string; one that is not a number counts as 0.
double coordinate(const QString& text) { return parseReal(text).value_or(0.0); }

void raise(double& field, double v) {
  if (!(field >= v)) field = v;
}

// A line of the key: stacked fractions (two text lines of height h) and a third of a line before
// the next.
double keyLineHeight(double h) { return 2 * h + h / 3; }

}  // namespace

WorksheetComposer::WorksheetComposer(PageModel& prev, Typesetter& typesetter,
                                     MainSettings& settings, const GenerationSettings& gen,
                                     const TPageStr& DateTime)
    : prev_(prev),
      ts_(typesetter),
      s_(settings),
      gen_(gen),
      dateTime_(DateTime),
      clock_([] { return QDateTime::currentDateTime(); }) {}

bool WorksheetComposer::ComposeWorksheet(int sheetKind, const ProblemMemos& memos,
                                         ProblemKind kind, const QString& kigou) {
  const QStringList memo1 = memoLines(memos.Memo1);
  if (memo1.isEmpty()) return false;
  const QStringList memo2 = memoLines(memos.Memo2);
  const QStringList memo3 = memoLines(memos.Memo3);
  const bool answerSheet = sheetKind == AnswerSheet;
  const bool keySheet = sheetKind == SolutionSheet;

  prev_.ClearProgramList();
  prev_.PrevInit();
  CanvasFont scratch;
  ts_.ResetCurrentFont();

  // The four page strings: position from the preview's page string, font as the table of the
  // sheet says (the header in the date line's font, the footer in the header's).
  const QDateTime now = clock_();
  struct PageLine {
    void (PageModel::*emitter)(const QString&, int, double, double);
    QString text;
    const TPageStr& position;
    const TPageStr& font;
  };
  const PageLine pageLines[] = {
      {&PageModel::PrevHeader, replaceDateTimeCode(s_.sHeader, now), prev_.Header, dateTime_},
      {&PageModel::PrevFooter, replaceDateTimeCode(s_.sFooter, now), prev_.Footer, prev_.Header},
      {&PageModel::PrevpageTitle, s_.sPageTitle, prev_.PageTitle, prev_.PageTitle},
      {&PageModel::PrevSubTitle,
       answerSheet ? s_.sSubTitle + QStringLiteral(" (答)")
       : keySheet  ? s_.sSubTitle + QStringLiteral(" (解き方)")
                   : s_.sSubTitle,
       prev_.SubTitle, prev_.SubTitle},
  };
  const QString dateText = u' ' + s_.sDateTime + u' ';
  double H = 0;
  // The lines below which the grid begins: each page string but the header, then the date box's
  // divider.
  std::vector<double> raises;
  for (size_t i = 0; i < std::size(pageLines); ++i) {
    const PageLine& l = pageLines[i];
    const double x = coordinate(l.position.psX);
    const double y = coordinate(l.position.psY);
    Typesetter::LoadPageStrFont(l.font, scratch);
    ts_.EmitFontChange(scratch);
    (prev_.*l.emitter)(l.text, l.position.psPos, x, y);
    // The line height is measured once, after the footer, in whatever font the measuring
    // canvases hold at that moment.
    if (i == 1) H = prev_.GetHeight(dateText);
    if (i > 0) {
      prev_.SetFontSets(scratch);
      raises.push_back(y + H);
    }
  }

  // The date line in its box, with the name heading below the divider.
  if (!s_.sDateTime.isEmpty() && dateTime_.psPos != 0) {
    const double X0 = coordinate(dateTime_.psX);
    const double Y0 = coordinate(dateTime_.psY);
    const double W = prev_.GetWidth(dateText);
    const double h = prev_.GetHeight(dateText);
    Typesetter::LoadPageStrFont(dateTime_, scratch);
    ts_.EmitFontChange(scratch);
    prev_.PrevTextOut(X0, Y0 + h / 2, dateText, QStringLiteral("NIL"));
    prev_.SetFontSets(scratch);
    if (!s_.sName.isEmpty())
      prev_.PrevTextOut(X0, Y0 + 3.5 * h, QStringLiteral("　") + s_.sName + u' ',
                        QStringLiteral("NIL"));
    prev_.PrevPenSize(1);
    prev_.PrevLine(X0, Y0, X0 + W, Y0);
    prev_.PrevLine(X0 + W, Y0, X0 + W, Y0 + 6 * h);
    prev_.PrevLine(X0 + W, Y0 + 6 * h, X0, Y0 + 6 * h);
    prev_.PrevLine(X0, Y0 + 6 * h, X0, Y0);
    prev_.PrevLine(X0, Y0 + 2 * h, X0 + W, Y0 + 2 * h);
    raises.push_back(Y0 + 2 * h);
  }

  const CanvasFont& examFont = s_.FntExam;
  prev_.SetFontSets(examFont);
  ts_.SignHeight = prev_.GetHeight(kigou + u'8');

  // The grid starts below the page strings, but only while every row keeps room for a stacked
  // value (two lines of the problem font) above the bottom margin: a string placed near the foot
  // of the page must not push the grid off it. A raise refused so is not kept as the top margin.
  const int cols = gen_.ExamColN;
  const int rows = gen_.ExamRowN;
  raise(s_.WindowBottom, 10);
  grid_.WindowInner = prev_.Get_UnitWidth() - s_.WindowRight;
  grid_.WindowUnder = prev_.Get_UnitHeight() - s_.WindowBottom;
  const double rowNeed = 2 * ts_.SignHeight;
  for (const double v : raises) {
    if (s_.WindowTop >= v) continue;
    if (rows < 1 || (grid_.WindowUnder - (v + 5)) / rows >= rowNeed) s_.WindowTop = v;
  }

  // The key's rows shrink with its font, so its grid also clears the page strings that rows of
  // the problem font could not; the stored top margin stays the one of the other sheets.
  double top = s_.WindowTop;
  if (keySheet) {
    CanvasFont smallest = examFont;
    smallest.size = kMinKeyFontSize;
    prev_.SetFontSets(smallest);
    const double keyRowNeed = keyLineHeight(prev_.GetHeight(kigou + u'8'));
    prev_.SetFontSets(examFont);
    for (const double v : raises) {
      if (top >= v) continue;
      if (rows < 1 || (grid_.WindowUnder - (v + 5)) / rows >= keyRowNeed) top = v;
    }
  }

  // The grid's frame.
  grid_.WindowUpper = top + 5;
  if (s_.WindowFrame) {
    prev_.PrevPenSize(1);
    prev_.PrevPenStyle(QStringLiteral("psDot"));
    prev_.PrevLine(s_.WindowLeft, grid_.WindowUpper, grid_.WindowInner, grid_.WindowUpper);
    prev_.PrevLine(grid_.WindowInner, grid_.WindowUpper, grid_.WindowInner, grid_.WindowUnder);
    prev_.PrevLine(grid_.WindowInner, grid_.WindowUnder, s_.WindowLeft, grid_.WindowUnder);
    prev_.PrevLine(s_.WindowLeft, grid_.WindowUnder, s_.WindowLeft, grid_.WindowUpper);
  }

  // A grid below one row or column (only from a hand-edited settings file) has no cells.
  const double colW = cols > 0 ? (grid_.WindowInner - s_.WindowLeft) / cols : 0;
  const double rowH = rows > 0 ? (grid_.WindowUnder - grid_.WindowUpper) / rows : 0;
  prev_.PrevPenSize(1);
  prev_.PrevPenStyle(QStringLiteral("psSolid"));

  if (keySheet) {
    composeKey(memo1, memo2, kind, kigou, colW, rowH);
    if (refresh_) refresh_();
    return true;
  }

  const bool oneOperand = kind == pkMixedToImproper || kind == pkImproperToMixed;
  bool full = false;
  for (int c = 1; c <= cols && !full; ++c) {
    const double colX = s_.WindowLeft + (c - 1) * colW;
    for (int r = 1; r <= rows; ++r) {
      const double rowY = grid_.WindowUpper + (r - 1) * rowH;
      const int64_t K = int64_t(c - 1) * rows + r;
      if (memo1.size() < K || memo2.size() < K) {
        full = true;
        break;
      }
      const qsizetype line = qsizetype(K - 1);
      const double numW = numberLabel(K, colX, rowY, scratch, true).width();
      const double ex = colX + numW + s_.ExamSeparate;
      const double ey = rowY;
      ts_.EmitFontChange(examFont);
      prev_.SetFontSets(examFont);
      ts_.setPitchFromWidth(prev_.GetWidth(QStringLiteral("88")));
      const double p = ts_.CharPitch;
      const double h = ts_.SignHeight;
      if (answerSheet) {
        ts_.TypesetValue(memo3.value(line), false, ex, ey);
        continue;
      }
      double cx = ts_.TypesetValue(memo1[line], gen_.fKakko, ex, ey);
      if (oneOperand) {
        prev_.PrevTextOut(cx, ey + h / 2, QStringLiteral(" = "), QStringLiteral("Nil"));
        cx += 3 * p;
      } else {
        const QString t = kigou + u' ';
        prev_.PrevTextOut(cx, ey + h / 2, t, QStringLiteral("Nil"));
        cx += double(t.size()) * p;
        cx = ts_.TypesetValue(memo2[line], true, cx, ey);
        prev_.PrevTextOut(cx, ey + h / 2, QStringLiteral(" ="), QStringLiteral("Nil"));
        cx += 2 * p;
      }
      if (s_.AnswerType == 2) ts_.TypesetValue(memo3.value(line), false, cx, ey);
    }
  }

  if (refresh_) refresh_();
  return true;
}

QSizeF WorksheetComposer::numberLabel(int64_t K, double colX, double rowY, CanvasFont& scratch,
                                      bool append) {
  if (!s_.fExNum) return QSizeF(0, 0);
  const QString label = s_.ExNumLeft + QString::asprintf("%2d", int(K)) + s_.ExNumRight;
  Typesetter::LoadPageStrFont(prev_.SubTitle, scratch);
  if (append) {
    ts_.EmitFontChange(scratch);
    prev_.PrevTextOut(colX, rowY, label, QStringLiteral("Nil"));
  }
  prev_.SetFontSets(scratch);
  return QSizeF(prev_.GetWidth(label), prev_.GetHeight(label));
}

// ---- The key --------------------------------------------------------------------------------

namespace {

constexpr double kEps = 1e-9;
// The key's character pitch: a digit's advance and a little air, rounded up to a tenth of a
// unit, so that numbers read as numbers at every size the key takes.
double keyPitch(double width88) {
  return std::ceil(width88 * 0.55 * 10) / 10;
}

// One element of a chain as the key lays it out: the sign before it (" = " between steps, an
// operator inside a step, nothing before the first term) and a term of the solution, or a text
// in its place ("…" for steps left out, "解けません"), or the solution's remark after the chain.
struct ChainPiece {
  enum Sign { NoSign, Equals, Operator, Remark };
  Sign sign = NoSign;
  SolutionOp op = SolutionOp::Add;
  int step = -1;  // the term steps[step].terms[term]; -1: `text`
  int term = 0;
  QString text;
  bool bracket = false;
  double signW = 0;
  double termW = 0;

  QString signText() const {
    return sign == Equals ? Typesetter::EqualsSign()
           : sign == Operator ? Typesetter::OperatorSign(op)
                              : QString();
  }
};

// The pieces of a solution; `leftOut` steps before the answer become one "…".
std::vector<ChainPiece> chainPieces(const Solution& solution, bool bracketFirst, size_t leftOut) {
  std::vector<ChainPiece> pieces;
  if (!solution.solved || solution.steps.empty()) {
    ChainPiece p;
    p.text = QStringLiteral("解けません");
    pieces.push_back(p);
    return pieces;
  }
  std::vector<size_t> shown;
  for (size_t i = 0; i < solution.steps.size(); ++i) shown.push_back(i);
  // A problem that is already its answer still shows the answer after its " = ".
  if (shown.size() == 1) shown.push_back(0);
  const size_t n = shown.size();
  leftOut = std::min(leftOut, n - 2);
  for (size_t k = 0; k < n; ++k) {
    if (k + 1 < n && k + 1 + leftOut >= n) {
      if (k + 1 + leftOut == n) {
        ChainPiece dots;
        dots.sign = ChainPiece::Equals;
        dots.text = QStringLiteral("…");
        pieces.push_back(dots);
      }
      continue;
    }
    const SolutionStep& step = solution.steps[shown[k]];
    for (size_t j = 0; j < step.terms.size(); ++j) {
      ChainPiece p;
      p.step = int(shown[k]);
      p.term = int(j);
      if (j > 0) {
        p.sign = ChainPiece::Operator;
        if (j - 1 < step.ops.size()) p.op = step.ops[j - 1];
      } else if (k > 0) {
        p.sign = ChainPiece::Equals;
      }
      p.bracket = j > 0 || (step.terms.size() > 1 && bracketFirst);
      pieces.push_back(p);
    }
  }
  if (solution.remark) {
    ChainPiece remark;
    remark.sign = ChainPiece::Remark;
    pieces.push_back(remark);
  }
  return pieces;
}

// Where the pieces of one chain go: the x at which each piece's sign begins and its line.
struct ChainPlacement {
  std::vector<double> x;
  std::vector<int> line;
  int lines = 0;
  double top = 0;  // of the first line
  double right = 0;
};

// Fills the line from x0 and breaks before a " = " (and, with `breakAtOperators`, before an
// operator) that would pass xr; a continued line begins at xc with its sign.
ChainPlacement placeChain(const std::vector<ChainPiece>& pieces, double top, double x0,
                          double xc, double xr, bool breakAtOperators) {
  ChainPlacement pl;
  pl.lines = 1;
  pl.top = top;
  double x = x0;
  const auto breakable = [&](const ChainPiece& p) {
    return p.sign == ChainPiece::Equals || p.sign == ChainPiece::Remark ||
           (breakAtOperators && p.sign == ChainPiece::Operator);
  };
  for (size_t i = 0; i < pieces.size(); ++i) {
    const ChainPiece& p = pieces[i];
    const double w = p.signW + p.termW;
    if (i > 0 && breakable(p)) {
      // The pieces up to the next place to break stay on one line.
      double run = w;
      for (size_t j = i + 1; j < pieces.size() && !breakable(pieces[j]); ++j)
        run += pieces[j].signW + pieces[j].termW;
      if (x + run > xr + kEps) {
        ++pl.lines;
        x = xc;
      }
    }
    pl.x.push_back(x);
    pl.line.push_back(pl.lines - 1);
    x += w;
    pl.right = std::max(pl.right, x);
  }
  return pl;
}

// A cell of the key.
struct KeyCell {
  int64_t K = 0;
  double colX = 0;
  double rowY = 0;
  double x0 = 0;       // where the chain begins, after the number
  double xNumber = 0;  // where the number ends
  double yBelow = 0;   // the lower edge of the number
  double right = 0;   // the cell's right edge
  double bottom = 0;  // the cell's lower edge
  Solution solution;
  std::vector<ChainPiece> pieces;
  ChainPlacement placement;

  const SolutionTerm& term(const ChainPiece& p) const {
    return solution.steps[size_t(p.step)].terms[size_t(p.term)];
  }
};

}  // namespace

void WorksheetComposer::composeKey(const QStringList& memo1, const QStringList& memo2,
                                   ProblemKind kind, const QString& kigou, double colW,
                                   double rowH) {
  const int cols = gen_.ExamColN;
  const int rows = gen_.ExamRowN;
  CanvasFont scratch;

  // The cells in the order of the other sheets, each problem solved once.
  std::vector<KeyCell> cells;
  bool full = false;
  for (int c = 1; c <= cols && !full; ++c) {
    const double colX = s_.WindowLeft + (c - 1) * colW;
    for (int r = 1; r <= rows; ++r) {
      const int64_t K = int64_t(c - 1) * rows + r;
      if (memo1.size() < K || memo2.size() < K) {
        full = true;
        break;
      }
      KeyCell cell;
      cell.K = K;
      cell.colX = colX;
      cell.rowY = grid_.WindowUpper + (r - 1) * rowH;
      const QSizeF number = numberLabel(K, colX, cell.rowY, scratch, false);
      cell.xNumber = colX + number.width();
      cell.yBelow = cell.rowY + number.height();
      cell.x0 = cell.xNumber + s_.ExamSeparate;
      cell.right = colX + colW;
      cell.bottom = cell.rowY + rowH;
      const qsizetype line = qsizetype(K - 1);
      cell.solution = SolveProblem(kind, memo1[line], memo2[line], gen_.fTaiBun);
      cell.pieces = chainPieces(cell.solution, gen_.fKakko, 0);
      cells.push_back(std::move(cell));
    }
  }

  // The metrics of one size of the problem font.
  CanvasFont keyFont = s_.FntExam;
  double h = 0;
  double lineH = 0;
  const auto useSize = [&](int size) {
    keyFont.size = size;
    prev_.SetFontSets(keyFont);
    ts_.SignHeight = prev_.GetHeight(kigou + u'8');
    ts_.setPitch(keyPitch(prev_.GetWidth(QStringLiteral("88"))));
    h = ts_.SignHeight;
    lineH = keyLineHeight(h);
  };
  const auto measure = [&](const KeyCell& cell, std::vector<ChainPiece>& pieces) {
    for (ChainPiece& p : pieces) {
      p.signW = ts_.SignWidth(p.signText());
      p.termW = p.sign == ChainPiece::Remark ? ts_.RemarkWidth(*cell.solution.remark)
                : p.step >= 0                 ? ts_.TermWidth(cell.term(p), p.bracket)
                                              : prev_.GetWidth(p.text);
    }
  };
  // A chain keeps a character's room from the next column's number.
  const auto limit = [&](const KeyCell& cell) { return cell.right - ts_.CharPitch; };
  // Below the last line the same space as between lines, before the next row's number.
  const auto fits = [&](const KeyCell& cell, const ChainPlacement& pl) {
    return pl.right <= limit(cell) + kEps && pl.top + pl.lines * lineH <= cell.bottom + kEps;
  };
  // Beside the number, continued lines begin (0) with their "=" under the first one, (1)
  // indented by two characters, or (2), for a narrow cell, a character after the number; the
  // first of these from `from` on that fits, or -1. `below`: from under the number, across the
  // whole cell (0 when it fits).
  const auto place = [&](const KeyCell& cell, const std::vector<ChainPiece>& pieces,
                         bool breakAtOperators, bool below, ChainPlacement* out, int from = 0) {
    const double p = ts_.CharPitch;
    if (below) {
      const double x0 = cell.colX + p / 2;
      *out = placeChain(pieces, cell.yBelow, x0, x0 + p, limit(cell), breakAtOperators);
      return fits(cell, *out) ? 0 : -1;
    }
    double first = 0;
    for (const ChainPiece& piece : pieces) {
      if (piece.sign == ChainPiece::Equals) break;
      first += piece.signW + piece.termW;
    }
    const double starts[] = {cell.x0 + first, cell.x0 + 2 * p,
                             std::min(cell.xNumber + p, cell.x0 + 2 * p)};
    for (int k = std::max(0, from); k < int(std::size(starts)); ++k) {
      *out = placeChain(pieces, cell.rowY, cell.x0, starts[k], limit(cell), breakAtOperators);
      if (fits(cell, *out)) return k;
    }
    return -1;
  };

  // The largest whole size, from the problem font's down to the smallest, at which every chain
  // fits its cell. Line heights grow with the size, so sizes well beyond what a row holds at the
  // smallest size's proportions are not tried: a huge font from a hand-edited settings file
  // takes few steps.
  int size = std::max(s_.FntExam.size, kMinKeyFontSize);
  useSize(kMinKeyFontSize);
  if (!cells.empty() && lineH > 0) {
    const double most = kMinKeyFontSize * (rowH / lineH) * 1.25 + 2;
    if (std::isfinite(most) && most < size) size = std::max(kMinKeyFontSize, int(most));
  }
  std::vector<bool> fitting(cells.size(), false);
  int style = 0;  // the continued lines' start that every chain can take
  for (;; --size) {
    useSize(size);
    bool all = true;
    style = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
      measure(cells[i], cells[i].pieces);
      const int k = place(cells[i], cells[i].pieces, false, false, &cells[i].placement);
      fitting[i] = k >= 0;
      all = all && fitting[i];
      style = std::max(style, k);
    }
    if (all || size <= kMinKeyFontSize) break;
  }
  keyFontSize_ = size;
  // The continued lines of the whole sheet begin alike, as far as each chain allows.
  for (size_t i = 0; i < cells.size() && style > 0; ++i) {
    if (!fitting[i]) continue;
    ChainPlacement pl;
    if (place(cells[i], cells[i].pieces, false, false, &pl, style) >= 0)
      cells[i].placement = std::move(pl);
  }

  // At the smallest size a chain that still does not fit also breaks before its operators,
  // beside the number or under it, and then leaves out steps before the answer, until it neither
  // passes the cell's right edge nor hides lines under its lower edge. When nothing does, the
  // placement that passes the right edge least and then hides the fewest lines is kept; lines
  // under the lower edge are not drawn.
  // A chain under the number may use the margin up to where the next column's chain begins.
  const auto reach = [&](const KeyCell& cell) { return cell.right + ts_.CharPitch / 2; };
  const auto hiddenLines = [&](const KeyCell& cell, const ChainPlacement& pl) {
    int hidden = 0;
    for (int l = 1; l < pl.lines; ++l) hidden += pl.top + l * lineH + 2 * h > cell.bottom + kEps;
    return hidden;
  };
  for (size_t i = 0; i < cells.size(); ++i) {
    if (fitting[i]) continue;
    KeyCell& cell = cells[i];
    const size_t steps = cell.solution.steps.size();
    bool found = false;
    bool first = true;
    double bestOverflow = 0;
    int bestHidden = 0;
    for (size_t leftOut = 0; !found && (leftOut == 0 || leftOut + 2 <= steps); ++leftOut) {
      for (const bool below : {false, true}) {
        std::vector<ChainPiece> pieces = chainPieces(cell.solution, gen_.fKakko, leftOut);
        measure(cell, pieces);
        ChainPlacement pl;
        place(cell, pieces, true, below, &pl);
        const double overflow = std::max(0.0, pl.right - reach(cell));
        const int hidden = hiddenLines(cell, pl);
        found = overflow <= kEps && hidden == 0;
        const bool better = overflow < bestOverflow - kEps ||
                            (overflow <= bestOverflow + kEps && hidden < bestHidden);
        if (found || first || better) {
          cell.pieces = std::move(pieces);
          cell.placement = std::move(pl);
          bestOverflow = overflow;
          bestHidden = hidden;
          first = false;
        }
        if (found) break;
      }
    }
  }

  const double pageRight = prev_.Get_UnitWidth();
  const double pageBottom = prev_.Get_UnitHeight();
  for (const KeyCell& cell : cells) {
    numberLabel(cell.K, cell.colX, cell.rowY, scratch, true);
    ts_.EmitFontChange(keyFont);
    prev_.SetFontSets(keyFont);
    ts_.setPitch(keyPitch(prev_.GetWidth(QStringLiteral("88"))));
    for (size_t i = 0; i < cell.pieces.size(); ++i) {
      const ChainPiece& p = cell.pieces[i];
      const int line = cell.placement.line[i];
      double y = cell.placement.top + line * lineH;
      if (line > 0 && y + 2 * h > cell.bottom + kEps) continue;
      y = std::max(0.0, std::min(y, pageBottom - 2 * h));
      double x = cell.placement.x[i];
      const double w = p.signW + p.termW;
      if (x + w > pageRight) x = std::max(0.0, pageRight - w);
      if (!p.signText().isEmpty()) x = ts_.TypesetSign(p.signText(), x, y);
      if (p.sign == ChainPiece::Remark)
        ts_.TypesetRemark(*cell.solution.remark, x, y);
      else if (p.step >= 0)
        ts_.TypesetTerm(cell.term(p), p.bracket, x, y);
      else
        prev_.PrevTextOut(x, y + h / 2, p.text, QStringLiteral("Nil"));
    }
  }
}

}  // namespace zubira
