#include "run_zubira.h"
#include "tests/generation/preset_oracle.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>
#include <set>

namespace zubira {
namespace {

using testing::ProcessResult;

// `zubira` with its settings, and so the user's presets, in a folder of the test's own.
class PresetCommand : public ::testing::Test {
 protected:
  ProcessResult zubira(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZUBIRA_SETTINGS", dir.filePath("zubira.ini"));
    env.remove("ZUBIRA_PRESETS");
    return testing::runZubira(args, 60000, env);
  }
  void write(const QString& name, const QByteArray& text) {
    QDir(dir.path()).mkpath(QFileInfo(dir.filePath(name)).path());
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  }
  static QStringList lines(const QString& out) { return out.split(u'\n', Qt::SkipEmptyParts); }
  QTemporaryDir dir;
};

TEST_F(PresetCommand, ListsBuiltInPresetsThenTheUsers) {
  write("presets/5年のまとめ.ini", "[Preset]\nName=5年のまとめ\nKind=0\n");
  write("presets/broken.ini", "[Preset]\nName=x\nKind=0\nColour=1\n");
  const ProcessResult r = zubira({"presets"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QStringList listed = lines(r.out);
  QStringList ids;
  for (const testing::Promise& p : testing::builtInPromises()) ids << QLatin1String(p.id);
  ASSERT_EQ(listed.size(), ids.size() + 1);
  for (int i = 0; i < ids.size(); ++i) EXPECT_EQ(listed[i].section(u'\t', 0, 0), ids[i]);
  EXPECT_TRUE(listed.contains(QStringLiteral("g5-diff-add\t5年\tちがう分母のたし算")));
  EXPECT_TRUE(listed.contains(QStringLiteral("j1-div\t中1\t正負の分数のわり算")));
  EXPECT_EQ(listed.last(), QStringLiteral("5年のまとめ\t\t5年のまとめ"));
  EXPECT_EQ(r.err, QStringLiteral("プリセット「broken.ini」は読み込めません。\nColour は使えないキーです\n"));

  // --settings names another settings file, and so another folder of the user's presets.
  write("other/presets/mine.ini", "[Preset]\nName=わたしの\nGrade=6年\nKind=2\n");
  const ProcessResult other = zubira({"presets", "--settings", dir.filePath("other/zubira.ini")});
  EXPECT_EQ(lines(other.out).last(), QStringLiteral("mine\t6年\tわたしの"));
  EXPECT_EQ(other.err, QString());
  EXPECT_TRUE(zubira({"presets", "--help"}).out.contains(QStringLiteral("zubira presets")));
  EXPECT_EQ(zubira({"presets", "extra"}).exitCode, 2);
}

// What the teacher gets from each unit through the command line, read back by the oracle.
TEST_F(PresetCommand, EveryBuiltInPresetDrillsWhatItsNameSays) {
  for (const testing::Promise& p : testing::builtInPromises()) {
    for (const char* seed : {"1", "2"}) {
      const ProcessResult r = zubira({"make", "--preset", QLatin1String(p.id), "--seed", QLatin1String(seed)});
      ASSERT_EQ(r.exitCode, 0) << p.id << ": " << r.err.toStdString();
      for (const std::string& broken : testing::checkPromise(p, lines(r.out))) ADD_FAILURE() << broken;
    }
  }
}

TEST_F(PresetCommand, OtherOptionsOverrideThePreset) {
  ProcessResult r = zubira({"make", "--preset", "g6-mul-cancel", "--rows", "3", "--cols", "1", "--kind", "div",
                            "--ranges", "0,0,1,1,2,2,0,0,1,1,3,3", "--cancel", "any"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(lines(r.out), QStringList(3, QStringLiteral("1/2\t1/3\t3/2")));

  // The preset's own options stay where nothing overrides them: answers as mixed numbers.
  r = zubira({"make", "--preset", "g4-mixed-add", "--seed", "3", "--rows", "2", "--cols", "1"});
  ASSERT_EQ(r.exitCode, 0);
  for (const QString& line : lines(r.out)) EXPECT_TRUE(line.section(u'\t', 2).contains(u'+')) << line.toStdString();
  r = zubira({"make", "--preset", "g4-mixed-add", "--seed", "3", "--rows", "2", "--cols", "1", "--set", "Exam/TaiBunSu=0"});
  for (const QString& line : lines(r.out)) EXPECT_FALSE(line.section(u'\t', 2).contains(u'+')) << line.toStdString();

  // A preset file, by its path.
  write("p.ini", "[Preset]\nName=ひとつ\nKind=2\nMin1c=2\nMax1c=2\nMin1m=3\nMax1m=3\nMin2c=3\nMax2c=3\nMin2m=4\nMax2m=4\nRow=2\n");
  r = zubira({"make", "--preset", dir.filePath("p.ini")});
  EXPECT_EQ(lines(r.out), QStringList(2, QStringLiteral("2/3\t3/4\t1/2")));
}

TEST_F(PresetCommand, BadPresetsAndMixesExitTwo) {
  write("bad.ini", "[Preset]\nName=x\nKind=0\nMin1c=5\nMax1c=4\n");
  write("big.ini", "[Preset]\nName=y\nKind=0\n");
  const struct {
    QStringList args;
    const char* err;
  } cases[] = {
      {{"make", "--preset", "nothing"}, "プリセット「nothing」はありません（zubira presets で一覧が見られます）\n"},
      {{"make", "--preset", dir.filePath("bad.ini")},
       "プリセット「bad.ini」は読み込めません。\nMin1c: 最小値は最大値以下でなければいけません\n"},
      {{"make", "--mix", "g4-same-add:3,nothing:2"}, "プリセット「nothing」はありません（zubira presets で一覧が見られます）\n"},
      {{"make", "--mix", "g4-same-add:6,g6-div:5"}, "問題数の合計11問が配置の10問を越えています\n"},
      {{"sheet", "--mix", "g4-same-add:12," + dir.filePath("big.ini") + ":9", "--rows", "10", "--cols", "2", "--problems",
        dir.filePath("x.pdf")},
       "問題数の合計21問が配置の20問を越えています\n"},
      {{"make", "--mix", "g4-same-add"}, "zubira make: --mix: \"g4-same-add\" is not ID:COUNT\n"},
      {{"make", "--mix", "g4-same-add:0"}, "zubira make: --mix: \"g4-same-add:0\": the count must be a number from 1 to 20\n"},
      {{"make", "--mix", "g4-same-add:2", "--kind", "mul"}, "zubira make: --kind does not go with --mix: each preset of the mix sets its own\n"},
      {{"make", "--mix", "g4-same-add:2", "--preset", "g6-div"},
       "zubira make: --preset does not go with --mix: each preset of the mix makes its own problems\n"},
      {{"make", "--shuffle"}, "zubira make: --shuffle needs --mix\n"},
      {{"sheet", "--mix", "g4-same-add:2", "--lists", dir.filePath("l.txt"), "--problems", dir.filePath("x.pdf")},
       "zubira sheet: --mix makes its own problems; leave out --lists\n"},
  };
  for (const auto& c : cases) {
    const ProcessResult r = zubira(c.args);
    EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString();
    EXPECT_TRUE(r.err.startsWith(QString::fromUtf8(c.err))) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
    EXPECT_EQ(r.out, QString());
  }
  EXPECT_FALSE(QFile::exists(dir.filePath("x.pdf")));
}

// Each line of a mix: the kind's name, then the three texts, recomputed exactly.
void expectMixLine(const QString& line, const char* kind) {
  const QStringList parts = line.split(u'\t');
  ASSERT_GE(parts.size(), 4) << line.toStdString();
  EXPECT_EQ(parts[0], QLatin1String(kind)) << line.toStdString();
  const auto a = testing::parseLine(parts[1]);
  const auto c = testing::parseLine(parts[3]);
  ASSERT_TRUE(a && c) << line.toStdString();
  if (parts[2] == QLatin1String("=")) {
    EXPECT_TRUE(a->n == c->n && a->d == c->d) << line.toStdString();
    return;
  }
  const auto b = testing::parseLine(parts[2]);
  ASSERT_TRUE(b) << line.toStdString();
  const std::map<QString, char> ops{{"add", '+'}, {"sub", '-'}, {"mul", '*'}, {"div", '/'}};
  __int128 n = 0, d = 1;
  switch (ops.at(parts[0])) {
    case '+': n = a->n * b->d + b->n * a->d; d = a->d * b->d; break;
    case '-': n = a->n * b->d - b->n * a->d; d = a->d * b->d; break;
    case '*': n = a->n * b->n; d = a->d * b->d; break;
    default: n = a->n * b->d; d = a->d * b->n; break;
  }
  EXPECT_TRUE(n * c->d == c->n * d) << line.toStdString();
}

TEST_F(PresetCommand, MixedSetsNameEachLinesKindInTheOrderGiven) {
  const QString mix = "g4-same-add:3,g6-mul-cancel:2,g4-i2m:2,j1-sub:3";
  const ProcessResult r = zubira({"make", "--mix", mix, "--seed", "5"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QStringList got = lines(r.out);
  const char* kinds[] = {"add", "add", "add", "mul", "mul", "i2m", "i2m", "sub", "sub", "sub"};
  ASSERT_EQ(got.size(), 10);
  for (int i = 0; i < 10; ++i) expectMixLine(got[i], kinds[i]);
  // Each section keeps what its preset promises.
  QStringList adds, muls;
  for (int i = 0; i < 3; ++i) adds << got[i].section(u'\t', 1);
  for (int i = 3; i < 5; ++i) muls << got[i].section(u'\t', 1);
  testing::Promise add = *testing::promiseFor("g4-same-add"), mul = *testing::promiseFor("g6-mul-cancel");
  add.count = 3;
  mul.count = 2;
  for (const std::string& broken : testing::checkPromise(add, adds)) ADD_FAILURE() << broken;
  for (const std::string& broken : testing::checkPromise(mul, muls)) ADD_FAILURE() << broken;

  // Shuffled with the same seed: the same problems in another order.
  const ProcessResult shuffled = zubira({"make", "--mix", mix, "--seed", "5", "--shuffle"});
  ASSERT_EQ(shuffled.exitCode, 0);
  const QStringList other = lines(shuffled.out);
  EXPECT_EQ(std::multiset<QString>(other.begin(), other.end()), std::multiset<QString>(got.begin(), got.end()));
  EXPECT_NE(other, got);
  EXPECT_EQ(zubira({"make", "--mix", mix, "--seed", "5", "--shuffle"}).out, shuffled.out);

  // The worked solution follows each problem's own kind.
  const ProcessResult keyed = zubira({"make", "--mix", "g4-i2m:1,g6-div:1", "--seed", "2", "--solutions"});
  const QStringList k = lines(keyed.out);
  ASSERT_EQ(k.size(), 2);
  EXPECT_TRUE(k[0].section(u'\t', 4).startsWith(k[0].section(u'\t', 1, 1) + " = ")) << k[0].toStdString();
  EXPECT_TRUE(k[1].section(u'\t', 4).contains(QStringLiteral("×"))) << k[1].toStdString();
}

TEST_F(PresetCommand, AnExhaustedSectionIsNamed) {
  write("neg.ini", "[Preset]\nName=負の答え\nKind=0\nSign1=1\nSign2=1\n");
  const QString mix = "g4-same-add:2," + dir.filePath("neg.ini") + ":2";
  ProcessResult r = zubira({"make", "--mix", mix, "--seed", "1"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, QStringLiteral("Loop over:答えが０以下（2番目「負の答え」）\n"));
  EXPECT_EQ(r.out, QString());
  r = zubira({"make", "--mix", mix, "--seed", "1", "--keep-failed"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(lines(r.out).size(), 4);
}

QString pdfText(const QString& pdf) {
  QProcess p;
  p.start("pdftotext", {"-layout", pdf, "-"});
  p.waitForFinished(30000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(PresetCommand, MixedSheetsNumberThroughAndMatchTheirLists) {
  const QStringList mix{"--mix", "g5-diff-add:4,g6-div:4,g4-m2i:4", "--rows", "6", "--cols", "2", "--seed", "8"};
  const ProcessResult made = zubira(QStringList{"make"} + mix);
  ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
  write("mix.txt", made.out.toUtf8());
  const QString p = dir.filePath("p.pdf"), a = dir.filePath("a.pdf"), k = dir.filePath("k.pdf");
  ASSERT_EQ(zubira(QStringList{"sheet"} + mix + QStringList{"--problems", p, "--answers", a, "--solutions", k}).exitCode, 0);
  const QString problems = pdfText(p);
  for (int n = 1; n <= 12; ++n) EXPECT_TRUE(problems.contains(QStringLiteral("(%1)").arg(n, 2))) << n;
  EXPECT_FALSE(problems.contains(QStringLiteral("(13)")));
  EXPECT_EQ(problems.count(QStringLiteral("＋")), 4);
  EXPECT_EQ(problems.count(QStringLiteral("÷")), 4);
  EXPECT_EQ(problems.count(u'='), 12);
  // The lists `make` printed, kinds and all, give the same sheets.
  const QString fromLists = dir.filePath("l.pdf"), keyFromLists = dir.filePath("lk.pdf");
  ASSERT_EQ(zubira({"sheet", "--lists", dir.filePath("mix.txt"), "--rows", "6", "--cols", "2", "--answers", fromLists,
                    "--solutions", keyFromLists})
                .exitCode,
            0);
  EXPECT_EQ(pdfText(fromLists), pdfText(a));
  EXPECT_EQ(pdfText(keyFromLists), pdfText(k));

  // A class set of mixed sheets: a new mix for each set.
  const QString v = dir.filePath("v.pdf");
  ASSERT_EQ(zubira(QStringList{"sheet"} + mix + QStringList{"--versions", "2", "--problems", v}).exitCode, 0);
  const QString both = pdfText(v);
  EXPECT_EQ(both.count(QStringLiteral("÷")), 8);
}

}  // namespace
}  // namespace zubira
