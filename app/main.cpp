// pylarwin: the desktop program.
#include "ui/Main.h"
#include "ui/Table.h"

#include <QApplication>

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Vexlor"));
  QApplication::setApplicationName(QStringLiteral("Pylar 2017"));
  QApplication::setApplicationVersion(QStringLiteral("2017.8.2"));
  pylar::InstallTableForms();
  pylar::TMainForm window;
  window.show();
  const QStringList arguments = QApplication::arguments();
  window.StartUp(arguments.size() > 1 ? arguments[1] : QString());
  return app.exec();
}
