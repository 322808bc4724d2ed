#include "platform/ini_file.h"

#include "platform/real_format.h"
#include "platform/save_file.h"
#include "platform/sjis_text.h"

#include <QCoreApplication>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

namespace zubira {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

// Views rather than copies: every lookup goes through all lines up to its key, and a settings
// file may be large.
QStringView trimmedView(QStringView s) {
  qsizetype b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return s.mid(b, e - b);
}

QString trimBlanks(const QString& s) { return trimmedView(s).toString(); }

// The section named by a "[name]" line, or nothing when the line is no section header.
std::optional<QStringView> sectionName(QStringView line) {
  const QStringView t = trimmedView(line);
  if (!t.startsWith(u'[')) return std::nullopt;
  const qsizetype close = t.indexOf(u']');
  if (close < 0) return std::nullopt;
  return trimmedView(t.mid(1, close - 1));
}

bool isComment(QStringView trimmed) {
  return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

bool sameName(QStringView a, QStringView b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquote(const QString& v) {
  if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"')) return v.mid(1, v.size() - 2);
  return v;
}

QString encodeValue(QString v) {
  v.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  v.replace(u'\r', u' ');
  v.replace(u'\n', u' ');
  bool edgeBlank = !v.isEmpty() && (isBlank(v.front()) || isBlank(v.back()));
  bool quoted = v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"');
  if (edgeBlank || quoted) return u'"' + v + u'"';
  return v;
}

std::optional<int> parseInteger(const QString& text) {
  QString t = trimBlanks(text);
  bool negative = false;
  if (t.startsWith(u'-') || t.startsWith(u'+')) {
    negative = t.startsWith(u'-');
    t = t.mid(1);
  }
  int base = 10;
  if (t.startsWith(u'$')) {
    base = 16;
    t = t.mid(1);
  } else if (t.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) {
    base = 16;
    t = t.mid(2);
  }
  if (t.isEmpty()) return std::nullopt;
  for (QChar c : t) {
    bool digit = c.isDigit() && c.unicode() < 128;
    bool hex = base == 16 && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'));
    if (!digit && !hex) return std::nullopt;
  }
  bool ok = false;
  qlonglong v = t.toLongLong(&ok, base);
  if (!ok) return std::nullopt;
  if (negative) v = -v;
  // Hexadecimal texts name bit patterns (colours written as $00FF00FF and the like).
  if (base == 16 && !negative && v <= 0xFFFFFFFFLL) return static_cast<int>(static_cast<quint32>(v));
  if (v < INT_MIN || v > INT_MAX) return std::nullopt;
  return static_cast<int>(v);
}

}  // namespace

IniFile::IniFile(const QString& path) : path_(path) {
  QFile file(path);
  if (!file.exists()) return;
  if (!file.open(QIODevice::ReadOnly)) {
    readOk_ = false;
    error_ = readError_ = file.errorString();
    return;
  }
  if (file.size() > kMaxFileBytes) {
    readOk_ = false;
    error_ = readError_ = QStringLiteral("too large for a settings file");
    return;
  }
  QByteArray bytes = file.readAll();
  // Byte-order marks, however many, are no part of the text; save() writes one back.
  while (bytes.startsWith(kUtf8Bom)) {
    bytes.remove(0, 3);
    byteOrderMark_ = true;
  }
  QString text = isValidUtf8(bytes) ? QString::fromUtf8(bytes) : decodeCp932(bytes);
  if (text.contains(QStringLiteral("\r\n"))) eol_ = QStringLiteral("\r\n");
  lines_ = splitTextLines(text);
}

IniFile::Found IniFile::find(const QString& section, const QString& key) const {
  Found f;
  const int n = int(lines_.size());
  int i = 0;
  for (; i < n; ++i) {
    const std::optional<QStringView> name = sectionName(lines_[i]);
    if (name && sameName(*name, section)) break;
  }
  if (i == n) return f;
  f.sectionLine = i;
  int lastContent = i;
  for (int j = i + 1; j < n; ++j) {
    const QStringView line = lines_[j];
    if (sectionName(line)) break;
    const QStringView t = trimmedView(line);
    if (t.isEmpty()) continue;
    lastContent = j;
    if (isComment(t) || key.isNull()) continue;
    qsizetype eq = line.indexOf(u'=');
    if (eq < 0) continue;
    if (f.keyLine < 0 && sameName(trimmedView(line.left(eq)), key)) f.keyLine = j;
  }
  f.insertAt = lastContent + 1;
  return f;
}

bool IniFile::rawValue(const QString& section, const QString& key, QString* value) const {
  Found f = find(section, key);
  if (f.keyLine < 0) return false;
  const QString& line = lines_[f.keyLine];
  *value = unquote(trimBlanks(line.mid(line.indexOf(u'=') + 1)));
  return true;
}

bool IniFile::hasSection(const QString& section) const {
  return find(section, QString()).sectionLine >= 0;
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
  return find(section, key).keyLine >= 0;
}

std::vector<IniFile::Section> IniFile::outline() const {
  std::vector<Section> out;
  for (const QString& line : lines_) {
    if (const std::optional<QStringView> name = sectionName(line)) {
      out.push_back({name->toString(), true, {}, {}});
      continue;
    }
    const QStringView t = trimmedView(line);
    if (t.isEmpty() || isComment(t)) continue;
    if (out.empty()) out.push_back({QString(), false, {}, {}});
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0) out.back().otherLines << t.toString();
    else out.back().keys << trimmedView(t.left(eq)).toString();
  }
  return out;
}

void IniFile::clear() {
  if (lines_.isEmpty()) return;
  lines_.clear();
  modified_ = true;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
  QString v;
  return rawValue(section, key, &v) ? v : def;
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
  QString v;
  if (!rawValue(section, key, &v)) return def;
  return parseInteger(v).value_or(def);
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
  return readInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::readReal(const QString& section, const QString& key, double def) const {
  QString v;
  if (!rawValue(section, key, &v)) return def;
  return parseReal(v).value_or(def);
}

TColor IniFile::readColor(const QString& section, const QString& key, TColor def) const {
  return readInteger(section, key, def);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
  const QString encoded = encodeValue(value);
  Found f = find(section, key);
  if (f.keyLine >= 0) {
    QString& line = lines_[f.keyLine];
    qsizetype valueStart = line.indexOf(u'=') + 1;
    while (valueStart < line.size() && isBlank(line[valueStart])) ++valueStart;
    QString updated = line.left(valueStart) + encoded;
    if (updated != line) {
      line = updated;
      modified_ = true;
    }
    return;
  }
  const QString keyLine = key + u'=' + encoded;
  if (f.sectionLine >= 0) {
    lines_.insert(f.insertAt, keyLine);
  } else {
    if (!lines_.isEmpty() && !trimBlanks(lines_.constLast()).isEmpty()) lines_.append(QString());
    lines_.append(u'[' + section + u']');
    lines_.append(keyLine);
  }
  modified_ = true;
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
  writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
  writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::writeReal(const QString& section, const QString& key, double value) {
  writeString(section, key, formatReal(value));
}

void IniFile::writeColor(const QString& section, const QString& key, TColor value) {
  writeInteger(section, key, value);
}

QString IniFile::text() const {
  QString out;
  for (const QString& line : lines_) out += line + eol_;
  return out;
}

bool IniFile::save() {
  // Replacing a file that could not be read would throw away every line of it.
  if (!readOk_) {
    error_ = QStringLiteral("%1: not replaced, it could not be read (%2)").arg(path_, readError_);
    return false;
  }
  QString why;
  QByteArray bytes = text().toUtf8();
  if (byteOrderMark_) bytes.prepend(kUtf8Bom);
  if (!saveWholeFile(path_, bytes, &why)) {
    error_ = QStringLiteral("%1: %2").arg(path_, why);
    return false;
  }
  error_.clear();
  modified_ = false;
  return true;
}

QString desktopEntryFileName() { return QStringLiteral(ZUBIRA_APP_ID ".desktop"); }

QString settingsPathFor(const QString& executablePath, const QString& configFolder) {
  const QFileInfo exe(executablePath);
  const QString name = exe.completeBaseName() + QStringLiteral(".ini");
  const QString folder = exe.absolutePath();
  const QString beside = folder + u'/' + name;
  if (configFolder.isEmpty()) return beside;
  const QString inConfig = configFolder + QStringLiteral("/zubira/") + name;
  // The prefix is the folder above bin as written, not where a symbolic link would lead.
  const bool installed =
      exe.absoluteDir().dirName() == QLatin1String("bin") &&
      QFileInfo(QDir::cleanPath(folder + QStringLiteral("/../share/applications/") + desktopEntryFileName()))
          .isFile();
  if (installed) return inConfig;
  return QFileInfo(folder).isWritable() ? beside : inConfig;
}

QString programPathFor(const QString& executablePath) {
  const QFileInfo exe(executablePath);
  const QDir dir = exe.absoluteDir();
  if (exe.fileName() != QLatin1String("zubira-desktop")) return exe.absoluteFilePath();
  const QString parent = QFileInfo(dir.absolutePath()).absolutePath();
  if (dir.dirName() == QLatin1String("zubira") && QFileInfo(parent).fileName() == QLatin1String("libexec"))
    return QDir::cleanPath(parent + QStringLiteral("/../bin/zubira"));
  return dir.absoluteFilePath(QStringLiteral("zubira"));
}

QString defaultSettingsPath() {
  QString fromEnv = qEnvironmentVariable("ZUBIRA_SETTINGS");
  if (!fromEnv.isEmpty()) return fromEnv;
  const QString path =
      settingsPathFor(programPathFor(QCoreApplication::applicationFilePath()),
                      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
  // A new account has no "zubira" folder yet; saving the file does not create it.
  QDir().mkpath(QFileInfo(path).absolutePath());
  return path;
}

}  // namespace zubira
