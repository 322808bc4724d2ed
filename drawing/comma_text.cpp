#include "drawing/comma_text.h"

namespace zubira {

QStringList splitCommaText(const QString& line) {
  QStringList items;
  const qsizetype n = line.size();
  qsizetype i = 0;
  auto skipBlanks = [&] {
    while (i < n && isCommaTextBlank(line[i])) ++i;
  };
  skipBlanks();
  while (i < n) {
    QString item;
    if (line[i] == u'"') {
      ++i;
      // Runs between doubled quotes are taken whole.
      qsizetype start = i;
      while (i < n) {
        if (line[i] == u'"') {
          item += QStringView(line).mid(start, i - start);
          if (i + 1 < n && line[i + 1] == u'"') {
            item += u'"';
            i += 2;
            start = i;
            continue;
          }
          ++i;  // the closing quote
          start = -1;
          break;
        }
        ++i;
      }
      if (start >= 0) item += QStringView(line).mid(start, i - start);  // no closing quote
    } else {
      const qsizetype start = i;
      while (i < n && line[i] != u',' && !isCommaTextBlank(line[i])) ++i;
      item = line.mid(start, i - start);
    }
    items.append(item);
    skipBlanks();
    if (i < n && line[i] == u',') {
      if (i == n - 1) items.append(QString());
      ++i;
      skipBlanks();
    }
  }
  return items;
}

static bool isTrimmed(QChar c) { return c.unicode() <= 32; }

QString trimBlanks(const QString& text) {
  qsizetype b = 0, e = text.size();
  while (b < e && isTrimmed(text[b])) ++b;
  while (e > b && isTrimmed(text[e - 1])) --e;
  return text.mid(b, e - b);
}

bool isBlankLine(const QString& line) {
  for (QChar c : line)
    if (!isTrimmed(c)) return false;
  return true;
}

QString asciiUpper(const QString& text) {
  QString out = text;
  for (QChar& c : out)
    if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 32);
  return out;
}

QString keywordOf(const QString& item) { return asciiUpper(trimBlanks(item)); }

QString quoteText(const QString& text) {
  QString out;
  out.reserve(text.size() + 2);
  out += u'"';
  for (QChar c : text) {
    if (c == u'"') out += u'"';
    out += c;
  }
  out += u'"';
  return out;
}

}  // namespace zubira
