#include "app/app.h"

#include "app/command_line.h"
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
  // Every PDF page stream is deflated with a fresh zlib state of about 270 KB. By default glibc
  // hands such blocks back to the kernel when they are freed and takes new zeroed pages for the
  // next page, a page fault per 4 KB; a batch of sheets spent a fifth of its time there. Keep
  // blocks up to 4 MB on the heap and let up to 16 MB of free heap stay mapped; the run's peak
  // memory hardly moves, since the same blocks are reused page after page.
  ::mallopt(M_MMAP_THRESHOLD, 4 << 20);
  ::mallopt(M_TRIM_THRESHOLD, 16 << 20);
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
