// The interpreter rendering any command lists: onto a small page image through QPainter, and
// onto recording canvases for the screen and the printer target.
//
// Input: one byte of switches (unit, grid, ruler, whole-page view), then pieces separated by
// 0x1E: the list file (its bytes as a file, so every encoding comes in), the manual list
// (UTF-8 lines), lines handed to the emitters of the program list, and a settings file whose
// Header, Footer, PageTitle and SubTitle sections give the page strings. Pictures "p.bmp",
// "p.jpg" and "p.png" lie in the current folder for PICTURE lines to name.
//
// Checked: a rendering always ends, stops each list at most once with a message, spaced text
// never has more than 200 characters, pens stay within their bounds, and rendering the same lists
// twice draws the same calls.

#include "drawing/comma_text.h"
#include "drawing/page_model.h"
#include "drawing/page_renderer.h"
#include "drawing/recording_canvas.h"
#include "fuzz/fuzz_support.h"
#include "platform/ini_file.h"
#include "platform/sjis_text.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

using namespace zubira;
using zubira::fuzz::check;

namespace {

struct Pictures {
  QByteArray bmp, jpg, png;
};

const Pictures& pictures() {
  static const Pictures p = [] {
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    image.setPixel(1, 1, qRgb(255, 0, 0));
    Pictures out;
    for (auto [bytes, format] : {std::pair{&out.bmp, "BMP"}, {&out.jpg, "JPEG"}, {&out.png, "PNG"}}) {
      QBuffer buffer(bytes);
      buffer.open(QIODevice::WriteOnly);
      image.save(&buffer, format);
    }
    return out;
  }();
  return p;
}

std::unique_ptr<PageModel> makeModel(int unit) {
  // 600 dpi printer, a page of 400 by 480 printer pixels: a 64 by 76 pixel page image.
  auto model = std::make_unique<PageModel>(
      std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(400, 480)), 96);
  model->ReadPrinterMetrics();
  model->GetPageSize();
  model->setUnitType(unit);
  model->setIncludeBounds(IncludeBounds{8, 2000, 1 << 20});
  return model;
}

quint32 mix(quint32 h) {
  h ^= h >> 16;
  h *= 0x7feb352dU;
  h ^= h >> 15;
  h *= 0x846ca68bU;
  return h ^ (h >> 16);
}

// Each line goes to one emitter, chosen and given numbers by a hash of the line.
void emitProgramLines(PageModel& m, const QStringList& lines) {
  for (const QString& line : lines) {
    const quint32 h = mix(quint32(qHash(line)));
    const double x = double(int(h & 0x3FF) - 200) / 4, y = double(int((h >> 10) & 0x3FF) - 200) / 4;
    const int mode = int((h >> 20) % 6);
    switch ((h >> 24) % 10) {
      case 0: m.PrevTextOut(x, y, line, QStringLiteral("NIL")); break;
      case 1: m.PrevTextOut(x, y, line, QString::number(int(h % 150) - 20)); break;
      case 2: m.PrevTextOutAngle(x, y, double(int(h % 8000) - 100), line); break;
      case 3: m.PrevHeader(line, mode, x, y); break;
      case 4: m.PrevFooter(line, mode, x, y); break;
      case 5: m.PrevpageTitle(line, mode, x, y); break;
      case 6: m.PrevSubTitle(line, mode, x, y); break;
      case 7: m.PrevFontName(line); break;
      case 8: m.PrevPicture(line, x, y, y, x); break;
      default:
        m.PrevLine(x, y, y, x);
        m.PrevPenWidth(x / 10);
        m.PrevColor(h & 0xFFFFFF);
        break;
    }
  }
}

void loadPageStrings(PageModel& m, const QByteArray& settings) {
  fuzz::writeScratchFile(QStringLiteral("settings.txt"), settings);
  const IniFile ini(QStringLiteral("settings.txt"));
  const QString zero = QStringLiteral("0");
  m.Header.GetIniSets(ini, QStringLiteral("Header"), QString(), 0, zero, zero);
  m.Footer.GetIniSets(ini, QStringLiteral("Footer"), QString(), 0, zero, zero);
  m.PageTitle.GetIniSets(ini, QStringLiteral("PageTitle"), QString(), 0, zero, zero);
  m.SubTitle.GetIniSets(ini, QStringLiteral("SubTitle"), QString(), 0, zero, zero);
  m.SetCopyright(ini.readString(QStringLiteral("Credit"), QStringLiteral("String"), QString()));
}

// The lists of `pieces` into `m`, pictures preloaded.
void fillLists(PageModel& m, const std::vector<QByteArray>& pieces) {
  fuzz::writeScratchFile(QStringLiteral("index.prv"), pieces.size() > 0 ? pieces[0] : QByteArray());
  m.setListIniFile(QStringLiteral("index.prv"));
  m.LoadListFile();
  if (pieces.size() > 1) m.ListByManual() = splitTextLines(QString::fromUtf8(pieces[1]));
  m.PreloadManualPictures();
  if (pieces.size() > 2) emitProgramLines(m, splitTextLines(QString::fromUtf8(pieces[2])));
  m.PreloadProgramPictures();
  loadPageStrings(m, pieces.size() > 3 ? pieces[3] : QByteArray());
}

qsizetype characters(const QString& text) {
  qsizetype n = 0;
  for (qsizetype i = 0; i < text.size(); ++i, ++n)
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
  return n;
}

void checkCalls(const RecordingCanvas& canvas) {
  for (const RecordingCanvas::Call& c : canvas.calls()) {
    check(c.pen.width >= 1 && c.pen.width <= (1 << 20), "a pen width out of its bounds");
    if (c.op == RecordingCanvas::Op::Text && c.hasAdvances) {
      check(c.advances.size() <= size_t(PageRenderer::kMaxSpacedCharacters),
            "spaced text with more than 200 characters", c.text);
      check(qsizetype(c.advances.size()) == characters(c.text),
            "spaced text with another number of advances than characters", c.text);
      for (int a : c.advances) check(a == c.advances.front(), "spaced text with uneven advances");
    }
    if (c.op == RecordingCanvas::Op::AngleText)
      check(c.angleFont.escapement >= 0 && c.angleFont.escapement < 3600,
            "rotated text with an escapement outside a turn");
  }
}

bool sameCalls(const std::vector<RecordingCanvas::Call>& a,
               const std::vector<RecordingCanvas::Call>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto &x = a[i], &y = b[i];
    if (x.op != y.op || x.x1 != y.x1 || x.y1 != y.y1 || x.x2 != y.x2 || x.y2 != y.y2 ||
        x.text != y.text || x.advances != y.advances || !(x.font == y.font) || !(x.pen == y.pen))
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::initQt();
  fuzz::scratchDir();
  pictures();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::InScratchDir inScratch;
  if (size == 0) return 0;
  const uint8_t flags = data[0];
  const int unit = std::min(flags & 3, 2);
  fuzz::clearScratchDir();
  fuzz::writeScratchFile(QStringLiteral("p.bmp"), pictures().bmp);
  fuzz::writeScratchFile(QStringLiteral("p.jpg"), pictures().jpg);
  fuzz::writeScratchFile(QStringLiteral("p.png"), pictures().png);
  const std::vector<QByteArray> pieces = fuzz::splitPieces(data + 1, size - 1, 4);

  // Through QPainter onto the page image, the 1:1 view or the whole page.
  {
    auto model = makeModel(unit);
    fillLists(*model, pieces);
    PageRenderer renderer(*model);
    renderer.fMesh = (flags >> 2) & 1;
    renderer.fScale = (flags >> 3) & 1;
    const bool whole = (flags >> 4) & 1;
    renderer.PageView = whole ? 2 : 1;
    model->setTgtCanvas(whole ? PageModel::kTargetWholePage : PageModel::kTargetScreen);
    if (whole) renderer.SetImage2Size(QSize(16, 19));
    check(renderer.DrawGraphics(), "the page image was not rendered");
    check(renderer.messages().size() <= PageModel::kListCount, "more than one message per list");
    check(renderer.Image1().size() == QSize(64, 76), "the page image changed its size");
  }

  // Onto recording canvases, for the screen and for the printer, twice each.
  {
    auto model = makeModel(unit);
    model->setCanvases(std::make_unique<RecordingCanvas>(96, 96),
                       std::make_unique<RecordingCanvas>(600, 600));
    fillLists(*model, pieces);
    PageRenderer renderer(*model);
    renderer.fMesh = (flags >> 2) & 1;
    renderer.fScale = (flags >> 3) & 1;
    for (int target : {PageModel::kTargetScreen, PageModel::kTargetPrinter}) {
      model->setTgtCanvas(target);
      auto& canvas = static_cast<RecordingCanvas&>(model->DrawTarget());
      canvas.clearCalls();
      check(renderer.DrawGraphics(), "the recording canvas was not rendered on");
      check(renderer.messages().size() <= PageModel::kListCount, "more than one message per list");
      checkCalls(canvas);
      const std::vector<RecordingCanvas::Call> calls = canvas.calls();
      canvas.clearCalls();
      check(renderer.DrawGraphics(), "the second rendering failed");
      check(sameCalls(calls, canvas.calls()), "a second rendering drew other calls");
    }
  }
  fuzz::takeMessages();
  return 0;
}
