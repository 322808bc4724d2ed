#pragma once
// TColor: a 32-bit colour value laid out as 0x00BBGGRR (red in the lowest byte), the form colours
// take in settings files and command lists.

#include <QColor>
#include <cstdint>

namespace zubira {

using TColor = std::int32_t;

constexpr TColor makeTColor(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
QColor toQColor(TColor c);
TColor toTColor(const QColor& c);

}  // namespace zubira
