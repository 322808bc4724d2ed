// Class sets written into real PDF files and read back with poppler's tools: the pages of every
// set in order, the set label on each and clear of everything else, each page as the main
// window's buttons compose the same problems, every answer right; and the faults: cancelled, a
// folder that cannot be written, a full disk, a set that cannot be made.

#include "worksheet/class_sets.h"

#include "drawing/page_model.h"
#include "drawing/page_output.h"
#include "generation/random_source.h"
#include "platform/ini_file.h"
#include "tests/generation/line_oracle.h"
#include "tests/support/fault_injection.h"
#include "tests/worksheet/pdf_words.h"
#include "worksheet/typesetter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <numeric>

namespace zubira {
namespace {

using testing::FileSizeLimit;
using testing::FoundLabel;
using testing::NoPermissionOverride;
using testing::PdfWord;
using testing::ReadOnlyFolder;

constexpr double kPointsPerMillimetre = 72 / 25.4;
const QDateTime kNow(QDate(2026, 4, 7), QTime(9, 30));

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The page strings as a fresh settings file gives them and the main window places them.
void setUpPage(PageModel& page, TPageStr* dateTime) {
  const IniFile none{QString()};
  for (auto [ps, section] : {std::pair{&page.Header, "Header"}, {&page.Footer, "Footer"},
                             {&page.PageTitle, "PageTitle"}, {&page.SubTitle, "SubTitle"}})
    ps->GetIniSets(none, QLatin1String(section), QString(), 0, "0", "0");
  page.setUnitType(PageModel::kUnitMillimetre);
  if (dateTime) dateTime->GetIniSets(none, QStringLiteral("DateTime"), QString(), 0, "0", "0");
  GiveDefaultPlaces(&page.PageTitle, &page.SubTitle, dateTime);
}

// The answer of a problem line recomputed from its operands, exactly.
bool answerIsRight(ProblemKind kind, const QString& first, const QString& second, const QString& answer) {
  const auto a = testing::parseLine(first), b = testing::parseLine(second), c = testing::parseLine(answer);
  if (!a || !c) return false;
  __int128 n = a->n, d = a->d;
  if (kind <= pkDiv) {
    if (!b) return false;
    switch (kind) {
      case pkAdd: n = a->n * b->d + b->n * a->d, d = a->d * b->d; break;
      case pkSub: n = a->n * b->d - b->n * a->d, d = a->d * b->d; break;
      case pkMul: n = a->n * b->n, d = a->d * b->d; break;
      default:
        if (b->n == 0) return false;
        n = a->n * b->d, d = a->d * b->n;
        break;
    }
  }
  return n * c->d == c->n * d;
}

// A set's problems as one text, to tell sets apart.
QString setText(const ProblemSet& set) {
  QString text;
  for (const SheetProblem& q : set) text += q.first + u' ' + q.second + u' ' + q.answer + u'\n';
  return text;
}

class ClassSetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(out_.ready()) << out_.error().toStdString();
    setUpPage(out_.model(), &dateTime_);
  }
  QString file(const char* name) const { return dir_.filePath(QLatin1String(name)); }
  // The sets the generator makes, each kept for the checks.
  SetMaker recorded(ProblemKind kind) {
    SetMaker make = generatedSets(generator_, kind, gen_);
    return [this, make](int index) {
      MadeSet made = make(index);
      made_.push_back(made.set);
      return made;
    };
  }
  ClassSetResult run(ClassSets& sets, const ClassSetPlan& plan, ProblemKind kind = pkAdd) {
    sets.setClock([] { return kNow; });
    return sets.run(plan, recorded(kind));
  }
  // The main window's buttons pressed in turn on one page, each sheet written alone: a
  // composition raises the top margin for good, so each sheet is composed after the ones before.
  struct Buttons {
    explicit Buttons(ClassSetsTest& t) : test(t), settings(t.settings_) {
      EXPECT_TRUE(page.ready());
      setUpPage(page.model(), &dateTime);
      composer.setClock([] { return kNow; });
    }
    std::vector<PdfWord> press(int sheet, const ProblemSet& set) {
      const QString pdf = test.file("single.pdf");
      bool written = page.beginPdf(pdf);
      for (int p = 0; written && composer.ComposeWorksheet(sheet, set, p); ++p) written = page.addPage();
      EXPECT_TRUE(written && page.endPdf()) << page.error().toStdString();
      return testing::pdfWords(pdf);
    }
    ClassSetsTest& test;
    PageOutput page{300};
    TPageStr dateTime;
    MainSettings settings;
    Typesetter typesetter{page.model()};
    WorksheetComposer composer{page.model(), typesetter, settings, test.gen_, dateTime};
  };
  QStringList entries() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

  QTemporaryDir dir_;
  PageOutput out_{300};
  MainSettings settings_;
  GenerationSettings gen_;
  TPageStr dateTime_;
  PseudoRandomSource random_{11};
  ProblemGenerator generator_{&random_};
  std::vector<ProblemSet> made_;
};

// Every page of a set in order, labelled, as the buttons compose it; every answer right.
TEST_F(ClassSetsTest, EverySetsPagesInOrderLabelledAndRight) {
  // The buttons on a page of their own, pressed as often as the sets' pages are composed.
  Buttons buttons(*this);
  const struct {
    ClassSetPlan plan;
    ProblemKind kind;
    int cols;
  } cases[] = {
      {{3, true, true}, pkAdd, 1},
      {{2, false, true}, pkSub, 2},
      {{4, true, false}, pkDiv, 2},
      {{2, false, false}, pkImproperToMixed, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.plan.sets << " sets, kind " << c.kind);
    made_.clear();
    gen_.ExamColN = c.cols;
    gen_.nRange = c.kind == pkSub ? 1 : 0;
    const QString pdf = file("class.pdf");
    ClassSets sets(settings_, gen_, dateTime_);
    sets.writePdf(out_, pdf);
    std::vector<int> progress;
    sets.setProgress([&](int done) {
      progress.push_back(done);
      return true;
    });
    const ClassSetResult r = run(sets, c.plan, c.kind);
    ASSERT_EQ(r.status, ClassSetResult::Done) << r.message.toStdString();
    EXPECT_EQ(r.setsDone, c.plan.sets);
    ASSERT_EQ(int(made_.size()), c.plan.sets);
    // Each way a sheet was fitted to its page told once, with the sheet's name.
    EXPECT_EQ(r.notes.size(), QSet<QString>(r.notes.begin(), r.notes.end()).size());
    for (const QString& note : r.notes)
      EXPECT_TRUE(note.startsWith(QStringLiteral("問題: ")) || note.startsWith(QStringLiteral("答え: ")) ||
                  note.startsWith(QStringLiteral("解き方: ")))
          << note.toStdString();
    std::vector<int> expected(size_t(c.plan.sets) + 1);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(progress, expected);

    // The batch's pages one after the other: each set's sheets in order, every page of a sheet.
    const std::vector<PdfWord> words = testing::pdfWords(pdf);
    buttons.settings = settings_;
    int page = 0;
    for (int k = 0; k < c.plan.sets; ++k) {
      const ProblemSet& set = made_[size_t(k)];
      ASSERT_EQ(int(set.size()), 10 * c.cols);
      for (const SheetProblem& q : set) {
        EXPECT_EQ(q.kind, c.kind);
        EXPECT_TRUE(answerIsRight(c.kind, q.first, q.second, q.answer))
            << q.first.toStdString() << " " << q.second.toStdString() << " = " << q.answer.toStdString();
      }
      if (k > 0) {
        EXPECT_NE(setText(set), setText(made_[size_t(k - 1)])) << "a new set each time";
      }

      for (int sheet : c.plan.sheets()) {
        const std::vector<PdfWord> alone = buttons.press(sheet, set);
        for (int p = 1; !testing::wordsOfPage(alone, p).empty(); ++p) {
          ++page;
          SCOPED_TRACE(::testing::Message() << "page " << page);
          std::vector<PdfWord> rest;
          const std::optional<FoundLabel> label = testing::findSetLabel(testing::wordsOfPage(words, page), &rest);
          ASSERT_TRUE(label.has_value());
          EXPECT_EQ(label->set, k + 1);
          EXPECT_EQ(label->sets, c.plan.sets);
          EXPECT_GT(label->box.top(), (297 - 10) * kPointsPerMillimetre) << "under the grid";
          EXPECT_LT(label->box.bottom(), 297 * kPointsPerMillimetre);
          for (const PdfWord& w : rest) EXPECT_FALSE(w.box.intersects(label->box)) << w.text.toStdString();
          EXPECT_EQ(testing::sortedWords(rest), testing::sortedWords(testing::wordsOfPage(alone, p)));
        }
      }
    }
    EXPECT_EQ(testing::pdfPageCount(pdf), page) << "no other page";
    EXPECT_GE(page, c.plan.sets * int(c.plan.sheets().size()));
  }
}

// Wherever the footer, the credit line and the grid are, the label goes over none of them.
TEST_F(ClassSetsTest, LabelKeepsClearOfFooterCreditLineAndGrid) {
  const struct {
    const char* what;
    int footerPos;
    const char* x;
    const char* y;
    const char* credit;
    int headerSize;  // the footer is drawn in the header's font
    int rows;
  } cases[] = {
      {"footer centred", 3, "0", "0", "", 9, 10},
      {"footer on the right", 2, "0", "0", "", 9, 10},
      {"footer where the label would go", 4, "150", "283", "", 9, 10},
      {"footer left, over the credit line", 1, "0", "0", "Zubira 分数の加減乗除篇", 9, 10},
      {"footer right, over the credit line", 2, "0", "0", "Zubira 分数の加減乗除篇", 9, 10},
      {"a footer across the whole foot, higher than the margin", 1, "0", "0", "", 28, 10},
      {"rows hanging into the margin", 2, "0", "0", "", 9, 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    made_.clear();
    settings_.sFooter = QStringLiteral("〇〇小学校 5年2組 算数 分数のけいさんドリル");
    settings_.WindowFrame = true;
    out_.model().Header.psSize = c.headerSize;
    gen_.ExamRowN = c.rows;
    out_.model().Footer.SetSets(QString(), QStringLiteral("ＭＳ 明朝"), 9, c.footerPos, QLatin1String(c.x),
                                QLatin1String(c.y), false, false);
    out_.model().SetCopyright(QString::fromUtf8(c.credit));
    const QString pdf = file("class.pdf");
    ClassSets sets(settings_, gen_, dateTime_);
    sets.writePdf(out_, pdf);
    const ClassSetResult r = run(sets, {2, true, true});
    ASSERT_EQ(r.status, ClassSetResult::Done) << r.message.toStdString();
    const std::vector<PdfWord> words = testing::pdfWords(pdf);
    for (int page = 1; page <= 6; ++page) {
      SCOPED_TRACE(::testing::Message() << "page " << page);
      std::vector<PdfWord> rest;
      const std::optional<FoundLabel> label = testing::findSetLabel(testing::wordsOfPage(words, page), &rest);
      ASSERT_TRUE(label.has_value());
      EXPECT_EQ(label->set, (page + 2) / 3);
      std::optional<QRectF> footer;
      for (const PdfWord& w : rest) {
        EXPECT_FALSE(w.box.intersects(label->box)) << w.text.toStdString();
        if (w.text == QStringLiteral("〇〇小学校")) footer = w.box;
      }
      ASSERT_TRUE(footer.has_value());
      // The grid's problems: the words from under the subtitle down to the footer (or to its top
      // when it is beside them). The label is under or above all of them.
      QRectF problems;
      for (const PdfWord& w : rest)
        if (w.box.top() > 46 * kPointsPerMillimetre && w.box.bottom() < std::max(footer->top(), 280 * kPointsPerMillimetre))
          problems |= w.box;
      ASSERT_FALSE(problems.isEmpty());
      EXPECT_TRUE(label->box.top() > problems.bottom() || label->box.bottom() < problems.top())
          << "label " << label->box.top() << "-" << label->box.bottom() << ", problems " << problems.top() << "-"
          << problems.bottom();
    }
  }
}

TEST_F(ClassSetsTest, CancelledLeavesTheOldFileAlone) {
  const QString pdf = file("class.pdf");
  {
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
  }
  ClassSets sets(settings_, gen_, dateTime_);
  sets.writePdf(out_, pdf);
  sets.setProgress([](int done) { return done < 2; });
  const ClassSetResult r = run(sets, {5, true, true});
  EXPECT_EQ(r.status, ClassSetResult::Cancelled);
  EXPECT_EQ(r.setsDone, 2);
  EXPECT_EQ(readAll(pdf), QByteArray("old"));
  EXPECT_EQ(entries(), QStringList{"class.pdf"}) << "nothing half written beside it";
  // The same output then writes a whole batch.
  ClassSets again(settings_, gen_, dateTime_);
  again.writePdf(out_, pdf);
  ASSERT_EQ(run(again, {2, true, false}).status, ClassSetResult::Done);
  EXPECT_EQ(testing::pdfPageCount(pdf), 4);
}

TEST_F(ClassSetsTest, UnwritableFolderAndFullDiskLeaveNoFile) {
  ReadOnlyFolder folder(dir_, "locked");
  folder.put("old.pdf", "old");
  folder.lock();
  if (folder.refusesWrites()) {
    for (const char* name : {"old.pdf", "new.pdf"}) {
      ClassSets sets(settings_, gen_, dateTime_);
      sets.writePdf(out_, folder.filePath(QLatin1String(name)));
      ClassSetResult r;
      {
        NoPermissionOverride plain;
        r = run(sets, {3, true, true});
      }
      EXPECT_EQ(r.status, ClassSetResult::Failed) << name;
      EXPECT_EQ(r.fileFault, WholeFileWriter::Fault::CannotCreate) << name;
      EXPECT_EQ(r.setsDone, 0);
      EXPECT_TRUE(r.message.contains(folder.filePath(QLatin1String(name)))) << r.message.toStdString();
    }
    EXPECT_EQ(folder.entries(), QStringList{"old.pdf"});
    EXPECT_EQ(readAll(folder.filePath("old.pdf")), QByteArray("old"));
  }

  const QString pdf = file("class.pdf");
  {
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
  }
  ClassSetResult r;
  {
    ClassSets sets(settings_, gen_, dateTime_);
    sets.writePdf(out_, pdf);
    FileSizeLimit full(20000);  // less than the sets' pages take
    r = run(sets, {4, true, true});
  }
  EXPECT_EQ(r.status, ClassSetResult::Failed);
  EXPECT_EQ(r.fileFault, WholeFileWriter::Fault::CannotWrite);
  EXPECT_FALSE(r.printFailed);
  EXPECT_EQ(readAll(pdf), QByteArray("old"));
  EXPECT_EQ(entries(), QStringList{"class.pdf"});
}

TEST_F(ClassSetsTest, ASetThatCannotBeMadeStopsTheRunWithoutAFile) {
  const QString pdf = file("class.pdf");
  for (const MakeStatus status : {MakeStatus::Exhausted, MakeStatus::InvalidRanges}) {
    ClassSets sets(settings_, gen_, dateTime_);
    sets.writePdf(out_, pdf);
    const SetMaker good = recorded(pkAdd);
    const ClassSetResult r = sets.run({5, true, false}, [&](int index) {
      if (index < 2) return good(index);
      MadeSet refused;
      refused.status = status;
      refused.message = QStringLiteral("答えが０以下");
      return refused;
    });
    EXPECT_EQ(r.status, ClassSetResult::NotMade);
    EXPECT_EQ(r.makeStatus, status);
    EXPECT_EQ(r.message, QStringLiteral("答えが０以下"));
    EXPECT_EQ(r.setsDone, 2);
    EXPECT_TRUE(entries().isEmpty());
  }
}

}  // namespace
}  // namespace zubira
