#pragma once
// A canvas font as the font dialogs edit it (face, point size, style and colour together), and
// back.

#include "drawing/canvas.h"
#include "platform/dialogs.h"

namespace zubira {

// The installed family that draws `face` (for a Windows face name, the IPA face standing in).
QString drawnFamily(const QString& face);

// The dialog's starting choice: the family that draws the font's face, its size and style.
FontChoice canvasFontChoice(const CanvasFont& font);
// The chosen font as a canvas font. A choice without a point size keeps the size of `before`,
// one without a valid colour the colour of `before`; the family that draws `before`'s face keeps
// `before`'s name.
CanvasFont canvasFontFromChoice(const FontChoice& choice, const CanvasFont& before);

}  // namespace zubira
