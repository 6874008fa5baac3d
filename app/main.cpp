// pylarwin: the desktop program.
#include "ui/MainWindow.h"
#include "ui/Table.h"

#include <QApplication>

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Vexlor"));
  QApplication::setApplicationName(QStringLiteral("PYLAR"));
  QApplication::setApplicationVersion(QStringLiteral("2017.8.2"));
  pylar::InstallTableForms();
  pylar::TMainForm window;
  window.show();
  return app.exec();
}
