// Rewrites chosen entries of a zip archive in memory: the parts of a written
// workbook that its writer cannot express (the chart legend's frame and fill).
// Handles the archives such writers produce: entries stored or deflated, no
// encryption, no ZIP64, one disk.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace pylar {

// Gets the name and content of an entry that `wanted` chose and returns its
// new content.
using ZipEntryEdit = std::function<QByteArray(const QString &name, const QByteArray &content)>;

struct ZipRewriteResult {
  std::optional<QByteArray> archive;  // the new archive; empty when the input could not be read
  QString error;                      // why not
};

// The archive with every entry that `wanted` chooses replaced by the edit of
// its content (deflated anew); all other entries are copied unchanged, in the
// same order.
ZipRewriteResult RewriteZipEntries(const QByteArray &archive, const std::function<bool(const QString &name)> &wanted,
                                   const ZipEntryEdit &edit);

}  // namespace pylar
