// The list-file loader on a small file system carved out of the input: the input's pieces
// (separated by 0x1E) become the index file "index.prv" and the files "f1" to "f7" in a scratch
// folder that is the current directory, with a folder "d" beside them. The files come in every
// encoding a list file may have, since their bytes are the input's; their INCLUDE lines name
// each other, themselves, the folder or files that are not there.
//
// After loading: no blank line and no INCLUDE line is left, the list never grows past its bound
// by expansion, and loading again gives the same list.

#include "drawing/comma_text.h"
#include "drawing/list_file.h"
#include "drawing/page_model.h"
#include "fuzz/fuzz_support.h"

#include <QDir>

using namespace zubira;
using zubira::fuzz::check;

namespace {

constexpr int kFiles = 8;  // the index file and f1 to f7

IncludeBounds smallBounds() {
  IncludeBounds b;
  b.maxDepth = 12;
  b.maxLines = 4000;
  b.maxFileBytes = 1 << 20;
  return b;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::initDialogs();
  fuzz::scratchDir();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::InScratchDir inScratch;
  fuzz::clearScratchDir();
  const std::vector<QByteArray> pieces = fuzz::splitPieces(data, size, kFiles);
  qsizetype sourceLines = 0;
  for (size_t k = 0; k < pieces.size(); ++k) {
    const QString name = k == 0 ? QStringLiteral("index.prv") : QStringLiteral("f%1").arg(k);
    fuzz::writeScratchFile(name, pieces[k]);
    sourceLines += pieces[k].count('\n') + pieces[k].count('\r') + 1;
  }
  QDir(fuzz::scratchDir()).mkdir(QStringLiteral("d"));

  const IncludeBounds bounds = smallBounds();
  const ListFileLoad load = loadListIndexFile(QStringLiteral("index.prv"), bounds);
  if (!load.result) {
    check(load.lines.isEmpty(), "a failed load kept lines");
    check(!load.result.error.isEmpty(), "a failed load gave no reason");
  }
  for (const QString& line : load.lines) {
    check(!isBlankLine(line), "a blank line survived the load", line);
    check(!isIncludeLine(line), "an INCLUDE line survived the load", line);
  }
  // Expansion never takes the list past its bound; a list file longer than the bound on its own
  // is kept as it is.
  check(load.lines.size() <= std::max<qsizetype>(bounds.maxLines, sourceLines),
        "the expanded list is longer than its bound");
  check(load.passes <= bounds.maxDepth + 2 || !load.result, "more expansion passes than levels");

  // The page model's load is the same list, and a second load changes nothing.
  PageModel model(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(400, 400)), 96);
  model.setIncludeBounds(bounds);
  model.setListIniFile(QStringLiteral("index.prv"));
  const LoadResult first = model.LoadListFile();
  const QStringList once = model.ListByFile();
  const LoadResult second = model.LoadListFile();
  check(first.ok == second.ok, "two loads of the same files disagree");
  check(model.ListByFile() == once, "two loads of the same files gave different lists");
  if (load.result) check(once == load.lines, "the page model's list differs from the loader's");
  fuzz::takeMessages();
  return 0;
}
