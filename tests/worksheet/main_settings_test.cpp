#include "worksheet/main_settings.h"

#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace zubira {
namespace {

TEST(MainSettings, MissingFileGivesTheDefaults) {
  QTemporaryDir dir;
  IniFile ini(dir.filePath("none.ini"));
  MainSettings m;
  GenerationSettings g;
  ReadSettings(ini, &m, &g);
  EXPECT_EQ(m.sPageTitle, QStringLiteral("かずの計算"));
  EXPECT_EQ(m.sSubTitle, QStringLiteral("たしざんのもんだい"));
  EXPECT_EQ(m.sDateTime, QStringLiteral("　　月　　日　　　時　　分 ～　　　時　　分"));
  EXPECT_EQ(m.sName, QStringLiteral("なまえ"));
  EXPECT_EQ(g.ExamRowN, 10);
  EXPECT_EQ(g.ExamColN, 1);
  EXPECT_EQ(m.WindowTop, 10);
  EXPECT_EQ(m.ExamSeparate, 10);
  EXPECT_EQ(m.ExNumLeft, QStringLiteral("("));
  EXPECT_EQ(m.AnswerType, 1);
  EXPECT_FALSE(m.WindowFrame);
  EXPECT_EQ(m.FntExam.size, 24);
  EXPECT_EQ(m.FntExam.name, QStringLiteral("ＭＳ Ｐゴシック"));
}

TEST(MainSettings, WrittenValuesReadBackAndKeysKeepTheirOrder) {
  QTemporaryDir dir;
  const QString path = dir.filePath("z.ini");
  MainSettings m;
  GenerationSettings g;
  m.sHeader = QStringLiteral("三年一組");
  m.sPageTitle = QStringLiteral("分数のたし算");
  m.AnswerType = 2;
  m.WindowTop = 23.5;
  m.WindowFrame = true;
  m.ExNumRight = QStringLiteral("．");
  m.FntExam = {QStringLiteral("ＭＳ 明朝"), 18, makeTColor(255, 0, 0), true, true};
  g.ExamRowN = 5;
  g.ExamColN = 4;
  g.nRange = 2;
  g.fKakko = false;
  g.rnd_D = -3;
  {
    IniFile ini(path);
    WriteSettings(ini, m, g);
    ASSERT_TRUE(ini.save());
  }
  IniFile ini(path);
  MainSettings m2;
  GenerationSettings g2;
  ReadSettings(ini, &m2, &g2);
  EXPECT_EQ(m2.sHeader, m.sHeader);
  EXPECT_EQ(m2.sPageTitle, m.sPageTitle);
  EXPECT_EQ(m2.AnswerType, 2);
  EXPECT_EQ(m2.WindowTop, 23.5);
  EXPECT_TRUE(m2.WindowFrame);
  EXPECT_EQ(m2.ExNumRight, m.ExNumRight);
  EXPECT_EQ(m2.FntExam.name, m.FntExam.name);
  EXPECT_EQ(m2.FntExam.size, 18);
  EXPECT_EQ(m2.FntExam.color, 255);
  EXPECT_TRUE(m2.FntExam.bold && m2.FntExam.italic);
  EXPECT_EQ(g2.ExamRowN, 5);
  EXPECT_EQ(g2.ExamColN, 4);
  EXPECT_EQ(g2.nRange, 2);
  EXPECT_FALSE(g2.fKakko) << "the bracket option off survives to the next run";
  EXPECT_EQ(g2.rnd_D, -3);

  const QString text = ini.text();
  QStringList order;
  for (const char* key : {"[Page]", "Header=", "PageTitle=", "Name=", "[Answer]", "Type=2",
                          "[Window]", "Top=23.5", "Frame=1", "[Exam]", "Row=5", "Separate=10",
                          "Kakko=0", "Integer=1", "[ExamFont]", "Name=ＭＳ 明朝", "Color=255",
                          "Italic=1"})
    order << QString::fromUtf8(key);
  int at = 0;
  for (const QString& key : order) {
    const int found = text.indexOf(key, at);
    EXPECT_GE(found, 0) << key.toStdString();
    if (found >= 0) at = found;
  }
}

TEST(MainSettings, ReaderFindsTheTitleUnderAnyCase) {
  QTemporaryDir dir;
  const QString path = dir.filePath("z.ini");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[page]\r\nPAGETITLE=\xe3\x81\x9f\xe3\x81\x97\xe7\xae\x97\r\n[Answer]\r\nType=0\r\n");
  f.close();
  IniFile ini(path);
  MainSettings m;
  GenerationSettings g;
  ReadSettings(ini, &m, &g);
  EXPECT_EQ(m.sPageTitle, QStringLiteral("たし算"));
  EXPECT_EQ(m.AnswerType, 0) << "read as stored; the window turns 0 into 1";
}

TEST(GridFields, RowAndColumnChecks) {
  const QString total = QStringLiteral("問題数は１以上２０以下でなければなりません"),
                rows = QStringLiteral("行は１以上１０以下でなければなりません"),
                cols = QStringLiteral("列は１以上４以下でなければなりません");
  struct Case {
    bool isRow;
    const char* text;
    const char* other;
    bool accepted;
    int value, product;
    QString message;
  } cases[] = {
      {false, "3", "10", false, 0, 0, total}, {false, "5", "1", false, 0, 0, cols},
      {false, "4", "5", true, 4, 20, ""},     {false, "0", "5", false, 0, 0, cols},
      {true, "11", "1", false, 0, 0, rows},   {true, "0", "1", false, 0, 0, rows},
      {true, "10", "2", true, 10, 20, ""},    {true, "6", "4", false, 0, 0, total},
      {true, "abc", "1", true, 10, 10, ""},   {false, "x", "abc", true, 1, 10, ""},
      {true, "7", "-1", false, 0, 0, total},
  };
  for (const Case& c : cases) {
    const GridCheck r = c.isRow ? CheckGridRows(c.text, c.other) : CheckGridCols(c.text, c.other);
    SCOPED_TRACE(std::string(c.isRow ? "row " : "col ") + c.text + " other " + c.other);
    EXPECT_EQ(r.accepted, c.accepted);
    if (c.accepted) {
      EXPECT_EQ(r.value, c.value);
      EXPECT_EQ(r.total, c.product);
    } else {
      EXPECT_EQ(r.message, c.message);
    }
  }
}

}  // namespace
}  // namespace zubira
