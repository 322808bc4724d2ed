#include "platform/sjis_text.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira {
namespace {

// The system's iconv program converts independently of our code.
QByteArray iconvProgram(const char* from, const char* to, const QByteArray& input) {
  QProcess p;
  p.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QString::fromLatin1(from),
                                    QStringLiteral("-t"), QString::fromLatin1(to)});
  if (!p.waitForStarted()) return "<iconv did not start>";
  p.write(input);
  p.closeWriteChannel();
  p.waitForFinished();
  return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray("<iconv failed>");
}

const QString kJapanese = QStringLiteral("分数の加減乗除　＋－×÷～ かずの計算 ｱｲｳ ＡＢＣ abc 123 \\");

TEST(Cp932, KnownByteSequences) {
  struct Case {
    const char16_t* text;
    const char* bytes;
  } cases[] = {
      {u"\uFF5E", "\x81\x60"},  // FULLWIDTH TILDE
      {u"\u301C", "\x81\x60"},  // WAVE DASH, as Windows writes it
      {u"\u3000", "\x81\x40"},  // ideographic space
      {u"\uFF0B\uFF0D\u00D7\u00F7", "\x81\x7B\x81\x7C\x81\x7E\x81\x80"},
      {u"\\~", "\x5C\x7E"},
      {u"\uFF71", "\xB1"},  // half-width katakana
      {u"分数", "\x95\xAA\x90\x94"},
  };
  for (const Case& c : cases) {
    QString text = QString::fromUtf16(c.text);
    auto bytes = encodeCp932(text);
    ASSERT_TRUE(bytes.has_value()) << text.toStdString();
    EXPECT_EQ(*bytes, QByteArray(c.bytes)) << text.toStdString();
  }
  EXPECT_EQ(decodeCp932("\x81\x60"), QStringLiteral("～"));
}

TEST(Cp932, AgreesWithTheIconvProgramBothWays) {
  auto ours = encodeCp932(kJapanese);
  ASSERT_TRUE(ours.has_value());
  EXPECT_EQ(QString::fromUtf8(iconvProgram("CP932", "UTF-8", *ours)), kJapanese);
  EXPECT_EQ(decodeCp932(iconvProgram("UTF-8", "CP932", kJapanese.toUtf8())), kJapanese);
}

TEST(Cp932, UnencodableCharacterIsReported) {
  QString error;
  EXPECT_FALSE(encodeCp932(QStringLiteral("ab😀c"), &error).has_value());
  EXPECT_TRUE(error.contains(QStringLiteral("U+1F600"))) << error.toStdString();
  EXPECT_TRUE(error.contains(QStringLiteral("character 3"))) << error.toStdString();
  EXPECT_FALSE(encodeCp932(QStringLiteral("한국어")).has_value());
}

TEST(Cp932, InvalidBytesBecomeReplacementCharacters) {
  EXPECT_EQ(decodeCp932(QByteArray("a\x81")), QStringLiteral("a\uFFFD"));
  EXPECT_EQ(decodeCp932(QByteArray("\x85\x40z")).right(1), QStringLiteral("z"));
  EXPECT_EQ(decodeCp932(QByteArray()), QString());
}

TEST(ListText, ByteOrderMarksSelectTheEncoding) {
  const QString text = QStringLiteral("TEXTOUT,1,2,\"答え\"");
  QByteArray utf16le("\xFF\xFE"), utf16be("\xFE\xFF");
  for (QChar c : text) {
    utf16le += char(c.unicode() & 0xFF);
    utf16le += char(c.unicode() >> 8);
    utf16be += char(c.unicode() >> 8);
    utf16be += char(c.unicode() & 0xFF);
  }
  EXPECT_EQ(decodeListText("\xEF\xBB\xBF" + text.toUtf8()), text);
  EXPECT_EQ(decodeListText(utf16le), text);
  EXPECT_EQ(decodeListText(utf16be), text);
  EXPECT_EQ(decodeListText(*encodeCp932(text)), text);
}

// Without a mark: UTF-8 when the bytes are valid UTF-8 and not plain ASCII, else CP932.
TEST(ListText, WithoutAMarkValidUtf8IsUtf8AndTheRestCp932) {
  const QByteArray cp932 = *encodeCp932(kJapanese);
  struct Case {
    const char* name;
    QByteArray bytes;
    QString text;
  } cases[] = {
      {"UTF-8", kJapanese.toUtf8(), kJapanese},
      {"UTF-8 outside CP932", QStringLiteral("한국어 😀").toUtf8(), QStringLiteral("한국어 😀")},
      {"CP932", cp932, kJapanese},
      {"ASCII", "TextOut,1,2,\"a\\b~\"", QStringLiteral("TextOut,1,2,\"a\\b~\"")},
      {"UTF-8 cut in a character", kJapanese.toUtf8().left(1), decodeCp932(kJapanese.toUtf8().left(1))},
      {"neither", cp932 + "\xFF\xE3\x81", decodeCp932(cp932 + "\xFF\xE3\x81")},
  };
  for (const Case& c : cases) EXPECT_EQ(decodeListText(c.bytes), c.text) << c.name;
}

TEST(ListText, LineEnds) {
  struct Case {
    const char* text;
    QStringList lines;
  } cases[] = {
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n", {"a"}},
      {"a\n\nb", {"a", "", "b"}},
      {"\r\r\n", {"", ""}},
      {"", {}},
      {"solo", {"solo"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(splitTextLines(QString::fromLatin1(c.text)), c.lines) << c.text;
}

TEST(ListText, WriteThenReadAndIconvAgrees) {
  QTemporaryDir dir;
  const QString path = dir.filePath("list.prv");
  const QStringList lines{QStringLiteral("INITPARAM"), QStringLiteral("TEXTOUT,10,20,\"答え ～\""),
                          QString(), kJapanese};
  QString error;
  ASSERT_TRUE(writeCp932Lines(path, lines, &error)) << error.toStdString();
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QByteArray bytes = f.readAll();
  EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
  EXPECT_TRUE(bytes.endsWith("\r\n"));
  EXPECT_EQ(bytes.count("\r\n"), 4);
  EXPECT_EQ(QString::fromUtf8(iconvProgram("CP932", "UTF-8", bytes)),
            lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));

  TextFileLines read = readListTextFile(path);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.lines, lines);
}

TEST(ListText, FailedWriteLeavesTheOldFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("list.prv");
  ASSERT_TRUE(writeCp932Lines(path, {QStringLiteral("old")}));
  QString error;
  EXPECT_FALSE(writeCp932Lines(path, {QStringLiteral("new"), QStringLiteral("😀")}, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(readListTextFile(path).lines, QStringList{QStringLiteral("old")});
}

TEST(ListText, UnreadablePlacesFailWithAReason) {
  QTemporaryDir dir;
  TextFileLines missing = readListTextFile(dir.filePath("none.prv"));
  EXPECT_FALSE(missing.ok);
  EXPECT_FALSE(missing.error.isEmpty());
  TextFileLines folder = readListTextFile(dir.path());
  EXPECT_FALSE(folder.ok);
  EXPECT_FALSE(folder.error.isEmpty());
}

}  // namespace
}  // namespace zubira
