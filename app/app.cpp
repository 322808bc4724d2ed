#include "app/app.h"

#include "app/command_line.h"
#include "app/zubira_app.h"
#include "platform/application.h"

#include <QApplication>

namespace zubira {

int runZubira(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);

  prepareEnvironment();
  if (isCommandLine(args)) {
    // The command-line mode draws without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareApplication();
    return runCommandLine(args);
  }

  QApplication app(argc, argv);
  prepareApplication();
  installQtTranslations();
  ZubiraApp program;
  return program.run();
}

}  // namespace zubira
