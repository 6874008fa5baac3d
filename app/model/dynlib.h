// Binding of the engine library: one loadable library with its error classes,
// and the run-control and scratch files of an analysis run.
#pragma once

#include "Errors.h"

#include "pylar/run_files.h"

#include <QLibrary>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

namespace pylar {

class EDLLError : public EPylarError {
 public:
  using EPylarError::EPylarError;
};

class EInitError : public EDLLError {
 public:
  EInitError() : EDLLError(QStringLiteral("Library failed to properly initialize")) {}
};

class EFileNotFoundError : public EDLLError {
 public:
  EFileNotFoundError() : EDLLError(QStringLiteral("Library could not be located")) {}
};

class EDLLNotOpenError : public EDLLError {
 public:
  EDLLNotOpenError() : EDLLError(QStringLiteral("Library is not open")) {}
};

// One loadable library. Unloaded when closed or destroyed.
class TDynamicLibrary {
 public:
  TDynamicLibrary() = default;
  // Sets the file name and opens the library when `openNow` is set.
  TDynamicLibrary(const QString &fileName, bool openNow);
  ~TDynamicLibrary();
  TDynamicLibrary(const TDynamicLibrary &) = delete;
  TDynamicLibrary &operator=(const TDynamicLibrary &) = delete;

  QString FileName() const { return fFileName; }
  // Closes the library if it is open, then stores the name.
  void SetFileName(const QString &name);
  // Loads the library; nothing when already open. A file that is missing
  // leaves the object closed without an error; a file that is there but cannot
  // be loaded raises EFileNotFoundError when a library it needs is missing and
  // EInitError otherwise.
  void Open();
  void OpenFile(const QString &name);
  // Address of an export, or null when the library has no such export.
  // Raises EDLLNotOpenError when the library is not open.
  void *FindProcedure(const QString &name);
  bool GetIsOpen() const { return fModule != nullptr; }
  void Close();
  // The loader's explanation of the last failed Open (empty when none).
  QString LastError() const { return fLastError; }

 private:
  QString fFileName;
  std::unique_ptr<QLibrary> fModule;
  QString fLastError;
};

// The engine's single export: one 32-bit argument, one 32-bit result.
#if defined(_WIN32) && !defined(_WIN64)
using TIPYLAR = std::int32_t(__stdcall *)(std::int32_t);
#else
using TIPYLAR = std::int32_t (*)(std::int32_t);
#endif

inline constexpr int kIPYLARArgument = 2;

// File name of the engine library in a program folder, as the platform names
// shared libraries: Pylar2017_DLL.dll, libPylar2017_DLL.so, libPylar2017_DLL.dylib.
QString EngineLibraryFile(const QString &programFolder);

// The path with whatever follows its last "." (in the file name) replaced by
// `extension` (which starts with "."); appended when the name has no ".".
QString ChangeFileExt(const QString &path, const QString &extension);

// A file of the run of a project: named after the project with the file's
// extension, or of fixed name in the project's folder.
QString RunFileOf(const QString &projectFile, engine::RunFileKind kind);

// The nine lines of names.dat for a project: the version text, the project
// file, then the names of its result and intermediate files.
QStringList RunNamesLines(const QString &projectFile);
inline constexpr const char *kNamesFile = "names.dat";
// The version of project(VERSION) in CMakeLists.txt.
inline constexpr const char *kProgramVersion = PYLAR_VERSION;

// Writes names.dat into `folder` with CRLF line ends, replacing an earlier one.
// Raises EPylarError when the file cannot be written completely.
void WriteNamesFile(const QString &folder, const QString &projectFile);

// A names.dat in `folder` that a run must not replace: anything but the
// run-control file an earlier run of a project of this folder left (nine
// lines: a version text, then a project of this folder and its eight result
// names). Returns the message that names it; empty when the name is free.
QString NamesFileInTheWay(const QString &folder);

// After a run: removes the intermediate files of the project's run (beside the
// project and in its folder) when they exist.
void RemoveRunScratchFiles(const QString &projectFile);

}  // namespace pylar
