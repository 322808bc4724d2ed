// Class sets through the real program: the main window's ファイル → クラス用の複数セット, the dialog
// driven as the user drives it, the real preview's page strings, and Qt's own progress dialog
// cancelled with its button. The sets are made again from the same random state to check every
// problem and answer on the pages.

#include "app/zubira_app.h"
#include "tests/app/test_app.h"

#include "drawing/printer_access.h"
#include "generation/random_source.h"
#include "preview/preview_window.h"
#include "tests/generation/line_oracle.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/worksheet/local_http_server.h"
#include "tests/worksheet/pdf_words.h"
#include "worksheet/main_window.h"
#include "worksheet/versions_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>

namespace zubira {
namespace {

using testing::PdfWord;


// The numbers of a list line: "7/3" gives 7 and 3, "2+1/4" 2, 1 and 4.
QStringList numbersOf(const QString& text) {
  static const QRegularExpression digits(QStringLiteral("\\d+"));
  QStringList out;
  for (auto it = digits.globalMatch(text); it.hasNext();) out << it.next().captured();
  return out;
}

// The words of a one-column page by problem: a row runs from its number "( k)" to the next one.
std::map<int, std::vector<PdfWord>> wordsByRow(const std::vector<PdfWord>& page) {
  static const QRegularExpression number(QStringLiteral("^\\(?(\\d+)\\)$"));
  std::map<double, int> tops;
  for (const PdfWord& w : page) {
    const QRegularExpressionMatch m = number.match(w.text);
    if (m.hasMatch() && w.box.left() < 60) tops[w.box.top()] = m.captured(1).toInt();
  }
  std::map<int, std::vector<PdfWord>> rows;
  for (const PdfWord& w : page) {
    if (w.box.left() < 60) continue;  // the numbers themselves
    auto next = tops.upper_bound(w.box.top() + 0.5);
    if (next == tops.begin()) continue;  // above the grid
    rows[std::prev(next)->second].push_back(w);
  }
  return rows;
}

class ClassSetsWindowTest : public ::testing::Test {
 protected:
  ClassSetsWindowTest() {
    qputenv("ZUBIRA_SITE_URL", testing::LocalHttpServer::refusedBase().toString().toUtf8());
    app = std::make_unique<ZubiraApp>(testing::TestAppOptions(dir.filePath("zubira.ini"), &random));
    app->mainWindow().show();
    QApplication::processEvents();
  }
  ~ClassSetsWindowTest() override {
    app.reset();
    qunsetenv("ZUBIRA_SITE_URL");
  }
  TForm1& window() { return app->mainWindow(); }
  QString memos() {
    QString all;
    for (const char* name : {"Memo1", "Memo2", "Memo3"}) all += window().findChild<QPlainTextEdit*>(name)->toPlainText() + u'|';
    return all;
  }
  QAction* action() { return window().findChild<QAction*>("SaveVersions"); }
  FrmVersions* versionsDialog() { return window().findChild<FrmVersions*>("FrmVersions"); }
  // Runs `step` every few milliseconds while the program waits in its dialogs, until it returns
  // true; gives up after two minutes so that a test never hangs.
  void whileModal(std::function<bool()> step) {
    ticks_ = 0;
    QObject::connect(&timer_, &QTimer::timeout, [this, step] {
      if (step() || ++ticks_ > 12000) timer_.stop();
    });
    timer_.start(10);
  }

  QTemporaryDir dir;
  testing::ScriptedDialogs dialogs;
  PseudoRandomSource random{3};
  std::unique_ptr<ZubiraApp> app;

 private:
  QTimer timer_;
  int ticks_ = 0;
};

TEST_F(ClassSetsWindowTest, ThreeSetsWithAnswersAndKeysInOnePdf) {
  ASSERT_NE(action(), nullptr);
  EXPECT_EQ(action()->text(), QStringLiteral("クラス用の複数セット(&V)..."));
  auto* file = window().findChild<QMenu*>("File1");
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->actions().contains(action()));

  window().BtnMakeClick();
  const QString before = memos();
  ASSERT_FALSE(window().findChild<QPlainTextEdit*>("Memo1")->toPlainText().isEmpty());
  // The sets to come, from the same random state and the window's settings.
  PseudoRandomSource again = random;
  const GenerationSettings gen = window().gen;

  const QString pdf = dir.filePath("class.pdf");
  dialogs.answerSaveFile(pdf);
  bool seen = false;
  whileModal([&] {
    FrmVersions* dlg = versionsDialog();
    if (!dlg || !dlg->isVisible()) return false;
    seen = true;
    EXPECT_EQ(dlg->objectName(), QStringLiteral("FrmVersions"));
    dlg->findChild<QSpinBox*>("SpnVersions")->setValue(3);
    EXPECT_TRUE(dlg->findChild<QCheckBox*>("ChkAnswers")->isChecked());
    dlg->findChild<QCheckBox*>("ChkKey")->setChecked(true);
    QTest::mouseClick(dlg->findChild<QPushButton*>("BtnVersionsPdf"), Qt::LeftButton);
    return true;
  });
  action()->trigger();
  ASSERT_TRUE(seen);
  EXPECT_FALSE(versionsDialog()->isVisible()) << "the dialog closes once the PDF is written";
  EXPECT_EQ(memos(), before) << "the window's lists are not touched";
  // At most a word on how the sheets were fitted to the page.
  for (const QString& m : dialogs.messages()) {
    QStringList lines = m.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.takeFirst(), QStringLiteral("「%1」に保存しました。").arg(QDir::toNativeSeparators(pdf)));
    for (const QString& note : lines) EXPECT_TRUE(note.startsWith(QStringLiteral("解き方: "))) << note.toStdString();
  }
  EXPECT_LE(dialogs.messages().size(), 1);

  ASSERT_EQ(testing::pdfPageCount(pdf), 9);
  const std::vector<PdfWord> words = testing::pdfWords(pdf);
  ProblemGenerator generator(&again);
  for (int k = 1; k <= 3; ++k) {
    SCOPED_TRACE(::testing::Message() << "set " << k);
    const MakeResult made = generator.MakeProblems(pkAdd, gen);
    ASSERT_EQ(made.status, MakeStatus::Done);
    const QStringList first = memoLines(made.lists.first), second = memoLines(made.lists.second),
                      answers = memoLines(made.lists.answers);
    ASSERT_EQ(first.size(), 10);
    for (int page = 3 * k - 2; page <= 3 * k; ++page) {
      std::vector<PdfWord> rest;
      const auto label = testing::findSetLabel(testing::wordsOfPage(words, page), &rest);
      ASSERT_TRUE(label.has_value()) << "page " << page;
      EXPECT_EQ(label->set, k);
      EXPECT_EQ(label->sets, 3);
      EXPECT_TRUE(std::any_of(rest.begin(), rest.end(), [](const PdfWord& w) { return w.text == QStringLiteral("かずの計算"); }))
          << "the page strings of the window on page " << page;
    }
    // The pages without their labels, by problem.
    const auto rowsOf = [&](int page) {
      std::vector<PdfWord> rest;
      testing::findSetLabel(testing::wordsOfPage(words, page), &rest);
      return wordsByRow(rest);
    };
    const auto problemRows = rowsOf(3 * k - 2), answerRows = rowsOf(3 * k - 1);
    for (int i = 0; i < 10; ++i) {
      SCOPED_TRACE(::testing::Message() << "problem " << i + 1 << ": " << first[i].toStdString() << " + "
                                        << second[i].toStdString() << " = " << answers[i].toStdString());
      // The answer is right ...
      const auto a = testing::parseLine(first[i]), b = testing::parseLine(second[i]), c = testing::parseLine(answers[i]);
      ASSERT_TRUE(a && b && c);
      EXPECT_TRUE((a->n * b->d + b->n * a->d) * c->d == c->n * (a->d * b->d));
      // ... the problem page shows the problem's numbers ...
      QStringList shown;
      for (const PdfWord& w : problemRows.count(i + 1) ? problemRows.at(i + 1) : std::vector<PdfWord>()) shown << numbersOf(w.text);
      QStringList expected = numbersOf(first[i]) + numbersOf(second[i]);
      shown.sort();
      expected.sort();
      EXPECT_EQ(shown.join(' ').toStdString(), expected.join(' ').toStdString());
      // ... and the answer page its answer, a numerator over its denominator.
      std::vector<PdfWord> cell = answerRows.count(i + 1) ? answerRows.at(i + 1) : std::vector<PdfWord>();
      std::sort(cell.begin(), cell.end(), [](const PdfWord& x, const PdfWord& y) { return x.box.top() < y.box.top(); });
      QStringList read;
      for (const PdfWord& w : cell) read << w.text;
      EXPECT_EQ(read.join(u'/').toStdString(), answers[i].toStdString());
    }
    EXPECT_TRUE(testing::runTool("pdftotext", {"-f", QString::number(3 * k), "-l", QString::number(3 * k), pdf, "-"})
                    .contains(QStringLiteral("(解き方)")));
  }
}

// Qt's own progress dialog shows on a long run, and its cancel button stops it: no file, no
// temporary file, the dialog still open for another try.
TEST_F(ClassSetsWindowTest, ProgressDialogCancelsALongRun) {
  const QString pdf = dir.filePath("class.pdf");
  dialogs.answerSaveFile(pdf);
  QString shownLabel;
  bool cancelled = false, closed = false;
  // Each step runs while the program waits: first in the dialog, then in the run's progress,
  // then in the dialog again.
  whileModal([&] {
    FrmVersions* dlg = versionsDialog();
    if (!dlg || !dlg->isVisible()) return false;
    auto* progress = dlg->findChild<QProgressDialog*>("PrgVersions");
    if (progress && progress->isVisible() && !cancelled) {
      if (progress->value() < 2) return false;  // a few sets made while the window kept answering
      shownLabel = progress->labelText();
      QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
      cancelled = true;
      return false;
    }
    if (!cancelled) {
      if (dlg->BtnVersionsPdf->isEnabled() && dlg->SpnVersions->value() != 1000) {
        dlg->SpnVersions->setValue(1000);
        dlg->ChkKey->setChecked(true);
        // Clicked from the event loop: this poll goes on while the run processes events.
        QMetaObject::invokeMethod(dlg->BtnVersionsPdf, [dlg] { QTest::mouseClick(dlg->BtnVersionsPdf, Qt::LeftButton); },
                                  Qt::QueuedConnection);
      }
      return false;
    }
    if (!dlg->BtnVersionsPdf->isEnabled()) return false;  // the run is still ending
    closed = true;
    QTest::mouseClick(dlg->BtnVersionsCancel, Qt::LeftButton);
    return true;
  });
  action()->trigger();
  ASSERT_TRUE(cancelled) << "the progress dialog was shown";
  EXPECT_TRUE(closed);
  EXPECT_TRUE(shownLabel.endsWith(QStringLiteral(" / 1000 セット"))) << shownLabel.toStdString();
  EXPECT_TRUE(dialogs.messages().isEmpty());
  EXPECT_EQ(QDir(dir.path()).entryList({"class.pdf*"}, QDir::Files | QDir::Hidden), QStringList{}) << "no PDF, whole or partial";
}

}  // namespace
}  // namespace zubira
