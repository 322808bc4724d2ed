#include "drawing/painter_canvas.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPaintDevice>

#include <cmath>

#include <algorithm>

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

qsizetype characterCount(const QString& text) {
  qsizetype count = 0;
  for (qsizetype i = 0; i < text.size(); ++i, ++count)
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
  return count;
}

// On an image Qt keeps every glyph it draws as an image of its own in a glyph cache, whatever its
// size with the FreeType faces: one glyph in the largest font is a gigabyte, and a text brings
// in all of its glyphs. Beyond this many pixels (Qt's own bound for other faces) a text on an
// image is filled from its outlines instead, which takes no memory beyond the image.
constexpr qreal kMaxCachedGlyphPixels = 64;

// The rectangle between two corners, in floating point: corners anywhere in the integer range
// give no overflow.
QRectF spanRect(int left, int top, int right, int bottom) {
  return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

// The device's rectangle in the painter's current coordinates, grown by `margin` pixels.
QRectF deviceRect(const QPainter& painter, qreal margin) {
  const QPaintDevice* device = painter.device();
  const QRectF rect = QRectF(0, 0, device->width(), device->height()).adjusted(-margin, -margin, margin, margin);
  return painter.transform().inverted().mapRect(rect);
}

}  // namespace

void PainterCanvas::attach(QPainter* painter) {
  flushText();
  painter_ = painter;
  if (painter_) {
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
  }
}

void PainterCanvas::detach() {
  flushText();
  painter_ = nullptr;
}

// Texts are drawn in the pen's colour; the pen's width, cap and join do not show in a text, so
// they stay as the last line left them. A pen that does not change costs the painter nothing,
// while each change writes the whole line style into a PDF page again.
void PainterCanvas::setTextColor(const QColor& color) {
  if (painter_->pen().color() == color && painter_->pen().style() == Qt::SolidLine) return;
  QPen pen = painter_->pen();
  pen.setColor(color);
  pen.setStyle(Qt::SolidLine);
  painter_->setPen(pen);
}

void PainterCanvas::queueRun(QPointF origin, const QGlyphRun& run, const QColor& color) {
  // Underlines and strike-outs are drawn along a whole run: such a text stays a run of its own.
  if (run.underline() || run.strikeOut() || run.overline()) {
    flushText();
    setTextColor(color);
    painter_->drawGlyphRun(origin, run);
    return;
  }
  if (hasPending_ && (pending_.font != run.rawFont() || pending_.color != color || pending_.flags != run.flags()))
    flushText();
  if (!hasPending_) {
    pending_.font = run.rawFont();
    pending_.color = color;
    pending_.flags = run.flags();
    pending_.glyphs.clear();
    pending_.positions.clear();
    hasPending_ = true;
  }
  pending_.glyphs += run.glyphIndexes();
  for (const QPointF& p : run.positions()) pending_.positions.append(p + origin);
}

void PainterCanvas::flushText() {
  if (!hasPending_) return;
  hasPending_ = false;
  if (!painter_) return;
  QGlyphRun run;
  run.setRawFont(pending_.font);
  run.setGlyphIndexes(pending_.glyphs);
  run.setPositions(pending_.positions);
  run.setFlags(pending_.flags);
  setTextColor(pending_.color);
  painter_->drawGlyphRun(QPointF(0, 0), run);
}

bool PainterCanvas::outlined(const QFont& qfont) const {
  if (painter_->device()->devType() != QInternal::Image) return false;
  const qreal scale = std::sqrt(std::fabs(painter_->transform().determinant()));
  return qfont.pixelSize() * scale > kMaxCachedGlyphPixels;
}

void PainterCanvas::fillOutlines(const QFont& qfont, qreal x, qreal baseline, const QString& text,
                                 const std::vector<int>* advances, const QColor& color) {
  QPainterPath path;
  if (!advances) {
    path.addText(QPointF(x, baseline), qfont, text);
  } else {
    const QStringList chars = characters(text);
    qreal cx = x;
    for (qsizetype i = 0; i < chars.size(); ++i) {
      path.addText(QPointF(cx, baseline), qfont, chars[i]);
      cx += i < qsizetype(advances->size()) ? (*advances)[size_t(i)] : QFontMetrics(qfont).horizontalAdvance(chars[i]);
    }
  }
  painter_->save();
  painter_->setRenderHint(QPainter::Antialiasing, true);
  painter_->fillPath(path, color);
  painter_->restore();
}

void PainterCanvas::drawTextAt(const QFont& qfont, int fontId, int x, int y, const QString& text,
                               const std::vector<int>* advances) {
  const LineMetrics m = lineMetrics(qfont, fontId);
  const int height = m.ascent + m.descent;
  qsizetype count = 0;
  // Widths and positions in floating point: a text may start anywhere in the integer range.
  qreal width = 0;
  if (advances) {
    count = characterCount(text);
    for (qsizetype i = 0; i < count && i < qsizetype(advances->size()); ++i) width += (*advances)[size_t(i)];
  } else if (brush.solid) {
    width = QFontMetrics(qfont).horizontalAdvance(text);
  } else {
    // Only to tell whether the text can reach the device: a bound that needs no shaping.
    width = qreal(text.size()) * std::max(m.maxWidth, 2 * height);
  }
  // A text wholly off the device draws nothing; one that reaches it is drawn where it is.
  const QRectF cell(x, y, std::max<qreal>(width, 0), height);
  if (!deviceRect(*painter_, height).intersects(cell.adjusted(-1, -1, 1, 1))) return;
  if (brush.solid && width > 0) {
    flushText();
    painter_->fillRect(cell, toQColor(brush.color));
  }
  const QColor color = toQColor(font.color);
  const qreal baseline = qreal(y) + m.ascent;
  if (outlined(qfont)) {
    flushText();
    fillOutlines(qfont, x, baseline, text, advances, color);
    return;
  }
  if (!advances) {
    if (const Shaped* s = fontId >= 0 ? shaped(qfont, fontId, text) : nullptr) {
      // The runs stand on the line's baseline, which may lie below the font's own when a
      // fallback face is taller.
      for (const QGlyphRun& run : s->runs) queueRun(QPointF(x, baseline - s->ascent), run, color);
      return;
    }
  } else if (const QGlyphRun* run = spacedRun(qfont, fontId, text, count, *advances)) {
    queueRun(QPointF(x, baseline), *run, color);
    return;
  }
  // Texts Qt shapes as it draws them.
  flushText();
  // Setting a font makes the painter look up its font engine again; most texts keep the font.
  if (painter_->font() != qfont) painter_->setFont(qfont);
  setTextColor(color);
  if (!advances) {
    painter_->drawText(QPointF(x, baseline), text);
    return;
  }
  const QStringList chars = characters(text);
  qreal cx = x;
  for (qsizetype i = 0; i < chars.size(); ++i) {
    painter_->drawText(QPointF(cx, baseline), chars[i]);
    cx += i < qsizetype(advances->size()) ? (*advances)[size_t(i)] : QFontMetrics(qfont).horizontalAdvance(chars[i]);
  }
}

// A short text of one line shaped once into glyph runs, as drawText would shape it every time:
// the same labels, signs and page strings come back on every cell and every sheet.
const PainterCanvas::Shaped* PainterCanvas::shaped(const QFont& qfont, int fontId, const QString& text) {
  if (text.size() > 64) return nullptr;
  for (QChar c : text)
    if (c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) return nullptr;
  const std::pair<int, QString> key{fontId, text};
  if (const auto found = shaped_.constFind(key); found != shaped_.constEnd()) return &*found;
  if (shaped_.size() >= 1024) shaped_.clear();
  QTextLayout layout(text, qfont);
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (!line.isValid()) {
    layout.endLayout();
    return nullptr;
  }
  line.setPosition(QPointF(0, 0));
  layout.endLayout();
  return &*shaped_.insert(key, Shaped{layout.glyphRuns(), line.ascent()});
}

// The characters of a spaced text as one run of glyphs at their advances: the same glyphs at the
// same places as drawing each character on its own, without shaping each one. Only for a plain
// font that has every character (no fallback face, no synthesized style); null otherwise. Runs
// are kept by font, text and advances: the digits of a sheet's fractions come back on every sheet.
const QGlyphRun* PainterCanvas::spacedRun(const QFont& qfont, int fontId, const QString& text, qsizetype count,
                                          const std::vector<int>& advances) {
  if (fontId < 0 || qfont.bold() || qfont.italic()) return nullptr;
  // The key: the text's length, the text, then the advances, each number as two UTF-16 units.
  QString key;
  key.reserve(2 + text.size() + 2 * qsizetype(advances.size()));
  const auto appendNumber = [&key](quint32 n) {
    key += QChar(char16_t(n >> 16));
    key += QChar(char16_t(n & 0xFFFF));
  };
  appendNumber(quint32(text.size()));
  key += text;
  for (int a : advances) appendNumber(quint32(a));
  if (const auto found = spaced_.constFind({fontId, key}); found != spaced_.constEnd())
    return found->has_value() ? &**found : nullptr;
  std::optional<QGlyphRun> run = makeSpacedRun(qfont, text, count, advances);
  if (spaced_.size() >= 1024) spaced_.clear();
  const auto stored = spaced_.insert({fontId, key}, std::move(run));
  return stored->has_value() ? &**stored : nullptr;
}

std::optional<QGlyphRun> PainterCanvas::makeSpacedRun(const QFont& qfont, const QString& text, qsizetype count,
                                                      const std::vector<int>& advances) {
  if (!hasRawFont_ || rawFontOf_ != qfont) {
    rawFontOf_ = qfont;
    rawFont_ = QRawFont::fromFont(qfont);
    hasRawFont_ = true;
  }
  const QRawFont& raw = rawFont_;
  if (!raw.isValid()) return std::nullopt;
  const QList<quint32> glyphs = raw.glyphIndexesForString(text);
  if (glyphs.size() != count) return std::nullopt;
  for (quint32 g : glyphs)
    if (g == 0) return std::nullopt;
  QList<QPointF> positions(glyphs.size());
  qreal cx = 0;
  for (qsizetype i = 0; i < glyphs.size(); ++i) {
    positions[i] = QPointF(cx, 0);
    cx += i < qsizetype(advances.size()) ? qreal(advances[size_t(i)])
                                         : raw.advancesForGlyphIndexes(QList<quint32>{glyphs[i]}).value(0).x();
  }
  QGlyphRun run;
  run.setRawFont(raw);
  run.setGlyphIndexes(glyphs);
  run.setPositions(positions);
  run.setUnderline(qfont.underline());
  run.setStrikeOut(qfont.strikeOut());
  return run;
}

void PainterCanvas::textOut(int x, int y, const QString& text, const std::vector<int>* advances) {
  if (!painter_ || text.isEmpty()) return;
  int id = 0;
  const QFont qfont = qtFont(font, &id);
  drawTextAt(qfont, id, x, y, text, advances);
}

void PainterCanvas::angleTextOut(int x, int y, const QString& text, const AngleFont& angleFont) {
  if (!painter_ || text.isEmpty()) return;
  flushText();
  painter_->save();
  painter_->translate(x, y);
  painter_->rotate(-angleFont.escapement / 10.0);
  drawTextAt(qtFont(angleFont), -1, 0, 0, text, nullptr);
  flushText();  // in the turned coordinates
  painter_->restore();
}

void PainterCanvas::line(int x1, int y1, int x2, int y2) {
  if (!painter_) return;
  flushText();
  QPen qpen(toQColor(pen.color));
  // Qt refuses widths from 32768 on and keeps a pen one pixel wide.
  qpen.setWidth(std::clamp(pen.width, 1, 32767));
  qpen.setStyle(toQtStyle(pen.style));
  qpen.setCapStyle(pen.width > 1 ? Qt::RoundCap : Qt::SquareCap);
  qpen.setJoinStyle(Qt::RoundJoin);
  painter_->setPen(qpen);
  painter_->drawLine(x1, y1, x2, y2);
}

void PainterCanvas::fillRect(int left, int top, int right, int bottom) {
  if (!painter_) return;
  flushText();
  const QRectF r = spanRect(left, top, right, bottom) & deviceRect(*painter_, 1);
  if (!r.isEmpty()) painter_->fillRect(r, toQColor(brush.color));
}

void PainterCanvas::stretchDraw(int left, int top, int right, int bottom, const QImage& picture) {
  if (!painter_ || picture.isNull()) return;
  flushText();
  const QRectF target = spanRect(left, top, right, bottom);
  if (target.isEmpty()) return;
  // Only the part of the picture that lands on the device is handed on, so that a picture
  // stretched far beyond the page keeps its scale without coordinates Qt cannot hold.
  const QRectF device = deviceRect(*painter_, 2);
  if (device.contains(target)) {
    painter_->drawImage(target, picture);
    return;
  }
  const QRectF visible = target & device;
  if (visible.isEmpty()) return;
  const qreal sx = picture.width() / target.width(), sy = picture.height() / target.height();
  const QRectF source((visible.left() - target.left()) * sx, (visible.top() - target.top()) * sy,
                      visible.width() * sx, visible.height() * sy);
  painter_->drawImage(visible, picture, source);
}

}  // namespace zubira
