#pragma once
// The colour words of the command language and their TColor values (0x00BBGGRR).

#include "platform/tcolor.h"

#include <QString>

namespace zubira {

// The word the emitters write for `c`: 0x808080 is "DKGRAY", 0xC0C0C0 "SILVER"; black and every
// value outside the table are "BLACK".
QString ColorToName(TColor c);

// The colour of a word already trimmed and in upper case; a word outside the table is black (0).
// "GRAY" and "DKGRAY", "SILVER" and "LTGRAY" name the same colours.
TColor NameToColor(const QString& word);

}  // namespace zubira
