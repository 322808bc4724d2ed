#pragma once
// The program's lists and settings name the faces of a Japanese Windows desktop ("ＭＳ Ｐゴシック",
// "ＭＳ 明朝", "CourierNew"). They are kept as written and mapped at start-up to the installed IPA
// faces, so that fontconfig does not fall back to a Latin face without Japanese glyphs.

#include <QString>
#include <QStringList>

namespace zubira {

struct FontSubstitution {
  QString face;         // the face as lists and settings name it
  QStringList installed; // the faces used for it, best first
};

// The table of substitutions installed by installFontSubstitutions().
const QList<FontSubstitution>& fontSubstitutions();

// Installs the substitutions with QFont::insertSubstitutions. Call once a QGuiApplication exists.
void installFontSubstitutions();

}  // namespace zubira
