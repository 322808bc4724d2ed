#include "generation/sheet_problem.h"

#include <algorithm>

namespace zubira {

QStringList memoLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines.append(text.mid(start, i - start));
    if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.append(text.mid(start));
  return lines;
}

ProblemSet ProblemSetFromLists(ProblemKind kind, const QString& first, const QString& second,
                               const QString& answers) {
  const QStringList a = memoLines(first);
  const QStringList b = memoLines(second);
  const QStringList c = memoLines(answers);
  ProblemSet set;
  const qsizetype n = std::min(a.size(), b.size());
  set.reserve(size_t(n));
  for (qsizetype i = 0; i < n; ++i) set.push_back({kind, a[i], b[i], c.value(i)});
  return set;
}

QString OperatorCaption(ProblemKind kind) {
  switch (kind) {
    case pkAdd: return QStringLiteral("＋");
    case pkSub: return QStringLiteral("－");
    case pkMul: return QStringLiteral("×");
    case pkDiv: return QStringLiteral("÷");
    default: return QString();
  }
}

}  // namespace zubira
