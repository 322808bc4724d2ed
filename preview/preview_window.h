#pragma once
// TFrmPrev: the preview window. It owns the page model (the three command lists, the picture
// slots, the page strings and the metrics) and the renderer with the two page bitmaps, and shows
// the page either at 1:1 (`Image1`, scrolled when larger than the window) or shrunk to the window
// (`Image2`). From its menus it prints (SetPrinter, PrintOut), saves the visible bitmap as a BMP,
// JPEG or PNG file and the page as an A4 PDF, copies the bitmap to the clipboard, and switches
// the view, ruler, grid and drawing unit. The status bar says what printing and saving did. Its
// view settings live in the program's settings file: read when it is created, written when it is
// destroyed.
//
// One instance lives for the whole run. It starts hidden; every show rebuilds the page bitmaps
// from the metrics, reads the list file again and empties the manual and program lists, but
// draws nothing: the next redraw (a composition ending in PrevUpDateProgram, a menu item, a
// resize) fills them.
//
// When the printer cannot be queried at creation the window is inert for the rest of the run
// (ErrorNum() is 1): it reads no settings and writes none back, and show, resize, drawing,
// printing and export do nothing.
//
// List management, interactive editing and the page-string dialog: each of their menu items is
// connected to a hook below. The hooks' bodies live together in preview_window_editing.cpp; a
// subclass may override them. The list dialog and the page-string dialog are handed in after
// creation; without them their items do nothing.
//
//   item              object      hook
//   "更新(&U)"         Update1     Update1Click()          (PrevUpDateManual)
//   "読込リスト(&R)"    R1          onListReview(ListFile)
//   "入力リスト(&I)"    I1          onListReview(ListManual)
//   "自動リスト(&A)"    A1          onListReview(ListProgram)
//   "入力リスト保存(&L)" L1          SaveList()
//   "入力リスト破棄(&D)" D1          D1Click()
//   "文字(&M)"         Font2       Font2Click()
//   "ペン色(&C)"       C3          C3Click()
//   "ペン幅(&W)"       W1          W1Click()
//   "初期値(&D)"       D2          D2Click()
//   "コマンド入力(&I)"   I2          I2Click()
//   "ヘッダー(&H)"      H1          Set_SetOfHeader()
//   "フッター(&F)"      F1          Set_SetOfFooter()
//   "タイトル(&T)"      T1          Set_SetOfPageTitle()
//   "サブタイトル(&S)"   S1          Set_SetOfSubTitle()
//   "文字入力(&E)"      E1          E1Click()               (the check mark toggles by itself)
//   "閉じる(&C)", or closing through the window frame    FormCloseQuery()   (true closes)
//   mouse-button release on Image1      Image1MouseUp(button, position in page pixels)
//   key press in EdtInput               EdtInputKeyDown(event) (true eats the key)
//
// The check marks of H1, F1, T1 and S1 are set by the window when it reads the page strings; a
// click on those items does not toggle them (only the hooks may set them). EdtInput lies in the
// same scrolled page area as the images, so a position in Image1's pixels places it over that
// point of the page.
//
// Resizing: a window on screen refuses a resize after which the page bitmap (the whole page in
// 1:1 view, the client area in page view) could not be allocated, with a message, and goes back
// to its previous size; sizes given while it is hidden are not checked.

#include "drawing/page_model.h"
#include "drawing/page_renderer.h"
#include "drawing/printer_access.h"
#include "platform/ini_file.h"

#include "preview/sheet_pages.h"

#include <QColor>
#include <QMainWindow>
#include <QPoint>
#include <QStringList>
#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QPrinter;
class QScrollArea;
class QStatusBar;

namespace zubira {

class PageImageView;
class TFrmList;
class TFrmPageStr;
struct PreviewSettings;

class TFrmPrev : public QMainWindow {
  Q_OBJECT
 public:
  // `settingsPath`: the settings file. `printer`: the printer behind the metrics and the print
  // job (by default the system's default printer, or Qt's PDF printer when none is installed).
  // `screenDpi`: the screen's resolution, by default the primary screen's.
  explicit TFrmPrev(QWidget* parent = nullptr, const QString& settingsPath = defaultSettingsPath(),
                    std::unique_ptr<PrinterAccess> printer = {},
                    std::optional<int> screenDpi = std::nullopt);
  ~TFrmPrev() override;

  PageModel& model() { return *model_; }
  const PageModel& model() const { return *model_; }
  PageRenderer& renderer() { return *renderer_; }
  const PageRenderer& renderer() const { return *renderer_; }
  const QString& settingsPath() const { return settingsPath_; }

  // ---- State --------------------------------------------------------------------------------
  // -1 usable; 1 the printer could not be queried, the window is inert for the rest of the run.
  int ErrorNum() const { return ErrorNum_; }
  int PageView() const { return renderer_->PageView; }  // 1 the 1:1 view, 2 the page view
  int UnitType() const { return model_->UnitType(); }
  int nTgtCanvas() const { return model_->nTgtCanvas(); }
  int fScale() const { return renderer_->fScale; }
  int fMesh() const { return renderer_->fMesh; }
  int CQuality() const { return CQuality_; }
  int LimitLevel() const { return model_->LimitLevel(); }
  // The six values the settings file keeps.
  PreviewSettings settings() const;

  // ---- Operations ---------------------------------------------------------------------------
  // Hides the window at once, as "閉じる(&C)" does; no question is asked.
  void PrevEnd();
  // When above 0, the next show hides the list and edit items, the unit submenu and help.
  void Set_LimitLevel(int LV) { model_->Set_LimitLevel(LV); }
  // The print dialog, then the metrics and page size of the printer now selected, a new 1:1
  // bitmap, a redraw and the caption "Preview W:H X:Y". The dialog's answer is not looked at.
  void SetPrinter();
  // One print job with the current page, drawn at the printer's resolution. Nothing while the
  // window is hidden or inert. A CUPS printer gets the page as one job with the print dialog's
  // copies; a job the server does not accept (no server, a stopped or rejecting queue) is
  // reported with the server's reason. Qt's PDF printer (no printer installed, or printing to a
  // file) asks for the PDF file's name first and writes it whole or not at all. Returns what
  // became of the page, as the status bar shows it: where the job went, or why nothing was
  // printed.
  QString PrintOut();
  // The credit line at the foot of every page.
  void SetCopyright(const QString& s) { model_->SetCopyright(s); }

  // Redraws (each does nothing while the window is hidden or inert).
  bool DrawGraphics() { return renderer_->DrawGraphics(); }
  void PrevUpDate() { renderer_->PrevUpDate(); }
  void PrevUpDateFile() { renderer_->PrevUpDateFile(); }
  void PrevUpDateManual() { renderer_->PrevUpDateManual(); }
  void PrevUpDateProgram() { renderer_->PrevUpDateProgram(); }

  // The page-view fit: the largest size with the page's aspect ratio that fits `client`,
  // touching its right or bottom edge; empty when the page or the client area is empty.
  static QSize pageViewFit(int pageW, int pageH, QSize client);
  // The client area the page-view image is fitted into: the page area without scroll bars.
  QSize clientSize() const;
  // The bitmap of the page image that is visible (Image1 in 1:1 view, Image2 in page view), as
  // saved and copied; a null image when neither is.
  const QImage& visibleImage() const;

  // ---- Menu items by object name ------------------------------------------------------------
  // The item named `objectName`: an action, a separator or a submenu's own item (for the menus
  // Edit1, View1, Unit1, Help1 and File1); null for an unknown name.
  QAction* menuItem(const QString& objectName) const;
  void hideMenuItems(const QStringList& objectNames);
  // The items the worksheet program does not offer (the edit menu, the page-string, list-file,
  // text-input and command items, the unit submenu and help), as its main window hides them.
  static QStringList editingMenuItemNames();
  void hideEditingMenus() { hideMenuItems(editingMenuItemNames()); }
  // A note about the page in the status bar; an empty text clears it.
  void showStatusText(const QString& text);
  // The sheet shown has `count` pages and `compose(k)` puts page k in the program list: 次のページ
  // and 前のページ (PageDown, PageUp) turn them, and printing and PDFに保存 take every page.
  void setSheetPages(int count, std::function<void(int page)> compose);
  // The items a LimitLevel above 0 hides at show.
  static QStringList limitedMenuItemNames();

  // ---- The manual list ----------------------------------------------------------------------
  // Empties the manual list; nothing is redrawn.
  void ClearManualList();
  // Removes line `idx` (0-based) of the manual list; an index that names no line removes nothing.
  void DeleteManualList(int idx);
  // The font "文字(&M)" remembers (name and size of the last choice; black, no style), and the
  // one it starts with.
  const CanvasFont& rememberedFont() const { return rememberedFont_; }
  static CanvasFont defaultRememberedFont();
  // Where a text typed into EdtInput goes: the box's top-left corner in pixels of the 1:1 page
  // image, whatever part of the page is scrolled into view.
  QPoint textInputPagePosition() const;

  // ---- Hooks of the list management and the page-string dialog (see above) ------------------
  virtual void SaveList();
  virtual bool Set_SetOfHeader();
  virtual bool Set_SetOfFooter();
  virtual bool Set_SetOfPageTitle();
  virtual bool Set_SetOfSubTitle();

  // The page-string dialog and the list dialog, created after this window and shared with the
  // main window (not owned).
  void setPageStrDialog(TFrmPageStr* dialog) { pageStrDialog_ = dialog; }
  void setListDialog(TFrmList* dialog) { listDialog_ = dialog; }
  TFrmPageStr* pageStrDialog() const { return pageStrDialog_; }
  TFrmList* listDialog() const { return listDialog_; }

  // ---- Controls -----------------------------------------------------------------------------
  PageImageView* Image1 = nullptr;  // the page at 1:1
  PageImageView* Image2 = nullptr;  // the whole page shrunk to the window
  QLineEdit* EdtInput = nullptr;    // hidden box for text typed onto the page

  QMenu* File1 = nullptr;
  QAction* Update1 = nullptr;
  QAction* R1 = nullptr;
  QAction* I1 = nullptr;
  QAction* A1 = nullptr;
  QAction* L1 = nullptr;
  QAction* D1 = nullptr;
  QAction* N3 = nullptr;
  QAction* Save2BMP = nullptr;
  QAction* Save2PDF = nullptr;
  QAction* JpegOpt = nullptr;
  QAction* Copy2Clip = nullptr;
  QAction* N6 = nullptr;
  QAction* Printer1 = nullptr;
  QAction* Print2 = nullptr;
  QAction* N1 = nullptr;
  QAction* Close1 = nullptr;

  QMenu* Edit1 = nullptr;
  QAction* Font2 = nullptr;
  QAction* C3 = nullptr;
  QAction* W1 = nullptr;
  QAction* D2 = nullptr;
  QAction* I2 = nullptr;
  QAction* N4 = nullptr;
  QAction* H1 = nullptr;
  QAction* F1 = nullptr;
  QAction* T1 = nullptr;
  QAction* S1 = nullptr;
  QAction* N8 = nullptr;
  QAction* E1 = nullptr;

  QMenu* View1 = nullptr;
  QAction* Scale1 = nullptr;
  QAction* Mesh1 = nullptr;
  QAction* N2 = nullptr;
  QAction* WysiWyg2 = nullptr;
  QAction* Page1 = nullptr;
  QAction* NextPage1 = nullptr;
  QAction* PrevPage1 = nullptr;
  QAction* N5 = nullptr;
  QMenu* Unit1 = nullptr;
  QAction* Pixel1 = nullptr;
  QAction* Inch1 = nullptr;
  QAction* mm1 = nullptr;

  QMenu* Help1 = nullptr;
  QAction* About1 = nullptr;

  QActionGroup* ViewGroup = nullptr;  // WysiWyg2, Page1
  QActionGroup* UnitGroup = nullptr;  // Pixel1, Inch1, mm1

  QStatusBar* StBarPrev = nullptr;  // what printing and saving did

 protected:
  virtual void Update1Click();
  // `list`: PageModel::ListFile, ListManual or ListProgram.
  virtual void onListReview(int list);
  virtual void D1Click();
  virtual void Font2Click();
  virtual void C3Click();
  virtual void W1Click();
  virtual void D2Click();
  virtual void I2Click();
  virtual void E1Click();
  virtual bool FormCloseQuery();
  virtual void Image1MouseUp(Qt::MouseButton button, QPoint position);
  virtual bool EdtInputKeyDown(QKeyEvent* event);

  // The bitmaps: the 1:1 image at the page size from the metrics, the page-view image at the
  // given size; each then makes nTgtCanvas follow PageView.
  void SetImage1Size();
  void SetImage2Size(int width, int height);

  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TFrmPageStr* pageStrDialog_ = nullptr;
  TFrmList* listDialog_ = nullptr;
  CanvasFont rememberedFont_ = defaultRememberedFont();
  QColor penDialogColor_ = Qt::black;  // the colour dialog opens on the colour last chosen
  bool lastSaveFailed_ = false;        // the last SaveList chose a file but could not write it
  void buildControls();
  void buildMenus();
  void FormCreate();
  void FormDestroy();
  void FormShow();
  bool FormCanResize();
  void FormResize();

  void WysiWyg2Click();
  void Page1Click();
  void Scale1Click(bool checked);
  void Mesh1Click(bool checked);
  void UnitClick(int unit);
  void Save2BMPClick();
  void Save2PDFClick();
  void JpegOptClick();
  void Copy2ClipClick();

  void applyPageViewFit();
  void showView(int view);
  void syncImages();
  void updateScrollContents();
  void checkUnitItem();
  // Prints one page; false with `error` when the job could not be started or drawn.
  bool printPage(QPrinter* printer, const QString& pdfFile, QString* error);
  // Prints one page on the CUPS queue of `printer` as one job with the dialog's copies; false
  // with `error` (and the server's reason) when it was not accepted.
  bool printOnQueue(const QPrinter& printer, QString* error);
  void message(const QString& text);
  void showStatus(const QString& text);
  void turnPage(int step);

  QString settingsPath_;
  std::unique_ptr<PageModel> model_;
  std::unique_ptr<PageRenderer> renderer_;
  QScrollArea* scroll_ = nullptr;
  QWidget* pageArea_ = nullptr;

  int ErrorNum_ = -1;
  SheetPages sheetPages_;
  quint8 CQuality_ = 90;
  // The settings and page strings were read at creation, so they may be written back.
  bool settingsRead_ = false;
  // The size a refused resize is being undone to.
  std::optional<QSize> restoringSize_;
  bool inResizeGuard_ = false;
};

}  // namespace zubira
