#include "drawing/painter_canvas.h"

#include <QFontMetrics>
#include <QPainter>

namespace zubira {

namespace {

Qt::PenStyle toQtStyle(PenStyle s) {
  switch (s) {
    case PenStyle::Dash: return Qt::DashLine;
    case PenStyle::Dot: return Qt::DotLine;
    case PenStyle::DashDot: return Qt::DashDotLine;
    case PenStyle::DashDotDot: return Qt::DashDotDotLine;
    case PenStyle::Solid: break;
  }
  return Qt::SolidLine;
}

// Characters as the text is advanced: a surrogate pair is one character.
QStringList characters(const QString& text) {
  QStringList out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      out << text.mid(i, 2);
      ++i;
    } else {
      out << QString(text[i]);
    }
  }
  return out;
}

QRect spanRect(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  return QRect(left, top, right - left, bottom - top);
}

}  // namespace

void PainterCanvas::attach(QPainter* painter) {
  painter_ = painter;
  if (painter_) {
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
  }
}

void PainterCanvas::drawTextAt(const QFont& qfont, int x, int y, const QString& text,
                               const std::vector<int>* advances) {
  QFontMetrics m(qfont);
  const int height = m.ascent() + m.descent();
  QStringList chars;
  int width = 0;
  if (advances) {
    chars = characters(text);
    for (qsizetype i = 0; i < chars.size() && i < qsizetype(advances->size()); ++i)
      width += (*advances)[size_t(i)];
  } else {
    width = m.horizontalAdvance(text);
  }
  if (brush.solid && width > 0) painter_->fillRect(QRect(x, y, width, height), toQColor(brush.color));
  painter_->setFont(qfont);
  painter_->setPen(toQColor(font.color));
  if (!advances) {
    painter_->drawText(QPoint(x, y + m.ascent()), text);
    return;
  }
  int cx = x;
  for (qsizetype i = 0; i < chars.size(); ++i) {
    painter_->drawText(QPoint(cx, y + m.ascent()), chars[i]);
    cx += i < qsizetype(advances->size()) ? (*advances)[size_t(i)] : m.horizontalAdvance(chars[i]);
  }
}

void PainterCanvas::textOut(int x, int y, const QString& text, const std::vector<int>* advances) {
  if (!painter_ || text.isEmpty()) return;
  drawTextAt(qtFont(font), x, y, text, advances);
}

void PainterCanvas::angleTextOut(int x, int y, const QString& text, const AngleFont& angleFont) {
  if (!painter_ || text.isEmpty()) return;
  painter_->save();
  painter_->translate(x, y);
  painter_->rotate(-angleFont.escapement / 10.0);
  drawTextAt(qtFont(angleFont), 0, 0, text, nullptr);
  painter_->restore();
}

void PainterCanvas::line(int x1, int y1, int x2, int y2) {
  if (!painter_) return;
  QPen qpen(toQColor(pen.color));
  qpen.setWidth(std::max(1, pen.width));
  qpen.setStyle(toQtStyle(pen.style));
  qpen.setCapStyle(pen.width > 1 ? Qt::RoundCap : Qt::SquareCap);
  qpen.setJoinStyle(Qt::RoundJoin);
  painter_->setPen(qpen);
  painter_->drawLine(x1, y1, x2, y2);
}

void PainterCanvas::fillRect(int left, int top, int right, int bottom) {
  if (!painter_) return;
  QRect r = spanRect(left, top, right, bottom);
  if (!r.isEmpty()) painter_->fillRect(r, toQColor(brush.color));
}

void PainterCanvas::stretchDraw(int left, int top, int right, int bottom, const QImage& picture) {
  if (!painter_ || picture.isNull()) return;
  QRect r = spanRect(left, top, right, bottom);
  if (!r.isEmpty()) painter_->drawImage(r, picture);
}

}  // namespace zubira
