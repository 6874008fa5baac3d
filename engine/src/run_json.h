#pragma once
// The values of a finished analysis for programs: the JSON text of
// `pylar run --json` and the per-pier lines of `pylar batch --csv`, built
// from the stages' values (never read back from the report). Every number is
// in the project's units and carries the decimals the report prints it with.

#include "analysis.h"
#include "project_input.h"
#include "pylar/engine.h"

namespace pylar::engine {

RunResults analysisResults(const ProjectInput& in, const Analysis& a);

}  // namespace pylar::engine
