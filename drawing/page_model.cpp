#include "drawing/page_model.h"

#include "drawing/color_names.h"
#include "drawing/comma_text.h"
#include "drawing/number_text.h"
#include "drawing/painter_canvas.h"
#include "drawing/picture_loader.h"
#include "platform/dialogs.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace zubira {

namespace {

constexpr double kMillimetresPerInch = 25.4;
// The screen's resolution when it reports none.
constexpr int kFallbackScreenDpi = 96;

QString real(double v) { return formatCommandReal(v); }

}  // namespace

PageModel::PageModel(std::unique_ptr<PrinterAccess> printer, std::optional<int> screenDpi)
    : printer_(printer ? std::move(printer) : std::make_unique<QtPrinterAccess>()),
      fixedScreenDpi_(screenDpi),
      screenCanvas_(std::make_unique<PainterCanvas>(0, 0)),
      printerCanvas_(std::make_unique<PainterCanvas>(0, 0)) {
  copyright_.psPos = 4;
  copyright_.psX = QStringLiteral("0");
  copyright_.psName = QStringLiteral("ＭＳ Ｐ明朝");
  copyright_.psSize = 12;
  ReadScreenMetrics();
}

PageModel::~PageModel() = default;

const QStringList& PageModel::list(int n) const {
  static const QStringList kNone;
  return n >= 0 && n < kListCount ? lists_[size_t(n)] : kNone;
}

// ---- Emitters ------------------------------------------------------------------------------

void PageModel::appendProgramLine(const QString& line) { lists_[ListProgram].append(line); }

// The two commands of every composed cell, built in place: a sheet has hundreds of them.
void PageModel::PrevTextOut(double X, double Y, const QString& Ostr, const QString& Sw) {
  QString line;
  line.reserve(8 + 2 * 24 + Ostr.size() + 4 + Sw.size());
  line += QLatin1String("TextOut,");
  appendCommandReal(line, X);
  line += u',';
  appendCommandReal(line, Y);
  line += u',';
  appendQuoted(line, Ostr);
  line += u',';
  line += Sw;
  appendProgramLine(line);
}

void PageModel::PrevTextOutAngle(double X, double Y, double ang, const QString& Ostr) {
  appendProgramLine(QStringLiteral("TextOutAngle,") + real(X) + u',' + real(Y) + u',' + quoteText(Ostr) + u',' +
                    real(ang));
}

void PageModel::PrevLine(double X1, double Y1, double X2, double Y2) {
  QString line;
  line.reserve(5 + 4 * 24);
  line += QLatin1String("Line");
  for (const double v : {X1, Y1, X2, Y2}) {
    line += u',';
    appendCommandReal(line, v);
  }
  appendProgramLine(line);
}

void PageModel::PrevColor(TColor C) { appendProgramLine(QStringLiteral("Color,") + ColorToName(C)); }
void PageModel::PrevFontColor(TColor C) { appendProgramLine(QStringLiteral("FontColor,") + ColorToName(C)); }
void PageModel::PrevFontSize(int sz) { appendProgramLine(QStringLiteral("FontSize,") + QString::number(sz)); }
void PageModel::PrevFontName(const QString& name) { appendProgramLine(QStringLiteral("FontName,") + name); }
void PageModel::PrevFontStyle(const QString& St) { appendProgramLine(QStringLiteral("FontStyle,") + St); }
void PageModel::PrevBrushColor(TColor C) { appendProgramLine(QStringLiteral("BrushColor,") + ColorToName(C)); }
void PageModel::PrevPenColor(TColor C) { appendProgramLine(QStringLiteral("PenColor,") + ColorToName(C)); }
void PageModel::PrevPenWidth(double w) { appendProgramLine(QStringLiteral("PenWidth,") + formatGeneralReal(w)); }
void PageModel::PrevPenSize(int w) { appendProgramLine(QStringLiteral("PenSize,") + QString::number(w)); }
void PageModel::PrevPenStyle(const QString& St) { appendProgramLine(QStringLiteral("PenStyle,") + St); }

void PageModel::PrevPicture(const QString& fname, double x1, double y1, double x2, double y2) {
  appendProgramLine(QStringLiteral("Picture,") + fname + u',' + real(x1) + u',' + real(y1) + u',' + real(x2) +
                    u',' + real(y2));
}

void PageModel::appendPageString(const char* word, const QString& s, int posnum, double x,
                                 double y) {
  appendProgramLine(QString::fromLatin1(word) + u',' + quoteText(s) + u',' + QString::number(posnum) +
                    u',' + real(x) + u',' + real(y));
}

void PageModel::PrevHeader(const QString& s, int posnum, double x, double y) {
  appendPageString("Header", s, posnum, x, y);
}
void PageModel::PrevFooter(const QString& s, int posnum, double x, double y) {
  appendPageString("Footer", s, posnum, x, y);
}
void PageModel::PrevpageTitle(const QString& s, int posnum, double x, double y) {
  appendPageString("PageTitle", s, posnum, x, y);
}
void PageModel::PrevSubTitle(const QString& s, int posnum, double x, double y) {
  appendPageString("SubTitle", s, posnum, x, y);
}

void PageModel::PrevInit() { appendProgramLine(QStringLiteral("INITPARAM")); }
void PageModel::ResetListByManual() { lists_[ListManual].append(QStringLiteral("INITPARAM")); }
void PageModel::ClearProgramList() { lists_[ListProgram].clear(); }

void PageModel::copyPageFrom(const PageModel& other) {
  lists_ = other.lists_;
  bmp_ = other.bmp_;
  Header = other.Header;
  Footer = other.Footer;
  PageTitle = other.PageTitle;
  SubTitle = other.SubTitle;
  copyright_ = other.copyright_;
  unitType_ = other.unitType_;
}

// ---- List file and pictures ----------------------------------------------------------------

void PageModel::setListIniFile(const QString& name) {
  listIniFile_ = name.isEmpty() ? defaultListIniFile() : name;
}

LoadResult PageModel::LoadListFile() {
  lists_[ListFile].clear();
  ListFileLoad load = loadListIndexFile(listIniFile_, includeBounds_);
  if (!load.result) return load.result;
  lists_[ListFile] = std::move(load.lines);
  if (!load.skipped.isEmpty())
    dialogs().message(nullptr, messageCaption(), load.skipped.join(QLatin1Char('\n')), MessageIcon::Warning);
  if (load.stop != ListFileLoad::Stop::None) {
    const QString what = load.stop == ListFileLoad::Stop::Cycle
                             ? QStringLiteral("INCLUDE, CYCLE ERROR")
                             : QStringLiteral("INCLUDE, LIMIT ERROR");
    dialogs().message(nullptr, messageCaption(), what + QLatin1Char('\n') + load.stopFile,
                      MessageIcon::Warning);
  }
  return PreloadFilePictures();
}

LoadResult PageModel::preloadPictures(int n) {
  int slot = n * kSlotsPerList;
  const int end = slot + kSlotsPerList;
  for (const QString& line : list(n)) {
    if (slot >= end) break;
    if (isBlankLine(line)) continue;
    const QStringList items = splitCommaText(line);
    if (items.size() <= 2 || keywordOf(items[0]) != u"PICTURE") continue;
    LoadResult r = LoadPicture(slot++, items[1]);
    if (!r) return r;
  }
  return {};
}

LoadResult PageModel::LoadPicture(int slot, const QString& file) {
  if (slot < 0 || slot >= kPictureSlots)
    return LoadResult::failure(QStringLiteral("no picture slot %1").arg(slot));
  PictureFile picture = loadPictureFile(file);
  bmp_[size_t(slot)] = picture.status == PictureFile::Status::Loaded ? std::move(picture.image) : QImage();
  if (picture.status == PictureFile::Status::Unreadable) return LoadResult::failure(picture.error);
  return {};
}

const QImage& PageModel::Bmp(int slot) const {
  static const QImage kEmpty;
  return slot >= 0 && slot < kPictureSlots ? bmp_[size_t(slot)] : kEmpty;
}

// ---- Page metrics --------------------------------------------------------------------------

void PageModel::updateRatios() {
  if (monitorRes_ > 0 && printerResX_ > 0 && printerResY_ > 0) {
    ratioX_ = double(printerResX_) / monitorRes_;
    ratioY_ = double(printerResY_) / monitorRes_;
  }
}

void PageModel::ReadScreenMetrics() {
  int dpi = 0;
  if (fixedScreenDpi_) {
    dpi = *fixedScreenDpi_;
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    dpi = qRound(screen->logicalDotsPerInchY());
  }
  monitorRes_ = dpi > 0 ? dpi : kFallbackScreenDpi;
  screenCanvas_->setResolution(monitorRes_, monitorRes_);
  updateRatios();
}

bool PageModel::ReadPrinterMetrics() {
  const std::optional<QSize> res = printer_->resolution();
  if (!res || res->width() <= 0 || res->height() <= 0) {
    dialogs().message(nullptr, messageCaption(),
                      QStringLiteral("デフォルトのプリンタの設定を確認下さい"),
                      MessageIcon::Warning);
    errorNum_ = 1;
    return false;
  }
  printerResX_ = res->width();
  printerResY_ = res->height();
  printerCanvas_->setResolution(printerResX_, printerResY_);
  updateRatios();
  errorNum_ = -1;
  return true;
}

bool PageModel::GetPageSize() {
  const std::optional<QSize> size = printer_->printableSize();
  if (!size) return false;
  pageW_ = size->width();
  pageH_ = size->height();
  return true;
}

bool PageModel::metricsValid() const {
  return printerResX_ > 0 && printerResY_ > 0 && monitorRes_ > 0;
}

QSize PageModel::pageImageSize() const {
  if (!metricsValid() || ratioX_ <= 0 || ratioY_ <= 0) return {};
  return QSize(int(pageW_ / ratioX_), int(pageH_ / ratioY_));
}

// The page extent in the current unit, as added to negative coordinates: nothing for a unit
// outside 0 to 2.
double PageModel::extent(int pagePixels, int printerRes) const {
  if (printerRes <= 0) return 0;
  switch (unitType_) {
    case kUnitPixel: return pagePixels;
    case kUnitInch: return double(pagePixels) / printerRes;
    case kUnitMillimetre: return pagePixels * kMillimetresPerInch / printerRes;
    default: return 0;
  }
}

double PageModel::Get_UnitWidth() const {
  if (!metricsValid()) return 0;
  return unitType_ >= kUnitPixel && unitType_ <= kUnitMillimetre ? extent(pageW_, printerResX_)
                                                                 : double(pageW_);
}

double PageModel::Get_UnitHeight() const {
  if (!metricsValid()) return 0;
  return unitType_ >= kUnitPixel && unitType_ <= kUnitMillimetre ? extent(pageH_, printerResY_)
                                                                 : double(pageH_);
}

int PageModel::unitToDev(double v, int printerRes, int pagePixels) const {
  if (!metricsValid() || std::isnan(v)) return 0;
  if (v < 0) v += extent(pagePixels, printerRes);
  const bool screen = tgtCanvas_ != kTargetPrinter;
  // Products before divisions, in floating point: nothing overflows on the way, and the result
  // saturates at the integer range.
  switch (unitType_) {
    case kUnitPixel: return roundHalfAway(screen ? v * monitorRes_ / printerRes : v);
    case kUnitInch: return roundHalfAway(v * (screen ? monitorRes_ : printerRes));
    case kUnitMillimetre:
      return roundHalfAway(v * (screen ? monitorRes_ : printerRes) / kMillimetresPerInch);
    default: return roundHalfAway(v);
  }
}

int PageModel::UnitToDevX(double x) const { return unitToDev(x, printerResX_, pageW_); }
int PageModel::UnitToDevY(double y) const { return unitToDev(y, printerResY_, pageH_); }

double PageModel::GetWidth(const QString& ps) const {
  if (!metricsValid()) return 0;
  if (unitType_ != kUnitInch && unitType_ != kUnitMillimetre) return printerCanvas_->textWidth(ps);
  const double inches = tgtCanvas_ != kTargetPrinter
                            ? double(screenCanvas_->textWidth(ps)) / monitorRes_
                            : double(printerCanvas_->textWidth(ps)) / printerResX_;
  return unitType_ == kUnitInch ? inches : inches * kMillimetresPerInch;
}

double PageModel::GetHeight(const QString& ps) const {
  if (!metricsValid()) return 0;
  if (unitType_ != kUnitInch && unitType_ != kUnitMillimetre)
    return printerCanvas_->textHeight(ps) + 1.0;
  const double inches = tgtCanvas_ != kTargetPrinter
                            ? double(screenCanvas_->textHeight(ps)) / monitorRes_
                            : double(printerCanvas_->textHeight(ps)) / printerResY_;
  return unitType_ == kUnitInch ? inches : inches * kMillimetresPerInch;
}

void PageModel::SetFontSets(const CanvasFont& v) {
  screenCanvas_->font = v;
  printerCanvas_->font = v;
}

void PageModel::setCanvases(std::unique_ptr<Canvas> screen, std::unique_ptr<Canvas> printer) {
  if (screen) screenCanvas_ = std::move(screen);
  if (printer) printerCanvas_ = std::move(printer);
  screenCanvas_->setResolution(monitorRes_, monitorRes_);
  printerCanvas_->setResolution(printerResX_, printerResY_);
}

}  // namespace zubira
