#include "generation/grid_check.h"

#include "generation/range_check.h"

namespace zubira {

namespace {

int wholeNumberOr(const QString& text, int def) {
  const std::optional<int32_t> v = parseInt32Text(text.trimmed());
  return v ? *v : def;
}

GridCheck checkGrid(int value, int other, int maxValue, const QString& rangeMessage) {
  GridCheck r;
  if (value < 1 || value > maxValue) {
    r.message = rangeMessage;
    return r;
  }
  const int64_t total = int64_t(value) * other;
  if (total < 1 || total > MaxGridProblems) {
    r.message = QStringLiteral("問題数は１以上２０以下でなければなりません");
    return r;
  }
  r.accepted = true;
  r.value = value;
  r.total = int(total);
  return r;
}

}  // namespace

GridCheck CheckGridRows(const QString& rowText, const QString& colText) {
  return checkGrid(wholeNumberOr(rowText, 10), wholeNumberOr(colText, 1), MaxGridRows,
                   QStringLiteral("行は１以上１０以下でなければなりません"));
}

GridCheck CheckGridCols(const QString& colText, const QString& rowText) {
  return checkGrid(wholeNumberOr(colText, 1), wholeNumberOr(rowText, 10), MaxGridCols,
                   QStringLiteral("列は１以上４以下でなければなりません"));
}

}  // namespace zubira
