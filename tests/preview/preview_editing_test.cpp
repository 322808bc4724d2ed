// The preview window's list management and editing: the review dialog on the three lists, saving
// and discarding the manual list, the close question, command input, the font, pen colour, pen
// width and reset items, text typed onto the page (also on a scrolled page), and the four
// page-string items.

#include "drawing/font_choice.h"
#include "platform/sjis_text.h"
#include "preview/list_dialog.h"
#include "preview/page_image_view.h"
#include "preview/page_str_dialog.h"
#include "preview/preview_window.h"
#include "tests/preview/preview_test_util.h"
#include "tests/support/scripted_dialogs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <functional>

namespace zubira {
namespace {

using testing::DialogKind;
using testing::FixedPreview;
using testing::PreviewFolder;
using testing::ScriptedDialogs;
using testing::action;
using testing::recordOn;
using testing::showWindow;
using testing::trigger;

const QSize k600(600, 600);
const QSize kPage(4800, 6600);  // 8 by 11 inches at 600 dpi: a 768 by 1056 page image at 96 dpi

QStringList itemsOf(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

// Runs `body` while the modal `dialog` is up, then closes it if the body did not.
void whileModal(QDialog& dialog, std::function<void()> body) {
  QTimer::singleShot(0, &dialog, [&dialog, body] {
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    body();
    if (dialog.isVisible()) dialog.reject();
  });
}

// Closes the window as its frame's close button does: the window system asks the window.
bool closeThroughFrame(TFrmPrev& w) {
  QWindow* handle = w.windowHandle();
  EXPECT_NE(handle, nullptr);
  if (!handle) return false;
  QCloseEvent event;
  QCoreApplication::sendEvent(handle, &event);
  QApplication::processEvents();
  return event.isAccepted();
}

// A text in double quotes as the command language writes it.
QString quoted(const QString& s) {
  QString inner = s;
  inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + inner + QLatin1Char('"');
}

FontChoice fontChoice(const QString& family, int points, QColor color = Qt::black,
                      bool bold = false, bool italic = false, bool underline = false,
                      bool strikeout = false) {
  FontChoice c;
  c.font = QFont(family);
  c.font.setPointSize(points);
  c.font.setBold(bold);
  c.font.setItalic(italic);
  c.font.setUnderline(underline);
  c.font.setStrikeOut(strikeout);
  c.color = color;
  return c;
}

// The calls of two renderings are the same drawing.
void expectSameCalls(const std::vector<RecordingCanvas::Call>& a,
                     const std::vector<RecordingCanvas::Call>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "call " << i << " " << a[i].text.toStdString());
    EXPECT_EQ(int(a[i].op), int(b[i].op));
    EXPECT_EQ(a[i].x1, b[i].x1);
    EXPECT_EQ(a[i].y1, b[i].y1);
    EXPECT_EQ(a[i].x2, b[i].x2);
    EXPECT_EQ(a[i].y2, b[i].y2);
    EXPECT_EQ(a[i].text, b[i].text);
    EXPECT_EQ(a[i].advances, b[i].advances);
    EXPECT_TRUE(a[i].font == b[i].font);
    EXPECT_TRUE(a[i].pen == b[i].pen);
    EXPECT_TRUE(a[i].brush == b[i].brush);
    EXPECT_EQ(a[i].pictureSize, b[i].pictureSize);
  }
}

bool hasText(const RecordingCanvas& c, const QString& text) { return c.texts().contains(text); }

// ---- "更新(&U)" -------------------------------------------------------------------------------

TEST(PreviewEditing, UpdateRedrawsWithoutReadingTheListFile) {
  PreviewFolder dir;
  QString error;
  ASSERT_TRUE(writeCp932Lines(dir.path("Gazumo.prv"), {QStringLiteral("TextOut,1,1,\"先\",Nil")}, &error));
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  ASSERT_TRUE(writeCp932Lines(dir.path("Gazumo.prv"), {QStringLiteral("TextOut,1,1,\"後\",Nil")}, &error));
  w->model().ListByManual() << QStringLiteral("TextOut,5,5,\"手\",Nil");
  trigger(*w, "Update1");
  EXPECT_TRUE(hasText(*rec.screen, QStringLiteral("先")));
  EXPECT_TRUE(hasText(*rec.screen, QStringLiteral("手")));
  EXPECT_FALSE(hasText(*rec.screen, QStringLiteral("後")));
}

// ---- The review dialog -------------------------------------------------------------------------

struct ReviewCase {
  const char* item;
  int list;
  bool clearShown;
};

TEST(PreviewEditing, ReviewDialogShowsACopyOfEachList) {
  PreviewFolder dir;
  QString error;
  const QStringList fileLines = {QStringLiteral("Line,0,0,10,10"), QStringLiteral("TextOut,1,1,\"読\",Nil")};
  ASSERT_TRUE(writeCp932Lines(dir.path("Gazumo.prv"), fileLines, &error));
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  TFrmList list(nullptr, 96);
  w->setListDialog(&list);
  showWindow(*w);
  const QStringList manualLines = {QStringLiteral("FontSize,12"), QStringLiteral("TextOut,53,25,\"答え\",Nil")};
  w->model().ListByManual() = manualLines;
  // A composition: the program list starts with INITPARAM.
  w->model().ClearProgramList();
  w->model().PrevInit();
  w->model().PrevLine(10, 20, 100, 20);
  w->PrevUpDateProgram();
  const QStringList programLines = w->model().ListbyProgram();
  ASSERT_FALSE(programLines.isEmpty());
  EXPECT_EQ(programLines.first(), QStringLiteral("INITPARAM"));

  const ReviewCase cases[] = {{"R1", PageModel::ListFile, false},
                              {"I1", PageModel::ListManual, true},
                              {"A1", PageModel::ListProgram, false}};
  for (const ReviewCase& c : cases) {
    SCOPED_TRACE(c.item);
    const QStringList before = w->model().list(c.list);
    bool seen = false;
    whileModal(list, [&] {
      seen = true;
      EXPECT_EQ(list.windowTitle(), QStringLiteral("リストの確認"));
      EXPECT_EQ(itemsOf(list.ListBox1), before);
      EXPECT_EQ(list.BtnClear->isVisible(), c.clearShown);
      // Changing the copy changes no list.
      if (list.ListBox1->count() > 0) list.ListBox1->item(0)->setText(QStringLiteral("changed"));
      QTest::mouseClick(list.Button1, Qt::LeftButton);
    });
    trigger(*w, c.item);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(list.isVisible());
    EXPECT_EQ(w->model().list(c.list), before);
  }
  EXPECT_EQ(w->model().ListByFile(), fileLines);
  EXPECT_EQ(w->model().ListByManual(), manualLines);
  EXPECT_EQ(w->model().ListbyProgram(), programLines);
  EXPECT_TRUE(dlg.shown().empty());
}

TEST(PreviewEditing, DeleteKeyChangesNothingInTheFileAndProgramLists) {
  PreviewFolder dir;
  QString error;
  const QStringList fileLines = {QStringLiteral("Line,0,0,10,10"), QStringLiteral("Line,0,5,10,5")};
  ASSERT_TRUE(writeCp932Lines(dir.path("Gazumo.prv"), fileLines, &error));
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  TFrmList list(nullptr, 96);
  w->setListDialog(&list);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  w->model().ListByManual() << QStringLiteral("Line,1,1,2,2");
  w->model().PrevInit();
  for (const char* item : {"R1", "A1"}) {
    SCOPED_TRACE(item);
    const QStringList manual = w->model().ListByManual();
    const QStringList program = w->model().ListbyProgram();
    whileModal(list, [&] {
      list.ListBox1->setCurrentRow(0);
      const QStringList shown = itemsOf(list.ListBox1);
      QTest::keyClick(list.ListBox1, Qt::Key_Delete);
      EXPECT_EQ(itemsOf(list.ListBox1), shown);
      QTest::mouseClick(list.Button1, Qt::LeftButton);
    });
    trigger(*w, item);
    EXPECT_EQ(w->model().ListByFile(), fileLines);
    EXPECT_EQ(w->model().ListByManual(), manual);
    EXPECT_EQ(w->model().ListbyProgram(), program);
  }
  EXPECT_TRUE(rec.screen->calls().empty()) << "nothing was redrawn";
}

TEST(PreviewEditing, DeleteKeyRemovesTheSelectedManualLineAndRedraws) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  TFrmList list(nullptr, 96);
  w->setListDialog(&list);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  w->model().ListByManual() = {QStringLiteral("TextOut,1,1,\"一\",Nil"),
                               QStringLiteral("TextOut,1,10,\"二\",Nil"),
                               QStringLiteral("TextOut,1,20,\"三\",Nil")};
  whileModal(list, [&] {
    // Without a selection the key does nothing.
    list.ListBox1->clearSelection();
    list.ListBox1->setCurrentRow(-1);
    QTest::keyClick(list.ListBox1, Qt::Key_Delete);
    EXPECT_EQ(list.ListBox1->count(), 3);
    EXPECT_EQ(w->model().ListByManual().size(), 3);
    EXPECT_TRUE(rec.screen->calls().empty());

    list.ListBox1->setCurrentRow(1);
    QTest::keyClick(list.ListBox1, Qt::Key_Delete);
    EXPECT_EQ(itemsOf(list.ListBox1),
              (QStringList{QStringLiteral("TextOut,1,1,\"一\",Nil"),
                           QStringLiteral("TextOut,1,20,\"三\",Nil")}));
    EXPECT_EQ(w->model().ListByManual(), itemsOf(list.ListBox1));
    // The page was drawn from the list without the deleted line.
    EXPECT_TRUE(hasText(*rec.screen, QStringLiteral("一")));
    EXPECT_TRUE(hasText(*rec.screen, QStringLiteral("三")));
    EXPECT_FALSE(hasText(*rec.screen, QStringLiteral("二")));
    QTest::mouseClick(list.Button1, Qt::LeftButton);
  });
  trigger(*w, "I1");
  EXPECT_EQ(w->model().ListByManual().size(), 2);
}

TEST(PreviewEditing, ClearInTheDialogRedrawsWithoutTheManualListAndLoadsNoPicture) {
  PreviewFolder dir;
  QImage small(40, 30, QImage::Format_RGB32);
  small.fill(Qt::red);
  ASSERT_TRUE(small.save(dir.path("pic.bmp"), "BMP"));
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  TFrmList list(nullptr, 96);
  w->setListDialog(&list);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  w->model().ListByManual() = {QStringLiteral("PICTURE,pic.bmp,10,10,30,25"),
                               QStringLiteral("TextOut,1,1,\"手入力\",Nil")};
  trigger(*w, "Update1");  // loads the manual list's picture
  ASSERT_EQ(w->model().Bmp(PageModel::kSlotsPerList).size(), QSize(40, 30));
  EXPECT_EQ(rec.screen->callsOf(RecordingCanvas::Op::Picture).size(), 1u);
  // Another picture under the same name: a reload would show it.
  QImage large(80, 60, QImage::Format_RGB32);
  large.fill(Qt::blue);
  ASSERT_TRUE(large.save(dir.path("pic.bmp"), "BMP"));
  rec.screen->clearCalls();

  whileModal(list, [&] {
    EXPECT_TRUE(list.BtnClear->isVisible());
    QTest::mouseClick(list.BtnClear, Qt::LeftButton);
    EXPECT_EQ(list.ListBox1->count(), 0);
    EXPECT_TRUE(w->model().ListByManual().isEmpty());
    EXPECT_FALSE(rec.screen->calls().empty()) << "the page was redrawn";
    EXPECT_FALSE(hasText(*rec.screen, QStringLiteral("手入力")));
    EXPECT_TRUE(rec.screen->callsOf(RecordingCanvas::Op::Picture).empty());
    QTest::mouseClick(list.Button1, Qt::LeftButton);
  });
  trigger(*w, "I1");
  EXPECT_EQ(w->model().Bmp(PageModel::kSlotsPerList).size(), QSize(40, 30)) << "not reloaded";
}

TEST(PreviewEditing, WithoutTheDialogsTheirItemsDoNothing) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  w->model().ListByManual() << QStringLiteral("Line,0,0,1,1");
  for (const char* item : {"R1", "I1", "A1", "H1", "F1", "T1", "S1"}) trigger(*w, item);
  EXPECT_FALSE(w->Set_SetOfHeader());
  EXPECT_FALSE(w->Set_SetOfFooter());
  EXPECT_FALSE(w->Set_SetOfPageTitle());
  EXPECT_FALSE(w->Set_SetOfSubTitle());
  EXPECT_EQ(w->model().ListByManual().size(), 1);
  for (const char* item : {"H1", "F1", "T1", "S1"}) EXPECT_FALSE(action(*w, item)->isChecked());
  EXPECT_TRUE(dlg.shown().empty());
}

TEST(PreviewEditing, DeleteManualListOutsideTheListDeletesNothing) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  w->model().ListByManual() = {QStringLiteral("a"), QStringLiteral("b")};
  w->DeleteManualList(-1);
  w->DeleteManualList(2);
  EXPECT_EQ(w->model().ListByManual(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
  w->DeleteManualList(0);
  EXPECT_EQ(w->model().ListByManual(), QStringList{QStringLiteral("b")});
  w->ClearManualList();
  EXPECT_TRUE(w->model().ListByManual().isEmpty());
}

// ---- Saving and discarding ---------------------------------------------------------------------

// The text iconv reads from `path` as CP932, in UTF-8; nothing when iconv refuses it.
std::optional<QByteArray> iconvFromCp932(const QString& path) {
  QProcess iconv;
  iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("CP932"),
                                        QStringLiteral("-t"), QStringLiteral("UTF-8"), path});
  if (!iconv.waitForFinished(-1) || iconv.exitStatus() != QProcess::NormalExit ||
      iconv.exitCode() != 0)
    return std::nullopt;
  return iconv.readAllStandardOutput();
}

TEST(PreviewEditing, SaveListWritesCp932WithCrLfAndNoByteOrderMark) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  const QStringList lines = {QStringLiteral("INITPARAM"),
                             QStringLiteral("FontName,\"ＭＳ Ｐゴシック\""),
                             QStringLiteral("TextOut,53,25,\"答え～\",Nil"),
                             QStringLiteral("TextOut,1,2,\"a\\b\",Nil")};
  w->model().ListByManual() = lines;
  // The image export's filter and extension are not carried over.
  dlg.answerSaveFile(std::nullopt);
  trigger(*w, "Save2BMP");
  const QString file = dir.path("manual.lst");
  dlg.answerSaveFile(file);
  trigger(*w, "L1");
  ASSERT_EQ(dlg.shown().size(), 2u);
  EXPECT_EQ(dlg.shown()[1].kind, DialogKind::SaveFile);
  EXPECT_EQ(dlg.shown()[1].detail, QStringLiteral(" | ")) << "no filter, no default extension";
  EXPECT_TRUE(dlg.messages().isEmpty());

  const QByteArray bytes = dir.readFile(QStringLiteral("manual.lst"));
  ASSERT_FALSE(bytes.isEmpty());
  EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
  EXPECT_TRUE(bytes.endsWith("Nil\r\n"));
  EXPECT_EQ(bytes.count("\r\n"), lines.size());
  EXPECT_EQ(bytes.count('\n'), lines.size()) << "every line break is CR LF";
  EXPECT_TRUE(bytes.contains("\x81\x60")) << "～ in CP932";
  EXPECT_TRUE(bytes.contains("a\\b")) << "0x5C stays a backslash";
  const std::optional<QByteArray> decoded = iconvFromCp932(file);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(QString::fromUtf8(*decoded), lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));

  // A second save replaces the file.
  w->model().ListByManual() = {QStringLiteral("Line,0,0,1,1")};
  dlg.answerSaveFile(file);
  trigger(*w, "L1");
  EXPECT_EQ(dir.readFile(QStringLiteral("manual.lst")), QByteArray("Line,0,0,1,1\r\n"));
}

TEST(PreviewEditing, SaveListCancelledOrFailed) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  w->model().ListByManual() = {QStringLiteral("TextOut,0,0,\"x\",Nil")};
  const QStringList before = dir.entries();
  dlg.answerSaveFile(std::nullopt);
  trigger(*w, "L1");
  EXPECT_EQ(dir.entries(), before);
  EXPECT_TRUE(dlg.messages().isEmpty());

  // A folder that does not exist, and a character CP932 cannot hold: said, and no file left.
  dlg.answerSaveFile(dir.path("missing/manual.lst"));
  trigger(*w, "L1");
  ASSERT_EQ(dlg.messages().size(), 1);
  EXPECT_TRUE(dlg.messages()[0].startsWith(QStringLiteral("入力リストを保存できませんでした")));
  w->model().ListByManual() << QStringLiteral("TextOut,0,0,\"%1\",Nil").arg(QString::fromUtf8("\xF0\x9F\x98\x80"));
  dlg.answerSaveFile(dir.path("emoji.lst"));
  trigger(*w, "L1");
  EXPECT_EQ(dlg.messages().size(), 2);
  EXPECT_FALSE(QFileInfo::exists(dir.path("emoji.lst")));
  EXPECT_EQ(w->model().ListByManual().size(), 2) << "the list stays";
}

// The manual list made through the menus, saved, read back as the list file and drawn the same.
TEST(PreviewEditing, SavedManualListReloadedAsListFileDrawsTheSame) {
  PreviewFolder dir;
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(Qt::green);
  ASSERT_TRUE(picture.save(dir.path("pic.bmp"), "BMP"));
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  ASSERT_EQ(w->UnitType(), PageModel::kUnitMillimetre);

  dlg.answerInput(QStringLiteral("Line,10,10,60,10"));
  trigger(*w, "I2");
  trigger(*w, "D2");
  dlg.answerFont(fontChoice(QStringLiteral("ＭＳ Ｐゴシック"), 14, Qt::red, true));
  trigger(*w, "Font2");
  dlg.answerColor(QColor(Qt::blue));
  trigger(*w, "C3");
  dlg.answerInput(QStringLiteral("3"));
  trigger(*w, "W1");
  dlg.answerInput(QStringLiteral("Line,10,20,60,20"));
  trigger(*w, "I2");
  dlg.answerInput(QStringLiteral("PICTURE,pic.bmp,70,10,90,25"));
  trigger(*w, "I2");
  action(*w, "E1")->trigger();
  QTest::mouseClick(w->Image1, Qt::LeftButton, {}, QPoint(200, 96));
  ASSERT_TRUE(w->EdtInput->isVisible());
  w->EdtInput->setText(QStringLiteral("答え～「ａ」\"q\""));
  QTest::keyClick(w->EdtInput, Qt::Key_Return);
  dlg.answerInput(QStringLiteral("TextOut,10,60,\"間隔\",2"));
  trigger(*w, "I2");
  const QStringList lines = w->model().ListByManual();
  ASSERT_EQ(lines.size(), 12);
  EXPECT_EQ(lines[9], QStringLiteral("PICTURE,pic.bmp,70,10,90,25"));
  EXPECT_EQ(lines[10], QStringLiteral("TextOut,53,25,") + quoted(QStringLiteral("答え～「ａ」\"q\"")) +
                           QStringLiteral(",Nil"));

  w->DrawGraphics();
  const QImage asManual = w->renderer().Image1().copy();
  const QString file = dir.path("manual.lst");
  dlg.answerSaveFile(file);
  trigger(*w, "L1");
  const std::optional<QByteArray> decoded = iconvFromCp932(file);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(QString::fromUtf8(*decoded), lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));

  // The list index file names the saved list; the next show reads it and empties the manual list.
  QString error;
  ASSERT_TRUE(writeCp932Lines(dir.path("Gazumo.prv"), {QStringLiteral("manual.lst")}, &error));
  w->hide();
  showWindow(*w);
  EXPECT_EQ(w->model().ListByFile(), lines);
  EXPECT_TRUE(w->model().ListByManual().isEmpty());
  w->DrawGraphics();
  const QImage asFile = w->renderer().Image1().copy();
  ASSERT_FALSE(asFile.isNull());
  EXPECT_EQ(asFile, asManual) << "the same page";

  // The same, call by call, on recording canvases.
  testing::Recorders rec = recordOn(*w);
  w->DrawGraphics();
  const std::vector<RecordingCanvas::Call> fromFile = rec.screen->calls();
  EXPECT_TRUE(hasText(*rec.screen, QStringLiteral("答え～「ａ」\"q\"")));
  EXPECT_EQ(rec.screen->callsOf(RecordingCanvas::Op::Picture).size(), 1u);
  // The saved list is also a list index file of its own.
  w->model().setListIniFile(file);
  ASSERT_TRUE(w->model().LoadListFile());
  EXPECT_EQ(w->model().ListByFile(), lines);
  rec.screen->clearCalls();
  w->DrawGraphics();
  expectSameCalls(rec.screen->calls(), fromFile);
  w->model().setListIniFile(QString());  // the default index file again
  ASSERT_TRUE(QFile::remove(dir.path("Gazumo.prv")));
  w->PrevUpDateFile();  // no list file now
  ASSERT_TRUE(w->model().ListByFile().isEmpty());
  w->model().ListByManual() = lines;
  rec.screen->clearCalls();
  w->PrevUpDateManual();
  expectSameCalls(rec.screen->calls(), fromFile);
  EXPECT_TRUE(dlg.messages().isEmpty());
}

TEST(PreviewEditing, DiscardAsksFirst) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  w->model().ListByManual() = {QStringLiteral("TextOut,1,1,\"手\",Nil")};
  dlg.answerYesNo(false);
  trigger(*w, "D1");
  EXPECT_EQ(w->model().ListByManual().size(), 1);
  EXPECT_TRUE(rec.screen->calls().empty()) << "No draws nothing";

  dlg.answerYesNo(true);
  trigger(*w, "D1");
  EXPECT_TRUE(w->model().ListByManual().isEmpty());
  EXPECT_FALSE(rec.screen->calls().empty()) << "Yes redraws";
  EXPECT_FALSE(hasText(*rec.screen, QStringLiteral("手")));
  ASSERT_EQ(dlg.shown().size(), 2u);
  for (const auto& d : dlg.shown()) {
    EXPECT_EQ(d.kind, DialogKind::YesNo);
    EXPECT_EQ(d.text, QStringLiteral("入力リストを破棄してもいいですか"));
  }
}

// ---- The close question -----------------------------------------------------------------------

TEST(PreviewEditing, CloseQuestionOnlyWithAManualList) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  EXPECT_TRUE(closeThroughFrame(*w));
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(dlg.shown().empty()) << "an empty manual list is closed without asking";

  // "閉じる(&C)" asks as the frame does; PrevEnd never asks.
  showWindow(*w);
  w->model().ListByManual() << QStringLiteral("Line,0,0,1,1");
  dlg.answerYesNoCancel(Answer::No);
  trigger(*w, "Close1");
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(dlg.texts(), QStringList{"Save data?"});
  showWindow(*w);
  w->model().ListByManual() << QStringLiteral("Line,0,0,1,1");
  w->PrevEnd();
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(dlg.shown().size(), 1u);
}

TEST(PreviewEditing, CloseQuestionAnswers) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  const QStringList manual = {QStringLiteral("TextOut,1,1,\"保存\",Nil")};
  const auto showWithList = [&] {
    showWindow(*w);
    w->model().ListByManual() = manual;
  };

  // Cancel: the window stays, with its list.
  showWithList();
  dlg.answerYesNoCancel(Answer::Cancel);
  EXPECT_FALSE(closeThroughFrame(*w));
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->model().ListByManual(), manual);
  ASSERT_EQ(dlg.shown().size(), 1u);
  EXPECT_EQ(dlg.shown()[0].kind, DialogKind::YesNoCancel);
  EXPECT_EQ(dlg.shown()[0].text, QStringLiteral("Save data?"));

  // No: closed, nothing saved.
  const QStringList files = dir.entries();
  dlg.answerYesNoCancel(Answer::No);
  EXPECT_TRUE(closeThroughFrame(*w));
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(dir.entries(), files);

  // Yes: saved, then closed.
  showWithList();
  dlg.answerYesNoCancel(Answer::Yes).answerSaveFile(dir.path("closing.lst"));
  EXPECT_TRUE(closeThroughFrame(*w));
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(dir.readFile(QStringLiteral("closing.lst")),
            encodeCp932(manual[0] + QStringLiteral("\r\n")).value_or(QByteArray()));

  // Yes, and the save dialog cancelled: closed all the same.
  showWithList();
  dlg.answerYesNoCancel(Answer::Yes).answerSaveFile(std::nullopt);
  EXPECT_TRUE(closeThroughFrame(*w));
  EXPECT_FALSE(w->isVisible());

  // Yes, and the file could not be written: the failure is shown and the window stays with its
  // list, which the next show would empty.
  showWithList();
  dlg.answerYesNoCancel(Answer::Yes).answerSaveFile(dir.path("missing/closing.lst"));
  EXPECT_FALSE(closeThroughFrame(*w));
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->model().ListByManual(), manual);
  ASSERT_EQ(dlg.messages().size(), 1);
  EXPECT_TRUE(dlg.messages()[0].startsWith(QStringLiteral("入力リストを保存できませんでした")));
  dlg.answerYesNoCancel(Answer::No);
  EXPECT_TRUE(closeThroughFrame(*w));
}

TEST(PreviewEditing, InertWindowClosesWithoutAsking) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage, /*queryable=*/false);
  ASSERT_EQ(w->ErrorNum(), 1);
  dlg.clear();  // the printer message of creation
  w->model().ListByManual() << QStringLiteral("Line,0,0,1,1");
  w->show();
  QApplication::processEvents();
  EXPECT_TRUE(closeThroughFrame(*w));
  EXPECT_TRUE(dlg.shown().empty());
}

// ---- "コマンド入力(&I)" -------------------------------------------------------------------------

TEST(PreviewEditing, CommandInputAppendsTheTextUncheckedAndRedraws) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  dlg.answerInput(std::nullopt);
  trigger(*w, "I2");
  EXPECT_TRUE(w->model().ListByManual().isEmpty());
  EXPECT_TRUE(rec.screen->calls().empty()) << "Cancel draws nothing";
  ASSERT_EQ(dlg.shown().size(), 1u);
  EXPECT_EQ(dlg.shown()[0].kind, DialogKind::Input);
  EXPECT_EQ(dlg.shown()[0].caption, QStringLiteral("コマンド入力"));
  EXPECT_EQ(dlg.shown()[0].text, QStringLiteral("挿入するコマンド列を入力して下さい"));
  EXPECT_EQ(dlg.shown()[0].detail, QStringLiteral("追加するコマンド"));

  dlg.answerInput(QStringLiteral("TextOut,5,5,\"入力\",Nil"));
  trigger(*w, "I2");
  EXPECT_EQ(w->model().ListByManual(), QStringList{QStringLiteral("TextOut,5,5,\"入力\",Nil")});
  EXPECT_TRUE(hasText(*rec.screen, QStringLiteral("入力")));
  // Not a command: appended all the same, exactly as typed.
  const QString junk = QStringLiteral("  nonsense,,\"  ");
  dlg.answerInput(junk);
  trigger(*w, "I2");
  EXPECT_EQ(w->model().ListByManual().size(), 2);
  EXPECT_EQ(w->model().ListByManual().last(), junk);
}

// ---- "文字(&M)" ---------------------------------------------------------------------------------

TEST(PreviewEditing, FontItemAppendsWhatDiffersFromTheRememberedFont) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  EXPECT_EQ(w->rememberedFont().name, QStringLiteral("ＭＳ Ｐ明朝"));
  EXPECT_EQ(w->rememberedFont().size, 9);

  const QString gothic = QStringLiteral("ＭＳ Ｐゴシック");
  const struct {
    std::optional<FontChoice> choice;  // nothing: Cancel
    QStringList appended;
  } steps[] = {
      {std::nullopt, {}},
      {fontChoice(gothic, 12), {QStringLiteral("FontName,\"ＭＳ Ｐゴシック\""), QStringLiteral("FontSize,12")}},
      // The same name and size again: nothing.
      {fontChoice(gothic, 12), {}},
      // A colour is never remembered: it comes again each time.
      {fontChoice(gothic, 12, Qt::red), {QStringLiteral("FontColor,RED")}},
      {fontChoice(gothic, 12, Qt::red), {QStringLiteral("FontColor,RED")}},
      // Nor is a style.
      {fontChoice(gothic, 12, Qt::black, true, false, true),
       {QStringLiteral("FontStyle,BOLD"), QStringLiteral("FontStyle,UNDERLINE")}},
      {fontChoice(gothic, 12, Qt::black, true, false, true),
       {QStringLiteral("FontStyle,BOLD"), QStringLiteral("FontStyle,UNDERLINE")}},
      {fontChoice(QStringLiteral("ＭＳ 明朝"), 20, Qt::blue, false, true, false, true),
       {QStringLiteral("FontName,\"ＭＳ 明朝\""), QStringLiteral("FontSize,20"),
        QStringLiteral("FontColor,BLUE"), QStringLiteral("FontStyle,ITALIC"),
        QStringLiteral("FontStyle,STRIKEOUT")}},
      // Only the size differs; names are compared exactly.
      {fontChoice(QStringLiteral("ＭＳ 明朝"), 10), {QStringLiteral("FontSize,10")}},
      {fontChoice(QStringLiteral("ms 明朝"), 10), {QStringLiteral("FontName,\"ms 明朝\"")}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.appended.join(QLatin1Char(' ')).toStdString());
    const CanvasFont remembered = w->rememberedFont();
    const int before = w->model().ListByManual().size();
    dlg.clear();
    dlg.answerFont(step.choice);
    trigger(*w, "Font2");
    // The dialog opened on the remembered font: its name and size, black, no style.
    ASSERT_EQ(dlg.shown().size(), 1u);
    EXPECT_EQ(dlg.shown()[0].kind, DialogKind::Font);
    EXPECT_EQ(dlg.shown()[0].text, drawnFamily(remembered.name));
    QFont shown;
    ASSERT_TRUE(shown.fromString(dlg.shown()[0].detail));
    EXPECT_EQ(shown.pointSize(), remembered.size);
    EXPECT_FALSE(shown.bold() || shown.italic() || shown.underline() || shown.strikeOut());
    EXPECT_EQ(w->model().ListByManual().mid(before), step.appended);
    if (step.choice) {
      EXPECT_EQ(w->rememberedFont().name, step.choice->font.family());
      EXPECT_EQ(w->rememberedFont().size, step.choice->font.pointSize());
    } else {
      EXPECT_TRUE(w->rememberedFont() == remembered);
    }
    EXPECT_EQ(w->rememberedFont().color, 0u);
    EXPECT_FALSE(w->rememberedFont().bold || w->rememberedFont().italic ||
                 w->rememberedFont().underline || w->rememberedFont().strikeout);
  }
  EXPECT_TRUE(rec.screen->calls().empty()) << "no redraw";
}

TEST(PreviewEditing, FontNameWithAQuoteIsDoubled) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  FontChoice c = fontChoice(QStringLiteral("Odd"), 9);
  c.font.setFamily(QStringLiteral("Odd \"Face\""));
  ASSERT_EQ(c.font.family(), QStringLiteral("Odd \"Face\""));
  dlg.answerFont(c);
  trigger(*w, "Font2");
  EXPECT_EQ(w->model().ListByManual(), QStringList{QStringLiteral("FontName,\"Odd \"\"Face\"\"\"")});
}

// ---- "ペン色(&C)", "ペン幅(&W)", "初期値(&D)" ------------------------------------------------------

TEST(PreviewEditing, PenColourItem) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  dlg.answerColor(QColor(Qt::red));
  trigger(*w, "C3");
  dlg.answerColor(std::nullopt);
  trigger(*w, "C3");
  dlg.answerColor(QColor(1, 2, 3));  // a colour without a word of its own
  trigger(*w, "C3");
  dlg.answerColor(QColor(0x80, 0x80, 0x80));
  trigger(*w, "C3");
  EXPECT_EQ(w->model().ListByManual(),
            (QStringList{QStringLiteral("PenColor,RED"), QStringLiteral("PenColor,BLACK"),
                         QStringLiteral("PenColor,DKGRAY")}));
  // The dialog opens on the colour last chosen in it.
  ASSERT_EQ(dlg.shown().size(), 4u);
  EXPECT_EQ(dlg.shown()[0].text, QStringLiteral("#000000"));
  EXPECT_EQ(dlg.shown()[1].text, QStringLiteral("#ff0000"));
  EXPECT_EQ(dlg.shown()[2].text, QStringLiteral("#ff0000"));
  EXPECT_EQ(dlg.shown()[3].text, QStringLiteral("#010203"));
  EXPECT_TRUE(rec.screen->calls().empty()) << "no redraw";
}

TEST(PreviewEditing, PenWidthItemTakesWholeNumbersAboveZero) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  const struct {
    const char* text;
    const char* line;  // null: nothing appended
  } cases[] = {
      {"3", "PenWidth,3"},       {"+3", "PenWidth,3"},      {"  7", "PenWidth,7"},
      {"$10", "PenWidth,16"},    {"0x1A", "PenWidth,26"},   {"X1a", "PenWidth,26"},
      {"2147483647", "PenWidth,2147483647"},
      {"0", nullptr},            {"-2", nullptr},           {"2.5", nullptr},
      {"abc", nullptr},          {"", nullptr},             {"3 ", nullptr},
      {"3x", nullptr},           {"2147483648", nullptr},   {"$", nullptr},
      {"-0", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    dlg.clear();
    const int before = w->model().ListByManual().size();
    dlg.answerInput(QString::fromLatin1(c.text));
    trigger(*w, "W1");
    ASSERT_EQ(dlg.shown().size(), 1u) << "no message either way";
    EXPECT_EQ(dlg.shown()[0].caption, QStringLiteral("Change Pen Width"));
    EXPECT_EQ(dlg.shown()[0].text, QStringLiteral("New pen width"));
    EXPECT_EQ(dlg.shown()[0].detail, QString());
    const QStringList added = w->model().ListByManual().mid(before);
    if (c.line)
      EXPECT_EQ(added, QStringList{QString::fromLatin1(c.line)});
    else
      EXPECT_TRUE(added.isEmpty()) << added.join(QLatin1Char(' ')).toStdString();
  }
  dlg.clear();
  dlg.answerInput(std::nullopt);
  const int before = w->model().ListByManual().size();
  trigger(*w, "W1");
  EXPECT_EQ(w->model().ListByManual().size(), before);
  EXPECT_TRUE(rec.screen->calls().empty()) << "no redraw";
}

TEST(PreviewEditing, ResetItemAppendsInitParamAndResetsThePageCanvasAtOnce) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  Canvas& canvas = w->model().screenCanvas();
  canvas.font.name = QStringLiteral("Other");
  canvas.font.size = 30;
  canvas.font.color = 0xFF;
  canvas.font.bold = canvas.font.italic = canvas.font.underline = canvas.font.strikeout = true;
  canvas.pen.width = 7;
  canvas.pen.color = 0xFF00;
  canvas.pen.style = PenStyle::Dot;
  canvas.setBrushColor(0xFF0000);
  trigger(*w, "D2");
  EXPECT_EQ(w->model().ListByManual(), QStringList{QStringLiteral("INITPARAM")});
  EXPECT_EQ(canvas.font.name, QStringLiteral("ＭＳ Ｐゴシック"));
  EXPECT_EQ(canvas.font.size, 9);
  EXPECT_EQ(canvas.font.color, 0u);
  EXPECT_FALSE(canvas.font.bold || canvas.font.italic || canvas.font.underline || canvas.font.strikeout);
  EXPECT_EQ(canvas.pen.width, 1);
  EXPECT_EQ(canvas.pen.color, 0u);
  EXPECT_EQ(int(canvas.pen.style), int(PenStyle::Solid));
  EXPECT_EQ(canvas.brush.color, 0xFFFFFFu);
  EXPECT_FALSE(canvas.brush.solid);
  EXPECT_TRUE(rec.screen->calls().empty()) << "no redraw";
  EXPECT_TRUE(dlg.shown().empty());
}

// ---- Text typed onto the page ------------------------------------------------------------------

TEST(PreviewEditing, TextInputModeToggledByItsItemOnly) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  EXPECT_FALSE(action(*w, "E1")->isChecked());
  QTest::mouseClick(w->Image1, Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_TRUE(w->EdtInput->isHidden()) << "off: a click shows nothing";
  action(*w, "E1")->trigger();
  EXPECT_TRUE(action(*w, "E1")->isChecked());
  EXPECT_TRUE(w->EdtInput->isHidden()) << "choosing the item shows nothing";
  QTest::mouseClick(w->Image1, Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_TRUE(w->EdtInput->isVisible());
  QTest::keyClick(w->EdtInput, Qt::Key_Escape);
  action(*w, "E1")->trigger();
  EXPECT_FALSE(action(*w, "E1")->isChecked());
  QTest::mouseClick(w->Image1, Qt::RightButton, {}, QPoint(100, 100));
  EXPECT_TRUE(w->EdtInput->isHidden());
  EXPECT_TRUE(w->model().ListByManual().isEmpty());
}

TEST(PreviewEditing, ClickPlacesTheBoxInThePageFontAndEnterAppendsTheText) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  testing::Recorders rec = recordOn(*w);
  showWindow(*w);
  ASSERT_EQ(w->UnitType(), PageModel::kUnitMillimetre);
  Canvas& canvas = w->model().screenCanvas();
  canvas.font.name = QStringLiteral("ＭＳ Ｐゴシック");
  canvas.font.size = 15;  // 20 pixels at 96 dpi
  action(*w, "E1")->trigger();
  QWidget* focused = QApplication::focusWidget();
  QTest::mouseClick(w->Image1, Qt::LeftButton, {}, QPoint(200, 96));
  ASSERT_TRUE(w->EdtInput->isVisible());
  EXPECT_EQ(w->EdtInput->text(), QStringLiteral("EdtInput")) << "the first text";
  EXPECT_EQ(w->textInputPagePosition(), QPoint(200, 96));
  EXPECT_EQ(w->EdtInput->mapTo(w.window.get(), QPoint(0, 0)),
            w->Image1->mapTo(w.window.get(), QPoint(200, 96)));
  EXPECT_EQ(canvas.fontHeight(), -20);
  EXPECT_EQ(w->EdtInput->height(), 28) << "8 plus the character height";
  EXPECT_EQ(w->EdtInput->font().pixelSize(), 20);
  EXPECT_EQ(w->EdtInput->font().family(), canvas.qtFont(canvas.font).family());
  EXPECT_FALSE(w->EdtInput->hasFocus()) << "the focus is not moved";
  EXPECT_EQ(QApplication::focusWidget(), focused);
  EXPECT_TRUE(rec.screen->calls().empty());

  w->EdtInput->setText(QStringLiteral("答え"));
  QTest::keyClick(w->EdtInput, Qt::Key_Return);
  EXPECT_TRUE(w->EdtInput->isHidden());
  // 200 × 25.4 / 96 = 52.92 and 96 × 25.4 / 96 = 25.4.
  EXPECT_EQ(w->model().ListByManual(), QStringList{QStringLiteral("TextOut,53,25,\"答え\",Nil")});
  const auto texts = rec.screen->callsOf(RecordingCanvas::Op::Text);
  const auto drawn = std::find_if(texts.begin(), texts.end(),
                                  [](const RecordingCanvas::Call& c) { return c.text == QStringLiteral("答え"); });
  ASSERT_NE(drawn, texts.end()) << "Enter redraws";
  EXPECT_EQ(drawn->x1, w->model().UnitToDevX(53));
  EXPECT_EQ(drawn->y1, w->model().UnitToDevY(25));

  // The text stays for the next use; Escape appends nothing; Enter on an empty box appends an
  // empty text; the Enter of the keypad counts too; inner quotes are doubled.
  QTest::mouseClick(w->Image1, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(w->EdtInput->text(), QStringLiteral("答え"));
  QTest::keyClick(w->EdtInput, Qt::Key_Escape);
  EXPECT_TRUE(w->EdtInput->isHidden());
  EXPECT_EQ(w->model().ListByManual().size(), 1);
  QTest::mouseClick(w->Image1, Qt::LeftButton, {}, QPoint(1, 1));
  w->EdtInput->clear();
  QTest::keyClick(w->EdtInput, Qt::Key_Enter, Qt::KeypadModifier);
  QTest::mouseClick(w->Image1, Qt::MiddleButton, {}, QPoint(96, 192));
  w->EdtInput->setText(QStringLiteral("say \"hi\""));
  QTest::keyClick(w->EdtInput, Qt::Key_Return);
  EXPECT_EQ(w->model().ListByManual(),
            (QStringList{QStringLiteral("TextOut,53,25,\"答え\",Nil"), QStringLiteral("TextOut,0,0,\"\",Nil"),
                         QStringLiteral("TextOut,25,51,\"say \"\"hi\"\"\",Nil")}));
  // Other keys are typed.
  QTest::mouseClick(w->Image1, Qt::LeftButton, {}, QPoint(1, 1));
  w->EdtInput->clear();
  QTest::keyClicks(w->EdtInput, QStringLiteral("ab"));
  EXPECT_EQ(w->EdtInput->text(), QStringLiteral("ab"));
  EXPECT_TRUE(w->EdtInput->isVisible());
}

TEST(PreviewEditing, TypedTextIsRoundedToWholeUnits) {
  const struct {
    int unit;
    QPoint at;
    const char* line;
  } cases[] = {
      {PageModel::kUnitMillimetre, QPoint(200, 96), "TextOut,53,25,\"t\",Nil"},
      // Whole inches: 150 / 96 = 1.5625, 100 / 96 = 1.04; 48 / 96 = 0.5 rounds away from zero.
      {PageModel::kUnitInch, QPoint(150, 100), "TextOut,2,1,\"t\",Nil"},
      {PageModel::kUnitInch, QPoint(48, 47), "TextOut,1,0,\"t\",Nil"},
      // Printer pixels: 600 / 96 = 6.25 per screen pixel.
      {PageModel::kUnitPixel, QPoint(200, 3), "TextOut,1250,19,\"t\",Nil"},
      {PageModel::kUnitPixel, QPoint(2, 1), "TextOut,13,6,\"t\",Nil"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    PreviewFolder dir;
    ScriptedDialogs dlg;
    FixedPreview w(dir.settings(), k600, kPage);
    showWindow(*w);
    trigger(*w, c.unit == PageModel::kUnitPixel ? "Pixel1" : c.unit == PageModel::kUnitInch ? "Inch1" : "mm1");
    ASSERT_EQ(w->UnitType(), c.unit);
    action(*w, "E1")->trigger();
    QTest::mouseClick(w->Image1, Qt::LeftButton, {}, c.at);
    w->EdtInput->setText(QStringLiteral("t"));
    QTest::keyClick(w->EdtInput, Qt::Key_Return);
    EXPECT_EQ(w->model().ListByManual(), QStringList{QString::fromUtf8(c.line)});
  }
}

TEST(PreviewEditing, NoTextInputInPageView) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  action(*w, "E1")->trigger();
  QTest::mouseClick(w->Image1, Qt::LeftButton, {}, QPoint(50, 50));
  ASSERT_TRUE(w->EdtInput->isVisible());
  // The box stands on the 1:1 page: it goes when the shrunk page is shown.
  trigger(*w, "Page1");
  EXPECT_TRUE(w->EdtInput->isHidden());
  QTest::mouseClick(w->Image2, Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_TRUE(w->EdtInput->isHidden());
  trigger(*w, "WysiWyg2");
  QTest::mouseClick(w->Image1, Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_TRUE(w->EdtInput->isVisible());
}

// The user clicks a point of the viewport while the 1:1 page is scrolled: the box appears under
// the pointer, and the text lands at that point of the page.
TEST(PreviewEditing, TypedTextLandsWhereClickedOnAScrolledPage) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  showWindow(*w);
  ASSERT_EQ(w->UnitType(), PageModel::kUnitMillimetre);
  auto* scroll = w->findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  ASSERT_GE(scroll->horizontalScrollBar()->maximum(), 100);
  ASSERT_GE(scroll->verticalScrollBar()->maximum(), 300);
  scroll->horizontalScrollBar()->setValue(100);
  scroll->verticalScrollBar()->setValue(300);
  QApplication::processEvents();
  action(*w, "E1")->trigger();

  // The widget under the pointer at viewport point (50, 40) takes the click.
  const QPoint inViewport(50, 40);
  const QPoint inWindow = scroll->viewport()->mapTo(w.window.get(), inViewport);
  QWidget* under = w->childAt(inWindow);
  ASSERT_EQ(under, w->Image1);
  const QPoint local = under->mapFrom(w.window.get(), inWindow);
  EXPECT_EQ(local, inViewport + QPoint(100, 300)) << "the page point under the pointer";
  QTest::mouseClick(under, Qt::LeftButton, {}, local);
  ASSERT_TRUE(w->EdtInput->isVisible());
  EXPECT_EQ(w->EdtInput->mapTo(w.window.get(), QPoint(0, 0)), inWindow) << "the box is under the pointer";
  EXPECT_EQ(w->textInputPagePosition(), QPoint(150, 340));

  // Scrolling on before Enter moves the box with the page, not the text.
  scroll->horizontalScrollBar()->setValue(0);
  scroll->verticalScrollBar()->setValue(0);
  QApplication::processEvents();
  w->EdtInput->setText(QStringLiteral("■■■■"));
  QTest::keyClick(w->EdtInput, Qt::Key_Return);
  // 150 × 25.4 / 96 = 39.69 and 340 × 25.4 / 96 = 89.96.
  ASSERT_EQ(w->model().ListByManual(), QStringList{QStringLiteral("TextOut,40,90,\"■■■■\",Nil")});

  // Drawn at the clicked page point (within the rounding to whole millimetres), not at the
  // viewport point.
  const QImage& page = w->renderer().Image1();
  const auto darkIn = [&page](QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (qGray(page.pixel(x, y)) < 128) ++n;
    return n;
  };
  EXPECT_GT(darkIn(QRect(148, 338, 40, 16)), 20);
  EXPECT_EQ(darkIn(QRect(40, 30, 60, 30)), 0);
  EXPECT_LE(std::abs(w->model().UnitToDevX(40) - 150), 2);
  EXPECT_LE(std::abs(w->model().UnitToDevY(90) - 340), 2);

  // Enter while the page is still scrolled: the page point again, not the viewport point.
  scroll->horizontalScrollBar()->setValue(200);
  scroll->verticalScrollBar()->setValue(400);
  QApplication::processEvents();
  const QPoint second = scroll->viewport()->mapTo(w.window.get(), QPoint(10, 20));
  ASSERT_EQ(w->childAt(second), w->Image1);
  QTest::mouseClick(w->Image1, Qt::LeftButton, {}, w->Image1->mapFrom(w.window.get(), second));
  w->EdtInput->setText(QStringLiteral("二"));
  QTest::keyClick(w->EdtInput, Qt::Key_Return);
  // (210, 420) pixels: 55.56 and 111.13 mm.
  ASSERT_EQ(w->model().ListByManual().size(), 2);
  EXPECT_EQ(w->model().ListByManual()[1], QStringLiteral("TextOut,56,111,\"二\",Nil"));
}

// ---- Page strings -------------------------------------------------------------------------------

struct PageStrItem {
  const char* item;
  const char* caption;
  TPageStr PageModel::*ps;
  bool (TFrmPrev::*op)();
};

const PageStrItem kPageStrItems[] = {
    {"H1", "ヘッダーの設定", &PageModel::Header, &TFrmPrev::Set_SetOfHeader},
    {"F1", "フッターの設定", &PageModel::Footer, &TFrmPrev::Set_SetOfFooter},
    {"T1", "タイトルの設定", &PageModel::PageTitle, &TFrmPrev::Set_SetOfPageTitle},
    {"S1", "サブタイトルの設定", &PageModel::SubTitle, &TFrmPrev::Set_SetOfSubTitle},
};

void expectSamePageStr(const TPageStr& a, const TPageStr& b) {
  EXPECT_EQ(a.psStr, b.psStr);
  EXPECT_EQ(a.psPos, b.psPos);
  EXPECT_EQ(a.psX, b.psX);
  EXPECT_EQ(a.psY, b.psY);
  EXPECT_EQ(a.psItalic, b.psItalic);
  EXPECT_EQ(a.psBold, b.psBold);
  EXPECT_EQ(a.psSize, b.psSize);
  EXPECT_EQ(a.psName, b.psName);
  EXPECT_EQ(a.psDrawn, b.psDrawn);
}

TEST(PreviewEditing, PageStringItemsEditThroughTheDialog) {
  for (const PageStrItem& p : kPageStrItems) {
    SCOPED_TRACE(p.item);
    PreviewFolder dir;
    ScriptedDialogs dlg;
    FixedPreview w(dir.settings(), k600, kPage);
    TFrmPageStr dialog;
    w->setPageStrDialog(&dialog);
    testing::Recorders rec = recordOn(*w);
    showWindow(*w);
    TPageStr& ps = w->model().*(p.ps);
    ps.SetSets(QStringLiteral("第1回"), QStringLiteral("ＭＳ 明朝"), 12, 3, QStringLiteral("5"),
               QStringLiteral("6"), true, false);
    ps.psDrawn = true;
    QAction* mark = action(*w, p.item);
    ASSERT_FALSE(mark->isChecked());
    const TPageStr original = ps;

    // Cancel after changing every control: the page string and the mark as they were.
    dlg.answerFont(fontChoice(QStringLiteral("IPAPGothic"), 20, Qt::red, false, true));
    whileModal(dialog, [&] {
      EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(p.caption));
      EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("第1回"));
      EXPECT_EQ(dialog.ComboBox1->currentIndex(), 3);
      EXPECT_TRUE(dialog.CheckBox1->isChecked());
      EXPECT_FALSE(dialog.CheckBox2->isChecked());
      EXPECT_EQ(dialog.EdtX->text(), QStringLiteral("5"));
      EXPECT_EQ(dialog.EdtY->text(), QStringLiteral("6"));
      EXPECT_EQ(dialog.StrFont.size, 12);
      dialog.Edit1->setText(QStringLiteral("変更"));
      dialog.ComboBox1->setCurrentIndex(1);
      QTest::mouseClick(dialog.Button1, Qt::LeftButton);  // the font dialog
      dialog.CheckBox1->click();
      dialog.EdtX->setText(QStringLiteral("7"));
      dialog.EdtY->setText(QStringLiteral("8"));
      QTest::mouseClick(dialog.Button3, Qt::LeftButton);
    });
    trigger(*w, p.item);
    expectSamePageStr(ps, original);
    EXPECT_FALSE(mark->isChecked());

    // OK with an empty text: stored, and the mark stays off.
    whileModal(dialog, [&] {
      dialog.Edit1->clear();
      QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    });
    EXPECT_TRUE(((*w).*(p.op))());
    EXPECT_EQ(ps.psStr, QString());
    EXPECT_EQ(ps.psPos, 3);
    EXPECT_FALSE(mark->isChecked());

    // OK with a text: stored in full, the mark set; the drawn mark is not touched.
    whileModal(dialog, [&] {
      dialog.Edit1->setText(QStringLiteral("新しい見出し"));
      dialog.ComboBox1->setCurrentIndex(4);
      dialog.CheckBox1->click();  // bold off
      dialog.CheckBox2->click();  // italic on
      dialog.EdtX->setText(QStringLiteral("12.5"));
      dialog.EdtY->setText(QStringLiteral("1e2"));
      QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    });
    trigger(*w, p.item);
    EXPECT_EQ(ps.psStr, QStringLiteral("新しい見出し"));
    EXPECT_EQ(ps.psPos, 4);
    EXPECT_FALSE(ps.psBold);
    EXPECT_TRUE(ps.psItalic);
    EXPECT_EQ(ps.psX, QStringLiteral("12.5"));
    EXPECT_EQ(ps.psY, QStringLiteral("1e2"));
    EXPECT_EQ(ps.psSize, 12);
    EXPECT_EQ(ps.psName, QStringLiteral("ＭＳ 明朝"));
    EXPECT_TRUE(ps.psDrawn);
    EXPECT_TRUE(mark->isChecked());

    // Cancel and an empty text leave the mark on.
    whileModal(dialog, [&] { QTest::mouseClick(dialog.Button3, Qt::LeftButton); });
    EXPECT_FALSE(((*w).*(p.op))());
    EXPECT_TRUE(mark->isChecked());
    whileModal(dialog, [&] {
      dialog.Edit1->clear();
      QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    });
    trigger(*w, p.item);
    EXPECT_EQ(ps.psStr, QString());
    EXPECT_TRUE(mark->isChecked()) << "nothing clears the mark";

    // The other three page strings were not touched, and nothing was drawn.
    for (const PageStrItem& other : kPageStrItems)
      if (other.ps != p.ps) {
        EXPECT_EQ((w->model().*(other.ps)).psStr, QString()) << other.item;
        EXPECT_FALSE(action(*w, other.item)->isChecked()) << other.item;
      }
    EXPECT_TRUE(rec.screen->calls().empty()) << "the page is not redrawn";
    EXPECT_EQ(dlg.pendingReplies(), 0u);
  }
}

TEST(PreviewEditing, PageStringWithoutAPositionComesBackAsMinusOne) {
  PreviewFolder dir;
  ScriptedDialogs dlg;
  FixedPreview w(dir.settings(), k600, kPage);
  TFrmPageStr dialog;
  w->setPageStrDialog(&dialog);
  showWindow(*w);
  w->model().Footer.SetSets(QStringLiteral("脚注"), QStringLiteral("ＭＳ 明朝"), 12, 9,
                            QStringLiteral("0"), QStringLiteral("0"), false, false);
  whileModal(dialog, [&] {
    EXPECT_EQ(dialog.ComboBox1->currentIndex(), -1);
    QTest::mouseClick(dialog.Button2, Qt::LeftButton);
  });
  EXPECT_TRUE(w->Set_SetOfFooter());
  EXPECT_EQ(w->model().Footer.psPos, -1);
  EXPECT_EQ(w->model().Footer.psSize, 12);
  EXPECT_TRUE(action(*w, "F1")->isChecked());
}

}  // namespace
}  // namespace zubira
