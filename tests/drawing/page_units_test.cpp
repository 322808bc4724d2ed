#include "drawing/page_model.h"

#include "drawing/recording_canvas.h"
#include "tests/support/scripted_dialogs.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <climits>
#include <cmath>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::ScriptedDialogs;

const QString kPrinterMessage = QStringLiteral("デフォルトのプリンタの設定を確認下さい");

// An A4 page at 600 printer pixels per inch and a 96 pixels-per-inch screen.
struct A4Model {
  A4Model() {
    auto access = std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016));
    printer = access.get();
    model = std::make_unique<PageModel>(std::move(access), 96);
    EXPECT_TRUE(model->ReadPrinterMetrics());
    EXPECT_TRUE(model->GetPageSize());
  }
  FixedPrinterAccess* printer;
  std::unique_ptr<PageModel> model;
};

TEST(PageMetrics, InitialValues) {
  PageModel model(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96);
  EXPECT_EQ(model.UnitType(), PageModel::kUnitPixel);
  EXPECT_EQ(model.nTgtCanvas(), PageModel::kTargetScreen);
  EXPECT_EQ(model.LimitLevel(), 0);
  EXPECT_EQ(model.ErrorNum(), -1);
  EXPECT_EQ(model.MonitorRes(), 96) << "the screen is read at creation";
  EXPECT_EQ(model.PrinterResX(), 0) << "the printer only when asked";
  EXPECT_FALSE(model.metricsValid());
  model.Set_LimitLevel(2);
  EXPECT_EQ(model.LimitLevel(), 2);
}

TEST(PageMetrics, ReadFromThePrinter) {
  A4Model a4;
  PageModel& m = *a4.model;
  EXPECT_EQ(m.PrinterResX(), 600);
  EXPECT_EQ(m.PrinterResY(), 600);
  EXPECT_DOUBLE_EQ(m.RatioX(), 6.25);
  EXPECT_DOUBLE_EQ(m.RatioY(), 6.25);
  EXPECT_EQ(m.Get_Width(), 4960);
  EXPECT_EQ(m.Get_Height(), 7016);
  EXPECT_EQ(m.pageImageSize(), QSize(793, 1122)) << "PageW / RatioX, truncated";
  EXPECT_TRUE(m.metricsValid());
  EXPECT_EQ(m.ErrorNum(), -1);

  // Another printer, as after the print dialog.
  a4.printer->set(QSize(300, 360), QSize(2480, 4209));
  EXPECT_TRUE(m.ReadPrinterMetrics());
  EXPECT_TRUE(m.GetPageSize());
  EXPECT_EQ(m.PrinterResY(), 360);
  EXPECT_DOUBLE_EQ(m.RatioY(), 3.75);
  EXPECT_EQ(m.Get_Height(), 4209);
  EXPECT_EQ(m.printerCanvas().dpiY(), 360) << "the printer canvas measures at the new resolution";
}

TEST(PageMetrics, ExtentInUnits) {
  A4Model a4;
  PageModel& m = *a4.model;
  m.setUnitType(PageModel::kUnitMillimetre);
  EXPECT_NEAR(m.Get_UnitWidth(), 209.973333, 1e-6);
  EXPECT_NEAR(m.Get_UnitHeight(), 297.010667, 1e-6);
  m.setUnitType(PageModel::kUnitInch);
  EXPECT_NEAR(m.Get_UnitWidth(), 8.266667, 1e-6);
  m.setUnitType(PageModel::kUnitPixel);
  EXPECT_EQ(m.Get_UnitWidth(), 4960);
  EXPECT_EQ(m.Get_UnitHeight(), 7016);
  m.setUnitType(5);
  EXPECT_EQ(m.Get_UnitWidth(), 4960);
  EXPECT_EQ(m.Get_UnitHeight(), 7016);
}

struct UnitCase {
  int unit;
  int target;
  double value;
  int devX;
  int devY;
};

class UnitToDev : public ::testing::TestWithParam<UnitCase> {};

TEST_P(UnitToDev, ConvertsToDevicePixels) {
  A4Model a4;
  PageModel& m = *a4.model;
  const UnitCase& c = GetParam();
  m.setUnitType(c.unit);
  m.setTgtCanvas(c.target);
  EXPECT_EQ(m.UnitToDevX(c.value), c.devX) << "unit " << c.unit << " target " << c.target << " x " << c.value;
  EXPECT_EQ(m.UnitToDevY(c.value), c.devY) << "unit " << c.unit << " target " << c.target << " y " << c.value;
}

constexpr int kMm = PageModel::kUnitMillimetre, kIn = PageModel::kUnitInch,
              kPx = PageModel::kUnitPixel;
constexpr int kPrinter = PageModel::kTargetPrinter, kScreen = PageModel::kTargetScreen,
              kWhole = PageModel::kTargetWholePage;

INSTANTIATE_TEST_SUITE_P(
    A4At600And96, UnitToDev,
    ::testing::Values(
        // 25.4 mm is 600 printer pixels and 96 screen pixels; 10 mm 236 and 38.
        UnitCase{kMm, kPrinter, 25.4, 600, 600}, UnitCase{kMm, kScreen, 25.4, 96, 96},
        UnitCase{kMm, kPrinter, 10, 236, 236}, UnitCase{kMm, kScreen, 10, 38, 38},
        UnitCase{kMm, kWhole, 10, 38, 38}, UnitCase{kMm, kPrinter, 0, 0, 0},
        // Negative values count from the right and bottom edges: -10 mm is 199.97 mm across.
        UnitCase{kMm, kPrinter, -10, 4724, 6780}, UnitCase{kMm, kScreen, -10, 756, 1085},
        UnitCase{kPx, kPrinter, -100, 4860, 6916}, UnitCase{kPx, kScreen, -100, 778, 1107},
        UnitCase{kIn, kPrinter, -1, 4360, 6416}, UnitCase{kIn, kScreen, -1, 698, 1027},
        // Pixel unit: 600 printer pixels are 96 on the screen.
        UnitCase{kPx, kScreen, 600, 96, 96}, UnitCase{kPx, kPrinter, 600, 600, 600},
        UnitCase{kPx, kPrinter, 2.5, 3, 3}, UnitCase{kPx, kScreen, 3.125, 1, 1},
        UnitCase{kIn, kPrinter, 1, 600, 600}, UnitCase{kIn, kScreen, 0.5, 48, 48},
        // A unit outside 0 to 2 is a device pixel of either target; nothing is added.
        UnitCase{7, kScreen, 123.4, 123, 123}, UnitCase{7, kPrinter, 123.5, 124, 124},
        UnitCase{-1, kPrinter, -5, -5, -5},
        // Far outside the page: saturated, never overflowing.
        UnitCase{kMm, kPrinter, 1e300, INT_MAX, INT_MAX}, UnitCase{kMm, kScreen, -1e300, INT_MIN, INT_MIN},
        UnitCase{kIn, kPrinter, 3.6e6, INT_MAX, INT_MAX}, UnitCase{kPx, kPrinter, 2147483647.0, INT_MAX, INT_MAX},
        UnitCase{kMm, kPrinter, NAN, 0, 0}, UnitCase{kMm, kPrinter, INFINITY, INT_MAX, INT_MAX},
        UnitCase{kMm, kPrinter, -INFINITY, INT_MIN, INT_MIN}));

TEST(UnitToDevAnisotropic, UsesEachDirectionsResolution) {
  PageModel m(std::make_unique<FixedPrinterAccess>(QSize(300, 600), QSize(2480, 7016)), 96);
  ASSERT_TRUE(m.ReadPrinterMetrics());
  ASSERT_TRUE(m.GetPageSize());
  m.setUnitType(kMm);
  m.setTgtCanvas(kPrinter);
  EXPECT_EQ(m.UnitToDevX(25.4), 300);
  EXPECT_EQ(m.UnitToDevY(25.4), 600);
  m.setTgtCanvas(kScreen);
  EXPECT_EQ(m.UnitToDevX(25.4), 96) << "the screen uses MonitorRes both ways";
  EXPECT_EQ(m.UnitToDevY(25.4), 96);
  m.setUnitType(kPx);
  EXPECT_EQ(m.UnitToDevX(300), 96);
  EXPECT_EQ(m.UnitToDevY(300), 48);
}

class Measuring : public ::testing::Test {
 protected:
  Measuring() {
    CanvasFont f;
    f.name = QStringLiteral("ＭＳ Ｐゴシック");
    f.size = 12;
    m.SetFontSets(f);
  }
  A4Model a4;
  PageModel& m = *a4.model;
  const QString text = QStringLiteral("分数の計算 12/35");
};

TEST_F(Measuring, SetFontSetsReachesBothCanvases) {
  CanvasFont f;
  f.name = QStringLiteral("IPAMincho");
  f.size = 20;
  f.bold = true;
  f.color = 0xFF;
  m.SetFontSets(f);
  EXPECT_EQ(m.screenCanvas().font, f);
  EXPECT_EQ(m.printerCanvas().font, f);
}

TEST_F(Measuring, MillimetresAndInchesOnTheTargetsCanvas) {
  m.setUnitType(kMm);
  m.setTgtCanvas(kScreen);
  EXPECT_DOUBLE_EQ(m.GetWidth(text), m.screenCanvas().textWidth(text) / 96.0 * 25.4);
  EXPECT_DOUBLE_EQ(m.GetHeight(text), m.screenCanvas().textHeight(text) / 96.0 * 25.4);
  const double screenMm = m.GetWidth(text);
  m.setTgtCanvas(kPrinter);
  EXPECT_DOUBLE_EQ(m.GetWidth(text), m.printerCanvas().textWidth(text) / 600.0 * 25.4);
  EXPECT_DOUBLE_EQ(m.GetHeight(text), m.printerCanvas().textHeight(text) / 600.0 * 25.4);
  EXPECT_NEAR(m.GetWidth(text), screenMm, screenMm * 0.1) << "about the same size on both";
  m.setUnitType(kIn);
  EXPECT_DOUBLE_EQ(m.GetWidth(text), m.printerCanvas().textWidth(text) / 600.0);
  EXPECT_GT(m.GetWidth(text), 0);
}

TEST_F(Measuring, PixelUnitMeasuresOnThePrinterWhateverTheTarget) {
  m.setUnitType(kPx);
  for (int target : {kScreen, kPrinter, kWhole}) {
    m.setTgtCanvas(target);
    EXPECT_EQ(m.GetWidth(text), m.printerCanvas().textWidth(text)) << target;
    EXPECT_EQ(m.GetHeight(text), m.printerCanvas().textHeight(text) + 1) << "one more for the height";
  }
  m.setUnitType(9);
  EXPECT_EQ(m.GetWidth(text), m.printerCanvas().textWidth(text));
  EXPECT_EQ(m.GetHeight(text), m.printerCanvas().textHeight(text) + 1);
}

TEST_F(Measuring, HeightIsTheFullLineHeight) {
  m.setUnitType(kMm);
  EXPECT_EQ(m.GetHeight(QStringLiteral("a")), m.GetHeight(QStringLiteral("分")));
  EXPECT_EQ(m.GetHeight(QString()), m.GetHeight(QStringLiteral("a")));
  EXPECT_EQ(m.GetWidth(QString()), 0);
}

TEST(Canvases, ReplacedCanvasesGetTheResolutionsAndServeAsTarget) {
  A4Model a4;
  PageModel& m = *a4.model;
  auto screen = std::make_unique<RecordingCanvas>(1, 1);
  auto printer = std::make_unique<RecordingCanvas>(1, 1);
  RecordingCanvas* s = screen.get();
  RecordingCanvas* p = printer.get();
  m.setCanvases(std::move(screen), std::move(printer));
  EXPECT_EQ(s->dpiX(), 96);
  EXPECT_EQ(p->dpiX(), 600);
  EXPECT_EQ(&m.DrawTarget(), s);
  m.setTgtCanvas(kWhole);
  EXPECT_EQ(&m.DrawTarget(), s);
  m.setTgtCanvas(kPrinter);
  EXPECT_EQ(&m.DrawTarget(), p);
  m.setCanvases(nullptr, nullptr);
  EXPECT_EQ(&m.DrawTarget(), p) << "null keeps the canvas";
}

TEST(FailedPrinterQuery, ReportsOnceAndRefusesConversions) {
  ScriptedDialogs dialogs;
  auto access = std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016), false);
  FixedPrinterAccess* printer = access.get();
  PageModel m(std::move(access), 96);
  EXPECT_FALSE(m.ReadPrinterMetrics());
  EXPECT_EQ(dialogs.messages(), QStringList{kPrinterMessage});
  EXPECT_EQ(m.ErrorNum(), 1);
  EXPECT_EQ(m.PrinterResX(), 0);
  EXPECT_EQ(m.RatioX(), 0);
  EXPECT_FALSE(m.GetPageSize());
  EXPECT_EQ(m.Get_Width(), 0);
  EXPECT_FALSE(m.metricsValid());

  // Nothing divides by the zero resolutions: every conversion and measurement gives 0.
  for (int unit : {kPx, kIn, kMm, 4}) {
    m.setUnitType(unit);
    for (int target : {kPrinter, kScreen}) {
      m.setTgtCanvas(target);
      EXPECT_EQ(m.UnitToDevX(10), 0);
      EXPECT_EQ(m.UnitToDevY(-10), 0);
      EXPECT_EQ(m.GetWidth(QStringLiteral("abc")), 0);
      EXPECT_EQ(m.GetHeight(QStringLiteral("abc")), 0);
      EXPECT_EQ(m.Get_UnitWidth(), 0);
      EXPECT_EQ(m.Get_UnitHeight(), 0);
    }
  }
  EXPECT_TRUE(m.pageImageSize().isEmpty());
  EXPECT_EQ(dialogs.messages().size(), 1) << "measuring shows nothing";

  // Once a printer answers, everything works.
  printer->set(QSize(600, 600), QSize(4960, 7016));
  EXPECT_TRUE(m.ReadPrinterMetrics());
  EXPECT_TRUE(m.GetPageSize());
  EXPECT_EQ(m.ErrorNum(), -1);
  m.setUnitType(kMm);
  m.setTgtCanvas(kPrinter);
  EXPECT_EQ(m.UnitToDevX(10), 236);
  EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST(FailedPrinterQuery, AfterASuccessKeepsThePreviousValues) {
  ScriptedDialogs dialogs;
  A4Model a4;
  a4.printer->set(QSize(300, 300), QSize(1, 1), false);
  EXPECT_FALSE(a4.model->ReadPrinterMetrics());
  EXPECT_EQ(a4.model->ErrorNum(), 1);
  EXPECT_EQ(a4.model->PrinterResX(), 600);
  EXPECT_FALSE(a4.model->GetPageSize());
  EXPECT_EQ(a4.model->Get_Width(), 4960);
  EXPECT_EQ(dialogs.messages(), QStringList{kPrinterMessage});
}

TEST(ScreenMetrics, FallBackWhenTheScreenReportsNothing) {
  PageModel fixed(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(1, 1)), 0);
  EXPECT_EQ(fixed.MonitorRes(), 96);
  PageModel fromScreen(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(1, 1)));
  EXPECT_GT(fromScreen.MonitorRes(), 0);
  EXPECT_EQ(fromScreen.screenCanvas().dpiY(), fromScreen.MonitorRes());
}

TEST(QtPrinter, PdfStandInIsA4At600Dpi) {
  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed here";
  QtPrinterAccess access;
  ASSERT_NE(access.printer(), nullptr);
  EXPECT_EQ(access.printer()->outputFormat(), QPrinter::PdfFormat);
  EXPECT_EQ(access.resolution(), QSize(600, 600));
  // The whole A4 page, as the paint device measures it.
  const QSize size = access.printableSize().value_or(QSize());
  EXPECT_EQ(size, QSize(access.printer()->width(), access.printer()->height()));
  EXPECT_NEAR(size.width(), 210 * 600 / 25.4, 3);
  EXPECT_NEAR(size.height(), 297 * 600 / 25.4, 3);

  PageModel m(std::make_unique<QtPrinterAccess>(), 96);
  ASSERT_TRUE(m.ReadPrinterMetrics());
  ASSERT_TRUE(m.GetPageSize());
  m.setUnitType(kMm);
  EXPECT_NEAR(m.Get_UnitWidth(), 210, 0.2);
  EXPECT_NEAR(m.Get_UnitHeight(), 297, 0.2);
}

}  // namespace
}  // namespace zubira
