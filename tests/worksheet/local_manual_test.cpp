#include "tests/support/scripted_dialogs.h"
#include "tests/worksheet/local_http_server.h"
#include "worksheet/local_manual.h"
#include "worksheet/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::DialogKind;
using testing::ScriptedDialogs;

void writeFile(const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  f.write("<html></html>\n");
}

TEST(LocalManual, LookedForInTheBuildTreeThenInTheDocumentationFolder) {
  EXPECT_EQ(localManualCandidates(QStringLiteral("/opt/zubira/libexec/zubira")),
            QStringList({QStringLiteral("/opt/zubira/libexec/zubira/doc/manual/index.html"),
                         QStringLiteral("/opt/zubira/share/doc/zubira/manual/index.html")}));
}

TEST(LocalManual, OpensTheFirstPageFoundOrSaysWhy) {
  struct Case {
    const char* name;
    const char* installed;  // the file made under the temporary prefix, "" for none
    bool opens;             // the browser's answer
    const char* page;       // the page asked of the browser, "" for none
    bool missing;           // the message that no manual was found
  } cases[] = {
      {"build tree", "libexec/zubira/doc/manual/index.html", true, "libexec/zubira/doc/manual/index.html", false},
      {"installed", "share/doc/zubira/manual/index.html", true, "share/doc/zubira/manual/index.html", false},
      {"not installed", "", false, "", true},
      {"no browser", "share/doc/zubira/manual/index.html", false, "share/doc/zubira/manual/index.html", false},
  };
  for (const Case& c : cases) {
    QTemporaryDir prefix;
    const QString program = prefix.filePath(QStringLiteral("libexec/zubira"));
    QDir().mkpath(program);
    if (*c.installed) writeFile(prefix.filePath(QString::fromUtf8(c.installed)));
    ScriptedDialogs dlg;
    if (*c.page) dlg.answerOpenUrl(c.opens);
    EXPECT_EQ(openLocalManual(nullptr, program), c.opens) << c.name;
    QStringList expected;
    if (*c.page) {
      const QString page = prefix.filePath(QString::fromUtf8(c.page));
      ASSERT_GE(dlg.shown().size(), 1u) << c.name;
      EXPECT_EQ(dlg.shown()[0].kind, DialogKind::OpenUrl) << c.name;
      EXPECT_EQ(QUrl(dlg.shown()[0].text), QUrl::fromLocalFile(QDir::cleanPath(page))) << c.name;
      if (!c.opens) expected << manualNotOpenedMessage(QDir::cleanPath(page));
    }
    if (c.missing) expected << manualMissingMessage(localManualCandidates(program));
    EXPECT_EQ(dlg.messages(), expected) << c.name;
  }
}

// Takes the file addresses the desktop would open in the browser.
class FileUrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls << url; }
};

TEST(LocalManual, OpensThroughTheDesktopsServicesAsAFileAddress) {
  QTemporaryDir prefix;
  writeFile(prefix.filePath(QStringLiteral("share/doc/zubira/manual/index.html")));
  FileUrlCatcher catcher;
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
  installDialogs(nullptr);  // Qt's own: QDesktopServices
  const bool opened = openLocalManual(nullptr, prefix.filePath(QStringLiteral("libexec/zubira")));
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
  EXPECT_TRUE(opened);
  ASSERT_EQ(catcher.urls.size(), 1);
  EXPECT_TRUE(catcher.urls[0].isLocalFile());
  EXPECT_EQ(catcher.urls[0].toLocalFile(), QDir::cleanPath(prefix.filePath(QStringLiteral("share/doc/zubira/manual/index.html"))));
}

TEST(LocalManual, TheHelpMenuOpensItWithF1) {
  qputenv("ZUBIRA_SITE_URL", testing::LocalHttpServer::refusedBase().toString().toUtf8());
  QTemporaryDir dir;
  ScriptedDialogs dlg;
  TForm1 w(dir.filePath(QStringLiteral("zubira.ini")));
  w.show();
  QApplication::processEvents();
  auto* help = w.findChild<QMenu*>(QStringLiteral("Help1"));
  ASSERT_NE(help, nullptr);
  QStringList items;
  for (QAction* a : help->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
  EXPECT_EQ(items, QStringList({"HelpLocal", "Help2", "-", "A1"}));
  EXPECT_EQ(w.HelpLocal->text(), QStringLiteral("使い方(&U)"));
  EXPECT_EQ(w.HelpLocal->shortcut(), QKeySequence(Qt::Key_F1));

  // The test program's folder has no manual beside it: the item says where it looked.
  w.HelpLocal->trigger();
  EXPECT_EQ(dlg.messages(), QStringList{manualMissingMessage(localManualCandidates(QCoreApplication::applicationDirPath()))});
  qunsetenv("ZUBIRA_SITE_URL");
}

}  // namespace
}  // namespace zubira

#include "local_manual_test.moc"
