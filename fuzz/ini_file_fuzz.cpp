// The settings file reader and writer on any file: the input is the file's bytes (UTF-8, CP932,
// garbage alike). Reading the program's keys gives a value or the default, never a crash; values
// written read back the same, in the object and from the saved file; writing a key changes no
// other line.

#include "fuzz/fuzz_support.h"
#include "platform/ini_file.h"

#include <QFile>

using namespace zubira;
using zubira::fuzz::check;

namespace {

struct Key {
  const char* section;
  const char* key;
};

// Keys of the program's own sections, and a few with odd spellings.
constexpr Key kKeys[] = {
    {"Page", "Row"},        {"Page", "Col"},       {"Exam", "Title"},  {"ExamFont", "Size"},
    {"Header", "String"},   {"Header", "Pos"},     {"Header", "X"},    {"DateTime", "Name"},
    {"PageView", "Scale"},  {"Unit", "UnitType"},  {"ListFile", "Name"}, {"Option", "CQuality"},
    {"", ""},               {"page", "ROW"},       {" Page ", "Row"},  {"[x]", "a=b"},
};

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::scratchDir();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::InScratchDir inScratch;
  const QString path = QStringLiteral("settings.txt");
  fuzz::writeScratchFile(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

  IniFile ini(path);
  check(ini.readOk(), "a plain file could not be read");
  for (const Key& k : kKeys) {
    const QString s = QString::fromLatin1(k.section), key = QString::fromLatin1(k.key);
    const bool has = ini.hasKey(s, key);
    if (!has) {
      check(ini.readString(s, key, QStringLiteral("def")) == QStringLiteral("def"), "a missing key gave a value");
      check(ini.readInteger(s, key, 77) == 77, "a missing key gave an integer");
    }
    ini.readBool(s, key, true);
    ini.readReal(s, key, 0.5);
    ini.readColor(s, key, 0x123456);
    if (has) check(ini.hasSection(s), "a key outside any section");
  }

  // A value taken from the file itself is written to one key and reads back the same, with line
  // breaks made blanks; every other key keeps its value.
  const QString value = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(std::min<size_t>(size, 300)));
  QString expected = value;
  expected.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
  const QString otherBefore = ini.readString(QStringLiteral("Page"), QStringLiteral("Col"), QStringLiteral("none"));
  ini.writeString(QStringLiteral("Page"), QStringLiteral("Row"), value);
  ini.writeInteger(QStringLiteral("Exam"), QStringLiteral("Count"), int(size));
  check(ini.readString(QStringLiteral("Page"), QStringLiteral("Row"), QString()) == expected,
        "a written value did not read back", value);
  check(ini.readString(QStringLiteral("Page"), QStringLiteral("Col"), QStringLiteral("none")) == otherBefore,
        "writing one key changed another");
  check(ini.readInteger(QStringLiteral("exam"), QStringLiteral("COUNT"), -1) == int(size),
        "a written integer did not read back");

  check(ini.save(), "the scratch file could not be saved", ini.errorString());
  // Byte for byte, as a decoder could drop a mark of the text itself: the text in UTF-8, after a
  // byte-order mark when the file read began with one.
  const QByteArray bom = "\xEF\xBB\xBF";
  const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
  const QByteArray mark = input.startsWith(bom) ? bom : QByteArray();
  check(fileBytes(path) == mark + ini.text().toUtf8(), "the saved file is not the text");
  const IniFile again(path);
  check(again.readString(QStringLiteral("page"), QStringLiteral("row"), QString()) == expected,
        "a saved value did not read back", value);
  check(again.readString(QStringLiteral("Page"), QStringLiteral("Col"), QStringLiteral("none")) == otherBefore,
        "a saved file changed another key");
  check(again.text() == ini.text(), "reading the saved file gave another text");
  return 0;
}
