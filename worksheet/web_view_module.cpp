// zubira-webview.so: the promotion panel's web view on Qt WebEngine, loaded by the desktop
// program when it is installed.
#include "worksheet/web_view_plugin.h"

#include <QUrl>
#include <QWebEngineView>

#include <type_traits>

extern "C" Q_DECL_EXPORT QWidget* zubira_make_web_view(QWidget* parent, const QUrl* page) {
  auto* view = new QWebEngineView(parent);
  view->load(*page);
  return view;
}

// The entry point has the type the loader casts it to.
static_assert(std::is_same_v<decltype(&zubira_make_web_view), zubira::MakeWebViewFunction>);
