#include "worksheet/typesetter.h"

#include "drawing/page_model.h"
#include "drawing/recording_canvas.h"
#include "sheet_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace zubira {
namespace {

using testing::commandsOf;

// An expected command: TEXTOUT with its x, y and text, or LINE from (x, y) to (x2, y).
struct Expect {
  const char* word;
  double x, y;
  const char* text;  // TEXTOUT text, or nullptr for a LINE
  double x2 = 0;
};

// Runs `draw` on a cleared program list and checks the x it returns and every command; with
// `pitched`, every text must carry the pitch "8".
void checkDrawn(PageModel& model, const std::function<double()>& draw, const std::vector<Expect>& expected,
                double ret, bool pitched = false) {
  model.ClearProgramList();
  EXPECT_NEAR(draw(), ret, 1e-9);
  const auto cmds = commandsOf(model.ListbyProgram());
  ASSERT_EQ(cmds.size(), expected.size()) << model.ListbyProgram().join('\n').toStdString();
  for (size_t i = 0; i < cmds.size(); ++i) {
    const Expect& e = expected[i];
    EXPECT_EQ(cmds[i].word, QString::fromUtf8(e.word)) << i;
    EXPECT_NEAR(cmds[i].real(1), e.x, 1e-9) << i;
    EXPECT_NEAR(cmds[i].real(2), e.y, 1e-9) << i;
    if (e.text) {
      EXPECT_EQ(cmds[i].text(3), QString::fromUtf8(e.text)) << i;
      if (pitched) {
        EXPECT_EQ(cmds[i].text(4), QStringLiteral("8")) << "every text gets the pitch";
      }
    } else {
      EXPECT_NEAR(cmds[i].real(3), e.x2, 1e-9) << i;
      EXPECT_NEAR(cmds[i].real(4), e.y, 1e-9) << i;
    }
  }
}

class TypesetterTest : public ::testing::Test {
 protected:
  TypesetterTest()
      : model(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96),
        ts(model) {
    ts.CharPitch = 8;
    ts.PitchText = "8";
    ts.SignHeight = 10;
  }
  // Typesets at (100, 50) and checks every command; p = 8, h = 10.
  void check(const char* value, bool bracket, const std::vector<Expect>& expected, double ret) {
    SCOPED_TRACE(value);
    checkDrawn(model, [&] { return ts.TypesetValue(QString::fromUtf8(value), bracket, 100, 50); }, expected, ret,
               true);
  }
  PageModel model;
  Typesetter ts;
};

TEST_F(TypesetterTest, ValueShapes) {
  const double p = 8, x = 100, mid = 55, top = 50, bar = 60;
  check("3", false, {{"TEXTOUT", x, mid, "3"}}, x + p + 1);
  check("-3", true,
        {{"TEXTOUT", x, mid, "("}, {"TEXTOUT", x + p, mid, "-"}, {"TEXTOUT", x + 2 * p, mid, "3"},
         {"TEXTOUT", x + 2.5 * p + 1, mid, ")"}},
        x + 3.5 * p + 1);
  check("-3", false, {{"TEXTOUT", x, mid, "-"}, {"TEXTOUT", x + p, mid, "3"}}, x + 2 * p + 1);
  check("1/2", false,
        {{"TEXTOUT", x, top, "1"}, {"TEXTOUT", x, bar, "2"}, {"LINE", x - 0.25 * p, bar, nullptr, x + 1.25 * p}},
        x + 1.75 * p);
  check("12/5", false,
        {{"TEXTOUT", x, top, "12"}, {"TEXTOUT", x + 0.5 * p, bar, "5"},
         {"LINE", x - 0.25 * p, bar, nullptr, x + 2.25 * p}},
        x + 2.75 * p);
  const double f = x + 2 * p + p / 3;  // the fraction after "(" "-" and a third of the pitch
  check("-7/4", true,
        {{"TEXTOUT", x, mid, "("}, {"TEXTOUT", x + p, mid, "-"}, {"TEXTOUT", f, top, "7"},
         {"TEXTOUT", f, bar, "4"}, {"LINE", f - 0.25 * p, bar, nullptr, f + 1.25 * p},
         {"TEXTOUT", f + 1.25 * p, mid, ")"}},
        f + 1.75 * p + 0.5 * p);
  const double g = x + 3 * p + 1;
  check("-(2+1/3)", true,
        {{"TEXTOUT", x, mid, "("}, {"TEXTOUT", x + p, mid, "-"}, {"TEXTOUT", x + 2 * p, mid, "2"},
         {"TEXTOUT", g, top, "1"}, {"TEXTOUT", g, bar, "3"},
         {"LINE", g - 0.25 * p, bar, nullptr, g + 1.25 * p}, {"TEXTOUT", g + 1.25 * p, mid, ")"}},
        x + 5.25 * p + 1);
  check("-(2+1/3)", false,
        {{"TEXTOUT", x, mid, "-"}, {"TEXTOUT", x + p, mid, "2"}, {"TEXTOUT", x + 2 * p + 1, top, "1"},
         {"TEXTOUT", x + 2 * p + 1, bar, "3"},
         {"LINE", x + 2 * p + 1 - 0.25 * p, bar, nullptr, x + 2 * p + 1 + 1.25 * p}},
        x + 2 * p + 1 + 1.75 * p);
  // Texts a user may type: never a failure.
  check("", false, {{"TEXTOUT", x, mid, ""}}, x);
  check("2+", false, {{"TEXTOUT", x, mid, "2"}}, x + p + 1);
  check("/", false,
        {{"TEXTOUT", x, top, ""}, {"TEXTOUT", x, bar, ""}, {"LINE", x - 0.25 * p, bar, nullptr, x + 0.25 * p}},
        x + 0.75 * p);
}

// The key's whole parts: the fraction follows the digits' pitch and one gap, however many
// digits there are, so that "243741 38/39" reads as one number.
TEST_F(TypesetterTest, KeyWholePartGapDoesNotGrowWithItsDigits) {
  const double p = 8, x = 100, mid = 55, top = 50, bar = 60, gap = 4;
  ts.WholePartGap = gap;
  for (const char* whole : {"3", "243741"}) {
    const double f = x + double(strlen(whole)) * p + gap;
    const QString value = QString::fromUtf8(whole) + QStringLiteral("+38/39");
    SCOPED_TRACE(whole);
    checkDrawn(model, [&] { return ts.TypesetValue(value, false, x, 50); },
               {{"TEXTOUT", x, mid, whole}, {"TEXTOUT", f, top, "38"}, {"TEXTOUT", f, bar, "39"},
                {"LINE", f - 0.25 * p, bar, nullptr, f + 2.25 * p}},
               f + 2.75 * p);
    EXPECT_NEAR(ts.ValueWidth(value, false), f + 2.75 * p - x, 1e-9) << "measuring appends nothing";
  }
}

SolutionTerm valueTerm(int64_t whole, int64_t num, int64_t den, bool negative = false) {
  SolutionTerm t;
  t.whole = whole;
  t.num = num;
  t.den = den;
  t.hasFraction = num != 0;
  t.negative = negative;
  return t;
}

SolutionTerm unmultiplied(std::vector<std::vector<int64_t>> numerator,
                          std::vector<std::vector<int64_t>> denominator, bool negative = false) {
  SolutionTerm t;
  t.kind = SolutionTerm::Unmultiplied;
  t.numerator = std::move(numerator);
  t.denominator = std::move(denominator);
  t.negative = negative;
  return t;
}

TEST_F(TypesetterTest, UnmultipliedFractionStacksItsProducts) {
  const double p = 8, x = 100, mid = 55, top = 50, bar = 60;
  SCOPED_TRACE("(2×3+1)/3");
  // Numerator five characters wide, the denominator centred under it.
  checkDrawn(model, [&] { return ts.TypesetTerm(unmultiplied({{2, 3}, {1}}, {{3}}), true, x, top); },
             {{"TEXTOUT", x, top, "2×3+1"}, {"TEXTOUT", x + 2 * p, bar, "3"},
              {"LINE", x - 0.25 * p, bar, nullptr, x + 5.25 * p}},
             x + 5.75 * p);
  EXPECT_EQ(commandsOf(model.ListbyProgram())[0].text(4), "8") << "the digits at the pitch";

  SCOPED_TRACE("-(1×4)/(1×1) bracketed");
  const double f = x + 2 * p + p / 3;
  checkDrawn(model, [&] { return ts.TypesetTerm(unmultiplied({{1, 4}}, {{1, 1}}, true), true, x, top); },
             {{"TEXTOUT", x, mid, "("}, {"TEXTOUT", x + p, mid, "-"}, {"TEXTOUT", f, top, "1×4"},
              {"TEXTOUT", f, bar, "1×1"}, {"LINE", f - 0.25 * p, bar, nullptr, f + 3.25 * p},
              {"TEXTOUT", f + 3.25 * p, mid, ")"}},
             f + 4.25 * p);
}

TEST_F(TypesetterTest, ValueTermsAreTypesetAsTheirListText) {
  struct Case {
    SolutionTerm term;
    const char* text;
  };
  const Case cases[] = {{valueTerm(3, 0, 1), "3"},
                        {valueTerm(0, 5, 4), "5/4"},
                        {valueTerm(2, 1, 3), "2+1/3"},
                        {valueTerm(0, 3, 4, true), "-3/4"},
                        {valueTerm(2, 1, 3, true), "-(2+1/3)"},
                        {valueTerm(0, 2, 1), "2/1"}};
  for (const Case& c : cases) {
    for (const bool bracket : {false, true}) {
      SCOPED_TRACE(c.text);
      model.ClearProgramList();
      const double byValue = ts.TypesetValue(QString::fromUtf8(c.text), bracket, 30, 40);
      const QStringList expected = model.ListbyProgram();
      model.ClearProgramList();
      EXPECT_NEAR(ts.TypesetTerm(c.term, bracket, 30, 40), byValue, 1e-9);
      EXPECT_EQ(model.ListbyProgram(), expected);
      EXPECT_NEAR(ts.TermWidth(c.term, bracket), byValue - 30, 1e-9);
    }
  }
}

TEST_F(TypesetterTest, StepJoinsTermsWithTheProblemLinesOperators) {
  const double p = 8, x = 100, mid = 55, top = 50, bar = 60;
  SolutionStep step{{valueTerm(0, 3, 4), valueTerm(0, 1, 6, true)}, {SolutionOp::Sub}};
  const double sign = x + 1.75 * p;  // after the first fraction
  const double f = sign + 2 * p + 2 * p + p / 3;
  checkDrawn(model, [&] { return ts.TypesetStep(step, false, x, top); },
             {{"TEXTOUT", x, top, "3"}, {"TEXTOUT", x, bar, "4"},
              {"LINE", x - 0.25 * p, bar, nullptr, x + 1.25 * p},
              {"TEXTOUT", sign, mid, "－ "}, {"TEXTOUT", sign + 2 * p, mid, "("},
              {"TEXTOUT", sign + 3 * p, mid, "-"}, {"TEXTOUT", f, top, "1"}, {"TEXTOUT", f, bar, "6"},
              {"LINE", f - 0.25 * p, bar, nullptr, f + 1.25 * p}, {"TEXTOUT", f + 1.25 * p, mid, ")"}},
             f + 2.25 * p);
  EXPECT_EQ(commandsOf(model.ListbyProgram())[3].text(4).toUpper(), "NIL") << "the operator as the problem line's";

  // A negative first term is bracketed only when asked and when the step has more terms.
  const SolutionStep alone{{valueTerm(0, 3, 4, true)}, {}};
  model.ClearProgramList();
  ts.TypesetStep(alone, true, x, top);
  EXPECT_FALSE(model.ListbyProgram().join('\n').contains("\"(\"")) << "a result is written -3/4";
  const SolutionStep pair{{valueTerm(0, 3, 4, true), valueTerm(1, 0, 1)}, {SolutionOp::Mul}};
  for (const bool bracketFirst : {false, true}) {
    model.ClearProgramList();
    ts.TypesetStep(pair, bracketFirst, x, top);
    EXPECT_EQ(model.ListbyProgram().join('\n').contains("\"(\""), bracketFirst);
    EXPECT_TRUE(model.ListbyProgram().join('\n').contains("\"× \""));
  }
}

TEST_F(TypesetterTest, MeasuringAppendsNothing) {
  const SolutionStep step{{valueTerm(2, 1, 3), unmultiplied({{2, 3}, {1}}, {{3}}, true)}, {SolutionOp::Div}};
  model.ClearProgramList();
  const double w = ts.StepWidth(step, true);
  EXPECT_TRUE(model.ListbyProgram().isEmpty());
  EXPECT_NEAR(ts.TypesetStep(step, true, 7, 9) - 7, w, 1e-9);
  EXPECT_FALSE(model.ListbyProgram().isEmpty()) << "drawing after measuring appends again";
  EXPECT_EQ(ts.SignWidth(Typesetter::EqualsSign()), 3 * 8);
  EXPECT_EQ(Typesetter::OperatorSign(SolutionOp::Add), QStringLiteral("＋ "));
  EXPECT_EQ(Typesetter::OperatorSign(SolutionOp::Div), QStringLiteral("÷ "));
}

TEST_F(TypesetterTest, FontChangesOnlyTheDifferencesInOrder) {
  ts.ResetCurrentFont();
  CanvasFont f;
  f.name = QStringLiteral("IPA \"P\" 明朝");
  f.size = 24;
  f.color = 255;
  f.bold = true;
  f.italic = true;
  ts.EmitFontChange(f);
  EXPECT_EQ(model.ListbyProgram(),
            QStringList({"FontName,\"IPA \"\"P\"\" 明朝\"", "FontSize,24", "FontColor,RED",
                         "FontStyle,BOLD", "FontStyle,ITALIC"}));
  model.ClearProgramList();
  ts.EmitFontChange(f);
  EXPECT_TRUE(model.ListbyProgram().isEmpty()) << "the same font twice appends nothing";
  CanvasFont plain = f;
  plain.bold = plain.italic = false;
  ts.EmitFontChange(plain);
  EXPECT_EQ(model.ListbyProgram(), QStringList({"FontStyle,BOLD-", "FontStyle,ITALIC-"}));
  model.ClearProgramList();
  CanvasFont underline = plain;
  underline.underline = true;
  ts.EmitFontChange(underline);
  EXPECT_TRUE(model.ListbyProgram().isEmpty()) << "underline alone appends nothing";
  EXPECT_TRUE(ts.CurFont.underline) << "but is kept in the current font";
}

TEST(Typesetter, PageStringFontIsBlackAndKeepsUnderline) {
  TPageStr ps;
  ps.SetSets("x", QStringLiteral("ＭＳ 明朝"), 14, 1, "0", "0", true, false);
  CanvasFont f;
  f.color = 255;
  f.underline = true;
  Typesetter::LoadPageStrFont(ps, f);
  EXPECT_EQ(f.name, QStringLiteral("ＭＳ 明朝"));
  EXPECT_EQ(f.size, 14);
  EXPECT_TRUE(f.bold);
  EXPECT_EQ(f.color, 0);
  EXPECT_TRUE(f.underline);
}

}  // namespace
}  // namespace zubira
