// Writing pages where that fails: into a folder that cannot be written, onto a full disk, and a
// run killed in the middle of writing its image. Through `zubira draw` and `zubira sheet` and
// through the writer they use. The failure is reported, nothing half written is left, and a file
// of the same name that was there stays as it was.

#include "drawing/page_output.h"

#include "run_zubira.h"
#include "tests/support/fault_injection.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace zubira {
namespace {

using testing::FileSizeLimit;
using testing::NoPermissionOverride;
using testing::OverLimit;
using testing::ProcessResult;
using testing::ReadOnlyFolder;
using testing::restrictChild;

struct ChildResult {
  bool crashed = false;
  int signal = 0;
  int exitCode = -1;
  QString err;
};

// Runs the program without root's permission override, its files limited as asked.
ChildResult runRestricted(const QStringList& args, rlim_t fileSizeLimit = 0,
                          OverLimit over = OverLimit::Kill) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  p.setProcessEnvironment(env);
  restrictChild(p, fileSizeLimit, over);
  p.start(QStringLiteral(ZUBIRA_BINARY), args);
  ChildResult r;
  if (!p.waitForFinished(120000)) {
    p.kill();
    p.waitForFinished();
    r.crashed = true;
    return r;
  }
  r.crashed = p.exitStatus() == QProcess::CrashExit;
  r.exitCode = r.crashed ? -1 : p.exitCode();
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ExportFault : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    list_ = dir_.filePath("page.txt");
    QFile f(list_);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Line,10,10,100,100\r\nTextOut,20,20,\"export\"\r\nFontSize,40\r\nTextOut,20,60,\"page\"\r\n");
  }
  QStringList files() const {
    return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
  }
  QTemporaryDir dir_;
  QString list_;
};

TEST_F(ExportFault, DrawIntoUnwritableFolderReportsAndLeavesNothing) {
  ReadOnlyFolder folder(dir_, "locked");
  for (const char* ext : {"jpg", "jpeg", "bmp", "png", "pdf"}) folder.put(QStringLiteral("old.") + ext, "old");
  const QStringList before = folder.entries();
  folder.lock();
  if (!folder.refusesWrites()) GTEST_SKIP() << "this file system ignores permissions";
  for (const char* ext : {"jpg", "jpeg", "bmp", "png", "pdf"}) {
    for (const QString& name : {QStringLiteral("new."), QStringLiteral("old.")}) {
      const QString out = folder.filePath(name + ext);
      SCOPED_TRACE(out.toStdString());
      const ChildResult r = runRestricted({"draw", list_, "--out", out});
      EXPECT_FALSE(r.crashed);
      EXPECT_EQ(r.exitCode, 1);
      EXPECT_TRUE(r.err.contains(QStringLiteral("zubira draw: "))) << r.err.toStdString();
      EXPECT_TRUE(r.err.contains(out)) << "the message names the file: " << r.err.toStdString();
    }
  }
  EXPECT_EQ(folder.entries(), before) << "no file appeared, none went away";
  for (const QString& name : before) EXPECT_EQ(readAll(folder.filePath(name)), QByteArray("old")) << name.toStdString();
}

TEST_F(ExportFault, SheetIntoUnwritableFolderReportsAndLeavesNothing) {
  ReadOnlyFolder folder(dir_, "locked");
  folder.lock();
  if (!folder.refusesWrites()) GTEST_SKIP() << "this file system ignores permissions";
  for (const QStringList& outs : {QStringList{"--problems", folder.filePath("p.jpg")},
                                  QStringList{"--answers", folder.filePath("a.bmp")},
                                  QStringList{"--problems", folder.filePath("p.pdf"), "--versions", "2"}}) {
    SCOPED_TRACE(outs.join(' ').toStdString());
    const ChildResult r = runRestricted(QStringList{"sheet", "--seed", "7"} + outs);
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
  }
  EXPECT_TRUE(folder.entries().isEmpty());
}

TEST_F(ExportFault, DrawOntoFullDiskReportsAndKeepsTheOldFile) {
  for (const char* ext : {"jpg", "bmp", "png"}) {
    const QString out = dir_.filePath(QStringLiteral("page.") + ext);
    SCOPED_TRACE(out.toStdString());
    {
      QFile old(out);
      ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
      old.write("old");
    }
    const ChildResult r = runRestricted({"draw", list_, "--out", out}, 2048, OverLimit::Fail);
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_EQ(readAll(out), QByteArray("old"));
  }
  EXPECT_EQ(files(), (QStringList{"page.bmp", "page.jpg", "page.png", "page.txt"})) << "nothing half written";
}

TEST_F(ExportFault, KilledWhileWritingTheImageLeavesTheOldFileWhole) {
  for (const char* ext : {"jpg", "bmp", "png"}) {
    const QString out = dir_.filePath(QStringLiteral("page.") + ext);
    SCOPED_TRACE(out.toStdString());
    {
      QFile old(out);
      ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
      old.write("old");
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    restrictChild(p, 2048, OverLimit::Kill);
    p.start(QStringLiteral(ZUBIRA_BINARY), {"draw", list_, "--out", out});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitStatus(), QProcess::CrashExit) << "the write was not cut off";
    EXPECT_EQ(readAll(out), QByteArray("old"));
    // Then a run with room writes the whole image.
    ASSERT_EQ(runRestricted({"draw", list_, "--out", out}).exitCode, 0);
    EXPECT_EQ(QImage(out).size(), QSize(793, 1122));
  }
}

// The writer under the commands, in this process.
class PageOutputFault : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(output_.ready()) << output_.error().toStdString();
    output_.model().setUnitType(PageModel::kUnitMillimetre);
    output_.model().ListByManual() << "Line,10,10,100,100" << "TextOut,20,20,\"export\"";
  }
  QTemporaryDir dir_;
  PageOutput output_{300};
};

TEST_F(PageOutputFault, UnwritableFolderReportsAndLeavesNothing) {
  ReadOnlyFolder folder(dir_, "locked");
  folder.put("old.bmp", "old");
  folder.lock();
  if (!folder.refusesWrites()) GTEST_SKIP() << "this file system ignores permissions";
  struct Case {
    const char* name;
    OutputFormat format;
  } cases[] = {{"new.bmp", OutputFormat::Bmp}, {"old.bmp", OutputFormat::Bmp},
               {"new.jpg", OutputFormat::Jpeg}, {"new.png", OutputFormat::Png}};
  for (const Case& c : cases) {
    bool saved = true;
    {
      NoPermissionOverride plain;
      saved = output_.saveImage(folder.filePath(c.name), c.format, 90);
    }
    EXPECT_FALSE(saved) << c.name;
    EXPECT_FALSE(output_.error().isEmpty()) << c.name;
  }
  EXPECT_EQ(folder.entries(), QStringList{"old.bmp"});
  EXPECT_EQ(readAll(folder.filePath("old.bmp")), QByteArray("old"));
}

TEST_F(PageOutputFault, FullDiskReportsAndKeepsTheOldFile) {
  for (auto [name, format] : {std::pair{"page.bmp", OutputFormat::Bmp}, {"page.jpg", OutputFormat::Jpeg},
                              {"page.png", OutputFormat::Png}}) {
    const QString path = dir_.filePath(name);
    {
      QFile old(path);
      ASSERT_TRUE(old.open(QIODevice::WriteOnly));
      old.write("old");
    }
    bool saved = true;
    {
      FileSizeLimit full(256);  // less than any of the images, most of which a buffer would hold
      saved = output_.saveImage(path, format, 90);
    }
    EXPECT_FALSE(saved) << name;
    EXPECT_FALSE(output_.error().isEmpty()) << name;
    EXPECT_EQ(readAll(path), QByteArray("old")) << name;
    ASSERT_TRUE(output_.saveImage(path, format, 90)) << name << ": " << output_.error().toStdString();
  }
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"page.bmp", "page.jpg", "page.png"}));
}

}  // namespace
}  // namespace zubira
