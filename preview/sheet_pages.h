#pragma once
// The pages of a sheet too long for one page (a long key) as the preview turns, prints and saves
// them: the host composes a page into the program list when asked, from the same problems.

#include <functional>

namespace zubira {

class SheetPages {
 public:
  // `count` pages, page 0 shown; `compose(k)` puts page k in the program list.
  void set(int count, std::function<void(int page)> compose);
  int count() const { return count_; }
  int page() const { return page_; }
  // Shows page `page`; false (nothing done) when the sheet has no such page.
  bool turnTo(int page);
  // Runs `each` on every page in turn, from the first, then shows the page shown before; stops
  // at the first false and gives it. A sheet of one page is not composed again.
  bool forEach(const std::function<bool(int page)>& each);

 private:
  int count_ = 1;
  int page_ = 0;
  std::function<void(int)> compose_;
};

}  // namespace zubira
