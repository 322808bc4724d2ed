#pragma once
// The main window's part of the settings file: the page texts, the answer sheet type, the page
// margins and frame, the problem grid, the numbering and the problem font, read when the window
// is first shown and written when it is hidden. The generation options of the same sections go
// to and from the generator's settings record.

#include "drawing/canvas.h"
#include "drawing/page_str.h"
#include "generation/generation_settings.h"
#include "generation/grid_check.h"
#include "platform/tcolor.h"

#include <QString>
#include <QStringList>

namespace zubira {

class IniFile;

// `FntExam`: the face, size, colour and style of the problems on the sheet (24 points by default).
using ExamFont = CanvasFont;
inline ExamFont defaultExamFont() {
  ExamFont f;
  f.size = 24;
  return f;
}

// The largest page margin, in millimetres.
constexpr int MaxMargin = 60;
QString marginTooLargeMessage();  // "余白は60以下でなければいけません"

// The problem font sizes the window takes, in points: below 8 a sheet is not legible, and a sheet
// never sets its problems smaller than that to fit them.
constexpr int MinExamFontSize = 8;
constexpr int MaxExamFontSize = 72;
QString ExamFontSizeMessage();  // "問題の文字の大きさは8ポイントから72ポイントまでです"

struct MainSettings {
  QString sHeader;
  QString sFooter;
  QString sPageTitle = QStringLiteral("かずの計算");
  QString sSubTitle = QStringLiteral("たしざんのもんだい");
  QString sDateTime = QStringLiteral("　　月　　日　　　時　　分 ～　　　時　　分");
  QString sName = QStringLiteral("なまえ");
  int AnswerType = 1;
  double WindowTop = 10;
  double WindowLeft = 10;
  double WindowRight = 10;
  double WindowBottom = 10;
  bool WindowFrame = false;
  double ExamSeparate = 10;
  bool fExNum = true;
  QString ExNumLeft = QStringLiteral("(");
  QString ExNumRight = QStringLiteral(")");
  ExamFont FntExam = defaultExamFont();
};

// Reads every key of the sections "Page", "Answer", "Window", "Exam", "ExamFont" and "Lesson" in the order
// they are written, a missing key taking the value `main` and `gen` already hold. Values are not
// range-checked here. `FntExam` keeps `main.FntExam` as the default for its keys.
void ReadSettings(const IniFile& ini, MainSettings* main, GenerationSettings* gen);
// Writes the same keys in the same order.
void WriteSettings(IniFile& ini, const MainSettings& main, const GenerationSettings& gen);

// The layout values of settings read from a file checked as the window's fields and the style
// dialog check them: the grid (rows first, then columns, with the total), the problem font's
// size and the margins. A value refused falls back to its default; the messages of the refused
// values are returned, each once, in that order.
QStringList CheckLayoutSettings(MainSettings* main, GenerationSettings* gen);

// The places the main window gives, when it is first shown, to the page strings never set (mode 0
// at "0", "0"): the title at (10, 10) in 24 points, the subtitle at (10, 36) in 12, the date line
// at (80, 10) in 11, all at the free position. A null page string is skipped.
void GiveDefaultPlaces(TPageStr* PageTitle, TPageStr* SubTitle, TPageStr* DateTime);


}  // namespace zubira
