#include "model/WholeFile.h"

#include <QByteArray>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

namespace pylar {

namespace {

// Passes a writer's output on to the save file and remembers a write the file
// system refused. An unbuffered QSaveFile reports a write cut short to the
// writer only (a buffered one not even that), and not every writer checks, so
// the file alone would be committed cut short. The rest of a short write is
// tried again: that attempt fails with the file system's reason.
class TCheckedOutput : public QIODevice {
 public:
  explicit TCheckedOutput(QSaveFile &file) : fFile(file) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
  bool Failed() const { return !fReason.isNull(); }
  const QString &Reason() const { return fReason; }

 protected:
  qint64 readData(char *, qint64) override { return -1; }
  qint64 writeData(const char *data, qint64 size) override {
    for (qint64 done = 0; done < size && !Failed();) {
      const qint64 written = fFile.write(data + done, size - done);
      if (written > 0)
        done += written;
      else
        fReason = fFile.errorString().isEmpty() ? QStringLiteral("the file system refused the write")
                                                : fFile.errorString();
    }
    return Failed() ? -1 : size;
  }

 private:
  QSaveFile &fFile;
  QString fReason;  // null while every write succeeded
};

}  // namespace

QString WriteWholeFile(const QString &path, const std::function<bool(QIODevice &out)> &write) {
  const QFileInfo target(path);
  if (target.exists() && !target.isFile()) return QStringLiteral("it is not a file");
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
  TCheckedOutput output(file);
  const bool written = write(output);
  if (!written || output.Failed()) {
    // Every byte goes through `output`: a write the file system refused is
    // there; otherwise the writer itself gave up.
    const QString why = output.Failed() ? output.Reason() : QStringLiteral("the contents could not be made");
    file.cancelWriting();
    return why;
  }
  if (!file.commit()) return file.errorString();
  return {};
}

QString WriteWholeFile(const QString &path, const QByteArray &bytes) {
  return WriteWholeFile(path, [&bytes](QIODevice &out) { return out.write(bytes) == bytes.size(); });
}

}  // namespace pylar
