#pragma once
// A mixed set (まとめプリント): a list of sections, each a preset and a number of problems, made
// into one set of problems of several kinds. Each section's problems are made by the generator
// with its own preset's kind, ranges, signs, stepping, options and conditions; the set keeps the
// sections' order or is shuffled with the set's random source.

#include "generation/preset.h"
#include "generation/problem_generator.h"
#include "generation/sheet_problem.h"

#include <QString>
#include <vector>

namespace zubira {

struct MixSection {
  Preset preset;
  int count = 1;
};

struct MixedSet {
  std::vector<MixSection> sections;
  bool shuffle = false;  // "まぜる"; else "順番どおり"
};

// The number of problems the set makes.
int MixedSetTotal(const MixedSet& set);
// One problem of each section's kind, in order, with no operands: the kinds a sheet of the set
// holds before it is made.
ProblemSet MixedSetKinds(const MixedSet& set);

// Refuses a set the sheet's grid cannot take: no section, a count below 1, or more problems than
// the grid's `cells`. Returns the Japanese message, or an empty text.
QString CheckMixedSet(const MixedSet& set, int cells);

// How a section is named to the user: "2番目「5年 ちがう分母のたし算」".
QString MixSectionName(int index, const Preset& preset);

struct MixedSetResult {
  MakeStatus status = MakeStatus::Done;
  ProblemSet problems;    // complete only when status is Done
  QString message;        // why the set was not made, naming the section
  int section = -1;       // the section that stopped it
  int problemsKept = 0;   // problems kept after their attempts ran out
};

// Makes one set. `hooks` answers as for any generator run: its operand choices are not asked
// (each section has its own), its status texts and exhaustion questions name the section.
MixedSetResult MakeMixedSet(const MixedSet& set, RandomSource& random, GeneratorHooks* hooks);

}  // namespace zubira
