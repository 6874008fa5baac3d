#include "Main.h"

#include "dynlib.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

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
  settings.WindowGeometry = store.value(QStringLiteral("Window Geometry")).toByteArray();
  settings.WindowState = store.value(QStringLiteral("Window State")).toByteArray();
  settings.LastFolder = store.value(QStringLiteral("Last Folder")).toString();
}

void WriteSettings(const TProgramSettings &settings) {
  QSettings store(QStringLiteral("Vexlor"), QStringLiteral("PYLAR"));
  beginGroup(store);
  store.setValue(QStringLiteral("Word Processor"), settings.WordProcessor);
  for (int i = 0; i < kMaxRecentFiles; ++i) store.setValue(fileKey(i), settings.PrevFile.Entry(i));
  // A window never shown has nothing to remember: what an earlier run left stays.
  if (!settings.WindowGeometry.isEmpty()) store.setValue(QStringLiteral("Window Geometry"), settings.WindowGeometry);
  if (!settings.WindowState.isEmpty()) store.setValue(QStringLiteral("Window State"), settings.WindowState);
  if (!settings.LastFolder.isEmpty()) store.setValue(QStringLiteral("Last Folder"), settings.LastFolder);
  store.endGroup();
  store.sync();
}

QRect PlaceInsideArea(const QRect &window, const QSize &area) {
  const QSize size = window.size().boundedTo(area).expandedTo(QSize(1, 1));
  const int x = std::clamp(window.x(), 0, std::max(area.width() - size.width(), 0));
  const int y = std::clamp(window.y(), 0, std::max(area.height() - size.height(), 0));
  return {QPoint(x, y), size};
}

QString CommandLineFileName(const QString &argument) {
  // Only the file's own name counts: a "." in a folder name is no extension.
  return QFileInfo(argument).fileName().contains(u'.') ? argument : argument + QStringLiteral(".pq8d");
}

}  // namespace pylar
