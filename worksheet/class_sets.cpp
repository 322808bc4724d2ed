#include "worksheet/class_sets.h"

#include "drawing/page_model.h"
#include "drawing/page_output.h"
#include "worksheet/set_label.h"
#include "worksheet/typesetter.h"

namespace zubira {

std::vector<int> ClassSetPlan::sheets() const {
  std::vector<int> out{WorksheetComposer::ProblemSheet};
  if (answers) out.push_back(WorksheetComposer::AnswerSheet);
  if (key) out.push_back(WorksheetComposer::SolutionSheet);
  return out;
}

SetMaker generatedSets(ProblemGenerator& generator, ProblemKind kind, const GenerationSettings& gen,
                       const QString& kigou) {
  return [&generator, kind, &gen, kigou](int) {
    const MakeResult r = generator.MakeProblems(kind, gen);
    MadeSet made;
    made.status = r.status;
    made.message = r.message;
    made.problemsKept = r.problemsKept;
    made.set.memos = {r.lists.first, r.lists.second, r.lists.answers};
    made.set.kind = kind;
    made.set.kigou = kigou;
    return made;
  };
}

void copyPageSetup(const PageModel& from, PageModel& to) {
  to.setUnitType(from.UnitType());
  to.Header.Assign(from.Header);
  to.Footer.Assign(from.Footer);
  to.PageTitle.Assign(from.PageTitle);
  to.SubTitle.Assign(from.SubTitle);
  to.SetCopyright(from.Copyright().psStr);
}

namespace {

QString sheetName(int sheet) {
  switch (sheet) {
    case WorksheetComposer::AnswerSheet: return QStringLiteral("答え");
    case WorksheetComposer::SolutionSheet: return QStringLiteral("解き方");
    default: return QStringLiteral("問題");
  }
}

}  // namespace

// One output with a composer of its own: the pages differ in their metrics.
struct ClassSets::Output {
  Output(PageOutput& page, const MainSettings& s, const GenerationSettings& gen, const TPageStr& dateTime)
      : out(page), settings(s), typesetter(page.model()), composer(page.model(), typesetter, settings, gen, dateTime) {}
  PageOutput& out;
  MainSettings settings;
  Typesetter typesetter;
  WorksheetComposer composer;
  bool pdf = false;
  QString file;
  int copies = 1;
};

ClassSets::ClassSets(const MainSettings& settings, const GenerationSettings& gen, const TPageStr& dateTime)
    : settings_(settings), gen_(gen), dateTime_(dateTime) {}

ClassSets::~ClassSets() = default;

void ClassSets::writePdf(PageOutput& out, const QString& file) {
  auto o = std::make_unique<Output>(out, settings_, gen_, dateTime_);
  o->pdf = true;
  o->file = file;
  if (clock_) o->composer.setClock(clock_);
  outputs_.push_back(std::move(o));
}

void ClassSets::print(PageOutput& out, int copies) {
  auto o = std::make_unique<Output>(out, settings_, gen_, dateTime_);
  o->copies = copies;
  if (clock_) o->composer.setClock(clock_);
  outputs_.push_back(std::move(o));
}

void ClassSets::setClock(std::function<QDateTime()> clock) {
  clock_ = std::move(clock);
  for (auto& o : outputs_) o->composer.setClock(clock_);
}

bool ClassSets::putSheet(Output& o, int sheet, const ClassSet& set, int index, int sets, QString* error) {
  if (!o.composer.ComposeWorksheet(sheet, set.memos, set.kind, set.kigou)) {
    *error = QStringLiteral("set %1 has no problems").arg(index + 1);
    return false;
  }
  const GridFrame& frame = o.composer.grid();
  const QRectF grid(QPointF(o.settings.WindowLeft, frame.WindowUpper), QPointF(frame.WindowInner, frame.WindowUnder));
  const QString label = setLabelText(index + 1, sets);
  PageOutput& out = o.out;
  const auto overlay = [&](Canvas& canvas, const std::vector<QRect>& ink) {
    drawSetLabel(canvas, label, ink, labelRoomOf(out.model(), grid));
  };
  bool done = false;
  if (o.pdf) {
    done = out.addPage(overlay);
  } else {
    const QString title = QStringLiteral("Zubira %1 (%2/%3)").arg(sheetName(sheet)).arg(index + 1).arg(sets);
    done = out.beginJob() && out.addPage(overlay) && out.submitJob(title, o.copies);
  }
  if (!done) *error = out.error();
  return done;
}

ClassSetResult ClassSets::run(const ClassSetPlan& plan, const SetMaker& make) {
  ClassSetResult r;
  const auto stop = [&](ClassSetResult::Status status) {
    for (auto& o : outputs_)
      if (o->pdf) o->out.cancelPdf();
    r.status = status;
    return r;
  };
  const auto pdfFailed = [&](Output& o) {
    r.message = o.out.error();
    r.fileFault = o.out.fileFault();
    return stop(ClassSetResult::Failed);
  };
  for (auto& o : outputs_)
    if (o->pdf && !o->out.beginPdf(o->file)) return pdfFailed(*o);
  if (progress_ && !progress_(0)) return stop(ClassSetResult::Cancelled);

  const std::vector<int> sheets = plan.sheets();
  for (int i = 0; i < plan.sets; ++i) {
    const MadeSet made = make(i);
    r.problemsKept += made.problemsKept;
    if (made.status != MakeStatus::Done) {
      r.makeStatus = made.status;
      r.message = made.message;
      return stop(ClassSetResult::NotMade);
    }
    for (auto& o : outputs_) {
      for (int sheet : sheets) {
        if (putSheet(*o, sheet, made.set, i, plan.sets, &r.message)) continue;
        r.fileFault = o->pdf ? o->out.fileFault() : WholeFileWriter::Fault::None;
        r.printFailed = !o->pdf;
        return stop(ClassSetResult::Failed);
      }
    }
    r.setsDone = i + 1;
    if (progress_ && !progress_(r.setsDone)) return stop(ClassSetResult::Cancelled);
  }
  for (auto& o : outputs_)
    if (o->pdf && !o->out.endPdf()) return pdfFailed(*o);
  return r;
}

}  // namespace zubira
