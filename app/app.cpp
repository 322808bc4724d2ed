#include "app/app.h"

#include "app/command_line.h"
#include "app/no_display.h"
#include "platform/application.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <unistd.h>

namespace zubira {

int runCommandLineProgram(int argc, char** argv) {
  // Qt deflates every PDF page through two 16 MB buffers and a zlib state of about 270 KB. By
  // default glibc maps such blocks afresh for each page and returns them when freed (two mmap and
  // munmap calls and a page fault per 4 KB touched, page after page), and trims the heap after the
  // smaller ones; a batch of sheets spent a fifth of its time there. Served from the heap and kept
  // there, the same blocks are reused for every page. Only the bytes written are ever touched, so
  // the run's resident memory hardly moves.
  ::mallopt(M_MMAP_THRESHOLD, 32 << 20);  // glibc's largest
  ::mallopt(M_TRIM_THRESHOLD, 64 << 20);
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  prepareEnvironment();
  // The command-line mode draws without a display, and without the widgets' styles.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  prepareApplication();
  return runCommandLine(args);
}

int startDesktopProgram(char** argv) {
  if (reportMissingDisplay()) return 1;
  // This program's own file, whatever name or link it was started by.
  const QString dir = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
  const QString candidates[] = {dir + QStringLiteral("/zubira-desktop"),
                                dir + QStringLiteral("/../libexec/zubira/zubira-desktop")};
  for (const QString& path : candidates) {
    if (!QFileInfo(path).isExecutable()) continue;
    const QByteArray file = QFile::encodeName(path);
    char* const args[] = {const_cast<char*>(file.constData()), nullptr};
    ::execv(file.constData(), args);
    std::fprintf(stderr, "zubira: cannot start %s: %s\n", file.constData(), std::strerror(errno));
    return 1;
  }
  std::fprintf(stderr, "zubira: the desktop program zubira-desktop is not installed beside %s\n",
               argv && argv[0] ? argv[0] : "zubira");
  return 1;
}

}  // namespace zubira
