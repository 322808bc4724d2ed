// The section "Problem" of the settings file and the subtitle that follows the kind.

#include "worksheet/problem_settings.h"

#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace zubira {
namespace {

IniFile iniWith(const QTemporaryDir& dir, const QByteArray& text) {
  const QString path = dir.filePath("z.ini");
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(text);
  f.close();
  return IniFile(path);
}

TEST(ProblemSettings, WrittenAndReadBack) {
  QTemporaryDir dir;
  const QString path = dir.filePath("z.ini");
  ProblemSettings p;
  p.kind = pkDiv;
  p.ranges = {"1", "3", "0", "$A", "2", "12", "0", "0", "1", "9", "1", "9"};
  p.sign1 = smEither;
  p.sign2 = smMinus;
  p.step1 = true;
  {
    IniFile ini(path);
    WriteProblemSettings(ini, p);
    ASSERT_TRUE(ini.save());
  }
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(f.readAll());
  for (const char* line : {"[Problem]", "Kind=3", "Min1i=1", "Max1c=$A", "Max2m=9", "Sign1=2", "Sign2=1",
                           "Step1=1", "Step2=0"})
    EXPECT_TRUE(text.contains(QLatin1String(line))) << line << " in\n" << text.toStdString();
  const ProblemSettings back = ReadProblemSettings(IniFile(path), true);
  EXPECT_EQ(back.kind, p.kind);
  EXPECT_EQ(back.ranges, p.ranges);
  EXPECT_EQ(back.sign1, p.sign1);
  EXPECT_EQ(back.sign2, p.sign2);
  EXPECT_EQ(back.step1, true);
  EXPECT_EQ(back.step2, false);
}

TEST(ProblemSettings, NoSectionGivesTheWindowAsItStarts) {
  QTemporaryDir dir;
  const ProblemSettings p = ReadProblemSettings(iniWith(dir, "[Exam]\nRow=5\n"), true);
  EXPECT_EQ(p.kind, pkAdd);
  EXPECT_EQ(p.ranges, defaultRangeTexts());
  EXPECT_EQ(p.sign1, smPlus);
  EXPECT_EQ(p.sign2, smPlus);
  EXPECT_FALSE(p.step1);
  EXPECT_FALSE(p.step2);
}

// Each value is checked as the window checks it when typed; what would be refused gives way to
// its default and the rest is kept.
TEST(ProblemSettings, RefusedValuesFallBackToTheirDefaultsSilently) {
  const RangeTexts d = defaultRangeTexts();
  auto with = [&](std::initializer_list<std::pair<int, const char*>> changes) {
    RangeTexts t = d;
    for (auto [k, v] : changes) t[size_t(k)] = QLatin1String(v);
    return t;
  };
  const struct {
    const char* section;
    int kind;
    RangeTexts ranges;
    int sign1, sign2;
    bool step1, step2;
  } cases[] = {
      {"Kind=6\nSign1=3\nSign2=-1\nStep1=2\nStep2=x\n", 0, d, 0, 0, false, false},
      {"Kind=abc\nSign1= 2 \nStep2=1\n", 0, d, 2, 0, false, true},
      {"Kind=$5\nSign2=0x1\n", 5, d, 0, 1, false, false},
      {"Kind=\nSign1=1.5\n", 0, d, 0, 0, false, false},
      {"Kind=-0\nStep1=01\n", 0, d, 0, 0, true, false},
      // Texts refused on their own: letters, five digits, a zero denominator, a negative bound,
      // a blank numerator. A blank integer part is "0", as leaving the edit makes it.
      {"Max1c=abc\nMax1m=10000\nMin2m=0\nMax2c=-3\nMin1c=\nMax1i=\nMin2i= 0 \n", 0, d, 0, 0, false, false},
      {"Max1c= 7 \nMin2c=2\nMax2c=$F\n", 0, with({{EdtMax1c, "7"}, {EdtMin2c, "2"}, {EdtMax2c, "$F"}}), 0, 0,
       false, false},
      // Bounds that cross: the operand at fault starts from its defaults, the other keeps its
      // texts.
      {"Min1c=20\nMax1c=12\nMin2c=3\nMax2c=4\n", 0, with({{EdtMin2c, "3"}, {EdtMax2c, "4"}}), 0, 0, false, false},
      {"Min1m=5\nMax1m=6\nMin2m=9\nMax2m=2\n", 0, with({{EdtMin1m, "5"}, {EdtMax1m, "6"}}), 0, 0, false, false},
      {"Min1c=9\nMax1c=2\nMin2m=9\nMax2m=2\n", 0, d, 0, 0, false, false},
      // A mixed number whose numerator can never be below its denominator.
      {"Min1i=1\nMax1i=2\nMin1c=9\nMax1c=9\nMin1m=2\nMax1m=3\n", 0, d, 0, 0, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.section);
    QTemporaryDir dir;
    const ProblemSettings p =
        ReadProblemSettings(iniWith(dir, QByteArray("[Problem]\n") + c.section), true);
    EXPECT_EQ(p.kind, c.kind);
    EXPECT_EQ(p.ranges, c.ranges);
    EXPECT_EQ(p.sign1, c.sign1);
    EXPECT_EQ(p.sign2, c.sign2);
    EXPECT_EQ(p.step1, c.step1);
    EXPECT_EQ(p.step2, c.step2);
  }
}

TEST(ProblemSettings, MixedNumberRangesFollowTheIntegerOption) {
  QTemporaryDir dir;
  // Numerators from 4 with denominators up to 4: a mixed number only with whole numbers allowed.
  const QByteArray section = "[Problem]\nMin1i=1\nMax1i=2\nMin1c=4\nMax1c=4\nMin1m=2\nMax1m=4\n";
  const RangeTexts kept = ReadProblemSettings(iniWith(dir, section), true).ranges;
  EXPECT_EQ(kept[EdtMin1c], "4");
  EXPECT_EQ(ReadProblemSettings(iniWith(dir, section), false).ranges, defaultRangeTexts());
}

TEST(ProblemSettings, SubtitleFollowsTheKindUntilTheUserTypesOne) {
  const char* defaults[] = {"たしざんのもんだい", "ひきざんのもんだい", "かけざんのもんだい", "わりざんのもんだい",
                            "帯分数を仮分数になおすもんだい", "仮分数を帯分数になおすもんだい"};
  for (int k = 0; k < ProblemKindCount; ++k)
    EXPECT_EQ(defaultSubTitle(ProblemKind(k)), QString::fromUtf8(defaults[k])) << k;
  const struct {
    const char* current;
    ProblemKind from, to;
    const char* result;
  } cases[] = {
      {"たしざんのもんだい", pkAdd, pkSub, "ひきざんのもんだい"},
      {"ひきざんのもんだい", pkSub, pkImproperToMixed, "仮分数を帯分数になおすもんだい"},
      {"たしざんのもんだい", pkSub, pkMul, "たしざんのもんだい"},  // not the default of the kind left
      {"分数のたし算", pkAdd, pkSub, "分数のたし算"},
      {"", pkAdd, pkDiv, ""},
      {"たしざんのもんだい ", pkAdd, pkSub, "たしざんのもんだい "},
      {"わりざんのもんだい", pkDiv, pkDiv, "わりざんのもんだい"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(followSubTitle(QString::fromUtf8(c.current), c.from, c.to), QString::fromUtf8(c.result))
        << c.current << " " << c.from << "->" << c.to;
  ProblemSet mixed(2), divisions(2);
  mixed[1].kind = divisions[0].kind = divisions[1].kind = pkDiv;
  EXPECT_EQ(sheetSubTitle(QStringLiteral("かけざんのもんだい"), pkMul, mixed), QStringLiteral("まとめのもんだい"));
  EXPECT_EQ(sheetSubTitle(QStringLiteral("かけざんのもんだい"), pkMul, divisions), QStringLiteral("わりざんのもんだい"));
  EXPECT_EQ(sheetSubTitle(QStringLiteral("かけざんのもんだい"), pkAdd, mixed), QStringLiteral("かけざんのもんだい"));
  EXPECT_EQ(sheetSubTitle(QStringLiteral("かけざんのもんだい"), pkMul, {}), QStringLiteral("かけざんのもんだい"));
}

}  // namespace
}  // namespace zubira
