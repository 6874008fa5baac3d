#include "ReportFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace pylar {

namespace {

QString shownPath(const QString &path) { return QDir::toNativeSeparators(path); }

QString megabytes(qint64 bytes) { return QString::number(bytes / (1024 * 1024)); }

// Engine files are ASCII; a project title typed in the program arrives as
// UTF-8. Anything else is taken byte for byte.
bool isUtf8(const QByteArray &data) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  // The decoding runs when its result is taken.
  const QString decoded = utf8.decode(data);
  return !utf8.hasError();
}

// The text after the first "=" or ":" of a line, trimmed.
QString valueAfter(const QString &line, QChar mark) {
  const auto at = line.indexOf(mark);
  return at < 0 ? QString() : line.mid(at + 1).trimmed();
}

bool startsWith(const QString &trimmed, const char *text) { return trimmed.startsWith(QLatin1String(text)); }

}  // namespace

QString TTextFile::Text() const { return lines.join(u'\n'); }

TTextFile TextFileFromData(const QString &path, const QByteArray &input, qint64 fileSize, qint64 limit) {
  TTextFile file;
  file.path = path;
  file.fileSize = std::max<qint64>(fileSize, input.size());
  QByteArray data = input;
  if (data.size() > limit) {
    // Shown up to the last whole line within the limit.
    data.truncate(limit);
    const auto lastEnd = data.lastIndexOf('\n');
    if (lastEnd >= 0) data.truncate(lastEnd + 1);
    file.cutShort = true;
    file.notices << QStringLiteral("The file is larger than %1 MB: only its first %2 bytes are shown.")
                        .arg(megabytes(limit))
                        .arg(data.size());
  }
  file.bytesShown = data.size();
  const bool utf8 = isUtf8(data);
  qsizetype nulBytes = 0;
  qsizetype start = 0;
  while (start < data.size()) {
    auto end = data.indexOf('\n', start);
    const bool lineEnd = end >= 0;
    if (!lineEnd) end = data.size();
    qsizetype length = end - start;
    if (lineEnd && length > 0 && data[end - 1] == '\r') --length;
    QByteArray bytes = data.mid(start, length);
    nulBytes += bytes.count('\0');
    QString text = utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    // A NUL would end the text in some views; it is shown as the NUL symbol.
    text.replace(QChar(0), QChar(0x2400));
    file.lines << text;
    file.lineOffsets.push_back(start);
    if (!lineEnd) file.endsInsideLine = true;
    if (!lineEnd && !file.cutShort) {
      file.cutShort = true;
      file.notices << QStringLiteral("The file ends in the middle of a line: it is cut short (the run that wrote it "
                                     "may not have finished).");
    }
    start = end + 1;
  }
  if (nulBytes > 0)
    file.notices << QStringLiteral("The file holds %1 NUL bytes (shown as %2): it is damaged or no text file.")
                        .arg(nulBytes)
                        .arg(QChar(0x2400));
  file.sections = FindSections(file.lines, file.lineOffsets);
  // Every case of a report or of the run notes ends with its pier length.
  for (std::size_t i = 0; i < file.sections.size(); ++i) {
    const TTextSection &s = file.sections[i];
    if (s.kind != TSectionKind::Case) continue;
    int next = static_cast<int>(file.lines.size());
    for (std::size_t j = i + 1; j < file.sections.size(); ++j)
      if (file.sections[j].kind == TSectionKind::Case) {
        next = file.sections[j].line;
        break;
      }
    bool closed = false;
    for (int l = s.line; l < next && !closed; ++l) closed = startsWith(file.lines[l].trimmed(), "PYLAR LENGTH");
    if (!closed) {
      file.cutShort = true;
      file.notices << QStringLiteral("Case %1 has no pier length line: the file is cut short.").arg(s.caseNumber);
      break;
    }
  }
  return file;
}

TTextFile ReadTextFile(const QString &path, qint64 limit) {
  const QFileInfo info(path);
  if (!info.exists())
    throw ETextFileError(QStringLiteral("The file %1 does not exist. Run the analysis to write it.").arg(shownPath(path)));
  if (info.isDir()) throw ETextFileError(QStringLiteral("%1 is a folder, not a file.").arg(shownPath(path)));
  // Devices and pipes could block or never end.
  if (!info.isFile()) throw ETextFileError(QStringLiteral("%1 is not a regular file.").arg(shownPath(path)));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw ETextFileError(QStringLiteral("The file %1 cannot be read: %2").arg(shownPath(path), file.errorString()));
  const QByteArray data = file.read(limit + 1);
  const bool readWhole = file.error() == QFileDevice::NoError;
  if (data.isEmpty()) {
    if (file.error() != QFileDevice::NoError)
      throw ETextFileError(QStringLiteral("The file %1 cannot be read: %2").arg(shownPath(path), file.errorString()));
    throw ETextFileError(
        QStringLiteral("The file %1 is empty: the run that wrote it stopped before writing anything.").arg(shownPath(path)));
  }
  TTextFile text = TextFileFromData(path, data, file.size(), limit);
  if (!readWhole) {
    text.cutShort = true;
    text.notices << QStringLiteral("The file could not be read to its end: %1").arg(file.errorString());
  }
  return text;
}

std::vector<TTextSection> FindSections(const QStringList &lines, const std::vector<qint64> &offsets) {
  std::vector<TTextSection> sections;
  const int count = static_cast<int>(lines.size());
  auto add = [&](int line, TSectionKind kind, const QString &title, int caseNumber = 0) {
    const qint64 offset = line < static_cast<int>(offsets.size()) ? offsets[static_cast<std::size_t>(line)] : 0;
    sections.push_back({title, line, offset, kind, caseNumber});
  };
  if (count == 0) return sections;
  bool banner = false;
  for (int l = 0; l < std::min(count, 30) && !banner; ++l)
    banner = lines[l].contains(QLatin1String("VERTICALLY LOADED DRILLED PYLAR ANALYSIS"));
  add(0, TSectionKind::ProjectData, banner ? QStringLiteral("Project data") : QStringLiteral("Start of file"));

  bool afterMostEfficient = false;  // load-settlement runs follow the most efficient pier
  bool inAdditionalCurves = false;  // their banners belong to the extra t-z curves
  int settlementRuns = 0;
  int trendLines = 0;
  for (int l = 0; l < count; ++l) {
    const QString t = lines[l].trimmed();
    if (t.isEmpty()) continue;
    if (t == QLatin1String("SOIL INFORMATION")) {
      add(l, TSectionKind::SoilInformation, QStringLiteral("Soil information"));
    } else if (t == QLatin1String("INPUT DRILLED PYLAR INFORMATION")) {
      add(l, TSectionKind::PierInput, QStringLiteral("Pier input"));
    } else if (t == QLatin1String("VARY PYLAR LENGTH FOR INITIAL DIAMETER")) {
      add(l, TSectionKind::SeriesInput, QStringLiteral("Multiple lengths input"));
    } else if (t == QLatin1String("COMPUTATION OF LRFD CHARTS")) {
      add(l, TSectionKind::SeriesInput, QStringLiteral("Design chart input"));
    } else if (t == QLatin1String("COMPUTATION RESULTS")) {
      add(l, TSectionKind::Results, QStringLiteral("Computation results"));
    } else if (startsWith(t, "- CASE ANALYZED")) {
      bool ok = false;
      const int number = valueAfter(t, u':').toInt(&ok);
      // The title names the pier: its stem and the length it stopped at.
      QString stem, length;
      for (int k = l + 1; k < count; ++k) {
        const QString u = lines[k].trimmed();
        if (startsWith(u, "- CASE ANALYZED")) break;
        if (stem.isEmpty() && startsWith(u, "DIAMETER OF STEM")) stem = valueAfter(u, u'=').simplified();
        if (startsWith(u, "PYLAR LENGTH")) {
          length = valueAfter(u, u'=').simplified();
          break;
        }
      }
      QString title = QStringLiteral("Case %1").arg(ok ? QString::number(number) : QStringLiteral("?"));
      if (!stem.isEmpty()) title += QStringLiteral(": stem ") + stem;
      if (!length.isEmpty()) title += QStringLiteral(", length ") + length;
      add(l, TSectionKind::Case, title, ok ? number : 0);
    } else if (t.contains(QLatin1String("NEED ANOTHER SOIL LAYER"))) {
      add(l, TSectionKind::NeedAnotherLayer, QStringLiteral("  Need another soil layer"));
    } else if (startsWith(t, "THE MOST EFFICIENT PYLAR")) {
      add(l, TSectionKind::MostEfficient, QStringLiteral("Most efficient pier"));
      afterMostEfficient = true;
    } else if (t == QLatin1String("RESULT FROM TREND (AVERAGED) LINE") && !inAdditionalCurves) {
      if (afterMostEfficient)
        add(l, TSectionKind::LoadSettlement, QStringLiteral("Load-settlement %1").arg(++settlementRuns));
      else
        add(l, TSectionKind::LoadSettlement, QStringLiteral("Trend line %1").arg(++trendLines));
    } else if (t == QLatin1String("LOAD SETTLEMENT RELATIONSHIP")) {
      add(l, TSectionKind::RockSocket, QStringLiteral("Rock socket load-settlement"));
    } else if (t == QLatin1String("AXIAL LOAD VS SETTLEMENT CURVES")) {
      add(l, TSectionKind::Curves, QStringLiteral("Axial load vs settlement curves"));
    } else if (startsWith(t, "ROCK WITH COMPRESSIVE STRENGTH LESS THAN")) {
      add(l, TSectionKind::Note, QStringLiteral("Weak strong rock note"));
    } else if (t == QLatin1String("ADDITIONAL TZ CURVES")) {
      add(l, TSectionKind::AdditionalTzCurves, QStringLiteral("Additional t-z curves"));
      inAdditionalCurves = true;
    } else if (t == QLatin1String("DESIGN CHART CURVES")) {
      add(l, TSectionKind::DesignCharts, QStringLiteral("Design chart curves"));
      inAdditionalCurves = false;
    } else if (startsWith(t, "- SETTLEMENT,")) {
      add(l, TSectionKind::ChartSettlement, QStringLiteral("  Settlement ") + t.mid(13).simplified());
    } else if (startsWith(t, "VARIATION DIAMETER") && t.contains(u'=')) {
      add(l, TSectionKind::BaseCurves, QStringLiteral("Base curves, diameter ") + valueAfter(t, u'='));
    }
  }
  return sections;
}

QString EditorFailureMessage(const QString &program) {
  const QString name = program.trimmed().isEmpty() ? QStringLiteral("(none)") : QDir::toNativeSeparators(program);
  return QStringLiteral("An error occurred in running the Word Processor:\r%1 could not be started.\r"
                        "The text editor is set in Data > Control Options... (Text Editor).")
      .arg(name);
}

}  // namespace pylar
