#include "AnalysisRun.h"

#include "ReportResults.h"

#include "DataUnit.h"
#include "dynlib.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <clocale>
#include <memory>
#include <string>

namespace pylar {

namespace {

// Numbers of the engine use "." while a run lasts, whatever the user's locale;
// the previous settings come back when the run ends, however it ends.
class TDecimalPointGuard {
 public:
  TDecimalPointGuard() : fLocale(QLocale()) {
    if (const char *current = std::setlocale(LC_NUMERIC, nullptr)) fNumeric = current;
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
  }
  ~TDecimalPointGuard() {
    std::setlocale(LC_NUMERIC, fNumeric.c_str());
    QLocale::setDefault(fLocale);
  }
  TDecimalPointGuard(const TDecimalPointGuard &) = delete;
  TDecimalPointGuard &operator=(const TDecimalPointGuard &) = delete;

 private:
  QLocale fLocale;
  std::string fNumeric = "C";
};

// The engine library of the current run; empty between runs, so every run
// starts with a freshly loaded engine.
std::unique_ptr<TDynamicLibrary> &engineLibrary() {
  static std::unique_ptr<TDynamicLibrary> library;
  return library;
}

// Empties the library slot, and removes names.dat once this run wrote it,
// however the run ends.
class TRunCleanup {
 public:
  explicit TRunCleanup(QString namesFile) : fNamesFile(std::move(namesFile)) {}
  ~TRunCleanup() { Finish(); }
  TRunCleanup(const TRunCleanup &) = delete;
  TRunCleanup &operator=(const TRunCleanup &) = delete;

  void NamesFileWritten() { fNamesWritten = true; }
  void Finish() {
    engineLibrary().reset();
    if (fNamesWritten) QFile::remove(fNamesFile);
    fNamesWritten = false;
  }

 private:
  QString fNamesFile;
  bool fNamesWritten = false;
};

constexpr const char *kWarningsHeading = "WARNINGS OF THE RUN:";
// More than any run notes of a run the engine accepts.
constexpr qint64 kNotesLimit = qint64(32) * 1024 * 1024;

bool nonEmptyFile(const QString &path) {
  const QFileInfo info(path);
  return info.isFile() && info.size() > 0;
}

}  // namespace

// The last line of the run notes that names an error or is framed by
// asterisks (shown without them). Only the end of the file is read.
QString EngineMessageInRunNotes(const QString &notesFile) {
  QFile file(notesFile);
  if (!file.open(QIODevice::ReadOnly)) return {};
  constexpr qint64 kTail = 16384;
  if (file.size() > kTail) file.seek(file.size() - kTail);
  QList<QByteArray> lines = file.readAll().split('\n');
  // The list of warnings that closes the run notes is not how the run ended.
  for (qsizetype k = lines.size(); k-- > 0;)
    if (lines[k].trimmed().startsWith(kWarningsHeading)) {
      lines.resize(k);
      break;
    }
  for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
    const QByteArray text = line->trimmed();
    if (text.startsWith('*')) {
      QByteArray inner = text;
      while (inner.startsWith('*')) inner.remove(0, 1);
      while (inner.endsWith('*')) inner.chop(1);
      if (!inner.trimmed().isEmpty()) return QString::fromLatin1(inner.trimmed());
    }
    if (text.contains("ERROR")) return QString::fromLatin1(text);
  }
  return {};
}

QStringList RunShortfalls(const QString &notesFile) {
  QFile file(notesFile);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QList<QByteArray> lines = file.read(kNotesLimit).split('\n');
  QStringList shortfalls;
  for (qsizetype k = 0; k < lines.size(); ++k) {
    if (!lines[k].contains("NEED ANOTHER SOIL LAYER")) continue;
    QStringList words;
    for (qsizetype next = k + 1; next < lines.size() && !lines[next].trimmed().isEmpty(); ++next)
      words << QString::fromLatin1(lines[next].trimmed());
    if (!words.isEmpty()) shortfalls << words.join(u' ');
  }
  return shortfalls;
}

QString TRunWarning::Line() const {
  return layer > 0 ? QStringLiteral("Layer ") + QString::number(layer) + QStringLiteral(": ") + text : text;
}

std::vector<TRunWarning> ReadRunWarnings(const QString &notesFile) {
  std::vector<TRunWarning> warnings;
  QFile file(notesFile);
  if (!file.open(QIODevice::ReadOnly)) return warnings;
  const QList<QByteArray> lines = file.read(kNotesLimit).split('\n');
  qsizetype at = -1;
  for (qsizetype k = lines.size(); k-- > 0;)
    if (lines[k].trimmed().startsWith(kWarningsHeading)) {
      at = k;
      break;
    }
  if (at < 0) return warnings;
  bool counted = false;
  const qsizetype count = lines[at].trimmed().mid(qsizetype(qstrlen(kWarningsHeading))).trimmed().toLongLong(&counted);
  if (!counted || count <= 0) return warnings;
  // The heading, its dashes, then one line each.
  for (qsizetype k = at + 2; k < lines.size() && qsizetype(warnings.size()) < count; ++k) {
    const QString line = QString::fromLatin1(lines[k].trimmed());
    const qsizetype colon = line.indexOf(QStringLiteral(": "));
    if (colon < 0) break;
    const QString place = line.left(colon);
    TRunWarning w;
    w.text = line.mid(colon + 2);
    if (place.startsWith(QStringLiteral("LAYER"))) {
      bool ok = false;
      w.layer = place.mid(5).trimmed().toInt(&ok);
      if (!ok || w.layer < 1) break;
    } else if (place != QStringLiteral("GENERAL")) {
      break;
    }
    warnings.push_back(std::move(w));
  }
  return warnings;
}

QString RunWarningsText(const std::vector<TRunWarning> &warnings) {
  if (warnings.empty()) return {};
  QString text = warnings.size() == 1 ? QStringLiteral("1 warning (see the report):")
                                      : QString::number(warnings.size()) + QStringLiteral(" warnings (see the report):");
  for (const TRunWarning &w : warnings) text += u'\r' + w.Line();
  return text;
}

QStringList RunResultFiles(const QString &projectFile) {
  QStringList files;
  for (const engine::RunFile &file : engine::kRunFiles)
    if (file.shownResult) files << RunFileOf(projectFile, file.kind);
  return files;
}

bool TRunOutcome::ResultsCurrent() const {
  if (!EngineRan() || (EngineStatus != 0 && EngineStatus != 7)) return false;
  return Results.Current() || Results.state == TResultsState::NoRecord;
}

QString TRunOutcome::ResultsNote() const {
  if (!EngineRan() || ResultsCurrent()) return {};
  if (EngineStatus != 0 && EngineStatus != 7)
    return QStringLiteral("The run did not complete (status %1), so its results are not shown.").arg(EngineStatus);
  return Results.Reason(ProjectFile);
}

QString TRunOutcome::UserMessage() const {
  switch (Status) {
    case TRunStatus::NotNamed: return {};
    case TRunStatus::SaveFailed: return QStringLiteral("An error occured during saving\r") + Reason;
    case TRunStatus::FolderBusy: return Reason;
    case TRunStatus::ResultsKept:
      return QStringLiteral("The results of an earlier run could not be removed, so the analysis was not run:\r") +
             Reason;
    case TRunStatus::NamesFileFailed: return Reason;
    case TRunStatus::LibraryBusy: return QStringLiteral("Attempt to reinitialize DLL");
    case TRunStatus::LibraryFailed: return QStringLiteral("Attempt to initialize DLL failed");
    case TRunStatus::EngineRan: break;
  }
  // As many as the summary shows piers; the run notes hold them all.
  constexpr qsizetype kShownShortfalls = 12;
  QString shortfalls;
  if (!Shortfalls.isEmpty()) shortfalls = QStringLiteral("\r\r") + Shortfalls.mid(0, kShownShortfalls).join(u'\r');
  if (Shortfalls.size() > kShownShortfalls)
    shortfalls += QStringLiteral("\r... and ") + QString::number(Shortfalls.size() - kShownShortfalls) +
                  QStringLiteral(" more piers do not reach the design load (see the run notes)");
  // The piers that fall short, then the run's warnings, come before the
  // summary of its piers.
  const QString warnings = RunWarningsText(Warnings);
  const QString note = ResultsNote();
  if (EngineStatus == 0) {
    QString text =
        QStringLiteral("Computations are completed.\rPlease, check output file for results or error messages.");
    text += shortfalls;
    if (!warnings.isEmpty()) text += QStringLiteral("\r\r") + warnings;
    if (!Summary.isEmpty()) text += QStringLiteral("\r\r") + Summary;
    if (!note.isEmpty()) text += QStringLiteral("\r\r") + note;
    return text;
  }
  QString text = QStringLiteral(
      "Computations are completed, but there may be errors.\rPlease, check output file for results or error messages.");
  if (!EngineMessage.isEmpty()) text += QStringLiteral("\r\r") + EngineMessage;
  text += shortfalls;
  if (!warnings.isEmpty()) text += QStringLiteral("\r\r") + warnings;
  if (!note.isEmpty()) text += QStringLiteral("\r\r") + note;
  if (!RunNotesFile.isEmpty())
    text += QStringLiteral("\r\rThe run notes are in ") + QDir::toNativeSeparators(RunNotesFile);
  return text;
}

TRunOutcome TAnalysisRun::Execute(TProgramData &project) {
  TRunOutcome outcome;
  if (NeedsSaveAs(project.FileName)) return outcome;

  // A run never starts from an older file: what is run is what was saved.
  try {
    project.Save();
  } catch (const EPylarError &e) {
    outcome.Status = TRunStatus::SaveFailed;
    outcome.Reason = e.message();
    return outcome;
  }
  return RunProjectFile(project.FileName);
}

TRunOutcome TAnalysisRun::RunProjectFile(const QString &projectFile) {
  TRunOutcome outcome;
  outcome.ProjectFile = projectFile;
  TDecimalPointGuard decimalPoint;
  const QString folder = QFileInfo(projectFile).absolutePath();
  QDir::setCurrent(folder);
  const QString namesFile = QDir(folder).filePath(QString::fromLatin1(kNamesFile));

  if (engineLibrary()) {
    outcome.Status = TRunStatus::LibraryBusy;
    return outcome;
  }
  // Declared before the cleanup, so the folder is let go after it.
  TFolderLock folderLock;
  TRunCleanup cleanup(namesFile);
  TIPYLAR ipylar = nullptr;
  try {
    engineLibrary() = std::make_unique<TDynamicLibrary>(EngineLibraryFile(fProgramFolder), true);
    ipylar = reinterpret_cast<TIPYLAR>(engineLibrary()->FindProcedure(QStringLiteral("IPYLAR")));
  } catch (const EDLLError &) {
    ipylar = nullptr;
  }
  if (!ipylar) {
    outcome.Status = TRunStatus::LibraryFailed;
    return outcome;
  }

  // One run at a time in a folder: the scratch files have fixed names.
  if (folderLock.Acquire(folder, LockWait, OnLockWait) != TLockResult::Held) {
    outcome.Status = TRunStatus::FolderBusy;
    outcome.Reason = folderLock.Message();
    return outcome;
  }
  // A names.dat of the user's is neither replaced nor removed.
  if (const QString inTheWay = NamesFileInTheWay(folder); !inTheWay.isEmpty()) {
    outcome.Status = TRunStatus::NamesFileFailed;
    outcome.Reason = inTheWay;
    return outcome;
  }

  // Results of an earlier run must never pass for this run's: they go before
  // the engine starts, and a file that cannot be removed stops the run.
  for (const QString &file : RunResultFiles(projectFile) + QStringList{RunRecordFile(projectFile)}) {
    if ((QFileInfo(file).exists() || QFileInfo(file).isSymLink()) && !QFile::remove(file)) {
      outcome.Status = TRunStatus::ResultsKept;
      outcome.Reason = QDir::toNativeSeparators(file);
      return outcome;
    }
  }

  try {
    WriteNamesFile(folder, projectFile);
  } catch (const EPylarError &e) {
    outcome.Status = TRunStatus::NamesFileFailed;
    outcome.Reason = e.message();
    return outcome;
  }
  cleanup.NamesFileWritten();

  if (OnEngineStart) OnEngineStart();
  outcome.EngineStatus = ipylar(kIPYLARArgument);
  if (OnEngineEnd) OnEngineEnd();
  outcome.Status = TRunStatus::EngineRan;
  RemoveRunScratchFiles(projectFile);
  cleanup.Finish();

  // Still inside the lock: nothing else has touched the results.
  outcome.Results = CheckRunRecord(projectFile);
  using engine::RunFileKind;
  const QString report = RunFileOf(projectFile, RunFileKind::Report);
  const QString plotData = RunFileOf(projectFile, RunFileKind::PlotData);
  const QString runNotes = RunFileOf(projectFile, RunFileKind::RunNotes);
  outcome.ReportWritten = QFileInfo::exists(report);
  outcome.PlotDataWritten = nonEmptyFile(plotData);
  outcome.RunNotesWritten = QFileInfo::exists(runNotes);
  outcome.DetailWritten = QFileInfo::exists(RunFileOf(projectFile, RunFileKind::Detail));
  if (outcome.EngineStatus != 0) outcome.EngineMessage = EngineMessageInRunNotes(runNotes);
  if (outcome.RunNotesWritten) {
    outcome.RunNotesFile = runNotes;
    outcome.Shortfalls = RunShortfalls(runNotes);
    outcome.Warnings = ReadRunWarnings(runNotes);
  }
  if (outcome.EngineStatus == 0 && outcome.ReportWritten && outcome.ResultsCurrent())
    outcome.Summary = RunSummary(report, plotData);
  return outcome;
}

QString RunSummary(const QString &reportFile, const QString &plotDataFile) {
  const TSeriesResults r = ReadSeriesResults(ReadTextFile(reportFile), plotDataFile);
  if (r.piers.empty() || r.columns.size() < 8) return {};
  constexpr int kShown = 12;
  const int design = r.lrfd ? 7 : 6;  // LRFD total, or QDN
  const QString length = r.si ? QStringLiteral(" m") : QStringLiteral(" ft");
  auto unit = [&](int column) {
    QString u = column < r.units.size() ? r.units[column] : QString();
    u.remove(u'(').remove(u')');
    u = u.trimmed();
    u = u == QLatin1String("KN") ? QStringLiteral("kN") : u.toLower();
    return u.isEmpty() ? u : u' ' + u;
  };
  auto value = [](const TSeriesPier &pier, int column) {
    return column < static_cast<int>(pier.row.size()) ? pier.row[static_cast<std::size_t>(column)].text : QString();
  };
  QStringList lines;
  for (std::size_t k = 0; k < r.piers.size() && k < kShown; ++k) {
    const TSeriesPier &pier = r.piers[k];
    QString line = QStringLiteral("Pier ") + QString::number(k + 1) + QStringLiteral(": stem ") + pier.stem.text +
                   length + QStringLiteral(", length ") + pier.length.text + length + QStringLiteral(", QU ") +
                   value(pier, 4) + unit(4) + QStringLiteral(", ") + r.columns[design] + u' ' + value(pier, design) +
                   unit(design);
    if (static_cast<int>(k) == r.mostEfficient) line += QStringLiteral("  (most efficient)");
    if (pier.designLoadNotReached) line += QStringLiteral("  (design load not reached)");
    lines << line;
  }
  if (r.piers.size() > kShown)
    lines << QStringLiteral("... and ") + QString::number(r.piers.size() - kShown) +
                 QStringLiteral(" more piers (Computation > Results Table)");
  return lines.join(u'\r');
}

}  // namespace pylar
