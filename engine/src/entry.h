#pragma once
// Pieces of the run driver, exposed for the tests.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "pylar/engine.h"

namespace pylar::engine {

class Channels;
class FolderLock;
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
// .pq8q records to the plot-data file, each line cut to 80 characters. Only
// files this run wrote are appended.
void mergeIntermediateFiles(Run& run);

// Nothing when the names can be run; otherwise the refused run: the RUN NAMES
// ERROR line and which names clash (a blank name, two names of one file, a
// name that is the project file through a link).
std::optional<RunSummary> runNamesRefusal(const RunNames& names);
// A run refused (kStatusBadRunNames) with this message and reason.
RunSummary refusedRun(std::string message, RunRefusal refusal);
// The refusal of a run whose folder lock could not be taken.
RunSummary lockRefusal(const FolderLock& lock, const std::filesystem::path& folder);
// A run of checked names whose scratch folder this thread holds.
RunSummary runWithFolderHeld(const RunNames& names, const RunClock& clock, const RunOptions& options);

}  // namespace pylar::engine
