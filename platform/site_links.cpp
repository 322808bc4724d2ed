#include "platform/site_links.h"

#include "platform/dialogs.h"

#ifndef ZUBIRA_SITE_URL
#define ZUBIRA_SITE_URL "http://www.zubira.example/"
#endif

namespace zubira {

QUrl siteBaseUrl() {
  QString base = qEnvironmentVariable("ZUBIRA_SITE_URL");
  if (base.isEmpty()) base = QStringLiteral(ZUBIRA_SITE_URL);
  if (!base.endsWith(u'/')) base += u'/';
  return QUrl(base);
}

SiteLinks siteLinks() {
  const QUrl base = siteBaseUrl();
  auto at = [&](const char* path) { return base.resolved(QUrl(QString::fromLatin1(path))); };
  return SiteLinks{at("bunsu/probe.txt"), at("bunsu/promotion.html"), base,
                   at("bunsu/help/index.html"), at("bunsu/help/random.html")};
}

QString openLinkFailedMessage() {
  return QStringLiteral("エラー：繰り返し発生する場合作者へご連絡下さい");
}

bool openHelpLink(QWidget* parent, const QUrl& url) {
  if (dialogs().openUrl(url)) return true;
  dialogs().message(parent, QString(), openLinkFailedMessage(), MessageIcon::Error);
  return false;
}

}  // namespace zubira
