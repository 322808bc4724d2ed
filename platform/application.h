#pragma once
// What every process of the program sets up around its QApplication, the desktop program, the
// command-line mode and the test suites alike.

#include <QString>

namespace zubira {

// "Zubira 分数の加減乗除篇": the application's title, also the caption of plain message boxes.
QString applicationTitle();

// "zubira": the application's name, which is also the X11 window class of its windows.
QString applicationName();

// Before the QApplication exists: environment the platform needs (Qt WebEngine refuses to start
// as root unless its sandbox is switched off, and would end the whole process).
void prepareEnvironment();

// Once the QApplication exists: name, title and font substitutions.
void prepareApplication();

// Qt's own catalogue for its dialogs and standard buttons (file, print, page set-up, colour and
// font dialogs, Yes/No/Cancel): the one of the user's language when Qt has one, Japanese
// otherwise, since the program's own texts are Japanese. False when no catalogue could be loaded;
// Qt's dialogs then stay in English.
bool installQtTranslations();

}  // namespace zubira
