#pragma once
// The two programs. `zubira` runs the command-line mode when it is given a subcommand and
// otherwise starts `zubira-desktop`, the desktop program: the command line thus never loads the
// window libraries, the web view or the network (a batch of sheets starts in a fraction of the
// time).

namespace zubira {

// `zubira` with arguments: the command-line mode (see command_line.h). Returns the exit code.
int runCommandLineProgram(int argc, char** argv);

// `zubira` without arguments: replaces the process with the desktop program found beside it (a
// build tree) or in <prefix>/libexec/zubira (an installation). Returns only when it cannot,
// after saying why, with exit code 1.
int startDesktopProgram(char** argv);

// `zubira-desktop`: the desktop program. Returns the process's exit code.
int runDesktopProgram(int argc, char** argv);

}  // namespace zubira
