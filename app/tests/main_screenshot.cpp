// Opens a project in the main window, shows each small data window in turn and
// saves a picture of the main window each time (into the folder given as the
// first argument), so the layout can be looked at.
#include "ui/Main.h"
#include "ui/Table.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace pylar;

int main(int argc, char *argv[]) {
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  // Absolute: opening the project makes its folder the current one.
  const QString output = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots")).absolutePath();
  const QString project = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
  QDir().mkpath(output);
  InstallTableForms();

  TMainForm form;
  form.resize(1100, 720);
  form.show();
  form.StartUp(project);
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  int failures = 0;
  auto save = [&](const QString &name) {
    QTest::qWait(150);
    if (!form.grab().save(QDir(output).filePath(name + QStringLiteral(".png")))) {
      std::fprintf(stderr, "could not save %s\n", qPrintable(name));
      ++failures;
    }
  };
  save(QStringLiteral("main-window"));
  const std::pair<const char *, const char *> windows[] = {
      {"Da&ta|&Title", "title"},
      {"Da&ta|&Drilled-Pylar Properties", "pier-properties"},
      {"Da&ta|&Water Table", "water-table"},
      {"Da&ta|&Computation Methods|Specify the pylar length", "pier-length"},
      {"Da&ta|&Computation Methods|Specify the design load", "design-load"},
      {"Da&ta|&Factor of Safety (Allowable Stress Design)", "factor-of-safety"},
  };
  for (const auto &[path, name] : windows) {
    QAction *action = form.Action(QString::fromLatin1(path));
    if (!action) {
      std::fprintf(stderr, "no command %s\n", path);
      ++failures;
      continue;
    }
    form.MdiArea()->closeAllSubWindows();
    QTest::qWait(50);
    action->trigger();
    if (QMdiSubWindow *window = form.MdiArea()->activeSubWindow()) window->adjustSize();
    save(QString::fromLatin1(name));
  }
  // The t-z print option is modal: picture it on its own.
  QTimer::singleShot(300, [&] {
    if (QWidget *dialog = QApplication::activeModalWidget()) {
      if (!dialog->grab().save(QDir(output).filePath(QStringLiteral("tz-print.png")))) ++failures;
      dialog->close();
    } else {
      ++failures;
    }
  });
  form.Action(QStringLiteral("Da&ta|Print Additional t-z curves"))->trigger();
  form.MdiArea()->closeAllSubWindows();
  return failures == 0 ? 0 : 1;
}
