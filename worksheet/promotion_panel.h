#pragma once
// The web area of the main window: after a successful start-up probe a web view showing the
// promotion page (`WebBrowser1`), otherwise a red notice asking to work online (`PnlError`) in
// its place. The web view is made only when the probe succeeded, so an offline start costs
// nothing for it.

#include "platform/site_links.h"
#include "worksheet/startup_probe.h"

#include <QWidget>
#include <functional>

class QLabel;

namespace zubira {

class PromotionPanel : public QWidget {
  Q_OBJECT
 public:
  // Makes the widget that shows `page`, a child of `parent`.
  using ViewFactory = std::function<QWidget*(QWidget* parent, const QUrl& page)>;

  explicit PromotionPanel(QWidget* parent = nullptr, ViewFactory factory = {});

  // Probes the site; on success the web view loads the promotion page, on any failure the
  // notice is shown. Returns whether the probe succeeded.
  bool probeAndShow(const SiteLinks& links, int timeoutMs = kProbeTimeoutMs);

  QLabel* PnlError() const { return error_; }
  QWidget* WebBrowser1() const { return browser_; }
  QWidget* webView() const { return view_; }  // null until the probe succeeded

  static QString noticeText();

 private:
  ViewFactory factory_;
  QWidget* browser_;
  QLabel* error_;
  QWidget* view_ = nullptr;
};

// Qt WebEngine when the program was built with it, else a text browser that fetches the page.
PromotionPanel::ViewFactory defaultViewFactory();

}  // namespace zubira
