#pragma once
// The settings file: an INI file of "[Section]" lines and "Key=Value" lines with the semantics the
// program relies on. Section and key names match without regard to case; a missing file, section or
// key reads as the caller's default; writing a key replaces only that key's value and keeps every
// other line (comments, unknown sections, their order). Values are plain text; a value that begins
// or ends with blanks, or is itself wrapped in double quotes, is written inside double quotes so it
// reads back whole.
//
// The file is read when the object is made; writes change the text held here, and save() puts the
// whole file on disk atomically, so a crash never leaves a truncated file. Reads UTF-8, or CP932
// when the file is not valid UTF-8 (files written on Windows); writes UTF-8, with a byte-order
// mark when the file read had one.

#include "platform/tcolor.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace zubira {

class IniFile {
 public:
  explicit IniFile(const QString& path);

  // A larger file is no settings file (the program's own are a few KB): it is not read
  // (readOk() is false) and not replaced.
  static constexpr qint64 kMaxFileBytes = 1024 * 1024;

  const QString& path() const { return path_; }
  // False when an existing file could not be read; every value then reads as its default, and
  // save() refuses to replace the file.
  bool readOk() const { return readOk_; }

  bool hasSection(const QString& section) const;
  bool hasKey(const QString& section, const QString& key) const;

  // What the file holds, section by section in the order of their "[...]" lines (a name as often
  // as it appears; first one without a header when lines come before any): the keys of its
  // "Key=Value" lines in order, and the other lines that are neither blank nor comments. Lets a
  // reader refuse a file with keys or lines it does not know.
  struct Section {
    QString name;
    bool header = true;  // false for the lines before the first "[...]" line
    QStringList keys;
    QStringList otherLines;
  };
  std::vector<Section> outline() const;

  QString readString(const QString& section, const QString& key, const QString& def) const;
  // Signed decimal (or "$"/"0x" hexadecimal) within 32 bits; anything else gives `def`.
  int readInteger(const QString& section, const QString& key, int def) const;
  // Read as an integer: any non-zero value is true.
  bool readBool(const QString& section, const QString& key, bool def) const;
  // A decimal number with "."; anything else gives `def`.
  double readReal(const QString& section, const QString& key, double def) const;
  TColor readColor(const QString& section, const QString& key, TColor def) const;

  void writeString(const QString& section, const QString& key, const QString& value);
  void writeInteger(const QString& section, const QString& key, int value);
  void writeBool(const QString& section, const QString& key, bool value);
  void writeReal(const QString& section, const QString& key, double value);
  void writeColor(const QString& section, const QString& key, TColor value);

  // Forgets every line read, so that save() writes only what is written from now on.
  void clear();

  bool isModified() const { return modified_; }
  // Writes the file atomically. False, with errorString(), when it could not be written; the file
  // on disk is then as it was.
  bool save();
  QString errorString() const { return error_; }

  // The file's text as save() would write it (after the byte-order mark, if any).
  QString text() const;

 private:
  struct Found {
    int sectionLine = -1;  // index of the "[...]" line, or -1
    int keyLine = -1;      // index of the key's line, or -1
    int insertAt = -1;     // where a new key of the section goes
  };
  Found find(const QString& section, const QString& key) const;
  bool rawValue(const QString& section, const QString& key, QString* value) const;

  QString path_;
  QStringList lines_;
  QString eol_ = QStringLiteral("\n");
  bool byteOrderMark_ = false;  // the file read began with one
  bool readOk_ = true;
  QString readError_;  // why the file could not be read
  bool modified_ = false;
  QString error_;
};

// The settings file of this program: $ZUBIRA_SETTINGS when set, else settingsPathFor() of the
// program (programPathFor the running executable) and the user's configuration folder (created
// when it is used).
QString defaultSettingsPath();

// The program `zubira` an executable belongs to: the desktop program "zubira-desktop" is started
// by the `zubira` beside it (a build tree) or, from "<prefix>/libexec/zubira/", by
// "<prefix>/bin/zubira"; any other executable is its own program.
QString programPathFor(const QString& executablePath);

// The settings file of the executable at `executablePath` (its name with ".ini") for a user whose
// configuration folder is `configFolder` (e.g. ~/.config):
// - an installed program, one in "<prefix>/bin" with "<prefix>/share/applications/" holding
//   desktopEntryFileName(), keeps it in "<configFolder>/zubira/", so each user has their own;
// - any other (a build tree) keeps it beside itself when that folder can be written, else in
//   "<configFolder>/zubira/".
// Without a configuration folder it is beside the executable.
QString settingsPathFor(const QString& executablePath, const QString& configFolder);

// The file name of the program's desktop entry, as installed under share/applications.
QString desktopEntryFileName();

}  // namespace zubira
