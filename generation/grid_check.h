#pragma once
// The checks of the grid fields "行" and "列", as functions of their texts: 1 to 10 rows, 1 to 4
// columns and at most 20 problems on a sheet.

#include <QString>

namespace zubira {

constexpr int MaxGridRows = 10;
constexpr int MaxGridCols = 4;
constexpr int MaxGridProblems = 20;

// Leaving a grid field: the field's text and the other field's text. A text that is not a whole
// number counts as 10 rows or 1 column; the accepted value is what the field then shows.
struct GridCheck {
  bool accepted = false;
  int value = 0;    // the rows or columns accepted
  int total = 0;    // rows x columns, for "問"
  QString message;  // when refused
};
GridCheck CheckGridRows(const QString& rowText, const QString& colText);
GridCheck CheckGridCols(const QString& colText, const QString& rowText);

}  // namespace zubira
