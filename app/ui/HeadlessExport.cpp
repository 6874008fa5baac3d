#include "ui/HeadlessExport.h"

#include "model/DataUnit.h"
#include "model/ExportDlg.h"
#include "model/FolderLock.h"
#include "model/ProjectResults.h"
#include "model/WholeFile.h"
#include "ui/CalcReport.h"
#include "ui/PileSide.h"
#include "ui/PlotFile.h"
#include "ui/View3dScene.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QImage>
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

int ExportProject(const QString &outFolder, const QString &projectFile, const QString &programFolder,
                  const TExportLog &log, const TExportArguments &arguments) {
  const QString projectPath = QFileInfo(projectFile).absoluteFilePath();
  // Absolute before the analysis runs: the run works in the project's folder,
  // where a relative output folder would name another place.
  const QString outDir = QFileInfo(outFolder).absoluteFilePath();
  if (!QFileInfo(projectPath).isFile()) {
    log.err(withReason(QStringLiteral("The project could not be read: "), projectFile, QStringLiteral("no such file")));
    return 1;
  }
  // The project's folder is held for the whole export: no other run writes
  // its results between their check and their last reading. A folder that
  // cannot be locked (one that cannot be written) still gives its results;
  // a run there says why it cannot run.
  TFolderLock folderLock;
  if (folderLock.Acquire(QFileInfo(projectPath).absolutePath()) == TLockResult::Busy) {
    log.err(folderLock.Message());
    return 1;
  }
  // The project as it is on disk, read once: its bytes are what the results
  // are checked against, and the export never writes it.
  TProjectTables tables;
  QByteArray projectBytes;
  TProgramData::TReadResult read = TProgramData::ReadWhole(tables, projectPath, ffVersion8, projectBytes);
  if (!read.Complete()) {
    QString reason = read.error;
    if (read.errorLine > 0) reason += QStringLiteral(" (reading stopped at line %1)").arg(read.errorLine);
    log.err(withReason(QStringLiteral("The project could not be read: "), projectFile, reason));
    return 1;
  }
  TProgramData &project = *read.data;
  if (const QString problem = PrepareFolder(outDir); !problem.isEmpty()) {
    log.err(problem);
    return 1;
  }

  TProjectResults results = ReadProjectResults(project, projectFile, projectBytes, programFolder);
  if (!results.ok) {
    log.err(results.error);
    return 1;
  }
  TResultPlots &plots = results.plots;

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
    const PlotBoundsResult bounds = OpenPlotData(*named.plot);
    if (!bounds.ok || !PlotAvailable(*named.plot)) continue;
    available.push_back(named.plot);
    for (const char *suffix : {".png", ".svg"}) {
      const QString path = folder.filePath(name + u'-' + named.key + QLatin1String(suffix));
      const TPictureWritten picture =
          SavePlotPicture(path, *named.plot, bounds.range, kPlotWidthInch, kPlotHeightInch, kPictureDpi);
      written(path, picture.outcome == TPictureOutcome::Saved      ? QString()
                    : picture.outcome == TPictureOutcome::NoMemory ? QStringLiteral("not enough memory")
                                                                   : picture.reason);
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

  {
    // The job block: the user's settings, the project's job file, the command line over both.
    TReportJob job;
    ReadReportJobSettings(job);
    if (const QString problem = ReadReportJobFile(projectPath, job); !problem.isEmpty()) log.err(problem);
    arguments.ApplyTo(job, project.fUnits);
    const QString path = folder.filePath(name + QStringLiteral("-report.pdf"));
    written(path, WriteCalcReport(path, project, plots, job));
  }

  {
    const QString path = folder.filePath(name + QStringLiteral("-3d.png"));
    const TScenePicture scene = ReportScenePicture(project, plots);
    // Without OpenGL the rest is still worth having: a note, not a failure.
    if (scene.image.isNull())
      log.out(scene.error + QStringLiteral(" Not written: ") + QDir::toNativeSeparators(path));
    else
      written(path, WriteWholeFile(path, [&scene](QIODevice &file) { return scene.image.save(&file, "PNG"); }));
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace pylar
