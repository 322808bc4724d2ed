#pragma once
// Exact arithmetic on fractions held as pairs of signed 64-bit integers, and the conversions
// between mixed numbers and improper fractions. Results are canonical: reduced, positive
// denominator, sign on the numerator, zero as 0/1.
//
// A sum or product whose exact intermediate values do not fit in 64 bits gives no result instead
// of a wrapped one, so a caller can never take a wrong answer for a right one. Results whose
// numerator would be INT64_MIN count as not fitting too, so every result can be negated safely.

#include <cstdint>
#include <optional>
#include <ostream>

namespace zubira {

struct Fraction {
  int64_t num = 0;
  int64_t den = 1;
  friend bool operator==(const Fraction& a, const Fraction& b) {
    return a.num == b.num && a.den == b.den;
  }
  friend bool operator!=(const Fraction& a, const Fraction& b) { return !(a == b); }
};

inline void PrintTo(const Fraction& f, std::ostream* os) { *os << f.num << "/" << f.den; }

// Integer part, numerator and denominator; the sign of the whole value is kept apart.
struct MixedNumber {
  int64_t whole = 0;
  int64_t num = 0;
  int64_t den = 1;
  friend bool operator==(const MixedNumber& a, const MixedNumber& b) {
    return a.whole == b.whole && a.num == b.num && a.den == b.den;
  }
};

// Euclid's algorithm with the remainder of truncating division; Gcd64(a, 0) = a. The result is
// not made positive: callers pass two non-negative arguments that are not both zero.
int64_t Gcd64(int64_t a, int64_t b);

// (num / g, den / g) with g the magnitude of Gcd64(num, den); 0/m becomes 0/1. With both
// arguments zero nothing is divided and 0/0 comes back.
Fraction ReduceFraction(int64_t num, int64_t den);

// a/b + c/d in canonical form. Denominators must be non-zero (nothing when one is zero).
std::optional<Fraction> AddFractions(int64_t a, int64_t b, int64_t c, int64_t d);

// (a/b) x (c/d) in canonical form. A zero denominator product (a division by a zero fraction)
// gives 0/1 for a zero numerator product and +-1/0 otherwise; callers must treat n/0 as no value.
std::optional<Fraction> MultiplyFractions(int64_t a, int64_t b, int64_t c, int64_t d);

// (I x m + c) / m.
std::optional<Fraction> MixedToImproper(int64_t whole, int64_t num, int64_t den);

// (n div d, n mod d, d) with truncating division. d must be at least 1; for d <= 0 nothing is
// divided and (0, n, d) comes back.
MixedNumber ImproperToMixed(int64_t num, int64_t den);

}  // namespace zubira
