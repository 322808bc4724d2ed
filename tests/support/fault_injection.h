#pragma once
// Faults for tests of files and memory: a folder that cannot be written (also when the tests run
// as root, whose permission override is put aside meanwhile), a file size limit that makes
// writes fail as on a full disk, the same two for child processes, and a bound on memory.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <csignal>
#include <cstddef>
#include <cstdio>
#include <linux/capability.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#endif

namespace zubira::testing {

// Root writes anywhere through CAP_DAC_OVERRIDE (and reads through CAP_DAC_READ_SEARCH). While
// this object lives the calling thread runs without them, so file permissions hold for it as
// for any user. Does nothing for other users.
class NoPermissionOverride {
 public:
  NoPermissionOverride() {
    if (geteuid() != 0) return;
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    header_.pid = 0;
    if (syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    active_ = syscall(SYS_capset, &header_, lowered) == 0;
  }
  ~NoPermissionOverride() {
    if (active_) syscall(SYS_capset, &header_, saved_);
  }
  NoPermissionOverride(const NoPermissionOverride&) = delete;
  NoPermissionOverride& operator=(const NoPermissionOverride&) = delete;

 private:
  __user_cap_header_struct header_{};
  __user_cap_data_struct saved_[2]{};
  bool active_ = false;
};

// A folder `name` inside `parent` with read and search but no write permission, in force while
// the object lives; writable() tells whether the fault could be made (a file system that ignores
// permissions would not hold it).
class ReadOnlyFolder {
 public:
  ReadOnlyFolder(const QTemporaryDir& parent, const QString& name) : path_(parent.filePath(name)) {
    QDir().mkpath(path_);
  }
  ~ReadOnlyFolder() { unlock(); }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  // Puts a file in before the folder is locked.
  void put(const QString& name, const QByteArray& bytes) {
    QFile f(filePath(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
  }
  void lock() {
    QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                     QFileDevice::ReadGroup | QFileDevice::ExeGroup);
  }
  void unlock() {
    QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                     QFileDevice::ExeOwner);
  }
  // True when this thread (without the override) cannot create a file in the folder.
  bool refusesWrites() const {
    NoPermissionOverride plain;
    QFile probe(filePath(QStringLiteral(".probe")));
    if (probe.open(QIODevice::WriteOnly)) {
      probe.remove();
      return false;
    }
    return true;
  }
  QString path() const { return path_; }
  QString filePath(const QString& name) const { return QDir(path_).filePath(name); }
  // The names in the folder, hidden ones too.
  QStringList entries() const {
    return QDir(path_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  }

 private:
  QString path_;
};

// While this object lives, no file of this process grows beyond `bytes`: a write past that fails
// with EFBIG, as a write to a full disk fails with ENOSPC.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

// What a write past the file size limit does to a child process.
enum class OverLimit {
  Kill,  // SIGXFSZ ends the child on the spot, as a crash in the middle of writing would
  Fail,  // the write fails, as on a full disk
};

// For a child process started by `process`: without the permission override of root, and with
// files limited to `fileSizeLimit` bytes (0: no limit).
inline void restrictChild(QProcess& process, rlim_t fileSizeLimit = 0, OverLimit over = OverLimit::Kill) {
  process.setChildProcessModifier([fileSizeLimit, over] {
    // Only system calls here: this runs between fork and exec.
    if (geteuid() == 0) {
      prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
      prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
    }
    if (fileSizeLimit > 0) {
      rlimit limit{};
      getrlimit(RLIMIT_FSIZE, &limit);
      limit.rlim_cur = fileSizeLimit;
      setrlimit(RLIMIT_FSIZE, &limit);
      // An ignored signal stays ignored across exec.
      std::signal(SIGXFSZ, over == OverLimit::Fail ? SIG_IGN : SIG_DFL);
    }
  });
}

// Runs `work` in a child process whose address space may grow by `extraBytes` at most, and
// tells whether it returned true there. An allocation beyond the bound fails in the child (a
// sanitizer or Qt then ends it), so a false result also means "took too much memory". The child
// is forked: it sees the caller's files and state.
template <class Work>
bool runsWithinMemory(size_t extraBytes, Work work) {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
      std::fclose(statm);
    }
    if (pages <= 0) _exit(2);
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + extraBytes;
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(2);
    _exit(work() ? 0 : 1);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// True when runsWithinMemory's bound is in force here: 1 GB cannot be mapped under a bound of
// 64 MB. Under Valgrind, which manages the address space itself and takes much of it for its own
// bookkeeping, the bound says nothing about the program's memory.
inline bool memoryBoundHolds() {
#ifdef RUNNING_ON_VALGRIND
  if (RUNNING_ON_VALGRIND) return false;
#endif
  return !runsWithinMemory(64 << 20, [] {
    return mmap(nullptr, size_t(1) << 30, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) !=
           MAP_FAILED;
  });
}

}  // namespace zubira::testing
