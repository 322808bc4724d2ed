#pragma once
// How the desktop knows the program: its icon on every window, and the desktop entry it was
// started from. A taskbar ties a window to the menu entry by the entry's file name (Wayland's
// application id) or by the X11 window class, which Qt takes from the application name; the
// entry's StartupWMClass names that class.

#include <QIcon>
#include <QString>

namespace zubira {

// The program's icon at every size it is drawn at (16 to 256 pixels).
QIcon programIcon();

// The desktop entry's id, "example.zubira.zubira".
QString desktopEntryId();

// Once the QApplication exists: the window icon and the desktop entry's id.
void applyDesktopIdentity();

}  // namespace zubira
