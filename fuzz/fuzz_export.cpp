// The headless export (pylarwin --export OUTDIR PROJECT) on arbitrary files:
// the input is a project (.pq8d), its report (.pq8o) and its plot data
// (.pq8p), joined by kPartSeparator. They are written beside each other with
// the run record of a completed run of that project, so the export takes them
// as the project's results and does not run the analysis (a project that does
// not read, or whose pre-run check finds an error, ends the export before;
// no engine library is found in the program folder given, so no run happens). The export then writes its pictures, workbook
// and calculation report into an empty folder, under the offscreen platform
// the command line uses. What it promises: exit code 0 or 1; 1 with at least
// one reason, 0 with none; every file it names exists, is not empty and lies
// in the output folder; and the folder holds no other file (no temporary
// file is left behind).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "fuzz_parts.h"
#include "model/RunRecord.h"
#include "ui/HeadlessExport.h"

using namespace pylar;

namespace {

// Never destroyed: the handler that removes it at exit runs after the statics are gone.
const QString& workFolder() {
  static const QString* folder =
      new QString(QDir::temp().filePath(QStringLiteral("pylar-fuzz-export-%1").arg(static_cast<qint64>(::getpid()))));
  return *folder;
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
  if (file.write(bytes) != bytes.size()) std::abort();
}

[[noreturn]] void fail(const char* what, const QString& detail) {
  std::fprintf(stderr, "%s: %s\n", what, qUtf8Printable(detail));
  std::abort();
}

}  // namespace

// The system's font configuration keeps what it loads for the life of the
// process and frees none of it: not a leak of the export.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The plot windows are widgets: the export needs a widget application, as
  // pylarwin builds for --export. It lives for the whole run.
  static QApplication* app = new QApplication(*argc, *argv);
  (void)app;
  std::atexit([] { QDir(workFolder()).removeRecursively(); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<QByteArray> parts = pylar_fuzz::SplitParts(data, size, 3);
  QDir work(workFolder());
  work.removeRecursively();
  if (!QDir().mkpath(work.filePath(QStringLiteral("project"))) || !QDir().mkpath(work.filePath(QStringLiteral("out"))))
    std::abort();
  const QString project = work.filePath(QStringLiteral("project/fuzzed.pq8d"));
  const QString outDir = work.filePath(QStringLiteral("out"));
  writeFile(project, parts[0]);
  // The results a completed run of this project left, with its run record.
  writeFile(work.filePath(QStringLiteral("project/fuzzed.pq8s")),
            "PYLAR RUN RECORD 1\r\nPROJECT fuzzed.pq8d\r\nSIZE " + QByteArray::number(parts[0].size()) +
                "\r\nFNV1A64 " + QByteArray::number(Fnv1a64(parts[0]), 16).rightJustified(16, '0') +
                "\r\nSTATUS 0\r\n");
  if (parts.size() > 1 && !parts[1].isEmpty()) writeFile(work.filePath(QStringLiteral("project/fuzzed.pq8o")), parts[1]);
  if (parts.size() > 2 && !parts[2].isEmpty()) writeFile(work.filePath(QStringLiteral("project/fuzzed.pq8p")), parts[2]);

  QStringList out, err;
  TExportLog log;
  log.out = [&out](const QString& line) { out << line; };
  log.err = [&err](const QString& line) { err << line; };
  const int code = ExportProject(outDir, project, work.filePath(QStringLiteral("no-program-here")), log);

  if (code != 0 && code != 1) fail("exit code other than 0 or 1", QString::number(code));
  if (code == 1 && err.isEmpty()) fail("exit code 1 without a reason", out.join(u'\n'));
  if (code == 0 && !err.isEmpty()) fail("exit code 0 with a reason", err.join(u'\n'));
  QSet<QString> named;
  for (const QString& line : out) {
    // Without a display there is no OpenGL: the 3-D View's one-line note.
    if (line.startsWith(QLatin1String("The 3-D View cannot be drawn: "))) continue;
    const QFileInfo file(QDir::fromNativeSeparators(line));
    if (!file.isFile() || file.size() == 0) fail("a file named as written is missing or empty", line);
    if (file.absolutePath() != QFileInfo(outDir).absoluteFilePath()) fail("a file written outside the folder", line);
    named.insert(file.fileName());
  }
  for (const QString& name : QDir(outDir).entryList(QDir::Files | QDir::Hidden | QDir::System))
    if (!named.contains(name)) fail("a file left in the output folder without being named", name);
  return 0;
}
