#include "app/command_line.h"

#include "app/cli_presets.h"
#include "app/cli_support.h"
#include "app/cmd_draw.h"
#include "app/cmd_make.h"
#include "app/cmd_sheet.h"

#include "platform/application.h"

#include <QTextStream>

#include <cstdio>

namespace zubira {

namespace {

QString usage() {
  return QStringLiteral(
      "Usage: zubira [COMMAND] [OPTIONS]\n"
      "\n"
      "Without a command, starts the desktop program.\n"
      "\n"
      "Commands:\n"
      "  make           print problems and answers (zubira make --help for its options)\n"
      "  sheet          write problem and answer sheets (zubira sheet --help)\n"
      "  draw           render a list file (zubira draw --help)\n"
      "  presets        list the presets --preset and --mix take (zubira presets --help)\n"
      "  --help, -h     show this text\n"
      "  --version      show the program's version\n"
      "\n"
      "An option's value follows it as the next word or after \"=\" (--kind mul, --kind=mul);\n"
      "\"--\" ends the options.\n"
      "\n") + makeUsage() + u'\n' + sheetUsage() + u'\n' + drawUsage() + u'\n' + presetsUsage();
}

void print(FILE* stream, const QString& text) {
  QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

}  // namespace

bool isCommandLine(const QStringList& args) { return !args.isEmpty(); }

int runCommandLine(const QStringList& args) {
  const QString& command = args.constFirst();
  if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
      command == QLatin1String("help")) {
    print(stdout, usage());
    return 0;
  }
  // Nothing may wait for a user here: message boxes become lines on stderr.
  static ConsoleDialogs console;
  installDialogs(&console);
  if (command == QLatin1String("make")) return runMakeCommand(args.mid(1));
  if (command == QLatin1String("sheet")) return runSheetCommand(args.mid(1));
  if (command == QLatin1String("draw")) return runDrawCommand(args.mid(1));
  if (command == QLatin1String("presets")) return runPresetsCommand(args.mid(1));
  if (command == QLatin1String("--version")) {
    print(stdout, applicationTitle() + QStringLiteral(" Version " ZUBIRA_VERSION "\n"));
    return 0;
  }
  print(stderr, QStringLiteral("zubira: unknown command \"%1\"\nTry \"zubira --help\" for the commands.\n").arg(command));
  return 2;
}

}  // namespace zubira
