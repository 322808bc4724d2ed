#pragma once
// A Dialogs for tests: records every dialog shown (kind, caption, text) and answers questions,
// input boxes and file, font, colour and print dialogs from a queue of scripted replies. A dialog
// that needs a reply when none of its kind is next fails the test and is answered as cancelled;
// replies left unused when the object goes fail the test too. Message boxes need no reply.
//
//   ScriptedDialogs dlg;                 // installed for the lifetime of dlg
//   dlg.answerYesNo(true).answerInput(QString("5"));
//   ... drive the window ...
//   EXPECT_EQ(dlg.messages(), QStringList{"..."});

#include "platform/dialogs.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <variant>
#include <vector>

namespace zubira::testing {

enum class DialogKind { Message, YesNo, YesNoCancel, Input, SaveFile, OpenFile, Font, Color, Print, OpenUrl };
const char* dialogKindName(DialogKind kind);

struct ShownDialog {
  DialogKind kind;
  QString caption;
  QString text;    // message, question, prompt, address
  QString detail;  // input preset, file name and filter, font description
};

class ScriptedDialogs : public Dialogs {
 public:
  ScriptedDialogs();
  ~ScriptedDialogs() override;
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

  ScriptedDialogs& answerYesNo(bool yes);
  ScriptedDialogs& answerYesNoCancel(Answer answer);
  ScriptedDialogs& answerInput(std::optional<QString> text);
  ScriptedDialogs& answerSaveFile(std::optional<QString> name);
  ScriptedDialogs& answerOpenFile(std::optional<QString> name);
  ScriptedDialogs& answerFont(std::optional<FontChoice> font);
  ScriptedDialogs& answerColor(std::optional<QColor> color);
  // `setup` may change the printer as the user would in the dialog before accepting it.
  ScriptedDialogs& answerPrint(bool accept, std::function<void(QPrinter*)> setup = {});
  ScriptedDialogs& answerOpenUrl(bool opened);

  const std::vector<ShownDialog>& shown() const { return shown_; }
  QStringList messages() const;  // texts of the message boxes, in order
  QStringList texts() const;     // texts of every dialog, in order
  std::size_t pendingReplies() const { return replies_.size(); }
  void clear();

  // Run as each dialog is shown, after it is recorded: lets a test look at the program's state
  // while the program waits for the answer.
  std::function<void(const ShownDialog&)> onShow;

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

 private:
  struct PrintReply {
    bool accept;
    std::function<void(QPrinter*)> setup;
  };
  using Value = std::variant<bool, Answer, std::optional<QString>, std::optional<FontChoice>,
                             std::optional<QColor>, PrintReply>;
  struct Reply {
    DialogKind kind = DialogKind::Message;
    Value value;
  };
  template <class T>
  ScriptedDialogs& queue(DialogKind kind, T&& value);

  // Records the dialog and takes the next reply when it is of `kind`.
  std::optional<Value> take(DialogKind kind, const QString& caption, const QString& text,
                            const QString& detail);

  std::vector<ShownDialog> shown_;
  std::deque<Reply> replies_;
};

}  // namespace zubira::testing
