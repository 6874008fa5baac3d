#pragma once
// The state of one analysis run: its names, its open files and everything
// read or computed. Passed by reference to every step of the analysis; the
// engine keeps nothing anywhere else.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "channels.h"
#include "project_input.h"
#include "pylar/engine.h"

namespace pylar::engine {

struct Run {
  RunNames names;
  Channels channels;
  ProjectInput input;
  int status = kStatusCompleted;
  std::string message;  // how the run ended, when it did not complete
  unsigned threads = 0;  // RunOptions::threads
  bool collectResults = false;  // RunOptions::collectResults
  std::optional<methods::MethodSet> methods;  // RunOptions::methods
  RunResults results;           // the run's values, when collected
  std::vector<RunWarning> warnings;  // every warning of the run

  // Ends the run's computation with `status`: the line goes to the report and
  // the run notes (when they are open) and becomes the run's message.
  void fail(int failStatus, const std::string& line) {
    status = failStatus;
    message = line;
    for (int channel : {kChannelReport, kChannelNotes})
      if (channels.wasOpened(channel) && channels.isOpen(channel)) channels.write(channel, line);
  }
};

}  // namespace pylar::engine
