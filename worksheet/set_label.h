#pragma once
// The label "セット k / N" at the foot of every page of a class set, so that each answer page and
// key page can be matched to its problem page. It is small and sits in the margin under the grid,
// its right edge under the grid's; it never goes over anything already on the page: the footer,
// the credit line, the other page strings, the date box, the grid and whatever reaches out of it.
// Single sheets carry no label.

#include "drawing/canvas.h"

#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

namespace zubira {

class PageModel;

// "セット 3 / 30" for the third of thirty sets.
QString setLabelText(int set, int sets);

// Where a label may go on a page, in device pixels.
struct LabelRoom {
  QRect page;  // the whole page
  QRect grid;  // the grid: the label's best place is under its right edge
  int inset = 0;  // the distance from the page's lower edge it would best keep
  int gap = 0;    // the clearance it keeps from everything on the page
};

// The top-left corner for a label of `size`, clear of every box of `ink` by the gap: under the
// grid as near its best place as there is room (a move up counts four times a move sideways);
// nothing when the margin under the grid has no such place.
std::optional<QPoint> placeUnderGrid(QSize size, const std::vector<QRect>& ink, const LabelRoom& room);
// The same anywhere on the page outside the grid, for a page whose margin under the grid is full.
std::optional<QPoint> placeAnywhere(QSize size, const std::vector<QRect>& ink, const LabelRoom& room);

// The room on a composed page whose lists were just drawn on the model's page (its current
// target): the model's page, the grid of the composition (drawing units), 5 mm from the lower
// edge, 1 mm apart.
LabelRoom labelRoomOf(const PageModel& page, const QRectF& grid);

// Draws `text` on `canvas` (a page with `ink` on it) in 8 points, or 6 when 8 finds no place;
// where nothing is free at all, at its best place. Returns the box drawn, in device pixels.
QRect drawSetLabel(Canvas& canvas, const QString& text, const std::vector<QRect>& ink, const LabelRoom& room);

}  // namespace zubira
