// Run entry: placeholder until the run driver lands.
#include "pylar/engine.h"

namespace pylar::engine {

RunSummary runAnalysis(const RunNames&) {
  return {99, "the run driver is not built yet"};
}

int runFromNamesFile() { return 99; }

}  // namespace pylar::engine
