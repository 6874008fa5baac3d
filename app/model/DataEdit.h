// The arithmetic expression evaluator behind every number the user types, the
// general number format of the desktop program, and the unit codes that fields,
// grid columns and plot axes expand into unit names.
#pragma once

#include "Errors.h"

#include <QChar>
#include <QString>

namespace pylar {

// Extended precision, as the project data is kept.
using Extended = long double;

// Unit systems of a project.
inline constexpr int kUnitsEnglish = 1;
inline constexpr int kUnitsSI = 2;
inline constexpr int kUnitsVerbatim = 3;  // show a unit template unchanged

// Evaluates an expression typed by the user, such as 12*0.3048 or sqrt(2)/2.
// Numbers use the decimal separator of the default locale (QLocale()).
// Throws EAssignError whose message starts with "Entry could not be evaluated:".
// The result is always finite.
Extended EvaluateExpression(const QString &text);

// Evaluates one operand: a number, a constant, a function application,
// a factorial or a hexadecimal number.
Extended EvaluateOperand(const QString &text);

// True when the lower-cased text is exactly a function name, "!" or "$".
bool IsFunctionName(const QString &text);

// General format: fixed notation with at most `digits` significant digits and
// no trailing zeros; scientific ("1.5E-6", "1.2345679E8") when the value needs
// more than `digits` integer digits or is below 0.00001 in magnitude.
QString FormatGeneral(Extended value, int digits, QChar decimalSeparator);

// A value as a numeric field shows it: 8 significant digits, the user's
// decimal separator (QLocale()).
QString FormatValue(Extended value);

// The same with "." whatever the locale, for files.
QString FormatValueC(Extended value);

// Expands the placeholders of a unit template ("F/L2^2") into the unit names
// of a unit system: "lbs/ft^2" (English), "kN/m^2" (SI); with kUnitsVerbatim
// the template itself.
QString ExpandUnitsTemplate(const QString &unitsTemplate, int units);

// Conversion factor of a unit template in English units per SI unit
// ("F/L2^2": 224.8089237 / 3.280839895^2). An empty template has factor 1.
Extended UnitTemplateFactor(const QString &unitsTemplate);

// Conversion factors between the unit systems (English per SI).
inline constexpr Extended kLbsPerKN = 224.8089237L;
inline constexpr Extended kKipsPerKN = 0.2248089237L;
inline constexpr Extended kTonsPerKN = 0.1124044745L;
inline constexpr Extended kLbSec2PerInPerMg = 5.7101483L;
inline constexpr Extended kSlugPerMg = 68.364249L;
inline constexpr Extended kInPerM = 39.37007874L;
inline constexpr Extended kInPerMm = 0.03937007874L;
inline constexpr Extended kFtPerM = 3.280839895L;

}  // namespace pylar
