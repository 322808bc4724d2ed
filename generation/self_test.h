#pragma once
// The generator's self-test: once started from the information label `LblInf`, a timer runs the
// generator again and again, every tenth time with freshly drawn ranges, and counts the runs and
// the runs that gave up. This file holds what needs no window: the limits taken from the range
// edits, the drawing of the twelve range bounds, and the counters and their tick rules.
//
// How the main window uses it (`Timer1` stopped at start-up, any interval):
//
//   LblInfClick:   SelfTestClick c = selfTest.Click(rangeTexts(), Timer1->isActive());
//                  Refused: show c.message and leave the timer off.
//                  Started: Timer1->start().
//                  Stopped: Timer1->stop(); write c.texts into the twelve range edits.
//
//   Timer1Timer:   if (selfTest.DrawsThisTick()) {
//                    SelfTestDraw d = DrawSelfTestRanges(selfTest.TestV, random, fInt);
//                    write d.texts into the range edits;
//                    if (!d.status.isEmpty()) show d.status in status panel 1;
//                    if (!d.feasible) return;   // the next tick draws again
//                  }
//                  let the interface process pending events;
//                  MakeProblems with &selfTest.counters as the generator's SelfTestCounters;
//                  selfTest.TickDone();
//
// The generator itself writes the counters into `LblInf` and counts the runs that give up
// (problem_generator.h).

#include "generation/problem_generator.h"
#include "generation/random_source.h"
#include "generation/range_check.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace zubira {

// `TestV`: the upper limits of the drawn ranges, for integer parts, numerators and denominators.
using SelfTestLimits = std::array<int32_t, 3>;

constexpr int SelfTestMaxTries = 1000;
constexpr int SelfTestRunsPerDraw = 10;

struct SelfTestLimitsResult {
  std::optional<SelfTestLimits> TestV;  // nothing when the test must not start
  RangeEdit edit = EdtMax1i;            // the edit whose text was refused
  QString message;                      // why, in the range check's words
};

// `TestV` from the first operand's upper-bound edits `EdtMax1i`, `EdtMax1c` and `EdtMax1m`.
// Clicking the label does not take the focus, so these may hold text that was never checked; each
// must pass the check of its own edit (a number, integer part at most 1000, numerator and
// denominator below 10000, no zero denominator) and be non-negative, so that every drawn range
// obeys the range rules. An empty integer part counts as 0, as leaving the edit would make it.
SelfTestLimitsResult ReadSelfTestLimits(const RangeTexts& texts);

// The status text of an infeasible try: "帯分数で分子が分母を越える設定(1)" without whole
// numbers, "(2)" with them.
QString SelfTestInfeasibleStatus(bool fInt);

// Whether the drawn ranges leave the generator a chance: an operand whose integer part is at
// least 1 throughout is a mixed number, and its numerator's lower bound must stay below (without
// whole numbers, `fInt` false) or at most (with them) its denominator's upper bound. The same
// rule as the range check of the edits.
bool SelfTestRangesFeasible(const RangeBounds& MinV, const RangeBounds& MaxV, bool fInt);

struct SelfTestDraw {
  RangeTexts texts;      // the bounds of the last try, as decimal texts for the twelve edits
  RangeBounds MinV{};    // the same as numbers
  RangeBounds MaxV{};
  bool feasible = false;
  QString status;        // the last status text shown while drawing; empty when none was
  int tries = 0;
};

// Draws the twelve bounds, at most SelfTestMaxTries times until a try is feasible. For each
// operand separately, with U[a, b] a uniform integer from a to b:
//   integer part: upper U[0, TestV[0]], lower U[0, upper]
//   numerator:    upper U[0, TestV[1]], lower U[0, upper]
//   denominator:  upper U[1, TestV[2]], lower U[1, upper]
// Limits below the smallest value of a component (as ReadSelfTestLimits never gives) draw that
// smallest value.
SelfTestDraw DrawSelfTestRanges(const SelfTestLimits& TestV, RandomSource& random, bool fInt);

enum class SelfTestClickOutcome { Started, Stopped, Refused };

struct SelfTestClick {
  SelfTestClickOutcome outcome = SelfTestClickOutcome::Refused;
  RangeTexts texts;  // Stopped: the default texts to put back into the range edits
  RangeEdit edit = EdtMax1i;  // Refused: the edit whose text stopped the start
  QString message;            // Refused: why
};

// The window's self-test fields: `TestV` and the counters `TestLoop` and `NG_NUM` that the
// generator updates during a run.
struct SelfTestState {
  SelfTestLimits TestV{0, 0, 1};
  SelfTestCounters counters;

  // `LblInfClick` with the test stopped (`running` false) or running: starting takes `TestV`
  // from `texts`; both reset the counters; stopping gives back the default range texts. A refused
  // start changes nothing.
  SelfTestClick Click(const RangeTexts& texts, bool running);

  // Whether this tick draws new ranges: at TestLoop 0, 10, 20, ...
  bool DrawsThisTick() const;
  // After the run of a tick.
  void TickDone();
};

}  // namespace zubira
