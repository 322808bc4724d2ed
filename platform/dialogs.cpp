#include "platform/dialogs.h"

#include "platform/qt_dialogs.h"

#include <QCoreApplication>

namespace zubira {

Dialogs::~Dialogs() = default;

namespace {
Dialogs* installed = nullptr;
}

Dialogs& dialogs() {
  if (installed) return *installed;
  static QtDialogs qtDialogs;
  return qtDialogs;
}

void installDialogs(Dialogs* d) { installed = d; }

QString messageCaption() { return QCoreApplication::applicationName(); }

}  // namespace zubira
