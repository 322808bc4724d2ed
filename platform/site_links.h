#pragma once
// The maker's web site: the five addresses the program uses, all below one base address. The base
// is fixed when the program is built and can be replaced at run time by $ZUBIRA_SITE_URL (tests
// point it at a local server).

#include <QString>
#include <QUrl>

class QWidget;

namespace zubira {

struct SiteLinks {
  QUrl probe;           // small text file fetched once at start-up
  QUrl promotion;       // page shown in the main window's web area
  QUrl home;            // opened by a click on the status bar
  QUrl help;            // help page of the program
  QUrl randomHelp;      // help page of the random-distribution dialog
};

QUrl siteBaseUrl();
SiteLinks siteLinks();

// The message shown when the browser could not be started for a help link.
QString openLinkFailedMessage();

// Opens `url` in the user's browser through the dialog seam; when that fails, says so in a
// message box owned by `parent`. Returns whether the address was opened.
bool openHelpLink(QWidget* parent, const QUrl& url);

}  // namespace zubira
