#include "generation/lesson_conditions.h"

#include "generation/problem_generator.h"
#include "generation/range_check.h"
#include "line_oracle.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace zubira {
namespace {

using testing::ParsedLine;
using testing::parseLine;

// An operand as a list line writes it ("3+1/4", "10/7", "-3"), read by the test's own parser.
LessonOperand w(const char* line) {
  const std::optional<ParsedLine> p = parseLine(QString::fromUtf8(line));
  EXPECT_TRUE(p) << line;
  if (!p) return {};
  return {Fraction{int64_t(p->n), int64_t(p->d)}, !p->whole_number && p->num >= p->den};
}

// The school examples of each condition: (kind, x1, x2) and whether the property holds.
TEST(LessonConditions, SchoolExamples) {
  struct Case {
    ProblemKind kind;
    const char* x1;
    const char* x2;
    bool (*met)(int32_t, ProblemKind, LessonOperand, LessonOperand);
    bool property;  // the setting 1 accepts it, 2 refuses it
  };
  const Case cases[] = {
      {pkAdd, "1/5", "2/5", DenominatorConditionMet, true},
      {pkSub, "1/2", "1/3", DenominatorConditionMet, false},
      {pkSub, "2+1/3", "1/3", DenominatorConditionMet, true},
      {pkAdd, "1/2", "1/3", ReduceConditionMet, false},   // 5/6
      {pkAdd, "1/6", "1/3", ReduceConditionMet, true},    // 3/6
      {pkSub, "3/4", "1/4", ReduceConditionMet, true},    // 2/4
      {pkAdd, "2", "3", ReduceConditionMet, false},       // 5/1
      {pkAdd, "3/4", "2/4", RegroupConditionMet, true},
      {pkAdd, "1/4", "2/4", RegroupConditionMet, false},
      {pkAdd, "1/2", "1/2", RegroupConditionMet, true},   // reaches 1
      {pkAdd, "2+2/3", "1+1/2", RegroupConditionMet, true},
      {pkSub, "3+1/4", "1+3/4", RegroupConditionMet, true},
      {pkSub, "3+3/4", "1+1/4", RegroupConditionMet, false},
      {pkSub, "3", "1/4", RegroupConditionMet, true},     // borrows from a whole number
      {pkSub, "2+1/3", "1+1/2", RegroupConditionMet, true},
      // Improper and negative operands neither carry nor borrow.
      {pkSub, "10/7", "5/7", RegroupConditionMet, false},
      {pkSub, "13/4", "3/4", RegroupConditionMet, false},
      {pkAdd, "7/4", "3/4", RegroupConditionMet, false},
      {pkAdd, "-1/4", "1/2", RegroupConditionMet, false},
      {pkAdd, "-(5+1/4)", "-(2+1/2)", RegroupConditionMet, false},
      {pkSub, "3+1/4", "-3/4", RegroupConditionMet, false},
      // No whole to borrow from: the answer is negative.
      {pkSub, "1/4", "1/2", RegroupConditionMet, false},
      {pkSub, "1+1/4", "1+1/2", RegroupConditionMet, false},
      {pkMul, "3/2", "8/3", CancelConditionMet, true},
      {pkMul, "2/3", "5/7", CancelConditionMet, false},
      {pkMul, "-4/3", "5/2", CancelConditionMet, true},
      {pkDiv, "4/5", "2/3", CancelConditionMet, true},   // 4 and 2
      {pkDiv, "1/6", "1/4", CancelConditionMet, true},   // 6 and 4
      {pkDiv, "2/5", "3/7", CancelConditionMet, false},
      {pkMul, "8/7", "9/8", CancelConditionMet, true},
      {pkMul, "4", "9/5", CancelConditionMet, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.x1) + " " + std::to_string(int(c.kind)) + " " + c.x2);
    const LessonOperand x1 = w(c.x1), x2 = w(c.x2);
    EXPECT_TRUE(c.met(0, c.kind, x1, x2)) << "any";
    EXPECT_EQ(c.met(1, c.kind, x1, x2), c.property);
    EXPECT_EQ(c.met(2, c.kind, x1, x2), !c.property);
    EXPECT_TRUE(c.met(7, c.kind, x1, x2)) << "other values ask nothing";
  }
  // A whole operand has neither the same nor a different denominator.
  EXPECT_FALSE(DenominatorConditionMet(1, pkAdd, w("2"), w("1/3")));
  EXPECT_FALSE(DenominatorConditionMet(2, pkAdd, w("2"), w("1/3")));
  // Conditions of other kinds are ignored.
  for (ProblemKind k : {pkMixedToImproper, pkImproperToMixed}) {
    for (auto met : {DenominatorConditionMet, ReduceConditionMet, RegroupConditionMet, CancelConditionMet})
      for (int32_t s : {1, 2}) EXPECT_TRUE(met(s, k, w("1/5"), w("2/5")));
  }
  EXPECT_TRUE(DenominatorConditionMet(1, pkMul, w("1/2"), w("1/3")));
  EXPECT_TRUE(CancelConditionMet(1, pkAdd, w("1/2"), w("1/3")));
  // For multiplication and division reducing the answer is cancelling: the reduction condition
  // is not theirs, so 約分する答え with 途中で約分できない cannot contradict.
  for (int32_t s : {1, 2}) {
    EXPECT_TRUE(ReduceConditionMet(s, pkMul, w("2/3"), w("3/4")));  // 6/12
    EXPECT_TRUE(ReduceConditionMet(s, pkMul, w("2/3"), w("5/7")));  // 10/21
    EXPECT_TRUE(ReduceConditionMet(s, pkDiv, w("2/3"), w("4/5")));  // 10/12
    EXPECT_TRUE(ReduceConditionMet(s, pkDiv, w("1/3"), w("-2/5")));
  }
  EXPECT_FALSE(ReduceConditionApplies(pkMul) || ReduceConditionApplies(pkDiv));

  // The form: proper (1) refuses an improper fraction written as an operand, for every kind but
  // improper fraction to mixed number; any other setting asks nothing.
  const struct {
    ProblemKind kind;
    const char* x1;
    const char* x2;
    bool proper;
  } forms[] = {
      {pkAdd, "1/3", "2+1/4", true},  {pkAdd, "9/2", "1/3", false},   {pkSub, "3", "5/6", true},
      {pkSub, "2/3", "7/5", false},   {pkMul, "-5/4", "2/3", false},  {pkDiv, "-(1+1/4)", "3", true},
      {pkMixedToImproper, "2+1/3", "0", true}, {pkMixedToImproper, "7/3", "0", false},
      {pkImproperToMixed, "7/3", "0", true},
  };
  for (const auto& c : forms) {
    SCOPED_TRACE(std::string(c.x1) + " " + c.x2);
    EXPECT_EQ(FormConditionMet(1, c.kind, w(c.x1), w(c.x2)), c.proper);
    for (int32_t s : {0, 2, -1}) EXPECT_TRUE(FormConditionMet(s, c.kind, w(c.x1), w(c.x2)));
  }
  EXPECT_FALSE(FormConditionApplies(pkImproperToMixed));
  EXPECT_TRUE(FormConditionApplies(pkMixedToImproper));
}

// The definitions applied to the lines as the lists show them, independently of the generator.
struct Oracle {
  ProblemKind kind;
  ParsedLine x1, x2;
  static __int128 gcd(__int128 a, __int128 b) {
    if (a < 0) a = -a;
    if (b < 0) b = -b;
    while (b != 0) {
      const __int128 r = a % b;
      a = b;
      b = r;
    }
    return a;
  }
  static __int128 floorDiv(__int128 n, __int128 d) { return n / d - ((n % d != 0) && (n < 0)); }
  // {x} as a numerator over the value's denominator.
  static __int128 frac(const ParsedLine& p) { return p.n - floorDiv(p.n, p.d) * p.d; }
  bool hasFraction(const ParsedLine& p) const { return !p.whole_number && p.den > 1; }
  int denominators() const {
    if (!hasFraction(x1) || !hasFraction(x2)) return 0;
    return x1.den == x2.den ? 1 : 2;
  }
  bool reduces() const {
    __int128 N, D;
    if (kind == pkAdd || kind == pkSub) {
      const __int128 m1 = hasFraction(x1) ? x1.den : 1, m2 = hasFraction(x2) ? x2.den : 1;
      D = m1 / gcd(m1, m2) * m2;
      // (x1 +- x2) x D, exact: each value times D is whole.
      const __int128 a = x1.n * (D / x1.d), b = x2.n * (D / x2.d);
      N = kind == pkAdd ? a + b : a - b;
    } else if (kind == pkMul) {
      N = x1.n * x2.n;
      D = x1.d * x2.d;
    } else {
      N = x1.n * x2.d;
      D = x1.d * x2.n;
      if (D < 0) N = -N, D = -D;
    }
    return gcd(N, D) > 1;
  }
  // Written as a whole number, a proper fraction or a mixed number with a proper fraction part.
  static bool properForm(const ParsedLine& p) { return p.whole_number || p.num < p.den; }
  bool regroups() const {
    if (x1.sign < 0 || x2.sign < 0 || !properForm(x1) || !properForm(x2)) return false;
    const __int128 a = frac(x1) * x2.d, b = frac(x2) * x1.d;
    return kind == pkAdd ? a + b >= x1.d * x2.d : a < b && x1.n * x2.d > x2.n * x1.d;
  }
  bool cancels() const {
    if (kind == pkMul) return gcd(x1.n, x2.d) > 1 || gcd(x2.n, x1.d) > 1;
    return gcd(x1.n, x2.n) > 1 || gcd(x1.d, x2.d) > 1;
  }
};

bool wanted(int32_t setting, bool property) { return setting == 1 ? property : !property; }

// Random settings of every kind with random conditions: every problem made meets every condition
// that applies, checked on its lines, and a conversion always converts.
TEST(LessonConditions, EveryProblemMadeMeetsItsConditions) {
  PseudoRandomSource draws(2026);
  int made = 0, runs = 0;
  for (int i = 0; i < 400; ++i) {
    const ProblemKind kind = ProblemKind(draws.NextBelow(ProblemKindCount));
    const bool oneOperand = kind == pkMixedToImproper || kind == pkImproperToMixed;
    GenerationSettings s;
    for (int op = 0; op < 2; ++op) {
      const size_t b = size_t(op * 3);
      s.MinV[b] = int64_t(draws.NextBelow(2));
      s.MaxV[b] = s.MinV[b] + int64_t(draws.NextBelow(3));
      s.MinV[b + 1] = 1 + int64_t(draws.NextBelow(3));
      s.MaxV[b + 1] = s.MinV[b + 1] + int64_t(draws.NextBelow(10));
      s.MinV[b + 2] = 1 + int64_t(draws.NextBelow(4));
      s.MaxV[b + 2] = s.MinV[b + 2] + int64_t(draws.NextBelow(10));
    }
    if (!CheckRangeInvariants(s.MinV, s.MaxV).isEmpty()) continue;
    s.nRange = int32_t(draws.NextBelow(3));
    s.fTaiBun = draws.NextBelow(2) == 1;
    s.Lesson = {int32_t(draws.NextBelow(3)), int32_t(draws.NextBelow(3)), int32_t(draws.NextBelow(3)),
                int32_t(draws.NextBelow(3)), int32_t(draws.NextBelow(2))};
    s.ExamRowN = 5;
    GeneratorHooks hooks;
    PseudoRandomSource random{uint64_t(i)};
    ProblemGenerator g(&random, &hooks);
    const MakeResult r = g.MakeProblems(kind, s);
    ++runs;
    if (r.status != MakeStatus::Done) {
      EXPECT_EQ(r.status, MakeStatus::Exhausted);
      continue;
    }
    const QStringList a = r.lists.first.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const QStringList b = r.lists.second.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const QStringList c = r.lists.answers.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_EQ(a.size(), c.size());
    for (int k = 0; k < a.size(); ++k) {
      const auto x1 = parseLine(a[k]), x2 = parseLine(oneOperand ? QStringLiteral("0") : b[k]);
      ASSERT_TRUE(x1 && x2) << a[k].toStdString() << " " << b[k].toStdString();
      const Oracle o{kind, *x1, *x2};
      SCOPED_TRACE((a[k] + u' ' + b[k]).toStdString());
      const bool addSub = kind == pkAdd || kind == pkSub;
      if (addSub && s.Lesson.Denominator != 0) {
        EXPECT_EQ(o.denominators(), s.Lesson.Denominator);
      }
      if (addSub && s.Lesson.Reduce != 0) {
        EXPECT_TRUE(wanted(s.Lesson.Reduce, o.reduces()));
      }
      if (addSub && s.Lesson.Regroup != 0) {
        EXPECT_TRUE(wanted(s.Lesson.Regroup, o.regroups()));
      }
      const bool mulDiv = kind == pkMul || kind == pkDiv;
      if (mulDiv && s.Lesson.Cancel != 0) {
        EXPECT_TRUE(wanted(s.Lesson.Cancel, o.cancels()));
      }
      if (kind != pkImproperToMixed && s.Lesson.Form == 1) {
        EXPECT_TRUE(Oracle::properForm(*x1));
        if (!oneOperand) {
          EXPECT_TRUE(Oracle::properForm(*x2));
        }
      }
      if (oneOperand) {
        EXPECT_NE(a[k], c[k]) << "already its answer";
      }
      ++made;
    }
  }
  EXPECT_GT(made, 500) << "most settings can be met";
  EXPECT_GT(runs, 300);
}

TEST(LessonConditions, ConditionsNoCandidateMeetsRunOutWithTheirReason) {
  GenerationSettings s;
  s.MinV = {0, 1, 2, 0, 1, 3};
  s.MaxV = {0, 1, 2, 0, 2, 3};
  s.Lesson.Denominator = 1;
  s.nRange = 2;
  GeneratorHooks hooks;
  PseudoRandomSource random(1);
  ProblemGenerator g(&random, &hooks);
  MakeResult r = g.MakeProblems(pkAdd, s);
  EXPECT_EQ(r.status, MakeStatus::Exhausted);
  EXPECT_EQ(r.message, QStringLiteral("分母が条件外"));
  EXPECT_EQ(r.attempts, MaxAttempts);

  // The last failing test gives the reason: reduction comes after cancelling.
  s = GenerationSettings();
  s.MinV = {0, 2, 3, 0, 3, 4};
  s.MaxV = {0, 2, 3, 0, 3, 4};  // 2/3 x 3/4 = 6/12: cancels and reduces
  s.Lesson.Cancel = 2;
  r = g.MakeProblems(pkMul, s);
  EXPECT_EQ(r.message, QStringLiteral("途中の約分が条件外"));
  s.Lesson.Reduce = 2;  // not a condition of multiplication: the reason stays the cancelling
  r = g.MakeProblems(pkMul, s);
  EXPECT_EQ(r.message, QStringLiteral("途中の約分が条件外"));
  s.Lesson = {2, 2, 0, 0, 0};  // 3/4 - 1/4 = 2/4: the same denominator, and reduces
  s.MinV = {0, 3, 4, 0, 1, 4};
  s.MaxV = {0, 3, 4, 0, 1, 4};
  EXPECT_EQ(g.MakeProblems(pkSub, s).message, QStringLiteral("約分が条件外"));
  s.Lesson = {0, 1, 0, 0, 1};  // 5/4 + 1/3 = 19/12: improper, and needs no reducing
  s.MinV = {0, 5, 4, 0, 1, 3};
  s.MaxV = {0, 5, 4, 0, 1, 3};
  EXPECT_EQ(g.MakeProblems(pkAdd, s).message, QStringLiteral("分数の形が条件外"));
  s.Lesson = {};
  s.Lesson.Regroup = 1;  // ignored for multiplication
  EXPECT_EQ(g.MakeProblems(pkMul, s).status, MakeStatus::Done);
  s.Lesson.Regroup = 2;  // 1/3 + 3/4 carries
  s.MinV = {0, 1, 3, 0, 3, 4};
  s.MaxV = {0, 1, 3, 0, 3, 4};
  r = g.MakeProblems(pkAdd, s);
  EXPECT_EQ(r.message, QStringLiteral("繰り上がり・繰り下がりが条件外"));
}

}  // namespace
}  // namespace zubira
