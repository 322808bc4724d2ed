#include "generation/solver.h"

#include "generation/fraction.h"
#include "generation/problem_generator.h"
#include "generation/random_source.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>

#include <numeric>
#include <optional>
#include <string>
#include <vector>

namespace zubira {
namespace {

// ---------------------------------------------------------------------------------------------
// An evaluator of the chain text of its own: exact fractions in 128 bits, × and ÷ before + and -,
// left to right.

__int128 gcd128(__int128 a, __int128 b) {
  if (a < 0) a = -a;
  if (b < 0) b = -b;
  while (b != 0) {
    const __int128 r = a % b;
    a = b;
    b = r;
  }
  return a;
}

struct Q {
  __int128 n = 0, d = 1;
};

Q makeQ(__int128 n, __int128 d) {
  if (d < 0) {
    n = -n;
    d = -d;
  }
  const __int128 g = gcd128(n, d);
  return g > 1 ? Q{n / g, d / g} : Q{n, d};
}

bool operator==(const Q& a, const Q& b) { return a.n == b.n && a.d == b.d; }

std::string show(const Q& q) {
  return std::to_string(static_cast<long long>(q.n)) + "/" +
         std::to_string(static_cast<long long>(q.d));
}

// A sum of products such as 2×3+1; nothing when it is malformed.
std::optional<__int128> evalSum(const QString& text) {
  __int128 sum = 0;
  for (const QString& product : text.split(u'+')) {
    __int128 p = 1;
    for (const QString& factor : product.split(u'×')) {
      bool ok = false;
      const qlonglong f = factor.toLongLong(&ok);
      if (!ok || factor.isEmpty() || !factor[0].isDigit()) return std::nullopt;
      p *= f;
    }
    sum += p;
  }
  return sum;
}

struct ParsedTerm {
  Q value;
  bool unmultiplied = false;
  __int128 numProduct = 0, denProduct = 1;  // the parts of an unmultiplied fraction
  QString numText, denText;                  // and as written
};

std::optional<ParsedTerm> parseTerm(const QString& t) {
  static const QRegularExpression whole(QStringLiteral("^(-?)([0-9]+)$"));
  static const QRegularExpression fraction(QStringLiteral("^(-?)([0-9]+)/([0-9]+)$"));
  static const QRegularExpression mixed(QStringLiteral("^([0-9]+)\\+([0-9]+)/([0-9]+)$"));
  static const QRegularExpression negMixed(QStringLiteral("^-\\(([0-9]+)\\+([0-9]+)/([0-9]+)\\)$"));
  static const QRegularExpression unmult(
      QStringLiteral("^(-?)\\(([0-9×+]+)\\)/(?:\\(([0-9×+]+)\\)|([0-9]+))$"));
  ParsedTerm p;
  QRegularExpressionMatch m;
  auto num = [&m](int i) { return __int128(m.captured(i).toLongLong()); };
  if ((m = whole.match(t)).hasMatch()) {
    p.value = makeQ(m.captured(1).isEmpty() ? num(2) : -num(2), 1);
  } else if ((m = fraction.match(t)).hasMatch()) {
    if (num(3) == 0) return std::nullopt;
    p.value = makeQ(m.captured(1).isEmpty() ? num(2) : -num(2), num(3));
  } else if ((m = mixed.match(t)).hasMatch() || (m = negMixed.match(t)).hasMatch()) {
    if (num(3) == 0) return std::nullopt;
    const __int128 n = num(1) * num(3) + num(2);
    p.value = makeQ(t.startsWith(u'-') ? -n : n, num(3));
  } else if ((m = unmult.match(t)).hasMatch()) {
    const std::optional<__int128> n = evalSum(m.captured(2));
    const std::optional<__int128> d =
        m.captured(3).isEmpty() ? std::optional<__int128>(num(4)) : evalSum(m.captured(3));
    if (!n || !d || *d == 0) return std::nullopt;
    p.unmultiplied = true;
    p.numProduct = *n;
    p.denProduct = *d;
    p.numText = m.captured(2);
    p.denText = m.captured(3).isEmpty() ? m.captured(4) : m.captured(3);
    p.value = makeQ(m.captured(1).isEmpty() ? *n : -*n, *d);
  } else {
    return std::nullopt;
  }
  return p;
}

Q mulQ(const Q& a, const Q& b) { return makeQ(a.n * b.n, a.d * b.d); }
Q addQ(const Q& a, const Q& b) { return makeQ(a.n * b.d + b.n * a.d, a.d * b.d); }

// One step: terms separated by single blanks around the operators.
std::optional<Q> evalStep(const QString& step, std::vector<ParsedTerm>* terms = nullptr) {
  const QStringList tokens = step.split(u' ');
  if (tokens.size() % 2 == 0) return std::nullopt;
  Q sum{0, 1};
  std::optional<ParsedTerm> first = parseTerm(tokens[0]);
  if (!first) return std::nullopt;
  if (terms) terms->push_back(*first);
  Q product = first->value;
  for (int i = 1; i < tokens.size(); i += 2) {
    const QString& op = tokens[i];
    const std::optional<ParsedTerm> t = parseTerm(tokens[i + 1]);
    if (!t) return std::nullopt;
    if (terms) terms->push_back(*t);
    if (op == QStringLiteral("×")) {
      product = mulQ(product, t->value);
    } else if (op == QStringLiteral("÷")) {
      if (t->value.n == 0) return std::nullopt;
      product = mulQ(product, makeQ(t->value.d, t->value.n));
    } else if (op == QStringLiteral("+") || op == QStringLiteral("-")) {
      sum = addQ(sum, product);
      product = op == QStringLiteral("+") ? t->value : Q{-t->value.n, t->value.d};
    } else {
      return std::nullopt;
    }
  }
  return addQ(sum, product);
}

// The remark after a chain, " (24 ÷ 7 = 3 あまり 3)", and the chain without it.
const QRegularExpression& remarkPattern() {
  static const QRegularExpression re(
      QStringLiteral(" \\(([0-9]+) ÷ ([0-9]+) = ([0-9]+)(?: あまり ([0-9]+))?\\)$"));
  return re;
}

QString withoutRemark(const QString& chain) { return QString(chain).remove(remarkPattern()); }

TEST(SolverEvaluator, PrecedenceAndTermShapes) {
  EXPECT_EQ(evalStep(QStringLiteral("1+1/2 + 2/3 × 3")), makeQ(7, 2));
  EXPECT_EQ(evalStep(QStringLiteral("1 - 1/2 ÷ 1/4")), makeQ(-1, 1));
  EXPECT_EQ(evalStep(QStringLiteral("-(2+1/3) - -(2×3+1)/3")), makeQ(0, 1));
  EXPECT_EQ(evalStep(QStringLiteral("-(1×4)/(1×1)")), makeQ(-4, 1));
  EXPECT_FALSE(evalStep(QStringLiteral("1/0")));
  EXPECT_FALSE(evalStep(QStringLiteral("1 +")));
  EXPECT_FALSE(evalStep(QStringLiteral("1  2")));
}

// ---------------------------------------------------------------------------------------------
// The school examples

struct Example {
  ProblemKind kind;
  const char* first;
  const char* second;
  bool mixedAnswers;
  const char* chain;
};

const Example kExamples[] = {
    // Addition: 通分, carrying, reduction, the answer in the other shape.
    {pkAdd, "1+1/2", "2+2/3", false, "1+1/2 + 2+2/3 = 1+3/6 + 2+4/6 = 3+7/6 = 4+1/6 = 25/6"},
    {pkAdd, "1+1/2", "2+2/3", true, "1+1/2 + 2+2/3 = 1+3/6 + 2+4/6 = 3+7/6 = 4+1/6"},
    {pkAdd, "1+3/4", "2+3/4", true, "1+3/4 + 2+3/4 = 3+6/4 = 4+2/4 = 4+1/2"},
    {pkAdd, "1/6", "1/3", false, "1/6 + 1/3 = 1/6 + 2/6 = 3/6 = 1/2"},
    {pkAdd, "1/2", "1/2", false, "1/2 + 1/2 = 2/2 = 1"},
    {pkAdd, "3/4", "2/4", false, "3/4 + 2/4 = 5/4"},
    {pkAdd, "3/4", "2/4", true, "3/4 + 2/4 = 5/4 = 1+1/4"},
    {pkAdd, "5/6", "5/6", true, "5/6 + 5/6 = 10/6 = 1+4/6 = 1+2/3"},
    {pkAdd, "3", "1/4", false, "3 + 1/4 = 3+1/4 = 13/4"},
    {pkAdd, "3", "4", true, "3 + 4 = 7"},
    {pkAdd, "0", "1/2", true, "0 + 1/2 = 1/2"},
    {pkAdd, "1+1/2", "1/2", false, "1+1/2 + 1/2 = 1+2/2 = 2"},
    // Addition with negative operands or result: improper fractions over the common denominator.
    {pkAdd, "-(1+1/2)", "2+2/3", true,
     "-(1+1/2) + 2+2/3 = -(1+3/6) + 2+4/6 = -9/6 + 16/6 = 7/6 = 1+1/6"},
    {pkAdd, "-(1+1/3)", "-(2+1/2)", true,
     "-(1+1/3) + -(2+1/2) = -(1+2/6) + -(2+3/6) = -8/6 + -15/6 = -23/6 = -(3+5/6)"},
    {pkAdd, "-3/4", "1/4", false, "-3/4 + 1/4 = -2/4 = -1/2"},
    {pkAdd, "-1/2", "1/2", true, "-1/2 + 1/2 = 0"},
    {pkAdd, "-3", "1/2", true, "-3 + 1/2 = -6/2 + 1/2 = -5/2 = -(2+1/2)"},
    {pkAdd, "-3", "5", false, "-3 + 5 = 2"},
    // An improper fraction operand goes through improper fractions too.
    {pkAdd, "7/3", "1+1/2", true, "7/3 + 1+1/2 = 14/6 + 1+3/6 = 14/6 + 9/6 = 23/6 = 3+5/6"},
    // Subtraction: borrowing, from a whole number too, down to no integer part.
    {pkSub, "3+1/4", "1+3/4", true, "3+1/4 - 1+3/4 = 2+5/4 - 1+3/4 = 1+2/4 = 1+1/2"},
    {pkSub, "3", "1+3/4", false, "3 - 1+3/4 = 2+4/4 - 1+3/4 = 1+1/4 = 5/4"},
    {pkSub, "1+1/4", "3/4", true, "1+1/4 - 3/4 = 5/4 - 3/4 = 2/4 = 1/2"},
    {pkSub, "1", "1/3", false, "1 - 1/3 = 3/3 - 1/3 = 2/3"},
    {pkSub, "2+1/3", "1+1/2", false, "2+1/3 - 1+1/2 = 2+2/6 - 1+3/6 = 1+8/6 - 1+3/6 = 5/6"},
    {pkSub, "3+1/2", "1+1/3", true, "3+1/2 - 1+1/3 = 3+3/6 - 1+2/6 = 2+1/6"},
    {pkSub, "5/6", "1/3", false, "5/6 - 1/3 = 5/6 - 2/6 = 3/6 = 1/2"},
    {pkSub, "3", "3", true, "3 - 3 = 0"},
    {pkSub, "2+3/4", "2+3/4", true, "2+3/4 - 2+3/4 = 0"},
    // Subtraction with signs, a negative result or an improper fraction operand.
    {pkSub, "3/4", "-1/2", false, "3/4 - -1/2 = 3/4 - -2/4 = 5/4"},
    {pkSub, "3/4", "-1/2", true, "3/4 - -1/2 = 3/4 - -2/4 = 5/4 = 1+1/4"},
    {pkSub, "1/2", "3/4", false, "1/2 - 3/4 = 2/4 - 3/4 = -1/4"},
    {pkSub, "1+1/2", "2+3/4", true, "1+1/2 - 2+3/4 = 1+2/4 - 2+3/4 = 6/4 - 11/4 = -5/4 = -(1+1/4)"},
    {pkSub, "-(1+1/2)", "1/2", true, "-(1+1/2) - 1/2 = -3/2 - 1/2 = -4/2 = -2"},
    {pkSub, "3", "5", false, "3 - 5 = -2"},
    {pkSub, "0", "3/4", false, "0 - 3/4 = -3/4"},
    {pkSub, "3+1/6", "17/6", false, "3+1/6 - 17/6 = 19/6 - 17/6 = 2/6 = 1/3"},
    // Multiplication: improper fractions, cancelling, the product, the answer's shape.
    // Multiplication: improper fractions, the product as written, the cancelled product, the
    // answer's shape. A whole number is a factor of the numerator only.
    {pkMul, "3/2", "8/3", false, "3/2 × 8/3 = (3×8)/(2×3) = (1×4)/(1×1) = 4"},
    {pkMul, "8/7", "9/8", false, "8/7 × 9/8 = (8×9)/(7×8) = (1×9)/(7×1) = 9/7"},
    {pkMul, "2/3", "4/5", false, "2/3 × 4/5 = (2×4)/(3×5) = 8/15"},
    {pkMul, "3/2", "3/2", true, "3/2 × 3/2 = (3×3)/(2×2) = 9/4 = 2+1/4"},
    {pkMul, "1+1/2", "2+1/3", true,
     "1+1/2 × 2+1/3 = 3/2 × 7/3 = (3×7)/(2×3) = (1×7)/(2×1) = 7/2 = 3+1/2"},
    {pkMul, "3", "2/9", false, "3 × 2/9 = (3×2)/9 = (1×2)/3 = 2/3"},
    {pkMul, "4", "9/5", false, "4 × 9/5 = (4×9)/5 = 36/5"},
    {pkMul, "2", "1", false, "2 × 1 = 2"},
    {pkMul, "3", "2", false, "3 × 2 = 6"},
    {pkMul, "-3/4", "2/3", false, "-3/4 × 2/3 = -(3×2)/(4×3) = -(1×1)/(2×1) = -1/2"},
    {pkMul, "-(1+1/2)", "-(1+1/3)", true,
     "-(1+1/2) × -(1+1/3) = -3/2 × -4/3 = (3×4)/(2×3) = (1×2)/(1×1) = 2"},
    {pkMul, "0", "3/4", true, "0 × 3/4 = (0×3)/4 = 0"},
    {pkMul, "2/4", "2", false, "2/4 × 2 = (2×2)/4 = (1×1)/1 = 1"},
    // Division: multiplication by the reciprocal; n becomes 1/n and 1/n becomes n.
    {pkDiv, "3/4", "9/2", false, "3/4 ÷ 9/2 = 3/4 × 2/9 = (3×2)/(4×9) = (1×1)/(2×3) = 1/6"},
    {pkDiv, "2/3", "3", false, "2/3 ÷ 3 = 2/3 × 1/3 = (2×1)/(3×3) = 2/9"},
    {pkDiv, "3", "1/2", false, "3 ÷ 1/2 = 3 × 2 = 6"},
    {pkDiv, "4", "5/9", false, "4 ÷ 5/9 = 4 × 9/5 = (4×9)/5 = 36/5"},
    {pkDiv, "5/6", "1", false, "5/6 ÷ 1 = 5/6 × 1 = (5×1)/6 = 5/6"},
    {pkDiv, "3/4", "-1/2", true, "3/4 ÷ -1/2 = 3/4 × -2 = -(3×2)/4 = -(3×1)/2 = -3/2 = -(1+1/2)"},
    {pkDiv, "2+1/4", "1+1/2", true,
     "2+1/4 ÷ 1+1/2 = 9/4 ÷ 3/2 = 9/4 × 2/3 = (9×2)/(4×3) = (3×1)/(2×1) = 3/2 = 1+1/2"},
    {pkDiv, "0", "3/4", false, "0 ÷ 3/4 = 0 × 4/3 = (0×4)/3 = 0"},
    {pkDiv, "3", "3", false, "3 ÷ 3 = 3 × 1/3 = (3×1)/3 = (1×1)/1 = 1"},
    // Mixed number to improper fraction, whatever the answer option: denominator × integer part
    // + numerator.
    {pkMixedToImproper, "2+1/3", "=", true, "2+1/3 = (3×2+1)/3 = 7/3"},
    {pkMixedToImproper, "-(2+1/3)", "=", false, "-(2+1/3) = -(3×2+1)/3 = -7/3"},
    {pkMixedToImproper, "2+2/4", "=", false, "2+2/4 = (4×2+2)/4 = 10/4 = 5/2"},
    {pkMixedToImproper, "3/4", "=", true, "3/4"},
    {pkMixedToImproper, "2/4", "=", false, "2/4 = 1/2"},
    {pkMixedToImproper, "3", "=", false, "3"},
    // Improper fraction to mixed number, whatever the answer option, with the division and its
    // remainder after the chain.
    {pkImproperToMixed, "24/7", "=", false, "24/7 = 3+3/7 (24 ÷ 7 = 3 あまり 3)"},
    {pkImproperToMixed, "7/3", "=", false, "7/3 = 2+1/3 (7 ÷ 3 = 2 あまり 1)"},
    {pkImproperToMixed, "14/6", "=", false, "14/6 = 2+2/6 = 2+1/3 (14 ÷ 6 = 2 あまり 2)"},
    {pkImproperToMixed, "1+4/3", "=", true, "1+4/3 = 2+1/3 (4 ÷ 3 = 1 あまり 1)"},
    {pkImproperToMixed, "6/3", "=", false, "6/3 = 2 (6 ÷ 3 = 2)"},
    {pkImproperToMixed, "-7/3", "=", false, "-7/3 = -(2+1/3) (7 ÷ 3 = 2 あまり 1)"},
    {pkImproperToMixed, "2/6", "=", true, "2/6 = 1/3"},
    // Blanks around a line are not part of it.
    {pkAdd, " 1/2 ", "\t1/3", false, "1/2 + 1/3 = 3/6 + 2/6 = 5/6"},
};

TEST(SolveProblem, SchoolExamples) {
  for (const Example& e : kExamples) {
    SCOPED_TRACE(std::string(e.first) + " | " + e.second + (e.mixedAnswers ? " mixed" : ""));
    const Solution s = SolveProblem(e.kind, QString::fromUtf8(e.first),
                                    QString::fromUtf8(e.second), e.mixedAnswers);
    EXPECT_TRUE(s.solved);
    EXPECT_EQ(FormatSolution(s).toStdString(), e.chain);
    // The examples themselves are consistent: every step equals the last.
    const QStringList steps = withoutRemark(QString::fromUtf8(e.chain)).split(QStringLiteral(" = "));
    const std::optional<Q> last = evalStep(steps.last());
    ASSERT_TRUE(last);
    for (const QString& step : steps) EXPECT_EQ(evalStep(step), last) << step.toStdString();
  }
}

struct Unsolvable {
  ProblemKind kind;
  const char* first;
  const char* second;
};

const Unsolvable kUnsolvable[] = {
    // Lines that are no value.
    {pkAdd, "", "1/2"},
    {pkAdd, "1/2", "   "},
    {pkAdd, "a", "1/2"},
    {pkAdd, "+3", "1/2"},
    {pkAdd, "1/0", "1/2"},
    {pkAdd, "1/2", "2+1/0"},
    {pkAdd, "-0", "1/2"},
    {pkAdd, "-0/4", "1/2"},
    {pkAdd, "03", "1/2"},
    {pkAdd, "1/02", "1/2"},
    {pkAdd, "1/", "1/2"},
    {pkAdd, "/2", "1/2"},
    {pkAdd, "1+/2", "1/2"},
    {pkAdd, "2+1", "1/2"},
    {pkAdd, "2+1/", "1/2"},
    {pkAdd, "0+1/2", "1/2"},
    {pkAdd, "2+0/3", "1/2"},
    {pkAdd, "-2+1/3", "1/2"},
    {pkAdd, "(2+1/3)", "1/2"},
    {pkAdd, "-(2+1/3", "1/2"},
    {pkAdd, "2+1/3)", "1/2"},
    {pkAdd, "-(3)", "1/2"},
    {pkAdd, "-(1/2)", "1/2"},
    {pkAdd, "--3", "1/2"},
    {pkAdd, "1 /2", "1/2"},
    {pkAdd, "1/2/3", "1/2"},
    {pkAdd, "1+1+1/2", "1/2"},
    {pkAdd, "１/2", "1/2"},
    {pkMixedToImproper, "", "="},
    {pkImproperToMixed, "x", "="},
    // Numbers that do not fit in 64 bits.
    {pkAdd, "9223372036854775808", "1"},
    {pkAdd, "1/9223372036854775808", "1"},
    // Division by zero.
    {pkDiv, "1/2", "0"},
    {pkDiv, "1/2", "0/4"},
    // Values too large for exact 64-bit arithmetic.
    {pkAdd, "9223372036854775807", "1"},
    {pkSub, "-9223372036854775807", "2"},
    {pkAdd, "1/4000000007", "1/4000000009"},
    {pkMul, "4294967296", "4294967296"},
    {pkDiv, "1/4294967296", "4294967296"},
    {pkMixedToImproper, "4611686018427387904+1/2", "="},
    {pkImproperToMixed, "4611686018427387904+1/2", "="},
    // No such kind.
    {ProblemKind(6), "1/2", "1/2"},
    {ProblemKind(-1), "1/2", "1/2"},
};

TEST(SolveProblem, UnsolvableProblems) {
  for (const Unsolvable& u : kUnsolvable) {
    SCOPED_TRACE(std::string(u.first) + " | " + u.second);
    for (bool mixed : {false, true}) {
      const Solution s =
          SolveProblem(u.kind, QString::fromUtf8(u.first), QString::fromUtf8(u.second), mixed);
      EXPECT_FALSE(s.solved);
      EXPECT_EQ(FormatSolution(s), QString());
    }
  }
}

TEST(SolveProblem, LargestValuesThatFitAreSolved) {
  EXPECT_EQ(FormatSolution(SolveProblem(pkAdd, "9223372036854775806", "1", false)),
            "9223372036854775806 + 1 = 9223372036854775807");
  EXPECT_EQ(FormatSolution(SolveProblem(pkSub, "-9223372036854775806", "1", false)),
            "-9223372036854775806 - 1 = -9223372036854775807");
  EXPECT_EQ(FormatSolution(SolveProblem(pkMul, "3037000499", "3037000499", false)),
            "3037000499 × 3037000499 = 9223372030926249001");
}

TEST(SolveProblem, StepsCarryTheNumbersOfEveryTerm) {
  const Solution toImproper = SolveProblem(pkMixedToImproper, "-(2+1/3)", "=", false);
  ASSERT_TRUE(toImproper.solved);
  ASSERT_EQ(toImproper.steps.size(), 3u);
  const SolutionStep& first = toImproper.steps[0];
  ASSERT_EQ(first.terms.size(), 1u);
  EXPECT_TRUE(first.ops.empty());
  EXPECT_EQ(first.terms[0].kind, SolutionTerm::Value);
  EXPECT_TRUE(first.terms[0].negative);
  EXPECT_EQ(first.terms[0].whole, 2);
  EXPECT_EQ(first.terms[0].num, 1);
  EXPECT_EQ(first.terms[0].den, 3);
  EXPECT_TRUE(first.terms[0].hasFraction);
  const SolutionTerm& sum = toImproper.steps[1].terms.at(0);
  EXPECT_EQ(sum.kind, SolutionTerm::Unmultiplied);
  EXPECT_TRUE(sum.negative);
  EXPECT_EQ(sum.numerator, (std::vector<std::vector<int64_t>>{{3, 2}, {1}}));
  EXPECT_EQ(sum.denominator, (std::vector<std::vector<int64_t>>{{3}}));

  const Solution division = SolveProblem(pkDiv, "3/4", "-1/2", false);
  ASSERT_TRUE(division.solved);
  ASSERT_GE(division.steps.size(), 3u);
  const SolutionStep& reciprocal = division.steps[1];
  ASSERT_EQ(reciprocal.terms.size(), 2u);
  EXPECT_EQ(reciprocal.ops, std::vector<SolutionOp>{SolutionOp::Mul});
  const SolutionTerm& r = reciprocal.terms[1];
  EXPECT_TRUE(r.negative && !r.hasFraction) << "the reciprocal of 1/2 is 2";
  EXPECT_EQ(r.whole, 2);
  const SolutionTerm& product = division.steps[2].terms.at(0);
  EXPECT_EQ(product.kind, SolutionTerm::Unmultiplied);
  EXPECT_EQ(product.numerator, (std::vector<std::vector<int64_t>>{{3, 2}}));
  EXPECT_EQ(product.denominator, (std::vector<std::vector<int64_t>>{{4}}));
  const SolutionTerm& cancelled = division.steps[3].terms.at(0);
  EXPECT_EQ(cancelled.kind, SolutionTerm::Cancelled);
  EXPECT_TRUE(cancelled.negative);
  EXPECT_EQ(cancelled.numerator, product.numerator) << "the factors as written";
  EXPECT_EQ(cancelled.denominator, product.denominator);
  EXPECT_EQ(cancelled.numeratorQuotients, (std::vector<std::vector<int64_t>>{{3, 1}}));
  EXPECT_EQ(cancelled.denominatorQuotients, (std::vector<std::vector<int64_t>>{{2}}));
  EXPECT_FALSE(division.remark);

  const Solution toMixed = SolveProblem(pkImproperToMixed, "24/7", "=", false);
  ASSERT_TRUE(toMixed.remark);
  EXPECT_EQ(*toMixed.remark, (SolutionRemark{24, 7, 3, 3}));

  const Solution whole = SolveProblem(pkAdd, "3", "4", false);
  ASSERT_TRUE(whole.solved);
  const SolutionTerm& seven = whole.steps.back().terms.at(0);
  EXPECT_FALSE(seven.hasFraction);
  EXPECT_EQ(seven.whole, 7);
  EXPECT_EQ(seven.num, 0);
  EXPECT_EQ(seven.den, 1);
}

TEST(FormatSolutionTerm, Shapes) {
  SolutionTerm t;
  t.whole = 3;
  EXPECT_EQ(FormatSolutionTerm(t), "3");
  t.negative = true;
  EXPECT_EQ(FormatSolutionTerm(t), "-3");
  t.hasFraction = true;
  t.num = 5;
  t.den = 4;
  EXPECT_EQ(FormatSolutionTerm(t), "-(3+5/4)");
  t.negative = false;
  EXPECT_EQ(FormatSolutionTerm(t), "3+5/4");
  t.whole = 0;
  EXPECT_EQ(FormatSolutionTerm(t), "5/4");
  t.negative = true;
  EXPECT_EQ(FormatSolutionTerm(t), "-5/4");

  SolutionTerm u;
  u.kind = SolutionTerm::Unmultiplied;
  u.numerator = {{3, 8}};
  u.denominator = {{2, 3}};
  EXPECT_EQ(FormatSolutionTerm(u), "(3×8)/(2×3)");
  u.numerator = {{2, 3}, {1}};
  u.denominator = {{3}};
  EXPECT_EQ(FormatSolutionTerm(u), "(2×3+1)/3");
  u.negative = true;
  EXPECT_EQ(FormatSolutionTerm(u), "-(2×3+1)/3");

  SolutionStep step;
  step.terms = {t, u, t};
  step.ops = {SolutionOp::Div, SolutionOp::Sub};
  EXPECT_EQ(FormatSolutionStep(step), "-5/4 ÷ -(2×3+1)/3 - -5/4");

  // A cancelled product reads as its quotients.
  SolutionTerm c;
  c.kind = SolutionTerm::Cancelled;
  c.numerator = {{8, 9}};
  c.denominator = {{7, 8}};
  c.numeratorQuotients = {{1, 9}};
  c.denominatorQuotients = {{7, 1}};
  EXPECT_EQ(FormatSolutionTerm(c), "(1×9)/(7×1)");
  c.denominator = {{8}};
  c.denominatorQuotients = {{2}};
  c.negative = true;
  EXPECT_EQ(FormatSolutionTerm(c), "-(1×9)/2");

  EXPECT_EQ(FormatSolutionRemark({24, 7, 3, 3}), "(24 ÷ 7 = 3 あまり 3)");
  EXPECT_EQ(FormatSolutionRemark({8, 4, 2, 0}), "(8 ÷ 4 = 2)");
}

// ---------------------------------------------------------------------------------------------
// Randomised: canonical operands of every kind, the chain read back by the evaluator above.

struct Operand {
  int64_t sign = 1, whole = 0, num = 0, den = 1;  // as FormatValueLine takes them, reduced
  QString line;
  Q value;
  bool hasFraction() const { return den > 1; }
};

Operand makeOperand(int64_t sign, int64_t whole, int64_t num, int64_t den) {
  Operand o;
  const Fraction r = ReduceFraction(num, den);
  o.whole = whole;
  o.num = r.num;
  o.den = r.den;
  if (o.den == 1) {
    o.whole += o.num;
    o.num = 0;
  }
  o.sign = (o.whole == 0 && o.num == 0) ? 1 : sign;
  o.line = FormatValueLine(o.sign, o.whole, o.num, o.den);
  o.value = makeQ(o.sign * (__int128(o.whole) * o.den + o.num), o.den);
  return o;
}

// Components as the generator draws them: integer part 0..3, a proper fraction beside an integer
// part, an improper one only without it.
Operand randomOperand(PseudoRandomSource& random, bool mayBeNegative, int64_t maxWhole) {
  const int64_t whole = int64_t(random.NextBelow(uint64_t(maxWhole) + 1));
  const int64_t den = 1 + int64_t(random.NextBelow(12));
  int64_t num = int64_t(random.NextBelow(13));
  if (whole > 0) num %= den;
  const int64_t sign = mayBeNegative && random.NextBelow(2) == 0 ? -1 : 1;
  return makeOperand(sign, whole, num, den);
}

QString answerLine(const Q& answer, bool mixedShape) {
  const int64_t sign = answer.n < 0 ? -1 : 1;
  const int64_t n = int64_t(answer.n < 0 ? -answer.n : answer.n);
  const int64_t d = int64_t(answer.d);
  if (d == 1) return FormatValueLine(sign, 0, n, 1);
  if (mixedShape) return FormatValueLine(sign, n / d, n % d, d);
  return FormatValueLine(sign, 0, n, d);
}

// The operator between the operands as the first step writes it; none for the one-operand kinds.
QString opText(ProblemKind kind) {
  static const char* const texts[] = {" + ", " - ", " × ", " ÷ "};
  return kind >= pkAdd && kind <= pkDiv ? QString::fromUtf8(texts[kind]) : QString();
}

// Checks one chain against the rules every chain keeps.
void checkChain(ProblemKind kind, const QString& first, const QString& second,
                const QString& expectedAnswer, const Solution& solution) {
  const bool oneOperand = kind == pkMixedToImproper || kind == pkImproperToMixed;
  ASSERT_TRUE(solution.solved);
  const QString full = FormatSolution(solution);
  SCOPED_TRACE(full.toStdString());
  const QString text = withoutRemark(full);
  const QStringList steps = text.split(QStringLiteral(" = "));
  ASSERT_EQ(steps.size(), int(solution.steps.size()));
  EXPECT_EQ(steps.first(),
            oneOperand ? first : first + opText(kind) + second);
  EXPECT_EQ(steps.last(), expectedAnswer);
  const std::optional<Q> answer = evalStep(expectedAnswer);
  ASSERT_TRUE(answer);
  std::vector<ParsedTerm> products;  // the single term of each step of a product's chain
  for (int i = 0; i < steps.size(); ++i) {
    const SolutionStep& data = solution.steps[size_t(i)];
    EXPECT_EQ(data.ops.size() + 1, data.terms.size());
    EXPECT_EQ(FormatSolutionStep(data), steps[i]);
    std::vector<ParsedTerm> terms;
    const std::optional<Q> value = evalStep(steps[i], &terms);
    ASSERT_TRUE(value) << steps[i].toStdString();
    EXPECT_EQ(*value, *answer) << steps[i].toStdString() << " is " << show(*value);
    if (i > 0) {
      EXPECT_NE(steps[i], steps[i - 1]);
    }
    if (kind == pkMul || kind == pkDiv) products.push_back(terms.front());
  }

  // A product is written with its factors as they stand, then, where they share a divisor,
  // cancelled: each factor divided by what it shares, the last product with no common factor.
  const auto factors = [](const QString& product) {
    std::vector<__int128> out;
    for (const QString& f : product.split(u'×')) out.push_back(f.toLongLong());
    return out;
  };
  std::vector<ParsedTerm> unmultiplied;
  for (const ParsedTerm& t : products)
    if (t.unmultiplied) unmultiplied.push_back(t);
  EXPECT_LE(unmultiplied.size(), 2u);
  if (unmultiplied.size() == 2) {
    const ParsedTerm& before = unmultiplied[0];
    const ParsedTerm& after = unmultiplied[1];
    for (const auto& [b, a] : {std::pair{before.numText, after.numText}, std::pair{before.denText, after.denText}}) {
      const std::vector<__int128> fb = factors(b), fa = factors(a);
      ASSERT_EQ(fb.size(), fa.size()) << b.toStdString() << " " << a.toStdString();
      for (size_t k = 0; k < fb.size(); ++k) EXPECT_TRUE(fa[k] != 0 && fb[k] % fa[k] == 0);
    }
  }
  if (!unmultiplied.empty() && unmultiplied.back().numProduct != 0) {
    EXPECT_EQ(gcd128(unmultiplied.back().numProduct, unmultiplied.back().denProduct), 1);
  }

  // The division that turns an improper fraction into a mixed number, after the chain.
  static const QRegularExpression fractionPart(QStringLiteral("^-?\\(?(?:([0-9]+)\\+)?([0-9]+)/([0-9]+)\\)?$"));
  const QRegularExpressionMatch part = fractionPart.match(steps.first());
  const bool improperPart = part.hasMatch() && part.captured(2).toLongLong() >= part.captured(3).toLongLong();
  const QRegularExpressionMatch remark = remarkPattern().match(full);
  EXPECT_EQ(remark.hasMatch(), kind == pkImproperToMixed && improperPart);
  if (remark.hasMatch()) {
    const long long dividend = remark.captured(1).toLongLong(), divisor = remark.captured(2).toLongLong();
    const long long quotient = remark.captured(3).toLongLong(), remainder = remark.captured(4).toLongLong();
    EXPECT_EQ(dividend, part.captured(2).toLongLong());
    EXPECT_EQ(divisor, part.captured(3).toLongLong());
    EXPECT_EQ(dividend, quotient * divisor + remainder);
    EXPECT_TRUE(remainder < divisor && (remainder > 0 || remark.captured(4).isEmpty()));
    if (part.captured(1).isEmpty() && remainder > 0) {
      ASSERT_GE(steps.size(), 2);
      EXPECT_EQ(steps[1], FormatValueLine(first.startsWith(u'-') ? -1 : 1, quotient, remainder, divisor));
    }
  }
}

QString overDenominator(const Operand& o, int64_t den) {
  if (!o.hasFraction()) return o.line;
  return FormatValueLine(o.sign, o.whole, o.num * (den / o.den), den);
}

TEST(SolveProblem, RandomCanonicalProblemsGiveExactChains) {
  PseudoRandomSource random(20240611);
  int commonDenominators = 0, borrows = 0, reciprocals = 0, products = 0;
  for (int kindIndex = 0; kindIndex < ProblemKindCount; ++kindIndex) {
    const ProblemKind kind = ProblemKind(kindIndex);
    const bool oneOperand = kind == pkMixedToImproper || kind == pkImproperToMixed;
    for (int round = 0; round < 3000; ++round) {
      const bool mixedAnswers = random.NextBelow(2) == 0;
      const Operand a = randomOperand(random, !oneOperand || round % 10 == 0,
                                      kind == pkImproperToMixed ? 0 : 3);
      const Operand b = randomOperand(random, true, 3);
      const QString second = oneOperand ? QStringLiteral("=") : b.line;
      SCOPED_TRACE(a.line.toStdString() + opText(kind).toStdString() +
                   second.toStdString() + (mixedAnswers ? " (mixed)" : ""));
      const Solution s = SolveProblem(kind, a.line, second, mixedAnswers);

      Q answer = a.value;
      if (kind == pkAdd) answer = addQ(a.value, b.value);
      if (kind == pkSub) answer = addQ(a.value, Q{-b.value.n, b.value.d});
      if (kind == pkMul) answer = mulQ(a.value, b.value);
      if (kind == pkDiv) {
        if (b.value.n == 0) {
          EXPECT_FALSE(s.solved) << "division by zero";
          continue;
        }
        answer = mulQ(a.value, makeQ(b.value.d, b.value.n));
      }
      const bool mixedShape =
          kind == pkImproperToMixed || (kind != pkMixedToImproper && mixedAnswers);
      ASSERT_NO_FATAL_FAILURE(checkChain(kind, a.line, second, answerLine(answer, mixedShape), s));
      const QString text = withoutRemark(FormatSolution(s));
      const QStringList steps = text.split(QStringLiteral(" = "));
      const QString op = opText(kind);

      if ((kind == pkAdd || kind == pkSub) && a.hasFraction() && b.hasFraction() &&
          a.den != b.den) {
        // 通分 right after the problem.
        const int64_t l = std::lcm(a.den, b.den);
        ASSERT_GE(steps.size(), 2);
        EXPECT_EQ(steps[1], overDenominator(a, l) + op + overDenominator(b, l));
        ++commonDenominators;
      }
      if (kind == pkSub && a.sign > 0 && b.sign > 0 && b.hasFraction() &&
          !(a.value.n * b.value.d < b.value.n * a.value.d)) {
        const bool proper = (a.whole > 0 || a.num < a.den) && (b.whole > 0 || b.num < b.den);
        const int64_t l = a.hasFraction() ? std::lcm(a.den, b.den) : b.den;
        const int64_t na = a.hasFraction() ? a.num * (l / a.den) : 0;
        const int64_t nb = b.num * (l / b.den);
        if (proper && na < nb) {
          // Borrowing one from the first operand's integer part.
          const QString borrowed =
              FormatValueLine(1, a.whole - 1, na + l, l) + op + overDenominator(b, l);
          EXPECT_TRUE(steps.contains(borrowed)) << borrowed.toStdString();
          ++borrows;
        }
      }
      if (kind == pkMul || kind == pkDiv) {
        const int64_t na = a.whole * a.den + a.num;
        const int64_t bn = b.whole * b.den + b.num;
        // The second factor: b itself, or its reciprocal (n to 1/n, 1/n to n).
        int64_t nb = bn, db = b.den;
        bool fractionB = b.hasFraction();
        if (kind == pkDiv) {
          nb = b.den;
          db = bn;
          fractionB = bn != 1;
          const bool mixedA = a.whole > 0 && a.hasFraction();
          const QString improperA = mixedA ? FormatValueLine(a.sign, 0, na, a.den) : a.line;
          const QString reciprocal =
              QString(b.sign < 0 ? "-" : "") +
              (fractionB ? QString::number(b.den) + u'/' + QString::number(bn) : QString::number(b.den));
          EXPECT_TRUE(steps.contains(improperA + QStringLiteral(" × ") + reciprocal))
              << reciprocal.toStdString();
          ++reciprocals;
        }
        // The product with its factors as they stand; whole numbers only in the numerator.
        QStringList dens;
        if (a.hasFraction()) dens << QString::number(a.den);
        if (fractionB) dens << QString::number(db);
        static const QRegularExpression product(QStringLiteral("[0-9]×[0-9]"));
        if (dens.isEmpty()) {
          EXPECT_FALSE(text.contains(product)) << "two whole numbers multiply in one step";
        } else {
          const bool negative = (a.sign < 0) != (b.sign < 0) && na != 0 && nb != 0;
          const QString expected = QString(negative ? "-" : "") + u'(' + QString::number(na) + u'×' +
                                   QString::number(nb) + QStringLiteral(")/") +
                                   (dens.size() == 1 ? dens[0] : u'(' + dens.join(u'×') + u')');
          EXPECT_TRUE(steps.contains(expected)) << expected.toStdString();
          ++products;
        }
      }
      if (kind == pkMixedToImproper && a.whole > 0 && a.hasFraction()) {
        // Denominator × integer part + numerator, over the denominator.
        ASSERT_GE(steps.size(), 2);
        EXPECT_EQ(steps[1], QString(a.sign < 0 ? "-" : "") +
                                QStringLiteral("(%1×%2+%3)/%1").arg(a.den).arg(a.whole).arg(a.num));
      }
    }
  }
  // The draws reach every rule often enough to mean something.
  EXPECT_GT(commonDenominators, 1000);
  EXPECT_GT(borrows, 100);
  EXPECT_GT(reciprocals, 2000);
  EXPECT_GT(products, 4000);
}

// ---------------------------------------------------------------------------------------------
// The generator's own lists: every problem solved, ending with the answer it listed.

class EitherSignHooks : public GeneratorHooks {
 public:
  OperandChoices ReadOperandChoices() override {
    OperandChoices c;
    c.sign1 = c.sign2 = smEither;
    return c;
  }
};

QStringList linesOf(const QString& list) {
  QStringList lines = list.split(QStringLiteral("\r\n"));
  lines.removeLast();
  return lines;
}

TEST(SolveProblem, GeneratedListsAreSolvedToTheirAnswers) {
  PseudoRandomSource random(77);
  EitherSignHooks hooks;
  ProblemGenerator generator(&random, &hooks);
  GenerationSettings s;
  s.MinV = {0, 1, 1, 0, 1, 1};
  s.MaxV = {3, 10, 10, 3, 10, 10};
  s.nRange = 2;
  s.fZero = false;
  s.fOne = false;
  s.ExamRowN = 10;
  s.ExamColN = 2;
  int solved = 0;
  for (int kindIndex = 0; kindIndex < ProblemKindCount; ++kindIndex) {
    const ProblemKind kind = ProblemKind(kindIndex);
    for (bool mixed : {false, true}) {
      s.fTaiBun = mixed;
      for (int run = 0; run < 5; ++run) {
        const MakeResult r = generator.MakeProblems(kind, s);
        ASSERT_EQ(r.status, MakeStatus::Done);
        const QStringList a = linesOf(r.lists.first), b = linesOf(r.lists.second),
                          c = linesOf(r.lists.answers);
        ASSERT_EQ(a.size(), 20);
        for (int i = 0; i < a.size(); ++i) {
          SCOPED_TRACE((a[i] + u' ' + b[i] + u' ' + c[i]).toStdString());
          ASSERT_NO_FATAL_FAILURE(
              checkChain(kind, a[i], b[i], c[i], SolveProblem(kind, a[i], b[i], mixed)));
          ++solved;
        }
      }
    }
  }
  EXPECT_EQ(solved, ProblemKindCount * 2 * 5 * 20);
}

}  // namespace
}  // namespace zubira
