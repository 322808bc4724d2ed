#include "worksheet/preset_menu.h"

#include "platform/dialogs.h"
#include "platform/save_file.h"
#include "worksheet/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QUrl>

namespace zubira {

Preset PresetOfWindow(const TForm1& w, const QString& name) {
  OperandChoices choices;
  choices.sign1 = SignMode(std::clamp(w.Combo1->currentIndex(), 0, 2));
  choices.sign2 = SignMode(std::clamp(w.Combo2->currentIndex(), 0, 2));
  choices.random1 = w.CBox1->isChecked();
  choices.random2 = w.CBox2->isChecked();
  return PresetFromSettings(name, w.kind(), w.rangeTexts(), choices, w.gen);
}

void ApplyPresetToWindow(TForm1& w, const Preset& p) {
  w.TabControl1->setCurrentIndex(int(p.kind));
  for (int k = 0; k < RangeEditCount; ++k) w.rangeEdits[size_t(k)]->setText(p.ranges[size_t(k)]);
  w.Combo1->setCurrentIndex(int(p.choices.sign1));
  w.Combo2->setCurrentIndex(int(p.choices.sign2));
  w.CBox1->setChecked(p.choices.random1);
  w.CBox2->setChecked(p.choices.random2);

  // The options and their check marks.
  const GenerationSettings& s = p.settings;
  GenerationSettings& g = w.gen;
  g.nRange = s.nRange;
  (s.nRange == 1 ? w.RB1 : s.nRange == 2 ? w.RC1 : w.RA1)->setChecked(true);
  g.nJust = s.nJust;
  g.rnd_D = s.rnd_D;
  for (const auto& [field, item] : {std::pair{&GenerationSettings::fJust, w.E1}, std::pair{&GenerationSettings::fZero, w.Z1},
                                    std::pair{&GenerationSettings::fOne, w.O2}, std::pair{&GenerationSettings::fTaiBun, w.T1},
                                    std::pair{&GenerationSettings::fKakko, w.K1}, std::pair{&GenerationSettings::fInt, w.I1}}) {
    g.*field = s.*field;
    item->setChecked(s.*field);
  }
  // The conditions: each group's item of the value is checked.
  g.Lesson = s.Lesson;
  for (const auto& [items, value] : {std::pair{w.LessonDenom.data(), s.Lesson.Denominator},
                                     std::pair{w.LessonReduce.data(), s.Lesson.Reduce},
                                     std::pair{w.LessonRegroup.data(), s.Lesson.Regroup},
                                     std::pair{w.LessonCancel.data(), s.Lesson.Cancel}})
    if (items[0] && value >= 0 && value <= 2) items[value]->setChecked(true);
  if (w.LessonForm[0] && s.Lesson.Form >= 0 && s.Lesson.Form <= 1) w.LessonForm[size_t(s.Lesson.Form)]->setChecked(true);

  g.ExamRowN = s.ExamRowN;
  g.ExamColN = s.ExamColN;
  w.EdtRow->setText(QString::number(s.ExamRowN));
  w.EdtCol->setText(QString::number(s.ExamColN));
  w.EdtTotal->setText(QString::number(s.ExamRowN * s.ExamColN));
}

PresetMenu::PresetMenu(TForm1* window, const QString& settingsPath, const QString& builtInFolder)
    : QObject(window),
      window_(window),
      settingsPath_(settingsPath),
      builtInFolder_(builtInFolder),
      library_(LoadPresetLibrary(builtInFolder, QString())),
      menu_(new QMenu(QStringLiteral("プリセット(&T)"), window)) {
  menu_->setObjectName(QStringLiteral("Preset1"));
  // The built-in presets, a submenu for each grade; one without a grade stands on its own.
  const QStringList grades = PresetGrades(library_.builtIn);
  std::vector<QMenu*> gradeMenus;
  for (int i = 0; i < grades.size(); ++i) {
    QMenu* m = menu_->addMenu(grades[i]);
    m->setObjectName(QStringLiteral("PresetGrade%1").arg(i));
    gradeMenus.push_back(m);
  }
  for (const Preset& p : library_.builtIn) {
    QMenu* in = p.grade.isEmpty() ? menu_ : gradeMenus[size_t(grades.indexOf(p.grade))];
    QAction* a = in->addAction(PresetLabel(p));
    a->setObjectName(QStringLiteral("Preset_") + QString(p.id).replace(u'-', u'_'));
    connect(a, &QAction::triggered, this, [this, p] { PresetClick(p); });
  }
  userStart_ = menu_->addSeparator();
  userEnd_ = menu_->addSeparator();
  const auto action = [this](const char* name, const QString& text) {
    QAction* a = menu_->addAction(text);
    a->setObjectName(QLatin1String(name));
    return a;
  };
  PresetSave = action("PresetSave", QStringLiteral("現在の設定を保存(&S)..."));
  PresetImport = action("PresetImport", QStringLiteral("プリセットを開く(&O)..."));
  PresetFolder = action("PresetFolder", QStringLiteral("プリセットのフォルダを開く(&F)"));
  connect(PresetSave, &QAction::triggered, this, [this] { PresetSaveClick(); });
  connect(PresetImport, &QAction::triggered, this, [this] { PresetImportClick(); });
  connect(PresetFolder, &QAction::triggered, this, [this] { PresetFolderClick(); });
  connect(menu_, &QMenu::aboutToShow, this, [this] { refreshUserPresets(); });
  refreshUserPresets();
}

QString PresetMenu::userFolder() const { return UserPresetFolder(settingsPath_); }

void PresetMenu::refreshUserPresets() {
  for (QAction* a : userItems_) {
    menu_->removeAction(a);
    a->deleteLater();
  }
  userItems_.clear();
  const PresetLibrary user = LoadPresetLibrary(QString(), userFolder());
  library_.user = user.user;
  library_.refused = user.refused;
  int n = 0;
  for (const Preset& p : library_.user) {
    auto* a = new QAction(PresetLabel(p), menu_);
    a->setObjectName(QStringLiteral("PresetUser%1").arg(n++));
    a->setStatusTip(p.path);
    connect(a, &QAction::triggered, this, [this, p] { PresetClick(p); });
    userItems_.push_back(a);
  }
  // Files in the folder that are not presets are named, so the user can mend or remove them.
  if (!user.refused.isEmpty()) {
    auto* a = new QAction(QStringLiteral("（読み込めないファイルが%1個あります）").arg(user.refused.size()), menu_);
    a->setObjectName(QStringLiteral("PresetRefused"));
    a->setEnabled(false);
    a->setStatusTip(user.refused.join(u' ').replace(u'\n', u' '));
    userItems_.push_back(a);
  }
  for (QAction* a : userItems_) menu_->insertAction(userEnd_, a);
  userStart_->setVisible(!userItems_.empty());
}

void PresetMenu::message(const QString& text) { dialogs().message(window_, messageCaption(), text); }

void PresetMenu::PresetClick(const Preset& preset) {
  ApplyPresetToWindow(*window_, preset);
  lastName_ = preset.name;
  window_->StPanel1->setText(QStringLiteral("プリセット「%1」にしました").arg(PresetLabel(preset)));
}

bool PresetMenu::storeUserFile(const QString& fileName, const QString& label,
                               const std::function<QString(const QString&)>& write) {
  const QString folder = userFolder();
  if (!QDir().mkpath(folder)) {
    message(QStringLiteral("プリセットのフォルダ「%1」を作れませんでした").arg(folder));
    return false;
  }
  const QString path = QDir(folder).filePath(fileName);
  if (QFileInfo::exists(path) &&
      !dialogs().askYesNo(window_, messageCaption(),
                          QStringLiteral("プリセット「%1」はもうあります。置き換えますか").arg(label)))
    return false;
  const QString error = write(path);
  if (!error.isEmpty()) {
    message(QStringLiteral("プリセットを保存できませんでした\n%1").arg(error));
    return false;
  }
  return true;
}

void PresetMenu::PresetSaveClick() {
  if (!window_->commitEditing()) return;
  const std::optional<QString> entered =
      dialogs().inputText(window_, QStringLiteral("プリセットの保存"), QStringLiteral("プリセットの名前を入力して下さい"), lastName_);
  if (!entered) return;
  const QString name = entered->trimmed();
  if (name.isEmpty()) {
    message(QStringLiteral("名前を入力して下さい"));
    return;
  }
  const Preset preset = PresetOfWindow(*window_, name);
  const QString refused = CheckPreset(preset);
  if (!refused.isEmpty()) {
    message(refused);
    return;
  }
  if (!storeUserFile(PresetFileNameFor(name), name, [&](const QString& path) { return SavePreset(preset, path); }))
    return;
  lastName_ = name;
  refreshUserPresets();
  window_->StPanel1->setText(QStringLiteral("プリセット「%1」を保存しました").arg(name));
}

void PresetMenu::PresetImportClick() {
  OpenFileRequest request;
  request.caption = QStringLiteral("プリセットを開く");
  request.filter = QStringLiteral("プリセット (*.%1);;すべてのファイル (*)").arg(PresetSuffix());
  const std::optional<QString> file = dialogs().openFileName(window_, request);
  if (!file) return;
  const PresetLoad load = LoadPreset(*file);
  if (!load.preset) {
    dialogs().message(window_, messageCaption(), load.message, MessageIcon::Warning);
    return;
  }
  const QFileInfo source(*file);
  const QString target = QDir(userFolder()).filePath(source.fileName());
  // A file already in the folder is only chosen, not copied onto itself.
  if (source.absoluteFilePath() != QFileInfo(target).absoluteFilePath()) {
    QFile in(*file);
    if (!in.open(QIODevice::ReadOnly)) {
      message(QStringLiteral("「%1」を読めません（%2）").arg(*file, in.errorString()));
      return;
    }
    const QByteArray bytes = in.readAll();
    const bool stored = storeUserFile(source.fileName(), PresetLabel(*load.preset), [&](const QString& path) {
      QString why;
      return saveWholeFile(path, bytes, &why) ? QString() : why;
    });
    if (!stored) return;
  }
  refreshUserPresets();
  Preset preset = *load.preset;
  preset.path = QFileInfo(target).absoluteFilePath();
  PresetClick(preset);
}

void PresetMenu::PresetFolderClick() {
  const QString folder = userFolder();
  if (!QDir().mkpath(folder)) {
    message(QStringLiteral("プリセットのフォルダ「%1」を作れませんでした").arg(folder));
    return;
  }
  if (!dialogs().openUrl(QUrl::fromLocalFile(folder)))
    message(QStringLiteral("プリセットのフォルダ「%1」を開けませんでした").arg(folder));
}

}  // namespace zubira
