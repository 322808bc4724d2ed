// What a user waits for after pressing Problems: composing a 20-problem sheet and rendering it
// into the 1:1 image (A4, 600 dpi printer, 96 dpi screen), fitting that image into the page
// view, exporting it as JPEG, and printing the page to PDF.

#include "drawing/page_model.h"
#include "drawing/page_renderer.h"
#include "drawing/printer_access.h"
#include "generation/problem_generator.h"
#include "platform/application.h"
#include "platform/jpeg_codec.h"
#include "worksheet/worksheet_composer.h"

#include <QApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace zubira {
namespace {

struct Sheet {
  Sheet()
      : model(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96),
        renderer(model),
        typesetter(model),
        composer(model, typesetter, settings, gen, dateTime) {
    model.ReadPrinterMetrics();
    model.GetPageSize();
    model.setUnitType(PageModel::kUnitMillimetre);
    renderer.SetImage1Size();
    model.PageTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 24, 4, "10", "10", false, false);
    model.SubTitle.SetSets("", QStringLiteral("ＭＳ 明朝"), 12, 4, "10", "36", false, false);
    dateTime.SetSets("", QStringLiteral("ＭＳ 明朝"), 11, 4, "80", "10", false, false);
    gen.ExamRowN = 10;
    gen.ExamColN = 2;
    PseudoRandomSource random(1);
    ProblemGenerator g(&random);
    const MakeResult r = g.MakeProblems(pkAdd, gen);
    problems = ProblemSetFromLists(pkAdd, r.lists.first, r.lists.second, r.lists.answers);
    composer.setRefresh([this] { renderer.PrevUpDateProgram(); });
  }
  void compose() {
    composer.ComposeWorksheet(WorksheetComposer::ProblemSheet, problems);
  }
  PageModel model;
  PageRenderer renderer;
  MainSettings settings;
  GenerationSettings gen;
  TPageStr dateTime;
  Typesetter typesetter;
  WorksheetComposer composer;
  ProblemSet problems;
};

void BM_ComposeAndRender(benchmark::State& state) {
  Sheet sheet;
  for (auto _ : state) sheet.compose();
  state.counters["commands"] = double(sheet.model.ListbyProgram().size());
}
BENCHMARK(BM_ComposeAndRender)->Unit(benchmark::kMillisecond);

void BM_PageViewFit(benchmark::State& state) {
  Sheet sheet;
  sheet.compose();
  for (auto _ : state) {
    QImage view = sheet.renderer.Image1().scaled(QSize(393, 541), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    benchmark::DoNotOptimize(view);
  }
}
BENCHMARK(BM_PageViewFit)->Unit(benchmark::kMillisecond);

void BM_JpegExport(benchmark::State& state) {
  Sheet sheet;
  sheet.compose();
  QByteArray out;
  for (auto _ : state) {
    encodeJpeg(sheet.renderer.Image1(), 90, &out);
    benchmark::DoNotOptimize(out);
  }
  state.counters["bytes"] = double(out.size());
}
BENCHMARK(BM_JpegExport)->Unit(benchmark::kMillisecond);

void BM_PrintPdf(benchmark::State& state) {
  Sheet sheet;
  sheet.compose();
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(600);
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  printer.setFullPage(true);
  printer.setOutputFileName(dir.filePath("bench.pdf"));
  sheet.renderer.setPrinter(&printer);
  for (auto _ : state) {
    sheet.model.setTgtCanvas(PageModel::kTargetPrinter);
    sheet.renderer.DrawGraphics();
    sheet.model.setTgtCanvas(PageModel::kTargetScreen);
  }
}
BENCHMARK(BM_PrintPdf)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zubira

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  zubira::prepareEnvironment();
  QApplication app(argc, argv);
  zubira::prepareApplication();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
