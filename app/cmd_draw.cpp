#include "app/cmd_draw.h"

#include "app/cli_support.h"
#include "app/page_output.h"
#include "preview/preview_settings.h"

#include <QDir>
#include <QFileInfo>

namespace zubira {

QString drawUsage() {
  return QStringLiteral(
      "Usage: zubira draw LISTFILE [OPTIONS]\n"
      "Renders LISTFILE (read as the list index file, with its INCLUDE files and pictures) with the\n"
      "page strings of the settings file, and writes the page.\n"
      "\n"
      "  --out FILE            .pdf through the printer (A4), .png, .bmp, .jpg or .jpeg through the\n"
      "                        1:1 page image at 96 pixels per inch (default: LISTFILE as .png)\n"
      "  --unit pixel|inch|mm  drawing unit (default: the settings file's, else mm)\n"
      "  --dpi N               printer resolution (default 600)\n"
      "  --quality N           JPEG quality 1..100 (default: the settings file's, else 90)\n"
      "  --mesh, --scale       draw the grid or the ruler on an image\n"
      "  --settings FILE       the settings file (default: the built-in defaults)\n"
      "\n"
      "Messages of the renderer go to stderr. Exit codes: 0 written, 1 the file could not be\n"
      "written, 2 bad command line.\n");
}

int runDrawCommand(const QStringList& args) {
  const QString command = QStringLiteral("zubira draw");
  const QString usage = drawUsage();
  QString listFile, out, settingsPath;
  std::optional<int> unit, quality;
  int dpi = 600;
  bool mesh = false, scale = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& opt = args[i];
    QString v;
    int n = 0;
    if (opt == QLatin1String("--help") || opt == QLatin1String("-h")) {
      printTo(stdout, usage);
      return ExitOk;
    } else if (opt == QLatin1String("--out")) {
      if (!takeValue(args, i, &out)) return usageError(command, QStringLiteral("--out needs a file"), usage);
    } else if (opt == QLatin1String("--settings")) {
      if (!takeValue(args, i, &settingsPath)) return usageError(command, QStringLiteral("--settings needs a file"), usage);
    } else if (opt == QLatin1String("--unit")) {
      if (!takeValue(args, i, &v)) return usageError(command, QStringLiteral("--unit needs pixel, inch or mm"), usage);
      if (v == QLatin1String("pixel")) unit = PageModel::kUnitPixel;
      else if (v == QLatin1String("inch")) unit = PageModel::kUnitInch;
      else if (v == QLatin1String("mm")) unit = PageModel::kUnitMillimetre;
      else return usageError(command, QStringLiteral("unknown unit \"%1\"").arg(v), usage);
    } else if (opt == QLatin1String("--dpi")) {
      if (!takeNumber(args, i, 36, 2400, &dpi)) return usageError(command, QStringLiteral("--dpi needs a number from 36 to 2400"), usage);
    } else if (opt == QLatin1String("--quality")) {
      if (!takeNumber(args, i, 1, 100, &n)) return usageError(command, QStringLiteral("--quality needs a number from 1 to 100"), usage);
      quality = n;
    } else if (opt == QLatin1String("--mesh")) {
      mesh = true;
    } else if (opt == QLatin1String("--scale")) {
      scale = true;
    } else if (opt.startsWith(u'-') && opt.size() > 1) {
      return usageError(command, QStringLiteral("unknown option \"%1\"").arg(opt), usage);
    } else if (listFile.isEmpty()) {
      listFile = opt;
    } else {
      return usageError(command, QStringLiteral("one list file only"), usage);
    }
  }
  if (listFile.isEmpty()) return usageError(command, QStringLiteral("no list file given"), usage);
  if (!QFileInfo(listFile).isFile())
    return usageError(command, QStringLiteral("no list file \"%1\"").arg(listFile), usage);
  if (out.isEmpty()) {
    const QFileInfo info(listFile);
    out = info.dir().filePath(info.completeBaseName() + QStringLiteral(".png"));
  }
  const std::optional<OutputFormat> format = outputFormatOf(out);
  if (!format) return usageError(command, QStringLiteral("\"%1\": write .pdf, .png, .bmp or .jpg").arg(out), usage);
  if (!settingsPath.isEmpty() && !QFileInfo(settingsPath).isFile())
    return usageError(command, QStringLiteral("no settings file \"%1\"").arg(settingsPath), usage);

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
    ok = output.beginPdf(out) && output.addPdfPage() && output.endPdf();
  else
    ok = output.saveImage(out, *format, quality.value_or(prev.CQuality));
  if (!ok) {
    printTo(stderr, command + QStringLiteral(": ") + output.error() + u'\n');
    return ExitFailed;
  }
  return ExitOk;
}

}  // namespace zubira
