#pragma once
// The problem the main window was set to, kept in the settings file's section "Problem": the
// kind (the tab), the twelve range texts as the edits hold them, the two sign choices and
// whether each operand steps through its range instead of being drawn at random (the check
// boxes "乱数" cleared). Read when the window is first shown, each value checked as the window
// checks what is typed; a value that would be refused silently gives way to its default.
//
// Also the subtitle that goes with each kind, which follows the kind while the user has not
// typed one of their own.

#include "generation/generation_settings.h"
#include "generation/sheet_problem.h"
#include "generation/range_check.h"

#include <QString>

namespace zubira {

class IniFile;

struct ProblemSettings {
  ProblemKind kind = pkAdd;
  RangeTexts ranges = defaultRangeTexts();
  SignMode sign1 = smPlus;
  SignMode sign2 = smPlus;
  bool step1 = false;  // the first operand steps through its range ("乱数" cleared)
  bool step2 = false;
};

// Keys: Kind (0 to 5), Min1i ... Max2m, Sign1 and Sign2 (0 to 2), Step1 and Step2 (0 or 1).
// `fInt` is the check mark of "問題に整数も含む", which the range checks depend on. A file
// without the section gives the defaults.
ProblemSettings ReadProblemSettings(const IniFile& ini, bool fInt);
void WriteProblemSettings(IniFile& ini, const ProblemSettings& problem);

// "たしざんのもんだい", "ひきざんのもんだい", ... for the six kinds.
QString defaultSubTitle(ProblemKind kind);
// The subtitle once the kind changes from `from` to `to`: the default of `to` while `current` is
// still the default of `from`, else `current` as it is.
QString followSubTitle(const QString& current, ProblemKind from, ProblemKind to);
// The subtitle of a sheet of `problems` while `current` is still the default of the kind `from`:
// the default of their kind when they are of one kind, "まとめのもんだい" when they mix kinds (no
// one kind's name on a review sheet). Else, or with no problems, `current` as it is.
QString sheetSubTitle(const QString& current, ProblemKind from, const ProblemSet& problems);

}  // namespace zubira
