// Behaviour that depends on Qt's own dialogs and on the real end of the event loop, tried through
// the real things on the offscreen platform: a scripted dialog would hide what Qt does.

#include "app/zubira_app.h"
#include "tests/app/test_app.h"

#include "drawing/font_choice.h"
#include "drawing/printer_access.h"
#include "generation/random_source.h"
#include "preview/page_str_dialog.h"
#include "preview/preview_window.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/worksheet/local_http_server.h"
#include "worksheet/main_window.h"
#include "worksheet/mix_dialog.h"
#include "worksheet/preset_menu.h"
#include "worksheet/style_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QImage>
#include <QStatusBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

namespace zubira {
namespace {

// Runs `act` on the next modal dialog once it is shown; gives up (rejecting whatever is modal)
// after a few seconds so that a test never hangs.
void onNextModal(std::function<void(QDialog*)> act) {
  auto* timer = new QTimer(qApp);
  timer->setObjectName(QStringLiteral("onNextModal"));
  auto waited = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, waited, act] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog && ++*waited < 500) return;
    timer->stop();
    timer->deleteLater();
    if (dialog) act(dialog);
  });
  timer->start(10);
}

// The replies no dialog took: each test's own, never left to act on a later test's dialogs.
int dropUnusedReplies() {
  int dropped = 0;
  for (QTimer* t : qApp->findChildren<QTimer*>(QStringLiteral("onNextModal"), Qt::FindDirectChildrenOnly))
    if (t->isActive()) {
      delete t;
      ++dropped;
    }
  return dropped;
}

class RealDialogsTest : public ::testing::Test {
 protected:
  RealDialogsTest() {
    qputenv("ZUBIRA_SITE_URL", testing::LocalHttpServer::refusedBase().toString().toUtf8());
    app = std::make_unique<ZubiraApp>(testing::TestAppOptions(dir.filePath("zubira.ini"), &random));
  }
  ~RealDialogsTest() override {
    EXPECT_EQ(dropUnusedReplies(), 0) << "a scripted reply to a dialog that never came";
    app.reset();
    installDialogs(nullptr);
    qunsetenv("ZUBIRA_SITE_URL");
  }
  QTemporaryDir dir;
  PseudoRandomSource random{3};
  std::unique_ptr<ZubiraApp> app;
};

// What the font dialog showed when it opened, and what to choose in it.
struct FontDialogRun {
  QString shownFamily;
  int shownSize = 0;
  QString choose;  // a family to choose, or empty to accept as it opened
  void arm() {
    onNextModal([this](QDialog* d) {
      auto* fonts = d->findChild<QFontDialog*>();
      if (fonts) {
        shownFamily = fonts->currentFont().family();
        shownSize = fonts->currentFont().pointSize();
        if (!choose.isEmpty()) {
          QFont f = fonts->currentFont();
          f.setFamily(choose);
          fonts->setCurrentFont(f);
        }
      }
      d->accept();
    });
  }
};

// OK in a font dialog without a change keeps the stored face; another family is stored as chosen.
TEST_F(RealDialogsTest, FontDialogsOpenOnTheDrawnFaceAndKeepTheStoredName) {
  installDialogs(nullptr);  // Qt's own dialogs
  const QString faces[] = {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("ＭＳ 明朝"),
                           QStringLiteral("ＭＳ Ｐ明朝")};
  TFrmStyle& style = app->styleDialog();
  TFrmPageStr& pageStr = app->pageStrDialog();
  TFrmPrev& prev = app->preview();
  // The three places that open the font dialog on a stored font, and where the result lands.
  struct Place {
    const char* name;
    std::function<void(const CanvasFont&)> store;
    std::function<void()> click;
    std::function<CanvasFont()> result;
  };
  const Place places[] = {
      {"style dialog", [&](const CanvasFont& f) { style.FontExam = f; }, [&] { style.Button3Click(); },
       [&] { return style.FontExam; }},
      {"page-string dialog", [&](const CanvasFont& f) { pageStr.StrFont = f; }, [&] { pageStr.Button1Click(); },
       [&] { return pageStr.StrFont; }},
  };
  for (const Place& place : places) {
    for (const QString& face : faces) {
      SCOPED_TRACE(std::string(place.name) + " " + face.toStdString());
      CanvasFont stored;
      stored.name = face;
      stored.size = 20;
      stored.bold = true;
      place.store(stored);
      FontDialogRun run;
      run.arm();
      place.click();
      EXPECT_EQ(run.shownFamily, drawnFamily(face));
      EXPECT_TRUE(run.shownFamily.startsWith(QLatin1String("IPA"))) << run.shownFamily.toStdString();
      EXPECT_EQ(run.shownSize, 20);
      EXPECT_EQ(place.result().name, face) << "OK without a change keeps the stored name";
      EXPECT_EQ(place.result().size, 20);
      EXPECT_TRUE(place.result().bold);

      FontDialogRun other;
      other.choose = QStringLiteral("DejaVu Sans");
      other.arm();
      place.click();
      EXPECT_EQ(place.result().name, QStringLiteral("DejaVu Sans")) << "another family is stored";
    }
  }

  // The preview's 文字(&M): OK on the remembered font adds no font line to the manual list.
  const QStringList before = prev.model().ListByManual();
  FontDialogRun run;
  run.arm();
  prev.menuItem(QStringLiteral("Font2"))->trigger();
  EXPECT_EQ(run.shownFamily, drawnFamily(prev.rememberedFont().name));
  EXPECT_EQ(prev.model().ListByManual(), before) << "nothing changed, nothing to draw";
  FontDialogRun other;
  other.choose = QStringLiteral("DejaVu Sans");
  other.arm();
  prev.menuItem(QStringLiteral("Font2"))->trigger();
  ASSERT_FALSE(prev.model().ListByManual().isEmpty());
  EXPECT_TRUE(prev.model().ListByManual().join(u'\n').contains(QLatin1String("DejaVu Sans")));
}

// A preset opened through Qt's file dialog, saved through its input box, and a mixed sheet of
// the dialog まとめプリント composed into the real preview.
TEST_F(RealDialogsTest, PresetsAndMixedSheetsThroughTheRealProgram) {
  installDialogs(nullptr);
  TForm1& w = app->mainWindow();
  w.show();
  QFile mailed(dir.filePath("同僚の.ini"));
  ASSERT_TRUE(mailed.open(QIODevice::WriteOnly));
  mailed.write("[Preset]\nName=同僚の\nKind=2\nMax1c=3\nRow=5\nCol=2\n");
  mailed.close();
  onNextModal([&](QDialog* d) {
    auto* files = qobject_cast<QFileDialog*>(d);
    if (files) files->selectFile(mailed.fileName());
    d->accept();
  });
  w.presetMenu()->PresetImport->trigger();
  EXPECT_EQ(w.TabControl1->currentIndex(), 2);
  EXPECT_EQ(w.findChild<QLineEdit*>("EdtMax1c")->text(), QStringLiteral("3"));
  EXPECT_TRUE(QFile::exists(dir.filePath("presets/同僚の.ini")));

  onNextModal([](QDialog* d) {
    if (auto* input = qobject_cast<QInputDialog*>(d)) input->setTextValue(QStringLiteral("かけ算10問"));
    d->accept();
  });
  w.presetMenu()->PresetSave->trigger();
  EXPECT_TRUE(QFile::exists(dir.filePath("presets/かけ算10問.ini")));

  w.MixSheetClick();
  TFrmMix* mix = w.mixDialog();
  ASSERT_TRUE(mix);
  auto* row = static_cast<QComboBox*>(mix->TblMix->cellWidget(0, 0));
  row->setCurrentIndex(row->findText(QStringLiteral("4年 同じ分母のたし算")));
  mix->BtnMixAdd->click();
  auto* second = static_cast<QComboBox*>(mix->TblMix->cellWidget(1, 0));
  second->setCurrentIndex(second->findText(QStringLiteral("かけ算10問")));
  mix->BtnMixAnswers->click();
  EXPECT_EQ(mix->problems().size(), 10u);
  EXPECT_TRUE(app->preview().isVisible());
  const QString page = app->preview().model().ListbyProgram().join(u'\n');
  EXPECT_TRUE(page.contains(QStringLiteral("(答)")));
  EXPECT_TRUE(page.contains(QStringLiteral("\"(10)\"")));
  mix->close();
}

// Qt's own save dialog gives the PDF its extension when none is typed, and the image save writes
// PNG for a name that ends in .png, whatever entry of the filter is selected.
TEST_F(RealDialogsTest, SaveDialogsGiveTheExtensionAndTheImageItsFormat) {
  installDialogs(nullptr);  // Qt's own dialogs
  TForm1& main = app->mainWindow();
  TFrmPrev& prev = app->preview();
  main.show();
  QApplication::processEvents();
  main.BtnMakeClick();
  main.Button1Click();
  ASSERT_TRUE(prev.isVisible());

  QStringList filters;
  const auto save = [&](const QString& name, const char* item) {
    onNextModal([&, name](QDialog* d) {
      auto* files = qobject_cast<QFileDialog*>(d);
      if (!files) {
        d->reject();
        return;
      }
      filters = files->nameFilters();
      files->selectFile(name);
      d->accept();  // QFileDialog::accept, as its Save button
    });
    prev.menuItem(QLatin1String(item))->trigger();
  };
  save(dir.filePath("page"), "Save2PDF");
  QFile pdf(dir.filePath("page.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << "the extension pdf added";
  EXPECT_TRUE(pdf.readAll().startsWith("%PDF-"));
  EXPECT_EQ(filters, QStringList{"PDF ファイル (*.pdf)"});
  EXPECT_EQ(prev.StBarPrev->currentMessage(),
            QStringLiteral("PDF ファイル「%1」に保存しました").arg(QDir::toNativeSeparators(dir.filePath("page.pdf"))));

  save(dir.filePath("page.png"), "Save2BMP");
  QFile png(dir.filePath("page.png"));
  ASSERT_TRUE(png.open(QIODevice::ReadOnly));
  EXPECT_TRUE(png.readAll().startsWith("\x89PNG\r\n\x1a\n"));
  EXPECT_EQ(filters, (QStringList{"BMP 画像 (*.bmp)", "JPEG 画像 (*.jpg *.jpeg)", "PNG 画像 (*.png)"}));
  EXPECT_EQ(QImage(dir.filePath("page.png")).size(), prev.visibleImage().size());
}

// Closing the main window ends the run through the real event loop: no question from the preview
// (its manual list holds lines), every window closed, the settings written, the loop left.
TEST_F(RealDialogsTest, ClosingTheMainWindowEndsTheRunWithoutAQuestion) {
  testing::ScriptedDialogs dialogs;  // any question would fail the test
  TForm1& main = app->mainWindow();
  main.show();
  QApplication::processEvents();
  main.BtnMakeClick();
  main.findChild<QPushButton*>("Button1")->click();
  ASSERT_TRUE(app->preview().isVisible());
  app->preview().model().ListByManual() << QStringLiteral("TextOut,10,10,\"x\"");

  QTimer::singleShot(50, &main, [&] { main.close(); });
  // A guard that ends a stuck loop; it dies with the test, so it cannot end a later test's loop.
  bool stuck = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] {
    stuck = true;
    QCoreApplication::exit(99);
  });
  guard.start(10000);
  const int rc = app->run();
  EXPECT_FALSE(stuck) << "the event loop did not end";
  EXPECT_EQ(rc, 0);
  EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join(u'|').toStdString();
  QFile ini(dir.filePath("zubira.ini"));
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly)) << "the settings were written";
  const QString text = QString::fromUtf8(ini.readAll());
  for (const char* section : {"[Page]", "[PageView]", "[DateTime]"})
    EXPECT_TRUE(text.contains(QLatin1String(section))) << section;
}

}  // namespace
}  // namespace zubira
