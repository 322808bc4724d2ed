#include "worksheet/typesetter.h"

#include "drawing/page_model.h"
#include "drawing/recording_canvas.h"
#include "sheet_commands.h"

#include <gtest/gtest.h>

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
    model.ClearProgramList();
    const double r = ts.TypesetValue(QString::fromUtf8(value), bracket, 100, 50);
    SCOPED_TRACE(value);
    EXPECT_NEAR(r, ret, 1e-9);
    const auto cmds = commandsOf(model.ListbyProgram());
    ASSERT_EQ(cmds.size(), expected.size()) << model.ListbyProgram().join('\n').toStdString();
    for (size_t i = 0; i < cmds.size(); ++i) {
      const Expect& e = expected[i];
      EXPECT_EQ(cmds[i].word, QString::fromUtf8(e.word)) << i;
      EXPECT_NEAR(cmds[i].real(1), e.x, 1e-9) << i;
      EXPECT_NEAR(cmds[i].real(2), e.y, 1e-9) << i;
      if (e.text) {
        EXPECT_EQ(cmds[i].text(3), QString::fromUtf8(e.text)) << i;
        EXPECT_EQ(cmds[i].text(4), QStringLiteral("8")) << "every text gets the pitch";
      } else {
        EXPECT_NEAR(cmds[i].real(3), e.x2, 1e-9) << i;
        EXPECT_NEAR(cmds[i].real(4), e.y, 1e-9) << i;
      }
    }
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
