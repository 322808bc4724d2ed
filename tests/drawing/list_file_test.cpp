#include "drawing/comma_text.h"
#include "drawing/list_file.h"
#include "drawing/page_model.h"

#include "tests/drawing/drawing_test_util.h"
#include "tests/support/fault_injection.h"
#include "tests/support/scripted_dialogs.h"

#include <QRandomGenerator>
#include <sys/stat.h>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::ScriptedDialogs;
using testing::TempCwd;
using testing::utf16Bytes;
using testing::writeListLines;
using testing::writeBytes;

std::unique_ptr<PageModel> makeModel() {
  return std::make_unique<PageModel>(
      std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96);
}

class ListFileTest : public ::testing::Test {
 protected:
  TempCwd cwd;
  ScriptedDialogs dialogs;  // fails the test on any dialog that needs an answer
};

TEST_F(ListFileTest, MissingIndexFileGivesAnEmptyListAndNoMessage) {
  auto model = makeModel();
  model->ListByManual() << "x";
  const LoadResult r = model->LoadListFile();
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(model->ListByFile().isEmpty());
  EXPECT_TRUE(dialogs.shown().empty());
  EXPECT_EQ(model->ListIniFile(), QStringLiteral("Gazumo.prv"));
}

TEST_F(ListFileTest, EmptyIndexNameMeansTheDefault) {
  auto model = makeModel();
  model->setListIniFile("other.prv");
  EXPECT_EQ(model->ListIniFile(), QStringLiteral("other.prv"));
  model->setListIniFile("");
  EXPECT_EQ(model->ListIniFile(), QStringLiteral("Gazumo.prv"));
  writeListLines("Gazumo.prv", {"Line,0,0,10,10"});
  ASSERT_TRUE(model->LoadListFile().ok);
  EXPECT_EQ(model->ListByFile(), QStringList{"Line,0,0,10,10"});
}

TEST_F(ListFileTest, FirstLineNamingAFileMakesThatFileTheList) {
  writeListLines("list.txt", {"TextOut,10,20,\"a\",NIL", "Line,0,0,1,1"});
  writeListLines("Gazumo.prv", {"list.txt", "FontSize,30"});
  auto model = makeModel();
  ASSERT_TRUE(model->LoadListFile().ok);
  EXPECT_EQ(model->ListByFile(), (QStringList{"TextOut,10,20,\"a\",NIL", "Line,0,0,1,1"}));
}

TEST_F(ListFileTest, FirstLineThatIsACommandMakesTheIndexTheList) {
  writeListLines("Gazumo.prv", {"FontSize,30", "", "   ", "Line,0,0,1,1", "\t"});
  auto model = makeModel();
  ASSERT_TRUE(model->LoadListFile().ok);
  EXPECT_EQ(model->ListByFile(), (QStringList{"FontSize,30", "Line,0,0,1,1"})) << "blank lines dropped";
}

// Only an existing file named by the first line redirects; a folder leaves the index file as
// the list, a device or pipe cannot be read.
TEST_F(ListFileTest, FirstLineNamingAFolderLeavesTheIndexAsTheList) {
  ASSERT_TRUE(QDir().mkdir("sub"));
  ASSERT_TRUE(QFile::link("sub", "link-to-sub"));
  ASSERT_EQ(::mkfifo("pipe.txt", 0600), 0);
  writeListLines("list.txt", {"FROM-LIST"});
  struct Case {
    const char* first;
    bool ok;
    QStringList lines;
  } cases[] = {
      {"sub", true, {"sub", "Line,0,0,1,1"}},
      {"sub/", true, {"sub/", "Line,0,0,1,1"}},
      {"link-to-sub", true, {"link-to-sub", "Line,0,0,1,1"}},
      {"list.txt", true, {"FROM-LIST"}},
      {"pipe.txt", false, {}},
      {"/dev/zero", false, {}},
  };
  for (const Case& c : cases) {
    writeListLines("Gazumo.prv", {c.first, "Line,0,0,1,1"});
    const ListFileLoad load = loadListIndexFile("Gazumo.prv");
    EXPECT_EQ(load.result.ok, c.ok) << c.first << ": " << load.result.error.toStdString();
    EXPECT_EQ(load.lines, c.lines) << c.first;
  }
}

TEST_F(ListFileTest, IncludeChainExpandsInPlaceOverPasses) {
  writeListLines("a.txt", {"A1", "INCLUDE,b.txt", "A2"});
  writeListLines("b.txt", {"B1", "", "B2"});
  writeListLines("Gazumo.prv", {"FIRST", "INCLUDE,a.txt", "LAST"});
  const ListFileLoad load = loadListIndexFile("Gazumo.prv");
  ASSERT_TRUE(load.result.ok);
  EXPECT_EQ(load.lines, (QStringList{"FIRST", "A1", "B1", "B2", "A2", "LAST"}));
  EXPECT_EQ(load.passes, 3) << "two passes that expand and a final one that expands nothing";
  EXPECT_EQ(load.stop, ListFileLoad::Stop::None);
}

TEST_F(ListFileTest, IncludeLinesThatAreNotExactlyTwoItemsStay) {
  writeListLines("a.txt", {"A"});
  writeListLines("Gazumo.prv", {"FIRST", "INCLUDE,a.txt,extra", "INCLUDE", "INCLUDE,missing.txt",
                                 "  include , a.txt  ", "Include a.txt"});
  auto model = makeModel();
  ASSERT_TRUE(model->LoadListFile().ok);
  EXPECT_EQ(model->ListByFile(), (QStringList{"FIRST", "INCLUDE,a.txt,extra", "INCLUDE", "A", "A"}));
  EXPECT_TRUE(dialogs.shown().empty()) << "a missing include file is dropped silently";
}

TEST_F(ListFileTest, QuotedIncludeNameMayHoldBlanks) {
  writeListLines("my list.txt", {"M"});
  writeListLines("Gazumo.prv", {"X", "INCLUDE,\"my list.txt\""});
  EXPECT_EQ(loadListIndexFile("Gazumo.prv").lines, (QStringList{"X", "M"}));
}

TEST_F(ListFileTest, RelativeNamesResolveAgainstTheCurrentDirectory) {
  ASSERT_TRUE(QDir().mkdir("sub"));
  writeListLines("sub/a.txt", {"SUB-A", "INCLUDE,b.txt"});
  writeListLines("sub/b.txt", {"SUB-B"});
  writeListLines("b.txt", {"TOP-B"});
  writeListLines("Gazumo.prv", {"sub/a.txt"});
  EXPECT_EQ(loadListIndexFile("Gazumo.prv").lines, (QStringList{"SUB-A", "TOP-B"}));
  // An absolute name is used as written.
  writeListLines("Gazumo.prv", {"X", "INCLUDE," + quoteText(cwd.path("sub/b.txt"))});
  EXPECT_EQ(loadListIndexFile("Gazumo.prv").lines, (QStringList{"X", "SUB-B"}));
}

TEST_F(ListFileTest, SelfIncludeStopsAndIsReportedOnce) {
  writeListLines("a.txt", {"A1", "INCLUDE,a.txt", "A2"});
  writeListLines("Gazumo.prv", {"X", "INCLUDE,a.txt", "INCLUDE,a.txt"});
  auto model = makeModel();
  ASSERT_TRUE(model->LoadListFile().ok);
  EXPECT_EQ(model->ListByFile(), (QStringList{"X", "A1", "A2", "A1", "A2"}));
  EXPECT_EQ(dialogs.messages(), QStringList{"INCLUDE, CYCLE ERROR\na.txt"});
}

TEST_F(ListFileTest, CycleThroughOtherFilesStops) {
  writeListLines("a.txt", {"A", "INCLUDE,b.txt"});
  writeListLines("b.txt", {"B", "INCLUDE,c.txt"});
  writeListLines("c.txt", {"C", "INCLUDE,./a.txt"});
  writeListLines("Gazumo.prv", {"a.txt"});
  const ListFileLoad load = loadListIndexFile("Gazumo.prv");
  ASSERT_TRUE(load.result.ok);
  EXPECT_EQ(load.lines, (QStringList{"A", "B", "C"}));
  EXPECT_EQ(load.stop, ListFileLoad::Stop::Cycle);
  EXPECT_EQ(load.stopFile, QStringLiteral("./a.txt"));
}

TEST_F(ListFileTest, IndexFileIncludingItselfStops) {
  writeListLines("Gazumo.prv", {"X", "INCLUDE,Gazumo.prv"});
  auto model = makeModel();
  ASSERT_TRUE(model->LoadListFile().ok);
  EXPECT_EQ(model->ListByFile(), QStringList{"X"});
  EXPECT_EQ(dialogs.messages().size(), 1);
  // Each load reports again, once.
  ASSERT_TRUE(model->LoadListFile().ok);
  EXPECT_EQ(dialogs.messages().size(), 2);
}

TEST_F(ListFileTest, TheSameFileTwiceIsNoCycle) {
  writeListLines("b.txt", {"B"});
  writeListLines("a.txt", {"INCLUDE,b.txt", "INCLUDE,b.txt"});
  writeListLines("Gazumo.prv", {"X", "INCLUDE,a.txt", "INCLUDE,b.txt"});
  const ListFileLoad load = loadListIndexFile("Gazumo.prv");
  EXPECT_EQ(load.lines, (QStringList{"X", "B", "B", "B"}));
  EXPECT_EQ(load.stop, ListFileLoad::Stop::None);
}

TEST_F(ListFileTest, DoublingIncludesStopAtTheLineBound) {
  // f0 includes f1 twice, f1 includes f2 twice, ...: 2^30 lines without a bound.
  for (int i = 0; i < 30; ++i)
    writeListLines(QStringLiteral("f%1.txt").arg(i),
                    {QStringLiteral("L%1").arg(i), QStringLiteral("INCLUDE,f%1.txt").arg(i + 1),
                     QStringLiteral("INCLUDE,f%1.txt").arg(i + 1)});
  writeListLines("f30.txt", {"END"});
  writeListLines("Gazumo.prv", {"f0.txt"});
  auto model = makeModel();
  model->setIncludeBounds(IncludeBounds{64, 5000});
  ASSERT_TRUE(model->LoadListFile().ok);
  EXPECT_LE(model->ListByFile().size(), 5000);
  EXPECT_GT(model->ListByFile().size(), 1000);
  EXPECT_EQ(model->ListByFile().first(), QStringLiteral("L0"));
  ASSERT_EQ(dialogs.messages().size(), 1);
  EXPECT_TRUE(dialogs.messages().first().startsWith("INCLUDE, LIMIT ERROR"));
}

// 71 files each including the next one twice, at the real bounds: the expansion ends at the
// line bound, reported once, without going over the same INCLUDE lines pass after pass.
TEST_F(ListFileTest, DoublingIncludesEndAtTheFirstBoundInBoundedMemory) {
  constexpr int kFiles = 71;
  for (int i = 0; i < kFiles; ++i)
    writeListLines(QStringLiteral("f%1.txt").arg(i),
                    {QStringLiteral("L%1").arg(i), QStringLiteral("INCLUDE,f%1.txt").arg(i + 1),
                     QStringLiteral("INCLUDE,f%1.txt").arg(i + 1)});
  writeListLines(QStringLiteral("f%1.txt").arg(kFiles), {"END"});
  writeListLines("Gazumo.prv", {"f0.txt"});
  // Pass k brings in 2^k copies of f(k); the 16th would take the list past 200,000 lines.
  const ListFileLoad load = loadListIndexFile("Gazumo.prv");
  ASSERT_TRUE(load.result.ok);
  EXPECT_EQ(load.stop, ListFileLoad::Stop::Limit);
  EXPECT_EQ(load.stopFile, QStringLiteral("f16.txt"));
  EXPECT_EQ(load.passes, 17) << "the pass of the stop and one that expands nothing";
  EXPECT_LE(load.lines.size(), IncludeBounds().maxLines);
  EXPECT_GT(load.lines.size(), 1 << 16);
  EXPECT_EQ(load.lines.first(), QStringLiteral("L0"));
  EXPECT_FALSE(load.lines.contains(QStringLiteral("L17")));

  auto model = makeModel();
  ASSERT_TRUE(model->LoadListFile().ok);
  EXPECT_EQ(model->ListByFile(), load.lines);
  ASSERT_EQ(dialogs.messages().size(), 1);
  EXPECT_EQ(dialogs.messages().first(), QStringLiteral("INCLUDE, LIMIT ERROR\nf16.txt"));

  if (!testing::memoryBoundHolds()) return;
  EXPECT_TRUE(testing::runsWithinMemory(64 << 20, [] { return loadListIndexFile("Gazumo.prv").result.ok; }))
      << "the load took more than 64 MB";
}

TEST_F(ListFileTest, DeepChainStopsAtTheDepthBound) {
  for (int i = 0; i < 10; ++i)
    writeListLines(QStringLiteral("d%1.txt").arg(i),
                    {QStringLiteral("D%1").arg(i), QStringLiteral("INCLUDE,d%1.txt").arg(i + 1)});
  writeListLines("Gazumo.prv", {"d0.txt"});
  const ListFileLoad load = loadListIndexFile("Gazumo.prv", IncludeBounds{3, 1000});
  EXPECT_EQ(load.lines, (QStringList{"D0", "D1", "D2", "D3"}));
  EXPECT_EQ(load.stop, ListFileLoad::Stop::Limit);
  EXPECT_EQ(load.stopFile, QStringLiteral("d4.txt"));
  EXPECT_EQ(loadListIndexFile("Gazumo.prv").lines.size(), 10) << "within the default bounds";
}

TEST_F(ListFileTest, ListFilesInCp932AreReadWithoutLoss) {
  // 分数～表ソ in CP932; 表 and ソ have 0x5C as their second byte.
  const QByteArray cp932 = "TextOut,1,2,\"\x95\xaa\x90\x94\x81\x60\x95\x5c\x83\x5c\",NIL\r\n"
                           "FontName,\"\x82\x6c\x82\x72 \x96\xbe\x92\xa9\"\r\n";
  writeBytes("list.txt", cp932);
  writeListLines("Gazumo.prv", {"list.txt"});
  const QStringList lines = loadListIndexFile("Gazumo.prv").lines;
  EXPECT_EQ(lines, (QStringList{QStringLiteral("TextOut,1,2,\"分数～表ソ\",NIL"),
                                QStringLiteral("FontName,\"ＭＳ 明朝\"")}));
}

TEST_F(ListFileTest, ByteOrderMarksSelectUtf8AndUtf16) {
  const QString text = QStringLiteral("TextOut,1,2,\"分数 ～ 𠮷\",NIL\nLine,0,0,1,1\r\n");
  const QStringList expected{QStringLiteral("TextOut,1,2,\"分数 ～ 𠮷\",NIL"), "Line,0,0,1,1"};
  writeBytes("le.txt", utf16Bytes(text, true));
  writeBytes("be.txt", utf16Bytes(text, false));
  writeBytes("u8.txt", "\xEF\xBB\xBF" + text.toUtf8());
  for (const char* name : {"le.txt", "be.txt", "u8.txt"}) {
    writeListLines("Gazumo.prv", {name});
    EXPECT_EQ(loadListIndexFile("Gazumo.prv").lines, expected) << name;
  }
  // An index file in UTF-16 names its list file in its first line as well.
  writeBytes("Gazumo.prv", utf16Bytes(QStringLiteral("u8.txt\r\nignored\r\n"), true));
  EXPECT_EQ(loadListIndexFile("Gazumo.prv").lines, expected);
}

// Without a byte-order mark, a file that is valid UTF-8 (and not plain ASCII) is UTF-8, any
// other is CP932: the same Japanese text reads the same either way, as list file and included.
TEST_F(ListFileTest, Utf8AndCp932FilesOfTheSameTextGiveTheSameLines) {
  const QStringList text{QStringLiteral("FontName,\"ＭＳ 明朝\""), QStringLiteral("TextOut,1,2,\"分数～表ソ ｱｲｳ\",NIL"),
                         "Line,0,0,1,1"};
  writeBytes("u8.txt", text.join("\n").toUtf8());
  writeListLines("sjis.txt", text);
  writeBytes("both.txt", "INCLUDE,u8.txt\r\nINCLUDE,sjis.txt\r\n");
  struct Case {
    QByteArray index;
    QStringList lines;
  } cases[] = {
      {"u8.txt", text},
      {"sjis.txt", text},
      {"both.txt", text + text},
      {"INCLUDE,u8.txt", text},
      {"Line,9,9,9,9\nTextOut,0,0,\"答え\"\nINCLUDE,sjis.txt",
       QStringList{"Line,9,9,9,9", QStringLiteral("TextOut,0,0,\"答え\"")} + text},
  };
  for (const Case& c : cases) {
    writeBytes("Gazumo.prv", c.index);
    EXPECT_EQ(loadListIndexFile("Gazumo.prv").lines, c.lines) << c.index.toStdString();
  }
}

TEST_F(ListFileTest, IncludedFilesFollowTheEncodingRulesToo) {
  writeBytes("inc.txt", utf16Bytes(QStringLiteral("A\rB\r"), false));
  writeBytes("Gazumo.prv", "X\rINCLUDE,inc.txt\rY");
  EXPECT_EQ(loadListIndexFile("Gazumo.prv").lines, (QStringList{"X", "A", "B", "Y"}));
}

TEST_F(ListFileTest, UnreadableFilesAreErrorsForTheCaller) {
  ASSERT_TRUE(QDir().mkdir("folder"));
  auto model = makeModel();

  writeListLines("Gazumo.prv", {"X"});
  ASSERT_TRUE(model->LoadListFile().ok);
  ASSERT_EQ(model->ListByFile().size(), 1);

  // The index file is a folder.
  model->setListIniFile("folder");
  LoadResult r = model->LoadListFile();
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.isEmpty());
  EXPECT_TRUE(model->ListByFile().isEmpty());

  EXPECT_TRUE(dialogs.shown().empty()) << "errors go to the caller, not to a message box";
}

// An INCLUDE that names a folder drops its own line, as a missing file does, and says why once
// per folder; the rest of the list stays.
TEST_F(ListFileTest, IncludeOfAFolderDropsOnlyItsLine) {
  ASSERT_TRUE(QDir().mkpath("folder/inner"));
  writeListLines("inc.txt", {"I", "INCLUDE,folder/inner", "J"});
  const struct {
    QStringList index;
    QStringList lines;
    int reasons;
  } cases[] = {
      {{"X", "INCLUDE,folder", "Y"}, {"X", "Y"}, 1},
      {{"INCLUDE,folder", "INCLUDE,folder", "Y"}, {"Y"}, 1},
      {{"X", "INCLUDE,inc.txt", "INCLUDE,folder"}, {"X", "I", "J"}, 2},
      {{"INCLUDE,\"folder/\"", "INCLUDE,missing.txt", "Z"}, {"Z"}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index.join(u'|').toStdString());
    writeListLines("Gazumo.prv", c.index);
    const ListFileLoad load = loadListIndexFile("Gazumo.prv");
    EXPECT_TRUE(load.result.ok);
    EXPECT_EQ(load.lines, c.lines);
    EXPECT_EQ(load.skipped.size(), c.reasons) << load.skipped.join(u'|').toStdString();
    for (const QString& why : load.skipped) EXPECT_TRUE(why.contains(QStringLiteral("folder"))) << why.toStdString();
  }

  // Through the model: the message names the folder, the rest is the list.
  auto model = makeModel();
  writeListLines("Gazumo.prv", {"X", "INCLUDE,folder", "Y"});
  ASSERT_TRUE(model->LoadListFile().ok);
  EXPECT_EQ(model->ListByFile(), (QStringList{"X", "Y"}));
  ASSERT_EQ(dialogs.messages().size(), 1);
  EXPECT_TRUE(dialogs.messages()[0].contains(QStringLiteral("folder"))) << dialogs.messages()[0].toStdString();
}

TEST_F(ListFileTest, DevicesPipesAndHugeFilesAreRefusedWithoutReading) {
  ASSERT_EQ(::mkfifo("pipe.txt", 0600), 0);
  ASSERT_TRUE(QFile::link("/dev/zero", "zero.txt"));
  for (const char* include : {"INCLUDE,/dev/zero", "INCLUDE,zero.txt", "INCLUDE,pipe.txt"}) {
    writeListLines("Gazumo.prv", {"X", include});
    const ListFileLoad load = loadListIndexFile("Gazumo.prv");
    EXPECT_FALSE(load.result.ok) << include;
    EXPECT_TRUE(load.result.error.contains("not a regular file")) << load.result.error.toStdString();
  }
  EXPECT_FALSE(loadListIndexFile("pipe.txt").result.ok);
  writeListLines("Gazumo.prv", {"zero.txt"});
  EXPECT_FALSE(loadListIndexFile("Gazumo.prv").result.ok);

  writeListLines("big.txt", {"0123456789", "0123456789"});
  writeListLines("Gazumo.prv", {"X", "INCLUDE,big.txt"});
  IncludeBounds small;
  small.maxFileBytes = 20;
  EXPECT_FALSE(loadListIndexFile("Gazumo.prv", small).result.ok);
  small.maxFileBytes = 24;
  EXPECT_EQ(loadListIndexFile("Gazumo.prv", small).lines.size(), 3);
  small.maxFileBytes = 5;
  EXPECT_FALSE(loadListIndexFile("Gazumo.prv", small).result.ok) << "the index file itself";
}

TEST_F(ListFileTest, EachLoadReplacesTheList) {
  auto model = makeModel();
  writeListLines("Gazumo.prv", {"A", "B", "C"});
  ASSERT_TRUE(model->LoadListFile().ok);
  writeListLines("Gazumo.prv", {"D"});
  ASSERT_TRUE(model->LoadListFile().ok);
  EXPECT_EQ(model->ListByFile(), QStringList{"D"});
  QFile::remove("Gazumo.prv");
  ASSERT_TRUE(model->LoadListFile().ok);
  EXPECT_TRUE(model->ListByFile().isEmpty());
}

TEST_F(ListFileTest, GarbageBytesLoadWithoutHarm) {
  QRandomGenerator rng(99);
  for (int round = 0; round < 50; ++round) {
    QByteArray bytes;
    const int n = int(rng.bounded(4000));
    for (int i = 0; i < n; ++i) bytes += char(rng.bounded(256));
    if (round % 3 == 0) bytes.prepend("\xFF\xFE");
    if (round % 3 == 1) bytes.prepend("\xEF\xBB\xBF");
    bytes += "\nINCLUDE,Gazumo.prv\n";
    writeBytes("Gazumo.prv", bytes);
    const ListFileLoad load = loadListIndexFile("Gazumo.prv");
    EXPECT_TRUE(load.result.ok);
    for (const QString& line : load.lines) EXPECT_FALSE(isBlankLine(line));
  }
}

}  // namespace
}  // namespace zubira
