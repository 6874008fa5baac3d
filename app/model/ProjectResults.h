// The results of a project as it is on disk, for writing them without the
// program's windows (the headless export): those beside the project when its
// run record ties them to the project's bytes and the run completed;
// otherwise the project is checked as before a run and the analysis runs on
// the file as it is. Only a run that completed without stopping short of the
// design load (status 0) gives results, read from its plot data whole and
// kept to the plots the program offers for them.
#pragma once

#include "model/PltData.h"

#include <QByteArray>
#include <QString>

namespace pylar {

class TProgramData;

struct TProjectResults {
  bool ok = false;
  QString error;  // what failed, for the user, when not ok
  TResultPlots plots;
};

// `project` was read from `projectFile` (as the user named it; messages name
// it so), whose bytes are `projectBytes`. The engine library is looked up in
// `programFolder`. The caller holds the project's folder for the run. On
// success the plots name the project's file and the project takes the bound
// flag the plot data was written with.
TProjectResults ReadProjectResults(TProgramData &project, const QString &projectFile, const QByteArray &projectBytes,
                                   const QString &programFolder);

}  // namespace pylar
