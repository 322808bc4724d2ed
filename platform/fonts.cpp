#include "platform/fonts.h"

#include <QFont>

namespace zubira {

const QList<FontSubstitution>& fontSubstitutions() {
  static const QList<FontSubstitution> table = [] {
    const QStringList pGothic{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};
    const QStringList gothic{QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")};
    const QStringList mincho{QStringLiteral("IPAMincho"), QStringLiteral("IPAPMincho")};
    const QStringList pMincho{QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho")};
    const QStringList mono{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                           QStringLiteral("IPAGothic")};
    return QList<FontSubstitution>{
        {QStringLiteral("ＭＳ Ｐゴシック"), pGothic}, {QStringLiteral("MS PGothic"), pGothic},
        {QStringLiteral("ＭＳ ゴシック"), gothic},    {QStringLiteral("MS Gothic"), gothic},
        {QStringLiteral("ＭＳ 明朝"), mincho},        {QStringLiteral("MS Mincho"), mincho},
        {QStringLiteral("ＭＳ Ｐ明朝"), pMincho},     {QStringLiteral("MS PMincho"), pMincho},
        {QStringLiteral("CourierNew"), mono},         {QStringLiteral("Courier New"), mono},
    };
  }();
  return table;
}

void installFontSubstitutions() {
  for (const FontSubstitution& s : fontSubstitutions()) QFont::insertSubstitutions(s.face, s.installed);
}

}  // namespace zubira
