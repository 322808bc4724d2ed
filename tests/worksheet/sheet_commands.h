#pragma once
// Reads the program list back as commands with their items, for asserting what was emitted.

#include "drawing/comma_text.h"
#include "drawing/number_text.h"

#include <QStringList>
#include <vector>

namespace zubira::testing {

struct Command {
  QString word;  // upper case
  QStringList items;
  double real(int i) const { return readReal(items.value(i)).value_or(-1e300); }
  QString text(int i) const { return items.value(i); }
};

inline std::vector<Command> commandsOf(const QStringList& list) {
  std::vector<Command> out;
  for (const QString& line : list) {
    Command c;
    c.items = splitCommaText(line);
    c.word = c.items.value(0).trimmed().toUpper();
    out.push_back(c);
  }
  return out;
}

}  // namespace zubira::testing
