#pragma once
// What every process of the program sets up around its QApplication, the desktop program, the
// command-line mode and the test suites alike.

#include <QString>

namespace zubira {

// "Zubira 分数の加減乗除篇": the application's title, also the caption of plain message boxes.
QString applicationTitle();

// Before the QApplication exists: environment the platform needs (Qt WebEngine refuses to start
// as root unless its sandbox is switched off, and would end the whole process).
void prepareEnvironment();

// Once the QApplication exists: title and font substitutions.
void prepareApplication();

}  // namespace zubira
