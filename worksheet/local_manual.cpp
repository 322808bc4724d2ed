#include "worksheet/local_manual.h"

#include "platform/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace zubira {

QStringList localManualCandidates(const QString& programDir) {
  const QDir dir(programDir);
  return {dir.filePath(QStringLiteral("doc/manual/index.html")),
          QDir::cleanPath(dir.filePath(QStringLiteral(ZUBIRA_MANUAL_FROM_PROGRAM "/index.html")))};
}

QString localManualIndex(const QString& programDir) {
  for (const QString& path : localManualCandidates(programDir))
    if (QFileInfo(path).isFile()) return path;
  return {};
}

QString manualMissingMessage(const QStringList& candidates) {
  return QStringLiteral("使い方のページが見つかりません。次の場所を探しました:\n") + candidates.join(u'\n');
}

QString manualNotOpenedMessage(const QString& path) {
  return QStringLiteral("使い方のページをブラウザで開けませんでした。次のファイルを直接開いてください:\n") + path;
}

bool openLocalManual(QWidget* parent, const QString& programDir) {
  const QString index = localManualIndex(programDir);
  if (index.isEmpty()) {
    dialogs().message(parent, QString(), manualMissingMessage(localManualCandidates(programDir)),
                      MessageIcon::Warning);
    return false;
  }
  if (dialogs().openUrl(QUrl::fromLocalFile(index))) return true;
  dialogs().message(parent, QString(), manualNotOpenedMessage(index), MessageIcon::Error);
  return false;
}

}  // namespace zubira
