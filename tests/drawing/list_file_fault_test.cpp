// Faults of list files as the preview meets them: INCLUDE cycles and files that include
// themselves however they are spelled, a list file of 100 MB, missing files, and folders named
// as files. The load ends, says what went wrong once, and the page is drawn from what could be
// read.

#include "drawing/list_file.h"
#include "drawing/page_model.h"
#include "drawing/page_renderer.h"
#include "drawing/recording_canvas.h"

#include "tests/drawing/drawing_test_util.h"
#include "tests/support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::ScriptedDialogs;
using testing::TempCwd;
using testing::writeListLines;

class ListFileFault : public ::testing::Test {
 protected:
  void SetUp() override {
    model_ = std::make_unique<PageModel>(
        std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96);
    ASSERT_TRUE(model_->ReadPrinterMetrics());
    ASSERT_TRUE(model_->GetPageSize());
    model_->setUnitType(PageModel::kUnitMillimetre);
    model_->setCanvases(std::make_unique<RecordingCanvas>(96, 96), std::make_unique<RecordingCanvas>(600, 600));
    renderer_ = std::make_unique<PageRenderer>(*model_);
    model_->ListByManual() << QStringLiteral("TextOut,10,100,\"manual\"");
  }
  // Loads the list file, draws the page and gives the texts drawn.
  QStringList refresh() {
    canvas().clearCalls();
    renderer_->PrevUpDateFile();
    return canvas().texts();
  }
  RecordingCanvas& canvas() { return static_cast<RecordingCanvas&>(model_->screenCanvas()); }
  static QString text(const char* s) { return QStringLiteral("TextOut,10,10,\"%1\"").arg(QLatin1String(s)); }

  TempCwd cwd_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<PageModel> model_;
  std::unique_ptr<PageRenderer> renderer_;
};

TEST_F(ListFileFault, CycleThroughThreeFilesIsReportedOnceAndEachFileReadOnce) {
  writeListLines("Gazumo.prv", {text("index"), "INCLUDE,a.lst"});
  writeListLines("a.lst", {text("a"), "INCLUDE,b.lst"});
  writeListLines("b.lst", {text("b"), "INCLUDE,c.lst"});
  writeListLines("c.lst", {text("c"), "INCLUDE,a.lst", "INCLUDE,Gazumo.prv"});
  const QStringList drawn = refresh();
  EXPECT_EQ(drawn, (QStringList{"index", "a", "b", "c", "manual"}));
  EXPECT_EQ(dialogs_.messages(), QStringList{"INCLUDE, CYCLE ERROR\na.lst"}) << "one message per load";
  EXPECT_EQ(renderer_->messages(), QStringList{}) << "the load's message is the model's, not a list's";
  dialogs_.clear();
  refresh();
  EXPECT_EQ(dialogs_.messages().size(), 1) << "each load reports it again, once";
}

TEST_F(ListFileFault, FileIncludingItselfIsCaughtHoweverItIsNamed) {
  ASSERT_TRUE(QDir().mkdir("sub"));
  ASSERT_TRUE(QFile::link(cwd_.path("Gazumo.prv"), "link.prv"));
  const QString absolute = QFileInfo("Gazumo.prv").absoluteFilePath();
  // The absolute name is quoted: the temporary folder's name may hold blanks.
  for (const QString& name : {QStringLiteral("Gazumo.prv"), QStringLiteral("./Gazumo.prv"),
                              QStringLiteral("sub/../Gazumo.prv"), QStringLiteral("link.prv"),
                              QStringLiteral("\"") + absolute + QStringLiteral("\"")}) {
    SCOPED_TRACE(name.toStdString());
    writeListLines("Gazumo.prv", {text("before"), "INCLUDE," + name, text("after")});
    dialogs_.clear();
    EXPECT_EQ(refresh(), (QStringList{"before", "after", "manual"}));
    EXPECT_EQ(dialogs_.messages().size(), 1);
  }
}

TEST_F(ListFileFault, HundredMegabyteFileIsRefusedWithoutReadingIt) {
  // 100 MB without writing them: a sparse file that begins with a command.
  QFile big("big.lst");
  ASSERT_TRUE(big.open(QIODevice::WriteOnly));
  ASSERT_GT(big.write("TextOut,10,10,\"big\"\r\n"), 0);
  ASSERT_TRUE(big.resize(100LL * 1024 * 1024));
  big.close();

  // As the list file itself (the index names it), and as an INCLUDE.
  for (const QStringList& index : {QStringList{"big.lst"}, QStringList{text("index"), "INCLUDE,big.lst"}}) {
    SCOPED_TRACE(index.join(" | ").toStdString());
    writeListLines("Gazumo.prv", index);
    dialogs_.clear();
    EXPECT_EQ(refresh(), QStringList{"manual"}) << "the other lists are still drawn";
    ASSERT_EQ(dialogs_.messages().size(), 1);
    EXPECT_TRUE(dialogs_.messages()[0].contains(QStringLiteral("too large"))) << dialogs_.messages()[0].toStdString();
    EXPECT_TRUE(model_->ListByFile().isEmpty());
  }
}

TEST_F(ListFileFault, MissingFilesAreSilent) {
  // No index file: an empty list, no message.
  EXPECT_EQ(refresh(), QStringList{"manual"});
  // The first line names no file: the index is the list; INCLUDE of a missing file is dropped.
  writeListLines("Gazumo.prv", {"none.lst", text("index"), "INCLUDE,none.lst", "INCLUDE,\"\"", text("end")});
  EXPECT_EQ(refresh(), (QStringList{"index", "end", "manual"}));
  // The named list file goes away between two loads.
  writeListLines("list.lst", {text("list")});
  writeListLines("Gazumo.prv", {"list.lst"});
  EXPECT_EQ(refresh(), (QStringList{"list", "manual"}));
  ASSERT_TRUE(QFile::remove("list.lst"));
  EXPECT_EQ(refresh(), QStringList{"manual"}) << "the first line, naming nothing, is no command";
  EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(ListFileFault, FolderNamedAsAFileIsReportedAndTheRestDrawn) {
  ASSERT_TRUE(QDir().mkdir("folder.lst"));
  struct Case {
    const char* what;
    QString indexName;
    QStringList index;
    QStringList drawn;
  } cases[] = {
      {"the index file", "folder.lst", {}, {"manual"}},
      {"an INCLUDE, which drops its own line only", "Gazumo.prv",
       {text("index"), "INCLUDE,folder.lst", text("after")}, {"index", "after", "manual"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.index.isEmpty()) writeListLines("Gazumo.prv", c.index);
    model_->setListIniFile(c.indexName);
    dialogs_.clear();
    EXPECT_EQ(refresh(), c.drawn);
    ASSERT_EQ(dialogs_.messages().size(), 1);
    EXPECT_TRUE(dialogs_.messages()[0].contains(QStringLiteral("folder"))) << dialogs_.messages()[0].toStdString();
  }
  // A folder in the index file's first line names no list file: the index file is the list.
  writeListLines("Gazumo.prv", {"folder.lst", text("index")});
  dialogs_.clear();
  EXPECT_EQ(refresh(), (QStringList{"index", "manual"}));
  EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(ListFileFault, HugeLineLoadsAndDrawsOnTheRecordingCanvas) {
  const QString huge(4 << 20, u'分');
  writeListLines("Gazumo.prv", {QStringLiteral("TextOut,10,10,\"") + huge + u'"', text("after")});
  const QStringList drawn = refresh();
  ASSERT_EQ(drawn.size(), 3);
  EXPECT_EQ(drawn[0].size(), huge.size());
  EXPECT_EQ(drawn[1], QStringLiteral("after"));
  EXPECT_TRUE(dialogs_.shown().empty());
}

}  // namespace
}  // namespace zubira
