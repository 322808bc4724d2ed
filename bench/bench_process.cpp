// Whole-process timings of what a user starts: `zubira sheet` writing a problem and an answer
// PDF, and the desktop program's start-up until the main window is shown, offline (the site's
// address refuses at once). The program under test is the one built beside this benchmark.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QString program() { return QCoreApplication::applicationDirPath() + QStringLiteral("/../zubira"); }

// Runs the program once and returns the wall time in seconds, or a negative value on failure.
double runOnce(const QStringList& args, const QProcessEnvironment& env) {
  QProcess p;
  p.setProcessEnvironment(env);
  QElapsedTimer t;
  t.start();
  p.start(program(), args);
  if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return -1;
  return double(t.nsecsElapsed()) / 1e9;
}

QProcessEnvironment baseEnvironment(const QTemporaryDir& dir) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("ZUBIRA_SETTINGS", dir.filePath("zubira.ini"));
  // Port 9 on the loopback: nothing listens, so the probe fails at once.
  env.insert("ZUBIRA_SITE_URL", "http://127.0.0.1:9/");
  return env;
}

void BM_SheetProcess(benchmark::State& state) {
  QTemporaryDir dir;
  const QProcessEnvironment env = baseEnvironment(dir);
  const QStringList args{"sheet", "--seed", "1", "--problems", dir.filePath("p.pdf"), "--answers", dir.filePath("a.pdf")};
  for (auto _ : state) {
    const double s = runOnce(args, env);
    if (s < 0) {
      state.SkipWithError("zubira sheet failed");
      break;
    }
    state.SetIterationTime(s);
  }
}
BENCHMARK(BM_SheetProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_StartUpOffline(benchmark::State& state) {
  QTemporaryDir dir;
  QProcessEnvironment env = baseEnvironment(dir);
  env.insert("ZUBIRA_QUIT_WHEN_SHOWN", "1");
  for (auto _ : state) {
    const double s = runOnce({}, env);
    if (s < 0) {
      state.SkipWithError("zubira did not start");
      break;
    }
    state.SetIterationTime(s);
  }
}
BENCHMARK(BM_StartUpOffline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
