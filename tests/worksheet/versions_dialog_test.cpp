// The class-set dialog on its own: its controls, and what it tells the user when a PDF cannot be
// written or the sets cannot be made. Through the main window and the real progress dialog it is
// tested in the program's tests; printing on a private print server in its own test program.

#include "worksheet/versions_dialog.h"

#include "drawing/page_model.h"
#include "drawing/printer_access.h"
#include "generation/random_source.h"
#include "generation/range_check.h"
#include "platform/ini_file.h"
#include "tests/worksheet/fake_preview.h"
#include "tests/support/fault_injection.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/worksheet/pdf_words.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

namespace zubira {
namespace {

using testing::FileSizeLimit;
using testing::NoPermissionOverride;
using testing::ReadOnlyFolder;
using testing::ScriptedDialogs;

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class VersionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(testing::PrepareTestPage(page_));
    const IniFile none{QString()};
    source_.dateTime.GetIniSets(none, QStringLiteral("DateTime"), QString(), 0, "0", "0");
    GiveDefaultPlaces(&page_.PageTitle, &page_.SubTitle, &source_.dateTime);
    source_.random = &random_;
    source_.page = &page_;
    dlg_.setSource(source_);
  }
  QString file(const char* name) const { return dir_.filePath(QLatin1String(name)); }
  void put(const QString& path) {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
  }

  ScriptedDialogs dialogs_;
  QTemporaryDir dir_;
  PageModel page_{std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96};
  PseudoRandomSource random_{9};
  ClassSetSource source_;
  FrmVersions dlg_;
};

// The dialog starts at 30 sets with answer pages and without keys.
TEST_F(VersionsDialogTest, Defaults) {
  EXPECT_EQ(dlg_.SpnVersions->minimum(), 1);
  EXPECT_EQ(dlg_.SpnVersions->maximum(), 1000);
  EXPECT_EQ(dlg_.SpnVersions->value(), 30);
  EXPECT_TRUE(dlg_.ChkAnswers->isChecked());
  EXPECT_FALSE(dlg_.ChkKey->isChecked());
}

TEST_F(VersionsDialogTest, SavedPdfAndACancelledNameLeaveTheDialogAsItWas) {
  dlg_.SpnVersions->setValue(2);
  dialogs_.answerSaveFile(std::nullopt);
  dlg_.BtnVersionsPdf->click();
  EXPECT_TRUE(QDir(dir_.path()).isEmpty());
  const QString pdf = file("class.pdf");
  dialogs_.answerSaveFile(pdf);
  dlg_.BtnVersionsPdf->click();
  EXPECT_EQ(testing::pdfPageCount(pdf), 4);
  ASSERT_EQ(dialogs_.shown().size(), 2u);
  EXPECT_EQ(dialogs_.shown()[1].caption, QStringLiteral("PDFに保存"));
  EXPECT_TRUE(dialogs_.messages().isEmpty());
}

// Without a preview the pages get the page strings of a fresh start, in their usual places.
TEST_F(VersionsDialogTest, WithoutAPreviewThePagesOfAFreshStart) {
  const QString withPreview = file("with.pdf"), without = file("without.pdf");
  dlg_.SpnVersions->setValue(1);
  dialogs_.answerSaveFile(withPreview);
  dlg_.BtnVersionsPdf->click();
  random_.Seed(9);
  source_.page = nullptr;
  dlg_.setSource(source_);
  dialogs_.answerSaveFile(without);
  dlg_.BtnVersionsPdf->click();
  ASSERT_EQ(testing::pdfPageCount(without), 2);
  EXPECT_EQ(testing::sortedWords(testing::pdfWords(without)), testing::sortedWords(testing::pdfWords(withPreview)));
}

TEST_F(VersionsDialogTest, UnwritableFolderAndFullDiskAreToldInJapanese) {
  ReadOnlyFolder folder(dir_, "locked");
  folder.lock();
  if (folder.refusesWrites()) {
    const QString pdf = folder.filePath("class.pdf");
    dialogs_.answerSaveFile(pdf);
    {
      NoPermissionOverride plain;
      dlg_.BtnVersionsPdf->click();
    }
    EXPECT_EQ(dialogs_.messages(),
              QStringList{QStringLiteral("「%1」を保存できませんでした。\r\nこの場所には書き込めません。保存する場所を変えて下さい。")
                              .arg(QDir::toNativeSeparators(pdf))});
    EXPECT_TRUE(folder.entries().isEmpty());
    dialogs_.clear();
  }
  const QString pdf = file("class.pdf");
  put(pdf);
  dialogs_.answerSaveFile(pdf);
  {
    FileSizeLimit full(30000);
    dlg_.BtnVersionsPdf->click();
  }
  EXPECT_EQ(dialogs_.messages(),
            QStringList{QStringLiteral("「%1」を保存できませんでした。\r\nディスクの空きが足りません。空きを作るか、別の場所に保存して下さい。")
                            .arg(QDir::toNativeSeparators(pdf))});
  EXPECT_EQ(readAll(pdf), QByteArray("old"));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"class.pdf"});
}

// Attempts that run out ask the window's question once for the whole run; No ends it without a
// file, Yes keeps the problems the attempts could not place and makes every set.
TEST_F(VersionsDialogTest, RunOutAttemptsAskOnceForTheWholeRun) {
  source_.choices.sign1 = smMinus;
  source_.choices.sign2 = smMinus;  // every answer negative, refused while answers must be positive
  dlg_.setSource(source_);
  dlg_.SpnVersions->setValue(3);
  const QString pdf = file("class.pdf");
  dialogs_.answerSaveFile(pdf).answerYesNo(false);
  dlg_.BtnVersionsPdf->click();
  EXPECT_EQ(dialogs_.messages(), QStringList{QStringLiteral("問題を作れませんでした（答えが０以下）。")});
  EXPECT_FALSE(QFile::exists(pdf));
  dialogs_.clear();

  dialogs_.answerSaveFile(pdf).answerYesNo(true);
  dlg_.BtnVersionsPdf->click();
  EXPECT_EQ(testing::pdfPageCount(pdf), 6);
  int questions = 0;
  for (const auto& shown : dialogs_.shown()) questions += shown.kind == testing::DialogKind::YesNo;
  EXPECT_EQ(questions, 1);
  EXPECT_TRUE(dialogs_.messages().isEmpty());
}

TEST_F(VersionsDialogTest, RangesTheGeneratorRefusesAreTold) {
  source_.gen.MinV[1] = 0;  // a numerator range from 0 with a denominator range from 1
  source_.gen.MinV[2] = 0;
  dlg_.setSource(source_);
  dialogs_.answerSaveFile(file("class.pdf"));
  dlg_.BtnVersionsPdf->click();
  EXPECT_EQ(dialogs_.messages(), QStringList{CheckRangeInvariants(source_.gen.MinV, source_.gen.MaxV)});
  EXPECT_TRUE(QDir(dir_.path()).isEmpty());
}

}  // namespace
}  // namespace zubira
