#include "drawing/page_str.h"

#include "platform/ini_file.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira {
namespace {

TEST(TPageStr, MissingSectionGivesTheDefaults) {
  QTemporaryDir dir;
  IniFile ini(dir.filePath("z.ini"));
  TPageStr header;
  header.GetIniSets(ini, QStringLiteral("Header"), QString(), 0, QStringLiteral("0"),
                    QStringLiteral("0"));
  EXPECT_EQ(header.psStr, QString());
  EXPECT_EQ(header.psPos, 0);
  EXPECT_EQ(header.psName, QStringLiteral("ＭＳ 明朝"));
  EXPECT_EQ(header.psSize, 9);
  EXPECT_EQ(header.psX, QStringLiteral("0"));
  EXPECT_EQ(header.psY, QStringLiteral("0"));
  EXPECT_FALSE(header.psBold);
  EXPECT_FALSE(header.psItalic);
}

TEST(TPageStr, WritesEightKeysInOrderAndReadsThemBack) {
  QTemporaryDir dir;
  IniFile ini(dir.filePath("z.ini"));
  TPageStr p;
  p.SetSets(QStringLiteral("かずの計算"), QStringLiteral("ＭＳ Ｐゴシック"), 24, 4,
            QStringLiteral("10"), QStringLiteral("abc"), true, false);
  p.SetIniSets(ini, QStringLiteral("PageTitle"));
  EXPECT_EQ(ini.text(), QStringLiteral("[PageTitle]\nString=かずの計算\nPos=4\nBold=1\nItalic=0\n"
                                       "Size=24\nName=ＭＳ Ｐゴシック\nX=10\nY=abc\n"));
  ASSERT_TRUE(ini.save());
  TPageStr back;
  back.GetIniSets(IniFile(ini.path()), QStringLiteral("pagetitle"), QString(), 0, "0", "0");
  QString s, name, x, y;
  int size = 0, pos = 0;
  bool bold = false, italic = true;
  back.GetSets(s, name, size, pos, x, y, bold, italic);
  EXPECT_EQ(s, QStringLiteral("かずの計算"));
  EXPECT_EQ(name, QStringLiteral("ＭＳ Ｐゴシック"));
  EXPECT_EQ(size, 24);
  EXPECT_EQ(pos, 4);
  EXPECT_EQ(x, QStringLiteral("10"));
  EXPECT_EQ(y, QStringLiteral("abc")) << "positions are kept as texts, even bad ones";
  EXPECT_TRUE(bold);
  EXPECT_FALSE(italic);
}

TEST(TPageStr, AssignCopiesSettingsButNotTheDrawnMark) {
  TPageStr drawn, target;
  drawn.SetSets("H", "F", 10, 3, "1", "2", true, true);
  drawn.psDrawn = true;
  target.Assign(drawn);
  EXPECT_FALSE(target.psDrawn);
  EXPECT_EQ(target.psStr, QStringLiteral("H"));
  EXPECT_EQ(target.psPos, 3);
  EXPECT_TRUE(target.psItalic);
  target.psDrawn = true;
  target.Assign(TPageStr());
  EXPECT_TRUE(target.psDrawn);
  EXPECT_EQ(target.psStr, QString());
}

}  // namespace
}  // namespace zubira
