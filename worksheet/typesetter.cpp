#include "worksheet/typesetter.h"

#include "drawing/page_model.h"
#include "drawing/page_str.h"

#include <QStringList>

#include <cmath>

namespace zubira {

QString trimControls(const QString& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s[b].unicode() <= 0x20) ++b;
  while (e > b && s[e - 1].unicode() <= 0x20) --e;
  return s.mid(b, e - b);
}

void Typesetter::text(double x, double y, const QString& t) {
  if (!measuring_) prev_.PrevTextOut(x, y, t, PitchText);
}

void Typesetter::line(double x1, double y1, double x2, double y2) {
  if (!measuring_) prev_.PrevLine(x1, y1, x2, y2);
}

double Typesetter::TypesetValue(const QString& value, bool bracketNegative, double x, double y) {
  const double p = CharPitch;
  const double h = SignHeight;
  double off = 0;

  // The value's own brackets are never drawn; the typesetter draws its own.
  QString s = value;
  if (const qsizetype i = s.indexOf(u'('); i >= 0) s[i] = u' ';
  if (const qsizetype i = s.indexOf(u')'); i >= 0) s[i] = u' ';

  const qsizetype m = s.indexOf(u'-') + 1;  // 1-based, 0 when absent
  const bool negative = m > 0;
  const bool brackets = bracketNegative && negative;
  if (brackets) {
    text(x + off, y + h / 2, QStringLiteral("("));
    off += p;
  }
  if (negative) {
    text(x + off, y + h / 2, QStringLiteral("-"));
    off += p;
  }
  s = s.mid(m);

  const qsizetype k = s.indexOf(u'+') + 1;
  const qsizetype q = s.indexOf(u'/') + 1;
  if (k > 0 || q == 0) {
    const QString t = trimControls(k > 0 ? s.left(k - 1) : s);
    text(x + off, y + h / 2, t);
    off += WholePartGap < 0 ? double(t.size()) * (p + 1) : double(t.size()) * p + WholePartGap;
  } else if (negative) {
    off += p / 3;
  }

  if (!s.contains(u'/')) {
    if (brackets) {
      off -= p / 2;
      text(x + off, y + h / 2, QStringLiteral(")"));
      off += p;
    }
    return x + off;
  }

  s = trimControls(s.mid(k));
  const qsizetype slash = s.indexOf(u'/');
  return stackedFraction(trimControls(s.left(slash)), trimControls(s.mid(slash + 1)), brackets, x,
                         off, y);
}

double Typesetter::stackedFraction(const QString& num, const QString& den, bool brackets,
                                   double x, double off, double y) {
  const double p = CharPitch;
  const double h = SignHeight;
  const double numW = double(num.size()) * CharPitch;
  const double denW = double(den.size()) * CharPitch;
  const double barW = std::max(numW, denW);
  text(x + off + (barW - numW) / 2, y, num);
  text(x + off + (barW - denW) / 2, y + h, den);

  const double x1 = x + off - p / 4;
  double x2 = x1 + barW + p / 2;
  const double yb = y + h;
  line(x1, yb, x2, yb);
  if (brackets) {
    text(x2, y + h / 2, QStringLiteral(")"));
    x2 += p / 2;
  }
  return x2 + p / 2;
}

namespace {

// 2×3+1: the products joined by "+", their factors by "×".
QString sumOfProducts(const std::vector<std::vector<int64_t>>& sum) {
  QStringList products;
  for (const std::vector<int64_t>& product : sum) {
    QStringList factors;
    for (const int64_t f : product) factors << QString::number(f);
    products << factors.join(u'×');
  }
  return products.join(u'+');
}

}  // namespace

double Typesetter::TypesetTerm(const SolutionTerm& term, bool bracketNegative, double x, double y) {
  if (term.kind != SolutionTerm::Unmultiplied)
    return TypesetValue(FormatSolutionTerm(term), bracketNegative, x, y);
  const double p = CharPitch;
  const double h = SignHeight;
  const bool brackets = bracketNegative && term.negative;
  double off = 0;
  if (brackets) {
    text(x + off, y + h / 2, QStringLiteral("("));
    off += p;
  }
  if (term.negative) {
    // The sign and the small gap before the bar, as a negative fraction value has them.
    text(x + off, y + h / 2, QStringLiteral("-"));
    off += p + p / 3;
  }
  return stackedFraction(sumOfProducts(term.numerator), sumOfProducts(term.denominator), brackets,
                         x, off, y);
}

double Typesetter::TypesetSign(const QString& sign, double x, double y) {
  if (!measuring_) prev_.PrevTextOut(x, y + SignHeight / 2, sign, QStringLiteral("Nil"));
  return x + SignWidth(sign);
}

double Typesetter::TypesetStep(const SolutionStep& step, bool bracketFirst, double x, double y) {
  const bool several = step.terms.size() > 1;
  for (size_t i = 0; i < step.terms.size(); ++i) {
    if (i > 0 && i - 1 < step.ops.size()) x = TypesetSign(OperatorSign(step.ops[i - 1]), x, y);
    x = TypesetTerm(step.terms[i], i > 0 || (several && bracketFirst), x, y);
  }
  return x;
}

double Typesetter::ValueWidth(const QString& text, bool bracketNegative) {
  measuring_ = true;
  const double w = TypesetValue(text, bracketNegative, 0, 0);
  measuring_ = false;
  return w;
}

double Typesetter::TermWidth(const SolutionTerm& term, bool bracketNegative) {
  measuring_ = true;
  const double w = TypesetTerm(term, bracketNegative, 0, 0);
  measuring_ = false;
  return w;
}

double Typesetter::StepWidth(const SolutionStep& step, bool bracketFirst) {
  measuring_ = true;
  const double w = TypesetStep(step, bracketFirst, 0, 0);
  measuring_ = false;
  return w;
}

QString Typesetter::OperatorSign(SolutionOp op) {
  switch (op) {
    case SolutionOp::Add: return QStringLiteral("＋ ");
    case SolutionOp::Sub: return QStringLiteral("－ ");
    case SolutionOp::Mul: return QStringLiteral("× ");
    case SolutionOp::Div: return QStringLiteral("÷ ");
  }
  return QString();
}

void Typesetter::EmitFontChange(const CanvasFont& f) {
  if (CurFont.name != f.name) {
    QString quoted = f.name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    prev_.PrevFontName(u'"' + quoted + u'"');
  }
  if (CurFont.size != f.size) prev_.PrevFontSize(f.size);
  if (CurFont.color != f.color) prev_.PrevFontColor(f.color);
  const bool styleDiffers = CurFont.bold != f.bold || CurFont.italic != f.italic ||
                            CurFont.underline != f.underline || CurFont.strikeout != f.strikeout;
  if (styleDiffers) {
    if (CurFont.bold && !f.bold) prev_.PrevFontStyle(QStringLiteral("BOLD-"));
    if (f.bold && !CurFont.bold) prev_.PrevFontStyle(QStringLiteral("BOLD"));
    if (CurFont.italic && !f.italic) prev_.PrevFontStyle(QStringLiteral("ITALIC-"));
    if (f.italic && !CurFont.italic) prev_.PrevFontStyle(QStringLiteral("ITALIC"));
  }
  CurFont = f;
}

void Typesetter::LoadPageStrFont(const TPageStr& ps, CanvasFont& f) {
  SetPageStr2Font(ps, f);
  f.color = 0;
}

void Typesetter::setPitchFromWidth(double width88) { setPitch(std::trunc(width88 * 3 / 4)); }

void Typesetter::setPitch(double pitch) {
  CharPitch = std::isfinite(pitch) && std::fabs(pitch) < 1e9 ? pitch : 0;
  PitchText = QString::number(CharPitch);
}

}  // namespace zubira
