// Numbers and units of the engine's report as an engineer reads them: the
// report's E-fields ("0.600E+03", "0.1650E-04") in plain decimal notation with
// exactly the digits the report printed (600, 0.0000165), its unit words
// ("LB/SQ FT", "CU.YDS.") as units (lb/ft², yd³). The conversion works on the
// printed digits, never through a binary number, so nothing is rounded: every
// value stays the report's value. The calculation report and the results
// window use these and nothing else.
#pragma once

#include <QString>

namespace pylar {

// A printed number in plain decimal notation. An E-field keeps its
// significant digits, its trailing zeros after the decimal point dropped
// ("0.150E+04" -> "1500", "0.550E+00" -> "0.55", "-0.2500E+01" -> "-2.5",
// "0.000E+00" -> "0"). Anything else (a fixed field such as "3.000", an
// overflow "*****", a word) is returned trimmed as it is; so is an exponent
// beyond 30, which no report value reaches and which would spell out as a
// number of dozens of digits.
QString PlainDecimal(const QString &printed);

// A unit word of the report spelled for reading: "LB/SQ FT" -> "lb/ft²",
// "FT." -> "ft", "( KN )" -> "kN", "TONS/CU.YDS" -> "tons/yd³". A unit it does
// not know is returned trimmed as it is.
QString ReadableUnit(const QString &reportUnit);

// A report entry ("UNDRAINED SHEAR STRENGTH, LB/SQ FT" = "0.150E+04", or
// "MINIMUM PYLAR DIAMETER" = "3.000  FT.") as a name without its unit and a
// value in plain decimals followed by its unit ("1500 lb/ft²", "3.000 ft").
// A value that does not start with a number (a text setting) is kept.
struct TReadableEntry {
  QString name;
  QString value;
};
TReadableEntry ReadableEntry(const QString &name, const QString &value);

// A value computed from the report's numbers (an interpolated settlement) to
// `digits` significant digits in plain decimal notation, trailing zeros
// after the decimal point dropped: (0.061734, 3) -> "0.0617".
QString SignificantDecimal(double value, int digits);

}  // namespace pylar
