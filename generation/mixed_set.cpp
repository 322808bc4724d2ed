#include "generation/mixed_set.h"

#include <utility>

namespace zubira {

int MixedSetTotal(const MixedSet& set) {
  int total = 0;
  for (const MixSection& s : set.sections) total += std::max(0, s.count);
  return total;
}

ProblemSet MixedSetKinds(const MixedSet& set) {
  ProblemSet kinds(set.sections.size());
  for (size_t i = 0; i < kinds.size(); ++i) kinds[i].kind = set.sections[i].preset.kind;
  return kinds;
}

QString MixSectionName(int index, const Preset& preset) {
  return QStringLiteral("%1番目「%2」").arg(index + 1).arg(PresetLabel(preset));
}

QString CheckMixedSet(const MixedSet& set, int cells) {
  if (set.sections.empty()) return QStringLiteral("まとめプリントの問題がありません");
  for (size_t i = 0; i < set.sections.size(); ++i)
    if (set.sections[i].count < 1)
      return QStringLiteral("%1の問題数は１以上でなければなりません").arg(MixSectionName(int(i), set.sections[i].preset));
  const int total = MixedSetTotal(set);
  if (total > cells)
    return QStringLiteral("問題数の合計%1問が配置の%2問を越えています").arg(total).arg(cells);
  return {};
}

namespace {

// One section's run: its preset's operand choices, and the texts and questions of the run that
// name the section.
class SectionHooks final : public GeneratorHooks {
 public:
  SectionHooks(GeneratorHooks* outer, const OperandChoices& choices, QString name)
      : outer_(outer), choices_(choices), name_(std::move(name)) {}
  OperandChoices ReadOperandChoices() override { return choices_; }
  void SetStatusText(const QString& text) override {
    const QString loopOver = QStringLiteral("Loop over:");
    reason_ = text.startsWith(loopOver) ? text.mid(loopOver.size()) : QString();
    if (outer_) outer_->SetStatusText(reason_.isEmpty() ? text : text + QStringLiteral("（") + name_ + QStringLiteral("）"));
  }
  void ProcessEvents() override {
    if (outer_) outer_->ProcessEvents();
  }
  bool AskYesNo(const QString& question) override {
    return outer_ && outer_->AskYesNo(name_ + QStringLiteral("：") + reason_ + u'\n' + question);
  }

 private:
  GeneratorHooks* outer_;
  OperandChoices choices_;
  QString name_;
  QString reason_;
};

}  // namespace

MixedSetResult MakeMixedSet(const MixedSet& set, RandomSource& random, GeneratorHooks* hooks) {
  MixedSetResult result;
  for (size_t i = 0; i < set.sections.size(); ++i) {
    const MixSection& section = set.sections[i];
    const QString name = MixSectionName(int(i), section.preset);
    GenerationSettings settings = PresetGenerationSettings(section.preset);
    settings.ExamRowN = section.count;
    settings.ExamColN = 1;
    SectionHooks sectionHooks(hooks, section.preset.choices, name);
    ProblemGenerator generator(&random, &sectionHooks);
    const MakeResult r = generator.MakeProblems(section.preset.kind, settings);
    if (r.status != MakeStatus::Done) {
      result.status = r.status;
      result.section = int(i);
      result.message = name + QStringLiteral("：") + r.message;
      result.problems.clear();
      return result;
    }
    result.problemsKept += r.problemsKept;
    for (SheetProblem q : ProblemSetFromLists(section.preset.kind, r.lists.first, r.lists.second, r.lists.answers)) {
      q.fKakko = settings.fKakko;
      q.fTaiBun = settings.fTaiBun;
      result.problems.push_back(std::move(q));
    }
  }
  if (set.shuffle) {
    for (size_t i = result.problems.size(); i > 1; --i)
      std::swap(result.problems[i - 1], result.problems[size_t(random.NextBelow(i))]);
  }
  return result;
}

}  // namespace zubira
