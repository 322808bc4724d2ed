#pragma once
// Where presets lie and how they are found. The built-in presets are files installed with the
// program; the user's presets are files in the folder "presets" beside the settings file. Both are
// read with LoadPreset and differ only in where they lie.

#include "generation/preset.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace zubira {

// The folders where the built-in presets are looked for, first match wins, for the program
// `zubira` in `programDir`: "data/presets" beside it (a build tree, whose settings file and so
// the user's "presets" lie beside the program too), then the installation's data folder as seen
// from the program's folder (<prefix>/share/zubira/presets from <prefix>/bin).
QStringList BuiltInPresetCandidates(const QString& programDir);
// $ZUBIRA_PRESETS when set; else the first candidate of the running program that exists; else
// the installation's folder (which then holds nothing).
QString BuiltInPresetFolder();
// The user's presets: the folder "presets" beside the settings file `settingsPath`.
QString UserPresetFolder(const QString& settingsPath);

// The file that lists the built-in presets' ids in the order menus and lists show them.
QString PresetOrderFileName();  // "order.list"

struct PresetLibrary {
  std::vector<Preset> builtIn;  // in the order of the folder's list, then by id
  std::vector<Preset> user;     // by label
  QStringList refused;          // one message for each file that is not a preset

  // The preset called `id`: a built-in one first, then one of the user's.
  const Preset* find(const QString& id) const;
};

// Reads every preset file (*.ini) of the two folders; a missing folder holds none, and the user's
// folder is not read again when it is the built-in one.
PresetLibrary LoadPresetLibrary(const QString& builtInFolder, const QString& userFolder);

// A preset named on a command line or in a mix: the file `idOrFile` when it names an existing
// file, else the preset of `library` with that id; a message when there is neither.
PresetLoad ResolvePreset(const PresetLibrary& library, const QString& idOrFile);

// The grades of `presets` in the order they first appear (empty grades left out).
QStringList PresetGrades(const std::vector<Preset>& presets);

// The file name the user's preset called `name` is saved under: the name with the characters a
// file name cannot hold (and leading dots) replaced by "_", then ".ini".
QString PresetFileNameFor(const QString& name);

}  // namespace zubira
