#include "worksheet/versions_dialog.h"

#include "drawing/cups_printer.h"
#include "drawing/page_model.h"
#include "drawing/page_output.h"
#include "generation/problem_generator.h"
#include "generation/random_source.h"
#include "platform/dialogs.h"
#include "platform/ini_file.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace zubira {

namespace {

// The generator's questions and choices during a run: the operand choices of the main window as
// they were, and the exhaustion question asked once, its answer kept for the other sets.
class ClassSetHooks final : public GeneratorHooks {
 public:
  ClassSetHooks(QWidget* parent, OperandChoices choices) : parent_(parent), choices_(choices) {}
  OperandChoices ReadOperandChoices() override { return choices_; }
  bool AskYesNo(const QString& question) override {
    if (!answer_) answer_ = dialogs().askYesNo(parent_, messageCaption(), question);
    return *answer_;
  }

 private:
  QWidget* parent_;
  OperandChoices choices_;
  std::optional<bool> answer_;
};

QString shown(const QString& file) { return QDir::toNativeSeparators(file); }

}  // namespace

FrmVersions::FrmVersions(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmVersions"));
  setWindowTitle(QStringLiteral("クラス用の複数セット"));

  SpnVersions = new QSpinBox(this);
  SpnVersions->setObjectName(QStringLiteral("SpnVersions"));
  SpnVersions->setRange(1, 1000);
  SpnVersions->setValue(30);
  ChkAnswers = new QCheckBox(QStringLiteral("答えのページ"), this);
  ChkAnswers->setObjectName(QStringLiteral("ChkAnswers"));
  ChkAnswers->setChecked(true);
  ChkKey = new QCheckBox(QStringLiteral("解き方のページ"), this);
  ChkKey->setObjectName(QStringLiteral("ChkKey"));
  BtnVersionsPdf = new QPushButton(QStringLiteral("PDFに保存(&S)..."), this);
  BtnVersionsPdf->setObjectName(QStringLiteral("BtnVersionsPdf"));
  BtnVersionsPdf->setDefault(true);
  BtnVersionsPrint = new QPushButton(QStringLiteral("印刷(&P)"), this);
  BtnVersionsPrint->setObjectName(QStringLiteral("BtnVersionsPrint"));
  BtnVersionsCancel = new QPushButton(QStringLiteral("キャンセル"), this);
  BtnVersionsCancel->setObjectName(QStringLiteral("BtnVersionsCancel"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("セットの数(&N):"), SpnVersions);
  form->addRow(ChkAnswers);
  form->addRow(ChkKey);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {BtnVersionsPdf, BtnVersionsPrint, BtnVersionsCancel}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);

  connect(BtnVersionsPdf, &QPushButton::clicked, this, [this] { BtnVersionsPdfClick(); });
  connect(BtnVersionsPrint, &QPushButton::clicked, this, [this] { BtnVersionsPrintClick(); });
  connect(BtnVersionsCancel, &QPushButton::clicked, this, [this] { reject(); });
}

FrmVersions::~FrmVersions() = default;

void FrmVersions::reject() {
  if (running_) {
    cancelled_ = true;
    return;
  }
  QDialog::reject();
}

ClassSetPlan FrmVersions::plan() const {
  ClassSetPlan p;
  p.sets = SpnVersions->value();
  p.answers = ChkAnswers->isChecked();
  p.key = ChkKey->isChecked();
  return p;
}

void FrmVersions::message(const QString& text, MessageIcon icon) { dialogs().message(this, messageCaption(), text, icon); }

void FrmVersions::preparePage(PageModel& page) const {
  if (source_.page) {
    copyPageSetup(*source_.page, page);
    return;
  }
  // Without a preview: the page strings of a fresh settings file where the window puts them.
  const IniFile none{QString()};
  for (TPageStr* ps : {&page.Header, &page.Footer, &page.PageTitle, &page.SubTitle})
    ps->GetIniSets(none, QStringLiteral("PageString"), QString(), 0, QStringLiteral("0"), QStringLiteral("0"));
  page.setUnitType(PageModel::kUnitMillimetre);
  GiveDefaultPlaces(&page.PageTitle, &page.SubTitle, nullptr);
}

ClassSetResult FrmVersions::makeSets(ClassSets& sets, const ClassSetPlan& plan) {
  ClassSetHooks hooks(this, source_.choices);
  ProblemGenerator generator(source_.random, &hooks);
  QProgressDialog progress(QString(), QStringLiteral("キャンセル"), 0, plan.sets, this);
  progress.setObjectName(QStringLiteral("PrgVersions"));
  progress.setWindowTitle(windowTitle());
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  // Shown, it lets the window redraw and take the cancel between sets.
  sets.setProgress([&](int done) {
    progress.setLabelText(QStringLiteral("%1 / %2 セット").arg(done).arg(plan.sets));
    progress.setValue(done);
    QCoreApplication::processEvents();
    return !cancelled_ && !progress.wasCanceled();
  });
  running_ = true;
  cancelled_ = false;
  for (QPushButton* b : {BtnVersionsPdf, BtnVersionsPrint}) b->setEnabled(false);
  const ClassSetResult r = sets.run(plan, generatedSets(generator, source_.kind, source_.gen));
  for (QPushButton* b : {BtnVersionsPdf, BtnVersionsPrint}) b->setEnabled(true);
  running_ = false;
  return r;
}

QString FrmVersions::makeMessage(const ClassSetResult& r) const {
  if (r.status != ClassSetResult::NotMade) return QString();
  if (r.makeStatus == MakeStatus::InvalidRanges) return r.message;
  return r.message.isEmpty() ? QStringLiteral("問題を作れませんでした。")
                             : QStringLiteral("問題を作れませんでした（%1）。").arg(r.message);
}

void FrmVersions::BtnVersionsPdfClick() {
  if (running_) return;
  const std::optional<QString> name = dialogs().saveFileName(
      this, SaveFileRequest{QStringLiteral("PDFに保存"), QString(), QStringLiteral("PDF ファイル (*.pdf)"),
                            QStringLiteral("pdf")});
  if (!name || name->isEmpty()) return;
  const QString file = *name;
  PageOutput out(kPdfDpi);
  if (!out.ready()) {
    message(QStringLiteral("「%1」を保存できませんでした。").arg(shown(file)));
    return;
  }
  preparePage(out.model());
  ClassSets sets(source_.settings, source_.gen, source_.dateTime);
  sets.writePdf(out, file);
  const ClassSetPlan p = plan();
  const ClassSetResult r = makeSets(sets, p);
  switch (r.status) {
    case ClassSetResult::Done:
      // How the sheets were fitted to the page is worth knowing before the pages are printed.
      if (!r.notes.isEmpty())
        message(QStringLiteral("「%1」に保存しました。\r\n").arg(shown(file)) + r.notes.join(QStringLiteral("\r\n")),
                MessageIcon::Information);
      accept();
      return;
    case ClassSetResult::Cancelled:
      return;
    case ClassSetResult::NotMade:
      message(makeMessage(r));
      return;
    case ClassSetResult::Failed:
      break;
  }
  const QString head = QStringLiteral("「%1」を保存できませんでした。").arg(shown(file));
  switch (r.fileFault) {
    case WholeFileWriter::Fault::CannotCreate:
      message(head + QStringLiteral("\r\nこの場所には書き込めません。保存する場所を変えて下さい。"));
      break;
    case WholeFileWriter::Fault::CannotWrite:
      message(head + QStringLiteral("\r\nディスクの空きが足りません。空きを作るか、別の場所に保存して下さい。"));
      break;
    case WholeFileWriter::Fault::None:
      message(r.message.isEmpty() ? head : head + QStringLiteral("\r\n") + r.message);
      break;
  }
}

void FrmVersions::BtnVersionsPrintClick() {
  if (running_) return;
  // The printer the preview's print dialog chose, else the system's default one.
  std::optional<CupsQueue> queue;
  int copies = 1;
  QString why;
  if (source_.printer && source_.printer->outputFormat() == QPrinter::NativeFormat) {
    queue = cupsQueueOf(*source_.printer);
    copies = std::clamp(source_.printer->copyCount(), 1, 99);
  } else {
    queue = findCupsQueue(QString(), &why);
  }
  if (!queue) {
    message(QStringLiteral("印刷できるプリンタがありません。PDFに保存して下さい。") +
            (why.isEmpty() ? QString() : QStringLiteral("\r\n") + why));
    return;
  }
  PageOutput out(*queue);
  if (!out.ready()) {
    message(QStringLiteral("プリンタ「%1」の用紙が分かりません。").arg(queue->name));
    return;
  }
  preparePage(out.model());
  ClassSets sets(source_.settings, source_.gen, source_.dateTime);
  sets.print(out, copies);
  const ClassSetPlan p = plan();
  const ClassSetResult r = makeSets(sets, p);
  const QString sent = QStringLiteral("プリンタ「%1」に %2 セットを送りました（各%3部）。")
                           .arg(queue->name)
                           .arg(r.setsDone)
                           .arg(copies);
  switch (r.status) {
    case ClassSetResult::Done:
      message(r.notes.isEmpty() ? sent : sent + QStringLiteral("\r\n") + r.notes.join(QStringLiteral("\r\n")),
              MessageIcon::Information);
      accept();
      return;
    case ClassSetResult::Cancelled:
      if (r.setsDone > 0) message(QStringLiteral("途中で止めました。") + sent);
      return;
    case ClassSetResult::NotMade:
      message(makeMessage(r) + (r.setsDone > 0 ? QStringLiteral("\r\n") + sent : QString()));
      return;
    case ClassSetResult::Failed:
      message(QStringLiteral("印刷できませんでした。\r\n") + r.message +
              (r.setsDone > 0 ? QStringLiteral("\r\n") + sent : QString()));
      return;
  }
}

}  // namespace zubira
