#include "platform/hints.h"
#include "platform/site_links.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/worksheet/local_http_server.h"
#include "worksheet/about_box.h"
#include "worksheet/promotion_panel.h"

#include <QElapsedTimer>
#include <QLabel>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::LocalHttpServer;

// Points the site at `base` for the test's duration.
class SiteAt {
 public:
  explicit SiteAt(const QUrl& base) { qputenv("ZUBIRA_SITE_URL", base.toString().toUtf8()); }
  ~SiteAt() { qunsetenv("ZUBIRA_SITE_URL"); }
};

TEST(SiteLinks, AllFiveAddressesHangOffTheBase) {
  SiteAt site(QUrl(QStringLiteral("http://127.0.0.1:9/base")));
  SiteLinks links = siteLinks();
  for (const QUrl& u : {links.probe, links.promotion, links.home, links.help, links.randomHelp})
    EXPECT_TRUE(u.toString().startsWith(QStringLiteral("http://127.0.0.1:9/base/")))
        << u.toString().toStdString();
  EXPECT_NE(links.help, links.randomHelp);
  EXPECT_NE(links.probe, links.promotion);
}

TEST(StartupProbe, OutcomeForEachKindOfServer) {
  struct Case {
    const char* name;
    LocalHttpServer::Mode mode;
    bool reachable;
  } cases[] = {
      {"200 with a body", LocalHttpServer::Mode::Ok, true},
      {"200 with an empty body", LocalHttpServer::Mode::Empty, true},
      {"404", LocalHttpServer::Mode::NotFound, false},
  };
  for (const Case& c : cases) {
    LocalHttpServer server(c.mode);
    SiteAt site(server.base());
    ProbeResult r = runStartupProbe(siteLinks().probe, 5000);
    EXPECT_EQ(r.reachable, c.reachable) << c.name << ": " << r.error.toStdString();
    EXPECT_EQ(server.paths(), QStringList{siteLinks().probe.path()}) << c.name;
  }
}

TEST(StartupProbe, RefusedConnectionFailsAtOnce) {
  SiteAt site(LocalHttpServer::refusedBase());
  QElapsedTimer t;
  t.start();
  ProbeResult r = runStartupProbe(siteLinks().probe, 5000);
  EXPECT_FALSE(r.reachable);
  EXPECT_FALSE(r.error.isEmpty());
  EXPECT_LT(t.elapsed(), 4000) << "no waiting for the time-out";
}

TEST(StartupProbe, SilentServerEndsAtTheTimeOut) {
  LocalHttpServer server(LocalHttpServer::Mode::Silent);
  SiteAt site(server.base());
  QElapsedTimer t;
  t.start();
  ProbeResult r = runStartupProbe(siteLinks().probe, 300);
  EXPECT_FALSE(r.reachable);
  EXPECT_GE(t.elapsed(), 250);
  EXPECT_LT(t.elapsed(), 10000) << "the probe must not hang";
}

TEST(PromotionPanel, SuccessMakesTheViewOnThePromotionPage) {
  LocalHttpServer server(LocalHttpServer::Mode::Empty);
  SiteAt site(server.base());
  QUrl shown;
  PromotionPanel panel(nullptr, [&](QWidget* parent, const QUrl& page) {
    shown = page;
    return new QLabel(QStringLiteral("view"), parent);
  });
  EXPECT_EQ(panel.webView(), nullptr) << "no view before the probe";
  EXPECT_TRUE(panel.probeAndShow(siteLinks(), 5000));
  ASSERT_NE(panel.webView(), nullptr);
  EXPECT_EQ(shown, siteLinks().promotion);
  EXPECT_FALSE(panel.PnlError()->isVisibleTo(&panel));
  EXPECT_EQ(panel.WebBrowser1()->objectName(), QStringLiteral("WebBrowser1"));
}

TEST(PromotionPanel, FailureShowsTheRedNoticeAndMakesNoView) {
  SiteAt site(LocalHttpServer::refusedBase());
  int made = 0;
  PromotionPanel panel(nullptr, [&](QWidget* parent, const QUrl&) {
    ++made;
    return new QLabel(parent);
  });
  panel.show();
  EXPECT_FALSE(panel.PnlError()->isVisible());
  EXPECT_FALSE(panel.probeAndShow(siteLinks(), 2000));
  EXPECT_TRUE(panel.PnlError()->isVisible());
  EXPECT_EQ(made, 0);
  EXPECT_EQ(panel.PnlError()->objectName(), QStringLiteral("PnlError"));
  EXPECT_FALSE(panel.PnlError()->text().isEmpty()) << "the notice asks something of the user";
  EXPECT_TRUE(panel.PnlError()->font().bold());
  EXPECT_EQ(panel.PnlError()->palette().color(QPalette::WindowText), QColor(Qt::red));
}

TEST(HelpLinks, FailureToOpenShowsTheMessage) {
  testing::ScriptedDialogs dlg;
  dlg.answerOpenUrl(false).answerOpenUrl(true);
  EXPECT_FALSE(openHelpLink(nullptr, siteLinks().help));
  EXPECT_TRUE(openHelpLink(nullptr, siteLinks().home));
  EXPECT_EQ(dlg.messages(), QStringList{QStringLiteral("エラー：繰り返し発生する場合作者へご連絡下さい")});
  ASSERT_EQ(dlg.shown().size(), 3u);
  EXPECT_EQ(dlg.shown()[0].text, siteLinks().help.toString());
}

TEST(Hints, ShortPartIsTheTooltipLongPartTheStatusText) {
  struct Case {
    const char* hint;
    const char* shortPart;
    const char* longPart;
  } cases[] = {
      {"ヒント表示部|Zubiraのホームページ", "ヒント表示部", "Zubiraのホームページ"},
      {"最小(1000以下)", "最小(1000以下)", "最小(1000以下)"},
      {"a|b|c", "a", "b|c"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    QWidget w;
    setHint(&w, QString::fromUtf8(c.hint));
    EXPECT_EQ(w.toolTip(), QString::fromUtf8(c.shortPart));
    EXPECT_EQ(w.statusTip(), QString::fromUtf8(c.longPart));
  }
}

TEST(TAboutBox, ShowsNameAndVersion) {
  TAboutBox box;
  EXPECT_EQ(box.windowTitle(), QStringLiteral("バージョン情報"));
  EXPECT_EQ(box.Version->text(), QStringLiteral("Version 1.6"));
  box.ProductName->setText(QStringLiteral("Zubira　分数の加減乗除篇"));
  auto* ok = box.findChild<QWidget*>(QStringLiteral("OKButton"));
  ASSERT_NE(ok, nullptr);
  box.show();
  QMetaObject::invokeMethod(ok, "click");
  EXPECT_EQ(box.result(), QDialog::Accepted);
  EXPECT_FALSE(box.isVisible());
}

}  // namespace
}  // namespace zubira
