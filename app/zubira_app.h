#pragma once
// The desktop program: its seven windows, created in a fixed order, each a single instance that
// lives until the program ends, and what is read and written when they appear and go.
//
//   TForm1 (main window)  created first: seeds the draws, reads the date line
//   TFrmRndD              the distribution dialog
//   TFrmPrev              the preview: reads the metrics, its settings and its page strings
//   TFrmPageStr           the page-string dialog
//   TFrmList              the list dialog
//   TFrmStyle             the style dialog
//   TAboutBox             the about box
//
// Showing the main window reads the main settings and runs the start-up probe; closing it ends
// the run: hiding it writes the main settings, destroying the windows writes the date line and
// the preview's settings and page strings. A settings file that could not be written is
// reported once, at the end.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace zubira {

class PrinterAccess;
class TAboutBox;
class TForm1;
class TFrmList;
class TFrmPageStr;
class TFrmPrev;
class TFrmRndD;
class TFrmStyle;
class PreviewAdapter;
class RandomSource;

class ZubiraApp {
 public:
  struct Options {
    QString settingsPath;                    // empty: the program's settings file
    std::unique_ptr<PrinterAccess> printer;  // empty: the default printer or the PDF printer
    std::optional<int> screenDpi;            // empty: the primary screen's
    RandomSource* random = nullptr;          // empty: the process-wide source seeded by the clock
  };
  explicit ZubiraApp(Options options);
  ZubiraApp();
  ~ZubiraApp();

  // Shows the main window and runs the event loop until it is closed.
  int run();
  // Closes the windows in the program's order and writes what they keep; returns the errors
  // of the settings file (empty when everything was written). Runs once; the destructor runs it
  // when it has not been.
  QStringList shutDown();

  TForm1& mainWindow() { return *form1_; }
  TFrmPrev& preview() { return *prev_; }
  TFrmPageStr& pageStrDialog() { return *pageStr_; }
  TFrmList& listDialog() { return *list_; }
  TFrmStyle& styleDialog() { return *style_; }
  TAboutBox& aboutBox() { return *about_; }
  TFrmRndD& rndDialog() { return *rndD_; }
  // The object names of the windows in the order they were created.
  const QStringList& creationOrder() const { return order_; }
  const QString& settingsPath() const { return settingsPath_; }

  // The message shown when the settings could not be written.
  static QString settingsNotWrittenMessage(const QStringList& errors);

 private:
  QString settingsPath_;
  std::unique_ptr<TForm1> form1_;
  std::unique_ptr<TFrmRndD> rndD_;
  std::unique_ptr<TFrmPrev> prev_;
  std::unique_ptr<TFrmPageStr> pageStr_;
  std::unique_ptr<TFrmList> list_;
  std::unique_ptr<TFrmStyle> style_;
  std::unique_ptr<TAboutBox> about_;
  std::unique_ptr<PreviewAdapter> adapter_;
  QStringList order_;
  bool shutDown_ = false;
};

}  // namespace zubira
