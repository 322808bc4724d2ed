#include "worksheet/promotion_panel.h"

#include "worksheet/web_view_plugin.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cstdio>

namespace zubira {

QString PromotionPanel::noticeText() {
  return QStringLiteral("インターネットに接続してご利用下さい");
}

QString PromotionPanel::unavailableText() {
  return QStringLiteral("ページを表示する部品（Qt WebEngine）がインストールされていません");
}

PromotionPanel::PromotionPanel(QWidget* parent, ViewFactory factory)
    : QWidget(parent), factory_(factory ? std::move(factory) : defaultViewFactory()) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  browser_ = new QWidget(this);
  browser_->setObjectName(QStringLiteral("WebBrowser1"));
  auto* browserLayout = new QVBoxLayout(browser_);
  browserLayout->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(browser_, 0, 0);

  error_ = new QLabel(noticeText(), this);
  error_->setObjectName(QStringLiteral("PnlError"));
  error_->setAlignment(Qt::AlignCenter);
  error_->setWordWrap(true);
  error_->setFrameShape(QFrame::Panel);
  error_->setFrameShadow(QFrame::Raised);
  QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
  f.setPixelSize(12);
  f.setBold(true);
  error_->setFont(f);
  QPalette pal = error_->palette();
  pal.setColor(QPalette::WindowText, Qt::red);
  error_->setPalette(pal);
  error_->hide();
  grid->addWidget(error_, 0, 0);
}

bool PromotionPanel::probeAndShow(const SiteLinks& links, int timeoutMs) {
  ProbeResult probe = runStartupProbe(links.probe, timeoutMs);
  if (!probe.reachable) {
    error_->show();
    error_->raise();
    return false;
  }
  if (!view_) {
    view_ = factory_(browser_, links.promotion);
    if (!view_) {
      error_->setText(unavailableText());
      error_->setToolTip(QStringLiteral("sudo apt install libqt6webenginewidgets6"));
      error_->show();
      error_->raise();
      return true;
    }
    browser_->layout()->addWidget(view_);
  }
  error_->hide();
  return true;
}

PromotionPanel::ViewFactory defaultViewFactory() {
  return [](QWidget* parent, const QUrl& page) -> QWidget* {
    const WebViewPlugin plugin =
        loadFirstWebViewPlugin(webViewPluginCandidates(QCoreApplication::applicationDirPath()));
    if (!plugin.make) {
      std::fprintf(stderr, "zubira: no web view for the promotion page:\n%s\n", qPrintable(plugin.error));
      return nullptr;
    }
    return plugin.make(parent, &page);
  };
}

}  // namespace zubira
