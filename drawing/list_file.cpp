#include "drawing/list_file.h"

#include "drawing/comma_text.h"
#include "platform/sjis_text.h"

#include <QFileInfo>
#include <QHash>
#include <vector>

namespace zubira {

namespace {

// Where a line of the list came from: the file it was read from and the INCLUDE that brought
// that file in, so that a cycle is seen on the line's own chain of files.
struct Origin {
  QString file;  // canonical path; empty for lines of no file
  int parent;    // index into the origins, -1 for the list file
  int depth;
};

struct SourcedLine {
  QString text;
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
  auto noteStop = [&](ListFileLoad::Stop why, const QString& file) {
    if (load.stop != ListFileLoad::Stop::None) return;
    load.stop = why;
    load.stopFile = file;
  };

  std::vector<Origin> origins;
  origins.push_back(
      {sourceFile.isEmpty() ? QString() : QFileInfo(sourceFile).canonicalFilePath(), -1, 0});
  std::vector<SourcedLine> current;
  current.reserve(size_t(lines.size()));
  for (const QString& s : lines) current.push_back({s, 0});

  // Each file is read once per load, however often it is included.
  QHash<QString, QStringList> cache;

  bool expanded = true;
  while (expanded) {
    expanded = false;
    ++load.passes;
    std::vector<SourcedLine> next;
    next.reserve(current.size());
    for (size_t k = 0; k < current.size(); ++k) {
      SourcedLine& line = current[k];
      if (isBlankLine(line.text)) continue;
      QString name;
      if (!isIncludeLine(line.text, &name)) {
        next.push_back(std::move(line));
        continue;
      }
      const QFileInfo info(name);
      if (name.isEmpty() || !info.exists()) continue;
      const QString canonical = info.canonicalFilePath();

      bool cycle = false;
      for (int o = line.origin; o >= 0 && !cycle; o = origins[size_t(o)].parent)
        cycle = origins[size_t(o)].file == canonical;
      if (cycle) {
        noteStop(ListFileLoad::Stop::Cycle, name);
        continue;
      }
      const int depth = origins[size_t(line.origin)].depth + 1;
      if (depth > bounds.maxDepth) {
        noteStop(ListFileLoad::Stop::Limit, name);
        continue;
      }

      auto cached = cache.constFind(canonical);
      if (cached == cache.constEnd()) {
        TextFileLines read = readBounded(name, bounds);
        if (!read.ok) {
          ListFileLoad failed;
          failed.result = LoadResult::failure(read.error);
          failed.passes = load.passes;
          return failed;
        }
        cached = cache.insert(canonical, read.lines);
      }
      const QStringList& included = *cached;
      const qsizetype remaining = qsizetype(current.size() - k - 1);
      if (qsizetype(next.size()) + remaining + included.size() > bounds.maxLines) {
        noteStop(ListFileLoad::Stop::Limit, name);
        continue;
      }
      const int origin = int(origins.size());
      origins.push_back({canonical, line.origin, depth});
      for (const QString& s : included) next.push_back({s, origin});
      expanded = true;
    }
    current = std::move(next);
  }

  load.lines.reserve(qsizetype(current.size()));
  for (SourcedLine& line : current) load.lines.append(std::move(line.text));
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
  // The first line, taken as it stands, may name the list file.
  if (!index.lines.isEmpty()) {
    const QString first = index.lines.first();
    if (!first.isEmpty() && QFileInfo::exists(first)) {
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
