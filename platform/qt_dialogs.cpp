#include "platform/qt_dialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace zubira {

namespace {

QString captionOr(const QString& caption) {
  return caption.isEmpty() ? messageCaption() : caption;
}

QMessageBox::Icon toQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Information: break;
  }
  return QMessageBox::Information;
}

void paintSwatch(QPushButton* button, const QColor& color) {
  QPixmap swatch(32, 16);
  swatch.fill(color);
  button->setIcon(QIcon(swatch));
  button->setIconSize(swatch.size());
}

}  // namespace

void QtDialogs::message(QWidget* parent, const QString& caption, const QString& text,
                        MessageIcon icon) {
  QMessageBox box(toQtIcon(icon), captionOr(caption), text, QMessageBox::Ok, parent);
  box.exec();
}

bool QtDialogs::askYesNo(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Question, captionOr(caption), text,
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

Answer QtDialogs::askYesNoCancel(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Question, captionOr(caption), text,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
  }
}

std::optional<QString> QtDialogs::inputText(QWidget* parent, const QString& caption,
                                            const QString& prompt, const QString& preset) {
  QInputDialog box(parent);
  box.setWindowTitle(captionOr(caption));
  box.setLabelText(prompt);
  box.setTextValue(preset);
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return box.textValue();
}

std::optional<QString> QtDialogs::saveFileName(QWidget* parent, const SaveFileRequest& request) {
  QFileDialog dlg(parent, request.caption);
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setFileMode(QFileDialog::AnyFile);
  if (!request.filter.isEmpty()) dlg.setNameFilter(request.filter);
  dlg.setDefaultSuffix(request.defaultSuffix);
  if (!request.fileName.isEmpty()) dlg.selectFile(request.fileName);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
  return dlg.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::openFileName(QWidget* parent, const OpenFileRequest& request) {
  QString name = QFileDialog::getOpenFileName(parent, request.caption, request.fileName,
                                              request.filter);
  if (name.isEmpty()) return std::nullopt;
  return name;
}

std::optional<FontChoice> QtDialogs::chooseFont(QWidget* parent, const FontChoice& initial) {
  // Qt's font dialog has no colour; the program's font choices carry one, so the dialog is
  // embedded beside a colour button.
  QDialog dlg(parent);
  dlg.setWindowTitle(QStringLiteral("フォント"));
  auto* layout = new QVBoxLayout(&dlg);
  auto* fonts = new QFontDialog(initial.font, &dlg);
  fonts->setWindowFlags(Qt::Widget);
  fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
  layout->addWidget(fonts);

  QColor color = initial.color;
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("色(&C):"), &dlg));
  auto* colorButton = new QPushButton(&dlg);
  paintSwatch(colorButton, color);
  row->addWidget(colorButton);
  row->addStretch();
  layout->addLayout(row);
  QObject::connect(colorButton, &QPushButton::clicked, &dlg, [&] {
    QColor chosen = QColorDialog::getColor(color, &dlg);
    if (chosen.isValid()) {
      color = chosen;
      paintSwatch(colorButton, color);
    }
  });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  layout->addWidget(buttons);

  // The dialog lists only the styles a face has; the IPA faces have one, so a bold or italic font
  // opens as regular. Left as it opened, the font keeps the style it came with.
  const QFont opened = fonts->currentFont();
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  QFont chosen = fonts->currentFont();
  if (chosen.family() == opened.family() && chosen.styleName() == opened.styleName() &&
      chosen.bold() == opened.bold() && chosen.italic() == opened.italic()) {
    chosen.setBold(initial.font.bold());
    chosen.setItalic(initial.font.italic());
  }
  return FontChoice{chosen, color};
}

std::optional<QColor> QtDialogs::chooseColor(QWidget* parent, const QColor& initial) {
  QColor chosen = QColorDialog::getColor(initial, parent);
  if (!chosen.isValid()) return std::nullopt;
  return chosen;
}

bool QtDialogs::printDialog(QWidget* parent, QPrinter* printer) {
  QPrintDialog dlg(printer, parent);
  return dlg.exec() == QDialog::Accepted;
}

bool QtDialogs::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace zubira
