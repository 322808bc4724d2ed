#include "platform/dialogs.h"

#include "platform/application.h"
#include "platform/qt_dialogs.h"

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

QString messageCaption() { return applicationTitle(); }

}  // namespace zubira
