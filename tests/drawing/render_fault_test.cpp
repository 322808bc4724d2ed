// Command lists and settings with values at the ends of their ranges, drawn through QPainter:
// positions and picture corners that convert to the ends of the integer range, font sizes of
// page strings from a broken settings file. Nothing overflows; what lies off the page is not
// drawn, what reaches the page is drawn where it belongs.

#include "drawing/page_model.h"
#include "drawing/page_renderer.h"
#include "drawing/painter_canvas.h"

#include "tests/support/fault_injection.h"
#include "tests/support/scripted_dialogs.h"

#include <QImage>
#include <QPainter>
#include <climits>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::ScriptedDialogs;

// Pixels of `image` inside `area` that are not white.
int inked(const QImage& image, QRect area) {
  int n = 0;
  area &= image.rect();
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += image.pixel(x, y) != qRgb(255, 255, 255);
  return n;
}

class CanvasAtTheEnds : public ::testing::Test {
 protected:
  CanvasAtTheEnds() : image_(100, 60, QImage::Format_RGB32), canvas_(96, 96) {
    image_.fill(Qt::white);
    painter_.begin(&image_);
    canvas_.attach(&painter_);
    canvas_.font.size = 12;
  }
  ~CanvasAtTheEnds() override {
    canvas_.detach();
    painter_.end();
  }
  const QImage& finished() {
    canvas_.detach();
    painter_.end();
    return image_;
  }
  QImage image_;
  QPainter painter_;
  PainterCanvas canvas_;
};

TEST_F(CanvasAtTheEnds, TextFarOffTheDeviceDrawsNothing) {
  std::vector<int> advances{INT_MAX, INT_MAX, INT_MAX};
  canvas_.setBrushColor(0x0000FF);  // a solid brush paints the text cell
  canvas_.textOut(10, INT_MAX, QStringLiteral("WWW"), nullptr);
  canvas_.textOut(INT_MAX, 10, QStringLiteral("WWW"), &advances);
  canvas_.textOut(INT_MIN, INT_MIN, QStringLiteral("WWW"), &advances);
  canvas_.textOut(INT_MAX - 5, INT_MAX - 5, QStringLiteral("WWW"), nullptr);
  AngleFont rotated;
  rotated.height = -16;
  rotated.escapement = 900;
  canvas_.angleTextOut(INT_MIN, INT_MAX, QStringLiteral("WWW"), rotated);
  EXPECT_EQ(inked(finished(), image_.rect()), 0);
}

TEST_F(CanvasAtTheEnds, TextReachingTheDeviceFromOutsideIsDrawn) {
  std::vector<int> advances{30, 30, 30};
  canvas_.textOut(-70, 20, QStringLiteral("WWW"), &advances);  // only its last character is on
  canvas_.textOut(95, 20, QStringLiteral("W"), nullptr);         // cut at the right edge
  const QImage& image = finished();
  EXPECT_GT(inked(image, QRect(0, 15, 25, 30)), 0);
  EXPECT_GT(inked(image, QRect(95, 15, 5, 30)), 0);
}

TEST_F(CanvasAtTheEnds, PictureStretchedOverTheWholeRangeKeepsItsScale) {
  QImage picture(2, 1, QImage::Format_RGB32);
  picture.setPixel(0, 0, qRgb(255, 0, 0));
  picture.setPixel(1, 0, qRgb(0, 0, 255));
  // The device lies at the middle of the picture's left half: everything is red.
  canvas_.stretchDraw(-700000000, INT_MIN, 2100000200, INT_MAX, picture);
  QImage image = finished().copy();
  EXPECT_EQ(image.pixel(50, 30), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(99, 59), qRgb(255, 0, 0));

  // Half on the device: the visible half is the picture's right half.
  image.fill(Qt::white);
  QPainter p(&image);
  PainterCanvas c(96, 96);
  c.attach(&p);
  c.stretchDraw(-100, 0, 100, 60, picture);
  c.detach();
  p.end();
  EXPECT_EQ(image.pixel(60, 30), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(95, 30), qRgb(0, 0, 255));
}

TEST_F(CanvasAtTheEnds, FillOverTheWholeRangeFillsTheDevice) {
  canvas_.setBrushColor(0x00FF00);
  canvas_.fillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  canvas_.setBrushColor(0x0000FF);
  canvas_.fillRect(INT_MAX, INT_MIN, INT_MAX - 1, 0);  // off the device: nothing
  const QImage& image = finished();
  EXPECT_EQ(image.pixel(0, 0), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(99, 59), qRgb(0, 255, 0));
}

// Qt takes pens narrower than 32768 pixels and draws wider ones one pixel wide; a wider pen
// draws as the widest it takes, which floods this small device.
TEST(PenAtTheEnds, WiderPensDrawAtTheWidestQtTakes) {
  for (int width : {32767, 32768, 65536, 1 << 20, INT_MAX}) {
    QImage image(100, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PainterCanvas canvas(96, 96);
    canvas.attach(&painter);
    canvas.pen.width = width;
    canvas.line(40, 30, 60, 30);
    canvas.detach();
    painter.end();
    EXPECT_EQ(inked(image, image.rect()), 100 * 60) << width;
  }
}

TEST(FontAtTheEnds, HeightsSaturateInsteadOfOverflowing) {
  PainterCanvas c(600, 600);
  c.font.size = INT_MIN;
  EXPECT_EQ(c.fontHeight(), INT_MAX);
  EXPECT_EQ(c.qtFont(c.font).pixelSize(), 32767);
  c.font.size = INT_MAX;
  EXPECT_EQ(c.fontHeight(), INT_MIN);
  EXPECT_EQ(c.qtFont(c.font).pixelSize(), 32767);
  AngleFont rotated;
  rotated.height = INT_MIN;
  EXPECT_EQ(c.qtFont(rotated).pixelSize(), 32767);
  c.font.size = 9;
  EXPECT_EQ(c.fontHeight(), -75);
}

class RenderAtTheEnds : public ::testing::Test {
 protected:
  void SetUp() override {
    model_ = std::make_unique<PageModel>(
        std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(1200, 900)), 96);
    ASSERT_TRUE(model_->ReadPrinterMetrics());
    ASSERT_TRUE(model_->GetPageSize());
    model_->setUnitType(PageModel::kUnitMillimetre);
    renderer_ = std::make_unique<PageRenderer>(*model_);
  }
  ScriptedDialogs dialogs_;
  std::unique_ptr<PageModel> model_;
  std::unique_ptr<PageRenderer> renderer_;
};

TEST_F(RenderAtTheEnds, CommandsAtTheEndsOfTheRangeDrawWhatReachesThePage) {
  model_->ListByManual() = QStringList{
      "TextOut,1e300,1e300,\"off\"",
      "TextOut,5,1e300,\"off\",100",
      "TextOutAngle,1e300,-1e300,\"off\",900",
      "Line,-1e300,1e300,1e300,-1e300",
      "PenWidth,1e300",
      "Line,1e300,1e300,1e301,1e301",
      "FontSize,1e300",
      "TextOut,1e300,5,\"off\"",
      "INITPARAM",
      "BrushColor,RED",
      "TextOut,5,5,\"on\"",
  };
  ASSERT_TRUE(renderer_->DrawGraphics());
  const QImage& page = renderer_->Image1();
  ASSERT_EQ(page.size(), QSize(192, 144));
  EXPECT_GT(inked(page, QRect(15, 15, 40, 20)), 0) << "the text on the page is drawn";
  EXPECT_TRUE(renderer_->messages().isEmpty());
}

// Rotated text in the largest font: Qt rendered the glyphs of these as images into its glyph
// cache, a gigabyte each, so the font's pixel size is bounded.
TEST_F(RenderAtTheEnds, RotatedTextInTheLargestFontTakesBoundedMemory) {
  auto small = std::make_unique<PageModel>(
      std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(400, 480)), 96);
  ASSERT_TRUE(small->ReadPrinterMetrics());
  ASSERT_TRUE(small->GetPageSize());
  small->setUnitType(PageModel::kUnitInch);
  small->setTgtCanvas(PageModel::kTargetWholePage);
  small->ListByManual() = QStringList{
      "FontSize,100000",
      "TextOut,0,0,\"big\"",
      "TextOut,-31.5,37,\"INITPARAM\",90",
      "PageTitle,\"FontSize,12\",2,163.5,115",
      "TextOutAngle,120.75,198.75,\"TextOut,10,20,\"\"ABC\"\",5\",4935",
      "TextOutAngle,129.5,-3.75,\"\uFFFD\uFFFD\uFFFD\uFFFD\",682",
  };
  PageRenderer renderer(*small);
  renderer.PageView = 2;
  renderer.SetImage2Size(QSize(16, 19));
  if (!testing::memoryBoundHolds()) GTEST_SKIP() << "no bound on memory can be set here";
  EXPECT_TRUE(testing::runsWithinMemory(256 << 20, [&] { return renderer.DrawGraphics(); }))
      << "the rendering took more than 256 MB";
}

// The page view of a small page with texts in the largest font, the fuzz input that took 2 GB:
// the manual list is the input's second piece, its bytes as UTF-8.
TEST_F(RenderAtTheEnds, LargestFontInThePageViewTakesBoundedMemory) {
  const QByteArray input = QByteArray::fromBase64(
      "ER5Gb250U2l6ZSwxMDAwMDAKVGV4dE91dCwwLDAsImJpZyIKRkFCQyIsNQpUZXh0T3V0LC0xeiwtMSwiY28iIiIiIiIiIiIiIiIiIiIi"
      "IiIiIiIiIiIiIt7d3d3d3d2NbmVyIgpMaW5lLC0xZT0zClNpemU9MjE0N3l5LC0xeiwtMSwiY28iIiIiIiIiIiIiIiJ5eXl5eXl5eTJ5"
      "eXl5eTgzNjQ3Cg==");
  ASSERT_EQ(input.left(2), QByteArray("\x11\x1e"));
  auto small = std::make_unique<PageModel>(
      std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(400, 480)), 96);
  ASSERT_TRUE(small->ReadPrinterMetrics());
  ASSERT_TRUE(small->GetPageSize());
  small->setUnitType(PageModel::kUnitInch);
  small->setTgtCanvas(PageModel::kTargetWholePage);
  small->ListByManual() = QString::fromUtf8(input.mid(2)).split(u'\n', Qt::SkipEmptyParts);
  PageRenderer renderer(*small);
  renderer.PageView = 2;
  renderer.SetImage2Size(QSize(16, 19));
  if (!testing::memoryBoundHolds()) GTEST_SKIP() << "no bound on memory can be set here";
  EXPECT_TRUE(testing::runsWithinMemory(256 << 20, [&] { return renderer.DrawGraphics(); }))
      << "the rendering took more than 256 MB";
}

TEST_F(RenderAtTheEnds, PageStringsWithSizesAtTheEndsOfTheRange) {
  for (int size : {INT_MIN, -1, 0, INT_MAX}) {
    SCOPED_TRACE(size);
    for (TPageStr* ps : {&model_->Header, &model_->Footer, &model_->PageTitle, &model_->SubTitle}) {
      ps->psStr = QStringLiteral("分数");
      ps->psPos = 3;
      ps->psSize = size;
    }
    EXPECT_TRUE(renderer_->DrawGraphics());
    EXPECT_TRUE(model_->Header.psDrawn);
    EXPECT_TRUE(model_->SubTitle.psDrawn);
  }
}

}  // namespace
}  // namespace zubira
