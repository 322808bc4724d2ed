#pragma once
// Worked solutions (途中式): from one problem as the lists hold it, the chain of steps a pupil
// writes down, from the problem to the answer as listed. The chain is data (steps of terms and
// operators) so that the text formatter below and the sheet typesetter show the same steps; every
// step equals the answer exactly.

#include "generation/generation_settings.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace zubira {

// One term of a step.
struct SolutionTerm {
  enum Kind {
    Value,         // a number written as in the lists: 3, 5/4, 2+5/4, -3/4, -(2+1/3)
    Unmultiplied,  // a fraction whose parts are still sums of products: (2×3+1)/3, (1×4)/(1×1)
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
  // (2×3+1)/3 is numerator {{2, 3}, {1}} and denominator {{3}}.
  std::vector<std::vector<int64_t>> numerator;
  std::vector<std::vector<int64_t>> denominator;

  friend bool operator==(const SolutionTerm& a, const SolutionTerm& b) {
    return a.kind == b.kind && a.negative == b.negative && a.whole == b.whole && a.num == b.num &&
           a.den == b.den && a.hasFraction == b.hasFraction && a.numerator == b.numerator &&
           a.denominator == b.denominator;
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

struct Solution {
  bool solved = false;  // false: a line could not be read, a division by zero, or too large
  std::vector<SolutionStep> steps;
};

// The chain for one problem: `first` and `second` are the operand lines (for the one-operand
// kinds `second` is ignored), `mixedAnswers` is the "write answers as mixed numbers" option,
// which shapes the answers of the four operations. The last step is the answer exactly as the
// generator lists it.
Solution SolveProblem(ProblemKind kind, const QString& first, const QString& second,
                      bool mixedAnswers);

// What stands for the chain of a problem that cannot be solved: "解けません".
QString UnsolvableText();

// The chain as text, steps joined by " = "; an empty text when the problem was not solved.
QString FormatSolution(const Solution& solution);
// One step: terms joined by " + ", " - ", " × ", " ÷ ".
QString FormatSolutionStep(const SolutionStep& step);
// One term: "3", "-5/4", "2+1/3", "-(2+1/3)", "(2×3+1)/3", "-(1×4)/(1×1)".
QString FormatSolutionTerm(const SolutionTerm& term);

}  // namespace zubira
