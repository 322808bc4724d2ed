#pragma once
// Worked solutions (途中式): from one problem as the lists hold it, the chain of steps a pupil
// writes down, from the problem to the answer as listed. The chain is data (steps of terms and
// operators, and a remark after them) so that the text formatter below and the sheet typesetter
// show the same working; every step equals the answer exactly.

#include "generation/generation_settings.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace zubira {

// One term of a step.
struct SolutionTerm {
  enum Kind {
    Value,         // a number written as in the lists: 3, 5/4, 2+5/4, -3/4, -(2+1/3)
    Unmultiplied,  // a fraction whose parts are still sums of products: (3×2+1)/3, (8×9)/(7×8)
    Cancelled,     // a product whose common factors were cancelled: (8×9)/(7×8) read (1×9)/(7×1)
  };
  Kind kind = Value;
  bool negative = false;  // never set on a term whose value is zero

  // Value: integer part (a whole number's value when hasFraction is false), numerator and
  // denominator (0 and 1 for a whole number). hasFraction tells whether a fraction part is
  // written; with whole 0 the term is the plain fraction num/den, which may be improper or not
  // reduced (and den may be 1, as in the reciprocal 2/1).
  int64_t whole = 0;
  int64_t num = 0;
  int64_t den = 1;
  bool hasFraction = false;

  // Unmultiplied: numerator and denominator, each a sum of products of non-negative factors;
  // (3×2+1)/3 is numerator {{3, 2}, {1}} and denominator {{3}}. A product of whole numbers only
  // has an empty denominator.
  // Cancelled: numerator and denominator are the factors as written before cancelling, one product
  // each; the quotients have the same shape and hold what each factor became, equal to the
  // factor where it was not cancelled. (8×9)/(7×8) → (1×9)/(7×1) is numerator {{8, 9}},
  // denominator {{7, 8}}, numeratorQuotients {{1, 9}}, denominatorQuotients {{7, 1}}.
  std::vector<std::vector<int64_t>> numerator;
  std::vector<std::vector<int64_t>> denominator;
  std::vector<std::vector<int64_t>> numeratorQuotients;
  std::vector<std::vector<int64_t>> denominatorQuotients;

  friend bool operator==(const SolutionTerm& a, const SolutionTerm& b) {
    return a.kind == b.kind && a.negative == b.negative && a.whole == b.whole && a.num == b.num &&
           a.den == b.den && a.hasFraction == b.hasFraction && a.numerator == b.numerator &&
           a.denominator == b.denominator && a.numeratorQuotients == b.numeratorQuotients &&
           a.denominatorQuotients == b.denominatorQuotients;
  }
  friend bool operator!=(const SolutionTerm& a, const SolutionTerm& b) { return !(a == b); }
};

enum class SolutionOp { Add, Sub, Mul, Div };

// Terms joined by operators; ops.size() + 1 == terms.size(). Multiplication and division bind
// before addition and subtraction, left to right.
struct SolutionStep {
  std::vector<SolutionTerm> terms;
  std::vector<SolutionOp> ops;
};

// The division with remainder that turns an improper fraction into a mixed number, written after
// the chain: "24 ÷ 7 = 3 あまり 3".
struct SolutionRemark {
  int64_t dividend = 0;
  int64_t divisor = 1;
  int64_t quotient = 0;
  int64_t remainder = 0;
  friend bool operator==(const SolutionRemark& a, const SolutionRemark& b) {
    return a.dividend == b.dividend && a.divisor == b.divisor && a.quotient == b.quotient &&
           a.remainder == b.remainder;
  }
};

struct Solution {
  bool solved = false;  // false: a line could not be read, a division by zero, or too large
  std::vector<SolutionStep> steps;
  std::optional<SolutionRemark> remark;
};

// The chain for one problem: `first` and `second` are the operand lines (for the one-operand
// kinds `second` is ignored), `mixedAnswers` is the "write answers as mixed numbers" option,
// which shapes the answers of the four operations. The last step is the answer exactly as the
// generator lists it.
Solution SolveProblem(ProblemKind kind, const QString& first, const QString& second,
                      bool mixedAnswers);

// What stands for the chain of a problem that cannot be solved: "解けません".
QString UnsolvableText();

// The chain as text, steps joined by " = ", then a blank and the remark; an empty text when the
// problem was not solved.
QString FormatSolution(const Solution& solution);
// The remark in brackets: "(24 ÷ 7 = 3 あまり 3)", "(8 ÷ 4 = 2)" when nothing remains.
QString FormatSolutionRemark(const SolutionRemark& remark);
// One step: terms joined by " + ", " - ", " × ", " ÷ ".
QString FormatSolutionStep(const SolutionStep& step);
// One term: "3", "-5/4", "2+1/3", "-(2+1/3)", "(3×2+1)/3", "-(4×9)/5"; a cancelled product as
// its quotients, "(1×9)/(7×1)".
QString FormatSolutionTerm(const SolutionTerm& term);

}  // namespace zubira
