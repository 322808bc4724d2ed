#pragma once
// Helpers for the drawing tests: a temporary folder that is the current directory for the
// lifetime of the object (list and picture file names are relative to it), and files written
// byte for byte in the encodings list files come in.

#include "platform/sjis_text.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira::testing {

class TempCwd {
 public:
  TempCwd() : previous_(QDir::currentPath()) {
    EXPECT_TRUE(dir_.isValid());
    EXPECT_TRUE(QDir::setCurrent(dir_.path()));
  }
  ~TempCwd() { QDir::setCurrent(previous_); }
  TempCwd(const TempCwd&) = delete;
  TempCwd& operator=(const TempCwd&) = delete;

  QString path(const QString& name) const { return dir_.filePath(name); }

 private:
  QString previous_;
  QTemporaryDir dir_;
};

inline void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(f.write(bytes), bytes.size());
}

// Lines in CP932, each ended by CR LF, as the program writes list files.
inline void writeListLines(const QString& path, const QStringList& lines) {
  QString error;
  ASSERT_TRUE(writeCp932Lines(path, lines, &error)) << error.toStdString();
}

inline QByteArray utf16Bytes(const QString& text, bool littleEndian) {
  QByteArray out = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
  for (QChar c : text) {
    const char lo = char(c.unicode() & 0xFF), hi = char(c.unicode() >> 8);
    out += littleEndian ? lo : hi;
    out += littleEndian ? hi : lo;
  }
  return out;
}

}  // namespace zubira::testing
