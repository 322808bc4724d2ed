#include "app/no_display.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace zubira {

namespace {

void printMessage(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
  std::fflush(stderr);
}

QtMessageHandler previousHandler = nullptr;

void platformFailureHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  // Qt's words when no platform plugin could start, whichever plugin was tried.
  if (type == QtFatalMsg && message.contains(QLatin1String("Qt platform plugin"))) {
    printMessage(noDisplayMessage(QStringLiteral("画面に接続できません"),
                                  QStringLiteral("the display cannot be reached")));
    std::_Exit(1);
  }
  if (previousHandler) previousHandler(type, context, message);
}

}  // namespace

bool noDisplayNamed() {
  return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
         qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

QString noDisplayMessage(const QString& whyJa, const QString& whyEn) {
  return QStringLiteral(
             "zubira: ウィンドウを開けません。%1。\n"
             "  画面がなくても、コマンドラインモードで問題と用紙を作れます: zubira make|sheet|draw ...\n"
             "  （使い方は zubira --help）\n"
             "zubira: cannot open the window: %2.\n"
             "  The command-line mode works without a display: zubira make|sheet|draw ...\n"
             "  (see zubira --help)\n")
      .arg(whyJa, whyEn);
}

bool reportMissingDisplay() {
  if (!noDisplayNamed()) return false;
  printMessage(noDisplayMessage(QStringLiteral("DISPLAY も WAYLAND_DISPLAY も設定されていません"),
                                QStringLiteral("neither DISPLAY nor WAYLAND_DISPLAY is set")));
  return true;
}

PlatformFailureGuard::PlatformFailureGuard() {
  previous_ = qInstallMessageHandler(platformFailureHandler);
  previousHandler = previous_;
}

PlatformFailureGuard::~PlatformFailureGuard() {
  qInstallMessageHandler(previous_);
  previousHandler = nullptr;
}

}  // namespace zubira
