#pragma once
// TAboutBox: "バージョン情報", the program's name and version; OK closes it.

#include <QDialog>

class QLabel;

namespace zubira {

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  QLabel* ProductName;
  QLabel* Version;
  QLabel* Copyright;
  QLabel* Comments;
};

}  // namespace zubira
