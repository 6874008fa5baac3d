// Run records for tests: the record a run of a project leaves beside its
// results (see model/RunRecord.h), written by a test that puts results beside
// a project itself, or after a run by an engine that wrote none.
#pragma once

#include "model/RunRecord.h"

#include <QFile>
#include <QFileInfo>

namespace pylar {

// Writes the record of a run of `projectFile` as it is now that ended with
// `status`; `name` replaces the project's file name in it when given.
inline bool WriteRunRecord(const QString &projectFile, int status, const QString &name = {}) {
  QFile project(projectFile);
  if (!project.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = project.readAll();
  const QByteArray text = "PYLAR RUN RECORD 1\r\nPROJECT " +
                          (name.isEmpty() ? QFileInfo(projectFile).fileName() : name).toUtf8() + "\r\nSIZE " +
                          QByteArray::number(bytes.size()) + "\r\nFNV1A64 " +
                          QByteArray::number(Fnv1a64(bytes), 16).rightJustified(16, '0') + "\r\nSTATUS " +
                          QByteArray::number(status) + "\r\n";
  QFile record(RunRecordFile(projectFile));
  return record.open(QIODevice::WriteOnly | QIODevice::Truncate) && record.write(text) == text.size();
}

// After a run that left its results: the record, unless the engine wrote one.
inline bool EnsureRunRecord(const QString &projectFile, int status) {
  return QFileInfo::exists(RunRecordFile(projectFile)) || WriteRunRecord(projectFile, status);
}

}  // namespace pylar
