#include "app/desktop_identity.h"

#include <QGuiApplication>

namespace zubira {

QIcon programIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
  return icon;
}

QString desktopEntryId() { return QStringLiteral(ZUBIRA_APP_ID); }

void applyDesktopIdentity() {
  QGuiApplication::setWindowIcon(programIcon());
  QGuiApplication::setDesktopFileName(desktopEntryId());
}

}  // namespace zubira
