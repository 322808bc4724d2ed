#include "drawing/recording_canvas.h"

#include <QStringList>

namespace zubira {

RecordingCanvas::Call RecordingCanvas::stamp(Op op) const {
  Call c;
  c.op = op;
  c.font = font;
  c.pen = pen;
  c.brush = brush;
  return c;
}

void RecordingCanvas::textOut(int x, int y, const QString& text, const std::vector<int>* advances) {
  Call c = stamp(Op::Text);
  c.x1 = x;
  c.y1 = y;
  c.text = text;
  if (advances) {
    c.hasAdvances = true;
    c.advances = *advances;
  }
  calls_.push_back(std::move(c));
}

void RecordingCanvas::angleTextOut(int x, int y, const QString& text, const AngleFont& angleFont) {
  Call c = stamp(Op::AngleText);
  c.x1 = x;
  c.y1 = y;
  c.text = text;
  c.angleFont = angleFont;
  calls_.push_back(std::move(c));
}

void RecordingCanvas::line(int x1, int y1, int x2, int y2) {
  Call c = stamp(Op::Line);
  c.x1 = x1, c.y1 = y1, c.x2 = x2, c.y2 = y2;
  calls_.push_back(std::move(c));
}

void RecordingCanvas::fillRect(int left, int top, int right, int bottom) {
  Call c = stamp(Op::Fill);
  c.x1 = left, c.y1 = top, c.x2 = right, c.y2 = bottom;
  calls_.push_back(std::move(c));
}

void RecordingCanvas::stretchDraw(int left, int top, int right, int bottom, const QImage& picture) {
  Call c = stamp(Op::Picture);
  c.x1 = left, c.y1 = top, c.x2 = right, c.y2 = bottom;
  c.pictureSize = picture.size();
  calls_.push_back(std::move(c));
}

std::vector<RecordingCanvas::Call> RecordingCanvas::callsOf(Op op) const {
  std::vector<Call> out;
  for (const Call& c : calls_)
    if (c.op == op) out.push_back(c);
  return out;
}

QStringList RecordingCanvas::texts() const {
  QStringList out;
  for (const Call& c : calls_)
    if (c.op == Op::Text || c.op == Op::AngleText) out << c.text;
  return out;
}

}  // namespace zubira
