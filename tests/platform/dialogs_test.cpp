#include "platform/qt_dialogs.h"

#include "platform/application.h"
#include "tests/support/scripted_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::DialogKind;
using testing::ScriptedDialogs;

TEST(ScriptedDialogs, AnswersInOrderAndRecordsEverything) {
  ScriptedDialogs fake;
  EXPECT_EQ(&dialogs(), &fake);
  fake.answerYesNo(false).answerInput(QStringLiteral("5")).answerYesNoCancel(Answer::No);
  dialogs().message(nullptr, QString(), QStringLiteral("列は１以上４以下でなければなりません"));
  EXPECT_FALSE(dialogs().askYesNo(nullptr, QStringLiteral("確認"), QStringLiteral("続けますか")));
  EXPECT_EQ(dialogs().inputText(nullptr, QStringLiteral("ペン幅"), QStringLiteral("幅"),
                                QStringLiteral("1")),
            std::optional<QString>(QStringLiteral("5")));
  EXPECT_EQ(dialogs().askYesNoCancel(nullptr, QString(), QStringLiteral("Save data?")), Answer::No);

  ASSERT_EQ(fake.shown().size(), 4u);
  EXPECT_EQ(fake.shown()[1].kind, DialogKind::YesNo);
  EXPECT_EQ(fake.shown()[1].caption, QStringLiteral("確認"));
  EXPECT_EQ(fake.shown()[2].detail, QStringLiteral("1"));
  EXPECT_EQ(fake.messages(), QStringList{QStringLiteral("列は１以上４以下でなければなりません")});
  EXPECT_EQ(fake.pendingReplies(), 0u);
}

TEST(ScriptedDialogs, RestoresTheRealDialogsWhenGone) {
  Dialogs* real = &dialogs();
  {
    ScriptedDialogs fake;
    EXPECT_NE(&dialogs(), real);
  }
  EXPECT_EQ(&dialogs(), real);
  EXPECT_NE(dynamic_cast<QtDialogs*>(real), nullptr);
}

TEST(ScriptedDialogs, UnexpectedDialogFailsTheTestAndIsCancelled) {
  ScriptedDialogs fake;
  std::optional<QString> got = QStringLiteral("unset");
  EXPECT_NONFATAL_FAILURE(
      got = dialogs().inputText(nullptr, QStringLiteral("C"), QStringLiteral("prompt"), QString()),
      "unexpected input box");
  EXPECT_FALSE(got.has_value());
  fake.answerYesNo(true);
  bool print = true;
  QPrinter printer;
  EXPECT_NONFATAL_FAILURE(print = dialogs().printDialog(nullptr, &printer),
                          "next reply is for a Yes/No question");
  EXPECT_FALSE(print);
  fake.clear();
}

TEST(ScriptedDialogs, UnusedReplyFailsTheTest) {
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedDialogs fake;
        fake.answerSaveFile(QStringLiteral("/tmp/x.bmp"));
      },
      "never used");
}

TEST(ScriptedDialogs, PrintReplyCanSetThePrinterUp) {
  ScriptedDialogs fake;
  fake.answerPrint(true, [](QPrinter* p) { p->setResolution(300); });
  QPrinter printer;
  EXPECT_TRUE(dialogs().printDialog(nullptr, &printer));
  EXPECT_EQ(printer.resolution(), 300);
}

// Runs `act` on the modal dialog once it is up.
template <typename Dialog, typename Act>
void whenModal(Act act) {
  QTimer::singleShot(0, [act] {
    auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    act(d);
  });
}

TEST(QtDialogs, MessageBoxShowsTextUnderTheApplicationTitle) {
  QtDialogs real;
  QString caption, text;
  whenModal<QMessageBox>([&](QMessageBox* box) {
    caption = box->windowTitle();
    text = box->text();
    box->accept();
  });
  real.message(nullptr, QString(), QStringLiteral("行は１以上１０以下でなければなりません"),
               MessageIcon::Information);
  EXPECT_EQ(caption, applicationTitle());
  EXPECT_EQ(text, QStringLiteral("行は１以上１０以下でなければなりません"));
}

TEST(QtDialogs, QuestionsHaveJapaneseButtonsAndReportTheChoice) {
  QtDialogs real;
  QString yesText;
  whenModal<QMessageBox>([&](QMessageBox* box) {
    yesText = box->button(QMessageBox::Yes)->text();
    box->button(QMessageBox::No)->click();
  });
  EXPECT_FALSE(real.askYesNo(nullptr, QStringLiteral("確認"), QStringLiteral("よろしいですか")));
  EXPECT_EQ(yesText, QStringLiteral("はい(&Y)"));

  whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Cancel)->click(); });
  EXPECT_EQ(real.askYesNoCancel(nullptr, QString(), QStringLiteral("Save data?")), Answer::Cancel);
}

TEST(QtDialogs, InputBoxReturnsTextOrNothing) {
  QtDialogs real;
  QString prompt, preset;
  whenModal<QInputDialog>([&](QInputDialog* box) {
    prompt = box->labelText();
    preset = box->textValue();
    box->setTextValue(QStringLiteral("75"));
    box->accept();
  });
  EXPECT_EQ(real.inputText(nullptr, QStringLiteral("Jpeg画像の質"), QStringLiteral("1から100"),
                           QStringLiteral("90")),
            std::optional<QString>(QStringLiteral("75")));
  EXPECT_EQ(prompt, QStringLiteral("1から100"));
  EXPECT_EQ(preset, QStringLiteral("90"));

  whenModal<QInputDialog>([](QInputDialog* box) { box->reject(); });
  EXPECT_FALSE(real.inputText(nullptr, QString(), QString(), QString()).has_value());
}

// Every text a dialog shows on its labels, buttons and title.
QStringList shownTexts(QWidget* dialog) {
  QStringList texts{dialog->windowTitle()};
  for (const QLabel* l : dialog->findChildren<QLabel*>()) texts << l->text();
  for (const QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) texts << b->text();
  return texts;
}

// Qt's own dialogs read as a Japanese desktop shows them, through Qt's catalogue.
TEST(QtDialogs, QtsOwnDialogsSpeakJapanese) {
  ASSERT_TRUE(installQtTranslations()) << "Qt's Japanese catalogue is installed with the program";
  QtDialogs real;
  struct Case {
    const char* dialog;
    std::function<void()> open;
    QStringList expected;  // among the texts shown
  };
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const Case cases[] = {
      {"question", [&] { real.askYesNoCancel(nullptr, QString(), QStringLiteral("Save data?")); },
       {QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)"), QStringLiteral("キャンセル")}},
      {"colour", [&] { real.chooseColor(nullptr, Qt::red); }, {QStringLiteral("キャンセル")}},
      {"font", [&] { real.chooseFont(nullptr, FontChoice{QFont(QStringLiteral("IPAGothic"), 12), Qt::black}); },
       {QStringLiteral("キャンセル")}},
      {"file", [&] { real.saveFileName(nullptr, SaveFileRequest{QStringLiteral("保存"), {}, {}, {}}); },
       {QStringLiteral("キャンセル")}},
      {"print", [&] { real.printDialog(nullptr, &printer); }, {QStringLiteral("印刷")}},
  };
  static const QRegularExpression kana(QStringLiteral("[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}]"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialog);
    QStringList texts;
    whenModal<QDialog>([&](QDialog* d) {
      texts = shownTexts(d);
      d->reject();
    });
    c.open();
    for (const QString& e : c.expected) EXPECT_TRUE(texts.contains(e)) << texts.join(u'|').toStdString();
    int japanese = 0;
    for (const QString& t : texts) japanese += t.contains(kana);
    EXPECT_GE(japanese, 2) << texts.join(u'|').toStdString();
  }
}

TEST(QtDialogs, OpeningAnAddressThatCannotOpenReportsFailure) {
  QtDialogs real;
  EXPECT_FALSE(real.openUrl(QUrl(QStringLiteral("nosuchscheme-zubira:whatever"))));
}

}  // namespace
}  // namespace zubira
