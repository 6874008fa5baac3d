#include "Main.h"

#include "dynlib.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace pylar {

void TRecentFiles::MoveToTop(const QString &path) {
  if (path.isEmpty()) return;
  const qsizetype at = fFiles.indexOf(path);
  if (at == 0) return;
  if (at > 0) {
    fFiles.remove(at);
  } else {
    fFiles.removeLast();
  }
  fFiles.prepend(path);
}

QString TRecentFiles::Entry(int index) const {
  return index >= 0 && index < fFiles.size() ? fFiles[index] : QString();
}

void TRecentFiles::SetEntry(int index, const QString &path) {
  if (index >= 0 && index < fFiles.size()) fFiles[index] = path;
}

void TRecentFiles::Clear() { fFiles = QStringList(kMaxRecentFiles); }

int TRecentFiles::Count() const {
  int count = 0;
  for (const QString &file : fFiles)
    if (!file.isEmpty()) ++count;
  return count;
}

QString TRecentFiles::Caption(int index, const QString &currentFolder) const {
  QString path = Entry(index);
  QString folder = QDir::toNativeSeparators(currentFolder);
  if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
  const QString native = QDir::toNativeSeparators(path);
  if (native.startsWith(folder)) path = native.mid(folder.size());
  return QString::number(index + 1) + u' ' + path;
}

QString DefaultWordProcessor() {
#if defined(_WIN32)
  QString windows = qEnvironmentVariable("SystemRoot", QStringLiteral("C:\\Windows"));
  return windows + QStringLiteral("\\notepad.exe");
#elif defined(__APPLE__)
  return QStringLiteral("open");
#else
  return QStringLiteral("xdg-open");
#endif
}

namespace {
void beginGroup(QSettings &settings) {
  settings.beginGroup(QString::fromLatin1(kProgramVersion));
}
QString fileKey(int index) { return QStringLiteral("File") + QString::number(index + 1); }
}  // namespace

void ReadSettings(TProgramSettings &settings) {
  QSettings store(QStringLiteral("Vexlor"), QStringLiteral("PYLAR"));
  if (store.status() != QSettings::NoError) {
    settings.WordProcessor.clear();
    settings.PrevFile.Clear();
    return;
  }
  beginGroup(store);
  const QString editor = store.value(QStringLiteral("Word Processor")).toString();
  if (!editor.isEmpty()) settings.WordProcessor = editor;
  for (int i = 0; i < kMaxRecentFiles; ++i)
    settings.PrevFile.SetEntry(i, store.value(fileKey(i)).toString());
}

void WriteSettings(const TProgramSettings &settings) {
  QSettings store(QStringLiteral("Vexlor"), QStringLiteral("PYLAR"));
  beginGroup(store);
  store.setValue(QStringLiteral("Word Processor"), settings.WordProcessor);
  for (int i = 0; i < kMaxRecentFiles; ++i) store.setValue(fileKey(i), settings.PrevFile.Entry(i));
  store.endGroup();
  store.sync();
}

QString CommandLineFileName(const QString &argument) {
  // Only the file's own name counts: a "." in a folder name is no extension.
  return QFileInfo(argument).fileName().contains(u'.') ? argument : argument + QStringLiteral(".pq8d");
}

}  // namespace pylar
