#include "drawing/font_choice.h"

namespace zubira {

FontChoice canvasFontChoice(const CanvasFont& font) {
  FontChoice choice;
  choice.font = QFont(font.name);
  if (font.size > 0) choice.font.setPointSize(font.size);
  choice.font.setBold(font.bold);
  choice.font.setItalic(font.italic);
  choice.font.setUnderline(font.underline);
  choice.font.setStrikeOut(font.strikeout);
  choice.color = toQColor(font.color);
  return choice;
}

CanvasFont canvasFontFromChoice(const FontChoice& choice, const CanvasFont& before) {
  CanvasFont font;
  font.name = choice.font.family();
  font.size = choice.font.pointSize();
  if (font.size <= 0 && choice.font.pointSizeF() > 0) font.size = roundHalfAway(choice.font.pointSizeF());
  if (font.size <= 0) font.size = before.size;
  font.color = choice.color.isValid() ? toTColor(choice.color) : before.color;
  font.bold = choice.font.bold();
  font.italic = choice.font.italic();
  font.underline = choice.font.underline();
  font.strikeout = choice.font.strikeOut();
  return font;
}

}  // namespace zubira
