// Malformed input through the command line: list files that include themselves, hold garbage or
// are far too large, broken pictures, and settings files with garbage or values at the ends of
// their ranges. Every run ends with its page written (or a clear refusal), never a crash.

#include "run_zubira.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::runZubira;

class InputFault : public ::testing::Test {
 protected:
  QString write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    return path;
  }
  QString sparse(const QString& name, const QByteArray& start, qint64 size) {
    const QString path = write(name, start);
    EXPECT_TRUE(QFile::resize(path, size));
    return path;
  }
  // A file name as a list line names it: quoted, since the temporary folder's name may hold
  // blanks; the list then starts with a UTF-8 byte-order mark.
  QByteArray quoted(const QString& name) const { return '"' + dir_.filePath(name).toUtf8() + '"'; }
  static constexpr char kBom[] = "\xEF\xBB\xBF";
  static QByteArray random(int n, quint32 seed) {
    QRandomGenerator rng(seed);
    QByteArray b;
    for (int i = 0; i < n; ++i) b += char(rng.bounded(256));
    return b;
  }
  QTemporaryDir dir_;
};

TEST_F(InputFault, DrawEndsOnMalformedListsAndWritesThePage) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder"));
  const QString self = dir_.filePath("self.txt");
  sparse("big.txt", "TextOut,10,10,\"big\"\r\n", 100LL * 1024 * 1024);
  write("cut.jpg", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10));
  write("huge.bmp", "BM" + QByteArray(8, '\0') + QByteArray("\x36\0\0\0\x28\0\0\0\xA0\x86\x01\0\xA0\x86\x01\0\x01\0\x18\0", 20));
  struct Case {
    const char* what;
    QByteArray list;
    const char* message;  // part of what stderr says, or nothing
  } cases[] = {
      {"a file including itself", kBom + QByteArray("TextOut,10,10,\"a\"\r\nINCLUDE,") + quoted("self.txt") + "\r\n", "CYCLE"},
      {"a 100 MB include", kBom + QByteArray("TextOut,10,10,\"a\"\r\nINCLUDE,") + quoted("big.txt") + "\r\n", "too large"},
      {"a folder included", kBom + QByteArray("INCLUDE,") + quoted("folder") + "\r\n", "folder"},
      {"random bytes", random(20000, 7), nullptr},
      {"UTF-16 garbage", "\xFF\xFE" + random(20000, 8), nullptr},
      {"values at the ends", "FontSize,1e300\r\nTextOut,1e300,-1e300,\"x\",1e300\r\nPenWidth,1e300\r\n"
                             "Line,-1e300,0,1e300,0\r\nTextOutAngle,0,0,\"x\",-0\r\nHeader,\"h\",2147483647,1,1\r\n",
       nullptr},
      {"broken pictures", kBom + QByteArray("Picture,") + quoted("cut.jpg") + ",0,0,50,50\r\nPicture," + quoted("huge.bmp") +
                              ",0,0,50,50\r\nTextOut,10,10,\"after\"\r\n",
       nullptr},
      {"stopped lists", "Line,1,2\r\nTextOut,1\r\n", "LINE, FORMAT ERROR"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write("self.txt", c.list);
    const QString out = dir_.filePath("page.png");
    QFile::remove(out);
    const auto r = runZubira({"draw", self, "--out", out});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(out).size(), QSize(793, 1122));
    if (c.message) {
      EXPECT_TRUE(r.err.contains(QLatin1String(c.message))) << r.err.toStdString();
    }
  }
}

TEST_F(InputFault, DrawRefusesAFolderOrNothingAsItsList) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir("list.txt"));
  for (const QString& list : {dir_.filePath("list.txt"), dir_.filePath("none.txt")}) {
    const auto r = runZubira({"draw", list, "--out", dir_.filePath("page.png")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(r.err.isEmpty());
  }
  EXPECT_FALSE(QFile::exists(dir_.filePath("page.png")));
}

TEST_F(InputFault, BrokenSettingsFilesReadAsDefaults) {
  const QString list = write("list.txt", "TextOut,10,10,\"page\"\r\n");
  const QByteArray ends =
      "[ExamFont]\r\nSize=2147483647\r\nName=\r\n[Header]\r\nString=H\r\nPos=3\r\nSize=-2147483648\r\n"
      "[Footer]\r\nString=F\r\nPos=1\r\nSize=2147483647\r\n[DateTime]\r\nPos=4\r\nX=1e308\r\nY=-1e308\r\n"
      "[SubTitle]\r\nString=S\r\nPos=4\r\nX=nan\r\nY=inf\r\n[Unit]\r\nUnitType=77\r\n[Option]\r\nCQuality=-1\r\n";
  struct Case {
    const char* what;
    QByteArray bytes;
  } cases[] = {
      {"random bytes", random(200000, 9)},
      {"values at the ends of their ranges", ends},
      {"NUL bytes", QByteArray(5000, '\0')},
      {"repeated sections and keys", "[Exam]\r\nRow=3\r\nRow=99\r\n[exam]\r\nRow=77\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString settings = write("z.ini", c.bytes);
    auto r = runZubira({"draw", list, "--settings", settings, "--out", dir_.filePath("d.jpg")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(dir_.filePath("d.jpg")).size(), QSize(793, 1122));
    r = runZubira({"sheet", "--seed", "3", "--settings", settings, "--problems", dir_.filePath("p.bmp"),
                   "--answers", dir_.filePath("a.pdf")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(dir_.filePath("p.bmp")).size(), QSize(793, 1122));
    EXPECT_GT(QFileInfo(dir_.filePath("a.pdf")).size(), 0);
  }
}

TEST_F(InputFault, OversizedSettingsFileIsRefusedAndLeftAsItIs) {
  const QString settings = sparse("z.ini", "[Exam]\r\nRow=3\r\n", 100LL * 1024 * 1024);
  const auto r = runZubira({"sheet", "--settings", settings, "--problems", dir_.filePath("p.png")});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.err.contains(QStringLiteral("too large"))) << r.err.toStdString();
  EXPECT_FALSE(QFile::exists(dir_.filePath("p.png")));
  EXPECT_EQ(QFileInfo(settings).size(), 100LL * 1024 * 1024);
}

}  // namespace
}  // namespace zubira
