#include "worksheet/mix_dialog.h"

#include "generation/grid_check.h"
#include "platform/dialogs.h"
#include "drawing/page_model.h"
#include "worksheet/main_window.h"
#include "worksheet/preset_menu.h"
#include "worksheet/preview_host.h"
#include "worksheet/problem_settings.h"
#include "worksheet/sheet_composition.h"
#include "worksheet/worksheet_composer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

namespace zubira {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

QString TFrmMix::CurrentSettingsCaption() { return QStringLiteral("現在の設定"); }

TFrmMix::TFrmMix(TForm1* window, PreviewHost* preview, const MainSettings& settings,
                 const GenerationSettings& gen, const TPageStr& DateTime, PresetMenu* presets,
                 RandomSource* random)
    : QDialog(window),
      window_(window),
      preview_(preview),
      settings_(settings),
      gen_(gen),
      dateTime_(DateTime),
      presets_(presets),
      random_(random ? random : &ProcessRandomSource()) {
  setObjectName(QStringLiteral("FrmMix"));
  setWindowTitle(QStringLiteral("まとめプリント"));
  buildControls();
  refreshChoices();
  addRow(0, 5);
  stale_ = true;
}

TFrmMix::~TFrmMix() = default;

void TFrmMix::buildControls() {
  auto* layout = new QVBoxLayout(this);
  TblMix = new QTableWidget(0, 2, this);
  TblMix->setObjectName(QStringLiteral("TblMix"));
  TblMix->setHorizontalHeaderLabels({QStringLiteral("プリセット"), QStringLiteral("問題数")});
  TblMix->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  TblMix->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  TblMix->setSelectionBehavior(QAbstractItemView::SelectRows);
  TblMix->setSelectionMode(QAbstractItemView::SingleSelection);
  TblMix->setMinimumSize(420, 200);
  layout->addWidget(TblMix);

  auto* rows = new QHBoxLayout;
  BtnMixAdd = button(this, "BtnMixAdd", QStringLiteral("追加(&N)"));
  BtnMixRemove = button(this, "BtnMixRemove", QStringLiteral("削除(&D)"));
  BtnMixUp = button(this, "BtnMixUp", QStringLiteral("上へ"));
  BtnMixDown = button(this, "BtnMixDown", QStringLiteral("下へ"));
  LblMixTotal = new QLabel(this);
  LblMixTotal->setObjectName(QStringLiteral("LblMixTotal"));
  for (QWidget* w : std::initializer_list<QWidget*>{BtnMixAdd, BtnMixRemove, BtnMixUp, BtnMixDown}) rows->addWidget(w);
  rows->addStretch();
  rows->addWidget(LblMixTotal);
  layout->addLayout(rows);

  auto* order = new QGroupBox(QStringLiteral("順番"), this);
  auto* orderLayout = new QHBoxLayout(order);
  RbMixInOrder = new QRadioButton(QStringLiteral("順番どおり"), order);
  RbMixInOrder->setObjectName(QStringLiteral("RbMixInOrder"));
  RbMixShuffle = new QRadioButton(QStringLiteral("まぜる"), order);
  RbMixShuffle->setObjectName(QStringLiteral("RbMixShuffle"));
  RbMixInOrder->setChecked(true);
  orderLayout->addWidget(RbMixInOrder);
  orderLayout->addWidget(RbMixShuffle);
  orderLayout->addStretch();
  layout->addWidget(order);

  auto* sheets = new QHBoxLayout;
  BtnMixMake = button(this, "BtnMixMake", QStringLiteral("作成(&M)"));
  BtnMixProblems = button(this, "BtnMixProblems", QStringLiteral("問題(&Q)"));
  BtnMixAnswers = button(this, "BtnMixAnswers", QStringLiteral("答え(&A)"));
  BtnMixKey = button(this, "BtnMixKey", QStringLiteral("解き方(&S)"));
  for (QWidget* w : std::initializer_list<QWidget*>{BtnMixMake, BtnMixProblems, BtnMixAnswers, BtnMixKey}) sheets->addWidget(w);
  sheets->addStretch();
  layout->addLayout(sheets);

  auto* sets = new QGroupBox(QStringLiteral("PDF・印刷"), this);
  auto* setsLayout = new QHBoxLayout(sets);
  auto* setsLabel = new QLabel(QStringLiteral("セットの数(&N):"), sets);
  SpnMixSets = new QSpinBox(sets);
  SpnMixSets->setObjectName(QStringLiteral("SpnMixSets"));
  SpnMixSets->setRange(1, 1000);
  SpnMixSets->setValue(1);
  setsLabel->setBuddy(SpnMixSets);
  ChkMixAnswers = new QCheckBox(QStringLiteral("答えのページ"), sets);
  ChkMixAnswers->setObjectName(QStringLiteral("ChkMixAnswers"));
  ChkMixAnswers->setChecked(true);
  ChkMixKey = new QCheckBox(QStringLiteral("解き方のページ"), sets);
  ChkMixKey->setObjectName(QStringLiteral("ChkMixKey"));
  BtnMixPdf = button(sets, "BtnMixPdf", QStringLiteral("PDFに保存(&P)..."));
  BtnMixPrint = button(sets, "BtnMixPrint", QStringLiteral("印刷(&R)"));
  for (QWidget* w : std::initializer_list<QWidget*>{setsLabel, SpnMixSets, ChkMixAnswers, ChkMixKey}) setsLayout->addWidget(w);
  setsLayout->addStretch();
  setsLayout->addWidget(BtnMixPdf);
  setsLayout->addWidget(BtnMixPrint);
  layout->addWidget(sets);

  auto* foot = new QHBoxLayout;
  LblMixStatus = new QLabel(this);
  LblMixStatus->setObjectName(QStringLiteral("LblMixStatus"));
  LblMixStatus->setWordWrap(true);
  BtnMixClose = button(this, "BtnMixClose", QStringLiteral("閉じる(&C)"));
  foot->addWidget(LblMixStatus, 1);
  foot->addWidget(BtnMixClose);
  layout->addLayout(foot);

  connect(BtnMixAdd, &QPushButton::clicked, this, [this] { BtnMixAddClick(); });
  connect(BtnMixRemove, &QPushButton::clicked, this, [this] { BtnMixRemoveClick(); });
  connect(BtnMixUp, &QPushButton::clicked, this, [this] { BtnMixUpClick(); });
  connect(BtnMixDown, &QPushButton::clicked, this, [this] { BtnMixDownClick(); });
  connect(BtnMixMake, &QPushButton::clicked, this, [this] { BtnMixMakeClick(); });
  connect(BtnMixProblems, &QPushButton::clicked, this, [this] { BtnMixProblemsClick(); });
  connect(BtnMixAnswers, &QPushButton::clicked, this, [this] { BtnMixAnswersClick(); });
  connect(BtnMixKey, &QPushButton::clicked, this, [this] { BtnMixKeyClick(); });
  connect(BtnMixPdf, &QPushButton::clicked, this, [this] { BtnMixPdfClick(); });
  connect(BtnMixPrint, &QPushButton::clicked, this, [this] { BtnMixPrintClick(); });
  connect(BtnMixClose, &QPushButton::clicked, this, [this] { close(); });
  runner_.setBusyChanged([this](bool busy) {
    for (QPushButton* b : {BtnMixMake, BtnMixProblems, BtnMixAnswers, BtnMixKey, BtnMixPdf, BtnMixPrint}) b->setEnabled(!busy);
  });
  connect(RbMixShuffle, &QRadioButton::toggled, this, [this] { changed(); });
}

void TFrmMix::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  refreshChoices();
  updateTotal();
}

// ---- Rows --------------------------------------------------------------------------------------

QStringList TFrmMix::choices() const {
  QStringList labels;
  for (const Choice& c : choices_) labels << c.label;
  return labels;
}

void TFrmMix::refreshChoices() {
  choices_.clear();
  choices_.push_back({CurrentSettingsCaption(), std::nullopt});
  if (presets_) {
    presets_->refreshUserPresets();
    for (const std::vector<Preset>* list : {&presets_->library().builtIn, &presets_->library().user})
      for (const Preset& p : *list) choices_.push_back({PresetLabel(p), p});
  }
  for (int row = 0; row < TblMix->rowCount(); ++row) {
    auto* combo = static_cast<QComboBox*>(TblMix->cellWidget(row, 0));
    setRowChoices(row, combo->currentText());
  }
}

void TFrmMix::setRowChoices(int row, const QString& keep) {
  auto* combo = static_cast<QComboBox*>(TblMix->cellWidget(row, 0));
  const QSignalBlocker quiet(combo);
  combo->clear();
  combo->addItems(choices());
  const int at = combo->findText(keep);
  combo->setCurrentIndex(at >= 0 ? at : 0);
  if (at < 0 && !keep.isEmpty()) changed();
}

void TFrmMix::addRow(int choice, int count) {
  const int row = TblMix->rowCount();
  TblMix->insertRow(row);
  auto* combo = new QComboBox(TblMix);
  combo->setObjectName(QStringLiteral("CmbMixPreset"));
  TblMix->setCellWidget(row, 0, combo);
  setRowChoices(row, choices_.at(size_t(std::clamp(choice, 0, int(choices_.size()) - 1))).label);
  auto* spin = new QSpinBox(TblMix);
  spin->setObjectName(QStringLiteral("SpnMixCount"));
  spin->setRange(1, MaxGridProblems);
  spin->setValue(std::clamp(count, 1, MaxGridProblems));
  TblMix->setCellWidget(row, 1, spin);
  connect(combo, &QComboBox::currentIndexChanged, this, [this] { changed(); });
  connect(spin, &QSpinBox::valueChanged, this, [this] { changed(); });
  TblMix->selectRow(row);
  changed();
}

void TFrmMix::BtnMixAddClick() {
  // A new row asks for what room the grid has left, at least one problem.
  const int left = gen_.ExamRowN * gen_.ExamColN - total();
  const int row = TblMix->currentRow();
  const int choice = row >= 0 ? static_cast<QComboBox*>(TblMix->cellWidget(row, 0))->currentIndex() : 0;
  addRow(choice, std::clamp(left, 1, 5));
}

void TFrmMix::BtnMixRemoveClick() {
  const int row = TblMix->currentRow();
  if (row < 0) return;
  TblMix->removeRow(row);
  if (TblMix->rowCount() > 0) TblMix->selectRow(std::min(row, TblMix->rowCount() - 1));
  changed();
}

void TFrmMix::moveRow(int from, int to) {
  if (from < 0 || to < 0 || from >= TblMix->rowCount() || to >= TblMix->rowCount()) return;
  auto combo = [this](int r) { return static_cast<QComboBox*>(TblMix->cellWidget(r, 0)); };
  auto spin = [this](int r) { return static_cast<QSpinBox*>(TblMix->cellWidget(r, 1)); };
  const int choice = combo(from)->currentIndex(), count = spin(from)->value();
  combo(from)->setCurrentIndex(combo(to)->currentIndex());
  spin(from)->setValue(spin(to)->value());
  combo(to)->setCurrentIndex(choice);
  spin(to)->setValue(count);
  TblMix->selectRow(to);
  changed();
}

void TFrmMix::BtnMixUpClick() { moveRow(TblMix->currentRow(), TblMix->currentRow() - 1); }
void TFrmMix::BtnMixDownClick() { moveRow(TblMix->currentRow(), TblMix->currentRow() + 1); }

int TFrmMix::total() const {
  int sum = 0;
  for (int row = 0; row < TblMix->rowCount(); ++row) sum += static_cast<QSpinBox*>(TblMix->cellWidget(row, 1))->value();
  return sum;
}

void TFrmMix::changed() {
  stale_ = true;
  updateTotal();
}

void TFrmMix::updateTotal() {
  const int cells = gen_.ExamRowN * gen_.ExamColN;
  const int sum = total();
  const bool over = sum > cells;
  LblMixTotal->setText(over ? QStringLiteral("合計 %1 問（配置の %2 問を越えています）").arg(sum).arg(cells)
                            : QStringLiteral("合計 %1 問（配置は %2 問）").arg(sum).arg(cells));
  LblMixTotal->setStyleSheet(over ? QStringLiteral("color: #c00000;") : QString());
}

// ---- Making and showing ------------------------------------------------------------------------

std::optional<MixedSet> TFrmMix::mixOfTable() {
  MixedSet mix;
  mix.shuffle = RbMixShuffle->isChecked();
  for (int row = 0; row < TblMix->rowCount(); ++row) {
    const int choice = static_cast<QComboBox*>(TblMix->cellWidget(row, 0))->currentIndex();
    const int count = static_cast<QSpinBox*>(TblMix->cellWidget(row, 1))->value();
    const Choice& c = choices_.at(size_t(std::max(choice, 0)));
    if (c.preset) {
      mix.sections.push_back({*c.preset, count});
      continue;
    }
    // The main window's settings as they stand, an edit left unchecked checked first.
    if (!window_->commitEditing()) return std::nullopt;
    Preset current = PresetOfWindow(*window_, CurrentSettingsCaption());
    const QString refused = CheckPreset(current);
    if (!refused.isEmpty()) {
      message(refused);
      return std::nullopt;
    }
    mix.sections.push_back({std::move(current), count});
  }
  return mix;
}

bool TFrmMix::makeSet() {
  updateTotal();
  const std::optional<MixedSet> mix = mixOfTable();
  if (!mix) return false;
  const QString refused = CheckMixedSet(*mix, gen_.ExamRowN * gen_.ExamColN);
  if (!refused.isEmpty()) {
    message(refused);
    return false;
  }
  LblMixStatus->clear();
  const MixedSetResult r = MakeMixedSet(*mix, *random_, this);
  if (r.status == MakeStatus::InvalidRanges) message(r.message);
  if (r.status != MakeStatus::Done) {
    LblMixStatus->setText(r.message);
    return false;
  }
  problems_ = r.problems;
  stale_ = false;
  LblMixStatus->setText(QStringLiteral("%1問のまとめプリントを作りました").arg(problems_.size()));
  return true;
}

void TFrmMix::showSheet(int sheetKind) {
  if (busy_ || !preview_) return;
  busy_ = true;
  const bool ready = !stale_ || makeSet();
  busy_ = false;
  if (!ready) return;
  if (!preview_->isPreviewVisible()) preview_->showPreview();
  // The pages of this set, turned in the preview (a long key) until another sheet is shown there.
  const auto settings = std::make_shared<const MainSettings>(sheetSettings(problems_));
  const SheetSource source{settings.get(), &gen_, &dateTime_, problems_};
  const auto compose = [this, settings, source, sheetKind](int page, SheetFit* fit) {
    Typesetter typesetter(preview_->model());
    return composeSheet(preview_->model(), typesetter, source, sheetKind, page, fit,
                        [this] { preview_->refreshProgram(); });
  };
  SheetFit fit;
  const bool composed = compose(0, &fit);
  preview_->setSheetPages(composed ? fit.pages : 1, [compose](int page) { compose(page, nullptr); });
  preview_->showStatus(composed ? FitNote(fit) : QString());
}

void TFrmMix::BtnMixMakeClick() {
  stale_ = true;
  showSheet(WorksheetComposer::ProblemSheet);
}
void TFrmMix::BtnMixProblemsClick() { showSheet(WorksheetComposer::ProblemSheet); }
void TFrmMix::BtnMixAnswersClick() { showSheet(WorksheetComposer::AnswerSheet); }
void TFrmMix::BtnMixKeyClick() { showSheet(WorksheetComposer::SolutionSheet); }

bool TFrmMix::prepareSets(ClassSetPlan* plan) {
  if (busy_ || runner_.running()) return false;
  updateTotal();
  const std::optional<MixedSet> mix = mixOfTable();
  if (!mix) return false;
  const QString refused = CheckMixedSet(*mix, gen_.ExamRowN * gen_.ExamColN);
  if (!refused.isEmpty()) {
    message(refused);
    return false;
  }
  ClassSetSource source;
  source.settings = sheetSettings(MixedSetKinds(*mix));
  source.gen = gen_;
  source.dateTime = dateTime_;
  source.random = random_;
  if (preview_) {
    source.page = &preview_->model();
    source.printer = preview_->model().printerAccess().printer();
  }
  // The set in the preview is the first: what the teacher looked at is what is put out.
  const ProblemSet shown = stale_ ? ProblemSet() : problems_;
  RandomSource* random = random_;
  source.sets = [mix = *mix, shown, random](GeneratorHooks* hooks) -> SetMaker {
    SetMaker fresh = mixedSets(mix, *random, hooks);
    return [fresh, shown](int index) {
      if (index > 0 || shown.empty()) return fresh(index);
      MadeSet made;
      made.set = shown;
      return made;
    };
  };
  runner_.setSource(source);
  plan->sets = SpnMixSets->value();
  plan->answers = ChkMixAnswers->isChecked();
  plan->key = ChkMixKey->isChecked();
  return true;
}

void TFrmMix::BtnMixPdfClick() {
  ClassSetPlan plan;
  if (prepareSets(&plan) && runner_.savePdf(plan)) LblMixStatus->setText(QStringLiteral("PDFに保存しました"));
}

void TFrmMix::BtnMixPrintClick() {
  ClassSetPlan plan;
  if (prepareSets(&plan) && runner_.print(plan)) LblMixStatus->setText(QStringLiteral("印刷しました"));
}

MainSettings TFrmMix::sheetSettings(const ProblemSet& problems) const {
  MainSettings sheet = settings_;
  sheet.sSubTitle = sheetSubTitle(settings_.sSubTitle, window_->kind(), problems);
  return sheet;
}

void TFrmMix::message(const QString& text) { dialogs().message(this, messageCaption(), text); }

void TFrmMix::SetStatusText(const QString& text) {
  if (!text.isEmpty()) LblMixStatus->setText(text);
}
void TFrmMix::ProcessEvents() { QCoreApplication::processEvents(); }
bool TFrmMix::AskYesNo(const QString& question) { return dialogs().askYesNo(this, messageCaption(), question); }

}  // namespace zubira
