#include "platform/application.h"

#include "platform/fonts.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <unistd.h>

namespace zubira {

QString applicationTitle() { return QStringLiteral("Zubira 分数の加減乗除篇"); }

void prepareEnvironment() {
  if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  // The embedded web view needs shared OpenGL contexts, set before the application exists.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void prepareApplication() {
  QCoreApplication::setApplicationName(applicationTitle());
  QGuiApplication::setApplicationDisplayName(applicationTitle());
  installFontSubstitutions();
}

}  // namespace zubira
