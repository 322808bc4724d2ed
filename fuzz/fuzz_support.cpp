#include "fuzz/fuzz_support.h"

#include "platform/application.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace zubira::fuzz {

namespace {

// Every message is kept for the target to look at; questions are answered No, every other
// dialog is cancelled, so a rendering never waits.
class SilentDialogs final : public Dialogs {
 public:
  QStringList messages;

  void message(QWidget*, const QString&, const QString& text, MessageIcon) override {
    messages << text;
  }
  bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
  Answer askYesNoCancel(QWidget*, const QString&, const QString&) override { return Answer::Cancel; }
  std::optional<QString> inputText(QWidget*, const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> saveFileName(QWidget*, const SaveFileRequest&) override { return std::nullopt; }
  std::optional<QString> openFileName(QWidget*, const OpenFileRequest&) override { return std::nullopt; }
  std::optional<FontChoice> chooseFont(QWidget*, const FontChoice&) override { return std::nullopt; }
  std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return std::nullopt; }
  bool printDialog(QWidget*, QPrinter*) override { return false; }
  bool openUrl(const QUrl&) override { return false; }
};

SilentDialogs& silentDialogs() {
  static SilentDialogs* d = new SilentDialogs;  // lives until the process ends
  return *d;
}

}  // namespace

void initDialogs() {
  static bool done = false;
  if (done) return;
  done = true;
  installDialogs(&silentDialogs());
}

void initQt() {
  static bool done = false;
  if (done) return;
  done = true;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  prepareEnvironment();
  static int argc = 1;
  static char name[] = "zubira_fuzz";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);  // lives until the process ends
  prepareApplication();
  initDialogs();
}

QStringList takeMessages() {
  QStringList out;
  out.swap(silentDialogs().messages);
  return out;
}

const QString& scratchDir() {
  // Removed when the process ends normally; a crashed run leaves it for a look.
  static const std::unique_ptr<QTemporaryDir> dir = [] {
    const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                             ? QStringLiteral("/dev/shm/zubira-fuzz-XXXXXX")
                             : QDir::tempPath() + QStringLiteral("/zubira-fuzz-XXXXXX");
    auto made = std::make_unique<QTemporaryDir>(base);
    if (!made->isValid()) fail("no scratch folder");
    return made;
  }();
  static const QString path = dir->path();
  return path;
}

void clearScratchDir() {
  QDir dir(scratchDir());
  const QFileInfoList entries =
      dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QFileInfo& e : entries) {
    if (e.isDir() && !e.isSymLink()) {
      QDir(e.filePath()).removeRecursively();
    } else {
      QFile::remove(e.filePath());
    }
  }
}

InScratchDir::InScratchDir() : previous_(QDir::currentPath()) {
  if (!QDir::setCurrent(scratchDir())) fail("cannot enter the scratch folder");
}

InScratchDir::~InScratchDir() { QDir::setCurrent(previous_); }

void writeScratchFile(const QString& name, const QByteArray& bytes) {
  QFile f(QDir(scratchDir()).filePath(name));
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
    fail("cannot write a scratch file", name);
}

std::vector<QByteArray> splitPieces(const uint8_t* data, size_t size, int maxPieces) {
  std::vector<QByteArray> pieces;
  const char* p = reinterpret_cast<const char*>(data);
  size_t start = 0;
  for (size_t i = 0; i < size && int(pieces.size()) + 1 < maxPieces; ++i) {
    if (p[i] != kPieceSeparator) continue;
    pieces.emplace_back(p + start, qsizetype(i - start));
    start = i + 1;
  }
  pieces.emplace_back(p + start, qsizetype(size - start));
  return pieces;
}

void fail(const char* what, const QString& detail) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  if (!detail.isEmpty()) std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
  std::abort();
}

}  // namespace zubira::fuzz
