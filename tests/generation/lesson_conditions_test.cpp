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

Fraction f(int64_t n, int64_t d) { return Fraction{n, d}; }

// The school examples of each condition: (kind, x1, x2) and whether the property holds.
TEST(LessonConditions, SchoolExamples) {
  struct Case {
    const char* what;
    ProblemKind kind;
    Fraction x1, x2;
    bool (*met)(int32_t, ProblemKind, Fraction, Fraction);
    bool property;  // the setting 1 accepts it, 2 refuses it
  };
  const Case cases[] = {
      {"1/5 + 2/5 same denominators", pkAdd, f(1, 5), f(2, 5), DenominatorConditionMet, true},
      {"1/2 + 1/3 different", pkSub, f(1, 2), f(1, 3), DenominatorConditionMet, false},
      {"2+1/3 - 1/3 same", pkSub, f(7, 3), f(1, 3), DenominatorConditionMet, true},
      {"1/2 + 1/3 = 5/6 not reduced", pkAdd, f(1, 2), f(1, 3), ReduceConditionMet, false},
      {"1/6 + 1/3 = 3/6 reduced", pkAdd, f(1, 6), f(1, 3), ReduceConditionMet, true},
      {"3/4 - 1/4 = 2/4 reduced", pkSub, f(3, 4), f(1, 4), ReduceConditionMet, true},
      {"2 + 3 = 5/1 over 1", pkAdd, f(2, 1), f(3, 1), ReduceConditionMet, false},
      {"2/3 x 3/4 = 6/12", pkMul, f(2, 3), f(3, 4), ReduceConditionMet, true},
      {"2/3 x 5/7 = 10/21", pkMul, f(2, 3), f(5, 7), ReduceConditionMet, false},
      {"2/3 / 4/5 = 10/12", pkDiv, f(2, 3), f(4, 5), ReduceConditionMet, true},
      {"1/3 / -2/5 = -5/6", pkDiv, f(1, 3), f(-2, 5), ReduceConditionMet, false},
      {"3/4 + 2/4 carries", pkAdd, f(3, 4), f(2, 4), RegroupConditionMet, true},
      {"1/4 + 2/4 does not carry", pkAdd, f(1, 4), f(2, 4), RegroupConditionMet, false},
      {"1/2 + 1/2 reaches 1", pkAdd, f(1, 2), f(1, 2), RegroupConditionMet, true},
      {"3+1/4 - 1+3/4 borrows", pkSub, f(13, 4), f(7, 4), RegroupConditionMet, true},
      {"3+3/4 - 1+1/4 no borrow", pkSub, f(15, 4), f(5, 4), RegroupConditionMet, false},
      {"3 - 1/4 borrows", pkSub, f(3, 1), f(1, 4), RegroupConditionMet, true},
      {"-1/4: {x} is 3/4", pkAdd, f(-1, 4), f(1, 2), RegroupConditionMet, true},
      {"3/2 x 8/3 cancels", pkMul, f(3, 2), f(8, 3), CancelConditionMet, true},
      {"2/3 x 5/7 cannot", pkMul, f(2, 3), f(5, 7), CancelConditionMet, false},
      {"-4/3 x 5/2 cancels", pkMul, f(-4, 3), f(5, 2), CancelConditionMet, true},
      {"4/5 / 2/3: 4 and 2", pkDiv, f(4, 5), f(2, 3), CancelConditionMet, true},
      {"1/6 / 1/4: 6 and 4", pkDiv, f(1, 6), f(1, 4), CancelConditionMet, true},
      {"2/5 / 3/7 cannot", pkDiv, f(2, 5), f(3, 7), CancelConditionMet, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(c.met(0, c.kind, c.x1, c.x2)) << "any";
    EXPECT_EQ(c.met(1, c.kind, c.x1, c.x2), c.property);
    EXPECT_EQ(c.met(2, c.kind, c.x1, c.x2), !c.property);
    EXPECT_TRUE(c.met(7, c.kind, c.x1, c.x2)) << "other values ask nothing";
  }
  // A whole operand has neither the same nor a different denominator.
  EXPECT_FALSE(DenominatorConditionMet(1, pkAdd, f(2, 1), f(1, 3)));
  EXPECT_FALSE(DenominatorConditionMet(2, pkAdd, f(2, 1), f(1, 3)));
  // Conditions of other kinds are ignored.
  for (ProblemKind k : {pkMixedToImproper, pkImproperToMixed}) {
    for (auto met : {DenominatorConditionMet, ReduceConditionMet, RegroupConditionMet, CancelConditionMet})
      for (int32_t s : {1, 2}) EXPECT_TRUE(met(s, k, f(1, 5), f(2, 5)));
  }
  EXPECT_TRUE(DenominatorConditionMet(1, pkMul, f(1, 2), f(1, 3)));
  EXPECT_TRUE(CancelConditionMet(1, pkAdd, f(1, 2), f(1, 3)));
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
  bool regroups() const {
    const __int128 a = frac(x1) * x2.d, b = frac(x2) * x1.d;
    return kind == pkAdd ? a + b >= x1.d * x2.d : a < b;
  }
  bool cancels() const {
    if (kind == pkMul) return gcd(x1.n, x2.d) > 1 || gcd(x2.n, x1.d) > 1;
    return gcd(x1.n, x2.n) > 1 || gcd(x1.d, x2.d) > 1;
  }
};

bool wanted(int32_t setting, bool property) { return setting == 1 ? property : !property; }

// Random settings of the four operations with random conditions: every problem made meets every
// condition that applies, checked on its lines.
TEST(LessonConditions, EveryProblemMadeMeetsItsConditions) {
  PseudoRandomSource draws(2026);
  int made = 0, runs = 0;
  for (int i = 0; i < 400; ++i) {
    const ProblemKind kind = ProblemKind(draws.NextBelow(4));
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
                int32_t(draws.NextBelow(3))};
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
    ASSERT_EQ(a.size(), b.size());
    for (int k = 0; k < a.size(); ++k) {
      const auto x1 = parseLine(a[k]), x2 = parseLine(b[k]);
      ASSERT_TRUE(x1 && x2) << a[k].toStdString() << " " << b[k].toStdString();
      const Oracle o{kind, *x1, *x2};
      SCOPED_TRACE((a[k] + u' ' + b[k]).toStdString());
      const bool addSub = kind == pkAdd || kind == pkSub;
      if (addSub && s.Lesson.Denominator != 0) {
        EXPECT_EQ(o.denominators(), s.Lesson.Denominator);
      }
      if (s.Lesson.Reduce != 0) {
        EXPECT_TRUE(wanted(s.Lesson.Reduce, o.reduces()));
      }
      if (addSub && s.Lesson.Regroup != 0) {
        EXPECT_TRUE(wanted(s.Lesson.Regroup, o.regroups()));
      }
      if (!addSub && s.Lesson.Cancel != 0) {
        EXPECT_TRUE(wanted(s.Lesson.Cancel, o.cancels()));
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
  s.Lesson.Reduce = 2;
  r = g.MakeProblems(pkMul, s);
  EXPECT_EQ(r.message, QStringLiteral("約分が条件外"));
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
