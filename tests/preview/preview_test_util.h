#pragma once
// Helpers for the preview window's tests: a temporary folder that is the current directory (the
// list index file "Gazumo.prv" is looked for there) and holds the settings file, windows on fixed
// printer metrics or on a PDF printer, and recording canvases in place of the painting ones.

#include "drawing/page_model.h"
#include "drawing/printer_access.h"
#include "drawing/recording_canvas.h"
#include "preview/preview_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace zubira::testing {

class PreviewFolder {
 public:
  PreviewFolder() : previous_(QDir::currentPath()) {
    EXPECT_TRUE(dir_.isValid());
    EXPECT_TRUE(QDir::setCurrent(dir_.path()));
  }
  ~PreviewFolder() { QDir::setCurrent(previous_); }
  PreviewFolder(const PreviewFolder&) = delete;
  PreviewFolder& operator=(const PreviewFolder&) = delete;

  QString path(const QString& name) const { return dir_.filePath(name); }
  QString settings() const { return path(QStringLiteral("zubira.ini")); }

  void writeSettings(const QByteArray& text) const {
    QFile f(settings());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
  }
  QByteArray readFile(const QString& name) const {
    QFile f(path(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
  }
  QByteArray readSettings() const { return readFile(QStringLiteral("zubira.ini")); }
  QStringList entries() const {
    return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                       QDir::Name);
  }

 private:
  QString previous_;
  QTemporaryDir dir_;
};

// A window on a printer of fixed metrics (kept in `printer` for the test to change) and a 96 dpi
// screen.
struct FixedPreview {
  FixedPrinterAccess* printer = nullptr;
  std::unique_ptr<TFrmPrev> window;

  FixedPreview(const QString& settings, QSize resolution, QSize page, bool queryable = true) {
    auto access = std::make_unique<FixedPrinterAccess>(resolution, page, queryable);
    printer = access.get();
    window = std::make_unique<TFrmPrev>(nullptr, settings, std::move(access), 96);
  }
  TFrmPrev& operator*() { return *window; }
  TFrmPrev* operator->() { return window.get(); }
};

// Qt's PDF printer on A4 without margins, as the program uses it when no printer is installed.
inline std::unique_ptr<QPrinter> pdfPrinter(int dpi) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setResolution(dpi);
  printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
  return printer;
}

inline std::unique_ptr<TFrmPrev> pdfPreview(const QString& settings, int dpi = 600) {
  return std::make_unique<TFrmPrev>(nullptr, settings,
                                    std::make_unique<QtPrinterAccess>(pdfPrinter(dpi)), 96);
}

// Recording canvases in place of the painting ones; returned so the test can read them.
struct Recorders {
  RecordingCanvas* screen = nullptr;
  RecordingCanvas* printer = nullptr;
};
inline Recorders recordOn(TFrmPrev& w) {
  auto screen = std::make_unique<RecordingCanvas>(96, 96);
  auto printer = std::make_unique<RecordingCanvas>(w.model().PrinterResX(), w.model().PrinterResY());
  Recorders r{screen.get(), printer.get()};
  w.model().setCanvases(std::move(screen), std::move(printer));
  return r;
}

inline void showWindow(TFrmPrev& w) {
  w.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
  QApplication::processEvents();
}

inline QAction* action(TFrmPrev& w, const char* name) {
  QAction* a = w.menuItem(QLatin1String(name));
  EXPECT_NE(a, nullptr) << name;
  return a;
}

inline void trigger(TFrmPrev& w, const char* name) {
  if (QAction* a = action(w, name)) a->trigger();
}

// Whether every pixel of `image` is white.
inline bool allWhite(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) return false;
  return true;
}

}  // namespace zubira::testing
