#pragma once
// Reading the list file: the list index file names the list file in its first line (a file that
// exists; a folder does not count) or is the list file itself, and INCLUDE lines are replaced by
// the lines of the files they name, pass by pass, until a pass expands nothing. Blank lines are
// dropped. File names are used exactly as written, relative ones against the current directory.
//
// Expansion is bounded: an INCLUDE of a file that the line itself came from (a file including
// itself, directly or through others) is a cycle and is dropped. An INCLUDE nested deeper than
// `maxDepth` or one that would make the list longer than `maxLines` ends the expansion: it and
// every INCLUDE line still in the list are dropped. The first stop is kept in the result so that
// the caller can report it once. An INCLUDE that names a folder drops its own line only, with the
// reason kept for the caller to report.

#include "drawing/load_result.h"

#include <QString>
#include <QStringList>

namespace zubira {

struct IncludeBounds {
  int maxDepth = 64;            // nesting levels of INCLUDE below the list file
  qsizetype maxLines = 200000;  // lines of the expanded list
  qint64 maxFileBytes = 64LL * 1024 * 1024;  // a larger file is not read: an error
};

struct ListFileLoad {
  enum class Stop { None, Cycle, Limit };

  LoadResult result;  // not ok: a file that exists could not be read; `lines` is then empty
  QStringList lines;  // the expanded list, without blank lines
  int passes = 0;     // expansion passes run, the last one expanding nothing
  Stop stop = Stop::None;
  QString stopFile;   // the INCLUDE file name at the first stop, as written
  QStringList skipped;  // why INCLUDE lines naming a folder were dropped, once per folder
};

// Loads the list named by the index file `indexPath`. A missing index file gives an empty list
// and no error. A file that exists but cannot be read is an error: the index file, the file its
// first line names, or a file named by an INCLUDE line. Folders, devices and pipes cannot be read
// (a device or pipe could be endless), nor files larger than `maxFileBytes`, nor files the user
// may not open. A missing INCLUDE file only drops its line, and so does one that names a folder.
ListFileLoad loadListIndexFile(const QString& indexPath, const IncludeBounds& bounds = {});

// The expansion passes over `lines`, which were read from `sourceFile` ("" when they come from
// no file).
ListFileLoad expandIncludes(const QStringList& lines, const QString& sourceFile,
                            const IncludeBounds& bounds = {});

// True for a line of exactly two items whose first item is INCLUDE; `file` gets the second item.
bool isIncludeLine(const QString& line, QString* file = nullptr);

}  // namespace zubira
