#include "drawing/painter_canvas.h"
#include "drawing/recording_canvas.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <functional>

namespace zubira {
namespace {

TEST(RoundHalfAway, HalvesGoAwayFromZero) {
  struct Case {
    double x;
    int r;
  } cases[] = {{2.5, 3},   {-2.5, -3}, {2.4999, 2}, {-2.4999, -2}, {0, 0},
               {236.22, 236}, {37.79, 38}, {-0.5, -1}, {1e300, INT_MAX}, {-1e300, INT_MIN}};
  for (const Case& c : cases) EXPECT_EQ(roundHalfAway(c.x), c.r) << c.x;
}

TEST(Canvas, FontHeightIsNegativePointsAtTheResolution) {
  RecordingCanvas screen(96, 96), printer(600, 600);
  screen.font.size = 9;
  printer.font.size = 9;
  EXPECT_EQ(screen.fontHeight(), -12);
  EXPECT_EQ(printer.fontHeight(), -75);
  printer.font.size = 24;
  EXPECT_EQ(printer.fontHeight(), -200);
}

TEST(Canvas, MeasuresScaleWithResolution) {
  RecordingCanvas screen(96, 96), printer(600, 600);
  for (Canvas* c : {static_cast<Canvas*>(&screen), static_cast<Canvas*>(&printer)}) {
    c->font.name = QStringLiteral("ＭＳ Ｐゴシック");
    c->font.size = 24;
  }
  const QString text = QStringLiteral("分数の計算 12/35");
  double ratio = double(printer.textWidth(text)) / screen.textWidth(text);
  EXPECT_NEAR(ratio, 600.0 / 96, 0.4);
  EXPECT_GT(screen.textHeight(text), 24 * 96 / 72 - 1);
  EXPECT_EQ(screen.textHeight(QStringLiteral("a")), screen.textHeight(QStringLiteral("分")))
      << "the full line height, whatever the characters";
}

TEST(RecordingCanvas, KeepsCallsWithTheirState) {
  RecordingCanvas c(96, 96);
  c.font.color = 0xFF;
  c.setBrushColor(0x00FFFF);
  std::vector<int> dx{19, 19, 19};
  c.textOut(38, 38, QStringLiteral("ABC"), &dx);
  c.clearBrush();
  c.pen.width = 2;
  c.line(0, 0, 10, 10);
  ASSERT_EQ(c.calls().size(), 2u);
  EXPECT_EQ(c.calls()[0].advances, dx);
  EXPECT_TRUE(c.calls()[0].brush.solid);
  EXPECT_EQ(c.calls()[0].brush.color, 0x00FFFF);
  EXPECT_FALSE(c.calls()[1].brush.solid);
  EXPECT_EQ(c.calls()[1].brush.color, 0xFFFFFF) << "a clear brush is white";
  EXPECT_EQ(c.calls()[1].pen.width, 2);
}

// A white image painted through a canvas at 96 dpi.
struct CanvasDrawing {
  CanvasDrawing(int width, int height) : image(width, height, QImage::Format_RGB32), canvas(96, 96) {
    image.fill(Qt::white);
    painter.begin(&image);
    canvas.attach(&painter);
  }
  const QImage& finish() {
    canvas.detach();
    painter.end();
    return image;
  }
  QImage image;
  QPainter painter;
  PainterCanvas canvas;
};

class PainterCanvasTest : public ::testing::Test {
 protected:
  QImage finish() { return drawing.finish(); }
  CanvasDrawing drawing{200, 100};
  PainterCanvas& canvas = drawing.canvas;
};

TEST_F(PainterCanvasTest, SolidBrushPaintsTheTextCellClearBrushDoesNot) {
  canvas.font.size = 12;
  canvas.setBrushColor(makeTColor(255, 255, 0));
  canvas.textOut(10, 10, QStringLiteral("A"), nullptr);
  canvas.clearBrush();
  canvas.textOut(10, 60, QStringLiteral("A"), nullptr);
  const int w = canvas.textWidth(QStringLiteral("A")), h = canvas.textHeight(QStringLiteral("A"));
  QImage img = finish();
  EXPECT_EQ(img.pixelColor(10, 10), QColor(255, 255, 0)) << "cell's top-left corner";
  EXPECT_EQ(img.pixelColor(10 + w - 1, 10 + h - 1), QColor(255, 255, 0));
  EXPECT_EQ(img.pixelColor(10 + w, 10 + h), QColor(Qt::white)) << "nothing past the cell";
  EXPECT_EQ(img.pixelColor(10, 60), QColor(Qt::white));
}

TEST_F(PainterCanvasTest, AdvancesSpreadTheCharacters) {
  canvas.font.size = 9;
  canvas.clearBrush();
  std::vector<int> dx{40, 40, 40};
  canvas.textOut(0, 0, QStringLiteral("III"), &dx);
  canvas.textOut(0, 50, QStringLiteral("III"), nullptr);
  QImage img = finish();
  auto firstInk = [&](int fromX, int y0, int y1) {
    for (int x = fromX; x < img.width(); ++x)
      for (int y = y0; y < y1; ++y)
        if (qGray(img.pixel(x, y)) < 160) return x;
    return -1;
  };
  int a = firstInk(0, 0, 20), b = firstInk(a + 5, 0, 20), c = firstInk(b + 5, 0, 20);
  EXPECT_NEAR(b - a, 40, 1);
  EXPECT_NEAR(c - b, 40, 1);
  auto lastInk = [&](int y0, int y1) {
    for (int x = img.width() - 1; x >= 0; --x)
      for (int y = y0; y < y1; ++y)
        if (qGray(img.pixel(x, y)) < 160) return x;
    return -1;
  };
  EXPECT_GE(lastInk(0, 20) - a, 80) << "spaced text spans its advances";
  const int plain = firstInk(0, 50, 70);
  ASSERT_GE(plain, 0);
  EXPECT_LT(lastInk(50, 70) - plain, 40) << "unspaced text keeps the font's own advances";
}

// The box of the ink darker than mid-grey in `img`.
QRect inkBox(const QImage& img) {
  QRect box;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qGray(img.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
  return box;
}

// Texts larger than Qt's glyph cache should hold are filled from their outlines: at their place,
// in their size and colour, spaced or not.
TEST(PainterCanvasLarge, LargeTextsKeepTheirPlaceSizeAndColour) {
  const auto draw = [](int points, const std::vector<int>* dx, const QString& text) {
    CanvasDrawing d(700, 300);
    d.canvas.font.name = QStringLiteral("ＭＳ Ｐゴシック");
    d.canvas.font.size = points;
    d.canvas.font.color = makeTColor(0, 0, 255);
    d.canvas.clearBrush();
    d.canvas.textOut(20, 10, text, dx);
    return d.finish();
  };
  // 48 points are 64 pixels at 96 dpi, drawn from the glyph cache; 96 points are filled.
  const QImage cached = draw(48, nullptr, QStringLiteral("H")), filled = draw(96, nullptr, QStringLiteral("H"));
  const QRect a = inkBox(cached), b = inkBox(filled);
  ASSERT_FALSE(a.isEmpty());
  ASSERT_FALSE(b.isEmpty());
  EXPECT_NEAR(b.width(), 2 * a.width(), 3);
  EXPECT_NEAR(b.height(), 2 * a.height(), 3);
  EXPECT_NEAR(b.left() - 20, 2 * (a.left() - 20), 3);
  EXPECT_NEAR(b.top() - 10, 2 * (a.top() - 10), 3);
  const QPoint middle = b.center();
  EXPECT_EQ(filled.pixelColor(b.left() + 2, middle.y()), QColor(0, 0, 255)) << "the font's colour";

  std::vector<int> dx{200, 200};
  const QImage spaced = draw(96, &dx, QStringLiteral("II"));
  const QRect s = inkBox(spaced);
  EXPECT_NEAR(s.width(), 200 + inkBox(draw(96, nullptr, QStringLiteral("I"))).width(), 2)
      << "the second character 200 pixels after the first";
}

TEST_F(PainterCanvasTest, FillExcludesRightAndBottomEdges) {
  canvas.setBrushColor(0);
  canvas.fillRect(10, 10, 20, 15);
  QImage img = finish();
  EXPECT_EQ(img.pixelColor(10, 10), QColor(Qt::black));
  EXPECT_EQ(img.pixelColor(19, 14), QColor(Qt::black));
  EXPECT_EQ(img.pixelColor(20, 14), QColor(Qt::white));
  EXPECT_EQ(img.pixelColor(19, 15), QColor(Qt::white));
}

TEST_F(PainterCanvasTest, LinesUseThePen) {
  canvas.pen.color = makeTColor(0, 0, 255);
  canvas.pen.width = 3;
  canvas.line(0, 50, 199, 50);
  QImage img = finish();
  EXPECT_EQ(img.pixelColor(100, 50), QColor(0, 0, 255));
  EXPECT_EQ(img.pixelColor(100, 49), QColor(0, 0, 255));
  EXPECT_EQ(img.pixelColor(100, 51), QColor(0, 0, 255));
  EXPECT_EQ(img.pixelColor(100, 53), QColor(Qt::white));
}

TEST_F(PainterCanvasTest, RotatedTextTurnsCounterClockwise) {
  canvas.clearBrush();
  AngleFont f;
  f.height = -30;
  f.escapement = 900;
  canvas.angleTextOut(100, 90, QStringLiteral("IIIIII"), f);
  QImage img = finish();
  // A quarter turn counter-clockwise runs the text upwards from (100, 90), to the right of x=100
  // ... of the baseline side: ink lies above y=90 and within a narrow band of columns.
  int minY = img.height(), maxY = -1, minX = img.width(), maxX = -1;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qGray(img.pixel(x, y)) < 128) {
        minY = std::min(minY, y), maxY = std::max(maxY, y);
        minX = std::min(minX, x), maxX = std::max(maxX, x);
      }
  ASSERT_GE(maxY, 0) << "something was drawn";
  EXPECT_LE(maxY, 90);
  EXPECT_GT(maxY - minY, 3 * (maxX - minX)) << "the text runs vertically";
  EXPECT_GE(minX, 100);
}

TEST_F(PainterCanvasTest, StretchedPictureFillsItsRectangle) {
  QImage red(4, 4, QImage::Format_RGB32);
  red.fill(Qt::red);
  canvas.stretchDraw(50, 20, 150, 80, red);
  canvas.stretchDraw(10, 10, 10, 90, red);  // empty rectangle: nothing
  QImage img = finish();
  EXPECT_EQ(img.pixelColor(50, 20), QColor(Qt::red));
  EXPECT_EQ(img.pixelColor(149, 79), QColor(Qt::red));
  EXPECT_EQ(img.pixelColor(150, 80), QColor(Qt::white));
  EXPECT_EQ(img.pixelColor(10, 50), QColor(Qt::white));
}

// Texts wait to be drawn together; whatever is drawn after a text still lands on top of it.
TEST(PainterCanvasOrder, LaterDrawingCoversEarlierText) {
  QImage white(4, 4, QImage::Format_RGB32);
  white.fill(Qt::white);
  const struct {
    const char* name;
    std::function<void(PainterCanvas&)> cover;
  } cases[] = {
      {"fill", [](PainterCanvas& c) { c.fillRect(0, 0, 200, 60); }},
      {"wide line", [](PainterCanvas& c) {
         c.pen.width = 80;
         c.line(0, 30, 200, 30);
       }},
      {"picture", [&](PainterCanvas& c) { c.stretchDraw(0, 0, 200, 60, white); }},
      {"text cell", [](PainterCanvas& c) {
         c.setBrushColor(0xFFFFFF);
         c.textOut(0, 0, QStringLiteral("\u3000\u3000\u3000\u3000"), nullptr);
       }},
  };
  for (const auto& c : cases) {
    CanvasDrawing d(200, 100);
    PainterCanvas& canvas = d.canvas;
    canvas.clearBrush();
    canvas.font.size = 24;
    std::vector<int> dx{30, 30};
    canvas.textOut(5, 5, QStringLiteral("MM"), nullptr);
    canvas.textOut(5, 5, QStringLiteral("88"), &dx);
    canvas.pen.color = 0xFFFFFF;
    canvas.setBrushColor(0xFFFFFF);
    c.cover(canvas);
    canvas.textOut(5, 65, QStringLiteral("MM"), nullptr);  // below the cover: drawn
    const QImage& image = d.finish();
    int inkAbove = 0, inkBelow = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 128) ++(y < 60 ? inkAbove : inkBelow);
    EXPECT_EQ(inkAbove, 0) << c.name;
    EXPECT_GT(inkBelow, 0) << c.name;
  }
}

// Texts drawn together keep each its own colour, and each underlined text its own underline.
TEST(PainterCanvasOrder, TextsKeepTheirColoursAndUnderlines) {
  CanvasDrawing d(300, 100);
  PainterCanvas& canvas = d.canvas;
  canvas.clearBrush();
  canvas.font.size = 18;
  canvas.font.color = makeTColor(255, 0, 0);
  canvas.textOut(5, 5, QStringLiteral("HH"), nullptr);
  canvas.font.color = makeTColor(0, 0, 255);
  canvas.textOut(5, 50, QStringLiteral("HH"), nullptr);
  canvas.font.color = 0;
  canvas.font.underline = true;
  canvas.textOut(120, 5, QStringLiteral("H"), nullptr);
  canvas.textOut(200, 5, QStringLiteral("H"), nullptr);
  canvas.font.underline = false;
  canvas.textOut(120, 55, QStringLiteral("H"), nullptr);
  const QImage& img = d.finish();
  bool red = false, blue = false;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < 100; ++x) {
      const QColor c = img.pixelColor(x, y);
      if (y < 45 && c.red() > 200 && c.blue() < 60 && c.green() < 60) red = true;
      if (y >= 45 && c.blue() > 200 && c.red() < 60 && c.green() < 60) blue = true;
    }
  EXPECT_TRUE(red);
  EXPECT_TRUE(blue);
  // Both underlined texts look alike, underline included, nothing joins them, and they differ
  // from the same text without its underline.
  int differ = 0, underlined = 0;
  for (int y = 0; y < 45; ++y)
    for (int x = 0; x < 80; ++x) {
      if (img.pixel(120 + x, y) != img.pixel(200 + x, y)) ++differ;
      if (img.pixel(120 + x, y) != img.pixel(120 + x, y + 50)) ++underlined;
    }
  EXPECT_EQ(differ, 0);
  EXPECT_GT(underlined, 0);
}

TEST(PainterCanvas, WithoutAPainterItMeasuresAndDrawsNothing) {
  PainterCanvas c(600, 600);
  c.font.size = 12;
  EXPECT_GT(c.textWidth(QStringLiteral("かずの計算")), 0);
  c.textOut(0, 0, QStringLiteral("x"), nullptr);
  c.line(0, 0, 1, 1);
  SUCCEED() << "no painter, no crash";
}

}  // namespace
}  // namespace zubira
