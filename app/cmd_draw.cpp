#include "app/cmd_draw.h"

#include "app/cli_support.h"
#include "drawing/page_output.h"
#include "preview/preview_settings.h"

#include <QDir>
#include <QFileInfo>

namespace zubira {

namespace {

std::unique_ptr<CommandLine> drawCommandLine() {
  auto made = std::make_unique<CommandLine>(
      QStringLiteral("zubira draw"), QStringLiteral("zubira draw [options] LISTFILE"),
      QStringLiteral("Renders LISTFILE (read as the list index file, with its INCLUDE files and pictures) with\n"
                     "the page strings of the settings file, and writes the page."),
      QStringLiteral("Messages of the renderer go to stderr. Exit codes: 0 written, 1 the file could not be\n"
                     "written, 2 bad command line.\n"));
  made->add({QStringLiteral("out")},
           QStringLiteral(".pdf through the printer (A4), .png, .bmp, .jpg or .jpeg through the 1:1 page "
                          "image at 96 pixels per inch (default: LISTFILE as .png)."),
           QStringLiteral("FILE"));
  made->add({QStringLiteral("unit")}, QStringLiteral("Drawing unit (default: the settings file's, else mm)."),
           QStringLiteral("pixel|inch|mm"));
  made->add({QStringLiteral("dpi")}, QStringLiteral("Printer resolution, 36..2400 (default 600)."), QStringLiteral("N"));
  made->add({QStringLiteral("quality")},
           QStringLiteral("JPEG quality 1..100 (default: the settings file's, else 90)."), QStringLiteral("N"));
  made->add({QStringLiteral("mesh")}, QStringLiteral("Draw the grid on an image."));
  made->add({QStringLiteral("scale")}, QStringLiteral("Draw the ruler on an image."));
  made->add({QStringLiteral("settings")}, QStringLiteral("The settings file (default: the built-in defaults)."),
           QStringLiteral("FILE"));
  made->allowPositional(1);
  return made;
}

}  // namespace

QString drawUsage() { return drawCommandLine()->help(); }

int runDrawCommand(const QStringList& args) {
  const std::unique_ptr<CommandLine> made = drawCommandLine();
  CommandLine& line = *made;
  if (const std::optional<int> done = line.parse(args)) return *done;
  const QString listFile = line.positional().value(0);
  QString out = line.value(QStringLiteral("out"));
  const QString settingsPath = line.value(QStringLiteral("settings"));
  std::optional<int> unit, quality;
  int dpi = 600, n = 0;
  if (line.isSet(QStringLiteral("unit"))) {
    const QString v = line.value(QStringLiteral("unit"));
    if (v == QLatin1String("pixel")) unit = PageModel::kUnitPixel;
    else if (v == QLatin1String("inch")) unit = PageModel::kUnitInch;
    else if (v == QLatin1String("mm")) unit = PageModel::kUnitMillimetre;
    else return line.fail(QStringLiteral("unknown unit \"%1\"").arg(v));
  }
  if (!line.number(QStringLiteral("dpi"), 36, 2400, &dpi, QStringLiteral("--dpi needs a number from 36 to 2400")))
    return ExitUsage;
  if (!line.number(QStringLiteral("quality"), 1, 100, &n, QStringLiteral("--quality needs a number from 1 to 100")))
    return ExitUsage;
  if (line.isSet(QStringLiteral("quality"))) quality = n;
  const bool mesh = line.isSet(QStringLiteral("mesh")), scale = line.isSet(QStringLiteral("scale"));
  const QString command = QStringLiteral("zubira draw");
  if (listFile.isEmpty()) return line.fail(QStringLiteral("no list file given"));
  if (!QFileInfo(listFile).isFile())
    return line.fail(QStringLiteral("no list file \"%1\"").arg(listFile));
  if (out.isEmpty()) {
    const QFileInfo info(listFile);
    out = info.dir().filePath(info.completeBaseName() + QStringLiteral(".png"));
  }
  const std::optional<OutputFormat> format = outputFormatOf(out);
  if (!format) return line.fail(QStringLiteral("\"%1\": write .pdf, .png, .bmp or .jpg").arg(out));
  if (!settingsPath.isEmpty() && !QFileInfo(settingsPath).isFile())
    return line.fail(QStringLiteral("no settings file \"%1\"").arg(settingsPath));

  const IniFile ini(settingsPath);
  const PreviewSettings prev = ReadPrevSettings(ini);
  PageOutput output(dpi);
  if (!output.ready()) {
    printTo(stderr, command + QStringLiteral(": ") + output.error() + u'\n');
    return ExitFailed;
  }
  PageModel& model = output.model();
  PageRenderer& renderer = output.renderer();
  model.setUnitType(unit.value_or(prev.UnitType));
  loadPreviewPageStrings(ini, model);
  model.SetCopyright(QString());
  model.setListIniFile(listFile);
  renderer.fMesh = mesh ? 1 : 0;
  renderer.fScale = scale ? 1 : 0;
  renderer.PageView = 1;
  const LoadResult loaded = model.LoadListFile();
  if (!loaded) printTo(stderr, loaded.error + u'\n');

  bool ok = false;
  if (*format == OutputFormat::Pdf)
    ok = output.beginPdf(out) && output.addPage() && output.endPdf();
  else
    ok = output.saveImage(out, *format, quality.value_or(prev.CQuality));
  if (!ok) {
    printTo(stderr, command + QStringLiteral(": ") + output.error() + u'\n');
    return ExitFailed;
  }
  return ExitOk;
}

}  // namespace zubira
