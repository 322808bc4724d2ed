#pragma once
// Hints in the form "short|long": the short part is a control's tooltip, the long part is shown
// in the main window's status bar while the mouse is over the control.

#include <QString>

class QWidget;

namespace zubira {

// The text before the first "|", or the whole hint when it has none.
QString shortHint(const QString& hint);
// The text after the first "|", or the whole hint when it has none.
QString longHint(const QString& hint);
// Gives `w` the tooltip and status tip of `hint`.
void setHint(QWidget* w, const QString& hint);

}  // namespace zubira
