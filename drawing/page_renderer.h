#pragma once
// DrawGraphics: renders one page of the page model onto the current target (the printer, or the
// 1:1 page image, afterwards scaled into the whole-page view image). It clears the page, draws
// the on-screen grid and ruler when asked, interprets the file, manual and program lists in that
// order, then draws the page strings no command has drawn and the credit line.
//
// The interpreter reads each line as a command with comma-separated items; a malformed line ends
// its own list (some with a message through the dialog seam, at most one per list) and the
// rendering goes on with the next list.

#include "drawing/canvas.h"
#include "drawing/page_str.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

class QPainter;
class QPrinter;
class QWidget;

namespace zubira {

class PageModel;

class PageRenderer {
 public:
  explicit PageRenderer(PageModel& model);

  // ---- What the preview window sets -----------------------------------------------------------
  int PageView = 1;  // 1 the 1:1 view, 2 the whole page; the grid and ruler only in 1:1
  int fMesh = 0;     // 1: draw the grid
  int fScale = 0;    // 1: draw the ruler
  // Whether the preview is shown; a hidden preview renders nothing (the default: always shown).
  void setVisibleCheck(std::function<bool()> visible) { visible_ = std::move(visible); }
  // Called after every rendering on the screen (the 1:1 image, and the whole-page image scaled
  // from it), to have the images repainted.
  void setRepaint(std::function<void()> repaint) { repaint_ = std::move(repaint); }
  // Parent of the message boxes.
  void setMessageParent(QWidget* parent) { messageParent_ = parent; }

  // A page image beyond this many pixels is refused rather than allocated.
  static constexpr qint64 kMaxImagePixels = 64LL * 1024 * 1024;

  // The 1:1 page image, sized to the page at the screen's resolution; white until drawn on.
  // False (image left empty) when the metrics are not valid or the page is implausibly large.
  bool SetImage1Size();
  const QImage& Image1() const { return image1_; }
  // The whole-page view image; the 1:1 image is scaled into it after a rendering for target 2.
  void SetImage2Size(QSize size);
  const QImage& Image2() const { return image2_; }
  // The printer a rendering for target 0 prints on (one print job of one page per rendering).
  void setPrinter(QPrinter* printer) { printer_ = printer; }
  // A painter already active on the printer: renderings for target 0 draw through it and leave
  // the job to its owner, who may start a new page between renderings (several sheets in one
  // document). Null returns to one job per rendering.
  void setPrintPainter(QPainter* painter) { printPainter_ = painter; }

  // Renders the page; false when nothing was rendered (hidden, metrics not valid, no image, or
  // the print job could not be started).
  bool DrawGraphics();

  // LoadListFile, PreloadManualPictures, PreloadProgramPictures, then DrawGraphics.
  void PrevUpDate();
  void PrevUpDateFile();     // LoadListFile, then DrawGraphics
  void PrevUpDateManual();   // PreloadManualPictures, then DrawGraphics
  void PrevUpDateProgram();  // PreloadProgramPictures, then DrawGraphics

  // ---- Drawing state kept beside the canvas font (rotated text reads these) ------------------
  bool fBold = false;
  bool fItalic = false;
  bool fUnderline = false;
  bool fStrikeout = false;
  int nfontsize = 9;
  int nfontheight = 0;

  // The messages shown by the last rendering or refresh, for a caller that reports them
  // elsewhere.
  const QStringList& messages() const { return messages_; }

  // The widest text and the most characters a spaced TEXTOUT draws.
  static constexpr int kMaxSpacing = 100;
  static constexpr int kMaxSpacedCharacters = 200;

 private:
  bool render();
  void InitDrawingParams();
  void DrawList(int n);
  void DrawMesh();
  void DrawScale();
  void DrawAngleText(int x, int y, const QString& text, int angle);

  void SetPageStrFont(const QString& face, int size, bool bold, bool italic);
  double PageStrX(int mode, double w) const;
  void DrawHeader();
  void DrawFooter();
  void DrawPageTitle();
  void DrawSubTitle();
  void DrawCreditLine();
  enum class Kind { Header, Footer, Title };
  void drawPageString(TPageStr& ps, Kind kind);
  void drawPageText(double x, double y, const QString& text);

  void message(const QString& text);
  void reloadFileList();
  void loadPictures(int list);
  Canvas& target();

  PageModel& model_;
  std::function<bool()> visible_;
  std::function<void()> repaint_;
  QWidget* messageParent_ = nullptr;
  QPrinter* printer_ = nullptr;
  QPainter* printPainter_ = nullptr;
  QImage image1_;
  QImage image2_;
  QSize image2Size_;

  // One rendering.
  double HeaderBottom = 0;
  double CreditLineHeight = 0;
  int PictureSlot = 0;
  std::vector<int> Dx;
  QStringList messages_;
};

}  // namespace zubira
