#include "drawing/page_model.h"
#include "drawing/picture_loader.h"

#include "platform/jpeg_codec.h"
#include "tests/drawing/drawing_test_util.h"
#include "tests/support/scripted_dialogs.h"

#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::ScriptedDialogs;
using testing::TempCwd;
using testing::writeListLines;
using testing::writeBytes;

std::unique_ptr<PageModel> makeModel() {
  return std::make_unique<PageModel>(
      std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96);
}

// A picture `width` pixels wide and 3 high, so that each slot can be told by its width.
QImage picture(int width, QColor color = Qt::red) {
  QImage img(width, 3, QImage::Format_RGB32);
  img.fill(color);
  return img;
}

void savePicture(const QString& name, int width) {
  const QString ext = QFileInfo(name).suffix().toLower();
  if (ext == u"jpg" || ext == u"jpeg") {
    ASSERT_TRUE(writeJpegFile(picture(width), name, 90).ok) << name.toStdString();
  } else {
    ASSERT_TRUE(picture(width).save(name, ext == u"png" ? "PNG" : "BMP")) << name.toStdString();
  }
}

quint32 crc32(const QByteArray& data) {
  quint32 crc = 0xFFFFFFFFu;
  for (char ch : data) {
    crc ^= quint8(ch);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

QByteArray bigEndian32(quint32 v) {
  QByteArray b(4, 0);
  qToBigEndian(v, b.data());
  return b;
}

QByteArray littleEndian32(quint32 v) {
  QByteArray b(4, 0);
  qToLittleEndian(v, b.data());
  return b;
}

// A PNG whose header claims width × height pixels, with a valid header checksum and no data.
QByteArray pngHeaderOnly(quint32 width, quint32 height) {
  QByteArray ihdr = "IHDR" + bigEndian32(width) + bigEndian32(height) + QByteArray("\x08\x02\x00\x00\x00", 5);
  return QByteArray("\x89PNG\r\n\x1a\n", 8) + bigEndian32(13) + ihdr + bigEndian32(crc32(ihdr));
}

// A 24-bit bitmap header claiming width × height pixels and holding none of them.
QByteArray bmpHeaderOnly(quint32 width, quint32 height) {
  QByteArray info = littleEndian32(40) + littleEndian32(width) + littleEndian32(height) +
                    QByteArray("\x01\x00\x18\x00", 4) + QByteArray(24, 0);
  return "BM" + littleEndian32(54 + 1000) + QByteArray(4, 0) + littleEndian32(54) + info;
}

class PictureTest : public ::testing::Test {
 protected:
  TempCwd cwd;
  ScriptedDialogs dialogs;
};

TEST_F(PictureTest, DecodesBitmapJpegAndPngByExtension) {
  savePicture("a.bmp", 4);
  savePicture("b.jpg", 5);
  savePicture("c.png", 6);
  savePicture("d.JPEG", 7);
  for (auto [name, width] : {std::pair{"a.bmp", 4}, {"b.jpg", 5}, {"c.png", 6}, {"d.JPEG", 7}}) {
    const PictureFile p = loadPictureFile(name);
    ASSERT_EQ(p.status, PictureFile::Status::Loaded) << name;
    EXPECT_EQ(p.image.size(), QSize(width, 3)) << name;
  }
  const QImage jpeg = loadPictureFile("b.jpg").image;
  EXPECT_GT(qRed(jpeg.pixel(2, 1)), 200) << "the pixels are decoded, not only the size";
}

TEST_F(PictureTest, FilesThatAreNoPictureOfTheirExtensionLoadNothing) {
  savePicture("good.png", 3);
  QFile::copy("good.png", "png-named.bmp");
  QFile::copy("good.png", "picture.gif");
  QFile::copy("good.png", "noextension");
  writeBytes("empty.bmp", "");
  writeBytes("text.jpg", "not a picture at all");
  QByteArray jpeg;
  ASSERT_TRUE(encodeJpeg(picture(64), 90, &jpeg).ok);
  writeBytes("cut.jpg", jpeg.left(jpeg.size() / 2));
  writeBytes("huge.png", pngHeaderOnly(100000, 100000));
  writeBytes("huge.bmp", bmpHeaderOnly(60000, 60000));
  writeBytes("large.png", pngHeaderOnly(9000, 9000));  // over the pixel bound, within libpng's
  writeBytes("wide.png", pngHeaderOnly(0x7FFFFFFF, 1));
  writeBytes("negative.bmp", bmpHeaderOnly(0x80000000u, 0xFFFFFFFFu));
  for (const char* name : {"png-named.bmp", "picture.gif", "noextension", "empty.bmp", "text.jpg",
                           "cut.jpg", "huge.png", "huge.bmp", "large.png", "wide.png", "negative.bmp"}) {
    const PictureFile p = loadPictureFile(name);
    EXPECT_EQ(p.status, PictureFile::Status::NotPicture) << name;
    EXPECT_TRUE(p.image.isNull()) << name;
  }
  EXPECT_EQ(loadPictureFile("nothing.bmp").status, PictureFile::Status::Missing);
  EXPECT_EQ(loadPictureFile("").status, PictureFile::Status::Missing);
  ASSERT_TRUE(QFile::link("/dev/zero", "zero.jpg"));
  ASSERT_TRUE(QFile::link("/dev/zero", "zero.bmp"));
  for (const char* name : {"zero.jpg", "zero.bmp"}) {
    const PictureFile p = loadPictureFile(name);
    EXPECT_EQ(p.status, PictureFile::Status::Unreadable) << name;
    EXPECT_TRUE(p.error.contains("not a regular file")) << name;
  }
  ASSERT_TRUE(QDir().mkdir("folder.bmp"));
  const PictureFile folder = loadPictureFile("folder.bmp");
  EXPECT_EQ(folder.status, PictureFile::Status::Unreadable);
  EXPECT_FALSE(folder.error.isEmpty());
}

TEST_F(PictureTest, SevenPictureLinesFillTheFirstFiveSlots) {
  QStringList lines;
  for (int i = 1; i <= 7; ++i) {
    savePicture(QStringLiteral("p%1.bmp").arg(i), i);
    lines << QStringLiteral("Picture,p%1.bmp,0,0,10,10").arg(i);
  }
  writeListLines("Gazumo.prv", lines);
  auto model = makeModel();
  ASSERT_TRUE(model->LoadListFile().ok);
  ASSERT_EQ(model->ListByFile().size(), 7);
  for (int slot = 0; slot < 5; ++slot) EXPECT_EQ(model->Bmp(slot).width(), slot + 1) << slot;
  for (int slot = 5; slot < PageModel::kPictureSlots; ++slot)
    EXPECT_TRUE(model->Bmp(slot).isNull()) << "slot " << slot << " belongs to another list";
}

TEST_F(PictureTest, SevenLinesWithFiveLoadableLeaveTheOthersEmpty) {
  savePicture("one.bmp", 1);
  savePicture("three.jpg", 3);
  savePicture("five.png", 5);
  savePicture("six.bmp", 6);
  savePicture("seven.bmp", 7);
  writeBytes("broken.jpg", "\xFF\xD8\xFF garbage");
  auto model = makeModel();
  model->ListByManual() = QStringList{
      "Picture,one.bmp,0,0,1,1",  "Picture,missing.bmp,0,0,1,1", "",
      "picture , three.jpg , 0",  "Picture,broken.jpg,1,1,2,2",  "PICTURE,five.png,0,0,1,1",
      "Picture,six.bmp,0,0,1,1",  "Picture,seven.bmp,0,0,1,1"};
  ASSERT_TRUE(model->PreloadManualPictures().ok);
  EXPECT_EQ(model->Bmp(5).width(), 1);
  EXPECT_TRUE(model->Bmp(6).isNull()) << "missing file";
  EXPECT_EQ(model->Bmp(7).width(), 3);
  EXPECT_TRUE(model->Bmp(8).isNull()) << "broken file";
  EXPECT_EQ(model->Bmp(9).width(), 5);
  for (int slot : {0, 4, 10, 14}) EXPECT_TRUE(model->Bmp(slot).isNull());
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(PictureTest, OnlyLinesWithMoreThanTwoItemsTakeASlot) {
  savePicture("a.bmp", 2);
  savePicture("b.bmp", 4);
  auto model = makeModel();
  model->PrevPicture("a.bmp", 0, 0, 1, 1);
  QStringList& manual = model->ListByManual();
  manual << "Picture,a.bmp" << "Picture" << "TextOut,1,1,\"Picture\"" << "Picture b.bmp 0";
  ASSERT_TRUE(model->PreloadProgramPictures().ok);
  ASSERT_TRUE(model->PreloadManualPictures().ok);
  EXPECT_EQ(model->Bmp(10).width(), 2) << "the emitted line fills the program list's first slot";
  EXPECT_EQ(model->Bmp(5).width(), 4) << "the two-item lines took no slot";
  EXPECT_TRUE(model->Bmp(6).isNull());
}

TEST_F(PictureTest, SlotsNoLineReachesKeepTheirPictures) {
  for (int i = 1; i <= 3; ++i) savePicture(QStringLiteral("p%1.png").arg(i), i);
  auto model = makeModel();
  model->ListByManual() = QStringList{"Picture,p1.png,0,0,1,1", "Picture,p2.png,0,0,1,1",
                                      "Picture,p3.png,0,0,1,1"};
  ASSERT_TRUE(model->PreloadManualPictures().ok);
  model->ListByManual() = QStringList{"Picture,p3.png,0,0,1,1"};
  ASSERT_TRUE(model->PreloadManualPictures().ok);
  EXPECT_EQ(model->Bmp(5).width(), 3);
  EXPECT_EQ(model->Bmp(6).width(), 2);
  EXPECT_EQ(model->Bmp(7).width(), 3);
  // A file gone from disk empties its slot at the next preloading.
  QFile::remove("p3.png");
  ASSERT_TRUE(model->PreloadManualPictures().ok);
  EXPECT_TRUE(model->Bmp(5).isNull());
  EXPECT_EQ(model->Bmp(6).width(), 2);
}

TEST_F(PictureTest, UnreadablePictureStopsThePreloadingWithAnError) {
  savePicture("a.bmp", 1);
  savePicture("c.bmp", 3);
  ASSERT_TRUE(QDir().mkdir("b.bmp"));
  auto model = makeModel();
  model->PrevPicture("a.bmp", 0, 0, 1, 1);
  model->PrevPicture("b.bmp", 0, 0, 1, 1);
  model->PrevPicture("c.bmp", 0, 0, 1, 1);
  const LoadResult r = model->PreloadProgramPictures();
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.isEmpty());
  EXPECT_EQ(model->Bmp(10).width(), 1);
  EXPECT_TRUE(model->Bmp(11).isNull());
  EXPECT_TRUE(model->Bmp(12).isNull()) << "nothing after the error is loaded";
}

TEST_F(PictureTest, ListFileLoadReportsAnUnreadablePicture) {
  ASSERT_TRUE(QDir().mkdir("dir.png"));
  writeListLines("Gazumo.prv", {"Picture,dir.png,0,0,1,1"});
  auto model = makeModel();
  EXPECT_FALSE(model->LoadListFile().ok);
  EXPECT_EQ(model->ListByFile().size(), 1) << "the list itself was read";
}

TEST_F(PictureTest, LoadPictureChecksItsSlot) {
  savePicture("a.bmp", 2);
  auto model = makeModel();
  EXPECT_FALSE(model->LoadPicture(-1, "a.bmp").ok);
  EXPECT_FALSE(model->LoadPicture(15, "a.bmp").ok);
  EXPECT_TRUE(model->LoadPicture(14, "a.bmp").ok);
  EXPECT_EQ(model->Bmp(14).width(), 2);
  EXPECT_TRUE(model->Bmp(15).isNull());
  EXPECT_TRUE(model->Bmp(-1).isNull());
  EXPECT_TRUE(model->LoadPicture(14, "gone.bmp").ok);
  EXPECT_TRUE(model->Bmp(14).isNull());
}

TEST_F(PictureTest, LargePictureWithinTheBoundLoads) {
  QImage big(2000, 1500, QImage::Format_RGB32);
  big.fill(Qt::blue);
  ASSERT_TRUE(big.save("big.png", "PNG"));
  const PictureFile p = loadPictureFile("big.png");
  ASSERT_EQ(p.status, PictureFile::Status::Loaded);
  EXPECT_EQ(p.image.size(), QSize(2000, 1500));
}

}  // namespace
}  // namespace zubira
