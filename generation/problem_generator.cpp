#include "generation/problem_generator.h"

#include "generation/lesson_conditions.h"
#include "generation/range_check.h"

#include <cstdlib>

namespace zubira {

QString RejectMessage(RejectReason reason) {
  switch (reason) {
    case rrNone: return QString();
    case rrMixedNumerator: return QStringLiteral("帯分数の分子が大きい");
    case rrZeroOperand: return QStringLiteral("０を省きました");
    case rrWholeOperand: return QStringLiteral("整数を省きました");
    case rrAnswerNotPositive: return QStringLiteral("答えが０以下");
    case rrAnswerNegative: return QStringLiteral("答えが負");
    case rrAnswerZero: return QStringLiteral("答えが０");
    case rrAnswerOne: return QStringLiteral("答えが１");
    case rrAnswerComplex: return QStringLiteral("答えが複雑でした");
    case rrAnswerWhole: return QStringLiteral("答えが整数");
    case rrAnswerProper: return QStringLiteral("答えが真分数でした");
    case rrTooLarge: return QStringLiteral("数が大きすぎる");
    case rrLessonDenominator: return QStringLiteral("分母が条件外");
    case rrLessonRegroup: return QStringLiteral("繰り上がり・繰り下がりが条件外");
    case rrLessonCancel: return QStringLiteral("途中の約分が条件外");
    case rrLessonReduce: return QStringLiteral("約分が条件外");
    case rrNoConversion: return QStringLiteral("変換の必要がない");
    case rrLessonForm: return QStringLiteral("分数の形が条件外");
  }
  return QString();
}

QString ExhaustionQuestion() { return QStringLiteral("最大値や最小値の条件は合っていますか?"); }

GeneratorHooks::~GeneratorHooks() = default;
OperandChoices GeneratorHooks::ReadOperandChoices() { return OperandChoices(); }
void GeneratorHooks::SetStatusText(const QString&) {}
void GeneratorHooks::ProcessEvents() {}
bool GeneratorHooks::SelfTestLabelVisible() { return false; }
bool GeneratorHooks::SelfTestTimerRunning() { return false; }
void GeneratorHooks::SetSelfTestCaption(const QString&) {}
bool GeneratorHooks::AskYesNo(const QString&) { return false; }

QString FormatValueLine(int64_t sign, int64_t whole, int64_t num, int64_t den) {
  QString line;
  if (den == 1) {
    // Zero has no sign: a kept zero operand drawn with the minus sign is written "0".
    if (sign == -1 && whole + num != 0) line += u'-';
    line += QString::number(whole + num);
  } else if (whole == 0) {
    if (sign == -1) line += u'-';
    line += QString::number(num) + u'/' + QString::number(den);
  } else if (sign == -1) {
    line += QStringLiteral("-(") + QString::number(whole) + u'+' + QString::number(num) + u'/' +
            QString::number(den) + u')';
  } else {
    line += QString::number(whole) + u'+' + QString::number(num) + u'/' + QString::number(den);
  }
  return line;
}

namespace {

// One candidate problem: everything an attempt computes, in plain integers.
struct Candidate {
  int64_t signs[3] = {1, 1, 1};
  int64_t values[9] = {};
  Fraction operand[2];
  Fraction answer;
  bool defined = false;  // every value exact and the answer not n/0
  RejectReason reason = rrNone;
};

struct Run {
  ProblemKind kind;
  const GenerationSettings* s;
  RangeBounds MinV;
  RangeBounds MaxV;
  RangeBounds StepV;
  RandomSource* random;
};

// Whether an operand's line writes a fraction part whose numerator is not less than its
// denominator (7/4, or 1+5/4 kept after the attempts ran out).
inline bool improperPart(const Candidate& c, int which) {
  const int64_t num = c.values[which * 3 + 1];
  const int64_t den = c.values[which * 3 + 2];
  return den > 1 && num >= den;
}

// Whether the line of a conversion problem already reads as the answer line it would get: the
// mixed-to-improper answer is the improper fraction, the other the mixed number. Lines are
// compared as FormatValueLine writes them, where a denominator of 1 leaves a whole number.
inline bool writtenAsAnswer(ProblemKind kind, const Candidate& c) {
  const int64_t n = std::llabs(c.answer.num);
  const int64_t d = c.answer.den;
  const MixedNumber shape = kind == pkImproperToMixed ? ImproperToMixed(n, d) : MixedNumber{0, n, d};
  const int64_t whole = c.values[0], num = c.values[1], den = c.values[2];
  if ((den == 1) != (shape.den == 1)) return false;
  if (den == 1) return whole + num == shape.whole + shape.num;
  return whole == shape.whole && num == shape.num && den == shape.den;
}

SignMode effectiveSign(SignMode m) { return (m == smMinus || m == smEither) ? m : smPlus; }

// Draws and checks one operand; returns false when its value could not be formed exactly.
inline bool drawOperand(const Run& run, int which, SignMode sign, bool random, Candidate* c) {
  const int base = which * 3;
  int64_t s = 1;
  if (sign == smMinus) s = -1;
  else if (sign == smEither && RandomChance(*run.random, 0.5)) s = -1;
  c->signs[which] = s;

  int64_t whole, num, den;
  if (random) {
    const int32_t D = run.s->rnd_D;
    whole = RandomInRange(*run.random, int32_t(run.MinV[size_t(base)]),
                          int32_t(run.MaxV[size_t(base)]), D);
    num = RandomInRange(*run.random, int32_t(run.MinV[size_t(base + 1)]),
                        int32_t(run.MaxV[size_t(base + 1)]), D);
    den = RandomInRange(*run.random, int32_t(run.MinV[size_t(base + 2)]),
                        int32_t(run.MaxV[size_t(base + 2)]), D);
  } else {
    whole = run.MaxV[size_t(base)];
    num = run.StepV[size_t(base + 1)];
    den = run.MaxV[size_t(base + 2)];
  }
  const Fraction reduced = ReduceFraction(num, den);
  c->values[base] = whole;
  c->values[base + 1] = reduced.num;
  c->values[base + 2] = reduced.den;

  bool failed = false;
  if (whole > 0 && reduced.num > reduced.den) {
    c->reason = rrMixedNumerator;
    failed = true;
  }
  // The improper value is formed even for a failed operand, so that a candidate kept after the
  // attempts ran out has an answer that matches its lines.
  const std::optional<Fraction> improper = MixedToImproper(whole, reduced.num, reduced.den);
  if (!improper) {
    c->reason = rrTooLarge;
    return false;
  }
  Fraction v = *improper;
  if (!failed && v.num == 0) {
    c->reason = rrZeroOperand;
    failed = true;
  }
  if (!failed && random && v.den == 1 && !run.s->fInt) c->reason = rrWholeOperand;
  if (s == -1) v.num = -v.num;
  c->operand[which] = v;
  return true;
}

inline void attempt(const Run& run, const OperandChoices& choices, Candidate* c) {
  c->reason = rrNone;
  const bool oneOperand = run.kind == pkMixedToImproper || run.kind == pkImproperToMixed;
  const SignMode sign1 = oneOperand ? smPlus : effectiveSign(choices.sign1);
  const SignMode sign2 = oneOperand ? smPlus : effectiveSign(choices.sign2);
  bool exact = drawOperand(run, 0, sign1, choices.random1, c);
  exact = drawOperand(run, 1, sign2, choices.random2, c) && exact;
  if (oneOperand) c->operand[1] = Fraction{0, 1};
  c->defined = false;
  if (!exact) return;

  const Fraction a = c->operand[0];
  const Fraction b = c->operand[1];
  std::optional<Fraction> answer;
  switch (run.kind) {
    case pkSub:
      answer = AddFractions(a.num, a.den, -b.num, b.den);
      break;
    case pkMul:
      answer = MultiplyFractions(a.num, a.den, b.num, b.den);
      break;
    case pkDiv:
      answer = MultiplyFractions(a.num, a.den, b.den, b.num);
      break;
    default:
      answer = AddFractions(a.num, a.den, b.num, b.den);
      break;
  }
  if (!answer) {
    c->reason = rrTooLarge;
    return;
  }
  // A division by a zero operand gives n/0, or 0/1 for 0 / 0. The operand test has already
  // rejected it; the answer tests still run on it so the reason kept is the last failing test, but
  // it can never be kept as a problem.
  c->answer = *answer;
  c->defined = answer->den != 0 && !(run.kind == pkDiv && b.num == 0);

  const GenerationSettings& s = *run.s;
  const int64_t n = answer->num;
  const int64_t d = answer->den;
  if (s.nRange == 0) {
    if (n <= 0) c->reason = rrAnswerNotPositive;
  } else if (s.nRange == 1) {
    if (n < 0) c->reason = rrAnswerNegative;
  }
  if (s.fZero && n == 0) c->reason = rrAnswerZero;
  if (s.fOne && n == d && n > 0) c->reason = rrAnswerOne;
  if (s.fJust && (std::llabs(n) > s.nJust || d > s.nJust)) c->reason = rrAnswerComplex;
  if (oneOperand && d == 1) c->reason = rrAnswerWhole;
  if (run.kind == pkImproperToMixed && n < d) c->reason = rrAnswerProper;
  if (oneOperand && writtenAsAnswer(run.kind, *c)) c->reason = rrNoConversion;

  const LessonConditions& l = s.Lesson;
  const LessonOperand x1{a, improperPart(*c, 0)};
  const LessonOperand x2{b, !oneOperand && improperPart(*c, 1)};
  if (!DenominatorConditionMet(l.Denominator, run.kind, x1, x2)) c->reason = rrLessonDenominator;
  if (!RegroupConditionMet(l.Regroup, run.kind, x1, x2)) c->reason = rrLessonRegroup;
  if (!CancelConditionMet(l.Cancel, run.kind, x1, x2)) c->reason = rrLessonCancel;
  if (!ReduceConditionMet(l.Reduce, run.kind, x1, x2)) c->reason = rrLessonReduce;
  if (!FormConditionMet(l.Form, run.kind, x1, x2)) c->reason = rrLessonForm;
}

void appendLines(ProblemKind kind, const GenerationSettings& s, Candidate* c, ProblemLists* out,
                 std::array<int64_t, 3>* vargS, std::array<int64_t, 9>* vargV) {
  int64_t n = c->answer.num;
  const int64_t d = c->answer.den;
  c->signs[2] = 1;
  if (n < 0) {
    c->signs[2] = -1;
    n = -n;
  }
  MixedNumber shape{0, n, d};
  if (kind != pkMixedToImproper && (s.fTaiBun || kind == pkImproperToMixed))
    shape = ImproperToMixed(n, d);
  c->values[6] = shape.whole;
  c->values[7] = shape.num;
  c->values[8] = shape.den;
  for (int i = 0; i < 3; ++i) (*vargS)[size_t(i)] = c->signs[i];
  for (int i = 0; i < 9; ++i) (*vargV)[size_t(i)] = c->values[i];

  static const QString crlf = QStringLiteral("\r\n");
  out->first += FormatValueLine(c->signs[0], c->values[0], c->values[1], c->values[2]) + crlf;
  if (kind == pkMixedToImproper || kind == pkImproperToMixed)
    out->second += QStringLiteral("=") + crlf;
  else
    out->second += FormatValueLine(c->signs[1], c->values[3], c->values[4], c->values[5]) + crlf;
  out->answers += FormatValueLine(c->signs[2], c->values[6], c->values[7], c->values[8]) + crlf;
}

}  // namespace

ProblemGenerator::ProblemGenerator(RandomSource* random, GeneratorHooks* hooks,
                                   SelfTestCounters* counters) {
  setRandomSource(random);
  setHooks(hooks);
  setCounters(counters);
}

void ProblemGenerator::setRandomSource(RandomSource* random) {
  random_ = random ? random : &ProcessRandomSource();
}

void ProblemGenerator::setHooks(GeneratorHooks* hooks) {
  static GeneratorHooks defaults;
  hooks_ = hooks ? hooks : &defaults;
}

void ProblemGenerator::setCounters(SelfTestCounters* counters) { counters_ = counters; }

MakeResult ProblemGenerator::MakeProblems(ProblemKind kind, const GenerationSettings& settings) {
  MakeResult result;
  if (running_) {
    result.status = MakeStatus::Busy;
    return result;
  }
  struct Guard {
    bool* flag;
    ~Guard() { *flag = false; }
  } guard{&running_};
  running_ = true;

  hooks_->SetStatusText(QString());
  hooks_->ProcessEvents();

  Run run{kind, &settings, settings.MinV, settings.MaxV, settings.MinV, random_};
  if (kind == pkImproperToMixed) {
    run.MinV[0] = 0;
    run.MaxV[0] = 0;
  }
  result.message = CheckRangeInvariants(run.MinV, run.MaxV);
  if (!result.message.isEmpty()) {
    result.status = MakeStatus::InvalidRanges;
    return result;
  }
  run.StepV = run.MinV;

  const int64_t count = std::max<int64_t>(0, int64_t(settings.ExamRowN) * settings.ExamColN);
  ProblemLists lists;
  for (int64_t problem = 0; problem < count; ++problem) {
    Candidate c;
    Candidate lastDefined;
    int attempts = 0;
    bool accepted = false;
    while (attempts < MaxAttempts) {
      ++attempts;
      attempt(run, hooks_->ReadOperandChoices(), &c);
      if (c.defined) lastDefined = c;
      if (c.reason == rrNone) {
        accepted = true;
        break;
      }
    }
    result.attempts += attempts;

    if (hooks_->SelfTestLabelVisible()) {
      const int32_t loop = counters_ ? counters_->TestLoop : 0;
      const int32_t ng = counters_ ? counters_->NG_NUM : 0;
      hooks_->SetSelfTestCaption(hooks_->SelfTestTimerRunning()
                                     ? QString::asprintf("%5d.", loop)
                                     : QString::asprintf("%5d.(%d)", loop, ng));
      hooks_->SetStatusText(QString::asprintf("Loop:%d", accepted ? attempts : attempts + 1));
      hooks_->ProcessEvents();
    }

    if (!accepted) {
      result.reason = c.reason;
      result.message = RejectMessage(c.reason);
      hooks_->SetStatusText(QStringLiteral("Loop over:") + result.message);
      if (counters_ && counters_->TestLoop > 0) {
        counters_->NG_NUM += 1;
        result.status = MakeStatus::Exhausted;
        return result;
      }
      // Yes keeps the last candidate whose answer exists; a run in which no attempt produced
      // one (every divisor zero) cannot keep anything.
      if (!hooks_->AskYesNo(ExhaustionQuestion()) || !lastDefined.defined) {
        result.status = MakeStatus::Exhausted;
        return result;
      }
      c = lastDefined;
      result.problemsKept += 1;
    }

    for (int k = 0; k < RangeCount; ++k) {
      run.StepV[size_t(k)] += 1;
      if (run.StepV[size_t(k)] > run.MaxV[size_t(k)]) run.StepV[size_t(k)] = run.MinV[size_t(k)];
    }
    appendLines(kind, settings, &c, &lists, &vargS, &vargV);
    result.problemsMade += 1;
  }
  result.status = MakeStatus::Done;
  result.lists = std::move(lists);
  if (result.problemsKept == 0) result.message.clear();
  return result;
}

}  // namespace zubira
