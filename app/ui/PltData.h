// The plot window (TPlotForm): a child window of the main window that paints
// one plot definition with axes, grid, legend, markers and the soil column;
// zooms with the mouse, reads coordinates out in its caption, lets the user
// rename and switch curves (the dialogs of its Plot menu are in
// ui/PlotDialogs), prints and saves the graph as an image file (through
// ui/PlotFile, which draws a plot without its window).
#pragma once

#include "model/PltData.h"
#include "model/PlotScale.h"
#include "ui/PlotFile.h"
#include "ui/PlotPainter.h"

#include <QListWidget>
#include <QPointer>
#include <QSizeF>
#include <QWidget>

#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QMdiArea;
class QMenu;
class QMenuBar;
class QPrinter;
class QRubberBand;

namespace pylar {

class TPlotForm;

// The on-screen legend: one entry per active curve in its colour, " *" after
// a visible one. Double-click toggles the curve; the list can be dragged and
// never leaves its window.
class TLegendList : public QListWidget {
  Q_OBJECT

 public:
  explicit TLegendList(QWidget *parent);
  // Moves the legend to `pos`, held inside the parent.
  void MoveInside(QPoint pos);

 signals:
  void curveToggled(int row);
  void dragged();  // the user moved the legend

 protected:
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;

 private:
  QPoint fPressGlobal;
  QPoint fPressPos;
  bool fPressed = false;
  bool fDragging = false;
};

// The drawing surface of a plot window.
class TPlotCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit TPlotCanvas(TPlotForm *form);

 protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

 private:
  TPlotForm *fForm;
};

class TPlotForm : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kActiveLimit = kPlotActiveLimit;
  static constexpr double kDefaultMarginInch = 1.0;

  explicit TPlotForm(TGraphPlot &plot, QWidget *parent = nullptr);
  ~TPlotForm() override;

  // False when the data give no usable range: such a window closes at once.
  bool IsValid() const { return fValid; }

  // Shows the window of a plot inside the main window's area, creating it
  // when none exists and restoring it when minimised. Null when the plot
  // cannot be shown (no usable range).
  static TPlotForm *ShowPlot(QMdiArea *area, TGraphPlot &plot);
  // Destroys the window of a plot, if any.
  static void HidePlot(const TGraphPlot &plot);
  static TPlotForm *FormOf(const TGraphPlot &plot);
  // New data in a plot whose window is open: bounds, active curves and the
  // legend start afresh, as when the window opens. A plot whose new data
  // have no usable range loses its window.
  static void ReloadPlot(const TGraphPlot &plot);

  TGraphPlot &Data;
  PlotRange LogicBounds;
  PlotRange MaxLogicBounds;

  // What the painter draws, for the screen or another target. Without the
  // curves' points it is enough for the layout.
  PlotPicture Picture(bool withPoints = true) const;
  PlotTarget ScreenTarget() const;
  PlotLayout ScreenLayout() const;

  TPlotCanvas *Canvas() const { return fCanvas; }
  TLegendList *Legend() const { return fLegend; }
  QMenu *PlotMenu() const { return fPlotMenu; }
  QMenuBar *MenuBar() const { return fMenuBar; }
  QAction *MenuAction(const QString &text) const;  // by its text, in the Plot menu or its submenus
  const std::vector<int> &LegendCurves() const { return fLegendCurves; }  // curve of each legend row

  // Mouse actions in canvas pixels.
  void MouseMoved(QPoint pos);
  void ZoomIn(QPoint from, QPoint to);
  void ZoomOut(QPoint at);

  void ToggleCurve(int curve);
  void RebuildCurves();  // legend entries and curve menu items from the active curves
  void PlaceLegend();    // the corner of the graph where it covers least of the curves
  bool LegendPlacedByUser() const { return fLegendByUser; }
  void CanvasResized();
  void CanvasShown();

  // Printing and files. The printer is the window's own, with its page setup.
  QPrinter &Printer();
  bool PrintTo(QPrinter &printer);
  enum class SaveResult { Saved, NoMemory, WriteFailed };
  // Writes the graph as BMP, PNG or SVG, chosen by the file's extension
  // (anything else is written as a bitmap). A file already there is replaced
  // only by a complete picture; `reason` tells why a write failed.
  SaveResult SaveToFile(const QString &path, double widthInch, double heightInch, int pixelsPerInch,
                        QString *reason = nullptr);
  // The same, telling the user in an information box when it fails.
  SaveResult SaveToDisk(const QString &path, double widthInch, double heightInch, int pixelsPerInch);

  // Menu commands.
  void GraphTitleClick();
  void EditLegendClick();
  void ActiveCurvesClick();
  void PrintClick();
  // Before the print dialog: the job is named after the project and the plot,
  // and with no printer installed the output file is proposed beside the
  // project.
  void PreparePrinter();
  // The picture size "Save Attributes" proposes: the window's, rounded to
  // half an inch, at least 2 in.
  QSizeF ProposedPictureInches() const;
  void PageSetupClick();
  void SaveToDiskClick();
  // The curves as tab-separated columns on the clipboard.
  void CopyDataClick();

  // Rubber band of a zoom in progress.
  bool Zooming = false;
  QPoint ZoomOrigin;
  QPoint MovePoint;
  QRubberBand *ZoomBand() const { return fZoomBand; }

 private:
  void openData();
  void buildMenu();
  void menuAboutToShow();
  void relayout(bool placeLegend);
  void sizeLegend();
  QPointF legendFraction() const;

  bool fValid = false;
  bool fLegendPlaced = false;  // placed once the canvas has its size
  bool fLegendByUser = false;  // dragged since it was last placed
  QString fProposedPrintFile;  // the output file PreparePrinter proposed
  TPlotCanvas *fCanvas = nullptr;
  TLegendList *fLegend = nullptr;
  QMenuBar *fMenuBar = nullptr;
  QMenu *fPlotMenu = nullptr;
  QAction *fShowLegend = nullptr;
  QAction *fShowLayers = nullptr;
  QAction *fShowWall = nullptr;
  QMenu *fFontMenu = nullptr;
  QMenu *fWidthMenu = nullptr;
  QActionGroup *fMarkerGroup = nullptr;
  QActionGroup *fFontGroup = nullptr;
  QActionGroup *fWidthGroup = nullptr;
  QAction *fPrint = nullptr;
  QAction *fPageSetup = nullptr;
  QAction *fCurveSeparator = nullptr;
  std::vector<QAction *> fCurveItems;
  std::vector<int> fLegendCurves;
  QRubberBand *fZoomBand = nullptr;
  std::unique_ptr<QPrinter> fPrinter;
};

}  // namespace pylar
