// Faults around the settings file: a process killed while it saves, a folder it cannot write, a
// full disk, a file it cannot read, and files that are no settings file at all. The old file
// must stay whole in every case, and reading must give the defaults without harm.

#include "platform/ini_file.h"

#include "tests/support/fault_injection.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zubira {
namespace {

using testing::FileSizeLimit;
using testing::NoPermissionOverride;
using testing::ReadOnlyFolder;

QByteArray readBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(f.write(bytes), bytes.size());
}

const QByteArray kOldSettings =
    "[Page]\r\nRow=10\r\nCol=4\r\n\r\n[Exam]\r\nTitle=分数のテスト\r\n; kept as it is\r\n";

void expectOldSettings(const QString& path) {
  EXPECT_EQ(readBytes(path), kOldSettings) << "the old file changed";
  const IniFile ini(path);
  EXPECT_EQ(ini.readInteger("Page", "Row", 0), 10);
  EXPECT_EQ(ini.readString("Exam", "Title", ""), QStringLiteral("分数のテスト"));
}

class SettingsFault : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    path_ = dir_.filePath("zubira.ini");
    writeBytes(path_, kOldSettings);
  }
  // An update of the old file that is far larger than it.
  static void bigUpdate(IniFile& ini) {
    ini.writeInteger("Page", "Row", 3);
    ini.writeString("Data", "Payload", QString(512 << 10, u'x'));
  }
  QTemporaryDir dir_;
  QString path_;
};

// Sent by the kernel when a write goes past the file size limit: the process is killed on the
// spot, in the middle of writing.
void killSelf(int) { kill(getpid(), SIGKILL); }

TEST_F(SettingsFault, KilledInTheMiddleOfSavingLeavesTheOldFileWhole) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    IniFile ini(path_);
    bigUpdate(ini);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 64 * 1024;  // the new text is 512 KB: the kill comes after 64 KB of it
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, killSelf);
    ini.save();
    _exit(0);  // not reached when the kill comes while writing
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the save was not killed";
  expectOldSettings(path_);
  // A later run saves over whatever the killed one left.
  IniFile ini(path_);
  bigUpdate(ini);
  ASSERT_TRUE(ini.save()) << ini.errorString().toStdString();
  EXPECT_EQ(IniFile(path_).readInteger("Page", "Row", 0), 3);
}

TEST_F(SettingsFault, UnwritableFolderIsReportedAndTheOldFileStays) {
  ReadOnlyFolder folder(dir_, "locked");
  folder.put("zubira.ini", kOldSettings);
  folder.lock();
  if (!folder.refusesWrites()) GTEST_SKIP() << "this file system ignores permissions";
  const QString path = folder.filePath("zubira.ini");
  {
    NoPermissionOverride plain;
    IniFile ini(path);
    ASSERT_TRUE(ini.readOk());
    bigUpdate(ini);
    EXPECT_FALSE(ini.save());
    EXPECT_FALSE(ini.errorString().isEmpty());
    EXPECT_TRUE(ini.errorString().contains(path)) << ini.errorString().toStdString();
    EXPECT_TRUE(ini.isModified()) << "what was not saved is still to be saved";
  }
  expectOldSettings(path);
  EXPECT_EQ(folder.entries(), QStringList{"zubira.ini"}) << "no temporary file left";
}

TEST_F(SettingsFault, NewFileInAnUnwritableFolderIsReportedAndNothingAppears) {
  ReadOnlyFolder folder(dir_, "locked");
  folder.lock();
  if (!folder.refusesWrites()) GTEST_SKIP() << "this file system ignores permissions";
  NoPermissionOverride plain;
  IniFile ini(folder.filePath("zubira.ini"));
  ini.writeInteger("Page", "Row", 3);
  EXPECT_FALSE(ini.save());
  EXPECT_FALSE(ini.errorString().isEmpty());
  EXPECT_TRUE(folder.entries().isEmpty());
}

TEST_F(SettingsFault, FullDiskIsReportedAndTheOldFileStays) {
  IniFile ini(path_);
  bigUpdate(ini);
  bool saved = true;
  {
    FileSizeLimit full(16 * 1024);
    saved = ini.save();
  }
  EXPECT_FALSE(saved);
  EXPECT_FALSE(ini.errorString().isEmpty());
  expectOldSettings(path_);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"zubira.ini"})
      << "no temporary file left";
  // Room again: the same object saves.
  ASSERT_TRUE(ini.save()) << ini.errorString().toStdString();
  EXPECT_EQ(IniFile(path_).readString("Data", "Payload", "").size(), 512 << 10);
}

TEST_F(SettingsFault, FileThatCannotBeReadIsNotReplaced) {
  ASSERT_TRUE(QFile::setPermissions(path_, QFileDevice::WriteOwner));
  {
    NoPermissionOverride plain;
    QFile probe(path_);
    if (probe.open(QIODevice::ReadOnly)) {
      QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
      GTEST_SKIP() << "this file system ignores permissions";
    }
    IniFile ini(path_);
    EXPECT_FALSE(ini.readOk());
    EXPECT_EQ(ini.readInteger("Page", "Row", 77), 77) << "defaults";
    ini.writeInteger("Page", "Row", 3);
    EXPECT_FALSE(ini.save()) << "saving would throw away every line that could not be read";
    EXPECT_FALSE(ini.errorString().isEmpty());
  }
  ASSERT_TRUE(QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
  expectOldSettings(path_);
}

TEST_F(SettingsFault, FolderInPlaceOfTheFileReadsDefaultsAndStays) {
  ASSERT_TRUE(QFile::remove(path_));
  ASSERT_TRUE(QDir().mkdir(path_));
  IniFile ini(path_);
  EXPECT_FALSE(ini.readOk());
  EXPECT_EQ(ini.readInteger("Page", "Row", 77), 77);
  ini.writeInteger("Page", "Row", 3);
  EXPECT_FALSE(ini.save());
  EXPECT_FALSE(ini.errorString().isEmpty());
  EXPECT_TRUE(QFileInfo(path_).isDir());
}

TEST_F(SettingsFault, OversizedFileReadsDefaultsAndIsNotReplaced) {
  // 100 MB without writing them: a sparse file.
  QFile big(path_);
  ASSERT_TRUE(big.open(QIODevice::ReadWrite | QIODevice::Truncate));
  ASSERT_EQ(big.write("[Page]\nRow=5\n"), 13);
  ASSERT_TRUE(big.resize(100LL * 1024 * 1024));
  big.close();
  IniFile ini(path_);
  EXPECT_FALSE(ini.readOk()) << "no settings file is that large";
  EXPECT_FALSE(ini.errorString().isEmpty());
  EXPECT_EQ(ini.readInteger("Page", "Row", 77), 77);
  ini.writeInteger("Page", "Row", 3);
  EXPECT_FALSE(ini.save());
  EXPECT_EQ(QFileInfo(path_).size(), 100LL * 1024 * 1024) << "the file stays as it is";
}

// Files that are no settings file read as defaults, are never a crash, and take a new key while
// every line of theirs stays.
TEST(SettingsGarbage, ReadsDefaultsAndKeepsEveryLine) {
  QRandomGenerator rng(20240611);
  QByteArray binary;
  for (int i = 0; i < 300000; ++i) binary += char(rng.bounded(256));
  QByteArray nuls(100000, '\0');
  nuls.insert(5000, "\n[Page]\nRow\0=5\n", 15);
  const QByteArray hugeLine = "[Exam]\nTitle=" + QByteArray(900 << 10, 'x') + "\n[Page]\nCol=4\n";
  QByteArray manySections;
  for (int i = 0; i < 50000; ++i) manySections += "[S" + QByteArray::number(i) + "]\nk=v\n";
  QByteArray utf16("\xFF\xFE", 2);
  for (char c : QByteArray("[Page]\r\nRow=5\r\n")) utf16 += QByteArray(1, c) + QByteArray(1, '\0');
  struct Case {
    const char* what;
    QByteArray bytes;
  } cases[] = {
      {"random bytes", binary},
      {"NUL bytes", nuls},
      {"a line of 900 KB", hugeLine},
      {"50000 sections", manySections},
      {"UTF-16", utf16},
      {"lone carriage returns", "[Page\rRow=5\r=\r[\r]\r[]\r"},
      {"brackets and equals only", "[[[]]]\n===\n[=]\n=[\n"},
      {"invalid UTF-8 and CP932", "[Exam]\nTitle=\x82\xA0\x80\xFF\xFE\n"},
      {"empty", ""},
  };
  QTemporaryDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString path = dir.filePath("garbage.ini");
    writeBytes(path, c.bytes);
    IniFile ini(path);
    EXPECT_TRUE(ini.readOk());
    for (const char* key : {"Row", "Top", "Left"}) {
      if (!ini.hasKey("Page", key)) {
        EXPECT_EQ(ini.readInteger("Page", key, 77), 77) << key;
      }
    }
    EXPECT_EQ(ini.readReal("Unit", "UnitType", 0.25), 0.25);
    EXPECT_EQ(ini.readString("ListFile", "Name", "Gazumo.prv"), QStringLiteral("Gazumo.prv"));
    const QString before = ini.text();
    ini.writeInteger("Zubira", "Saved", 1);
    ASSERT_TRUE(ini.save()) << ini.errorString().toStdString();
    const IniFile again(path);
    EXPECT_EQ(again.readInteger("Zubira", "Saved", 0), 1);
    EXPECT_TRUE(again.text().startsWith(before.left(1000))) << "the lines before stay";
  }
}

TEST(SettingsGarbage, RepeatedKeysAndSectionsReadTheFirst) {
  QTemporaryDir dir;
  const QString path = dir.filePath("repeated.ini");
  writeBytes(path, "[Page]\nRow=1\nrow=2\nROW = 3\n[page]\nRow=4\nCol=9\n[PAGE]\nTop=5\n");
  IniFile ini(path);
  EXPECT_EQ(ini.readInteger("Page", "Row", 0), 1);
  EXPECT_EQ(ini.readInteger("Page", "Col", 0), 0) << "keys of a later section of the same name";
  EXPECT_EQ(ini.readInteger("Page", "Top", 0), 0);
  ini.writeInteger("PAGE", "row", 7);
  EXPECT_EQ(ini.text(), QStringLiteral("[Page]\nRow=7\nrow=2\nROW = 3\n[page]\nRow=4\nCol=9\n[PAGE]\nTop=5\n"));
  ASSERT_TRUE(ini.save());
  EXPECT_EQ(IniFile(path).readInteger("Page", "Row", 0), 7);
}

}  // namespace
}  // namespace zubira
