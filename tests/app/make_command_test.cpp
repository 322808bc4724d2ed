#include "run_zubira.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

namespace zubira {
namespace {

using testing::runZubira;

QStringList rows(const QString& out) {
  QStringList lines = out.split(u'\n');
  EXPECT_EQ(lines.last(), QString()) << "output ends with a newline";
  lines.removeLast();
  return lines;
}

TEST(MakeCommand, PrintsTabSeparatedMemoLines) {
  const auto r = runZubira({"make", "--seed", "42"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.err, QString());
  const QStringList lines = rows(r.out);
  ASSERT_EQ(lines.size(), 10);
  for (const QString& line : lines) EXPECT_EQ(line.split(u'\t').size(), 3) << line.toStdString();
  EXPECT_EQ(runZubira({"make", "--seed", "42"}).out, r.out) << "a seed makes the draws reproducible";
}

TEST(MakeCommand, SteppingGridAndKinds) {
  auto r = runZubira({"make", "--step1", "--ranges", "0,2,1,3,1,5,0,0,1,10,1,10", "--rows", "3",
                      "--cols", "2", "--seed", "1"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  QStringList first;
  for (const QString& line : rows(r.out)) first << line.section(u'\t', 0, 0);
  EXPECT_EQ(first, QStringList({"2+1/5", "2+2/5", "2+3/5", "2+1/5", "2+2/5", "2+3/5"}));

  r = runZubira({"make", "--kind", "m2i", "--ranges", "1,3,1,9,2,9,0,0,1,10,1,10", "--rows", "5"});
  ASSERT_EQ(r.exitCode, 0);
  for (const QString& line : rows(r.out)) EXPECT_EQ(line.section(u'\t', 1, 1), QStringLiteral("="));
}

TEST(MakeCommand, RangeMessagesExitTwo) {
  struct Case {
    const char* ranges;
    const char* message;
  } cases[] = {
      {"0,0,,10,1,10,0,0,1,10,1,10", "空白は指定できません"},
      {"0,0,1,abc,1,10,0,0,1,10,1,10", "数を入力して下さい"},
      {"0,0,1,10,1,10,0,1001,1,10,1,10", "1000以下を指定して下さい"},
      {"0,0,1,10,1,10000,0,0,1,10,1,10", "４桁未満を指定して下さい"},
      {"0,0,1,10,0,10,0,0,1,10,1,10", "分母に０は指定できません"},
      {"0,0,5,4,1,10,0,0,1,10,1,10", "最小値は最大値以下でなければいけません"},
      {"0,0,1,10,1,10,0,0,-3,10,1,10", "設定値は４桁未満の正の数又は零でなければいけません"},
      {"1,1,6,9,1,5,0,0,1,10,1,10", "帯分数で分子が分母を越える設定はできません"},
      // Each edit's own checks run first, in edit order, before the checks over all twelve.
      {"0,0,5,4,1,10,0,0,1,10,0,10", "分母に０は指定できません"},
  };
  for (const Case& c : cases) {
    const auto r = runZubira({"make", "--ranges", QString::fromUtf8(c.ranges)});
    EXPECT_EQ(r.exitCode, 2) << c.ranges;
    EXPECT_EQ(r.err, QString::fromUtf8(c.message) + u'\n') << c.ranges;
    EXPECT_EQ(r.out, QString());
  }
  const auto noInt = runZubira({"make", "--set", "Exam/Integer=0", "--ranges", "1,1,5,9,1,5,0,0,1,10,1,10"});
  EXPECT_EQ(noInt.exitCode, 2);
  EXPECT_EQ(noInt.err, QStringLiteral("整数を含まずに帯分数で分子が分母以上の設定はできません\n"));
}

TEST(MakeCommand, ExhaustionExitsThree) {
  auto r = runZubira({"make", "--sign1", "minus", "--sign2", "minus"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, QStringLiteral("Loop over:答えが０以下\n"));
  EXPECT_EQ(r.out, QString());

  r = runZubira({"make", "--sign1", "minus", "--sign2", "minus", "--keep-failed", "--rows", "2"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, QStringLiteral("Loop over:答えが０以下\nLoop over:答えが０以下\n"));
  const QStringList lines = rows(r.out);
  ASSERT_EQ(lines.size(), 2);
  for (const QString& line : lines) EXPECT_TRUE(line.section(u'\t', 2, 2).startsWith(u'-'));

  // A kept zero operand drawn with the minus sign is written without it.
  r = runZubira({"make", "--ranges", "0,0,1,5,1,5,0,0,0,0,1,5", "--sign2", "minus", "--rows", "2",
                 "--seed", "1", "--keep-failed"});
  EXPECT_EQ(r.exitCode, 3);
  ASSERT_EQ(rows(r.out).size(), 2);
  for (const QString& line : rows(r.out)) EXPECT_EQ(line.section(u'\t', 1, 1), QStringLiteral("0"));
}

TEST(MakeCommand, SettingsFileAndOverrides) {
  QTemporaryDir dir;
  const QString ini = dir.filePath("zubira.ini");
  {
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Exam]\r\nRow=4\r\nCol=2\r\nTaiBunSu=1\r\nRange=0\r\n");
  }
  auto r = runZubira({"make", "--settings", ini, "--seed", "9", "--ranges", "0,3,1,9,1,9,0,3,1,9,1,9"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  QStringList lines = rows(r.out);
  EXPECT_EQ(lines.size(), 8);
  bool mixed = false;
  for (const QString& line : lines) mixed = mixed || line.section(u'\t', 2, 2).contains(u'+');
  EXPECT_TRUE(mixed) << "TaiBunSu=1 writes mixed-number answers";

  r = runZubira({"make", "--settings", ini, "--set", "Exam/Row=1", "--cols", "3"});
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(rows(r.out).size(), 3);

  r = runZubira({"make", "--set", "Exam/Range=2", "--kind", "sub", "--rows", "10", "--cols", "2",
                 "--seed", "4"});
  ASSERT_EQ(r.exitCode, 0);
  bool negative = false;
  for (const QString& line : rows(r.out)) negative = negative || line.section(u'\t', 2, 2).startsWith(u'-');
  EXPECT_TRUE(negative) << "Range=2 allows negative answers";

  for (const QStringList& bad : {QStringList{"make", "--rows", "11"}, QStringList{"make", "--cols", "5"},
                                 QStringList{"make", "--rows", "10", "--cols", "3"},
                                 QStringList{"make", "--kind", "pow"}, QStringList{"make", "--bogus"},
                                 QStringList{"make", "--settings", dir.filePath("missing.ini")},
                                 QStringList{"make", "--set", "Exam/Row"},
                                 QStringList{"make", "--ranges", "1,2,3"}}) {
    const auto b = runZubira(bad);
    EXPECT_EQ(b.exitCode, 2) << bad.join(' ').toStdString();
    EXPECT_FALSE(b.err.isEmpty());
    EXPECT_EQ(b.out, QString());
  }
}

}  // namespace
}  // namespace zubira

namespace zubira {
namespace {

// The command line on Qt's parser: --opt=value, --, --help and --version of every subcommand.
TEST(CommandLine, BehavesAsOtherQtAndGnuPrograms) {
  const auto spaced = runZubira({"make", "--seed", "9", "--kind", "mul", "--rows", "3"});
  const auto joined = runZubira({"make", "--seed=9", "--kind=mul", "--rows=3"});
  ASSERT_EQ(spaced.exitCode, 0) << spaced.err.toStdString();
  EXPECT_EQ(joined.out, spaced.out) << "--opt=value is --opt value";
  struct Case {
    QStringList args;
    int exitCode;
    const char* out;  // part of stdout
    const char* err;  // part of stderr
  };
  const Case cases[] = {
      {{"make", "--help"}, 0, "--denominators", ""},
      {{"sheet", "-h"}, 0, "--solutions", ""},
      {{"draw", "--help"}, 0, "LISTFILE", ""},
      {{"make", "--version"}, 0, "Version", ""},
      {{"--version"}, 0, "Version", ""},
      {{"make", "--bogus"}, 2, "", "unknown option \"--bogus\""},
      {{"make", "--kind"}, 2, "", "--kind"},
      {{"make", "--kind", "pow"}, 2, "", "unknown kind"},
      {{"make", "--", "--rows"}, 2, "", "unexpected argument \"--rows\""},
      {{"make", "--reduce", "maybe"}, 2, "", "--reduce"},
      {{"make", "--denominators=equal"}, 2, "", "--denominators"},
      {{"make", "--fractions", "improper"}, 2, "", "--fractions: \"improper\" is not any or proper"},
      // A condition the kind does not have is refused, naming the option and the kind.
      {{"make", "--kind", "mul", "--denominators", "same"}, 2, "", "--denominators same does not apply to --kind mul"},
      {{"make", "--kind", "div", "--regroup", "yes"}, 2, "", "--regroup yes does not apply to --kind div"},
      {{"make", "--kind", "m2i", "--regroup", "no"}, 2, "", "--regroup no does not apply to --kind m2i"},
      {{"make", "--kind", "sub", "--cancel", "yes"}, 2, "", "--cancel yes does not apply to --kind sub"},
      {{"make", "--kind", "i2m", "--cancel", "no"}, 2, "", "--cancel no does not apply to --kind i2m"},
      {{"make", "--kind", "mul", "--reduce", "yes"}, 2, "", "--reduce yes does not apply to --kind mul"},
      {{"make", "--kind", "m2i", "--reduce", "no"}, 2, "", "--reduce no does not apply to --kind m2i"},
      {{"make", "--kind", "i2m", "--fractions", "proper"}, 2, "", "--fractions proper does not apply to --kind i2m"},
      {{"sheet", "--kind", "div", "--reduce", "no", "--problems", "x.pdf"}, 2, "", "--reduce no does not apply"},
      {{"sheet", "--copies", "2", "--problems", "x.pdf"}, 2, "", "--copies"},
      {{"sheet", "--print", "--copies", "100"}, 2, "", "--copies"},
      {{"sheet"}, 2, "", "--print"},
      {{"nosuch"}, 2, "", "unknown command"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(u' ').toStdString());
    const auto r = runZubira(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QString::fromUtf8(c.out))) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << r.err.toStdString();
  }
}

// The lesson options win over the settings file's Lesson keys; the reason when none can be met.
TEST(MakeCommand, LessonConditionsFromTheCommandLine) {
  auto r = runZubira({"make", "--seed", "4", "--rows", "10", "--cols", "2", "--denominators", "same"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  for (const QString& line : rows(r.out)) {
    const QStringList v = line.split(u'\t');
    EXPECT_TRUE(v[0].contains(u'/') && v[1].contains(u'/') && v[0].section(u'/', 1) == v[1].section(u'/', 1))
        << line.toStdString();
  }
  r = runZubira({"make", "--seed", "4", "--set", "Lesson/Denominator=1", "--denominators", "different"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  for (const QString& line : rows(r.out)) {
    const QStringList v = line.split(u'\t');
    EXPECT_NE(v[0].section(u'/', 1), v[1].section(u'/', 1)) << line.toStdString();
  }
  r = runZubira({"make", "--ranges", "0,0,1,1,2,2,0,0,1,1,3,3", "--denominators", "same", "--set", "Exam/Range=2"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, QStringLiteral("Loop over:分母が条件外\n"));
  r = runZubira({"make", "--kind", "mul", "--ranges", "0,0,2,2,3,3,0,0,3,3,4,4", "--cancel", "no"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, QStringLiteral("Loop over:途中の約分が条件外\n"));

  // Proper fractions only; the form of an operand, not its value, decides.
  r = runZubira({"make", "--seed", "4", "--rows", "10", "--cols", "2", "--fractions", "proper"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  for (const QString& line : rows(r.out))
    for (const QString& v : line.split(u'\t').mid(0, 2))
      if (v.contains(u'/')) {
        EXPECT_LT(v.section(u'/', 0, 0).toInt(), v.section(u'/', 1).toInt()) << line.toStdString();
      }
  r = runZubira({"make", "--ranges", "0,0,3,3,2,2,0,0,1,10,1,10", "--fractions", "proper"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, QStringLiteral("Loop over:分数の形が条件外\n"));
  // A conversion that needs none: kind 4 with no integer part to convert.
  r = runZubira({"make", "--kind", "m2i"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, QStringLiteral("Loop over:変換の必要がない\n"));

  // "any" is accepted for every kind.
  for (const char* kind : {"add", "sub", "mul", "div", "m2i", "i2m"}) {
    r = runZubira({"make", "--kind", kind, "--ranges", "1,2,1,9,2,9,0,0,1,10,2,10", "--seed", "3", "--denominators",
                   "any", "--reduce", "any", "--regroup", "any", "--cancel", "any", "--fractions", "any"});
    EXPECT_EQ(r.exitCode, 0) << kind << r.err.toStdString();
  }
}

// The worked solution as a fourth column: from the problem as listed to the answer as listed.
TEST(MakeCommand, SolutionsColumn) {
  const std::pair<const char*, const char*> kinds[] = {{"add", " + "}, {"sub", " - "}, {"mul", " × "},
                                                       {"div", " ÷ "}, {"m2i", ""}, {"i2m", ""}};
  for (const auto& [kind, op] : kinds) {
    SCOPED_TRACE(kind);
    const auto r = runZubira({"make", "--kind", kind, "--seed", "12", "--rows", "10", "--cols", "2",
                              "--ranges", "0,2,1,9,2,9,0,2,1,9,2,9", "--solutions"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const QString& line : rows(r.out)) {
      const QStringList v = line.split(u'\t');
      ASSERT_EQ(v.size(), 4) << line.toStdString();
      // An improper fraction's chain ends with its division: "(24 ÷ 7 = 3 あまり 3)".
      QString chain = v[3];
      const QRegularExpression remark(QStringLiteral(" \\(([0-9]+) ÷ ([0-9]+) = [0-9]+( あまり [0-9]+)?\\)$"));
      const QRegularExpressionMatch m = remark.match(chain);
      EXPECT_EQ(m.hasMatch(), QByteArray(kind) == "i2m") << line.toStdString();
      if (m.hasMatch()) {
        EXPECT_EQ(m.captured(1) + u'/' + m.captured(2), v[0]);
      }
      chain.remove(remark);
      const QStringList steps = chain.split(QStringLiteral(" = "));
      const QString problem = *op ? v[0] + QString::fromUtf8(op) + v[1] : v[0];
      EXPECT_EQ(steps.first(), problem) << line.toStdString();
      EXPECT_EQ(steps.last(), v[2]) << line.toStdString();
    }
  }
}

}  // namespace
}  // namespace zubira
