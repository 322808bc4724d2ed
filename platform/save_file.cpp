#include "platform/save_file.h"

#include <QSaveFile>

namespace zubira {

bool saveWholeFile(const QString& path, const QByteArray& data, QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    if (error) *error = file.errorString();
    return false;
  }
  const qint64 written = file.write(data);
  if (written != data.size()) {
    // A write cut short sets no error of its own.
    const QString why = written >= 0 || file.error() == QFileDevice::NoError
                            ? QStringLiteral("only %1 of %2 bytes could be written (is the disk full?)")
                                  .arg(qMax<qint64>(written, 0))
                                  .arg(data.size())
                            : file.errorString();
    file.cancelWriting();
    if (error) *error = why;
    return false;
  }
  if (!file.commit()) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

}  // namespace zubira
