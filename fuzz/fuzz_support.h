#pragma once
// What the fuzz targets share: a Qt application on the offscreen platform, dialogs that answer
// nothing and show nothing, a scratch folder that is the current directory, splitting an input
// into the pieces of a small file system, and a check that ends the run loudly.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zubira::fuzz {

// Creates the QGuiApplication (offscreen, with the program's font substitutions) and installs
// the silent dialogs. Call from LLVMFuzzerInitialize; later calls do nothing.
void initQt();

// Installs the silent dialogs only (targets that need no QGuiApplication).
void initDialogs();

// Messages that went through the dialogs since the last call, then forgets them.
QStringList takeMessages();

// A folder that lives as long as the process; on /dev/shm when there is one, so that writing
// the pieces costs no disk.
const QString& scratchDir();

// Empties the scratch folder (files and folders alike).
void clearScratchDir();

// Makes the scratch folder the current directory while it lives (relative names in list files
// resolve against the current directory), then goes back, so that libFuzzer's own relative
// paths keep working between runs.
class InScratchDir {
 public:
  InScratchDir();
  ~InScratchDir();
  InScratchDir(const InScratchDir&) = delete;
  InScratchDir& operator=(const InScratchDir&) = delete;

 private:
  QString previous_;
};

// Writes `bytes` to `name` in the scratch folder.
void writeScratchFile(const QString& name, const QByteArray& bytes);

// Splits `data` at every separator byte (0x1E, the record separator) into at most `maxPieces`
// pieces; the last piece keeps any further separators.
std::vector<QByteArray> splitPieces(const uint8_t* data, size_t size, int maxPieces);

constexpr char kPieceSeparator = '\x1E';

// A broken invariant: prints `what` and aborts, so that libFuzzer keeps the input.
[[noreturn]] void fail(const char* what, const QString& detail = QString());

inline void check(bool ok, const char* what, const QString& detail = QString()) {
  if (!ok) fail(what, detail);
}

}  // namespace zubira::fuzz
