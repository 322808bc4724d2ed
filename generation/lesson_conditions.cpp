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

// The fractional part {n/d} = n/d - floor(n/d) as its numerator over d, in [0, d).
int64_t fractionalNumerator(Fraction x) {
  const int64_t r = x.num % x.den;
  return r < 0 ? r + x.den : r;
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
bool ReduceConditionApplies(ProblemKind kind) { return addOrSub(kind) || mulOrDiv(kind); }
bool RegroupConditionApplies(ProblemKind kind) { return addOrSub(kind); }
bool CancelConditionApplies(ProblemKind kind) { return mulOrDiv(kind); }

bool DenominatorConditionMet(int32_t setting, ProblemKind kind, Fraction x1, Fraction x2) {
  if (!DenominatorConditionApplies(kind) || (setting != 1 && setting != 2)) return true;
  // A whole operand has no denominator: neither the same nor a different one.
  if (x1.den <= 1 || x2.den <= 1) return false;
  return setting == 1 ? x1.den == x2.den : x1.den != x2.den;
}

bool ReduceConditionMet(int32_t setting, ProblemKind kind, Fraction x1, Fraction x2) {
  if (!ReduceConditionApplies(kind) || (setting != 1 && setting != 2)) return true;
  Wide N = 0, D = 1;
  switch (kind) {
    case pkAdd:
    case pkSub: {
      const int64_t g = int64_t(std::gcd(magnitude(x1.den), magnitude(x2.den)));
      D = Wide(x1.den / g) * x2.den;
      const Wide a = Wide(x1.num) * (x2.den / g), b = Wide(x2.num) * (x1.den / g);
      N = kind == pkAdd ? a + b : a - b;
      break;
    }
    case pkMul:
      N = Wide(x1.num) * x2.num;
      D = Wide(x1.den) * x2.den;
      break;
    default:  // division: multiplying by the reciprocal
      N = Wide(x1.num) * x2.den;
      D = Wide(x1.den) * x2.num;
      if (D < 0) {
        N = -N;
        D = -D;
      }
      break;
  }
  return meets(setting, shareFactor(N, D));
}

bool RegroupConditionMet(int32_t setting, ProblemKind kind, Fraction x1, Fraction x2) {
  if (!RegroupConditionApplies(kind) || (setting != 1 && setting != 2)) return true;
  // {x1} = r1/d1 and {x2} = r2/d2, compared across the product of the denominators.
  const Wide r1 = fractionalNumerator(x1), r2 = fractionalNumerator(x2);
  const Wide a = r1 * x2.den, b = r2 * x1.den, whole = Wide(x1.den) * x2.den;
  const bool regroups = kind == pkAdd ? a + b >= whole : a < b;
  return meets(setting, regroups);
}

bool CancelConditionMet(int32_t setting, ProblemKind kind, Fraction x1, Fraction x2) {
  if (!CancelConditionApplies(kind) || (setting != 1 && setting != 2)) return true;
  const bool cancels = kind == pkMul ? shareFactor(x1.num, x2.den) || shareFactor(x2.num, x1.den)
                                     : shareFactor(x1.num, x2.num) || shareFactor(x1.den, x2.den);
  return meets(setting, cancels);
}

}  // namespace zubira
