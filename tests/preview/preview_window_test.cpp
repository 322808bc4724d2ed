// The preview window: its controls and menus, creation, show and destruction, the two views and
// their bitmaps, the ruler, grid and unit items, the redraws, the resize guard, the settings file
// and the inert window after a failed printer query.

#include "platform/ini_file.h"
#include "platform/sjis_text.h"
#include "preview/page_image_view.h"
#include "preview/preview_settings.h"
#include "preview/preview_window.h"
#include "tests/preview/preview_test_util.h"
#include "tests/support/scripted_dialogs.h"

#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>

namespace zubira {
namespace {

using testing::FixedPreview;
using testing::PreviewFolder;
using testing::ScriptedDialogs;
using testing::action;
using testing::allWhite;
using testing::recordOn;
using testing::showWindow;
using testing::trigger;

const QSize k600(600, 600);
const QSize kPage(4800, 6600);  // 8 by 11 inches at 600 dpi

// ---- Controls and menus ----------------------------------------------------------------------

TEST(PreviewWindow, MenuItemsWithTheirCaptionsAndMarks) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  enum Mark { Plain, Check, Radio1, Radio2 };
  const struct {
    const char* name;
    const char* menu;  // the object name of the menu holding it
    const char* caption;
    Mark mark;
    bool checked;
  } items[] = {
      {"Update1", "File1", "更新(&U)", Plain, false},
      {"R1", "File1", "読込リスト(&R)", Plain, false},
      {"I1", "File1", "入力リスト(&I)", Plain, false},
      {"A1", "File1", "自動リスト(&A)", Plain, false},
      {"L1", "File1", "入力リスト保存(&L)", Plain, false},
      {"D1", "File1", "入力リスト破棄(&D)", Plain, false},
      {"N3", "File1", "", Plain, false},
      {"Save2BMP", "File1", "ファイルに保存(&B)", Plain, false},
      {"Save2PDF", "File1", "PDFに保存(&V)...", Plain, false},
      {"JpegOpt", "File1", "Jpeg画像の質(&J)", Plain, false},
      {"Copy2Clip", "File1", "クリップボードに複写(&F)", Plain, false},
      {"N6", "File1", "", Plain, false},
      {"Printer1", "File1", "プリンタ設定(&S)", Plain, false},
      {"Print2", "File1", "印刷(&P)", Plain, false},
      {"N1", "File1", "", Plain, false},
      {"Close1", "File1", "閉じる(&C)", Plain, false},
      {"Font2", "Edit1", "文字(&M)", Plain, false},
      {"C3", "Edit1", "ペン色(&C)", Plain, false},
      {"W1", "Edit1", "ペン幅(&W)", Plain, false},
      {"D2", "Edit1", "初期値(&D)", Plain, false},
      {"I2", "Edit1", "コマンド入力(&I)", Plain, false},
      {"N4", "Edit1", "", Plain, false},
      {"H1", "Edit1", "ヘッダー(&H)", Check, false},
      {"F1", "Edit1", "フッター(&F)", Check, false},
      {"T1", "Edit1", "タイトル(&T)", Check, false},
      {"S1", "Edit1", "サブタイトル(&S)", Check, false},
      {"N8", "Edit1", "", Plain, false},
      {"E1", "Edit1", "文字入力(&E)", Check, false},
      {"Scale1", "View1", "メモリ(&S)", Check, false},
      {"Mesh1", "View1", "方眼(&M)", Check, false},
      {"N2", "View1", "", Plain, false},
      {"WysiWyg2", "View1", "１：１表示(&W)", Radio1, true},
      {"Page1", "View1", "ページ(&G)", Radio1, false},
      {"N5", "View1", "", Plain, false},
      {"Unit1", "View1", "描画単位(&U)", Plain, false},
      {"Pixel1", "Unit1", "&Pixel", Radio2, false},
      {"Inch1", "Unit1", "&Inch", Radio2, false},
      {"mm1", "Unit1", "&mm", Radio2, true},
      {"About1", "Help1", "Gazumoについて(&A)", Plain, false},
  };
  auto* viewGroup = w->findChild<QActionGroup*>(QStringLiteral("ViewGroup"));
  auto* unitGroup = w->findChild<QActionGroup*>(QStringLiteral("UnitGroup"));
  ASSERT_TRUE(viewGroup && unitGroup);
  EXPECT_TRUE(viewGroup->isExclusive());
  EXPECT_TRUE(unitGroup->isExclusive());
  for (const auto& it : items) {
    QAction* a = action(*w, it.name);
    ASSERT_NE(a, nullptr) << it.name;
    auto* menu = w->findChild<QMenu*>(QLatin1String(it.menu));
    ASSERT_NE(menu, nullptr) << it.menu;
    EXPECT_TRUE(menu->actions().contains(a)) << it.name << " in " << it.menu;
    EXPECT_EQ(a->text(), QString::fromUtf8(it.caption)) << it.name;
    EXPECT_EQ(a->isSeparator(), QByteArray(it.name).startsWith('N') && QByteArray(it.name).size() == 2)
        << it.name;
    EXPECT_EQ(a->isCheckable(), it.mark != Plain) << it.name;
    EXPECT_EQ(a->isChecked(), it.checked) << it.name;
    QActionGroup* group = it.mark == Radio1 ? viewGroup : it.mark == Radio2 ? unitGroup : nullptr;
    EXPECT_EQ(a->actionGroup(), group) << it.name;
    EXPECT_TRUE(a->isVisible()) << it.name;
  }
  // The menu bar: the four menus in order.
  QStringList bar;
  for (QAction* a : w->menuBar()->actions()) bar << a->text();
  EXPECT_EQ(bar, (QStringList{"ファイル(&F)", "編集(&E)", "表示(&V)", "ヘルプ(&H)"}));
  EXPECT_EQ(w->menuItem(QStringLiteral("Edit1")), w->Edit1->menuAction());
  EXPECT_EQ(w->menuItem(QStringLiteral("NoSuchItem")), nullptr);
}

TEST(PreviewWindow, AppearanceWhenMade) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Preview"));
  EXPECT_EQ(w->size(), QSize(480, 600));
  EXPECT_TRUE(w->windowFlags() & Qt::Tool);
  EXPECT_EQ(w->font().family(), QStringLiteral("ＭＳ Ｐ明朝"));
  EXPECT_EQ(w->font().pixelSize(), 12);
  EXPECT_FALSE(w->isVisible());
  EXPECT_FALSE(w->Image1->isHidden());
  EXPECT_TRUE(w->Image2->isHidden());
  ASSERT_NE(w->EdtInput, nullptr);
  EXPECT_EQ(w->EdtInput->objectName(), QStringLiteral("EdtInput"));
  EXPECT_EQ(w->EdtInput->text(), QStringLiteral("EdtInput"));
  EXPECT_TRUE(w->EdtInput->isHidden());
  EXPECT_EQ(w->findChild<PageImageView*>(QStringLiteral("Image1")), w->Image1);
  EXPECT_EQ(w->findChild<PageImageView*>(QStringLiteral("Image2")), w->Image2);
  EXPECT_TRUE(dlg.shown().empty());
}

// ---- Creation and the settings file -------------------------------------------------------------

TEST(PreviewWindow, FirstRunDefaults) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  EXPECT_EQ(w->ErrorNum(), -1);
  EXPECT_EQ(w->PageView(), 1);
  EXPECT_EQ(w->UnitType(), 2);
  EXPECT_EQ(w->fScale(), 0);
  EXPECT_EQ(w->fMesh(), 0);
  EXPECT_EQ(w->model().ListIniFile(), QStringLiteral("Gazumo.prv"));
  EXPECT_EQ(w->CQuality(), 90);
  EXPECT_EQ(w->nTgtCanvas(), 1);
  EXPECT_EQ(w->LimitLevel(), 0);
  EXPECT_EQ(w->model().PageW(), 4800);
  EXPECT_EQ(w->model().PageH(), 6600);
  EXPECT_DOUBLE_EQ(w->model().RatioX(), 6.25);
  // The page strings without a file: empty, not placed, "ＭＳ 明朝" 9 pt at "0", "0".
  for (const TPageStr* ps : {&w->model().Header, &w->model().Footer, &w->model().PageTitle,
                             &w->model().SubTitle}) {
    EXPECT_TRUE(ps->psStr.isEmpty());
    EXPECT_EQ(ps->psPos, 0);
    EXPECT_EQ(ps->psSize, 9);
    EXPECT_EQ(ps->psName, QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(ps->psX, QStringLiteral("0"));
    EXPECT_EQ(ps->psY, QStringLiteral("0"));
  }
  for (const char* m : {"H1", "F1", "T1", "S1"}) EXPECT_FALSE(action(*w, m)->isChecked()) << m;
  // The credit line: empty, at x "0", "ＭＳ Ｐ明朝" 12.
  EXPECT_TRUE(w->model().Copyright().psStr.isEmpty());
  EXPECT_EQ(w->model().Copyright().psPos, 4);
  EXPECT_EQ(w->model().Copyright().psX, QStringLiteral("0"));
  EXPECT_EQ(w->model().Copyright().psName, QStringLiteral("ＭＳ Ｐ明朝"));
  EXPECT_EQ(w->model().Copyright().psSize, 12);
  w->SetCopyright(QStringLiteral("(c) test"));
  EXPECT_EQ(w->model().Copyright().psStr, QStringLiteral("(c) test"));
  EXPECT_TRUE(dlg.shown().empty());
}

TEST(PreviewWindow, SettingsAreReadAtCreation) {
  PreviewFolder dir;
  dir.writeSettings(
      "[PageView]\nIndex=2\n[Unit]\nType=1\n[Sw]\nScale=1\nMesh=1\n[ListFile]\nName=my.prv\n"
      "[Option]\nQuality=75\n"
      "[Header]\nString=見出し\nPos=3\nSize=14\nName=IPAGothic\n"
      "[Footer]\nString=脚注\nPos=0\n"
      "[PageTitle]\nString=\nPos=2\n"
      "[SubTitle]\nString=副題\nPos=4\nX=12.5\nY=30\nBold=1\n");
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  EXPECT_EQ(w->PageView(), 2);
  EXPECT_EQ(w->UnitType(), 1);
  EXPECT_EQ(w->fScale(), 1);
  EXPECT_EQ(w->fMesh(), 1);
  EXPECT_EQ(w->model().ListIniFile(), QStringLiteral("my.prv"));
  EXPECT_EQ(w->CQuality(), 75);
  EXPECT_EQ(w->model().Header.psStr, QStringLiteral("見出し"));
  EXPECT_EQ(w->model().Header.psSize, 14);
  EXPECT_EQ(w->model().SubTitle.psX, QStringLiteral("12.5"));
  EXPECT_TRUE(w->model().SubTitle.psBold);
  // A check mark for a page string with a text and a position.
  EXPECT_TRUE(action(*w, "H1")->isChecked());
  EXPECT_FALSE(action(*w, "F1")->isChecked()) << "mode 0";
  EXPECT_FALSE(action(*w, "T1")->isChecked()) << "no text";
  EXPECT_TRUE(action(*w, "S1")->isChecked());
  // A click on such an item does not clear its mark (only the page-string dialog sets it).
  trigger(*w, "H1");
  EXPECT_TRUE(action(*w, "H1")->isChecked());
  trigger(*w, "T1");
  EXPECT_FALSE(action(*w, "T1")->isChecked());
}

TEST(PreviewWindow, EmptyListFileNameAndOddValues) {
  PreviewFolder dir;
  dir.writeSettings("[ListFile]\nName=\n[Option]\nQuality=abc\n[Unit]\nType=x\n[PageView]\nIndex=\n");
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  EXPECT_EQ(w->model().ListIniFile(), QStringLiteral("Gazumo.prv"));
  EXPECT_EQ(w->CQuality(), 90);
  EXPECT_EQ(w->UnitType(), 2);
  EXPECT_EQ(w->PageView(), 1);
}

TEST(PreviewWindow, SettingsWrittenAtDestructionAndReadBack) {
  PreviewFolder dir;
  dir.writeSettings("; kept\n[Page]\nRow=7\n");
  {
    ScriptedDialogs dlg;
    FixedPreview w(dir.settings(), k600, kPage);
    showWindow(*w);
    trigger(*w, "Page1");
    trigger(*w, "Scale1");
    trigger(*w, "Inch1");
    dlg.answerInput(QStringLiteral("75"));
    trigger(*w, "JpegOpt");
    w->model().Header.psStr = QStringLiteral("頭");
    w->model().Header.psPos = 1;
    EXPECT_EQ(dir.readSettings(), QByteArray("; kept\n[Page]\nRow=7\n")) << "nothing written during the run";
  }
  const IniFile ini(dir.settings());
  EXPECT_EQ(ini.readString("PageView", "Index", "?"), QStringLiteral("2"));
  EXPECT_EQ(ini.readString("Unit", "Type", "?"), QStringLiteral("1"));
  EXPECT_EQ(ini.readString("Sw", "Scale", "?"), QStringLiteral("1"));
  EXPECT_EQ(ini.readString("Sw", "Mesh", "?"), QStringLiteral("0"));
  EXPECT_EQ(ini.readString("ListFile", "Name", "?"), QStringLiteral("Gazumo.prv"));
  EXPECT_EQ(ini.readString("Option", "Quality", "?"), QStringLiteral("75"));
  EXPECT_EQ(ini.readString("Header", "String", "?"), QStringLiteral("頭"));
  EXPECT_EQ(ini.readString("Header", "Pos", "?"), QStringLiteral("1"));
  for (const char* s : {"Footer", "PageTitle", "SubTitle"})
    EXPECT_EQ(ini.readString(s, "Name", "?"), QStringLiteral("ＭＳ 明朝")) << s;
  EXPECT_EQ(ini.readString("Page", "Row", "?"), QStringLiteral("7"));
  EXPECT_TRUE(ini.text().startsWith(QStringLiteral("; kept\n")));

  // The next run starts where this one ended.
  ScriptedDialogs dlg;
  FixedPreview next(dir.settings(), k600, kPage);
  EXPECT_EQ(next->PageView(), 2);
  EXPECT_EQ(next->UnitType(), 1);
  EXPECT_EQ(next->fScale(), 1);
  EXPECT_EQ(next->fMesh(), 0);
  EXPECT_EQ(next->CQuality(), 75);
  EXPECT_EQ(next->model().Header.psStr, QStringLiteral("頭"));
  EXPECT_TRUE(action(*next, "H1")->isChecked());
}

TEST(PreviewWindow, QualityExtremesSurviveARestart) {
  for (const char* q : {"1", "100"}) {
    PreviewFolder dir;
    {
      ScriptedDialogs dlg;
      FixedPreview w(dir.settings(), k600, kPage);
      dlg.answerInput(QLatin1String(q));
      trigger(*w, "JpegOpt");
      EXPECT_TRUE(dlg.messages().isEmpty());
    }
    ScriptedDialogs dlg;
    FixedPreview w(dir.settings(), k600, kPage);
    EXPECT_EQ(w->CQuality(), QByteArray(q).toInt()) << q;
  }
}

// ---- The inert window after a failed printer query ------------------------------------------------

TEST(PreviewWindow, FailedPrinterQueryMakesAnInertWindow) {
  PreviewFolder dir;
  const QByteArray stored =
      "[PageView]\nIndex=2\n[Unit]\nType=1\n[Option]\nQuality=33\n[Header]\nString=頭\nPos=1\n";
  dir.writeSettings(stored);
  {
    ScriptedDialogs dlg;
    FixedPreview w(dir.settings(), k600, kPage, /*queryable=*/false);
    EXPECT_EQ(dlg.messages(), QStringList{QStringLiteral("デフォルトのプリンタの設定を確認下さい")});
    EXPECT_EQ(w->ErrorNum(), 1);
    // Nothing was read: the creation defaults stand.
    EXPECT_EQ(w->PageView(), 1);
    EXPECT_EQ(w->UnitType(), 0);
    EXPECT_EQ(w->CQuality(), 90);
    EXPECT_TRUE(w->model().Header.psStr.isEmpty());
    EXPECT_FALSE(action(*w, "H1")->isChecked());
    EXPECT_EQ(w->model().PageW(), 0);
    dlg.clear();

    showWindow(*w);
    EXPECT_TRUE(w->renderer().Image1().isNull());
    EXPECT_EQ(w->Image1->size(), QSize(0, 0));
    w->model().ListByManual() << QStringLiteral("Line,0,0,10,10");
    EXPECT_FALSE(w->DrawGraphics());
    w->PrevUpDateManual();
    w->resize(520, 640);
    QApplication::processEvents();
    trigger(*w, "Page1");
    trigger(*w, "Mesh1");
    trigger(*w, "Pixel1");
    trigger(*w, "Print2");     // no PDF name asked, no job
    trigger(*w, "Save2BMP");   // nothing to save
    trigger(*w, "Copy2Clip");
    EXPECT_TRUE(w->renderer().Image1().isNull());
    EXPECT_TRUE(dlg.shown().empty()) << dlg.texts().join(QLatin1Char('|')).toStdString();

    // A later printer query that succeeds does not make the window usable again.
    w.printer->set(k600, kPage, true);
    dlg.answerPrint(true);
    trigger(*w, "Printer1");
    EXPECT_EQ(w->ErrorNum(), 1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Preview"));
    EXPECT_FALSE(w->DrawGraphics());
    w->hide();
    showWindow(*w);
    EXPECT_TRUE(w->renderer().Image1().isNull());
  }
  // The stored settings and page strings were not replaced by the creation defaults.
  EXPECT_EQ(dir.readSettings(), stored);
}

TEST(PreviewWindow, InertWindowLeavesAMissingFileMissing) {
  PreviewFolder dir;
  {
    ScriptedDialogs dlg;
    FixedPreview w(dir.settings(), k600, kPage, false);
  }
  EXPECT_FALSE(QFile::exists(dir.settings()));
}

// ---- Show, bitmaps and views -----------------------------------------------------------------------

TEST(PreviewWindow, ShowSizesTheOneToOneBitmapWithoutDrawing) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  // 4800 by 6600 printer pixels at 600 dpi on a 96 dpi screen.
  EXPECT_EQ(w->renderer().Image1().size(), QSize(768, 1056));
  EXPECT_EQ(w->Image1->size(), QSize(768, 1056));
  EXPECT_TRUE(w->Image1->isVisible());
  EXPECT_FALSE(w->Image2->isVisible());
  EXPECT_EQ(w->nTgtCanvas(), 1);
  EXPECT_TRUE(action(*w, "WysiWyg2")->isChecked());
  EXPECT_TRUE(action(*w, "mm1")->isChecked());
  EXPECT_TRUE(rec.screen->calls().empty()) << "show draws nothing";
  EXPECT_TRUE(allWhite(w->renderer().Image1()));
  EXPECT_EQ(w->visibleImage().size(), QSize(768, 1056));
  // The page is larger than the window: the page area scrolls.
  auto* scroll = w->findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  EXPECT_EQ(scroll->widget()->size(), QSize(768, 1056));
  EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
  EXPECT_TRUE(dlg.shown().empty());
}

TEST(PreviewWindow, ShowEmptiesTheListsAndReadsTheListFile) {
  PreviewFolder dir;
  QString error;
  ASSERT_TRUE(writeCp932Lines(dir.path("Gazumo.prv"), {QStringLiteral("page.lst")}, &error));
  ASSERT_TRUE(writeCp932Lines(dir.path("page.lst"), {QStringLiteral("Line,0,0,10,10")}, &error));
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  w->model().ListByManual() << QStringLiteral("Line,1,1,2,2");
  w->model().PrevLine(3, 3, 4, 4);
  w->renderer().fBold = w->renderer().fItalic = w->renderer().fUnderline =
      w->renderer().fStrikeout = true;
  showWindow(*w);
  EXPECT_EQ(w->model().ListByFile(), QStringList{QStringLiteral("Line,0,0,10,10")});
  EXPECT_TRUE(w->model().ListByManual().isEmpty());
  EXPECT_TRUE(w->model().ListbyProgram().isEmpty());
  EXPECT_FALSE(w->renderer().fBold || w->renderer().fItalic || w->renderer().fUnderline ||
               w->renderer().fStrikeout);

  // Every show reads the file again.
  ASSERT_TRUE(writeCp932Lines(dir.path("page.lst"), {QStringLiteral("Line,5,5,6,6")}, &error));
  w->hide();
  showWindow(*w);
  EXPECT_EQ(w->model().ListByFile(), QStringList{QStringLiteral("Line,5,5,6,6")});
}

TEST(PreviewWindow, ShowInPageViewFromTheSettings) {
  PreviewFolder dir;
  dir.writeSettings("[PageView]\nIndex=2\n");
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  EXPECT_TRUE(action(*w, "Page1")->isChecked());
  EXPECT_FALSE(action(*w, "WysiWyg2")->isChecked());
  EXPECT_FALSE(w->Image1->isVisible());
  EXPECT_TRUE(w->Image2->isVisible());
  const QSize client = w->clientSize();
  const QSize fit = TFrmPrev::pageViewFit(4800, 6600, client);
  EXPECT_EQ(w->renderer().Image2().size(), fit);
  EXPECT_EQ(w->Image2->size(), fit);
  // It touches the right or the bottom edge of the client area and keeps the page's shape.
  EXPECT_TRUE(fit.width() == client.width() || fit.height() == client.height());
  EXPECT_NEAR(double(fit.width()) / fit.height(), 4800.0 / 6600.0, 0.01);
  EXPECT_TRUE(allWhite(w->renderer().Image2())) << "blank until the next redraw";
  EXPECT_EQ(w->nTgtCanvas(), 2);
  EXPECT_EQ(w->visibleImage().size(), fit);
}

TEST(PreviewWindow, PageViewFitRule) {
  const struct {
    int pageW, pageH;
    QSize client;
    QSize fit;
  } cases[] = {
      {4800, 6600, {464, 541}, {393, 541}},  // taller: the bottom edge
      {6600, 4800, {464, 541}, {464, 337}},  // wider: the right edge
      {1000, 1000, {500, 500}, {500, 500}},
      {100, 100, {200, 400}, {200, 200}},
      {4958, 7017, {480, 577}, {407, 577}},
      {4800, 6600, {0, 541}, {0, 0}},
      {4800, 6600, {464, 0}, {0, 0}},
      {0, 6600, {464, 541}, {0, 0}},
      {4800, 0, {464, 541}, {0, 0}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TFrmPrev::pageViewFit(c.pageW, c.pageH, c.client), c.fit)
        << c.pageW << "x" << c.pageH << " in " << c.client.width() << "x" << c.client.height();
}

TEST(PreviewWindow, PageItemFitsRedrawsAndSwapsTheImages) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  w->model().ListByManual() << QStringLiteral("PenWidth,1") << QStringLiteral("Color,RED")
                            << QStringLiteral("Line,0,50,200,50");
  trigger(*w, "Page1");
  EXPECT_EQ(w->PageView(), 2);
  EXPECT_EQ(w->nTgtCanvas(), 2);
  const QSize fit = TFrmPrev::pageViewFit(4800, 6600, w->clientSize());
  EXPECT_EQ(w->renderer().Image2().size(), fit);
  EXPECT_FALSE(w->Image1->isVisible());
  EXPECT_TRUE(w->Image2->isVisible());
  EXPECT_FALSE(allWhite(w->renderer().Image2())) << "redrawn into the page view";
  EXPECT_FALSE(allWhite(w->renderer().Image1())) << "the page is rendered once, at 1:1";
  auto* scroll = w->findChild<QScrollArea*>();
  EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0) << "the page view needs no scrolling";

  // Back to 1:1: nothing is redrawn or re-created; the target stays at the page view's.
  const qint64 key = w->renderer().Image1().cacheKey();
  trigger(*w, "WysiWyg2");
  EXPECT_EQ(w->PageView(), 1);
  EXPECT_TRUE(action(*w, "WysiWyg2")->isChecked());
  EXPECT_TRUE(w->Image1->isVisible());
  EXPECT_FALSE(w->Image2->isVisible());
  EXPECT_EQ(w->nTgtCanvas(), 2);
  EXPECT_EQ(w->renderer().Image1().cacheKey(), key);
  EXPECT_EQ(w->visibleImage().size(), QSize(768, 1056));
}

// Which actions redraw the page.
TEST(PreviewWindow, RedrawTriggers) {
  const struct {
    const char* item;
    bool redraws;
  } cases[] = {
      {"Scale1", true},  {"Mesh1", true},     {"Pixel1", true}, {"Inch1", true},
      {"mm1", true},     {"Page1", true},     {"WysiWyg2", false}, {"Update1", true},
      {"Font2", false},  {"C3", false},       {"W1", false},    {"D2", false},
      {"H1", false},     {"E1", false},       {"About1", false},
  };
  for (const auto& c : cases) {
    PreviewFolder dir;
    ScriptedDialogs dlg;
    FixedPreview w(dir.settings(), k600, kPage);
    testing::Recorders rec = recordOn(*w);
    showWindow(*w);
    ASSERT_TRUE(rec.screen->calls().empty());
    // The edit items ask first; the lines they append are drawn only by the next redraw.
    const QLatin1String item(c.item);
    if (item == QLatin1String("Font2")) dlg.answerFont(FontChoice{QFont(QStringLiteral("IPAPGothic"), 20), Qt::red});
    if (item == QLatin1String("C3")) dlg.answerColor(QColor(Qt::red));
    if (item == QLatin1String("W1")) dlg.answerInput(QStringLiteral("3"));
    trigger(*w, c.item);
    EXPECT_EQ(!rec.screen->calls().empty(), c.redraws) << c.item;
    EXPECT_TRUE(rec.printer->calls().empty()) << c.item;
  }
}

TEST(PreviewWindow, ResizeRedrawsButDoesNotRefitThePageView) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  w->resize(560, 700);
  QApplication::processEvents();
  EXPECT_FALSE(rec.screen->calls().empty()) << "a resize redraws";

  trigger(*w, "Page1");
  const QSize fitted = w->renderer().Image2().size();
  rec.screen->clearCalls();
  w->resize(400, 500);
  QApplication::processEvents();
  EXPECT_EQ(w->size(), QSize(400, 500));
  EXPECT_FALSE(rec.screen->calls().empty());
  EXPECT_EQ(w->renderer().Image2().size(), fitted);
  EXPECT_NE(TFrmPrev::pageViewFit(4800, 6600, w->clientSize()), fitted);
  trigger(*w, "Page1");
  EXPECT_EQ(w->renderer().Image2().size(), TFrmPrev::pageViewFit(4800, 6600, w->clientSize()));
  EXPECT_TRUE(dlg.messages().isEmpty());
}

TEST(PreviewWindow, ResizeIsRefusedWhenThePageBitmapIsTooBig) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  // 200 by 200 inches: a 1:1 bitmap of 19200 by 19200 pixels is refused.
  FixedPreview w(dir.settings(), QSize(96, 96), QSize(19200, 19200));
  showWindow(*w);
  EXPECT_TRUE(w->renderer().Image1().isNull());
  EXPECT_FALSE(w->DrawGraphics());
  EXPECT_TRUE(dlg.messages().isEmpty()) << "the size it is shown with is not checked";
  const QSize before = w->size();
  w->resize(before + QSize(40, 40));
  QApplication::processEvents();
  EXPECT_EQ(dlg.messages(),
            QStringList{QStringLiteral("Resize is ignore, because  bitmap is too big.")});
  EXPECT_EQ(w->size(), before);

  // In page view the client area's bitmap is what counts: that one is small enough.
  dlg.clear();
  trigger(*w, "Page1");
  w->resize(before + QSize(40, 40));
  QApplication::processEvents();
  EXPECT_TRUE(dlg.messages().isEmpty());
  EXPECT_EQ(w->size(), before + QSize(40, 40));
}

// ---- Ruler, grid and unit -----------------------------------------------------------------------

// The x of the first vertical grid line drawn on the screen, or -1.
int firstGridColumn(const RecordingCanvas& c) {
  for (const auto& call : c.callsOf(RecordingCanvas::Op::Line))
    if (call.pen.style == PenStyle::Dot && call.x1 == call.x2 && call.x1 > 0) return call.x1;
  return -1;
}

TEST(PreviewWindow, GridFollowsTheUnitAndOnlyInOneToOneView) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  trigger(*w, "Mesh1");
  EXPECT_EQ(w->fMesh(), 1);
  EXPECT_TRUE(action(*w, "Mesh1")->isChecked());
  // 10 mm on a 96 dpi screen: 37.8 pixels.
  EXPECT_EQ(firstGridColumn(*rec.screen), 38);
  const struct {
    const char* item;
    int unit;
    int column;
  } units[] = {{"Inch1", 1, 96}, {"Pixel1", 0, 16}, {"mm1", 2, 38}};
  for (const auto& u : units) {
    rec.screen->clearCalls();
    trigger(*w, u.item);
    EXPECT_EQ(w->UnitType(), u.unit);
    EXPECT_TRUE(action(*w, u.item)->isChecked());
    EXPECT_EQ(firstGridColumn(*rec.screen), u.column) << u.item;
  }
  rec.screen->clearCalls();
  trigger(*w, "Mesh1");
  EXPECT_EQ(w->fMesh(), 0);
  EXPECT_FALSE(rec.screen->calls().empty());
  EXPECT_EQ(firstGridColumn(*rec.screen), -1);

  // In page view the grid is switched on and the page redrawn, without a grid.
  trigger(*w, "Page1");
  rec.screen->clearCalls();
  trigger(*w, "Mesh1");
  EXPECT_EQ(w->fMesh(), 1);
  EXPECT_FALSE(rec.screen->calls().empty());
  EXPECT_EQ(firstGridColumn(*rec.screen), -1);
  // Back in 1:1 it appears with the next redraw.
  trigger(*w, "WysiWyg2");
  rec.screen->clearCalls();
  trigger(*w, "Inch1");
  EXPECT_EQ(firstGridColumn(*rec.screen), 96);
}

TEST(PreviewWindow, GridOnTheScreenBitmap) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  trigger(*w, "Mesh1");
  const QImage& image = w->renderer().Image1();
  int green = 0;
  for (int y = 0; y < image.height(); ++y) {
    const QColor c = image.pixelColor(38, y);
    green += c.green() > 200 && c.red() < 80 && c.blue() < 80;
  }
  EXPECT_GT(green, 100) << "a dotted green line 10 mm from the left";
  trigger(*w, "Mesh1");
  EXPECT_TRUE(allWhite(w->renderer().Image1()));
}

TEST(PreviewWindow, RulerToggles) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  trigger(*w, "Scale1");
  EXPECT_EQ(w->fScale(), 1);
  int solid = 0;
  for (const auto& call : rec.screen->callsOf(RecordingCanvas::Op::Line))
    solid += call.pen.style == PenStyle::Solid && call.y1 == 0 && call.x1 == call.x2;
  EXPECT_GT(solid, 10) << "ruler marks along the top";
  trigger(*w, "Scale1");
  EXPECT_EQ(w->fScale(), 0);
  EXPECT_FALSE(action(*w, "Scale1")->isChecked());
}

TEST(PreviewWindow, MarksAtShowFollowTheStoredValuesExactly) {
  const struct {
    const char* file;
    bool scale, mesh;
    const char* unitItem;  // checked after show
    const char* viewItem;
  } cases[] = {
      {"[Sw]\nScale=1\nMesh=1\n", true, true, "mm1", "WysiWyg2"},
      {"[Sw]\nScale=2\nMesh=0\n", false, false, "mm1", "WysiWyg2"},
      {"[Unit]\nType=0\n", false, false, "Pixel1", "WysiWyg2"},
      {"[Unit]\nType=1\n", false, false, "Inch1", "WysiWyg2"},
      {"[Unit]\nType=7\n", false, false, "mm1", "WysiWyg2"},  // no item of its own: as it was
      {"[PageView]\nIndex=5\n", false, false, "mm1", "WysiWyg2"},
  };
  for (const auto& c : cases) {
    PreviewFolder dir;
    dir.writeSettings(c.file);
    ScriptedDialogs dlg;
    FixedPreview w(dir.settings(), k600, kPage);
    showWindow(*w);
    EXPECT_EQ(action(*w, "Scale1")->isChecked(), c.scale) << c.file;
    EXPECT_EQ(action(*w, "Mesh1")->isChecked(), c.mesh) << c.file;
    EXPECT_TRUE(action(*w, c.unitItem)->isChecked()) << c.file;
    EXPECT_TRUE(action(*w, c.viewItem)->isChecked()) << c.file;
  }
  // A stored 2 shows unchecked; the next toggle checks the item and stores 1.
  PreviewFolder dir;
  dir.writeSettings("[Sw]\nScale=2\n");
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  EXPECT_EQ(w->fScale(), 2);
  trigger(*w, "Scale1");
  EXPECT_TRUE(action(*w, "Scale1")->isChecked());
  EXPECT_EQ(w->fScale(), 1);
}

TEST(PreviewWindow, ViewIndexOutsideOneAndTwoLeavesTheImagesAsTheyWere) {
  PreviewFolder dir;
  dir.writeSettings("[PageView]\nIndex=5\n");
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  EXPECT_EQ(w->PageView(), 5);
  EXPECT_TRUE(w->Image1->isVisible());
  EXPECT_FALSE(w->Image2->isVisible());
  EXPECT_EQ(w->nTgtCanvas(), 5);
  // Drawing still works and goes to the screen.
  w->model().ListByManual() << QStringLiteral("Line,0,10,100,10");
  EXPECT_TRUE(w->DrawGraphics());
  EXPECT_FALSE(allWhite(w->renderer().Image1()));
}

// ---- Menu items hidden --------------------------------------------------------------------------

QStringList allItemNames() {
  return {"Update1", "R1",     "I1",     "A1",    "L1",    "D1",       "N3",     "Save2BMP", "Save2PDF",
          "JpegOpt", "Copy2Clip", "N6",  "Printer1", "Print2", "N1",   "Close1", "Edit1",
          "Font2",   "C3",     "W1",     "D2",    "I2",    "N4",       "H1",     "F1",
          "T1",      "S1",     "N8",     "E1",    "View1", "Scale1",   "Mesh1",  "N2",
          "WysiWyg2", "Page1", "N5",     "Unit1", "Pixel1", "Inch1",   "mm1",    "Help1",
          "About1",  "File1"};
}

QStringList hiddenItems(TFrmPrev& w) {
  QStringList hidden;
  for (const QString& name : allItemNames()) {
    QAction* a = w.menuItem(name);
    EXPECT_NE(a, nullptr) << name.toStdString();
    if (a && !a->isVisible()) hidden << name;
  }
  return hidden;
}

TEST(PreviewWindow, LimitLevelHidesElevenItemsAtShow) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  w->Set_LimitLevel(1);
  EXPECT_EQ(w->LimitLevel(), 1);
  EXPECT_TRUE(hiddenItems(*w).isEmpty()) << "only at the next show";
  showWindow(*w);
  QStringList expected{"Update1", "R1", "I1", "A1", "L1", "D1", "N3", "Edit1", "N5", "Unit1", "Help1"};
  QStringList got = hiddenItems(*w);
  expected.sort();
  got.sort();
  EXPECT_EQ(got, expected);
  EXPECT_EQ(TFrmPrev::limitedMenuItemNames().size(), 11);
}

TEST(PreviewWindow, LimitLevelZeroHidesNothing) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  w->Set_LimitLevel(0);
  showWindow(*w);
  EXPECT_TRUE(hiddenItems(*w).isEmpty());
}

TEST(PreviewWindow, TheWorksheetProgramHidesTheEditingItems) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  w->hideEditingMenus();
  QStringList expected{"H1", "F1", "T1", "S1", "N8", "E1", "I2", "Pixel1", "Inch1", "mm1", "Unit1",
                       "N5", "Edit1", "R1", "I1", "A1", "L1", "D1", "Help1"};
  QStringList got = hiddenItems(*w);
  expected.sort();
  got.sort();
  EXPECT_EQ(got, expected);
  // What stays: updating (its key F5 would do nothing on a hidden item), export, printing, the
  // view items and closing.
  for (const char* name : {"Update1", "N3", "Save2BMP", "Save2PDF", "JpegOpt", "Copy2Clip", "Printer1",
                           "Print2", "Close1", "Scale1", "Mesh1", "WysiWyg2", "Page1"})
    EXPECT_TRUE(action(*w, name)->isVisible()) << name;
}

// ---- Hiding and closing --------------------------------------------------------------------------

TEST(PreviewWindow, CloseItemAsksAsTheFrameDoesAndPrevEndHidesAtOnce) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  trigger(*w, "Close1");
  EXPECT_FALSE(w->isVisible()) << "no manual list: closed without a question";
  EXPECT_TRUE(dlg.shown().empty());
  showWindow(*w);
  w->model().ListByManual() << QStringLiteral("Line,0,0,1,1");
  dlg.answerYesNoCancel(Answer::Cancel);
  trigger(*w, "Close1");
  EXPECT_TRUE(w->isVisible()) << "the manual list would be lost: Cancel keeps the window";
  EXPECT_EQ(dlg.texts(), QStringList{"Save data?"});
  w->PrevEnd();
  EXPECT_FALSE(w->isVisible()) << "PrevEnd asks nothing";
  EXPECT_EQ(dlg.shown().size(), 1u);
  showWindow(*w);
  EXPECT_TRUE(w->close());
  EXPECT_FALSE(w->isVisible());
}

// A window whose close question says no stays on screen.
class KeepOpenPreview : public TFrmPrev {
 public:
  using TFrmPrev::TFrmPrev;
  int asked = 0;
  std::vector<int> reviewed;

 protected:
  bool FormCloseQuery() override {
    ++asked;
    return false;
  }
  void onListReview(int list) override { reviewed.push_back(list); }
};

TEST(PreviewWindow, HooksCanBeFilledIn) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  KeepOpenPreview w(nullptr, dir.settings(),
                    std::make_unique<FixedPrinterAccess>(k600, kPage), 96);
  showWindow(w);
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.asked, 1);
  trigger(w, "R1");
  trigger(w, "I1");
  trigger(w, "A1");
  EXPECT_EQ(w.reviewed, (std::vector<int>{PageModel::ListFile, PageModel::ListManual,
                                          PageModel::ListProgram}));
  w.PrevEnd();
  EXPECT_FALSE(w.isVisible()) << "closing from the menu asks nothing";
  EXPECT_EQ(w.asked, 1);
}

// The main window's road: show, compose into the program list, redraw.
TEST(PreviewWindow, ProgramListRefreshDrawsTheComposedPage) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  w->model().ClearProgramList();
  w->model().PrevInit();
  w->model().PrevPenColor(makeTColor(255, 0, 0));
  w->model().PrevLine(10, 20, 100, 20);
  w->PrevUpDateProgram();
  const QImage& image = w->renderer().Image1();
  EXPECT_EQ(image.pixelColor(w->model().UnitToDevX(50), w->model().UnitToDevY(20)), QColor(Qt::red));
  // The widget shows the bitmap it was given.
  const QImage shown = w->Image1->grab(QRect(0, 0, 400, 200)).toImage();
  EXPECT_EQ(shown.pixelColor(w->model().UnitToDevX(50), w->model().UnitToDevY(20)), QColor(Qt::red));
}

}  // namespace
}  // namespace zubira
