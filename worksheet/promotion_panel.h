#pragma once
// The web area of the main window: after a successful start-up probe a web view showing the
// promotion page (`WebBrowser1`), otherwise a red notice asking to work online (`PnlError`) in
// its place. The web view is made only when the probe succeeded, so an offline start costs
// nothing for it. Where no web view can be made (Qt WebEngine is not installed) the same panel
// says so instead.

#include "platform/site_links.h"
#include "worksheet/startup_probe.h"

#include <QWidget>
#include <functional>

class QLabel;

namespace zubira {

class PromotionPanel : public QWidget {
  Q_OBJECT
 public:
  // Makes the widget that shows `page`, a child of `parent`; null when it cannot.
  using ViewFactory = std::function<QWidget*(QWidget* parent, const QUrl& page)>;

  explicit PromotionPanel(QWidget* parent = nullptr, ViewFactory factory = {});

  // Probes the site; on success the web view loads the promotion page, on any failure the
  // notice is shown. Returns whether the probe succeeded.
  bool probeAndShow(const SiteLinks& links, int timeoutMs = kProbeTimeoutMs);

  QLabel* PnlError() const { return error_; }
  QWidget* WebBrowser1() const { return browser_; }
  QWidget* webView() const { return view_; }  // null until the probe succeeded

  static QString noticeText();
  // The notice shown when no web view could be made.
  static QString unavailableText();

 private:
  ViewFactory factory_;
  QWidget* browser_;
  QLabel* error_;
  QWidget* view_ = nullptr;
};

// The web view of the plugin zubira-webview.so, loaded the first time a view is made; a factory
// that makes none (and says why on stderr) when the plugin or Qt WebEngine is missing.
PromotionPanel::ViewFactory defaultViewFactory();

}  // namespace zubira
