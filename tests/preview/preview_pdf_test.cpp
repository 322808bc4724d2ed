// The preview's "PDFに保存", what its status bar says after printing and saving, and the keys of
// its menu items, all through the window.

#include "preview/page_image_view.h"
#include "tests/preview/preview_test_util.h"
#include "tests/support/cups_server.h"
#include "tests/support/fault_injection.h"
#include "tests/support/scripted_dialogs.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QStatusBar>

namespace zubira {
namespace {

using testing::action;
using testing::DialogKind;
using testing::FixedPreview;
using testing::PreviewFolder;
using testing::ScriptedDialogs;
using testing::showWindow;
using testing::trigger;

const QSize k600(600, 600);
const QSize kPage(4800, 6600);

int pageCount(const QByteArray& pdf) {
  return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

// A shown window on fixed metrics with a page of the manual list, the title and a picture.
struct ShownPage {
  FixedPreview w;
  explicit ShownPage(const PreviewFolder& dir) : w(dir.settings(), k600, kPage) {
    showWindow(*w);
    w->model().setUnitType(PageModel::kUnitMillimetre);
    w->model().ListByManual() << QStringLiteral("FontSize,20") << QStringLiteral("TextOut,20,30,\"manual text\",NIL")
                              << QStringLiteral("Line,10,50,100,50");
    w->model().PrevTextOut(20, 80, QStringLiteral("program text"), QStringLiteral("NIL"));
    // Fixed metrics have no printer to paint on: printing records what it would draw.
    w->model().setCanvases(nullptr, std::make_unique<RecordingCanvas>(600, 600));
    EXPECT_TRUE(w->DrawGraphics());
  }
  QString status() { return w->StBarPrev->currentMessage(); }
};

TEST(PreviewPdf, SavesThePageAsShownOnA4AsVectorText) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  ShownPage p(dir);
  QAction* save = action(*p.w, "Save2PDF");
  EXPECT_EQ(save->text(), QStringLiteral("PDFに保存(&V)..."));
  const QList<QAction*> file = p.w->File1->actions();
  EXPECT_EQ(file.indexOf(save), file.indexOf(action(*p.w, "Save2BMP")) + 1) << "after ファイルに保存";

  dlg.answerSaveFile(std::nullopt);
  save->trigger();
  EXPECT_EQ(p.status(), QString()) << "cancelled: nothing said";
  const QString path = dir.path("page.pdf");
  dlg.answerSaveFile(path);
  p.w->Page1->trigger();  // the view does not matter: the page is written whole
  save->trigger();
  ASSERT_EQ(dlg.shown().size(), 2u);
  EXPECT_EQ(dlg.shown()[1].caption, QStringLiteral("PDFに保存"));
  EXPECT_EQ(dlg.shown()[1].detail, QStringLiteral("PDF ファイル (*.pdf) | pdf"));
  EXPECT_TRUE(dlg.messages().isEmpty()) << dlg.messages().join(u'|').toStdString();
  EXPECT_EQ(p.status(), QStringLiteral("PDF ファイル「%1」に保存しました").arg(QDir::toNativeSeparators(path)));
  const QByteArray pdf = dir.readFile("page.pdf");
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  EXPECT_EQ(pageCount(pdf), 1);
  EXPECT_TRUE(QString::fromLatin1(pdf).contains(QRegularExpression(QStringLiteral("/MediaBox \\[0 0 595(\\.\\d+)? 84[12]"))));
  EXPECT_FALSE(pdf.contains("/Subtype /Image")) << "no bitmap of the page";
  EXPECT_EQ(dir.entries().filter(QStringLiteral(".part")), QStringList());
  if (!testing::hasPopplerTools()) GTEST_SKIP() << "pdftotext is not installed";
  const QString text = testing::pdfText(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("manual text"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("program text"))) << text.toStdString();
}

// (An unwritable folder is the PDF pages' own test; here the window's message.)
TEST(PreviewPdf, AFullDiskIsReportedAndKeepsTheOldFile) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  ShownPage p(dir);
  const QString path = dir.path("full.pdf");
  {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
  }
  {
    testing::FileSizeLimit full(4096);
    dlg.answerSaveFile(path);
    trigger(*p.w, "Save2PDF");
  }
  ASSERT_EQ(dlg.messages().size(), 1);
  EXPECT_TRUE(dlg.messages()[0].startsWith(QStringLiteral("PDF ファイルに保存できませんでした。\r\n"))) << dlg.messages()[0].toStdString();
  EXPECT_TRUE(dlg.messages()[0].contains(QStringLiteral("ディスクの空き"))) << dlg.messages()[0].toStdString();
  EXPECT_EQ(p.status(), QStringLiteral("PDF ファイルに保存できませんでした"));
  EXPECT_EQ(dir.readFile("full.pdf"), QByteArray("old"));
  EXPECT_EQ(dir.entries().filter(QStringLiteral(".part")), QStringList());
}

TEST(PreviewPdf, PrintingSaysWhereThePageWent) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  {
    ShownPage p(dir);
    EXPECT_EQ(p.w->PrintOut(), QStringLiteral("印刷しました"));
    EXPECT_EQ(p.status(), QStringLiteral("印刷しました"));
    p.w->PrevEnd();
    EXPECT_EQ(p.w->PrintOut(), QStringLiteral("プレビューが閉じているので印刷できません"));
    EXPECT_TRUE(dlg.shown().empty()) << "a closed preview says it only to its caller";
  }
  // Qt's PDF printer asks for the file first.
  auto w = testing::pdfPreview(dir.settings(), 300);
  showWindow(*w);
  w->model().ListByManual() << QStringLiteral("TextOut,10,10,\"x\"");
  dlg.answerSaveFile(std::nullopt);
  trigger(*w, "Print2");
  EXPECT_EQ(w->StBarPrev->currentMessage(), QStringLiteral("印刷を取り消しました"));
  const QString path = dir.path("printed.pdf");
  dlg.answerSaveFile(path);
  trigger(*w, "Print2");
  EXPECT_EQ(w->StBarPrev->currentMessage(),
            QStringLiteral("PDF ファイル「%1」に印刷しました").arg(QDir::toNativeSeparators(path)));
  EXPECT_TRUE(dir.readFile("printed.pdf").startsWith("%PDF-"));
  dlg.answerSaveFile(dir.path("no/such/folder/x.pdf"));
  trigger(*w, "Print2");
  EXPECT_EQ(w->StBarPrev->currentMessage(), QStringLiteral("印刷できませんでした"));
  EXPECT_EQ(dlg.messages().size(), 1);

  // Printed onto a full disk: said so, and the file printed before stays whole.
  const QByteArray printed = dir.readFile("printed.pdf");
  dlg.clear();
  {
    testing::FileSizeLimit full(printed.size() / 2);
    dlg.answerSaveFile(path);
    trigger(*w, "Print2");
  }
  ASSERT_EQ(dlg.messages().size(), 1);
  EXPECT_TRUE(dlg.messages()[0].startsWith(QStringLiteral("PDF ファイルに印刷できませんでした。")));
  EXPECT_TRUE(dlg.messages()[0].contains(QStringLiteral("ディスクの空き"))) << dlg.messages()[0].toStdString();
  EXPECT_EQ(dir.readFile("printed.pdf"), printed);
  EXPECT_EQ(dir.entries().filter(QStringLiteral(".part")), QStringList());
}

// ---- Keys ---------------------------------------------------------------------------------------

void activate(QWidget& w) {
  QApplication::setActiveWindow(&w);
  w.activateWindow();
  w.setFocus();
  QApplication::processEvents();
}

// The keys pressed on the window as the worksheet program shows it (its editing items hidden).
TEST(PreviewKeys, KeysDoWhatTheirItemsDo) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  ShownPage p(dir);
  TFrmPrev& w = *p.w;
  w.hideEditingMenus();
  activate(w);

  dlg.answerSaveFile(std::nullopt);
  QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
  dlg.answerSaveFile(std::nullopt);
  QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(dlg.shown().size(), 2u);
  EXPECT_EQ(dlg.shown()[0].caption, QStringLiteral("PDFに保存"));
  EXPECT_EQ(dlg.shown()[1].caption, QStringLiteral("ファイルに保存"));

  QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(w.StBarPrev->currentMessage(), QStringLiteral("印刷しました"));

  QGuiApplication::clipboard()->clear();
  QTest::keyClick(&w, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
            w.visibleImage().convertToFormat(QImage::Format_RGB32));

  // F5 draws the lists again.
  w.model().ListByManual() << QStringLiteral("PenWidth,20") << QStringLiteral("Line,0,100,200,100");
  const QImage before = w.renderer().Image1();
  QTest::keyClick(&w, Qt::Key_F5);
  EXPECT_NE(w.renderer().Image1(), before);

  // Escape in the text-input box hides the box and leaves the window open.
  w.EdtInput->show();
  w.EdtInput->setFocus();
  QApplication::processEvents();
  QTest::keyClick(w.EdtInput, Qt::Key_Escape);
  EXPECT_TRUE(w.EdtInput->isHidden());
  EXPECT_TRUE(w.isVisible());

  // Escape and Ctrl+W close, asking first when the manual list would be lost.
  activate(w);
  dlg.clear();
  dlg.answerYesNoCancel(Answer::Cancel);
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(dlg.texts(), QStringList{"Save data?"});
  activate(w);
  dlg.answerYesNoCancel(Answer::No);
  QTest::keyClick(&w, Qt::Key_W, Qt::ControlModifier);
  EXPECT_FALSE(w.isVisible());
  showWindow(w);  // the manual list is emptied at a show
  activate(w);
  dlg.clear();
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(dlg.shown().empty());
}

}  // namespace
}  // namespace zubira
