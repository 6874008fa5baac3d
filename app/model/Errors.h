// Input errors of the desktop program. Each carries the text shown to the user
// in an information box; the focus then returns to the offending field.
#pragma once

#include <QString>

#include <stdexcept>

namespace pylar {

class EPylarError : public std::runtime_error {
 public:
  explicit EPylarError(const QString &message)
      : std::runtime_error(message.toStdString()), fMessage(message) {}
  const QString &message() const { return fMessage; }

 private:
  QString fMessage;
};

// Any evaluation or assignment error of a typed value.
class EAssignError : public EPylarError {
 public:
  using EPylarError::EPylarError;
};

// A fractional value in an integer-only field.
class EIntError : public EPylarError {
 public:
  EIntError() : EPylarError(QString()) {}
};

// A value below the field's minimum.
class EMinError : public EPylarError {
 public:
  EMinError() : EPylarError(QString()) {}
};

// A value above the field's maximum.
class EMaxError : public EPylarError {
 public:
  EMaxError() : EPylarError(QString()) {}
};

// Misuse of a grid table by program code (wrong column kind, bad index,
// unreadable column definitions).
class EGridError : public EPylarError {
 public:
  using EPylarError::EPylarError;
};

}  // namespace pylar
