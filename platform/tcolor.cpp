#include "platform/tcolor.h"

namespace zubira {

QColor toQColor(TColor c) {
  auto u = static_cast<std::uint32_t>(c);
  return QColor(int(u & 0xFF), int((u >> 8) & 0xFF), int((u >> 16) & 0xFF));
}

TColor toTColor(const QColor& c) {
  QColor rgb = c.toRgb();
  return makeTColor(rgb.red(), rgb.green(), rgb.blue());
}

}  // namespace zubira
