#include "tests/worksheet/local_http_server.h"
#include "worksheet/promotion_panel.h"
#include "worksheet/web_view_plugin.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::LocalHttpServer;

class SiteAt {
 public:
  explicit SiteAt(const QUrl& base) { qputenv("ZUBIRA_SITE_URL", base.toString().toUtf8()); }
  ~SiteAt() { qunsetenv("ZUBIRA_SITE_URL"); }
};

TEST(WebViewPlugin, LookedForBesideTheProgramThenInTheInstalledPluginFolder) {
  EXPECT_EQ(webViewPluginCandidates(QStringLiteral("/opt/zubira/libexec/zubira")),
            QStringList({QStringLiteral("/opt/zubira/libexec/zubira/zubira-webview.so"),
                         QStringLiteral("/opt/zubira/lib/zubira/zubira-webview.so")}));
  EXPECT_EQ(webViewPluginCandidates(QStringLiteral("/home/u/zubira/build")).value(0),
            QStringLiteral("/home/u/zubira/build/zubira-webview.so"));
}

TEST(WebViewPlugin, WhatCannotBeLoadedGivesNoViewAndSaysWhy) {
  QTemporaryDir dir;
  const QString text = dir.filePath(QStringLiteral("text.so"));
  QFile f(text);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("not a library\n");
  f.close();
  const QString missing = dir.filePath(QStringLiteral("missing.so"));
  const QString folder = dir.path();
  for (const QString& path : {missing, text, folder}) {
    const WebViewPlugin plugin = loadWebViewPlugin(path);
    EXPECT_EQ(plugin.make, nullptr) << path.toStdString();
    EXPECT_FALSE(plugin.error.isEmpty()) << path.toStdString();
  }
  const WebViewPlugin none = loadFirstWebViewPlugin({missing, text});
  EXPECT_EQ(none.make, nullptr);
  EXPECT_TRUE(none.error.contains(missing)) << none.error.toStdString();
  EXPECT_EQ(none.error.count(u'\n'), 1) << "one line per place looked at";
}

#ifdef ZUBIRA_WEBVIEW_PLUGIN
TEST(WebViewPlugin, TheBuiltPluginLoadsWithQtWebEngineAndHasItsEntryPoint) {
  const QString built = QStringLiteral(ZUBIRA_WEBVIEW_PLUGIN);
  const WebViewPlugin plugin = loadFirstWebViewPlugin({QStringLiteral("/nonexistent/zubira-webview.so"), built});
  EXPECT_NE(plugin.make, nullptr) << plugin.error.toStdString();
  EXPECT_EQ(loadWebViewPlugin(built).make, plugin.make) << "loaded once";
}
#endif

TEST(PromotionPanel, WithoutAWebViewTheNoticeSaysItIsUnavailable) {
  LocalHttpServer server(LocalHttpServer::Mode::Empty);
  SiteAt site(server.base());
  int asked = 0;
  PromotionPanel panel(nullptr, [&](QWidget*, const QUrl&) -> QWidget* {
    ++asked;
    return nullptr;
  });
  panel.show();
  EXPECT_TRUE(panel.probeAndShow(siteLinks(), 5000)) << "the site was reached";
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(panel.webView(), nullptr);
  EXPECT_TRUE(panel.PnlError()->isVisible());
  EXPECT_EQ(panel.PnlError()->text(), PromotionPanel::unavailableText());
  EXPECT_NE(PromotionPanel::unavailableText(), PromotionPanel::noticeText());
}

TEST(PromotionPanel, TheDefaultViewIsNoneWhereThePluginIsNotBesideTheProgram) {
  // The test program's folder holds no plugin: the default factory makes no view, and the panel
  // is made all the same.
  QWidget parent;
  EXPECT_EQ(defaultViewFactory()(&parent, QUrl(QStringLiteral("http://127.0.0.1:9/"))), nullptr);
  PromotionPanel panel;
  EXPECT_FALSE(panel.PnlError()->isVisibleTo(&panel));
}

}  // namespace
}  // namespace zubira
