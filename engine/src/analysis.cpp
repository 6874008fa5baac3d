// The analysis step of a run: everything between the run header and the
// merging of the intermediate files.
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
  // Not built yet: parameter completion, the capacity analysis over the
  // series, the report, run notes and plot data, and the load-settlement
  // analysis. Until then a run reads its input and writes only the header.
}

}  // namespace pylar::engine
