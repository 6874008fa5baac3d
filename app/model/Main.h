// Main-window state that needs no widgets: the recent-files list and the
// program settings.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>

#include "DataUnit.h"

namespace pylar {

inline constexpr int kMaxRecentFiles = 10;

// Recent project files, most recent first; an empty entry holds no file.
class TRecentFiles {
 public:
  TRecentFiles() : fFiles(kMaxRecentFiles) {}
  // The file moves to the top: already first, nothing changes; at position k,
  // the entries before it move down one place; otherwise every entry moves
  // down and the tenth is dropped.
  void MoveToTop(const QString &path);
  // Entries from 0; empty beyond the list.
  QString Entry(int index) const;
  void SetEntry(int index, const QString &path);
  void Clear();
  // Number of non-empty entries (NumberPrevFile).
  int Count() const;
  // Menu caption of entry `index` (from 0): number, blank, path, where a path
  // inside `currentFolder` is shown relative to it.
  QString Caption(int index, const QString &currentFolder) const;

 private:
  QStringList fFiles;
};

// The program's settings: organisation "Vexlor", application "PYLAR",
// group "2017.8.2": "Word Processor" and "File1" ... "File10", and the main
// window as it was left ("Window Geometry", "Window State") and the folder of
// the last project opened or saved ("Last Folder").
struct TProgramSettings {
  QString WordProcessor;
  TRecentFiles PrevFile;
  QByteArray WindowGeometry;
  QByteArray WindowState;
  QString LastFolder;
};

// The platform's text editor: notepad.exe in the Windows folder on Windows,
// the desktop's default handler (xdg-open) elsewhere.
QString DefaultWordProcessor();

// Reads the settings; an empty editor keeps `settings.WordProcessor`.
void ReadSettings(TProgramSettings &settings);
// Stores the settings; failures are ignored.
void WriteSettings(const TProgramSettings &settings);

// Where a child window of `window`'s geometry goes so that it lies inside a
// window area of `area`: as large as it is where the area allows (its size
// cut to the area's otherwise) and moved back inside, keeping its place where
// it already fits.
QRect PlaceInsideArea(const QRect &window, const QSize &area);

// The name a command-line argument stands for: ".pq8d" appended when its
// file name contains no ".".
QString CommandLineFileName(const QString &argument);

}  // namespace pylar
