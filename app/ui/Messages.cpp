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
