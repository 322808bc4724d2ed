#pragma once
// A painting canvas that also keeps the box of everything it puts on the page, so that something
// drawn afterwards (the set label of a class set) can find a place where nothing is yet. White
// fills leave nothing on paper and are not kept.

#include "drawing/painter_canvas.h"

#include <QRect>
#include <vector>

namespace zubira {

class InkCanvas : public PainterCanvas {
 public:
  InkCanvas(int dpiX, int dpiY) : PainterCanvas(dpiX, dpiY) {}

  // The boxes drawn since the last clearInk(), in device pixels.
  const std::vector<QRect>& ink() const { return ink_; }
  void clearInk() { ink_.clear(); }

  void textOut(int x, int y, const QString& text, const std::vector<int>* advances) override;
  void angleTextOut(int x, int y, const QString& text, const AngleFont& angleFont) override;
  void line(int x1, int y1, int x2, int y2) override;
  void fillRect(int left, int top, int right, int bottom) override;
  void stretchDraw(int left, int top, int right, int bottom, const QImage& picture) override;

 private:
  void keep(qint64 left, qint64 top, qint64 right, qint64 bottom);
  std::vector<QRect> ink_;
};

}  // namespace zubira
