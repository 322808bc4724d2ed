#include "platform/jpeg_codec.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira {
namespace {

QImage testPicture(int w = 120, int h = 80) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.fillRect(0, 0, w / 2, h / 2, QColor(200, 30, 30));
  p.fillRect(w / 2, h / 2, w / 2, h / 2, QColor(20, 40, 220));
  p.setPen(Qt::black);
  p.drawLine(0, h - 1, w - 1, 0);
  return img;
}

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool runTool(const QString& program, const QStringList& args, QByteArray* out = nullptr) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForStarted() || !p.waitForFinished(30000)) return false;
  if (out) *out = p.readAllStandardOutput();
  return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The first quantization table of a baseline JPEG, in zig-zag order.
std::vector<int> firstQuantTable(const QByteArray& jpeg) {
  for (qsizetype i = 2; i + 4 < jpeg.size();) {
    if (uchar(jpeg[i]) != 0xFF) return {};
    uchar marker = uchar(jpeg[i + 1]);
    int len = (uchar(jpeg[i + 2]) << 8) | uchar(jpeg[i + 3]);
    if (marker == 0xDB && i + 5 + 64 <= jpeg.size()) {
      std::vector<int> t;
      for (int k = 0; k < 64; ++k) t.push_back(uchar(jpeg[i + 5 + k]));
      return t;
    }
    i += 2 + len;
  }
  return {};
}

// The qualities whose standard luminance table, scaled as IJG libjpeg scales it, is `table`.
std::vector<int> qualitiesMatching(const std::vector<int>& table) {
  static const int kStdLuminanceZigzag[64] = {
      16, 11, 12, 14, 12, 10, 16, 14, 13, 14, 18, 17, 16, 19, 24, 40, 26, 24, 22, 22, 24, 49,
      35, 37, 29, 40, 58, 51, 61, 60, 57, 51, 56, 55, 64, 72, 92, 78, 64, 68, 87, 69, 55, 56,
      80, 109, 81, 87, 95, 98, 103, 104, 103, 62, 77, 113, 121, 112, 100, 120, 92, 101, 103, 99};
  std::vector<int> out;
  for (int q = 1; q <= 100; ++q) {
    int scale = q < 50 ? 5000 / q : 200 - 2 * q;
    bool same = table.size() == 64;
    for (int k = 0; same && k < 64; ++k)
      same = table[size_t(k)] == std::clamp((kStdLuminanceZigzag[k] * scale + 50) / 100, 1, 255);
    if (same) out.push_back(q);
  }
  return out;
}

class JpegCodecTest : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
};

TEST_F(JpegCodecTest, WrittenFilesDecodeWithDjpegAndCarryTheQuality) {
  for (int quality : {5, 25, 50, 75, 90, 100}) {
    const QString path = dir_.filePath(QStringLiteral("q%1.jpg").arg(quality));
    JpegResult r = writeJpegFile(testPicture(), path, quality);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    QByteArray ppm;
    ASSERT_TRUE(runTool(QStringLiteral("djpeg"), {QStringLiteral("-pnm"), path}, &ppm)) << quality;
    EXPECT_TRUE(ppm.startsWith("P6\n120 80\n255\n")) << ppm.left(20).toStdString();
    std::vector<int> qs = qualitiesMatching(firstQuantTable(readAll(path)));
    EXPECT_NE(std::find(qs.begin(), qs.end(), quality), qs.end()) << "quality " << quality;
  }
}

TEST_F(JpegCodecTest, QualityIsClampedToOneToHundred) {
  QByteArray low, lowest, high, highest;
  ASSERT_TRUE(encodeJpeg(testPicture(), -5, &low).ok);
  ASSERT_TRUE(encodeJpeg(testPicture(), 1, &lowest).ok);
  ASSERT_TRUE(encodeJpeg(testPicture(), 500, &high).ok);
  ASSERT_TRUE(encodeJpeg(testPicture(), 100, &highest).ok);
  EXPECT_EQ(low, lowest);
  EXPECT_EQ(high, highest);
  EXPECT_LT(lowest.size(), highest.size());
}

TEST_F(JpegCodecTest, DecodesFilesWrittenByCjpeg) {
  const QString ppm = dir_.filePath("in.ppm"), colour = dir_.filePath("c.jpg"),
                gray = dir_.filePath("g.jpg");
  ASSERT_TRUE(testPicture().save(ppm, "PPM"));
  ASSERT_TRUE(runTool(QStringLiteral("cjpeg"),
                      {QStringLiteral("-quality"), QStringLiteral("95"), QStringLiteral("-outfile"),
                       colour, ppm}));
  ASSERT_TRUE(runTool(QStringLiteral("cjpeg"), {QStringLiteral("-grayscale"),
                                                QStringLiteral("-outfile"), gray, ppm}));
  QImage img;
  JpegResult r = readJpegFile(colour, &img);
  ASSERT_TRUE(r.ok) << r.error.toStdString();
  ASSERT_EQ(img.size(), QSize(120, 80));
  QColor red = img.pixelColor(10, 10), blue = img.pixelColor(100, 70);
  EXPECT_NEAR(red.red(), 200, 12);
  EXPECT_NEAR(red.blue(), 30, 12);
  EXPECT_NEAR(blue.blue(), 220, 12);
  EXPECT_NEAR(img.pixelColor(100, 10).green(), 255, 12);

  ASSERT_TRUE(readJpegFile(gray, &img).ok);
  EXPECT_EQ(img.format(), QImage::Format_Grayscale8);
  EXPECT_EQ(img.size(), QSize(120, 80));
}

TEST_F(JpegCodecTest, BrokenDataGivesAnErrorAndTheProgramGoesOn) {
  QByteArray good;
  ASSERT_TRUE(encodeJpeg(testPicture(400, 300), 90, &good).ok);
  struct Case {
    const char* name;
    QByteArray data;
  } cases[] = {
      {"empty", QByteArray()},
      {"truncated to half", good.left(good.size() / 2)},
      {"header only", good.left(200)},
      {"not a jpeg", QByteArray("BM this is no picture at all")},
      {"garbage after the marker", QByteArray("\xFF\xD8\xFF\xFF\xFF\x00\x01\x02", 8)},
  };
  for (const Case& c : cases) {
    QImage img(5, 5, QImage::Format_RGB32);
    JpegResult r = decodeJpeg(c.data, &img);
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_FALSE(r.error.isEmpty()) << c.name;
    EXPECT_TRUE(img.isNull()) << c.name;
  }
  QImage img;
  EXPECT_TRUE(decodeJpeg(good, &img).ok) << "the decoder still works afterwards";
}

TEST_F(JpegCodecTest, HugeDimensionsAreRefusedBeforeAllocating) {
  QByteArray data;
  ASSERT_TRUE(encodeJpeg(testPicture(16, 16), 90, &data).ok);
  qsizetype sof = data.indexOf("\xFF\xC0");
  ASSERT_GT(sof, 0);
  // SOF0: length(2) precision(1) height(2) width(2); claim 60000 x 60000.
  data[sof + 5] = char(0xEA);
  data[sof + 6] = char(0x60);
  data[sof + 7] = char(0xEA);
  data[sof + 8] = char(0x60);
  QImage img;
  JpegResult r = decodeJpeg(data, &img);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.error.contains(QStringLiteral("too large"))) << r.error.toStdString();
  EXPECT_TRUE(img.isNull());
}

TEST_F(JpegCodecTest, FailedWriteLeavesNoFile) {
  const QString path = dir_.filePath("missing-folder/out.jpg");
  JpegResult r = writeJpegFile(testPicture(), path, 90);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.isEmpty());
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_FALSE(writeJpegFile(QImage(), dir_.filePath("null.jpg"), 90).ok);
  EXPECT_FALSE(QFile::exists(dir_.filePath("null.jpg")));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 0) << "no temporary files left";
}

TEST_F(JpegCodecTest, ResolutionIsWrittenAndRead) {
  QImage img = testPicture();
  img.setDotsPerMeterX(qRound(96 / 0.0254));
  img.setDotsPerMeterY(qRound(96 / 0.0254));
  const QString path = dir_.filePath("dpi.jpg");
  ASSERT_TRUE(writeJpegFile(img, path, 80).ok);
  QImage back;
  ASSERT_TRUE(readJpegFile(path, &back).ok);
  EXPECT_EQ(qRound(back.dotsPerMeterX() * 0.0254), 96);
}

}  // namespace
}  // namespace zubira
