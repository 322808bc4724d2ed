#include "worksheet/worksheet_composer.h"

#include "drawing/page_model.h"
#include "sheet_commands.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace zubira {
namespace {

using testing::Command;
using testing::commandsOf;

class ComposerTest : public ::testing::Test {
 protected:
  ComposerTest()
      : model(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96),
        ts(model),
        composer(model, ts, settings, gen, dateTime) {
    model.ReadPrinterMetrics();
    model.GetPageSize();
    model.setUnitType(PageModel::kUnitMillimetre);
    model.PageTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 24, 4, "10", "10", false, false);
    model.SubTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 12, 4, "10", "36", false, false);
    dateTime.SetSets("", QStringLiteral("ＭＳ 明朝"), 11, 4, "80", "10", false, false);
    composer.setClock([] { return QDateTime(QDate(2026, 12, 9), QTime(9, 5, 7)); });
    composer.setRefresh([this] { ++refreshes; });
  }
  ProblemMemos memos(int n) {
    ProblemMemos m;
    for (int i = 1; i <= n; ++i) {
      m.Memo1 += QStringLiteral("%1/%2\r\n").arg(i).arg(i + 1);
      m.Memo2 += QStringLiteral("1/%1\r\n").arg(i + 2);
      m.Memo3 += QStringLiteral("-%1\r\n").arg(i);
    }
    return m;
  }
  std::vector<Command> commands() const { return commandsOf(model.ListbyProgram()); }
  std::vector<Command> texts(const QString& text) const {
    std::vector<Command> out;
    for (const Command& c : commands())
      if (c.word == "TEXTOUT" && c.text(3) == text) out.push_back(c);
    return out;
  }

  PageModel model;
  Typesetter ts;
  MainSettings settings;
  GenerationSettings gen;
  TPageStr dateTime;
  WorksheetComposer composer;
  int refreshes = 0;
};

TEST_F(ComposerTest, EmptyListComposesNothing) {
  model.PrevInit();
  EXPECT_FALSE(composer.ComposeWorksheet(0, ProblemMemos(), pkAdd, "＋"));
  EXPECT_EQ(model.ListbyProgram(), QStringList({"INITPARAM"})) << "the old list stays";
  EXPECT_EQ(refreshes, 0);
}

TEST_F(ComposerTest, NumbersRunDownTheColumnsAndStopAtMissingLines) {
  gen.ExamRowN = 3;
  gen.ExamColN = 2;
  ASSERT_TRUE(composer.ComposeWorksheet(0, memos(5), pkAdd, "＋"));
  EXPECT_EQ(refreshes, 1);
  const GridFrame& g = composer.grid();
  const double colW = (g.WindowInner - settings.WindowLeft) / 2;
  const double rowH = (g.WindowUnder - g.WindowUpper) / 3;
  for (int k = 1; k <= 5; ++k) {
    const auto found = texts(QStringLiteral("( %1)").arg(k));
    ASSERT_EQ(found.size(), 1u) << k;
    const int c = (k - 1) / 3, r = (k - 1) % 3;
    EXPECT_NEAR(found[0].real(1), settings.WindowLeft + c * colW, 1e-9) << k;
    EXPECT_NEAR(found[0].real(2), g.WindowUpper + r * rowH, 1e-9) << k;
    EXPECT_EQ(found[0].text(4).toUpper(), QStringLiteral("NIL"));
  }
  EXPECT_TRUE(texts(QStringLiteral("( 6)")).empty());
  EXPECT_EQ(texts(QStringLiteral("＋ ")).size(), 5u);
  EXPECT_EQ(texts(QStringLiteral(" =")).size(), 5u);
  EXPECT_TRUE(texts(QStringLiteral("-")).empty()) << "answers are not on the problem sheet";
  EXPECT_NEAR(g.WindowInner, 4960 * 25.4 / 600 - 10, 1e-9);
}

TEST_F(ComposerTest, LabelsAndTheOrderOfThePageStrings) {
  gen.ExamRowN = 10;
  gen.ExamColN = 2;
  settings.sHeader = "%d";
  settings.sFooter = "x%dx";
  ASSERT_TRUE(composer.ComposeWorksheet(0, memos(12), pkAdd, "＋"));
  EXPECT_EQ(texts("( 7)").size(), 1u);
  EXPECT_EQ(texts("(12)").size(), 1u);
  const auto cmds = commands();
  ASSERT_FALSE(cmds.empty());
  EXPECT_EQ(cmds[0].word, "INITPARAM");
  std::vector<QString> order;
  for (const Command& c : cmds)
    if (c.word == "HEADER" || c.word == "FOOTER" || c.word == "PAGETITLE" || c.word == "SUBTITLE")
      order.push_back(c.word);
  EXPECT_EQ(order, (std::vector<QString>{"HEADER", "FOOTER", "PAGETITLE", "SUBTITLE"}));
  for (const Command& c : cmds) {
    if (c.word == "HEADER") { EXPECT_EQ(c.text(1), QLocale::system().toString(QDate(2026, 12, 9), QLocale::ShortFormat)); }
    if (c.word == "FOOTER") { EXPECT_EQ(c.text(1), "x%dx"); }
    if (c.word == "PAGETITLE") {
      EXPECT_EQ(c.text(1), QStringLiteral("かずの計算"));
      EXPECT_EQ(c.real(2), 4);
      EXPECT_NEAR(c.real(3), 10, 1e-9);
    }
  }
}

TEST_F(ComposerTest, TimeCodeAndAnswerSheetSubtitle) {
  EXPECT_EQ(replaceDateTimeCode("%t", QDateTime(QDate(2026, 1, 2), QTime(9, 5, 7))).contains("5"), true);
  EXPECT_EQ(replaceDateTimeCode(" %t", QDateTime::currentDateTime()), " %t");
  ASSERT_TRUE(composer.ComposeWorksheet(1, memos(3), pkAdd, "＋"));
  for (const Command& c : commands())
    if (c.word == "SUBTITLE") { EXPECT_EQ(c.text(1), QStringLiteral("たしざんのもんだい (答)")); }
  EXPECT_EQ(texts("-").size(), 3u) << "each answer in its cell";
  EXPECT_TRUE(texts(QStringLiteral("＋ ")).empty());
  settings.sSubTitle.clear();
  ASSERT_TRUE(composer.ComposeWorksheet(1, memos(3), pkAdd, "＋"));
  for (const Command& c : commands())
    if (c.word == "SUBTITLE") { EXPECT_EQ(c.text(1), QStringLiteral(" (答)")); }
}

TEST_F(ComposerTest, DateBoxRaisesTheTopMarginToItsDivider) {
  ASSERT_TRUE(composer.ComposeWorksheet(0, memos(2), pkAdd, "＋"));
  const QString dateText = u' ' + settings.sDateTime + u' ';
  const auto date = texts(dateText);
  ASSERT_EQ(date.size(), 1u);
  EXPECT_NEAR(date[0].real(1), 80, 1e-9);
  const double h = (date[0].real(2) - 10) * 2;  // drawn at Y0 + H/2
  ASSERT_GT(h, 0);
  const auto name = texts(QStringLiteral("　なまえ "));
  ASSERT_EQ(name.size(), 1u);
  EXPECT_NEAR(name[0].real(2), 10 + 3.5 * h, 1e-9);
  int lines = 0;
  for (const Command& c : commands()) lines += c.word == "LINE" && c.real(1) >= 80 - 1e-9 && c.real(2) >= 10 - 1e-9 && c.real(2) <= 10 + 6 * h + 1e-9;
  EXPECT_GE(lines, 5);
  EXPECT_GE(settings.WindowTop, 10 + 2 * h - 1e-9);
  EXPECT_GE(settings.WindowTop, 36) << "raised below the subtitle line";
  EXPECT_NEAR(composer.grid().WindowUpper, settings.WindowTop + 5, 1e-9);
  const double raised = settings.WindowTop;
  ASSERT_TRUE(composer.ComposeWorksheet(0, memos(2), pkAdd, "＋"));
  EXPECT_GE(settings.WindowTop, raised) << "never lowered";
}

// A page string placed near the foot of the page would leave no room for the rows: the grid
// keeps the top margin the user set, and that margin is not changed.
TEST_F(ComposerTest, PageStringsNearTheFootDoNotPushTheGridOffThePage) {
  struct Case {
    const char* what;
    int footerPos;
    const char* footerY;
    const char* titleY;
    const char* dateY;
  };
  const Case cases[] = {
      {"footer at 280", 4, "280", "10", "10"},
      {"footer at the very foot", 4, "296", "10", "10"},
      {"title at 270", 0, "0", "270", "10"},
      {"date box at 260", 0, "0", "10", "260"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings = MainSettings();
    settings.sFooter = QStringLiteral("Footer text");
    model.Footer.SetSets("", QStringLiteral("ＭＳ 明朝"), 10, c.footerPos, "10", c.footerY, false, false);
    model.PageTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 24, 4, "10", c.titleY, false, false);
    dateTime.SetSets("", QStringLiteral("ＭＳ 明朝"), 11, 4, "80", c.dateY, false, false);
    ASSERT_TRUE(composer.ComposeWorksheet(0, memos(10), pkAdd, "＋"));
    const GridFrame& g = composer.grid();
    const double rowH = (g.WindowUnder - g.WindowUpper) / gen.ExamRowN;
    EXPECT_GE(rowH, 2 * ts.SignHeight) << "every row has room for a stacked value";
    EXPECT_LT(settings.WindowTop, 60) << "no raise from the foot of the page is stored";
    EXPECT_GT(settings.WindowTop, 36) << "the ordinary raise below the subtitle stays";
    for (int k = 1; k <= 10; ++k) {
      const auto found = texts(QStringLiteral("(%1)").arg(k, 2));
      ASSERT_EQ(found.size(), 1u) << k;
      EXPECT_LT(found[0].real(2), g.WindowUnder - 2 * ts.SignHeight + 1e-9) << k;
    }
  }
  // Removing the footer gives the ordinary sheet back.
  settings = MainSettings();
  model.Footer.SetSets("", QStringLiteral("ＭＳ 明朝"), 10, 0, "0", "0", false, false);
  model.PageTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 24, 4, "10", "10", false, false);
  dateTime.SetSets("", QStringLiteral("ＭＳ 明朝"), 11, 4, "80", "10", false, false);
  ASSERT_TRUE(composer.ComposeWorksheet(0, memos(10), pkAdd, "＋"));
  EXPECT_GT(settings.WindowTop, 36);
  EXPECT_LT(settings.WindowTop, 50);
}

TEST_F(ComposerTest, NoDateBoxWhenEmptyOrNotPlaced) {
  settings.sDateTime.clear();
  settings.WindowTop = 0;
  model.PageTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 24, 4, "10", "0", false, false);
  model.SubTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 12, 4, "10", "0", false, false);
  ASSERT_TRUE(composer.ComposeWorksheet(0, memos(1), pkAdd, "＋"));
  EXPECT_TRUE(texts(QStringLiteral("　なまえ ")).empty());
  EXPECT_LT(settings.WindowTop, 10) << "only the page strings raised it";
  settings.sDateTime = "date";
  dateTime.psPos = 0;
  settings.WindowTop = 0;
  ASSERT_TRUE(composer.ComposeWorksheet(0, memos(1), pkAdd, "＋"));
  EXPECT_TRUE(texts(" date ").empty());
  dateTime.psPos = 4;
  settings.sName.clear();
  ASSERT_TRUE(composer.ComposeWorksheet(0, memos(1), pkAdd, "＋"));
  EXPECT_EQ(texts(" date ").size(), 1u);
  for (const Command& c : commands()) EXPECT_FALSE(c.word == "TEXTOUT" && c.text(3).startsWith(QStringLiteral("　")));
}

TEST_F(ComposerTest, BottomMarginFrameAndAnswersOnTheProblemSheet) {
  settings.WindowBottom = 4;
  settings.WindowFrame = true;
  settings.AnswerType = 2;
  ASSERT_TRUE(composer.ComposeWorksheet(0, memos(4), pkAdd, "＋"));
  EXPECT_EQ(settings.WindowBottom, 10);
  bool dot = false;
  for (const Command& c : commands()) dot = dot || (c.word == "PENSTYLE" && c.text(1) == "psDot");
  EXPECT_TRUE(dot);
  EXPECT_EQ(texts("-").size(), 4u) << "every answer after its equals sign";
  EXPECT_TRUE(composer.ComposeWorksheet(1, memos(4), pkAdd, "＋"));
}

TEST_F(ComposerTest, ConversionKindsHaveNoOperator) {
  ProblemMemos m{"11/4\r\n7/3\r\n", "=\r\n=\r\n", "2+3/4\r\n2+1/3\r\n"};
  settings.AnswerType = 2;
  ASSERT_TRUE(composer.ComposeWorksheet(0, m, pkImproperToMixed, "×"));
  EXPECT_EQ(texts(" = ").size(), 2u);
  EXPECT_TRUE(texts(QStringLiteral("× ")).empty());
  EXPECT_TRUE(texts("=").empty()) << "the second list's \"=\" is not typeset";
  EXPECT_EQ(texts("2").size(), 2u) << "the answers' integer parts";
}

TEST_F(ComposerTest, HandEditedGridComposesSafely) {
  for (auto [rows, cols] : {std::pair{0, 1}, {1, 0}, {-3, -2}, {1000, 1}}) {
    gen.ExamRowN = rows;
    gen.ExamColN = cols;
    EXPECT_TRUE(composer.ComposeWorksheet(0, memos(3), pkAdd, "＋"));
  }
  EXPECT_EQ(texts("( 3)").size(), 1u) << "1000 rows: the three problems, then the lists end";
}

TEST(MemoLines, FinalBreakAddsNoLine) {
  EXPECT_EQ(memoLines("a\r\nb\r\n"), QStringList({"a", "b"}));
  EXPECT_EQ(memoLines("a\nb"), QStringList({"a", "b"}));
  EXPECT_EQ(memoLines("a\r\n\r\n"), QStringList({"a", ""}));
  EXPECT_TRUE(memoLines("").isEmpty());
}

}  // namespace
}  // namespace zubira
