#include "worksheet/worksheet_composer.h"

#include "drawing/page_model.h"
#include "generation/solver.h"
#include "sheet_commands.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>

namespace zubira {
namespace {

using testing::Command;
using testing::commandsOf;

// The three lists as the main window's memos hold them.
struct ProblemMemos {
  QString Memo1, Memo2, Memo3;
};
ProblemSet toSet(const ProblemMemos& m, ProblemKind kind) {
  return ProblemSetFromLists(kind, m.Memo1, m.Memo2, m.Memo3);
}

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
  EXPECT_FALSE(composer.ComposeWorksheet(0, toSet(ProblemMemos(), pkAdd)));
  EXPECT_EQ(model.ListbyProgram(), QStringList({"INITPARAM"})) << "the old list stays";
  EXPECT_EQ(refreshes, 0);
}

TEST_F(ComposerTest, NumbersRunDownTheColumnsAndStopAtMissingLines) {
  gen.ExamRowN = 3;
  gen.ExamColN = 2;
  ASSERT_TRUE(composer.ComposeWorksheet(0, toSet(memos(5), pkAdd)));
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
  ASSERT_TRUE(composer.ComposeWorksheet(0, toSet(memos(12), pkAdd)));
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
  ASSERT_TRUE(composer.ComposeWorksheet(1, toSet(memos(3), pkAdd)));
  for (const Command& c : commands())
    if (c.word == "SUBTITLE") { EXPECT_EQ(c.text(1), QStringLiteral("たしざんのもんだい (答)")); }
  EXPECT_EQ(texts("-").size(), 3u) << "each answer in its cell";
  EXPECT_TRUE(texts(QStringLiteral("＋ ")).empty());
  settings.sSubTitle.clear();
  ASSERT_TRUE(composer.ComposeWorksheet(1, toSet(memos(3), pkAdd)));
  for (const Command& c : commands())
    if (c.word == "SUBTITLE") { EXPECT_EQ(c.text(1), QStringLiteral(" (答)")); }
}

// The grid starts below the title, the subtitle and the whole date box, each measured in its own
// font; the stored margins stay the user's and the page is the same at every composition.
TEST_F(ComposerTest, GridStartsBelowThePageStringsAndTheDateBox) {
  ASSERT_TRUE(composer.ComposeWorksheet(0, toSet(memos(2), pkAdd)));
  const QString dateText = u' ' + settings.sDateTime + u' ';
  const auto date = texts(dateText);
  ASSERT_EQ(date.size(), 1u);
  EXPECT_NEAR(date[0].real(1), 80, 1e-9);
  CanvasFont dateFont;
  Typesetter::LoadPageStrFont(dateTime, dateFont);
  model.SetFontSets(dateFont);
  const double h = model.GetHeight(dateText), w = model.GetWidth(dateText);
  EXPECT_NEAR(date[0].real(2), 10 + h / 2, 1e-9) << "measured in the date line's font";
  const auto name = texts(QStringLiteral("　なまえ "));
  ASSERT_EQ(name.size(), 1u);
  EXPECT_NEAR(name[0].real(2), 10 + 3.5 * h, 1e-9);
  int lines = 0;
  for (const Command& c : commands()) {
    if (c.word != "LINE" || c.real(1) < 80 - 1e-9 || c.real(2) < 10 - 1e-9 || c.real(2) > 10 + 6 * h + 1e-9) continue;
    ++lines;
    EXPECT_LE(std::max(c.real(1), c.real(3)), 80 + w + 1e-9) << "the box is as wide as its text";
  }
  EXPECT_EQ(lines, 5);
  CanvasFont subFont;
  Typesetter::LoadPageStrFont(model.SubTitle, subFont);
  model.SetFontSets(subFont);
  const double below = std::max(36 + model.GetHeight(settings.sSubTitle), 10 + 6 * h) + 5;
  EXPECT_NEAR(composer.grid().WindowUpper, below, 1e-9);
  EXPECT_EQ(settings.WindowTop, 10) << "the stored margin is the user's";
  const QStringList first = model.ListbyProgram();
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(composer.ComposeWorksheet(0, toSet(memos(2), pkAdd)));
    EXPECT_EQ(model.ListbyProgram(), first) << "no drift from one composition to the next";
  }
  // A larger date font: the box grows with its text.
  dateTime.psSize = 20;
  ASSERT_TRUE(composer.ComposeWorksheet(0, toSet(memos(2), pkAdd)));
  Typesetter::LoadPageStrFont(dateTime, dateFont);
  model.SetFontSets(dateFont);
  EXPECT_GT(model.GetWidth(dateText), w);
  EXPECT_NEAR(texts(dateText)[0].real(2), 10 + model.GetHeight(dateText) / 2, 1e-9);
}

// A page string placed near the foot of the page does not push the grid off it: the grid ends
// above the string instead, and the stored margins do not change.
TEST_F(ComposerTest, PageStringsNearTheFootEndTheGridAboveThem) {
  struct Case {
    const char* what;
    int footerPos;
    const char* footerY;
    const char* titleY;
    const char* dateY;
    double stringTop;
  };
  const Case cases[] = {
      {"footer at 280", 4, "280", "10", "10", 280},
      {"footer just above the bottom margin", 4, "284", "10", "10", 284},
      {"title at 270", 0, "0", "270", "10", 270},
      {"date box at 260", 0, "0", "10", "260", 260},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings = MainSettings();
    settings.sFooter = QStringLiteral("Footer text");
    model.Footer.SetSets("", QStringLiteral("ＭＳ 明朝"), 10, c.footerPos, "10", c.footerY, false, false);
    model.PageTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 24, 4, "10", c.titleY, false, false);
    dateTime.SetSets("", QStringLiteral("ＭＳ 明朝"), 11, 4, "80", c.dateY, false, false);
    ASSERT_TRUE(composer.ComposeWorksheet(0, toSet(memos(10), pkAdd)));
    const GridFrame& g = composer.grid();
    EXPECT_LE(g.WindowUnder, c.stringTop - 5 + 1e-9);
    EXPECT_GT(g.WindowUpper, 36) << "the ordinary raise below the subtitle stays";
    EXPECT_EQ(settings.WindowTop, 10);
    const double rowH = (g.WindowUnder - g.WindowUpper) / gen.ExamRowN;
    EXPECT_GE(rowH, 2 * ts.SignHeight) << "every row has room for a stacked value";
    for (int k = 1; k <= 10; ++k) {
      const auto found = texts(QStringLiteral("(%1)").arg(k, 2));
      ASSERT_EQ(found.size(), 1u) << k;
      EXPECT_LT(found[0].real(2), g.WindowUnder - 2 * ts.SignHeight + 1e-9) << k;
    }
  }
  // A footer in the page's own footer line, at the foot, in a large font: the grid ends above it.
  settings = MainSettings();
  settings.sFooter = QStringLiteral("Footer text");
  model.Footer.SetSets("", QStringLiteral("ＭＳ 明朝"), 48, 3, "0", "0", false, false);
  model.PageTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 24, 4, "10", "10", false, false);
  dateTime.SetSets("", QStringLiteral("ＭＳ 明朝"), 11, 4, "80", "10", false, false);
  ASSERT_TRUE(composer.ComposeWorksheet(0, toSet(memos(10), pkAdd)));
  CanvasFont footerFont;
  Typesetter::LoadPageStrFont(model.Header, footerFont);  // the footer is drawn in the header's font
  model.SetFontSets(footerFont);
  EXPECT_LE(composer.grid().WindowUnder, model.Get_UnitHeight() - model.GetHeight("Footer text") - 5 + 1e-9);
}

TEST_F(ComposerTest, NoDateBoxWhenEmptyOrNotPlaced) {
  settings.sDateTime.clear();
  settings.WindowTop = 0;
  model.PageTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 24, 4, "10", "0", false, false);
  model.SubTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 12, 4, "10", "0", false, false);
  ASSERT_TRUE(composer.ComposeWorksheet(0, toSet(memos(1), pkAdd)));
  EXPECT_TRUE(texts(QStringLiteral("　なまえ ")).empty());
  EXPECT_LT(composer.grid().WindowUpper, 15) << "only the page strings raised it";
  settings.sDateTime = "date";
  dateTime.psPos = 0;
  settings.WindowTop = 0;
  ASSERT_TRUE(composer.ComposeWorksheet(0, toSet(memos(1), pkAdd)));
  EXPECT_TRUE(texts(" date ").empty());
  dateTime.psPos = 4;
  settings.sName.clear();
  ASSERT_TRUE(composer.ComposeWorksheet(0, toSet(memos(1), pkAdd)));
  EXPECT_EQ(texts(" date ").size(), 1u);
  for (const Command& c : commands()) EXPECT_FALSE(c.word == "TEXTOUT" && c.text(3).startsWith(QStringLiteral("　")));
}

TEST_F(ComposerTest, BottomMarginFrameAndAnswersOnTheProblemSheet) {
  settings.WindowBottom = 4;
  settings.WindowFrame = true;
  settings.AnswerType = 2;
  ASSERT_TRUE(composer.ComposeWorksheet(0, toSet(memos(4), pkAdd)));
  EXPECT_EQ(settings.WindowBottom, 4) << "the stored margin is the user's";
  EXPECT_NEAR(composer.grid().WindowUnder, model.Get_UnitHeight() - 10, 1e-9) << "the grid keeps 10 from the foot";
  bool dot = false;
  for (const Command& c : commands()) dot = dot || (c.word == "PENSTYLE" && c.text(1) == "psDot");
  EXPECT_TRUE(dot);
  EXPECT_EQ(texts("-").size(), 4u) << "every answer after its equals sign";
  EXPECT_TRUE(composer.ComposeWorksheet(1, toSet(memos(4), pkAdd)));
}

TEST_F(ComposerTest, ConversionKindsHaveNoOperator) {
  ProblemMemos m{"11/4\r\n7/3\r\n", "=\r\n=\r\n", "2+3/4\r\n2+1/3\r\n"};
  settings.AnswerType = 2;
  ASSERT_TRUE(composer.ComposeWorksheet(0, toSet(m, pkImproperToMixed)));
  EXPECT_EQ(texts(" = ").size(), 2u);
  EXPECT_TRUE(texts(QStringLiteral("× ")).empty());
  EXPECT_TRUE(texts("=").empty()) << "the second list's \"=\" is not typeset";
  EXPECT_EQ(texts("2").size(), 2u) << "the answers' integer parts";
}

// Every problem, with room after its "=" for its answer, fits its cell at one size for the whole
// page; the answer sheet takes the same size; a sheet that fits keeps the user's size. The size
// is this page's only.
TEST_F(ComposerTest, ProblemsFitTheirCellsAtOneSizeForBothSheets) {
  struct Case {
    int rows, cols;
    ProblemKind kind;
    const char* first;
    const char* second;
    const char* answer;
    bool reduced;
    bool narrowGap;  // the space after the numbers narrowed to fit
  };
  const Case cases[] = {
      {10, 1, pkAdd, "1/2", "1/3", "5/6", false, false},
      {5, 4, pkAdd, "1/2", "1/3", "5/6", true, false},
      {5, 4, pkSub, "3+1/7", "1+2/3", "1+10/21", true, true},
      {10, 2, pkDiv, "243+38/39", "-(12+1/2)", "-(19+371/975)", true, false},
      {4, 4, pkImproperToMixed, "247/10", "=", "24+7/10", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    gen.ExamRowN = c.rows;
    gen.ExamColN = c.cols;
    const ProblemSet set(size_t(c.rows * c.cols), SheetProblem{c.kind, c.first, c.second, c.answer});
    ASSERT_TRUE(composer.ComposeWorksheet(WorksheetComposer::ProblemSheet, set));
    const int size = composer.fit().usedSize;
    EXPECT_EQ(size < 24, c.reduced) << size;
    EXPECT_GE(size, WorksheetComposer::kMinFontSize);
    EXPECT_FALSE(composer.fit().tooDense);
    EXPECT_EQ(composer.fit().narrowGap, c.narrowGap);
    EXPECT_EQ(FitNote(composer.fit()).isEmpty(), !c.reduced);
    const GridFrame& g = composer.grid();
    const double colW = (g.WindowInner - settings.WindowLeft) / c.cols;
    const double rowH = (g.WindowUnder - g.WindowUpper) / c.rows;
    EXPECT_LE(2 * ts.SignHeight, rowH);
    const QString equals = c.kind == pkImproperToMixed ? QStringLiteral(" = ") : QStringLiteral(" =");
    const auto ends = texts(equals);
    ASSERT_EQ(ends.size(), set.size());
    const double room = equals.size() * ts.CharPitch + ts.ValueWidth(c.answer, false);
    for (size_t k = 0; k < ends.size(); ++k)
      EXPECT_LE(ends[k].real(1) + room, settings.WindowLeft + double(k / size_t(c.rows) + 1) * colW + 1e-9) << k;
    ASSERT_TRUE(composer.ComposeWorksheet(WorksheetComposer::AnswerSheet, set));
    EXPECT_EQ(composer.fit().usedSize, size) << "the answers at the problems' size";
    EXPECT_EQ(settings.FntExam.size, 24) << "the stored font is the user's";
  }
}

TEST_F(ComposerTest, HandEditedGridComposesSafely) {
  for (auto [rows, cols] : {std::pair{0, 1}, {1, 0}, {-3, -2}, {1000, 1}}) {
    gen.ExamRowN = rows;
    gen.ExamColN = cols;
    EXPECT_TRUE(composer.ComposeWorksheet(0, toSet(memos(3), pkAdd)));
  }
  EXPECT_EQ(texts("( 3)").size(), 1u) << "1000 rows: the three problems, then the lists end";
}

// ---- The worked key ---------------------------------------------------------------------------

// How a chain reads on the key: the texts on the middle of a line trimmed, a stacked fraction as
// [numerator/denominator], in reading order, separated by blanks, the remark last; a cancelled
// product reads as its factors as written (its strokes and quotients are left out). Built from
// the solution's terms, for comparing with what the commands draw.
std::string expectedReading(const Solution& solution, bool bracketFirst) {
  if (!solution.solved) return "解けません";
  QStringList out;
  const auto sum = [](const std::vector<std::vector<int64_t>>& s) {
    QStringList products;
    for (const auto& product : s) {
      QStringList factors;
      for (const int64_t f : product) factors << QString::number(f);
      products << factors.join(u'×');
    }
    return products.join(u'+');
  };
  std::vector<SolutionStep> steps = solution.steps;
  if (steps.size() == 1) steps.push_back(steps[0]);  // problem = answer
  for (size_t i = 0; i < steps.size(); ++i) {
    const SolutionStep& step = steps[i];
    if (i > 0) out << "=";
    for (size_t j = 0; j < step.terms.size(); ++j) {
      const SolutionTerm& t = step.terms[j];
      if (j > 0) out << Typesetter::OperatorSign(step.ops[j - 1]).trimmed();
      const bool brackets = t.negative && (j > 0 || (step.terms.size() > 1 && bracketFirst));
      if (brackets) out << "(";
      if (t.negative) out << "-";
      if (t.kind == SolutionTerm::Unmultiplied || t.kind == SolutionTerm::Cancelled) {
        out << u'[' + sum(t.numerator) + u'/' + sum(t.denominator) + u']';
      } else if (!t.hasFraction) {
        out << QString::number(t.whole);
      } else {
        if (t.whole != 0) out << QString::number(t.whole);
        out << QStringLiteral("[%1/%2]").arg(t.num).arg(t.den);
      }
      if (brackets) out << ")";
    }
  }
  if (solution.remark) out << FormatSolutionRemark(*solution.remark);
  return out.join(u' ').toStdString();
}

class KeyTest : public ComposerTest {
 protected:
  struct CellBox {
    double x, y, right, bottom;
  };
  // The cell of problem k on its page of the key's grid (which may have fewer columns than the
  // settings' and several pages of `count` problems).
  CellBox cell(int k, int count = 0) const {
    const GridFrame& g = composer.grid();
    const SheetFit& f = composer.fit();
    const double colW = (g.WindowInner - settings.WindowLeft) / f.columns;
    const double rowH = (g.WindowUnder - g.WindowUpper) / f.rows;
    const int perPage = f.pages > 1 ? (count + f.pages - 1) / f.pages : f.columns * f.rows;
    const int j = (k - 1) % perPage;
    const int c = j / f.rows, r = j % f.rows;
    const double x = settings.WindowLeft + c * colW, y = g.WindowUpper + r * rowH;
    return {x, y, x + colW, y + rowH};
  }
  static QString label(int k) { return QStringLiteral("(%1)").arg(k, 2); }
  bool compose(ProblemKind kind, const ProblemMemos& m) {
    return composer.ComposeWorksheet(WorksheetComposer::SolutionSheet, toSet(m, kind));
  }
  // The key's problem font, for measuring its proportional texts.
  CanvasFont keyFont() const {
    CanvasFont f = settings.FntExam;
    f.size = composer.fit().usedSize;
    return f;
  }
  // The commands drawn for cell k: those after its number and before the next number.
  std::vector<Command> drawnIn(int k) const {
    std::vector<Command> out;
    bool in = false;
    for (const Command& c : commands()) {
      if (c.word == "TEXTOUT" && QRegularExpression(QStringLiteral("^\\([ 0-9]{2,}\\)$")).match(c.text(3)).hasMatch()) {
        in = c.text(3) == label(k);
        continue;
      }
      if (in && (c.word == "TEXTOUT" || c.word == "LINE")) out.push_back(c);
    }
    return out;
  }
  // A stroke through a cancelled factor, or its quotient at the small pitch.
  bool isCancelMark(const Command& c) const {
    if (c.word == "LINE") return std::abs(c.real(2) - c.real(4)) > 1e-9;
    return c.text(4).toUpper() != "NIL" && c.text(4) != ts.PitchText;
  }
  // The chain of cell k read back as expectedReading writes it; `lines` gets the number of lines.
  std::string readChain(int k, int* lines = nullptr) const {
    const double h = ts.SignHeight;
    const double eps = 1e-6;
    std::vector<Command> texts, bars;
    for (const Command& c : drawnIn(k)) {
      if (isCancelMark(c)) continue;
      (c.word == "LINE" ? bars : texts).push_back(c);
    }
    struct Item {
      double top, x;
      QString text;
    };
    std::vector<Item> items;
    std::vector<bool> used(texts.size(), false);
    const auto find = [&](double y, double x1, double x2) -> int {
      for (size_t i = 0; i < texts.size(); ++i)
        if (!used[i] && std::abs(texts[i].real(2) - y) < eps && texts[i].real(1) >= x1 - eps &&
            texts[i].real(1) <= x2 + eps)
          return int(i);
      return -1;
    };
    for (const Command& bar : bars) {
      const int num = find(bar.real(2) - h, bar.real(1), bar.real(3));
      if (num < 0) continue;
      used[size_t(num)] = true;
      const int den = find(bar.real(2), bar.real(1), bar.real(3));
      if (den < 0) continue;
      used[size_t(den)] = true;
      items.push_back({bar.real(2) - h, bar.real(1),
                       u'[' + texts[size_t(num)].text(3) + u'/' + texts[size_t(den)].text(3) + u']'});
    }
    for (size_t i = 0; i < texts.size(); ++i)
      if (!used[i]) items.push_back({texts[i].real(2) - h / 2, texts[i].real(1), texts[i].text(3).trimmed()});
    std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
      return std::abs(a.top - b.top) > eps ? a.top < b.top : a.x < b.x;
    });
    QStringList out;
    int count = 0;
    for (size_t i = 0; i < items.size(); ++i) {
      if (i == 0 || std::abs(items[i].top - items[i - 1].top) > eps) ++count;
      if (!items[i].text.isEmpty()) out << items[i].text;
    }
    if (lines) *lines = count;
    return out.join(u' ').toStdString();
  }
  // Every text and line of cell k within the cell box and the page; texts measured in the key's
  // font or at their pitch.
  void expectInside(int k, const CellBox& box) {
    SCOPED_TRACE(label(k).toStdString());
    model.SetFontSets(keyFont());
    const double h = ts.SignHeight;
    const double pageW = model.Get_UnitWidth(), pageH = model.Get_UnitHeight();
    const auto drawn = drawnIn(k);
    ASSERT_FALSE(drawn.empty());
    for (const Command& c : drawn) {
      double x1 = c.real(1), y1 = c.real(2), x2 = x1, y2 = y1;
      if (c.word == "LINE") {
        x2 = c.real(3);
        y2 = c.real(4);
      } else if (c.text(4).toUpper() == "NIL") {
        x2 = x1 + model.GetWidth(c.text(3));
        y2 = y1 + h;
      } else {
        x2 = x1 + c.text(3).size() * c.real(4);
        y2 = y1 + h;
      }
      EXPECT_GE(std::min(x1, x2), box.x - 1e-6) << c.text(3).toStdString();
      EXPECT_LE(std::max(x1, x2), box.right + 1e-6) << c.text(3).toStdString();
      EXPECT_GE(std::min(y1, y2), box.y - 1e-6) << c.text(3).toStdString();
      EXPECT_LE(std::max(y1, y2), box.bottom + 1e-6) << c.text(3).toStdString();
      EXPECT_GE(std::min(x1, x2), 0);
      EXPECT_LE(std::max(x1, x2), pageW);
      EXPECT_GE(std::min(y1, y2), 0);
      EXPECT_LE(std::max(y1, y2), pageH);
    }
  }
  // Each font command changes what it sets.
  void expectFontCommandsOnlyOnChange() {
    QString name, color;
    int size = 9;
    for (const Command& c : commands()) {
      if (c.word == "INITPARAM") {
        name = QStringLiteral("\"ＭＳ Ｐゴシック\"");
        color = "BLACK";
        size = 9;
      } else if (c.word == "FONTNAME") {
        EXPECT_NE(c.text(1), name);
        name = c.text(1);
      } else if (c.word == "FONTSIZE") {
        EXPECT_NE(int(c.real(1)), size);
        size = int(c.real(1));
      } else if (c.word == "FONTCOLOR") {
        EXPECT_NE(c.text(1), color);
        color = c.text(1);
      }
    }
  }
  static ProblemMemos lines(const QStringList& first, const QStringList& second) {
    ProblemMemos m;
    for (const QString& l : first) m.Memo1 += l + QStringLiteral("\r\n");
    for (const QString& l : second) m.Memo2 += l + QStringLiteral("\r\n");
    return m;
  }
};

TEST_F(KeyTest, SubtitleNumbersAndEveryChain) {
  gen.ExamRowN = 10;
  gen.ExamColN = 2;
  const ProblemMemos m = memos(19);
  ASSERT_TRUE(compose(pkAdd, m));
  EXPECT_EQ(refreshes, 1);
  for (const Command& c : commands())
    if (c.word == "SUBTITLE") { EXPECT_EQ(c.text(1), QStringLiteral("たしざんのもんだい (解き方)")); }
  const QStringList first = memoLines(m.Memo1), second = memoLines(m.Memo2);
  for (int k = 1; k <= 19; ++k) {
    SCOPED_TRACE(k);
    const auto number = texts(label(k));
    ASSERT_EQ(number.size(), 1u);
    EXPECT_NEAR(number[0].real(1), cell(k).x, 1e-9);
    EXPECT_NEAR(number[0].real(2), cell(k).y, 1e-9);
    const Solution s = SolveProblem(pkAdd, first[k - 1], second[k - 1], gen.fTaiBun);
    ASSERT_TRUE(s.solved);
    EXPECT_EQ(readChain(k), expectedReading(s, gen.fKakko));
    expectInside(k, cell(k));
  }
  EXPECT_TRUE(texts(label(20)).empty());
  EXPECT_TRUE(texts(QStringLiteral("解けません")).empty());
  EXPECT_TRUE(texts(QStringLiteral("-")).empty()) << "the answer list is not what the key shows";
  expectFontCommandsOnlyOnChange();
}

// The chains of every kind as a pupil reads them on the key.
TEST_F(KeyTest, ChainsOfEveryKindAreStacked) {
  struct Case {
    ProblemKind kind;
    const char* first;
    const char* second;
    bool mixed;
    const char* chain;  // the solver's text
    const char* read;   // what the sheet draws
  };
  const Case cases[] = {
      {pkAdd, "1/6", "1/3", false, "1/6 + 1/3 = 1/6 + 2/6 = 3/6 = 1/2",
       "[1/6] ＋ [1/3] = [1/6] ＋ [2/6] = [3/6] = [1/2]"},
      {pkAdd, "1+1/2", "2+2/3", true, "1+1/2 + 2+2/3 = 1+3/6 + 2+4/6 = 3+7/6 = 4+1/6",
       "1 [1/2] ＋ 2 [2/3] = 1 [3/6] ＋ 2 [4/6] = 3 [7/6] = 4 [1/6]"},
      {pkAdd, "-3/4", "1/4", false, "-3/4 + 1/4 = -2/4 = -1/2",
       "( - [3/4] ) ＋ [1/4] = - [2/4] = - [1/2]"},
      {pkSub, "3", "1+3/4", false, "3 - 1+3/4 = 2+4/4 - 1+3/4 = 1+1/4 = 5/4",
       "3 － 1 [3/4] = 2 [4/4] － 1 [3/4] = 1 [1/4] = [5/4]"},
      {pkSub, "3/4", "-1/2", false, "3/4 - -1/2 = 3/4 - -2/4 = 5/4",
       "[3/4] － ( - [1/2] ) = [3/4] － ( - [2/4] ) = [5/4]"},
      {pkMul, "2/3", "4/5", false, "2/3 × 4/5 = (2×4)/(3×5) = 8/15",
       "[2/3] × [4/5] = [2×4/3×5] = [8/15]"},
      {pkMul, "-3/4", "2/3", false, "-3/4 × 2/3 = -(3×2)/(4×3) = -(1×1)/(2×1) = -1/2",
       "( - [3/4] ) × [2/3] = - [3×2/4×3] = - [3×2/4×3] = - [1/2]"},
      {pkMul, "4", "9/5", false, "4 × 9/5 = (4×9)/5 = 36/5", "4 × [9/5] = [4×9/5] = [36/5]"},
      {pkDiv, "3/4", "9/2", false, "3/4 ÷ 9/2 = 3/4 × 2/9 = (3×2)/(4×9) = (1×1)/(2×3) = 1/6",
       "[3/4] ÷ [9/2] = [3/4] × [2/9] = [3×2/4×9] = [3×2/4×9] = [1/6]"},
      {pkDiv, "3", "1/2", false, "3 ÷ 1/2 = 3 × 2 = 6", "3 ÷ [1/2] = 3 × 2 = 6"},
      {pkMixedToImproper, "2+3/4", "=", false, "2+3/4 = (4×2+3)/4 = 11/4",
       "2 [3/4] = [4×2+3/4] = [11/4]"},
      {pkImproperToMixed, "11/4", "=", false, "11/4 = 2+3/4 (11 ÷ 4 = 2 あまり 3)",
       "[11/4] = 2 [3/4] (11 ÷ 4 = 2 あまり 3)"},
      {pkImproperToMixed, "3/4", "=", false, "3/4", "[3/4] = [3/4]"},
      {pkAdd, "3", "4", true, "3 + 4 = 7", "3 ＋ 4 = 7"},
  };
  gen.ExamRowN = 1;
  gen.ExamColN = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chain);
    gen.fTaiBun = c.mixed;
    ASSERT_EQ(FormatSolution(SolveProblem(c.kind, c.first, c.second, c.mixed)), QString::fromUtf8(c.chain));
    ASSERT_TRUE(compose(c.kind, lines({c.first}, {c.second})));
    EXPECT_EQ(readChain(1), c.read);
    EXPECT_EQ(composer.fit().usedSize, settings.FntExam.size) << "one problem fits at the problem font";
  }
}

// A cancelled product is read as its factors as written, with one stroke and one small quotient
// for each cancelled factor (where they go is the typesetter's); the remark of a conversion is the
// chain's last piece, on a line of its own when the cell is narrow.
TEST_F(KeyTest, CancelledFactorsAndTheRemark) {
  gen.ExamRowN = 1;
  gen.ExamColN = 1;
  ASSERT_TRUE(compose(pkMul, lines({"8/7"}, {"9/8"})));
  EXPECT_EQ(readChain(1), expectedReading(SolveProblem(pkMul, "8/7", "9/8", false), gen.fKakko));
  int strokes = 0, quotients = 0;
  for (const Command& c : drawnIn(1)) {
    if (!isCancelMark(c)) continue;
    c.word == "LINE" ? ++strokes : ++quotients;
    if (c.word == "TEXTOUT") {
      EXPECT_EQ(c.text(3), QStringLiteral("1"));
    }
  }
  EXPECT_EQ(strokes, 2);
  EXPECT_EQ(quotients, 2);
  expectFontCommandsOnlyOnChange();

  // Conversions in a narrow grid: every chain ends with its remark, some on a line of their own.
  gen.ExamRowN = 5;
  gen.ExamColN = 4;
  QStringList first, second;
  for (int k = 1; k <= 20; ++k) {
    first << QStringLiteral("%1/7").arg(7 * k + k % 6 + 1);
    second << QStringLiteral("=");
  }
  ASSERT_TRUE(compose(pkImproperToMixed, lines(first, second)));
  int ownLine = 0;
  for (int k = 1; k <= 20; ++k) {
    SCOPED_TRACE(k);
    const Solution solution = SolveProblem(pkImproperToMixed, first[k - 1], QStringLiteral("="), false);
    ASSERT_TRUE(solution.remark);
    EXPECT_EQ(readChain(k), expectedReading(solution, true));
    expectInside(k, cell(k));
    const auto drawn = drawnIn(k);
    const QString remark = FormatSolutionRemark(*solution.remark);
    const auto at = std::find_if(drawn.begin(), drawn.end(), [&](const Command& c) { return c.text(3) == remark; });
    ASSERT_NE(at, drawn.end());
    ownLine += at->real(2) > drawn.front().real(2) + ts.SignHeight;
  }
  EXPECT_GT(ownLine, 0);
}

// Long chains in a grid of twenty: the font comes down, chains wrap before a " = " inside their
// cells, and nothing leaves its cell or the page.
TEST_F(KeyTest, LongChainsWrapInsideTheirCellsAtASmallerFont) {
  gen.ExamRowN = 5;
  gen.ExamColN = 4;
  QStringList first, second;
  for (int k = 1; k <= 20; ++k) {
    first << QStringLiteral("%1+5/6").arg(k);
    second << QStringLiteral("2+3/4");
  }
  ASSERT_TRUE(compose(pkAdd, lines(first, second)));
  EXPECT_LT(composer.fit().usedSize, settings.FntExam.size);
  EXPECT_GE(composer.fit().usedSize, WorksheetComposer::kMinFontSize);
  bool inGrid = false;  // the page strings' sizes are the user's
  for (const Command& c : commands()) {
    inGrid = inGrid || (c.word == "TEXTOUT" && c.text(3) == label(1));
    if (inGrid && c.word == "FONTSIZE") { EXPECT_GE(c.real(1), 8); }
  }
  int wrapped = 0;
  for (int k = 1; k <= 20; ++k) {
    SCOPED_TRACE(k);
    ASSERT_EQ(texts(label(k)).size(), 1u);
    int lineCount = 0;
    EXPECT_EQ(readChain(k, &lineCount), expectedReading(SolveProblem(pkAdd, first[k - 1], second[k - 1], false), true));
    expectInside(k, cell(k));
    if (lineCount > 1) {
      ++wrapped;
      // Every continued line begins with its " = ", right of the number.
      const auto drawn = drawnIn(k);
      CanvasFont numberFont;
      Typesetter::LoadPageStrFont(model.SubTitle, numberFont);
      model.SetFontSets(numberFont);
      const double numberRight = cell(k).x + model.GetWidth(label(k));
      std::map<double, const Command*> firstOnLine;  // by the middle line's y
      for (const Command& c : drawn)
        if (c.word == "TEXTOUT" && c.text(4).toUpper() == "NIL") {
          const double y = c.real(2);
          if (!firstOnLine.count(y) || firstOnLine[y]->real(1) > c.real(1)) firstOnLine[y] = &c;
        }
      ASSERT_GE(firstOnLine.size(), 2u);
      for (auto it = std::next(firstOnLine.begin()); it != firstOnLine.end(); ++it) {
        EXPECT_EQ(it->second->text(3), QStringLiteral(" = "));
        EXPECT_GT(it->second->real(1), numberRight);
      }
    }
  }
  EXPECT_GT(wrapped, 0) << "the chains are too long for one line of a cell";
  expectFontCommandsOnlyOnChange();

  // The same chains with room to spare keep the problem font.
  gen.ExamRowN = 1;
  gen.ExamColN = 1;
  ASSERT_TRUE(compose(pkAdd, lines(first, second)));
  EXPECT_EQ(composer.fit().usedSize, settings.FntExam.size);
}

// A grid too narrow for anything at 8 points: the key stays at 8, numbers every problem, and
// draws nothing outside the page.
TEST_F(KeyTest, NeverBelowEightPointsNorOutsideThePage) {
  struct Grid {
    int rows, cols;
  };
  QStringList first, second;
  for (int k = 1; k <= 20; ++k) {
    first << QStringLiteral("%1+5/6").arg(k * 1234567);
    second << QStringLiteral("98765+3/4");
  }
  for (const Grid g : {Grid{2, 10}, Grid{1, 20}, Grid{20, 1}}) {
    SCOPED_TRACE(g.cols);
    gen.ExamRowN = g.rows;
    gen.ExamColN = g.cols;
    const ProblemSet set = toSet(lines(first, second), pkAdd);
    ASSERT_TRUE(composer.ComposeWorksheet(WorksheetComposer::SolutionSheet, set));
    EXPECT_GE(composer.fit().usedSize, WorksheetComposer::kMinFontSize);
    const double pageW = model.Get_UnitWidth(), pageH = model.Get_UnitHeight();
    int numbered = 0;
    for (int page = 0; page < composer.fit().pages; ++page) {
      ASSERT_TRUE(composer.ComposeWorksheet(WorksheetComposer::SolutionSheet, set, page));
      for (int k = 1; k <= 20; ++k) {
        if (texts(label(k)).empty()) continue;
        ++numbered;
        EXPECT_FALSE(drawnIn(k).empty()) << k;
      }
      model.SetFontSets(keyFont());
      for (const Command& c : commands()) {
        if (c.word == "LINE") {
          for (int i : {1, 3}) { EXPECT_GE(c.real(i), 0); EXPECT_LE(c.real(i), pageW); }
          for (int i : {2, 4}) { EXPECT_GE(c.real(i), 0); EXPECT_LE(c.real(i), pageH); }
        } else if (c.word == "TEXTOUT" && c.real(2) >= composer.grid().WindowUpper) {
          const bool nil = c.text(4).toUpper() == "NIL";
          const double w = nil ? model.GetWidth(c.text(3)) : c.text(3).size() * c.real(4);
          EXPECT_GE(c.real(1), 0) << c.text(3).toStdString();
          EXPECT_LE(c.real(1) + w, pageW + 1e-6) << c.text(3).toStdString();
          EXPECT_LE(c.real(2) + ts.SignHeight, pageH) << c.text(3).toStdString();
        }
      }
    }
    EXPECT_EQ(numbered, 20) << "every problem on one of the pages";
  }
  // Twenty rows hold one line of 8 points each: the long chains take more pages, each chain
  // whole on its page, numbered as on the problem sheet.
  gen.ExamRowN = 20;
  gen.ExamColN = 1;
  const ProblemSet longSet = toSet(lines(first, second), pkAdd);
  ASSERT_TRUE(composer.ComposeWorksheet(WorksheetComposer::SolutionSheet, longSet));
  const int pages = composer.fit().pages;
  EXPECT_GT(pages, 1);
  EXPECT_NE(FitNote(composer.fit()).indexOf(QStringLiteral("ページ")), -1);
  int seen = 0;
  for (int page = 0; page < pages; ++page) {
    ASSERT_TRUE(composer.ComposeWorksheet(WorksheetComposer::SolutionSheet, longSet, page));
    for (int k = 1; k <= 20; ++k) {
      if (texts(label(k)).empty()) continue;
      SCOPED_TRACE(k);
      ++seen;
      const Solution s = SolveProblem(pkAdd, first[k - 1], second[k - 1], false);
      EXPECT_EQ(readChain(k), expectedReading(s, true));
      expectInside(k, cell(k, 20));
    }
  }
  EXPECT_EQ(seen, 20);
  EXPECT_FALSE(composer.ComposeWorksheet(WorksheetComposer::SolutionSheet, longSet, pages));
  EXPECT_TRUE(texts(QStringLiteral("…")).empty());

  // Short chains in twenty rows: one line each, above 8 points.
  const ProblemMemos m = memos(20);
  ASSERT_TRUE(compose(pkAdd, m));
  EXPECT_GT(composer.fit().usedSize, WorksheetComposer::kMinFontSize);
  for (int k = 1; k <= 20; ++k) {
    int lineCount = 0;
    EXPECT_EQ(readChain(k, &lineCount),
              expectedReading(SolveProblem(pkAdd, memoLines(m.Memo1)[k - 1], memoLines(m.Memo2)[k - 1], false), true));
    EXPECT_EQ(lineCount, 1) << k;
    expectInside(k, cell(k));
  }
}

// Lines edited by hand that cannot be solved: the number and "解けません", and the problems
// around them solved as ever.
TEST_F(KeyTest, UnsolvableLinesSaySo) {
  struct Case {
    ProblemKind kind;
    const char* first;
    const char* second;
  };
  const Case cases[] = {
      {pkAdd, "1/0", "1/2"},
      {pkAdd, "abc", "1/2"},
      {pkSub, "1/2", "99999999999999999999"},
      {pkDiv, "3/4", "0"},
      {pkDiv, "3/4", "0/5"},
      {pkMul, "", "1/2"},
      {pkMixedToImproper, "2+/3", "="},
      {pkAdd, "9223372036854775807/2", "9223372036854775807/3"},
  };
  gen.ExamRowN = 3;
  gen.ExamColN = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " | " + c.second);
    const QString other = c.kind >= pkMixedToImproper ? "=" : "1/3";
    ASSERT_TRUE(compose(c.kind, lines({"1/2", c.first, "5/4"}, {other, c.second, other})));
    const auto refused = texts(QStringLiteral("解けません"));
    ASSERT_EQ(refused.size(), 1u);
    const CellBox box = cell(2);
    EXPECT_GT(refused[0].real(2), box.y);
    EXPECT_LT(refused[0].real(2), box.bottom);
    EXPECT_EQ(texts(label(2)).size(), 1u);
    EXPECT_EQ(drawnIn(2).size(), 1u) << "nothing else in the cell";
    for (int k : {1, 3}) {
      const QStringList first = {"1/2", "", "5/4"};
      EXPECT_EQ(readChain(k), expectedReading(SolveProblem(c.kind, first[k - 1], other, false), true));
    }
  }
}

// A problem font from a hand-edited settings file, far too large for any row.
TEST_F(KeyTest, HugeProblemFontComesDownToTheRows) {
  gen.ExamRowN = 10;
  gen.ExamColN = 2;
  settings.FntExam.size = 50000;
  const ProblemMemos m = memos(20);
  ASSERT_TRUE(compose(pkAdd, m));
  EXPECT_GE(composer.fit().usedSize, WorksheetComposer::kMinFontSize);
  EXPECT_LT(composer.fit().usedSize, 100);
  for (int k = 1; k <= 20; ++k) {
    EXPECT_EQ(readChain(k), expectedReading(SolveProblem(pkAdd, memoLines(m.Memo1)[k - 1],
                                                         memoLines(m.Memo2)[k - 1], false),
                                            true));
    expectInside(k, cell(k));
  }
}

// Twenty rows: every sheet starts below the page strings and the date box, the problem font is
// set smaller to fit the rows, and the stored margin stays the user's.
TEST_F(KeyTest, TwentyRowsStartBelowThePageStringsOnEverySheet) {
  gen.ExamRowN = 20;
  gen.ExamColN = 1;
  ASSERT_TRUE(composer.ComposeWorksheet(WorksheetComposer::ProblemSheet, toSet(memos(20), pkAdd)));
  const double problemUpper = composer.grid().WindowUpper;
  EXPECT_GE(problemUpper, 36 + 5) << "below the subtitle line";
  EXPECT_LT(composer.fit().usedSize, settings.FntExam.size);
  EXPECT_EQ(FitNote(composer.fit()),
            QStringLiteral("文字を24ptから%1ptに縮めました").arg(composer.fit().usedSize));
  ASSERT_TRUE(compose(pkAdd, memos(20)));
  EXPECT_EQ(composer.grid().WindowUpper, problemUpper) << "the key's grid is the problem sheet's";
  const auto name = texts(QStringLiteral("　なまえ "));
  ASSERT_EQ(name.size(), 1u);
  const double h = (name[0].real(2) - 10) / 3.5;  // the date line's height
  EXPECT_GE(composer.grid().WindowUpper, 10 + 6 * h + 5 - 1e-9) << "below the date box";
  for (int k = 1; k <= 20; ++k) {
    ASSERT_EQ(texts(label(k)).size(), 1u);
    expectInside(k, cell(k));
  }
  EXPECT_EQ(settings.WindowTop, 10);
}

TEST_F(KeyTest, NumberingFollowsTheSettings) {
  gen.ExamRowN = 12;
  gen.ExamColN = 1;
  settings.ExNumLeft = "[";
  settings.ExNumRight = "]";
  ASSERT_TRUE(compose(pkAdd, memos(12)));
  EXPECT_EQ(texts("[ 7]").size(), 1u);
  EXPECT_EQ(texts("[12]").size(), 1u);
  settings.fExNum = false;
  ASSERT_TRUE(compose(pkAdd, memos(3)));
  for (const Command& c : commands()) EXPECT_FALSE(c.word == "TEXTOUT" && c.text(3).startsWith("["));
  EXPECT_FALSE(compose(pkAdd, ProblemMemos())) << "no problems, no key";
}

TEST(MemoLines, FinalBreakAddsNoLine) {
  EXPECT_EQ(memoLines("a\r\nb\r\n"), QStringList({"a", "b"}));
  EXPECT_EQ(memoLines("a\nb"), QStringList({"a", "b"}));
  EXPECT_EQ(memoLines("a\r\n\r\n"), QStringList({"a", ""}));
  EXPECT_TRUE(memoLines("").isEmpty());
  EXPECT_EQ(memoLines("a\rb\r"), QStringList({"a", "b"}));
  EXPECT_EQ(memoLines("\n\r\nx"), QStringList({"", "", "x"}));
  EXPECT_EQ(memoLines("\r"), QStringList({""}));
}

// A problem of a mixed set keeps its own preset's brackets and answer form: drawn with its own
// options, it is drawn as settings with those options draw it, whatever the sheet's settings say.
TEST(ComposerMixedSet, EachProblemKeepsTheOptionsItWasMadeWith) {
  PageModel model(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96);
  model.ReadPrinterMetrics();
  model.GetPageSize();
  model.setUnitType(PageModel::kUnitMillimetre);
  Typesetter ts(model);
  MainSettings settings;
  GenerationSettings gen;
  TPageStr dateTime;
  WorksheetComposer composer(model, ts, settings, gen, dateTime);
  const SheetProblem plain{pkAdd, QStringLiteral("-3/4"), QStringLiteral("-3/2"), QStringLiteral("-9/4")};
  std::map<std::pair<bool, bool>, QStringList> drawn;
  for (int sheet : {WorksheetComposer::ProblemSheet, WorksheetComposer::SolutionSheet}) {
    for (bool kakko : {false, true}) {
      for (bool taiBun : {false, true}) {
        gen.fKakko = kakko;
        gen.fTaiBun = taiBun;
        ASSERT_TRUE(composer.ComposeWorksheet(sheet, {plain}));
        const QStringList bySettings = model.ListbyProgram();
        gen.fKakko = !kakko;
        gen.fTaiBun = !taiBun;
        SheetProblem own = plain;
        own.fKakko = kakko;
        own.fTaiBun = taiBun;
        ASSERT_TRUE(composer.ComposeWorksheet(sheet, {own}));
        EXPECT_EQ(model.ListbyProgram(), bySettings) << sheet << kakko << taiBun;
        if (sheet == WorksheetComposer::SolutionSheet) drawn[std::pair{kakko, taiBun}] = bySettings;
      }
    }
  }
  // The options change what is drawn: the brackets, and the key's last answer.
  const QStringList plainKey = drawn[std::pair(false, false)];
  const QStringList bracketed = drawn[std::pair(true, false)];
  const QStringList mixedAnswer = drawn[std::pair(false, true)];
  EXPECT_NE(plainKey, bracketed);
  EXPECT_NE(plainKey, mixedAnswer);
}

}  // namespace
}  // namespace zubira
