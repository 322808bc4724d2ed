#pragma once
// The web view of the promotion panel lives in a plugin, zubira-webview.so, the only part of the
// program linked to Qt WebEngine. The desktop program loads it at run time, so that a system
// without Qt WebEngine runs everything else and only the promotion page is unavailable.

#include <QString>
#include <QStringList>
#include <functional>

class QUrl;
class QWidget;

namespace zubira {

// The plugin's one entry point: makes a web view, a child of `parent`, that loads `page`.
using MakeWebViewFunction = QWidget* (*)(QWidget* parent, const QUrl* page);
inline constexpr char kMakeWebViewSymbol[] = "zubira_make_web_view";

// Where the plugin is looked for, first match wins: beside the program (a build tree), then in
// the installation's plugin folder relative to the program's folder.
QStringList webViewPluginCandidates(const QString& programDir);

struct WebViewPlugin {
  MakeWebViewFunction make = nullptr;  // null when the plugin could not be loaded
  QString error;                       // why, in the loader's words
};

// Loads the plugin at `path` (once per path and process) and resolves its entry point.
WebViewPlugin loadWebViewPlugin(const QString& path);

// The first of `candidates` that loads; the errors of all when none does.
WebViewPlugin loadFirstWebViewPlugin(const QStringList& candidates);

}  // namespace zubira
