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

SolutionTerm cancelledTerm(bool negative, std::vector<int64_t> numerator,
                           std::vector<int64_t> denominator, std::vector<int64_t> numeratorQuotients,
                           std::vector<int64_t> denominatorQuotients) {
  SolutionTerm t;
  t.kind = SolutionTerm::Cancelled;
  t.negative = negative;
  t.numerator = {std::move(numerator)};
  t.denominator = {std::move(denominator)};
  t.numeratorQuotients = {std::move(numeratorQuotients)};
  t.denominatorQuotients = {std::move(denominatorQuotients)};
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
  void setRemark(const SolutionRemark& remark) { remark_ = remark; }
  std::optional<SolutionRemark> takeRemark() { return remark_; }

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
  std::optional<SolutionRemark> remark_;
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

// The reciprocal of a whole number or a fraction without an integer part, as a pupil writes it:
// n becomes 1/n, 1/n becomes n (so 1 stays 1), c/m becomes m/c. False for zero.
bool reciprocal(const SolutionTerm& v, SolutionTerm* out) {
  const int64_t n = v.hasFraction ? v.num : v.whole;
  const int64_t d = v.hasFraction ? v.den : 1;
  if (n == 0) return false;
  *out = n == 1 ? wholeTerm(v.negative, d) : fractionTerm(v.negative, d, n);
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
    if (!reciprocal(ib, &ib)) return false;
    chain->push({ia, ib}, {SolutionOp::Mul});
  }

  // The product with the factors as they stand; a whole number is a factor of the numerator
  // only. Two whole numbers have no fraction to write, so their product is the next step.
  std::vector<int64_t> nums;
  std::vector<int64_t> dens;
  for (const SolutionTerm* t : {&ia, &ib}) {
    nums.push_back(t->hasFraction ? t->num : t->whole);
    if (t->hasFraction) dens.push_back(t->den);
  }
  const bool zero = nums[0] == 0 || nums[1] == 0;
  const bool negative = a.negative != b.negative && !zero;
  if (!dens.empty()) chain->push({unmultipliedTerm(negative, {nums}, {dens})});

  // Every numerator factor cancelled against every denominator factor: afterwards each pair is
  // coprime, so the product comes out reduced. A zero numerator is left as it is.
  std::vector<int64_t> qn = nums;
  std::vector<int64_t> qd = dens;
  for (int64_t& n : qn) {
    for (int64_t& d : qd) {
      if (n == 0) continue;
      const int64_t g = Gcd64(n, d);
      n /= g;
      d /= g;
    }
  }
  if (qn != nums || qd != dens) chain->push({cancelledTerm(negative, nums, dens, qn, qd)});
  int64_t num = 0;
  int64_t den = 1;
  if (!mul(qn[0], qn[1], &num)) return false;
  for (const int64_t d : qd)
    if (!mul(den, d, &den)) return false;
  return chain->finish(a.negative != b.negative, 0, num, den);
}

// Denominator times the integer part, plus the numerator, over the denominator.
bool solveMixedToImproper(const SolutionTerm& a, ChainBuilder* chain) {
  chain->push({a});
  if (!a.hasFraction || a.whole == 0) return chain->finish(a.negative, a.whole, a.num, a.den);
  int64_t n = 0;
  if (!numeratorOver(a, a.den, &n)) return false;
  chain->push({unmultipliedTerm(a.negative, {{a.den, a.whole}, {a.num}}, {{a.den}})});
  return chain->finish(a.negative, 0, n, a.den);
}

// The integer part comes from dividing the numerator by the denominator; that division and its
// remainder are the remark.
bool solveImproperToMixed(const SolutionTerm& a, ChainBuilder* chain) {
  chain->push({a});
  if (a.hasFraction && a.num >= a.den)
    chain->setRemark({a.num, a.den, a.num / a.den, a.num % a.den});
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
  solution.remark = chain.takeRemark();
  return solution;
}

QString FormatSolutionTerm(const SolutionTerm& term) {
  QString text;
  if (term.negative) text += u'-';
  if (term.kind == SolutionTerm::Unmultiplied || term.kind == SolutionTerm::Cancelled) {
    const bool cancelled = term.kind == SolutionTerm::Cancelled;
    const auto& numerator = cancelled ? term.numeratorQuotients : term.numerator;
    const auto& denominator = cancelled ? term.denominatorQuotients : term.denominator;
    text += u'(' + sumOfProducts(numerator) + QStringLiteral(")/");
    const bool single = denominator.size() == 1 && denominator[0].size() == 1;
    if (single) text += QString::number(denominator[0][0]);
    else text += u'(' + sumOfProducts(denominator) + u')';
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
  if (solution.remark) text += u' ' + FormatSolutionRemark(*solution.remark);
  return text;
}

QString FormatSolutionRemark(const SolutionRemark& r) {
  QString text = u'(' + QString::number(r.dividend) + QStringLiteral(" ÷ ") +
                 QString::number(r.divisor) + QStringLiteral(" = ") + QString::number(r.quotient);
  if (r.remainder != 0) text += QStringLiteral(" あまり ") + QString::number(r.remainder);
  return text + u')';
}

QString UnsolvableText() { return QStringLiteral("解けません"); }

}  // namespace zubira
