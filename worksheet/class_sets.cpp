#include "worksheet/class_sets.h"

#include "drawing/page_model.h"
#include "drawing/page_output.h"
#include "worksheet/set_label.h"
#include "worksheet/typesetter.h"

#include <algorithm>

namespace zubira {

std::vector<int> ClassSetPlan::sheets() const {
  std::vector<int> out{WorksheetComposer::ProblemSheet};
  if (answers) out.push_back(WorksheetComposer::AnswerSheet);
  if (key) out.push_back(WorksheetComposer::SolutionSheet);
  return out;
}

SetMaker generatedSets(ProblemGenerator& generator, ProblemKind kind, const GenerationSettings& gen) {
  return [&generator, kind, &gen](int) {
    const MakeResult r = generator.MakeProblems(kind, gen);
    MadeSet made;
    made.status = r.status;
    made.message = r.message;
    made.problemsKept = r.problemsKept;
    if (r.status == MakeStatus::Done) made.set = ProblemSetFromLists(kind, r.lists.first, r.lists.second, r.lists.answers);
    return made;
  };
}

SetMaker mixedSets(const MixedSet& mix, RandomSource& random, GeneratorHooks* hooks) {
  return [mix, &random, hooks](int) {
    MixedSetResult r = MakeMixedSet(mix, random, hooks);
    MadeSet made;
    made.status = r.status;
    made.message = r.message;
    made.problemsKept = r.problemsKept;
    made.set = std::move(r.problems);
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

QString sheetName(int sheetKind) {
  switch (sheetKind) {
    case WorksheetComposer::AnswerSheet: return QStringLiteral("答え");
    case WorksheetComposer::SolutionSheet: return QStringLiteral("解き方");
    default: return QStringLiteral("問題");
  }
}

// One output with a composer of its own: the pages differ in their metrics.
struct ClassSets::Output {
  Output(PageOutput& page, const MainSettings& s, const GenerationSettings& gen, const TPageStr& dateTime)
      : out(page), settings(s), typesetter(page.model()), composer(page.model(), typesetter, settings, gen, dateTime) {}
  PageOutput& out;
  const MainSettings& settings;
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

bool ClassSets::putSheet(Output& o, int sheet, const ProblemSet& set, int index, int sets, ClassSetResult* r) {
  PageOutput& out = o.out;
  const QString label = setLabelText(index + 1, sets);
  const bool job = !o.pdf;
  if (job && !out.beginJob()) {
    r->message = out.error();
    return false;
  }
  int page = 0;
  for (; o.composer.ComposeWorksheet(sheet, set, page); ++page) {  // the one composition of a page
    if (page == 0) {
      const QString note = FitNote(o.composer.fit());
      if (!note.isEmpty() && !r->notes.contains(sheetName(sheet) + QStringLiteral(": ") + note))
        r->notes << sheetName(sheet) + QStringLiteral(": ") + note;
    }
    const GridFrame& frame = o.composer.grid();
    const double left = std::clamp(o.settings.WindowLeft, 0.0, std::max(0.0, frame.WindowInner));
    const QRectF grid(QPointF(left, frame.WindowUpper), QPointF(frame.WindowInner, frame.WindowUnder));
    const auto overlay = [&](Canvas& canvas, const std::vector<QRect>& ink) {
      drawSetLabel(canvas, label, ink, labelRoomOf(out.model(), grid));
    };
    if (!out.addPage(overlay)) {
      r->message = out.error();
      return false;
    }
  }
  if (page == 0) {
    r->message = QStringLiteral("set %1 has no problems").arg(index + 1);
    return false;
  }
  if (!job) return true;
  const QString title = QStringLiteral("Zubira %1 (%2/%3)").arg(sheetName(sheet)).arg(index + 1).arg(sets);
  if (out.submitJob(title, o.copies)) return true;
  r->message = out.error();
  return false;
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
        if (putSheet(*o, sheet, made.set, i, plan.sets, &r)) continue;
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
