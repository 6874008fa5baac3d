#include "model/ProjectResults.h"

#include "model/AnalysisRun.h"
#include "model/DataUnit.h"
#include "model/RunChecks.h"
#include "model/RunRecord.h"
#include "model/dynlib.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace pylar {

namespace {

QString withReason(const QString &what, const QString &path, const QString &reason) {
  return what + QDir::toNativeSeparators(path) + (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
}

}  // namespace

TProjectResults ReadProjectResults(TProgramData &project, const QString &projectFile, const QByteArray &projectBytes,
                                   const QString &programFolder) {
  TProjectResults out;
  const QString projectPath = QFileInfo(projectFile).absoluteFilePath();
  const auto failed = [&out](const QString &error) {
    out.error = error;
    return std::move(out);
  };

  // The results beside the project are used when the project, as it is now,
  // produced them in a run that completed; otherwise the analysis runs on the
  // file as it is.
  const TResultsCheck results = CheckRunRecord(projectPath, projectBytes);
  TRunOutcome outcome;
  if (results.Current()) {
    outcome.Status = TRunStatus::EngineRan;
    outcome.ProjectFile = projectPath;
    outcome.EngineStatus = results.status;
    outcome.Results = results;
    const QString notes = RunFileOf(projectPath, engine::RunFileKind::RunNotes);
    if (QFileInfo::exists(notes)) outcome.RunNotesFile = notes;
    if (results.status != 0) outcome.EngineMessage = EngineMessageInRunNotes(notes);
  } else {
    const std::vector<TRunFinding> findings = CheckBeforeRun(project);
    if (HasRunErrors(findings))
      return failed(withReason(QStringLiteral("The analysis of "), projectFile,
                               QStringLiteral("cannot run:\n") + RunFindingsMessage(findings).replace(u'\r', u'\n')));
    outcome = TAnalysisRun(programFolder).RunProjectFile(projectPath);
  }
  // Only a run that completed and reached its design load gives results.
  if (!outcome.EngineRan() || outcome.EngineStatus != 0 || !outcome.ResultsCurrent()) {
    QStringList lines;
    if (!outcome.EngineRan()) {
      lines << (outcome.UserMessage().isEmpty() ? QStringLiteral("the analysis did not run") : outcome.UserMessage());
    } else {
      if (outcome.EngineStatus != 0)
        lines << QStringLiteral("The run ended with status %1%2.")
                     .arg(outcome.EngineStatus)
                     .arg(outcome.EngineStatus == 7 ? QStringLiteral(": the design load is not reached") : QString());
      if (!outcome.EngineMessage.isEmpty()) lines << outcome.EngineMessage;
      if (const QString note = outcome.ResultsNote(); !note.isEmpty() && outcome.EngineStatus == 0) lines << note;
      if (!outcome.RunNotesFile.isEmpty())
        lines << QStringLiteral("The run notes are in ") + QDir::toNativeSeparators(outcome.RunNotesFile);
    }
    return failed(withReason(QStringLiteral("The analysis of "), projectFile,
                             QStringLiteral("failed:\n") + lines.join(u'\n').replace(u'\r', u'\n')));
  }

  const QString plotData = RunFileOf(projectPath, engine::RunFileKind::PlotData);
  const TPlotDataResult loaded = ReadPlotData(plotData, PlotDataContext(project), out.plots);
  if (!loaded.ok) return failed(withReason(QStringLiteral("The results could not be read: "), plotData, loaded.error));
  if (!loaded.incomplete.isEmpty()) return failed(QStringLiteral("The results could not be read: ") + loaded.incomplete);
  for (TGraphPlot *plot : out.plots.All()) plot->ProjectFile = projectPath;
  if (loaded.ID2Read) project.ID2 = loaded.ID2;
  // The plots the program offers for these results, as its Graphics menu does.
  KeepOfferedPlots(out.plots, project, loaded.showtzcurves, loaded.additionalTzCurves);
  out.ok = true;
  return out;
}

}  // namespace pylar
