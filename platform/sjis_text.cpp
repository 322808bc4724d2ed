#include "platform/sjis_text.h"

#include "platform/save_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace zubira {

namespace {

// One conversion descriptor per call keeps this free of shared state.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (valid()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

}  // namespace

std::optional<QByteArray> encodeCp932(const QString& text, QString* error) {
  Iconv cv("CP932", "UTF-8");
  if (!cv.valid()) {
    if (error) *error = QStringLiteral("CP932 conversion is not available");
    return std::nullopt;
  }
  QByteArray in = text.toUtf8();
  QByteArray out;
  out.resize(in.size() * 2 + 16);
  char* inp = in.data();
  size_t inLeft = size_t(in.size());
  char* outp = out.data();
  size_t outLeft = size_t(out.size());
  while (inLeft > 0) {
    size_t r = iconv(cv.get(), &inp, &inLeft, &outp, &outLeft);
    if (r != size_t(-1)) break;
    if (errno == E2BIG) {
      qsizetype used = outp - out.data();
      out.resize(out.size() * 2);
      outp = out.data() + used;
      outLeft = size_t(out.size() - used);
      continue;
    }
    if (error) {
      qsizetype bytePos = inp - in.data();
      QString before = QString::fromUtf8(in.constData(), bytePos);
      QString rest = QString::fromUtf8(inp, qsizetype(inLeft));
      char32_t cp = rest.isEmpty() ? 0 : rest.toUcs4().value(0);
      *error = QStringLiteral("U+%1 (\"%2\") at character %3 cannot be written in Shift_JIS")
                   .arg(QString::number(uint(cp), 16).toUpper().rightJustified(4, u'0'))
                   .arg(QString::fromUcs4(&cp, 1))
                   .arg(before.size() + 1);
    }
    return std::nullopt;
  }
  out.resize(outp - out.data());
  return out;
}

QString decodeCp932(const QByteArray& bytes) {
  Iconv cv("UTF-8", "CP932");
  if (!cv.valid()) return QString::fromLatin1(bytes);
  QByteArray in = bytes;
  QByteArray out;
  out.resize(in.size() * 3 + 16);
  char* inp = in.data();
  size_t inLeft = size_t(in.size());
  char* outp = out.data();
  size_t outLeft = size_t(out.size());
  static const char replacement[] = "\xEF\xBF\xBD";
  while (inLeft > 0) {
    size_t r = iconv(cv.get(), &inp, &inLeft, &outp, &outLeft);
    if (r != size_t(-1)) break;
    if (errno == E2BIG) {
      qsizetype used = outp - out.data();
      out.resize(out.size() * 2);
      outp = out.data() + used;
      outLeft = size_t(out.size() - used);
      continue;
    }
    // EILSEQ or EINVAL (a lead byte cut off at the end): replace one byte and go on.
    if (outLeft < 3) {
      qsizetype used = outp - out.data();
      out.resize(out.size() + 64);
      outp = out.data() + used;
      outLeft = size_t(out.size() - used);
    }
    memcpy(outp, replacement, 3);
    outp += 3;
    outLeft -= 3;
    ++inp;
    --inLeft;
    iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(outp - out.data());
  return QString::fromUtf8(out);
}

bool isValidUtf8(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString ignored = decoder.decode(bytes);
  return !decoder.hasError();
}

namespace {

QString decodeUtf16(const char* data, qsizetype size, bool littleEndian) {
  QString out;
  out.reserve(size / 2);
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  for (qsizetype i = 0; i + 1 < size; i += 2) {
    char16_t u = littleEndian ? char16_t(p[i] | (p[i + 1] << 8)) : char16_t((p[i] << 8) | p[i + 1]);
    out.append(QChar(u));
  }
  return out;
}

}  // namespace

QString decodeListText(const QByteArray& bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
  if (bytes.startsWith("\xFF\xFE")) return decodeUtf16(bytes.constData() + 2, bytes.size() - 2, true);
  if (bytes.startsWith("\xFE\xFF")) return decodeUtf16(bytes.constData() + 2, bytes.size() - 2, false);
  // Text files on Linux are UTF-8; Shift_JIS text is seldom valid UTF-8 as well.
  const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
  if (!ascii && isValidUtf8(bytes)) return QString::fromUtf8(bytes);
  return decodeCp932(bytes);
}

QStringList splitTextLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    QChar c = text[i];
    if (c != u'\r' && c != u'\n') continue;
    lines.append(text.mid(start, i - start));
    if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.append(text.mid(start));
  return lines;
}

TextFileLines readListTextFile(const QString& path) {
  TextFileLines result;
  QFileInfo info(path);
  if (!info.exists()) {
    result.error = QStringLiteral("file not found: %1").arg(path);
    return result;
  }
  if (info.isDir()) {
    result.error = QStringLiteral("a folder, not a file: %1").arg(path);
    return result;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    result.error = file.errorString();
    return result;
  }
  result.lines = splitTextLines(decodeListText(file.readAll()));
  result.ok = true;
  return result;
}

bool writeCp932Lines(const QString& path, const QStringList& lines, QString* error) {
  QByteArray data;
  for (const QString& line : lines) {
    auto bytes = encodeCp932(line, error);
    if (!bytes) return false;
    data += *bytes;
    data += "\r\n";
  }
  return saveWholeFile(path, data, error);
}

}  // namespace zubira
