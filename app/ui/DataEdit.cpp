#include "ui/DataEdit.h"

#include "ui/Messages.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include <cmath>
#include <limits>

namespace pylar {

namespace {

constexpr Extended kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr Extended kInt32Max = std::numeric_limits<std::int32_t>::max();

// The field that failed validation and is taking the focus back. Other fields
// losing the focus meanwhile do not validate, so two fields cannot pull the
// focus back and forth.
QPointer<TDataEdit> gReturningFocus;

}  // namespace

TDataEdit::TDataEdit(QWidget *parent) : QLineEdit(parent) { setText(QStringLiteral("0")); }

void TDataEdit::SetIntegerOnly(bool integerOnly) {
  fIntegerOnly = integerOnly;
  if (integerOnly && !fLoading) {
    SetMaxVal(fMaxVal);
    SetMinVal(fMinVal);
  }
}

void TDataEdit::SetCaption(const QString &caption) {
  fCaption = caption;
  refreshLabel();
}

void TDataEdit::SetEditLabel(QLabel *label) {
  fEditLabel = label;
  if (label) label->setBuddy(this);
  refreshLabel();
}

void TDataEdit::SetMinVal(Extended value) {
  if (fLoading) {
    fMinVal = value;
    return;
  }
  if (value > fMaxVal) value = fMaxVal;
  if (fIntegerOnly) value = std::clamp(value, kInt32Min, kInt32Max);
  fMinVal = value;
  try {
    if (value > Number()) SetNumber(value);
  } catch (const EAssignError &) {
    // The text is not a number yet; the exit validation will report it.
  }
}

void TDataEdit::SetMaxVal(Extended value) {
  if (fLoading) {
    fMaxVal = value;
    return;
  }
  if (value < fMinVal) value = fMinVal;
  if (fIntegerOnly) value = std::clamp(value, kInt32Min, kInt32Max);
  try {
    if (value < Number()) SetNumber(value);
  } catch (const EAssignError &) {
  }
  fMaxVal = value;
}

Extended TDataEdit::Number() const {
  if (fHasShownValue && text() == fShownText) return fShownValue;
  return EvaluateExpression(text());
}

void TDataEdit::SetNumber(Extended value) {
  if (!fLoading) {
    if (value < fMinVal) value = fMinVal;
    if (value > fMaxVal) value = fMaxVal;
  }
  fShownText = FormatNumber(value);
  fShownValue = value;
  fHasShownValue = true;
  setText(fShownText);
}

void TDataEdit::SetUnitsString(const QString &unitsString) {
  fUnitsString = unitsString;
  refreshLabel();
}

void TDataEdit::SetUnits(int units) {
  fUnits = std::clamp(units, kUnitsEnglish, kUnitsVerbatim);
  refreshLabel();
}

QString TDataEdit::FormatNumber(Extended value) const {
  if (!fHex) return FormatValue(value);
  const auto rounded = static_cast<long long>(
      std::clamp(std::nearbyint(value), -9.2e18L, 9.2e18L));
  return QStringLiteral("$") +
         QStringLiteral("%1").arg(static_cast<qulonglong>(rounded), 4, 16, QChar('0')).toUpper();
}

void TDataEdit::refreshLabel() {
  if (!fEditLabel) return;
  fEditLabel->setEnabled(isEnabled());
  if (fUnitsString.isEmpty())
    fEditLabel->setText(fCaption);
  else
    fEditLabel->setText(fCaption + QStringLiteral(" (") + ExpandUnitsTemplate(fUnitsString, fUnits) +
                        QStringLiteral(")"));
}

bool TDataEdit::CloseQuery() {
  exitValidation(false);
  return fValid;
}

void TDataEdit::Evaluate() { exitValidation(false); }

void TDataEdit::exitValidation(bool fromFocusOut) {
  if (fValidating) return;
  fValidating = true;
  fValid = false;
  emit exited();
  QString message;
  try {
    const Extended value = Number();
    if (fIntegerOnly && value != std::trunc(value)) throw EIntError();
    if (value < fMinVal) throw EMinError();
    if (!(value <= fMaxVal)) throw EMaxError();
    const QString shown = FormatNumber(value);
    if (shown != text()) {
      fHasShownValue = false;  // edited: the value is what the text says
      setText(shown);
    }
    fValid = true;
  } catch (const EAssignError &e) {
    message = fIntegerOnly ? QStringLiteral("Entry must be a valid integer.") : e.message();
  } catch (const EIntError &) {
    message = QStringLiteral("Entry must be an integer.");
  } catch (const EMinError &) {
    SetNumber(fMinVal);
    message = QStringLiteral("Entry must be greater than or equal to ") + FormatNumber(fMinVal);
  } catch (const EMaxError &) {
    SetNumber(fMaxVal);
    message = QStringLiteral("Entry must be less than or equal to ") + FormatNumber(fMaxVal);
  }
  if (!fValid) {
    ShowInformation(this, message);
    if (isVisible()) {
      if (fromFocusOut) {
        // The focus is still moving to the other widget; take it back afterwards.
        gReturningFocus = this;
        QTimer::singleShot(0, this, [this] {
          setFocus(Qt::OtherFocusReason);  // the field losing the focus now does not validate
          if (gReturningFocus == this) gReturningFocus = nullptr;
        });
      } else {
        setFocus(Qt::OtherFocusReason);
      }
    }
  }
  fValidating = false;
}

void TDataEdit::focusOutEvent(QFocusEvent *event) {
  QLineEdit::focusOutEvent(event);
  // Switching to another window or opening a menu is not leaving the field.
  if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) return;
  if (gReturningFocus && gReturningFocus != this) return;
  exitValidation(true);
}

void TDataEdit::keyPressEvent(QKeyEvent *event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    exitValidation(false);
    selectAll();
    event->accept();
    return;
  }
  // An operator typed over the whole (selected) value extends it: *2 over 10 is 10*2.
  const QString typed = event->text();
  if (typed.size() == 1 && QStringLiteral("+-/*^=%!").contains(typed.front()) && hasSelectedText() &&
      selectedText() == text()) {
    deselect();
    end(false);
  }
  QLineEdit::keyPressEvent(event);
}

void TDataEdit::changeEvent(QEvent *event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) refreshLabel();
}

}  // namespace pylar
