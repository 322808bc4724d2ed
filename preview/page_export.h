#pragma once
// Handing the preview's page on without printing it: the rules of "ファイルに保存(&B)" (which file
// kind a name gets, BMP, JPEG or PNG, written so that a failure leaves no half-written file) and of
// "Jpeg画像の質(&J)" (which texts are a quality and what is said about the others).

#include <QImage>
#include <QString>
#include <optional>

namespace zubira {

// The save dialog's filter for the page image in the desktop's "name|masks|name|masks" form:
// BMP, JPEG (two masks) and PNG, each name without masks of its own.
QString pageImageFilter();
// Its default extension: a name typed without one becomes a JPEG file name.
QString pageImageDefaultSuffix();

// A "name|mask;mask|name|mask" filter as Qt's file dialog takes it: "name (mask mask);;...". The
// entry names are kept as they are (even when they hold a bracket of their own); the masks follow
// in a bracket of their own, which is the one the dialog filters by.
QString qtFileFilter(const QString& windowsFilter);

// The extension of `fileName`: from the last dot of its last path component, the dot included,
// with ASCII letters upper-cased; empty when that component has no dot.
QString upperExtension(const QString& fileName);

enum class PageImageKind { Bmp, Jpeg, Png };
// ".JPG" and ".JPEG" give JPEG, ".PNG" gives PNG; every other extension, or none, gives BMP
// content.
PageImageKind pageImageKindOf(const QString& fileName);

struct ExportResult {
  bool ok = false;
  QString error;  // why the file was not written
};

// The image as an uncompressed BMP file (the image's own pixel depth, 24 bits for the page
// bitmap), written atomically: on failure the file is as it was and nothing else is left behind.
ExportResult writeBmpFile(const QImage& image, const QString& path);
// The image as a PNG file, atomically.
ExportResult writePngFile(const QImage& image, const QString& path);
// BMP, JPEG (at `quality`) or PNG by the name's extension, atomically.
ExportResult writePageImage(const QImage& image, const QString& path, int quality);
// The message for an image file that could not be written.
QString exportFailedMessage(const QString& path, const ExportResult& result);

// The caption, prompt and messages of the JPEG quality box.
QString jpegQualityCaption();
QString jpegQualityPrompt();
QString jpegQualityNotIntegerMessage();
QString jpegQualityRangeMessage();

struct QualityInput {
  std::optional<int> quality;  // the new quality, when the text is one
  QString message;             // otherwise what to tell the user
};
// A quality text: a whole 32-bit integer (optional leading blanks and sign, decimal digits or
// hexadecimal after "$", "x" or "0x", nothing after them) from 1 to 100.
QualityInput readJpegQuality(const QString& text);

}  // namespace zubira
