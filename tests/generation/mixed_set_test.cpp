#include "generation/mixed_set.h"

#include "line_oracle.h"

#include <gtest/gtest.h>

#include <map>

namespace zubira {
namespace {

Preset recipe(const char* name, ProblemKind kind, bool taiBun = false, bool kakko = true) {
  GenerationSettings gen;
  gen.fTaiBun = taiBun;
  gen.fKakko = kakko;
  Preset p = PresetFromSettings(QString::fromUtf8(name), kind, defaultRangeTexts(), OperandChoices(), gen);
  return p;
}

// The exact value of a list line.
std::pair<long long, long long> value(const QString& line) {
  const std::optional<testing::ParsedLine> p = testing::parseLine(line);
  EXPECT_TRUE(p) << line.toStdString();
  return p ? std::pair{(long long)p->n, (long long)p->d} : std::pair{0LL, 0LL};
}

TEST(MixedSet, SectionsMakeTheirOwnKindsInOrder) {
  MixedSet set;
  set.sections = {{recipe("たし", pkAdd), 3}, {recipe("かけ", pkMul, true, false), 2}, {recipe("帯", pkMixedToImproper), 2}};
  set.sections[2].preset.ranges = {"1", "3", "1", "9", "2", "9", "0", "0", "1", "10", "1", "10"};
  EXPECT_EQ(MixedSetTotal(set), 7);
  PseudoRandomSource random(11);
  const MixedSetResult r = MakeMixedSet(set, random, nullptr);
  ASSERT_EQ(r.status, MakeStatus::Done) << r.message.toStdString();
  ASSERT_EQ(r.problems.size(), 7u);
  const ProblemKind kinds[] = {pkAdd, pkAdd, pkAdd, pkMul, pkMul, pkMixedToImproper, pkMixedToImproper};
  for (size_t i = 0; i < 7; ++i) {
    const SheetProblem& q = r.problems[i];
    EXPECT_EQ(q.kind, kinds[i]) << i;
    // Each problem keeps the options of its own preset.
    EXPECT_EQ(q.fTaiBun, std::optional<bool>(q.kind == pkMul));
    EXPECT_EQ(q.fKakko, std::optional<bool>(q.kind != pkMul));
    const auto [n1, d1] = value(q.first);
    const auto [na, da] = value(q.answer);
    if (q.kind == pkMixedToImproper) {
      EXPECT_EQ(q.second, QStringLiteral("="));
      EXPECT_EQ(std::pair(n1, d1), std::pair(na, da));
      continue;
    }
    const auto [n2, d2] = value(q.second);
    __int128 n = q.kind == pkAdd ? __int128(n1) * d2 + __int128(n2) * d1 : __int128(n1) * n2;
    __int128 d = __int128(d1) * d2;
    EXPECT_TRUE(n * da == __int128(na) * d) << q.first.toStdString() << " " << q.answer.toStdString();
  }
  // Answers are written as each preset says: mixed numbers for the multiplications, improper
  // fractions for the additions.
  for (const SheetProblem& q : r.problems) {
    const std::optional<testing::ParsedLine> a = testing::parseLine(q.answer);
    ASSERT_TRUE(a);
    if (q.kind == pkMul) {
      EXPECT_TRUE(a->whole_number || a->num < a->den) << q.answer.toStdString();
    } else if (q.kind == pkAdd) {
      EXPECT_FALSE(a->mixed) << q.answer.toStdString();
    }
  }
}

TEST(MixedSet, ShuffledSetHoldsTheSameProblemsAndFollowsItsSeed) {
  MixedSet set;
  set.sections = {{recipe("a", pkAdd), 6}, {recipe("s", pkSub), 6}, {recipe("d", pkDiv), 6}};
  PseudoRandomSource inOrderRandom(3);
  const MixedSetResult inOrder = MakeMixedSet(set, inOrderRandom, nullptr);
  set.shuffle = true;
  PseudoRandomSource r1(3), r2(3), r3(4);
  const MixedSetResult a = MakeMixedSet(set, r1, nullptr);
  const MixedSetResult b = MakeMixedSet(set, r2, nullptr);
  const MixedSetResult c = MakeMixedSet(set, r3, nullptr);
  ASSERT_EQ(a.problems.size(), 18u);
  const auto key = [](const SheetProblem& q) { return std::tuple(int(q.kind), q.first, q.second, q.answer); };
  std::multiset<std::tuple<int, QString, QString, QString>> before, after;
  for (const SheetProblem& q : inOrder.problems) before.insert(key(q));
  for (const SheetProblem& q : a.problems) after.insert(key(q));
  EXPECT_EQ(before, after) << "the same seed draws the same problems; shuffling only reorders them";
  std::vector<int> kindsA, kindsB, kindsC, kindsIn;
  for (const SheetProblem& q : a.problems) kindsA.push_back(q.kind);
  for (const SheetProblem& q : b.problems) kindsB.push_back(q.kind);
  for (const SheetProblem& q : c.problems) kindsC.push_back(q.kind);
  for (const SheetProblem& q : inOrder.problems) kindsIn.push_back(q.kind);
  EXPECT_EQ(kindsA, kindsB);
  EXPECT_NE(kindsA, kindsIn) << "18 problems of three kinds left in their sections' order";
  EXPECT_NE(kindsA, kindsC);
}

TEST(MixedSet, RefusesWhatTheGridCannotTake) {
  MixedSet set;
  EXPECT_EQ(CheckMixedSet(set, 20), QStringLiteral("まとめプリントの問題がありません"));
  Preset p = recipe("ちがう分母のたし算", pkAdd);
  p.grade = QStringLiteral("5年");
  set.sections = {{p, 12}, {p, 0}};
  EXPECT_EQ(CheckMixedSet(set, 20), QStringLiteral("2番目「5年 ちがう分母のたし算」の問題数は１以上でなければなりません"));
  set.sections = {{p, 12}, {p, 9}};
  EXPECT_EQ(CheckMixedSet(set, 20), QStringLiteral("問題数の合計21問が配置の20問を越えています"));
  EXPECT_EQ(CheckMixedSet(set, 21), QString());
  set.sections = {{p, 6}, {p, 5}};
  EXPECT_EQ(CheckMixedSet(set, 10), QStringLiteral("問題数の合計11問が配置の10問を越えています"));
}

class RecordingHooks : public GeneratorHooks {
 public:
  QStringList statuses, questions;
  bool yes = false;
  void SetStatusText(const QString& text) override {
    if (!text.isEmpty()) statuses << text;
  }
  bool AskYesNo(const QString& q) override {
    questions << q;
    return yes;
  }
};

TEST(MixedSet, ASectionThatCannotBeMetExhaustsNamingIt) {
  MixedSet set;
  Preset never = recipe("負の答え", pkAdd);
  never.choices.sign1 = smMinus;
  never.choices.sign2 = smMinus;
  set.sections = {{recipe("たし", pkAdd), 2}, {never, 2}};
  RecordingHooks hooks;
  PseudoRandomSource random(1);
  MixedSetResult r = MakeMixedSet(set, random, &hooks);
  EXPECT_EQ(r.status, MakeStatus::Exhausted);
  EXPECT_EQ(r.section, 1);
  EXPECT_EQ(r.message, QStringLiteral("2番目「負の答え」：答えが０以下"));
  EXPECT_TRUE(r.problems.empty());
  EXPECT_EQ(hooks.statuses, QStringList{QStringLiteral("Loop over:答えが０以下（2番目「負の答え」）")});
  EXPECT_EQ(hooks.questions,
            QStringList{QStringLiteral("2番目「負の答え」：答えが０以下\n最大値や最小値の条件は合っていますか?")});

  // Yes keeps the failed candidates, as after any run.
  hooks.yes = true;
  hooks.questions.clear();
  r = MakeMixedSet(set, random, &hooks);
  EXPECT_EQ(r.status, MakeStatus::Done);
  EXPECT_EQ(r.problemsKept, 2);
  EXPECT_EQ(r.problems.size(), 4u);
  EXPECT_EQ(hooks.questions.size(), 2);
}

}  // namespace
}  // namespace zubira
