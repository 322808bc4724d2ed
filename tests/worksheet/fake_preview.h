#pragma once

#include "drawing/page_model.h"
#include "drawing/page_renderer.h"
#include "drawing/printer_access.h"
#include "platform/ini_file.h"
#include "worksheet/preview_host.h"

#include <QSize>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zubira::testing {

// Readies `page` as a sheet is composed on it: the printer's metrics and page size, millimetres,
// and the page strings with their defaults. False when the printer's metrics cannot be read.
inline bool PrepareTestPage(PageModel& page) {
  if (!page.ReadPrinterMetrics() || !page.GetPageSize()) return false;
  page.setUnitType(PageModel::kUnitMillimetre);
  const IniFile none{QString()};
  for (TPageStr* ps : {&page.Header, &page.Footer, &page.PageTitle, &page.SubTitle})
    ps->GetIniSets(none, QStringLiteral("x"), QString(), 0, "0", "0");
  return true;
}

// The preview as the main window and its dialogs see it: a page model on fixed printer metrics
// that keeps and draws what was composed into it, and records what was asked of it.
class FakePreview : public PreviewHost {
 public:
  FakePreview() : model_(std::make_unique<FixedPrinterAccess>(QSize(600, 600), QSize(4960, 7016)), 96), renderer_(model_) {
    PrepareTestPage(model_);
  }
  PageModel& model() override { return model_; }
  bool isPreviewVisible() const override { return visible; }
  void showPreview() override {
    visible = true;
    ++shows;
  }
  void refreshProgram() override {
    ++refreshes;
    renderer_.PrevUpDateProgram();
  }
  void repaintPreview() override {}
  void showStatus(const QString& text) override { status = text; }
  void setSheetPages(int count, std::function<void(int)> compose) override {
    pages = count;
    composePage = std::move(compose);
  }
  void SetPrinter() override { ++printerSetups; }
  QString PrintOut() override {
    ++prints;
    return printStatus;
  }
  void SetCopyright(const QString& s) override { copyright = s; }
  void hideEditingMenus() override { ++hidden; }
  bool Set_SetOf(PageStringId which) override {
    edited.push_back(which);
    textSeen = model_.Header.psStr;
    if (dialogText) model_.Header.psStr = *dialogText;
    return dialogText.has_value();
  }
  bool editPageString(TPageStr& ps, const QString& caption) override {
    captions << caption;
    textSeen = ps.psStr;
    if (dialogText) ps.psStr = *dialogText;
    return dialogText.has_value();
  }
  QString program() const { return model_.ListbyProgram().join(u'\n'); }
  bool visible = false;
  QString status;
  int pages = 0;
  std::function<void(int)> composePage;
  int shows = 0, refreshes = 0, printerSetups = 0, prints = 0, hidden = 0;
  QString copyright = "unset";
  QString printStatus = "printed";
  std::vector<PageStringId> edited;
  QStringList captions;
  QString textSeen;
  std::optional<QString> dialogText;  // what the user leaves in the dialog; nothing: Cancel

 private:
  PageModel model_;
  PageRenderer renderer_;
};

}  // namespace zubira::testing
