#include "ui/CalcReport.h"

#include "model/AnalysisRun.h"
#include "model/DataUnit.h"
#include "model/ExportDlg.h"
#include "model/PltData.h"
#include "model/RunChecks.h"
#include "model/dynlib.h"
#include "ui/PileSide.h"
#include "ui/PltData.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace pylar {

namespace {

// Picture files: the size the plot windows propose for a saved picture, at a
// resolution fit for print.
constexpr double kPlotWidthInch = 7.0;
constexpr double kPlotHeightInch = 5.0;
constexpr int kPictureDpi = 150;
const QSize kElevationSize(1050, 700);

QString withReason(const QString &what, const QString &path, const QString &reason) {
  return what + QDir::toNativeSeparators(path) + (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
}

// The results on disk are those of the project as it is: both exist and
// neither is older than the project file.
bool ResultsCurrent(const QString &projectFile) {
  const QFileInfo project(projectFile);
  for (const char *extension : {".pq8o", ".pq8p"}) {
    const QFileInfo result(ChangeFileExt(projectFile, QLatin1String(extension)));
    if (!result.isFile() || result.lastModified() < project.lastModified()) return false;
  }
  return true;
}

// An output folder that exists (created when missing) and takes files.
QString PrepareFolder(const QString &outDir) {
  const QFileInfo info(outDir);
  if (info.exists() && !info.isDir()) return withReason(QStringLiteral("The output folder is not a folder: "), outDir, {});
  if (!info.exists() && !QDir().mkpath(outDir))
    return withReason(QStringLiteral("The output folder could not be created: "), outDir, {});
  QTemporaryFile probe(QDir(outDir).filePath(QStringLiteral(".pylar-export-XXXXXX")));
  if (!probe.open())
    return withReason(QStringLiteral("The output folder cannot be written: "), outDir, probe.errorString());
  return {};
}

}  // namespace

std::vector<TNamedPlot> NamedPlots(TResultPlots &plots) {
  std::vector<TNamedPlot> named{
      {QStringLiteral("skin"), &plots.pltSkin},
      {QStringLiteral("tip"), &plots.pltTip},
      {QStringLiteral("total"), &plots.pltTotal},
      {QStringLiteral("combined"), &plots.pltCombine},
      {QStringLiteral("design-skin"), &plots.FSpltSkin},
      {QStringLiteral("design-tip"), &plots.FSpltTip},
      {QStringLiteral("design-total"), &plots.FSpltTotal},
      {QStringLiteral("design-combined"), &plots.pltCombineD},
      {QStringLiteral("settlement"), &plots.pltAxial},
      {QStringLiteral("settlement-upper"), &plots.pltUpper},
      {QStringLiteral("settlement-lower"), &plots.pltLower},
      {QStringLiteral("settlement-combined"), &plots.pltCombinedSettle},
      {QStringLiteral("tz"), &plots.pltTz},
      {QStringLiteral("qw"), &plots.pltQw},
      {QStringLiteral("tz-additional"), &plots.pltTzAdd},
  };
  for (std::size_t k = 0; k < plots.PltChart.size(); ++k)
    named.push_back({QStringLiteral("chart-%1").arg(k + 1), &plots.PltChart[k]});
  return named;
}

bool PlotAvailable(TGraphPlot &plot) {
  bool points = false;
  for (const TLine &line : plot.fData) points = points || !line.fData.empty();
  if (!points) return false;
  const TPlotForm form(plot);
  return form.IsValid();
}

int ExportProject(const QString &outDir, const QString &projectFile, const QString &programFolder,
                  const TExportLog &log) {
  const QString projectPath = QFileInfo(projectFile).absoluteFilePath();
  if (!QFileInfo(projectPath).isFile()) {
    log.err(withReason(QStringLiteral("The project could not be read: "), projectFile, QStringLiteral("no such file")));
    return 1;
  }
  TProjectTables tables;
  TProgramData::TReadResult read = TProgramData::CreateFromFile(tables, projectPath, ffVersion8);
  if (!read.data || !read.error.isEmpty()) {
    log.err(withReason(QStringLiteral("The project could not be read: "), projectFile, read.error));
    return 1;
  }
  TProgramData &project = *read.data;
  if (const QString problem = PrepareFolder(outDir); !problem.isEmpty()) {
    log.err(problem);
    return 1;
  }

  if (!ResultsCurrent(projectPath)) {
    const std::vector<TRunFinding> findings = CheckBeforeRun(project);
    if (HasRunErrors(findings)) {
      log.err(withReason(QStringLiteral("The analysis of "), projectFile,
                         QStringLiteral("cannot run:\n") + RunFindingsMessage(findings).replace(u'\r', u'\n')));
      return 1;
    }
    TAnalysisRun run(programFolder);
    const TRunOutcome outcome = run.Execute(project);
    if (!outcome.EngineRan() || outcome.EngineStatus != 0 || !outcome.PlotDataWritten) {
      QString message = outcome.UserMessage();
      if (message.isEmpty()) message = QStringLiteral("the analysis did not run");
      log.err(withReason(QStringLiteral("The analysis of "), projectFile,
                         QStringLiteral("failed:\n") + message.replace(u'\r', u'\n')));
      return 1;
    }
  }

  TResultPlots plots;
  const TPlotDataResult loaded =
      ReadPlotData(ChangeFileExt(projectPath, QStringLiteral(".pq8p")), PlotDataContext(project), plots);
  if (!loaded.ok) {
    log.err(withReason(QStringLiteral("The results could not be read: "), ChangeFileExt(projectPath, QStringLiteral(".pq8p")),
                       loaded.error));
    return 1;
  }
  for (TGraphPlot *plot : plots.All()) plot->ProjectFile = projectPath;

  const QDir folder(outDir);
  const QString name = QFileInfo(projectPath).completeBaseName();
  int failures = 0;
  const auto written = [&](const QString &path, const QString &reason) {
    if (reason.isEmpty()) {
      log.out(QDir::toNativeSeparators(path));
    } else {
      ++failures;
      log.err(withReason(QStringLiteral("Not written: "), path, reason));
    }
  };

  std::vector<const TGraphPlot *> available;
  for (const TNamedPlot &named : NamedPlots(plots)) {
    TPlotForm form(*named.plot);
    if (!form.IsValid() || !PlotAvailable(*named.plot)) continue;
    available.push_back(named.plot);
    for (const char *suffix : {".png", ".svg"}) {
      const QString path = folder.filePath(name + u'-' + named.key + QLatin1String(suffix));
      QString reason;
      const TPlotForm::SaveResult result = form.SaveToFile(path, kPlotWidthInch, kPlotHeightInch, kPictureDpi, &reason);
      if (result == TPlotForm::SaveResult::NoMemory) reason = QStringLiteral("not enough memory");
      written(path, result == TPlotForm::SaveResult::Saved ? QString() : reason);
    }
  }

  for (const char *suffix : {".png", ".svg"}) {
    const QString path = folder.filePath(name + QStringLiteral("-elevation") + QLatin1String(suffix));
    written(path, SaveSideView(path, project, kElevationSize, kPictureDpi));
  }

  {
    const QString path = folder.filePath(name + QStringLiteral(".xlsx"));
    const TWorkbookOutcome workbook = WriteWorkbook(path, available, true);
    written(path, workbook.ok ? QString() : (workbook.message.isEmpty() ? QStringLiteral("failed") : workbook.message));
  }

  log.out(QStringLiteral("3D view: not available in this build"));
  return failures == 0 ? 0 : 1;
}

}  // namespace pylar
