#pragma once
// Baseline JPEG through IJG libjpeg itself. Errors come back as values: a corrupt or truncated
// file never ends or crashes the program, and a failed write leaves no half-written file.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace zubira {

// Pictures larger than this many pixels are refused before any memory is taken for them.
constexpr qint64 kMaxJpegPixels = 64LL * 1024 * 1024;

struct JpegResult {
  bool ok = false;
  QString error;
};

// Encodes `image` at `quality` (clamped to 1..100) into memory.
JpegResult encodeJpeg(const QImage& image, int quality, QByteArray* out);
// Encodes and writes `path` atomically.
JpegResult writeJpegFile(const QImage& image, const QString& path, int quality);

// Decodes JPEG data to an RGB32 (or Grayscale8) image; on failure `image` is null.
JpegResult decodeJpeg(const QByteArray& data, QImage* image);
JpegResult readJpegFile(const QString& path, QImage* image);

}  // namespace zubira
