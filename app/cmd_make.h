#pragma once
// `zubira make`: prints problems made by the generator, one line per problem with the first
// operand, the second operand and the answer separated by tabs.

#include <QString>
#include <QStringList>

namespace zubira {

// Runs `zubira make` with the options in `args` (after the word "make"). Exit codes: 0 done,
// 2 the command line or the ranges were refused, 3 the attempts for a problem ran out.
int runMakeCommand(const QStringList& args);

// The option text shown by `zubira --help` and `zubira make --help`.
QString makeUsage();

}  // namespace zubira
