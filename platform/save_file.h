#pragma once
// Replacing a file whole or not at all.

#include <QByteArray>
#include <QIODevice>
#include <QSaveFile>
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

// The same for content written piece by piece, by a writer that takes a QIODevice (a PDF writer):
// open(), write as often as needed, then commit() to put the file in place, or cancel() (or
// destroy the object) to leave everything as it was. Pieces are gathered in memory and written
// in blocks whose every byte is checked, so a full disk is known before the file takes its place.
class WholeFileWriter : public QIODevice {
 public:
  // What went wrong, for a message that tells the user what to do.
  enum class Fault {
    None,
    CannotCreate,  // the file could not be made: no such folder, no permission to write there
    CannotWrite,   // writing failed midway: the disk is full
  };

  explicit WholeFileWriter(const QString& path);
  ~WholeFileWriter() override;

  // Opens the temporary file for writing; false with fault() and errorText() when it cannot.
  bool open(OpenMode mode = WriteOnly) override;
  // Writes what is left and puts the file in place; false, with nothing changed, on any failure.
  bool commit();
  // Drops what was written; the old file stays.
  void cancel();

  Fault fault() const { return fault_; }
  // Why it failed, in the system's words.
  QString errorText() const { return errorText_; }
  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override;

 private:
  bool flushPending();
  void discard();
  void fail(Fault fault, const QString& why);

  QSaveFile file_;
  QByteArray pending_;
  Fault fault_ = Fault::None;
  QString errorText_;
};

}  // namespace zubira
