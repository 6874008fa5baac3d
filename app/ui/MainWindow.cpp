#include "ui/MainWindow.h"

#include <QMdiArea>

namespace pylar {

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent), fMdiArea(new QMdiArea(this)) {
  setWindowTitle(QStringLiteral("PYLAR"));
  setCentralWidget(fMdiArea);
  resize(900, 650);
}

}  // namespace pylar
