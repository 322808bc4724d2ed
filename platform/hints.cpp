#include "platform/hints.h"

#include <QWidget>

namespace zubira {

QString shortHint(const QString& hint) {
  qsizetype bar = hint.indexOf(u'|');
  return bar < 0 ? hint : hint.left(bar);
}

QString longHint(const QString& hint) {
  qsizetype bar = hint.indexOf(u'|');
  return bar < 0 ? hint : hint.mid(bar + 1);
}

void setHint(QWidget* w, const QString& hint) {
  w->setToolTip(shortHint(hint));
  w->setStatusTip(longHint(hint));
}

}  // namespace zubira
