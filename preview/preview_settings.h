#pragma once
// The preview's own keys of the settings file: view mode, drawing unit, ruler and grid, the list
// index file and the JPEG quality, read once when the preview is created and written once when
// it goes.

#include <QString>

namespace zubira {

class IniFile;

struct PreviewSettings {
  int PageView = 1;  // 1 the 1:1 view, 2 the whole page
  int UnitType = 2;  // 0 printer pixel, 1 inch, 2 millimetre
  int fScale = 0;
  int fMesh = 0;
  QString ListIniFile = QStringLiteral("Gazumo.prv");
  int CQuality = 90;  // 1..100
};

// Reads the six keys; a missing key or one that is not an integer gives the default, an empty
// list file name "Gazumo.prv", and a quality outside 1 to 100 the nearest of the two.
PreviewSettings ReadPrevSettings(const IniFile& ini);
void WritePrevSettings(IniFile& ini, const PreviewSettings& s);

}  // namespace zubira
