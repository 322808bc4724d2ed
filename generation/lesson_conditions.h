#pragma once
// Lesson conditions: the skill a sheet drills, as tests on the two operands of a candidate.
// Each condition is "any" (0), "yes" (1) or "no" (2) — for the denominators, 1 is "the same
// denominator" and 2 "different denominators"; the form is 0 any or 1 proper — and applies to some
// kinds only; elsewhere, and for any other value, it accepts every candidate.
//
// Operands are exact values n/d in lowest terms, the sign on n, d > 0; an operand with d > 1 has a
// fractional part written over d in the lists, one with d = 1 is whole. `improper` says that the
// line writes a fraction part whose numerator is not less than its denominator (7/4).
//   Denominators (addition, subtraction): same when both have a fractional part and d1 = d2,
//     different when both have one and d1 != d2.
//   Reduction (addition, subtraction): the result a pupil gets before reducing, N/D over
//     D = lcm(d1, d2), needs reducing when gcd(|N|, D) > 1. Multiplication and division have no
//     such test of their own: there it is the cancelling below.
//   Regrouping (addition, subtraction): only operands that are not negative and are written as a
//     whole number, a proper fraction or a mixed number can carry or borrow. Addition carries when
//     {x1} + {x2} >= 1, subtraction borrows when {x1} < {x2} and x1 > x2 (the first operand has a
//     whole to borrow from), with {x} = x - floor(x). Other operands do neither.
//   Cancelling (multiplication, division): multiplication can cancel when gcd(|n1|, d2) > 1 or
//     gcd(|n2|, d1) > 1; division (multiplying by d2/n2) when gcd(|n1|, |n2|) > 1 or gcd(d1, d2) > 1.
//   Form (every kind but improper fraction to mixed number): proper when no operand is improper.
// Nothing here allocates: the generator tests them at every attempt.

#include "generation/fraction.h"
#include "generation/generation_settings.h"

namespace zubira {

// One operand as a list line writes it.
struct LessonOperand {
  Fraction value;
  bool improper = false;
};

bool DenominatorConditionMet(int32_t setting, ProblemKind kind, LessonOperand x1, LessonOperand x2);
bool ReduceConditionMet(int32_t setting, ProblemKind kind, LessonOperand x1, LessonOperand x2);
bool RegroupConditionMet(int32_t setting, ProblemKind kind, LessonOperand x1, LessonOperand x2);
bool CancelConditionMet(int32_t setting, ProblemKind kind, LessonOperand x1, LessonOperand x2);
bool FormConditionMet(int32_t setting, ProblemKind kind, LessonOperand x1, LessonOperand x2);

// Which conditions the kind has: the others are ignored for it.
bool DenominatorConditionApplies(ProblemKind kind);
bool ReduceConditionApplies(ProblemKind kind);
bool RegroupConditionApplies(ProblemKind kind);
bool CancelConditionApplies(ProblemKind kind);
bool FormConditionApplies(ProblemKind kind);

}  // namespace zubira
