#pragma once
// The numbered text files of one run. Every engine file is addressed by a
// fixed channel number; one Channels object, held by the run, maps the
// numbers to open files. Lines are written with CRLF ends; reading accepts
// CRLF and LF.
//
// Writing to a channel whose file could not be opened is ignored (the failure
// was reported when it was opened); writing to or reading from a channel this
// run never opened is a programming fault and throws std::logic_error.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pylar::engine {

// Channel numbers of the engine's files.
inline constexpr int kChannelNamesFile = 2;   // names.dat, read first
inline constexpr int kChannelPlot = 2;        // .pq8p, after names.dat is closed
inline constexpr int kChannelChart = 3;       // CHART.DAT
inline constexpr int kChannelNotes = 4;       // run notes, .pq8r
inline constexpr int kChannelInput = 5;       // project file, .pq8d
inline constexpr int kChannelReport = 6;      // report, .pq8o
inline constexpr int kChannelQwListing = 7;   // .pq8w, appended to channel 9
inline constexpr int kChannelTzData = 8;      // TZDATA.DAT
inline constexpr int kChannelDetail = 9;      // .pq8z
inline constexpr int kChannelRockMsgRead = 15;   // ROCKMSG.DAT, read back
inline constexpr int kChannelRockMsgWrite = 16;  // ROCKMSG.DAT, written
inline constexpr int kChannelQwPlot = 17;     // .pq8q, appended to channel 2
inline constexpr int kChannelTzDiam = 18;     // TZDIAM.DAT, appended to channel 2
inline constexpr int kChannelTzPlot = 19;     // .pq8t, appended to channel 2

// Longest line a read returns; the rest of a longer line is skipped.
inline constexpr std::size_t kMaxLineLength = 1 << 20;

class Channels {
 public:
  Channels();
  ~Channels();
  Channels(const Channels&) = delete;
  Channels& operator=(const Channels&) = delete;

  // Opens `file` for writing from its start (replacing what it held),
  // closing whatever the channel had open. False when it cannot be opened,
  // and when it exists but is not a regular file (a folder, a named pipe,
  // whose opening would wait for a reader, or a device): nothing is opened.
  bool openWrite(int channel, const std::filesystem::path& file);
  // Opens an existing `file` for reading; false (and no file created) when
  // it does not exist or cannot be read.
  bool openRead(int channel, const std::filesystem::path& file);
  void close(int channel);
  void closeAll();

  bool isOpen(int channel) const;
  // True once the channel was opened (successfully) during this run.
  bool wasOpened(int channel) const;

  void write(int channel, std::string_view line);
  // The next line without its line end; nullopt at end of file or when the
  // channel's file could not be opened.
  std::optional<std::string> readLine(int channel);

  // True when a written file lost data (write or close failed).
  bool writeFailed() const { return writeFailed_; }
  // The first file this run could not open for writing, if any.
  const std::optional<std::filesystem::path>& firstUnopened() const { return firstUnopened_; }

 private:
  struct Channel;
  Channel& known(int channel, std::string_view what);
  std::map<int, std::unique_ptr<Channel>> channels_;
  bool writeFailed_ = false;
  std::optional<std::filesystem::path> firstUnopened_;
};

// A path that names something other than a regular file: a folder, a named
// pipe or a device. A path that does not exist yet is not one.
bool existsButIsNotARegularFile(const std::filesystem::path& file);

}  // namespace pylar::engine
