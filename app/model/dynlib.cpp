#include "dynlib.h"

#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pylar {

TDynamicLibrary::TDynamicLibrary(const QString &fileName, bool openNow) : fFileName(fileName) {
  if (openNow) Open();
}

TDynamicLibrary::~TDynamicLibrary() { Close(); }

void TDynamicLibrary::SetFileName(const QString &name) {
  Close();
  fFileName = name;
}

void TDynamicLibrary::Open() {
  if (GetIsOpen()) return;
  fLastError.clear();
  auto library = std::make_unique<QLibrary>(fFileName);
  if (library->load()) {
    fModule = std::move(library);
    return;
  }
  fLastError = library->errorString();
  if (!QFileInfo::exists(fFileName)) return;  // stays closed, like any other unexplained failure
  // The file is there: either a library it depends on is missing, or its
  // initialisation failed.
  if (fLastError.contains(QStringLiteral("cannot open shared object file")) ||
      fLastError.contains(QStringLiteral("could not be found"), Qt::CaseInsensitive) ||
      fLastError.contains(QStringLiteral("Library not loaded")))
    throw EFileNotFoundError();
  throw EInitError();
}

void TDynamicLibrary::OpenFile(const QString &name) {
  SetFileName(name);
  Open();
}

void *TDynamicLibrary::FindProcedure(const QString &name) {
  if (!GetIsOpen()) throw EDLLNotOpenError();
  return reinterpret_cast<void *>(fModule->resolve(name.toLatin1().constData()));
}

void TDynamicLibrary::Close() {
  if (!fModule) return;
  fModule->unload();
  fModule.reset();
}

QString EngineLibraryFile(const QString &programFolder) {
#if defined(_WIN32)
  const QString name = QStringLiteral("Pylar2017_DLL.dll");
#elif defined(__APPLE__)
  const QString name = QStringLiteral("libPylar2017_DLL.dylib");
#else
  const QString name = QStringLiteral("libPylar2017_DLL.so");
#endif
  return QDir(programFolder).filePath(name);
}

QString ChangeFileExt(const QString &path, const QString &extension) {
  const qsizetype separator = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
  const qsizetype dot = path.lastIndexOf(u'.');
  if (dot > separator) return path.left(dot) + extension;
  return path + extension;
}

QString RunFileOf(const QString &projectFile, engine::RunFileKind kind) {
  const engine::RunFile &file = engine::runFile(kind);
  const auto latin1 = [](std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); };
  if (!file.fixedName.empty()) return QFileInfo(projectFile).dir().filePath(latin1(file.fixedName));
  return ChangeFileExt(projectFile, latin1(file.extension));
}

QStringList RunNamesLines(const QString &projectFile) {
  using engine::kFirstNamesLine;
  using engine::kLastNamesLine;
  QStringList lines{QString::fromLatin1(kProgramVersion), projectFile};
  for (int line = kFirstNamesLine + 1; line <= kLastNamesLine; ++line)
    lines << RunFileOf(projectFile, engine::runFileOnNamesLine(line).kind);
  return lines;
}

void WriteNamesFile(const QString &folder, const QString &projectFile) {
  const QString path = QDir(folder).filePath(QString::fromLatin1(kNamesFile));
  QByteArray text;
  for (const QString &line : RunNamesLines(projectFile)) text += line.trimmed().toUtf8() + "\r\n";
  if (!WriteWholeFile(path, text).isEmpty())
    throw EPylarError(QStringLiteral("The run-control file could not be written:\r") + path);
}

QString NamesFileInTheWay(const QString &folder) {
  const QString path = QDir(folder).filePath(QString::fromLatin1(kNamesFile));
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return {};
  const auto leftOver = [&] {
    QFile file(path);
    // A run-control file is nine paths: a few kilobytes at most.
    if (info.isSymLink() || !info.isFile() || info.size() > 65536 || !file.open(QIODevice::ReadOnly)) return false;
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QString &line : lines)
      if (line.endsWith(u'\r')) line.chop(1);
    if (lines.size() != 9 || lines[0].trimmed().isEmpty()) return false;
    const QFileInfo project(lines[1]);
    if (!project.isAbsolute() || QFileInfo(project.absolutePath()).canonicalFilePath() != QFileInfo(folder).canonicalFilePath())
      return false;
    return RunNamesLines(lines[1]).mid(1) == lines.mid(1);
  };
  if (leftOver()) return {};
  return QStringLiteral("The project's folder holds a file %1 that is not the run-control file of an earlier run of "
                        "this folder. A run needs that name: move or rename the file, then run the analysis again.")
      .arg(QDir::toNativeSeparators(path));
}

void RemoveRunScratchFiles(const QString &projectFile) {
  for (const engine::RunFile &file : engine::kRunFiles)
    if (file.intermediate) QFile::remove(RunFileOf(projectFile, file.kind));
}

}  // namespace pylar
