#pragma once
// A preset: a named problem recipe. It holds what the main window's problem side holds — the kind,
// the twelve range texts, the signs and stepping of both operands, the answer options of オプション,
// the lesson conditions and the grid — and nothing of the page. A preset is a plain text file in
// the settings file's format, one section "Preset":
//
//   [Preset]
//   Name=ちがう分母のたし算          the name menus show, after the grade
//   Grade=5年                        optional: the school year it belongs to
//   Kind=0                           the tab, 0 to 5 (たし算 … 仮分数－＞帯分数)
//   Min1i=0 … Max2m=10               the twelve range edits, as typed
//   Sign1=0  Sign2=0                 "＋" 0, "－" 1, "不定" 2
//   Step1=0  Step2=0                 1: the operand steps through its numerators ("乱数" off)
//   Range=0 Just=0 JustMax=15 Zero=1 One=1 TaiBunSu=0 Kakko=1 Integer=1 Rand=0
//                                    the options, as the settings file's section Exam names them
//   Denominator=0 Reduce=0 Regroup=0 Cancel=0 Form=0
//                                    the lesson conditions, as the section Lesson names them
//   Row=10  Col=1                    the grid
//
// Name and Kind must be there; any other key left out takes the window's default. Reading checks
// every value as the window checks it typed and refuses the whole file at the first key that
// breaks a rule (an unknown key, a value out of range, ranges that cannot be drawn, a condition
// the kind does not have), with a Japanese message naming that key.

#include "generation/generation_settings.h"
#include "generation/range_check.h"

#include <QString>
#include <optional>

namespace zubira {

class IniFile;

struct Preset {
  QString id;     // the file's name without ".ini": what the command line and mixes call it
  QString path;   // the file it was read from; empty for one not saved
  QString name;   // "ちがう分母のたし算"
  QString grade;  // "5年"; may be empty
  ProblemKind kind = pkAdd;
  RangeTexts ranges = defaultRangeTexts();
  OperandChoices choices;  // signs and random flags ("乱数" on unless the operand steps)
  // The answer options, the lesson conditions and the grid; MinV and MaxV are those of `ranges`.
  GenerationSettings settings;
};

// The file name's suffix of presets, without the dot.
QString PresetSuffix();  // "ini"

// What menus and lists show: the grade first ("5年 ちがう分母のたし算"), or the name alone.
QString PresetLabel(const Preset& preset);

struct PresetLoad {
  std::optional<Preset> preset;  // nothing when the file was refused
  QString message;               // why, in Japanese, naming the file and the first bad key
};

// Reads and checks the preset file at `path`.
PresetLoad LoadPreset(const QString& path);
// The same on a file already read; `fileName` names it in the message.
PresetLoad ReadPreset(const IniFile& ini, const QString& fileName);

// Writes `preset` to `path` as a file of its own (a file there before is replaced whole),
// atomically. Returns an empty text, or why it could not be written.
QString SavePreset(const Preset& preset, const QString& path);

// The generation settings that make the preset's problems: its options, conditions and grid with
// MinV and MaxV parsed from its ranges.
GenerationSettings PresetGenerationSettings(const Preset& preset);

// A preset of the window's current state (or the command line's): the kind, the range texts as
// they stand, the operand choices and the options, conditions and grid of `gen`; conditions the
// kind does not have are left at "any", as the generator ignores them.
Preset PresetFromSettings(const QString& name, ProblemKind kind, const RangeTexts& ranges,
                          const OperandChoices& choices, const GenerationSettings& gen);

// Checks a preset made in memory as reading checks a file: empty when it would be read back,
// else the message naming the first bad key.
QString CheckPreset(const Preset& preset);

}  // namespace zubira
