#include "drawing/color_names.h"

#include <iterator>

namespace zubira {

namespace {

struct ColorWord {
  const char* word;
  TColor value;
};

// In the order written for each value: the first row of a value gives its word.
constexpr ColorWord kColorWords[] = {
    {"BLACK", 0x000000},  {"MAROON", 0x000080}, {"GREEN", 0x008000},  {"OLIVE", 0x008080},
    {"NAVY", 0x800000},   {"PURPLE", 0x800080}, {"TEAL", 0x808000},   {"DKGRAY", 0x808080},
    {"GRAY", 0x808080},   {"SILVER", 0xC0C0C0}, {"LTGRAY", 0xC0C0C0}, {"RED", 0x0000FF},
    {"LIME", 0x00FF00},   {"YELLOW", 0x00FFFF}, {"BLUE", 0xFF0000},   {"FUCHSIA", 0xFF00FF},
    {"AQUA", 0xFFFF00},   {"WHITE", 0xFFFFFF},
};

}  // namespace

QString ColorToName(TColor c) {
  for (const ColorWord& w : kColorWords)
    if (w.value == c) return QString::fromLatin1(w.word);
  return QStringLiteral("BLACK");
}

TColor NameToColor(const QString& word) {
  for (const ColorWord& w : kColorWords)
    if (word == QLatin1String(w.word)) return w.value;
  return 0;
}

}  // namespace zubira
