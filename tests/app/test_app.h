#pragma once

#include "app/zubira_app.h"
#include "drawing/printer_access.h"

#include <QSize>
#include <QString>
#include <memory>

namespace zubira::testing {

// The program as the window tests start it: its settings in `settingsPath`, an A4 printer of fixed
// metrics at 600 dpi (none: the system's default printer), a 96 dpi screen and draws from `random`.
inline ZubiraApp::Options TestAppOptions(const QString& settingsPath, RandomSource* random,
                                         bool fixedPrinter = true) {
  ZubiraApp::Options o;
  o.settingsPath = settingsPath;
  if (fixedPrinter) o.printer = std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016));
  o.screenDpi = 96;
  o.random = random;
  return o;
}

}  // namespace zubira::testing
