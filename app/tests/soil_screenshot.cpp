// Pictures of the soil layer window, the property dialog of each model family
// and the three option windows (into the folder given as the first argument;
// the project named second is opened first), so their layout can be looked at.
#include "ScreenshotSession.h"
#include "model/SoilLayers.h"
#include "ui/SoilLayers.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

using namespace pylar;

int main(int argc, char *argv[]) {
  TScreenshotSession session(argc, argv, QSize(1100, 760));
  if (!session.Shown()) return 1;
  TMainForm &form = session.Form();
  int &failures = session.failures;
  auto save = [&](QWidget *widget, const QString &name) { session.Save(widget, name); };
  auto show = [&](QAction *command, const QString &name) {
    form.MdiArea()->closeAllSubWindows();
    QTest::qWait(50);
    command->trigger();
    if (QMdiSubWindow *window = form.MdiArea()->activeSubWindow()) {
      window->adjustSize();
      window->move(0, 0);
    } else {
      ++failures;
    }
    save(&form, name);
  };
  show(form.Commands().ControlOptions, QStringLiteral("control-options"));
  show(form.Commands().MultipleLengths, QStringLiteral("multiple-lengths"));
  form.Data().IPENT = 0;
  form.Data().IChart = 1;
  show(form.Commands().DesignCharts, QStringLiteral("design-charts"));
  form.Data().IChart = 0;
  show(form.Commands().SoilLayers, QStringLiteral("soil-layers"));
  form.Commands().DesignLRFD->trigger();
  form.MdiArea()->activeSubWindow()->adjustSize();
  save(&form, QStringLiteral("soil-layers-lrfd"));

  // The property dialog of each model family, on a layer of that model.
  auto *layers = qobject_cast<TDlgSoilLayers *>(form.DataWindow(QStringLiteral("Soill Layers"))->Form());
  const std::pair<int, const char *> families[] = {{scSand, "sand"},           {scClay, "clay"},
                                                   {scStrongRock, "rock"},  {scDecomposedRock, "decomposed-rock"},
                                                   {scWeakRock, "weak-rock"},  {scGravel, "gravel"}};
  for (const auto &[code, name] : families) {
    if (form.Tables().D.GetIntValue(lcSoilType, 0) != code) ChangeLayerModel(form.Tables(), 0, code);
    layers->LoadFromModel();
    const QString file = QStringLiteral("soil-") + QString::fromLatin1(name);
    QTimer::singleShot(300, [&, file] {
      if (QWidget *dialog = QApplication::activeModalWidget()) {
        save(dialog, file);
        dialog->close();
      } else {
        ++failures;
      }
    });
    layers->EditButton(0)->click();
  }
  form.MdiArea()->closeAllSubWindows();
  return failures == 0 ? 0 : 1;
}
