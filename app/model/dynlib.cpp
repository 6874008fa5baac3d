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

QStringList RunNamesLines(const QString &projectFile) {
  QStringList lines{QString::fromLatin1(kProgramVersion), projectFile};
  for (const char *ext : {".pq8o", ".pq8p", ".pq8r", ".pq8z", ".pq8w", ".pq8t", ".pq8q"})
    lines << ChangeFileExt(projectFile, QString::fromLatin1(ext));
  return lines;
}

void WriteNamesFile(const QString &folder, const QString &projectFile) {
  const QString path = QDir(folder).filePath(QString::fromLatin1(kNamesFile));
  QByteArray text;
  for (const QString &line : RunNamesLines(projectFile)) text += line.trimmed().toUtf8() + "\r\n";
  if (!WriteWholeFile(path, text).isEmpty())
    throw EPylarError(QStringLiteral("The run-control file could not be written:\r") + path);
}

void RemoveRunScratchFiles(const QString &projectFile) {
  const QFileInfo project(projectFile);
  QFile::remove(project.dir().filePath(QStringLiteral("TZDIAM.DAT")));
  for (const char *ext : {".pq8w", ".pq8t", ".pq8q"})
    QFile::remove(ChangeFileExt(projectFile, QString::fromLatin1(ext)));
}

}  // namespace pylar
