#pragma once
// The main window as the window tests open it: on a settings file in a folder of its own, with a
// fake preview, scripted dialogs, reproducible draws and no site to reach.

#include "fake_preview.h"
#include "generation/random_source.h"
#include "local_http_server.h"
#include "tests/support/scripted_dialogs.h"
#include "worksheet/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace zubira::testing {

class WindowTest : public ::testing::Test {
 protected:
  explicit WindowTest(uint32_t seed) : site(LocalHttpServer::refusedBase()), seed_(seed) {}
  void SetUp() override { open(); }
  // Opens a new main window on the settings file (a second opening reads what the first wrote).
  void open() {
    random = std::make_unique<PseudoRandomSource>(seed_);
    w = std::make_unique<TForm1>(dir.filePath("zubira.ini"), random.get());
    w->setPreview(&preview);
    w->show();
    activate();
  }
  void activate() {
    QApplication::setActiveWindow(w.get());
    w->activateWindow();
    QApplication::processEvents();
  }
  QLineEdit* edit(const char* name) { return w->findChild<QLineEdit*>(name); }
  QAction* action(const QString& name) { return w->findChild<QAction*>(name); }
  // Types `text` into edit `name` as the user would, then moves the focus on to `next`.
  void typeAndLeave(const char* name, const QString& text, const char* next) {
    QLineEdit* e = edit(name);
    e->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    e->selectAll();
    if (text.isEmpty()) QTest::keyClick(e, Qt::Key_Delete);
    else QTest::keyClicks(e, text);
    edit(next)->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    activate();
  }
  struct SiteAt {
    explicit SiteAt(const QUrl& base) { qputenv("ZUBIRA_SITE_URL", base.toString().toUtf8()); }
    ~SiteAt() { qunsetenv("ZUBIRA_SITE_URL"); }
  } site;
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  FakePreview preview;
  std::unique_ptr<PseudoRandomSource> random;
  std::unique_ptr<TForm1> w;

 private:
  uint32_t seed_;
};

}  // namespace zubira::testing
