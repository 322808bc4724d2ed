#include "drawing/canvas.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <limits>

namespace zubira {

int roundHalfAway(double x) {
  double r = x >= 0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5);
  // Out-of-range values saturate instead of overflowing the conversion.
  if (!(r >= double(std::numeric_limits<int>::min()))) return std::numeric_limits<int>::min();
  if (!(r <= double(std::numeric_limits<int>::max()))) return std::numeric_limits<int>::max();
  return static_cast<int>(r);
}

Canvas::Canvas(int dpiX, int dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}
Canvas::~Canvas() = default;

void Canvas::setResolution(int dpiX, int dpiY) {
  dpiX_ = dpiX;
  dpiY_ = dpiY;
}

// Negated before rounding: a size at the end of the integer range saturates instead of
// overflowing the negation.
int Canvas::fontHeight() const { return roundHalfAway(-double(font.size) * dpiY_ / 72.0); }

QFont Canvas::qtFont(const CanvasFont& f) const {
  QFont q(f.name);
  // A font is as many pixels high as its point size at this resolution, never less than one.
  int px = roundHalfAway(std::fabs(double(f.size)) * dpiY_ / 72.0);
  q.setPixelSize(std::clamp(px, 1, 32767));
  q.setBold(f.bold);
  q.setItalic(f.italic);
  q.setUnderline(f.underline);
  q.setStrikeOut(f.strikeout);
  return q;
}

QFont Canvas::qtFont(const AngleFont& f) const {
  QFont q(f.name);
  q.setPixelSize(int(std::clamp<qint64>(qAbs(qint64(f.height)), 1, 32767)));
  q.setWeight(f.bold ? QFont::Bold : QFont::Normal);
  q.setItalic(f.italic);
  q.setUnderline(f.underline);
  q.setStrikeOut(f.strikeout);
  return q;
}

int Canvas::textWidth(const QString& text) const {
  return QFontMetrics(qtFont(font)).horizontalAdvance(text);
}

int Canvas::textHeight(const QString&) const {
  QFontMetrics m(qtFont(font));
  return m.ascent() + m.descent();
}

}  // namespace zubira
