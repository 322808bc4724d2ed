#include "preview/preview_settings.h"

#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace zubira {
namespace {

IniFile iniWith(const QTemporaryDir& dir, const QByteArray& text) {
  const QString path = dir.filePath("z.ini");
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
  f.close();
  return IniFile(path);
}

TEST(PreviewSettings, DefaultsAndOddValues) {
  QTemporaryDir dir;
  PreviewSettings s = ReadPrevSettings(IniFile(dir.filePath("none.ini")));
  EXPECT_EQ(s.PageView, 1);
  EXPECT_EQ(s.UnitType, 2);
  EXPECT_EQ(s.fScale, 0);
  EXPECT_EQ(s.fMesh, 0);
  EXPECT_EQ(s.ListIniFile, "Gazumo.prv");
  EXPECT_EQ(s.CQuality, 90);

  s = ReadPrevSettings(iniWith(dir, "[ListFile]\nName=\n[Option]\nQuality=1\n[Unit]\nType=x\n"));
  EXPECT_EQ(s.ListIniFile, "Gazumo.prv") << "an empty name is the default";
  EXPECT_EQ(s.CQuality, 1);
  EXPECT_EQ(s.UnitType, 2) << "not an integer";
  EXPECT_EQ(ReadPrevSettings(iniWith(dir, "[Option]\nQuality=100\n")).CQuality, 100);
  EXPECT_EQ(ReadPrevSettings(iniWith(dir, "[Option]\nQuality=300\n")).CQuality, 100);
  EXPECT_EQ(ReadPrevSettings(iniWith(dir, "[Unit]\nType=7\n")).UnitType, 7) << "kept unchecked";
}

TEST(PreviewSettings, WrittenInOrderAndReadBack) {
  QTemporaryDir dir;
  const QString path = dir.filePath("w.ini");
  PreviewSettings s;
  s.PageView = 2;
  s.fScale = 1;
  s.CQuality = 75;
  {
    IniFile ini(path);
    WritePrevSettings(ini, s);
    ASSERT_TRUE(ini.save());
  }
  IniFile ini(path);
  const PreviewSettings back = ReadPrevSettings(ini);
  EXPECT_EQ(back.PageView, 2);
  EXPECT_EQ(back.fScale, 1);
  EXPECT_EQ(back.CQuality, 75);
  const QString text = ini.text();
  int at = 0;
  for (const char* part : {"[PageView]", "Index=2", "[Unit]", "Type=2", "[Sw]", "Scale=1", "Mesh=0",
                           "[ListFile]", "Name=Gazumo.prv", "[Option]", "Quality=75"}) {
    const int found = text.indexOf(QLatin1String(part), at);
    EXPECT_GE(found, 0) << part;
    if (found >= 0) at = found;
  }
}

}  // namespace
}  // namespace zubira
