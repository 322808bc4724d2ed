#pragma once
// The main window's sheets on their way out: the sheet the preview shows, which follows the
// lists as they change, printing from the main window's menu and the PDF of all three sheets.
// The main window hands in its preview and a reader of its lists and settings, and shows the
// texts returned here in its status bar.

#include "worksheet/sheet_composition.h"

#include <QList>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class QPlainTextEdit;
class QWidget;

namespace zubira {

class PreviewHost;
class Typesetter;

class WindowSheets {
 public:
  // `window` parents the dialogs; `source` reads the window's lists and settings as they are.
  WindowSheets(QWidget* window, std::function<SheetSource()> source);
  ~WindowSheets();

  void setPreview(PreviewHost* preview);
  // Holds the font state of the preview's program list; null before the first composition.
  Typesetter* typesetter() const { return typesetter_.get(); }

  // 問題, 答え, 解き方: the preview is shown and `sheetKind` composed in it.
  void show(int sheetKind);
  // The sheet the preview was last given, while it is open.
  std::optional<int> shownSheet() const;
  // The lists were made, cleared or edited: an open preview composes its sheet again from them
  // (an empty page once they hold no problem). A closed preview is composed at its next showing.
  void listsChanged();
  // The lists the user types into: what is typed reaches the preview once the typing pauses.
  void watchLists(const QList<QPlainTextEdit*>& lists);
  // While one lives, changes of the lists are the program's own; the preview follows once, at
  // its end.
  class ListsChange {
   public:
    explicit ListsChange(WindowSheets& sheets) : sheets_(sheets) { sheets_.programChange_ = true; }
    ~ListsChange() {
      sheets_.programChange_ = false;
      sheets_.listsChanged();
    }
    ListsChange(const ListsChange&) = delete;
    ListsChange& operator=(const ListsChange&) = delete;

   private:
    WindowSheets& sheets_;
  };

  // ファイル → 印刷: what the preview shows, or the problem sheet composed and shown first when
  // it is closed. Returns the status text: where the job went or why nothing was printed.
  QString print();
  // ファイル → PDFに保存: the problem, answer and key pages in one PDF. Returns the status text,
  // empty when the user cancelled.
  QString savePdf();

 private:
  Typesetter& typesetterFor(PageModel& page);
  bool noProblems(const SheetSource& source, const QString& why);

  QWidget* window_;
  std::function<SheetSource()> source_;
  PreviewHost* preview_ = nullptr;
  std::unique_ptr<Typesetter> typesetter_;
  std::optional<int> shown_;
  QTimer typing_;
  bool programChange_ = false;
};

}  // namespace zubira
