#include "drawing/page_renderer.h"

#include "drawing/color_names.h"
#include "drawing/comma_text.h"
#include "drawing/number_text.h"
#include "drawing/page_model.h"
#include "drawing/painter_canvas.h"
#include "platform/dialogs.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace zubira {

namespace {

// Pens wider than this draw as if they were this wide.
constexpr int kMaxPenWidth = 1 << 20;
// The grid and ruler never draw more marks than this per direction.
constexpr int kMaxMarks = 100000;

int clampedPen(double w) {
  if (!(w < kMaxPenWidth)) return kMaxPenWidth;
  return std::max(1, int(w));
}

// The characters of a text as the canvas advances them: a surrogate pair is one character.
qsizetype characterCount(const QString& text, qsizetype limit, qsizetype* cut) {
  qsizetype n = 0, i = 0;
  while (i < text.size() && n < limit) {
    i += (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
    ++n;
  }
  *cut = i;
  return n;
}

}  // namespace

PageRenderer::PageRenderer(PageModel& model) : model_(model) {}

Canvas& PageRenderer::target() { return model_.DrawTarget(); }

void PageRenderer::message(const QString& text) {
  messages_ << text;
  dialogs().message(messageParent_, messageCaption(), text, MessageIcon::Warning);
}

bool PageRenderer::SetImage1Size() {
  const QSize size = model_.pageImageSize();
  if (size.isEmpty() || qint64(size.width()) * size.height() > kMaxImagePixels) {
    image1_ = QImage();
    return false;
  }
  if (image1_.size() != size) image1_ = QImage(size, QImage::Format_RGB32);
  image1_.fill(Qt::white);
  return true;
}

void PageRenderer::SetImage2Size(QSize size) {
  image2Size_ = size;
  if (size.isEmpty() || qint64(size.width()) * size.height() > kMaxImagePixels) {
    image2_ = QImage();
    return;
  }
  if (image2_.size() != size) image2_ = QImage(size, QImage::Format_RGB32);
  image2_.fill(Qt::white);
}

bool PageRenderer::DrawGraphics() {
  messages_.clear();
  return render();
}

bool PageRenderer::render() {
  if (visible_ && !visible_()) return false;
  if (!model_.metricsValid()) return false;
  const int tgt = model_.nTgtCanvas();
  if (tgt != PageModel::kTargetPrinter && image1_.size() != model_.pageImageSize() && !SetImage1Size())
    return false;

  // Paint through a QPainter when the target is a painting canvas; a recording canvas needs none.
  QPainter painter;
  auto* painting = dynamic_cast<PainterCanvas*>(&target());
  if (tgt == PageModel::kTargetPrinter) {
    QPrinter* printer = printer_ ? printer_ : model_.printerAccess().printer();
    if (painting && printPainter_) {
      painting->attach(printPainter_);
    } else if (painting) {
      if (!printer || !painter.begin(printer)) return false;  // one print job, one page
      painting->attach(&painter);
    }
  } else {
    image1_.fill(Qt::white);
    if (painting) {
      if (!painter.begin(&image1_)) return false;
      painting->attach(&painter);
    }
  }

  InitDrawingParams();
  target().setBrushColor(0xFFFFFF);
  target().fillRect(0, 0, image1_.width() - 1, image1_.height() - 1);
  if (tgt != PageModel::kTargetPrinter) {
    if (fMesh == 1) DrawMesh();
    if (fScale == 1) DrawScale();
  }
  HeaderBottom = 0;
  for (TPageStr* ps : {&model_.Header, &model_.Footer, &model_.PageTitle, &model_.SubTitle})
    ps->psDrawn = false;
  InitDrawingParams();
  DrawCreditLine();
  for (int n = 0; n < PageModel::kListCount; ++n) DrawList(n);
  InitDrawingParams();
  DrawHeader();
  DrawFooter();
  DrawPageTitle();
  DrawSubTitle();
  DrawCreditLine();

  if (painting) painting->detach();
  if (painter.isActive()) painter.end();
  if (tgt == PageModel::kTargetWholePage && !image2Size_.isEmpty())
    image2_ = image1_.scaled(image2Size_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  if (tgt != PageModel::kTargetPrinter && repaint_) repaint_();
  return true;
}

void PageRenderer::InitDrawingParams() {
  Canvas& c = target();
  c.font = CanvasFont();
  c.pen = CanvasPen();
  c.setBrushColor(0xFFFFFF);
  c.clearBrush();
  fBold = fItalic = fUnderline = fStrikeout = false;
  nfontsize = c.font.size;
  nfontheight = c.fontHeight();
}

void PageRenderer::DrawList(int n) {
  Canvas& c = target();
  c.pen.width = 1;
  PictureSlot = PageModel::kSlotsPerList * n;
  const QStringList lines = model_.list(n);  // the lines as they are when the list starts
  CommaItems items;
  for (const QString& raw : lines) {
    const QStringView line = trimBlanks(QStringView(raw));
    if (line.isEmpty()) continue;
    splitCommaItems(line, items);
    if (items.size() == 0) continue;
    // Every command word is short ASCII: anything else is no command.
    char wordText[16] = {};
    {
      const QStringView first = trimBlanks(items[0]);
      if (first.size() < qsizetype(sizeof wordText)) {
        for (qsizetype i = 0; i < first.size(); ++i) {
          const char16_t ch = first[i].unicode();
          if (ch == 0 || ch > 127) {
            wordText[0] = 0;
            break;
          }
          wordText[i] = char(ch >= u'a' && ch <= u'z' ? ch - 32 : ch);
        }
      }
    }
    const QLatin1String word(wordText);
    const auto has = [&](int i) { return items.size() > i; };
    const auto num = [&](int i) { return readReal(items[i]).value_or(0.0); };
    const auto X = [&](int i) { return model_.UnitToDevX(num(i)); };
    const auto Y = [&](int i) { return model_.UnitToDevY(num(i)); };

    if (word == QLatin1String("TEXTOUT")) {
      if (!has(3)) return;
      const QString text = items[3].toString();
      double p = !has(4) || isKeyword(items[4], "NIL") ? 0 : num(4);
      p = std::min<double>(p, kMaxSpacing);
      if (p > 0) {
        qsizetype cut = 0;
        const qsizetype count = characterCount(text, kMaxSpacedCharacters, &cut);
        Dx.assign(size_t(count), model_.UnitToDevX(p));
        c.textOut(X(1), Y(2), text.left(cut), &Dx);
      } else {
        c.textOut(X(1), Y(2), text, nullptr);
      }
    } else if (word == QLatin1String("TEXTOUTANGLE")) {
      if (!has(4)) return;
      const double angle = num(4);
      if (angle < 0) continue;
      DrawAngleText(X(1), Y(2), items[3].toString(), int(std::fmod(std::trunc(angle), 3600.0)));
    } else if (word == QLatin1String("LINE")) {
      if (!has(4)) {
        message(QStringLiteral("LINE, FORMAT ERROR"));
        return;
      }
      c.line(X(1), Y(2), X(3), Y(4));
    } else if (word == QLatin1String("COLOR") || word == QLatin1String("FONTCOLOR") ||
               word == QLatin1String("BRUSHCOLOR") || word == QLatin1String("PENCOLOR")) {
      if (!has(1)) return;
      const TColor color = NameToColor(keywordOf(items[1]));
      if (word == QLatin1String("COLOR")) {
        c.font.color = color;
        c.pen.color = color;
      } else if (word == QLatin1String("FONTCOLOR")) {
        c.font.color = color;
      } else if (word == QLatin1String("BRUSHCOLOR")) {
        c.setBrushColor(color);
      } else {
        c.pen.color = color;
      }
    } else if (word == QLatin1String("FONTSIZE")) {
      if (!has(1)) return;
      const double size = num(1);
      if (size > 0) {
        c.font.size = roundHalfAway(size);
        nfontsize = c.font.size;
        nfontheight = c.fontHeight();
      }
    } else if (word == QLatin1String("FONTNAME")) {
      if (!has(1)) return;
      c.font.name = items[1].toString();
    } else if (word == QLatin1String("FONTSTYLE")) {
      if (!has(1)) {
        message(QStringLiteral("FONTSTYLE FORMAT ERROR"));
        return;
      }
      const QString style = keywordOf(items[1]);
      struct Bit {
        const char* on;
        const char* off;
        bool CanvasFont::*bit;
        bool PageRenderer::*flag;
      };
      static const Bit bits[] = {
          {"BOLD", "BOLD-", &CanvasFont::bold, &PageRenderer::fBold},
          {"ITALIC", "ITALIC-", &CanvasFont::italic, &PageRenderer::fItalic},
          {"UNDERLINE", "UNDERLINE-", &CanvasFont::underline, &PageRenderer::fUnderline},
          {"STRIKEOUT", "STRIKEOUT-", &CanvasFont::strikeout, &PageRenderer::fStrikeout},
      };
      for (const Bit& b : bits) {
        if (style == QLatin1String("NONE") || style == QLatin1String(b.off)) {
          c.font.*b.bit = false;
          this->*b.flag = false;
        } else if (style == QLatin1String(b.on)) {
          c.font.*b.bit = true;
          this->*b.flag = true;
        }
      }
    } else if (word == QLatin1String("PENWIDTH") || word == QLatin1String("PENSIZE")) {
      if (!has(1)) {
        message(QStringLiteral("PENWIDTH, NOT VALUE"));
        return;
      }
      const double w = num(1);
      if (w > 0)
        c.pen.width = word == QLatin1String("PENWIDTH") ? clampedPen(model_.UnitToDevX(w))
                                                       : clampedPen(std::trunc(w));
    } else if (word == QLatin1String("PENSTYLE")) {
      if (!has(1)) {
        message(QStringLiteral("PENSTYLE FORMAT ERROR"));
        return;
      }
      const QString style = keywordOf(items[1]);
      if (style == QLatin1String("PSSOLID")) c.pen.style = PenStyle::Solid;
      else if (style == QLatin1String("PSDASH")) c.pen.style = PenStyle::Dash;
      else if (style == QLatin1String("PSDOT")) c.pen.style = PenStyle::Dot;
      else if (style == QLatin1String("PSDASHDOT")) c.pen.style = PenStyle::DashDot;
      else if (style == QLatin1String("PSDASHDOTDOT")) c.pen.style = PenStyle::DashDotDot;
    } else if (word == QLatin1String("PICTURE")) {
      if (PictureSlot >= PageModel::kSlotsPerList * (n + 1)) continue;
      const QImage& picture = model_.Bmp(PictureSlot);
      if (!picture.isNull()) {
        if (!has(5)) {
          message(QStringLiteral("PICTURE, FORMAT ERROR"));
          return;
        }
        c.stretchDraw(X(2), Y(3), X(4), Y(5), picture);
      }
      ++PictureSlot;
    } else if (word == QLatin1String("HEADER") || word == QLatin1String("FOOTER") ||
               word == QLatin1String("PAGETITLE") || word == QLatin1String("SUBTITLE")) {
      TPageStr& P = word == QLatin1String("HEADER")      ? model_.Header
                    : word == QLatin1String("FOOTER")    ? model_.Footer
                    : word == QLatin1String("PAGETITLE") ? model_.PageTitle
                                                         : model_.SubTitle;
      if (!has(2)) {
        message(QString(word) + QStringLiteral(", FORMAT ERROR"));
        return;
      }
      model_.PageStrTmp.Assign(P);
      // A line without its x or y draws with empty coordinates: a free position then does not
      // read and nothing is drawn; the stored settings come back either way.
      P.psStr = items[1].toString();
      P.psPos = readInteger(items[2]).value_or(0);
      P.psX = has(3) ? items[3].toString() : QString();
      P.psY = has(4) ? items[4].toString() : QString();
      P.psName = c.font.name;
      P.psSize = c.font.size;
      P.psBold = c.font.bold;
      P.psItalic = c.font.italic;
      if (&P == &model_.Header) DrawHeader();
      else if (&P == &model_.Footer) DrawFooter();
      else if (&P == &model_.PageTitle) DrawPageTitle();
      else DrawSubTitle();
      P.Assign(model_.PageStrTmp);
    } else if (word == QLatin1String("INITPARAM")) {
      InitDrawingParams();
    }
  }
}

void PageRenderer::DrawAngleText(int x, int y, const QString& text, int angle) {
  AngleFont f;
  f.height = nfontheight;
  f.escapement = ((angle % 3600) + 3600) % 3600;
  f.bold = fBold;
  f.italic = fItalic;
  f.underline = fUnderline;
  f.strikeout = fStrikeout;
  f.name = QStringLiteral("CourierNew");
  target().angleTextOut(x, y, text, f);
}

void PageRenderer::DrawMesh() {
  if (PageView != 1) return;
  Canvas& c = target();
  c.pen.style = PenStyle::Dot;
  c.pen.color = makeTColor(0, 255, 0);
  const int unit = model_.UnitType();
  const double s = unit == PageModel::kUnitInch ? 1 : unit == PageModel::kUnitMillimetre ? 10 : 100;
  const double w = model_.Get_UnitWidth(), h = model_.Get_UnitHeight();
  for (int k = 1; k < kMaxMarks && k * s < w; ++k) {
    const int x = model_.UnitToDevX(k * s);
    c.line(x, 0, x, image1_.height());
  }
  for (int k = 1; k < kMaxMarks && k * s < h; ++k) {
    const int y = model_.UnitToDevY(k * s);
    c.line(0, y, image1_.width(), y);
  }
}

void PageRenderer::DrawScale() {
  if (PageView != 1) return;
  Canvas& c = target();
  c.pen.style = PenStyle::Solid;
  c.pen.color = makeTColor(0, 128, 0);
  const int unit = model_.UnitType();
  double s = 100, m = 500, first = 100;
  if (unit == PageModel::kUnitInch) s = 1, m = 5, first = 0;
  if (unit == PageModel::kUnitMillimetre) s = 10, m = 50, first = 0;
  const double w = model_.Get_UnitWidth(), h = model_.Get_UnitHeight();
  const auto length = [&](double v) { return std::fmod(v, m) == 0 ? 10 : 4; };
  for (int k = 0; k < kMaxMarks && first + k * s < w; ++k) {
    const double v = first + k * s;
    const int x = model_.UnitToDevX(v);
    c.line(x, 0, x, length(v));
  }
  for (int k = 0; k < kMaxMarks && first + k * s < h; ++k) {
    const double v = first + k * s;
    const int y = model_.UnitToDevY(v);
    c.line(0, y, length(v), y);
  }
}

// The page string's face, size and style on the target's font, then the other canvas's font a
// copy of it, so measuring sees the page string's font whatever the target. (The target's
// colour is kept, so a printed page string has the colour it has on screen.)
void PageRenderer::SetPageStrFont(const QString& face, int size, bool bold, bool italic) {
  Canvas& t = target();
  t.font.name = face;
  t.font.size = size;
  t.font.bold = bold;
  t.font.italic = italic;
  Canvas& other = &t == &model_.screenCanvas() ? model_.printerCanvas() : model_.screenCanvas();
  other.font = t.font;
}

double PageRenderer::PageStrX(int mode, double w) const {
  const int unit = model_.UnitType();
  double W = model_.PageW();
  const bool metric = unit == PageModel::kUnitInch || unit == PageModel::kUnitMillimetre;
  if (metric) {
    W = model_.nTgtCanvas() != PageModel::kTargetPrinter
            ? double(image1_.width()) / model_.MonitorRes()
            : double(model_.PageW()) / model_.PrinterResX();
    if (unit == PageModel::kUnitMillimetre) W *= 25.4;
  }
  if (mode == 2) return -w;
  if (mode == 3) return (W - w) / 2;
  return 0;
}

void PageRenderer::drawPageText(double x, double y, const QString& text) {
  target().textOut(model_.UnitToDevX(x), model_.UnitToDevY(y), text, nullptr);
}

// The header at the top, or at its free position. The footer, title and subtitle: the footer's
// lower edge on the credit line (or the page's bottom edge), the title and subtitle at the
// header's lower edge, or at their free positions. A free position that does not read draws
// nothing and leaves the page string not drawn.
void PageRenderer::drawPageString(TPageStr& P, Kind kind) {
  // The header is not drawn for a negative mode; the others are, at the left edge.
  const bool off = kind == Kind::Header ? P.psPos <= 0 : P.psPos == 0;
  if (P.psDrawn || off || P.psStr.isEmpty()) return;
  SetPageStrFont(P.psName, P.psSize, P.psBold, P.psItalic);
  double x = 0, y = 0;
  if (P.psPos >= 4) {
    const auto rx = readReal(P.psX), ry = readReal(P.psY);
    if (!rx || !ry) return;
    x = *rx;
    y = *ry;
  } else {
    x = PageStrX(P.psPos, model_.GetWidth(P.psStr));
    if (kind == Kind::Footer) {
      double h = model_.GetHeight(P.psStr);
      if (!model_.Copyright().psStr.isEmpty()) h += CreditLineHeight;
      y = -h;
    } else if (kind == Kind::Title) {
      y = HeaderBottom;
    }
  }
  if (kind == Kind::Header) HeaderBottom = y + model_.GetHeight(P.psStr);
  drawPageText(x, y, P.psStr);
  P.psDrawn = true;
}

void PageRenderer::DrawHeader() { drawPageString(model_.Header, Kind::Header); }
void PageRenderer::DrawFooter() { drawPageString(model_.Footer, Kind::Footer); }
void PageRenderer::DrawPageTitle() { drawPageString(model_.PageTitle, Kind::Title); }
void PageRenderer::DrawSubTitle() { drawPageString(model_.SubTitle, Kind::Title); }

void PageRenderer::DrawCreditLine() {
  CreditLineHeight = 0;
  const TPageStr& credit = model_.Copyright();
  if (credit.psStr.isEmpty()) return;
  target().font.color = 0;
  SetPageStrFont(credit.psName, credit.psSize, credit.psBold, credit.psItalic);
  const double h = model_.GetHeight(credit.psStr);
  CreditLineHeight = h;
  drawPageText(0, -h, credit.psStr);
}

void PageRenderer::reloadFileList() {
  const LoadResult r = model_.LoadListFile();
  if (!r) message(r.error);
}

void PageRenderer::loadPictures(int list) {
  const LoadResult r = list == PageModel::ListManual ? model_.PreloadManualPictures()
                                                     : model_.PreloadProgramPictures();
  if (!r) message(r.error);
}

void PageRenderer::PrevUpDate() {
  messages_.clear();
  reloadFileList();
  loadPictures(PageModel::ListManual);
  loadPictures(PageModel::ListProgram);
  render();
}

void PageRenderer::PrevUpDateFile() {
  messages_.clear();
  reloadFileList();
  render();
}

void PageRenderer::PrevUpDateManual() {
  messages_.clear();
  loadPictures(PageModel::ListManual);
  render();
}

void PageRenderer::PrevUpDateProgram() {
  messages_.clear();
  loadPictures(PageModel::ListProgram);
  render();
}

}  // namespace zubira
