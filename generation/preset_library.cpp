#include "generation/preset_library.h"

#include "platform/ini_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifndef ZUBIRA_PRESETS_FROM_PROGRAM
#define ZUBIRA_PRESETS_FROM_PROGRAM "../share/zubira/presets"
#endif

namespace zubira {

QStringList BuiltInPresetCandidates(const QString& programDir) {
  const QDir dir(programDir);
  return {dir.filePath(QStringLiteral("data/presets")),
          QDir::cleanPath(dir.filePath(QStringLiteral(ZUBIRA_PRESETS_FROM_PROGRAM)))};
}

QString BuiltInPresetFolder() {
  const QString fromEnv = qEnvironmentVariable("ZUBIRA_PRESETS");
  if (!fromEnv.isEmpty()) return fromEnv;
  const QString program = programPathFor(QCoreApplication::applicationFilePath());
  const QStringList candidates = BuiltInPresetCandidates(QFileInfo(program).absolutePath());
  for (const QString& c : candidates)
    if (QFileInfo(c).isDir()) return c;
  return candidates.constLast();
}

QString UserPresetFolder(const QString& settingsPath) {
  return QFileInfo(settingsPath).absoluteDir().filePath(QStringLiteral("presets"));
}

QString PresetOrderFileName() { return QStringLiteral("order.list"); }

const Preset* PresetLibrary::find(const QString& id) const {
  for (const std::vector<Preset>* list : {&builtIn, &user})
    for (const Preset& p : *list)
      if (p.id == id) return &p;
  return nullptr;
}

namespace {

std::vector<Preset> readFolder(const QString& folder, QStringList* refused) {
  std::vector<Preset> presets;
  if (folder.isEmpty()) return presets;
  const QDir dir(folder);
  const QFileInfoList files =
      dir.entryInfoList({QStringLiteral("*.") + PresetSuffix()}, QDir::Files | QDir::Readable, QDir::Name);
  for (const QFileInfo& f : files) {
    PresetLoad load = LoadPreset(f.absoluteFilePath());
    if (load.preset) presets.push_back(std::move(*load.preset));
    else refused->append(load.message);
  }
  return presets;
}

// The ids of the order file, one a line; blank lines and lines after "#" are no ids.
QStringList orderOf(const QString& folder) {
  QFile f(QDir(folder).filePath(PresetOrderFileName()));
  QStringList ids;
  if (folder.isEmpty() || !f.open(QIODevice::ReadOnly)) return ids;
  for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n')) {
    const QString id = line.section(u'#', 0, 0).trimmed();
    if (!id.isEmpty()) ids << id;
  }
  return ids;
}

}  // namespace

PresetLibrary LoadPresetLibrary(const QString& builtInFolder, const QString& userFolder) {
  PresetLibrary lib;
  lib.builtIn = readFolder(builtInFolder, &lib.refused);
  const QStringList order = orderOf(builtInFolder);
  const auto rank = [&order](const Preset& p) {
    const qsizetype i = order.indexOf(p.id);
    return i < 0 ? order.size() : i;
  };
  std::stable_sort(lib.builtIn.begin(), lib.builtIn.end(),
                   [&](const Preset& a, const Preset& b) { return rank(a) < rank(b); });
  const QString builtInPath = QFileInfo(builtInFolder).canonicalFilePath();
  if (builtInPath.isEmpty() || QFileInfo(userFolder).canonicalFilePath() != builtInPath)
    lib.user = readFolder(userFolder, &lib.refused);
  std::stable_sort(lib.user.begin(), lib.user.end(), [](const Preset& a, const Preset& b) {
    return QString::localeAwareCompare(PresetLabel(a), PresetLabel(b)) < 0;
  });
  return lib;
}

PresetLoad ResolvePreset(const PresetLibrary& library, const QString& idOrFile) {
  if (QFileInfo(idOrFile).isFile()) return LoadPreset(idOrFile);
  PresetLoad result;
  if (const Preset* p = library.find(idOrFile)) {
    result.preset = *p;
    return result;
  }
  result.message = QStringLiteral("プリセット「%1」はありません").arg(idOrFile);
  return result;
}

QStringList PresetGrades(const std::vector<Preset>& presets) {
  QStringList grades;
  for (const Preset& p : presets)
    if (!p.grade.isEmpty() && !grades.contains(p.grade)) grades << p.grade;
  return grades;
}

QString PresetFileNameFor(const QString& name) {
  QString base = name.trimmed();
  for (QChar& c : base)
    if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' ||
        c == u'>' || c == u'|' || c.category() == QChar::Other_Control)
      c = u'_';
  for (qsizetype i = 0; i < base.size() && base[i] == u'.'; ++i) base[i] = u'_';
  if (base.isEmpty()) base = QStringLiteral("_");
  return base + u'.' + PresetSuffix();
}

}  // namespace zubira
