#include "drawing/ink_canvas.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <limits>

namespace zubira {

void InkCanvas::keep(qint64 left, qint64 top, qint64 right, qint64 bottom) {
  // Positions beyond the integer range saturate, as the model's conversions do.
  const auto clampInt = [](qint64 v) {
    return int(std::clamp<qint64>(v, std::numeric_limits<int>::min() / 2, std::numeric_limits<int>::max() / 2));
  };
  const QRect box = QRect(QPoint(clampInt(std::min(left, right)), clampInt(std::min(top, bottom))),
                          QPoint(clampInt(std::max(left, right)), clampInt(std::max(top, bottom))));
  if (!ink_.empty() && ink_.back().contains(box)) return;
  ink_.push_back(box);
}

void InkCanvas::textOut(int x, int y, const QString& text, const std::vector<int>* advances) {
  qint64 width = textWidth(text);
  if (advances && !advances->empty()) {
    // The last character starts after the others' advances; no character is wider than a line
    // is high.
    qint64 spaced = 0;
    for (size_t i = 0; i + 1 < advances->size(); ++i) spaced += std::max(0, (*advances)[i]);
    width = std::max(width, spaced + textHeight(text));
  }
  keep(x, y, qint64(x) + width, qint64(y) + textHeight(text));
  PainterCanvas::textOut(x, y, text, advances);
}

void InkCanvas::angleTextOut(int x, int y, const QString& text, const AngleFont& angleFont) {
  // Turned about its corner, the text stays within its length of the corner.
  const QFontMetrics m(qtFont(angleFont));
  const qint64 reach = qint64(m.horizontalAdvance(text)) + m.height();
  keep(qint64(x) - reach, qint64(y) - reach, qint64(x) + reach, qint64(y) + reach);
  PainterCanvas::angleTextOut(x, y, text, angleFont);
}

void InkCanvas::line(int x1, int y1, int x2, int y2) {
  const qint64 half = std::max(1, pen.width / 2 + 1);
  keep(qint64(std::min(x1, x2)) - half, qint64(std::min(y1, y2)) - half, qint64(std::max(x1, x2)) + half,
       qint64(std::max(y1, y2)) + half);
  PainterCanvas::line(x1, y1, x2, y2);
}

void InkCanvas::fillRect(int left, int top, int right, int bottom) {
  if (!(brush.solid && brush.color == 0xFFFFFF)) keep(left, top, right, bottom);
  PainterCanvas::fillRect(left, top, right, bottom);
}

void InkCanvas::stretchDraw(int left, int top, int right, int bottom, const QImage& picture) {
  keep(left, top, right, bottom);
  PainterCanvas::stretchDraw(left, top, right, bottom, picture);
}

}  // namespace zubira
