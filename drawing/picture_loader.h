#pragma once
// Decoding the picture file that a PICTURE command names, chosen by the file name's extension:
// ".bmp" and ".dib" (bitmap), ".jpg", ".jpeg", ".jpe" and ".jfif" (JPEG, through libjpeg), ".png".
// Pictures are bounded before they are decoded, so a broken or hostile file never takes more
// than a picture of kMaxPicturePixels would.

#include "drawing/load_result.h"

#include <QImage>
#include <QString>

namespace zubira {

// The largest picture decoded, in pixels (that of JPEG pictures as well).
constexpr qint64 kMaxPicturePixels = 64LL * 1024 * 1024;
// Files larger than this are not read at all.
constexpr qint64 kMaxPictureFileBytes = 256LL * 1024 * 1024;

struct PictureFile {
  enum class Status {
    Loaded,      // `image` holds the picture
    Missing,     // no such file
    NotPicture,  // unknown extension, content not valid for it, or beyond the size bounds
    Unreadable,  // the file exists but cannot be opened or read: a folder, a device or pipe
                 // (which could be endless), no permission
  };
  Status status = Status::Missing;
  QImage image;
  QString error;  // for Unreadable: why
};

PictureFile loadPictureFile(const QString& path);

// True when the file name's extension names a format loadPictureFile decodes.
bool isPictureExtension(const QString& path);

}  // namespace zubira
