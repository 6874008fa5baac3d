#pragma once
// Text lines and the messages of an analysis stage as values. A stage that
// finds something to say returns its lines with its results; the run's
// writer sends them to their files in the order the report reads.

#include <algorithm>
#include <string>
#include <vector>

#include "pylar/engine.h"

namespace pylar::engine {

// Whole lines of a text file, without their line ends.
using Lines = std::vector<std::string>;

inline void append(Lines& to, const Lines& more) { to.insert(to.end(), more.begin(), more.end()); }

// A warning as a value: its layer (from 1, 0 for none) and its text in one
// line, in the words of the block the report prints for it.
using Warning = RunWarning;
using Warnings = std::vector<Warning>;

// Adds the warnings of `more` that `to` does not hold yet (a warning of the
// same layer and text, given by several piers, is one warning).
inline void appendWarnings(Warnings& to, const Warnings& more) {
  for (const Warning& w : more)
    if (std::find(to.begin(), to.end(), w) == to.end()) to.push_back(w);
}

// What a stage has to say, by file: the report, the run notes and the
// rock-socket message file (which the report takes in after the series),
// and the warnings among it as values.
struct Messages {
  Lines report;
  Lines notes;
  Lines rockFile;
  Warnings warnings;

  void append(const Messages& more) {
    engine::append(report, more.report);
    engine::append(notes, more.notes);
    engine::append(rockFile, more.rockFile);
    appendWarnings(warnings, more.warnings);
  }
};

}  // namespace pylar::engine
