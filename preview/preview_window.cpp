#include "preview/preview_window.h"

#include "drawing/cups_printer.h"
#include "drawing/pdf_pages.h"
#include "platform/dialogs.h"
#include "preview/page_export.h"
#include "preview/page_image_view.h"
#include "preview/page_pdf.h"
#include "preview/preview_settings.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QShowEvent>
#include <QStatusBar>

#include <cmath>

namespace zubira {

namespace {

// The window's outer size when it is made.
constexpr int kInitialWidth = 480;
constexpr int kInitialHeight = 600;

QString resizeRefusedMessage() {
  return QStringLiteral("Resize is ignore, because  bitmap is too big.");
}

}  // namespace

TFrmPrev::TFrmPrev(QWidget* parent, const QString& settingsPath,
                   std::unique_ptr<PrinterAccess> printer, std::optional<int> screenDpi)
    : QMainWindow(parent, Qt::Tool),
      settingsPath_(settingsPath),
      model_(std::make_unique<PageModel>(std::move(printer), screenDpi)),
      renderer_(std::make_unique<PageRenderer>(*model_)) {
  setObjectName(QStringLiteral("FrmPrev"));
  setWindowTitle(QStringLiteral("Preview"));
  QFont font(QStringLiteral("ＭＳ Ｐ明朝"));
  font.setPixelSize(12);
  setFont(font);
  buildControls();
  buildMenus();
  resize(kInitialWidth, kInitialHeight);

  renderer_->setMessageParent(this);
  // A hidden or inert window draws nothing.
  renderer_->setVisibleCheck([this] { return isVisible() && ErrorNum_ < 0; });
  renderer_->setRepaint([this] { syncImages(); });
  FormCreate();
}

TFrmPrev::~TFrmPrev() { FormDestroy(); }

// ---- Construction ------------------------------------------------------------------------------

void TFrmPrev::buildControls() {
  scroll_ = new QScrollArea(this);
  scroll_->setObjectName(QStringLiteral("PageScroll"));
  // No frame: the scroll area is the client area, and its scroll bars appear only when the
  // visible image is larger than it.
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(false);
  scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  pageArea_ = new QWidget;
  pageArea_->setObjectName(QStringLiteral("PageArea"));
  Image1 = new PageImageView([this]() -> const QImage& { return renderer_->Image1(); }, pageArea_);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image2 = new PageImageView([this]() -> const QImage& { return renderer_->Image2(); }, pageArea_);
  Image2->setObjectName(QStringLiteral("Image2"));
  Image1->move(0, 0);
  Image2->move(0, 0);
  Image1->resize(0, 0);
  Image2->resize(0, 0);
  Image2->hide();  // the 1:1 view is the one checked when the window is made
  connect(Image1, &PageImageView::mouseReleased, this,
          [this](Qt::MouseButton b, QPoint p) { Image1MouseUp(b, p); });

  EdtInput = new QLineEdit(pageArea_);
  EdtInput->setObjectName(QStringLiteral("EdtInput"));
  EdtInput->setText(QStringLiteral("EdtInput"));
  EdtInput->hide();
  EdtInput->installEventFilter(this);

  pageArea_->resize(0, 0);
  scroll_->setWidget(pageArea_);
  setCentralWidget(scroll_);

  StBarPrev = new QStatusBar(this);
  StBarPrev->setObjectName(QStringLiteral("StBarPrev"));
  setStatusBar(StBarPrev);
}

void TFrmPrev::buildMenus() {
  const auto item = [](QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
  };
  const auto separator = [](QMenu* menu, const char* name) {
    QAction* a = menu->addSeparator();
    a->setObjectName(QLatin1String(name));
    return a;
  };
  const auto menu = [this](const char* name, const QString& caption) {
    QMenu* m = menuBar()->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    return m;
  };

  File1 = menu("File1", QStringLiteral("ファイル(&F)"));
  Update1 = item(File1, "Update1", QStringLiteral("更新(&U)"));
  R1 = item(File1, "R1", QStringLiteral("読込リスト(&R)"));
  I1 = item(File1, "I1", QStringLiteral("入力リスト(&I)"));
  A1 = item(File1, "A1", QStringLiteral("自動リスト(&A)"));
  L1 = item(File1, "L1", QStringLiteral("入力リスト保存(&L)"));
  D1 = item(File1, "D1", QStringLiteral("入力リスト破棄(&D)"));
  N3 = separator(File1, "N3");
  Save2BMP = item(File1, "Save2BMP", QStringLiteral("ファイルに保存(&B)"));
  Save2PDF = item(File1, "Save2PDF", QStringLiteral("PDFに保存(&V)..."));
  JpegOpt = item(File1, "JpegOpt", QStringLiteral("Jpeg画像の質(&J)"));
  Copy2Clip = item(File1, "Copy2Clip", QStringLiteral("クリップボードに複写(&F)"));
  N6 = separator(File1, "N6");
  Printer1 = item(File1, "Printer1", QStringLiteral("プリンタ設定(&S)"));
  Print2 = item(File1, "Print2", QStringLiteral("印刷(&P)"));
  N1 = separator(File1, "N1");
  Close1 = item(File1, "Close1", QStringLiteral("閉じる(&C)"));

  Edit1 = menu("Edit1", QStringLiteral("編集(&E)"));
  Font2 = item(Edit1, "Font2", QStringLiteral("文字(&M)"));
  C3 = item(Edit1, "C3", QStringLiteral("ペン色(&C)"));
  W1 = item(Edit1, "W1", QStringLiteral("ペン幅(&W)"));
  D2 = item(Edit1, "D2", QStringLiteral("初期値(&D)"));
  I2 = item(Edit1, "I2", QStringLiteral("コマンド入力(&I)"));
  N4 = separator(Edit1, "N4");
  H1 = item(Edit1, "H1", QStringLiteral("ヘッダー(&H)"));
  F1 = item(Edit1, "F1", QStringLiteral("フッター(&F)"));
  T1 = item(Edit1, "T1", QStringLiteral("タイトル(&T)"));
  S1 = item(Edit1, "S1", QStringLiteral("サブタイトル(&S)"));
  N8 = separator(Edit1, "N8");
  E1 = item(Edit1, "E1", QStringLiteral("文字入力(&E)"));
  E1->setCheckable(true);

  View1 = menu("View1", QStringLiteral("表示(&V)"));
  Scale1 = item(View1, "Scale1", QStringLiteral("メモリ(&S)"));
  Scale1->setCheckable(true);
  Mesh1 = item(View1, "Mesh1", QStringLiteral("方眼(&M)"));
  Mesh1->setCheckable(true);
  N2 = separator(View1, "N2");
  ViewGroup = new QActionGroup(this);
  ViewGroup->setObjectName(QStringLiteral("ViewGroup"));
  WysiWyg2 = item(View1, "WysiWyg2", QStringLiteral("１：１表示(&W)"));
  Page1 = item(View1, "Page1", QStringLiteral("ページ(&G)"));
  for (QAction* a : {WysiWyg2, Page1}) {
    a->setCheckable(true);
    ViewGroup->addAction(a);
  }
  WysiWyg2->setChecked(true);
  // A sheet of several pages (a long key) is turned page by page.
  NextPage1 = item(View1, "NextPage1", QStringLiteral("次のページ(&N)"));
  PrevPage1 = item(View1, "PrevPage1", QStringLiteral("前のページ(&B)"));
  NextPage1->setShortcut(QKeySequence(Qt::Key_PageDown));
  PrevPage1->setShortcut(QKeySequence(Qt::Key_PageUp));
  NextPage1->setEnabled(false);
  PrevPage1->setEnabled(false);
  N5 = separator(View1, "N5");
  Unit1 = View1->addMenu(QStringLiteral("描画単位(&U)"));
  Unit1->setObjectName(QStringLiteral("Unit1"));
  UnitGroup = new QActionGroup(this);
  UnitGroup->setObjectName(QStringLiteral("UnitGroup"));
  Pixel1 = item(Unit1, "Pixel1", QStringLiteral("&Pixel"));
  Inch1 = item(Unit1, "Inch1", QStringLiteral("&Inch"));
  mm1 = item(Unit1, "mm1", QStringLiteral("&mm"));
  for (QAction* a : {Pixel1, Inch1, mm1}) {
    a->setCheckable(true);
    UnitGroup->addAction(a);
  }
  mm1->setChecked(true);

  Help1 = menu("Help1", QStringLiteral("ヘルプ(&H)"));
  About1 = item(Help1, "About1", QStringLiteral("Gazumoについて(&A)"));

  // The keys of the usual desktop commands. Escape closes as the frame's button does.
  Print2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  Save2PDF->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  Save2BMP->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  Copy2Clip->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  Update1->setShortcut(QKeySequence(Qt::Key_F5));
  Close1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)});

  // The page-string items carry a check mark that only the program sets.
  for (QAction* a : {H1, F1, T1, S1}) a->setCheckable(true);
  const auto keepMark = [](QAction* a, bool toggledTo) { a->setChecked(!toggledTo); };

  connect(Update1, &QAction::triggered, this, [this] { Update1Click(); });
  connect(R1, &QAction::triggered, this, [this] { onListReview(PageModel::ListFile); });
  connect(I1, &QAction::triggered, this, [this] { onListReview(PageModel::ListManual); });
  connect(A1, &QAction::triggered, this, [this] { onListReview(PageModel::ListProgram); });
  connect(L1, &QAction::triggered, this, [this] { SaveList(); });
  connect(D1, &QAction::triggered, this, [this] { D1Click(); });
  connect(Save2BMP, &QAction::triggered, this, [this] { Save2BMPClick(); });
  connect(Save2PDF, &QAction::triggered, this, [this] { Save2PDFClick(); });
  connect(JpegOpt, &QAction::triggered, this, [this] { JpegOptClick(); });
  connect(Copy2Clip, &QAction::triggered, this, [this] { Copy2ClipClick(); });
  connect(Printer1, &QAction::triggered, this, [this] { SetPrinter(); });
  connect(Print2, &QAction::triggered, this, [this] { PrintOut(); });
  // Closing from the menu asks what closing through the frame asks: the next show would empty
  // a manual list.
  connect(Close1, &QAction::triggered, this, [this] { close(); });

  connect(Font2, &QAction::triggered, this, [this] { Font2Click(); });
  connect(C3, &QAction::triggered, this, [this] { C3Click(); });
  connect(W1, &QAction::triggered, this, [this] { W1Click(); });
  connect(D2, &QAction::triggered, this, [this] { D2Click(); });
  connect(I2, &QAction::triggered, this, [this] { I2Click(); });
  connect(H1, &QAction::triggered, this, [this, keepMark](bool c) { keepMark(H1, c); Set_SetOfHeader(); });
  connect(F1, &QAction::triggered, this, [this, keepMark](bool c) { keepMark(F1, c); Set_SetOfFooter(); });
  connect(T1, &QAction::triggered, this, [this, keepMark](bool c) { keepMark(T1, c); Set_SetOfPageTitle(); });
  connect(S1, &QAction::triggered, this, [this, keepMark](bool c) { keepMark(S1, c); Set_SetOfSubTitle(); });
  connect(E1, &QAction::triggered, this, [this] { E1Click(); });

  connect(Scale1, &QAction::triggered, this, [this](bool c) { Scale1Click(c); });
  connect(Mesh1, &QAction::triggered, this, [this](bool c) { Mesh1Click(c); });
  connect(WysiWyg2, &QAction::triggered, this, [this] { WysiWyg2Click(); });
  connect(Page1, &QAction::triggered, this, [this] { Page1Click(); });
  connect(NextPage1, &QAction::triggered, this, [this] { turnPage(1); });
  connect(PrevPage1, &QAction::triggered, this, [this] { turnPage(-1); });
  connect(Pixel1, &QAction::triggered, this, [this] { UnitClick(PageModel::kUnitPixel); });
  connect(Inch1, &QAction::triggered, this, [this] { UnitClick(PageModel::kUnitInch); });
  connect(mm1, &QAction::triggered, this, [this] { UnitClick(PageModel::kUnitMillimetre); });
}

// ---- Life cycle ----------------------------------------------------------------------------------

void TFrmPrev::showStatusText(const QString& text) {
  if (text.isEmpty())
    StBarPrev->clearMessage();
  else
    StBarPrev->showMessage(text);
}

void TFrmPrev::setSheetPages(int count, std::function<void(int)> compose) {
  sheetPages_.set(count, std::move(compose));
  for (QAction* a : {NextPage1, PrevPage1}) a->setEnabled(sheetPages_.count() > 1);
}

void TFrmPrev::turnPage(int step) {
  if (!sheetPages_.turnTo(sheetPages_.page() + step)) return;
  showStatus(QStringLiteral("%1 / %2 ページ").arg(sheetPages_.page() + 1).arg(sheetPages_.count()));
}

void TFrmPrev::FormCreate() {
  ErrorNum_ = -1;
  // The page strings, the 15 picture slots and the three lists are the model's, made empty with it.
  model_->setUnitType(PageModel::kUnitPixel);
  renderer_->PageView = 1;
  model_->setTgtCanvas(PageModel::kTargetScreen);
  renderer_->fScale = 0;
  renderer_->fMesh = 0;
  CQuality_ = 90;

  model_->ReadScreenMetrics();
  if (!model_->ReadPrinterMetrics()) {
    // The message is the model's. Nothing more is read, and nothing will be written back.
    ErrorNum_ = 1;
    return;
  }
  model_->Set_LimitLevel(0);

  const IniFile ini(settingsPath_);
  const PreviewSettings s = ReadPrevSettings(ini);
  renderer_->PageView = s.PageView;
  model_->setUnitType(s.UnitType);
  renderer_->fScale = s.fScale;
  renderer_->fMesh = s.fMesh;
  model_->setListIniFile(s.ListIniFile);
  CQuality_ = quint8(s.CQuality);

  const QString zero = QStringLiteral("0");
  const struct {
    TPageStr* ps;
    const char* section;
    QAction* mark;
  } strings[] = {{&model_->Header, "Header", H1},
                 {&model_->Footer, "Footer", F1},
                 {&model_->PageTitle, "PageTitle", T1},
                 {&model_->SubTitle, "SubTitle", S1}};
  for (const auto& p : strings) {
    p.ps->GetIniSets(ini, QLatin1String(p.section), QString(), 0, zero, zero);
    if (!p.ps->psStr.isEmpty() && p.ps->psPos > 0) p.mark->setChecked(true);
  }
  model_->GetPageSize();
  settingsRead_ = true;
}

void TFrmPrev::FormDestroy() {
  // An inert window never read the file: what the file holds stays as it is.
  if (!settingsRead_) return;
  IniFile ini(settingsPath_);
  // A file that exists but could not be read would be replaced by the preview's keys alone.
  if (!ini.readOk()) return;
  WritePrevSettings(ini, settings());
  model_->Header.SetIniSets(ini, QStringLiteral("Header"));
  model_->Footer.SetIniSets(ini, QStringLiteral("Footer"));
  model_->PageTitle.SetIniSets(ini, QStringLiteral("PageTitle"));
  model_->SubTitle.SetIniSets(ini, QStringLiteral("SubTitle"));
  ini.save();
}

PreviewSettings TFrmPrev::settings() const {
  PreviewSettings s;
  s.PageView = renderer_->PageView;
  s.UnitType = model_->UnitType();
  s.fScale = renderer_->fScale;
  s.fMesh = renderer_->fMesh;
  s.ListIniFile = model_->ListIniFile();
  s.CQuality = CQuality_;
  return s;
}

void TFrmPrev::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A window restored from its minimised state is not shown anew.
  if (!event->spontaneous()) FormShow();
}

void TFrmPrev::FormShow() {
  if (ErrorNum_ >= 0) return;
  SetImage1Size();
  if (PageView() == 2) applyPageViewFit();
  if (LimitLevel() > 0) hideMenuItems(limitedMenuItemNames());
  if (PageView() == 1) {
    WysiWyg2->setChecked(true);
    showView(1);
  } else if (PageView() == 2) {
    Page1->setChecked(true);
    showView(2);
  }
  checkUnitItem();
  const LoadResult loaded = model_->LoadListFile();
  if (!loaded) message(loaded.error);
  if (!model_->ReadPrinterMetrics()) ErrorNum_ = 1;
  Scale1->setChecked(fScale() == 1);
  Mesh1->setChecked(fMesh() == 1);
  model_->ListByManual().clear();
  model_->ClearProgramList();
  renderer_->fBold = renderer_->fItalic = renderer_->fUnderline = renderer_->fStrikeout = false;
  updateScrollContents();
}

void TFrmPrev::checkUnitItem() {
  switch (UnitType()) {
    case PageModel::kUnitPixel: Pixel1->setChecked(true); break;
    case PageModel::kUnitInch: Inch1->setChecked(true); break;
    case PageModel::kUnitMillimetre: mm1->setChecked(true); break;
    default: break;  // no item for it; the marks stay as they are
  }
}

void TFrmPrev::PrevEnd() { hide(); }

void TFrmPrev::closeEvent(QCloseEvent* event) {
  if (FormCloseQuery()) {
    event->accept();
  } else {
    event->ignore();
  }
}

// ---- Bitmaps and views ---------------------------------------------------------------------------

void TFrmPrev::SetImage1Size() {
  renderer_->SetImage1Size();
  Image1->resize(renderer_->Image1().size());
  Image1->update();
  model_->setTgtCanvas(PageView());
  updateScrollContents();
}

void TFrmPrev::SetImage2Size(int width, int height) {
  renderer_->SetImage2Size(QSize(width, height));
  Image2->resize(renderer_->Image2().size());
  Image2->update();
  model_->setTgtCanvas(PageView());
  updateScrollContents();
}

QSize TFrmPrev::pageViewFit(int pageW, int pageH, QSize client) {
  if (pageW <= 0 || pageH <= 0 || client.width() <= 0 || client.height() <= 0) return QSize(0, 0);
  const long double cw = client.width(), ch = client.height();
  const long double rw = pageW / cw, rh = pageH / ch;
  long double width, height;
  if (rh >= rw) {
    height = ch;
    width = cw * rw / rh;
  } else {
    width = cw;
    height = ch * rh / rw;
  }
  return QSize(int(std::trunc(width)), int(std::trunc(height)));
}

QSize TFrmPrev::clientSize() const { return scroll_->maximumViewportSize(); }

void TFrmPrev::applyPageViewFit() {
  const QSize fit = pageViewFit(model_->PageW(), model_->PageH(), clientSize());
  SetImage2Size(fit.width(), fit.height());
}

void TFrmPrev::showView(int view) {
  Image1->setVisible(view == 1);
  Image2->setVisible(view == 2);
  // The text-input box stands on the 1:1 page; over the shrunk page it would be at a wrong place.
  if (view != 1) EdtInput->hide();
  updateScrollContents();
}

void TFrmPrev::updateScrollContents() {
  QSize size(0, 0);
  if (!Image1->isHidden()) size = size.expandedTo(Image1->size());
  if (!Image2->isHidden()) size = size.expandedTo(Image2->size());
  if (pageArea_->size() != size) pageArea_->resize(size);
}

// After a rendering: the renderer may have made a new 1:1 bitmap of another size.
void TFrmPrev::syncImages() {
  if (Image1->size() != renderer_->Image1().size()) Image1->resize(renderer_->Image1().size());
  if (Image2->size() != renderer_->Image2().size()) Image2->resize(renderer_->Image2().size());
  Image1->update();
  Image2->update();
  updateScrollContents();
}

const QImage& TFrmPrev::visibleImage() const {
  static const QImage kNone;
  if (!Image1->isHidden()) return renderer_->Image1();
  if (!Image2->isHidden()) return renderer_->Image2();
  return kNone;
}

void TFrmPrev::WysiWyg2Click() {
  WysiWyg2->setChecked(true);
  renderer_->PageView = 1;
  showView(1);
}

void TFrmPrev::Page1Click() {
  Page1->setChecked(true);
  renderer_->PageView = 2;
  // A small image first, so that the old one's size does not keep scroll bars in the client area.
  SetImage2Size(10, 10);
  applyPageViewFit();
  DrawGraphics();
  showView(2);
}

void TFrmPrev::Scale1Click(bool checked) {
  renderer_->fScale = checked ? 1 : 0;
  DrawGraphics();
}

void TFrmPrev::Mesh1Click(bool checked) {
  renderer_->fMesh = checked ? 1 : 0;
  DrawGraphics();
}

void TFrmPrev::UnitClick(int unit) {
  model_->setUnitType(unit);
  DrawGraphics();
}

// ---- Resizing ------------------------------------------------------------------------------------

// Whether the bitmap the page needs after a resize can be had: the 1:1 page in 1:1 view, else one
// of the client area's size. It is made and dropped again at once.
bool TFrmPrev::FormCanResize() {
  const QSize size = PageView() == 1 ? model_->pageImageSize() : clientSize();
  if (size.isEmpty()) return true;
  if (qint64(size.width()) * size.height() > PageRenderer::kMaxImagePixels) return false;
  const QImage probe(size, QImage::Format_RGB32);
  return !probe.isNull();
}

void TFrmPrev::FormResize() { DrawGraphics(); }

void TFrmPrev::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (ErrorNum_ >= 0) return;
  if (restoringSize_ && event->size() == *restoringSize_) {
    // The refused resize undone.
    restoringSize_.reset();
    return;
  }
  restoringSize_.reset();
  // Only a change of a window on screen is checked; the size a window is first shown with is not.
  if (isVisible() && event->oldSize().isValid() && !inResizeGuard_ && !FormCanResize()) {
    inResizeGuard_ = true;
    message(resizeRefusedMessage());
    restoringSize_ = event->oldSize();
    resize(*restoringSize_);
    inResizeGuard_ = false;
    return;
  }
  FormResize();
}

// ---- Menu items ----------------------------------------------------------------------------------

QAction* TFrmPrev::menuItem(const QString& objectName) const {
  if (objectName.isEmpty()) return nullptr;
  if (auto* a = findChild<QAction*>(objectName)) return a;
  if (auto* m = findChild<QMenu*>(objectName)) return m->menuAction();
  return nullptr;
}

void TFrmPrev::hideMenuItems(const QStringList& objectNames) {
  for (const QString& name : objectNames)
    if (QAction* a = menuItem(name)) a->setVisible(false);
}

// "更新(&U)" stays, with the separator under it: a hidden item's key (F5) would do nothing.
QStringList TFrmPrev::editingMenuItemNames() {
  return {QStringLiteral("H1"),     QStringLiteral("F1"),     QStringLiteral("T1"),
          QStringLiteral("S1"),     QStringLiteral("N8"),     QStringLiteral("E1"),
          QStringLiteral("I2"),     QStringLiteral("Pixel1"), QStringLiteral("Inch1"),
          QStringLiteral("mm1"),    QStringLiteral("Unit1"),  QStringLiteral("N5"),
          QStringLiteral("Edit1"),  QStringLiteral("R1"),     QStringLiteral("I1"),
          QStringLiteral("A1"),     QStringLiteral("L1"),     QStringLiteral("D1"),
          QStringLiteral("Help1")};
}

QStringList TFrmPrev::limitedMenuItemNames() {
  return {QStringLiteral("Update1"), QStringLiteral("R1"),    QStringLiteral("I1"),
          QStringLiteral("L1"),      QStringLiteral("N3"),    QStringLiteral("A1"),
          QStringLiteral("D1"),      QStringLiteral("Edit1"), QStringLiteral("N5"),
          QStringLiteral("Unit1"),   QStringLiteral("Help1")};
}

// ---- Printing ------------------------------------------------------------------------------------

void TFrmPrev::SetPrinter() {
  QPrinter* printer = model_->printerAccess().printer();
  dialogs().printDialog(this, printer);  // the answer does not matter: the printer now selected counts
  if (!model_->ReadPrinterMetrics()) {
    ErrorNum_ = 1;
    return;
  }
  // An inert window stays inert: it neither draws nor takes the new metrics' caption.
  if (ErrorNum_ >= 0) return;
  model_->GetPageSize();
  SetImage1Size();
  DrawGraphics();
  setWindowTitle(QStringLiteral("Preview %1:%2 %3:%4")
                     .arg(model_->PageW())
                     .arg(model_->PageH())
                     .arg(model_->PrinterResX())
                     .arg(model_->PrinterResY()));
}

QString TFrmPrev::PrintOut() {
  // A hidden preview prints nothing; an inert one has no metrics to print with.
  if (ErrorNum_ >= 0 || !model_->metricsValid())
    return QStringLiteral("プリンタの設定を確認できないので印刷できません");
  if (!isVisible()) return QStringLiteral("プレビューが閉じているので印刷できません");
  QPrinter* printer = model_->printerAccess().printer();
  QString pdfFile;
  if (printer && printer->outputFormat() == QPrinter::PdfFormat) {
    QString preset = printer->outputFileName();
    if (QFileInfo(preset).isDir()) preset.clear();
    const std::optional<QString> name = dialogs().saveFileName(
        this, SaveFileRequest{QStringLiteral("PDF ファイルに印刷"), preset,
                              QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf")});
    if (!name || name->isEmpty()) {
      showStatus(QStringLiteral("印刷を取り消しました"));
      return StBarPrev->currentMessage();
    }
    pdfFile = *name;
  }

  const int remembered = model_->nTgtCanvas();
  QString error;
  const bool printed = printPage(printer, pdfFile, &error);
  model_->setTgtCanvas(remembered);
  if (!printed) {
    showStatus(QStringLiteral("印刷できませんでした"));
    message(error);
  } else if (!pdfFile.isEmpty()) {
    showStatus(QStringLiteral("PDF ファイル「%1」に印刷しました").arg(QDir::toNativeSeparators(pdfFile)));
  } else if (printer) {
    showStatus(QStringLiteral("プリンタ「%1」に送りました（%2部）").arg(printer->printerName()).arg(printer->copyCount()));
  } else {
    showStatus(QStringLiteral("印刷しました"));
  }
  return StBarPrev->currentMessage();
}

bool TFrmPrev::printPage(QPrinter* printer, const QString& pdfFile, QString* error) {
  if (printer && pdfFile.isEmpty() && printer->outputFormat() == QPrinter::NativeFormat)
    return printOnQueue(*printer, error);
  const QString failed = pdfFile.isEmpty()
                             ? QStringLiteral("印刷できませんでした")
                             : QStringLiteral("PDF ファイルに印刷できませんでした。\r\n%1")
                                   .arg(QDir::toNativeSeparators(pdfFile));
  // Every page of the sheet, each drawn on the printer's canvas.
  const auto drawPage = [this] {
    model_->setTgtCanvas(PageModel::kTargetPrinter);
    return renderer_->DrawGraphics();
  };
  if (!printer) {
    // Metrics without a printer behind them: the page goes to the printer canvas alone.
    if (sheetPages_.forEach([&](int) { return drawPage(); })) return true;
    *error = failed;
    return false;
  }

  if (!pdfFile.isEmpty()) {
    // Written beside its name and renamed over it once whole, as every PDF of the program.
    PdfPages pages(*printer, *model_, *renderer_);
    if (pages.begin(pdfFile) && sheetPages_.forEach([&](int) { return pages.addPage(); }) && pages.finish())
      return true;
    const QString why = pdfFailureReason(pages);
    pages.abandon();
    *error = why.isEmpty() ? failed : failed + QStringLiteral("\r\n") + why;
    return false;
  }

  QPainter painter;
  if (!painter.begin(printer)) {
    *error = failed;
    return false;
  }
  renderer_->setPrintPainter(&painter);
  const bool drawn = sheetPages_.forEach([&](int k) { return (k == 0 || printer->newPage()) && drawPage(); });
  renderer_->setPrintPainter(nullptr);
  if (!drawn) printer->abort();
  const bool ended = painter.end();
  if (drawn && ended) return true;
  *error = failed;
  return false;
}

bool TFrmPrev::printOnQueue(const QPrinter& printer, QString* error) {
  const auto failed = [&](const QString& why) {
    *error = why.isEmpty() ? QStringLiteral("印刷できませんでした")
                           : QStringLiteral("印刷できませんでした。\r\n%1").arg(why);
    return false;
  };
  // The page is drawn on a PDF of the printer's page and resolution, then sent as one job.
  CupsDocument doc(cupsQueueOf(printer));
  QPagedPaintDevice* device = doc.device();
  if (!device) return failed(doc.error());
  // The model measured the printer: the document must have the very same page.
  if (doc.resolution() != QSize(model_->PrinterResX(), model_->PrinterResY()) ||
      doc.printableSize() != QSize(model_->PageW(), model_->PageH()))
    return failed(QStringLiteral("the page of printer \"%1\" changed").arg(printer.printerName()));
  QPainter painter;
  if (!painter.begin(device)) return failed(QString());
  renderer_->setPrintPainter(&painter);
  const bool drawn = sheetPages_.forEach([&](int k) {
    if (k > 0 && !device->newPage()) return false;
    model_->setTgtCanvas(PageModel::kTargetPrinter);
    return renderer_->DrawGraphics();
  });
  renderer_->setPrintPainter(nullptr);
  painter.end();
  if (!drawn) return failed(QString());
  QString why;
  if (!doc.submit(QGuiApplication::applicationDisplayName(), printer.copyCount(), &why)) return failed(why);
  return true;
}

// ---- Export --------------------------------------------------------------------------------------

void TFrmPrev::Save2BMPClick() {
  if (visibleImage().isNull()) return;  // nothing drawn that could be saved (an inert window)
  const std::optional<QString> name = dialogs().saveFileName(
      this, SaveFileRequest{QStringLiteral("ファイルに保存"), QString(),
                            qtFileFilter(pageImageFilter()), pageImageDefaultSuffix()});
  if (!name || name->isEmpty()) return;
  const ExportResult r = writePageImage(visibleImage(), *name, CQuality_);
  if (!r.ok) message(exportFailedMessage(*name, r));
}

void TFrmPrev::Save2PDFClick() {
  // An inert window has no page to save.
  if (ErrorNum_ >= 0 || !model_->metricsValid()) return;
  const std::optional<QString> name = dialogs().saveFileName(
      this, SaveFileRequest{pdfFileCaption(), QString(), pdfFileFilter(), pdfFileSuffix()});
  if (!name || name->isEmpty()) return;
  QString error;
  if (!savePagePdf(*model_, sheetPages_, *name, &error)) {
    showStatus(QStringLiteral("PDF ファイルに保存できませんでした"));
    message(error);
    return;
  }
  showStatus(pdfSavedStatus(*name));
}

void TFrmPrev::Copy2ClipClick() {
  const QImage& image = visibleImage();
  if (image.isNull()) return;
  if (QClipboard* clip = QGuiApplication::clipboard()) clip->setImage(image);
}

void TFrmPrev::JpegOptClick() {
  const std::optional<QString> text = dialogs().inputText(
      this, jpegQualityCaption(), jpegQualityPrompt(), QString::number(CQuality_));
  if (!text) return;
  const QualityInput q = readJpegQuality(*text);
  if (!q.quality) {
    message(q.message);
    return;
  }
  CQuality_ = quint8(*q.quality);
}

// ---- Helpers -------------------------------------------------------------------------------------

bool TFrmPrev::eventFilter(QObject* watched, QEvent* event) {
  if (watched == EdtInput && event->type() == QEvent::ShortcutOverride &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    // Escape in the text-input box hides the box; it does not close the window.
    event->accept();
    return true;
  }
  if (watched == EdtInput && event->type() == QEvent::KeyPress)
    return EdtInputKeyDown(static_cast<QKeyEvent*>(event));
  return QMainWindow::eventFilter(watched, event);
}

void TFrmPrev::message(const QString& text) {
  dialogs().message(this, messageCaption(), text, MessageIcon::Warning);
}

void TFrmPrev::showStatus(const QString& text) { StBarPrev->showMessage(text); }

}  // namespace zubira
