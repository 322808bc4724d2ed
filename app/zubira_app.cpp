#include "app/zubira_app.h"

#include "drawing/printer_access.h"
#include "generation/rnd_d_dialog.h"
#include "platform/dialogs.h"
#include "platform/ini_file.h"
#include "preview/list_dialog.h"
#include "preview/page_str_dialog.h"
#include "preview/preview_window.h"
#include "worksheet/about_box.h"
#include "worksheet/main_window.h"
#include "worksheet/preview_host.h"
#include "worksheet/style_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

namespace zubira {

// The preview window as the main window uses it.
class PreviewAdapter final : public PreviewHost {
 public:
  PreviewAdapter(TFrmPrev& prev, TFrmPageStr& dialog) : prev_(prev), dialog_(dialog) {}
  PageModel& model() override { return prev_.model(); }
  bool isPreviewVisible() const override { return prev_.isVisible(); }
  void showPreview() override { prev_.show(); }
  void refreshProgram() override { prev_.PrevUpDateProgram(); }
  void repaintPreview() override { prev_.update(); }
  void showStatus(const QString& text) override { prev_.showStatusText(text); }
  void setSheetPages(int count, std::function<void(int)> compose) override {
    prev_.setSheetPages(count, std::move(compose));
  }
  void SetPrinter() override { prev_.SetPrinter(); }
  QString PrintOut() override { return prev_.PrintOut(); }
  void SetCopyright(const QString& s) override { prev_.SetCopyright(s); }
  void hideEditingMenus() override { prev_.hideEditingMenus(); }
  bool Set_SetOf(PageStringId which) override {
    switch (which) {
      case PageStringId::Header: return prev_.Set_SetOfHeader();
      case PageStringId::Footer: return prev_.Set_SetOfFooter();
      case PageStringId::PageTitle: return prev_.Set_SetOfPageTitle();
      case PageStringId::SubTitle: return prev_.Set_SetOfSubTitle();
    }
    return false;
  }
  bool editPageString(TPageStr& ps, const QString& caption) override {
    return runPageStrDialog(dialog_, ps, caption, nullptr);
  }

 private:
  TFrmPrev& prev_;
  TFrmPageStr& dialog_;
};

namespace {

// Ends the event loop when the main window closes, whatever other window is still open. The
// loop is left with exit(), not quit(): quitting asks every window to close first, which would
// put the preview's own close question to a user who is ending the program.
class QuitOnClose : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close && event->isAccepted()) QCoreApplication::exit(0);
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

ZubiraApp::ZubiraApp() : ZubiraApp(Options()) {}

ZubiraApp::ZubiraApp(Options options)
    : settingsPath_(options.settingsPath.isEmpty() ? defaultSettingsPath() : options.settingsPath) {
  form1_ = std::make_unique<TForm1>(settingsPath_, options.random);
  order_ << form1_->objectName();
  rndD_ = std::make_unique<TFrmRndD>(form1_.get());
  order_ << QStringLiteral("FrmRndD");
  prev_ = std::make_unique<TFrmPrev>(form1_.get(), settingsPath_, std::move(options.printer), options.screenDpi);
  order_ << QStringLiteral("FrmPrev");
  pageStr_ = std::make_unique<TFrmPageStr>(form1_.get());
  order_ << QStringLiteral("FrmPageStr");
  list_ = std::make_unique<TFrmList>(form1_.get());
  order_ << QStringLiteral("FrmList");
  style_ = std::make_unique<TFrmStyle>(form1_.get());
  order_ << QStringLiteral("FrmStyle");
  about_ = std::make_unique<TAboutBox>(form1_.get());
  order_ << QStringLiteral("AboutBox");

  adapter_ = std::make_unique<PreviewAdapter>(*prev_, *pageStr_);
  form1_->setPreview(adapter_.get());
  form1_->setRndDialog(rndD_.get());
  form1_->setStyleDialog(style_.get());
  form1_->setAboutBox(about_.get());
  prev_->setPageStrDialog(pageStr_.get());
  prev_->setListDialog(list_.get());
}

ZubiraApp::~ZubiraApp() { shutDown(); }

int ZubiraApp::run() {
  QuitOnClose quit;
  form1_->installEventFilter(&quit);
  form1_->show();
  // For timing the start-up: end as soon as the main window has been shown.
  if (qEnvironmentVariableIsSet("ZUBIRA_QUIT_WHEN_SHOWN")) QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
  const int rc = QApplication::exec();
  const QStringList errors = shutDown();
  if (!errors.isEmpty())
    dialogs().message(nullptr, messageCaption(), settingsNotWrittenMessage(errors), MessageIcon::Error);
  return rc;
}

QStringList ZubiraApp::shutDown() {
  if (shutDown_) return {};
  shutDown_ = true;
  QStringList errors;
  // Hiding the main window writes the main settings (when it was ever shown and read them).
  if (form1_->wasShown()) {
    form1_->hide();
    if (const QString e = form1_->FormHide(); !e.isEmpty()) errors << e;
  }
  prev_->hide();
  // Destruction: the date line, then the preview's settings and page strings.
  if (const QString e = form1_->FormDestroy(); !e.isEmpty()) errors << e;
  about_.reset();
  style_.reset();
  list_.reset();
  pageStr_.reset();
  form1_->setPreview(nullptr);
  adapter_.reset();
  prev_.reset();
  rndD_.reset();
  form1_.reset();
  errors.removeDuplicates();
  return errors;
}

QString ZubiraApp::settingsNotWrittenMessage(const QStringList& errors) {
  return QStringLiteral("設定を保存できませんでした。\n") + errors.join(u'\n');
}

}  // namespace zubira
