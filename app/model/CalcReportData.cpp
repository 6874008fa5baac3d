#include "model/CalcReportData.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace pylar {

namespace {

const QString kEstimatedMark = QStringLiteral("(*)");

bool IsRule(const QString &trimmed) {
  return !trimmed.isEmpty() && trimmed.count(u'-') + trimmed.count(u'=') == trimmed.size();
}

bool IsWarning(const QString &trimmed) {
  return trimmed.contains(QStringLiteral("WARNING")) && (trimmed.startsWith(u'*') || trimmed.startsWith(u'.'));
}

bool IsLayerLine(const QString &trimmed) { return trimmed.startsWith(QStringLiteral("LAYER NO")); }

// The warning starting at line `at`: its lines up to a blank line or a layer.
QStringList WarningAt(const QStringList &lines, qsizetype at) {
  QStringList warning{lines[at].trimmed()};
  for (qsizetype l = at + 1; l < lines.size(); ++l) {
    const QString trimmed = lines[l].trimmed();
    if (trimmed.isEmpty() || IsLayerLine(trimmed) || IsWarning(trimmed)) break;
    warning << trimmed;
  }
  return warning;
}

}  // namespace

bool SplitReportEntry(const QString &line, TReportEntry &entry) {
  QString text = line.trimmed();
  if (text.isEmpty() || IsRule(text)) return false;
  entry = {};
  if (text.endsWith(kEstimatedMark)) {
    entry.estimated = true;
    text.chop(kEstimatedMark.size());
    text = text.trimmed();
  }
  qsizetype at = text.indexOf(QStringLiteral(" = "));
  qsizetype width = 3;
  if (at < 0) {
    at = text.indexOf(u'=');
    width = 1;
  }
  if (at < 0) {
    entry.name = text;
    return true;
  }
  entry.name = text.left(at).trimmed();
  entry.value = text.mid(at + width).trimmed();
  return !entry.name.isEmpty();
}

QString DesignMethodsName(const TReportInputs &inputs) {
  return inputs.methodSet == QLatin1String("2018") ? QStringLiteral("FHWA GEC-10 (2018)")
                                                   : QStringLiteral("FHWA-IF-99-025 (1999)");
}

std::vector<QStringList> ReportWarnings(const QStringList &lines) {
  std::vector<QStringList> warnings;
  for (qsizetype l = 0; l < lines.size(); ++l)
    if (IsWarning(lines[l].trimmed())) warnings.push_back(WarningAt(lines, l));
  return warnings;
}

QString ReportRunDate(const QString &reportFile) {
  QFile file(reportFile);
  if (!QFileInfo(reportFile).isFile() || !file.open(QIODevice::ReadOnly)) return {};
  // The date line is among the first few dozen lines.
  const QStringList lines = QString::fromLatin1(file.read(16 * 1024)).split(u'\n');
  const TReportInputs head = ReadReportInputs(lines.mid(0, 60));
  return head.date.isEmpty() ? QString() : head.date + QStringLiteral(", ") + head.time;
}

TReportInputs ReadReportInputs(const QStringList &lines) {
  TReportInputs inputs;
  enum class Part { Header, Project, Soil, Pier, Charts, Settlements, Done } part = Part::Header;
  static const QRegularExpression dateLine(QStringLiteral("^\\s*Date:\\s*(.*?)\\s+Time:\\s*(\\S+)\\s*$"));
  static const QRegularExpression layerLine(QStringLiteral("^\\s*LAYER NO\\s*(\\d+)-+\\s*(.*?)\\s*$"));
  static const QRegularExpression settlementHeading(QStringLiteral("^\\s*POINT\\s+SETTLEMENT VALUES,\\s*(\\S+)\\s*$"));
  static const QRegularExpression settlementLine(QStringLiteral("^\\s*\\d+\\s+(\\S+)\\s*$"));
  bool bottom = false;
  bool inWarning = false;  // the lines of a layer's warning are not properties
  for (qsizetype at = 0; at < lines.size(); ++at) {
    const QString &line = lines[at];
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QStringLiteral("COMPUTATION RESULTS"))) break;
    if (part == Part::Header) {
      if (const QRegularExpressionMatch m = dateLine.match(line); m.hasMatch()) {
        inputs.date = m.captured(1);
        inputs.time = m.captured(2);
        part = Part::Project;
      }
      continue;
    }
    if (trimmed == QLatin1String("SOIL INFORMATION")) {
      part = Part::Soil;
      continue;
    }
    if (trimmed == QLatin1String("INPUT DRILLED PYLAR INFORMATION")) {
      part = Part::Pier;
      continue;
    }
    if (trimmed.startsWith(QStringLiteral("COMPUTATION OF")) && trimmed.endsWith(QStringLiteral("CHARTS"))) {
      part = Part::Charts;
      continue;
    }
    if (const QRegularExpressionMatch m = settlementHeading.match(line); m.hasMatch()) {
      inputs.settlementUnit = m.captured(1);
      part = Part::Settlements;
      continue;
    }
    TReportEntry entry;
    switch (part) {
      case Part::Header:
      case Part::Done: break;
      case Part::Project:
        // "DESIGN METHODS: 2018 (FHWA GEC-10, ...)": printed for the 2018 methods only.
        if (trimmed.startsWith(QStringLiteral("DESIGN METHODS:"))) {
          inputs.methodSet = trimmed.mid(15).trimmed().section(u' ', 0, 0);
          break;
        }
        // Only the lines with a value: the title line above has none.
        if (SplitReportEntry(line, entry) && !entry.value.isEmpty()) inputs.project.push_back(entry);
        break;
      case Part::Soil: {
        if (const QRegularExpressionMatch m = layerLine.match(line); m.hasMatch()) {
          TReportSoilLayer layer;
          layer.number = m.captured(1).toInt();
          layer.model = m.captured(2);
          inputs.layers.push_back(layer);
          bottom = false;
          inWarning = false;
          break;
        }
        if (trimmed.isEmpty()) {
          inWarning = false;
          break;
        }
        if (IsWarning(trimmed) && !inputs.layers.empty()) {
          inputs.layers.back().warnings.push_back(WarningAt(lines, at));
          inWarning = true;
          break;
        }
        if (inWarning) break;
        if (trimmed.startsWith(kEstimatedMark)) {
          inputs.estimatedNote = true;
          break;
        }
        if (inputs.layers.empty()) break;
        if (trimmed == QLatin1String("AT THE TOP")) {
          bottom = false;
          break;
        }
        if (trimmed == QLatin1String("AT THE BOTTOM")) {
          bottom = true;
          break;
        }
        if (!SplitReportEntry(line, entry)) break;
        std::vector<TReportSoilProperty> &properties = inputs.layers.back().properties;
        TReportSoilProperty *property = nullptr;
        for (TReportSoilProperty &p : properties)
          if (p.name == entry.name && !(bottom ? p.atBottom : p.atTop)) {
            property = &p;
            break;
          }
        if (!property) {
          properties.push_back({entry.name, {}, {}, false, false});
          property = &properties.back();
        }
        (bottom ? property->bottom : property->top) = entry;
        (bottom ? property->atBottom : property->atTop) = true;
        break;
      }
      case Part::Pier:
        if (SplitReportEntry(line, entry) && !entry.value.isEmpty()) inputs.pier.push_back(entry);
        break;
      case Part::Charts:
        if (SplitReportEntry(line, entry) && !entry.value.isEmpty()) inputs.charts.push_back(entry);
        break;
      case Part::Settlements:
        if (const QRegularExpressionMatch m = settlementLine.match(line); m.hasMatch())
          inputs.settlements << m.captured(1);
        else if (!trimmed.isEmpty())
          part = Part::Done;
        break;
    }
  }
  return inputs;
}

}  // namespace pylar
