#include "platform/application.h"

#include "platform/fonts.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <QByteArray>

#include <sys/stat.h>
#include <unistd.h>

namespace zubira {

QString applicationTitle() { return QStringLiteral("Zubira 分数の加減乗除篇"); }

void prepareEnvironment() {
  if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  // Without a session (a service, a root shell, the command-line mode on a build machine) Qt
  // warns on every start that the runtime folder is missing and then uses one of its own; give
  // it that private folder up front so nothing is printed among a command's output.
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const QByteArray dir = "/tmp/runtime-" + QByteArray::number(uint(geteuid()));
    struct stat st {};
    if (::mkdir(dir.constData(), 0700) == 0 ||
        (::lstat(dir.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
         (st.st_mode & 0777) == 0700))
      qputenv("XDG_RUNTIME_DIR", dir);
  }
  // The embedded web view needs shared OpenGL contexts, set before the application exists.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

bool installQtTranslations() {
  static QTranslator* installed = nullptr;
  if (installed) return true;
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"), dir) &&
      !translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), dir)) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  installed = translator;
  return true;
}

QString applicationName() { return QStringLiteral("zubira"); }

void prepareApplication() {
  // The name is the X11 window class the desktop entry's StartupWMClass names; windows, message
  // boxes and print jobs show the title.
  QCoreApplication::setApplicationName(applicationName());
  QGuiApplication::setApplicationDisplayName(applicationTitle());
  installFontSubstitutions();
}

}  // namespace zubira
