// The run record: the engine's last word on a run, written beside its results
// as <project stem>.pq8s once every other file of the run is closed:
//
//   PYLAR RUN RECORD 1
//   PROJECT <project file name, without folder>
//   SIZE <bytes of the project as the run read it>
//   FNV1A64 <FNV-1a 64-bit hash of those bytes, 16 lower-case hex digits>
//   STATUS <the run's status>
//
// (CRLF lines). The engine removes an old record before it opens any result,
// so a run that was cut off leaves none. The results beside a project are that
// project's only when the record names its file, its size and hash are those
// of the project's bytes now, and the run completed (status 0, or 7: the
// design load was not reached, the files are whole).
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace pylar {

// FNV-1a, 64 bits, fed piece by piece.
class TFnv1a64 {
 public:
  void Add(const char *data, qint64 size);
  void Add(const QByteArray &bytes) { Add(bytes.constData(), bytes.size()); }
  quint64 Value() const { return fHash; }

 private:
  quint64 fHash = 14695981039346656037ULL;
};
quint64 Fnv1a64(const QByteArray &bytes);

struct TRunRecord {
  QByteArray project;  // the file name as the engine wrote it (UTF-8)
  qint64 size = 0;
  quint64 hash = 0;
  int status = 0;
};

// The five lines of a record, each ended by CRLF (or LF); nothing before,
// between or after them. Empty when the text is anything else.
std::optional<TRunRecord> ParseRunRecord(const QByteArray &text);

// The record beside a project: its stem with ".pq8s".
QString RunRecordFile(const QString &projectFile);

enum class TResultsState {
  Current,        // the results of the project as it is, from a run that completed
  NoRecord,       // no record beside the project
  Unreadable,     // a file under the record's name that is not a record (damaged, cut short)
  OtherProject,   // the record names another project file
  OlderVersion,   // the project is not the one the run read (size or hash differ)
  RunIncomplete,  // the run that left them did not complete (a status other than 0 and 7)
};

struct TResultsCheck {
  TResultsState state = TResultsState::NoRecord;
  int status = -1;       // the run's status, once a record was read
  QString otherProject;  // the file the record names, when that is another one

  bool Current() const { return state == TResultsState::Current; }
  // Why the results beside `projectFile` are not presented as its own, for
  // the user; empty when they are current.
  QString Reason(const QString &projectFile) const;
};

// Whether the results beside `projectFile` are those of the project whose
// bytes are `projectBytes`.
TResultsCheck CheckRunRecord(const QString &projectFile, const QByteArray &projectBytes);
// The same for the project as it is on disk (read piece by piece; a project
// that cannot be read is not the one any run read).
TResultsCheck CheckRunRecord(const QString &projectFile);

}  // namespace pylar
