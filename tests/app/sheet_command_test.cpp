#include "run_zubira.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

namespace zubira {
namespace {

using testing::runZubira;

QString run(const QStringList& args) {
  QProcess p;
  p.start(args[0], args.mid(1));
  p.waitForFinished(30000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfText(const QString& pdf, int page = 0) {
  QStringList args{"pdftotext"};
  if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
  return run(args << pdf << "-");
}

// A page's text without the set label of a batch.
QString withoutSetLabel(const QString& text) {
  QStringList lines = text.split(u'\n');
  lines.removeIf([](const QString& line) { return line.startsWith(QStringLiteral("セット ")); });
  return lines.join(u'\n');
}

class SheetCommand : public ::testing::Test {
 protected:
  QTemporaryDir dir;
};

TEST_F(SheetCommand, ProblemAndAnswerSheetsReadBack) {
  const QString p = dir.filePath("p.pdf"), a = dir.filePath("a.pdf");
  QFile lists(dir.filePath("lists.txt"));
  ASSERT_TRUE(lists.open(QIODevice::WriteOnly));
  // Whole-number answers read back as plain text.
  for (int i = 1; i <= 10; ++i) lists.write(QStringLiteral("%1/2\t%2/2\t%3\n").arg(i).arg(i + 2).arg(i + 1).toUtf8());
  lists.close();
  const auto r = runZubira({"sheet", "--lists", lists.fileName(), "--problems", p, "--answers", a});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QString problems = pdfText(p), answers = pdfText(a);
  EXPECT_TRUE(problems.contains(QStringLiteral("かずの計算")));
  EXPECT_TRUE(problems.contains(QStringLiteral("たしざんのもんだい")));
  EXPECT_FALSE(problems.contains(QStringLiteral("(答)")));
  EXPECT_TRUE(answers.contains(QStringLiteral("たしざんのもんだい (答)")));
  for (const QString& sheet : {problems, answers}) EXPECT_FALSE(sheet.contains(QStringLiteral("セット"))) << "a single sheet has no set label";
  int at = 0;
  for (int k = 1; k <= 10; ++k) {
    const QString label = QStringLiteral("(%1)").arg(k, 2);
    const int found = problems.indexOf(label, at);
    EXPECT_GE(found, 0) << label.toStdString() << " in order";
    if (found >= 0) at = found;
    EXPECT_TRUE(answers.contains(label));
  }
  const QStringList answerWords = answers.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
  for (int i = 2; i <= 11; ++i) EXPECT_TRUE(answerWords.contains(QString::number(i))) << i;
  EXPECT_TRUE(run({"pdfinfo", p}).contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 842")));
}

// The subtitle the window left with its kind follows the kind of the sheet, as the window's tab
// does; a mixed sheet names no one kind.
TEST_F(SheetCommand, TheSubtitleFollowsTheKind) {
  const struct {
    QStringList args;
    const char* subtitle;
  } cases[] = {
      {{"--kind", "sub"}, "ひきざんのもんだい"},
      {{"--preset", "g6-div"}, "わりざんのもんだい"},
      {{"--mix", "g4-same-add:2,g6-div:2"}, "まとめのもんだい"},
      // Left on ひき算 with the subtitle of たし算 typed: the user's, kept.
      {{"--kind", "mul", "--set", "Problem/Kind=1"}, "たしざんのもんだい"},
  };
  for (const auto& c : cases) {
    const QString p = dir.filePath("p.pdf");
    const auto r = runZubira(QStringList{"sheet", "--seed", "2", "--problems", p} + c.args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(pdfText(p).contains(QString::fromUtf8(c.subtitle))) << c.args.join(u' ').toStdString();
  }
}

TEST_F(SheetCommand, SeedDrawsTheProblemsOfMake) {
  const auto made = runZubira({"make", "--seed", "7", "--kind", "sub"});
  ASSERT_EQ(made.exitCode, 0);
  QFile lists(dir.filePath("made.txt"));
  ASSERT_TRUE(lists.open(QIODevice::WriteOnly));
  lists.write(made.out.toUtf8());
  lists.close();
  const QString fromSeed = dir.filePath("s.pdf"), fromLists = dir.filePath("l.pdf");
  ASSERT_EQ(runZubira({"sheet", "--seed", "7", "--kind", "sub", "--answers", fromSeed}).exitCode, 0);
  ASSERT_EQ(runZubira({"sheet", "--lists", lists.fileName(), "--kind", "sub", "--answers", fromLists}).exitCode, 0);
  EXPECT_EQ(pdfText(fromSeed), pdfText(fromLists));
}

TEST_F(SheetCommand, VersionsMakeDifferentSetsEachWithItsAnswers) {
  const QString pdf = dir.filePath("v.pdf");
  const auto r = runZubira({"sheet", "--versions", "3", "--seed", "11", "--problems", pdf});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(run({"pdfinfo", pdf}).contains(QRegularExpression("Pages:\\s+6\\b")));
  const QString v1 = withoutSetLabel(pdfText(pdf, 1)), v2 = withoutSetLabel(pdfText(pdf, 3)),
                v3 = withoutSetLabel(pdfText(pdf, 5));
  EXPECT_NE(v1, v2);
  EXPECT_NE(v2, v3);
  EXPECT_FALSE(v1.contains(QStringLiteral("(答)")));
  EXPECT_TRUE(pdfText(pdf, 2).contains(QStringLiteral("(答)")));
  // Every page carries its set at the foot, the answer page the same as its problem page.
  for (int page = 1; page <= 6; ++page) {
    const QString label = QStringLiteral("セット %1 / 3").arg((page + 1) / 2);
    const QStringList lines = pdfText(pdf, page).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains(label)) << page;
    EXPECT_EQ(pdfText(pdf, page).count(QStringLiteral("セット")), 1) << page;
  }
  EXPECT_EQ(runZubira({"sheet", "--versions", "2", "--problems", dir.filePath("v.png")}).exitCode, 2);
  EXPECT_EQ(runZubira({"sheet", "--versions", "2", "--problems", pdf, "--solutions", dir.filePath("w.pdf")}).exitCode, 2)
      << "one PDF";

  // One version is a problem page and its answer page too.
  const QString one = dir.filePath("one.pdf");
  ASSERT_EQ(runZubira({"sheet", "--versions", "1", "--seed", "11", "--problems", one}).exitCode, 0);
  EXPECT_TRUE(run({"pdfinfo", one}).contains(QRegularExpression("Pages:\\s+2\\b")));

  // With the key: problem, answer and key pages of each set.
  const QString keyed = dir.filePath("k.pdf");
  ASSERT_EQ(runZubira({"sheet", "--versions", "2", "--seed", "11", "--problems", keyed, "--solutions", keyed}).exitCode, 0);
  EXPECT_TRUE(run({"pdfinfo", keyed}).contains(QRegularExpression("Pages:\\s+6\\b")));
  EXPECT_TRUE(pdfText(keyed, 2).contains(QStringLiteral("(答)")));
  EXPECT_TRUE(pdfText(keyed, 3).contains(QStringLiteral("(解き方)")));
  EXPECT_TRUE(pdfText(keyed, 6).contains(QStringLiteral("(解き方)")));
  EXPECT_EQ(withoutSetLabel(pdfText(keyed, 1)), v1) << "the same seed, the same first set";
  EXPECT_TRUE(pdfText(keyed, 6).contains(QStringLiteral("セット 2 / 2")));
}

// Every word of a PDF with its box as pdftotext reads it: "page xMin yMin xMax yMax text" a line.
QStringList pdfWords(const QString& pdf) {
  const QString html = run({"pdftotext", "-bbox", pdf, "-"});
  static const QRegularExpression word(
      QStringLiteral("<word xMin=\"([^\"]+)\" yMin=\"([^\"]+)\" xMax=\"([^\"]+)\" yMax=\"([^\"]+)\">(.*)</word>"));
  QStringList words;
  int page = 0;
  for (const QString& line : html.split(u'\n')) {
    if (line.contains(QLatin1String("<page "))) ++page;
    const QRegularExpressionMatch m = word.match(line);
    if (m.hasMatch())
      words << QStringLiteral("%1 %2 %3 %4 %5 %6").arg(page).arg(m.captured(1), m.captured(2), m.captured(3),
                                                          m.captured(4), m.captured(5));
  }
  return words;
}

// Batch PDFs keep every text where the program has always put it: the words and boxes of sheets
// of every page kind, recorded from an earlier build, come back exactly. The way pages are drawn
// into the PDF may change for speed; what a reader sees may not. (The recording holds the set
// label "セット k / N" at the foot of every page, which the batch pages gained after the rest.)
TEST_F(SheetCommand, BatchPdfKeepsEveryWordInItsPlace) {
  QFile empty(dir.filePath("defaults.ini"));
  ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
  empty.close();
  const struct {
    const char* words;
    QStringList args;
  } cases[] = {
      {"batch_add.words",
       {"--seed", "7", "--versions", "2", "--ranges", "0,3,1,9,2,9,0,3,1,9,2,9", "--problems", "@", "--solutions", "@"}},
      {"batch_div.words",
       {"--seed", "8", "--versions", "1", "--kind", "div", "--sign1", "either", "--sign2", "either", "--problems", "@",
        "--answers", "@", "--solutions", "@"}},
  };
  for (const auto& c : cases) {
    const QString pdf = dir.filePath(QStringLiteral("batch.pdf"));
    QStringList args{"sheet", "--settings", empty.fileName()};
    for (const QString& a : c.args) args << (a == u"@" ? pdf : a);
    const auto r = runZubira(args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile expectedFile(QStringLiteral(ZUBIRA_TEST_DATA "/") + QLatin1String(c.words));
    ASSERT_TRUE(expectedFile.open(QIODevice::ReadOnly)) << c.words;
    const QStringList expected = QString::fromUtf8(expectedFile.readAll()).split(u'\n', Qt::SkipEmptyParts);
    const QStringList got = pdfWords(pdf);
    for (qsizetype i = 0; i < std::min(expected.size(), got.size()); ++i)
      ASSERT_EQ(got[i], expected[i]) << c.words << " word " << i + 1;
    EXPECT_EQ(got.size(), expected.size()) << c.words;
  }
}

// The key alone, from the same problems as the other sheets: every problem numbered on one page.
TEST_F(SheetCommand, WorkedKeySheet) {
  const QString key = dir.filePath("key.pdf"), png = dir.filePath("key.png");
  const auto r = runZubira({"sheet", "--seed", "5", "--kind", "sub", "--ranges", "0,3,1,9,2,9,0,2,1,9,2,9",
                            "--rows", "10", "--cols", "2", "--solutions", key});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(run({"pdfinfo", key}).contains(QRegularExpression("Pages:\\s+1\\b")));
  const QString text = pdfText(key);
  EXPECT_TRUE(text.contains(QStringLiteral("ひきざんのもんだい (解き方)")) || text.contains(QStringLiteral("(解き方)")));
  for (int k = 1; k <= 20; ++k) EXPECT_TRUE(text.contains(QStringLiteral("(%1)").arg(k, 2))) << k;
  ASSERT_EQ(runZubira({"sheet", "--seed", "5", "--solutions", png}).exitCode, 0);
  EXPECT_FALSE(QImage(png).isNull());
}

TEST_F(SheetCommand, ImagesSettingsAndFailures) {
  QFile ini(dir.filePath("z.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[Page]\r\nPageTitle=\xe5\x88\x86\xe6\x95\xb0\xe3\x81\xae\xe3\x81\x9f\xe3\x81\x97\xe7\xae\x97\r\n[Exam]\r\nCol=2\r\nRow=5\r\n");
  ini.close();
  const QString png = dir.filePath("p.png"), pdf = dir.filePath("p.pdf");
  auto r = runZubira({"sheet", "--settings", ini.fileName(), "--problems", png, "--answers", pdf});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(QImage(png).size(), QSize(793, 1122));
  const QString text = pdfText(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("分数のたし算")));
  EXPECT_TRUE(text.contains("(10)"));
  EXPECT_FALSE(text.contains("(11)"));

  EXPECT_EQ(runZubira({"sheet"}).exitCode, 2);
  EXPECT_EQ(runZubira({"sheet", "--problems", dir.filePath("x.txt")}).exitCode, 2);
  EXPECT_EQ(runZubira({"sheet", "--problems", dir.filePath("n/o.pdf")}).exitCode, 1);
  r = runZubira({"sheet", "--sign1", "minus", "--sign2", "minus", "--problems", pdf});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, QStringLiteral("Loop over:答えが０以下\n"));
}

}  // namespace
}  // namespace zubira
