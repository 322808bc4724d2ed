#pragma once
// What the generator is asked to make: the problem kind, the operand ranges, the answer filters
// and the distribution parameter, held in a plain record so the generator needs no window.

#include <array>
#include <cstdint>

namespace zubira {

// The tabs of the main window, in order.
enum ProblemKind : int32_t {
  pkAdd = 0,
  pkSub = 1,
  pkMul = 2,
  pkDiv = 3,
  pkMixedToImproper = 4,
  pkImproperToMixed = 5,
};
constexpr int ProblemKindCount = 6;

// The sign combo box of one operand: "＋", "－", "不定".
enum SignMode : int32_t { smPlus = 0, smMinus = 1, smEither = 2 };

// Range indexes into MinV/MaxV: integer part, numerator, denominator of the first operand, then
// the same of the second.
constexpr int RangeCount = 6;
using RangeBounds = std::array<int64_t, RangeCount>;

// The lesson conditions (see lesson_conditions.h): 0 any, 1 yes (the same denominator), 2 no
// (different denominators); Form is 0 any or 1 proper fractions and mixed numbers only.
struct LessonConditions {
  int32_t Denominator = 0;
  int32_t Reduce = 0;
  int32_t Regroup = 0;
  int32_t Cancel = 0;
  int32_t Form = 0;
};

struct GenerationSettings {
  RangeBounds MinV{0, 1, 1, 0, 1, 1};
  RangeBounds MaxV{0, 10, 10, 0, 10, 10};
  int32_t nRange = 0;  // 0 positive answers only, 1 zero or positive, other values any sign
  bool fJust = false;  // only answers whose improper numerator and denominator are <= nJust
  int32_t nJust = 15;
  bool fZero = true;     // reject the answer 0
  bool fOne = true;      // reject the answer 1
  bool fTaiBun = false;  // write answers as mixed numbers
  bool fKakko = true;    // brackets around a negative first term on the sheet
  bool fInt = true;      // allow whole-number operands drawn at random
  int32_t rnd_D = 0;     // distribution parameter of RandomInRange
  int32_t ExamRowN = 10;
  int32_t ExamColN = 1;
  LessonConditions Lesson;
};

// The per-operand controls, read by the generator at every attempt.
struct OperandChoices {
  SignMode sign1 = smPlus;
  SignMode sign2 = smPlus;
  bool random1 = true;  // the check boxes "乱数"
  bool random2 = true;
};

}  // namespace zubira
