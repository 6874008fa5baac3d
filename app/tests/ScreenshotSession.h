// The start shared by the programs that picture the main window: settings in
// a folder of their own, the pictures' folder from the first argument, the
// project named second opened in a main window of the given size. Save writes
// one picture and counts those that could not be written.
#pragma once

#include "ui/Main.h"
#include "ui/Table.h"

#include <QApplication>
#include <QDir>
#include <QSize>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <memory>

namespace pylar {

class TScreenshotSession {
 public:
  TScreenshotSession(int &argc, char **argv, QSize windowSize)
      : fApp(argc, argv),
        // Absolute: opening the project makes its folder the current one.
        fOutput(QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots")).absolutePath()),
        fProject(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString()) {
    QDir().mkpath(fOutput);
    InstallTableForms();
    fForm = std::make_unique<TMainForm>();
    fForm->resize(windowSize);
    fForm->show();
    fForm->StartUp(fProject);
  }

  // False when the main window never came on the screen.
  bool Shown() { return QTest::qWaitForWindowExposed(fForm.get()); }

  TMainForm &Form() { return *fForm; }
  const QString &Project() const { return fProject; }
  // A file of the pictures' folder.
  QString OutputPath(const QString &fileName) const { return QDir(fOutput).filePath(fileName); }

  void Save(QWidget *widget, const QString &name) {
    QTest::qWait(150);
    if (!widget->grab().save(OutputPath(name + QStringLiteral(".png")))) {
      std::fprintf(stderr, "could not save %s\n", qPrintable(name));
      ++failures;
    }
  }

  int failures = 0;

 private:
  // Made before the application, which reads the settings folder.
  struct TPrivateSettings {
    QTemporaryDir folder;
    TPrivateSettings() { qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit()); }
  } fSettings;
  QApplication fApp;
  QString fOutput;
  QString fProject;
  std::unique_ptr<TMainForm> fForm;  // made after the table forms are installed
};

}  // namespace pylar
