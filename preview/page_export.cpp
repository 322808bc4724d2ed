#include "preview/page_export.h"

#include "drawing/number_text.h"
#include "platform/jpeg_codec.h"
#include "platform/save_file.h"

#include <QBuffer>
#include <QDir>
#include <QStringList>

#include <algorithm>

namespace zubira {

QString pageImageFilter() {
  return QStringLiteral("BMP 画像|*.bmp|JPEG 画像|*.jpg;*.jpeg|PNG 画像|*.png");
}

QString pageImageDefaultSuffix() { return QStringLiteral("JPG"); }

QString qtFileFilter(const QString& windowsFilter) {
  if (windowsFilter.isEmpty()) return QString();
  const QStringList parts = windowsFilter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    const QString name = parts[i].trimmed();
    const QString masks = i + 1 < parts.size() ? parts[i + 1] : QString();
    QStringList list;
    for (const QString& m : masks.split(QLatin1Char(';'), Qt::SkipEmptyParts)) list << m.trimmed();
    if (list.isEmpty()) list << QStringLiteral("*");
    entries << QStringLiteral("%1 (%2)").arg(name, list.join(QLatin1Char(' ')));
  }
  return entries.join(QStringLiteral(";;"));
}

QString upperExtension(const QString& fileName) {
  // The last path component, whichever separator the name uses.
  qsizetype slash = std::max(fileName.lastIndexOf(QLatin1Char('/')),
                             fileName.lastIndexOf(QLatin1Char('\\')));
  const QString last = fileName.mid(slash + 1);
  const qsizetype dot = last.lastIndexOf(QLatin1Char('.'));
  if (dot < 0) return QString();
  QString ext = last.mid(dot);
  for (QChar& c : ext)
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
  return ext;
}

PageImageKind pageImageKindOf(const QString& fileName) {
  const QString ext = upperExtension(fileName);
  if (ext == QLatin1String(".JPEG") || ext == QLatin1String(".JPG")) return PageImageKind::Jpeg;
  if (ext == QLatin1String(".PNG")) return PageImageKind::Png;
  return PageImageKind::Bmp;
}

namespace {

// `format` is Qt's name of the image format ("BMP", "PNG").
ExportResult writeEncodedFile(const QImage& image, const QString& path, const char* format) {
  if (image.isNull()) return {false, QStringLiteral("画像がありません")};
  // Encoded into memory first: the file is opened only once the whole image is ready.
  QByteArray data;
  {
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
      return {false, QStringLiteral("%1 形式にできませんでした").arg(QLatin1String(format))};
  }
  QString why;
  if (!saveWholeFile(path, data, &why)) return {false, why};
  return {true, QString()};
}

}  // namespace

ExportResult writeBmpFile(const QImage& image, const QString& path) {
  return writeEncodedFile(image, path, "BMP");
}

ExportResult writePngFile(const QImage& image, const QString& path) {
  return writeEncodedFile(image, path, "PNG");
}

ExportResult writePageImage(const QImage& image, const QString& path, int quality) {
  switch (pageImageKindOf(path)) {
    case PageImageKind::Jpeg: {
      if (image.isNull()) return {false, QStringLiteral("画像がありません")};
      const JpegResult r = writeJpegFile(image, path, quality);
      return {r.ok, r.error};
    }
    case PageImageKind::Png: return writePngFile(image, path);
    case PageImageKind::Bmp: break;
  }
  return writeBmpFile(image, path);
}

QString exportFailedMessage(const QString& path, const ExportResult& result) {
  QString text = QStringLiteral("ファイルに保存できませんでした。\r\n%1").arg(QDir::toNativeSeparators(path));
  if (!result.error.isEmpty()) text += QStringLiteral("\r\n") + result.error;
  return text;
}

QString jpegQualityCaption() { return QStringLiteral("JPEG画像の質"); }
QString jpegQualityPrompt() { return QStringLiteral("1～100の整数を入力して下さい"); }
QString jpegQualityNotIntegerMessage() { return QStringLiteral("入力した文字列が整数ではありません"); }
QString jpegQualityRangeMessage() {
  return QStringLiteral("範囲を越えています.\r\n1から100までの整数を入力して下さい");
}

QualityInput readJpegQuality(const QString& text) {
  const std::optional<int> v = readInteger(text);
  if (!v) return {std::nullopt, jpegQualityNotIntegerMessage()};
  if (*v < 1 || *v > 100) return {std::nullopt, jpegQualityRangeMessage()};
  return {*v, QString()};
}

}  // namespace zubira
