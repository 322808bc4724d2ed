// The CP932 decoder and encoder and the list-text rules on any bytes: decoding never fails, what
// it decodes (without replacement characters) encodes again and decodes to the same text, the
// list-text decoding follows the byte-order mark (or, without one, reads valid UTF-8 as UTF-8),
// and splitting into lines loses nothing but the line breaks.

#include "fuzz/fuzz_support.h"
#include "platform/sjis_text.h"

#include <algorithm>

using namespace zubira;
using zubira::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

  const QString text = decodeCp932(bytes);
  check(text.size() <= bytes.size(), "decoding made more characters than bytes");
  if (!text.contains(QChar(0xFFFD))) {
    QString error;
    const std::optional<QByteArray> encoded = encodeCp932(text, &error);
    check(bool(encoded), "decoded text could not be encoded again", error);
    check(decodeCp932(*encoded) == text, "decoded text did not survive a round trip", text);
  }

  // Any Unicode text either encodes and comes back as itself (up to the characters CP932 folds
  // together), or is refused with a reason.
  const QString unicode = QString::fromUtf8(bytes);
  QString error;
  const std::optional<QByteArray> encoded = encodeCp932(unicode, &error);
  if (encoded) {
    const QString back = decodeCp932(*encoded);
    check(!back.contains(QChar(0xFFFD)) || unicode.contains(QChar(0xFFFD)),
          "encoded text decodes with replacement characters", unicode);
    const std::optional<QByteArray> again = encodeCp932(back);
    check(again && *again == *encoded, "a second round trip changed the bytes", unicode);
  } else {
    check(!error.isEmpty(), "refused text without a reason");
  }

  // Byte-order marks choose the decoding; without one it is UTF-8 for valid UTF-8 that is not
  // plain ASCII, else CP932.
  const QString list = decodeListText(bytes);
  if (!bytes.startsWith("\xEF\xBB\xBF") && !bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF")) {
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
    if (!ascii && isValidUtf8(bytes))
      check(list.toUtf8() == bytes, "UTF-8 list text without a byte-order mark is not read as UTF-8");
    else
      check(list == text, "list text without a byte-order mark is not CP932");
  }

  const QStringList lines = splitTextLines(list);
  qsizetype kept = 0;
  for (const QString& line : lines) {
    check(!line.contains(u'\r') && !line.contains(u'\n'), "a line kept a line break", line);
    kept += line.size();
  }
  qsizetype breaks = 0;
  for (QChar c : list) breaks += c == u'\r' || c == u'\n';
  check(kept + breaks == list.size(), "splitting into lines lost characters");
  return 0;
}
