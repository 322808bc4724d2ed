#include "run_zubira.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace zubira {
namespace {

using testing::runZubira;

class DrawCommand : public ::testing::Test {
 protected:
  QString write(const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
  }
  static bool dark(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }
  QTemporaryDir dir;
};

TEST_F(DrawCommand, LinesAndSpacedTextLandOnTheirPixels) {
  const QString list = write("a.txt", "Line,10,10,30,10\r\nTextOut,10,20,\"III\",5\r\n");
  const QString png = dir.filePath("a.png");
  const auto r = runZubira({"draw", list, "--out", png});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  QImage img(png);
  ASSERT_EQ(img.size(), QSize(793, 1122));
  for (int x = 38; x <= 113; ++x) EXPECT_TRUE(dark(img, x, 38)) << x;
  EXPECT_FALSE(dark(img, 37, 38));
  EXPECT_FALSE(dark(img, 114, 38));
  for (int x = 30; x < 130; ++x) EXPECT_FALSE(dark(img, x, 37) || dark(img, x, 39)) << x;
  // The three characters start 19 pixels apart (5 mm at 96 dpi).
  std::vector<int> starts;
  bool inInk = false;
  for (int x = 0; x < 300; ++x) {
    bool ink = false;
    for (int y = 76; y < 100; ++y) ink = ink || dark(img, x, y);
    if (ink && !inInk) starts.push_back(x);
    inInk = ink;
  }
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_EQ(starts[1] - starts[0], 19);
  EXPECT_EQ(starts[2] - starts[1], 19);
}

TEST_F(DrawCommand, StoppedListsReportOnStderrAndTheRestIsDrawn) {
  write("inc.txt", "Line,50,50,60,50\r\n");
  const QString list = write("b.txt", "INCLUDE,inc.txt\r\nLine,1,2\r\nLine,0,0,100,100\r\n");
  const QString png = dir.filePath("b.png");
  QDir::setCurrent(dir.path());
  const auto r = runZubira({"draw", list, "--out", png});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, QStringLiteral("LINE, FORMAT ERROR\n"));
  QImage img(png);
  EXPECT_TRUE(dark(img, 200, 189)) << "the included line is drawn";
  EXPECT_FALSE(dark(img, 100, 100)) << "the line after the broken one is not";
}

// An INCLUDE of a folder drops its own line, says so once, and the rest of the list is drawn.
TEST_F(DrawCommand, IncludeOfAFolderDropsItsLineAndTheRestIsDrawn) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("pictures"));
  const QString folder = dir.filePath("pictures");
  write("inc.txt", "Line,50,50,60,50\r\n");
  const QString list = write("c.txt", "Line,0,0,100,100\r\nINCLUDE,\"" + folder.toUtf8() + "\"\r\nINCLUDE,\"" +
                                          dir.filePath("inc.txt").toUtf8() + "\"\r\n");
  const QString png = dir.filePath("c.png");
  const auto r = runZubira({"draw", list, "--out", png});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains(folder)) << "the message names the folder: " << r.err.toStdString();
  QImage img(png);
  ASSERT_FALSE(img.isNull());
  EXPECT_TRUE(dark(img, 100, 100)) << "the line before it";
  EXPECT_TRUE(dark(img, 220, 189)) << "the file included after it";
  EXPECT_FALSE(dark(img, 220, 150));
}

TEST_F(DrawCommand, Utf8AndShiftJisListsOfTheSameTextDrawTheSamePage) {
  // 分数～表ソ: in CP932, 表 and ソ end in 0x5C.
  const QByteArray sjis = "FontSize,40\r\nTextOut,10,10,\"\x95\xaa\x90\x94\x81\x60\x95\x5c\x83\x5c\",NIL\r\n";
  const QByteArray utf8 = "FontSize,40\r\nTextOut,10,10,\"" + QStringLiteral("分数～表ソ").toUtf8() + "\",NIL\r\n";
  QImage pages[2];
  for (int k = 0; k < 2; ++k) {
    const QString list = write(k == 0 ? "sjis.txt" : "utf8.txt", k == 0 ? sjis : utf8);
    const QString png = dir.filePath(k == 0 ? "sjis.png" : "utf8.png");
    const auto r = runZubira({"draw", list, "--out", png});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    pages[k] = QImage(png);
  }
  ASSERT_FALSE(pages[0].isNull());
  int ink = 0;
  for (int y = 30; y < 120; ++y)
    for (int x = 30; x < 400; ++x) ink += dark(pages[0], x, y);
  EXPECT_GT(ink, 500) << "the text is drawn";
  EXPECT_EQ(pages[0], pages[1]);
}

TEST_F(DrawCommand, PdfThroughThePrinterAndJpeg) {
  const QString list = write("c.txt", "FontSize,20\r\nTextOut,20,20,\"Zubira sheet\",NIL\r\n");
  const QString pdf = dir.filePath("c.pdf");
  auto r = runZubira({"draw", list, "--out", pdf, "--dpi", "300"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const auto info = [](const QStringList& args) {
    QProcess p;
    p.start(args[0], args.mid(1));
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
  };
  const QString pdfinfo = info({"pdfinfo", pdf});
  EXPECT_TRUE(pdfinfo.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 842"))) << pdfinfo.toStdString();
  EXPECT_TRUE(pdfinfo.contains(QRegularExpression("Pages:\\s+1\\b")));
  EXPECT_TRUE(info({"pdftotext", pdf, "-"}).contains("Zubira sheet"));
  EXPECT_FALSE(QFile::exists(pdf + ".part"));

  const QString jpg = dir.filePath("c.jpg");
  r = runZubira({"draw", list, "--out", jpg, "--quality", "50"});
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(QImage(jpg).size(), QSize(793, 1122));
}

TEST_F(DrawCommand, RefusedInputAndUnwritableOutput) {
  const QString list = write("d.txt", "Line,0,0,1,1\r\n");
  for (const QStringList& args : {QStringList{"draw"}, QStringList{"draw", dir.filePath("none.txt")},
                                  QStringList{"draw", list, "--out", dir.filePath("x.gif")},
                                  QStringList{"draw", list, "--unit", "feet"},
                                  QStringList{"draw", list, "--dpi", "0"}}) {
    const auto r = runZubira(args);
    EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
  }
  const auto r = runZubira({"draw", list, "--out", dir.filePath("no/such/dir/d.png")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_FALSE(r.err.isEmpty());
  const auto pdf = runZubira({"draw", list, "--out", dir.filePath("no/such/dir/d.pdf")});
  EXPECT_EQ(pdf.exitCode, 1);
}

}  // namespace
}  // namespace zubira
