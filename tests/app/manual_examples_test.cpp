// The user's manual and the manual page of the drawing language against the program: every
// command of the language is described and used in an example, and every example is drawn by
// `zubira draw` without a message and with something on the page.
#include "drawing/comma_text.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira {
namespace {

// The command words of the language, as the renderer and the list file reader know them.
const QStringList kCommands = {"TEXTOUT",  "TEXTOUTANGLE", "LINE",     "COLOR",     "FONTCOLOR",
                               "FONTSIZE", "FONTNAME",     "FONTSTYLE", "BRUSHCOLOR", "PENCOLOR",
                               "PENWIDTH", "PENSIZE",      "PENSTYLE", "PICTURE",   "HEADER",
                               "FOOTER",   "PAGETITLE",    "SUBTITLE", "INITPARAM", "INCLUDE"};

QString manualDir() { return QStringLiteral(ZUBIRA_SOURCE_DIR "/doc/manual"); }

QString readText(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

struct Example {
  QString origin;  // page or manual page it comes from
  QString file;    // the name it is saved under
  QString text;
};

QString unescapeHtml(QString s) {
  s.replace(QLatin1String("&lt;"), QLatin1String("<"));
  s.replace(QLatin1String("&gt;"), QLatin1String(">"));
  s.replace(QLatin1String("&quot;"), QLatin1String("\""));
  s.replace(QLatin1String("&amp;"), QLatin1String("&"));
  return s;
}

// The examples of the HTML pages: <pre class="list" data-file="NAME">...</pre>.
std::vector<Example> htmlExamples() {
  std::vector<Example> out;
  const QRegularExpression pre(QStringLiteral("<pre class=\"list\" data-file=\"([^\"]+)\">\\n?(.*?)</pre>"),
                               QRegularExpression::DotMatchesEverythingOption);
  for (const QString& page : QDir(manualDir()).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
    const QString html = readText(manualDir() + u'/' + page);
    for (auto it = pre.globalMatch(html); it.hasNext();) {
      const auto m = it.next();
      out.push_back({page, m.captured(1), unescapeHtml(m.captured(2))});
    }
  }
  return out;
}

// The examples of zubira-list(5): the .EX/.EE blocks, groff's escapes undone.
std::vector<Example> manPageExamples() {
  std::vector<Example> out;
  const QString page = readText(QStringLiteral(ZUBIRA_SOURCE_DIR "/dist/zubira-list.5"));
  const QRegularExpression block(QStringLiteral("^\\.EX\\n(.*?)^\\.EE$"),
                                 QRegularExpression::DotMatchesEverythingOption | QRegularExpression::MultilineOption);
  int n = 0;
  for (auto it = block.globalMatch(page); it.hasNext();) {
    QString text = it.next().captured(1);
    text.replace(QLatin1String("\\-"), QLatin1String("-")).replace(QLatin1String("\\(dq"), QLatin1String("\""));
    out.push_back({QStringLiteral("zubira-list.5"), QStringLiteral("man-%1.txt").arg(++n), text});
  }
  return out;
}

// The command word of each line that has one.
QStringList commandWords(const QString& text) {
  QStringList words;
  for (const QString& line : text.split(u'\n')) {
    if (isBlankLine(line)) continue;
    const QStringList items = splitCommaText(line);
    if (!items.isEmpty()) words << keywordOf(items.first());
  }
  return words;
}

struct Drawn {
  int exitCode = -1;
  QString err;
  QImage page;
};

Drawn draw(const QDir& dir, const QString& file) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(dir.path());
  const QString out = file + QStringLiteral(".png");
  p.start(QStringLiteral(ZUBIRA_BINARY), {QStringLiteral("draw"), file, QStringLiteral("--out"), out});
  Drawn d;
  if (!p.waitForFinished(60000)) {
    p.kill();
    p.waitForFinished();
    return d;
  }
  d.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  d.err = QString::fromUtf8(p.readAllStandardError());
  d.page.load(dir.filePath(out));
  return d;
}

qsizetype inkedPixels(const QImage& image) {
  qsizetype n = 0;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) n += (row[x] & 0xFFFFFF) != 0xFFFFFF;
  }
  return n;
}

TEST(Manual, DescribesEveryCommandOfTheLanguage) {
  const QString list = readText(manualDir() + QStringLiteral("/list.html"));
  ASSERT_FALSE(list.isEmpty());
  for (const QString& word : kCommands) {
    const QRegularExpression heading(QStringLiteral("<h3 id=\"cmd-[a-z]+\">[^<]*\\b%1\\b").arg(word));
    EXPECT_TRUE(heading.match(list).hasMatch()) << word.toStdString() << " has no section in list.html";
    EXPECT_TRUE(list.contains(QStringLiteral(">%1</a></td>").arg(word)) ||
                list.contains(QStringLiteral(">%1</a>、").arg(word)))
        << word.toStdString() << " is not in the table of commands";
  }
}

TEST(Manual, LinksLeadToPagesAndPlacesThatExist) {
  const QDir dir(manualDir());
  const QRegularExpression href(QStringLiteral("href=\"([^\"#]*)(?:#([^\"]*))?\""));
  const QRegularExpression id(QStringLiteral("id=\"([^\"]+)\""));
  const QStringList pages = dir.entryList({QStringLiteral("*.html")}, QDir::Files);
  EXPECT_GE(pages.size(), 8);
  EXPECT_TRUE(pages.contains(QStringLiteral("index.html")));
  for (const QString& page : pages) {
    const QString html = readText(dir.filePath(page));
    EXPECT_TRUE(html.contains(QStringLiteral("<html lang=\"ja\">"))) << page.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">"))) << page.toStdString();
    for (auto it = href.globalMatch(html); it.hasNext();) {
      const auto m = it.next();
      const QString target = m.captured(1).isEmpty() ? page : m.captured(1);
      ASSERT_TRUE(dir.exists(target)) << page.toStdString() << " links to " << target.toStdString();
      if (m.captured(2).isEmpty()) continue;
      QSet<QString> ids;
      const QString targetHtml = readText(dir.filePath(target));
      for (auto i = id.globalMatch(targetHtml); i.hasNext();) ids.insert(i.next().captured(1));
      EXPECT_TRUE(ids.contains(m.captured(2)))
          << page.toStdString() << " links to " << target.toStdString() << "#" << m.captured(2).toStdString();
    }
  }
}

TEST(Manual, EveryExampleIsDrawnByZubiraDraw) {
  std::vector<Example> examples = htmlExamples();
  ASSERT_GE(examples.size(), 8u);
  const std::vector<Example> man = manPageExamples();
  ASSERT_GE(man.size(), 3u);
  examples.insert(examples.end(), man.begin(), man.end());

  // All examples in one folder, as a reader would save them, with the picture they name.
  QTemporaryDir tmp;
  const QDir dir(tmp.path());
  QSet<QString> names;
  for (const Example& e : examples) {
    ASSERT_FALSE(names.contains(e.file)) << e.file.toStdString() << " is the name of two examples";
    names.insert(e.file);
    QFile f(dir.filePath(e.file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(e.text.toUtf8());
  }
  QImage picture(64, 64, QImage::Format_RGB32);
  picture.fill(Qt::blue);
  ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("sample.png"))));

  QSet<QString> used;
  for (const Example& e : examples) {
    SCOPED_TRACE((e.origin + u' ' + e.file).toStdString());
    const QStringList words = commandWords(e.text);
    for (const QString& w : words) used.insert(w);
    const Drawn d = draw(dir, e.file);
    EXPECT_EQ(d.exitCode, 0) << d.err.toStdString();
    EXPECT_EQ(d.err, QString()) << "the example draws without a message";
    ASSERT_FALSE(d.page.isNull());
    // An example that only includes files that are not there draws nothing, as it should.
    const bool includesOnly = std::all_of(words.cbegin(), words.cend(), [](const QString& w) { return w == u"INCLUDE"; });
    const bool includesMissing = includesOnly && e.origin == u"zubira-list.5";
    if (!includesMissing) {
      EXPECT_GT(inkedPixels(d.page), 100) << "the example draws on the page";
    }
  }
  for (const QString& word : kCommands)
    EXPECT_TRUE(used.contains(word)) << word.toStdString() << " is used in no example";
}

TEST(Manual, ThePictureAndTheIncludedFrameAreDrawn) {
  QTemporaryDir tmp;
  const QDir dir(tmp.path());
  for (const Example& e : htmlExamples()) {
    QFile f(dir.filePath(e.file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(e.text.toUtf8());
  }
  QImage picture(64, 64, QImage::Format_RGB32);
  picture.fill(Qt::blue);
  ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("sample.png"))));
  // The picture fills 40 mm square from (20, 20) mm: at 96 pixels per inch, (76, 76) to (227, 227).
  const Drawn withPicture = draw(dir, QStringLiteral("ex-picture.txt"));
  ASSERT_FALSE(withPicture.page.isNull());
  EXPECT_EQ(withPicture.page.pixelColor(150, 150), QColor(Qt::blue));
  // The list index file draws the list it names, which draws the frame it includes: a line 10 mm
  // from the top edge.
  const Drawn index = draw(dir, QStringLiteral("Gazumo.prv"));
  const Drawn included = draw(dir, QStringLiteral("ex-include.txt"));
  ASSERT_FALSE(index.page.isNull());
  EXPECT_EQ(index.page, included.page);
  EXPECT_NE(included.page.pixelColor(index.page.width() / 2, 38), QColor(Qt::white));
}

}  // namespace
}  // namespace zubira
