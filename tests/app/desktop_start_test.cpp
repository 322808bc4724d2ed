#include "app/desktop_identity.h"
#include "app/no_display.h"
#include "worksheet/about_box.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace zubira {
namespace {

struct Outcome {
  int exitCode = -1;
  QString err;
};

// Runs `program` with `args` in the test's environment less the display variables, plus `set`.
Outcome runWithout(const QString& program, const QStringList& args, const QStringList& set = {}) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QLatin1String(name));
  for (const QString& pair : set) env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
  env.insert(QStringLiteral("ZUBIRA_SITE_URL"), QStringLiteral("http://127.0.0.1:9/"));
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(program, args);
  Outcome r;
  if (!p.waitForFinished(60000)) {
    p.kill();
    p.waitForFinished();
    return r;
  }
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

TEST(NoDisplay, TheDesktopProgramSaysSoAndNamesTheCommandLine) {
  struct Case {
    const char* name;
    const char* program;
    QStringList set;
    const char* why;  // the reason in the message
  } cases[] = {
      {"zubira", ZUBIRA_BINARY, {}, "neither DISPLAY nor WAYLAND_DISPLAY is set"},
      {"zubira-desktop", ZUBIRA_DESKTOP_BINARY, {}, "neither DISPLAY nor WAYLAND_DISPLAY is set"},
      // A display named but with no server behind it: Qt's platform fails to start.
      {"zubira on a dead display", ZUBIRA_BINARY, {QStringLiteral("DISPLAY=:4711")}, "the display cannot be reached"},
  };
  for (const Case& c : cases) {
    const Outcome r = runWithout(QString::fromUtf8(c.program), {}, c.set);
    EXPECT_EQ(r.exitCode, 1) << c.name << "\n" << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("ウィンドウを開けません"))) << c.name;
    EXPECT_TRUE(r.err.contains(QStringLiteral("cannot open the window: ") + QLatin1String(c.why))) << c.name;
    EXPECT_EQ(r.err.count(QStringLiteral("zubira make|sheet|draw")), 2) << c.name << ": both languages";
    EXPECT_EQ(r.err.count(QStringLiteral("zubira --help")), 2) << c.name;
    EXPECT_FALSE(r.err.contains(QStringLiteral("Reinstalling the application"))) << c.name << ": not Qt's words";
  }
}

TEST(NoDisplay, TheCommandLineModeNeedsNone) {
  EXPECT_TRUE(noDisplayMessage(QStringLiteral("a"), QStringLiteral("b")).contains(QStringLiteral("cannot open the window: b.")));
  const Outcome r = runWithout(QStringLiteral(ZUBIRA_BINARY), {"make", "--rows", "2", "--cols", "1", "--seed", "1"});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.err, QString());
}

// The desktop entry's StartupWMClass, as the source holds it.
QString startupWmClass() {
  QFile f(QStringLiteral(ZUBIRA_SOURCE_DIR "/dist/example.zubira.zubira.desktop"));
  if (!f.open(QIODevice::ReadOnly)) return {};
  const auto m = QRegularExpression(QStringLiteral("^StartupWMClass=(.*)$"), QRegularExpression::MultilineOption)
                     .match(QString::fromUtf8(f.readAll()));
  return m.hasMatch() ? m.captured(1) : QString();
}

TEST(DesktopIdentity, IconDesktopEntryAndWindowClass) {
  applyDesktopIdentity();
  QList<int> sizes;
  for (const QSize& s : QApplication::windowIcon().availableSizes()) sizes << s.width();
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, QList<int>({16, 32, 48, 64, 128, 256}));
  for (int size : sizes) {
    const QImage image = QApplication::windowIcon().pixmap(size, size).toImage();
    EXPECT_EQ(image.size(), QSize(size, size));
    EXPECT_NE(image.pixelColor(size / 2, size / 2).alpha(), 0) << size << ": the sheet is drawn in the middle";
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << size << ": the corner is transparent";
  }
  EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("example.zubira.zubira"));
  EXPECT_EQ(QGuiApplication::desktopFileName(), desktopEntryId());
  // Qt's X11 window class is the application name.
  EXPECT_FALSE(startupWmClass().isEmpty());
  EXPECT_EQ(QCoreApplication::applicationName(), startupWmClass());

  TAboutBox box;
  auto* icon = box.findChild<QLabel*>(QStringLiteral("ProgramIcon"));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->pixmap().toImage(), programIcon().pixmap(32, 32).toImage()) << "the about box shows the program's icon";
}

}  // namespace
}  // namespace zubira
