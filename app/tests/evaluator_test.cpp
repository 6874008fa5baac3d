// The expression evaluator, the general number format and the unit codes.
#include "model/DataEdit.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cmath>

namespace pylar {
namespace {

// Tests run with "." as the decimal separator unless they choose another.
class CLocaleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { QLocale::setDefault(QLocale::c()); }
};
const auto *const kCLocale = ::testing::AddGlobalTestEnvironment(new CLocaleEnvironment);

const QString kPrefix = QStringLiteral("Entry could not be evaluated:\r");

QString evaluationError(const QString &text) {
  try {
    EvaluateExpression(text);
  } catch (const EAssignError &e) {
    return e.message();
  }
  return QStringLiteral("<no error>");
}

struct ValueCase {
  const char *text;
  long double expected;
};

TEST(EvaluateExpression, Values) {
  const ValueCase cases[] = {
      {"3+4*2", 11}, {"2^3^2", 64}, {"(1+2)*3", 9}, {"10%3", 1}, {"-7%3", -1},
      {"5-(2-3)", 6}, {"2*-3", -6}, {"--5", 5}, {"---5", -5}, {"7-2-1", 4},
      {"sin(0)", 0}, {"cosec(pi/2)", 1}, {"sqrt(16)+abs(2)", 6}, {"abs(-2)", 2},
      {"4!", 24}, {"0!", 1}, {"-3!", -6}, {"sin3!", std::sin(6.0L)},
      {"$FF", 255}, {"$ff", 255}, {"pi", 3.1415926535897932385L}, {"-pi", -3.1415926535897932385L},
      {"e", std::exp(1.0L)}, {"1=1", 1}, {"1=2", 0}, {"0|3", 1}, {"0|0", 0}, {"2&0", 0}, {"0&2", 0},
      {"2&3", 1}, {"2(3)", 23}, {"1e-5", 0.00001L}, {"1E-5", 0.00001L}, {" 2 * 3\t+ 1 ", 7},
      {"12*0.3048", 3.6576L}, {"sqrt(2)/2", std::sqrt(2.0L) / 2}, {"sin(-0.5)", std::sin(-0.5L)},
      {"2^-1", 0.5}, {"2^(0-1)", 0.5}, {"round(2.5)", 2}, {"round(3.5)", 4}, {"round(-2.5)", -2},
      {"floor(-2.5)", -3}, {"ceil(2.1)", 3}, {"int(-2.7)", -2}, {"frac(2.75)", 0.75L},
      {"ln(e)", 1}, {"log(1000)", 3}, {"tanh(0)", 0}, {"arctan(1)*4", 3.1415926535897932385L},
      {"sec(0)", 1}, {"csc(pi/2)", 1}, {"cotan(pi/4)", 1}, {"arcsinh(0)", 0}, {"arccosh(1)", 0},
      {"arctanh(0)", 0}, {"cosh(0)", 1}, {"sinh(0)", 0}, {"arcsin(1)", 3.1415926535897932385L / 2},
      {"arccos(1)", 0}, {"SQRT(9)", 3},
      // Groups become value text: large and small values must stay one operand.
      {"(1e20)*2", 2e20L}, {"(0.00001)*3", 0.00003L}, {"(0-1e-7)*2", -2e-7L},
      // A sign after a function name, also further into the expression.
      {"1+abs(-2)", 3}, {"2*sqrt(--4)", 4},
      {"((((((1))))))", 1}, {"1e-99999", 0},
  };
  for (const ValueCase &c : cases) {
    SCOPED_TRACE(c.text);
    long double value = 0;
    ASSERT_NO_THROW(value = EvaluateExpression(QString::fromUtf8(c.text)));
    EXPECT_NEAR(static_cast<double>(value), static_cast<double>(c.expected),
                1e-15 * std::max(1.0, std::fabs(static_cast<double>(c.expected))));
  }
}

struct ErrorCase {
  QString text;
  const char *detail;
};

TEST(EvaluateExpression, Messages) {
  const ErrorCase cases[] = {
      {"", "entry cannot be blank"},
      {"   ", "entry cannot be blank"},
      {"()", "entry cannot be blank"},
      {"1e+5", "invalid character(s) in expression"},
      {"3+", "invalid expression"},
      {"3*(4+)", "invalid expression"},
      {")", "() (parentheses) do not match"},
      {"(1))", "() (parentheses) do not match"},
      {"(2", "invalid character(s) in expression"},
      {"2.5!", "! (factoral) applicable to integers only"},
      {"$", "invalid use of $ (hex function)"},
      {"$G1", "invalid use of $ (hex function)"},
      {"$11112222333344445", "invalid use of $ (hex function)"},
      {"abc", "invalid character(s) in expression"},
      {"1,5", "invalid character(s) in expression"},
      {"e-1", "invalid character(s) in expression"},
      {"+3", "invalid character(s) in expression"},
      {"1|abc", "invalid character(s) in expression"},
      {"sin", "invalid character(s) in expression"},
      {"1.2.3", "invalid character(s) in expression"},
      {"1e", "invalid character(s) in expression"},
      {"inf", "invalid character(s) in expression"},
      {"nan", "invalid character(s) in expression"},
      {QString::fromUtf8("\xEF\xBC\x91"), "invalid character(s) in expression"},  // full-width 1
      // Arithmetic faults
      {"1/0", "division by zero"},
      {"1/(2-2)", "division by zero"},
      {"0/0", "division by zero"},
      {"10%0", "division by zero"},
      {"0^-1", "division by zero"},
      {"cotan(0)", "division by zero"},
      {"cosec(0)", "division by zero"},
      {"ln(0)", "logarithm of zero or of a negative number"},
      {"log(-1)", "logarithm of zero or of a negative number"},
      {"sqrt(-1)", "square root of a negative number"},
      {"arcsin(2)", "argument outside the domain of the function"},
      {"arccosh(0.5)", "argument outside the domain of the function"},
      {"arctanh(1)", "argument outside the domain of the function"},
      {"(0-8)^(1/3)", "argument outside the domain of the function"},
      {"10^5000", "number too large"},
      {"1e5000", "number too large"},
      {"cosh(100000)", "number too large"},
      {"1755!", "number too large"},
      {"1e18!", "number too large"},  // refused at once, no endless loop
      {"floor(1e10)", "number too large"},
      {"1e30%7", "number too large"},
      {QStringLiteral("1+").repeated(2100) + QStringLiteral("1"), "entry is too long"},
  };
  for (const ErrorCase &c : cases) {
    SCOPED_TRACE(c.text.left(40).toStdString());
    EXPECT_EQ(evaluationError(c.text).toStdString(), (kPrefix + c.detail).toStdString());
  }
}

TEST(EvaluateExpression, ResultIsAlwaysFinite) {
  // Products of finite operands that overflow are caught after every step.
  EXPECT_EQ(evaluationError(QStringLiteral("1e4000*1e4000")), kPrefix + "number too large");
  EXPECT_EQ(evaluationError(QStringLiteral("0-1e4000*1e4000")), kPrefix + "number too large");
  EXPECT_EQ(evaluationError(QStringLiteral("1e4000+1e4932*2")), kPrefix + "number too large");
}

TEST(EvaluateOperand, OneOperand) {
  EXPECT_EQ(EvaluateOperand(QStringLiteral("--4")), 4);
  EXPECT_EQ(EvaluateOperand(QStringLiteral("$1F")), 31);
  EXPECT_EQ(EvaluateOperand(QStringLiteral("ABS-3")), 3);
  EXPECT_THROW(EvaluateOperand(QStringLiteral("1+2")), EAssignError);
}

TEST(IsFunctionName, ExactNamesOnly) {
  for (const char *name : {"sin", "SINH", "ArcTanh", "cotan", "sqrt", "floor", "!", "$"})
    EXPECT_TRUE(IsFunctionName(QString::fromLatin1(name))) << name;
  for (const char *name : {"", "si", "sin2", "pi", "e", "exp", "-", "sin "})
    EXPECT_FALSE(IsFunctionName(QString::fromLatin1(name))) << name;
}

TEST(FormatGeneral, EightDigits) {
  const struct {
    long double value;
    const char *text;
  } cases[] = {
      {0, "0"}, {-0.0L, "0"}, {0.1L, "0.1"}, {2.5L, "2.5"}, {-2.5L, "-2.5"}, {20, "20"},
      {1.0L / 3, "0.33333333"}, {2.0L / 3, "0.66666667"}, {12345678, "12345678"},
      {123456789, "1.2345679E8"}, {99999999.5L, "1E8"}, {1e100L, "1E100"},
      {-1.1897314953572317e+100L, "-1.1897315E100"}, {0.00001L, "0.00001"},
      {0.0000099L, "9.9E-6"}, {1.5e-6L, "1.5E-6"}, {123.456789012L, "123.45679"},
      {3.6576L, "3.6576"}, {1e7L, "10000000"},
  };
  for (const auto &c : cases) EXPECT_EQ(FormatValueC(c.value).toStdString(), c.text) << c.text;
  EXPECT_EQ(FormatGeneral(1e20L, 18, '.').toStdString(), "1E20");
  EXPECT_EQ(FormatGeneral(0.1L, 18, '.').toStdString(), "0.1");
}

// A user whose decimal separator is ",": fields read and show ",", files keep ".".
class CommaLocale : public ::testing::Test {
 protected:
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

TEST_F(CommaLocale, EvaluatesAndFormatsWithComma) {
  EXPECT_EQ(EvaluateExpression(QStringLiteral("2,5*2")), 5);
  EXPECT_EQ(EvaluateExpression(QStringLiteral("(1,5)*2")), 3);  // group value text uses ","
  EXPECT_NEAR(static_cast<double>(EvaluateExpression(QStringLiteral("(0,1)*(0,2)"))), 0.02, 1e-17);
  EXPECT_EQ(EvaluateExpression(QStringLiteral("1,5e-3*2")), 0.003L);
  EXPECT_EQ(evaluationError(QStringLiteral("2.5")), kPrefix + "invalid character(s) in expression");
  EXPECT_EQ(FormatValue(2.5L), QStringLiteral("2,5"));
  EXPECT_EQ(FormatValue(1.5e-6L), QStringLiteral("1,5E-6"));
  EXPECT_EQ(FormatValueC(2.5L), QStringLiteral("2.5"));
}

TEST(UnitsTemplate, Expansion) {
  const struct {
    const char *templ;
    const char *english;
    const char *si;
  } cases[] = {
      {"F/L2^2", "lbs/ft^2", "kN/m^2"}, {"F/L2^3", "lbs/ft^3", "kN/m^3"},
      {"F/L^2", "lbs/in^2", "kN/m^2"},  {"L2", "ft", "m"},
      {"L", "in", "m"},                 {"L1", "in", "mm"},
      {"F2", "tons", "kN"},             {"F1/L", "kips/in", "kN/m"},
      {"F4", "lb-sec2/in", "Mg"},       {"F6/L3", "slug/rad", "Mg/rad"},
      {"F5", "sec", "sec"},             {"L2/L", "ft/L", "m/L"},  // one kind per group
      {"Deg", "Deg", "Deg"},            {"", "", ""},
  };
  for (const auto &c : cases) {
    const QString t = QString::fromLatin1(c.templ);
    EXPECT_EQ(ExpandUnitsTemplate(t, kUnitsEnglish).toStdString(), c.english) << c.templ;
    EXPECT_EQ(ExpandUnitsTemplate(t, kUnitsSI).toStdString(), c.si) << c.templ;
    EXPECT_EQ(ExpandUnitsTemplate(t, kUnitsVerbatim), t) << c.templ;
  }
}

TEST(UnitsTemplate, Factors) {
  // English units per SI unit: lbs/ft^2 per kN/m^2 = 224.8089237 / 3.280839895^2 = 20.8854...
  const struct {
    const char *templ;
    long double factor;
  } cases[] = {
      {"F/L2^2", 224.8089237L / (3.280839895L * 3.280839895L)},
      {"F/L2^3", 224.8089237L / (3.280839895L * 3.280839895L * 3.280839895L)},
      {"F/L^2", 224.8089237L / (39.37007874L * 39.37007874L)},
      {"L2", 3.280839895L}, {"L", 39.37007874L}, {"L1", 0.03937007874L},
      {"F2", 0.1124044745L}, {"F1", 0.2248089237L}, {"F4", 5.7101483L}, {"F6", 68.364249L},
      {"F5", 1}, {"L3", 1}, {"", 1}, {"Deg", 1},
  };
  for (const auto &c : cases)
    EXPECT_NEAR(static_cast<double>(UnitTemplateFactor(QString::fromLatin1(c.templ))),
                static_cast<double>(c.factor), 1e-12 * static_cast<double>(c.factor))
        << c.templ;
  EXPECT_NEAR(static_cast<double>(UnitTemplateFactor(QStringLiteral("F/L2^2"))), 20.885, 0.001);
}

}  // namespace
}  // namespace pylar
