#include "DataEdit.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace pylar {

namespace {

const QString kEvalPrefix = QStringLiteral("Entry could not be evaluated:\r");

[[noreturn]] void fail(const char *detail) {
  throw EAssignError(kEvalPrefix + QString::fromLatin1(detail));
}

const char *const kDivisionByZero = "division by zero";
const char *const kLogDomain = "logarithm of zero or of a negative number";
const char *const kSqrtDomain = "square root of a negative number";
const char *const kDomain = "argument outside the domain of the function";
const char *const kTooLarge = "number too large";

// Marks a minus that was classified as the subtraction operator.
constexpr QChar kSubtraction(0x203A);

// Longer than any sensible entry; bounds the work an expression can cause.
constexpr qsizetype kMaxExpressionLength = 4096;

constexpr Extended kPi = 3.1415926535897932385L;

// Largest factorial that fits an extended value (1755! does not).
constexpr Extended kMaxFactorialArgument = 1754;

QChar userDecimalSeparator() {
  const QString point = QLocale().decimalPoint();
  return point.isEmpty() ? QChar('.') : point.front();
}

Extended finite(Extended value) {
  if (std::isnan(value)) fail(kDomain);
  if (std::isinf(value)) fail(kTooLarge);
  return value;
}

// Function table: longer names come before the shorter names that begin them.
enum Function {
  kArctanh, kArctan, kCotan, kTanh, kTan, kArccosh, kArccos, kCosh, kCosec, kCos, kSec,
  kArcsinh, kArcsin, kSinh, kSin, kCsc, kAbs, kFrac, kInt, kLn, kRound, kCeil, kFloor,
  kLog, kSqrt, kFunctionCount
};

constexpr std::array<const char *, kFunctionCount> kFunctionNames = {
    "arctanh", "arctan", "cotan", "tanh", "tan", "arccosh", "arccos", "cosh", "cosec",
    "cos", "sec", "arcsinh", "arcsin", "sinh", "sin", "csc", "abs", "frac", "int",
    "ln", "round", "ceil", "floor", "log", "sqrt"};

int matchFunctionPrefix(const QString &text) {
  for (int f = 0; f < kFunctionCount; ++f)
    if (text.startsWith(QLatin1String(kFunctionNames[f]))) return f;
  return -1;
}

Extended reciprocal(Extended denominator) {
  if (denominator == 0) fail(kDivisionByZero);
  return finite(1 / denominator);
}

Extended toInt32(Extended value) {
  if (value < -2147483648.0L || value > 2147483647.0L) fail(kTooLarge);
  return value;
}

Extended applyFunction(int f, Extended x) {
  switch (f) {
    case kArctanh:
      if (!(std::fabs(x) < 1)) fail(kDomain);
      return finite(std::atanh(x));
    case kArctan: return std::atan(x);
    case kCotan: return reciprocal(std::tan(x));
    case kTanh: return std::tanh(x);
    case kTan: return finite(std::tan(x));
    case kArccosh:
      if (!(x >= 1)) fail(kDomain);
      return finite(std::acosh(x));
    case kArccos:
      if (!(std::fabs(x) <= 1)) fail(kDomain);
      return std::acos(x);
    case kCosh: return finite(std::cosh(x));
    case kCosec:
    case kCsc: return reciprocal(std::sin(x));
    case kCos: return std::cos(x);
    case kSec: return reciprocal(std::cos(x));
    case kArcsinh: return finite(std::asinh(x));
    case kArcsin:
      if (!(std::fabs(x) <= 1)) fail(kDomain);
      return std::asin(x);
    case kSinh: return finite(std::sinh(x));
    case kSin: return std::sin(x);
    case kAbs: return std::fabs(x);
    case kFrac: return x - std::trunc(x);
    case kInt: return std::trunc(x);
    case kLn:
      if (!(x > 0)) fail(kLogDomain);
      return std::log(x);
    case kRound: return std::nearbyint(x);  // default rounding: halves to even
    case kCeil: return toInt32(std::ceil(x));
    case kFloor: return toInt32(std::floor(x));
    case kLog:
      if (!(x > 0)) fail(kLogDomain);
      return std::log10(x);
    case kSqrt:
      if (x < 0) fail(kSqrtDomain);
      return std::sqrt(x);
    default: break;
  }
  fail(kDomain);
}

Extended factorial(Extended n) {
  if (n != std::trunc(n)) fail("! (factoral) applicable to integers only");
  if (n == 0) return 1;
  const Extended magnitude = std::fabs(n);
  if (magnitude > kMaxFactorialArgument) fail(kTooLarge);
  Extended result = 1;
  for (Extended k = 2; k <= magnitude; ++k) result *= k;
  return n < 0 ? -result : result;
}

Extended parseHex(const QString &digits) {
  if (digits.isEmpty() || digits.size() > 16) fail("invalid use of $ (hex function)");
  std::uint64_t value = 0;
  for (QChar c : digits) {
    int d;
    if (c >= '0' && c <= '9') d = c.unicode() - '0';
    else if (c >= 'a' && c <= 'f') d = c.unicode() - 'a' + 10;
    else fail("invalid use of $ (hex function)");
    value = value * 16 + static_cast<std::uint64_t>(d);
  }
  return static_cast<Extended>(value);
}

// A decimal number: optional sign, digits with one optional decimal separator
// (at least one digit), optional exponent "e" with optional sign and digits.
Extended parseNumber(const QString &text, QChar separator) {
  const char *const invalid = "invalid character(s) in expression";
  std::string c;
  c.reserve(static_cast<size_t>(text.size()));
  qsizetype i = 0;
  const qsizetype n = text.size();
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int mantissaDigits = 0;
  bool point = false;
  for (; i < n; ++i) {
    const QChar ch = text[i];
    if (ch >= '0' && ch <= '9') {
      c += static_cast<char>(ch.unicode());
      ++mantissaDigits;
    } else if (ch == separator && !point) {
      c += '.';
      point = true;
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) fail(invalid);
  bool negativeExponent = false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    c += 'e';
    ++i;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
      negativeExponent = text[i] == '-';
      if (negativeExponent) c += '-';
      ++i;
    }
    int exponentDigits = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++exponentDigits)
      c += static_cast<char>(text[i].unicode());
    if (exponentDigits == 0) fail(invalid);
  }
  if (i != n) fail(invalid);
  Extended value = 0;
  const auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // With the length limit only an exponent can leave the range: a negative
    // one underflows to zero, a positive one overflows.
    if (!negativeExponent) fail(kTooLarge);
    value = 0;
  } else if (ec != std::errc() || end != c.data() + c.size()) {
    fail(invalid);
  }
  return negative ? -value : value;
}

bool isOperator(QChar c) {
  switch (c.unicode()) {
    case '^': case '*': case '/': case '%': case '+': case '=': case '|': case '&':
      return true;
    default:
      return c == kSubtraction;
  }
}

// Characters after which a minus is a sign.
bool isSignContext(QChar c) {
  switch (c.unicode()) {
    case '%': case '&': case '*': case '+': case '/': case '=': case 'E': case '^':
    case 'e': case '|': case '~':
      return true;
    default:
      return c == kSubtraction;
  }
}

QString classifyMinusSigns(const QString &s) {
  QString out = s;
  qsizetype operandStart = 0;
  for (qsizetype i = 0; i < out.size(); ++i) {
    const QChar ch = out[i];
    if (isOperator(ch)) {
      operandStart = i + 1;
      continue;
    }
    if (ch != '-') continue;
    const bool sign = i == 0 || isSignContext(out[i - 1]) ||
                      // a doubled sign: --5 is 5
                      (out[i - 1] == '-') ||
                      // a function name before it: abs-2, also after an operator: 1+abs-2
                      IsFunctionName(out.mid(operandStart, i - operandStart));
    if (!sign) {
      out[i] = kSubtraction;
      operandStart = i + 1;
    }
  }
  return out;
}

QString formatIntermediate(Extended value, QChar separator) {
  return FormatGeneral(value, 18, separator);
}

Extended power(Extended base, Extended exponent) {
  if (base == 0 && exponent < 0) fail(kDivisionByZero);
  return finite(std::pow(base, exponent));
}

QString remainder(const QString &left, const QString &right) {
  const Extended l = std::trunc(EvaluateOperand(left));
  const Extended r = std::trunc(EvaluateOperand(right));
  constexpr Extended kInt64Limit = 9223372036854775807.0L;
  if (std::fabs(l) > kInt64Limit || std::fabs(r) > kInt64Limit) fail(kTooLarge);
  const auto a = static_cast<std::int64_t>(l);
  const auto b = static_cast<std::int64_t>(r);
  if (b == 0) fail(kDivisionByZero);
  return QString::number(b == -1 ? 0 : a % b);
}

}  // namespace

bool IsFunctionName(const QString &text) {
  const QString lower = text.toLower();
  if (lower == QLatin1String("!") || lower == QLatin1String("$")) return true;
  for (const char *name : kFunctionNames)
    if (lower == QLatin1String(name)) return true;
  return false;
}

Extended EvaluateOperand(const QString &text) {
  // Function names and factorial marks are peeled off in a loop and applied
  // afterwards, innermost first; the same as evaluating the rest recursively.
  constexpr int kFactorial = -1;
  std::vector<int> pending;
  QString s = text;
  Extended value = 0;
  const QChar separator = userDecimalSeparator();
  for (;;) {
    while (s.contains(QLatin1String("--"))) s.replace(QLatin1String("--"), QString());
    s = s.toLower();
    if (s == QLatin1String("pi")) { value = kPi; break; }
    if (s == QLatin1String("-pi")) { value = -kPi; break; }
    if (s == QLatin1String("e")) { value = std::exp(1.0L); break; }
    if (s == QLatin1String("-e")) { value = -std::exp(1.0L); break; }
    const int f = matchFunctionPrefix(s);
    if (f >= 0) {
      pending.push_back(f);
      s.remove(0, static_cast<qsizetype>(std::char_traits<char>::length(kFunctionNames[f])));
      continue;
    }
    if (s.endsWith('!')) {
      pending.push_back(kFactorial);
      s.chop(1);
      continue;
    }
    if (s.startsWith('$')) { value = parseHex(s.mid(1)); break; }
    value = parseNumber(s, separator);
    break;
  }
  for (auto it = pending.rbegin(); it != pending.rend(); ++it)
    value = *it == kFactorial ? factorial(value) : applyFunction(*it, value);
  return finite(value);
}

Extended EvaluateExpression(const QString &text) {
  if (text.trimmed().isEmpty()) fail("entry cannot be blank");
  QString s = text;
  s.remove(' ');
  s.remove('\t');
  if (s.size() > kMaxExpressionLength) fail("entry is too long");
  const QChar separator = userDecimalSeparator();

  // Parenthesised groups, innermost first, are replaced by their value text.
  for (;;) {
    const qsizetype close = s.indexOf(')');
    if (close < 0) break;
    const qsizetype open = close == 0 ? -1 : s.lastIndexOf('(', close - 1);
    if (open < 0) fail("() (parentheses) do not match");
    const Extended inner = EvaluateExpression(s.mid(open + 1, close - open - 1));
    s.replace(open, close - open + 1, formatIntermediate(inner, separator));
  }

  s = classifyMinusSigns(s);

  QStringList operands;
  QList<QChar> operators;
  QString current;
  for (QChar ch : s) {
    if (isOperator(ch)) {
      operands << current;
      operators << ch;
      current.clear();
    } else {
      current += ch;
    }
  }
  if (!operators.isEmpty() && current.isEmpty()) fail("invalid expression");
  operands << current;

  auto reduce = [&](auto inPass, auto apply) {
    for (qsizetype k = 0; k < operators.size();) {
      if (!inPass(operators[k])) {
        ++k;
        continue;
      }
      operands[k] = apply(operators[k], operands[k], operands[k + 1]);
      operands.removeAt(k + 1);
      operators.removeAt(k);
    }
  };
  auto number = [&](Extended v) { return formatIntermediate(finite(v), separator); };
  auto flag = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };

  reduce([](QChar op) { return op == '^'; },
         [&](QChar, const QString &l, const QString &r) {
           return number(power(EvaluateOperand(l), EvaluateOperand(r)));
         });
  reduce([](QChar op) { return op == '*' || op == '/' || op == '%' || op == '&'; },
         [&](QChar op, const QString &l, const QString &r) {
           if (op == '%') return remainder(l, r);
           const Extended a = EvaluateOperand(l);
           const Extended b = EvaluateOperand(r);
           if (op == '*') return number(a * b);
           if (op == '/') {
             if (b == 0) fail(kDivisionByZero);
             return number(a / b);
           }
           return flag(a != 0 && b != 0);
         });
  reduce([](QChar op) { return op == '+' || op == kSubtraction || op == '|'; },
         [&](QChar op, const QString &l, const QString &r) {
           const Extended a = EvaluateOperand(l);
           const Extended b = EvaluateOperand(r);
           if (op == '+') return number(a + b);
           if (op == kSubtraction) return number(a - b);
           return flag(a != 0 || b != 0);
         });
  reduce([](QChar op) { return op == '='; },
         [&](QChar, const QString &l, const QString &r) {
           return flag(EvaluateOperand(l) == EvaluateOperand(r));
         });

  return EvaluateOperand(operands.front());
}

QString FormatGeneral(Extended value, int digits, QChar decimalSeparator) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
  if (value == 0) return QStringLiteral("0");
  digits = std::clamp(digits, 1, 18);
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits - 1);
  const std::string text(buffer, result.ptr);  // "-d.ddde+XX"
  const bool negative = text.front() == '-';
  const size_t ePos = text.find('e');
  std::string mantissa;
  for (size_t i = negative ? 1 : 0; i < ePos; ++i)
    if (text[i] != '.') mantissa += text[i];
  const int exponent = std::stoi(text.substr(ePos + 1));
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();

  QString out;
  if (negative) out += '-';
  if (exponent >= digits || std::fabs(value) < 0.00001L) {
    out += QChar(mantissa[0]);
    if (mantissa.size() > 1) {
      out += decimalSeparator;
      out += QString::fromLatin1(mantissa.substr(1));
    }
    out += 'E';
    out += QString::number(exponent);
    return out;
  }
  if (exponent >= 0) {
    const size_t integerDigits = static_cast<size_t>(exponent) + 1;
    if (mantissa.size() <= integerDigits) {
      out += QString::fromLatin1(mantissa);
      out += QString(static_cast<qsizetype>(integerDigits - mantissa.size()), '0');
    } else {
      out += QString::fromLatin1(mantissa.substr(0, integerDigits));
      out += decimalSeparator;
      out += QString::fromLatin1(mantissa.substr(integerDigits));
    }
  } else {
    out += '0';
    out += decimalSeparator;
    out += QString(static_cast<qsizetype>(-exponent - 1), '0');
    out += QString::fromLatin1(mantissa);
  }
  return out;
}

QString FormatValue(Extended value) { return FormatGeneral(value, 8, userDecimalSeparator()); }

QString FormatValueC(Extended value) { return FormatGeneral(value, 8, QChar('.')); }

namespace {

struct UnitName {
  const char *placeholder;
  const char *english;
  const char *si;
};

constexpr std::array<UnitName, 5> kForcePlaceholders = {{
    {"F6", "slug", "Mg"}, {"F5", "sec", "sec"}, {"F4", "lb-sec2/in", "Mg"},
    {"F2", "tons", "kN"}, {"F1", "kips", "kN"}}};
constexpr UnitName kBareForce = {"F", "lbs", "kN"};

constexpr std::array<UnitName, 3> kLengthPlaceholders = {{
    {"L2", "ft", "m"}, {"L1", "in", "mm"}, {"L3", "rad", "rad"}}};
constexpr UnitName kBareLength = {"L", "in", "m"};

template <size_t N>
void replaceGroup(QString &text, const std::array<UnitName, N> &numbered, const UnitName &bare,
                  int units) {
  auto name = [units](const UnitName &u) {
    return QString::fromLatin1(units == kUnitsSI ? u.si : u.english);
  };
  for (const UnitName &u : numbered) {
    const QString placeholder = QString::fromLatin1(u.placeholder);
    if (text.contains(placeholder)) {
      text.replace(placeholder, name(u));
      return;
    }
  }
  text.replace(QString::fromLatin1(bare.placeholder), name(bare));
}

// Factor of one part ("F", "L2^2", "F1/..." numerator) of a unit template.
Extended partFactor(const QString &part) {
  Extended factor = 1;
  for (qsizetype i = 0; i < part.size(); ++i) {
    const QChar kind = part[i];
    if (kind != 'F' && kind != 'L') continue;
    int code = 0;
    if (i + 1 < part.size() && part[i + 1].isDigit()) code = part[++i].digitValue();
    int exponent = 1;
    if (i + 2 < part.size() && part[i + 1] == '^' && part[i + 2].isDigit()) {
      exponent = part[i + 2].digitValue();
      i += 2;
    }
    Extended unit;
    if (kind == 'F') {
      switch (code) {
        case 0: unit = kLbsPerKN; break;
        case 1: unit = kKipsPerKN; break;
        case 4: unit = kLbSec2PerInPerMg; break;
        case 5: unit = 1; break;
        case 6: unit = kSlugPerMg; break;
        default: unit = kTonsPerKN; break;
      }
    } else {
      switch (code) {
        case 0: unit = kInPerM; break;
        case 1: unit = kInPerMm; break;
        case 3: unit = 1; break;
        default: unit = kFtPerM; break;
      }
    }
    for (int k = 0; k < exponent; ++k) factor *= unit;
  }
  return factor;
}

}  // namespace

QString ExpandUnitsTemplate(const QString &unitsTemplate, int units) {
  if (units == kUnitsVerbatim) return unitsTemplate;
  QString text = unitsTemplate;
  replaceGroup(text, kForcePlaceholders, kBareForce, units);
  replaceGroup(text, kLengthPlaceholders, kBareLength, units);
  return text;
}

Extended UnitTemplateFactor(const QString &unitsTemplate) {
  const qsizetype slash = unitsTemplate.indexOf('/');
  if (slash < 0) return partFactor(unitsTemplate);
  return partFactor(unitsTemplate.left(slash)) / partFactor(unitsTemplate.mid(slash + 1));
}

}  // namespace pylar
