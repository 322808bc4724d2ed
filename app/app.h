#pragma once

namespace zubira {

// The whole program: with no arguments the desktop program, with a subcommand the command-line
// mode (see command_line.h). Returns the process's exit code.
int runZubira(int argc, char** argv);

}  // namespace zubira
