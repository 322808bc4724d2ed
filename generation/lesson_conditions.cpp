#include "generation/lesson_conditions.h"

#include <numeric>

namespace zubira {

namespace {

// Exact arithmetic for any operands: 64 bits serve the generator's ranges (values below 10^8,
// products below 10^16), 128 bits when a product would not fit.
using Wide = __int128;

uint64_t magnitude(int64_t v) { return v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v); }

Wide absWide(Wide v) { return v < 0 ? -v : v; }

Wide gcdWide(Wide a, Wide b) {
  a = absWide(a);
  b = absWide(b);
  while (b != 0) {
    const Wide r = a % b;
    a = b;
    b = r;
  }
  return a;
}

// gcd(|a|, |b|) > 1.
bool shareFactor(int64_t a, int64_t b) { return std::gcd(magnitude(a), magnitude(b)) > 1; }
bool shareFactor(Wide a, Wide b) {
  const Wide x = absWide(a), y = absWide(b);
  if (x <= Wide(UINT64_MAX) && y <= Wide(UINT64_MAX)) return std::gcd(uint64_t(x), uint64_t(y)) > 1;
  return gcdWide(x, y) > 1;
}

// A setting of 1 asks for the property, 2 for its absence; anything else accepts both.
bool meets(int32_t setting, bool property) {
  if (setting == 1) return property;
  if (setting == 2) return !property;
  return true;
}

bool addOrSub(ProblemKind kind) { return kind == pkAdd || kind == pkSub; }
bool mulOrDiv(ProblemKind kind) { return kind == pkMul || kind == pkDiv; }

}  // namespace

bool DenominatorConditionApplies(ProblemKind kind) { return addOrSub(kind); }
bool ReduceConditionApplies(ProblemKind kind) { return addOrSub(kind); }
bool RegroupConditionApplies(ProblemKind kind) { return addOrSub(kind); }
bool CancelConditionApplies(ProblemKind kind) { return mulOrDiv(kind); }
bool FormConditionApplies(ProblemKind kind) { return kind >= pkAdd && kind <= pkMixedToImproper; }

bool DenominatorConditionMet(int32_t setting, ProblemKind kind, LessonOperand o1, LessonOperand o2) {
  if (!DenominatorConditionApplies(kind) || (setting != 1 && setting != 2)) return true;
  const Fraction x1 = o1.value, x2 = o2.value;
  // A whole operand has no denominator: neither the same nor a different one.
  if (x1.den <= 1 || x2.den <= 1) return false;
  return setting == 1 ? x1.den == x2.den : x1.den != x2.den;
}

bool ReduceConditionMet(int32_t setting, ProblemKind kind, LessonOperand o1, LessonOperand o2) {
  if (!ReduceConditionApplies(kind) || (setting != 1 && setting != 2)) return true;
  const Fraction x1 = o1.value, x2 = o2.value;
  const int64_t g = int64_t(std::gcd(magnitude(x1.den), magnitude(x2.den)));
  const Wide D = Wide(x1.den / g) * x2.den;
  const Wide a = Wide(x1.num) * (x2.den / g), b = Wide(x2.num) * (x1.den / g);
  return meets(setting, shareFactor(kind == pkAdd ? a + b : a - b, D));
}

bool RegroupConditionMet(int32_t setting, ProblemKind kind, LessonOperand o1, LessonOperand o2) {
  if (!RegroupConditionApplies(kind) || (setting != 1 && setting != 2)) return true;
  const Fraction x1 = o1.value, x2 = o2.value;
  bool regroups = false;
  if (x1.num >= 0 && x2.num >= 0 && !o1.improper && !o2.improper) {
    // {x1} = r1/d1 and {x2} = r2/d2, compared across the product of the denominators.
    const Wide r1 = x1.num % x1.den, r2 = x2.num % x2.den;
    const Wide a = r1 * x2.den, b = r2 * x1.den, whole = Wide(x1.den) * x2.den;
    regroups = kind == pkAdd ? a + b >= whole
                             : a < b && Wide(x1.num) * x2.den > Wide(x2.num) * x1.den;
  }
  return meets(setting, regroups);
}

bool CancelConditionMet(int32_t setting, ProblemKind kind, LessonOperand o1, LessonOperand o2) {
  if (!CancelConditionApplies(kind) || (setting != 1 && setting != 2)) return true;
  const Fraction x1 = o1.value, x2 = o2.value;
  const bool cancels = kind == pkMul ? shareFactor(x1.num, x2.den) || shareFactor(x2.num, x1.den)
                                     : shareFactor(x1.num, x2.num) || shareFactor(x1.den, x2.den);
  return meets(setting, cancels);
}

bool FormConditionMet(int32_t setting, ProblemKind kind, LessonOperand o1, LessonOperand o2) {
  if (!FormConditionApplies(kind) || setting != 1) return true;
  return !o1.improper && !o2.improper;
}

}  // namespace zubira
