// Checks of a project before the engine runs it: what the engine would refuse
// (an error: nothing runs) or silently change (a warning: the user decides),
// each named by the window and field where it is set and the value found.
// The engine keeps its own checks; these only say it earlier and in the
// terms of the windows.
#pragma once

#include <QString>

#include <vector>

namespace pylar {

class TProgramData;

struct TRunFinding {
  bool error = false;  // false: a warning
  QString window;      // the window where the value is set
  QString field;       // the field, as its label reads (without the access key)
  QString value;       // the value found, with its unit
  QString problem;     // what is wrong, or what the engine would do with it
};

std::vector<TRunFinding> CheckBeforeRun(const TProgramData &project);

// One message for all findings: errors first, then warnings, a line each
// ("Drilled-Pylar Properties, Minimum Pylar Diameter = 0 ft: ..."), ending
// with what happens next. Empty without findings.
QString RunFindingsMessage(const std::vector<TRunFinding> &findings);
bool HasRunErrors(const std::vector<TRunFinding> &findings);

}  // namespace pylar
