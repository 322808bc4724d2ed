#pragma once
// The command-line mode: subcommands that run without a display on the same logic as the desktop
// program.

#include <QStringList>

namespace zubira {

// True when `args` (without the program name) ask for the command-line mode.
bool isCommandLine(const QStringList& args);

// Runs the command-line mode; a QApplication on the offscreen platform exists. Returns the exit
// code: 0 done, 1 the work failed, 2 the command line was wrong; a command may add its own
// (`make`: 3 the attempts for a problem ran out).
int runCommandLine(const QStringList& args);

}  // namespace zubira
