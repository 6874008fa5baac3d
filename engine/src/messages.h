#pragma once
// Text lines and the messages of an analysis stage as values. A stage that
// finds something to say returns its lines with its results; the run's
// writer sends them to their files in the order the report reads.

#include <string>
#include <vector>

namespace pylar::engine {

// Whole lines of a text file, without their line ends.
using Lines = std::vector<std::string>;

inline void append(Lines& to, const Lines& more) { to.insert(to.end(), more.begin(), more.end()); }

// What a stage has to say, by file: the report, the run notes and the
// rock-socket message file (which the report takes in after the series).
struct Messages {
  Lines report;
  Lines notes;
  Lines rockFile;

  void append(const Messages& more) {
    engine::append(report, more.report);
    engine::append(notes, more.notes);
    engine::append(rockFile, more.rockFile);
  }
};

}  // namespace pylar::engine
