#include "generation/self_test.h"

namespace zubira {

namespace {

// The component of each limit: the first operand's upper-bound edits.
constexpr RangeEdit LimitEdits[3] = {EdtMax1i, EdtMax1c, EdtMax1m};

// U[a, b]; b below a gives a.
int64_t uniform(RandomSource& random, int32_t a, int32_t b) {
  return RandomInRange(random, a, b, 0);
}

}  // namespace

SelfTestLimitsResult ReadSelfTestLimits(const RangeTexts& texts) {
  SelfTestLimitsResult result;
  SelfTestLimits limits{};
  for (int k = 0; k < 3; ++k) {
    const RangeEdit edit = LimitEdits[k];
    const RangeCheckResult own = CheckRangeEditText(edit, texts[size_t(edit)]);
    const std::optional<int32_t> value =
        own.accepted ? parseInt32Text(own.text) : std::optional<int32_t>();
    if (!own.accepted || !value) {
      result.edit = edit;
      result.message = own.accepted ? QStringLiteral("数を入力して下さい") : own.message;
      return result;
    }
    if (*value < 0) {
      result.edit = edit;
      result.message = QStringLiteral("設定値は４桁未満の正の数又は零でなければいけません");
      return result;
    }
    limits[size_t(k)] = *value;
  }
  result.TestV = limits;
  return result;
}

QString SelfTestInfeasibleStatus(bool fInt) {
  return fInt ? QStringLiteral("帯分数で分子が分母を越える設定(2)")
              : QStringLiteral("帯分数で分子が分母を越える設定(1)");
}

bool SelfTestRangesFeasible(const RangeBounds& MinV, const RangeBounds& MaxV, bool fInt) {
  for (int base : {0, 3}) {
    if (MinV[size_t(base)] < 1) continue;
    const int64_t numeratorLow = MinV[size_t(base + 1)];
    const int64_t denominatorHigh = MaxV[size_t(base + 2)];
    if (fInt ? numeratorLow > denominatorHigh : numeratorLow >= denominatorHigh) return false;
  }
  return true;
}

SelfTestDraw DrawSelfTestRanges(const SelfTestLimits& TestV, RandomSource& random, bool fInt) {
  // Smallest value of each component: integer part, numerator, denominator.
  constexpr int32_t smallest[3] = {0, 0, 1};
  SelfTestDraw draw;
  while (draw.tries < SelfTestMaxTries) {
    ++draw.tries;
    for (int k = 0; k < RangeCount; ++k) {
      const int component = k % 3;
      const int32_t low = smallest[component];
      const int64_t upper = uniform(random, low, TestV[size_t(component)]);
      const int64_t lower = uniform(random, low, int32_t(upper));
      draw.MaxV[size_t(k)] = upper;
      draw.MinV[size_t(k)] = lower;
      draw.texts[size_t(2 * k)] = QString::number(lower);
      draw.texts[size_t(2 * k + 1)] = QString::number(upper);
    }
    if (SelfTestRangesFeasible(draw.MinV, draw.MaxV, fInt)) {
      draw.feasible = true;
      break;
    }
    draw.status = SelfTestInfeasibleStatus(fInt);
  }
  return draw;
}

SelfTestClick SelfTestState::Click(const RangeTexts& texts, bool running) {
  SelfTestClick click;
  if (!running) {
    const SelfTestLimitsResult limits = ReadSelfTestLimits(texts);
    if (!limits.TestV) {
      click.outcome = SelfTestClickOutcome::Refused;
      click.edit = limits.edit;
      click.message = limits.message;
      return click;
    }
    counters = SelfTestCounters{};
    TestV = *limits.TestV;
    click.outcome = SelfTestClickOutcome::Started;
    return click;
  }
  counters = SelfTestCounters{};
  click.outcome = SelfTestClickOutcome::Stopped;
  click.texts = defaultRangeTexts();
  return click;
}

bool SelfTestState::DrawsThisTick() const { return counters.TestLoop % SelfTestRunsPerDraw == 0; }

void SelfTestState::TickDone() { ++counters.TestLoop; }

}  // namespace zubira
