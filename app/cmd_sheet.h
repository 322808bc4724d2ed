#pragma once
// `zubira sheet`: makes problems (or reads them) and writes the problem and answer sheets.

#include <QStringList>

namespace zubira {

int runSheetCommand(const QStringList& args);
QString sheetUsage();

}  // namespace zubira
