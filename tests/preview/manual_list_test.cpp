#include "preview/manual_list.h"

#include "drawing/recording_canvas.h"
#include "tests/support/scripted_dialogs.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::DialogKind;
using testing::ScriptedDialogs;

CanvasFont font(const QString& name, int size, TColor color = 0, bool bold = false,
                bool italic = false, bool underline = false, bool strikeout = false) {
  CanvasFont f;
  f.name = name;
  f.size = size;
  f.color = color;
  f.bold = bold;
  f.italic = italic;
  f.underline = underline;
  f.strikeout = strikeout;
  return f;
}

const TColor kRed = makeTColor(255, 0, 0);
const TColor kOdd = makeTColor(12, 34, 56);

// ---- "文字(&M)" -------------------------------------------------------------------------------

TEST(FontCommandLines, OneLinePerDifferenceInNameSizeColourStyleOrder) {
  const CanvasFont start = font(QStringLiteral("ＭＳ Ｐゴシック"), 9);
  const struct {
    const char* what;
    CanvasFont chosen;
    QStringList lines;
  } cases[] = {
      {"same", start, {}},
      {"name", font(QStringLiteral("ＭＳ 明朝"), 9), {QStringLiteral("FontName,\"ＭＳ 明朝\"")}},
      {"name case", font(QStringLiteral("ｍｓ Ｐゴシック"), 9),
       {QStringLiteral("FontName,\"ｍｓ Ｐゴシック\"")}},
      {"quote", font(QStringLiteral("A\"B"), 9), {QStringLiteral("FontName,\"A\"\"B\"")}},
      {"size", font(QStringLiteral("ＭＳ Ｐゴシック"), 14), {QStringLiteral("FontSize,14")}},
      {"colour", font(QStringLiteral("ＭＳ Ｐゴシック"), 9, kRed), {QStringLiteral("FontColor,RED")}},
      {"colour without a word", font(QStringLiteral("ＭＳ Ｐゴシック"), 9, kOdd),
       {QStringLiteral("FontColor,BLACK")}},
      {"bold", font(QStringLiteral("ＭＳ Ｐゴシック"), 9, 0, true), {QStringLiteral("FontStyle,BOLD")}},
      {"all styles", font(QStringLiteral("ＭＳ Ｐゴシック"), 9, 0, true, true, true, true),
       {QStringLiteral("FontStyle,BOLD"), QStringLiteral("FontStyle,ITALIC"),
        QStringLiteral("FontStyle,UNDERLINE"), QStringLiteral("FontStyle,STRIKEOUT")}},
      {"everything", font(QStringLiteral("IPAMincho"), 20, makeTColor(0, 0, 255), false, true),
       {QStringLiteral("FontName,\"IPAMincho\""), QStringLiteral("FontSize,20"),
        QStringLiteral("FontColor,BLUE"), QStringLiteral("FontStyle,ITALIC")}},
  };
  for (const auto& c : cases) {
    CanvasFont remembered = start;
    EXPECT_EQ(fontCommandLines(remembered, c.chosen), c.lines) << c.what;
    // Name and size are remembered; colour and style are not.
    EXPECT_EQ(remembered.name, c.chosen.name) << c.what;
    EXPECT_EQ(remembered.size, c.chosen.size) << c.what;
    EXPECT_EQ(remembered.color, start.color) << c.what;
    EXPECT_FALSE(remembered.bold || remembered.italic || remembered.underline ||
                 remembered.strikeout)
        << c.what;
  }
}

TEST(FontCommandLines, StylesTakenAwayAndMixed) {
  CanvasFont remembered = font(QStringLiteral("F"), 9, 0, true, false, true, false);
  EXPECT_EQ(fontCommandLines(remembered, font(QStringLiteral("F"), 9, 0, false, true, true, true)),
            (QStringList{QStringLiteral("FontStyle,BOLD-"), QStringLiteral("FontStyle,ITALIC"),
                         QStringLiteral("FontStyle,STRIKEOUT")}));
  EXPECT_TRUE(remembered.bold);
  EXPECT_TRUE(remembered.underline);
  EXPECT_FALSE(remembered.italic);
  EXPECT_EQ(fontCommandLines(remembered, font(QStringLiteral("F"), 9)),
            (QStringList{QStringLiteral("FontStyle,BOLD-"), QStringLiteral("FontStyle,UNDERLINE-")}));
}

TEST(FontCommandLines, TheSameFontTwice) {
  // Only name and size changed: the second time appends nothing.
  CanvasFont remembered = font(QStringLiteral("ＭＳ Ｐゴシック"), 9);
  const CanvasFont chosen = font(QStringLiteral("IPAGothic"), 11);
  EXPECT_EQ(fontCommandLines(remembered, chosen).size(), 2);
  EXPECT_TRUE(fontCommandLines(remembered, chosen).isEmpty());

  // A colour other than the remembered one comes again, and so does a style.
  const CanvasFont red = font(QStringLiteral("IPAGothic"), 11, kRed, true);
  const QStringList again = {QStringLiteral("FontColor,RED"), QStringLiteral("FontStyle,BOLD")};
  EXPECT_EQ(fontCommandLines(remembered, red), again);
  EXPECT_EQ(fontCommandLines(remembered, red), again);
}

TEST(CanvasFontChoice, RoundTripsFaceSizeStyleAndColour) {
  const CanvasFont fonts[] = {
      font(QStringLiteral("ＭＳ Ｐゴシック"), 9),
      font(QStringLiteral("ＭＳ 明朝"), 12, kRed, true, false, true, false),
      font(QStringLiteral("IPAGothic"), 30, kOdd, false, true, false, true),
  };
  for (const CanvasFont& f : fonts) {
    const FontChoice c = canvasFontChoice(f);
    EXPECT_EQ(c.font.pointSize(), f.size);
    EXPECT_EQ(canvasFontFromChoice(c, f), f) << f.name.toStdString();
  }
  // A font given in pixels has no point size: the size before stays.
  QFont pixels(QStringLiteral("IPAGothic"));
  pixels.setPixelSize(20);
  EXPECT_EQ(canvasFontFromChoice(FontChoice{pixels, Qt::black}, font(QStringLiteral("x"), 17)).size,
            17);
}

// ---- "ペン色(&C)", "ペン幅(&W)", "初期値(&D)" ------------------------------------------------------

TEST(PenColorLine, ColourWordOrBlack) {
  EXPECT_EQ(penColorLine(kRed), QStringLiteral("PenColor,RED"));
  EXPECT_EQ(penColorLine(makeTColor(0x80, 0x80, 0x80)), QStringLiteral("PenColor,DKGRAY"));
  EXPECT_EQ(penColorLine(makeTColor(255, 255, 255)), QStringLiteral("PenColor,WHITE"));
  EXPECT_EQ(penColorLine(kOdd), QStringLiteral("PenColor,BLACK"));
}

TEST(PenWidthLine, WholePositiveIntegersOnly) {
  const struct {
    const char* text;
    const char* line;  // nullptr: nothing appended
  } cases[] = {
      {"3", "PenWidth,3"},     {"+3", "PenWidth,3"},   {"  3", "PenWidth,3"},
      {"$10", "PenWidth,16"},  {"0x1F", "PenWidth,31"}, {"X0a", "PenWidth,10"},
      {"2147483647", "PenWidth,2147483647"},
      {"0", nullptr},          {"-2", nullptr},        {"2.5", nullptr},
      {"abc", nullptr},        {"", nullptr},          {"3 ", nullptr},
      {"3px", nullptr},        {"2147483648", nullptr}, {"-$5", nullptr},
  };
  for (const auto& c : cases) {
    const std::optional<QString> line = penWidthLine(QString::fromUtf8(c.text));
    if (c.line) {
      ASSERT_TRUE(line) << c.text;
      EXPECT_EQ(*line, QString::fromUtf8(c.line)) << c.text;
    } else {
      EXPECT_FALSE(line) << c.text << " gave " << line->toStdString();
    }
  }
}

TEST(InitialDrawingState, InitParamAndTheStateItSets) {
  EXPECT_EQ(initParamLine(), QStringLiteral("INITPARAM"));
  RecordingCanvas canvas(96, 96);
  canvas.font = font(QStringLiteral("IPAMincho"), 30, kRed, true, true, true, true);
  canvas.pen.width = 7;
  canvas.pen.color = kRed;
  canvas.pen.style = PenStyle::Dot;
  canvas.setBrushColor(kRed);
  setInitialDrawingState(canvas);
  EXPECT_EQ(canvas.font, font(QStringLiteral("ＭＳ Ｐゴシック"), 9));
  EXPECT_EQ(canvas.pen.width, 1);
  EXPECT_EQ(canvas.pen.color, 0);
  EXPECT_EQ(canvas.pen.style, PenStyle::Solid);
  EXPECT_EQ(canvas.brush.color, 0xFFFFFF);
  EXPECT_FALSE(canvas.brush.solid);
}

// ---- Text typed onto the page -----------------------------------------------------------------

TEST(TextInputLine, TheWorkedExampleInMillimetres) {
  EXPECT_EQ(textInputLine(200, 96, QStringLiteral("答え"), 2, 600, 600, 96),
            std::optional<QString>(QStringLiteral("TextOut,53,25,\"答え\",Nil")));
}

TEST(TextInputLine, EachUnitRoundsHalvesAwayFromZero) {
  const struct {
    int left, top, unit, resX, resY, monitor;
    int x, y;
  } cases[] = {
      {200, 96, 2, 600, 600, 96, 53, 25},   // 52.92, 25.4
      {0, 0, 2, 600, 600, 96, 0, 0},
      {200, 96, 1, 600, 600, 96, 2, 1},     // 2.08, 1
      {143, 48, 1, 600, 600, 96, 1, 1},     // 1.49, 0.5
      {47, 144, 1, 600, 600, 96, 0, 2},     // 0.49, 1.5
      {200, 96, 0, 600, 600, 96, 1250, 600},
      {3, 1, 0, 300, 300, 200, 5, 2},       // 4.5, 1.5
      {5, 7, 0, 300, 600, 200, 8, 21},      // 7.5, 21: x and y have their own resolutions
      {120, 120, 0, 360, 720, 120, 360, 720},
      {200, 96, 9, 600, 600, 96, 1250, 600},  // an unknown unit counts in printer pixels
  };
  for (const auto& c : cases) {
    const auto at = textInputPosition(c.left, c.top, c.unit, c.resX, c.resY, c.monitor);
    ASSERT_TRUE(at) << c.left << "," << c.top << " unit " << c.unit;
    EXPECT_EQ(at->x, c.x) << c.left << "," << c.top << " unit " << c.unit;
    EXPECT_EQ(at->y, c.y) << c.left << "," << c.top << " unit " << c.unit;
    EXPECT_EQ(textInputLine(c.left, c.top, QStringLiteral("a"), c.unit, c.resX, c.resY, c.monitor),
              QStringLiteral("TextOut,%1,%2,\"a\",Nil").arg(c.x).arg(c.y));
  }
}

TEST(TextInputLine, TextsAreQuoted) {
  EXPECT_EQ(textInputLine(0, 0, QString(), 2, 600, 600, 96),
            std::optional<QString>(QStringLiteral("TextOut,0,0,\"\",Nil")));
  EXPECT_EQ(textInputLine(0, 0, QStringLiteral("say \"hi\", 1 2"), 2, 600, 600, 96),
            std::optional<QString>(QStringLiteral("TextOut,0,0,\"say \"\"hi\"\", 1 2\",Nil")));
}

TEST(TextInputLine, NothingWithoutTheResolutions) {
  EXPECT_FALSE(textInputLine(10, 10, QStringLiteral("a"), 2, 600, 600, 0));
  EXPECT_FALSE(textInputLine(10, 10, QStringLiteral("a"), 1, 600, 600, -96));
  EXPECT_FALSE(textInputLine(10, 10, QStringLiteral("a"), 0, 0, 600, 96));
  EXPECT_FALSE(textInputLine(10, 10, QStringLiteral("a"), 0, 600, 0, 96));
  EXPECT_TRUE(textInputLine(10, 10, QStringLiteral("a"), 2, 0, 0, 96));  // mm needs no printer
}

TEST(TextInputBoxHeight, EightMoreThanTheCharacterHeight) {
  EXPECT_EQ(textInputBoxHeight(-12), 20);
  EXPECT_EQ(textInputBoxHeight(-16), 24);
  RecordingCanvas canvas(96, 96);
  canvas.font.size = 9;  // 12 pixels at 96 dpi
  EXPECT_EQ(textInputBoxHeight(canvas.fontHeight()), 20);
}

// ---- "入力リスト保存(&L)" ----------------------------------------------------------------------

QByteArray readBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
  return f.readAll();
}

// The file decoded by iconv, an independent reader of CP932.
QString iconvCp932(const QString& path) {
  QProcess iconv;
  iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("CP932"),
                                        QStringLiteral("-t"), QStringLiteral("UTF-8"), path});
  if (!iconv.waitForFinished(-1) || iconv.exitStatus() != QProcess::NormalExit ||
      iconv.exitCode() != 0)
    return QStringLiteral("<iconv failed: %1>").arg(QString::fromLocal8Bit(iconv.readAllStandardError()));
  return QString::fromUtf8(iconv.readAllStandardOutput());
}

TEST(WriteManualList, Cp932LinesWithCrLfAndNoByteOrderMark) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("manual.prv"));
  const QStringList lines = {
      QStringLiteral("INITPARAM"),
      QStringLiteral("FontName,\"ＭＳ 明朝\""),
      QStringLiteral("TextOut,53,25,\"答え\",Nil"),
      QStringLiteral("TextOut,1,2,\"～〜\\\",Nil"),
      QString(),
      QStringLiteral("PenWidth,3"),
  };
  const SaveListResult r = writeManualList(path, lines);
  EXPECT_EQ(r.outcome, SaveListOutcome::Saved) << r.error.toStdString();
  EXPECT_EQ(r.path, path);

  const QByteArray bytes = readBytes(path);
  EXPECT_TRUE(bytes.startsWith("INITPARAM\r\n"));
  EXPECT_TRUE(bytes.endsWith("PenWidth,3\r\n"));
  EXPECT_EQ(bytes.count("\r\n"), lines.size());
  EXPECT_EQ(bytes.count('\n'), lines.size());
  // 答え in CP932, and both wave dashes as 0x8160.
  EXPECT_TRUE(bytes.contains(QByteArray("\x93\x9a\x82\xa6")));
  EXPECT_TRUE(bytes.contains(QByteArray("\"\x81\x60\x81\x60\\\"")));

  QString expected = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
  expected.replace(QChar(0x301C), QChar(0xFF5E));  // CP932 reads 0x8160 back as U+FF5E
  EXPECT_EQ(iconvCp932(path), expected);
}

TEST(WriteManualList, AnEmptyListMakesAnEmptyFileAndReplacesALongerOne) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("m.prv"));
  ASSERT_EQ(writeManualList(path, {QStringLiteral("a long first line"), QStringLiteral("b")}).outcome,
            SaveListOutcome::Saved);
  ASSERT_EQ(writeManualList(path, {QStringLiteral("c")}).outcome, SaveListOutcome::Saved);
  EXPECT_EQ(readBytes(path), QByteArray("c\r\n"));
  ASSERT_EQ(writeManualList(path, {}).outcome, SaveListOutcome::Saved);
  EXPECT_EQ(readBytes(path), QByteArray());
}

TEST(WriteManualList, ACharacterCp932CannotHoldFailsAndLeavesTheFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("m.prv"));
  ASSERT_EQ(writeManualList(path, {QStringLiteral("old")}).outcome, SaveListOutcome::Saved);
  const SaveListResult r =
      writeManualList(path, {QStringLiteral("ok"), QStringLiteral("TextOut,0,0,\"한\",Nil")});
  EXPECT_EQ(r.outcome, SaveListOutcome::Failed);
  EXPECT_FALSE(r.error.isEmpty());
  EXPECT_EQ(readBytes(path), QByteArray("old\r\n"));
}

TEST(WriteManualList, AnUnwritablePlaceFails) {
  QTemporaryDir dir;
  const SaveListResult r =
      writeManualList(dir.filePath(QStringLiteral("no/such/folder/m.prv")), {QStringLiteral("a")});
  EXPECT_EQ(r.outcome, SaveListOutcome::Failed);
  EXPECT_FALSE(r.error.isEmpty());
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("no"))));
}

TEST(SaveList, AsksWithoutFilterOrExtensionAndWrites) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("list.txt"));
  ScriptedDialogs dialogs;
  dialogs.answerSaveFile(path);
  const SaveListResult r = SaveList(nullptr, {QStringLiteral("Line,0,0,1,1")});
  EXPECT_EQ(r.outcome, SaveListOutcome::Saved);
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].kind, DialogKind::SaveFile);
  EXPECT_EQ(dialogs.shown()[0].detail, QStringLiteral(" | "));  // no filter, no default suffix
  EXPECT_EQ(readBytes(path), QByteArray("Line,0,0,1,1\r\n"));
  EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST(SaveList, CancelWritesNothing) {
  ScriptedDialogs dialogs;
  dialogs.answerSaveFile(std::nullopt);
  EXPECT_EQ(SaveList(nullptr, {QStringLiteral("a")}).outcome, SaveListOutcome::Cancelled);
  EXPECT_EQ(dialogs.shown().size(), 1u);
}

TEST(SaveList, AFailureIsShown) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("m.prv"));
  ScriptedDialogs dialogs;
  dialogs.answerSaveFile(path);
  const SaveListResult r = SaveList(nullptr, {QStringLiteral("\"한\"")});
  ASSERT_EQ(r.outcome, SaveListOutcome::Failed);
  ASSERT_EQ(dialogs.messages().size(), 1);
  EXPECT_EQ(dialogs.messages()[0], saveListFailedMessage(r));
  EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("入力リストを保存できませんでした")));
  EXPECT_TRUE(dialogs.messages()[0].contains(r.error));
  EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
}  // namespace zubira
