#include "app/cmd_make.h"

#include "app/cli_support.h"

namespace zubira {

QString makeUsage() {
  return QStringLiteral(
             "Usage: zubira make [OPTIONS]\n"
             "Prints one problem per line: first operand, second operand and answer, separated by tabs.\n"
             "\n") +
         problemOptionsUsage() +
         QStringLiteral(
             "\n"
             "Exit codes: 0 done; 2 bad command line or ranges (the message on stderr); 3 the attempts\n"
             "for a problem ran out (\"Loop over:\" and the reason on stderr; with --keep-failed the\n"
             "problems are still printed).\n");
}

int runMakeCommand(const QStringList& args) {
  const QString command = QStringLiteral("zubira make");
  ProblemOptions o;
  for (int i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--help") || args[i] == QLatin1String("-h")) {
      printTo(stdout, makeUsage());
      return ExitOk;
    }
    const std::optional<int> taken = takeProblemOption(args, i, &o, command);
    if (!taken) return usageError(command, QStringLiteral("unknown option \"%1\"").arg(args[i]), makeUsage());
    if (*taken != ExitOk) return *taken;
  }
  std::optional<IniFile> ini = loadSettings(o, command);
  if (!ini) return ExitUsage;
  GenerationSettings settings;
  MainSettings sheet;
  if (const int rc = prepareGeneration(o, *ini, &settings, &sheet); rc != ExitOk) return rc;

  PseudoRandomSource random(o.seed ? *o.seed : PseudoRandomSource::ClockSeed());
  ProblemGenerator generator(&random, &o.hooks);
  const MakeResult result = generator.MakeProblems(o.kind, settings);
  if (result.status == MakeStatus::InvalidRanges) {
    printTo(stderr, result.message + u'\n');
    return ExitUsage;
  }
  if (result.status != MakeStatus::Done) return ExitExhausted;

  const QString crlf = QStringLiteral("\r\n");
  const QStringList first = result.lists.first.split(crlf, Qt::SkipEmptyParts);
  const QStringList second = result.lists.second.split(crlf, Qt::SkipEmptyParts);
  const QStringList answers = result.lists.answers.split(crlf, Qt::SkipEmptyParts);
  QString out;
  for (int i = 0; i < first.size() && i < second.size() && i < answers.size(); ++i)
    out += first[i] + u'\t' + second[i] + u'\t' + answers[i] + u'\n';
  printTo(stdout, out);
  return result.problemsKept > 0 ? ExitExhausted : ExitOk;
}

}  // namespace zubira
