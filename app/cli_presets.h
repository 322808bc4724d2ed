#pragma once
// Presets and mixed sets on the command line: `zubira presets`, and the options --preset, --mix
// and --shuffle that `zubira make` and `zubira sheet` share.

#include "generation/mixed_set.h"
#include "generation/preset_library.h"

#include <QString>
#include <QStringList>

namespace zubira {

class CommandLine;
class IniFile;
struct MainSettings;
struct ProblemOptions;

// The presets a command sees: the built-in ones and the user's, in the folder "presets" beside
// the settings file (--settings, else the desktop program's own).
PresetLibrary commandPresetLibrary(const QString& settingsPath);

void addPresetOptions(CommandLine& line);
// Reads --preset into `o` (its kind, ranges, signs and stepping, which the options read after it
// may override; its options, conditions and grid go in with the settings file) and --mix and
// --shuffle. Prints what was wrong and returns ExitUsage, or ExitOk.
int readPresetOptions(const CommandLine& line, ProblemOptions* o);
// After the settings file is read: the preset's options, conditions and grid, then again the
// --set overrides, which win over the preset.
void applyPresetSettings(const ProblemOptions& o, MainSettings* sheet, GenerationSettings* gen);
// The mix's total checked against the grid of `gen`; prints the message and returns ExitUsage
// when it does not fit.
int checkMix(const ProblemOptions& o, const GenerationSettings& gen);

// One mixed set; exit codes as for one generator run (ExitExhausted with the section named on
// stderr). `kept` is set when a problem was kept after its attempts ran out.
int makeMixedProblems(const ProblemOptions& o, RandomSource& random, ProblemSet* set, bool* kept);

// `zubira presets`.
int runPresetsCommand(const QStringList& args);
QString presetsUsage();

}  // namespace zubira
