#pragma once
// The surface the interpreter draws on, in device pixels: text with optional per-character
// advances, rotated text, lines, rectangle fills, stretched pictures, and the font, pen and brush
// they use. Like a desktop canvas it keeps its drawing state between calls.
//
// Measuring needs no painting: a canvas always measures text in its current font at its own
// resolution, so the page model can lay text out between renderings. PainterCanvas paints with
// QPainter on an image or a printer; tests use RecordingCanvas, which keeps every call.

#include "platform/tcolor.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>
#include <vector>

namespace zubira {

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot };

struct CanvasFont {
  QString name = QStringLiteral("ＭＳ Ｐゴシック");
  int size = 9;  // points
  TColor color = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  bool operator==(const CanvasFont& o) const {
    return name == o.name && size == o.size && color == o.color && bold == o.bold &&
           italic == o.italic && underline == o.underline && strikeout == o.strikeout;
  }
  bool operator!=(const CanvasFont& o) const { return !(*this == o); }
};

struct CanvasPen {
  int width = 1;  // device pixels
  TColor color = 0;
  PenStyle style = PenStyle::Solid;
  bool operator==(const CanvasPen& o) const {
    return width == o.width && color == o.color && style == o.style;
  }
};

struct CanvasBrush {
  TColor color = 0xFFFFFF;
  bool solid = true;  // a clear brush leaves text backgrounds untouched
  bool operator==(const CanvasBrush& o) const { return color == o.color && solid == o.solid; }
};

// A font given by its pixel height rather than its point size, with an escapement: the form the
// interpreter uses for rotated text.
struct AngleFont {
  int height = 0;      // device pixels; negative: character height without internal leading
  int escapement = 0;  // tenths of a degree, counter-clockwise, 0..3599
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  QString name = QStringLiteral("CourierNew");
};

class Canvas {
 public:
  Canvas(int dpiX, int dpiY);
  virtual ~Canvas();

  int dpiX() const { return dpiX_; }
  int dpiY() const { return dpiY_; }
  void setResolution(int dpiX, int dpiY);

  CanvasFont font;
  CanvasPen pen;
  CanvasBrush brush;

  // Sets the brush's colour, which makes it solid; clearing it makes its colour white.
  void setBrushColor(TColor c) {
    brush.color = c;
    brush.solid = true;
  }
  void clearBrush() {
    brush.color = 0xFFFFFF;
    brush.solid = false;
  }

  // Height of the current font in device pixels in the desktop convention: negative, the
  // character height without internal leading (points × dpiY / 72, rounded).
  int fontHeight() const;

  // Width of `text` in the current font, device pixels.
  int textWidth(const QString& text) const;
  // The current font's full line height (ascent plus descent), device pixels.
  int textHeight(const QString& text) const;

  // `text` with its top-left corner at (x, y) in the current font and font colour; a solid brush
  // paints the text cell first. With `advances`, character i starts at x + advances[0..i-1].
  virtual void textOut(int x, int y, const QString& text, const std::vector<int>* advances) = 0;
  // `text` rotated about its top-left corner (x, y) in `angleFont` and the current font colour.
  virtual void angleTextOut(int x, int y, const QString& text, const AngleFont& angleFont) = 0;
  // A line in the current pen.
  virtual void line(int x1, int y1, int x2, int y2) = 0;
  // Fills left <= x < right, top <= y < bottom with the brush's colour.
  virtual void fillRect(int left, int top, int right, int bottom) = 0;
  // Stretches `picture` into left <= x < right, top <= y < bottom.
  virtual void stretchDraw(int left, int top, int right, int bottom, const QImage& picture) = 0;

  // The Qt font for a canvas font at this canvas's resolution (pixel-sized), and a number that
  // stands for it as long as this canvas lives (the same font, the same number).
  QFont qtFont(const CanvasFont& f, int* id = nullptr) const;
  QFont qtFont(const AngleFont& f) const;

  // A Qt font's line measures, kept by the canvas's number for it (`fontId` < 0: measured anew).
  struct LineMetrics {
    int ascent;
    int descent;
    int maxWidth;
  };
  LineMetrics lineMetrics(const QFont& qfont, int fontId) const;

 private:
  int dpiX_;
  int dpiY_;
  // The Qt fonts last made for canvas fonts: the same QFont keeps Qt's font engine, which a
  // fresh one looks up again in the font database at every text. A sheet alternates between a
  // few fonts.
  struct MadeFont {
    CanvasFont font;
    int dpi;
    QFont qfont;
    int id;
  };
  mutable std::vector<MadeFont> made_;
  mutable int nextFontId_ = 0;
  // Measured widths by font and text: the composer measures the same few texts in the same few
  // fonts for every cell of every sheet.
  mutable QHash<std::pair<int, QString>, int> widths_;
  mutable QHash<int, LineMetrics> metrics_;  // by font: a line is as high whatever its text
};

// Rounds to the nearest integer, halves away from zero (2.5 gives 3, -2.5 gives -3).
int roundHalfAway(double x);

}  // namespace zubira
