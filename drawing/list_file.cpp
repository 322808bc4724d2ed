#include "drawing/list_file.h"

#include "drawing/comma_text.h"
#include "platform/sjis_text.h"

#include <QFileInfo>
#include <QHash>

#include <deque>
#include <optional>
#include <vector>

namespace zubira {

namespace {

// A line of a list file, classified once when the file is read.
struct ListLine {
  QString text;
  QString include;  // the file an INCLUDE line names
  bool isInclude = false;
  bool blank = false;
};
using ListLines = std::vector<ListLine>;

ListLines classified(const QStringList& lines) {
  ListLines out;
  out.reserve(size_t(lines.size()));
  for (const QString& text : lines) {
    ListLine line{text, QString(), false, isBlankLine(text)};
    if (!line.blank) line.isInclude = isIncludeLine(text, &line.include);
    out.push_back(std::move(line));
  }
  return out;
}

// Where a line of the list came from: the file it was read from and the INCLUDE that brought
// that file in, so that a cycle is seen on the line's own chain of files. A file included
// many times from the same place shares one origin.
struct Origin {
  QString file;  // canonical path; empty for lines of no file
  int parent;    // index into the origins, -1 for the list file
  int depth;
  const ListLines* lines;
  // What an INCLUDE line here does with a file, by its canonical path: the origin of its lines,
  // or kCycle / kTooDeep.
  QHash<QString, int> includes;
};
constexpr int kCycle = -1;
constexpr int kTooDeep = -2;

struct SourcedLine {
  const ListLine* line;
  int origin;
};

// Reads a list file that exists, refusing what is not a regular file or is too large.
TextFileLines readBounded(const QString& path, const IncludeBounds& bounds) {
  const QFileInfo info(path);
  TextFileLines refused;
  if (info.isDir()) {
    refused.error = QStringLiteral("a folder, not a file: %1").arg(path);
  } else if (!info.isFile()) {
    refused.error = QStringLiteral("not a regular file: %1").arg(path);
  } else if (info.size() > bounds.maxFileBytes) {
    refused.error = QStringLiteral("too large for a list file: %1").arg(path);
  } else {
    return readListTextFile(path);
  }
  return refused;
}

}  // namespace

bool isIncludeLine(const QString& line, QString* file) {
  const QStringList items = splitCommaText(line);
  if (items.size() != 2 || keywordOf(items[0]) != u"INCLUDE") return false;
  if (file) *file = items[1];
  return true;
}

ListFileLoad expandIncludes(const QStringList& lines, const QString& sourceFile,
                            const IncludeBounds& bounds) {
  ListFileLoad load;
  // At the first bound reached the expansion ends: every INCLUDE line left is dropped.
  bool stopped = false;
  auto noteStop = [&](ListFileLoad::Stop why, const QString& file) {
    if (why == ListFileLoad::Stop::Limit) stopped = true;
    if (load.stop != ListFileLoad::Stop::None) return;
    load.stop = why;
    load.stopFile = file;
  };

  // Each file is read and classified once per load, however often it is included; a deque
  // keeps the lines where the list points at them.
  std::deque<ListLines> files;
  QHash<QString, const ListLines*> fileLines;  // by canonical path
  QHash<QString, QString> canonicalPaths;      // by name as written; empty: no such file

  files.push_back(classified(lines));
  std::vector<Origin> origins;
  origins.push_back({sourceFile.isEmpty() ? QString() : QFileInfo(sourceFile).canonicalFilePath(), -1, 0,
                     &files.back(), {}});
  std::vector<SourcedLine> current;
  current.reserve(files.back().size());
  for (const ListLine& line : files.back()) current.push_back({&line, 0});

  // The origin of the lines that the INCLUDE of `canonical` brings into `from`, or kCycle or
  // kTooDeep; std::nullopt when the file could not be read (`error` says why).
  auto includedOrigin = [&](int from, const QString& canonical, const QString& name,
                            QString* error) -> std::optional<int> {
    if (auto known = origins[size_t(from)].includes.constFind(canonical);
        known != origins[size_t(from)].includes.constEnd())
      return *known;
    int result = kCycle;
    bool cycle = false;
    for (int o = from; o >= 0 && !cycle; o = origins[size_t(o)].parent)
      cycle = origins[size_t(o)].file == canonical;
    const int depth = origins[size_t(from)].depth + 1;
    if (!cycle && depth > bounds.maxDepth) {
      result = kTooDeep;
    } else if (!cycle) {
      auto read = fileLines.constFind(canonical);
      if (read == fileLines.constEnd()) {
        TextFileLines text = readBounded(name, bounds);
        if (!text.ok) {
          *error = text.error;
          return std::nullopt;
        }
        files.push_back(classified(text.lines));
        read = fileLines.insert(canonical, &files.back());
      }
      result = int(origins.size());
      origins.push_back({canonical, from, depth, *read, {}});
    }
    origins[size_t(from)].includes.insert(canonical, result);
    return result;
  };

  bool expanded = true;
  while (expanded) {
    expanded = false;
    ++load.passes;
    std::vector<SourcedLine> next;
    next.reserve(current.size());
    for (size_t k = 0; k < current.size(); ++k) {
      const SourcedLine& sourced = current[k];
      const ListLine& line = *sourced.line;
      if (line.blank) continue;
      if (!line.isInclude) {
        next.push_back(sourced);
        continue;
      }
      if (stopped || line.include.isEmpty()) continue;
      auto canonical = canonicalPaths.constFind(line.include);
      if (canonical == canonicalPaths.constEnd()) {
        const QFileInfo info(line.include);
        canonical = canonicalPaths.insert(line.include, info.exists() ? info.canonicalFilePath() : QString());
      }
      if (canonical->isEmpty()) continue;

      QString error;
      const std::optional<int> origin = includedOrigin(sourced.origin, *canonical, line.include, &error);
      if (!origin && QFileInfo(line.include).isDir()) {
        if (!load.skipped.contains(error)) load.skipped << error;
        continue;
      }
      if (!origin) {
        ListFileLoad failed;
        failed.result = LoadResult::failure(error);
        failed.passes = load.passes;
        return failed;
      }
      if (*origin == kCycle || *origin == kTooDeep) {
        noteStop(*origin == kCycle ? ListFileLoad::Stop::Cycle : ListFileLoad::Stop::Limit, line.include);
        continue;
      }
      const ListLines& included = *origins[size_t(*origin)].lines;
      const qsizetype remaining = qsizetype(current.size() - k - 1);
      if (qsizetype(next.size()) + remaining + qsizetype(included.size()) > bounds.maxLines) {
        noteStop(ListFileLoad::Stop::Limit, line.include);
        continue;
      }
      for (const ListLine& l : included) next.push_back({&l, *origin});
      expanded = true;
    }
    current = std::move(next);
  }

  load.lines.reserve(qsizetype(current.size()));
  for (const SourcedLine& line : current) load.lines.append(line.line->text);
  return load;
}

ListFileLoad loadListIndexFile(const QString& indexPath, const IncludeBounds& bounds) {
  ListFileLoad load;
  if (indexPath.isEmpty() || !QFileInfo::exists(indexPath)) return load;

  TextFileLines index = readBounded(indexPath, bounds);
  if (!index.ok) {
    load.result = LoadResult::failure(index.error);
    return load;
  }
  // The first line, taken as it stands, may name the list file; a folder it names is no list
  // file, while a device or pipe is refused by the read.
  if (!index.lines.isEmpty()) {
    const QString first = index.lines.first();
    const QFileInfo named(first);
    if (!first.isEmpty() && named.exists() && !named.isDir()) {
      TextFileLines list = readBounded(first, bounds);
      if (!list.ok) {
        load.result = LoadResult::failure(list.error);
        return load;
      }
      return expandIncludes(list.lines, first, bounds);
    }
  }
  return expandIncludes(index.lines, indexPath, bounds);
}

}  // namespace zubira
