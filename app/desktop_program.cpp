#include "app/app.h"
#include "app/zubira_app.h"
#include "platform/application.h"

#include <QApplication>

namespace zubira {

int runDesktopProgram(int argc, char** argv) {
  prepareEnvironment();
  QApplication app(argc, argv);
  prepareApplication();
  installQtTranslations();
  ZubiraApp program;
  return program.run();
}

}  // namespace zubira
