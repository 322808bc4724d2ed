#pragma once
// The manual list's editing rules without a window: the command lines that the preview's Edit
// items append ("文字(&M)", "ペン色(&C)", "ペン幅(&W)", "初期値(&D)", a text typed onto the page),
// and saving the manual list as a list file. The preview window asks the user (font, colour,
// input and save dialogs), calls these and appends what they return.

#include "drawing/canvas.h"
#include "drawing/font_choice.h"
#include "platform/dialogs.h"
#include "platform/tcolor.h"

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace zubira {

// ---- "文字(&M)" -------------------------------------------------------------------------------

// The lines that turn the remembered font into `chosen`, in the order name, size, colour, style:
//  - "FontName,"name"" when the name differs (exact comparison); the remembered name follows;
//  - "FontSize,"size when the point size differs; the remembered size follows;
//  - "FontColor,"word when the colour differs; the remembered colour stays;
//  - when bold, italic, underline and strike-out differ at all, for each in that order
//    "FontStyle,BOLD" (chosen, not remembered) or "FontStyle,BOLD-" (remembered, not chosen);
//    the remembered style stays.
// Since colour and style are never remembered, a differing colour or style comes again each time.
QStringList fontCommandLines(CanvasFont& remembered, const CanvasFont& chosen);

// ---- "ペン色(&C)", "ペン幅(&W)", "初期値(&D)" ------------------------------------------------------

// "PenColor," and the colour's word (a colour without a word of its own is "BLACK").
QString penColorLine(TColor color);

// "PenWidth,"n for a text that reads as a whole 32-bit integer above 0 (decimal, or hexadecimal
// after "$", "x" or "0x"); nothing for any other text.
std::optional<QString> penWidthLine(const QString& text);

// The line of "初期値(&D)".
QString initParamLine();
// The drawing state that INITPARAM sets, put on `canvas` at once: font "ＭＳ Ｐゴシック" 9 pt black
// without style, pen 1 pixel black solid, brush white and clear.
void setInitialDrawingState(Canvas& canvas);

// ---- Text typed onto the page -----------------------------------------------------------------

// The drawing-unit position of a box at (left, top) pixels of the 1:1 page image, each coordinate
// rounded half away from zero to an integer of the unit: printer pixels (unit 0, and any unit
// this program does not know), inches (1) or millimetres (2).
struct TextInputPosition {
  int x = 0;
  int y = 0;
};
std::optional<TextInputPosition> textInputPosition(int left, int top, int unitType,
                                                   int printerResX, int printerResY,
                                                   int monitorRes);

// The line of a text typed onto the page: "TextOut,"x","y","text in quotes",Nil". Nothing while
// the resolutions are not known (a zero screen resolution would divide by zero).
std::optional<QString> textInputLine(int left, int top, const QString& text, int unitType,
                                     int printerResX, int printerResY, int monitorRes);

// Height of the text-input box for a canvas font height in the desktop convention (negative: the
// character height): 8 pixels more than the character height.
int textInputBoxHeight(int fontHeight);

// ---- "入力リスト保存(&L)" ----------------------------------------------------------------------

enum class SaveListOutcome { Saved, Cancelled, Failed };

struct SaveListResult {
  SaveListOutcome outcome = SaveListOutcome::Cancelled;
  QString path;   // the file chosen
  QString error;  // why it was not written, when Failed
};

// The save dialog's request for the manual list: no filter and no default extension.
SaveFileRequest saveListRequest();

// Writes `lines` to `path` as a list file: every line followed by CR LF, in CP932, no byte-order
// mark, replacing the file as a whole. A character CP932 cannot hold or a place that cannot be
// written fails with the reason, and the file is left as it was.
SaveListResult writeManualList(const QString& path, const QStringList& lines);

// The message shown when the manual list could not be saved.
QString saveListFailedMessage(const SaveListResult& result);

// "入力リスト保存(&L)": asks for a file name and writes `lines` to it; a failure is shown in a
// message box so that the list is not thought saved when it is not.
SaveListResult SaveList(QWidget* parent, const QStringList& lines);

}  // namespace zubira
