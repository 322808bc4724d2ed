#pragma once
// The main window's menu "プリセット(&T)": the built-in presets in a submenu per grade, the user's
// presets below them, then saving the window's settings as a preset, opening a preset file and
// opening the folder of the user's presets. Choosing a preset sets the window's controls as if
// the user had typed them.

#include "generation/preset_library.h"

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QAction;
class QMenu;

namespace zubira {

class TForm1;

// The window's problem side as a preset called `name`: the tab, the twelve range texts as they
// stand, the signs and random flags, the options, the lesson conditions and the grid.
Preset PresetOfWindow(const TForm1& window, const QString& name);
// Sets the window's controls from `preset` as if typed: the tab (which relabels the window and
// empties the lists when it changes), the ranges, signs and random flags, the option menu's
// marks and the conditions, and the grid fields.
void ApplyPresetToWindow(TForm1& window, const Preset& preset);

class PresetMenu : public QObject {
  Q_OBJECT
 public:
  // The user's presets lie in the folder "presets" beside `settingsPath`; the built-in ones in
  // `builtInFolder`.
  PresetMenu(TForm1* window, const QString& settingsPath, const QString& builtInFolder);

  QMenu* menu() const { return menu_; }
  const PresetLibrary& library() const { return library_; }
  QString userFolder() const;
  // Reads the user's folder again and renews its items (done each time the menu opens).
  void refreshUserPresets();

  // Handlers.
  void PresetClick(const Preset& preset);
  void PresetSaveClick();
  void PresetImportClick();
  void PresetFolderClick();

  QAction* PresetSave = nullptr;
  QAction* PresetImport = nullptr;
  QAction* PresetFolder = nullptr;

 private:
  void message(const QString& text);
  // Stores the user's preset file `fileName` through `write` (which returns why it failed),
  // asking before one called `label` is replaced; false when nothing was stored.
  bool storeUserFile(const QString& fileName, const QString& label, const std::function<QString(const QString&)>& write);

  TForm1* window_;
  QString settingsPath_;
  QString builtInFolder_;
  PresetLibrary library_;
  QMenu* menu_;
  QAction* userStart_ = nullptr;  // the separator above the user's presets
  QAction* userEnd_ = nullptr;    // the separator below them
  std::vector<QAction*> userItems_;
  QString lastName_;
};

}  // namespace zubira
