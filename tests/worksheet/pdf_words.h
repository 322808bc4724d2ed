#pragma once
// Reads a PDF back through poppler's tools: its page count (pdfinfo) and every word with its box
// in points (pdftotext -bbox), and finds the set label "セット k / N" among a page's words.

#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace zubira::testing {

struct PdfWord {
  int page = 0;  // from 1
  QRectF box;
  QString text;
};

inline QString runTool(const QString& tool, const QStringList& args) {
  QProcess p;
  p.start(tool, args);
  p.waitForFinished(60000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

inline int pdfPageCount(const QString& pdf) {
  static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
  const QRegularExpressionMatch m = pages.match(runTool(QStringLiteral("pdfinfo"), {pdf}));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

inline std::vector<PdfWord> pdfWords(const QString& pdf) {
  static const QRegularExpression word(QStringLiteral(
      "<word xMin=\"([^\"]+)\" yMin=\"([^\"]+)\" xMax=\"([^\"]+)\" yMax=\"([^\"]+)\">(.*)</word>"));
  std::vector<PdfWord> words;
  int page = 0;
  for (const QString& line : runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}).split(u'\n')) {
    if (line.contains(QLatin1String("<page "))) ++page;
    const QRegularExpressionMatch m = word.match(line);
    if (!m.hasMatch()) continue;
    const QPointF from(m.captured(1).toDouble(), m.captured(2).toDouble());
    const QPointF to(m.captured(3).toDouble(), m.captured(4).toDouble());
    words.push_back({page, QRectF(from, to), m.captured(5)});
  }
  return words;
}

inline std::vector<PdfWord> wordsOfPage(const std::vector<PdfWord>& words, int page) {
  std::vector<PdfWord> out;
  for (const PdfWord& w : words)
    if (w.page == page) out.push_back(w);
  return out;
}

// The label of a page: the four words "セット", k, "/", N on one line, left to right, and their
// box; nothing when the page has none. `rest` gets the page's other words.
struct FoundLabel {
  int set = 0;
  int sets = 0;
  QRectF box;
};
inline std::optional<FoundLabel> findSetLabel(const std::vector<PdfWord>& page, std::vector<PdfWord>* rest = nullptr) {
  std::optional<FoundLabel> found;
  size_t at = 0;
  for (size_t i = 0; i + 3 < page.size() && !found; ++i) {
    if (page[i].text != QStringLiteral("セット") || page[i + 2].text != QStringLiteral("/")) continue;
    bool one = false, two = false;
    const int k = page[i + 1].text.toInt(&one), n = page[i + 3].text.toInt(&two);
    if (!one || !two) continue;
    found = FoundLabel{k, n, page[i].box | page[i + 1].box | page[i + 2].box | page[i + 3].box};
    at = i;
  }
  if (rest) {
    rest->clear();
    for (size_t i = 0; i < page.size(); ++i)
      if (!found || i < at || i > at + 3) rest->push_back(page[i]);
  }
  return found;
}

// The words of a page as "text x0 y0 x1 y1" lines, sorted, to compare two renderings whatever
// the order pdftotext reads them in.
inline std::vector<std::string> sortedWords(const std::vector<PdfWord>& words) {
  std::vector<std::string> out;
  for (const PdfWord& w : words)
    out.push_back(QStringLiteral("%1 %2 %3 %4 %5")
                      .arg(w.text)
                      .arg(w.box.left(), 0, 'f', 2)
                      .arg(w.box.top(), 0, 'f', 2)
                      .arg(w.box.right(), 0, 'f', 2)
                      .arg(w.box.bottom(), 0, 'f', 2)
                      .toStdString());
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace zubira::testing
