// Shows the table window with a sand property table and saves a picture of it
// (the path is the first argument), so the layout can be looked at.
#include "model/soils.h"
#include "ui/Table.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

using namespace pylar;

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("sand-table.png");
  QDir().mkpath(QFileInfo(output).absolutePath());
  InstallTableForms();

  TGridTable sand;
  sand.Caption = "Sand Layer Data";
  sand.SetIdentifier(1);
  sand.SetMinRows(2);
  sand.SetMaxRows(2);
  sand.TopLeft = "Location, 1=Top, 2=Bottom";
  sand.Comments = QString::fromLatin1(SoilModel(scSand)->TableComments);
  const auto addFloat = [&](QStringList heading, const QString &units) {
    auto &c = sand.AddColumn<TFloatColumn>();
    c.Heading = std::move(heading);
    c.UnitsString = units;
  };
  const auto addInt = [&](QStringList heading, int low, int high, int value) {
    auto &c = sand.AddColumn<TIntColumn>();
    c.Heading = std::move(heading);
    c.Minimum = low;
    c.Maximum = high;
    c.Default = value;
  };
  addFloat({"Total Unit", "Weight"}, "F/L2^3");
  addFloat({"Friction", "Angle"}, "");
  addInt({"Blow Counts", "-Optional-"}, 0, 100, 0);
  addFloat({"Ko"}, "");
  addFloat({"Beta"}, "");
  addInt({"Method"}, 1, 2, 1);
  addFloat({"Interface", "Angle"}, "");
  addFloat({"OCR"}, "");
  sand.SetRowCount(2);
  const double values[2][8] = {{115, 32, 12, 0.45, 0, 1, 30, 0}, {120, 34.5, 18, 0.42, 0, 1, 31.5, 0}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 8; ++c) {
      if (c == 2 || c == 5)
        sand.SetIntValue(c, r, static_cast<int>(values[r][c]));
      else
        sand.SetFloatValue(c, r, values[r][c]);
    }

  sand.Show();
  auto *form = dynamic_cast<TTableForm *>(sand.View());
  if (!form) return 1;
  bool saved = false;
  QTimer::singleShot(300, form, [&] {
    saved = form->grab().save(output);
    app.quit();
  });
  app.exec();
  std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(output));
  return saved ? 0 : 1;
}
