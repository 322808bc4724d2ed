#include "worksheet/promotion_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextBrowser>
#include <QVBoxLayout>

#ifdef ZUBIRA_WEBENGINE
#include <QWebEngineView>
#endif

namespace zubira {

QString PromotionPanel::noticeText() {
  return QStringLiteral("インターネットに接続してご利用下さい");
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
  error_->hide();
  if (!view_) {
    view_ = factory_(browser_, links.promotion);
    if (view_) browser_->layout()->addWidget(view_);
  }
  return true;
}

PromotionPanel::ViewFactory defaultViewFactory() {
  return [](QWidget* parent, const QUrl& page) -> QWidget* {
#ifdef ZUBIRA_WEBENGINE
    auto* view = new QWebEngineView(parent);
    view->load(page);
    return view;
#else
    auto* view = new QTextBrowser(parent);
    view->setOpenExternalLinks(true);
    auto* net = new QNetworkAccessManager(view);
    QNetworkReply* reply = net->get(QNetworkRequest(page));
    QObject::connect(reply, &QNetworkReply::finished, view, [view, reply] {
      if (reply->error() == QNetworkReply::NoError)
        view->setHtml(QString::fromUtf8(reply->readAll()));
      reply->deleteLater();
    });
    return view;
#endif
  };
}

}  // namespace zubira
