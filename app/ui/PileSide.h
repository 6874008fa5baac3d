// The elevation view (TDlgSideView): the pier in vertical section in its soil
// profile, a single-instance child window of the main window that follows
// the project, reads the depth under the pointer out in its caption, prints
// and saves the drawing. One painter draws it for the window, the printed
// page, PNG, SVG and PDF files and any other caller (a report page).
#pragma once

#include "model/PileSide.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QMdiArea;
class QPainter;
class QPrinter;
class QPushButton;

namespace pylar {

class TProgramData;

// How the drawing is laid out and coloured.
//  - Screen: the rectangle, lines one pixel wide, 20 ground hatch
//    strokes, labels beside the pier (depths for the soils only).
//  - Paper: a frame from 10 % to 90 % of the rectangle's width and height,
//    black lines 12 dots wide at 600 dpi, 10 ground hatch strokes, every label
//    with its depths at 15 % of the height from the left, the project title
//    and the depth unit above the frame.
// Sizes given in pixels are scaled to the device's resolution (screen sizes
// are those of a 96-dpi screen), so every target shows the same drawing.
struct TSideViewStyle {
  TSideLabelStyle Layout = TSideLabelStyle::Screen;
  QColor Background = Qt::white;
  QColor Ink = Qt::black;   // lines and labels
  QColor Pier = Qt::black;  // fill of the pier outline
  QFont Font;               // label font; a point size follows the device
  double DotsPerInch = 0;   // 0: the painter's device

  static TSideViewStyle Paper();
};

// The drawing area and its mapping within `rect` for a style (the frame on
// paper; on screen the rectangle less a strip of 2 % of its height at the
// bottom, so the deepest line shows).
TSideViewport SideViewArea(const TSideViewModel &model, const QRectF &rect, TSideLabelStyle layout);

// Paints the whole drawing into `rect` and returns the mapping it used.
// Without layers only the background is painted; on a view that cannot be
// mapped (NoDraw) the screen layout says why in one line.
TSideViewport PaintSideView(QPainter &painter, const QRectF &rect, const TSideViewModel &model,
                            const TSideViewStyle &style = {});

// Writes the drawing of `size` pixels at `dotsPerInch` as PNG or SVG (the
// screen layout, black on white) or as a one-page PDF of that size (the paper
// layout), chosen by the file's extension. The file is written beside its
// final name and renamed over it only when complete, so a failed write keeps
// the old file. Returns the reason it failed, empty when written.
QString SaveSideView(const QString &path, const TSideViewModel &model, QSize size, int dotsPerInch = 150);
QString SaveSideView(const QString &path, const TProgramData &project, QSize size, int dotsPerInch = 150);

class TDlgSideView;

// The drawing surface of the elevation view.
class TSideViewCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit TSideViewCanvas(TDlgSideView *form);

 protected:
  void paintEvent(QPaintEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void leaveEvent(QEvent *event) override;

 private:
  TDlgSideView *fForm;
};

class TDlgSideView : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char *kCaption = "Elevation View";
  static constexpr const char *kPrintJobTitle = "Soil-Pile Profile";
  // Client area of a new window.
  static constexpr int kClientWidth = 632;
  static constexpr int kClientHeight = 422;

  // The project the view draws; called on every rebuild, so it always
  // yields the current project.
  using TProjectSource = std::function<const TProgramData &()>;

  // Shows the one elevation view in the main window's area: creates it when
  // none exists, otherwise restores it and brings it to the front; in both
  // cases it is rebuilt from the project.
  static TDlgSideView *Show(QMdiArea *area, TProjectSource project);
  // The open view, or null.
  static TDlgSideView *Instance();

  explicit TDlgSideView(TProjectSource project, QWidget *parent = nullptr);
  ~TDlgSideView() override;

  // Rebuilds the drawing from the project (activation does this).
  void Rebuild();

  const TSideViewModel &Model() const { return fModel; }
  TSideViewport Viewport() const;  // of the canvas as it is now
  TSideViewStyle ScreenStyle() const;
  TSideViewStyle PaperStyle() const;

  TSideViewCanvas *Canvas() const { return fCanvas; }
  QLabel *GeometryLabel() const { return fLabel; }
  QPushButton *PrintButton() const { return fPrint; }
  QPushButton *SaveButton() const { return fSave; }

  // Pointer at a canvas position: the caption becomes the depth read-out.
  void MouseMoved(QPointF pos);
  void MouseLeft();

  // Prints the drawing on a landscape page with the job title
  // "Soil-Pile Profile"; false when the printer could not be used.
  bool PrintTo(QPrinter &printer);
  QPrinter &Printer();

  // Button commands.
  void PrintClick();
  void SaveToDiskClick();

 protected:
  bool event(QEvent *event) override;

 private:
  void scheduleRebuild();

  TProjectSource fProject;
  TSideViewModel fModel;
  TSideViewCanvas *fCanvas = nullptr;
  QLabel *fLabel = nullptr;
  QPushButton *fPrint = nullptr;
  QPushButton *fSave = nullptr;
  std::unique_ptr<QPrinter> fPrinter;
  bool fRebuildPending = false;
};

}  // namespace pylar
