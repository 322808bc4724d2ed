#include "generation/preset.h"
#include "generation/preset_library.h"

#include "generation/mixed_set.h"
#include "platform/ini_file.h"
#include "preset_oracle.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace zubira {
namespace {

class PresetTest : public ::testing::Test {
 protected:
  QString write(const QString& name, const QByteArray& text) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    return path;
  }
  QTemporaryDir dir;
};

Preset samplePreset() {
  GenerationSettings gen;
  gen.nRange = 2;
  gen.fJust = true;
  gen.nJust = 30;
  gen.fZero = false;
  gen.fOne = false;
  gen.fTaiBun = true;
  gen.fKakko = false;
  gen.fInt = false;
  gen.rnd_D = -3;
  gen.Lesson.Denominator = 2;
  gen.Lesson.Reduce = 1;
  gen.Lesson.Regroup = 2;
  gen.Lesson.Form = 1;
  gen.ExamRowN = 5;
  gen.ExamColN = 4;
  RangeTexts ranges = {"1", "3", "1", "5", "6", "12", "0", "2", "2", "7", "3", "9"};
  OperandChoices choices;
  choices.sign1 = smEither;
  choices.sign2 = smMinus;
  choices.random2 = false;
  Preset p = PresetFromSettings(QStringLiteral("わたしの練習"), pkSub, ranges, choices, gen);
  p.grade = QStringLiteral("5年");
  return p;
}

TEST_F(PresetTest, SavedPresetReadsBackTheSame) {
  const Preset p = samplePreset();
  const QString path = dir.filePath(QStringLiteral("わたしの練習.ini"));
  ASSERT_EQ(SavePreset(p, path), QString());
  const PresetLoad back = LoadPreset(path);
  ASSERT_TRUE(back.preset) << back.message.toStdString();
  const Preset& q = *back.preset;
  EXPECT_EQ(q.id, QStringLiteral("わたしの練習"));
  EXPECT_EQ(q.path, QFileInfo(path).absoluteFilePath());
  EXPECT_EQ(q.name, p.name);
  EXPECT_EQ(q.grade, p.grade);
  EXPECT_EQ(PresetLabel(q), QStringLiteral("5年 わたしの練習"));
  EXPECT_EQ(q.kind, pkSub);
  EXPECT_EQ(q.ranges, p.ranges);
  EXPECT_EQ(q.choices.sign1, smEither);
  EXPECT_EQ(q.choices.sign2, smMinus);
  EXPECT_TRUE(q.choices.random1);
  EXPECT_FALSE(q.choices.random2);
  const GenerationSettings& a = q.settings;
  const GenerationSettings& b = p.settings;
  EXPECT_EQ(std::tie(a.nRange, a.fJust, a.nJust, a.fZero, a.fOne, a.fTaiBun, a.fKakko, a.fInt, a.rnd_D),
            std::tie(b.nRange, b.fJust, b.nJust, b.fZero, b.fOne, b.fTaiBun, b.fKakko, b.fInt, b.rnd_D));
  EXPECT_EQ(std::tie(a.Lesson.Denominator, a.Lesson.Reduce, a.Lesson.Regroup, a.Lesson.Cancel, a.Lesson.Form),
            std::tie(b.Lesson.Denominator, b.Lesson.Reduce, b.Lesson.Regroup, b.Lesson.Cancel, b.Lesson.Form));
  EXPECT_EQ(a.ExamRowN, 5);
  EXPECT_EQ(a.ExamColN, 4);
  EXPECT_EQ(a.MinV, (RangeBounds{1, 1, 6, 0, 2, 3}));
  EXPECT_EQ(a.MaxV, (RangeBounds{3, 5, 12, 2, 7, 9}));
  EXPECT_EQ(CheckPreset(p), QString());

  // Saving again replaces the file whole: nothing of an older file is kept.
  write(QStringLiteral("old.ini"), "; mine\n[Preset]\nName=x\nKind=0\nUnknown=1\n");
  ASSERT_EQ(SavePreset(p, dir.filePath(QStringLiteral("old.ini"))), QString());
  EXPECT_TRUE(LoadPreset(dir.filePath(QStringLiteral("old.ini"))).preset);
}

TEST_F(PresetTest, LeftOutKeysTakeTheWindowsDefaults) {
  const PresetLoad load = LoadPreset(write("short.ini", "[preset]\nname = 短い\nKIND=4\n"));
  ASSERT_TRUE(load.preset) << load.message.toStdString();
  const Preset& p = *load.preset;
  EXPECT_EQ(p.name, QStringLiteral("短い"));
  EXPECT_EQ(p.kind, pkMixedToImproper);
  EXPECT_EQ(p.ranges, defaultRangeTexts());
  EXPECT_EQ(p.choices.sign1, smPlus);
  EXPECT_TRUE(p.choices.random1 && p.choices.random2);
  const GenerationSettings def;
  EXPECT_EQ(std::tie(p.settings.nRange, p.settings.fZero, p.settings.fOne, p.settings.fKakko, p.settings.fInt,
                     p.settings.nJust, p.settings.ExamRowN, p.settings.ExamColN),
            std::tie(def.nRange, def.fZero, def.fOne, def.fKakko, def.fInt, def.nJust, def.ExamRowN, def.ExamColN));
}

// A file refused names the file and the first key (or line, or section) that is wrong, with the
// message the window gives for the same value typed.
TEST_F(PresetTest, BadFilesAreRefusedNamingTheFirstBadKey) {
  struct Case {
    const char* text;
    const char* why;
  } cases[] = {
      {"just some text\n", "プリセットのファイルではありません（[Preset] の節がありません）"},
      {"[Page]\nTitle=x\n", "プリセットのファイルではありません（[Preset] の節がありません）"},
      {"Name=x\n[Preset]\nKind=0\n", "「Name」が節の外にあります"},
      {"[Preset]\nName=x\nKind=0\n[Page]\nHeader=\n", "[Page] は使えない節です"},
      {"[]\n[Preset]\nName=x\nKind=0\n", "[] は使えない節です"},
      {"[Preset]\nName=x\nKind=0\n[Preset]\nRow=2\n", "[Preset] が二度あります"},
      {"[Preset]\nName=x\nKind 0\n", "「Kind 0」はキー=値の形ではありません"},
      {"[Preset]\nName=x\nKind=0\nColour=1\nMin1c=abc\n", "Colour は使えないキーです"},
      {"[Preset]\nName=x\nKind=0\nkind=1\n", "kind が二度あります"},
      {"[Preset]\nKind=0\n", "Name がありません"},
      {"[Preset]\nName=x\n", "Kind がありません"},
      {"[Preset]\nName=  \nKind=0\n", "Name: 空白は指定できません"},
      {"[Preset]\nName=x\nKind=6\n", "Kind: 0から5までの数を指定して下さい"},
      {"[Preset]\nName=x\nKind=0\nMin1c=\n", "Min1c: 空白は指定できません"},
      {"[Preset]\nName=x\nKind=0\nMax1c=abc\nMin1c=\n", "Max1c: 数を入力して下さい"},
      {"[Preset]\nName=x\nKind=0\nMax2i=1001\n", "Max2i: 1000以下を指定して下さい"},
      {"[Preset]\nName=x\nKind=0\nMax1m=10000\n", "Max1m: ４桁未満を指定して下さい"},
      {"[Preset]\nName=x\nKind=0\nMin2m=0\n", "Min2m: 分母に０は指定できません"},
      {"[Preset]\nName=x\nKind=0\nMin2c=-3\n", "Min2c: 設定値は４桁未満の正の数又は零でなければいけません"},
      {"[Preset]\nName=x\nKind=0\nMin1c=5\nMax1c=4\n", "Min1c: 最小値は最大値以下でなければいけません"},
      {"[Preset]\nName=x\nKind=0\nMin1i=1\nMax1i=1\nMax1m=5\nMin1c=6\n", "Min1c: 帯分数で分子が分母を越える設定はできません"},
      {"[Preset]\nName=x\nKind=0\nInteger=0\nMin2i=1\nMax2i=1\nMax2m=5\nMin2c=5\n",
       "Min2c: 整数を含まずに帯分数で分子が分母以上の設定はできません"},
      {"[Preset]\nName=x\nKind=0\nSign2=3\n", "Sign2: 0から2までの数を指定して下さい"},
      {"[Preset]\nName=x\nKind=0\nStep1=2\n", "Step1: 0か1を指定して下さい"},
      {"[Preset]\nName=x\nKind=0\nRange=-1\n", "Range: 0から2までの数を指定して下さい"},
      {"[Preset]\nName=x\nKind=0\nTaiBunSu=yes\n", "TaiBunSu: 数を入力して下さい"},
      {"[Preset]\nName=x\nKind=0\nJustMax=1\n", "JustMax: １を越える値で指定し直して下さい"},
      {"[Preset]\nName=x\nKind=0\nJustMax=many\n", "JustMax: 入力した文字列は数字ではありません"},
      {"[Preset]\nName=x\nKind=0\nRand=1.5\n", "Rand: 数を入力して下さい"},
      {"[Preset]\nName=x\nKind=0\nReduce=3\n", "Reduce: 0から2までの数を指定して下さい"},
      {"[Preset]\nName=x\nKind=0\nRow=11\n", "Row: 行は１以上１０以下でなければなりません"},
      {"[Preset]\nName=x\nKind=0\nCol=0\n", "Col: 列は１以上４以下でなければなりません"},
      {"[Preset]\nName=x\nKind=0\nRow=10\nCol=3\n", "Col: 問題数は１以上２０以下でなければなりません"},
      {"[Preset]\nName=x\nKind=0\nCancel=1\n", "Cancel: この種類の問題にはない条件です"},
      {"[Preset]\nName=x\nKind=2\nDenominator=2\n", "Denominator: この種類の問題にはない条件です"},
      {"[Preset]\nName=x\nKind=4\nRegroup=1\n", "Regroup: この種類の問題にはない条件です"},
      {"[Preset]\nName=x\nKind=2\nReduce=1\n", "Reduce: この種類の問題にはない条件です"},
      {"[Preset]\nName=x\nKind=0\nForm=2\n", "Form: 0か1を指定して下さい"},
      {"[Preset]\nName=x\nKind=5\nForm=1\n", "Form: この種類の問題にはない条件です"},
  };
  for (const Case& c : cases) {
    const PresetLoad load = LoadPreset(write("bad.ini", c.text));
    EXPECT_FALSE(load.preset) << c.text;
    EXPECT_EQ(load.message, QStringLiteral("プリセット「bad.ini」は読み込めません。\n") + QString::fromUtf8(c.why)) << c.text;
  }
  const PresetLoad missing = LoadPreset(dir.filePath("none.ini"));
  EXPECT_FALSE(missing.preset);
  EXPECT_EQ(missing.message, QStringLiteral("プリセット「none.ini」は読み込めません。\nファイルがありません"));
}

TEST_F(PresetTest, TypedValuesAreTakenAsTheEditsTakeThem) {
  const PresetLoad load = LoadPreset(write("t.ini", "[Preset]\nName=x\nKind=$3\nMax1c= 7 \nMin1i=\nMax2m=0x0A\nRow=+4\n"));
  ASSERT_TRUE(load.preset) << load.message.toStdString();
  EXPECT_EQ(load.preset->kind, pkDiv);
  EXPECT_EQ(load.preset->ranges[EdtMax1c], QStringLiteral("7"));
  EXPECT_EQ(load.preset->ranges[EdtMin1i], QStringLiteral("0"));
  EXPECT_EQ(load.preset->settings.MaxV[5], 10);
  EXPECT_EQ(load.preset->settings.ExamRowN, 4);
}

// The window keeps the marks of conditions its tab does not have; its preset leaves them out.
TEST_F(PresetTest, ConditionsTheKindDoesNotHaveAreLeftOut) {
  GenerationSettings gen;
  gen.Lesson = {1, 1, 1, 1, 1};
  const Preset mul = PresetFromSettings("x", pkMul, defaultRangeTexts(), OperandChoices(), gen);
  EXPECT_EQ(std::tie(mul.settings.Lesson.Denominator, mul.settings.Lesson.Reduce, mul.settings.Lesson.Regroup,
                     mul.settings.Lesson.Cancel, mul.settings.Lesson.Form),
            std::make_tuple(0, 0, 0, 1, 1));
  const Preset i2m = PresetFromSettings("x", pkImproperToMixed, defaultRangeTexts(), OperandChoices(), gen);
  EXPECT_EQ(i2m.settings.Lesson.Form, 0);
  EXPECT_EQ(CheckPreset(mul), QString());
  EXPECT_EQ(CheckPreset(i2m), QString());
}

TEST_F(PresetTest, ACheckedPresetInMemoryNamesItsBadKey) {
  Preset p = samplePreset();
  p.ranges[EdtMin1c] = QStringLiteral("x");
  EXPECT_EQ(CheckPreset(p), QStringLiteral("プリセット「わたしの練習」は読み込めません。\nMin1c: 数を入力して下さい"));
}

TEST_F(PresetTest, LibraryOrdersBuiltInsAndFindsUsersPresetsByFileName) {
  QDir(dir.path()).mkpath("builtin");
  QDir(dir.path()).mkpath("user");
  write("builtin/b.ini", "[Preset]\nName=B\nGrade=5年\nKind=0\n");
  write("builtin/a.ini", "[Preset]\nName=A\nGrade=4年\nKind=1\n");
  write("builtin/c.ini", "[Preset]\nName=C\nGrade=4年\nKind=2\n");
  write("builtin/order.list", "# order\nc\n\nb  # the second\n");
  write("user/mine.ini", "[Preset]\nName=わたしの\nKind=3\n");
  write("user/broken.ini", "[Preset]\nName=壊れた\nKind=9\n");
  write("user/notes.txt", "not a preset\n");
  const PresetLibrary lib = LoadPresetLibrary(dir.filePath("builtin"), dir.filePath("user"));
  ASSERT_EQ(lib.builtIn.size(), 3u);
  EXPECT_EQ(lib.builtIn[0].id, QStringLiteral("c"));
  EXPECT_EQ(lib.builtIn[1].id, QStringLiteral("b"));
  EXPECT_EQ(lib.builtIn[2].id, QStringLiteral("a")) << "ids not in the list come last";
  EXPECT_EQ(PresetGrades(lib.builtIn), QStringList({"4年", "5年"}));
  ASSERT_EQ(lib.user.size(), 1u);
  EXPECT_EQ(lib.user[0].id, QStringLiteral("mine"));
  ASSERT_EQ(lib.refused.size(), 1);
  EXPECT_TRUE(lib.refused[0].startsWith(QStringLiteral("プリセット「broken.ini」は読み込めません。"))) << lib.refused[0].toStdString();

  ASSERT_TRUE(lib.find("mine"));
  EXPECT_EQ(lib.find("mine")->kind, pkDiv);
  EXPECT_EQ(lib.find("b")->name, QStringLiteral("B"));
  EXPECT_FALSE(lib.find("broken"));
  EXPECT_EQ(ResolvePreset(lib, "b").preset->id, QStringLiteral("b"));
  EXPECT_EQ(ResolvePreset(lib, dir.filePath("user/mine.ini")).preset->name, QStringLiteral("わたしの"));
  EXPECT_EQ(ResolvePreset(lib, "nothing").message, QStringLiteral("プリセット「nothing」はありません"));
  EXPECT_EQ(ResolvePreset(lib, dir.filePath("user/broken.ini")).message, lib.refused[0]);

  const PresetLibrary none = LoadPresetLibrary(dir.filePath("absent"), QString());
  EXPECT_TRUE(none.builtIn.empty() && none.user.empty() && none.refused.isEmpty());
  EXPECT_EQ(UserPresetFolder(dir.filePath("conf/zubira.ini")), dir.filePath("conf/presets"));
  EXPECT_EQ(BuiltInPresetCandidates("/opt/z/bin"), QStringList({"/opt/z/bin/data/presets", "/opt/z/share/zubira/presets"}));
  const PresetLibrary same = LoadPresetLibrary(dir.filePath("builtin"), dir.filePath("builtin/../builtin"));
  EXPECT_EQ(same.builtIn.size(), 3u);
  EXPECT_TRUE(same.user.empty()) << "one folder is not read twice";
}

TEST_F(PresetTest, SavedNamesBecomeFileNames) {
  const struct {
    const char* name;
    const char* file;
  } cases[] = {{"5年のまとめ", "5年のまとめ.ini"}, {" a/b\\c:d ", "a_b_c_d.ini"}, {"..hidden", "__hidden.ini"},
               {"a*b?\"<>|", "a_b_____.ini"}, {"", "_.ini"}};
  for (const auto& c : cases) EXPECT_EQ(PresetFileNameFor(QString::fromUtf8(c.name)), QString::fromUtf8(c.file)) << c.name;
}

// Every built-in preset is read from the folder the program installs, and each makes what its
// name promises, as an oracle of its own reads the problems back.
TEST(BuiltInPresets, EachDrillsWhatItsNameSays) {
  const PresetLibrary lib = LoadPresetLibrary(QStringLiteral(ZUBIRA_PRESETS_SOURCE), QString());
  EXPECT_TRUE(lib.refused.isEmpty()) << lib.refused.join(u'\n').toStdString();
  QStringList ids;
  for (const Preset& p : lib.builtIn) ids << p.id;
  QStringList promised;
  for (const testing::Promise& p : testing::builtInPromises()) promised << QLatin1String(p.id);
  EXPECT_EQ(ids, promised) << "the units in the order of the course of study";
  EXPECT_EQ(PresetGrades(lib.builtIn), QStringList({"4年", "5年", "6年", "中1"}));
  EXPECT_EQ(PresetLabel(*lib.find("g5-diff-add")), QStringLiteral("5年 ちがう分母のたし算"));
  EXPECT_EQ(PresetLabel(*lib.find("g6-mul-cancel")), QStringLiteral("6年 途中で約分する分数×分数"));

  for (const Preset& preset : lib.builtIn) {
    const testing::Promise* promise = testing::promiseFor(preset.id);
    ASSERT_TRUE(promise) << preset.id.toStdString();
    for (uint64_t seed : {1u, 2u, 3u, 4u, 5u}) {
      PseudoRandomSource random(seed);
      MixedSet one;
      one.sections.push_back({preset, preset.settings.ExamRowN * preset.settings.ExamColN});
      const MixedSetResult r = MakeMixedSet(one, random, nullptr);
      ASSERT_EQ(r.status, MakeStatus::Done) << preset.id.toStdString() << ": " << r.message.toStdString();
      QStringList lines;
      for (const SheetProblem& q : r.problems) {
        EXPECT_EQ(q.kind, preset.kind);
        lines << q.first + u'\t' + q.second + u'\t' + q.answer;
      }
      for (const std::string& broken : testing::checkPromise(*promise, lines)) ADD_FAILURE() << broken;
    }
  }
}

}  // namespace
}  // namespace zubira
