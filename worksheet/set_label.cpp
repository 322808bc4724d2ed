#include "worksheet/set_label.h"

#include "drawing/page_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zubira {

QString setLabelText(int set, int sets) { return QStringLiteral("セット %1 / %2").arg(set).arg(sets); }

namespace {

constexpr double kMillimetresPerInch = 25.4;

// The label's best corner: its right edge under the grid's (within the page), its lower edge the
// inset above the page's.
QPoint bestCorner(QSize size, const LabelRoom& room) {
  const int right = std::min(room.grid.right() + 1, room.page.right() + 1 - room.inset);
  return QPoint(right - size.width(), room.page.bottom() + 1 - room.inset - size.height());
}

qint64 cost(QPoint at, QPoint best) {
  return 4 * std::llabs(qint64(at.y()) - best.y()) + std::llabs(qint64(at.x()) - best.x());
}

bool clear(const QRect& box, const std::vector<QRect>& ink, int gap) {
  const QRect grown = box.adjusted(-gap, -gap, gap, gap);
  return std::none_of(ink.begin(), ink.end(), [&](const QRect& r) { return r.intersects(grown); });
}

// The first free corner among `xs` by `ys` within `area`, cheapest first.
std::optional<QPoint> cheapestFree(QSize size, const std::vector<int>& xs, const std::vector<int>& ys,
                                   const std::vector<QRect>& ink, const QRect& area, const LabelRoom& room) {
  const QPoint best = bestCorner(size, room);
  std::vector<QPoint> corners;
  corners.reserve(xs.size() * ys.size());
  for (int y : ys) {
    if (y < area.top() || y + size.height() - 1 > area.bottom()) continue;
    for (int x : xs)
      if (x >= area.left() && x + size.width() - 1 <= area.right()) corners.emplace_back(x, y);
  }
  // Of corners that cost the same, the lower is tried first, then the one further right.
  std::sort(corners.begin(), corners.end(), [&](QPoint a, QPoint b) {
    const qint64 ca = cost(a, best), cb = cost(b, best);
    if (ca != cb) return ca < cb;
    return a.y() != b.y() ? a.y() > b.y() : a.x() > b.x();
  });
  for (QPoint c : corners)
    if (clear(QRect(c, size), ink, room.gap)) return c;
  return std::nullopt;
}

// The corners worth trying: the best one, the page's edges, and beside each box of ink.
void edgesOf(QSize size, const std::vector<QRect>& ink, const LabelRoom& room, std::vector<int>* xs,
             std::vector<int>* ys) {
  const QPoint best = bestCorner(size, room);
  *xs = {best.x(), room.page.left(), room.page.right() + 1 - size.width(),
         room.page.left() + (room.page.width() - size.width()) / 2};
  *ys = {best.y(), room.page.bottom() + 1 - size.height(), room.grid.bottom() + room.gap + 1};
  for (const QRect& r : ink) {
    xs->push_back(r.left() - room.gap - size.width());
    xs->push_back(r.right() + room.gap + 1);
    ys->push_back(r.top() - room.gap - size.height());
    ys->push_back(r.bottom() + room.gap + 1);
  }
}

}  // namespace

std::optional<QPoint> placeUnderGrid(QSize size, const std::vector<QRect>& ink, const LabelRoom& room) {
  const QRect area(QPoint(room.page.left(), room.grid.bottom() + room.gap + 1), room.page.bottomRight());
  if (area.height() < size.height()) return std::nullopt;
  // Only what reaches into the margin stands in the way.
  std::vector<QRect> near;
  const QRect band = area.adjusted(-room.gap, -room.gap, room.gap, room.gap);
  for (const QRect& r : ink)
    if (r.intersects(band)) near.push_back(r);
  std::vector<int> xs, ys;
  edgesOf(size, near, room, &xs, &ys);
  return cheapestFree(size, xs, ys, near, area, room);
}

std::optional<QPoint> placeAnywhere(QSize size, const std::vector<QRect>& ink, const LabelRoom& room) {
  // The grid's empty cells are no place for it either.
  std::vector<QRect> taken = ink;
  if (!room.grid.isEmpty()) taken.push_back(room.grid);
  // Corners beside the grid, and a lattice of half the label's height, which also shows the gaps
  // of a page of many small boxes.
  std::vector<int> xs, ys;
  edgesOf(size, {room.grid}, room, &xs, &ys);
  const int step = std::max(1, size.height() / 2);
  for (int x = room.page.left(); x + size.width() <= room.page.right() + 1; x += step) xs.push_back(x);
  for (int y = room.page.top(); y + size.height() <= room.page.bottom() + 1; y += step) ys.push_back(y);
  return cheapestFree(size, xs, ys, taken, room.page, room);
}

LabelRoom labelRoomOf(const PageModel& page, const QRectF& grid) {
  LabelRoom room;
  room.page = QRect(0, 0, page.PageW(), page.PageH());
  room.grid = QRect(QPoint(page.UnitToDevX(grid.left()), page.UnitToDevY(grid.top())),
                    QPoint(page.UnitToDevX(grid.right()) - 1, page.UnitToDevY(grid.bottom()) - 1));
  const double perMillimetre = page.PrinterResY() / kMillimetresPerInch;
  room.inset = int(std::lround(5 * perMillimetre));
  room.gap = std::max(1, int(std::lround(perMillimetre)));
  return room;
}

QRect drawSetLabel(Canvas& canvas, const QString& text, const std::vector<QRect>& ink, const LabelRoom& room) {
  const auto sizeIn = [&](int points) {
    CanvasFont font;  // the interpreter's own face, black, plain
    font.size = points;
    canvas.font = font;
    return QSize(canvas.textWidth(text), canvas.textHeight(text));
  };
  constexpr int kPoints[] = {8, 6};
  std::optional<QPoint> at;
  int points = kPoints[0];
  for (auto place : {&placeUnderGrid, &placeAnywhere}) {
    for (int p : kPoints) {
      if (at) break;
      at = place(sizeIn(p), ink, room);
      points = p;
    }
  }
  if (!at) points = kPoints[0];
  const QSize size = sizeIn(points);
  if (!at) at = bestCorner(size, room);
  canvas.clearBrush();
  canvas.textOut(at->x(), at->y(), text, nullptr);
  return QRect(*at, size);
}

}  // namespace zubira
