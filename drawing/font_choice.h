#pragma once
// A canvas font as the font dialogs edit it (face, point size, style and colour together), and
// back.

#include "drawing/canvas.h"
#include "platform/dialogs.h"

namespace zubira {

FontChoice canvasFontChoice(const CanvasFont& font);
// The chosen font as a canvas font. A choice without a point size keeps the size of `before`,
// one without a valid colour the colour of `before`.
CanvasFont canvasFontFromChoice(const FontChoice& choice, const CanvasFont& before);

}  // namespace zubira
