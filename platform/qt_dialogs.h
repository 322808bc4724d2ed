#pragma once
// The real dialogs: Qt's message boxes, input box, file, font, colour and print dialogs.

#include "platform/dialogs.h"

namespace zubira {

class QtDialogs : public Dialogs {
 public:
  void message(QWidget* parent, const QString& caption, const QString& text,
               MessageIcon icon) override;
  bool askYesNo(QWidget* parent, const QString& caption, const QString& text) override;
  Answer askYesNoCancel(QWidget* parent, const QString& caption, const QString& text) override;
  std::optional<QString> inputText(QWidget* parent, const QString& caption, const QString& prompt,
                                   const QString& preset) override;
  std::optional<QString> saveFileName(QWidget* parent, const SaveFileRequest& request) override;
  std::optional<QString> openFileName(QWidget* parent, const OpenFileRequest& request) override;
  std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) override;
  std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
  bool printDialog(QWidget* parent, QPrinter* printer) override;
  bool openUrl(const QUrl& url) override;
};

}  // namespace zubira
