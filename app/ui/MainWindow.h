// The main window: hosts the data, table and plot windows as child windows.
#pragma once

#include <QMainWindow>

class QMdiArea;

namespace pylar {

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget *parent = nullptr);
  QMdiArea *MdiArea() const { return fMdiArea; }

 private:
  QMdiArea *fMdiArea;
};

}  // namespace pylar
