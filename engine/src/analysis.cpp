// The analysis step of a run: everything between the run header and the
// merging of the intermediate files.
#include "capacity.h"
#include "fortran_format.h"
#include "run.h"

namespace pylar::engine {
namespace {

bool readRunInput(Run& run) {
  if (!run.channels.isOpen(kChannelInput)) {
    run.fail(kStatusBadInput, "INPUT ERROR: THE PROJECT FILE CANNOT BE OPENED: " + run.names.input);
    return false;
  }
  ListReader reader([&run] { return run.channels.readLine(kChannelInput); });
  std::string error;
  if (!readProjectInput(reader, run.input, error)) {
    run.fail(kStatusBadInput, error);
    return false;
  }
  return true;
}

}  // namespace

void runCapacityAnalysis(Run& run) {
  if (!readRunInput(run)) return;
  // Parameter completion, the capacity analysis over the series with its
  // report, run notes and plot data, and the hand-off to the load-settlement
  // analysis (which is not built yet).
  runCapacity(run);
}

}  // namespace pylar::engine
