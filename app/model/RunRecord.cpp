#include "RunRecord.h"

#include "dynlib.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <charconv>

namespace pylar {

namespace {

// A record is five short lines; a file name takes at most a few hundred bytes.
constexpr qint64 kMaxRecordSize = 8192;

// The digits of a line after its keyword, as a whole non-negative number.
template <class T>
bool parseNumber(const QByteArray &text, int base, T &value) {
  if (text.isEmpty()) return false;
  for (const char c : text) {
    const bool digit = c >= '0' && c <= '9';
    const bool hex = base == 16 && c >= 'a' && c <= 'f';
    if (!digit && !hex) return false;
  }
  const auto [end, error] = std::from_chars(text.constData(), text.constData() + text.size(), value, base);
  return error == std::errc() && end == text.constData() + text.size();
}

// The rest of `line` after `keyword` and one blank; false when it does not start so.
bool after(const QByteArray &line, const char *keyword, QByteArray &rest) {
  const QByteArray prefix = QByteArray(keyword) + ' ';
  if (!line.startsWith(prefix)) return false;
  rest = line.mid(prefix.size());
  return true;
}

TResultsCheck judge(const QString &projectFile, const TRunRecord &record, qint64 size, quint64 hash) {
  TResultsCheck check;
  check.status = record.status;
  if (record.project != QFileInfo(projectFile).fileName().toUtf8()) {
    check.state = TResultsState::OtherProject;
    check.otherProject = QString::fromUtf8(record.project);
  } else if (record.size != size || record.hash != hash) {
    check.state = TResultsState::OlderVersion;
  } else if (record.status != 0 && record.status != 7) {
    check.state = TResultsState::RunIncomplete;
  } else {
    check.state = TResultsState::Current;
  }
  return check;
}

// The record beside the project: empty with `state` set when there is none to use.
std::optional<TRunRecord> readRecord(const QString &projectFile, TResultsState &state) {
  const QString path = RunRecordFile(projectFile);
  const QFileInfo info(path);
  if (!info.exists()) {
    state = TResultsState::NoRecord;
    return std::nullopt;
  }
  state = TResultsState::Unreadable;
  QFile file(path);
  if (!info.isFile() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray text = file.read(kMaxRecordSize + 1);
  if (text.size() > kMaxRecordSize) return std::nullopt;
  return ParseRunRecord(text);
}

}  // namespace

void TFnv1a64::Add(const char *data, qint64 size) {
  constexpr quint64 kPrime = 1099511628211ULL;
  for (qint64 k = 0; k < size; ++k) {
    fHash ^= static_cast<unsigned char>(data[k]);
    fHash *= kPrime;
  }
}

quint64 Fnv1a64(const QByteArray &bytes) {
  TFnv1a64 hash;
  hash.Add(bytes);
  return hash.Value();
}

std::optional<TRunRecord> ParseRunRecord(const QByteArray &text) {
  // Every line ends with its line end: a record cut anywhere is not one.
  if (!text.endsWith('\n')) return std::nullopt;
  QList<QByteArray> lines = text.split('\n');
  lines.removeLast();
  if (lines.size() != 5) return std::nullopt;
  for (QByteArray &line : lines)
    if (line.endsWith('\r')) line.chop(1);

  TRunRecord record;
  QByteArray size, hash, status;
  if (lines[0] != "PYLAR RUN RECORD 1" || !after(lines[1], "PROJECT", record.project) || record.project.isEmpty() ||
      !after(lines[2], "SIZE", size) || !after(lines[3], "FNV1A64", hash) || !after(lines[4], "STATUS", status))
    return std::nullopt;
  if (record.project.contains('\r') || record.project.contains('/') || hash.size() != 16) return std::nullopt;
  if (!parseNumber(size, 10, record.size) || !parseNumber(hash, 16, record.hash) ||
      !parseNumber(status, 10, record.status))
    return std::nullopt;
  return record;
}

QString RunRecordFile(const QString &projectFile) {
  return RunFileOf(projectFile, engine::RunFileKind::RunRecord);
}

TResultsCheck CheckRunRecord(const QString &projectFile, const QByteArray &projectBytes) {
  TResultsCheck check;
  const std::optional<TRunRecord> record = readRecord(projectFile, check.state);
  if (!record) return check;
  return judge(projectFile, *record, projectBytes.size(), Fnv1a64(projectBytes));
}

TResultsCheck CheckRunRecord(const QString &projectFile) {
  TResultsCheck check;
  const std::optional<TRunRecord> record = readRecord(projectFile, check.state);
  if (!record) return check;
  QFile project(projectFile);
  // A project that cannot be read, or of another size, is not the one the run read.
  if (!QFileInfo(projectFile).isFile() || !project.open(QIODevice::ReadOnly) || project.size() != record->size)
    return judge(projectFile, *record, -1, 0);
  TFnv1a64 hash;
  qint64 size = 0;
  constexpr qint64 kChunk = qint64(1) << 20;
  for (;;) {
    const QByteArray chunk = project.read(kChunk);
    if (chunk.isEmpty()) break;
    hash.Add(chunk);
    size += chunk.size();
  }
  return judge(projectFile, *record, size, hash.Value());
}

QString TResultsCheck::Reason(const QString &projectFile) const {
  const QString project = QDir::toNativeSeparators(projectFile);
  const QString again = QStringLiteral(" Run the analysis to compute the results of the project as it is.");
  switch (state) {
    case TResultsState::Current: return {};
    case TResultsState::NoRecord:
    case TResultsState::Unreadable:
      return QStringLiteral("The results beside %1 have no run record that ties them to it: they may belong to "
                            "another file or to an older version of it, so they are not shown.")
                 .arg(project) +
             again;
    case TResultsState::OtherProject:
      return QStringLiteral("The results beside %1 belong to another file (%2), so they are not shown.")
                 .arg(project, otherProject) +
             again;
    case TResultsState::OlderVersion:
      return QStringLiteral("The results beside %1 belong to an older version of it (the project has changed "
                            "since they were computed), so they are not shown.")
                 .arg(project) +
             again;
    case TResultsState::RunIncomplete:
      return QStringLiteral("The last run of %1 did not complete (status %2), so its results are not shown. The "
                            "run notes say why; run the analysis again once that is mended.")
          .arg(project)
          .arg(status);
  }
  return {};
}

}  // namespace pylar
