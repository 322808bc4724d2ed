#include "preview/manual_list.h"

#include "drawing/color_names.h"
#include "drawing/comma_text.h"
#include "drawing/number_text.h"
#include "platform/sjis_text.h"

#include <QDir>

namespace zubira {

QStringList fontCommandLines(CanvasFont& remembered, const CanvasFont& chosen) {
  QStringList lines;
  if (chosen.name != remembered.name) {
    remembered.name = chosen.name;
    lines << QStringLiteral("FontName,") + quoteText(chosen.name);
  }
  if (chosen.size != remembered.size) {
    remembered.size = chosen.size;
    lines << QStringLiteral("FontSize,") + QString::number(chosen.size);
  }
  if (chosen.color != remembered.color)
    lines << QStringLiteral("FontColor,") + ColorToName(chosen.color);

  const struct {
    bool CanvasFont::*bit;
    const char* word;
  } styles[] = {{&CanvasFont::bold, "BOLD"},
                {&CanvasFont::italic, "ITALIC"},
                {&CanvasFont::underline, "UNDERLINE"},
                {&CanvasFont::strikeout, "STRIKEOUT"}};
  for (const auto& s : styles) {
    const bool want = chosen.*(s.bit);
    const bool have = remembered.*(s.bit);
    if (want == have) continue;
    lines << QStringLiteral("FontStyle,") + QString::fromLatin1(s.word) +
                 (want ? QString() : QStringLiteral("-"));
  }
  return lines;
}

QString penColorLine(TColor color) { return QStringLiteral("PenColor,") + ColorToName(color); }

std::optional<QString> penWidthLine(const QString& text) {
  const std::optional<int> width = readInteger(text);
  if (!width || *width <= 0) return std::nullopt;
  return QStringLiteral("PenWidth,") + QString::number(*width);
}

QString initParamLine() { return QStringLiteral("INITPARAM"); }

void setInitialDrawingState(Canvas& canvas) {
  canvas.font = CanvasFont();
  canvas.pen = CanvasPen();
  canvas.clearBrush();
}

std::optional<TextInputPosition> textInputPosition(int left, int top, int unitType,
                                                   int printerResX, int printerResY,
                                                   int monitorRes) {
  if (monitorRes <= 0) return std::nullopt;
  const double l = left;
  const double t = top;
  const double res = monitorRes;
  switch (unitType) {
    case 1:  // inch
      return TextInputPosition{roundHalfAway(l / res), roundHalfAway(t / res)};
    case 2:  // millimetre
      return TextInputPosition{roundHalfAway(l * 25.4 / res), roundHalfAway(t * 25.4 / res)};
    default:  // printer pixels
      if (printerResX <= 0 || printerResY <= 0) return std::nullopt;
      return TextInputPosition{roundHalfAway(l * printerResX / res),
                               roundHalfAway(t * printerResY / res)};
  }
}

std::optional<QString> textInputLine(int left, int top, const QString& text, int unitType,
                                     int printerResX, int printerResY, int monitorRes) {
  const auto at = textInputPosition(left, top, unitType, printerResX, printerResY, monitorRes);
  if (!at) return std::nullopt;
  return QStringLiteral("TextOut,%1,%2,%3,Nil")
      .arg(at->x)
      .arg(at->y)
      .arg(quoteText(text));
}

int textInputBoxHeight(int fontHeight) { return 8 - fontHeight; }

SaveFileRequest saveListRequest() {
  SaveFileRequest request;
  request.filter.clear();
  request.defaultSuffix.clear();
  return request;
}

SaveListResult writeManualList(const QString& path, const QStringList& lines) {
  SaveListResult result;
  result.path = path;
  QString error;
  if (writeCp932Lines(path, lines, &error)) {
    result.outcome = SaveListOutcome::Saved;
  } else {
    result.outcome = SaveListOutcome::Failed;
    result.error = error;
  }
  return result;
}

QString saveListFailedMessage(const SaveListResult& result) {
  QString text = QStringLiteral("入力リストを保存できませんでした\n") +
                 QDir::toNativeSeparators(result.path);
  if (!result.error.isEmpty()) text += QLatin1Char('\n') + result.error;
  return text;
}

SaveListResult SaveList(QWidget* parent, const QStringList& lines) {
  const std::optional<QString> path = dialogs().saveFileName(parent, saveListRequest());
  if (!path || path->isEmpty()) return SaveListResult{};
  SaveListResult result = writeManualList(*path, lines);
  if (result.outcome == SaveListOutcome::Failed)
    dialogs().message(parent, messageCaption(), saveListFailedMessage(result), MessageIcon::Error);
  return result;
}

}  // namespace zubira
