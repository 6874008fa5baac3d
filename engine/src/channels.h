#pragma once
// The numbered text files of one run. Every engine file is addressed by a
// fixed channel number; one Channels object, held by the run, maps the
// numbers to open files. Lines are written with CRLF ends; reading accepts
// CRLF and LF.
//
// A file is never written in place: writing goes to a new temporary file in
// the same folder, created afresh (never through a link or over another
// file), which replaces the file's name when the channel is closed, and only
// when every line reached it. A name that is a link is replaced, never its
// target; a file a failed write was meant to replace keeps what it held.
//
// Writing to a channel whose file could not be opened is ignored (the failure
// was reported when it was opened); writing to or reading from a channel this
// run never opened is a programming fault and throws std::logic_error.

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pylar/run_files.h"

namespace pylar::engine {

// Channel numbers of the engine's files (run_files.h says what each file is).
inline constexpr int kChannelNamesFile = 2;   // names.dat, read first
inline constexpr int kChannelPlot = 2;        // plot data, after names.dat is closed
inline constexpr int kChannelChart = 3;       // CHART.DAT
inline constexpr int kChannelNotes = 4;       // run notes
inline constexpr int kChannelInput = 5;       // project file
inline constexpr int kChannelReport = 6;      // report
inline constexpr int kChannelQwListing = 7;   // base listing, appended to channel 9
inline constexpr int kChannelTzData = 8;      // TZDATA.DAT
inline constexpr int kChannelDetail = 9;      // detail listing
inline constexpr int kChannelRockMsgRead = 15;   // ROCKMSG.DAT, read back
inline constexpr int kChannelRockMsgWrite = 16;  // ROCKMSG.DAT, written
inline constexpr int kChannelQwPlot = 17;     // q-w plot records, appended to channel 2
inline constexpr int kChannelTzDiam = 18;     // TZDIAM.DAT, appended to channel 2
inline constexpr int kChannelTzPlot = 19;     // t-z plot records, appended to channel 2
inline constexpr int kChannelRunRecord = 20;  // run record, written last

// The channel a run writes a file of names.dat on (the project is read on
// kChannelInput).
constexpr int writeChannel(RunFileKind kind) {
  constexpr std::pair<RunFileKind, int> kWritten[] = {
      {RunFileKind::Report, kChannelReport},      {RunFileKind::PlotData, kChannelPlot},
      {RunFileKind::RunNotes, kChannelNotes},     {RunFileKind::Detail, kChannelDetail},
      {RunFileKind::BaseListing, kChannelQwListing}, {RunFileKind::TzPlot, kChannelTzPlot},
      {RunFileKind::QwPlot, kChannelQwPlot},      {RunFileKind::Chart, kChannelChart},
      {RunFileKind::TzData, kChannelTzData},      {RunFileKind::TzDiam, kChannelTzDiam},
      {RunFileKind::RockMessages, kChannelRockMsgWrite}, {RunFileKind::RunRecord, kChannelRunRecord}};
  for (const auto& [k, channel] : kWritten)
    if (k == kind) return channel;
  return kChannelInput;
}

// Longest line a read returns; the rest of a longer line is skipped.
inline constexpr std::size_t kMaxLineLength = 1 << 20;

class Channels {
 public:
  Channels();
  ~Channels();
  Channels(const Channels&) = delete;
  Channels& operator=(const Channels&) = delete;

  // Opens `file` for writing (to a new temporary file that replaces it on
  // close), closing whatever the channel had open. False when the temporary
  // file cannot be created, and when `file` exists as something other than
  // a regular file or a link (a folder, a named pipe or a device): nothing
  // is created then.
  bool openWrite(int channel, const std::filesystem::path& file);
  // Opens an existing `file` for reading; false (and no file created) when
  // it does not exist or cannot be read.
  bool openRead(int channel, const std::filesystem::path& file);
  // Reads `text` as if it were a file's content.
  void openReadText(int channel, std::string text);
  void close(int channel);
  void closeAll();

  bool isOpen(int channel) const;
  // True once the channel was opened (successfully) during this run.
  bool wasOpened(int channel) const;
  // True when this run wrote `file` completely (it replaced the name).
  bool wrote(const std::filesystem::path& file) const;
  // Every file this run wrote completely, in the order they were closed.
  const std::vector<std::filesystem::path>& filesWritten() const { return written_; }

  void write(int channel, std::string_view line);
  // The next line without its line end; nullopt at end of file or when the
  // channel's file could not be opened.
  std::optional<std::string> readLine(int channel);

  // True when a written file lost data (write, close or rename failed).
  bool writeFailed() const { return writeFailed_; }
  // The first file this run could not open for writing, if any.
  const std::optional<std::filesystem::path>& firstUnopened() const { return firstUnopened_; }

 private:
  struct Channel;
  Channel& known(int channel, std::string_view what);
  Channel& slot(int channel);
  std::map<int, std::unique_ptr<Channel>> channels_;  // a channel, once made, stays until the end
  std::pair<int, Channel*> last_{0, nullptr};          // the channel looked up last
  std::vector<std::filesystem::path> written_;
  bool writeFailed_ = false;
  std::optional<std::filesystem::path> firstUnopened_;
};

// A path that names a folder, a named pipe or a device: something a run
// must not replace. A path that does not exist yet, a regular file and a
// link (which writing replaces, never its target) are not one.
bool isFolderPipeOrDevice(const std::filesystem::path& file);

// A new, empty file in `folder`, created so that it cannot be an existing
// file or a link ("pylar-<process>-<n>.tmp"), open for writing in binary
// mode; nullptr when none can be created. `created` receives its name.
std::FILE* createFreshFile(const std::filesystem::path& folder, std::filesystem::path& created);

}  // namespace pylar::engine
