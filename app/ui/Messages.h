// Information boxes with a single OK button. Tests replace the box by a hook
// that records the text.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace pylar {

using MessageHook = std::function<void(QWidget *parent, const QString &text)>;

void ShowInformation(QWidget *parent, const QString &text);

// Replaces the message box; an empty hook restores it.
void SetMessageHook(MessageHook hook);

}  // namespace pylar

namespace pylar {

// Answers of a Yes/No/Cancel question.
enum class TAnswer { Yes, No, Cancel };
using QuestionHook = std::function<TAnswer(QWidget *parent, const QString &text)>;

TAnswer AskYesNoCancel(QWidget *parent, const QString &text);

// Replaces the question box; an empty hook restores it.
void SetQuestionHook(QuestionHook hook);

}  // namespace pylar
