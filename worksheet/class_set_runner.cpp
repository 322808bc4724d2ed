#include "worksheet/class_set_runner.h"

#include "drawing/cups_printer.h"
#include "drawing/page_model.h"
#include "drawing/page_output.h"
#include "generation/problem_generator.h"
#include "generation/random_source.h"
#include "platform/ini_file.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QPrinter>
#include <QProgressDialog>

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

void ClassSetRunner::message(const QString& text, MessageIcon icon) {
  dialogs().message(owner_, messageCaption(), text, icon);
}

void ClassSetRunner::preparePage(PageModel& page) const {
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

ClassSetResult ClassSetRunner::makeSets(ClassSets& sets, const ClassSetPlan& plan) {
  ClassSetHooks hooks(owner_, source_.choices);
  ProblemGenerator generator(source_.random, &hooks);
  QProgressDialog progress(QString(), QStringLiteral("キャンセル"), 0, plan.sets, owner_);
  progress.setObjectName(QStringLiteral("PrgVersions"));
  progress.setWindowTitle(owner_->windowTitle());
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
  if (busy_) busy_(true);
  const ClassSetResult r = sets.run(plan, source_.sets ? source_.sets(&hooks) : generatedSets(generator, source_.kind, source_.gen));
  if (busy_) busy_(false);
  running_ = false;
  return r;
}

QString ClassSetRunner::makeMessage(const ClassSetResult& r) const {
  if (r.status != ClassSetResult::NotMade) return QString();
  if (r.makeStatus == MakeStatus::InvalidRanges) return r.message;
  return r.message.isEmpty() ? QStringLiteral("問題を作れませんでした。")
                             : QStringLiteral("問題を作れませんでした（%1）。").arg(r.message);
}

bool ClassSetRunner::savePdf(const ClassSetPlan& p) {
  if (running_) return false;
  const std::optional<QString> name = dialogs().saveFileName(
      owner_, SaveFileRequest{QStringLiteral("PDFに保存"), QString(), QStringLiteral("PDF ファイル (*.pdf)"),
                              QStringLiteral("pdf")});
  if (!name || name->isEmpty()) return false;
  const QString file = *name;
  PageOutput out(kPdfDpi);
  if (!out.ready()) {
    message(QStringLiteral("「%1」を保存できませんでした。").arg(shown(file)));
    return false;
  }
  preparePage(out.model());
  ClassSets sets(source_.settings, source_.gen, source_.dateTime);
  sets.writePdf(out, file);
  const ClassSetResult r = makeSets(sets, p);
  switch (r.status) {
    case ClassSetResult::Done:
      // How the sheets were fitted to the page is worth knowing before the pages are printed.
      if (!r.notes.isEmpty())
        message(QStringLiteral("「%1」に保存しました。\r\n").arg(shown(file)) + r.notes.join(QStringLiteral("\r\n")),
                MessageIcon::Information);
      return true;
    case ClassSetResult::Cancelled:
      return false;
    case ClassSetResult::NotMade:
      message(makeMessage(r));
      return false;
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
  return false;
}

bool ClassSetRunner::print(const ClassSetPlan& p) {
  if (running_) return false;
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
    return false;
  }
  PageOutput out(*queue);
  if (!out.ready()) {
    message(QStringLiteral("プリンタ「%1」の用紙が分かりません。").arg(queue->name));
    return false;
  }
  preparePage(out.model());
  ClassSets sets(source_.settings, source_.gen, source_.dateTime);
  sets.print(out, copies);
  const ClassSetResult r = makeSets(sets, p);
  const QString sent = QStringLiteral("プリンタ「%1」に %2 セットを送りました（各%3部）。")
                           .arg(queue->name)
                           .arg(r.setsDone)
                           .arg(copies);
  switch (r.status) {
    case ClassSetResult::Done:
      message(r.notes.isEmpty() ? sent : sent + QStringLiteral("\r\n") + r.notes.join(QStringLiteral("\r\n")),
              MessageIcon::Information);
      return true;
    case ClassSetResult::Cancelled:
      if (r.setsDone > 0) message(QStringLiteral("途中で止めました。") + sent);
      return false;
    case ClassSetResult::NotMade:
      message(makeMessage(r) + (r.setsDone > 0 ? QStringLiteral("\r\n") + sent : QString()));
      return false;
    case ClassSetResult::Failed:
      message(QStringLiteral("印刷できませんでした。\r\n") + r.message +
              (r.setsDone > 0 ? QStringLiteral("\r\n") + sent : QString()));
      return false;
  }
  return false;
}

}  // namespace zubira
