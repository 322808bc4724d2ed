#include "generation/self_test.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <map>

namespace zubira {
namespace {

// Draws that always give the largest value asked for, for the first `largestCalls` calls, and
// the smallest afterwards.
class ExtremeSource : public RandomSource {
 public:
  explicit ExtremeSource(int largestCalls = 1 << 30) : largestCalls_(largestCalls) {}
  double NextReal() override { return calls_++ < largestCalls_ ? 0.999999 : 0.0; }
  uint64_t NextBelow(uint64_t n) override { return calls_++ < largestCalls_ ? n - 1 : 0; }
  int calls() const { return calls_; }

 private:
  int largestCalls_;
  int calls_ = 0;
};

RangeTexts textsWithLimits(const QString& i, const QString& c, const QString& m) {
  RangeTexts t = defaultRangeTexts();
  t[EdtMax1i] = i;
  t[EdtMax1c] = c;
  t[EdtMax1m] = m;
  return t;
}

TEST(SelfTestLimits, TakenFromTheFirstOperandsUpperBounds) {
  struct Case {
    const char* i;
    const char* c;
    const char* m;
    bool ok;
    SelfTestLimits limits;
    RangeEdit edit;
    const char* message;
  } cases[] = {
      {"3", "9", "9", true, {3, 9, 9}, EdtMax1i, ""},
      {" 3 ", "$A", "0x10", true, {3, 10, 16}, EdtMax1i, ""},
      {"", "9", "9", true, {0, 9, 9}, EdtMax1i, ""},  // an empty integer part counts as 0
      {"1000", "9999", "9999", true, {1000, 9999, 9999}, EdtMax1i, ""},
      {"abc", "9", "9", false, {}, EdtMax1i, "数を入力して下さい"},
      {"3", "9.5", "9", false, {}, EdtMax1c, "数を入力して下さい"},
      {"3", "9", "x", false, {}, EdtMax1m, "数を入力して下さい"},
      {"3", "", "9", false, {}, EdtMax1c, "空白は指定できません"},
      {"3", "9", "", false, {}, EdtMax1m, "空白は指定できません"},
      {"1001", "9", "9", false, {}, EdtMax1i, "1000以下を指定して下さい"},
      {"3", "10000", "9", false, {}, EdtMax1c, "４桁未満を指定して下さい"},
      {"3", "9", "0", false, {}, EdtMax1m, "分母に０は指定できません"},
      {"-1", "9", "9", false, {}, EdtMax1i, "設定値は４桁未満の正の数又は零でなければいけません"},
      {"3", "-2", "9", false, {}, EdtMax1c, "設定値は４桁未満の正の数又は零でなければいけません"},
      {"3", "9", "-9", false, {}, EdtMax1m, "設定値は４桁未満の正の数又は零でなければいけません"},
      {"99999999999", "9", "9", false, {}, EdtMax1i, "数を入力して下さい"},
  };
  for (const Case& c : cases) {
    const SelfTestLimitsResult r = ReadSelfTestLimits(textsWithLimits(
        QString::fromUtf8(c.i), QString::fromUtf8(c.c), QString::fromUtf8(c.m)));
    const std::string what = std::string(c.i) + " / " + c.c + " / " + c.m;
    ASSERT_EQ(r.TestV.has_value(), c.ok) << what << ": " << r.message.toStdString();
    if (c.ok) {
      EXPECT_EQ(*r.TestV, c.limits) << what;
    } else {
      EXPECT_EQ(r.edit, c.edit) << what;
      EXPECT_EQ(r.message, QString::fromUtf8(c.message)) << what;
    }
  }
}

TEST(SelfTestDrawing, EveryBoundStaysInItsRangeAndCoversIt) {
  for (bool fInt : {false, true}) {
    PseudoRandomSource random(20240611u + fInt);
    const SelfTestLimits TestV{3, 9, 9};
    // Values seen for each of the twelve edits.
    std::array<std::map<int64_t, int>, RangeEditCount> seen;
    for (int n = 0; n < 3000; ++n) {
      const SelfTestDraw d = DrawSelfTestRanges(TestV, random, fInt);
      ASSERT_TRUE(d.feasible);
      for (int k = 0; k < RangeCount; ++k) {
        const int component = k % 3;
        const int64_t smallest = component == 2 ? 1 : 0;
        const int64_t lo = d.MinV[size_t(k)];
        const int64_t hi = d.MaxV[size_t(k)];
        EXPECT_GE(lo, smallest) << "range " << k;
        EXPECT_LE(lo, hi) << "range " << k;
        EXPECT_LE(hi, TestV[size_t(component)]) << "range " << k;
        EXPECT_EQ(d.texts[size_t(2 * k)], QString::number(lo));
        EXPECT_EQ(d.texts[size_t(2 * k + 1)], QString::number(hi));
        ++seen[size_t(2 * k)][lo];
        ++seen[size_t(2 * k + 1)][hi];
      }
      // The edits' own range check accepts what was drawn.
      EXPECT_EQ(CheckRangeSet(d.texts, fInt), QString()) << d.texts[0].toStdString();
    }
    // Every value from the smallest to the limit turns up, lower and upper bounds alike.
    for (int e = 0; e < RangeEditCount; ++e) {
      const int component = rangeIndexOf(RangeEdit(e)) % 3;
      const int64_t smallest = component == 2 ? 1 : 0;
      const int64_t count = TestV[size_t(component)] - smallest + 1;
      EXPECT_EQ(int64_t(seen[size_t(e)].size()), count) << rangeEditName(RangeEdit(e));
    }
  }
}

TEST(SelfTestDrawing, UpperBoundsAreUniformOverTheLimit) {
  PseudoRandomSource random(7);
  const SelfTestLimits TestV{4, 4, 5};
  std::map<int64_t, int> upper;
  const int draws = 20000;
  for (int n = 0; n < draws; ++n) ++upper[DrawSelfTestRanges(TestV, random, true).MaxV[1]];
  ASSERT_EQ(upper.size(), 5u);
  for (const auto& [value, count] : upper) {
    EXPECT_NEAR(count, draws / 5, draws / 25) << "numerator upper bound " << value;
  }
}

TEST(SelfTestDrawing, LimitsOfZeroGiveTheSmallestRanges) {
  PseudoRandomSource random(3);
  const SelfTestDraw d = DrawSelfTestRanges(SelfTestLimits{0, 0, 1}, random, false);
  EXPECT_TRUE(d.feasible);
  EXPECT_EQ(d.tries, 1);
  EXPECT_EQ(d.texts, (RangeTexts{"0", "0", "0", "0", "1", "1", "0", "0", "0", "0", "1", "1"}));
}

TEST(SelfTestDrawing, InfeasibleTriesAreDrawnAgainUpToAThousandTimes) {
  struct Case {
    SelfTestLimits TestV;
    bool fInt;
    bool feasible;
    int tries;
    const char* status;
  } cases[] = {
      // Every draw the largest: integer parts 3..3, numerators 9..9, denominators 9..9.
      {{3, 9, 9}, false, false, 1000, "帯分数で分子が分母を越える設定(1)"},
      {{3, 9, 9}, true, true, 1, ""},
      {{3, 10, 9}, true, false, 1000, "帯分数で分子が分母を越える設定(2)"},
      {{3, 8, 9}, false, true, 1, ""},
      // Integer parts 0..0: whole numbers are possible, no mixed-number rule applies.
      {{0, 10, 9}, false, true, 1, ""},
  };
  for (const Case& c : cases) {
    ExtremeSource random;
    const SelfTestDraw d = DrawSelfTestRanges(c.TestV, random, c.fInt);
    EXPECT_EQ(d.feasible, c.feasible) << c.TestV[0] << "," << c.TestV[1] << "," << c.TestV[2];
    EXPECT_EQ(d.tries, c.tries);
    EXPECT_EQ(d.status, QString::fromUtf8(c.status));
  }
}

TEST(SelfTestDrawing, ALaterFeasibleTryEndsTheDrawingAndKeepsTheLastStatus) {
  // Twelve draws (two per range) with the largest values make the first try infeasible; the
  // second try draws the smallest values.
  ExtremeSource random(12);
  const SelfTestDraw d = DrawSelfTestRanges(SelfTestLimits{3, 9, 9}, random, false);
  EXPECT_TRUE(d.feasible);
  EXPECT_EQ(d.tries, 2);
  EXPECT_EQ(d.status, QStringLiteral("帯分数で分子が分母を越える設定(1)"));
  EXPECT_EQ(d.MinV[0], 0);
  EXPECT_EQ(d.MaxV[0], 0);
}

TEST(SelfTestFeasibility, MixedNumberOperandsNeedRoomForANumeratorBelowTheDenominator) {
  struct Case {
    RangeBounds MinV, MaxV;
    bool fInt;
    bool feasible;
  } cases[] = {
      {{1, 5, 1, 0, 1, 1}, {1, 5, 5, 0, 1, 1}, false, false},  // 5 >= 5
      {{1, 4, 1, 0, 1, 1}, {1, 5, 5, 0, 1, 1}, false, true},
      {{1, 5, 1, 0, 1, 1}, {1, 5, 5, 0, 1, 1}, true, true},    // 5 > 5 is false
      {{1, 6, 1, 0, 1, 1}, {1, 6, 5, 0, 1, 1}, true, false},
      {{0, 6, 1, 0, 1, 1}, {1, 6, 5, 0, 1, 1}, true, true},    // integer part may be 0
      {{0, 1, 1, 1, 6, 1}, {0, 1, 1, 2, 6, 5}, true, false},   // the second operand
      {{0, 1, 1, 1, 5, 1}, {0, 1, 1, 2, 6, 5}, false, false},
      {{0, 1, 1, 1, 4, 1}, {0, 1, 1, 2, 6, 5}, false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SelfTestRangesFeasible(c.MinV, c.MaxV, c.fInt), c.feasible)
        << c.MinV[0] << " " << c.MinV[1] << " " << c.MaxV[2] << " / " << c.MinV[3] << " "
        << c.MinV[4] << " " << c.MaxV[5] << " fInt " << c.fInt;
  }
}

TEST(SelfTestState, StartTakesTheLimitsAndStopGivesBackTheDefaultTexts) {
  SelfTestState state;
  state.counters = SelfTestCounters{7, 3};
  SelfTestClick start = state.Click(textsWithLimits("3", "9", "9"), false);
  EXPECT_EQ(start.outcome, SelfTestClickOutcome::Started);
  EXPECT_EQ(state.TestV, (SelfTestLimits{3, 9, 9}));
  EXPECT_EQ(state.counters.TestLoop, 0);
  EXPECT_EQ(state.counters.NG_NUM, 0);

  state.counters = SelfTestCounters{25, 4};
  SelfTestClick stop = state.Click(textsWithLimits("1", "2", "3"), true);
  EXPECT_EQ(stop.outcome, SelfTestClickOutcome::Stopped);
  EXPECT_EQ(state.counters.TestLoop, 0);
  EXPECT_EQ(state.counters.NG_NUM, 0);
  EXPECT_EQ(state.TestV, (SelfTestLimits{3, 9, 9})) << "stopping reads nothing";
  // EdtMin1i, EdtMax1i, EdtMin1c, EdtMax1c, EdtMin1m, EdtMax1m, then the second operand.
  EXPECT_EQ(stop.texts, (RangeTexts{"0", "0", "1", "10", "1", "10", "0", "0", "1", "10", "1", "10"}));
}

TEST(SelfTestState, AStartWithLimitsThatAreNotNumbersIsRefusedAndChangesNothing) {
  SelfTestState state;
  state.TestV = {1, 2, 3};
  SelfTestClick c = state.Click(textsWithLimits("3", "9", "abc"), false);
  EXPECT_EQ(c.outcome, SelfTestClickOutcome::Refused);
  EXPECT_EQ(c.edit, EdtMax1m);
  EXPECT_EQ(c.message, QStringLiteral("数を入力して下さい"));
  EXPECT_EQ(state.TestV, (SelfTestLimits{1, 2, 3}));
}

TEST(SelfTestState, NewRangesAtEveryTenthTick) {
  SelfTestState state;
  std::vector<int> drawingTicks;
  for (int tick = 0; tick < 35; ++tick) {
    if (state.DrawsThisTick()) drawingTicks.push_back(state.counters.TestLoop);
    state.TickDone();
  }
  EXPECT_EQ(drawingTicks, (std::vector<int>{0, 10, 20, 30}));
  EXPECT_EQ(state.counters.TestLoop, 35);
}

// The ticks as the window runs them, with the real generator reading the drawn texts.
class CountingHooks : public GeneratorHooks {
 public:
  bool SelfTestLabelVisible() override { return true; }
  bool SelfTestTimerRunning() override { return true; }
  void SetSelfTestCaption(const QString& text) override { captions << text; }
  bool AskYesNo(const QString&) override {
    ++questions;
    return false;
  }
  QStringList captions;
  int questions = 0;
};

TEST(SelfTestState, TicksRunTheGeneratorOnTheDrawnRanges) {
  PseudoRandomSource random(99);
  CountingHooks hooks;
  SelfTestState state;
  ASSERT_EQ(state.Click(textsWithLimits("3", "9", "9"), false).outcome,
            SelfTestClickOutcome::Started);
  ProblemGenerator generator(&random, &hooks, &state.counters);
  RangeTexts edits = defaultRangeTexts();
  std::vector<RangeTexts> rangesPerTick;
  for (int tick = 0; tick < 21; ++tick) {
    if (state.DrawsThisTick()) {
      const SelfTestDraw d = DrawSelfTestRanges(state.TestV, random, true);
      edits = d.texts;
      if (!d.feasible) continue;
    }
    GenerationSettings settings;
    settings.ExamRowN = 2;
    ASSERT_TRUE(ParseRangeTexts(edits, &settings));
    const MakeResult r = generator.MakeProblems(pkAdd, settings);
    EXPECT_NE(r.status, MakeStatus::InvalidRanges) << r.message.toStdString();
    rangesPerTick.push_back(edits);
    state.TickDone();
  }
  ASSERT_EQ(rangesPerTick.size(), 21u);
  for (int tick = 1; tick < 21; ++tick) {
    if (tick % 10 != 0) {
      EXPECT_EQ(rangesPerTick[size_t(tick)], rangesPerTick[size_t(tick - 1)]) << "tick " << tick;
    }
  }
  EXPECT_EQ(state.counters.TestLoop, 21);
  // The first caption is written during tick 0, right-aligned in five characters.
  ASSERT_FALSE(hooks.captions.isEmpty());
  EXPECT_EQ(hooks.captions.front(), QStringLiteral("    0."));
  EXPECT_LE(hooks.questions, 1) << "only a run at tick 0 may ask";
}

}  // namespace
}  // namespace zubira
