#include "drawing/page_str.h"

#include "platform/ini_file.h"

namespace zubira {

void TPageStr::GetIniSets(const IniFile& ini, const QString& sName, const QString& S, int nPos,
                          const QString& X, const QString& Y) {
  psStr = ini.readString(sName, QStringLiteral("String"), S);
  psPos = ini.readInteger(sName, QStringLiteral("Pos"), nPos);
  psBold = ini.readBool(sName, QStringLiteral("Bold"), false);
  psItalic = ini.readBool(sName, QStringLiteral("Italic"), false);
  psSize = ini.readInteger(sName, QStringLiteral("Size"), 9);
  psName = ini.readString(sName, QStringLiteral("Name"), QStringLiteral("ＭＳ 明朝"));
  psX = ini.readString(sName, QStringLiteral("X"), X);
  psY = ini.readString(sName, QStringLiteral("Y"), Y);
}

void TPageStr::SetIniSets(IniFile& ini, const QString& sName) const {
  ini.writeString(sName, QStringLiteral("String"), psStr);
  ini.writeInteger(sName, QStringLiteral("Pos"), psPos);
  ini.writeBool(sName, QStringLiteral("Bold"), psBold);
  ini.writeBool(sName, QStringLiteral("Italic"), psItalic);
  ini.writeInteger(sName, QStringLiteral("Size"), psSize);
  ini.writeString(sName, QStringLiteral("Name"), psName);
  ini.writeString(sName, QStringLiteral("X"), psX);
  ini.writeString(sName, QStringLiteral("Y"), psY);
}

void TPageStr::SetSets(const QString& sStr, const QString& sName, int nSize, int nPos,
                       const QString& X, const QString& Y, bool fBold, bool fItalic) {
  psStr = sStr;
  psName = sName;
  psSize = nSize;
  psPos = nPos;
  psX = X;
  psY = Y;
  psBold = fBold;
  psItalic = fItalic;
}

void TPageStr::GetSets(QString& sStr, QString& sName, int& nSize, int& nPos, QString& X,
                       QString& Y, bool& fBold, bool& fItalic) const {
  sStr = psStr;
  sName = psName;
  nSize = psSize;
  nPos = psPos;
  X = psX;
  Y = psY;
  fBold = psBold;
  fItalic = psItalic;
}

void TPageStr::Assign(const TPageStr& v) {
  SetSets(v.psStr, v.psName, v.psSize, v.psPos, v.psX, v.psY, v.psBold, v.psItalic);
}

void SetPageStr2Font(const TPageStr& ps, CanvasFont& rFont) {
  rFont.name = ps.psName;
  rFont.size = ps.psSize;
  rFont.bold = ps.psBold;
  rFont.italic = ps.psItalic;
}

}  // namespace zubira
