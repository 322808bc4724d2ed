// A disk that fills up part way through a file, at every size around the room left: small files
// too, whose writes a buffer would hold until the file is committed. The file is replaced whole
// or not at all, by the writers of settings, list files, JPEG pictures and PDF files alike.

#include "platform/ini_file.h"
#include "platform/jpeg_codec.h"
#include "platform/save_file.h"
#include "platform/sjis_text.h"

#include "tests/support/fault_injection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::FileSizeLimit;
using testing::NoPermissionOverride;
using testing::ReadOnlyFolder;

constexpr qint64 kRoom = 2048;  // bytes a file may grow to on the "disk"

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class FullDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    path_ = dir_.filePath("file");
    QFile old(path_);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old content");
  }
  void expectOldFileAlone() {
    EXPECT_EQ(readAll(path_), QByteArray("old content"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"file"});
  }
  QTemporaryDir dir_;
  QString path_;
};

TEST_F(FullDisk, WholeFileOrNothingAtEverySizeAroundTheRoomLeft) {
  for (qint64 size : {qint64(1), kRoom - 1, kRoom, kRoom + 1, kRoom + 100, 3 * kRoom, qint64(15000), qint64(17000), qint64(100000)}) {
    SCOPED_TRACE(size);
    const QByteArray data(size, 'n');
    QString error;
    bool saved = false;
    {
      FileSizeLimit full(kRoom);
      saved = saveWholeFile(path_, data, &error);
    }
    const QByteArray now = readAll(path_);
    if (size <= kRoom) {
      EXPECT_TRUE(saved) << error.toStdString();
      EXPECT_EQ(now, data);
    } else {
      EXPECT_FALSE(saved) << "a file of " << now.size() << " bytes replaced the old one";
      EXPECT_FALSE(error.isEmpty());
      expectOldFileAlone();
    }
    // Back to the old content for the next size.
    ASSERT_TRUE(saveWholeFile(path_, "old content"));
  }
}

TEST_F(FullDisk, SmallSettingsFileIsNotCutShort) {
  IniFile ini(path_);
  ini.writeString("Exam", "Title", QString(3000, u'x'));
  bool saved = true;
  {
    FileSizeLimit full(kRoom);
    saved = ini.save();
  }
  EXPECT_FALSE(saved);
  EXPECT_TRUE(ini.errorString().contains(path_)) << ini.errorString().toStdString();
  expectOldFileAlone();
}

TEST_F(FullDisk, SmallListFileIsNotCutShort) {
  QStringList lines;
  for (int i = 0; i < 100; ++i) lines << QStringLiteral("TextOut,10,%1,\"分数の計算\"").arg(i);
  QString error;
  bool saved = true;
  {
    FileSizeLimit full(kRoom);
    saved = writeCp932Lines(path_, lines, &error);
  }
  EXPECT_FALSE(saved);
  EXPECT_FALSE(error.isEmpty());
  expectOldFileAlone();
}

TEST_F(FullDisk, SmallJpegIsNotCutShort) {
  QImage image(200, 150, QImage::Format_RGB32);
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 200; ++x) image.setPixel(x, y, qRgb(x, y, (x * y) % 256));
  QByteArray encoded;
  ASSERT_TRUE(encodeJpeg(image, 80, &encoded).ok);
  ASSERT_GT(encoded.size(), kRoom);
  ASSERT_LT(encoded.size(), 16384) << "small enough for a write buffer to hold";
  JpegResult r;
  {
    FileSizeLimit full(kRoom);
    r = writeJpegFile(image, path_, 80);
  }
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.isEmpty());
  expectOldFileAlone();
}

// Written piece by piece, as a PDF writer writes: many small pieces and a few large ones.
bool writeInPieces(WholeFileWriter& w, qint64 size) {
  const QByteArray big(100000, 'b');
  qint64 left = size;
  for (int i = 0; left > 0; ++i) {
    const qint64 n = std::min<qint64>(left, i % 10 == 9 ? big.size() : 7);
    if (w.write(big.constData(), n) != n) return false;
    left -= n;
  }
  return true;
}

TEST_F(FullDisk, PiecewiseFileWholeOrNothingAtEverySizeAroundTheRoomLeft) {
  for (qint64 size : {qint64(1), kRoom - 1, kRoom, kRoom + 1, 3 * kRoom, qint64(17000), qint64(300000), qint64(1000000)}) {
    SCOPED_TRACE(size);
    bool committed = false;
    WholeFileWriter::Fault fault = WholeFileWriter::Fault::None;
    {
      FileSizeLimit full(kRoom);
      WholeFileWriter w(path_);
      ASSERT_TRUE(w.open());
      writeInPieces(w, size);
      committed = w.commit();
      fault = w.fault();
      EXPECT_EQ(w.errorText().isEmpty(), committed);
    }
    if (size <= kRoom) {
      EXPECT_TRUE(committed);
      EXPECT_EQ(fault, WholeFileWriter::Fault::None);
      EXPECT_EQ(readAll(path_), QByteArray(size, 'b'));
      ASSERT_TRUE(saveWholeFile(path_, "old content"));
    } else {
      EXPECT_FALSE(committed) << "a file of " << readAll(path_).size() << " bytes replaced the old one";
      EXPECT_EQ(fault, WholeFileWriter::Fault::CannotWrite);
      expectOldFileAlone();
    }
  }
}

TEST_F(FullDisk, PiecewiseFileWrittenWholeWithRoomAndDroppedWhenCancelled) {
  {
    WholeFileWriter w(path_);
    ASSERT_TRUE(w.open());
    ASSERT_TRUE(writeInPieces(w, 500000));
    EXPECT_EQ(readAll(path_), QByteArray("old content")) << "nothing in place before the commit";
    w.cancel();
    EXPECT_FALSE(w.commit());
  }
  expectOldFileAlone();
  {
    WholeFileWriter w(path_);
    ASSERT_TRUE(w.open());
    ASSERT_TRUE(writeInPieces(w, 500000));
  }  // gone without a commit
  expectOldFileAlone();
  WholeFileWriter w(path_);
  ASSERT_TRUE(w.open());
  ASSERT_TRUE(writeInPieces(w, 500000));
  ASSERT_TRUE(w.commit()) << w.errorText().toStdString();
  EXPECT_EQ(readAll(path_), QByteArray(500000, 'b'));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"file"});
}

TEST_F(FullDisk, PiecewiseFileInAnUnwritableFolderIsNotMade) {
  ReadOnlyFolder folder(dir_, "locked");
  folder.put("old.pdf", "old");
  folder.lock();
  if (!folder.refusesWrites()) GTEST_SKIP() << "this file system ignores permissions";
  for (const char* name : {"old.pdf", "new.pdf"}) {
    NoPermissionOverride plain;
    WholeFileWriter w(folder.filePath(name));
    EXPECT_FALSE(w.open()) << name;
    EXPECT_EQ(w.fault(), WholeFileWriter::Fault::CannotCreate) << name;
    EXPECT_FALSE(w.errorText().isEmpty()) << name;
    EXPECT_EQ(w.write("x", 1), -1) << name;
    EXPECT_FALSE(w.commit()) << name;
  }
  EXPECT_EQ(folder.entries(), QStringList{"old.pdf"});
  EXPECT_EQ(readAll(folder.filePath("old.pdf")), QByteArray("old"));
}

}  // namespace
}  // namespace zubira
