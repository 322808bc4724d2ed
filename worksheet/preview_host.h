#pragma once
// What the main window asks of the preview window: its page model to compose into, showing it,
// the redraw after a composition, printer set-up and printing, the credit line, hiding the
// editing menus this program does not offer, and the page-string dialog on the preview's page
// strings and on the main window's date line.

#include <QString>
#include <functional>

namespace zubira {

class PageModel;
class TPageStr;

enum class PageStringId { Header, Footer, PageTitle, SubTitle };

class PreviewHost {
 public:
  virtual ~PreviewHost();
  virtual PageModel& model() = 0;
  virtual bool isPreviewVisible() const = 0;
  virtual void showPreview() = 0;
  // PrevUpDateProgram: the program list's pictures, then a rendering.
  virtual void refreshProgram() = 0;
  virtual void repaintPreview() = 0;
  // A note about the page shown, in the preview's status bar (empty clears it).
  virtual void showStatus(const QString& text) = 0;
  // The sheet shown has `count` pages and `compose(k)` puts page k in the program list: the
  // preview turns them and prints and saves them all. A count of 1 is a sheet of one page.
  virtual void setSheetPages(int count, std::function<void(int page)> compose) = 0;
  virtual void SetPrinter() = 0;
  // Prints the page shown; returns where the job went or why nothing was printed.
  virtual QString PrintOut() = 0;
  virtual void SetCopyright(const QString& s) = 0;
  // Hides the preview's editing, list-file, unit and help menu items.
  virtual void hideEditingMenus() = 0;
  // Set_SetOfHeader, Set_SetOfFooter, Set_SetOfPageTitle, Set_SetOfSubTitle; true on OK.
  virtual bool Set_SetOf(PageStringId which) = 0;
  // The page-string dialog on `ps` with `caption`: SetStrSet, shown modally, GetStrSet on OK.
  virtual bool editPageString(TPageStr& ps, const QString& caption) = 0;
};

}  // namespace zubira
