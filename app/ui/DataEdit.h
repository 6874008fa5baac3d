// TDataEdit: the numeric entry field. It evaluates its text as an expression
// when the user leaves it or presses Enter, checks it against an integer-only
// flag and a minimum and maximum, writes the formatted value back, and keeps an
// attached label showing the caption and the unit text.
#pragma once

#include "model/DataEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>


namespace pylar {

class TDataEdit : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr Extended kDefaultMinVal = -1.1897314953572317e+100L;
  static constexpr Extended kDefaultMaxVal = 1.1897314953572317e+100L;

  explicit TDataEdit(QWidget *parent = nullptr);

  bool IntegerOnly() const { return fIntegerOnly; }
  void SetIntegerOnly(bool integerOnly);
  QString Caption() const { return fCaption; }
  void SetCaption(const QString &caption);
  QLabel *EditLabel() const { return fEditLabel; }
  void SetEditLabel(QLabel *label);
  bool Hex() const { return fHex; }
  void SetHex(bool hex) { fHex = hex; }
  Extended MinVal() const { return fMinVal; }
  void SetMinVal(Extended value);
  Extended MaxVal() const { return fMaxVal; }
  void SetMaxVal(Extended value);
  // Reading evaluates the text (EAssignError when it does not evaluate). A
  // text that has not been edited since SetNumber gives back the value that
  // was set, not its rounded display: a field that was not edited never
  // changes the value it shows.
  Extended Number() const;
  // Clamps into [MinVal, MaxVal] and shows the formatted value.
  void SetNumber(Extended value);
  QString UnitsString() const { return fUnitsString; }
  void SetUnitsString(const QString &unitsString);
  int Units() const { return fUnits; }
  void SetUnits(int units);  // 1 English, 2 SI, 3 the template itself
  // While loading a stored layout the bounds and the number are stored unclamped.
  void SetLoading(bool loading) { fLoading = loading; }

  // Runs the exit validation; true when the text is a valid value.
  bool CloseQuery();
  void Evaluate();
  bool IsValid() const { return fValid; }

  // The text a value is shown with (8 significant digits, or hexadecimal).
  QString FormatNumber(Extended value) const;

 signals:
  void exited();  // the ordinary exit handling, before validation

 protected:
  void focusOutEvent(QFocusEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void changeEvent(QEvent *event) override;

 private:
  void exitValidation(bool fromFocusOut);
  void refreshLabel();

  QString fCaption;
  bool fIntegerOnly = false;
  QPointer<QLabel> fEditLabel;
  bool fHex = false;
  Extended fMinVal = kDefaultMinVal;
  Extended fMaxVal = kDefaultMaxVal;
  QString fUnitsString;
  int fUnits = kUnitsEnglish;
  bool fValid = false;
  bool fLoading = false;
  bool fValidating = false;
  // The value last set and the text it was shown with.
  bool fHasShownValue = false;
  Extended fShownValue = 0;
  QString fShownText;
};

}  // namespace pylar
