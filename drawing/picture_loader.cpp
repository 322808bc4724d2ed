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
    const QByteArray data = file.read(kMaxPictureFileBytes);
    if (file.error() != QFileDevice::NoError)
      return withStatus(Status::Unreadable, QStringLiteral("%1: %2").arg(path, file.errorString()));
    if (!decodeJpeg(data, &image).ok || image.isNull()) return withStatus(Status::NotPicture);
  } else {
    QImageReader reader(&file, format == Format::Bitmap ? "bmp" : "png");
    reader.setDecideFormatFromContent(false);
    // The size in the header is checked before any pixel memory is taken; the allocation limit
    // guards the decoder itself as well.
    reader.setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)));
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || qint64(size.width()) * size.height() > kMaxPicturePixels)
      return withStatus(Status::NotPicture);
    if (!reader.read(&image) || image.isNull()) return withStatus(Status::NotPicture);
  }
  PictureFile p;
  p.status = Status::Loaded;
  p.image = std::move(image);
  return p;
}

}  // namespace zubira
