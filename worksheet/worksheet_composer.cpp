#include "worksheet/worksheet_composer.h"

#include "drawing/page_model.h"
#include "platform/real_format.h"

#include <QLocale>
#include <QRegularExpression>

#include <vector>

namespace zubira {

QStringList memoLines(const QString& text) {
  static const QRegularExpression eol(QStringLiteral("\r\n|\n|\r"));
  QStringList lines = text.split(eol);
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
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
      {&PageModel::PrevSubTitle, answerSheet ? s_.sSubTitle + QStringLiteral(" (答)") : s_.sSubTitle,
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

  // The grid's frame.
  grid_.WindowUpper = s_.WindowTop + 5;
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
      double numW = 0;
      if (s_.fExNum) {
        const QString label = s_.ExNumLeft + QString::asprintf("%2d", int(K)) + s_.ExNumRight;
        Typesetter::LoadPageStrFont(prev_.SubTitle, scratch);
        ts_.EmitFontChange(scratch);
        prev_.PrevTextOut(colX, rowY, label, QStringLiteral("Nil"));
        prev_.SetFontSets(scratch);
        numW = prev_.GetWidth(label);
      }
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

}  // namespace zubira
