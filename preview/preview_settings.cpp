#include "preview/preview_settings.h"

#include "platform/ini_file.h"

#include <algorithm>

namespace zubira {

PreviewSettings ReadPrevSettings(const IniFile& ini) {
  PreviewSettings s;
  s.PageView = ini.readInteger("PageView", "Index", s.PageView);
  s.UnitType = ini.readInteger("Unit", "Type", s.UnitType);
  s.fScale = ini.readInteger("Sw", "Scale", s.fScale);
  s.fMesh = ini.readInteger("Sw", "Mesh", s.fMesh);
  s.ListIniFile = ini.readString("ListFile", "Name", s.ListIniFile);
  s.CQuality = std::clamp(ini.readInteger("Option", "Quality", s.CQuality), 1, 100);
  if (s.ListIniFile.isEmpty()) s.ListIniFile = QStringLiteral("Gazumo.prv");
  return s;
}

void WritePrevSettings(IniFile& ini, const PreviewSettings& s) {
  ini.writeInteger("PageView", "Index", s.PageView);
  ini.writeInteger("Unit", "Type", s.UnitType);
  ini.writeInteger("Sw", "Scale", s.fScale);
  ini.writeInteger("Sw", "Mesh", s.fMesh);
  ini.writeString("ListFile", "Name", s.ListIniFile);
  ini.writeInteger("Option", "Quality", s.CQuality);
}

}  // namespace zubira
