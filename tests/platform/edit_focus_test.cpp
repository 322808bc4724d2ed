#include "platform/edit_focus.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace zubira {
namespace {

// A window with three watched edit boxes A, B, C and an unwatched button; every enter and exit
// is written to `log` as "+A" and "-A".
class Form {
 public:
  Form() : window(new QWidget), watcher(window.get()) {
    auto* layout = new QVBoxLayout(window.get());
    for (const char* name : {"A", "B", "C"}) {
      auto* e = new QLineEdit(window.get());
      e->setObjectName(QString::fromLatin1(name));
      layout->addWidget(e);
      edits.push_back(e);
      watcher.watch(
          e, [this](QWidget* w) { log << QStringLiteral("+") + w->objectName(); },
          [this](QWidget* w) {
            log << QStringLiteral("-") + w->objectName();
            EXPECT_TRUE(EditFocusWatcher::handlerRunning());
            return exitResult ? exitResult(w) : true;
          });
    }
    button = new QPushButton(QStringLiteral("OK"), window.get());
    layout->addWidget(button);
    window->show();
    activate();
    // Activation focuses A; start every test from the button with an empty log.
    button->setFocus(Qt::OtherFocusReason);
    log.clear();
  }

  std::string logText() const { return log.join(QLatin1Char(' ')).toStdString(); }

  void activate() {
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  QLineEdit* a() const { return edits[0]; }
  QLineEdit* b() const { return edits[1]; }
  QLineEdit* c() const { return edits[2]; }

  std::unique_ptr<QWidget> window;
  EditFocusWatcher watcher;
  std::vector<QLineEdit*> edits;
  QPushButton* button;
  QStringList log;
  std::function<bool(QWidget*)> exitResult;
};

void sendFocus(QWidget* w, QEvent::Type type, Qt::FocusReason reason) {
  QFocusEvent e(type, reason);
  QCoreApplication::sendEvent(w, &e);
}

TEST(EditFocusWatcher, MovingBetweenEditsLeavesOneAndEntersTheNext) {
  Form f;
  f.a()->setFocus(Qt::TabFocusReason);
  f.b()->setFocus(Qt::TabFocusReason);
  f.button->setFocus(Qt::MouseFocusReason);
  f.c()->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(f.logText(), "+A -A +B -B +C");
  EXPECT_EQ(f.watcher.entered(), f.c());
  EXPECT_FALSE(EditFocusWatcher::handlerRunning());
}

TEST(EditFocusWatcher, ActivationAndPopupFocusChangesAreNotEntriesOrExits) {
  for (Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
    Form f;
    f.a()->setFocus(Qt::TabFocusReason);
    sendFocus(f.a(), QEvent::FocusOut, reason);
    sendFocus(f.a(), QEvent::FocusIn, reason);
    EXPECT_EQ(f.logText(), "+A") << reason;
    EXPECT_EQ(f.watcher.entered(), f.a());
  }
}

TEST(EditFocusWatcher, AnotherWindowTakingTheFocusDoesNotLeaveTheEdit) {
  Form f;
  f.a()->setFocus(Qt::TabFocusReason);
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  f.activate();
  EXPECT_EQ(QApplication::focusWidget(), f.a());
  EXPECT_EQ(f.logText(), "+A");
}

TEST(EditFocusWatcher, FocusArrivingElsewhereAfterActivationLeavesTheEnteredEdit) {
  Form f;
  f.a()->setFocus(Qt::TabFocusReason);
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  // While the form is inactive the focus child changes without focus events; the activation
  // then brings the focus to B.
  f.b()->setFocus(Qt::OtherFocusReason);
  f.activate();
  ASSERT_EQ(QApplication::focusWidget(), f.b());
  EXPECT_EQ(f.logText(), "+A -A +B");
}

TEST(EditFocusWatcher, HandlerPuttingTheFocusBackEntersThatEditOnceAndNotTheNext) {
  Form f;
  f.exitResult = [&](QWidget* w) {
    w->setFocus(Qt::OtherFocusReason);  // as a refused margin does
    return false;
  };
  f.a()->setFocus(Qt::TabFocusReason);
  f.b()->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(QApplication::focusWidget(), f.a());
  EXPECT_EQ(f.logText(), "+A -A +A");
  EXPECT_EQ(f.watcher.entered(), f.a());
}

TEST(EditFocusWatcher, FocusEventsDuringAHandlerAreIgnored) {
  Form f;
  f.exitResult = [&](QWidget*) {
    // What a message box does to the edit that had just been given the focus.
    sendFocus(f.b(), QEvent::FocusOut, Qt::OtherFocusReason);
    sendFocus(f.c(), QEvent::FocusIn, Qt::OtherFocusReason);
    sendFocus(f.c(), QEvent::FocusOut, Qt::OtherFocusReason);
    return true;
  };
  f.a()->setFocus(Qt::TabFocusReason);
  f.b()->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(f.logText(), "+A -A +B");
}

TEST(EditFocusWatcher, RealMessageBoxFromAnExitLeavesTheNextEditEnteredOnce) {
  Form f;
  int boxes = 0;
  f.exitResult = [&](QWidget* w) {
    QTimer::singleShot(0, [] {
      if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    QMessageBox::information(w, QStringLiteral("Zubira"), QStringLiteral("数を入力して下さい"));
    ++boxes;
    return false;
  };
  f.a()->setFocus(Qt::TabFocusReason);
  f.b()->setFocus(Qt::TabFocusReason);
  f.activate();  // the box is gone; the form gets the focus back
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(QApplication::focusWidget(), f.b());
  EXPECT_EQ(f.logText(), "+A -A +B");
  EXPECT_EQ(f.watcher.entered(), f.b());
}

TEST(EditFocusWatcher, HandlersOfOtherWatchersWaitWhileOneRuns) {
  Form first;
  Form second;
  first.activate();
  second.log.clear();
  first.exitResult = [&](QWidget*) {
    sendFocus(second.a(), QEvent::FocusIn, Qt::TabFocusReason);
    return true;
  };
  first.a()->setFocus(Qt::TabFocusReason);
  first.b()->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(first.logText(), "+A -A +B");
  EXPECT_TRUE(second.log.isEmpty());
}

TEST(EditFocusWatcher, LeaveEnteredChecksTheEditStillHoldingTheFocus) {
  Form f;
  EXPECT_TRUE(f.watcher.leaveEntered()) << "nothing entered";
  EXPECT_TRUE(f.log.isEmpty());

  f.a()->setFocus(Qt::TabFocusReason);
  f.exitResult = [](QWidget*) { return false; };
  EXPECT_FALSE(f.watcher.leaveEntered());
  // A keeps the focus, so it is entered again with its (restored) text.
  EXPECT_EQ(f.logText(), "+A -A +A");
  f.exitResult = [](QWidget*) { return true; };
  EXPECT_TRUE(f.watcher.leaveEntered());
}

TEST(EditFocusWatcher, ForgetMakesTheNextFocusAnEntry) {
  Form f;
  f.a()->setFocus(Qt::TabFocusReason);
  f.watcher.forget();
  EXPECT_EQ(f.watcher.entered(), nullptr);
  sendFocus(f.a(), QEvent::FocusIn, Qt::ActiveWindowFocusReason);
  EXPECT_EQ(f.logText(), "+A +A");
}

TEST(EditFocusWatcher, UnwatchedAndDestroyedEditsAreLeftAlone) {
  Form f;
  f.watcher.unwatch(f.c());
  EXPECT_FALSE(f.watcher.isWatched(f.c()));
  f.c()->setFocus(Qt::TabFocusReason);
  f.a()->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(f.logText(), "+A");

  delete f.edits[0];
  f.edits.erase(f.edits.begin());
  EXPECT_EQ(f.watcher.entered(), nullptr);
  f.a()->setFocus(Qt::TabFocusReason);  // the new first edit, "B"
  EXPECT_EQ(f.logText(), "+A +B");
}

TEST(EditFocusWatcher, EmptyHandlersAreAllowed) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* a = new QLineEdit(&window);
  auto* b = new QLineEdit(&window);
  layout->addWidget(a);
  layout->addWidget(b);
  EditFocusWatcher watcher;
  int exits = 0;
  watcher.watch(a, {}, [&](QWidget*) { return ++exits, true; });
  watcher.watch(b, {}, {});
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  a->setFocus(Qt::TabFocusReason);
  b->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(watcher.entered(), b);
  EXPECT_TRUE(watcher.leaveEntered());
}

}  // namespace
}  // namespace zubira
