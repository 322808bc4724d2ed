#pragma once
// Replacing a file whole or not at all.

#include <QByteArray>
#include <QString>

namespace zubira {

// Writes `data` as the new content of `path` through a temporary file that takes the old file's
// place only once every byte is written. On any failure (no such folder, no permission, a full
// disk) the old file stays as it was, no temporary file is left, `error` says why and the result
// is false.
//
// The temporary file is written unbuffered: buffered, a write cut short by a full disk shows only
// when the buffer is flushed on committing, and the short file would then replace the old one.
bool saveWholeFile(const QString& path, const QByteArray& data, QString* error = nullptr);

}  // namespace zubira
