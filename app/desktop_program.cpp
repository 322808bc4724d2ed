#include "app/app.h"
#include "app/desktop_identity.h"
#include "app/no_display.h"
#include "app/zubira_app.h"
#include "platform/application.h"

#include <QApplication>

#include <optional>

namespace zubira {

int runDesktopProgram(int argc, char** argv) {
  if (reportMissingDisplay()) return 1;
  prepareEnvironment();
  std::optional<PlatformFailureGuard> guard(std::in_place);
  QApplication app(argc, argv);
  guard.reset();
  prepareApplication();
  applyDesktopIdentity();
  installQtTranslations();
  ZubiraApp program;
  return program.run();
}

}  // namespace zubira
