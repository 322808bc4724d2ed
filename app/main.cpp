#include "app/app.h"

int main(int argc, char** argv) {
  if (argc > 1) return zubira::runCommandLineProgram(argc, argv);
  return zubira::startDesktopProgram(argv);
}
