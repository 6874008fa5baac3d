// Files that are replaced only when the new one is complete.
//
// The new contents go to a temporary file beside the old one, which takes its
// name only once everything was written: a save that fails part way (a full
// disk, a file-size limit, a painter that gives up) leaves the old file as it
// was and no half-written file under the name.
#pragma once

#include <QString>

#include <functional>

class QIODevice;

namespace pylar {

// Calls `write` with the device the new contents go to; it returns false when
// it could not write them all. Returns why the file could not be written (the
// file system's reason where it gave one), empty when it was. A name that is
// taken by something other than a file (a folder, a device) is refused.
QString WriteWholeFile(const QString &path, const std::function<bool(QIODevice &out)> &write);

// The same for contents already in memory.
QString WriteWholeFile(const QString &path, const QByteArray &bytes);

}  // namespace pylar
