// Broken picture files named by PICTURE lines: truncated, corrupt, empty, and headers claiming
// 100000 by 100000 pixels (65535 by 65535 for JPEG, the most its header can name). Each leaves
// its slot empty, even a slot that held a picture before, without an error, within bounded
// memory; the page is then drawn without the picture and without a message.

#include "drawing/page_model.h"
#include "drawing/page_renderer.h"
#include "drawing/picture_loader.h"
#include "drawing/recording_canvas.h"

#include "platform/jpeg_codec.h"
#include "tests/drawing/drawing_test_util.h"
#include "tests/support/fault_injection.h"
#include "tests/support/scripted_dialogs.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::runsWithinMemory;
using testing::ScriptedDialogs;
using testing::TempCwd;
using testing::writeBytes;
using testing::writeListLines;

QByteArray le32(quint32 v) {
  QByteArray b(4, 0);
  qToLittleEndian(v, b.data());
  return b;
}
QByteArray le16(quint16 v) {
  QByteArray b(2, 0);
  qToLittleEndian(v, b.data());
  return b;
}

// A bitmap with a 40-byte information header; `data` are its pixel data as they stand.
QByteArray bitmap(qint32 width, qint32 height, quint16 bits, quint32 compression, const QByteArray& palette,
                  const QByteArray& data) {
  const quint32 offset = 14 + 40 + quint32(palette.size());
  const QByteArray info = le32(40) + le32(quint32(width)) + le32(quint32(height)) + le16(1) + le16(bits) +
                          le32(compression) + le32(quint32(data.size())) + le32(2835) + le32(2835) +
                          le32(quint32(palette.size() / 4)) + le32(0);
  return "BM" + le32(offset + quint32(data.size())) + le32(0) + le32(offset) + info + palette + data;
}

QByteArray grayPalette() {
  QByteArray p;
  for (int i = 0; i < 256; ++i) p += QByteArray(3, char(i)) + QByteArray(1, 0);
  return p;
}

QImage colourful(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 5 % 256, y * 7 % 256, 120));
  return img;
}

QByteArray fileBytes(const QImage& img, const char* format) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(img.save(&buffer, format));
  return out;
}

QByteArray jpegBytes(const QImage& img) {
  QByteArray out;
  EXPECT_TRUE(encodeJpeg(img, 90, &out).ok);
  return out;
}

QByteArray withJpegSize(QByteArray jpeg, int width, int height) {
  const qsizetype sof = jpeg.indexOf("\xFF\xC0");
  EXPECT_GT(sof, 0);
  jpeg[sof + 5] = char(height >> 8);
  jpeg[sof + 6] = char(height);
  jpeg[sof + 7] = char(width >> 8);
  jpeg[sof + 8] = char(width);
  return jpeg;
}

struct BrokenPicture {
  const char* name;
  QByteArray bytes;
};

// Every broken file of this test, by name.
std::vector<BrokenPicture> brokenPictures() {
  const QByteArray jpeg = jpegBytes(colourful(120, 90));
  const qsizetype sos = jpeg.indexOf("\xFF\xDA");
  const QByteArray bmp = fileBytes(colourful(120, 90), "BMP");
  const QByteArray png = fileBytes(colourful(120, 90), "PNG");
  // 8 bits, run-length coded: two rows of runs, then nothing where the end code belongs.
  const QByteArray rleCut = bitmap(16, 2, 8, 1, grayPalette(), QByteArray("\x10\x20\x00\x00\x08\x40", 6));
  return {
      {"zero.jpg", QByteArray()},
      {"truncated.jpg", jpeg.left(jpeg.size() / 2)},
      {"header-only.jpg", jpeg.left(sos + 14)},
      {"corrupt.jpg", QByteArray(jpeg).replace(sos + 60, 2, "\xFF\xD5")},
      {"huge.jpg", withJpegSize(jpeg, 65535, 65535)},
      {"zero-width.jpg", withJpegSize(jpeg, 0, 90)},
      {"garbage.jpg", QByteArray(3000, '\x5A')},
      {"zero.bmp", QByteArray()},
      {"truncated.bmp", bmp.left(bmp.size() / 2)},
      {"header-only.bmp", bmp.left(54)},
      {"corrupt.bmp", QByteArray(bmp).replace(0, 2, "MB")},
      {"huge.bmp", bitmap(100000, 100000, 24, 0, {}, QByteArray(4096, '\x11'))},
      {"huge-top-down.bmp", bitmap(100000, -100000, 24, 0, {}, QByteArray(4096, '\x11'))},
      {"over-bound-top-down.bmp", bitmap(8193, -8192, 8, 0, grayPalette(), QByteArray(4096, '\x11'))},
      {"truncated-top-down.bmp", bitmap(120, -90, 24, 0, {}, QByteArray(120 * 3 * 45, '\x11'))},
      {"huge-palette.bmp", bitmap(100000, 100000, 8, 0, grayPalette(), QByteArray(4096, '\x11'))},
      {"rle-truncated.bmp", rleCut},
      {"rle-huge.bmp", bitmap(100000, 100000, 8, 1, grayPalette(), QByteArray("\x00\x01", 2))},
      {"zero.png", QByteArray()},
      {"truncated.png", png.left(png.size() / 2)},
  };
}

std::unique_ptr<PageModel> makeModel() {
  auto m = std::make_unique<PageModel>(
      std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96);
  EXPECT_TRUE(m->ReadPrinterMetrics());
  EXPECT_TRUE(m->GetPageSize());
  m->setUnitType(PageModel::kUnitMillimetre);
  return m;
}

class PictureFault : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const BrokenPicture& p : brokenPictures()) writeBytes(p.name, p.bytes);
    writeBytes("good.jpg", jpegBytes(colourful(30, 20)));
    writeBytes("good.bmp", fileBytes(colourful(31, 20), "BMP"));
  }
  TempCwd cwd;
  ScriptedDialogs dialogs;  // fails the test on a dialog that needs an answer
};

TEST_F(PictureFault, GoodFilesLoad) {
  EXPECT_EQ(loadPictureFile("good.jpg").image.size(), QSize(30, 20));
  EXPECT_EQ(loadPictureFile("good.bmp").image.size(), QSize(31, 20));
  // A complete run-length coded bitmap still loads.
  writeBytes("rle.bmp", bitmap(16, 2, 8, 1, grayPalette(), QByteArray("\x10\x20\x00\x00\x10\x40\x00\x01", 8)));
  const PictureFile rle = loadPictureFile("rle.bmp");
  ASSERT_EQ(rle.status, PictureFile::Status::Loaded);
  EXPECT_EQ(rle.image.size(), QSize(16, 2));
}

// Rows stored from the top (a negative height) read the right way up, as the same picture
// stored from the bottom does.
TEST_F(PictureFault, TopDownBitmapsLoadTheRightWayUp) {
  struct Case {
    const char* name;
    quint16 bits;
    QByteArray palette;
    QByteArray rows[3];  // from the top, each padded to 4 bytes
    QRgb top, bottom;
  } cases[] = {
      {"24 bits", 24, {},
       {QByteArray("\x00\x00\xFF\x00\x00\xFF\0\0", 8), QByteArray("\x00\xFF\x00\x00\xFF\x00\0\0", 8),
        QByteArray("\xFF\x00\x00\xFF\x00\x00\0\0", 8)},
       qRgb(255, 0, 0), qRgb(0, 0, 255)},
      {"8 bits", 8, grayPalette(), {QByteArray("\x10\x10\0\0", 4), QByteArray("\x80\x80\0\0", 4),
                                    QByteArray("\xF0\xF0\0\0", 4)},
       qRgb(0x10, 0x10, 0x10), qRgb(0xF0, 0xF0, 0xF0)},
  };
  for (const Case& c : cases) {
    writeBytes("top-down.bmp", bitmap(2, -3, c.bits, 0, c.palette, c.rows[0] + c.rows[1] + c.rows[2]));
    writeBytes("bottom-up.bmp", bitmap(2, 3, c.bits, 0, c.palette, c.rows[2] + c.rows[1] + c.rows[0]));
    const PictureFile topDown = loadPictureFile("top-down.bmp");
    ASSERT_EQ(topDown.status, PictureFile::Status::Loaded) << c.name;
    ASSERT_EQ(topDown.image.size(), QSize(2, 3)) << c.name;
    EXPECT_EQ(topDown.image.pixel(1, 0), c.top) << c.name;
    EXPECT_EQ(topDown.image.pixel(1, 2), c.bottom) << c.name;
    EXPECT_EQ(topDown.image.convertToFormat(QImage::Format_RGB32),
              loadPictureFile("bottom-up.bmp").image.convertToFormat(QImage::Format_RGB32))
        << c.name;
  }
}

TEST_F(PictureFault, BrokenFilesAreNoPicture) {
  for (const BrokenPicture& p : brokenPictures()) {
    const PictureFile loaded = loadPictureFile(p.name);
    EXPECT_EQ(loaded.status, PictureFile::Status::NotPicture) << p.name;
    EXPECT_TRUE(loaded.image.isNull()) << p.name;
  }
}

TEST_F(PictureFault, BrokenFilesEmptyTheirSlotsWithoutError) {
  auto model = makeModel();
  for (const BrokenPicture& p : brokenPictures()) {
    ASSERT_TRUE(model->LoadPicture(7, "good.bmp").ok);
    ASSERT_FALSE(model->Bmp(7).isNull());
    const LoadResult r = model->LoadPicture(7, p.name);
    EXPECT_TRUE(r.ok) << p.name << ": " << r.error.toStdString();
    EXPECT_TRUE(model->Bmp(7).isNull()) << p.name << " left the old picture in its slot";
  }
}

TEST_F(PictureFault, BrokenFilesTakeBoundedMemory) {
  if (!testing::memoryBoundHolds()) GTEST_SKIP() << "no bound on memory can be set here";
  const std::vector<BrokenPicture> pictures = brokenPictures();
  EXPECT_TRUE(runsWithinMemory(96 << 20, [&] {
    auto model = makeModel();
    for (const BrokenPicture& p : pictures) {
      if (!model->LoadPicture(0, p.name).ok || !model->Bmp(0).isNull()) return false;
    }
    return true;
  })) << "a broken picture took more than 96 MB, or loaded";
}

TEST_F(PictureFault, PageWithBrokenPicturesDrawsTheRestWithoutMessages) {
  auto model = makeModel();
  model->setCanvases(std::make_unique<RecordingCanvas>(96, 96), std::make_unique<RecordingCanvas>(600, 600));
  PageRenderer renderer(*model);
  QStringList lines;
  for (const char* name : {"truncated.jpg", "huge.bmp", "good.jpg", "corrupt.jpg", "rle-truncated.bmp"})
    lines << QStringLiteral("Picture,%1,10,10,40,30").arg(QLatin1String(name));
  lines << QStringLiteral("TextOut,10,50,\"after the pictures\"");
  writeListLines("Gazumo.prv", lines);
  ASSERT_TRUE(model->LoadListFile().ok);
  for (int slot = 0; slot < 5; ++slot) EXPECT_EQ(model->Bmp(slot).isNull(), slot != 2) << slot;
  ASSERT_TRUE(renderer.DrawGraphics());
  const auto& canvas = static_cast<const RecordingCanvas&>(model->screenCanvas());
  const auto drawn = canvas.callsOf(RecordingCanvas::Op::Picture);
  ASSERT_EQ(drawn.size(), 1u) << "only the good picture";
  EXPECT_EQ(drawn[0].pictureSize, QSize(30, 20));
  EXPECT_TRUE(canvas.texts().contains(QStringLiteral("after the pictures")));
  EXPECT_TRUE(renderer.messages().isEmpty());
  EXPECT_TRUE(dialogs.shown().empty());
}

}  // namespace
}  // namespace zubira
