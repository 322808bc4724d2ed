#pragma once
// `zubira draw`: renders a list file as the preview's file list and writes it as PDF or image.

#include <QStringList>

namespace zubira {

int runDrawCommand(const QStringList& args);
QString drawUsage();

}  // namespace zubira
