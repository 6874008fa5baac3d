// pylarwin: the desktop program.
#include "model/dynlib.h"
#include "ui/CalcReport.h"
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
    "       pylarwin --export OUTDIR PROJECT\n"
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

constexpr const char *kUsage = "Usage: pylarwin [FILE] | --export OUTDIR PROJECT | --help | --version\n";
constexpr int kUsageExit = 64;

// --export OUTDIR PROJECT: the program's pictures and files without a window.
// The offscreen platform is chosen unless another one is asked for, so no
// display is needed. Returns the exit code when the command line asks for it.
std::optional<int> exportWithoutWindow(int argc, char *argv[]) {
  bool exporting = false;
  for (int k = 1; k < argc; ++k) exporting = exporting || std::strcmp(argv[k], "--export") == 0;
  if (!exporting) return std::nullopt;
  if (argc != 4 || std::strcmp(argv[1], "--export") != 0) {
    std::fputs(kUsage, stderr);
    return kUsageExit;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Vexlor"));
  QApplication::setApplicationName(QStringLiteral("Pylar 2017"));
  QApplication::setApplicationVersion(QString::fromLatin1(pylar::kProgramVersion));
  const QStringList arguments = QApplication::arguments();
  pylar::TExportLog log;
  log.out = [](const QString &line) {
    std::fputs(qUtf8Printable(line + u'\n'), stdout);
    std::fflush(stdout);
  };
  log.err = [](const QString &line) { std::fputs(qUtf8Printable(QStringLiteral("pylarwin: ") + line + u'\n'), stderr); };
  return pylar::ExportProject(arguments[2], arguments[3], QCoreApplication::applicationDirPath(), log);
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
