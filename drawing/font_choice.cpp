#include "drawing/font_choice.h"

#include <QFontInfo>

namespace zubira {

QString drawnFamily(const QString& face) {
  if (face.isEmpty()) return face;
  return QFontInfo(QFont(face)).family();
}

FontChoice canvasFontChoice(const CanvasFont& font) {
  FontChoice choice;
  // The dialog knows only installed families: it opens on the one that draws the stored face
  // (the IPA face standing in for a Windows face name), not on its own default.
  choice.font = QFont(drawnFamily(font.name));
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
  // The family the dialog opened on stands for the stored name, which is kept.
  const QString family = choice.font.family();
  const bool unchanged = !before.name.isEmpty() &&
                         (family.compare(before.name, Qt::CaseInsensitive) == 0 ||
                          family.compare(drawnFamily(before.name), Qt::CaseInsensitive) == 0);
  font.name = unchanged ? before.name : family;
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
