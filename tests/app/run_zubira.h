#pragma once
// Runs the built program in its command-line mode and collects what it printed.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace zubira::testing {

struct ProcessResult {
  int exitCode = -1;
  QString out;
  QString err;
};

inline ProcessResult runZubira(const QStringList& args, int timeoutMs = 60000,
                               QProcessEnvironment env = QProcessEnvironment::systemEnvironment()) {
  QProcess p;
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(ZUBIRA_BINARY), args);
  ProcessResult r;
  if (!p.waitForFinished(timeoutMs)) {
    p.kill();
    p.waitForFinished();
    return r;
  }
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

}  // namespace zubira::testing
