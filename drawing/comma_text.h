#pragma once
// The item syntax of command lines: a line is split into items at commas and runs of blanks, an
// item in double quotes may hold both (a doubled quote inside stands for one quote).

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>

#include <vector>

namespace zubira {

// Blanks are the space and every control character (codes 1 to 32).
inline bool isCommaTextBlank(QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; }

// The items of one line as views into it, for reading many lines without copying each item. An
// item in quotes with doubled quotes inside is unquoted into `unquoted`; its view stays valid as
// long as this object is neither split into again nor destroyed (and the line lives).
struct CommaItems {
  QVarLengthArray<QStringView, 16> items;
  std::vector<QString> unquoted;
  qsizetype size() const { return items.size(); }
  QStringView operator[](qsizetype i) const { return items[i]; }
};

// Splits `line` into items by the comma-text rule.
void splitCommaItems(QStringView line, CommaItems& out);
QStringList splitCommaText(const QString& line);

// Removes leading and trailing blanks and control characters (codes 0 to 32).
QString trimBlanks(const QString& text);
QStringView trimBlanks(QStringView text);

// True when the line holds nothing but blanks and control characters.
bool isBlankLine(const QString& line);

// Upper case of the ASCII letters only; other characters stay as they are.
QString asciiUpper(const QString& text);

// A command word or keyword as compared: trimmed and upper case.
QString keywordOf(QStringView item);

// True when `item`, trimmed, is `upperWord` (ASCII capitals) in any case of its ASCII letters.
bool isKeyword(QStringView item, const char* upperWord);

// `text` in double quotes, each double quote inside doubled.
QString quoteText(const QString& text);
void appendQuoted(QString& out, const QString& text);

}  // namespace zubira
