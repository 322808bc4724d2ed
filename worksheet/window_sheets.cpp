#include "worksheet/window_sheets.h"

#include "drawing/pdf_pages.h"
#include "platform/dialogs.h"
#include "worksheet/preview_host.h"
#include "worksheet/typesetter.h"

#include <QPlainTextEdit>

namespace zubira {

WindowSheets::WindowSheets(QWidget* window, std::function<SheetSource()> source)
    : window_(window), source_(std::move(source)) {
  typing_.setSingleShot(true);
  typing_.setInterval(500);
  QObject::connect(&typing_, &QTimer::timeout, [this] { listsChanged(); });
}

WindowSheets::~WindowSheets() = default;

void WindowSheets::setPreview(PreviewHost* preview) {
  if (preview == preview_) return;
  preview_ = preview;
  typesetter_.reset();
  shown_.reset();
}

Typesetter& WindowSheets::typesetterFor(PageModel& page) {
  if (!typesetter_) typesetter_ = std::make_unique<Typesetter>(page);
  return *typesetter_;
}

void WindowSheets::watchLists(const QList<QPlainTextEdit*>& lists) {
  for (QPlainTextEdit* list : lists)
    QObject::connect(list, &QPlainTextEdit::textChanged, &typing_, [this] {
      if (!programChange_) typing_.start();
    });
}

void WindowSheets::show(int sheetKind) {
  typing_.stop();
  if (!preview_) return;
  if (!preview_->isPreviewVisible()) preview_->showPreview();
  shown_ = sheetKind;
  const SheetSource source = source_();
  SheetFit fit;
  const auto refresh = [this] { preview_->refreshProgram(); };
  const bool composed =
      composeSheet(preview_->model(), typesetterFor(preview_->model()), source, sheetKind, 0, &fit, refresh);
  // A key too long for one page is turned page by page in the preview, from the same problems.
  preview_->setSheetPages(composed ? fit.pages : 1, [this, source, sheetKind, refresh](int page) {
    composeSheet(preview_->model(), typesetterFor(preview_->model()), source, sheetKind, page, nullptr,
                 refresh);
  });
  preview_->showStatus(composed ? FitNote(fit) : QString());
}

std::optional<int> WindowSheets::shownSheet() const {
  if (!preview_ || !preview_->isPreviewVisible()) return std::nullopt;
  return shown_;
}

void WindowSheets::listsChanged() {
  typing_.stop();
  if (const std::optional<int> sheet = shownSheet()) show(*sheet);
}

bool WindowSheets::noProblems(const SheetSource& source, const QString& why) {
  if (hasProblems(source)) return false;
  dialogs().message(window_, messageCaption(), why);
  return true;
}

QString WindowSheets::print() {
  if (!preview_) return QString();
  if (noProblems(source_(), QStringLiteral("印刷する問題がありません。\r\n先に「作成」で問題を作って下さい。")))
    return QStringLiteral("印刷する問題がありません");
  // What was typed last is printed, not the page from before.
  if (typing_.isActive()) listsChanged();
  if (!shownSheet()) show(WorksheetComposer::ProblemSheet);
  return preview_->PrintOut();
}

QString WindowSheets::savePdf() {
  if (!preview_) return QString();
  const SheetSource source = source_();
  if (noProblems(source, QStringLiteral("PDF にする問題がありません。\r\n先に「作成」で問題を作って下さい。")))
    return QStringLiteral("PDF にする問題がありません");
  const std::optional<QString> name = dialogs().saveFileName(
      window_, SaveFileRequest{pdfFileCaption(), QString(), pdfFileFilter(), pdfFileSuffix()});
  if (!name || name->isEmpty()) return QString();
  QString error;
  if (!writeSheetsPdf(preview_->model(), source, *name, &error)) {
    dialogs().message(window_, messageCaption(), error, MessageIcon::Warning);
    return QStringLiteral("PDF ファイルに保存できませんでした");
  }
  return pdfSavedStatus(*name);
}

}  // namespace zubira
