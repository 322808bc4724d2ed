#include "app/app.h"

int main(int argc, char** argv) { return zubira::runDesktopProgram(argc, argv); }
