#pragma once
// Entering and leaving edit boxes, the way the program's checks need them: an edit box is
// "entered" when it gets the focus and "left" when the focus moves on to another control. Each
// watched edit box has an enter handler (typically: remember the text) and an exit handler
// (typically: check the text, show a message, put the remembered text back).
//
// Focus changes that are not the user moving between controls are not entries or exits:
//  - the window losing or regaining activation (Qt::ActiveWindowFocusReason), which happens
//    whenever a message box opens or closes, or the user switches to another program;
//  - a popup such as a context menu opening or closing (Qt::PopupFocusReason).
// So an edit box whose window is deactivated stays entered, and getting the focus back on
// activation does not enter it a second time.
//
// While any handler runs (in any watcher), every focus event of every watched edit box is
// ignored: the message box a handler opens moves the focus away and back, and a handler may
// itself put the focus back into the edit box it refused. When the handler returns, the edit box
// that then has the focus, if it is a watched one and not yet entered, is entered.
//
//   EditFocusWatcher focus;
//   focus.watch(EdtRow, [this](QWidget*) { EdtTmp = EdtRow->text(); },
//               [this](QWidget*) { return EdtRowExit(); });
//   // OK reached by Enter or a shortcut leaves the focus in the edit box: check it first.
//   if (!focus.leaveEntered()) return;
//
// The watcher does not own the edit boxes; an edit box that is destroyed is forgotten without
// being left.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace zubira {

class EditFocusWatcher : public QObject {
  Q_OBJECT
 public:
  using EnterHandler = std::function<void(QWidget* edit)>;
  // Returns whether the entry was accepted; the watcher passes this on from leaveEntered().
  using ExitHandler = std::function<bool(QWidget* edit)>;

  explicit EditFocusWatcher(QObject* parent = nullptr);
  ~EditFocusWatcher() override;

  // Starts watching `edit`; either handler may be empty. Watching an edit box again replaces its
  // handlers.
  void watch(QWidget* edit, EnterHandler enter, ExitHandler exit);
  void unwatch(QWidget* edit);
  bool isWatched(const QWidget* edit) const;

  // The watched edit box that is entered and not yet left, or nullptr.
  QWidget* entered() const;

  // Leaves the entered edit box now, as if the focus had moved on: runs its exit handler and,
  // when it still has the focus afterwards, enters it again. For OK buttons reached without a
  // focus change. Returns the exit handler's result, or true when no edit box was entered.
  bool leaveEntered();

  // Forgets the entered edit box without running its exit handler, for a window that is shown
  // again with fresh texts: the next focus on any watched edit box enters it.
  void forget();

  // True while a handler of any watcher runs.
  static bool handlerRunning();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Handlers {
    EnterHandler enter;
    ExitHandler exit;
    // The edit box's class when it was watched. A widget that is being destroyed reports a base
    // class and still gets a focus-out from its QWidget part, which must not reach a handler.
    const QMetaObject* type = nullptr;
  };

  void enter(QWidget* edit);
  bool exit(QWidget* edit);
  // Enters the focused widget when it is a watched edit box that is not entered.
  void enterFocused();

  QHash<QObject*, Handlers> handlers_;
  QPointer<QWidget> entered_;
};

}  // namespace zubira
