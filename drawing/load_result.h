#pragma once
// The outcome of reading list files and pictures: success, or the reason a file could not be read.

#include <QString>

namespace zubira {

struct LoadResult {
  bool ok = true;
  QString error;  // why it failed, when !ok

  static LoadResult failure(const QString& why) { return LoadResult{false, why}; }
  explicit operator bool() const { return ok; }
};

}  // namespace zubira
