#include "Messages.h"

#include <QMessageBox>

namespace pylar {

namespace {
MessageHook &hook() {
  static MessageHook current;
  return current;
}
}  // namespace

void ShowInformation(QWidget *parent, const QString &text) {
  if (hook()) {
    hook()(parent, text);
    return;
  }
  QMessageBox::information(parent, QStringLiteral("Information"), text, QMessageBox::Ok);
}

void SetMessageHook(MessageHook hook_) { hook() = std::move(hook_); }

}  // namespace pylar

namespace pylar {

namespace {
QuestionHook &questionHook() {
  static QuestionHook current;
  return current;
}
}  // namespace

TAnswer AskYesNoCancel(QWidget *parent, const QString &text) {
  if (questionHook()) return questionHook()(parent, text);
  const auto button = QMessageBox::question(parent, QStringLiteral("Confirm"), text,
                                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (button == QMessageBox::Yes) return TAnswer::Yes;
  if (button == QMessageBox::No) return TAnswer::No;
  return TAnswer::Cancel;
}

void SetQuestionHook(QuestionHook hook_) { questionHook() = std::move(hook_); }

}  // namespace pylar
