#include "worksheet/web_view_plugin.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>

namespace zubira {

QStringList webViewPluginCandidates(const QString& programDir) {
  const QDir dir(programDir);
  return {dir.filePath(QStringLiteral("zubira-webview.so")),
          QDir::cleanPath(dir.filePath(QStringLiteral(ZUBIRA_PLUGIN_FROM_PROGRAM "/zubira-webview.so")))};
}

WebViewPlugin loadWebViewPlugin(const QString& path) {
  // A library is loaded for good: Qt WebEngine cannot be unloaded once it has started.
  static QHash<QString, WebViewPlugin> loaded;
  if (auto known = loaded.constFind(path); known != loaded.constEnd()) return *known;
  WebViewPlugin plugin;
  if (!QFileInfo(path).isFile()) {
    plugin.error = QStringLiteral("%1: no such file").arg(path);
    return plugin;
  }
  // Kept for the whole run, and never destroyed, since the library stays loaded.
  static auto* libraries = new QList<QLibrary*>;
  auto* library = new QLibrary(path);
  library->setLoadHints(QLibrary::PreventUnloadHint);
  if (!library->load()) {
    plugin.error = library->errorString();
    delete library;
    library = nullptr;
  } else if (auto make = reinterpret_cast<MakeWebViewFunction>(library->resolve(kMakeWebViewSymbol))) {
    plugin.make = make;
  } else {
    plugin.error = library->errorString();
  }
  if (library) libraries->append(library);
  loaded.insert(path, plugin);
  return plugin;
}

WebViewPlugin loadFirstWebViewPlugin(const QStringList& candidates) {
  QStringList errors;
  for (const QString& path : candidates) {
    WebViewPlugin plugin = loadWebViewPlugin(path);
    if (plugin.make) return plugin;
    errors << plugin.error;
  }
  WebViewPlugin none;
  none.error = errors.join(u'\n');
  return none;
}

}  // namespace zubira
