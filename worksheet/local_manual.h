#pragma once
// The user's manual: HTML pages installed with the program, opened in the desktop's browser as
// local files, so that help works without a network.

#include <QString>
#include <QStringList>

class QWidget;

namespace zubira {

// Where the manual's first page is looked for, first match wins: in a build tree beside the
// program (doc/manual/index.html), then in the installation's documentation folder relative to
// the program's folder.
QStringList localManualCandidates(const QString& programDir);

// The first candidate that exists; empty when there is none.
QString localManualIndex(const QString& programDir);

// Opens the manual's first page in the browser through the dialog seam. When it is not
// installed or cannot be opened, a message says so and names where it was looked for; returns
// false then.
bool openLocalManual(QWidget* parent, const QString& programDir);

QString manualMissingMessage(const QStringList& candidates);
QString manualNotOpenedMessage(const QString& path);

}  // namespace zubira
