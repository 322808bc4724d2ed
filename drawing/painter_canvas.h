#pragma once
// The real canvas: paints with a QPainter on the 1:1 page image or on a printer. Between
// renderings it has no painter; it then still measures, and drawing calls do nothing.

#include "drawing/canvas.h"

#include <QGlyphRun>
#include <QHash>
#include <QRawFont>

#include <optional>

class QPainter;

namespace zubira {

class PainterCanvas : public Canvas {
 public:
  PainterCanvas(int dpiX, int dpiY) : Canvas(dpiX, dpiY) {}

  // Draws through `painter` (active on the target) until detach().
  void attach(QPainter* painter);
  // Draws the texts still waiting (see flushText) and lets the painter go.
  void detach();
  QPainter* painter() const { return painter_; }

  void textOut(int x, int y, const QString& text, const std::vector<int>* advances) override;
  void angleTextOut(int x, int y, const QString& text, const AngleFont& angleFont) override;
  void line(int x1, int y1, int x2, int y2) override;
  void fillRect(int left, int top, int right, int bottom) override;
  void stretchDraw(int left, int top, int right, int bottom, const QImage& picture) override;

 private:
  // Whether a text in `qfont` is filled as outlines rather than drawn from Qt's glyph cache.
  bool outlined(const QFont& qfont) const;
  void fillOutlines(const QFont& qfont, qreal x, qreal baseline, const QString& text,
                    const std::vector<int>* advances, const QColor& color);
  // `fontId` is the canvas's number for the font, or -1 for a font it did not make.
  void drawTextAt(const QFont& qfont, int fontId, int x, int y, const QString& text,
                  const std::vector<int>* advances);
  const QGlyphRun* spacedRun(const QFont& qfont, int fontId, const QString& text, qsizetype count,
                            const std::vector<int>& advances);
  std::optional<QGlyphRun> makeSpacedRun(const QFont& qfont, const QString& text, qsizetype count,
                                         const std::vector<int>& advances);
  // Spaced runs by font number and text with its advances; none when the text cannot be one run.
  QHash<std::pair<int, QString>, std::optional<QGlyphRun>> spaced_;
  struct Shaped {
    QList<QGlyphRun> runs;
    qreal ascent;
  };
  const Shaped* shaped(const QFont& qfont, int fontId, const QString& text);
  // Texts drawn one after another in the same face and colour go to the painter as one glyph run:
  // a PDF page then holds one text object for them instead of one for each text, and those
  // objects were most of the cost of writing a page. The glyphs keep their places and their
  // order; anything else drawn, and the end of the painting, first draws the texts waiting.
  void queueRun(QPointF origin, const QGlyphRun& run, const QColor& color);
  void flushText();
  void setTextColor(const QColor& color);
  struct PendingText {
    QRawFont font;
    QColor color;
    QGlyphRun::GlyphRunFlags flags;
    QList<quint32> glyphs;
    QList<QPointF> positions;
  };
  PendingText pending_;
  bool hasPending_ = false;
  QHash<std::pair<int, QString>, Shaped> shaped_;
  QPainter* painter_ = nullptr;
  // The raw font of the font last drawn with a glyph run.
  bool hasRawFont_ = false;
  QFont rawFontOf_;
  QRawFont rawFont_;
};

}  // namespace zubira
