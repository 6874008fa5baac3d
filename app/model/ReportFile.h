// The engine's text files as the program shows them: the report (.pq8o), the
// run notes (.pq8r) and the detail listing (.pq8z), read whole up to a size
// limit, split into lines, with the places a reader jumps to (the sections).
// Nothing here writes a file.
#pragma once

#include "Errors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace pylar {

// Far above the largest report a run writes (a few hundred kB); a larger file
// is shown up to this size and marked as cut short.
inline constexpr qint64 kTextViewLimit = qint64(32) * 1024 * 1024;

// A text file that cannot be shown at all: missing, unreadable, no regular
// file, empty. The message names the file and says what is wrong.
class ETextFileError : public EPylarError {
 public:
  using EPylarError::EPylarError;
};

enum class TSectionKind {
  ProjectData,
  SoilInformation,
  PierInput,
  SeriesInput,
  Results,
  Case,
  NeedAnotherLayer,
  MostEfficient,
  LoadSettlement,
  RockSocket,
  Curves,
  AdditionalTzCurves,
  DesignCharts,
  ChartSettlement,
  BaseCurves,
  Note,
};

struct TTextSection {
  QString title;
  int line = 0;        // 0-based line of the section's heading
  qint64 offset = 0;   // byte offset of that line in the file
  TSectionKind kind = TSectionKind::Note;
  int caseNumber = 0;  // the case of a Case section
};

struct TTextFile {
  QString path;
  QStringList lines;                // as in the file, without line ends
  std::vector<qint64> lineOffsets;  // byte offset of each line's start
  qint64 fileSize = 0;              // bytes on disk
  qint64 bytesShown = 0;            // bytes read (less than fileSize only above the limit)
  bool cutShort = false;            // the text shown is not the whole of a finished file
  bool endsInsideLine = false;      // the last line has no line end: it may be cut anywhere
  QStringList notices;              // why it is marked, for the user
  std::vector<TTextSection> sections;

  // The lines joined by "\n" (the file's CRLF or LF line ends become "\n").
  QString Text() const;
};

// Reads a file to show it. Throws ETextFileError when there is nothing to show.
TTextFile ReadTextFile(const QString &path, qint64 limit = kTextViewLimit);

// The same on bytes already read (`fileSize` is the size on disk, at least
// data.size()); `data` holds at most limit + 1 bytes.
TTextFile TextFileFromData(const QString &path, const QByteArray &data, qint64 fileSize, qint64 limit);

// The sections of a report, run notes or listing, in the order of the file.
std::vector<TTextSection> FindSections(const QStringList &lines, const std::vector<qint64> &offsets);

// The message shown when the external text editor cannot be started: it names
// the program and where it is set.
QString EditorFailureMessage(const QString &program);

}  // namespace pylar
