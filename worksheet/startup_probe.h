#pragma once
// The start-up probe: one HTTP GET of the site's probe file, waited for on the GUI thread with a
// time-out, telling whether the promotion page can be shown. The body is not looked at.

#include <QString>
#include <QUrl>

namespace zubira {

// Long enough for a slow line, short enough that an unreachable site does not hold up start-up.
constexpr int kProbeTimeoutMs = 3000;

struct ProbeResult {
  bool reachable = false;
  QString error;  // why not, for diagnostics
};

ProbeResult runStartupProbe(const QUrl& url, int timeoutMs = kProbeTimeoutMs);

}  // namespace zubira
