#include "preview/page_image_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace zubira {

PageImageView::PageImageView(std::function<const QImage&()> source, QWidget* parent)
    : QWidget(parent), source_(std::move(source)) {
  // The bitmap covers the widget; nothing behind it needs painting first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageImageView::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const QImage& image = source_();
  const QRect area = event->rect();
  if (!image.isNull()) p.drawImage(area.topLeft(), image, area);
  // Whatever the bitmap does not cover (a widget larger than a refused bitmap) stays neutral.
  const QRegion rest = QRegion(area) - QRegion(image.rect());
  for (const QRect& r : rest) p.fillRect(r, palette().window());
}

void PageImageView::mouseReleaseEvent(QMouseEvent* event) {
  emit mouseReleased(event->button(), event->position().toPoint());
  QWidget::mouseReleaseEvent(event);
}

}  // namespace zubira
