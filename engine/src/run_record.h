#pragma once
// The run record: a small file beside the results that says which project
// bytes a run read and how it ended, so that a program can tell whether the
// results in a folder belong to the project as it is now.
//
//   PYLAR RUN RECORD 1
//   PROJECT <project file name, without folder>
//   SIZE <bytes of the project as the run read it>
//   FNV1A64 <16 lower-case hex digits: FNV-1a 64-bit hash of those bytes>
//   STATUS <the run's status>
//
// CRLF lines. The run removes an old record before it opens any result file
// and writes the new one after every other file is closed.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pylar::engine {

inline constexpr std::uint64_t kFnvOffsetBasis = 0xcbf29ce484222325ULL;
inline constexpr std::uint64_t kFnvPrime = 0x100000001b3ULL;

// FNV-1a, 64 bits, continued from `hash`.
std::uint64_t fnv1a64(std::string_view bytes, std::uint64_t hash = kFnvOffsetBasis);

struct RunRecord {
  std::string project;  // file name, without folder
  std::uint64_t size = 0;
  std::uint64_t hash = kFnvOffsetBasis;
  int status = 0;
};

// The record's five lines, without their line ends, and its whole text.
std::vector<std::string> runRecordLines(const RunRecord& record);
std::string runRecordText(const RunRecord& record);
// The record a text holds, when it is one (CRLF or LF lines, nothing else).
std::optional<RunRecord> parseRunRecord(std::string_view text);

// A project's bytes as a run reads them: all of them are hashed; the text is
// kept up to `keepAtMost` bytes.
struct ProjectBytes {
  bool readable = false;   // a regular file that could be read to its end
  bool tooLarge = false;   // more than keepAtMost bytes: `text` is not the whole file
  std::string text;
  std::uint64_t size = 0;
  std::uint64_t hash = kFnvOffsetBasis;
};
ProjectBytes readProjectBytes(const std::filesystem::path& file, std::uint64_t keepAtMost);

}  // namespace pylar::engine
