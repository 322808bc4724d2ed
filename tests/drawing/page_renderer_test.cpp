#include "drawing/page_renderer.h"

#include "drawing/page_model.h"
#include "drawing/recording_canvas.h"
#include "tests/support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace zubira {
namespace {

using Op = RecordingCanvas::Op;
using testing::ScriptedDialogs;

// A4 at 600 dpi on a 96 dpi screen, millimetres, both canvases recording.
class RendererTest : public ::testing::Test {
 protected:
  RendererTest()
      : model(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96),
        renderer(model) {
    model.ReadPrinterMetrics();
    model.GetPageSize();
    model.setUnitType(PageModel::kUnitMillimetre);
    model.setCanvases(std::make_unique<RecordingCanvas>(96, 96), std::make_unique<RecordingCanvas>(600, 600));
    renderer.SetImage1Size();
  }
  RecordingCanvas& screen() { return static_cast<RecordingCanvas&>(model.screenCanvas()); }
  RecordingCanvas& printer() { return static_cast<RecordingCanvas&>(model.printerCanvas()); }
  // Renders the manual list and returns the calls of `op` on the screen.
  std::vector<RecordingCanvas::Call> draw(const QStringList& manual, Op op) {
    model.ListByManual() = manual;
    screen().clearCalls();
    EXPECT_TRUE(renderer.DrawGraphics());
    return screen().callsOf(op);
  }
  std::vector<RecordingCanvas::Call> textsNamed(const QString& text) {
    std::vector<RecordingCanvas::Call> out;
    for (const auto& c : screen().callsOf(Op::Text))
      if (c.text == text) out.push_back(c);
    return out;
  }

  ScriptedDialogs dialogs;
  PageModel model;
  PageRenderer renderer;
};

TEST_F(RendererTest, SpacedTextAndItsLimits) {
  auto t = draw({"TextOut,10,10,\"ABC\",5"}, Op::Text);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].x1, 38);
  EXPECT_EQ(t[0].y1, 38);
  EXPECT_EQ(t[0].advances, (std::vector<int>{19, 19, 19}));
  for (const char* line : {"TextOut,10,10,\"ABC\",NIL", "TextOut,10,10,\"ABC\",abc", "TextOut,10,10,\"ABC\"",
                           "TextOut,10,10,\"ABC\",0", "TextOut,10,10,\"ABC\",-4"}) {
    t = draw({line}, Op::Text);
    ASSERT_EQ(t.size(), 1u) << line;
    EXPECT_FALSE(t[0].hasAdvances) << line;
  }
  t = draw({"TextOut,0,0,\"AB\",150"}, Op::Text);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].advances, (std::vector<int>(2, model.UnitToDevX(100)))) << "capped at 100";
  const QString long250(250, u'x');
  t = draw({"TextOut,0,0,\"" + long250 + "\",1", "TextOut,0,0,\"" + long250 + "\",NIL"}, Op::Text);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].text.size(), 200);
  EXPECT_EQ(t[0].advances.size(), 200u);
  EXPECT_EQ(t[1].text.size(), 250);
}

TEST_F(RendererTest, MissingItemsStopOnlyTheirList) {
  model.PrevTextOut(1, 1, "program", "NIL");
  auto t = draw({"TextOut,10,10", "TextOut,20,20,\"later\",NIL"}, Op::Text);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].text, "program");
  EXPECT_TRUE(dialogs.messages().isEmpty()) << "TEXTOUT without its text stops silently";

  struct Case {
    const char* line;
    const char* message;
  } cases[] = {{"Line,1,2,3", "LINE, FORMAT ERROR"},      {"FontStyle", "FONTSTYLE FORMAT ERROR"},
               {"PenWidth", "PENWIDTH, NOT VALUE"},      {"PenSize", "PENWIDTH, NOT VALUE"},
               {"PenStyle", "PENSTYLE FORMAT ERROR"},    {"Header,\"h\"", "HEADER, FORMAT ERROR"},
               {"Footer,\"h\"", "FOOTER, FORMAT ERROR"}, {"PageTitle,\"h\"", "PAGETITLE, FORMAT ERROR"},
               {"SubTitle,\"h\"", "SUBTITLE, FORMAT ERROR"}, {"Color", nullptr},
               {"FontSize", nullptr}, {"FontName", nullptr}, {"TextOutAngle,1,2,\"x\"", nullptr}};
  for (const Case& c : cases) {
    dialogs.clear();
    t = draw({c.line, "Line,0,0,5,5", c.line}, Op::Text);
    EXPECT_EQ(textsNamed("program").size(), 1u) << c.line;
    EXPECT_TRUE(screen().callsOf(Op::Line).empty()) << c.line << ": the rest of the list is skipped";
    EXPECT_EQ(dialogs.messages(), c.message ? QStringList{c.message} : QStringList()) << c.line;
    EXPECT_EQ(renderer.messages(), dialogs.messages());
  }
  dialogs.clear();
  model.ListByManual() = {"Line,1"};
  renderer.DrawGraphics();
  renderer.DrawGraphics();
  EXPECT_EQ(dialogs.messages().size(), 2) << "reported again at every rendering";
}

TEST_F(RendererTest, ColoursBrushAndInitParam) {
  auto t = draw({"FontColor,RED", "TextOut,0,0,\"a\",NIL", "InitParam", "TextOut,0,0,\"b\",NIL",
                 "BrushColor,YELLOW", "TextOut,0,0,\"c\",NIL", "TextOut,0,0,\"d\",NIL", "INITPARAM",
                 "TextOut,0,0,\"e\",NIL"},
                Op::Text);
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0].font.color, makeTColor(255, 0, 0));
  EXPECT_EQ(t[1].font.color, 0);
  EXPECT_FALSE(t[1].brush.solid);
  EXPECT_TRUE(t[2].brush.solid);
  EXPECT_EQ(t[2].brush.color, makeTColor(255, 255, 0));
  EXPECT_TRUE(t[3].brush.solid);
  EXPECT_FALSE(t[4].brush.solid);

  draw({"Color,BLUE", "TextOut,0,0,\"a\",NIL", "Line,0,0,1,1", "InitParam", "FontColor,BLUE",
        "TextOut,0,0,\"b\",NIL", "Line,0,0,1,1", "Color,NOSUCH", "TextOut,0,0,\"c\",NIL"},
       Op::Text);
  t = screen().callsOf(Op::Text);
  const auto lines = screen().callsOf(Op::Line);
  ASSERT_EQ(t.size(), 3u);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(t[0].font.color, makeTColor(0, 0, 255));
  EXPECT_EQ(lines[0].pen.color, makeTColor(0, 0, 255));
  EXPECT_EQ(t[1].font.color, makeTColor(0, 0, 255));
  EXPECT_EQ(lines[1].pen.color, 0) << "FontColor leaves the pen";
  EXPECT_EQ(t[2].font.color, 0) << "an unknown colour word is black";
}

TEST_F(RendererTest, FontStylesSizesAndNames) {
  auto t = draw({"FontStyle,UNDERLINE", "FontStyle,BOLD", "TextOut,0,0,\"a\",NIL", "FontStyle,UNDERLINE-",
                 "FontSize,12.5", "FontName,\"IPA明朝\"", "TextOut,0,0,\"b\",NIL", "FontStyle,NONE",
                 "FontSize,-3", "FontStyle,SHOUT", "TextOut,0,0,\"c\",NIL"},
                Op::Text);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_TRUE(t[0].font.underline && t[0].font.bold);
  EXPECT_FALSE(t[1].font.underline);
  EXPECT_TRUE(t[1].font.bold);
  EXPECT_EQ(t[1].font.size, 13) << "halves away from zero";
  EXPECT_EQ(t[1].font.name, QStringLiteral("IPA明朝"));
  EXPECT_FALSE(t[2].font.bold || t[2].font.italic || t[2].font.underline || t[2].font.strikeout);
  EXPECT_EQ(t[2].font.size, 13) << "a size of 0 or less changes nothing";
  EXPECT_FALSE(renderer.fUnderline);
  EXPECT_EQ(renderer.nfontsize, 9) << "the final steps start from the initial values";
}

TEST_F(RendererTest, PenWidthsOnScreenAndPrinter) {
  auto l = draw({"PenWidth,0.5", "Line,0,0,1,1", "PenSize,2.9", "Line,0,0,1,1", "PenStyle,psDashDot",
                 "Line,0,0,1,1", "PenWidth,0", "Line,0,0,1,1"},
                Op::Line);
  ASSERT_EQ(l.size(), 4u);
  EXPECT_EQ(l[0].pen.width, 2);
  EXPECT_EQ(l[1].pen.width, 2);
  EXPECT_EQ(l[2].pen.style, PenStyle::DashDot);
  EXPECT_EQ(l[3].pen.width, 2) << "a width of 0 changes nothing";
  model.setTgtCanvas(PageModel::kTargetPrinter);
  printer().clearCalls();
  model.ListByManual() = {"PenWidth,0.5", "Line,0,0,1,1", "PenSize,2.9", "Line,0,0,1,1"};
  ASSERT_TRUE(renderer.DrawGraphics());
  l = printer().callsOf(Op::Line);
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l[0].pen.width, 12);
  EXPECT_EQ(l[1].pen.width, 2);
  EXPECT_EQ(l[0].x2, model.UnitToDevX(1));
}

TEST_F(RendererTest, RotatedText) {
  auto a = draw({"FontSize,20", "FontName,\"Other\"", "FontStyle,ITALIC", "TextOutAngle,50,50,\"X\",900",
                 "TextOutAngle,50,50,\"Y\",4500", "TextOutAngle,50,50,\"Z\",-10"},
                Op::AngleText);
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].angleFont.escapement, 900);
  EXPECT_EQ(a[1].angleFont.escapement, 900);
  EXPECT_EQ(a[0].angleFont.height, -27) << "20 points at 96 dpi";
  EXPECT_EQ(a[0].angleFont.name, QStringLiteral("CourierNew"));
  EXPECT_TRUE(a[0].angleFont.italic);
  EXPECT_EQ(a[0].x1, model.UnitToDevX(50));
}

TEST_F(RendererTest, PicturesUseTheirSlotsInOrder) {
  QTemporaryDir dir;
  const QString file = dir.filePath("p.bmp");
  QImage img(8, 4, QImage::Format_RGB32);
  img.fill(Qt::red);
  ASSERT_TRUE(img.save(file, "BMP"));
  // Slot 5 is the manual list's first; it is empty, so missing corners are not looked at.
  auto p = draw({"Picture,\"a.bmp\"", "Line,0,0,1,1"}, Op::Picture);
  EXPECT_TRUE(p.empty());
  EXPECT_TRUE(dialogs.messages().isEmpty());
  EXPECT_EQ(screen().callsOf(Op::Line).size(), 1u);
  ASSERT_TRUE(model.LoadPicture(6, file));
  p = draw({"Picture,\"a.bmp\",0,0,10,10", "Picture,\"b.bmp\",10,20,30,40"}, Op::Picture);
  ASSERT_EQ(p.size(), 1u) << "the first line uses the empty slot 5, the second slot 6";
  EXPECT_EQ(p[0].x1, model.UnitToDevX(10));
  EXPECT_EQ(p[0].y2, model.UnitToDevY(40));
  EXPECT_EQ(p[0].pictureSize, QSize(8, 4));
  draw({"Picture,\"a.bmp\"", "Picture,\"b.bmp\",1,2"}, Op::Picture);
  EXPECT_EQ(dialogs.messages(), QStringList{"PICTURE, FORMAT ERROR"});
}

TEST_F(RendererTest, PageStringCommandsDrawOnceAndKeepTheStoredSettings) {
  model.Header.SetSets("stored", QStringLiteral("ＭＳ 明朝"), 9, 1, "0", "0", false, false);
  model.PrevFontSize(14);
  model.PrevHeader("centred", 3, 0, 0);
  model.PrevHeader("second", 1, 0, 0);
  model.ListByManual().clear();
  screen().clearCalls();
  ASSERT_TRUE(renderer.DrawGraphics());
  const auto c = textsNamed("centred");
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].font.size, 14) << "in the font of that moment";
  EXPECT_TRUE(textsNamed("second").empty());
  EXPECT_TRUE(textsNamed("stored").empty()) << "the automatic header is skipped";
  EXPECT_EQ(model.Header.psStr, "stored");
  EXPECT_EQ(model.Header.psPos, 1);
  EXPECT_EQ(model.Header.psSize, 9);
  // The centre: (W - w) / 2 with w measured in the command's font.
  CanvasFont f;
  f.size = 14;
  model.SetFontSets(f);
  const double w = model.GetWidth("centred");
  const double W = renderer.Image1().width() / 96.0 * 25.4;
  EXPECT_EQ(c[0].x1, model.UnitToDevX((W - w) / 2));

  model.ClearProgramList();
  model.PrevHeader("none", 0, 0, 0);
  model.PrevHeader("", 3, 0, 0);
  screen().clearCalls();
  ASSERT_TRUE(renderer.DrawGraphics());
  EXPECT_TRUE(textsNamed("none").empty());
  EXPECT_EQ(textsNamed("stored").size(), 1u) << "mode 0 leaves the header to the end";

  model.ClearProgramList();
  model.ListByManual() = {"Header,\"short\",1,5"};
  screen().clearCalls();
  ASSERT_TRUE(renderer.DrawGraphics());
  EXPECT_EQ(textsNamed("short").size(), 1u);
  EXPECT_EQ(model.Header.psStr, "stored") << "a line without y leaves the settings unchanged";
}

TEST_F(RendererTest, PageStringPlacement) {
  model.Header.SetSets("head", QStringLiteral("ＭＳ 明朝"), 12, 1, "0", "0", false, false);
  model.PageTitle.SetSets("title", QStringLiteral("ＭＳ 明朝"), 12, 3, "0", "0", false, false);
  model.SubTitle.SetSets("right", QStringLiteral("ＭＳ 明朝"), 12, 2, "0", "0", false, false);
  model.Footer.SetSets("foot", QStringLiteral("ＭＳ 明朝"), 10, 1, "0", "0", false, false);
  model.SetCopyright("credit");
  screen().clearCalls();
  ASSERT_TRUE(renderer.DrawGraphics());
  CanvasFont f;
  f.name = QStringLiteral("ＭＳ 明朝");
  f.size = 12;
  model.SetFontSets(f);
  const double headH = model.GetHeight("head");
  EXPECT_EQ(textsNamed("head")[0].y1, 0);
  EXPECT_EQ(textsNamed("title")[0].y1, model.UnitToDevY(headH)) << "below the header";
  EXPECT_EQ(textsNamed("right")[0].x1, model.UnitToDevX(-model.GetWidth("right")));
  f.size = 10;
  model.SetFontSets(f);
  const double footH = model.GetHeight("foot");
  CanvasFont credit;
  credit.name = QStringLiteral("ＭＳ Ｐ明朝");
  credit.size = 12;
  model.SetFontSets(credit);
  const double creditH = model.GetHeight("credit");
  EXPECT_EQ(textsNamed("foot")[0].y1, model.UnitToDevY(-(footH + creditH)));
  EXPECT_EQ(textsNamed("credit").size(), 2u) << "drawn before and after the lists";
  EXPECT_EQ(textsNamed("credit")[0].y1, model.UnitToDevY(-creditH));

  model.Header.SetSets("free", QStringLiteral("ＭＳ 明朝"), 12, 4, "20", "30", false, false);
  model.PageTitle.psPos = 1;
  screen().clearCalls();
  ASSERT_TRUE(renderer.DrawGraphics());
  EXPECT_EQ(textsNamed("free")[0].x1, model.UnitToDevX(20));
  EXPECT_EQ(textsNamed("free")[0].y1, model.UnitToDevY(30));
  EXPECT_EQ(textsNamed("title")[0].y1, model.UnitToDevY(30 + headH));
  model.Header.psX = "abc";
  model.Header.psPos = 0;
  screen().clearCalls();
  ASSERT_TRUE(renderer.DrawGraphics());
  EXPECT_EQ(textsNamed("title")[0].y1, 0) << "no header: the title at the top";
  model.Header.psPos = 4;
  screen().clearCalls();
  ASSERT_TRUE(renderer.DrawGraphics());
  EXPECT_TRUE(textsNamed("free").empty()) << "an x that does not read";
}

TEST_F(RendererTest, GridAndRulerOnlyInTheOneToOneView) {
  renderer.fMesh = 1;
  renderer.fScale = 1;
  auto l = draw({}, Op::Line);
  int lime = 0, green = 0;
  for (const auto& c : l) {
    lime += c.pen.color == makeTColor(0, 255, 0) && c.pen.style == PenStyle::Dot;
    green += c.pen.color == makeTColor(0, 128, 0);
  }
  EXPECT_EQ(lime, 20 + 29) << "every 10 mm inside 210 x 297 mm";
  EXPECT_EQ(green, 21 + 30) << "from 0 every 10 mm up to 200 and 290";
  renderer.PageView = 2;
  model.setTgtCanvas(PageModel::kTargetWholePage);
  renderer.SetImage2Size(QSize(393, 541));
  EXPECT_TRUE(draw({}, Op::Line).empty());
  EXPECT_EQ(renderer.Image2().size(), QSize(393, 541));
  renderer.PageView = 1;
  model.setTgtCanvas(PageModel::kTargetPrinter);
  printer().clearCalls();
  ASSERT_TRUE(renderer.DrawGraphics());
  EXPECT_TRUE(printer().callsOf(Op::Line).empty());
}

TEST_F(RendererTest, NothingWithoutMetricsOrWhenHidden) {
  PageModel broken(std::make_unique<FixedPrinterAccess>(QSize(), QSize(), false), 96);
  ScriptedDialogs* d = &dialogs;
  EXPECT_FALSE(broken.ReadPrinterMetrics());
  EXPECT_EQ(d->messages().size(), 1);
  PageRenderer r(broken);
  EXPECT_FALSE(r.SetImage1Size());
  broken.ListByManual() = {"TextOut,10,10,\"x\",5", "Line,-1,-1,1,1"};
  EXPECT_FALSE(r.DrawGraphics());
  renderer.setVisibleCheck([] { return false; });
  EXPECT_FALSE(renderer.DrawGraphics());
}

TEST(PageRendererPainting, DrawsOnTheImage) {
  ScriptedDialogs dialogs;
  PageModel model(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96);
  model.ReadPrinterMetrics();
  model.GetPageSize();
  model.setUnitType(PageModel::kUnitMillimetre);
  PageRenderer r(model);
  ASSERT_TRUE(r.SetImage1Size());
  EXPECT_EQ(r.Image1().size(), QSize(793, 1122));
  model.ListByManual() = {"PenWidth,1", "Color,RED", "Line,10,10,100,10", "FontSize,40", "TextOut,20,20,\"分数\",NIL"};
  int repaints = 0;
  r.setRepaint([&] { ++repaints; });
  ASSERT_TRUE(r.DrawGraphics());
  EXPECT_EQ(repaints, 1);
  const int y = model.UnitToDevY(10);
  EXPECT_EQ(r.Image1().pixelColor(model.UnitToDevX(50), y), QColor(Qt::red));
  int ink = 0;
  for (int x = model.UnitToDevX(20); x < model.UnitToDevX(60); ++x)
    for (int yy = model.UnitToDevY(20); yy < model.UnitToDevY(40); ++yy) ink += qRed(r.Image1().pixel(x, yy)) > 128 && qGreen(r.Image1().pixel(x, yy)) < 100;
  EXPECT_GT(ink, 50) << "the red text is drawn";
  EXPECT_EQ(r.Image1().pixelColor(700, 1000), QColor(Qt::white));
}

}  // namespace
}  // namespace zubira
