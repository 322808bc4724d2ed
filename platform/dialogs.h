#pragma once
// Every modal interaction of the program goes through Dialogs, so that windows and logic can be
// driven by tests without a modal box ever blocking, and every text shown can be read back.

#include <QColor>
#include <QFont>
#include <QString>
#include <QUrl>
#include <optional>

class QWidget;
class QPrinter;

namespace zubira {

enum class MessageIcon { Information, Warning, Error };
enum class Answer { Yes, No, Cancel };

// A font as the font dialogs of this program edit it: face, size, style and colour together.
struct FontChoice {
  QFont font;
  QColor color = Qt::black;
};

struct SaveFileRequest {
  QString caption;
  QString fileName;       // preset name or folder
  QString filter;         // "BMP (*.bmp);;JPEG (*.jpg)"; empty for none
  QString defaultSuffix;  // appended when the user types no extension; empty for none
};

struct OpenFileRequest {
  QString caption;
  QString fileName;
  QString filter;
};

class Dialogs {
 public:
  virtual ~Dialogs();

  virtual void message(QWidget* parent, const QString& caption, const QString& text,
                       MessageIcon icon = MessageIcon::Information) = 0;
  virtual bool askYesNo(QWidget* parent, const QString& caption, const QString& text) = 0;
  virtual Answer askYesNoCancel(QWidget* parent, const QString& caption, const QString& text) = 0;
  // Returns the text entered, or nothing when the box was cancelled.
  virtual std::optional<QString> inputText(QWidget* parent, const QString& caption,
                                           const QString& prompt, const QString& preset) = 0;
  virtual std::optional<QString> saveFileName(QWidget* parent, const SaveFileRequest& request) = 0;
  virtual std::optional<QString> openFileName(QWidget* parent, const OpenFileRequest& request) = 0;
  virtual std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) = 0;
  virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
  // Shows the print dialog on `printer`; true when the user accepted it.
  virtual bool printDialog(QWidget* parent, QPrinter* printer) = 0;
  // Opens an address in the user's browser; false when that failed.
  virtual bool openUrl(const QUrl& url) = 0;
};

// The dialogs in use: the Qt ones unless a test installed others.
Dialogs& dialogs();
// Installs `d` as the dialogs in use; nullptr restores the Qt ones. The caller keeps ownership.
void installDialogs(Dialogs* d);

// The caption of message boxes that name no caption of their own: the application's title.
QString messageCaption();

}  // namespace zubira
