// Where the settings file lives: beside a program run from its build tree, in the user's
// configuration folder for an installed one.
#include "platform/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

#include <vector>

namespace zubira {
namespace {

// "@" in a path of the table stands for desktopEntryFileName().
struct SettingsPathCase {
  const char* name;
  const char* executable;           // relative to the temporary folder
  std::vector<const char*> files;   // made before the call (empty files)
  std::vector<const char*> folders; // made before the call
  bool withConfigFolder;
  const char* expected;  // "TMP/..." beside the executable, "CONFIG/..." in the configuration folder
};

const SettingsPathCase kCases[] = {
    {"build tree", "build/zubira", {"build/zubira"}, {}, true, "TMP/build/zubira.ini"},
    {"build tree, another program name", "build/tests/platform_tests", {"build/tests/platform_tests"}, {}, true,
     "TMP/build/tests/platform_tests.ini"},
    {"installed under /usr", "usr/bin/zubira", {"usr/bin/zubira", "usr/share/applications/@"}, {}, true,
     "CONFIG/zubira/zubira.ini"},
    {"installed under /usr/local", "usr/local/bin/zubira",
     {"usr/local/bin/zubira", "usr/local/share/applications/@"}, {}, true, "CONFIG/zubira/zubira.ini"},
    {"bin without the desktop entry", "opt/bin/zubira", {"opt/bin/zubira"}, {"opt/share/applications"}, true,
     "TMP/opt/bin/zubira.ini"},
    {"another program's desktop entry", "usr/bin/zubira",
     {"usr/bin/zubira", "usr/share/applications/other.desktop"}, {}, true, "TMP/usr/bin/zubira.ini"},
    {"desktop entry beside a folder that is not bin", "opt/libexec/zubira",
     {"opt/libexec/zubira", "opt/share/applications/@"}, {}, true, "TMP/opt/libexec/zubira.ini"},
    {"desktop entry one level too high", "usr/lib/bin/zubira",
     {"usr/lib/bin/zubira", "usr/share/applications/@"}, {}, true, "TMP/usr/lib/bin/zubira.ini"},
    {"a folder named as the desktop entry", "usr/bin/zubira", {"usr/bin/zubira"},
     {"usr/share/applications/@"}, true, "TMP/usr/bin/zubira.ini"},
    {"folder that cannot be written", "missing/zubira", {}, {}, true, "CONFIG/zubira/zubira.ini"},
    {"installed, no configuration folder", "usr/bin/zubira", {"usr/bin/zubira", "usr/share/applications/@"}, {},
     false, "TMP/usr/bin/zubira.ini"},
    {"folder that cannot be written, no configuration folder", "missing/zubira", {}, {}, false,
     "TMP/missing/zubira.ini"},
};

QString configFolderIn(const QString& root) { return root + QStringLiteral("/home/.config"); }

// A path of the table with its "@" filled in, and a leading "TMP" or "CONFIG" made absolute.
QString expand(const char* text, const QString& root) {
  QString s = QString::fromUtf8(text);
  s.replace(u'@', desktopEntryFileName());
  if (s.startsWith(QLatin1String("TMP/"))) return root + s.mid(3);
  if (s.startsWith(QLatin1String("CONFIG/"))) return configFolderIn(root) + s.mid(6);
  return s;
}

TEST(SettingsPathTest, InstalledProgramsUseTheConfigurationFolder) {
  for (const SettingsPathCase& c : kCases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path();
    for (const char* f : c.folders) ASSERT_TRUE(QDir().mkpath(root + u'/' + expand(f, root)));
    for (const char* f : c.files) {
      const QString path = root + u'/' + expand(f, root);
      ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
      QFile file(path);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString config = c.withConfigFolder ? configFolderIn(root) : QString();
    EXPECT_EQ(settingsPathFor(root + u'/' + QString::fromUtf8(c.executable), config), expand(c.expected, root));
  }
}

// The desktop program keeps the settings of the `zubira` that starts it.
TEST(SettingsPathTest, TheDesktopProgramBelongsToTheZubiraThatStartsIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"/w/build/zubira-desktop", "/w/build/zubira"},
      {"/usr/libexec/zubira/zubira-desktop", "/usr/bin/zubira"},
      {"/usr/local/libexec/zubira/zubira-desktop", "/usr/local/bin/zubira"},
      {"/opt/zubira/zubira-desktop", "/opt/zubira/zubira"},
      {"/usr/bin/zubira", "/usr/bin/zubira"},
      {"/w/build/tests/app/app_tests", "/w/build/tests/app/app_tests"},
  };
  for (const auto& [exe, program] : cases) EXPECT_EQ(programPathFor(QString::fromUtf8(exe)), QString::fromUtf8(program)) << exe;
}

// Root may write into any folder, so only other users can see this rule at work.
TEST(SettingsPathTest, ReadOnlyBuildFolderUsesTheConfigurationFolder) {
  if (geteuid() == 0) GTEST_SKIP() << "root can write into a read-only folder";
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString bin = dir.filePath(QStringLiteral("build"));
  ASSERT_TRUE(QDir().mkpath(bin));
  ASSERT_TRUE(QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  EXPECT_EQ(settingsPathFor(bin + QStringLiteral("/zubira"), dir.filePath(QStringLiteral("cfg"))),
            dir.filePath(QStringLiteral("cfg/zubira/zubira.ini")));
  QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(SettingsPathTest, EnvironmentWinsOverTheInstalledRule) {
  const QByteArray saved = qgetenv("ZUBIRA_SETTINGS");
  qputenv("ZUBIRA_SETTINGS", "/somewhere/else.ini");
  EXPECT_EQ(defaultSettingsPath(), QStringLiteral("/somewhere/else.ini"));
  if (saved.isNull())
    qunsetenv("ZUBIRA_SETTINGS");
  else
    qputenv("ZUBIRA_SETTINGS", saved);
}

}  // namespace
}  // namespace zubira
