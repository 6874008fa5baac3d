// The headless export, as a user runs it: `pylarwin --export OUTDIR PROJECT`
// in a process of its own without a display, on copies of sample projects.
// The files it writes are read back independently: pictures decoded and
// looked at for ink, the workbook with openpyxl (read_workbook.py), the
// calculation report with poppler's pdfinfo and pdftotext, its numbers
// compared with the report file (.pq8o) of the same run.
#include "FileSizeLimit.h"
#include "RunRecordFixture.h"
#include "model/DataUnit.h"
#include "model/PltData.h"
#include "model/FolderLock.h"
#include "model/dynlib.h"
#include "ui/Main.h"
#include "ui/MainCommands.h"
#include "ui/CalcReport.h"
#include "ui/PileSide.h"
#include "ui/Messages.h"
#include "ui/DataEdit.h"
#include "ui/ReportJobDialog.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QAction>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>

using namespace pylar;

namespace {
const QString kBinDir = QStringLiteral(PYLAR_BIN_DIR);
const QString kExamples = QStringLiteral(PYLAR_SOURCE_DIR "/examples/");
const QString kSamples = QStringLiteral(PYLAR_SOURCE_DIR "/samples/");

struct TProcessResult {
  int exitCode = -1;
  QString out, err;
};

// The settings folder of the programs the tests start (XDG_CONFIG_HOME):
// theirs, never the user's.
QString &settingsFolder() {
  static QTemporaryDir folder;
  static QString path = folder.path();
  return path;
}

TProcessResult runProgram(const QString &program, const QStringList &arguments, const QString &folder = {}) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), settingsFolder());
  // No display at all: the export chooses the offscreen platform by itself.
  environment.remove(QStringLiteral("DISPLAY"));
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
  process.setProcessEnvironment(environment);
  if (!folder.isEmpty()) process.setWorkingDirectory(folder);
  process.start(program, arguments);
  TProcessResult result;
  if (!process.waitForFinished(120000)) {
    process.kill();
    process.waitForFinished();
    result.err = QStringLiteral("did not finish: ") + process.errorString();
    return result;
  }
  result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = QString::fromUtf8(process.readAllStandardOutput());
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}

TProcessResult exportProject(const QString &outDir, const QString &project, const QString &folder = {},
                             const QStringList &options = {}) {
  return runProgram(kBinDir + QStringLiteral("/pylarwin"), QStringList{QStringLiteral("--export"), outDir, project} + options,
                    folder);
}

// The same with an X server (Xvfb) the program may draw OpenGL on; the
// program still chooses the offscreen platform itself.
TProcessResult exportProjectWithDisplay(const QString &outDir, const QString &project, const QString &folder) {
  return runProgram(QStringLiteral(PYLAR_XVFB_RUN),
                    {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x1024x24"),
                     kBinDir + QStringLiteral("/pylarwin"), QStringLiteral("--export"), outDir, project},
                    folder);
}

// The share of pixels that differ from the picture's corner (its background).
double inkShare(const QImage &image) {
  if (image.isNull()) return 0;
  const QRgb background = image.pixel(0, 0);
  qint64 ink = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ink += image.pixel(x, y) != background;
  return double(ink) / (double(image.width()) * image.height());
}

double svgInkShare(const QString &path) {
  QSvgRenderer renderer(path);
  if (!renderer.isValid()) return 0;
  QImage image(600, 450, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  return inkShare(image);
}

QJsonObject readWorkbook(const QString &path) {
  const TProcessResult read =
      runProgram(QStringLiteral(PYLAR_PYTHON), {QStringLiteral(PYLAR_SOURCE_DIR "/app/tests/read_workbook.py"), path});
  if (read.exitCode != 0) qWarning().noquote() << read.err;
  return QJsonDocument::fromJson(read.out.toUtf8()).object();
}

QStringList filesIn(const QString &folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

QStringList reportLines(const QString &path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QByteArray bytes = file.readAll();
  bytes.replace("\r\n", "\n");
  return QString::fromLatin1(bytes).split(u'\n');
}

// What the test reads from a report, by its own reading of the printed
// layout: each case's stem diameter and the QU of its last capacity row (the
// row just above the blank line before "PYLAR LENGTH"), and the layer count.
struct TPrintedPier {
  QString stem, qu;
  QString length;    // "PYLAR LENGTH = 41.000 FT."
  QString capacity;  // the allowable (QDN) or factored (LRFD QU, the last) column of the last row
};
struct TPrintedReport {
  std::vector<TPrintedPier> piers;
  int layers = -1;
  QString designLoad;  // "TOTAL LOAD =     150.0 TONS": "150.0"; empty without
};

TPrintedReport readReport(const QString &path) {
  const QStringList lines = reportLines(path);
  TPrintedReport report;
  QString stem;
  int quColumn = -1, qdnColumn = -1;
  for (int l = 0; l < lines.size(); ++l) {
    const QString line = lines[l].trimmed();
    if (line.startsWith(QStringLiteral("NUMBER OF LAYERS =")))
      report.layers = line.section(u'=', 1).trimmed().toInt();
    if (line.startsWith(QStringLiteral("TOTAL LOAD =")))
      report.designLoad = line.section(u'=', 1).simplified().section(u' ', 0, 0);
    if (line.startsWith(QStringLiteral("DIAMETER OF STEM ")) && line.contains(u'='))
      stem = line.section(u'=', 1).simplified().section(u' ', 0, 0);
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    if (!words.isEmpty() && words.first() == QStringLiteral("LENGTH") && words.contains(QStringLiteral("QU"))) {
      quColumn = static_cast<int>(words.indexOf(QStringLiteral("QU")));
      qdnColumn = static_cast<int>(words.indexOf(QStringLiteral("QDN")));
    }
    if (line.startsWith(QStringLiteral("PYLAR LENGTH")) && l >= 2 && lines[l - 1].trimmed().isEmpty() && quColumn >= 0) {
      const QStringList row = lines[l - 2].split(u' ', Qt::SkipEmptyParts);
      report.piers.push_back({stem, row.value(quColumn), line.section(u'=', 1).simplified().section(u' ', 0, 0),
                              qdnColumn >= 0 ? row.value(qdnColumn) : row.value(row.size() - 1)});
    }
  }
  return report;
}

QString pdfText(const QString &pdf) {
  return runProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}).out;
}

// The text of pages first ... last.
QString pdfPages(const QString &pdf, int first, int last) {
  return runProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(first),
                                                  QStringLiteral("-l"), QString::number(last), pdf, QStringLiteral("-")})
      .out;
}

// A number in E-notation ("0.600E+03", "1E4"): what the pages before the
// appendix never show.
const QRegularExpression kENotation(QStringLiteral("\\d(\\.\\d*)?[EeDd][+-]?\\d"));

// pdfinfo's "Pages:" and "Title:".
QMap<QString, QString> pdfInfo(const QString &pdf) {
  QMap<QString, QString> info;
  for (const QString &line : runProgram(QStringLiteral("pdfinfo"), {pdf}).out.split(u'\n'))
    if (const qsizetype colon = line.indexOf(u':'); colon > 0) info.insert(line.left(colon), line.mid(colon + 1).trimmed());
  return info;
}

// A sample copied into a folder of its own (or a folder below it).
QString copySample(const QTemporaryDir &dir, const QString &sample, const QString &below = {}) {
  const QString path = dir.filePath(below.isEmpty() ? sample : below + u'/' + sample);
  // A sample project, or a validation project of samples/.
  QFile::copy(QFile::exists(kExamples + sample) ? kExamples + sample : kSamples + sample, path);
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  return path;
}
}  // namespace

class CalcReportTest : public QObject {
  Q_OBJECT

 private slots:
  void exportWritesEveryPictureAndTheWorkbook_data();
  void exportWritesEveryPictureAndTheWorkbook();
  void wrongCommandLineIsAUsageLine();
  void failuresSayWhyAndLeaveNoPartialFile();
  void aSaveCutShortKeepsTheOldFile();
  void mainWindowExportsTheReportOfItsRun();
  void exportRunsTheProjectAsItIsOnDisk();
  void resultsThatAreNotTheProjectsAreComputedAgain();
  void aFileSizeLimitIsAMessageNotAKill();
  void runsInOneFolderTakeTurns();
  void pageOneAnswersTheDesignCheck_data();
  void pageOneAnswersTheDesignCheck();
  void jobBlockFromSettingsJobFileAndCommandLine();
};

void CalcReportTest::exportWritesEveryPictureAndTheWorkbook_data() {
  QTest::addColumn<QString>("sample");
  QTest::addColumn<QStringList>("plots");  // picture names that must be among those written
  QTest::addColumn<bool>("display");       // an X server to draw the 3-D View with
  QTest::newRow("design charts, English, no display")
      << QStringLiteral("gravel-rollins-charts.pq8d")
      << QStringList{"combined", "design-combined", "settlement-combined", "chart-1", "chart-5"} << false;
  QTest::newRow("belled in uplift, SI, OpenGL on Xvfb")
      << QStringLiteral("belled-uplift-si.pq8d") << QStringList{"combined", "design-combined", "settlement-combined"}
      << true;
}

void CalcReportTest::exportWritesEveryPictureAndTheWorkbook() {
  QFETCH(QString, sample);
  QFETCH(QStringList, plots);
  QFETCH(bool, display);
  if (display && QStringLiteral(PYLAR_XVFB_RUN).isEmpty()) QSKIP("xvfb-run is not installed");
  QTemporaryDir dir;
  QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("projects")));
  const QString project = copySample(dir, sample, QStringLiteral("projects"));
  const QString name = QFileInfo(sample).completeBaseName();
  // Relative to where the program starts, not to the project's folder; made
  // by the export, parents too.
  const QString outDir = dir.filePath(QStringLiteral("out/figures"));

  const TProcessResult exported = display ? exportProjectWithDisplay(QStringLiteral("out/figures"), project, dir.path())
                                          : exportProject(QStringLiteral("out/figures"), project, dir.path());
  QVERIFY2(exported.exitCode == 0, qPrintable(exported.err));
  // The analysis ran beside the project: the export found no results.
  QVERIFY(QFileInfo::exists(ChangeFileExt(project, QStringLiteral(".pq8o"))));

  // One line per file written, and every file there is was written.
  QStringList lines = exported.out.split(u'\n', Qt::SkipEmptyParts);
  const QString scene = QDir(outDir).filePath(name + QStringLiteral("-3d.png"));
  if (display) {
    // The 3-D View drawn offscreen: the soil, the pier and the curves, not a blank frame.
    const double ink = inkShare(QImage(scene));
    QVERIFY2(ink > 0.2, qPrintable(QStringLiteral("3-D View ink %1").arg(ink)));
  } else {
    // No OpenGL without a display: one line says so, and the rest is written.
    const QStringList notes = lines.filter(QStringLiteral("The 3-D View cannot be drawn: "));
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes[0].endsWith(QStringLiteral("Not written: ") + scene), qPrintable(notes[0]));
    lines.removeAll(notes[0]);
    QVERIFY(!QFileInfo::exists(scene));
  }
  QStringList written;
  for (const QString &line : lines) written << QFileInfo(line).fileName();
  written.sort();
  QCOMPARE(filesIn(outDir), written);

  for (const QString &plot : plots + QStringList{QStringLiteral("elevation")}) {
    const QString base = QDir(outDir).filePath(name + u'-' + plot);
    const double png = inkShare(QImage(base + QStringLiteral(".png")));
    const double svg = svgInkShare(base + QStringLiteral(".svg"));
    QVERIFY2(png > 0.01 && png < 0.6, qPrintable(QStringLiteral("%1.png ink %2").arg(base).arg(png)));
    QVERIFY2(svg > 0.01 && svg < 0.6, qPrintable(QStringLiteral("%1.svg ink %2").arg(base).arg(svg)));
  }

  // The workbook holds a data sheet and a chart for every plot picture written.
  // Every PNG but the elevation view and the 3-D View is a plot.
  const int pictures =
      static_cast<int>(written.filter(QRegularExpression(QStringLiteral("\\.png$"))).size()) - (display ? 2 : 1);
  const QJsonObject workbook = readWorkbook(QDir(outDir).filePath(name + QStringLiteral(".xlsx")));
  const QJsonArray sheets = workbook.value(QStringLiteral("sheets")).toArray();
  QVERIFY(!sheets.isEmpty());
  QCOMPARE(sheets.first().toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Legend"));
  int charts = 0;
  for (const QJsonValue &sheet : sheets) charts += sheet.toObject().value(QStringLiteral("kind")) == "chartsheet";
  QCOMPARE(charts, pictures);
  QCOMPARE(sheets.size(), 1 + 2 * pictures);

  // The calculation report: its title, every page numbered, each pier's stem
  // and last QU as the report printed them, one table per soil layer, and the
  // report itself in the appendix.
  const QString pdf = QDir(outDir).filePath(name + QStringLiteral("-report.pdf"));
  const QMap<QString, QString> info = pdfInfo(pdf);
  TProjectTables tables;
  const auto read = TProgramData::CreateFromFile(tables, project, ffVersion8);
  QVERIFY(read.data);
  QCOMPARE(info.value(QStringLiteral("Title")), read.data->Title);
  const int pages = info.value(QStringLiteral("Pages")).toInt();
  QVERIFY2(pages >= 6, qPrintable(QString::number(pages)));
  const QString text = pdfText(pdf);
  for (int page = 1; page <= pages; ++page)
    QVERIFY2(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages)), qPrintable(QString::number(page)));
  QVERIFY(!text.contains(QStringLiteral("Page %1 of").arg(pages + 1)));
  QVERIFY(text.contains(QStringLiteral("Computed by:")) && text.contains(QStringLiteral("Checked by:")));
  QCOMPARE(text.simplified().contains(QStringLiteral("3-D View: the pier, the water table and the soil layers")),
           display);
  QCOMPARE(text.simplified().contains(QStringLiteral("The report has no picture of it.")), !display);

  const TPrintedReport printed = readReport(ChangeFileExt(project, QStringLiteral(".pq8o")));
  QVERIFY(!printed.piers.empty());
  const QStringList pdfLines = text.split(u'\n');
  for (const TPrintedPier &pier : printed.piers) {
    // The pier's row of the results table holds both values as printed.
    const bool found = std::any_of(pdfLines.begin(), pdfLines.end(), [&](const QString &line) {
      const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
      return words.size() > 4 && words.value(1) == pier.stem && words.contains(pier.qu);
    });
    QVERIFY2(found, qPrintable(pier.stem + u' ' + pier.qu));
  }
  QVERIFY(printed.layers > 0);
  QVERIFY(text.contains(QStringLiteral("Soil profile: %1 layer").arg(printed.layers)));
  QCOMPARE(text.count(QRegularExpression(QStringLiteral("(?m)^\\s*Layer \\d+: "))), printed.layers);
  // The appendix holds the report's lines.
  const QString simplified = text.simplified();
  for (const QString &line : reportLines(ChangeFileExt(project, QStringLiteral(".pq8o"))).mid(0, 60))
    QVERIFY2(simplified.contains(line.simplified()), qPrintable(line));

  // Results of the project as it is, from a run that completed, are used as
  // they are: no second run. (The engine leaves the run record that says so;
  // the test writes it when the engine did not.)
  QVERIFY(EnsureRunRecord(project, 0));
  const QDateTime reportTime = QFileInfo(ChangeFileExt(project, QStringLiteral(".pq8o"))).lastModified();
  QTest::qWait(1100);
  const TProcessResult again = exportProject(outDir, project);
  QVERIFY2(again.exitCode == 0, qPrintable(again.err));
  QCOMPARE(QFileInfo(ChangeFileExt(project, QStringLiteral(".pq8o"))).lastModified(), reportTime);
}

void CalcReportTest::wrongCommandLineIsAUsageLine() {
  const QString program = kBinDir + QStringLiteral("/pylarwin");
  const QList<QStringList> wrong{{"--export"}, {"--export", "out"}, {"--export", "out", "a.pq8d", "b.pq8d"},
                                 {"a.pq8d", "--export", "out"}};
  for (const QStringList &arguments : wrong) {
    const TProcessResult result = runProgram(program, arguments);
    QCOMPARE(result.exitCode, 64);
    QVERIFY2(result.err.contains(QStringLiteral("Usage: pylarwin")), qPrintable(result.err));
    QCOMPARE(result.out, QString());
  }
}

// Each failure is said on stderr with the file it concerns, ends the export
// with a non-zero code and leaves no workbook or report behind.
void CalcReportTest::failuresSayWhyAndLeaveNoPartialFile() {
  QTemporaryDir dir;
  const QString outDir = dir.filePath(QStringLiteral("out"));

  // A project that does not read.
  const QString broken = dir.filePath(QStringLiteral("broken.pq8d"));
  {
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a project\r\n");
  }
  TProcessResult result = exportProject(outDir, broken);
  QCOMPARE(result.exitCode, 1);
  QVERIFY2(result.err.contains(QStringLiteral("The project could not be read: ") + broken), qPrintable(result.err));
  result = exportProject(outDir, dir.filePath(QStringLiteral("missing.pq8d")));
  QCOMPARE(result.exitCode, 1);
  QVERIFY2(result.err.contains(QStringLiteral("missing.pq8d: no such file")), qPrintable(result.err));

  // A run that fails: a design load the profile never carries.
  const QString failing = dir.filePath(QStringLiteral("failing.pq8d"));
  {
    TProjectTables tables;
    auto read =
        TProgramData::CreateFromFile(tables, kExamples + QStringLiteral("clay-design-load-english.pq8d"), ffVersion8);
    QVERIFY(read.data && read.error.isEmpty());
    read.data->SetDesignLoad(150000);
    read.data->FileName = failing;
    read.data->Save();
  }
  result = exportProject(outDir, failing);
  QCOMPARE(result.exitCode, 1);
  QVERIFY2(result.err.contains(QStringLiteral("The analysis of ") + failing + QStringLiteral(": failed:")),
           qPrintable(result.err));
  QVERIFY2(result.err.contains(QStringLiteral("\nNEED ANOTHER SOIL LAYER\n")), qPrintable(result.err));
  QCOMPARE(filesIn(outDir), QStringList());

  // An output folder that is a file, and one that cannot be created below it.
  const QString sample = copySample(dir, QStringLiteral("sand-asd-english.pq8d"));
  const QString notAFolder = dir.filePath(QStringLiteral("file"));
  {
    QFile file(notAFolder);
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  result = exportProject(notAFolder, sample);
  QCOMPARE(result.exitCode, 1);
  QVERIFY2(result.err.contains(QStringLiteral("The output folder is not a folder: ") + notAFolder),
           qPrintable(result.err));
  result = exportProject(notAFolder + QStringLiteral("/below"), sample);
  QCOMPARE(result.exitCode, 1);
  QVERIFY2(result.err.contains(QStringLiteral("The output folder could not be created: ") + notAFolder +
                               QStringLiteral("/below")),
           qPrintable(result.err));
  QCOMPARE(QFileInfo(notAFolder).size(), 0);
  QCOMPARE(filesIn(dir.path()).filter(QRegularExpression(QStringLiteral("\\.(xlsx|pdf)$"))), QStringList());
}

// The disk fills up while the calculation report or the elevation picture is
// written: the report of an earlier export stays as it was, nothing
// half-written is left, and the reason names the file.
void CalcReportTest::aSaveCutShortKeepsTheOldFile() {
  QTemporaryDir dir;
  const QString project = copySample(dir, QStringLiteral("belled-uplift-si.pq8d"));
  for (const char *extension : {".pq8o", ".pq8p"})
    QVERIFY(QFile::copy(QStringLiteral(PYLAR_SOURCE_DIR "/engine/tests/golden/belled-uplift-si") + extension,
                        ChangeFileExt(project, QLatin1String(extension))));
  TProjectTables tables;
  auto read = TProgramData::CreateFromFile(tables, project, ffVersion8);
  QVERIFY(read.data && read.error.isEmpty());
  TResultPlots plots;
  QVERIFY(ReadPlotData(ChangeFileExt(project, QStringLiteral(".pq8p")), PlotDataContext(*read.data), plots).ok);

  const QByteArray old = "an earlier export";
  const auto writeOld = [&](const QString &path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(old) == old.size();
  };
  const auto contents = [](const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  struct TCase {
    QString file, prefix;
    std::function<QString(const QString &)> save;
  };
  const std::vector<TCase> cases{
      {QStringLiteral("report.pdf"), QStringLiteral("The calculation report could not be written: "),
       [&](const QString &path) { return WriteCalcReport(path, *read.data, plots); }},
      {QStringLiteral("elevation.png"), QStringLiteral("The picture could not be written: "),
       [&](const QString &path) { return SaveSideView(path, *read.data, QSize(1050, 700), 150); }},
  };
  const QString outDir = dir.filePath(QStringLiteral("out"));
  QVERIFY(QDir().mkpath(outDir));
  for (const TCase &c : cases) {
    const QString path = QDir(outDir).filePath(c.file);
    QVERIFY(writeOld(path));
    QString reason;
    {
      const TFileSizeLimit full(4096);  // each of these files takes far more
      QVERIFY(full.Active());
      reason = c.save(path);
    }
    QVERIFY2(reason.startsWith(c.prefix + path) && reason.contains(QStringLiteral("File too large")), qPrintable(reason));
    QCOMPARE(contents(path), old);
    QCOMPARE(filesIn(outDir), QStringList{c.file});
    // Without the limit the same save succeeds.
    QCOMPARE(c.save(path), QString());
    QVERIFY(contents(path).size() > 4096);
    QVERIFY(QFile::remove(path));
  }
}

// File > "Export Calculation Report (PDF)..." after a run in the program (an
// LRFD project in SI): proposed beside the project, written where the user
// chose; refused while the project differs from what was run.
void CalcReportTest::mainWindowExportsTheReportOfItsRun() {
  QTemporaryDir dir;
  const QString project = copySample(dir, QStringLiteral("clay-lrfd-si.pq8d"));
  QStringList messages;
  SetMessageHook([&messages](QWidget *, const QString &text) { messages << text; });
  TMainForm form;
  form.SetProgramFolder(kBinDir);
  form.show();
  QVERIFY(form.OpenFileByExtension(project));
  QAction *command = form.Commands().FileExportReport;
  QVERIFY(!command->isEnabled());  // no results yet
  form.RunAnalysis();
  QVERIFY(command->isEnabled());
  QVERIFY(EnsureRunRecord(project, 0));  // the run record of that run
  QString proposed;
  form.ReportFileDialog = [&](const QString &path) {
    proposed = path;
    return dir.filePath(QStringLiteral("chosen"));
  };
  QStringList opened;
  form.OpenDocument = [&opened](const QString &path) {
    opened << path;
    return true;
  };
  // The job block is asked first: cancelled, nothing is written or asked further.
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder());
  const auto answerJob = [](bool accept) {
    QTimer::singleShot(0, [accept] {
      auto *dialog = qobject_cast<TReportJobDialog *>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      if (!accept) return dialog->reject();
      dialog->Field(QStringLiteral("Company"))->setText(QStringLiteral("Example Engineering"));
      dialog->Field(QStringLiteral("ProjectNumber"))->setText(QStringLiteral("2024-017"));
      dialog->Field(QStringLiteral("Checker"))->setText(QStringLiteral("C. Checker"));
      dialog->AllowableField()->setText(QStringLiteral("30"));
      dialog->accept();
    });
  };
  messages.clear();
  answerJob(false);
  command->trigger();
  QCOMPARE(proposed, QString());
  QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("chosen.pdf"))));
  QVERIFY(!QFileInfo::exists(ReportJobFile(project)));
  answerJob(true);
  command->trigger();
  QCOMPARE(messages, QStringList());
  // Kept for the next report: the project's part beside it, the user's in the settings.
  const TReportJob kept = LoadReportJob(project);
  QCOMPARE(kept.ProjectNumber, QStringLiteral("2024-017"));
  QCOMPARE(kept.Checker, QStringLiteral("C. Checker"));
  QCOMPARE(kept.Company, QStringLiteral("Example Engineering"));
  QCOMPARE(kept.AllowableMillimetres, 30.0);  // an SI project: millimetres
  QVERIFY(QFileInfo::exists(ReportJobFile(project)));
  QCOMPARE(proposed, dir.filePath(QStringLiteral("clay-lrfd-si-report.pdf")));
  const QString pdf = dir.filePath(QStringLiteral("chosen.pdf"));
  QCOMPARE(opened, QStringList{pdf});
  const QMap<QString, QString> info = pdfInfo(pdf);
  QCOMPARE(info.value(QStringLiteral("Title")), form.Data().Title);
  const QString text = pdfText(pdf);
  QVERIFY(text.contains(QStringLiteral("LRFD (Load Resistance Factor Design)")));
  const QString one = pdfPages(pdf, 1, 1).simplified();
  for (const char *entered : {"Company: Example Engineering", "Project number: 2024-017", "Checked by: C. Checker",
                              "Allowable settlement 30 mm"})
    QVERIFY2(one.contains(QString::fromLatin1(entered)), qPrintable(QString::fromLatin1(entered) + u'\n' + one));
  const TPrintedReport printed = readReport(ChangeFileExt(project, QStringLiteral(".pq8o")));
  QVERIFY(!printed.piers.empty());
  for (const TPrintedPier &pier : printed.piers) QVERIFY2(text.contains(pier.qu), qPrintable(pier.qu));

  // An edit after the run: the report would no longer describe the project.
  QFile::remove(pdf);
  form.Tables().SetChanged(true);
  command->trigger();
  QCOMPARE(messages.size(), 1);
  QVERIFY2(messages[0].contains(QStringLiteral("run the analysis")), qPrintable(messages[0]));
  QVERIFY(!QFileInfo::exists(pdf));
  // The file changed on disk (a text editor) after the run: the results belong to an older version.
  form.Tables().SetChanged(false);
  messages.clear();
  {
    QFile file(project);
    QVERIFY(file.open(QIODevice::Append));
    file.write("\r\n");
  }
  command->trigger();
  QCOMPARE(messages.size(), 1);
  QVERIFY2(messages[0].contains(QStringLiteral("belong to an older version")), qPrintable(messages[0]));
  QVERIFY(!QFileInfo::exists(pdf));
  SetMessageHook({});
  QSettings(QStringLiteral("Vexlor"), QStringLiteral("PYLAR")).clear();
}

// The export never writes the project: it runs the engine on the file as it
// is on disk, and a file the engine refuses ends the export with the run's
// status and the engine's message. Each case is the sand sample with one line
// changed.
void CalcReportTest::exportRunsTheProjectAsItIsOnDisk() {
  QFile sampleFile(kExamples + QStringLiteral("sand-asd-english.pq8d"));
  QVERIFY(sampleFile.open(QIODevice::ReadOnly));
  const QByteArray sample = sampleFile.readAll();
  struct TCase {
    const char *what;
    QByteArray line, changed;  // a line of the sample and what it becomes
    int exitCode;
    QString said;
  };
  const TCase cases[] = {
      {"notes after the last record", "0 0 \r\n1 60 ", "0 0 \r\n1 60 ", 0, {}},
      {"values of nine significant digits", "3 4 0 0 0 0 3600000 \r\n",
       "3.123456789 4.987654321 0 0 0 0 3600000.5 \r\n", 0, {}},
      {"ten values on the line of eleven", "2 1 1 1 1 2 0 0 0 0 0 \r\n", "2 1 1 1 1 2 0 0 0 0 \r\n", 1,
       "The run ended with status 10.\nINPUT ERROR, RECORD 5, NUMBER OF LAYERS"},
      {"a sand line of seven values", "0.0 115 0 0 10 0 0 1 1 \r\n", "0.0 115 0 0 10 0 0 \r\n", 1,
       "The run ended with status 10.\nINPUT ERROR, RECORD 8, LAYER 1"},
  };
  for (const TCase &c : cases) {
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("p.pq8d"));
    QByteArray text = sample;
    QVERIFY2(text.contains(c.line), c.what);
    text.replace(c.line, c.changed);
    if (c.line == c.changed) text += "notes: checked by A.B. on site\r\n";
    {
      QFile file(project);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(text);
    }
    const TProcessResult result = exportProject(dir.filePath(QStringLiteral("out")), project);
    QVERIFY2(result.exitCode == c.exitCode, qPrintable(QStringLiteral("%1: %2").arg(c.what, result.err)));
    QVERIFY2(result.err.contains(c.said), qPrintable(result.err));
    QFile file(project);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY2(file.readAll() == text, c.what);
    if (c.exitCode != 0) QCOMPARE(filesIn(dir.filePath(QStringLiteral("out"))), QStringList());
  }

  // A names.dat of the user's in the project's folder: the run would need
  // the name; the file stays as it was and the export says which file it is.
  QTemporaryDir dir;
  const QString project = copySample(dir, QStringLiteral("sand-asd-english.pq8d"));
  const QString names = dir.filePath(QStringLiteral("names.dat"));
  const QByteArray list = "Site meeting: Alice, Bob\r\n";
  {
    QFile file(names);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(list);
  }
  const TProcessResult result = exportProject(dir.filePath(QStringLiteral("out")), project);
  QCOMPARE(result.exitCode, 1);
  QVERIFY2(result.err.contains(QStringLiteral("holds a file ") + names), qPrintable(result.err));
  QFile file(names);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(file.readAll(), list);
  QVERIFY(!QFileInfo::exists(ChangeFileExt(project, QStringLiteral(".pq8o"))));
}

// Results beside the project that another file left, or a run that did not
// complete (the disk filled up: the report is cut short), are not exported
// as the project's: the analysis runs again and the export has its results.
void CalcReportTest::resultsThatAreNotTheProjectsAreComputedAgain() {
  const QString golden = QStringLiteral(PYLAR_SOURCE_DIR "/engine/tests/golden/");
  struct TCase {
    const char *what;
    QString results;  // the golden run whose files lie beside the project
    int status;       // in the run record
    QString recordName;
    bool cutReport;
  };
  const TCase cases[] = {
      {"the results of another project", QStringLiteral("mixed-profile-belled"), 0, QStringLiteral("other.pq8d"), false},
      {"a run the full disk cut short", QStringLiteral("sand-asd-english"), 12, {}, true},
  };
  for (const TCase &c : cases) {
    QTemporaryDir dir;
    const QString project = copySample(dir, QStringLiteral("sand-asd-english.pq8d"));
    for (const char *extension : {".pq8o", ".pq8p", ".pq8r"})
      QVERIFY(QFile::copy(golden + c.results + QLatin1String(extension), ChangeFileExt(project, QLatin1String(extension))));
    const QString report = ChangeFileExt(project, QStringLiteral(".pq8o"));
    if (c.cutReport) {
      QFile file(report);
      QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(file.size() / 2));
    }
    QVERIFY(WriteRunRecord(project, c.status, c.recordName));
    const TProcessResult result = exportProject(dir.filePath(QStringLiteral("out")), project);
    QVERIFY2(result.exitCode == 0, qPrintable(QStringLiteral("%1: %2").arg(c.what, result.err)));
    // The report now is that of a whole run of this project.
    const TPrintedReport printed = readReport(report);
    QVERIFY2(printed.piers.size() == 3, c.what);  // stems of 3, 3.5 and 4 ft
    QVERIFY2(reportLines(report).filter(QStringLiteral("Belled pier")).isEmpty(), c.what);
    const QString pdf = pdfText(dir.filePath(QStringLiteral("out/sand-asd-english-report.pdf")));
    for (const TPrintedPier &pier : printed.piers) QVERIFY2(pdf.contains(pier.qu), qPrintable(pier.qu));
  }
}

// A file-size limit (the process's RLIMIT_FSIZE, as `ulimit -f` sets it) with
// the signal at its default: the export says what it could not write and ends
// with exit code 1, instead of being ended by SIGXFSZ.
void CalcReportTest::aFileSizeLimitIsAMessageNotAKill() {
  QTemporaryDir dir;
  const QString project = copySample(dir, QStringLiteral("sand-asd-english.pq8d"));
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("DISPLAY"));
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
  process.setProcessEnvironment(environment);
  process.setChildProcessModifier([] {
    std::signal(SIGXFSZ, SIG_DFL);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 4096;  // the project and names.dat fit, the engine's report does not
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  process.start(kBinDir + QStringLiteral("/pylarwin"),
                {QStringLiteral("--export"), dir.filePath(QStringLiteral("out")), project});
  QVERIFY(process.waitForFinished(120000));
  const QString err = QString::fromUtf8(process.readAllStandardError());
  QCOMPARE(process.exitStatus(), QProcess::NormalExit);
  QCOMPARE(process.exitCode(), 1);
  QVERIFY2(err.contains(QStringLiteral("The run ended with status 12.")), qPrintable(err));
  QCOMPARE(filesIn(dir.filePath(QStringLiteral("out"))), QStringList());
}

// Runs in one folder take turns: the export waits while another process
// holds the folder, and two exports of one project at once leave the plot
// data of one whole run.
void CalcReportTest::runsInOneFolderTakeTurns() {
  QTemporaryDir dir;
  const QString project = copySample(dir, QStringLiteral("sand-asd-english.pq8d"));
  const QString report = ChangeFileExt(project, QStringLiteral(".pq8o"));
  QProcess waiting;
  {
    TFolderLock held;
    QCOMPARE(held.Acquire(dir.path()), TLockResult::Held);
    waiting.start(kBinDir + QStringLiteral("/pylarwin"),
                  {QStringLiteral("--export"), dir.filePath(QStringLiteral("out-1")), project});
    QVERIFY(waiting.waitForStarted());
    QTest::qWait(2500);
    QCOMPARE(waiting.state(), QProcess::Running);
    QVERIFY(!QFileInfo::exists(report));  // no run started meanwhile
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("names.dat"))));
  }
  QVERIFY(waiting.waitForFinished(120000));
  QVERIFY2(waiting.exitCode() == 0, waiting.readAllStandardError().constData());
  QVERIFY(QFileInfo::exists(report));

  // The plot data of a lone run of the project, by the command-line runner.
  QTemporaryDir lone;
  const QString alone = copySample(lone, QStringLiteral("sand-asd-english.pq8d"));
  QCOMPARE(runProgram(kBinDir + QStringLiteral("/pylar"), {QStringLiteral("run"), alone}).exitCode, 0);
  const auto bytes = [](const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  const QByteArray expected = bytes(ChangeFileExt(alone, QStringLiteral(".pq8p")));
  QVERIFY(!expected.isEmpty());
  for (int round = 0; round < 3; ++round) {
    for (const QString &file : filesIn(dir.path()))
      if (!file.endsWith(QStringLiteral(".pq8d")) && file != QStringLiteral("PYLAR.LCK")) QFile::remove(dir.filePath(file));
    QProcess first, second;
    for (QProcess *process : {&first, &second})
      process->start(kBinDir + QStringLiteral("/pylarwin"),
                     {QStringLiteral("--export"), dir.filePath(QStringLiteral("out-%1").arg(process == &first)), project});
    for (QProcess *process : {&first, &second}) {
      QVERIFY(process->waitForFinished(120000));
      QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
    }
    QVERIFY2(bytes(ChangeFileExt(project, QStringLiteral(".pq8p"))) == expected, qPrintable(QString::number(round)));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("names.dat"))));
  }
}

void CalcReportTest::pageOneAnswersTheDesignCheck_data() {
  QTest::addColumn<QString>("sample");
  QTest::addColumn<QStringList>("options");
  QTest::addColumn<QStringList>("expected");  // on page one, each as it reads there (blanks simplified)
  QTest::addColumn<QString>("elevation");     // the chosen pier's length in the elevation figure
  // The clay sample (ASD, a design load of 150.0 tons): the chosen 3 ft pier
  // settles, on the trend curve its report prints, 0.04332 + (150 - 119.0) *
  // (0.07967 - 0.04332) / (185.8 - 119.0) = 0.0602 in; the upper-bound curve
  // gives 0.02114 + 75.89 * 0.03147 / 106.69 = 0.0435 in, the lower-bound one
  // 0.06851 + 32.5 * 0.03259 / 46.5 = 0.0913 in.
  QTest::newRow("ASD, design load") << QStringLiteral("clay-design-load-english.pq8d") << QStringList{}
                                    << QStringList{"Design load 150.0 tons",
                                                   "Trend line 0.0602 in",
                                                   "Upper-bound line 0.0435 in",
                                                   "Lower-bound line 0.0913 in",
                                                   "Allowable settlement 1.0 in",
                                                   "Verdict within the allowable settlement (trend line)",
                                                   "carries the design load of 150.0 tons",
                                                   "Design methods FHWA-IF-99-025 (1999)"}
                                    << QStringLiteral("Pier length 41 ft");
  // A project of the 2018 methods with scour: page one names them as the run's report does.
  QTest::newRow("2018 methods, scour")
      << QStringLiteral("gec10-appendix-a-strength-2018.pq8d") << QStringList{}
      << QStringList{"Design methods FHWA GEC-10 (2018), scour depth 38.0 ft."} << QStringLiteral("Pier length 201 ft");
  // The same against an allowable settlement of 0.05 in given on the command line.
  QTest::newRow("ASD, a tighter allowable settlement")
      << QStringLiteral("clay-design-load-english.pq8d") << QStringList{"--allowable-settlement", "0.05"}
      << QStringList{"Allowable settlement 0.05 in", "Verdict EXCEEDS the allowable settlement (trend line)",
                     "settles 0.0602 in (trend), MORE THAN the allowable settlement of 0.05 in"}
      << QStringLiteral("Pier length 41 ft");
  // The deep profile (LRFD, a proposed length of 80 ft): both warnings of the
  // run, each with its layer.
  QTest::newRow("LRFD, proposed length, two warnings")
      << QStringLiteral("deep-profile-lrfd.pq8d") << QStringList{}
      << QStringList{"Proposed length 80.0 ft", "Warnings of the run (2)",
                     "Layer 5 Blow counts should be greater than 25 for this criterion.",
                     "Layer 12 THE SHEAR STRENGTH OF THIS MATERIAL MAY BE TOO HIGH FOR USING CLAY CRITERIA."}
      << QStringLiteral("Pier length 80 ft");
}

// Page one of the report answers the checker's first questions from the
// report's own values: each pier's capacity at the length it reached against
// the design load, the chosen pier's settlement under it against the
// allowable settlement, and every warning of the run with its layer. No page
// before the appendix writes a number in E-notation.
void CalcReportTest::pageOneAnswersTheDesignCheck() {
  QFETCH(QString, sample);
  QFETCH(QStringList, options);
  QFETCH(QStringList, expected);
  QFETCH(QString, elevation);
  QTemporaryDir dir;
  const QString project = copySample(dir, sample);
  const QString outDir = dir.filePath(QStringLiteral("out"));
  const TProcessResult exported = exportProject(outDir, project, {}, options);
  QVERIFY2(exported.exitCode == 0, qPrintable(exported.err));
  const QString pdf = QDir(outDir).filePath(QFileInfo(sample).completeBaseName() + QStringLiteral("-report.pdf"));
  const QString pageOne = pdfPages(pdf, 1, 1);
  const QString one = pageOne.simplified();
  for (const QString &text : expected) QVERIFY2(one.contains(text), qPrintable(text + QStringLiteral("\n") + pageOne));

  // Each pier's row: stem, the length it reached and its capacity as the
  // report prints them, against the design load, carried.
  const TPrintedReport printed = readReport(ChangeFileExt(project, QStringLiteral(".pq8o")));
  QVERIFY(!printed.piers.empty());
  const QStringList lines = pageOne.split(u'\n');
  for (const TPrintedPier &pier : printed.piers) {
    const bool found = std::any_of(lines.begin(), lines.end(), [&](const QString &line) {
      const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
      return words.size() >= 5 && words.value(1) == pier.stem && words.value(3) == pier.length &&
             words.value(4) == pier.capacity &&
             (printed.designLoad.isEmpty() || (words.value(5) == printed.designLoad && words.value(7) == "yes"));
    });
    QVERIFY2(found, qPrintable(pier.stem + u' ' + pier.length + u' ' + pier.capacity + u'\n' + pageOne));
  }

  // The pages before the appendix: plain decimals only.
  const QString text = pdfText(pdf);
  const qsizetype appendix = text.indexOf(QStringLiteral("Appendix: the report of the run"));
  QVERIFY(appendix > 0);
  const QRegularExpressionMatch e = kENotation.match(text.left(appendix));
  QVERIFY2(!e.hasMatch(), qPrintable(text.left(appendix).mid(std::max<qsizetype>(0, e.capturedStart() - 200), 400)));
  // The elevation figure draws the chosen pier: a design-load project has no
  // length of its own, the report's chosen pier has one.
  QVERIFY2(text.left(appendix).simplified().contains(QStringLiteral("Elevation: the chosen pier (case 1)")),
           qPrintable(text.left(appendix)));
  QVERIFY(text.left(appendix).contains(elevation));
  // The appendix is the report as printed, E-notation and all.
  QVERIFY(kENotation.match(text.mid(appendix)).hasMatch());
}

// The job block: company and engineer from the user's settings, the
// project's number, revision, location and checker from its job file, any of
// them given on the command line instead; the export stores none of them and
// leaves blank lines for what nothing gives.
void CalcReportTest::jobBlockFromSettingsJobFileAndCommandLine() {
  QTemporaryDir dir;
  const QString project = copySample(dir, QStringLiteral("sand-asd-english.pq8d"));
  const QString outDir = dir.filePath(QStringLiteral("out"));
  const QString pdf = QDir(outDir).filePath(QStringLiteral("sand-asd-english-report.pdf"));

  // Nothing given: the labels with blank lines.
  TProcessResult exported = exportProject(outDir, project);
  QVERIFY2(exported.exitCode == 0, qPrintable(exported.err));
  QString one = pdfPages(pdf, 1, 1);
  for (const char *label : {"Company:", "Project number:", "Location:", "Revision:", "Computed by:", "Checked by:"})
    QVERIFY2(QRegularExpression(QStringLiteral("(^|\\s)%1\\s{2,}").arg(QRegularExpression::escape(label)))
                 .match(one)
                 .hasMatch(),
             qPrintable(QString::fromLatin1(label) + u'\n' + one));

  // The user's settings and the project's job file.
  {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder());
    QSettings settings(QStringLiteral("Vexlor"), QStringLiteral("PYLAR"));
    settings.beginGroup(QStringLiteral("2017.8.2"));
    settings.setValue(QStringLiteral("Report Company"), QStringLiteral("Example Engineering"));
    settings.setValue(QStringLiteral("Report Engineer"), QStringLiteral("A. Engineer"));
    settings.endGroup();
    settings.sync();
  }
  const QString jobFile = dir.filePath(QStringLiteral("sand-asd-english.pq8j"));
  const QByteArray job = "PYLAR REPORT JOB 1\r\nPROJECT NUMBER: 2024-017\r\nREVISION: A\r\nLOCATION: Harbour Road\r\n"
                         "CHECKER: C. Checker\r\n";
  {
    QFile file(jobFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(job);
  }
  const QString settingsFile = settingsFolder() + QStringLiteral("/Vexlor/PYLAR.conf");
  const QDateTime settingsTime = QFileInfo(settingsFile).lastModified();
  exported = exportProject(outDir, project, {}, {QStringLiteral("--revision"), QStringLiteral("B"),
                                                 QStringLiteral("--engineer="), QStringLiteral("--location"),
                                                 QStringLiteral("Pier 4, Harbour Road")});
  QVERIFY2(exported.exitCode == 0, qPrintable(exported.err));
  one = pdfPages(pdf, 1, 1).simplified();
  for (const char *text : {"Company: Example Engineering", "Project number: 2024-017", "Revision: B",
                           "Location: Pier 4, Harbour Road", "Checked by: C. Checker"})
    QVERIFY2(one.contains(QString::fromLatin1(text)), qPrintable(QString::fromLatin1(text) + u'\n' + one));
  QVERIFY2(one.contains(QStringLiteral("Computed by: Date:")), qPrintable(one));  // --engineer= leaves it blank
  QVERIFY(!one.contains(QStringLiteral("A. Engineer")));
  // Every page's header names the project number, its footer the revision.
  const QString all = pdfText(pdf).simplified();
  const int pages = pdfInfo(pdf).value(QStringLiteral("Pages")).toInt();
  QCOMPARE(all.count(QStringLiteral("Calculation Report - Project 2024-017")), pages);
  QCOMPARE(all.count(QStringLiteral("Revision B")), pages);
  // Nothing stored: the job file and the settings as they were.
  QFile file(jobFile);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(file.readAll(), job);
  QCOMPARE(QFileInfo(settingsFile).lastModified(), settingsTime);
  QSettings(QStringLiteral("Vexlor"), QStringLiteral("PYLAR")).clear();
}

QTEST_MAIN(CalcReportTest)
#include "calcreport_uitest.moc"
