#include "drawing/page_model.h"

#include "drawing/color_names.h"
#include "drawing/comma_text.h"
#include "drawing/number_text.h"

#include <functional>
#include <gtest/gtest.h>

namespace zubira {
namespace {

std::unique_ptr<PageModel> makeModel() {
  return std::make_unique<PageModel>(
      std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96);
}

struct EmitCase {
  const char* name;
  std::function<void(PageModel&)> append;
  const char16_t* line;
};

class Emitters : public ::testing::TestWithParam<EmitCase> {};

TEST_P(Emitters, AppendOneLineByteForByte) {
  auto model = makeModel();
  model->PrevInit();
  GetParam().append(*model);
  ASSERT_EQ(model->ListbyProgram().size(), 2);
  EXPECT_EQ(model->ListbyProgram().first(), QStringLiteral("INITPARAM"));
  EXPECT_EQ(model->ListbyProgram().last(), QString::fromUtf16(GetParam().line));
  EXPECT_TRUE(model->ListByManual().isEmpty());
  EXPECT_TRUE(model->ListByFile().isEmpty());
}

const EmitCase kEmitCases[] = {
    {"TextOut", [](PageModel& m) { m.PrevTextOut(12.5, 30, QStringLiteral("分数"), "NIL"); },
     u"TextOut, 1.25000000000000E+0001, 3.00000000000000E+0001,\"分数\",NIL"},
    {"TextOutAdvance", [](PageModel& m) { m.PrevTextOut(-3, 0, "12", "5"); },
     u"TextOut,-3.00000000000000E+0000, 0.00000000000000E+0000,\"12\",5"},
    {"TextOutQuote", [](PageModel& m) { m.PrevTextOut(1, 2, "say \"hi\"", "Nil"); },
     u"TextOut, 1.00000000000000E+0000, 2.00000000000000E+0000,\"say \"\"hi\"\"\",Nil"},
    {"TextOutEmpty", [](PageModel& m) { m.PrevTextOut(1, 2, "", "NIL"); },
     u"TextOut, 1.00000000000000E+0000, 2.00000000000000E+0000,\"\",NIL"},
    {"TextOutAngle", [](PageModel& m) { m.PrevTextOutAngle(50, 50, 900, "X"); },
     u"TextOutAngle, 5.00000000000000E+0001, 5.00000000000000E+0001,\"X\", 9.00000000000000E+0002"},
    {"Line", [](PageModel& m) { m.PrevLine(0, 0.5, -10, 210); },
     u"Line, 0.00000000000000E+0000, 5.00000000000000E-0001,-1.00000000000000E+0001, "
     u"2.10000000000000E+0002"},
    {"Color", [](PageModel& m) { m.PrevColor(0xFF0000); }, u"Color,BLUE"},
    {"FontColorDkGray", [](PageModel& m) { m.PrevFontColor(0x808080); }, u"FontColor,DKGRAY"},
    {"FontColorOther", [](PageModel& m) { m.PrevFontColor(0x123456); }, u"FontColor,BLACK"},
    {"FontSize", [](PageModel& m) { m.PrevFontSize(12); }, u"FontSize,12"},
    {"FontSizeNegative", [](PageModel& m) { m.PrevFontSize(-4); }, u"FontSize,-4"},
    {"FontName", [](PageModel& m) { m.PrevFontName("\"ＭＳ 明朝\""); }, u"FontName,\"ＭＳ 明朝\""},
    {"FontStyle", [](PageModel& m) { m.PrevFontStyle("BOLD-"); }, u"FontStyle,BOLD-"},
    {"BrushColor", [](PageModel& m) { m.PrevBrushColor(0xC0C0C0); }, u"BrushColor,SILVER"},
    {"PenColor", [](PageModel& m) { m.PrevPenColor(0x0000FF); }, u"PenColor,RED"},
    {"PenWidthHalf", [](PageModel& m) { m.PrevPenWidth(0.5); }, u"PenWidth,0.5"},
    {"PenWidthTwo", [](PageModel& m) { m.PrevPenWidth(2); }, u"PenWidth,2"},
    {"PenWidthThird", [](PageModel& m) { m.PrevPenWidth(1.0 / 3); }, u"PenWidth,0.333333333333333"},
    {"PenSize", [](PageModel& m) { m.PrevPenSize(3); }, u"PenSize,3"},
    {"PenStyle", [](PageModel& m) { m.PrevPenStyle("psDot"); }, u"PenStyle,psDot"},
    {"Picture", [](PageModel& m) { m.PrevPicture("a.bmp", 10, 20, 30, 40.25); },
     u"Picture,a.bmp, 1.00000000000000E+0001, 2.00000000000000E+0001, 3.00000000000000E+0001, "
     u"4.02500000000000E+0001"},
    {"Header", [](PageModel& m) { m.PrevHeader("見出し, 1", 3, 0, 0); },
     u"Header,\"見出し, 1\",3, 0.00000000000000E+0000, 0.00000000000000E+0000"},
    {"Footer", [](PageModel& m) { m.PrevFooter("f", 1, 5, -5); },
     u"Footer,\"f\",1, 5.00000000000000E+0000,-5.00000000000000E+0000"},
    {"PageTitle", [](PageModel& m) { m.PrevpageTitle("T", 4, 20, 30); },
     u"PageTitle,\"T\",4, 2.00000000000000E+0001, 3.00000000000000E+0001"},
    {"SubTitle", [](PageModel& m) { m.PrevSubTitle("S\"", -1, 0, 0); },
     u"SubTitle,\"S\"\"\",-1, 0.00000000000000E+0000, 0.00000000000000E+0000"},
    {"Init", [](PageModel& m) { m.PrevInit(); }, u"INITPARAM"},
};

INSTANTIATE_TEST_SUITE_P(All, Emitters, ::testing::ValuesIn(kEmitCases),
                         [](const ::testing::TestParamInfo<EmitCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(EmittedLines, ReadBackToWhatWasPassed) {
  auto model = makeModel();
  const QString texts[] = {"", "分数", "a, b", "\"", "say \"hi\", twice \"\"", "  blanks  "};
  for (const QString& t : texts) model->PrevTextOut(-12.345678901234, 1e-3, t, "NIL");
  for (qsizetype i = 0; i < model->ListbyProgram().size(); ++i) {
    const QStringList items = splitCommaText(model->ListbyProgram()[i]);
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(keywordOf(items[0]), QStringLiteral("TEXTOUT"));
    EXPECT_DOUBLE_EQ(readReal(items[1]).value_or(0), -12.345678901234);
    EXPECT_DOUBLE_EQ(readReal(items[2]).value_or(0), 1e-3);
    EXPECT_EQ(items[3], texts[i]);
    EXPECT_EQ(items[4], QStringLiteral("NIL"));
  }
}

TEST(EmittedLines, ColoursOutsideTheTableComeBackBlack) {
  auto model = makeModel();
  for (TColor c : {0x0000FF, 0x808080, 0xC0C0C0, 0x7F7F7F}) model->PrevPenColor(c);
  QList<TColor> back;
  for (const QString& line : model->ListbyProgram())
    back << NameToColor(keywordOf(splitCommaText(line).value(1)));
  EXPECT_EQ(back, (QList<TColor>{0x0000FF, 0x808080, 0xC0C0C0, 0}));
}

TEST(EmittedLines, UnquotedFileNameWithABlankSplitsAtTheBlank) {
  auto model = makeModel();
  model->PrevPicture("my picture.bmp", 0, 0, 10, 10);
  const QStringList items = splitCommaText(model->ListbyProgram().first());
  ASSERT_EQ(items.size(), 7);
  EXPECT_EQ(items[1], QStringLiteral("my"));
  model->PrevPicture(quoteText("my picture.bmp"), 0, 0, 10, 10);
  EXPECT_EQ(splitCommaText(model->ListbyProgram().last()).value(1), QStringLiteral("my picture.bmp"));
}

TEST(EmittedLines, PageStringCommandsCarryAReadableMode) {
  auto model = makeModel();
  model->PrevHeader("h", 3, 0, 0);
  const QStringList items = splitCommaText(model->ListbyProgram().first());
  ASSERT_EQ(items.size(), 5);
  EXPECT_EQ(readInteger(items[2]), 3);
}

TEST(ProgramList, ClearEmptiesItAndAppendsNothing) {
  auto model = makeModel();
  model->PrevInit();
  model->PrevLine(0, 0, 1, 1);
  model->ResetListByManual();
  model->ClearProgramList();
  EXPECT_TRUE(model->ListbyProgram().isEmpty());
  EXPECT_EQ(model->ListByManual(), QStringList{"INITPARAM"}) << "the manual list is not touched";
  model->ClearProgramList();
  EXPECT_TRUE(model->ListbyProgram().isEmpty());
}

TEST(ManualList, ResetAppendsInitParamThere) {
  auto model = makeModel();
  model->ListByManual() << QStringLiteral("Line,0,0,1,1");
  model->ResetListByManual();
  EXPECT_EQ(model->ListByManual(), (QStringList{"Line,0,0,1,1", "INITPARAM"}));
  EXPECT_TRUE(model->ListbyProgram().isEmpty());
}

TEST(Lists, ByNumberInDrawingOrder) {
  auto model = makeModel();
  model->ResetListByManual();
  model->PrevFontSize(9);
  EXPECT_TRUE(model->list(PageModel::ListFile).isEmpty());
  EXPECT_EQ(model->list(PageModel::ListManual), QStringList{"INITPARAM"});
  EXPECT_EQ(model->list(PageModel::ListProgram), QStringList{"FontSize,9"});
  EXPECT_TRUE(model->list(3).isEmpty());
  EXPECT_TRUE(model->list(-1).isEmpty());
}

}  // namespace
}  // namespace zubira
