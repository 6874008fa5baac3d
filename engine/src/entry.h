#pragma once
// Pieces of the run driver, exposed for the tests.

#include <string>
#include <string_view>

#include "pylar/engine.h"

namespace pylar::engine {

class Channels;
struct Run;

// Banner of the report and the detail file, with the version text cut or
// padded to 12 characters.
void writeBanner(Channels& channels, int channel, std::string_view version);
// "Date:  March 05, 2024     Time:  09:07:03" block.
void writeDateHeader(Channels& channels, int channel, const RunTime& time);
// Folder (with its closing separator) and file name of a path.
struct SplitPath {
  std::string folder;
  std::string name;
};
SplitPath splitPath(std::string_view path);
// Appends the .pq8w listing to the detail file and the .pq8t, TZDIAM.DAT and
// .pq8q records to the plot-data file, each line cut to 80 characters.
void mergeIntermediateFiles(Run& run);

}  // namespace pylar::engine
