// The preview's output: printer set-up, printing (to a PDF file where no printer is installed),
// saving the visible bitmap as BMP or JPEG, the clipboard and the JPEG quality box.

#include "preview/page_image_view.h"
#include "preview/preview_window.h"
#include "tests/preview/preview_test_util.h"
#include "tests/support/scripted_dialogs.h"

#include <QClipboard>
#include <QFileInfo>
#include <QRegularExpression>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

namespace zubira {
namespace {

using testing::DialogKind;
using testing::FixedPreview;
using testing::PreviewFolder;
using testing::ScriptedDialogs;
using testing::action;
using testing::allWhite;
using testing::recordOn;
using testing::showWindow;
using testing::trigger;

const QSize k600(600, 600);
const QSize kPage(4800, 6600);

// ---- Printer set-up ---------------------------------------------------------------------------

TEST(PrinterSetUp, NewMetricsNewBitmapRedrawAndCaption) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  // The user picks a 300 dpi printer with A4 paper in the dialog.
  dlg.answerPrint(true, [&](QPrinter*) { w.printer->set(QSize(300, 300), QSize(2480, 3508)); });
  trigger(*w, "Printer1");
  EXPECT_EQ(w->model().PrinterResX(), 300);
  EXPECT_EQ(w->model().PageW(), 2480);
  EXPECT_EQ(w->model().PageH(), 3508);
  // 2480 / 3.125 = 793.6 and 3508 / 3.125 = 1122.56.
  EXPECT_EQ(w->renderer().Image1().size(), QSize(793, 1122));
  EXPECT_EQ(w->Image1->size(), QSize(793, 1122));
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Preview 2480:3508 300:300"));
  EXPECT_EQ(w->nTgtCanvas(), 1);
  EXPECT_FALSE(rec.screen->calls().empty()) << "redrawn";
  EXPECT_TRUE(rec.printer->calls().empty());
}

TEST(PrinterSetUp, AnotherPaperSizeOnTheQtPrinter) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  auto w = testing::pdfPreview(dir.settings(), 600);
  showWindow(*w);
  EXPECT_EQ(w->renderer().Image1().size(), QSize(793, 1122));
  QSize printable;
  dlg.answerPrint(true, [&](QPrinter* printer) {
    ASSERT_NE(printer, nullptr);
    printer->setPageSize(QPageSize(QPageSize::A5));
    printable = QSize(printer->width(), printer->height());
  });
  trigger(*w, "Printer1");
  ASSERT_TRUE(printable.isValid());
  EXPECT_LT(printable.width(), 4958);
  EXPECT_EQ(w->model().PageW(), printable.width());
  EXPECT_EQ(w->model().PageH(), printable.height());
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Preview %1:%2 600:600")
                                  .arg(printable.width())
                                  .arg(printable.height()));
  EXPECT_EQ(w->renderer().Image1().size(),
            QSize(int(printable.width() / 6.25), int(printable.height() / 6.25)));
  EXPECT_EQ(w->Image1->size(), w->renderer().Image1().size());
}

TEST(PrinterSetUp, CancelStillRefreshesAndRewritesTheCaption) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  w.printer->set(QSize(360, 720), QSize(2880, 7920));  // what the selected printer answers now
  dlg.answerPrint(false);
  trigger(*w, "Printer1");
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Preview 2880:7920 360:720"));
  // 2880 / 3.75 and 7920 / 7.5.
  EXPECT_EQ(w->renderer().Image1().size(), QSize(768, 1056));
  EXPECT_FALSE(rec.screen->calls().empty());
}

TEST(PrinterSetUp, PageViewKeepsItsSizeAndGetsTheNewPage) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  trigger(*w, "Page1");
  const QSize fitted = w->renderer().Image2().size();
  w->model().ListByManual() << QStringLiteral("Color,RED") << QStringLiteral("Line,0,100,400,100");
  dlg.answerPrint(true, [&](QPrinter*) { w.printer->set(QSize(300, 300), QSize(3000, 3000)); });
  trigger(*w, "Printer1");
  EXPECT_EQ(w->renderer().Image2().size(), fitted) << "not refitted";
  EXPECT_EQ(w->renderer().Image1().size(), QSize(960, 960));
  EXPECT_EQ(w->nTgtCanvas(), 2);
  EXPECT_FALSE(allWhite(w->renderer().Image2()));
}

TEST(PrinterSetUp, PrinterThatCannotBeQueriedMakesTheWindowInert) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  dlg.answerPrint(true, [&](QPrinter*) { w.printer->set(k600, kPage, false); });
  trigger(*w, "Printer1");
  EXPECT_EQ(dlg.messages(), QStringList{QStringLiteral("デフォルトのプリンタの設定を確認下さい")});
  EXPECT_EQ(w->ErrorNum(), 1);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Preview"));
  w->model().ListByManual() << QStringLiteral("Line,0,0,10,10");
  EXPECT_FALSE(w->DrawGraphics());
  dlg.clear();
  trigger(*w, "Print2");
  EXPECT_TRUE(dlg.shown().empty());
}

// ---- Printing -----------------------------------------------------------------------------------

TEST(Printing, RendersOnThePrinterCanvasAtPrinterResolution) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  trigger(*w, "Mesh1");
  trigger(*w, "Scale1");
  trigger(*w, "Page1");  // printing from the page view prints the full page
  w->model().ListByManual() << QStringLiteral("TextOut,10,20,\"abc\",Nil");
  rec.screen->clearCalls();
  trigger(*w, "Print2");
  EXPECT_TRUE(dlg.shown().empty());
  EXPECT_TRUE(rec.screen->calls().empty());
  const auto texts = rec.printer->callsOf(RecordingCanvas::Op::Text);
  ASSERT_EQ(texts.size(), 1u);
  // 10 mm and 20 mm at 600 dpi.
  EXPECT_EQ(texts[0].x1, 236);
  EXPECT_EQ(texts[0].y1, 472);
  for (const auto& call : rec.printer->callsOf(RecordingCanvas::Op::Line))
    EXPECT_NE(call.pen.style, PenStyle::Dot) << "no grid on paper";
  EXPECT_TRUE(rec.printer->callsOf(RecordingCanvas::Op::Line).empty()) << "no ruler on paper";
  EXPECT_EQ(w->nTgtCanvas(), 2) << "back on the screen";
  trigger(*w, "WysiWyg2");
  EXPECT_EQ(w->nTgtCanvas(), 2);
}

TEST(Printing, TargetRestoredAfterAFailedJob) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  // Fixed metrics have no printer to start a job on.
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  trigger(*w, "Print2");
  EXPECT_EQ(dlg.messages(), QStringList{QStringLiteral("印刷できませんでした")});
  EXPECT_EQ(w->nTgtCanvas(), 1);
  // The next redraw goes to the screen.
  w->model().ListByManual() << QStringLiteral("Line,0,10,100,10");
  EXPECT_TRUE(w->DrawGraphics());
  EXPECT_FALSE(allWhite(w->renderer().Image1()));
}

TEST(Printing, HiddenWindowPrintsNothing) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  auto w = testing::pdfPreview(dir.settings());
  w->PrintOut();
  EXPECT_TRUE(dlg.shown().empty());
  showWindow(*w);
  w->hide();
  w->PrintOut();
  EXPECT_TRUE(dlg.shown().empty());
  EXPECT_EQ(dir.entries(), QStringList());
}

QString tool(const char* name) { return QStandardPaths::findExecutable(QLatin1String(name)); }

QString runTool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return QString();
  return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(Printing, PdfStandInWritesOnePageToTheChosenFile) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  auto w = testing::pdfPreview(dir.settings(), 600);
  EXPECT_EQ(w->model().PageW(), 4958);
  EXPECT_EQ(w->model().PageH(), 7017);
  showWindow(*w);
  EXPECT_EQ(w->renderer().Image1().size(), QSize(793, 1122));
  trigger(*w, "Mesh1");
  w->model().ClearProgramList();
  w->model().PrevInit();
  w->model().PrevFontSize(20);
  w->model().PrevTextOut(20, 30, QStringLiteral("Zubira123"), QStringLiteral("Nil"));
  w->PrevUpDateProgram();

  const QString file = dir.path("page.pdf");
  dlg.answerSaveFile(file);
  trigger(*w, "Print2");
  EXPECT_TRUE(dlg.messages().isEmpty()) << dlg.messages().join(QLatin1Char('|')).toStdString();
  ASSERT_EQ(dlg.shown().size(), 1u);
  EXPECT_EQ(dlg.shown()[0].kind, DialogKind::SaveFile);
  EXPECT_TRUE(dlg.shown()[0].detail.endsWith(QStringLiteral("| pdf")));
  EXPECT_EQ(w->nTgtCanvas(), 1);
  EXPECT_TRUE(QFile::exists(file));
  EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("page.pdf")}) << "no part file left";
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().startsWith("%PDF"));

  if (tool("pdfinfo").isEmpty()) GTEST_SKIP() << "pdfinfo is not installed";
  const QString info = runTool(tool("pdfinfo"), {file});
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info.toStdString();
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts"))))
      << "A4: " << info.toStdString();
  if (tool("pdftotext").isEmpty()) return;
  const QString text = runTool(tool("pdftotext"), {file, QStringLiteral("-")});
  EXPECT_TRUE(text.contains(QStringLiteral("Zubira123"))) << text.toStdString();

  // A second print replaces the file whole; the name is offered again.
  dlg.clear();
  dlg.answerSaveFile(file);
  w->PrintOut();
  ASSERT_EQ(dlg.shown().size(), 1u);
  EXPECT_EQ(dlg.shown()[0].text, file) << "the last file is the preset";
  EXPECT_TRUE(runTool(tool("pdfinfo"), {file}).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
  EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("page.pdf")});
}

TEST(Printing, PdfCancelPrintsNothing) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  auto w = testing::pdfPreview(dir.settings());
  showWindow(*w);
  dlg.answerSaveFile(std::nullopt);
  trigger(*w, "Print2");
  dlg.answerSaveFile(QString());
  trigger(*w, "Print2");
  EXPECT_TRUE(dlg.messages().isEmpty());
  EXPECT_EQ(dir.entries(), QStringList());
  EXPECT_EQ(w->nTgtCanvas(), 1);
}

TEST(Printing, PdfThatCannotBeWrittenIsReportedAndLeavesNothing) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  auto w = testing::pdfPreview(dir.settings());
  showWindow(*w);
  trigger(*w, "Page1");
  const QString file = dir.path("missing/page.pdf");
  dlg.answerSaveFile(file);
  trigger(*w, "Print2");
  ASSERT_EQ(dlg.messages().size(), 1);
  EXPECT_TRUE(dlg.messages()[0].startsWith(QStringLiteral("PDF ファイルに印刷できませんでした。")));
  EXPECT_EQ(w->nTgtCanvas(), 2);
  EXPECT_EQ(dir.entries(), QStringList());
  // The window goes on working: the next print succeeds.
  dlg.clear();
  dlg.answerSaveFile(dir.path("ok.pdf"));
  trigger(*w, "Print2");
  EXPECT_TRUE(dlg.messages().isEmpty());
  EXPECT_TRUE(QFile::exists(dir.path("ok.pdf")));
}

// ---- Saving the visible bitmap ------------------------------------------------------------------

// A window in 1:1 view with a red line drawn.
struct DrawnPreview {
  FixedPreview w;
  explicit DrawnPreview(const QString& settings) : w(settings, k600, kPage) {
    showWindow(*w);
    w->model().ListByManual() << QStringLiteral("PenWidth,1") << QStringLiteral("Color,RED")
                              << QStringLiteral("Line,10,20,100,20");
    EXPECT_TRUE(w->DrawGraphics());
  }
};

QByteArray head(const QString& path, int n) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.read(n);
}

TEST(SaveImage, ExtensionDecidesTheFormat) {
  const struct {
    const char* name;
    const char* magic;
  } cases[] = {{"a.jpeg", "\xFF\xD8"}, {"b.JPG", "\xFF\xD8"}, {"c.Jpg", "\xFF\xD8"}, {"d.bmp", "BM"},
               {"e.png", "\x89P"},     {"E.PNG", "\x89P"},     {"f.", "BM"},           {"g", "BM"}};
  PreviewFolder dir;
  ScriptedDialogs dlg;
  DrawnPreview p(dir.settings());
  for (const auto& c : cases) {
    const QString path = dir.path(QLatin1String(c.name));
    dlg.answerSaveFile(path);
    trigger(*p.w, "Save2BMP");
    EXPECT_EQ(head(path, 2), QByteArray(c.magic)) << c.name;
  }
  EXPECT_TRUE(dlg.messages().isEmpty());
  // The dialog's filter and default extension.
  ASSERT_FALSE(dlg.shown().empty());
  EXPECT_EQ(dlg.shown()[0].kind, DialogKind::SaveFile);
  EXPECT_EQ(dlg.shown()[0].detail,
            QStringLiteral("BMP 画像 (*.bmp);;JPEG 画像 (*.jpg *.jpeg);;PNG 画像 (*.png) | JPG"));
}

TEST(SaveImage, BmpHoldsTheOneToOneBitmapExactly) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  DrawnPreview p(dir.settings());
  const QString path = dir.path("page.bmp");
  dlg.answerSaveFile(path);
  trigger(*p.w, "Save2BMP");
  QImage back;
  ASSERT_TRUE(back.load(path, "BMP"));
  const QImage& shown = p.w->renderer().Image1();
  ASSERT_EQ(back.size(), shown.size());
  EXPECT_EQ(back.size(), QSize(768, 1056));
  EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));
  EXPECT_EQ(back.pixelColor(p.w->model().UnitToDevX(50), p.w->model().UnitToDevY(20)), QColor(Qt::red));
}

TEST(SaveImage, JpegAtTheChosenQuality) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  DrawnPreview p(dir.settings());
  for (const char* q : {"1", "100"}) {
    dlg.answerInput(QLatin1String(q));
    trigger(*p.w, "JpegOpt");
    dlg.answerSaveFile(dir.path(QStringLiteral("q%1.jpg").arg(QLatin1String(q))));
    trigger(*p.w, "Save2BMP");
  }
  QImage low, high;
  ASSERT_TRUE(low.load(dir.path("q1.jpg"), "JPEG"));
  ASSERT_TRUE(high.load(dir.path("q100.jpg"), "JPEG"));
  EXPECT_EQ(high.size(), QSize(768, 1056));
  EXPECT_LT(QFileInfo(dir.path("q1.jpg")).size(), QFileInfo(dir.path("q100.jpg")).size());
  const QColor red = high.pixelColor(p.w->model().UnitToDevX(50), p.w->model().UnitToDevY(20));
  EXPECT_GT(red.red(), 200);
  EXPECT_LT(red.green(), 80);
}

TEST(SaveImage, PageViewSavesThePageViewBitmap) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  DrawnPreview p(dir.settings());
  trigger(*p.w, "Page1");
  const QString path = dir.path("whole.bmp");
  dlg.answerSaveFile(path);
  trigger(*p.w, "Save2BMP");
  QImage back;
  ASSERT_TRUE(back.load(path, "BMP"));
  EXPECT_EQ(back.size(), p.w->renderer().Image2().size());
  EXPECT_NE(back.size(), p.w->renderer().Image1().size());
  EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32),
            p.w->renderer().Image2().convertToFormat(QImage::Format_RGB32));
}

TEST(SaveImage, GridIsInTheOneToOneExport) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  DrawnPreview p(dir.settings());
  trigger(*p.w, "Mesh1");
  const QString path = dir.path("grid.bmp");
  dlg.answerSaveFile(path);
  trigger(*p.w, "Save2BMP");
  QImage back;
  ASSERT_TRUE(back.load(path, "BMP"));
  int green = 0;
  for (int y = 0; y < back.height(); ++y) green += back.pixelColor(38, y) == QColor(0, 255, 0);
  EXPECT_GT(green, 100);
}

TEST(SaveImage, CancelOrEmptyNameSavesNothing) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  DrawnPreview p(dir.settings());
  dlg.answerSaveFile(std::nullopt).answerSaveFile(QString());
  trigger(*p.w, "Save2BMP");
  trigger(*p.w, "Save2BMP");
  EXPECT_TRUE(dlg.messages().isEmpty());
  EXPECT_EQ(dir.entries(), QStringList());
}

TEST(SaveImage, UnwritableFileIsReportedAndLeavesNoPartialFile) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  DrawnPreview p(dir.settings());
  ASSERT_TRUE(QDir(dir.path(".")).mkdir(QStringLiteral("taken.jpg")));
  for (const char* name : {"missing/page.bmp", "missing/page.jpg", "taken.jpg"}) {
    dlg.clear();
    dlg.answerSaveFile(dir.path(QLatin1String(name)));
    trigger(*p.w, "Save2BMP");
    ASSERT_EQ(dlg.messages().size(), 1) << name;
    EXPECT_TRUE(dlg.messages()[0].startsWith(QStringLiteral("ファイルに保存できませんでした。\r\n")))
        << name;
    EXPECT_TRUE(dlg.messages()[0].contains(QString::fromLatin1(name).split(QLatin1Char('/')).last())) << name;
    EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("taken.jpg")}) << name;
    EXPECT_TRUE(QDir(dir.path("taken.jpg")).isEmpty());
  }
}

// ---- Clipboard ------------------------------------------------------------------------------------

TEST(Clipboard, HoldsTheVisibleBitmap) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  DrawnPreview p(dir.settings());
  QClipboard* clip = QGuiApplication::clipboard();
  ASSERT_NE(clip, nullptr);
  clip->clear();
  trigger(*p.w, "Copy2Clip");
  EXPECT_EQ(clip->image().convertToFormat(QImage::Format_RGB32),
            p.w->renderer().Image1().convertToFormat(QImage::Format_RGB32));
  trigger(*p.w, "Page1");
  trigger(*p.w, "Copy2Clip");
  EXPECT_EQ(clip->image().size(), p.w->renderer().Image2().size());
  EXPECT_TRUE(dlg.shown().empty());
}

// ---- JPEG quality -------------------------------------------------------------------------------

TEST(JpegQuality, InputBoxRules) {
  const QString notInteger = QStringLiteral("入力した文字列が整数ではありません");
  const QString range = QStringLiteral("範囲を越えています.\r\n1から100までの整数を入力して下さい");
  const struct {
    std::optional<QString> text;
    int quality;        // afterwards
    const char* which;  // message: "", "range", "int"
  } cases[] = {
      {QStringLiteral("0"), 90, "range"},   {QStringLiteral("101"), 90, "range"},
      {QStringLiteral("12 "), 90, "int"},   {QStringLiteral("abc"), 90, "int"},
      {QString(), 90, "int"},               {QStringLiteral("1"), 1, ""},
      {QStringLiteral("100"), 100, ""},     {QStringLiteral(" 55"), 55, ""},
      {QStringLiteral("$32"), 50, ""},      {std::nullopt, 90, ""},
  };
  for (const auto& c : cases) {
    PreviewFolder dir;
    ScriptedDialogs dlg;
    FixedPreview w(dir.settings(), k600, kPage);
    dlg.answerInput(c.text);
    trigger(*w, "JpegOpt");
    const std::string label = c.text ? c.text->toStdString() : "(cancel)";
    ASSERT_FALSE(dlg.shown().empty()) << label;
    EXPECT_EQ(dlg.shown()[0].kind, DialogKind::Input);
    EXPECT_EQ(dlg.shown()[0].caption, QStringLiteral("JPEG画像の質")) << label;
    EXPECT_EQ(dlg.shown()[0].text, QStringLiteral("1～100の整数を入力して下さい")) << label;
    EXPECT_EQ(dlg.shown()[0].detail, QStringLiteral("90")) << "the current quality";
    const QString which = QLatin1String(c.which);
    const QStringList expected = which.isEmpty()          ? QStringList()
                                 : which == QLatin1String("range") ? QStringList{range}
                                                                    : QStringList{notInteger};
    EXPECT_EQ(dlg.messages(), expected) << label;
    EXPECT_EQ(w->CQuality(), c.quality) << label;
    EXPECT_EQ(dlg.shown().size(), size_t(1 + expected.size())) << "the box is not opened again";
  }
}

TEST(JpegQuality, BoxShowsTheCurrentQuality) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  dlg.answerInput(QStringLiteral("75")).answerInput(std::nullopt);
  trigger(*w, "JpegOpt");
  trigger(*w, "JpegOpt");
  ASSERT_EQ(dlg.shown().size(), 2u);
  EXPECT_EQ(dlg.shown()[1].detail, QStringLiteral("75"));
  EXPECT_EQ(w->CQuality(), 75);
}

}  // namespace
}  // namespace zubira
