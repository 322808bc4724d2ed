#include "platform/jpeg_codec.h"

#include "platform/save_file.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <jerror.h>

namespace zubira {

namespace {

// libjpeg's default error handler exits the process; this one jumps back to the caller with the
// message. Nothing between setjmp and longjmp may own C++ resources that need destructors.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool hitEndOfData = false;       // the data ended before the picture did, or are broken
  bool stopOnCorruptData = false;  // decoding: a warning about broken data ends the decoding
  unsigned char* memory = nullptr;  // jpeg_mem_dest's buffer, freed on every path
  unsigned long memorySize = 0;
};

void errorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void silentOutput(j_common_ptr) {}

// Warnings that mean the picture's data are broken: libjpeg goes on and fills what it could not
// decode with grey, so the picture would be shown half garbage.
bool isCorruptDataWarning(int code) {
  switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
      return true;
    default:
      return false;
  }
}

// Warnings do not stop libjpeg. A file cut short or broken data make the picture count as
// broken; when decoding, that ends the decoding at once (a jump like an error's), so a broken
// file is not decoded to its end for nothing. Other warnings (stray bytes between markers, an
// unknown JFIF revision) leave the picture as good.
void noteWarning(j_common_ptr cinfo, int level) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  if (level >= 0 || !isCorruptDataWarning(cinfo->err->msg_code)) return;
  err->hitEndOfData = true;
  if (err->stopOnCorruptData) {
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
  }
}

void initErrors(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = errorExit;
  err.pub.output_message = silentOutput;
  err.pub.emit_message = noteWarning;
  err.message[0] = '\0';
}

JpegResult failure(const QString& why) { return JpegResult{false, why}; }

int dotsPerInch(int dotsPerMeter) { return dotsPerMeter > 0 ? qRound(dotsPerMeter * 0.0254) : 0; }

}  // namespace

JpegResult encodeJpeg(const QImage& image, int quality, QByteArray* out) {
  if (image.isNull()) return failure(QStringLiteral("no image to encode"));
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  if (rgb.isNull()) return failure(QStringLiteral("out of memory converting the image"));

  jpeg_compress_struct cinfo;
  ErrorManager err;
  initErrors(err);
  cinfo.err = &err.pub;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    std::free(err.memory);
    return failure(QString::fromLocal8Bit(err.message));
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &err.memory, &err.memorySize);
  cinfo.image_width = JDIMENSION(rgb.width());
  cinfo.image_height = JDIMENSION(rgb.height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, qBound(1, quality, 100), TRUE);
  int dpiX = dotsPerInch(rgb.dotsPerMeterX()), dpiY = dotsPerInch(rgb.dotsPerMeterY());
  if (dpiX > 0 && dpiY > 0 && dpiX <= 65535 && dpiY <= 65535) {
    cinfo.density_unit = 1;
    cinfo.X_density = UINT16(dpiX);
    cinfo.Y_density = UINT16(dpiY);
  }
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  *out = QByteArray(reinterpret_cast<const char*>(err.memory), qsizetype(err.memorySize));
  std::free(err.memory);
  return JpegResult{true, QString()};
}

JpegResult writeJpegFile(const QImage& image, const QString& path, int quality) {
  QByteArray data;
  JpegResult r = encodeJpeg(image, quality, &data);
  if (!r.ok) return r;
  QString why;
  if (!saveWholeFile(path, data, &why)) return failure(why);
  return r;
}

namespace {

// Runs the decompression; all libjpeg calls that can fail happen between setjmp and the end.
// `target` is filled only when the whole picture was read.
JpegResult decodeInto(const QByteArray& data, QImage* target) {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  initErrors(err);
  err.stopOnCorruptData = true;
  cinfo.err = &err.pub;
  // Owned by libjpeg-free code below but reachable after a longjmp, hence volatile pointers.
  QImage* volatile image = nullptr;
  unsigned char* volatile row = nullptr;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    delete image;
    std::free(row);
    return failure(QString::fromLocal8Bit(err.message));
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
               static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);

  const bool gray = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = gray ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_calc_output_dimensions(&cinfo);
  const qint64 pixels = qint64(cinfo.output_width) * qint64(cinfo.output_height);
  if (pixels <= 0 || pixels > kMaxJpegPixels || cinfo.output_width > 32767 ||
      cinfo.output_height > 32767) {
    jpeg_destroy_decompress(&cinfo);
    return failure(QStringLiteral("picture too large: %1 x %2")
                       .arg(cinfo.output_width)
                       .arg(cinfo.output_height));
  }
  image = new QImage(int(cinfo.output_width), int(cinfo.output_height),
                     gray ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
  if (image->isNull()) {
    jpeg_destroy_decompress(&cinfo);
    delete image;
    return failure(QStringLiteral("out of memory for the picture"));
  }
  jpeg_start_decompress(&cinfo);
  const int components = cinfo.output_components;
  row = static_cast<unsigned char*>(std::malloc(size_t(cinfo.output_width) * size_t(components)));
  if (!row) {
    jpeg_destroy_decompress(&cinfo);
    delete image;
    return failure(QStringLiteral("out of memory for the picture"));
  }
  const bool adobeInverted = cmyk && cinfo.saw_Adobe_marker;
  while (cinfo.output_scanline < cinfo.output_height) {
    const int y = int(cinfo.output_scanline);
    JSAMPROW rows[1] = {row};
    jpeg_read_scanlines(&cinfo, rows, 1);
    uchar* line = image->scanLine(y);
    const int w = int(cinfo.output_width);
    if (gray) {
      std::memcpy(line, row, size_t(w));
    } else if (cmyk) {
      auto* out = reinterpret_cast<QRgb*>(line);
      for (int x = 0; x < w; ++x) {
        int c = row[4 * x], m = row[4 * x + 1], yy = row[4 * x + 2], k = row[4 * x + 3];
        if (!adobeInverted) c = 255 - c, m = 255 - m, yy = 255 - yy, k = 255 - k;
        out[x] = qRgb(c * k / 255, m * k / 255, yy * k / 255);
      }
    } else {
      auto* out = reinterpret_cast<QRgb*>(line);
      for (int x = 0; x < w; ++x) out[x] = qRgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
    }
  }
  jpeg_finish_decompress(&cinfo);
  if (cinfo.density_unit == 1 && cinfo.X_density > 0 && cinfo.Y_density > 0) {
    image->setDotsPerMeterX(qRound(cinfo.X_density / 0.0254));
    image->setDotsPerMeterY(qRound(cinfo.Y_density / 0.0254));
  }
  // A file cut short reads to its end with grey rows and a warning; treat it as broken.
  const bool truncated = err.hitEndOfData;
  jpeg_destroy_decompress(&cinfo);
  std::free(row);
  QImage* done = image;
  if (truncated) {
    delete done;
    return failure(QStringLiteral("corrupt or truncated JPEG data"));
  }
  *target = std::move(*done);
  delete done;
  return JpegResult{true, QString()};
}

}  // namespace

JpegResult decodeJpeg(const QByteArray& data, QImage* image) {
  *image = QImage();
  if (data.isEmpty()) return failure(QStringLiteral("empty JPEG data"));
  return decodeInto(data, image);
}

JpegResult readJpegFile(const QString& path, QImage* image) {
  *image = QImage();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return failure(file.errorString());
  // A JPEG of the largest accepted picture is far below this; larger files are not pictures.
  constexpr qint64 kMaxFileBytes = 512LL * 1024 * 1024;
  if (file.size() > kMaxFileBytes) return failure(QStringLiteral("file too large"));
  return decodeJpeg(file.readAll(), image);
}

}  // namespace zubira
