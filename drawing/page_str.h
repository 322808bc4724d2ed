#pragma once
// TPageStr: a one-line text that belongs to the page rather than to a command list (header,
// footer, title, subtitle, credit line, the worksheet's date line): its text, position mode,
// explicit position as texts, font, and whether it was drawn in the current rendering.

#include "drawing/canvas.h"

#include <QString>

namespace zubira {

class IniFile;

class TPageStr {
 public:
  // Position modes: 0 not drawn, 1 left, 2 right, 3 centred, 4 at (psX, psY).
  QString psStr;
  int psPos = 0;
  QString psX;
  QString psY;
  bool psItalic = false;
  bool psBold = false;
  int psSize = 0;
  QString psName;
  bool psDrawn = false;

  // Reads section `sName`; `S`, `nPos`, `X`, `Y` are the defaults of String, Pos, X and Y; Bold and
  // Italic default to false, Size to 9, Name to "ＭＳ 明朝".
  void GetIniSets(const IniFile& ini, const QString& sName, const QString& S, int nPos,
                  const QString& X, const QString& Y);
  // Writes all eight keys of section `sName` (String, Pos, Bold, Italic, Size, Name, X, Y).
  void SetIniSets(IniFile& ini, const QString& sName) const;

  void SetSets(const QString& sStr, const QString& sName, int nSize, int nPos, const QString& X,
               const QString& Y, bool fBold, bool fItalic);
  void GetSets(QString& sStr, QString& sName, int& nSize, int& nPos, QString& X, QString& Y,
               bool& fBold, bool& fItalic) const;
  // Copies text, face, size, mode, x, y, bold and italic; the drawn mark stays as it was.
  void Assign(const TPageStr& v);
};

// The page string's face, size, bold and italic into `rFont`; its underline, strikeout and colour
// stay.
void SetPageStr2Font(const TPageStr& ps, CanvasFont& rFont);

}  // namespace zubira
