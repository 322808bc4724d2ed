#pragma once
// A canvas that draws nothing and keeps every drawing call with the state it was made in, so
// tests can assert device positions exactly.

#include "drawing/canvas.h"

#include <QSize>

namespace zubira {

class RecordingCanvas : public Canvas {
 public:
  enum class Op { Text, AngleText, Line, Fill, Picture };
  struct Call {
    Op op = Op::Text;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // text: x1, y1; line and rectangles: both corners
    QString text;
    std::vector<int> advances;  // text with advances
    bool hasAdvances = false;
    CanvasFont font;
    CanvasPen pen;
    CanvasBrush brush;
    AngleFont angleFont;  // rotated text
    QSize pictureSize;    // stretched picture
  };

  RecordingCanvas(int dpiX, int dpiY) : Canvas(dpiX, dpiY) {}

  void textOut(int x, int y, const QString& text, const std::vector<int>* advances) override;
  void angleTextOut(int x, int y, const QString& text, const AngleFont& angleFont) override;
  void line(int x1, int y1, int x2, int y2) override;
  void fillRect(int left, int top, int right, int bottom) override;
  void stretchDraw(int left, int top, int right, int bottom, const QImage& picture) override;

  const std::vector<Call>& calls() const { return calls_; }
  std::vector<Call> callsOf(Op op) const;
  QStringList texts() const;  // the texts drawn, rotated or not, in order
  void clearCalls() { calls_.clear(); }

 private:
  Call stamp(Op op) const;
  std::vector<Call> calls_;
};

}  // namespace zubira
