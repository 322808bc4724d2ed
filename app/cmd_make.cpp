#include "app/cmd_make.h"

#include "app/cli_presets.h"
#include "app/cli_support.h"
#include "generation/solver.h"

namespace zubira {

namespace {

std::unique_ptr<CommandLine> makeCommandLine() {
  auto made = std::make_unique<CommandLine>(
      QStringLiteral("zubira make"), QStringLiteral("zubira make [options]"),
      QStringLiteral("Prints one problem per line: first operand, second operand and answer, separated by tabs\n"
                     "(after the kind's name with --mix)."),
      QStringLiteral(
          "Exit codes: 0 done; 2 bad command line or ranges (the message on stderr); 3 the attempts\n"
          "for a problem ran out (\"Loop over:\" and the reason on stderr; with --keep-failed the\n"
          "problems are still printed).\n"));
  addProblemOptions(*made);
  made->add({QStringLiteral("solutions")},
           QStringLiteral("Print the worked solution of each problem as a fourth column: its steps joined "
                          "by \" = \"."));
  return made;
}

}  // namespace

QString makeUsage() { return makeCommandLine()->help(); }

int runMakeCommand(const QStringList& args) {
  const std::unique_ptr<CommandLine> made = makeCommandLine();
  CommandLine& line = *made;
  if (const std::optional<int> done = line.parse(args)) return *done;
  ProblemOptions o;
  if (const int rc = readProblemOptions(line, &o); rc != ExitOk) return rc;
  std::optional<IniFile> ini = loadSettings(o, line);
  if (!ini) return ExitUsage;
  GenerationSettings settings;
  MainSettings sheet;
  if (const int rc = prepareGeneration(o, *ini, &settings, &sheet); rc != ExitOk) return rc;

  PseudoRandomSource random(o.seed ? *o.seed : PseudoRandomSource::ClockSeed());
  ProblemSet set;
  bool kept = false;
  if (o.mix) {
    if (const int rc = checkMix(o, settings); rc != ExitOk) return rc;
    if (const int rc = makeMixedProblems(o, random, &set, &kept); rc != ExitOk) return rc;
  } else {
    ProblemGenerator generator(&random, &o.hooks);
    const MakeResult result = generator.MakeProblems(o.kind, settings);
    if (result.status == MakeStatus::InvalidRanges) {
      printTo(stderr, result.message + u'\n');
      return ExitUsage;
    }
    if (result.status != MakeStatus::Done) return ExitExhausted;
    kept = result.problemsKept > 0;
    set = ProblemSetFromLists(o.kind, result.lists.first, result.lists.second, result.lists.answers);
  }

  const bool solutions = line.isSet(QStringLiteral("solutions"));
  QString out;
  for (const SheetProblem& q : set) {
    // A mixed set's problems say their kind first.
    if (o.mix) out += kindName(q.kind) + u'\t';
    out += q.first + u'\t' + q.second + u'\t' + q.answer;
    if (solutions) {
      const Solution s = SolveProblem(q.kind, q.first, q.second, q.fTaiBun.value_or(settings.fTaiBun));
      out += u'\t' + (s.solved ? FormatSolution(s) : UnsolvableText());
    }
    out += u'\n';
  }
  printTo(stdout, out);
  return kept ? ExitExhausted : ExitOk;
}

}  // namespace zubira
