#include "platform/save_file.h"

namespace zubira {

namespace {

// A write cut short sets no error of its own.
QString shortWriteText(qint64 written, qint64 size, const QFileDevice& file) {
  return written >= 0 || file.error() == QFileDevice::NoError
             ? QStringLiteral("only %1 of %2 bytes could be written (is the disk full?)")
                   .arg(qMax<qint64>(written, 0))
                   .arg(size)
             : file.errorString();
}

constexpr qsizetype kBlock = 256 * 1024;

}  // namespace

bool saveWholeFile(const QString& path, const QByteArray& data, QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    if (error) *error = file.errorString();
    return false;
  }
  const qint64 written = file.write(data);
  if (written != data.size()) {
    const QString why = shortWriteText(written, data.size(), file);
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

WholeFileWriter::WholeFileWriter(const QString& path) : file_(path) {}

WholeFileWriter::~WholeFileWriter() { cancel(); }

bool WholeFileWriter::open(OpenMode mode) {
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    fail(Fault::CannotCreate, file_.errorString());
    return false;
  }
  return QIODevice::open(mode | QIODevice::Unbuffered);
}

qint64 WholeFileWriter::writeData(const char* data, qint64 size) {
  if (fault_ != Fault::None) return -1;
  pending_.append(data, size);
  if (pending_.size() >= kBlock && !flushPending()) return -1;
  return size;
}

bool WholeFileWriter::flushPending() {
  if (fault_ != Fault::None) return false;
  if (pending_.isEmpty()) return true;
  const qint64 written = file_.write(pending_);
  if (written != pending_.size()) {
    fail(Fault::CannotWrite, shortWriteText(written, pending_.size(), file_));
    return false;
  }
  pending_.clear();
  return true;
}

bool WholeFileWriter::commit() {
  if (!isOpen()) return false;
  const bool flushed = flushPending();
  QIODevice::close();
  if (!flushed) {
    discard();
    return false;
  }
  if (!file_.commit()) {
    fail(Fault::CannotWrite, file_.errorString());
    return false;
  }
  return true;
}

void WholeFileWriter::cancel() {
  pending_.clear();
  if (isOpen()) QIODevice::close();
  discard();
}

void WholeFileWriter::discard() {
  if (!file_.isOpen()) return;
  // A commit after cancelling removes the temporary file at once and keeps the old one.
  file_.cancelWriting();
  file_.commit();
}

void WholeFileWriter::fail(Fault fault, const QString& why) {
  if (fault_ != Fault::None) return;
  fault_ = fault;
  errorText_ = why;
}

}  // namespace zubira
