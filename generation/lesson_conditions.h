#pragma once
// Lesson conditions: the skill a sheet drills, as tests on the two operands of a candidate.
// Each condition is "any" (0), "yes" (1) or "no" (2) — for the denominators, 1 is "the same
// denominator" and 2 "different denominators" — and applies to some kinds only; elsewhere, and
// for any other value, it accepts every candidate.
//
// Operands are exact values n/d in lowest terms, the sign on n, d > 0; an operand with d > 1 has a
// fractional part written over d in the lists, one with d = 1 is whole.
//   Denominators (addition, subtraction): same when both have a fractional part and d1 = d2,
//     different when both have one and d1 != d2.
//   Reduction (the four operations): the result a pupil gets before reducing, N/D — addition and
//     subtraction over D = lcm(d1, d2), multiplication n1 n2 / d1 d2, division n1 d2 / d1 n2 (D made
//     positive) — needs reducing when gcd(|N|, D) > 1.
//   Regrouping (addition, subtraction): addition carries when {x1} + {x2} >= 1, subtraction borrows
//     when {x1} < {x2}, with {x} = x - floor(x).
//   Cancelling (multiplication, division): multiplication can cancel when gcd(|n1|, d2) > 1 or
//     gcd(|n2|, d1) > 1; division (multiplying by d2/n2) when gcd(|n1|, |n2|) > 1 or gcd(d1, d2) > 1.
// Nothing here allocates: the generator tests them at every attempt.

#include "generation/fraction.h"
#include "generation/generation_settings.h"

namespace zubira {

bool DenominatorConditionMet(int32_t setting, ProblemKind kind, Fraction x1, Fraction x2);
bool ReduceConditionMet(int32_t setting, ProblemKind kind, Fraction x1, Fraction x2);
bool RegroupConditionMet(int32_t setting, ProblemKind kind, Fraction x1, Fraction x2);
bool CancelConditionMet(int32_t setting, ProblemKind kind, Fraction x1, Fraction x2);

// Which conditions the kind has: the others are ignored for it.
bool DenominatorConditionApplies(ProblemKind kind);
bool ReduceConditionApplies(ProblemKind kind);
bool RegroupConditionApplies(ProblemKind kind);
bool CancelConditionApplies(ProblemKind kind);

}  // namespace zubira
