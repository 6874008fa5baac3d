// The report's numbers and units as the calculation report and the results
// window show them: exact strings, digit for digit.
#include "model/ReportNumbers.h"

#include <gtest/gtest.h>

using namespace pylar;

TEST(ReadableNumbers, PlainDecimalKeepsThePrintedDigits) {
  const struct {
    const char *printed, *plain;
  } cases[] = {
      // E10.3 fields of the soil tables.
      {"0.600E+03", "600"},
      {"0.150E+04", "1500"},
      {"0.165E-01", "0.0165"},
      {"0.550E+00", "0.55"},
      {"0.511E+00", "0.511"},
      {"0.360E+07", "3600000"},
      {"0.000E+00", "0"},
      {"-0.000E+00", "0"},
      {"-0.250E+01", "-2.5"},
      {"0.100E+01", "1"},
      // E17.4 fields of the load-settlement curves.
      {"0.4494E-01", "0.04494"},
      {"0.1650E-04", "0.0000165"},
      {"0.3186E+03", "318.6"},
      {"0.1870E+01", "1.87"},
      // Other spellings of an exponent.
      {"1.5e-3", "0.0015"},
      {"2.5D+02", "250"},
      {" 0.120E+02 ", "12"},
      // Not an E-field: as printed.
      {"3.000", "3.000"},
      {"41.", "41."},
      {"150.0", "150.0"},
      {"*********", "*********"},
      {"none", "none"},
      {"E+03", "E+03"},
      {"", ""},
      // An exponent no report value has stays as printed.
      {"0.100E+31", "0.100E+31"},
      {"0.100E-31", "0.100E-31"},
      {"0.100E+30", "100000000000000000000000000000"},
  };
  for (const auto &c : cases) EXPECT_EQ(PlainDecimal(QString::fromLatin1(c.printed)), QString::fromLatin1(c.plain)) << c.printed;
}

TEST(ReadableNumbers, UnitsAndEntries) {
  const struct {
    const char *unit, *readable;
  } units[] = {
      {"LB/SQ FT", "lb/ft²"}, {"LB/CU FT", "lb/ft³"}, {"LB/SQ IN.", "lb/in²"}, {"KN/SQ M", "kN/m²"},
      {"KN/CU M", "kN/m³"},   {"FT.", "ft"},           {"IN.", "in"},          {"( KN )", "kN"},
      {"(TONS)", "tons"},     {"CU.YDS.", "yd³"},      {"(CU.M )", "m³"},      {"TONS/CU.YDS", "tons/yd³"},
      {"DEG.", "deg"},        {"M", "m"},              {"furlongs", "furlongs"},
  };
  for (const auto &u : units) EXPECT_EQ(ReadableUnit(QString::fromLatin1(u.unit)), QString::fromUtf8(u.readable)) << u.unit;

  const struct {
    const char *name, *value, *readableName, *readableValue;
  } entries[] = {
      // The unit in the name, after a comma with or without a blank.
      {"UNDRAINED SHEAR STRENGTH, LB/SQ FT", "0.600E+03", "UNDRAINED SHEAR STRENGTH", "600 lb/ft²"},
      {"UNIAXIAL COMPRESSION STRENGTH OF ROCK,KN/SQ M", "0.250E+05", "UNIAXIAL COMPRESSION STRENGTH OF ROCK",
       "25000 kN/m²"},
      {"ELASTIC MODULUS FOR THE INTACT ROCK, LB/SQ IN.", "0.200E+07", "ELASTIC MODULUS FOR THE INTACT ROCK",
       "2000000 lb/in²"},
      {"SLUMP OF CONCRETE, IN", "0.165E-01", "SLUMP OF CONCRETE", "0.0165 in"},
      // The unit after the value.
      {"MINIMUM PYLAR DIAMETER", "3.000  FT.", "MINIMUM PYLAR DIAMETER", "3.000 ft"},
      {"ELASTIC MODULUS, Ec", "0.360E+07 LB/SQ IN", "ELASTIC MODULUS, Ec", "3600000 lb/in²"},
      {"TOTAL LOAD", "150.0 TONS", "TOTAL LOAD", "150.0 tons"},
      // No unit; a name whose last part is no unit keeps it.
      {"STRENGTH REDUCTION FACTOR-ALPHA", "0.550E+00", "STRENGTH REDUCTION FACTOR-ALPHA", "0.55"},
      {"PRECONSOLIDATION STRESS EXPONENT - M", "0.100E+01", "PRECONSOLIDATION STRESS EXPONENT - M", "1"},
      {"FACTOR OF SAFETY, SIDE", "2.50", "FACTOR OF SAFETY, SIDE", "2.50"},
      // A text value stays as it is.
      {"SIDE FRICTION PROCEDURE", "BETA METHOD", "SIDE FRICTION PROCEDURE", "BETA METHOD"},
  };
  for (const auto &e : entries) {
    const TReadableEntry r = ReadableEntry(QString::fromLatin1(e.name), QString::fromLatin1(e.value));
    EXPECT_EQ(r.name, QString::fromUtf8(e.readableName)) << e.name;
    EXPECT_EQ(r.value, QString::fromUtf8(e.readableValue)) << e.name;
  }
}

TEST(ReadableNumbers, SignificantDecimal) {
  const struct {
    double value;
    int digits;
    const char *text;
  } cases[] = {
      {0.061734, 3, "0.0617"}, {0.0617, 3, "0.0617"}, {1.0, 3, "1"},     {12.349, 3, "12.3"},
      {0.000016512, 3, "0.0000165"}, {-0.25, 2, "-0.25"}, {1234.56, 4, "1235"}, {0, 3, "0"},
  };
  for (const auto &c : cases) EXPECT_EQ(SignificantDecimal(c.value, c.digits), QString::fromLatin1(c.text)) << c.value;
}
