#include "worksheet/set_label.h"

#include "drawing/page_model.h"
#include "drawing/printer_access.h"
#include "drawing/recording_canvas.h"
#include "generation/random_source.h"

#include <gtest/gtest.h>

namespace zubira {
namespace {

// A page of 1000 by 1400 pixels whose grid ends at 1200 and 900 from the left; the label keeps
// 50 from the lower edge and 10 from everything.
LabelRoom room() {
  LabelRoom r;
  r.page = QRect(0, 0, 1000, 1400);
  r.grid = QRect(QPoint(100, 150), QPoint(899, 1199));
  r.inset = 50;
  r.gap = 10;
  return r;
}
const QSize kLabel(100, 20);

bool clearOf(const QRect& box, const std::vector<QRect>& ink, int gap) {
  for (const QRect& r : ink)
    if (r.intersects(box.adjusted(-gap, -gap, gap, gap))) return false;
  return true;
}

TEST(SetLabel, Text) {
  EXPECT_EQ(setLabelText(3, 30), QStringLiteral("セット 3 / 30"));
  EXPECT_EQ(setLabelText(1000, 1000), QStringLiteral("セット 1000 / 1000"));
}

TEST(SetLabel, PlaceUnderTheGridBesideOrAboveWhatIsThere) {
  const struct {
    const char* what;
    std::vector<QRect> ink;
    std::optional<QPoint> at;
  } cases[] = {
      {"an empty margin: under the grid's right edge, 50 above the page's", {}, QPoint(800, 1330)},
      {"a footer in the middle", {QRect(QPoint(450, 1380), QPoint(550, 1399))}, QPoint(800, 1330)},
      {"a wide footer on the right: above it rather than far to the left",
       {QRect(QPoint(700, 1330), QPoint(999, 1399))}, QPoint(800, 1300)},
      {"a narrow one where the label would be: beside it", {QRect(QPoint(780, 1300), QPoint(830, 1399))},
       QPoint(841, 1330)},
      {"footer and credit line across the foot", {QRect(QPoint(0, 1300), QPoint(999, 1399))}, QPoint(800, 1270)},
      {"the grid's last row hanging into the margin", {QRect(QPoint(0, 1150), QPoint(920, 1260))},
       QPoint(800, 1330)},
      {"the margin full", {QRect(QPoint(0, 1190), QPoint(999, 1399))}, std::nullopt},
      {"the margin lower than the label", {}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LabelRoom r = room();
    if (std::string(c.what).find("lower than") != std::string::npos) r.grid.setBottom(1380);
    const std::optional<QPoint> at = placeUnderGrid(kLabel, c.ink, r);
    EXPECT_EQ(at, c.at);
    if (at) {
      EXPECT_TRUE(clearOf(QRect(*at, kLabel), c.ink, r.gap));
      EXPECT_GT(at->y(), r.grid.bottom() + r.gap);
    }
  }
}

TEST(SetLabel, PlaceAnywhereWhenTheMarginIsFull) {
  const std::vector<QRect> grid{QRect(QPoint(0, 100), QPoint(999, 1390))};
  EXPECT_EQ(placeUnderGrid(kLabel, grid, room()), std::nullopt);
  EXPECT_EQ(placeAnywhere(kLabel, grid, room()), QPoint(800, 70)) << "above the page's contents, under the grid's edge";
  const std::vector<QRect> full{QRect(QPoint(0, 0), QPoint(999, 1399))};
  EXPECT_EQ(placeAnywhere(kLabel, full, room()), std::nullopt);
  // A page of many small boxes still shows the gaps between them.
  std::vector<QRect> scattered;
  for (int y = 0; y < 1400; y += 40)
    for (int x = 0; x < 1000; x += 40) scattered.emplace_back(x, y, 30, 30);
  EXPECT_EQ(placeAnywhere(QSize(10, 10), scattered, room()), std::nullopt) << "gaps of 10 are too narrow for 10 and the gap";
  LabelRoom tight = room();
  tight.gap = 0;
  const std::optional<QPoint> hole = placeAnywhere(QSize(8, 8), scattered, tight);
  ASSERT_TRUE(hole.has_value());
  EXPECT_TRUE(clearOf(QRect(*hole, QSize(8, 8)), scattered, 0));
}

// Whatever the page holds, a place found is on the page and clear of everything.
TEST(SetLabel, APlaceFoundIsAlwaysClear) {
  PseudoRandomSource random(17);
  const auto draw = [&](int lo, int hi) { return int(lo + int(random.NextBelow(uint64_t(hi - lo + 1)))); };
  int found = 0;
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<QRect> ink;
    for (int k = draw(0, 12); k > 0; --k) ink.emplace_back(draw(-50, 990), draw(1000, 1400), draw(1, 400), draw(1, 120));
    const LabelRoom r = room();
    for (auto place : {&placeUnderGrid, &placeAnywhere}) {
      const std::optional<QPoint> at = place(kLabel, ink, r);
      if (!at) continue;
      ++found;
      const QRect box(*at, kLabel);
      EXPECT_TRUE(r.page.contains(box)) << trial;
      EXPECT_TRUE(clearOf(box, ink, r.gap)) << trial;
      if (place == &placeUnderGrid) {
        EXPECT_GT(box.top(), r.grid.bottom() + r.gap) << trial;
      } else {
        EXPECT_FALSE(box.intersects(r.grid)) << trial;
      }
    }
  }
  EXPECT_GT(found, 300) << "most pages have room";
}

TEST(SetLabel, RoomOfAComposedPage) {
  PageModel page(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4958, 7017)), 96);
  ASSERT_TRUE(page.ReadPrinterMetrics() && page.GetPageSize());
  page.setUnitType(PageModel::kUnitMillimetre);
  page.setTgtCanvas(PageModel::kTargetPrinter);
  const LabelRoom r = labelRoomOf(page, QRectF(QPointF(10, 46), QPointF(200, 287)));
  EXPECT_EQ(r.page, QRect(0, 0, 4958, 7017));
  EXPECT_EQ(r.grid, QRect(QPoint(236, 1087), QPoint(4723, 6779)));
  EXPECT_EQ(r.inset, 118) << "5 mm";
  EXPECT_EQ(r.gap, 24) << "1 mm";
}

// Drawn in 8 points with a clear background, or in 6 where only 6 fits under the grid.
TEST(SetLabel, DrawnSmallerWhenTheMarginIsNarrow) {
  RecordingCanvas canvas(600, 600);
  const QString text = setLabelText(2, 30);
  CanvasFont font;
  font.size = 8;
  canvas.font = font;
  const int h8 = canvas.textHeight(text);
  font.size = 6;
  canvas.font = font;
  const int h6 = canvas.textHeight(text);
  ASSERT_LT(h6, h8);
  canvas.setBrushColor(0xFF);

  LabelRoom r;
  r.page = QRect(0, 0, 4958, 7017);
  r.inset = 0;
  r.gap = 24;
  for (const auto& [bottom, size] : {std::pair{6000, 8}, std::pair{7017 - h8 - r.gap, 6}}) {
    canvas.clearCalls();
    r.grid = QRect(QPoint(236, 400), QPoint(4723, bottom));
    const QRect box = drawSetLabel(canvas, text, {}, r);
    ASSERT_EQ(canvas.calls().size(), 1u);
    const RecordingCanvas::Call& call = canvas.calls()[0];
    EXPECT_EQ(call.text, text);
    EXPECT_EQ(call.font.size, size);
    EXPECT_FALSE(call.brush.solid) << "nothing under the text is painted over";
    EXPECT_EQ(QPoint(call.x1, call.y1), box.topLeft());
    EXPECT_EQ(box.right(), 4723);
    EXPECT_EQ(box.bottom(), 7016);
  }
}

}  // namespace
}  // namespace zubira
