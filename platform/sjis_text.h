#pragma once
// Text in the legacy Japanese code page (CP932, the Windows form of Shift_JIS) through iconv, and
// the reading rules of list files: a byte-order mark selects UTF-8, UTF-16LE or UTF-16BE; without
// one, text that is valid UTF-8 and not plain ASCII is UTF-8, anything else CP932; lines end at
// CR LF, LF or CR.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace zubira {

// Encodes `text` in CP932. A character CP932 cannot hold fails the whole text; `error` then names
// it and its position. Both U+301C and U+FF5E become 0x8160.
std::optional<QByteArray> encodeCp932(const QString& text, QString* error = nullptr);

// Decodes CP932 bytes; a byte sequence that is not CP932 becomes U+FFFD, one per bad byte.
QString decodeCp932(const QByteArray& bytes);

bool isValidUtf8(const QByteArray& bytes);

// Decodes the bytes of a list file by the rules above.
QString decodeListText(const QByteArray& bytes);

// Splits at CR LF, LF or CR. A break at the very end makes no extra empty line.
QStringList splitTextLines(const QString& text);

struct TextFileLines {
  bool ok = false;
  QStringList lines;
  QString error;  // why the file could not be read, when !ok
};

// Reads a list file by the rules above. Folders, missing and unreadable files fail with a reason.
TextFileLines readListTextFile(const QString& path);

// Writes `lines` in CP932, each ended by CR LF, no byte-order mark, atomically: on any failure
// (a character CP932 cannot hold, an unwritable place) nothing is written and `error` says why.
bool writeCp932Lines(const QString& path, const QStringList& lines, QString* error = nullptr);

}  // namespace zubira
