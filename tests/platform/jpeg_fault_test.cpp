// Faults of the JPEG codec: data cut off at any point, data broken inside the picture, headers
// that claim the largest sizes a JPEG can name, and writing into a folder that cannot be
// written or onto a full disk. Broken pictures are refused whole (never a picture half grey),
// within bounded memory; a failed write leaves nothing behind and the old file as it was.

#include "platform/jpeg_codec.h"

#include "tests/support/fault_injection.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::FileSizeLimit;
using testing::NoPermissionOverride;
using testing::ReadOnlyFolder;
using testing::runsWithinMemory;

QImage stripes(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  for (int x = 0; x < w; x += 8) p.fillRect(x, 0, 4, h, QColor((x * 7) % 256, 90, 200 - x % 200));
  p.setPen(Qt::black);
  p.drawLine(0, 0, w - 1, h - 1);
  return img;
}

QByteArray encoded(int w = 160, int h = 120) {
  QByteArray data;
  EXPECT_TRUE(encodeJpeg(stripes(w, h), 90, &data).ok);
  return data;
}

// Where the entropy-coded data of the (only) scan start: after the SOS segment.
qsizetype scanStart(const QByteArray& jpeg) {
  const qsizetype sos = jpeg.indexOf("\xFF\xDA");
  if (sos < 0) return -1;
  return sos + 2 + ((uchar(jpeg[sos + 2]) << 8) | uchar(jpeg[sos + 3]));
}

// A copy of `jpeg` whose frame header claims `width` by `height`.
QByteArray withSize(QByteArray jpeg, int width, int height) {
  const qsizetype sof = jpeg.indexOf("\xFF\xC0");
  if (sof < 0) return {};
  jpeg[sof + 5] = char(height >> 8);
  jpeg[sof + 6] = char(height & 0xFF);
  jpeg[sof + 7] = char(width >> 8);
  jpeg[sof + 8] = char(width & 0xFF);
  return jpeg;
}

bool refused(const QByteArray& data) {
  QImage img(3, 3, QImage::Format_RGB32);
  const JpegResult r = decodeJpeg(data, &img);
  return !r.ok && !r.error.isEmpty() && img.isNull();
}

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(JpegFault, DataCutOffAnywhereIsRefused) {
  const QByteArray good = encoded();
  QImage img;
  ASSERT_TRUE(decodeJpeg(good, &img).ok);
  // Every length short of the end of the entropy-coded data; the last two bytes are the end
  // marker, which libjpeg may do without.
  for (qsizetype n = 0; n < good.size() - 2; n += (n < 700 ? 1 : 13))
    EXPECT_TRUE(refused(good.left(n))) << "cut to " << n << " of " << good.size() << " bytes";
}

TEST(JpegFault, BrokenDataInsideThePictureIsRefused) {
  const QByteArray good = encoded();
  const qsizetype start = scanStart(good);
  ASSERT_GT(start, 0);
  struct Case {
    const char* what;
    QByteArray data;
  } cases[] = {
      {"a restart marker where none belongs", QByteArray(good).replace(start + 40, 2, "\xFF\xD3")},
      {"a run of 0xFF bytes", QByteArray(good).replace(start + 10, 60, QByteArray(60, '\xFF'))},
      {"a frame header inside the scan", QByteArray(good).replace(start + 40, 2, "\xFF\xC0")},
      {"the scan ended by an early end marker", good.left(start + 200) + "\xFF\xD9"},
  };
  for (const Case& c : cases) EXPECT_TRUE(refused(c.data)) << c.what;

  // Stray bytes between the picture and its end marker are harmless: the picture stays good.
  QImage img;
  const QByteArray stray = good.left(good.size() - 2) + QByteArray("\x00\x00\xFF\xD9", 4);
  EXPECT_TRUE(decodeJpeg(stray, &img).ok);
  EXPECT_EQ(img.size(), QSize(160, 120));
}

TEST(JpegFault, LargestHeadersAreRefusedWithinBoundedMemory) {
  const QByteArray small = encoded(16, 16);
  // A JPEG names its size in 16 bits: 65535 is the most a header can claim.
  const QList<QByteArray> claims = {withSize(small, 65535, 65535), withSize(small, 65535, 1200),
                                    withSize(small, 1, 65535), withSize(small, 0, 16),
                                    withSize(small, 16, 0)};
  for (const QByteArray& data : claims) ASSERT_FALSE(data.isEmpty());
  for (const QByteArray& data : claims) EXPECT_TRUE(refused(data));
  if (!testing::memoryBoundHolds()) GTEST_SKIP() << "no bound on memory can be set here";
  EXPECT_TRUE(runsWithinMemory(64 << 20, [&] {
    for (const QByteArray& data : claims)
      if (!refused(data)) return false;
    return true;
  })) << "refusing took more than 64 MB";
}

TEST(JpegFault, WithinTheBoundButCutShortIsRefused) {
  // 8000 x 8000 is within the pixel bound; the data end after the first rows.
  const QByteArray big = encoded(8000, 64);
  const QByteArray claim = withSize(big, 8000, 8000);
  EXPECT_TRUE(refused(claim));
  EXPECT_TRUE(refused(claim.left(claim.size() / 2)));
}

TEST(JpegFault, WriteIntoUnwritableFolderReportsAndLeavesNoFile) {
  QTemporaryDir dir;
  ReadOnlyFolder folder(dir, "locked");
  folder.put("old.jpg", "old bytes");
  folder.lock();
  if (!folder.refusesWrites()) GTEST_SKIP() << "this file system ignores permissions";
  JpegResult fresh, over;
  {
    NoPermissionOverride plain;
    fresh = writeJpegFile(stripes(64, 48), folder.filePath("new.jpg"), 80);
    over = writeJpegFile(stripes(64, 48), folder.filePath("old.jpg"), 80);
  }
  EXPECT_FALSE(fresh.ok);
  EXPECT_FALSE(fresh.error.isEmpty());
  EXPECT_FALSE(over.ok);
  EXPECT_FALSE(over.error.isEmpty());
  EXPECT_EQ(folder.entries(), QStringList{"old.jpg"});
  EXPECT_EQ(readAll(folder.filePath("old.jpg")), QByteArray("old bytes"));
}

TEST(JpegFault, WriteOntoFullDiskReportsAndKeepsTheOldFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("page.jpg");
  {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old bytes");
  }
  JpegResult r;
  {
    FileSizeLimit full(4096);
    r = writeJpegFile(stripes(800, 600), path, 95);
  }
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.isEmpty());
  EXPECT_EQ(readAll(path), QByteArray("old bytes"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"page.jpg"});
}

}  // namespace
}  // namespace zubira
