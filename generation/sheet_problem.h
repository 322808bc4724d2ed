#pragma once
// The problems of a sheet as data: each problem carries its kind and the three texts the lists
// hold for it (first operand, second operand, answer), so one sheet may hold several kinds. The
// main window's three lists are one view of such a set; the composer lays out the set.

#include "generation/generation_settings.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace zubira {

struct SheetProblem {
  ProblemKind kind = pkAdd;
  QString first;
  QString second;  // "=" for the conversion kinds
  QString answer;
  // A problem of a mixed set keeps the options it was made with: a negative first term in
  // brackets, and the key's answer as a mixed number. Unset: the sheet's generation settings.
  std::optional<bool> fKakko{};
  std::optional<bool> fTaiBun{};
};
using ProblemSet = std::vector<SheetProblem>;

// Lines of a list's text: CR LF, LF or CR end a line; a final line break adds no empty line.
QStringList memoLines(const QString& text);

// The problems of three lists of one kind, line by line: as many as both operand lists have
// lines; a missing answer line is an empty answer.
ProblemSet ProblemSetFromLists(ProblemKind kind, const QString& first, const QString& second,
                               const QString& answers);

// The operator a kind writes between its operands: "＋", "－", "×", "÷"; the conversion kinds
// write none (empty).
QString OperatorCaption(ProblemKind kind);

}  // namespace zubira
