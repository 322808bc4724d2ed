#include "generation/solver.h"

#include "generation/fraction.h"

#include <QStringView>
#include <optional>
#include <utility>

namespace zubira {

namespace {

bool mul(int64_t a, int64_t b, int64_t* out) { return !__builtin_mul_overflow(a, b, out); }
bool add(int64_t a, int64_t b, int64_t* out) { return !__builtin_add_overflow(a, b, out); }
bool sub(int64_t a, int64_t b, int64_t* out) { return !__builtin_sub_overflow(a, b, out); }

// Least common multiple of two positive numbers.
bool lcm(int64_t a, int64_t b, int64_t* out) { return mul(a / Gcd64(a, b), b, out); }

// ---------------------------------------------------------------------------------------------
// Terms

SolutionTerm wholeTerm(bool negative, int64_t n) {
  SolutionTerm t;
  t.negative = negative && n != 0;
  t.whole = n;
  return t;
}

SolutionTerm fractionTerm(bool negative, int64_t num, int64_t den) {
  SolutionTerm t;
  t.negative = negative && num != 0;
  t.num = num;
  t.den = den;
  t.hasFraction = true;
  return t;
}

// I + c/m as the lists write it: no fraction part when c is 0, no integer part when I is 0.
SolutionTerm mixedTerm(bool negative, int64_t whole, int64_t num, int64_t den) {
  if (num == 0) return wholeTerm(negative, whole);
  SolutionTerm t = fractionTerm(negative, num, den);
  t.whole = whole;
  return t;
}

SolutionTerm unmultipliedTerm(bool negative, std::vector<std::vector<int64_t>> numerator,
                              std::vector<std::vector<int64_t>> denominator) {
  SolutionTerm t;
  t.kind = SolutionTerm::Unmultiplied;
  t.negative = negative;
  t.numerator = std::move(numerator);
  t.denominator = std::move(denominator);
  return t;
}

// The magnitude of a value term as a numerator over `den`, a multiple of its own denominator
// (1 for a whole number).
bool numeratorOver(const SolutionTerm& v, int64_t den, int64_t* out) {
  int64_t wm = 0;
  int64_t scaled = 0;
  if (!mul(v.whole, den, &wm)) return false;
  if (!v.hasFraction) {
    *out = wm;
    return true;
  }
  return mul(v.num, den / v.den, &scaled) && add(wm, scaled, out);
}

std::optional<Fraction> valueOf(const SolutionTerm& v) {
  const int64_t den = v.hasFraction ? v.den : 1;
  int64_t n = 0;
  if (!numeratorOver(v, den, &n)) return std::nullopt;
  Fraction f = ReduceFraction(n, den);
  if (v.negative) f.num = -f.num;
  return f;
}

// ---------------------------------------------------------------------------------------------
// Reading the list lines

// Plain decimal digits without a leading zero (a lone "0" is fine).
std::optional<int64_t> readNumber(QStringView text) {
  if (text.isEmpty() || (text.size() > 1 && text.front() == u'0')) return std::nullopt;
  int64_t n = 0;
  for (const QChar ch : text) {
    const char16_t c = ch.unicode();
    if (c < u'0' || c > u'9') return std::nullopt;
    if (!mul(n, 10, &n) || !add(n, int64_t(c - u'0'), &n)) return std::nullopt;
  }
  return n;
}

// "3", "-3", "c/m", "-c/m", "I+c/m", "-(I+c/m)". Fractions may be unreduced or improper, as a
// hand-edited list may hold them; a mixed number has an integer part and a numerator of at least
// one, and no value is written "-0".
std::optional<SolutionTerm> readValue(const QString& line) {
  QStringView text = QStringView(line).trimmed();
  bool negative = false;
  if (text.startsWith(u'-')) {
    negative = true;
    text = text.mid(1);
  }
  const bool bracketed = text.size() >= 2 && text.startsWith(u'(') && text.endsWith(u')');
  if (bracketed) text = text.mid(1, text.size() - 2);
  const qsizetype plus = text.indexOf(u'+');
  const qsizetype slash = text.indexOf(u'/');

  if (plus >= 0) {
    if (bracketed != negative || slash < plus) return std::nullopt;
    const std::optional<int64_t> whole = readNumber(text.left(plus));
    const std::optional<int64_t> num = readNumber(text.mid(plus + 1, slash - plus - 1));
    const std::optional<int64_t> den = readNumber(text.mid(slash + 1));
    if (!whole || !num || !den || *whole == 0 || *num == 0 || *den == 0) return std::nullopt;
    return mixedTerm(negative, *whole, *num, *den);
  }
  if (bracketed) return std::nullopt;
  if (slash >= 0) {
    const std::optional<int64_t> num = readNumber(text.left(slash));
    const std::optional<int64_t> den = readNumber(text.mid(slash + 1));
    if (!num || !den || *den == 0 || (negative && *num == 0)) return std::nullopt;
    return fractionTerm(negative, *num, *den);
  }
  const std::optional<int64_t> whole = readNumber(text);
  if (!whole || (negative && *whole == 0)) return std::nullopt;
  return wholeTerm(negative, *whole);
}

// ---------------------------------------------------------------------------------------------
// Building the chain

// Collects the steps, leaving out a step that would read exactly as the one before, and ends
// every chain with the answer in the shape the answer list uses.
class ChainBuilder {
 public:
  ChainBuilder(Fraction answer, bool mixedShape) : answer_(answer), mixedShape_(mixedShape) {}

  void push(std::vector<SolutionTerm> terms, std::vector<SolutionOp> ops = {}) {
    SolutionStep step{std::move(terms), std::move(ops)};
    QString text = FormatSolutionStep(step);
    if (!steps_.empty() && text == last_) return;
    last_ = std::move(text);
    steps_.push_back(std::move(step));
  }

  // From a combined result ±(I + c/m), whose fraction may be improper or not reduced: the carry
  // into the integer part, the reduction and the answer. False when the value reached is not the
  // answer or does not fit.
  bool finish(bool negative, int64_t whole, int64_t num, int64_t den) {
    if (den == 1 && num != 0) {
      if (!add(whole, num, &whole)) return false;
      num = 0;
    }
    push({mixedTerm(negative, whole, num, den)});
    // An improper fraction with no integer part is already the shape of an improper answer.
    if (num >= den && (mixedShape_ || whole > 0)) {
      if (!add(whole, num / den, &whole)) return false;
      num %= den;
      push({mixedTerm(negative, whole, num, den)});
    }
    if (num > 0) {
      const int64_t g = Gcd64(num, den);
      if (g > 1) {
        num /= g;
        den /= g;
        if (den == 1) {
          if (!add(whole, num, &whole)) return false;
          num = 0;
        }
        push({mixedTerm(negative, whole, num, den)});
      }
    }
    if (num == 0) den = 1;
    int64_t reached = 0;
    if (!mul(whole, den, &reached) || !add(reached, num, &reached)) return false;
    if (negative) reached = -reached;
    if (reached != answer_.num || den != answer_.den) return false;
    push({answerTerm()});
    return true;
  }

  std::vector<SolutionStep> takeSteps() { return std::move(steps_); }

 private:
  SolutionTerm answerTerm() const {
    const bool negative = answer_.num < 0;
    const int64_t n = negative ? -answer_.num : answer_.num;
    if (answer_.den == 1) return wholeTerm(negative, n);
    if (!mixedShape_) return fractionTerm(negative, n, answer_.den);
    const MixedNumber m = ImproperToMixed(n, answer_.den);
    return mixedTerm(negative, m.whole, m.num, m.den);
  }

  Fraction answer_;
  bool mixedShape_;
  std::vector<SolutionStep> steps_;
  QString last_;
};

bool solveAddSub(bool subtract, const SolutionTerm& a, const SolutionTerm& b,
                 ChainBuilder* chain) {
  const SolutionOp op = subtract ? SolutionOp::Sub : SolutionOp::Add;
  chain->push({a, b}, {op});

  // 通分: the fraction parts over their least common denominator, each operand in its own shape.
  int64_t den = 1;
  if (a.hasFraction && b.hasFraction) {
    if (!lcm(a.den, b.den, &den)) return false;
  } else if (a.hasFraction) {
    den = a.den;
  } else if (b.hasFraction) {
    den = b.den;
  }
  SolutionTerm ca = a;
  SolutionTerm cb = b;
  for (SolutionTerm* t : {&ca, &cb}) {
    if (t->hasFraction && !mul(t->num, den / t->den, &t->num)) return false;
    if (t->hasFraction) t->den = den;
  }
  chain->push({ca, cb}, {op});

  int64_t ta = 0;
  int64_t tb = 0;
  if (!numeratorOver(ca, den, &ta) || !numeratorOver(cb, den, &tb)) return false;

  // Integer parts and fraction parts apart, as for two ordinary mixed numbers: both operands
  // non-negative with proper fraction parts, and a result that is not negative.
  const bool proper = (!ca.hasFraction || ca.num < den) && (!cb.hasFraction || cb.num < den);
  if (!a.negative && !b.negative && proper && !(subtract && ta < tb)) {
    int64_t whole = ca.whole;
    int64_t num = ca.hasFraction ? ca.num : 0;
    if (subtract && num < cb.num) {
      // Borrow one from the integer part; the first operand is the larger, so it has one.
      --whole;
      if (!add(num, den, &num)) return false;
      chain->push({mixedTerm(false, whole, num, den), cb}, {op});
    }
    const bool fits = subtract ? sub(whole, cb.whole, &whole) && sub(num, cb.num, &num)
                               : add(whole, cb.whole, &whole) && add(num, cb.num, &num);
    return fits && chain->finish(false, whole, num, den);
  }

  // Otherwise through improper fractions over the common denominator, signs kept.
  if (den > 1) {
    auto improper = [den](const SolutionTerm& t, int64_t n) {
      return (!t.hasFraction && t.whole == 0) ? t : fractionTerm(t.negative, n, den);
    };
    chain->push({improper(ca, ta), improper(cb, tb)}, {op});
  }
  const int64_t sa = a.negative ? -ta : ta;
  const int64_t sb = b.negative ? -tb : tb;
  int64_t total = 0;
  if (!(subtract ? sub(sa, sb, &total) : add(sa, sb, &total)) || total == INT64_MIN) return false;
  return chain->finish(total < 0, 0, total < 0 ? -total : total, den);
}

// A mixed number as an improper fraction; other values as they are.
bool asImproper(const SolutionTerm& v, SolutionTerm* out) {
  if (!v.hasFraction || v.whole == 0) {
    *out = v;
    return true;
  }
  int64_t n = 0;
  if (!numeratorOver(v, v.den, &n)) return false;
  *out = fractionTerm(v.negative, n, v.den);
  return true;
}

bool solveMulDiv(bool divide, const SolutionTerm& a, const SolutionTerm& b, ChainBuilder* chain) {
  const SolutionOp op = divide ? SolutionOp::Div : SolutionOp::Mul;
  chain->push({a, b}, {op});
  SolutionTerm ia;
  SolutionTerm ib;
  if (!asImproper(a, &ia) || !asImproper(b, &ib)) return false;
  chain->push({ia, ib}, {op});
  if (divide) {
    const int64_t n = ib.hasFraction ? ib.num : ib.whole;
    if (n == 0) return false;
    ib = fractionTerm(ib.negative, ib.hasFraction ? ib.den : 1, n);
    chain->push({ia, ib}, {SolutionOp::Mul});
  }

  // Every numerator factor cancelled against every denominator factor: afterwards each pair is
  // coprime, so the product comes out reduced.
  std::vector<int64_t> nums{ia.hasFraction ? ia.num : ia.whole, ib.hasFraction ? ib.num : ib.whole};
  std::vector<int64_t> dens{ia.hasFraction ? ia.den : 1, ib.hasFraction ? ib.den : 1};
  for (int64_t& n : nums) {
    for (int64_t& d : dens) {
      if (n == 0) continue;
      const int64_t g = Gcd64(n, d);
      n /= g;
      d /= g;
    }
  }
  int64_t num = 0;
  int64_t den = 0;
  if (!mul(nums[0], nums[1], &num) || !mul(dens[0], dens[1], &den)) return false;
  const bool negative = a.negative != b.negative;
  chain->push({unmultipliedTerm(negative && num != 0, std::vector<std::vector<int64_t>>{nums},
                                std::vector<std::vector<int64_t>>{dens})});
  return chain->finish(negative, 0, num, den);
}

bool solveMixedToImproper(const SolutionTerm& a, ChainBuilder* chain) {
  chain->push({a});
  if (!a.hasFraction || a.whole == 0) return chain->finish(a.negative, a.whole, a.num, a.den);
  int64_t n = 0;
  if (!numeratorOver(a, a.den, &n)) return false;
  chain->push({unmultipliedTerm(a.negative, {{a.whole, a.den}, {a.num}}, {{a.den}})});
  return chain->finish(a.negative, 0, n, a.den);
}

bool solveImproperToMixed(const SolutionTerm& a, ChainBuilder* chain) {
  chain->push({a});
  return chain->finish(a.negative, a.whole, a.num, a.den);
}

QString sumOfProducts(const std::vector<std::vector<int64_t>>& sum) {
  QString text;
  for (size_t i = 0; i < sum.size(); ++i) {
    if (i > 0) text += u'+';
    for (size_t j = 0; j < sum[i].size(); ++j) {
      if (j > 0) text += u'×';
      text += QString::number(sum[i][j]);
    }
  }
  return text;
}

QString opText(SolutionOp op) {
  switch (op) {
    case SolutionOp::Add: return QStringLiteral(" + ");
    case SolutionOp::Sub: return QStringLiteral(" - ");
    case SolutionOp::Mul: return QStringLiteral(" × ");
    case SolutionOp::Div: return QStringLiteral(" ÷ ");
  }
  return QString();
}

}  // namespace

Solution SolveProblem(ProblemKind kind, const QString& first, const QString& second,
                      bool mixedAnswers) {
  Solution solution;
  if (kind < pkAdd || kind > pkImproperToMixed) return solution;
  const bool oneOperand = kind == pkMixedToImproper || kind == pkImproperToMixed;
  const std::optional<SolutionTerm> a = readValue(first);
  const std::optional<SolutionTerm> b = oneOperand ? wholeTerm(false, 0) : readValue(second);
  if (!a || !b) return solution;
  const std::optional<Fraction> va = valueOf(*a);
  const std::optional<Fraction> vb = valueOf(*b);
  if (!va || !vb) return solution;

  // The answer as the generator computes it; the chain must arrive at it.
  std::optional<Fraction> answer;
  switch (kind) {
    case pkAdd: answer = AddFractions(va->num, va->den, vb->num, vb->den); break;
    case pkSub: answer = AddFractions(va->num, va->den, -vb->num, vb->den); break;
    case pkMul: answer = MultiplyFractions(va->num, va->den, vb->num, vb->den); break;
    case pkDiv:
      if (vb->num != 0) answer = MultiplyFractions(va->num, va->den, vb->den, vb->num);
      break;
    default: answer = *va; break;
  }
  if (!answer || answer->den == 0) return solution;

  const bool mixedShape =
      kind == pkImproperToMixed || (kind != pkMixedToImproper && mixedAnswers);
  ChainBuilder chain(*answer, mixedShape);
  bool solved = false;
  switch (kind) {
    case pkAdd: solved = solveAddSub(false, *a, *b, &chain); break;
    case pkSub: solved = solveAddSub(true, *a, *b, &chain); break;
    case pkMul: solved = solveMulDiv(false, *a, *b, &chain); break;
    case pkDiv: solved = solveMulDiv(true, *a, *b, &chain); break;
    case pkMixedToImproper: solved = solveMixedToImproper(*a, &chain); break;
    case pkImproperToMixed: solved = solveImproperToMixed(*a, &chain); break;
  }
  if (!solved) return solution;
  solution.solved = true;
  solution.steps = chain.takeSteps();
  return solution;
}

QString FormatSolutionTerm(const SolutionTerm& term) {
  QString text;
  if (term.negative) text += u'-';
  if (term.kind == SolutionTerm::Unmultiplied) {
    text += u'(' + sumOfProducts(term.numerator) + QStringLiteral(")/");
    const bool single = term.denominator.size() == 1 && term.denominator[0].size() == 1;
    if (single) text += QString::number(term.denominator[0][0]);
    else text += u'(' + sumOfProducts(term.denominator) + u')';
    return text;
  }
  if (!term.hasFraction) return text + QString::number(term.whole);
  const QString fraction = QString::number(term.num) + u'/' + QString::number(term.den);
  if (term.whole == 0) return text + fraction;
  const QString mixed = QString::number(term.whole) + u'+' + fraction;
  return term.negative ? text + u'(' + mixed + u')' : mixed;
}

QString FormatSolutionStep(const SolutionStep& step) {
  QString text;
  for (size_t i = 0; i < step.terms.size(); ++i) {
    if (i > 0 && i - 1 < step.ops.size()) text += opText(step.ops[i - 1]);
    text += FormatSolutionTerm(step.terms[i]);
  }
  return text;
}

QString FormatSolution(const Solution& solution) {
  if (!solution.solved) return QString();
  QString text;
  for (size_t i = 0; i < solution.steps.size(); ++i) {
    if (i > 0) text += QStringLiteral(" = ");
    text += FormatSolutionStep(solution.steps[i]);
  }
  return text;
}

QString UnsolvableText() { return QStringLiteral("解けません"); }

}  // namespace zubira
