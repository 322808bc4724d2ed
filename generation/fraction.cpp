#include "generation/fraction.h"

namespace zubira {

namespace {

constexpr int64_t kMin = INT64_MIN;

bool mul(int64_t a, int64_t b, int64_t* out) { return !__builtin_mul_overflow(a, b, out); }
bool add(int64_t a, int64_t b, int64_t* out) { return !__builtin_add_overflow(a, b, out); }

// Steps shared by addition and multiplication once num/den are formed (den > 0 or den == 0).
std::optional<Fraction> canonical(int64_t num, int64_t den) {
  if (num == kMin) return std::nullopt;
  if (num < 0) {
    Fraction r = ReduceFraction(-num, den);
    r.num = -r.num;
    return r;
  }
  if (num == 0) return Fraction{0, 1};
  return ReduceFraction(num, den);
}

}  // namespace

int64_t Gcd64(int64_t a, int64_t b) {
  while (b != 0) {
    // INT64_MIN % -1 traps; its remainder is 0 like that of every other division by -1.
    int64_t r = (b == -1) ? 0 : a % b;
    a = b;
    b = r;
  }
  return a;
}

Fraction ReduceFraction(int64_t num, int64_t den) {
  int64_t g = Gcd64(num, den);
  if (g == 0 || g == kMin) return Fraction{num, den};
  if (g < 0) g = -g;
  if (num == 0) return Fraction{0, den / g};
  return Fraction{num / g, den / g};
}

std::optional<Fraction> AddFractions(int64_t a, int64_t b, int64_t c, int64_t d) {
  if (b == 0 || d == 0) return std::nullopt;
  int64_t num = 0;
  int64_t den = 0;
  if (b == d) {
    if (!add(a, c, &num)) return std::nullopt;
    den = b;
  } else {
    int64_t ad = 0;
    int64_t cb = 0;
    if (!mul(a, d, &ad) || !mul(c, b, &cb) || !add(ad, cb, &num) || !mul(b, d, &den))
      return std::nullopt;
  }
  if (den < 0) {
    if (num == kMin || den == kMin) return std::nullopt;
    num = -num;
    den = -den;
  }
  return canonical(num, den);
}

std::optional<Fraction> MultiplyFractions(int64_t a, int64_t b, int64_t c, int64_t d) {
  int64_t num = 0;
  int64_t den = 0;
  if (!mul(a, c, &num) || !mul(b, d, &den)) return std::nullopt;
  if (den < 0) {
    if (num == kMin || den == kMin) return std::nullopt;
    num = -num;
    den = -den;
  }
  return canonical(num, den);
}

std::optional<Fraction> MixedToImproper(int64_t whole, int64_t num, int64_t den) {
  int64_t wm = 0;
  int64_t n = 0;
  if (!mul(whole, den, &wm) || !add(wm, num, &n) || n == kMin) return std::nullopt;
  return Fraction{n, den};
}

MixedNumber ImproperToMixed(int64_t num, int64_t den) {
  if (den <= 0) return MixedNumber{0, num, den};
  return MixedNumber{num / den, num % den, den};
}

}  // namespace zubira
