// PDF files of whole pages: A4, one page per addPage, written whole or not at all whatever goes
// wrong (an unwritable folder, a full disk, a file given up), the file that was there kept.

#include "drawing/page_model.h"
#include "drawing/page_renderer.h"
#include "drawing/pdf_pages.h"
#include "drawing/printer_access.h"

#include "tests/support/fault_injection.h"
#include "tests/support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zubira {
namespace {

using testing::FileSizeLimit;
using testing::NoPermissionOverride;
using testing::ReadOnlyFolder;

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The page objects of a PDF and their media boxes.
int pageCount(const QByteArray& pdf) {
  return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

// Qt's PDF printer on A4, the whole page printable, the model that measures it and its pages.
class A4Printer {
 public:
  explicit A4Printer(int dpi) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(dpi);
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                       QPageLayout::Millimeter));
    printer->setFullPage(true);
    QPrinter* p = printer.get();
    model_ = std::make_unique<PageModel>(std::make_unique<QtPrinterAccess>(std::move(printer)), 96);
    renderer_ = std::make_unique<PageRenderer>(*model_);
    pages_ = std::make_unique<PdfPages>(*p, *model_, *renderer_);
  }
  ~A4Printer() { pages_.reset(); }
  bool ready() { return model_->ReadPrinterMetrics() && model_->GetPageSize(); }
  PageModel& model() { return *model_; }
  PdfPages& pages() { return *pages_; }

 private:
  std::unique_ptr<PageModel> model_;
  std::unique_ptr<PageRenderer> renderer_;
  std::unique_ptr<PdfPages> pages_;
};

class PdfPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(out_.ready());
    out_.model().setUnitType(PageModel::kUnitMillimetre);
    out_.model().ListByManual() << "Line,10,10,100,100" << "TextOut,20,20,\"page\"";
  }
  QStringList entries() const {
    return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  }
  void putOld(const QString& path) const {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
  }
  QTemporaryDir dir_;
  testing::ScriptedDialogs dialogs_;
  A4Printer out_{300};
};

TEST_F(PdfPagesTest, PagesOnA4InOneFile) {
  for (int n : {1, 3}) {
    const QString path = dir_.filePath(QStringLiteral("pages%1.pdf").arg(n));
    PdfPages& pages = out_.pages();
    ASSERT_TRUE(pages.begin(path));
    EXPECT_TRUE(pages.active());
    EXPECT_FALSE(QFile::exists(path)) << "nothing under the name before the end";
    for (int k = 0; k < n; ++k) ASSERT_TRUE(pages.addPage());
    EXPECT_EQ(pages.pages(), n);
    ASSERT_TRUE(pages.finish());
    EXPECT_FALSE(pages.active());
    const QByteArray pdf = readAll(path);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(pageCount(pdf), n);
    EXPECT_TRUE(QString::fromLatin1(pdf).contains(QRegularExpression(QStringLiteral("/MediaBox \\[0 0 595(\\.\\d+)? 84[12]"))))
        << "A4";
  }
  EXPECT_EQ(entries(), (QStringList{"pages1.pdf", "pages3.pdf"})) << "no part file left";
  EXPECT_EQ(out_.model().nTgtCanvas(), PageModel::kTargetScreen) << "the target is put back";
}

TEST_F(PdfPagesTest, GivenUpOrEmptyLeavesNothingAndKeepsTheOldFile) {
  const QString path = dir_.filePath("old.pdf");
  putOld(path);
  PdfPages& pages = out_.pages();
  ASSERT_TRUE(pages.begin(path));
  ASSERT_TRUE(pages.addPage());
  pages.abandon();
  EXPECT_EQ(readAll(path), QByteArray("old"));
  ASSERT_TRUE(pages.begin(path));
  EXPECT_FALSE(pages.finish());
  EXPECT_EQ(pages.failure(), PdfPages::Failure::Empty);
  EXPECT_EQ(readAll(path), QByteArray("old"));
  {
    A4Printer other(300);
    ASSERT_TRUE(other.ready());
    ASSERT_TRUE(other.pages().begin(dir_.filePath("dropped.pdf")));
    ASSERT_TRUE(other.pages().addPage());
  }  // gone unfinished
  EXPECT_EQ(entries(), QStringList{"old.pdf"});
  // The printer is still a PDF printer that writes the next file.
  ASSERT_TRUE(pages.begin(dir_.filePath("next.pdf")) && pages.addPage() && pages.finish());
  EXPECT_TRUE(readAll(dir_.filePath("next.pdf")).startsWith("%PDF-"));
}

TEST_F(PdfPagesTest, UnwritableFolderFailsAtTheStart) {
  ReadOnlyFolder folder(dir_, "locked");
  folder.put("old.pdf", "old");
  folder.lock();
  if (!folder.refusesWrites()) GTEST_SKIP() << "this file system ignores permissions";
  for (const char* name : {"new.pdf", "old.pdf"}) {
    const QString path = folder.filePath(QLatin1String(name));
    bool begun = true;
    {
      NoPermissionOverride plain;
      begun = out_.pages().begin(path);
    }
    EXPECT_FALSE(begun) << name;
    EXPECT_EQ(out_.pages().failure(), PdfPages::Failure::Open);
    const QString message = pdfNotWrittenMessage(path, out_.pages());
    EXPECT_TRUE(message.startsWith(QStringLiteral("PDF ファイルに保存できませんでした。\r\n") +
                                   QDir::toNativeSeparators(path)))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("フォルダに書き込めるか"))) << message.toStdString();
  }
  EXPECT_EQ(folder.entries(), QStringList{"old.pdf"});
  EXPECT_EQ(readAll(folder.filePath("old.pdf")), QByteArray("old"));
}

TEST_F(PdfPagesTest, FullDiskIsSeenAndLeavesTheOldFile) {
  const QString path = dir_.filePath("page.pdf");
  putOld(path);
  PdfPages& pages = out_.pages();
  bool finished = true;
  {
    FileSizeLimit full(4096);  // less than a page with its fonts
    ASSERT_TRUE(pages.begin(path));
    ASSERT_TRUE(pages.addPage());
    ASSERT_TRUE(pages.addPage());
    finished = pages.finish();
  }
  EXPECT_FALSE(finished);
  EXPECT_EQ(pages.failure(), PdfPages::Failure::Write);
  EXPECT_TRUE(pdfNotWrittenMessage(path, pages).contains(QStringLiteral("ディスクの空き")));
  EXPECT_EQ(readAll(path), QByteArray("old"));
  EXPECT_EQ(entries(), QStringList{"page.pdf"});
  // With room again, the same pages are written.
  ASSERT_TRUE(pages.begin(path) && pages.addPage() && pages.addPage() && pages.finish());
  EXPECT_EQ(pageCount(readAll(path)), 2);
}

TEST_F(PdfPagesTest, CopiedPageCarriesListsPicturesStringsAndUnit) {
  PageModel shown(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96);
  shown.ListByManual() << "TextOut,1,1,\"manual\"";
  shown.PrevTextOut(2, 2, QStringLiteral("program"), QStringLiteral("NIL"));
  shown.PageTitle.psPos = 4;
  shown.PageTitle.psX = QStringLiteral("12");
  shown.SetCopyright(QStringLiteral("credit"));
  shown.setUnitType(PageModel::kUnitInch);
  QImage picture(3, 2, QImage::Format_RGB32);
  picture.fill(Qt::red);
  const QString file = dir_.filePath("p.png");
  ASSERT_TRUE(picture.save(file));
  ASSERT_TRUE(shown.LoadPicture(7, file).ok);

  PageModel& copy = out_.model();
  copy.copyPageFrom(shown);
  for (int n = 0; n < PageModel::kListCount; ++n) EXPECT_EQ(copy.list(n), shown.list(n)) << n;
  EXPECT_EQ(copy.PageTitle.psX, QStringLiteral("12"));
  EXPECT_EQ(copy.Copyright().psStr, QStringLiteral("credit"));
  EXPECT_EQ(copy.UnitType(), PageModel::kUnitInch);
  EXPECT_EQ(copy.Bmp(7), shown.Bmp(7));
  EXPECT_EQ(copy.PrinterResX(), 300) << "the metrics stay the copy's own";
}

}  // namespace
}  // namespace zubira
