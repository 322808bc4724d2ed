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

QFont Canvas::qtFont(const CanvasFont& f, int* id) const {
  for (const MadeFont& m : made_) {
    if (m.dpi == dpiY_ && m.font == f) {
      if (id) *id = m.id;
      return m.qfont;
    }
  }
  QFont q(f.name);
  // A font is as many pixels high as its point size at this resolution, never less than one.
  int px = roundHalfAway(std::fabs(double(f.size)) * dpiY_ / 72.0);
  q.setPixelSize(std::clamp(px, 1, 32767));
  q.setBold(f.bold);
  q.setItalic(f.italic);
  q.setUnderline(f.underline);
  q.setStrikeOut(f.strikeout);
  if (made_.size() >= 8) made_.erase(made_.begin());
  made_.push_back({f, dpiY_, q, nextFontId_});
  if (id) *id = nextFontId_;
  ++nextFontId_;
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
  int id = 0;
  const QFont q = qtFont(font, &id);
  const std::pair<int, QString> key{id, text};
  if (const auto found = widths_.constFind(key); found != widths_.constEnd()) return *found;
  if (widths_.size() >= 4096) widths_.clear();
  const int width = QFontMetrics(q).horizontalAdvance(text);
  widths_.insert(key, width);
  return width;
}

int Canvas::textHeight(const QString&) const {
  int id = 0;
  const QFont q = qtFont(font, &id);
  const LineMetrics m = lineMetrics(q, id);
  return m.ascent + m.descent;
}

Canvas::LineMetrics Canvas::lineMetrics(const QFont& qfont, int fontId) const {
  if (fontId >= 0)
    if (const auto found = metrics_.constFind(fontId); found != metrics_.constEnd()) return *found;
  const QFontMetrics m(qfont);
  const LineMetrics out{m.ascent(), m.descent(), m.maxWidth()};
  if (fontId >= 0) {
    if (metrics_.size() >= 256) metrics_.clear();
    metrics_.insert(fontId, out);
  }
  return out;
}

}  // namespace zubira
