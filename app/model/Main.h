// Main-window state that needs no widgets: the recent-files list, the program
// settings, the window caption and file-name rules.
#pragma once

#include <QString>
#include <QStringList>

namespace pylar {

inline constexpr int kMaxRecentFiles = 10;
inline constexpr const char *kDefaultFileName = "NewPylar.pq8d";

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
// group "2017.8.2": "Word Processor" and "File1" ... "File10".
struct TProgramSettings {
  QString WordProcessor;
  TRecentFiles PrevFile;
};

// The platform's text editor: notepad.exe in the Windows folder on Windows,
// the desktop's default handler (xdg-open) elsewhere.
QString DefaultWordProcessor();

// Reads the settings; an empty editor keeps `settings.WordProcessor`.
void ReadSettings(TProgramSettings &settings);
// Stores the settings; failures are ignored.
void WriteSettings(const TProgramSettings &settings);

// The window caption of a project: "PYLAR 2017.8.2 - " and the display name.
QString ProjectCaption(const QString &fileName);
// The display name: no folder; when the extension is ".pq8" (compared in upper
// case) the part from the first "." on is removed; a leading lower-case letter
// is upper-cased when the name is longer than one character.
QString DisplayName(const QString &fileName);

// True when the project has never been saved (its name is the default one).
bool IsUnnamed(const QString &fileName);

// The name a command-line argument stands for: ".pq8d" appended when it
// contains no ".".
QString CommandLineFileName(const QString &argument);

// Reader chosen by the extension (lower case) of a file opened from the command
// line, a drop or the recent-files list.
enum class TReaderKind { None, Version8, LegacyNew, LegacyOld };
TReaderKind ReaderForExtension(const QString &path);

}  // namespace pylar
