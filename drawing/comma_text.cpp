#include "drawing/comma_text.h"

namespace zubira {

void splitCommaItems(QStringView line, CommaItems& out) {
  out.items.clear();
  out.unquoted.clear();
  const qsizetype n = line.size();
  qsizetype i = 0;
  auto skipBlanks = [&] {
    while (i < n && isCommaTextBlank(line[i])) ++i;
  };
  skipBlanks();
  while (i < n) {
    if (line[i] == u'"') {
      ++i;
      // Runs between doubled quotes are taken whole; an item without doubled quotes stays a view.
      const qsizetype first = i;
      qsizetype start = i;
      QString* joined = nullptr;
      QStringView item;
      while (i < n) {
        if (line[i] == u'"') {
          if (i + 1 < n && line[i + 1] == u'"') {
            if (!joined) joined = &out.unquoted.emplace_back();
            *joined += line.mid(start, i - start);
            *joined += u'"';
            i += 2;
            start = i;
            continue;
          }
          break;
        }
        ++i;
      }
      if (joined) {
        *joined += line.mid(start, i - start);
        item = *joined;
      } else {
        item = line.mid(first, i - first);
      }
      if (i < n) ++i;  // the closing quote, when there is one
      out.items.append(item);
    } else {
      const qsizetype start = i;
      while (i < n && line[i] != u',' && !isCommaTextBlank(line[i])) ++i;
      out.items.append(line.mid(start, i - start));
    }
    skipBlanks();
    if (i < n && line[i] == u',') {
      if (i == n - 1) out.items.append(QStringView());
      ++i;
      skipBlanks();
    }
  }
}

QStringList splitCommaText(const QString& line) {
  CommaItems split;
  splitCommaItems(line, split);
  QStringList items;
  items.reserve(split.size());
  for (QStringView item : split.items) items.append(item.toString());
  return items;
}

static bool isTrimmed(QChar c) { return c.unicode() <= 32; }

QStringView trimBlanks(QStringView text) {
  qsizetype b = 0, e = text.size();
  while (b < e && isTrimmed(text[b])) ++b;
  while (e > b && isTrimmed(text[e - 1])) --e;
  return text.mid(b, e - b);
}

QString trimBlanks(const QString& text) {
  const QStringView trimmed = trimBlanks(QStringView(text));
  return trimmed.size() == text.size() ? text : trimmed.toString();
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

QString keywordOf(QStringView item) { return asciiUpper(trimBlanks(item).toString()); }

bool isKeyword(QStringView item, const char* upperWord) {
  const QStringView word = trimBlanks(item);
  qsizetype i = 0;
  for (; upperWord[i]; ++i) {
    if (i >= word.size()) return false;
    char16_t c = word[i].unicode();
    if (c >= u'a' && c <= u'z') c = char16_t(c - 32);
    if (c != char16_t(static_cast<unsigned char>(upperWord[i]))) return false;
  }
  return i == word.size();
}

void appendQuoted(QString& out, const QString& text) {
  out += u'"';
  for (QChar c : text) {
    if (c == u'"') out += u'"';
    out += c;
  }
  out += u'"';
}

QString quoteText(const QString& text) {
  QString out;
  out.reserve(text.size() + 2);
  appendQuoted(out, text);
  return out;
}

}  // namespace zubira
