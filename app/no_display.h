#pragma once
// The desktop program needs a display. Without one, `zubira` and `zubira-desktop` say so in
// Japanese and English, point at the command-line mode, which needs none, and exit with 1,
// instead of the Qt platform's generic message and an abort.

#include <QString>
#include <QtGlobal>

namespace zubira {

// True when the environment names no display and no Qt platform: DISPLAY, WAYLAND_DISPLAY and
// QT_QPA_PLATFORM are all unset or empty.
bool noDisplayNamed();

// The message, with why there is no display in both languages.
QString noDisplayMessage(const QString& whyJa, const QString& whyEn);

// When noDisplayNamed(): prints the message on stderr and returns true.
bool reportMissingDisplay();

// Until the returned guard ends, Qt's fatal message that no platform could be started (a display
// named but not reachable) prints the message instead and ends the process with exit code 1.
class PlatformFailureGuard {
 public:
  PlatformFailureGuard();
  ~PlatformFailureGuard();
  PlatformFailureGuard(const PlatformFailureGuard&) = delete;
  PlatformFailureGuard& operator=(const PlatformFailureGuard&) = delete;

 private:
  QtMessageHandler previous_;
};

}  // namespace zubira
