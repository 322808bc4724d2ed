#include "worksheet/worksheet_composer.h"

#include "drawing/page_model.h"
#include "generation/solver.h"
#include "platform/real_format.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace zubira {

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

QString FitNote(const SheetFit& fit) {
  QStringList notes;
  if (fit.tooDense)
    notes << QStringLiteral("行と列が多すぎて、%1ptでも枠に収まらない問題があります").arg(fit.usedSize);
  else if (fit.usedSize < fit.storedSize)
    notes << QStringLiteral("文字を%1ptから%2ptに縮めました").arg(fit.storedSize).arg(fit.usedSize);
  if (fit.narrowGap && !fit.tooDense) notes << QStringLiteral("番号と問題の間を詰めました");
  if (fit.columns > 0 && fit.columns < fit.settingsColumns)
    notes << QStringLiteral("解き方を%1列にしました").arg(fit.columns);
  if (fit.pages > 1) notes << QStringLiteral("解き方は%1ページあります").arg(fit.pages);
  return notes.join(QStringLiteral("。"));
}

namespace {

constexpr double kEps = 1e-9;
// Space between the page strings and the grid.
constexpr double kGap = 5;

// A coordinate text of a page string; one that is not a number counts as 0.
double coordinate(const QString& text) { return parseReal(text).value_or(0.0); }

// A margin from the settings as a composition uses it: a negative or unreadable one counts as 0,
// and none takes more than two fifths of the page.
double workingMargin(double v, double pageSide) {
  if (!(v >= 0)) return 0;
  return std::min(v, 0.4 * pageSide);
}

// The stretch of the page from top to bottom that something drawn there takes.
struct Band {
  double top;
  double bottom;
};

// A line of the key: stacked fractions (two text lines of height h) and a third of a line before
// the next.
double keyLineHeight(double h) { return 2 * h + h / 3; }

// The key's character pitch: a digit's advance and a little air, rounded up to a tenth of a
// unit, so that numbers read as numbers at every size the key takes.
double keyPitch(double width88) { return std::ceil(width88 * 0.55 * 10) / 10; }

}  // namespace

// The page as laid out for the grid: where the grid lies and its cells by the settings.
struct WorksheetComposer::Layout {
  double left = 0;
  double upper = 0;
  double inner = 0;
  double under = 0;
  int cols = 0;
  int rows = 0;
  // How many problems the settings' grid holds.
  int cells() const {
    return cols > 0 && rows > 0 ? int(std::min<int64_t>(int64_t(cols) * rows, 1 << 20)) : 0;
  }
};

// ---- The key --------------------------------------------------------------------------------
//
// A chain is a row of units: the problem, then each later step with the " = " before it. Lines
// break only before a " = ", so every line after the first begins with "=" and holds whole
// steps. The key is set at the largest size at which every chain fits its cell; where none does
// on the problem sheet's grid, the key takes fewer columns (and more rows), then more pages, the
// numbering unchanged.

namespace {

struct KeyUnit {
  int step = -1;  // solution.steps[step]; -1: `text`, or the remark
  QString text;
  bool equals = false;  // " = " before it
  bool remark = false;  // the solution's remark after the chain, "(24 ÷ 7 = 3 あまり 3)"
};

// The units of a solution; `leftOut` steps before the answer become one "…" (only for a chain
// that fits nowhere else).
std::vector<KeyUnit> chainUnits(const Solution& solution, size_t leftOut) {
  std::vector<KeyUnit> units;
  if (!solution.solved || solution.steps.empty()) {
    units.push_back({-1, UnsolvableText(), false});
    return units;
  }
  std::vector<int> shown;
  for (size_t i = 0; i < solution.steps.size(); ++i) shown.push_back(int(i));
  // A problem that is already its answer still shows the answer after its " = ".
  if (shown.size() == 1) shown.push_back(0);
  const size_t n = shown.size();
  leftOut = std::min(leftOut, n - 2);
  for (size_t k = 0; k < n; ++k) {
    if (k > 0 && k + 1 < n && k + 1 + leftOut >= n) {
      if (k + 1 + leftOut == n) units.push_back({-1, QStringLiteral("…"), true});
      continue;
    }
    units.push_back({shown[k], QString(), k > 0});
  }
  if (solution.remark) units.push_back({-1, QString(), false, true});
  return units;
}

// What a unit takes at one size: its width, and the room its small quotients need above the top
// of its line and below the bottom of its stacked fractions.
struct UnitSize {
  double w = 0;
  double above = 0;
  double below = 0;
};

// Where the units of one chain go: the x at which each unit (its " = " included) begins, its
// line, and the top of each line.
struct ChainPlacement {
  std::vector<double> x;
  std::vector<double> w;
  std::vector<int> line;
  std::vector<double> lineTop;
  int lines = 0;
  double right = 0;
  double bottom = 0;  // below the last line, with the space kept before the next row
};

// Fills lines from x0 and breaks before a unit that would pass xr; a continued line begins at
// xc. Lines of stacked fractions (2h high) are h/3 apart, further where small quotients need the
// room; the first line's top is `top`, lowered for quotients over it. False when a unit is wider
// than its line.
bool placeChain(const std::vector<UnitSize>& units, double top, double h, double x0, double xc,
                double xr, ChainPlacement* pl) {
  *pl = ChainPlacement();
  pl->lines = 1;
  double x = x0;
  bool fits = true;
  std::vector<double> above(1, 0), below(1, 0);
  for (size_t i = 0; i < units.size(); ++i) {
    const double w = units[i].w;
    if (i > 0 && x + w > xr + kEps) {
      ++pl->lines;
      above.push_back(0);
      below.push_back(0);
      x = xc;
    }
    if (x + w > xr + kEps) fits = false;
    pl->x.push_back(x);
    pl->w.push_back(w);
    pl->line.push_back(pl->lines - 1);
    above.back() = std::max(above.back(), units[i].above);
    below.back() = std::max(below.back(), units[i].below);
    x += w;
    pl->right = std::max(pl->right, x);
  }
  double y = top + above[0];
  for (int l = 0; l < pl->lines; ++l) {
    pl->lineTop.push_back(y);
    if (l + 1 < pl->lines) y += 2 * h + std::max(h / 3, below[size_t(l)] + above[size_t(l) + 1]);
  }
  pl->bottom = y + 2 * h + below.back() + h / 3;
  return fits;
}

}  // namespace

struct WorksheetComposer::KeyPlan {
  struct Chain {
    int64_t K = 0;
    bool kakko = true;
    Solution solution;
    std::vector<KeyUnit> units;
    ChainPlacement placement;
    // The cell, on page `page`.
    int page = 0;
    double colX = 0, rowY = 0, right = 0, bottom = 0;
  };
  std::vector<Chain> chains;
  int size = kMinFontSize;
};

WorksheetComposer::WorksheetComposer(PageModel& prev, Typesetter& typesetter,
                                     const MainSettings& settings, const GenerationSettings& gen,
                                     const TPageStr& DateTime)
    : prev_(prev),
      ts_(typesetter),
      s_(settings),
      gen_(gen),
      dateTime_(DateTime),
      clock_([] { return QDateTime::currentDateTime(); }) {}

void WorksheetComposer::useProblemSize(int size) {
  CanvasFont f = s_.FntExam;
  f.size = size;
  prev_.SetFontSets(f);
  ts_.SignHeight = prev_.GetHeight(QStringLiteral("8"));
  ts_.setPitchFromWidth(prev_.GetWidth(QStringLiteral("88")));
  ts_.WholePartGap = -1;
}

double WorksheetComposer::problemLineWidth(const SheetProblem& q) {
  const double p = ts_.CharPitch;
  double w = ts_.ValueWidth(q.first, q.fKakko.value_or(gen_.fKakko));
  if (q.kind == pkMixedToImproper || q.kind == pkImproperToMixed) {
    w += 3 * p;
  } else {
    w += double(OperatorCaption(q.kind).size() + 1) * p;
    w += ts_.ValueWidth(q.second, true) + 2 * p;
  }
  return w + ts_.ValueWidth(q.answer, false);
}

bool WorksheetComposer::ComposeWorksheet(int sheetKind, const ProblemSet& problems, int page) {
  if (problems.empty() || page < 0) return false;
  const bool answerSheet = sheetKind == AnswerSheet;
  const bool keySheet = sheetKind == SolutionSheet;
  const double pageW = prev_.Get_UnitWidth();
  const double pageH = prev_.Get_UnitHeight();
  CanvasFont scratch;

  // The four page strings: position from the preview's page string, font as the sheet's table
  // says (the header in the date line's font, the footer in the header's).
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

  // Where each page string will be drawn, measured in its own font as the renderer places it: a
  // free one at its y, a header at the top, a footer at the foot above the credit line, a title
  // or subtitle below the header.
  std::vector<Band> bands;
  double creditH = 0;
  if (!prev_.Copyright().psStr.isEmpty()) {
    Typesetter::LoadPageStrFont(prev_.Copyright(), scratch);
    prev_.SetFontSets(scratch);
    creditH = prev_.GetHeight(prev_.Copyright().psStr);
  }
  double headerBottom = 0;
  for (size_t i = 0; i < std::size(pageLines); ++i) {
    const PageLine& l = pageLines[i];
    const int mode = l.position.psPos;
    if (l.text.isEmpty() || mode == 0 || (i == 0 && mode < 0)) continue;
    Typesetter::LoadPageStrFont(l.font, scratch);
    prev_.SetFontSets(scratch);
    const double h = prev_.GetHeight(l.text);
    const double y = mode >= 4 ? coordinate(l.position.psY)
                     : i == 0  ? 0
                     : i == 1  ? pageH - h - creditH
                               : headerBottom;
    if (i == 0) headerBottom = y + h;
    bands.push_back({y, y + h});
  }

  // The date line in its box, as wide and high as its texts need in its own font; the name
  // heading below the divider.
  const QString dateText = u' ' + s_.sDateTime + u' ';
  const QString nameText = QStringLiteral("　") + s_.sName + u' ';
  const bool dateBox = !s_.sDateTime.isEmpty() && dateTime_.psPos != 0;
  const double X0 = coordinate(dateTime_.psX);
  const double Y0 = coordinate(dateTime_.psY);
  double dateW = 0, dateH = 0;
  if (dateBox) {
    Typesetter::LoadPageStrFont(dateTime_, scratch);
    prev_.SetFontSets(scratch);
    dateW = prev_.GetWidth(dateText);
    if (!s_.sName.isEmpty()) dateW = std::max(dateW, prev_.GetWidth(nameText));
    dateH = prev_.GetHeight(dateText);
    bands.push_back({Y0, Y0 + 6 * dateH});
  }

  // The grid lies between the margins, below what is drawn above it and above what is drawn
  // below it, on working copies of the margins. Whatever the page strings are, every row keeps
  // room for a stacked value at the smallest size: a string that would leave less is placed on
  // the other side of the grid, or, when neither side leaves room, not given way to.
  Layout layout;
  layout.cols = gen_.ExamColN;
  layout.rows = gen_.ExamRowN;
  layout.left = workingMargin(s_.WindowLeft, pageW);
  layout.inner = pageW - workingMargin(s_.WindowRight, pageW);
  double top = workingMargin(s_.WindowTop, pageH);
  double under = pageH - std::max(workingMargin(s_.WindowBottom, pageH), 10.0);
  CanvasFont smallest = s_.FntExam;
  smallest.size = kMinFontSize;
  prev_.SetFontSets(smallest);
  const double rowNeed = 2 * prev_.GetHeight(QStringLiteral("8"));
  const auto rowsFit = [&](double t, double u) {
    return layout.rows < 1 || (u - (t + kGap)) / layout.rows >= rowNeed - kEps;
  };
  for (const Band& b : bands) {
    if (b.bottom <= top + kEps || b.top >= under - kEps) continue;
    const bool canRaise = rowsFit(b.bottom, under);
    const bool canLower = rowsFit(top, b.top - kGap);
    const bool upperHalf = b.top + b.bottom < pageH;
    if (canRaise && (upperHalf || !canLower))
      top = b.bottom;
    else if (canLower)
      under = b.top - kGap;
  }
  layout.upper = top + kGap;
  layout.under = under;
  grid_ = {layout.upper, layout.inner, layout.under};

  // The size of the problem font for this page, and the key's pages.
  fit_ = SheetFit();
  fit_.storedSize = s_.FntExam.size;
  fit_.settingsColumns = layout.cols;
  fit_.columns = layout.cols;
  fit_.rows = layout.rows;
  const int count = std::min(int(problems.size()), layout.cells());
  const double colW = layout.cols > 0 ? (layout.inner - layout.left) / layout.cols : 0;
  const double rowH = layout.rows > 0 ? (layout.under - layout.upper) / layout.rows : 0;
  std::unique_ptr<KeyPlan> plan;
  if (keySheet) {
    plan = std::make_unique<KeyPlan>(planKey(problems, layout));
    if (page >= fit_.pages) return false;
  } else {
    if (page > 0) return false;
    std::vector<double> labelW;
    for (int k = 0; k < count; ++k) labelW.push_back(numberLabel(k + 1, 0, 0, scratch, false).width());
    // The largest size from the user's down to the smallest at which every problem, with room
    // for its answer after "=", fits its cell and every stacked value its row. Sizes far beyond
    // what a row holds at the smallest size's proportions are not tried.
    const int stored = std::max(s_.FntExam.size, kMinFontSize);
    int size = stored;
    if (rowH > 0 && rowNeed > 0) {
      const double most = kMinFontSize * (rowH / rowNeed) * 1.25 + 2;
      if (std::isfinite(most) && most < size) size = std::max(kMinFontSize, int(most));
    }
    // The space after the number: the user's, or, where no size fits with it, one character.
    const auto separation = [&] { return fit_.narrowGap ? std::min(s_.ExamSeparate, ts_.CharPitch) : s_.ExamSeparate; };
    const auto allFit = [&]() {
      if (2 * ts_.SignHeight > rowH + kEps) return false;
      for (int k = 0; k < count; ++k)
        if (labelW[size_t(k)] + separation() + problemLineWidth(problems[size_t(k)]) > colW + kEps)
          return false;
      return true;
    };
    const int largest = size;
    for (;; --size) {
      useProblemSize(size);
      if (count == 0 || allFit()) break;
      if (size > kMinFontSize) continue;
      if (fit_.narrowGap || s_.ExamSeparate <= ts_.CharPitch) {
        fit_.tooDense = true;
        break;
      }
      fit_.narrowGap = true;
      size = largest + 1;
    }
    fit_.usedSize = size;
  }

  // ---- The commands --------------------------------------------------------------------------
  prev_.ClearProgramList();
  prev_.PrevInit();
  ts_.ResetCurrentFont();
  for (const PageLine& l : pageLines) {
    Typesetter::LoadPageStrFont(l.font, scratch);
    ts_.EmitFontChange(scratch);
    (prev_.*l.emitter)(l.text, l.position.psPos, coordinate(l.position.psX), coordinate(l.position.psY));
  }
  if (dateBox) {
    Typesetter::LoadPageStrFont(dateTime_, scratch);
    ts_.EmitFontChange(scratch);
    const double W = dateW, h = dateH;
    prev_.PrevTextOut(X0, Y0 + h / 2, dateText, QStringLiteral("NIL"));
    if (!s_.sName.isEmpty()) prev_.PrevTextOut(X0, Y0 + 3.5 * h, nameText, QStringLiteral("NIL"));
    prev_.PrevPenSize(1);
    prev_.PrevLine(X0, Y0, X0 + W, Y0);
    prev_.PrevLine(X0 + W, Y0, X0 + W, Y0 + 6 * h);
    prev_.PrevLine(X0 + W, Y0 + 6 * h, X0, Y0 + 6 * h);
    prev_.PrevLine(X0, Y0 + 6 * h, X0, Y0);
    prev_.PrevLine(X0, Y0 + 2 * h, X0 + W, Y0 + 2 * h);
  }
  if (s_.WindowFrame) {
    const double l = layout.left, u = layout.upper, r = layout.inner, b = layout.under;
    prev_.PrevPenSize(1);
    prev_.PrevPenStyle(QStringLiteral("psDot"));
    prev_.PrevLine(l, u, r, u);
    prev_.PrevLine(r, u, r, b);
    prev_.PrevLine(r, b, l, b);
    prev_.PrevLine(l, b, l, u);
  }
  prev_.PrevPenSize(1);
  prev_.PrevPenStyle(QStringLiteral("psSolid"));

  if (keySheet) {
    drawKeyPage(*plan, page);
    if (refresh_) refresh_();
    return true;
  }

  CanvasFont examFont = s_.FntExam;
  examFont.size = fit_.usedSize;
  const double p = ts_.CharPitch;
  const double h = ts_.SignHeight;
  // The columns' left edges. On a grid too dense even for the smallest size, each column is as
  // wide as its widest problem needs with one character after the number, and the columns use
  // the side margins before they overlap; what overlap is left is shared by every column.
  std::vector<double> colX;
  for (int c = 0; c < layout.cols && c * layout.rows < count; ++c) colX.push_back(layout.left + c * colW);
  if (fit_.tooDense && !colX.empty()) {
    std::vector<double> need(colX.size(), 0);
    for (int k = 0; k < count; ++k) {
      const QSizeF label = numberLabel(k + 1, 0, 0, scratch, false);
      double& n = need[size_t(k / layout.rows)];
      n = std::max(n, label.width() + std::min(s_.ExamSeparate, p) + problemLineWidth(problems[size_t(k)]));
    }
    double total = 0;
    for (const double n : need) total += n;
    const double share = need.size() > 1 ? std::max(0.0, total - pageW) / double(need.size() - 1) : 0;
    double x = std::max(0.0, std::min(layout.left, pageW - total));
    for (size_t c = 0; c < colX.size(); ++c) {
      colX[c] = std::min(colX[c], x);
      x += need[c] - share;
    }
  }
  for (int k = 0; k < count; ++k) {
    const SheetProblem& q = problems[size_t(k)];
    const int c = k / layout.rows, r = k % layout.rows;
    const double rowY = layout.upper + r * rowH;
    const double numW = numberLabel(k + 1, colX[size_t(c)], rowY, scratch, true).width();
    double ex = colX[size_t(c)] + numW + (fit_.narrowGap ? std::min(s_.ExamSeparate, p) : s_.ExamSeparate);
    double ey = rowY;
    ts_.EmitFontChange(examFont);
    if (fit_.tooDense) {
      // A problem wider than the page moves left onto its number rather than off the page; rows
      // too low stay on the page too.
      const double w = problemLineWidth(q);
      ex = std::max(0.0, std::min(ex, pageW - w));
      ey = std::max(0.0, std::min(ey, pageH - 2 * h));
    }
    if (answerSheet) {
      ts_.TypesetValue(q.answer, false, ex, ey);
      continue;
    }
    double cx = ts_.TypesetValue(q.first, q.fKakko.value_or(gen_.fKakko), ex, ey);
    if (q.kind == pkMixedToImproper || q.kind == pkImproperToMixed) {
      prev_.PrevTextOut(cx, ey + h / 2, QStringLiteral(" = "), QStringLiteral("Nil"));
      cx += 3 * p;
    } else {
      const QString t = OperatorCaption(q.kind) + u' ';
      prev_.PrevTextOut(cx, ey + h / 2, t, QStringLiteral("Nil"));
      cx += double(t.size()) * p;
      cx = ts_.TypesetValue(q.second, true, cx, ey);
      prev_.PrevTextOut(cx, ey + h / 2, QStringLiteral(" ="), QStringLiteral("Nil"));
      cx += 2 * p;
    }
    if (s_.AnswerType == 2) ts_.TypesetValue(q.answer, false, cx, ey);
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

WorksheetComposer::KeyPlan WorksheetComposer::planKey(const ProblemSet& problems,
                                                      const Layout& layout) {
  KeyPlan plan;
  const int count = std::min(int(problems.size()), layout.cells());
  CanvasFont scratch;
  std::vector<QSizeF> labels;
  for (int k = 0; k < count; ++k) {
    const SheetProblem& q = problems[size_t(k)];
    KeyPlan::Chain chain;
    chain.K = k + 1;
    chain.kakko = q.fKakko.value_or(gen_.fKakko);
    chain.solution = SolveProblem(q.kind, q.first, q.second, q.fTaiBun.value_or(gen_.fTaiBun));
    chain.units = chainUnits(chain.solution, 0);
    plan.chains.push_back(std::move(chain));
    labels.push_back(numberLabel(k + 1, 0, 0, scratch, false));
  }
  const int stored = std::max(s_.FntExam.size, kMinFontSize);
  fit_.storedSize = s_.FntExam.size;
  fit_.usedSize = stored;
  if (count == 0) return plan;

  // The metrics of one size of the problem font, and the sizes of every unit at that size.
  CanvasFont keyFont = s_.FntExam;
  double h = 0, lineH = 0;
  const auto useSize = [&](int size) {
    keyFont.size = size;
    prev_.SetFontSets(keyFont);
    ts_.SignHeight = prev_.GetHeight(QStringLiteral("8"));
    ts_.setPitch(keyPitch(prev_.GetWidth(QStringLiteral("88"))));
    ts_.WholePartGap = ts_.CharPitch / 2;
    h = ts_.SignHeight;
    lineH = keyLineHeight(h);
  };
  const auto unitSizes = [&](const KeyPlan::Chain& chain, const std::vector<KeyUnit>& units) {
    std::vector<UnitSize> sizes;
    for (const KeyUnit& u : units) {
      UnitSize us;
      us.w = u.equals ? ts_.SignWidth(Typesetter::EqualsSign()) : 0;
      if (u.step >= 0) {
        const SolutionStep& step = chain.solution.steps[size_t(u.step)];
        us.w += ts_.StepWidth(step, chain.kakko);
        for (const SolutionTerm& t : step.terms) {
          us.above = std::max(us.above, ts_.TermRoomAbove(t));
          us.below = std::max(us.below, ts_.TermRoomBelow(t));
        }
      } else {
        us.w += u.remark ? ts_.RemarkWidth(*chain.solution.remark) : prev_.GetWidth(u.text);
      }
      sizes.push_back(us);
    }
    return sizes;
  };
  std::map<int, std::vector<std::vector<UnitSize>>> sizesBySize;
  const auto sizesAt = [&](int size) -> const std::vector<std::vector<UnitSize>>& {
    auto found = sizesBySize.find(size);
    if (found == sizesBySize.end()) {
      std::vector<std::vector<UnitSize>> all;
      for (const KeyPlan::Chain& chain : plan.chains) all.push_back(unitSizes(chain, chain.units));
      found = sizesBySize.emplace(size, std::move(all)).first;
    }
    return found->second;
  };

  // A chain in its cell: beside the number, continued lines begin (0) with their "=" under the
  // first one, (1) indented by two characters, or (2), for a narrow cell, a character after the
  // number; (3) from under the number across the whole cell. The first of these from `from` on
  // that fits, or -1 (then `out` holds the last tried).
  int lastStyle = 3;  // the last of the four tried
  const auto place = [&](const KeyPlan::Chain& chain, const QSizeF& label,
                         const std::vector<UnitSize>& units, int from, ChainPlacement* out) {
    const double p = ts_.CharPitch;
    const double limit = chain.right - p;  // a character's room from the next column's number
    const double xNumber = chain.colX + label.width();
    const double x0 = xNumber + s_.ExamSeparate;
    const double first = units.empty() ? 0 : units[0].w;
    for (int k = std::max(0, from); k <= lastStyle; ++k) {
      bool fits;
      if (k < 3) {
        const double starts[] = {x0 + first, x0 + 2 * p, std::min(xNumber + p, x0 + 2 * p)};
        fits = placeChain(units, chain.rowY, h, x0, starts[k], limit, out);
      } else {
        const double xb = chain.colX + p / 2;
        fits = placeChain(units, chain.rowY + label.height(), h, xb, xb + p, limit, out);
      }
      if (fits && out->bottom <= chain.bottom + kEps) return k;
    }
    return -1;
  };

  // The grids to try: the settings' own, then fewer columns on one page, then more pages.
  struct Grid {
    int cols, rows, perPage;
  };
  std::vector<Grid> grids{{layout.cols, layout.rows, layout.cells()}};
  for (int c = std::min(layout.cols - 1, count); c >= 1; --c) {
    const int r = (count + c - 1) / c;
    grids.push_back({c, r, c * r});
  }
  for (int pages = 2; pages <= count; ++pages) {
    const int n = (count + pages - 1) / pages;
    if (n == (count + pages - 2) / (pages - 1)) continue;  // the same pages as one fewer
    for (int c = std::min(layout.cols, n); c >= 1; --c) grids.push_back({c, (n + c - 1) / c, n});
  }
  const double gridW = layout.inner - layout.left;
  const double gridH = layout.under - layout.upper;
  const auto putInCells = [&](const Grid& g) {
    const double colW = gridW / g.cols, rowH = gridH / g.rows;
    for (int k = 0; k < count; ++k) {
      KeyPlan::Chain& chain = plan.chains[size_t(k)];
      chain.page = k / g.perPage;
      const int j = k % g.perPage;
      chain.colX = layout.left + (j / g.rows) * colW;
      chain.rowY = layout.upper + (j % g.rows) * rowH;
      chain.right = chain.colX + colW;
      chain.bottom = chain.rowY + rowH;
    }
  };
  // Sets every chain of the grid at `size`, continued lines alike across the sheet as far as each
  // chain allows; false when one does not fit.
  const auto placeAll = [&](int size) {
    useSize(size);
    const auto& widths = sizesAt(size);
    int style = 0;
    for (int k = 0; k < count; ++k) {
      KeyPlan::Chain& chain = plan.chains[size_t(k)];
      const int got = place(chain, labels[size_t(k)], widths[size_t(k)], 0, &chain.placement);
      if (got < 0) return false;
      style = std::max(style, got);
    }
    for (int k = 0; k < count && style > 0; ++k) {
      KeyPlan::Chain& chain = plan.chains[size_t(k)];
      ChainPlacement pl;
      if (place(chain, labels[size_t(k)], widths[size_t(k)], style, &pl) >= 0)
        chain.placement = std::move(pl);
    }
    return true;
  };

  // Chains begin beside their numbers where any size allows it, else under them.
  for (size_t tried = 0; tried < 2 * grids.size(); ++tried) {
    const Grid& g = grids[tried / 2];
    lastStyle = tried % 2 == 0 ? 2 : 3;
    putInCells(g);
    // Line heights grow with the size, so sizes well beyond what a row holds at the smallest
    // size's proportions are not tried: a huge font from a hand-edited settings file takes few
    // steps.
    int size = stored;
    useSize(kMinFontSize);
    const double most = kMinFontSize * (gridH / g.rows / lineH) * 1.25 + 2;
    if (std::isfinite(most) && most < size) size = std::max(kMinFontSize, int(most));
    for (; size >= kMinFontSize; --size) {
      if (!placeAll(size)) continue;
      plan.size = size;
      fit_.usedSize = size;
      fit_.columns = g.cols;
      fit_.rows = g.rows;
      fit_.pages = (count + g.perPage - 1) / g.perPage;
      return plan;
    }
  }

  // Not even a page for each chain holds them all at the smallest size (only values far beyond
  // any the generator makes): on the settings' grid, a chain that does not fit leaves out steps
  // before the answer, and keeps the placement that passes its cell's right edge least and then
  // hides the fewest lines; lines under the cell are not drawn.
  fit_.tooDense = true;
  fit_.usedSize = kMinFontSize;
  lastStyle = 3;
  const Grid own = grids.front();
  putInCells(own);
  useSize(kMinFontSize);
  plan.size = kMinFontSize;
  for (int k = 0; k < count; ++k) {
    KeyPlan::Chain& chain = plan.chains[size_t(k)];
    const size_t steps = chain.solution.steps.size();
    bool first = true;
    double bestOverflow = 0;
    int bestHidden = 0;
    for (size_t leftOut = 0; leftOut == 0 || leftOut + 2 <= steps; ++leftOut) {
      std::vector<KeyUnit> units = chainUnits(chain.solution, leftOut);
      ChainPlacement pl;
      const bool fits = place(chain, labels[size_t(k)], unitSizes(chain, units), 0, &pl) >= 0;
      const double overflow = std::max(0.0, pl.right - (chain.right + ts_.CharPitch / 2));
      int hidden = 0;
      for (int l = 1; l < pl.lines; ++l) hidden += pl.lineTop[size_t(l)] + 2 * h > chain.bottom + kEps;
      if (fits || first || overflow < bestOverflow - kEps ||
          (overflow <= bestOverflow + kEps && hidden < bestHidden)) {
        chain.units = std::move(units);
        chain.placement = std::move(pl);
        bestOverflow = overflow;
        bestHidden = hidden;
        first = false;
      }
      if (fits) break;
    }
  }
  return plan;
}

void WorksheetComposer::drawKeyPage(const KeyPlan& plan, int page) {
  CanvasFont scratch;
  CanvasFont keyFont = s_.FntExam;
  keyFont.size = plan.size;
  const double pageRight = prev_.Get_UnitWidth();
  const double pageBottom = prev_.Get_UnitHeight();
  for (const KeyPlan::Chain& chain : plan.chains) {
    if (chain.page != page) continue;
    numberLabel(chain.K, chain.colX, chain.rowY, scratch, true);
    ts_.EmitFontChange(keyFont);
    prev_.SetFontSets(keyFont);
    ts_.SignHeight = prev_.GetHeight(QStringLiteral("8"));
    ts_.setPitch(keyPitch(prev_.GetWidth(QStringLiteral("88"))));
    ts_.WholePartGap = ts_.CharPitch / 2;
    const double h = ts_.SignHeight;
    for (size_t i = 0; i < chain.units.size(); ++i) {
      const KeyUnit& u = chain.units[i];
      const int line = chain.placement.line[i];
      double y = chain.placement.lineTop[size_t(line)];
      if (line > 0 && y + 2 * h > chain.bottom + kEps) continue;
      y = std::max(0.0, std::min(y, pageBottom - 2 * h));
      double x = chain.placement.x[i];
      const double w = chain.placement.w[i];
      if (x + w > pageRight) x = std::max(0.0, pageRight - w);
      if (u.equals) x = ts_.TypesetSign(Typesetter::EqualsSign(), x, y);
      if (u.step >= 0)
        ts_.TypesetStep(chain.solution.steps[size_t(u.step)], chain.kakko, x, y);
      else if (u.remark)
        ts_.TypesetRemark(*chain.solution.remark, x, y);
      else
        prev_.PrevTextOut(x, y + h / 2, u.text, QStringLiteral("Nil"));
    }
  }
}

}  // namespace zubira
