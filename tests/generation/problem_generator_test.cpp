#include "generation/problem_generator.h"

#include "generation/range_check.h"
#include "line_oracle.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace zubira {
namespace {

using testing::ParsedLine;
using testing::parseLine;

QStringList linesOf(const QString& list) {
  EXPECT_TRUE(list.isEmpty() || list.endsWith(QLatin1String("\r\n"))) << "every line ends with CR LF";
  QStringList lines = list.split(QStringLiteral("\r\n"));
  lines.removeLast();
  return lines;
}

class RecordingHooks : public GeneratorHooks {
 public:
  OperandChoices choices;
  bool answer = false;
  bool labelVisible = false, timerRunning = false;
  int asked = 0, reads = 0, processed = 0;
  QStringList status, captions;
  OperandChoices ReadOperandChoices() override {
    ++reads;
    return choices;
  }
  void SetStatusText(const QString& t) override { status << t; }
  void ProcessEvents() override { ++processed; }
  bool SelfTestLabelVisible() override { return labelVisible; }
  bool SelfTestTimerRunning() override { return timerRunning; }
  void SetSelfTestCaption(const QString& t) override { captions << t; }
  bool AskYesNo(const QString& q) override {
    EXPECT_EQ(q, QStringLiteral("最大値や最小値の条件は合っていますか?"));
    ++asked;
    return answer;
  }
};

GenerationSettings withRanges(std::initializer_list<int64_t> bounds) {
  GenerationSettings s;
  auto it = bounds.begin();
  for (int k = 0; k < RangeCount; ++k) {
    s.MinV[size_t(k)] = *it++;
    s.MaxV[size_t(k)] = *it++;
  }
  return s;
}

TEST(FormatValueLine, Shapes) {
  EXPECT_EQ(FormatValueLine(1, 3, 0, 1), "3");
  EXPECT_EQ(FormatValueLine(-1, 0, 3, 1), "-3");
  EXPECT_EQ(FormatValueLine(1, 0, 0, 1), "0");
  EXPECT_EQ(FormatValueLine(-1, 0, 0, 1), "0") << "a kept zero operand with the minus sign";
  EXPECT_EQ(FormatValueLine(1, 2, 1, 1), "3") << "integer part plus numerator";
  EXPECT_EQ(FormatValueLine(1, 0, 1, 2), "1/2");
  EXPECT_EQ(FormatValueLine(-1, 0, 7, 4), "-7/4");
  EXPECT_EQ(FormatValueLine(1, 2, 1, 3), "2+1/3");
  EXPECT_EQ(FormatValueLine(-1, 2, 1, 3), "-(2+1/3)");
}

TEST(MakeProblems, DefaultsMakeTenPositiveReducedProblems) {
  PseudoRandomSource random(1);
  RecordingHooks hooks;
  ProblemGenerator g(&random, &hooks);
  const MakeResult r = g.MakeProblems(pkAdd, GenerationSettings());
  ASSERT_EQ(r.status, MakeStatus::Done);
  const QStringList a = linesOf(r.lists.first), b = linesOf(r.lists.second),
                    c = linesOf(r.lists.answers);
  ASSERT_EQ(a.size(), 10);
  ASSERT_EQ(b.size(), 10);
  ASSERT_EQ(c.size(), 10);
  for (int i = 0; i < 10; ++i) {
    auto x = parseLine(a[i]), y = parseLine(b[i]), z = parseLine(c[i]);
    ASSERT_TRUE(x && y && z) << a[i].toStdString() << " " << b[i].toStdString() << " " << c[i].toStdString();
    EXPECT_FALSE(x->mixed || y->mixed || z->mixed);
    EXPECT_TRUE(isReduced(*x) && isReduced(*z));
    EXPECT_TRUE(z->n > 0 && !(z->n == 1 && z->d == 1));
  }
  EXPECT_EQ(hooks.status.value(0), QString()) << "panel 1 cleared at the start";
  EXPECT_GE(hooks.processed, 1);
  EXPECT_EQ(hooks.reads, r.attempts) << "choices read at every attempt";
}

TEST(MakeProblems, SteppingRestartsAtTheLowestNumerator) {
  PseudoRandomSource random(2);
  RecordingHooks hooks;
  hooks.choices.random1 = false;
  GenerationSettings s = withRanges({0, 2, 1, 3, 1, 5, 0, 0, 1, 10, 1, 10});
  s.ExamRowN = 6;
  ProblemGenerator g(&random, &hooks);
  for (int run = 0; run < 2; ++run) {
    const MakeResult r = g.MakeProblems(pkAdd, s);
    ASSERT_EQ(r.status, MakeStatus::Done);
    EXPECT_EQ(linesOf(r.lists.first),
              QStringList({"2+1/5", "2+2/5", "2+3/5", "2+1/5", "2+2/5", "2+3/5"}));
  }
}

TEST(MakeProblems, EitherSignInMultiplicationKeepsPositiveAnswers) {
  PseudoRandomSource random(3);
  RecordingHooks hooks;
  hooks.choices.sign1 = hooks.choices.sign2 = smEither;
  GenerationSettings s;
  s.ExamRowN = 10;
  s.ExamColN = 2;
  int negative = 0, total = 0;
  ProblemGenerator g(&random, &hooks);
  for (int run = 0; run < 20; ++run) {
    const MakeResult r = g.MakeProblems(pkMul, s);
    ASSERT_EQ(r.status, MakeStatus::Done);
    const QStringList a = linesOf(r.lists.first), b = linesOf(r.lists.second),
                      c = linesOf(r.lists.answers);
    for (int i = 0; i < a.size(); ++i) {
      EXPECT_EQ(a[i].startsWith(u'-'), b[i].startsWith(u'-')) << a[i].toStdString();
      EXPECT_FALSE(c[i].startsWith(u'-'));
      negative += a[i].startsWith(u'-') + b[i].startsWith(u'-');
      total += 2;
    }
  }
  EXPECT_NEAR(double(negative) / total, 0.5, 0.1);
}

TEST(MakeProblems, DivisionIsExactAndNeverByItselfWithOneRejected) {
  PseudoRandomSource random(4);
  RecordingHooks hooks;
  GenerationSettings s;
  s.ExamRowN = 10;
  s.ExamColN = 2;
  ProblemGenerator g(&random, &hooks);
  for (int run = 0; run < 20; ++run) {
    const MakeResult r = g.MakeProblems(pkDiv, s);
    ASSERT_EQ(r.status, MakeStatus::Done);
    const QStringList a = linesOf(r.lists.first), b = linesOf(r.lists.second),
                      c = linesOf(r.lists.answers);
    for (int i = 0; i < a.size(); ++i) {
      auto x = parseLine(a[i]), y = parseLine(b[i]), z = parseLine(c[i]);
      ASSERT_TRUE(x && y && z);
      EXPECT_NE(a[i], b[i]);
      EXPECT_TRUE(z->n * x->d * y->n == x->n * y->d * z->d) << a[i].toStdString() << " / " << b[i].toStdString();
    }
  }
}

TEST(MakeProblems, KindFourAndFiveShapes) {
  PseudoRandomSource random(5);
  RecordingHooks hooks;
  hooks.choices.sign1 = smMinus;  // ignored for one-operand kinds
  ProblemGenerator g(&random, &hooks);
  GenerationSettings s4 = withRanges({1, 3, 1, 9, 2, 9, 0, 0, 1, 10, 1, 10});
  s4.fTaiBun = true;  // kind 4 answers stay improper
  for (int run = 0; run < 10; ++run) {
    const MakeResult r = g.MakeProblems(pkMixedToImproper, s4);
    ASSERT_EQ(r.status, MakeStatus::Done);
    const QStringList a = linesOf(r.lists.first), c = linesOf(r.lists.answers);
    EXPECT_EQ(linesOf(r.lists.second), QStringList(a.size(), QStringLiteral("=")));
    for (int i = 0; i < a.size(); ++i) {
      auto x = parseLine(a[i]), z = parseLine(c[i]);
      ASSERT_TRUE(x && z) << a[i].toStdString();
      EXPECT_TRUE(x->mixed && x->num < x->den) << a[i].toStdString();
      EXPECT_TRUE(!z->mixed && !z->whole_number && z->num > z->den) << c[i].toStdString();
      EXPECT_TRUE(x->n == z->n && x->d == z->d);
    }
  }
  // The integer-part bounds count as 0..0 for kind 5, whatever the settings say.
  GenerationSettings s5 = withRanges({0, 3, 1, 20, 2, 9, 0, 0, 1, 10, 1, 10});
  for (int run = 0; run < 10; ++run) {
    const MakeResult r = g.MakeProblems(pkImproperToMixed, s5);
    ASSERT_EQ(r.status, MakeStatus::Done);
    const QStringList a = linesOf(r.lists.first), c = linesOf(r.lists.answers);
    for (int i = 0; i < a.size(); ++i) {
      auto x = parseLine(a[i]), z = parseLine(c[i]);
      ASSERT_TRUE(x && z);
      EXPECT_TRUE(!x->mixed && !x->whole_number && x->num > x->den) << a[i].toStdString();
      EXPECT_TRUE(z->mixed && z->num < z->den) << c[i].toStdString();
      EXPECT_TRUE(x->n == z->n && x->d == z->d);
    }
  }
  EXPECT_EQ(s5.MaxV[0], 3) << "the settings themselves are left alone";
}

TEST(MakeProblems, SimpleAnswersBoundTheImproperForm) {
  PseudoRandomSource random(6);
  RecordingHooks hooks;
  GenerationSettings s = withRanges({0, 3, 1, 9, 1, 9, 0, 3, 1, 9, 1, 9});
  s.fJust = true;
  s.fTaiBun = true;
  s.ExamRowN = 10;
  s.ExamColN = 2;
  ProblemGenerator g(&random, &hooks);
  for (int run = 0; run < 20; ++run) {
    const MakeResult r = g.MakeProblems(pkAdd, s);
    ASSERT_EQ(r.status, MakeStatus::Done);
    for (const QString& line : linesOf(r.lists.answers)) {
      auto z = parseLine(line);
      ASSERT_TRUE(z);
      EXPECT_TRUE(z->n <= 15 && z->d <= 15) << line.toStdString();
      if (z->d > 1 && z->n > z->d) { EXPECT_TRUE(z->mixed) << line.toStdString(); }
    }
  }
}

TEST(MakeProblems, ExhaustionAsksAndNoKeepsNothing) {
  PseudoRandomSource random(7);
  RecordingHooks hooks;
  hooks.choices.sign1 = hooks.choices.sign2 = smMinus;
  ProblemGenerator g(&random, &hooks);
  const MakeResult r = g.MakeProblems(pkAdd, GenerationSettings());
  EXPECT_EQ(r.status, MakeStatus::Exhausted);
  EXPECT_EQ(hooks.asked, 1);
  EXPECT_EQ(r.message, QStringLiteral("答えが０以下"));
  EXPECT_EQ(hooks.status.last(), QStringLiteral("Loop over:答えが０以下"));
  EXPECT_EQ(r.attempts, MaxAttempts);
  EXPECT_TRUE(r.lists.first.isEmpty());
}

TEST(MakeProblems, ExhaustionYesKeepsTheLastCandidateAndAsksAgain) {
  PseudoRandomSource random(8);
  RecordingHooks hooks;
  hooks.answer = true;
  hooks.choices.sign1 = hooks.choices.sign2 = smMinus;
  ProblemGenerator g(&random, &hooks);
  const MakeResult r = g.MakeProblems(pkAdd, GenerationSettings());
  ASSERT_EQ(r.status, MakeStatus::Done);
  EXPECT_EQ(hooks.asked, 10);
  EXPECT_EQ(r.problemsKept, 10);
  const QStringList a = linesOf(r.lists.first), b = linesOf(r.lists.second),
                    c = linesOf(r.lists.answers);
  ASSERT_EQ(c.size(), 10);
  for (int i = 0; i < 10; ++i) {
    auto x = parseLine(a[i]), y = parseLine(b[i]), z = parseLine(c[i]);
    ASSERT_TRUE(x && y && z);
    EXPECT_TRUE(z->n < 0);
    EXPECT_TRUE(z->n * x->d * y->d == (x->n * y->d + y->n * x->d) * z->d) << "the kept answer matches its lines";
  }
}

TEST(MakeProblems, TheReasonKeptIsTheLastFailingTest) {
  PseudoRandomSource random(9);
  RecordingHooks hooks;
  ProblemGenerator g(&random, &hooks);
  const MakeResult r = g.MakeProblems(pkAdd, withRanges({0, 0, 0, 0, 1, 10, 0, 0, 0, 0, 1, 10}));
  EXPECT_EQ(r.status, MakeStatus::Exhausted);
  EXPECT_EQ(r.message, QStringLiteral("答えが０"));
  EXPECT_EQ(r.reason, rrAnswerZero);

  // Kind 4 still draws the hidden second operand.
  const MakeResult hidden =
      g.MakeProblems(pkMixedToImproper, withRanges({1, 3, 1, 9, 2, 9, 0, 0, 0, 0, 1, 10}));
  EXPECT_EQ(hidden.status, MakeStatus::Exhausted);
  EXPECT_TRUE(hidden.reason == rrZeroOperand || hidden.reason == rrAnswerWhole) << hidden.reason;

  GenerationSettings noWhole = withRanges({0, 0, 2, 2, 1, 1, 0, 0, 1, 10, 1, 10});
  noWhole.fInt = false;
  EXPECT_EQ(g.MakeProblems(pkAdd, noWhole).reason, rrWholeOperand);

  // A conversion whose line already reads as its answer: no mixed number to convert with the
  // default ranges of kind 4, only proper fractions for kind 5.
  const MakeResult m2i = g.MakeProblems(pkMixedToImproper, GenerationSettings());
  EXPECT_EQ(m2i.status, MakeStatus::Exhausted);
  EXPECT_EQ(m2i.reason, rrNoConversion);
  EXPECT_EQ(m2i.message, QStringLiteral("変換の必要がない"));
  const MakeResult i2m =
      g.MakeProblems(pkImproperToMixed, withRanges({0, 0, 1, 4, 5, 9, 0, 0, 1, 10, 1, 10}));
  EXPECT_EQ(i2m.reason, rrNoConversion);
  EXPECT_EQ(RejectMessage(rrLessonForm), QStringLiteral("分数の形が条件外"));
}

TEST(MakeProblems, DivisionByZeroKeptOnYesNeverDivides) {
  // n / 0, and 0 / 0 whose product of the reciprocal would read 0.
  for (const int64_t firstNumerator : {1, 0}) {
    PseudoRandomSource random(10);
    RecordingHooks hooks;
    hooks.answer = true;
    ProblemGenerator g(&random, &hooks);
    const int64_t lo = firstNumerator, hi = 10 * firstNumerator;
    const GenerationSettings s = withRanges({0, 0, lo, hi, 1, 10, 0, 0, 0, 0, 1, 10});
    const MakeResult r = g.MakeProblems(pkDiv, s);
    EXPECT_EQ(r.status, MakeStatus::Exhausted) << "no candidate has an answer to keep";
    EXPECT_EQ(hooks.asked, 1);
    EXPECT_TRUE(r.lists.answers.isEmpty());
  }
}

TEST(MakeProblems, SelfTestEndsTheRunAndCounts) {
  PseudoRandomSource random(11);
  RecordingHooks hooks;
  hooks.choices.sign1 = hooks.choices.sign2 = smMinus;
  hooks.labelVisible = true;
  hooks.timerRunning = true;
  SelfTestCounters counters{7, 2};
  ProblemGenerator g(&random, &hooks, &counters);
  const MakeResult r = g.MakeProblems(pkAdd, GenerationSettings());
  EXPECT_EQ(r.status, MakeStatus::Exhausted);
  EXPECT_EQ(hooks.asked, 0);
  EXPECT_EQ(counters.NG_NUM, 3);
  EXPECT_EQ(hooks.captions, QStringList({"    7."}));
  EXPECT_TRUE(hooks.status.contains(QStringLiteral("Loop:20001")));

  hooks.choices = OperandChoices();
  hooks.timerRunning = false;
  hooks.captions.clear();
  hooks.status.clear();
  const MakeResult ok = g.MakeProblems(pkAdd, GenerationSettings());
  ASSERT_EQ(ok.status, MakeStatus::Done);
  EXPECT_EQ(hooks.captions.size(), 10);
  EXPECT_EQ(hooks.captions.value(0), QStringLiteral("    7.(3)"));
  EXPECT_TRUE(hooks.status.value(1).startsWith(QLatin1String("Loop:")));
}

TEST(MakeProblems, RefusesRangesThatBreakTheInvariants) {
  RecordingHooks hooks;
  ProblemGenerator g(nullptr, &hooks);
  GenerationSettings s;
  s.MinV[1] = 20;  // above its upper bound
  MakeResult r = g.MakeProblems(pkAdd, s);
  EXPECT_EQ(r.status, MakeStatus::InvalidRanges);
  EXPECT_EQ(r.message, QStringLiteral("最小値は最大値以下でなければいけません"));
  EXPECT_EQ(hooks.reads, 0) << "no attempt made";
  s = GenerationSettings();
  s.MinV[5] = 0;
  EXPECT_EQ(g.MakeProblems(pkAdd, s).status, MakeStatus::InvalidRanges);
  // Kind 5 ignores the integer part, so an out-of-range one does not stop it.
  s = GenerationSettings();
  s.MinV[0] = 5;
  EXPECT_EQ(g.MakeProblems(pkImproperToMixed, withRanges({5, 3, 1, 20, 2, 9, 0, 0, 1, 10, 1, 10})).status,
            MakeStatus::Done);
}

TEST(MakeProblems, AStartFromAnEventPointIsRefused) {
  struct Reentrant : RecordingHooks {
    ProblemGenerator* g = nullptr;
    MakeStatus inner = MakeStatus::Done;
    void ProcessEvents() override {
      if (g) inner = g->MakeProblems(pkAdd, GenerationSettings()).status;
    }
  } hooks;
  PseudoRandomSource random(12);
  ProblemGenerator g(&random, &hooks);
  hooks.g = &g;
  EXPECT_EQ(g.MakeProblems(pkAdd, GenerationSettings()).status, MakeStatus::Done);
  EXPECT_EQ(hooks.inner, MakeStatus::Busy);
}

// Random settings, every result checked against the rules with an exact oracle.
TEST(MakeProblems, RandomSettingsObeyEveryRule) {
  PseudoRandomSource meta(2026);
  auto pick = [&](int64_t lo, int64_t hi) { return lo + int64_t(meta.NextBelow(uint64_t(hi - lo + 1))); };
  int checked = 0;
  for (int round = 0; round < 400; ++round) {
    const ProblemKind kind = ProblemKind(pick(0, 5));
    GenerationSettings s;
    for (int op = 0; op < 2; ++op) {
      const int b = op * 3;
      s.MinV[size_t(b)] = pick(0, 2);
      s.MaxV[size_t(b)] = s.MinV[size_t(b)] + pick(0, 3);
      s.MinV[size_t(b + 1)] = pick(0, 5);
      s.MaxV[size_t(b + 1)] = s.MinV[size_t(b + 1)] + pick(0, 20);
      s.MinV[size_t(b + 2)] = pick(1, 5);
      s.MaxV[size_t(b + 2)] = s.MinV[size_t(b + 2)] + pick(0, 12);
    }
    s.nRange = int32_t(pick(0, 3));
    s.fJust = pick(0, 1);
    s.nJust = int32_t(pick(10, 40));
    s.fZero = pick(0, 1);
    s.fOne = pick(0, 1);
    s.fTaiBun = pick(0, 1);
    s.fInt = pick(0, 1);
    s.rnd_D = int32_t(pick(-4, 4));
    s.ExamRowN = int32_t(pick(1, 10));
    s.ExamColN = int32_t(pick(1, 2));
    RecordingHooks hooks;
    hooks.choices = {SignMode(pick(0, 2)), SignMode(pick(0, 2)), bool(pick(0, 1)), bool(pick(0, 1))};
    PseudoRandomSource random{uint64_t(round)};
    ProblemGenerator g(&random, &hooks);
    const MakeResult r = g.MakeProblems(kind, s);
    if (r.status != MakeStatus::Done) {
      ASSERT_EQ(r.status, MakeStatus::Exhausted);
      continue;
    }
    const bool one = kind == pkMixedToImproper || kind == pkImproperToMixed;
    const QStringList a = linesOf(r.lists.first), b = linesOf(r.lists.second),
                      c = linesOf(r.lists.answers);
    ASSERT_EQ(a.size(), s.ExamRowN * s.ExamColN);
    ASSERT_EQ(b.size(), a.size());
    ASSERT_EQ(c.size(), a.size());
    for (int i = 0; i < a.size(); ++i) {
      SCOPED_TRACE(QStringLiteral("kind %1: %2 | %3 | %4").arg(int(kind)).arg(a[i], b[i], c[i]).toStdString());
      auto x = parseLine(a[i]), z = parseLine(c[i]);
      ASSERT_TRUE(x && z);
      std::optional<ParsedLine> y;
      if (one) {
        EXPECT_EQ(b[i], QStringLiteral("="));
        y = ParsedLine();
      } else {
        y = parseLine(b[i]);
        ASSERT_TRUE(y);
      }
      // Operands: reduced, never zero, proper fraction parts, signs as chosen.
      struct Operand {
        ParsedLine p;
        SignMode sign;
        bool random;
      };
      std::vector<Operand> operands{{*x, one ? smPlus : hooks.choices.sign1, hooks.choices.random1}};
      if (!one) operands.push_back({*y, hooks.choices.sign2, hooks.choices.random2});
      for (const Operand& o : operands) {
        EXPECT_TRUE(isReduced(o.p));
        EXPECT_NE(o.p.n, 0);
        if (o.p.mixed) { EXPECT_LT(o.p.num, o.p.den); }
        if (o.sign == smPlus) { EXPECT_GT(o.p.n, 0); }
        if (o.sign == smMinus) { EXPECT_LT(o.p.n, 0); }
        if (o.random && !s.fInt) { EXPECT_NE(o.p.d, 1); }
      }
      if (kind == pkImproperToMixed) { EXPECT_FALSE(x->mixed); }
      // The answer, recomputed.
      __int128 n = 0, d = 1;
      switch (kind) {
        case pkSub: n = x->n * y->d - y->n * x->d, d = x->d * y->d; break;
        case pkMul: n = x->n * y->n, d = x->d * y->d; break;
        case pkDiv: n = x->n * y->d, d = x->d * y->n; break;
        case pkAdd: n = x->n * y->d + y->n * x->d, d = x->d * y->d; break;
        default: n = x->n, d = x->d; break;
      }
      EXPECT_TRUE(n * z->d == z->n * d) << "the answer is exact";
      EXPECT_TRUE(isReduced(*z));
      if (s.nRange == 0) { EXPECT_GT(z->n, 0); }
      if (s.nRange == 1) { EXPECT_GE(z->n, 0); }
      if (s.fZero) { EXPECT_NE(z->n, 0); }
      if (s.fOne) { EXPECT_FALSE(z->n == 1 && z->d == 1); }
      if (s.fJust) { EXPECT_TRUE(z->n <= s.nJust && -z->n <= s.nJust && z->d <= s.nJust); }
      if (one) { EXPECT_NE(z->d, 1); }
      if (one) { EXPECT_NE(a[i], c[i]) << "a conversion converts"; }
      if (kind == pkImproperToMixed) { EXPECT_TRUE(z->mixed); }
      const bool mixedShape = (s.fTaiBun || kind == pkImproperToMixed) && kind != pkMixedToImproper;
      if (!mixedShape) { EXPECT_FALSE(z->mixed); }
      else if (z->d > 1) { EXPECT_EQ(z->mixed, z->n > z->d || -z->n > z->d); }
      ++checked;
    }
  }
  EXPECT_GT(checked, 1000);
}

}  // namespace
}  // namespace zubira
