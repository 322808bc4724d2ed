#include "platform/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace zubira {
namespace {

TEST(FontSubstitutions, WindowsFacesResolveToInstalledJapaneseFaces) {
  struct Case {
    const char* face;
    const char* family;
  } cases[] = {
      {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"}, {"ＭＳ 明朝", "IPAMincho"},
      {"ＭＳ Ｐ明朝", "IPAPMincho"},     {"ＭＳ ゴシック", "IPAGothic"},
  };
  for (const Case& c : cases) {
    QFont font(QString::fromUtf8(c.face), 12);
    EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8(c.family)) << c.face;
  }
}

TEST(FontSubstitutions, CourierNewIsMonospaced) {
  QFont font(QStringLiteral("CourierNew"), 12);
  QFontMetrics m(font);
  EXPECT_EQ(m.horizontalAdvance(QStringLiteral("iiii")), m.horizontalAdvance(QStringLiteral("WWWW")))
      << QFontInfo(font).family().toStdString();
}

TEST(FontSubstitutions, JapaneseTextHasGlyphs) {
  QFont font(QStringLiteral("ＭＳ Ｐゴシック"), 12);
  QFontMetrics m(font);
  for (QChar c : QStringLiteral("分数の加減乗除＋－×÷～"))
    EXPECT_TRUE(m.inFont(c)) << QString(c).toStdString();
}

}  // namespace
}  // namespace zubira
