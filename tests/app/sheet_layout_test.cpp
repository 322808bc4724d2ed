// Sheets as a teacher prints them, read back from the PDF word by word: every word on its page and
// none over another, whatever the grid, the font and the numbers.
#include "run_zubira.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

namespace zubira {
namespace {

using testing::runZubira;

struct Word {
  int page;
  double x0, y0, x1, y1;
  QString text;
};

struct Pages {
  double width = 0, height = 0;
  int count = 0;
  std::vector<Word> words;
};

Pages readWords(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  p.waitForFinished(30000);
  static const QRegularExpression pageRe(QStringLiteral("<page width=\"([^\"]+)\" height=\"([^\"]+)\""));
  static const QRegularExpression wordRe(QStringLiteral(
      "<word xMin=\"([^\"]+)\" yMin=\"([^\"]+)\" xMax=\"([^\"]+)\" yMax=\"([^\"]+)\">(.*)</word>"));
  Pages out;
  for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n')) {
    if (const auto m = pageRe.match(line); m.hasMatch()) {
      ++out.count;
      out.width = m.captured(1).toDouble();
      out.height = m.captured(2).toDouble();
    } else if (const auto w = wordRe.match(line); w.hasMatch()) {
      out.words.push_back({out.count, w.captured(1).toDouble(), w.captured(2).toDouble(),
                           w.captured(3).toDouble(), w.captured(4).toDouble(), w.captured(5)});
    }
  }
  return out;
}

// Words that share more than a sliver of their boxes (in points), on the same page.
QStringList overprinted(const Pages& pages) {
  constexpr double sliver = 0.3;
  QStringList found;
  for (size_t i = 0; i < pages.words.size(); ++i)
    for (size_t j = i + 1; j < pages.words.size(); ++j) {
      const Word& a = pages.words[i];
      const Word& b = pages.words[j];
      if (a.page != b.page) continue;
      if (std::min(a.x1, b.x1) - std::max(a.x0, b.x0) > sliver &&
          std::min(a.y1, b.y1) - std::max(a.y0, b.y0) > sliver)
        found << QStringLiteral("p%1 \"%2\" over \"%3\"").arg(a.page).arg(a.text, b.text);
    }
  return found;
}

TEST(SheetLayout, EveryWordOnItsPageAndNoneOverAnother) {
  struct Case {
    const char* what;
    QStringList args;
    int pages;         // problem, answer and key pages of the set
    const char* note;  // on stderr, or nothing
  };
  const Case cases[] = {
      {"four columns of mixed numbers",
       {"--kind", "sub", "--rows", "5", "--cols", "4", "--ranges", "1,5,1,10,2,10,1,5,1,10,2,10", "--seed", "3"},
       3, "文字を24ptから"},
      {"ten rows at 33 points under the page strings",
       {"--rows", "10", "--cols", "2", "--seed", "1", "--set", "ExamFont/Size=33"}, 3, "文字を33ptから"},
      {"signed products on a 5 x 4 key",
       {"--kind", "mul", "--rows", "5", "--cols", "4", "--ranges", "0,3,1,9,2,9,0,3,1,9,2,9", "--sign1",
        "either", "--sign2", "either", "--seed", "8"},
       3, nullptr},
      {"three-digit quotients: the key takes a second page",
       {"--kind", "div", "--rows", "10", "--cols", "2", "--ranges", "100,999,1,99,2,99,100,999,1,99,2,99",
        "--sign1", "either", "--sign2", "either", "--seed", "5"},
       4, "解き方は2ページあります"},
      {"conversions at 48 points with a large header and a footer at the foot",
       {"--kind", "m2i", "--rows", "8", "--cols", "2", "--ranges", "1,9,1,9,2,9,0,0,1,1,1,1", "--seed", "2",
        "--set", "ExamFont/Size=48", "--set", "Page/Header=ヘッダー", "--set", "Header/Pos=3", "--set",
        "Header/Size=48", "--set", "Page/Footer=フッター", "--set", "Footer/Pos=4", "--set", "Footer/Y=280",
        "--set", "DateTime/Size=20"},
       3, nullptr},
      {"one problem at 8 points",
       {"--kind", "i2m", "--rows", "1", "--cols", "1", "--ranges", "0,0,10,99,2,9,0,0,1,1,1,1", "--seed", "4",
        "--set", "ExamFont/Size=8"},
       3, nullptr},
  };
  QTemporaryDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString pdf = dir.filePath(QStringLiteral("set.pdf"));
    QStringList args{"sheet", "--versions", "1", "--problems", pdf, "--answers", pdf, "--solutions", pdf};
    const auto r = runZubira(args + c.args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    if (c.note) {
      EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.note))) << r.err.toStdString();
    }
    const Pages pages = readWords(pdf);
    EXPECT_EQ(pages.count, c.pages);
    ASSERT_GT(pages.words.size(), 20u);
    for (const Word& w : pages.words) {
      EXPECT_TRUE(w.x0 >= 0 && w.y0 >= 0 && w.x1 <= pages.width && w.y1 <= pages.height)
          << w.text.toStdString() << " on page " << w.page;
      EXPECT_NE(w.text, QStringLiteral("…")) << "no step left out";
    }
    EXPECT_EQ(overprinted(pages), QStringList());
  }
}

// Where even 8 points cannot fit the grid, the sheet says so and still keeps to the page.
TEST(SheetLayout, TooDenseAGridSaysSoAndStaysOnThePage) {
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("dense.pdf"));
  const auto r = runZubira({"sheet", "--kind", "sub", "--rows", "5", "--cols", "4", "--ranges",
                            "100,999,10,99,11,99,100,999,10,99,11,99", "--sign1", "either", "--sign2", "either", "--seed", "2",
                            "--problems", pdf, "--answers", pdf, "--versions", "1"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains(QStringLiteral("8ptでも枠に収まらない"))) << r.err.toStdString();
  const Pages pages = readWords(pdf);
  EXPECT_EQ(pages.count, 2);
  for (const Word& w : pages.words)
    EXPECT_TRUE(w.x0 >= 0 && w.y0 >= 0 && w.x1 <= pages.width && w.y1 <= pages.height) << w.text.toStdString();
}

}  // namespace
}  // namespace zubira
