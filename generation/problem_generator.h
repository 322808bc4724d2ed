#pragma once
// The problem generator: draws candidate operands, computes each answer exactly, throws away the
// candidates the filters reject (up to MaxAttempts per problem) and writes the three problem
// lists, one line per problem, every line ending with CR LF.
//
// The generator needs no window: what it reads from controls at every attempt (sign choices,
// random flags) and what it shows (status text, the self-test label, the exhaustion question)
// goes through GeneratorHooks.

#include "generation/fraction.h"
#include "generation/generation_settings.h"
#include "generation/random_source.h"

#include <QString>
#include <array>
#include <cstdint>

namespace zubira {

enum RejectReason : int32_t {
  rrNone = 0,
  rrMixedNumerator = 1,    // "帯分数の分子が大きい"
  rrZeroOperand = 2,       // "０を省きました"
  rrWholeOperand = 3,      // "整数を省きました"
  rrAnswerNotPositive = 4, // "答えが０以下"
  rrAnswerNegative = 5,    // "答えが負"
  rrAnswerZero = 6,        // "答えが０"
  rrAnswerOne = 7,         // "答えが１"
  rrAnswerComplex = 8,     // "答えが複雑でした"
  rrAnswerWhole = 9,       // "答えが整数"
  rrAnswerProper = 10,     // "答えが真分数でした"
  // A value that exact 64-bit arithmetic cannot hold; the ranges the generator accepts never
  // produce one, but a candidate that did would be rejected rather than given a wrong answer.
  rrTooLarge = 11,         // "数が大きすぎる"
  // The lesson conditions, tested after the answer filters in this order.
  rrLessonDenominator = 12,  // "分母が条件外"
  rrLessonRegroup = 13,      // "繰り上がり・繰り下がりが条件外"
  rrLessonCancel = 14,       // "途中の約分が条件外"
  rrLessonReduce = 15,       // "約分が条件外"
  // A conversion whose line already reads as its answer (5/4 to an improper fraction).
  rrNoConversion = 16,       // "変換の必要がない"
  rrLessonForm = 17,         // "分数の形が条件外"
};

QString RejectMessage(RejectReason reason);

constexpr int MaxAttempts = 20000;

// The question asked when the attempts for a problem run out.
QString ExhaustionQuestion();  // "最大値や最小値の条件は合っていますか?"

// The self-test counters, owned by the window.
struct SelfTestCounters {
  int32_t TestLoop = 0;
  int32_t NG_NUM = 0;
};

// What the generator needs from around it. The defaults suit a run without any window: fixed
// choices, nothing shown, and No to the exhaustion question.
class GeneratorHooks {
 public:
  virtual ~GeneratorHooks();
  // Read at every attempt.
  virtual OperandChoices ReadOperandChoices();
  // Panel 1 of the status bar.
  virtual void SetStatusText(const QString& text);
  // Lets the user interface handle pending events.
  virtual void ProcessEvents();
  // The self-test label `LblInf` and the self-test timer.
  virtual bool SelfTestLabelVisible();
  virtual bool SelfTestTimerRunning();
  virtual void SetSelfTestCaption(const QString& text);
  // The modal Yes/No question; true for Yes.
  virtual bool AskYesNo(const QString& question);
};

// The three lists: first operands, second operands, answers.
struct ProblemLists {
  QString first;
  QString second;
  QString answers;
};

enum class MakeStatus {
  Done,           // every problem made (some possibly kept after exhaustion): show `lists`
  Exhausted,      // the attempts for a problem ran out and the run ended: keep the old lists
  InvalidRanges,  // the ranges break the generator's rules; `message` says which
  Busy,           // a run was already in progress (started again from an event-processing point)
};

struct MakeResult {
  MakeStatus status = MakeStatus::Done;
  ProblemLists lists;       // complete only when status is Done
  QString message;          // InvalidRanges: the rule broken; Exhausted: the reason's message
  RejectReason reason = rrNone;  // the last exhaustion's reason, if any
  int problemsMade = 0;
  int problemsKept = 0;     // problems kept after their attempts ran out
  int64_t attempts = 0;     // attempts made in the whole run
};

// One value line: "3", "-3", "1/2", "-7/4", "2+1/3", "-(2+1/3)".
QString FormatValueLine(int64_t sign, int64_t whole, int64_t num, int64_t den);

class ProblemGenerator {
 public:
  // Null arguments mean the process-wide random source, the default hooks and no self-test.
  explicit ProblemGenerator(RandomSource* random = nullptr, GeneratorHooks* hooks = nullptr,
                            SelfTestCounters* counters = nullptr);

  void setRandomSource(RandomSource* random);
  void setHooks(GeneratorHooks* hooks);
  void setCounters(SelfTestCounters* counters);

  // Makes ExamRowN x ExamColN problems of `kind` from `settings` (MinV/MaxV parsed from the
  // range edits). For pkImproperToMixed the first operand's integer-part bounds count as 0..0.
  MakeResult MakeProblems(ProblemKind kind, const GenerationSettings& settings);
  // True while a run is in progress (it lets the interface process events).
  bool running() const { return running_; }

  // Signs (first operand, second operand, answer) and components (integer part, numerator,
  // denominator of each) of the last problem made.
  std::array<int64_t, 3> vargS{1, 1, 1};
  std::array<int64_t, 9> vargV{};

 private:
  RandomSource* random_;
  GeneratorHooks* hooks_;
  SelfTestCounters* counters_;
  bool running_ = false;
};

}  // namespace zubira
