#include "preview/page_export.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira {
namespace {

TEST(PageExport, UpperExtensionFromTheLastDotOfTheLastComponent) {
  const struct {
    const char* name;
    const char* ext;
  } cases[] = {
      {"page.jpg", ".JPG"},         {"page.Jpeg", ".JPEG"},     {"a/b.c/page", ""},
      {"a/b.c/page.bmp", ".BMP"},   {"page.", "."},             {"page", ""},
      {"archive.tar.gz", ".GZ"},    {"C:\\x.y\\page", ""},      {"C:\\x\\p.Png", ".PNG"},
      {".hidden", ".HIDDEN"},       {"", ""},                   {"ページ.jpg", ".JPG"},
      {"page.jpǵ", ".JPǵ"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(upperExtension(QString::fromUtf8(c.name)), QString::fromUtf8(c.ext)) << c.name;
}

TEST(PageExport, JpegForJpgAndJpegPngForPngBmpForTheRest) {
  const struct {
    const char* name;
    PageImageKind kind;
  } cases[] = {
      {"a.jpeg", PageImageKind::Jpeg}, {"a.JPG", PageImageKind::Jpeg},
      {"a.Jpg", PageImageKind::Jpeg},  {"a.jPeG", PageImageKind::Jpeg},
      {"a.bmp", PageImageKind::Bmp},   {"a.png", PageImageKind::Png},
      {"a.PNG", PageImageKind::Png},   {"a.png.bmp", PageImageKind::Bmp},
      {"a.pn", PageImageKind::Bmp},    {"png", PageImageKind::Bmp},
      {"a.", PageImageKind::Bmp},      {"a", PageImageKind::Bmp},
      {"a.jpg.bmp", PageImageKind::Bmp}, {"a.bmp.jpg", PageImageKind::Jpeg},
      {"dir.jpg/a", PageImageKind::Bmp}, {"a.jpe", PageImageKind::Bmp},
  };
  for (const auto& c : cases) EXPECT_EQ(pageImageKindOf(QLatin1String(c.name)), c.kind) << c.name;
}

TEST(PageExport, FilterInQtForm) {
  EXPECT_EQ(qtFileFilter(pageImageFilter()),
            QStringLiteral("BMP 画像 (*.bmp);;JPEG 画像 (*.jpg *.jpeg);;PNG 画像 (*.png)"));
  EXPECT_EQ(qtFileFilter(QStringLiteral("Text|*.txt")), QStringLiteral("Text (*.txt)"));
  EXPECT_EQ(qtFileFilter(QStringLiteral("All")), QStringLiteral("All (*)"));
  EXPECT_EQ(qtFileFilter(QString()), QString());
  EXPECT_EQ(pageImageDefaultSuffix(), QStringLiteral("JPG"));
}

TEST(PageExport, QualityTexts) {
  const QString notInteger = QStringLiteral("入力した文字列が整数ではありません");
  const QString range = QStringLiteral("範囲を越えています.\r\n1から100までの整数を入力して下さい");
  const struct {
    const char* text;
    int quality;  // 0: refused
    bool rangeMessage;
  } cases[] = {
      {"1", 1, false},     {"100", 100, false},  {"90", 90, false},   {"  7", 7, false},
      {"+55", 55, false},  {"$64", 100, false},  {"0x0A", 10, false}, {"x1F", 31, false},
      {"0", 0, true},      {"101", 0, true},     {"-5", 0, true},     {"$FFFF", 0, true},
      {"12 ", 0, false},   {"abc", 0, false},    {"", 0, false},      {"1.5", 0, false},
      {"9999999999", 0, false}, {"１２", 0, false},
  };
  for (const auto& c : cases) {
    const QualityInput q = readJpegQuality(QString::fromUtf8(c.text));
    if (c.quality > 0) {
      EXPECT_EQ(q.quality, c.quality) << c.text;
      EXPECT_TRUE(q.message.isEmpty()) << c.text;
    } else {
      EXPECT_FALSE(q.quality.has_value()) << c.text;
      EXPECT_EQ(q.message, c.rangeMessage ? range : notInteger) << c.text;
    }
  }
  EXPECT_EQ(jpegQualityCaption(), QStringLiteral("JPEG画像の質"));
  EXPECT_EQ(jpegQualityPrompt(), QStringLiteral("1\uFF5E100の整数を入力して下さい"));
}

QImage testImage() {
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(Qt::white);
  // A band wide enough to keep its colour through the JPEG's halved chroma resolution.
  for (int y = 6; y < 14; ++y)
    for (int x = 0; x < 40; ++x) image.setPixel(x, y, qRgb(255, 0, 0));
  for (int y = 0; y < 30; ++y) image.setPixel(5, y, qRgb(0, 0, 255));
  return image;
}

TEST(PageExport, BmpRoundTripIsExact) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("page.tif"));  // BMP content for any other name
  const QImage image = testImage();
  ASSERT_TRUE(writePageImage(image, path, 90).ok);
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  EXPECT_TRUE(bytes.startsWith("BM"));
  QImage back;
  ASSERT_TRUE(back.loadFromData(bytes, "BMP"));
  ASSERT_EQ(back.size(), image.size());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      ASSERT_EQ(back.pixel(x, y) & 0xFFFFFF, image.pixel(x, y) & 0xFFFFFF) << x << "," << y;
}

TEST(PageExport, PngRoundTripIsExact) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("page.Png"));
  const QImage image = testImage();
  ASSERT_TRUE(writePageImage(image, path, 90).ok);
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  EXPECT_TRUE(bytes.startsWith("\x89PNG\r\n\x1a\n"));
  QImage back;
  ASSERT_TRUE(back.loadFromData(bytes, "PNG"));
  EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
}

TEST(PageExport, JpegDecodesToTheImage) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("page.Jpeg"));
  ASSERT_TRUE(writePageImage(testImage(), path, 95).ok);
  QImage back;
  ASSERT_TRUE(back.load(path, "JPEG"));
  EXPECT_EQ(back.size(), QSize(40, 30));
  const QColor red = back.pixelColor(30, 10), white = back.pixelColor(30, 25);
  EXPECT_GT(red.red(), 180);
  EXPECT_LT(red.green(), 90);
  EXPECT_GT(white.lightness(), 230);
}

TEST(PageExport, FailedWritesLeaveNothingBehind) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.bmp")));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.jpg")));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.png")));
  const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  for (const char* name : {"missing/page.bmp", "missing/page.jpg", "missing/page.png", "taken.bmp", "taken.jpg",
                           "taken.png"}) {
    const QString path = dir.filePath(QLatin1String(name));
    const ExportResult r = writePageImage(testImage(), path, 90);
    EXPECT_FALSE(r.ok) << name;
    EXPECT_TRUE(exportFailedMessage(path, r).startsWith(QStringLiteral("ファイルに保存できませんでした。\r\n")))
        << name;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before)
        << name;
  }
  EXPECT_FALSE(writePageImage(QImage(), dir.filePath(QStringLiteral("null.bmp")), 90).ok);
  EXPECT_FALSE(writePageImage(QImage(), dir.filePath(QStringLiteral("null.jpg")), 90).ok);
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("null.bmp"))));
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("null.jpg"))));
}

TEST(PageExport, FailedWriteKeepsTheOldFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("old.bmp"));
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("previous");
  }
  // A null image cannot be written; the file that was there stays whole.
  EXPECT_FALSE(writePageImage(QImage(), path, 90).ok);
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("previous"));
}

}  // namespace
}  // namespace zubira
