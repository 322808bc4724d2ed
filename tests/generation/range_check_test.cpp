#include "generation/range_check.h"

#include <gtest/gtest.h>

namespace zubira {
namespace {

struct EditCase {
  RangeEdit edit;
  QString text;
  bool fInt;
  // Other edits changed before the check: (edit, text).
  std::vector<std::pair<RangeEdit, QString>> others;
  bool accepted;
  QString shown;    // the accepted text
  QString message;  // the rejection message
};

TEST(CheckRangeEdit, MessagesInTheOrderOfTheSteps) {
  const QString blank = QStringLiteral("空白は指定できません"), number = QStringLiteral("数を入力して下さい"),
                i1000 = QStringLiteral("1000以下を指定して下さい"),
                four = QStringLiteral("４桁未満を指定して下さい"),
                zeroDen = QStringLiteral("分母に０は指定できません"),
                minMax = QStringLiteral("最小値は最大値以下でなければいけません"),
                bounds = QStringLiteral("設定値は４桁未満の正の数又は零でなければいけません"),
                noInt = QStringLiteral("整数を含まずに帯分数で分子が分母以上の設定はできません"),
                mixed = QStringLiteral("帯分数で分子が分母を越える設定はできません");
  const std::vector<std::pair<RangeEdit, QString>> mixed1 = {
      {EdtMin1i, "1"}, {EdtMax1i, "1"}, {EdtMax1m, "5"}, {EdtMax1c, "9"}};
  const std::vector<std::pair<RangeEdit, QString>> mixed2 = {
      {EdtMin2i, "1"}, {EdtMax2i, "1"}, {EdtMax2m, "5"}, {EdtMax2c, "9"}};
  const EditCase cases[] = {
      {EdtMin1i, "", true, {}, true, "0", ""},
      {EdtMax1i, " \t", true, {}, true, "0", ""},
      {EdtMin1c, "", true, {}, false, "", blank},
      {EdtMax1m, "  ", true, {}, false, "", blank},
      {EdtMax2i, "1001", true, {}, false, "", i1000},
      {EdtMax2i, "1000", true, {}, true, "1000", ""},
      {EdtMax1m, "10000", true, {}, false, "", four},
      {EdtMax1m, "9999", true, {}, true, "9999", ""},
      {EdtMin1m, "0", true, {}, false, "", zeroDen},
      {EdtMin1c, "0", true, {}, true, "0", ""},
      {EdtMin2c, "-3", true, {}, false, "", bounds},
      {EdtMin1i, "-1", true, {}, false, "", bounds},
      {EdtMin1i, "5", true, {}, false, "", minMax},
      {EdtMin1c, "5", true, {{EdtMax1c, "4"}}, false, "", minMax},
      {EdtMax1c, " 7 ", true, {}, true, "7", ""},
      {EdtMax1c, "abc", true, {}, false, "", number},
      {EdtMax1c, "1 2", true, {}, false, "", number},
      {EdtMax1c, "99999999999", true, {}, false, "", number},
      {EdtMax1c, "$A", true, {}, true, "$A", ""},
      {EdtMax1c, "0xa", true, {}, true, "0xa", ""},
      {EdtMax1c, "x1F", true, {}, true, "x1F", ""},
      {EdtMax1c, "+8", true, {}, true, "+8", ""},
      {EdtMax1c, "$", true, {}, false, "", number},
      {EdtMax1c, "5", true, {{EdtMin2c, "abc"}}, false, "", number},
      {EdtMin1c, "5", false, mixed1, false, "", noInt},
      {EdtMin1c, "4", false, mixed1, true, "4", ""},
      {EdtMin1c, "5", true, mixed1, true, "5", ""},
      {EdtMin1c, "6", true, mixed1, false, "", mixed},
      {EdtMin2c, "6", true, mixed2, false, "", mixed},
      {EdtMin2c, "5", false, mixed2, false, "", noInt},
  };
  for (const EditCase& c : cases) {
    RangeTexts texts = defaultRangeTexts();
    for (const auto& [edit, text] : c.others) texts[size_t(edit)] = text;
    texts[size_t(c.edit)] = c.text;
    const RangeCheckResult r = CheckRangeEdit(c.edit, texts, c.fInt);
    SCOPED_TRACE(std::string(rangeEditName(c.edit)) + " <- \"" + c.text.toStdString() + "\"");
    EXPECT_EQ(r.accepted, c.accepted);
    if (c.accepted) { EXPECT_EQ(r.text, c.shown); }
    else { EXPECT_EQ(r.message, c.message); }
  }
}

TEST(CheckRangeEdit, EditClassesNamesAndDefaults) {
  EXPECT_EQ(rangeEditClass(EdtMax2i), RangeEditClass::IntegerPart);
  EXPECT_EQ(rangeEditClass(EdtMin1c), RangeEditClass::Numerator);
  EXPECT_EQ(rangeEditClass(EdtMax2m), RangeEditClass::Denominator);
  EXPECT_STREQ(rangeEditName(EdtMin2c), "EdtMin2c");
  const RangeTexts d = defaultRangeTexts();
  const char* expected[] = {"0", "0", "1", "10", "1", "10", "0", "0", "1", "10", "1", "10"};
  for (int k = 0; k < RangeEditCount; ++k) EXPECT_EQ(d[size_t(k)], QLatin1String(expected[k]));
}

TEST(ParseIntText, SyntaxAndWidth) {
  EXPECT_EQ(parseInt32Text("2147483647"), 2147483647);
  EXPECT_EQ(parseInt32Text("-2147483648"), INT32_MIN);
  EXPECT_FALSE(parseInt32Text("2147483648"));
  EXPECT_FALSE(parseInt32Text("-2147483649"));
  EXPECT_EQ(parseInt64Text("-9223372036854775808"), INT64_MIN);
  EXPECT_FALSE(parseInt64Text("9223372036854775808"));
  EXPECT_EQ(parseInt32Text("-$ff"), -255);
  for (const char* bad : {"", "-", "+", "0x", "x", "1e3", "1.0", "--1", " 1", "１２"})
    EXPECT_FALSE(parseInt32Text(QString::fromUtf8(bad))) << bad;
}

TEST(CheckRangeInvariants, RefusesWhatWouldBreakTheGenerator) {
  GenerationSettings s;
  EXPECT_EQ(CheckRangeInvariants(s.MinV, s.MaxV), QString());
  RangeBounds lo = s.MinV, hi = s.MaxV;
  lo[1] = 11;
  EXPECT_FALSE(CheckRangeInvariants(lo, hi).isEmpty());
  lo = s.MinV;
  lo[5] = 0;
  EXPECT_FALSE(CheckRangeInvariants(lo, hi).isEmpty()) << "a zero denominator";
  lo = s.MinV;
  hi[2] = 10000;
  EXPECT_FALSE(CheckRangeInvariants(lo, hi).isEmpty());
}

}  // namespace
}  // namespace zubira
