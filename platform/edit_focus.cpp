#include "platform/edit_focus.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QWidget>

namespace zubira {

namespace {

// Depth of running handlers, shared by every watcher: a message box opened by one window's check
// moves the focus of every window.
int& handlerDepth() {
  static int depth = 0;
  return depth;
}

class HandlerScope {
 public:
  HandlerScope() { ++handlerDepth(); }
  ~HandlerScope() { --handlerDepth(); }
  HandlerScope(const HandlerScope&) = delete;
  HandlerScope& operator=(const HandlerScope&) = delete;
};

}  // namespace

EditFocusWatcher::EditFocusWatcher(QObject* parent) : QObject(parent) {}

EditFocusWatcher::~EditFocusWatcher() = default;

void EditFocusWatcher::watch(QWidget* edit, EnterHandler enter, ExitHandler exit) {
  if (!edit) return;
  if (!handlers_.contains(edit)) {
    edit->installEventFilter(this);
    connect(edit, &QObject::destroyed, this, [this](QObject* gone) { handlers_.remove(gone); });
  }
  handlers_.insert(edit, Handlers{std::move(enter), std::move(exit), edit->metaObject()});
}

void EditFocusWatcher::unwatch(QWidget* edit) {
  if (!edit || !handlers_.contains(edit)) return;
  edit->removeEventFilter(this);
  disconnect(edit, &QObject::destroyed, this, nullptr);
  handlers_.remove(edit);
  if (entered_ == edit) entered_ = nullptr;
}

bool EditFocusWatcher::isWatched(const QWidget* edit) const {
  return handlers_.contains(const_cast<QWidget*>(edit));
}

QWidget* EditFocusWatcher::entered() const { return entered_.data(); }

bool EditFocusWatcher::leaveEntered() {
  if (!entered_) return true;
  return exit(entered_.data());
}

void EditFocusWatcher::forget() { entered_ = nullptr; }

bool EditFocusWatcher::handlerRunning() { return handlerDepth() > 0; }

void EditFocusWatcher::enter(QWidget* edit) {
  entered_ = edit;
  const Handlers h = handlers_.value(edit);
  if (!h.enter) return;
  HandlerScope scope;
  h.enter(edit);
}

bool EditFocusWatcher::exit(QWidget* edit) {
  entered_ = nullptr;
  const Handlers h = handlers_.value(edit);
  bool accepted = true;
  if (h.exit) {
    HandlerScope scope;
    accepted = h.exit(edit);
  }
  // The focus events of a message box and of a handler that puts the focus back were ignored;
  // whichever edit box has the focus now is the one entered.
  if (!handlerRunning()) enterFocused();
  return accepted;
}

void EditFocusWatcher::enterFocused() {
  QWidget* focused = QApplication::focusWidget();
  if (focused && entered_ != focused && handlers_.contains(focused)) enter(focused);
}

bool EditFocusWatcher::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::FocusIn && type != QEvent::FocusOut) return false;
  const auto h = handlers_.constFind(watched);
  if (h == handlers_.constEnd() || handlerRunning()) return false;
  if (watched->metaObject() != h->type) return false;  // being destroyed
  auto* edit = static_cast<QWidget*>(watched);
  const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();

  if (type == QEvent::FocusIn) {
    if (entered_ == edit) return false;  // back after activation or a popup
    if (entered_) {
      // The previous edit box lost the focus to an activation or a popup and the focus now
      // arrives here: it has been left after all. Its exit enters this one if it keeps the focus.
      exit(entered_.data());
      return false;
    }
    enter(edit);
    return false;
  }

  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
  if (entered_ == edit) exit(edit);
  return false;
}

}  // namespace zubira
