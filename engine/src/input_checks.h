#pragma once
// The physical ranges of a project's inputs (pylar/input_ranges.h) applied to
// the input the engine read: the first value outside its hard range is an
// input error; every value outside its usual range is a warning of the run.

#include <string>

#include "messages.h"
#include "project_input.h"

namespace pylar::engine {

// Returns the input error of the first impossible value ("INPUT ERROR,
// RECORD 8, LAYER 1, VALUES AT THE BOTTOM, SIDE RESISTANCE FACTOR: -0.45 IS
// OUT OF RANGE (0 TO 1)"), or an empty text; appends a warning for each
// unusual value. Values and bounds are named in the project's own units.
std::string checkInputRanges(const ProjectInput& in, Warnings& warnings);

}  // namespace pylar::engine
