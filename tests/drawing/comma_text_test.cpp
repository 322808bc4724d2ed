#include "drawing/comma_text.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace zubira {
namespace {

struct SplitCase {
  const char16_t* line;
  QStringList items;
};

class SplitCommaText : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommaText, GivesTheItems) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(splitCommaText(QString::fromUtf16(c.line)), c.items)
      << QString::fromUtf16(c.line).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCommaText,
    ::testing::Values(
        SplitCase{u"", {}},
        SplitCase{u"   \t ", {}},
        SplitCase{u"INITPARAM", {"INITPARAM"}},
        // A quoted item keeps its comma and blank.
        SplitCase{u"TextOut,10,20,\"a, b\",NIL", {"TextOut", "10", "20", "a, b", "NIL"}},
        // Blanks separate items just as commas do.
        SplitCase{u"LINE 0 0 10 10", {"LINE", "0", "0", "10", "10"}},
        SplitCase{u"LINE\t0  0\t\t10 10  ", {"LINE", "0", "0", "10", "10"}},
        // Two commas in a row give an empty item between them.
        SplitCase{u"Line,1,,3,4", {"Line", "1", "", "3", "4"}},
        // A comma at the very end gives one empty item; one followed by blanks gives none.
        SplitCase{u"FontSize,12,", {"FontSize", "12", ""}},
        SplitCase{u"FontSize,12, ", {"FontSize", "12"}},
        SplitCase{u",", {"", ""}},
        SplitCase{u",,", {"", "", ""}},
        // Blanks around a comma belong to it.
        SplitCase{u"  a , b ,c", {"a", "b", "c"}},
        SplitCase{u"a , , b", {"a", "", "b"}},
        // The sign blank of the emitted numbers follows a comma and is dropped.
        SplitCase{u"TextOut, 1.25000000000000E+0001, 3.00000000000000E+0001,\"分数\",NIL",
                  {"TextOut", "1.25000000000000E+0001", "3.00000000000000E+0001", "分数", "NIL"}},
        // Doubled quotes inside a quoted item stand for one quote.
        SplitCase{u"T,\"say \"\"hi\"\"\"", {"T", "say \"hi\""}},
        SplitCase{u"T,\"\"", {"T", ""}},
        SplitCase{u"T,\"\"\"\"", {"T", "\""}},
        // A quoted item without its closing quote runs to the end of the line.
        SplitCase{u"T,\"open, text", {"T", "open, text"}},
        SplitCase{u"T,\"", {"T", ""}},
        SplitCase{u"T,\"ends in a doubled quote\"\"", {"T", "ends in a doubled quote\""}},
        // Text right after a closing quote starts a new item.
        SplitCase{u"\"a\"b", {"a", "b"}},
        SplitCase{u"\"a\",\"b\"", {"a", "b"}},
        // A quote inside an unquoted item is an ordinary character.
        SplitCase{u"ab\"c,d", {"ab\"c", "d"}},
        // Control characters are blanks; other characters, NUL among them, are not.
        SplitCase{u"a\x01" u"b\x1f" u"c", {"a", "b", "c"}},
        SplitCase{u"a\u3000b", {"a\u3000b"}},
        SplitCase{u"INCLUDE,a.txt,extra", {"INCLUDE", "a.txt", "extra"}},
        SplitCase{u"Picture,my picture.bmp,0,0,10,10",
                  {"Picture", "my", "picture.bmp", "0", "0", "10", "10"}}));

TEST(SplitCommaTextNul, NulIsAnOrdinaryCharacter) {
  const QString line = QStringLiteral("a") + QChar(0) + QStringLiteral("b c");
  EXPECT_EQ(splitCommaText(line), (QStringList{QStringLiteral("a") + QChar(0) + "b", "c"}));
}

TEST(QuoteText, RoundTripsThroughTheSplitter) {
  const QString texts[] = {
      "",           "plain",     "a, b",       "\"",          "\"\"",       "say \"hi\"",
      " leading",   "trailing ", "分数 1/2",   "\"quoted\"",  ",",          "a\"b\"c,d e",
      "tab\there",  "end\"",     "\"start",    "  ",          "x\"\",y",
  };
  for (const QString& t : texts) {
    const QString line = QStringLiteral("TextOut,1,2,") + quoteText(t) + QStringLiteral(",NIL");
    const QStringList items = splitCommaText(line);
    ASSERT_EQ(items.size(), 5) << line.toStdString();
    EXPECT_EQ(items[3], t) << line.toStdString();
    EXPECT_EQ(items[4], QStringLiteral("NIL"));
  }
  EXPECT_EQ(quoteText(QStringLiteral("a\"b")), QStringLiteral("\"a\"\"b\""));
  EXPECT_EQ(quoteText(QString()), QStringLiteral("\"\""));
}

TEST(Keywords, TrimmedAndUpperCase) {
  struct {
    QString in, out;
  } cases[] = {{"textout", "TEXTOUT"}, {" Red ", "RED"},       {"\tpsDot\r", "PSDOT"},
               {"BOLD-", "BOLD-"},     {"", ""},                {"  ", ""},
               {"ｒｅｄ", "ｒｅｄ"},   {"InitParam", "INITPARAM"}};
  for (const auto& c : cases) EXPECT_EQ(keywordOf(c.in), c.out) << c.in.toStdString();
  EXPECT_EQ(trimBlanks(QString(QChar(0)) + " a b " + QChar(0)), QStringLiteral("a b"));
}

TEST(BlankLines, OnlyBlanksAndControlCharacters) {
  EXPECT_TRUE(isBlankLine(QString()));
  EXPECT_TRUE(isBlankLine(QStringLiteral(" \t\r\n\x01")));
  EXPECT_TRUE(isBlankLine(QString(QChar(0))));
  EXPECT_FALSE(isBlankLine(QStringLiteral("  x ")));
  EXPECT_FALSE(isBlankLine(QStringLiteral("\u3000")));
}

// Random lines made of the characters that matter to the splitter: every run ends, and every
// item is a piece of the line (quotes undoubled).
TEST(SplitCommaTextRandom, NeverReadsPastTheEnd) {
  QRandomGenerator rng(20240601);
  const QString alphabet = QStringLiteral("\",  \t\x01ab分\"\"");
  for (int round = 0; round < 20000; ++round) {
    QString line;
    const int n = int(rng.bounded(24));
    for (int i = 0; i < n; ++i) line += alphabet[int(rng.bounded(alphabet.size()))];
    const QStringList items = splitCommaText(line);
    qsizetype chars = 0;
    for (const QString& item : items) {
      chars += item.size();
      for (QChar c : item) EXPECT_TRUE(line.contains(c));
    }
    EXPECT_LE(chars, line.size()) << line.toStdString();
    EXPECT_LE(items.size(), line.size() + 1);
  }
}

}  // namespace
}  // namespace zubira
