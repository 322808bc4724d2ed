#include "platform/ini_file.h"

#include "platform/sjis_text.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  QString path(const QString& name = QStringLiteral("zubira.ini")) const {
    return dir_.filePath(name);
  }
  void writeBytes(const QString& p, const QByteArray& bytes) {
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QByteArray readBytes(const QString& p) {
    QFile f(p);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QTemporaryDir dir_;
};

TEST_F(IniFileTest, MissingFileReadsDefaults) {
  IniFile ini(path());
  EXPECT_TRUE(ini.readOk());
  EXPECT_FALSE(ini.hasSection("Page"));
  EXPECT_EQ(ini.readString("Page", "PageTitle", "かずの計算"), QStringLiteral("かずの計算"));
  EXPECT_EQ(ini.readInteger("Exam", "Row", 10), 10);
  EXPECT_TRUE(ini.readBool("Exam", "Zero", true));
  EXPECT_DOUBLE_EQ(ini.readReal("Window", "Top", 10), 10);
  EXPECT_EQ(ini.readColor("ExamFont", "Color", 0xFF), 0xFF);
  EXPECT_FALSE(QFile::exists(path())) << "reading must not create the file";
}

TEST_F(IniFileTest, WrittenValuesReadBackAndFileIsPlain) {
  {
    IniFile ini(path());
    ini.writeString("Page", "PageTitle", "かずの計算");
    ini.writeString("Page", "DateTime", "　　月　　日　　　時　　分 ～　　　時　　分");
    ini.writeInteger("Exam", "Row", -7);
    ini.writeBool("Exam", "Kakko", false);
    ini.writeReal("Window", "Top", 12.5);
    ini.writeColor("ExamFont", "Color", 0x00FF0080);
    ASSERT_TRUE(ini.save()) << ini.errorString().toStdString();
  }
  EXPECT_EQ(QString::fromUtf8(readBytes(path())),
            QStringLiteral("[Page]\nPageTitle=かずの計算\n"
                           "DateTime=　　月　　日　　　時　　分 ～　　　時　　分\n\n"
                           "[Exam]\nRow=-7\nKakko=0\n\n"
                           "[Window]\nTop=12.5\n\n"
                           "[ExamFont]\nColor=16711808\n"));
  IniFile back(path());
  EXPECT_EQ(back.readString("page", "pagetitle", ""), QStringLiteral("かずの計算"));
  EXPECT_EQ(back.readString("Page", "DateTime", ""),
            QStringLiteral("　　月　　日　　　時　　分 ～　　　時　　分"));
  EXPECT_EQ(back.readInteger("EXAM", "ROW", 0), -7);
  EXPECT_FALSE(back.readBool("Exam", "Kakko", true));
  EXPECT_DOUBLE_EQ(back.readReal("Window", "Top", 0), 12.5);
  EXPECT_EQ(back.readColor("ExamFont", "Color", 0), 0x00FF0080);
}

TEST_F(IniFileTest, WritingOneKeyKeepsEveryOtherLine) {
  // Written by hand on Windows: CP932, CR LF, comments, unknown sections, mixed-case names.
  const QString original = QStringLiteral(
      "; 設定ファイル\r\n"
      "[Other]\r\n"
      "Thing = 様々な値\r\n"
      "\r\n"
      "[page]\r\n"
      "pagetitle=分数の計算\r\n"
      "# a comment inside\r\n"
      "Header=ヘッダー ＋－×÷～\r\n"
      "\r\n"
      "[Last]\r\n"
      "x=1\r\n");
  writeBytes(path(), *encodeCp932(original));

  IniFile ini(path());
  EXPECT_EQ(ini.readString("Page", "PageTitle", ""), QStringLiteral("分数の計算"));
  ini.writeString("Page", "PageTitle", "かずの計算");
  ini.writeString("Page", "Footer", "フッター");
  ASSERT_TRUE(ini.save());

  QString expected = original;
  expected.replace(QStringLiteral("pagetitle=分数の計算"), QStringLiteral("pagetitle=かずの計算"));
  expected.replace(QStringLiteral("Header=ヘッダー ＋－×÷～\r\n"),
                   QStringLiteral("Header=ヘッダー ＋－×÷～\r\nFooter=フッター\r\n"));
  EXPECT_EQ(QString::fromUtf8(readBytes(path())), expected);
  EXPECT_TRUE(isValidUtf8(readBytes(path())));
}

TEST_F(IniFileTest, ValueFormsAndBadValues) {
  writeBytes(path(),
             "[A]\n"
             "int=42\nneg= -3 \nhex=$FF\nhex2=0x10\nbad=4x\nempty=\nbig=99999999999\n"
             "b2=2\nbtext=true\n"
             "real=0.25\nrealbad=abc\nrealcomma=2,5\n"
             "dup=first\ndup=second\n");
  IniFile ini(path());
  EXPECT_EQ(ini.readInteger("A", "int", 0), 42);
  EXPECT_EQ(ini.readInteger("A", "neg", 0), -3);
  EXPECT_EQ(ini.readInteger("A", "hex", 0), 255);
  EXPECT_EQ(ini.readInteger("A", "hex2", 0), 16);
  EXPECT_EQ(ini.readInteger("A", "bad", 7), 7);
  EXPECT_EQ(ini.readInteger("A", "empty", 7), 7);
  EXPECT_EQ(ini.readInteger("A", "big", 7), 7);
  EXPECT_TRUE(ini.readBool("A", "b2", false));
  EXPECT_FALSE(ini.readBool("A", "btext", false)) << "booleans read as integers";
  EXPECT_DOUBLE_EQ(ini.readReal("A", "real", 0), 0.25);
  EXPECT_DOUBLE_EQ(ini.readReal("A", "realbad", 10), 10);
  EXPECT_DOUBLE_EQ(ini.readReal("A", "realcomma", 10), 10);
  EXPECT_EQ(ini.readString("A", "dup", ""), QStringLiteral("first"));
  EXPECT_EQ(ini.readString("A", "missing", "def"), QStringLiteral("def"));
  EXPECT_EQ(ini.readString("Missing", "int", "def"), QStringLiteral("def"));
  EXPECT_EQ(ini.readString("A", "empty", "def"), QString()) << "an empty value is a value";
}

TEST_F(IniFileTest, EdgeBlanksQuotesAndLineBreaksSurvive) {
  {
    IniFile ini(path());
    ini.writeString("S", "lead", "  two blanks");
    ini.writeString("S", "quoted", "\"as typed\"");
    ini.writeString("S", "ideo", "　全角空白で始まる");
    ini.writeString("S", "broken", "line\r\nbreak");
    ASSERT_TRUE(ini.save());
  }
  IniFile back(path());
  EXPECT_EQ(back.readString("S", "lead", ""), QStringLiteral("  two blanks"));
  EXPECT_EQ(back.readString("S", "quoted", ""), QStringLiteral("\"as typed\""));
  EXPECT_EQ(back.readString("S", "ideo", ""), QStringLiteral("　全角空白で始まる"));
  EXPECT_EQ(back.readString("S", "broken", ""), QStringLiteral("line break"));
  EXPECT_EQ(back.text().count(u'\n'), 5) << "one section line and four key lines";
}

TEST_F(IniFileTest, NewKeyGoesAtTheEndOfItsSection) {
  writeBytes(path(), "[A]\nx=1\n\n\n[B]\ny=2\n");
  IniFile ini(path());
  ini.writeInteger("a", "z", 3);
  ini.writeInteger("B", "Y", 5);
  EXPECT_EQ(ini.text(), QStringLiteral("[A]\nx=1\nz=3\n\n\n[B]\ny=5\n"));
}

TEST_F(IniFileTest, ReplacingKeepsKeySpellingAndSpacing) {
  writeBytes(path(), "[Exam]\n  Row = 10\n");
  IniFile ini(path());
  ini.writeInteger("exam", "ROW", 4);
  EXPECT_EQ(ini.text(), QStringLiteral("[Exam]\n  Row = 4\n"));
}

TEST_F(IniFileTest, FailedSaveReportsAndLeavesTheOldFile) {
  writeBytes(path("blocker"), "not a folder");
  IniFile ini(dir_.filePath("blocker/zubira.ini"));
  ini.writeInteger("A", "x", 1);
  EXPECT_FALSE(ini.save());
  EXPECT_FALSE(ini.errorString().isEmpty());
  EXPECT_EQ(readBytes(path("blocker")), QByteArray("not a folder"));
}

// A file that begins with byte-order marks, one or several, is written back with one: reading,
// saving and reading again gives the same text.
TEST_F(IniFileTest, ByteOrderMarkIsKeptAcrossASave) {
  const QByteArray bom = "\xEF\xBB\xBF", body = "[Page]\r\nRow=4\r\n";
  struct Case {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"none", body},
      {"one", bom + body},
      {"three", bom + bom + bom + body},
      {"three alone", bom + bom + bom},
      {"one before CP932", bom + *encodeCp932(QStringLiteral("[Page]\r\nRow=4\r\nTitle=分数\r\n"))},
  };
  for (const Case& c : cases) {
    writeBytes(path(), c.bytes);
    IniFile first(path());
    first.writeInteger("Exam", "Count", 5);
    ASSERT_TRUE(first.save()) << c.name;
    const QByteArray saved = readBytes(path());
    const bool marked = c.bytes.startsWith(bom);
    EXPECT_EQ(saved.startsWith(bom), marked) << c.name;
    EXPECT_EQ(saved.mid(marked ? 3 : 0), first.text().toUtf8()) << c.name;
    const IniFile again(path());
    EXPECT_EQ(again.text(), first.text()) << c.name;
    EXPECT_EQ(again.readInteger("Exam", "Count", 0), 5) << c.name;
    if (c.bytes.contains("Row")) {
      EXPECT_EQ(again.readInteger("Page", "Row", 0), 4) << c.name;
    }
  }
}

TEST_F(IniFileTest, GarbageReadsAsDefaults) {
  QByteArray junk("\x00\xff\xfe[\x01=\n=novalue\n[unclosed\nkey-without-equals\n", 38);
  junk += QByteArray(100000, 'x');
  writeBytes(path(), junk);
  IniFile ini(path());
  EXPECT_EQ(ini.readInteger("Exam", "Row", 10), 10);
  ini.writeInteger("Exam", "Row", 3);
  ASSERT_TRUE(ini.save());
  EXPECT_EQ(IniFile(path()).readInteger("Exam", "Row", 10), 3);
}

TEST_F(IniFileTest, OutlineNamesSectionsKeysAndStrayLines) {
  writeBytes(path(), "stray=1\n; note\n[Preset]\n Name = a\n# comment\nKind=0\nno equals sign\n\n"
                     "[Other]\nKey=v\n[preset]\nName=b\n");
  const IniFile ini(path());
  const std::vector<IniFile::Section> o = ini.outline();
  ASSERT_EQ(o.size(), 4u);
  EXPECT_EQ(o[0].name, QString());
  EXPECT_FALSE(o[0].header);
  EXPECT_EQ(o[0].keys, QStringList{"stray"});
  EXPECT_TRUE(o[1].header);
  EXPECT_EQ(o[1].name, QStringLiteral("Preset"));
  EXPECT_EQ(o[1].keys, QStringList({"Name", "Kind"}));
  EXPECT_EQ(o[1].otherLines, QStringList{"no equals sign"});
  EXPECT_EQ(o[2].name, QStringLiteral("Other"));
  EXPECT_EQ(o[3].name, QStringLiteral("preset")) << "a repeated section is listed again";
  EXPECT_TRUE(IniFile(path("none.ini")).outline().empty());
}

TEST_F(IniFileTest, ClearedFileSavesOnlyWhatIsWrittenAfter) {
  writeBytes(path(), "; old\n[Preset]\nUnknown=1\nName=old\n");
  IniFile ini(path());
  ini.clear();
  ini.writeString("Preset", "Name", "new");
  ASSERT_TRUE(ini.save()) << ini.errorString().toStdString();
  EXPECT_EQ(QString::fromUtf8(readBytes(path())), QStringLiteral("[Preset]\nName=new\n"));
}

TEST_F(IniFileTest, SettingsPathFollowsTheExecutableOrTheEnvironment) {
  qunsetenv("ZUBIRA_SETTINGS");
  EXPECT_TRUE(defaultSettingsPath().endsWith(QStringLiteral("/platform_tests.ini")))
      << defaultSettingsPath().toStdString();
  qputenv("ZUBIRA_SETTINGS", path().toUtf8());
  EXPECT_EQ(defaultSettingsPath(), path());
  qunsetenv("ZUBIRA_SETTINGS");
}

}  // namespace
}  // namespace zubira
