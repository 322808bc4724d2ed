// The main window's class sets in the real desktop program, for measuring a whole run from
// outside (/usr/bin/time -v) against `zubira sheet --versions N --solutions`:
//
//   window_class_sets N FILE   N sets with their answer and key pages into the PDF FILE
//
// The program's seven windows are made as at start-up, offscreen, with a settings file of their
// own; ファイル → クラス用の複数セット is chosen and the dialog filled in and pressed as a user
// would. Before the run the process's resident memory is printed, so that what the run adds can
// be told from what the windows take. Exit code 0 when the PDF was written.

#include "app/zubira_app.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "worksheet/main_window.h"
#include "worksheet/versions_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using namespace zubira;

// The save-file dialog names FILE; messages go to stderr, a warning failing the run; questions
// are answered No.
class FixedDialogs final : public Dialogs {
 public:
  explicit FixedDialogs(QString file) : file_(std::move(file)) {}
  void message(QWidget*, const QString&, const QString& text, MessageIcon icon) override {
    std::fprintf(stderr, "window_class_sets: %s\n", qPrintable(text));
    warned = warned || icon != MessageIcon::Information;
  }
  bool warned = false;
  bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
  Answer askYesNoCancel(QWidget*, const QString&, const QString&) override { return Answer::Cancel; }
  std::optional<QString> inputText(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  std::optional<QString> saveFileName(QWidget*, const SaveFileRequest&) override { return file_; }
  std::optional<QString> openFileName(QWidget*, const OpenFileRequest&) override { return {}; }
  std::optional<FontChoice> chooseFont(QWidget*, const FontChoice&) override { return {}; }
  std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return {}; }
  bool printDialog(QWidget*, QPrinter*) override { return false; }
  bool openUrl(const QUrl&) override { return false; }

 private:
  QString file_;
};

std::string residentMemory() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return line;
  return "VmRSS: unknown";
}

}  // namespace

int main(int argc, char** argv) {
  bool ok = false;
  const int sets = argc == 3 ? std::atoi(argv[1]) : 0;
  if (sets < 1 || sets > 1000) {
    std::fprintf(stderr, "usage: window_class_sets N FILE (N from 1 to 1000)\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("ZUBIRA_SITE_URL", "http://127.0.0.1:9/");
  QTemporaryDir dir;
  qputenv("ZUBIRA_SETTINGS", dir.filePath(QStringLiteral("zubira.ini")).toLocal8Bit());
  prepareEnvironment();
  QApplication app(argc, argv);
  prepareApplication();
  const QString file = QString::fromLocal8Bit(argv[2]);
  FixedDialogs dialogs(file);
  installDialogs(&dialogs);
  {
    ZubiraApp program;
    TForm1& window = program.mainWindow();
    window.show();
    QApplication::processEvents();
    QTimer::singleShot(0, &window, [&] {
      auto* dlg = window.findChild<FrmVersions*>(QStringLiteral("FrmVersions"));
      if (!dlg) return;
      dlg->SpnVersions->setValue(sets);
      dlg->ChkAnswers->setChecked(true);
      dlg->ChkKey->setChecked(true);
      std::printf("before the run: %s\n", residentMemory().c_str());
      std::fflush(stdout);
      dlg->BtnVersionsPdf->click();
      ok = !dlg->isVisible() && QFile::exists(file) && !dialogs.warned;
      if (dlg->isVisible()) dlg->reject();
    });
    window.findChild<QAction*>(QStringLiteral("SaveVersions"))->trigger();
    program.shutDown();
  }
  installDialogs(nullptr);
  return ok ? 0 : 1;
}
