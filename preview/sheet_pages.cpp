#include "preview/sheet_pages.h"

namespace zubira {

void SheetPages::set(int count, std::function<void(int page)> compose) {
  compose_ = std::move(compose);
  count_ = compose_ && count > 1 ? count : 1;
  page_ = 0;
}

bool SheetPages::turnTo(int page) {
  if (page < 0 || page >= count_ || page == page_ || !compose_) return false;
  page_ = page;
  compose_(page_);
  return true;
}

bool SheetPages::forEach(const std::function<bool(int page)>& each) {
  if (count_ == 1) return each(0);
  bool ok = true;
  for (int k = 0; k < count_ && ok; ++k) {
    compose_(k);
    ok = each(k);
  }
  compose_(page_);
  return ok;
}

}  // namespace zubira
