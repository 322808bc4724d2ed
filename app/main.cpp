#include "app/app.h"

int main(int argc, char** argv) { return zubira::runZubira(argc, argv); }
