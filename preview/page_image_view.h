#pragma once
// One of the preview's two page images (`Image1`, the page at 1:1, or `Image2`, the whole page
// shrunk): a plain widget that shows a bitmap held elsewhere, at its top-left corner, without
// scaling, and reports mouse-button releases in the bitmap's pixels.

#include <QImage>
#include <QWidget>
#include <functional>

namespace zubira {

class PageImageView : public QWidget {
  Q_OBJECT
 public:
  // `source` gives the bitmap at the moment of painting (the renderer replaces its images).
  PageImageView(std::function<const QImage&()> source, QWidget* parent = nullptr);

  const QImage& picture() const { return source_(); }

 signals:
  void mouseReleased(Qt::MouseButton button, QPoint position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::function<const QImage&()> source_;
};

}  // namespace zubira
