#include "ReportNumbers.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <utility>

namespace pylar {

namespace {

constexpr int kLargestExponent = 30;

// The report's unit words (upper case, without a closing period) and how
// they read.
const std::pair<const char *, const char *> kUnits[] = {
    {"FT", "ft"},
    {"IN", "in"},
    {"M", "m"},
    {"MM", "mm"},
    {"DEG", "deg"},
    {"TON", "tons"},
    {"TONS", "tons"},
    {"KN", "kN"},
    {"LB", "lb"},
    {"LBS", "lb"},
    {"LB/SQ FT", "lb/ft²"},
    {"LB/CU FT", "lb/ft³"},
    {"LB/SQ IN", "lb/in²"},
    {"KN/SQ M", "kN/m²"},
    {"KN/CU M", "kN/m³"},
    {"KN/CU.M", "kN/m³"},
    {"KN /CU.M", "kN/m³"},
    {"CU.YDS", "yd³"},
    {"CU.YD", "yd³"},
    {"CU.M", "m³"},
    {"CU. M", "m³"},
    {"SQ.IN", "in²"},
    {"SQ. M", "m²"},
    {"TONS/CU.YDS", "tons/yd³"},
    {"TONS/CU.YD", "tons/yd³"},
    {"%", "%"},
};

// The unit word as the table holds it: upper case, single blanks, no
// brackets and no closing period.
QString unitKey(const QString &unit) {
  QString key = unit.trimmed();
  if (key.startsWith(u'(') && key.endsWith(u')')) key = key.mid(1, key.size() - 2);
  key = key.simplified().toUpper();
  while (key.endsWith(u'.')) key.chop(1);
  return key.trimmed();
}

const char *knownUnit(const QString &unit) {
  const QString key = unitKey(unit);
  if (key.isEmpty()) return nullptr;
  for (const auto &[word, readable] : kUnits)
    if (key == QLatin1String(word)) return readable;
  return nullptr;
}

bool startsWithNumber(const QString &word) {
  static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([EeDd][+-]?\\d+)?$"));
  return number.match(word).hasMatch();
}

}  // namespace

QString PlainDecimal(const QString &printed) {
  const QString text = printed.trimmed();
  static const QRegularExpression eField(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?[EeDd]([+-]?\\d{1,4})$"));
  const QRegularExpressionMatch m = eField.match(text);
  if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty())) return text;
  const int exponent = m.captured(4).toInt();
  if (exponent > kLargestExponent || exponent < -kLargestExponent) return text;
  QString digits = m.captured(2) + m.captured(3);
  // The decimal point stands after `point` of the digits.
  qsizetype point = m.captured(2).size() + exponent;
  while (!digits.isEmpty() && digits.front() == u'0') {
    digits.remove(0, 1);
    --point;
  }
  while (!digits.isEmpty() && digits.back() == u'0' && digits.size() > point) digits.chop(1);
  if (digits.isEmpty()) return QStringLiteral("0");
  QString plain;
  if (point <= 0)
    plain = QStringLiteral("0.") + QString(-point, u'0') + digits;
  else if (point >= digits.size())
    plain = digits + QString(point - digits.size(), u'0');
  else
    plain = digits.left(point) + u'.' + digits.mid(point);
  return m.captured(1) == QLatin1String("-") ? u'-' + plain : plain;
}

QString ReadableUnit(const QString &reportUnit) {
  if (const char *readable = knownUnit(reportUnit)) return QString::fromUtf8(readable);
  return reportUnit.trimmed();
}

TReadableEntry ReadableEntry(const QString &name, const QString &value) {
  TReadableEntry entry{name.trimmed(), value.trimmed()};
  const QString number = entry.value.section(u' ', 0, 0, QString::SectionSkipEmpty);
  if (!startsWithNumber(number)) return entry;
  QString unit = entry.value.section(u' ', 1, -1, QString::SectionSkipEmpty);
  // The unit in the name: "DEPTH, FT", "UNIAXIAL COMPRESSION STRENGTH OF ROCK,LB/SQ FT".
  if (const qsizetype comma = entry.name.lastIndexOf(u','); unit.isEmpty() && comma > 0) {
    const QString named = entry.name.mid(comma + 1);
    if (knownUnit(named)) {
      unit = named;
      entry.name = entry.name.left(comma).trimmed();
    }
  }
  entry.value = PlainDecimal(number);
  if (!unit.isEmpty()) entry.value += u' ' + ReadableUnit(unit);
  return entry;
}

QString SignificantDecimal(double value, int digits) {
  if (!std::isfinite(value)) return QStringLiteral("-");
  return PlainDecimal(QLocale::c().toString(value, 'e', std::max(0, digits - 1)));
}

}  // namespace pylar
