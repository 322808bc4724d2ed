#include "drawing/picture_loader.h"

#include "platform/jpeg_codec.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace zubira {

namespace {

enum class Format { None, Bitmap, Jpeg, Png };

Format formatOf(const QString& path) {
  const QString ext = QFileInfo(path).suffix().toLower();
  if (ext == u"bmp" || ext == u"dib") return Format::Bitmap;
  if (ext == u"jpg" || ext == u"jpeg" || ext == u"jpe" || ext == u"jfif") return Format::Jpeg;
  if (ext == u"png") return Format::Png;
  return Format::None;
}

// Little-endian fields of a header; 0 beyond its end.
quint32 le32(const QByteArray& b, int at) {
  if (at < 0 || at + 4 > b.size()) return 0;
  return quint32(uchar(b.at(at))) | quint32(uchar(b.at(at + 1))) << 8 | quint32(uchar(b.at(at + 2))) << 16 |
         quint32(uchar(b.at(at + 3))) << 24;
}
quint16 le16(const QByteArray& b, int at) {
  if (at < 0 || at + 2 > b.size()) return 0;
  return quint16(uchar(b.at(at)) | uchar(b.at(at + 1)) << 8);
}

// True when a run-length coded bitmap's data reach their end-of-bitmap code.
bool rleComplete(const QByteArray& data, qint64 start, bool fourBits) {
  const auto* d = reinterpret_cast<const uchar*>(data.constData());
  const qint64 n = data.size();
  qint64 i = start;
  while (i >= 0 && i + 1 < n) {
    const uchar count = d[i], code = d[i + 1];
    i += 2;
    if (count != 0 || code == 0) continue;  // a run, or the end of a line
    if (code == 1) return true;             // the end of the bitmap
    if (code == 2) {                        // a jump
      i += 2;
      continue;
    }
    const qint64 bytes = fourBits ? (code + 1) / 2 : code;  // pixels given one by one
    i += (bytes + 1) & ~qint64(1);
  }
  return false;
}

// True unless the bitmap's headers promise more pixel data than the file holds. Qt's reader
// fills what is missing with black and calls the picture good; a file cut short is broken.
bool bitmapComplete(QFile& file) {
  const QByteArray head = file.peek(54);
  if (head.size() < 26 || !head.startsWith("BM")) return true;  // left to the reader
  const qint64 offBits = le32(head, 10), infoSize = le32(head, 14);
  qint64 width = 0, height = 0, bits = 0, compression = 0;
  if (infoSize == 12) {
    width = le16(head, 18);
    height = le16(head, 20);
    bits = le16(head, 24);
  } else if (infoSize >= 40 && head.size() >= 34) {
    width = qint32(le32(head, 18));
    height = qAbs(qint64(qint32(le32(head, 22))));  // negative: rows top down
    bits = le16(head, 28);
    compression = le32(head, 30);
  } else {
    return true;
  }
  // Sizes beyond the bound are refused by the size check; nothing below can overflow.
  if (width <= 0 || width * height > kMaxPicturePixels || bits > 64) return true;
  switch (compression) {
    case 0:    // plain rows
    case 3:    // rows with bit fields
    case 6: {  // rows with bit fields and alpha
      const qint64 stride = (width * bits + 31) / 32 * 4;
      return file.size() >= offBits + stride * height;
    }
    case 1:
    case 2: {  // run-length coded: the codes must reach their end
      const QByteArray all = file.readAll();
      file.seek(0);
      return rleComplete(all, offBits, compression == 2);
    }
    default:
      return true;
  }
}

PictureFile withStatus(PictureFile::Status status, const QString& error = {}) {
  PictureFile p;
  p.status = status;
  p.error = error;
  return p;
}

}  // namespace

bool isPictureExtension(const QString& path) { return formatOf(path) != Format::None; }

PictureFile loadPictureFile(const QString& path) {
  using Status = PictureFile::Status;
  const QFileInfo info(path);
  if (path.isEmpty() || !info.exists()) return withStatus(Status::Missing);
  if (info.isDir())
    return withStatus(Status::Unreadable, QStringLiteral("a folder, not a file: %1").arg(path));
  if (!info.isFile())
    return withStatus(Status::Unreadable, QStringLiteral("not a regular file: %1").arg(path));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return withStatus(Status::Unreadable, QStringLiteral("%1: %2").arg(path, file.errorString()));

  const Format format = formatOf(path);
  if (format == Format::None || file.size() > kMaxPictureFileBytes) return withStatus(Status::NotPicture);

  QImage image;
  if (format == Format::Jpeg) {
    // The size is known to be within the bound: read what is there (a read of the bound itself
    // would reserve the whole bound for every picture).
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
      return withStatus(Status::Unreadable, QStringLiteral("%1: %2").arg(path, file.errorString()));
    if (!decodeJpeg(data, &image).ok || image.isNull()) return withStatus(Status::NotPicture);
  } else {
    if (format == Format::Bitmap && !bitmapComplete(file)) return withStatus(Status::NotPicture);
    QImageReader reader(&file, format == Format::Bitmap ? "bmp" : "png");
    reader.setDecideFormatFromContent(false);
    // The size in the header is checked before any pixel memory is taken; the allocation limit
    // guards the decoder itself as well.
    reader.setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)));
    // A bitmap stored top down reports its header's negative height.
    const QSize size = reader.size();
    const qint64 width = size.width(), height = qAbs(qint64(size.height()));
    if (width <= 0 || height == 0 || width * height > kMaxPicturePixels)
      return withStatus(Status::NotPicture);
    if (!reader.read(&image) || image.isNull()) return withStatus(Status::NotPicture);
  }
  PictureFile p;
  p.status = Status::Loaded;
  p.image = std::move(image);
  return p;
}

}  // namespace zubira
