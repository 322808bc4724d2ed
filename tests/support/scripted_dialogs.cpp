#include "tests/support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

namespace zubira::testing {

const char* dialogKindName(DialogKind kind) {
  switch (kind) {
    case DialogKind::Message: return "message box";
    case DialogKind::YesNo: return "Yes/No question";
    case DialogKind::YesNoCancel: return "Yes/No/Cancel question";
    case DialogKind::Input: return "input box";
    case DialogKind::SaveFile: return "save-file dialog";
    case DialogKind::OpenFile: return "open-file dialog";
    case DialogKind::Font: return "font dialog";
    case DialogKind::Color: return "colour dialog";
    case DialogKind::Print: return "print dialog";
    case DialogKind::OpenUrl: return "opening an address";
  }
  return "dialog";
}

ScriptedDialogs::ScriptedDialogs() { installDialogs(this); }

ScriptedDialogs::~ScriptedDialogs() {
  installDialogs(nullptr);
  for (const Reply& r : replies_)
    ADD_FAILURE() << "scripted reply for a " << dialogKindName(r.kind) << " was never used";
}

// The reply is made in its place in the queue: GCC 12 takes a moved variant's inactive members
// for uninitialised and warns at -O2 and above.
template <class T>
ScriptedDialogs& ScriptedDialogs::queue(DialogKind kind, T&& value) {
  Reply& r = replies_.emplace_back();
  r.kind = kind;
  r.value.emplace<std::decay_t<T>>(std::forward<T>(value));
  return *this;
}

ScriptedDialogs& ScriptedDialogs::answerYesNo(bool yes) { return queue(DialogKind::YesNo, yes); }
ScriptedDialogs& ScriptedDialogs::answerYesNoCancel(Answer answer) { return queue(DialogKind::YesNoCancel, answer); }
ScriptedDialogs& ScriptedDialogs::answerInput(std::optional<QString> text) {
  return queue(DialogKind::Input, std::move(text));
}
ScriptedDialogs& ScriptedDialogs::answerSaveFile(std::optional<QString> name) {
  return queue(DialogKind::SaveFile, std::move(name));
}
ScriptedDialogs& ScriptedDialogs::answerOpenFile(std::optional<QString> name) {
  return queue(DialogKind::OpenFile, std::move(name));
}
ScriptedDialogs& ScriptedDialogs::answerFont(std::optional<FontChoice> font) {
  return queue(DialogKind::Font, std::move(font));
}
ScriptedDialogs& ScriptedDialogs::answerColor(std::optional<QColor> color) { return queue(DialogKind::Color, color); }
ScriptedDialogs& ScriptedDialogs::answerPrint(bool accept, std::function<void(QPrinter*)> setup) {
  return queue(DialogKind::Print, PrintReply{accept, std::move(setup)});
}
ScriptedDialogs& ScriptedDialogs::answerOpenUrl(bool opened) { return queue(DialogKind::OpenUrl, opened); }

QStringList ScriptedDialogs::messages() const {
  QStringList out;
  for (const ShownDialog& d : shown_)
    if (d.kind == DialogKind::Message) out << d.text;
  return out;
}

QStringList ScriptedDialogs::texts() const {
  QStringList out;
  for (const ShownDialog& d : shown_) out << d.text;
  return out;
}

void ScriptedDialogs::clear() {
  shown_.clear();
  replies_.clear();
}

std::optional<ScriptedDialogs::Value> ScriptedDialogs::take(DialogKind kind, const QString& caption,
                                                            const QString& text,
                                                            const QString& detail) {
  shown_.push_back({kind, caption, text, detail});
  if (onShow) onShow(shown_.back());
  if (kind == DialogKind::Message) return std::nullopt;
  if (replies_.empty() || replies_.front().kind != kind) {
    ADD_FAILURE() << "unexpected " << dialogKindName(kind) << ": caption \""
                  << caption.toStdString() << "\", text \"" << text.toStdString() << "\""
                  << (replies_.empty() ? std::string(" (no reply scripted)")
                                       : std::string(" (next reply is for a ") +
                                             dialogKindName(replies_.front().kind) + ")");
    return std::nullopt;
  }
  Value v = std::move(replies_.front().value);
  replies_.pop_front();
  return v;
}

void ScriptedDialogs::message(QWidget*, const QString& caption, const QString& text, MessageIcon) {
  take(DialogKind::Message, caption, text, QString());
}

bool ScriptedDialogs::askYesNo(QWidget*, const QString& caption, const QString& text) {
  auto v = take(DialogKind::YesNo, caption, text, QString());
  return v && std::get<bool>(*v);
}

Answer ScriptedDialogs::askYesNoCancel(QWidget*, const QString& caption, const QString& text) {
  auto v = take(DialogKind::YesNoCancel, caption, text, QString());
  return v ? std::get<Answer>(*v) : Answer::Cancel;
}

std::optional<QString> ScriptedDialogs::inputText(QWidget*, const QString& caption,
                                                  const QString& prompt, const QString& preset) {
  auto v = take(DialogKind::Input, caption, prompt, preset);
  return v ? std::get<std::optional<QString>>(*v) : std::nullopt;
}

std::optional<QString> ScriptedDialogs::saveFileName(QWidget*, const SaveFileRequest& request) {
  auto v = take(DialogKind::SaveFile, request.caption, request.fileName,
                request.filter + QStringLiteral(" | ") + request.defaultSuffix);
  return v ? std::get<std::optional<QString>>(*v) : std::nullopt;
}

std::optional<QString> ScriptedDialogs::openFileName(QWidget*, const OpenFileRequest& request) {
  auto v = take(DialogKind::OpenFile, request.caption, request.fileName, request.filter);
  return v ? std::get<std::optional<QString>>(*v) : std::nullopt;
}

std::optional<FontChoice> ScriptedDialogs::chooseFont(QWidget*, const FontChoice& initial) {
  auto v = take(DialogKind::Font, QString(), initial.font.family(), initial.font.toString());
  return v ? std::get<std::optional<FontChoice>>(*v) : std::nullopt;
}

std::optional<QColor> ScriptedDialogs::chooseColor(QWidget*, const QColor& initial) {
  auto v = take(DialogKind::Color, QString(), initial.name(), QString());
  return v ? std::get<std::optional<QColor>>(*v) : std::nullopt;
}

bool ScriptedDialogs::printDialog(QWidget*, QPrinter* printer) {
  auto v = take(DialogKind::Print, QString(), QString(), QString());
  if (!v) return false;
  const PrintReply& reply = std::get<PrintReply>(*v);
  if (reply.accept && reply.setup) reply.setup(printer);
  return reply.accept;
}

bool ScriptedDialogs::openUrl(const QUrl& url) {
  auto v = take(DialogKind::OpenUrl, QString(), url.toString(), QString());
  return v && std::get<bool>(*v);
}

}  // namespace zubira::testing
