// Picture loading on any bytes: JPEG through our libjpeg codec, and the picture files a PICTURE
// command names (".jpg", ".bmp", ".png"). A picture is either loaded whole within the size bound
// or refused; loading through a file agrees with decoding the bytes; where Qt's own JPEG reader
// also reads the picture, the two agree on its size.

#include "drawing/picture_loader.h"
#include "fuzz/fuzz_support.h"
#include "platform/jpeg_codec.h"

#include <QBuffer>
#include <QImageReader>

using namespace zubira;
using zubira::fuzz::check;

namespace {

void checkLoaded(const PictureFile& p, const char* what) {
  if (p.status != PictureFile::Status::Loaded) {
    check(p.image.isNull(), what);
    return;
  }
  check(!p.image.isNull(), what);
  check(qint64(p.image.width()) * p.image.height() <= kMaxPicturePixels, what);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::initQt();
  fuzz::scratchDir();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::InScratchDir inScratch;
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

  QImage jpeg;
  const JpegResult decoded = decodeJpeg(bytes, &jpeg);
  check(decoded.ok != jpeg.isNull(), "a JPEG result disagrees with its image");
  if (!decoded.ok) check(!decoded.error.isEmpty(), "a refused JPEG gave no reason");
  if (decoded.ok) {
    check(qint64(jpeg.width()) * jpeg.height() <= kMaxJpegPixels, "a JPEG beyond the size bound");
    if (qint64(jpeg.width()) * jpeg.height() <= 1 << 20) {
      QBuffer buffer;
      buffer.setData(bytes);
      buffer.open(QIODevice::ReadOnly);
      QImageReader qt(&buffer, "jpeg");
      qt.setAllocationLimit(64);
      const QImage other = qt.read();
      if (!other.isNull()) check(other.size() == jpeg.size(), "Qt reads the JPEG at another size");
    }
  }

  for (const char* name : {"pic.jpg", "pic.bmp", "pic.png"}) {
    fuzz::writeScratchFile(QString::fromLatin1(name), bytes);
    const PictureFile p = loadPictureFile(QString::fromLatin1(name));
    checkLoaded(p, "a picture file loaded wrongly");
    check(p.status != PictureFile::Status::Missing && p.status != PictureFile::Status::Unreadable,
          "a plain picture file was not read");
    if (QByteArray(name).endsWith(".jpg"))
      check((p.status == PictureFile::Status::Loaded) == decoded.ok,
            "a JPEG file and its bytes decode differently");
  }
  return 0;
}
