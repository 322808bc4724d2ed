// The generator's worst case (every attempt of every problem rejected), without and with lesson
// conditions, against a bare loop doing the same draws and arithmetic, and a run with the default
// settings.

#include "alloc_counter.h"

#include "generation/fraction.h"
#include "generation/problem_generator.h"
#include "generation/random_source.h"

#include <benchmark/benchmark.h>

namespace zubira {
namespace {

// Both operands negative with positive answers required: every attempt fails the sign rule, and
// Yes keeps the last candidate so all 20 problems run their 20,000 attempts.
class KeepAll final : public GeneratorHooks {
 public:
  OperandChoices choices;
  OperandChoices ReadOperandChoices() override { return choices; }
  bool AskYesNo(const QString&) override { return true; }
};

GenerationSettings twentyProblems() {
  GenerationSettings s;
  s.ExamRowN = 10;
  s.ExamColN = 2;
  return s;
}

// The worst case, with the lesson conditions of the addition (denominators, carrying, reduction)
// tested on every attempt as well when the argument is 1, and the form of the operands too when
// it is 2.
void BM_WorstCaseRun(benchmark::State& state) {
  PseudoRandomSource random(1);
  KeepAll hooks;
  hooks.choices.sign1 = hooks.choices.sign2 = smMinus;
  ProblemGenerator generator(&random, &hooks);
  GenerationSettings s = twentyProblems();
  if (state.range(0) >= 1) s.Lesson = {2, 1, 1, 0, state.range(0) == 2 ? 1 : 0};
  int64_t attempts = 0;
  const uint64_t before = bench::allocations();
  for (auto _ : state) {
    MakeResult r = generator.MakeProblems(pkAdd, s);
    attempts += r.attempts;
    benchmark::DoNotOptimize(r);
  }
  const double allocs = double(bench::allocations() - before);
  state.counters["attempts/run"] = double(attempts) / double(state.iterations());
  state.counters["allocs/attempt"] = allocs / double(attempts);
  state.counters["allocs/run"] = allocs / double(state.iterations());
}
BENCHMARK(BM_WorstCaseRun)->Arg(0)->Arg(1)->Arg(2)->ArgName("lesson")->Unit(benchmark::kMillisecond);

// Mixed numbers to improper fractions with no integer part to convert: every attempt is
// rejected by the test that the line already reads as its answer.
void BM_ConversionWorstCase(benchmark::State& state) {
  PseudoRandomSource random(1);
  KeepAll hooks;
  ProblemGenerator generator(&random, &hooks);
  const GenerationSettings s = twentyProblems();
  int64_t attempts = 0;
  const uint64_t before = bench::allocations();
  for (auto _ : state) {
    MakeResult r = generator.MakeProblems(pkMixedToImproper, s);
    attempts += r.attempts;
    benchmark::DoNotOptimize(r);
  }
  const double allocs = double(bench::allocations() - before);
  state.counters["attempts/run"] = double(attempts) / double(state.iterations());
  state.counters["allocs/attempt"] = allocs / double(attempts);
}
BENCHMARK(BM_ConversionWorstCase)->Unit(benchmark::kMillisecond);

// The same 400,000 draws and sums with nothing else: the floor the generator is measured against.
void BM_BareLoop(benchmark::State& state) {
  PseudoRandomSource random(1);
  const GenerationSettings s = twentyProblems();
  for (auto _ : state) {
    int64_t rejected = 0;
    for (int i = 0; i < 20 * MaxAttempts; ++i) {
      Fraction v[2];
      for (int op = 0; op < 2; ++op) {
        const int b = op * 3;
        const int64_t w = RandomInRange(random, int32_t(s.MinV[b]), int32_t(s.MaxV[b]), 0);
        const int64_t n = RandomInRange(random, int32_t(s.MinV[b + 1]), int32_t(s.MaxV[b + 1]), 0);
        const int64_t d = RandomInRange(random, int32_t(s.MinV[b + 2]), int32_t(s.MaxV[b + 2]), 0);
        const Fraction r = ReduceFraction(n, d);
        v[op] = *MixedToImproper(w, r.num, r.den);
        v[op].num = -v[op].num;
      }
      const Fraction a = *AddFractions(v[0].num, v[0].den, v[1].num, v[1].den);
      rejected += a.num <= 0;
    }
    benchmark::DoNotOptimize(rejected);
  }
}
BENCHMARK(BM_BareLoop)->Unit(benchmark::kMillisecond);

void BM_DefaultRun(benchmark::State& state) {
  PseudoRandomSource random(1);
  KeepAll hooks;
  ProblemGenerator generator(&random, &hooks);
  const GenerationSettings s;
  for (auto _ : state) benchmark::DoNotOptimize(generator.MakeProblems(pkAdd, s));
}
BENCHMARK(BM_DefaultRun)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zubira

BENCHMARK_MAIN();
