// pylarwin: the desktop program.
#include "model/ReportJob.h"
#include "model/dynlib.h"
#include "ui/HeadlessExport.h"
#include "ui/Icons.h"
#include "ui/Main.h"
#include "ui/Table.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

constexpr const char *kHelp =
    "Usage: pylarwin [FILE]\n"
    "       pylarwin --export OUTDIR PROJECT [JOB OPTIONS]\n"
    "       pylarwin --help | --version\n"
    "\n"
    "Opens the desktop program on FILE, a project (.pq8d, or .pqd of the earlier\n"
    "versions; \".pq8d\" is added to a name without one), or on a new project.\n"
    "\n"
    "  --export   writes into OUTDIR, without a window or a display, the result\n"
    "             plots (PNG and SVG), the elevation view, the workbook (.xlsx)\n"
    "             and the calculation report (PDF) of PROJECT. The results\n"
    "             beside PROJECT are used when its run record ties them to\n"
    "             PROJECT as it is and the run completed; otherwise the analysis\n"
    "             runs first, on the file as it is (PROJECT is never written).\n"
    "             A run that does not complete ends the export with exit code 1,\n"
    "             its status and the engine's message.\n"
    "             One line is printed for each file written, and one when the\n"
    "             3-D View cannot be drawn (it needs OpenGL: run under xvfb-run).\n"
    "             The job block on page one of the report takes the company,\n"
    "             engineer and allowable settlement of the settings and the\n"
    "             project number, revision, location and checker of the job file\n"
    "             beside PROJECT (PROJECT.pq8j); these options give them instead\n"
    "             (nothing is stored; an empty value leaves the line blank):\n"
    "               --company TEXT          --engineer TEXT      --checker TEXT\n"
    "               --project-number TEXT   --revision TEXT      --location TEXT\n"
    "               --allowable-settlement NUMBER   (in for English, mm for SI)\n"
    "  --help     shows this text\n"
    "  --version  shows the version and the engine library that analyses run\n";

// --help and --version answer on stdout without a window or a display: only a
// core application is built for them. Returns the exit code when answered.
std::optional<int> answerWithoutWindow(int argc, char *argv[]) {
  bool help = false, version = false;
  for (int k = 1; k < argc; ++k) {
    help = help || std::strcmp(argv[k], "--help") == 0 || std::strcmp(argv[k], "-h") == 0;
    version = version || std::strcmp(argv[k], "--version") == 0;
  }
  if (!help && !version) return std::nullopt;
  QCoreApplication core(argc, argv);
  if (help) {
    std::fputs(kHelp, stdout);
  } else {
    const QString library = pylar::EngineLibraryFile(QCoreApplication::applicationDirPath());
    std::printf("pylarwin %s\nEngine library: %s%s\n", pylar::kProgramVersion, qUtf8Printable(library),
                QFileInfo::exists(library) ? "" : " (not found)");
  }
  return 0;
}

constexpr const char *kUsage =
    "Usage: pylarwin [FILE] | --export OUTDIR PROJECT [JOB OPTIONS] | --help | --version\n";
constexpr int kUsageExit = 64;

// --export OUTDIR PROJECT: the program's pictures and files without a window.
// The offscreen platform is chosen unless another one is asked for, so no
// display is needed. Returns the exit code when the command line asks for it.
std::optional<int> exportWithoutWindow(int argc, char *argv[]) {
  bool exporting = false;
  for (int k = 1; k < argc; ++k) exporting = exporting || std::strcmp(argv[k], "--export") == 0;
  if (!exporting) return std::nullopt;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The arguments as the application decodes them (the whole command line on Windows).
  const pylar::TExportArguments parsed = pylar::ParseExportArguments(QApplication::arguments().mid(1));
  if (!parsed.Error.isEmpty()) {
    std::fputs(qUtf8Printable(QStringLiteral("pylarwin: ") + parsed.Error + u'\n'), stderr);
    std::fputs(kUsage, stderr);
    return kUsageExit;
  }
  QApplication::setOrganizationName(QStringLiteral("Vexlor"));
  QApplication::setApplicationName(QStringLiteral("Pylar 2017"));
  QApplication::setApplicationVersion(QString::fromLatin1(pylar::kProgramVersion));
  pylar::TExportLog log;
  log.out = [](const QString &line) {
    std::fputs(qUtf8Printable(line + u'\n'), stdout);
    std::fflush(stdout);
  };
  log.err = [](const QString &line) { std::fputs(qUtf8Printable(QStringLiteral("pylarwin: ") + line + u'\n'), stderr); };
  return pylar::ExportProject(parsed.OutDir, parsed.Project, QCoreApplication::applicationDirPath(), log, parsed);
}

}  // namespace

int main(int argc, char *argv[]) {
#if defined(SIGXFSZ)
  // A file-size limit makes a write fail, and the program says which file it
  // could not write, instead of ending the process on the spot.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  if (const std::optional<int> answered = answerWithoutWindow(argc, argv)) return *answered;
  if (const std::optional<int> exported = exportWithoutWindow(argc, argv)) return *exported;
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Vexlor"));
  QApplication::setApplicationName(QStringLiteral("Pylar 2017"));
  QApplication::setApplicationVersion(QString::fromLatin1(pylar::kProgramVersion));
  QApplication::setWindowIcon(pylar::ApplicationIcon());
  // Lets the desktop match the windows to the installed desktop entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("pylarwin"));
  pylar::InstallTableForms();
  pylar::TMainForm window;
  window.show();
  const QStringList arguments = QApplication::arguments();
  window.StartUp(arguments.size() > 1 ? arguments[1] : QString());
  return app.exec();
}
