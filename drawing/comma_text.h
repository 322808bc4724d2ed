#pragma once
// The item syntax of command lines: a line is split into items at commas and runs of blanks, an
// item in double quotes may hold both (a doubled quote inside stands for one quote).

#include <QString>
#include <QStringList>

namespace zubira {

// Blanks are the space and every control character (codes 1 to 32).
inline bool isCommaTextBlank(QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; }

// Splits `line` into items by the comma-text rule.
QStringList splitCommaText(const QString& line);

// Removes leading and trailing blanks and control characters (codes 0 to 32).
QString trimBlanks(const QString& text);

// True when the line holds nothing but blanks and control characters.
bool isBlankLine(const QString& line);

// Upper case of the ASCII letters only; other characters stay as they are.
QString asciiUpper(const QString& text);

// A command word or keyword as compared: trimmed and upper case.
QString keywordOf(const QString& item);

// `text` in double quotes, each double quote inside doubled.
QString quoteText(const QString& text);

}  // namespace zubira
