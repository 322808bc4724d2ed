#pragma once
// PageModel: the preview's document. It holds the three command lists and the emitters that
// append to the program list, reads the list file with its includes, preloads the 15 picture
// slots, keeps the page metrics (page size, printer and screen resolutions), converts drawing
// units to device pixels of the current target and measures text in drawing units.
//
// The preview window and the command-line mode each own one; the worksheet composer writes to it
// through the emitters and measures through it; the renderer reads the lists, the picture slots,
// the metrics and the conversions from it and draws on its canvases.
//
// Failed printer query: until the printer has been read once (PrinterResX and PrinterResY above
// zero), metricsValid() is false and every conversion and measurement refuses: UnitToDevX and
// UnitToDevY give 0, GetWidth, GetHeight, Get_UnitWidth and Get_UnitHeight give 0, and nothing
// divides by a zero resolution. Callers that draw check metricsValid() (or ErrorNum()) first.

#include "drawing/canvas.h"
#include "drawing/list_file.h"
#include "drawing/load_result.h"
#include "drawing/page_str.h"
#include "drawing/printer_access.h"
#include "platform/tcolor.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

namespace zubira {

class PageModel {
 public:
  // Command lists, drawn in this order; each owns kSlotsPerList picture slots from 5 × n on.
  enum ListId { ListFile = 0, ListManual = 1, ListProgram = 2 };
  static constexpr int kListCount = 3;
  static constexpr int kSlotsPerList = 5;
  static constexpr int kPictureSlots = kListCount * kSlotsPerList;

  // Values of UnitType.
  static constexpr int kUnitPixel = 0;  // printer pixels
  static constexpr int kUnitInch = 1;
  static constexpr int kUnitMillimetre = 2;
  // Values of nTgtCanvas.
  static constexpr int kTargetPrinter = 0;
  static constexpr int kTargetScreen = 1;     // the 1:1 page image
  static constexpr int kTargetWholePage = 2;  // the 1:1 page image, scaled down afterwards

  // The printer is read through `printer` (by default the system's default printer, or the PDF
  // printer when none is installed); the screen's resolution is `screenDpi` when given, else the
  // primary screen's. The screen is read at once; the printer only by ReadPrinterMetrics and
  // GetPageSize, which the owner calls.
  explicit PageModel(std::unique_ptr<PrinterAccess> printer = {},
                     std::optional<int> screenDpi = std::nullopt);
  ~PageModel();
  PageModel(const PageModel&) = delete;
  PageModel& operator=(const PageModel&) = delete;

  // ---- Command lists ----------------------------------------------------------------------
  const QStringList& ListByFile() const { return lists_[ListFile]; }
  // The manual list is edited by the user through the preview window.
  const QStringList& ListByManual() const { return lists_[ListManual]; }
  QStringList& ListByManual() { return lists_[ListManual]; }
  const QStringList& ListbyProgram() const { return lists_[ListProgram]; }
  // List `n` (0 file, 1 manual, 2 program); an empty list for any other n.
  const QStringList& list(int n) const;

  // ---- Emitters: each appends one line to ListbyProgram and does nothing else. Reals are
  // written in the 23-character form, texts marked "quoted" in double quotes with inner quotes
  // doubled; the others exactly as passed (a caller quotes a face or file name with blanks).
  void PrevTextOut(double X, double Y, const QString& Ostr, const QString& Sw);  // Ostr quoted
  void PrevTextOutAngle(double X, double Y, double ang, const QString& Ostr);    // Ostr quoted
  void PrevLine(double X1, double Y1, double X2, double Y2);
  void PrevColor(TColor C);
  void PrevFontColor(TColor C);
  void PrevFontSize(int sz);
  void PrevFontName(const QString& name);
  void PrevFontStyle(const QString& St);
  void PrevBrushColor(TColor C);
  void PrevPenColor(TColor C);
  void PrevPenWidth(double w);  // general decimal form: 0.5, 2
  void PrevPenSize(int w);
  void PrevPenStyle(const QString& St);
  void PrevPicture(const QString& fname, double x1, double y1, double x2, double y2);
  void PrevHeader(const QString& s, int posnum, double x, double y);  // s quoted
  void PrevFooter(const QString& s, int posnum, double x, double y);
  void PrevpageTitle(const QString& s, int posnum, double x, double y);
  void PrevSubTitle(const QString& s, int posnum, double x, double y);
  void PrevInit();
  // Appends INITPARAM to ListByManual.
  void ResetListByManual();
  // Empties ListbyProgram.
  void ClearProgramList();
  // The page of `other` on this model's page: its three lists, picture slots, page strings,
  // credit line and drawing unit; the metrics stay this model's.
  void copyPageFrom(const PageModel& other);

  // ---- List file and pictures ---------------------------------------------------------------
  static QString defaultListIniFile() { return QStringLiteral("Gazumo.prv"); }
  const QString& ListIniFile() const { return listIniFile_; }
  // The list index file; an empty name means the default.
  void setListIniFile(const QString& name);
  void setIncludeBounds(const IncludeBounds& bounds) { includeBounds_ = bounds; }

  // Rebuilds ListByFile from the list index file, then preloads its pictures. A missing index
  // file leaves the list empty without error. A file that exists but cannot be read leaves the
  // list empty and comes back as the error. An INCLUDE cycle or a list grown past the bounds is
  // reported once per load in a message box; the INCLUDE lines concerned are dropped.
  LoadResult LoadListFile();
  // Fill the slots of one list from its PICTURE lines (those with more than two items), the k-th
  // such line into the k-th slot of the list's range, at most five; slots no line reaches keep
  // their content. A picture file that exists but cannot be read stops with that error.
  LoadResult PreloadFilePictures() { return preloadPictures(ListFile); }
  LoadResult PreloadManualPictures() { return preloadPictures(ListManual); }
  LoadResult PreloadProgramPictures() { return preloadPictures(ListProgram); }
  // Decodes `file` into `slot`; a missing or undecodable file empties the slot without error.
  LoadResult LoadPicture(int slot, const QString& file);
  // The picture in `slot`; a null image for an empty slot or a slot out of range.
  const QImage& Bmp(int slot) const;

  // ---- Page strings (drawn by the renderer) ------------------------------------------------
  TPageStr Header;
  TPageStr Footer;
  TPageStr PageTitle;
  TPageStr SubTitle;
  TPageStr PageStrTmp;  // scratch copy while a page-string command draws
  // The credit line at the foot of every page: mode 4 at x "0" in "ＭＳ Ｐ明朝" 12 pt.
  const TPageStr& Copyright() const { return copyright_; }
  void SetCopyright(const QString& s) { copyright_.psStr = s; }

  // ---- Page metrics -------------------------------------------------------------------------
  // MonitorRes := the screen's vertical pixels per inch (96 when the screen reports none).
  void ReadScreenMetrics();
  // PrinterResX, PrinterResY, RatioX, RatioY from the printer. When it cannot be queried, shows
  // "デフォルトのプリンタの設定を確認下さい", sets ErrorNum to 1, keeps the previous values and
  // returns false.
  bool ReadPrinterMetrics();
  // PageW, PageH := the printable area in printer pixels; false (values kept) when the printer
  // cannot tell.
  bool GetPageSize();

  int Get_Width() const { return pageW_; }
  int Get_Height() const { return pageH_; }
  // The page extent in the current unit; PageW and PageH for a unit outside 0 to 2.
  double Get_UnitWidth() const;
  double Get_UnitHeight() const;

  int PageW() const { return pageW_; }
  int PageH() const { return pageH_; }
  int PrinterResX() const { return printerResX_; }
  int PrinterResY() const { return printerResY_; }
  int MonitorRes() const { return monitorRes_; }
  double RatioX() const { return ratioX_; }  // printer pixels per screen pixel
  double RatioY() const { return ratioY_; }
  // -1 while the printer metrics are valid (or not read yet), 1 after reading them failed.
  int ErrorNum() const { return errorNum_; }
  // True once the printer and screen resolutions are known: conversions and measurements work.
  bool metricsValid() const;
  // The 1:1 page image: PageW / RatioX by PageH / RatioY screen pixels, truncated; empty while
  // the metrics are not valid.
  QSize pageImageSize() const;

  int UnitType() const { return unitType_; }
  void setUnitType(int unit) { unitType_ = unit; }
  int nTgtCanvas() const { return tgtCanvas_; }
  void setTgtCanvas(int target) { tgtCanvas_ = target; }
  int LimitLevel() const { return limitLevel_; }
  void Set_LimitLevel(int LV) { limitLevel_ = LV; }

  // A position in drawing units to device pixels of the current target, halves rounded away from
  // zero. A negative value counts from the right (bottom) edge of the page. Values beyond the
  // integer range saturate.
  int UnitToDevX(double x) const;
  int UnitToDevY(double y) const;

  // Width and full line height of `ps` in drawing units with the current font, measured on the
  // target's canvas; in the pixel unit on the printer's canvas, the height plus one.
  double GetWidth(const QString& ps) const;
  double GetHeight(const QString& ps) const;
  // Makes `v` the current font of both the screen and the printer canvas.
  void SetFontSets(const CanvasFont& v);

  // ---- Canvases -----------------------------------------------------------------------------
  // The 1:1 page image's canvas and the printer's canvas, at the screen's and the printer's
  // resolution. By default both are PainterCanvas objects that the renderer attaches to its
  // painters; tests put recording canvases in their place.
  Canvas& screenCanvas() { return *screenCanvas_; }
  const Canvas& screenCanvas() const { return *screenCanvas_; }
  Canvas& printerCanvas() { return *printerCanvas_; }
  const Canvas& printerCanvas() const { return *printerCanvas_; }
  // The printer's canvas when nTgtCanvas is 0, else the 1:1 page image's.
  Canvas& DrawTarget() { return tgtCanvas_ == kTargetPrinter ? *printerCanvas_ : *screenCanvas_; }
  // Replaces the canvases (a null pointer keeps that one); they get the current resolutions.
  void setCanvases(std::unique_ptr<Canvas> screen, std::unique_ptr<Canvas> printer);

  PrinterAccess& printerAccess() { return *printer_; }

 private:
  void appendProgramLine(const QString& line);
  void appendPageString(const char* word, const QString& s, int posnum, double x, double y);
  LoadResult preloadPictures(int n);
  double extent(int pagePixels, int printerRes) const;
  int unitToDev(double v, int printerRes, int pagePixels) const;
  void updateRatios();

  std::array<QStringList, kListCount> lists_;
  std::array<QImage, kPictureSlots> bmp_;
  QString listIniFile_ = defaultListIniFile();
  IncludeBounds includeBounds_;
  TPageStr copyright_;

  std::unique_ptr<PrinterAccess> printer_;
  std::optional<int> fixedScreenDpi_;
  std::unique_ptr<Canvas> screenCanvas_;
  std::unique_ptr<Canvas> printerCanvas_;

  int pageW_ = 0;
  int pageH_ = 0;
  int printerResX_ = 0;
  int printerResY_ = 0;
  int monitorRes_ = 0;
  double ratioX_ = 0;
  double ratioY_ = 0;
  int unitType_ = kUnitPixel;
  int tgtCanvas_ = kTargetScreen;
  int limitLevel_ = 0;
  int errorNum_ = -1;
};

}  // namespace zubira
