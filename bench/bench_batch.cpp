// The batch sheet against what users script themselves: `zubira sheet --versions N` and
// bench/worksheet_reportlab.py writing the same N problem-and-answer pages, run as whole processes
// in turn (zubira 1, python 1, zubira 100, python 100, repeated) so that the load of a shared
// machine falls on both alike. Each child's CPU time, wall time and peak memory come from wait4;
// the table shows medians. Every PDF written is checked for its page count.
//
// Google Benchmark's --benchmark_* flags, which `make bench` gives every bench_* program, are
// accepted and ignored: these are timings of other processes, not of code in this one.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kSmall = 1;
constexpr int kLarge = 100;
constexpr int kHuge = 1000;
constexpr unsigned kChildTimeoutSeconds = 600;

struct Options {
  int repetitions = 11;
  int memoryRuns = 3;
  std::string zubira;
  std::string python = "/usr/bin/python3";  // Debian's, where python3-reportlab is installed
  std::string script = ZUBIRA_BENCH_SCRIPT;
};

// What wait4 reports of one child.
struct Usage {
  double cpu = 0;   // user + system, seconds
  double wall = 0;  // seconds
  long maxRssKiB = 0;
};

struct Job {
  std::string label;
  std::vector<std::string> argv;
  std::vector<std::string> outputs;  // the PDFs the run must write
  int expectedPages = 0;             // over all of them
};

fs::path tempDir;  // removed on every way out

[[noreturn]] void fail(const std::string& message) {
  std::cerr << "\nbench_batch: FAILED: " << message << std::endl;
  if (!tempDir.empty()) {
    std::error_code ignored;
    fs::remove_all(tempDir, ignored);
  }
  std::exit(1);
}

double seconds(const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; }

double monotonicNow() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool isNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The page objects of a PDF: dictionaries of type /Page (not /Pages). Both writers keep their
// page dictionaries uncompressed, so counting the names is enough. -1 when it is not a PDF.
int countPdfPages(const std::string& pdf) {
  if (pdf.compare(0, 5, "%PDF-") != 0 || pdf.find("%%EOF", pdf.size() > 1024 ? pdf.size() - 1024 : 0) == std::string::npos)
    return -1;
  int pages = 0;
  for (size_t at = pdf.find("/Type"); at != std::string::npos; at = pdf.find("/Type", at + 1)) {
    size_t i = at + 5;
    while (i < pdf.size() && std::strchr(" \t\r\n", pdf[i])) ++i;
    if (pdf.compare(i, 5, "/Page") != 0) continue;
    i += 5;
    if (i < pdf.size() && isNameChar(pdf[i])) continue;
    ++pages;
  }
  return pages;
}

volatile sig_atomic_t timedOut = 0;
void onAlarm(int) { timedOut = 1; }

// The environment of every child: ours, offscreen, with a settings file of its own and the
// site's address on a loopback port where nothing listens.
std::vector<std::string> childEnvironment(const fs::path& dir) {
  const std::map<std::string, std::string> ours{
      {"QT_QPA_PLATFORM", "offscreen"},
      {"ZUBIRA_SETTINGS", (dir / "zubira.ini").string()},
      {"ZUBIRA_SITE_URL", "http://127.0.0.1:9/"},
  };
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    if (!ours.count(entry.substr(0, entry.find('=')))) env.push_back(entry);
  }
  for (const auto& [name, value] : ours) env.push_back(name + '=' + value);
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> p;
  for (std::string& s : strings) p.push_back(s.data());
  p.push_back(nullptr);
  return p;
}

class Runner {
 public:
  explicit Runner(fs::path dir) : dir_(std::move(dir)), env_(childEnvironment(dir_)) {}

  // Runs the job once and checks what it wrote; any failure ends the benchmark.
  Usage run(Job job) {
    for (const std::string& out : job.outputs) fs::remove(out);
    const std::string errFile = (dir_ / "stderr.txt").string();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv = pointers(job.argv);
    std::vector<char*> envp = pointers(env_);

    const double start = monotonicNow();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) fail(job.label + ": cannot start " + job.argv[0] + ": " + std::strerror(rc));

    timedOut = 0;
    alarm(kChildTimeoutSeconds);
    int status = 0;
    rusage ru{};
    pid_t waited;
    while ((waited = wait4(pid, &status, 0, &ru)) < 0 && errno == EINTR) {
      if (timedOut) kill(pid, SIGKILL);
    }
    alarm(0);
    const double wall = monotonicNow() - start;
    if (waited != pid) fail(job.label + ": wait4: " + std::strerror(errno));

    const std::string errors = readFile(errFile);
    if (timedOut) fail(job.label + ": still running after " + std::to_string(kChildTimeoutSeconds) + " s");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      const std::string how = WIFEXITED(status) ? "exit code " + std::to_string(WEXITSTATUS(status))
                                                : "signal " + std::to_string(WTERMSIG(status));
      fail(job.label + ": " + how + "\n" + errors);
    }

    int pages = 0;
    for (const std::string& out : job.outputs) {
      if (!fs::is_regular_file(out)) fail(job.label + ": wrote no " + out + "\n" + errors);
      const int n = countPdfPages(readFile(out));
      if (n < 0) fail(job.label + ": " + out + " is not a whole PDF");
      pages += n;
    }
    if (pages != job.expectedPages)
      fail(job.label + ": " + std::to_string(pages) + " pages, expected " + std::to_string(job.expectedPages));

    return {seconds(ru.ru_utime) + seconds(ru.ru_stime), wall, ru.ru_maxrss};
  }

 private:
  fs::path dir_;
  std::vector<std::string> env_;
};

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Samples {
  std::vector<double> cpu, wall, rssKiB;
  void add(const Usage& u) {
    cpu.push_back(u.cpu);
    wall.push_back(u.wall);
    rssKiB.push_back(double(u.maxRssKiB));
  }
};

// One set is a problem page and its answer page, all in one PDF.
Job zubiraJob(const Options& o, const fs::path& dir, int versions, int seed) {
  const std::string p = (dir / "zubira-problems.pdf").string();
  return {"zubira " + std::to_string(versions),
          {o.zubira, "sheet", "--seed", std::to_string(seed), "--versions", std::to_string(versions), "--problems", p},
          {p},
          2 * versions};
}

Job pythonJob(const Options& o, const fs::path& dir, int versions, int seed) {
  const std::string out = (dir / "python.pdf").string();
  return {"python " + std::to_string(versions),
          {o.python, o.script, "--versions", std::to_string(versions), "--out", out, "--seed", std::to_string(seed)},
          {out},
          2 * versions};
}

const char kUsage[] =
    "Usage: bench_batch [--repetitions R] [--memory-runs M] [--zubira PATH] [--python PATH]\n"
    "                   [--script PATH]\n"
    "Times `zubira sheet --versions N` against worksheet_reportlab.py for N = 1 and 100, R\n"
    "alternating rounds (default 11), and zubira's peak memory at 1000 versions over M runs\n"
    "(default 3). --benchmark_* flags are ignored.\n";

bool parseCount(const std::string& text, int low, int high, int* out) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno || end == text.c_str() || *end || v < low || v > high) return false;
  *out = int(v);
  return true;
}

[[noreturn]] void usageError(const std::string& message) {
  std::cerr << "bench_batch: " << message << "\n" << kUsage;
  std::exit(2);
}

Options parseOptions(int argc, char** argv) {
  Options o;
  o.zubira = (fs::read_symlink("/proc/self/exe").parent_path() / ".." / "zubira").lexically_normal().string();
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--benchmark_", 0) == 0) continue;
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      std::exit(0);
    }
    std::string value;
    if (const size_t eq = arg.find('='); eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      usageError(arg + " needs a value");
    }
    if (arg == "--repetitions") {
      if (!parseCount(value, 1, 1000, &o.repetitions)) usageError("--repetitions needs a number from 1 to 1000");
    } else if (arg == "--memory-runs") {
      if (!parseCount(value, 1, 100, &o.memoryRuns)) usageError("--memory-runs needs a number from 1 to 100");
    } else if (arg == "--zubira") {
      o.zubira = value;
    } else if (arg == "--python") {
      o.python = value;
    } else if (arg == "--script") {
      o.script = value;
    } else {
      usageError("unknown option " + arg);
    }
  }
  return o;
}

std::string fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

std::string ratio(double a, double b) { return b > 0 ? fixed(a / b, 2) : "-"; }

void printRow(const std::string& item, double zc, double pc, double zw, double pw) {
  std::printf("%-20s %10s %10s %7s   %10s %10s %7s\n", item.c_str(), fixed(zc * 1000, 2).c_str(),
              fixed(pc * 1000, 2).c_str(), ratio(zc, pc).c_str(), fixed(zw * 1000, 2).c_str(),
              fixed(pw * 1000, 2).c_str(), ratio(zw, pw).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = parseOptions(argc, argv);
  if (access(o.zubira.c_str(), X_OK) != 0) fail("no program " + o.zubira);
  if (access(o.python.c_str(), X_OK) != 0) fail("no " + o.python + " (scripts/install-deps bench)");
  if (access(o.script.c_str(), R_OK) != 0) fail("no script " + o.script);

  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench_batch.XXXXXX";
  if (!mkdtemp(pattern.data())) fail("cannot make a temporary folder: " + std::string(std::strerror(errno)));
  const fs::path dir = pattern;
  tempDir = dir;

  struct sigaction sa {};
  sa.sa_handler = onAlarm;  // no SA_RESTART: the alarm must interrupt wait4
  sigaction(SIGALRM, &sa, nullptr);

  Runner runner(dir);
  std::map<int, Samples> zubira, python;
  std::fprintf(stderr, "bench_batch: %d rounds of zubira/python at %d and %d versions", o.repetitions, kSmall, kLarge);
  for (int r = 0; r < o.repetitions; ++r) {
    const int seed = r + 1;
    for (int n : {kSmall, kLarge}) {
      zubira[n].add(runner.run(zubiraJob(o, dir, n, seed)));
      python[n].add(runner.run(pythonJob(o, dir, n, seed)));
    }
    std::fputc('.', stderr);
  }
  for (int r = 0; r < o.memoryRuns; ++r) zubira[kHuge].add(runner.run(zubiraJob(o, dir, kHuge, r + 1)));
  std::fputc('\n', stderr);
  fs::remove_all(dir);
  tempDir.clear();

  auto med = [](std::map<int, Samples>& m, int n, std::vector<double> Samples::*what) { return median(m[n].*what); };
  std::printf("\nbench_batch: medians of %d alternating runs (times in ms)\n", o.repetitions);
  std::printf("  zubira: %s\n  python: %s %s\n\n", o.zubira.c_str(), o.python.c_str(), o.script.c_str());
  std::printf("%-20s %10s %10s %7s   %10s %10s %7s\n", "work item", "CPU zubira", "CPU python", "ratio",
              "wall zubira", "wall python", "ratio");
  for (int n : {kSmall, kLarge}) {
    printRow(std::to_string(n) + (n == 1 ? " version" : " versions"), med(zubira, n, &Samples::cpu),
             med(python, n, &Samples::cpu), med(zubira, n, &Samples::wall), med(python, n, &Samples::wall));
  }
  auto extra = [&](std::map<int, Samples>& m, std::vector<double> Samples::*what) {
    return (med(m, kLarge, what) - med(m, kSmall, what)) / (kLarge - kSmall);
  };
  printRow("each extra version", extra(zubira, &Samples::cpu), extra(python, &Samples::cpu),
           extra(zubira, &Samples::wall), extra(python, &Samples::wall));

  const double rss1 = med(zubira, kSmall, &Samples::rssKiB) / 1024;
  const double rss100 = med(zubira, kLarge, &Samples::rssKiB) / 1024;
  const double rss1000 = med(zubira, kHuge, &Samples::rssKiB) / 1024;
  std::printf("\npeak memory (MiB)    %10s %10s %10s %7s\n", "1", "100", "1000", "1000/1");
  std::printf("%-20s %10s %10s %10s %7s\n", "zubira", fixed(rss1, 1).c_str(), fixed(rss100, 1).c_str(),
              fixed(rss1000, 1).c_str(), ratio(rss1000, rss1).c_str());
  std::printf("%-20s %10s %10s %10s %7s\n", "python", fixed(med(python, kSmall, &Samples::rssKiB) / 1024, 1).c_str(),
              fixed(med(python, kLarge, &Samples::rssKiB) / 1024, 1).c_str(), "-", "-");
  std::printf("(1000 versions: median of %d runs)\n", o.memoryRuns);
  return 0;
}
