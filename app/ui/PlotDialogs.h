// The four dialogs of the plot window's Plot menu: "Graph Caption" (the
// graph title and its place), "Legend" (curve names), "Active Curves" (which
// curves are drawn at all) and "Save Attributes" (size and resolution of a
// saved picture).
#pragma once

#include "model/PltData.h"

#include <QDialog>
#include <QStringList>

#include <vector>

class QLineEdit;
class QListWidget;
class QRadioButton;

namespace pylar {

class TDataEdit;

// "Graph Caption": the graph title and whether it stands above the graph.
class TGraphCaptionDialog : public QDialog {
  Q_OBJECT

 public:
  TGraphCaptionDialog(const QString &caption, bool onTop, QWidget *parent);
  QString Caption() const;
  bool OnTop() const;

 private:
  QLineEdit *fCaption;
  QRadioButton *fTop;
  QRadioButton *fBottom;
};

// "Legend": renames curves. An empty name is refused.
class TLegendDialog : public QDialog {
  Q_OBJECT

 public:
  TLegendDialog(const TGraphPlot &plot, QWidget *parent);
  QStringList Names() const { return fNames; }
  QListWidget *List() const { return fList; }
  QLineEdit *Edit() const { return fEdit; }
  // Stores the field's text as the selected curve's name (Enter or leaving
  // the field); false, with a message, when it is empty.
  bool StoreEdit();

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void selectLine(int row);
  QStringList fNames;
  QListWidget *fList;
  QLineEdit *fEdit;
  int fRow = -1;
};

// "Active Curves": which curves are drawn and listed at all.
class TActiveCurvesDialog : public QDialog {
  Q_OBJECT

 public:
  TActiveCurvesDialog(const TGraphPlot &plot, QWidget *parent);
  std::vector<bool> States() const { return fStates; }
  QListWidget *List() const { return fList; }
  void ToggleSelected();
  void SetAll(bool active);

 private:
  void refresh();
  std::vector<bool> fStates;
  QStringList fNames;
  QListWidget *fList;
};

// "Save Attributes": size and resolution of a saved picture.
class TSaveAttributesDialog : public QDialog {
  Q_OBJECT

 public:
  TSaveAttributesDialog(double widthInch, double heightInch, int pixelsPerInch, QWidget *parent);
  double HeightInch() const;
  double WidthInch() const;
  int PixelsPerInch() const;

 private:
  TDataEdit *fHeight;
  TDataEdit *fWidth;
  TDataEdit *fPpi;
};

}  // namespace pylar
