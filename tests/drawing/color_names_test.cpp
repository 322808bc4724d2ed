#include "drawing/color_names.h"

#include "drawing/comma_text.h"

#include <gtest/gtest.h>

namespace zubira {
namespace {

struct ColorRow {
  const char* word;
  int r, g, b;
};

// Every colour word with its red, green and blue parts.
constexpr ColorRow kRows[] = {
    {"MAROON", 128, 0, 0},     {"GREEN", 0, 128, 0},      {"OLIVE", 128, 128, 0},
    {"NAVY", 0, 0, 128},       {"PURPLE", 128, 0, 128},   {"TEAL", 0, 128, 128},
    {"GRAY", 128, 128, 128},   {"DKGRAY", 128, 128, 128}, {"SILVER", 192, 192, 192},
    {"LTGRAY", 192, 192, 192}, {"RED", 255, 0, 0},        {"LIME", 0, 255, 0},
    {"YELLOW", 255, 255, 0},   {"BLUE", 0, 0, 255},       {"FUCHSIA", 255, 0, 255},
    {"AQUA", 0, 255, 255},     {"WHITE", 255, 255, 255},  {"BLACK", 0, 0, 0},
};

TEST(NameToColor, EveryWordGivesItsColour) {
  for (const ColorRow& row : kRows)
    EXPECT_EQ(NameToColor(QString::fromLatin1(row.word)), makeTColor(row.r, row.g, row.b)) << row.word;
  EXPECT_EQ(NameToColor(QStringLiteral("RED")), 0x0000FF) << "red in the lowest byte";
  EXPECT_EQ(NameToColor(QStringLiteral("NAVY")), 0x800000);
}

TEST(NameToColor, OtherWordsAreBlack) {
  for (const char* w : {"ORANGE", "", "red", "RED ", "CLWHITE", "0x0000FF", "255"})
    EXPECT_EQ(NameToColor(QString::fromLatin1(w)), 0) << w;
}

TEST(NameToColor, CommandWordsAreComparedTrimmedAndUpperCase) {
  // The reader trims and upper-cases a colour item before asking for its colour.
  for (const char* w : {"red", " Red ", "RED", "\tReD"})
    EXPECT_EQ(NameToColor(keywordOf(QString::fromLatin1(w))), 0x0000FF) << w;
  EXPECT_EQ(NameToColor(keywordOf(QStringLiteral("Orange"))), 0);
}

TEST(ColorToName, TableValuesGiveTheirWords) {
  struct {
    TColor c;
    const char* word;
  } cases[] = {
      {0x000080, "MAROON"}, {0x008000, "GREEN"},  {0x008080, "OLIVE"},   {0x800000, "NAVY"},
      {0x800080, "PURPLE"}, {0x808000, "TEAL"},   {0x808080, "DKGRAY"},  {0xC0C0C0, "SILVER"},
      {0x0000FF, "RED"},    {0x00FF00, "LIME"},   {0x00FFFF, "YELLOW"},  {0xFF0000, "BLUE"},
      {0xFF00FF, "FUCHSIA"}, {0xFFFF00, "AQUA"},  {0xFFFFFF, "WHITE"},   {0x000000, "BLACK"},
      // Outside the table: black.
      {0x0080FF, "BLACK"},  {0x010101, "BLACK"},  {-1, "BLACK"},         {0x01FFFFFF, "BLACK"},
      {0x00FEFEFE, "BLACK"},
  };
  for (const auto& c : cases) EXPECT_EQ(ColorToName(c.c), QString::fromLatin1(c.word)) << c.c;
}

TEST(ColorToName, WordsReadBackToTheSameColour) {
  for (const ColorRow& row : kRows) {
    const TColor c = makeTColor(row.r, row.g, row.b);
    EXPECT_EQ(NameToColor(ColorToName(c)), c) << row.word;
  }
}

}  // namespace
}  // namespace zubira
