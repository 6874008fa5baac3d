#include "channels.h"

#include <atomic>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pylar::engine {
namespace {
// A channel collects its lines and sends them to the file a block at a time.
constexpr std::size_t kWriteBuffer = 1 << 16;

// "pylar-<process>-<n>.tmp" in `folder`, a new n each time.
std::filesystem::path temporaryName(const std::filesystem::path& folder) {
  static std::atomic<unsigned> counter{0};
#if defined(_WIN32)
  const unsigned long process = static_cast<unsigned long>(_getpid());
#else
  const unsigned long process = static_cast<unsigned long>(::getpid());
#endif
  return folder / ("pylar-" + std::to_string(process) + "-" + std::to_string(counter++) + ".tmp");
}

// Gives a complete temporary file the name `target`, in place of whatever
// had it. Replacing a file in one rename makes ext4 write the new file out
// before the rename returns (so that a crash keeps the old contents), which
// takes several times as long as writing the file; a run syncs none of its
// files, so it could not promise that anyway. Where the system can rename
// without replacing, the old file (or link) is moved aside under a fresh
// temporary name, the new one takes the name and the old one is removed; if
// the new one cannot take the name, the old one takes it back.
bool putInPlace(const std::filesystem::path& temporary, const std::filesystem::path& target) {
  std::error_code ec;
#if defined(__linux__)
  const auto status = std::filesystem::symlink_status(target, ec);
  if (!ec && (std::filesystem::is_regular_file(status) || std::filesystem::is_symlink(status))) {
    const auto folder = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    for (int attempt = 0; attempt < 1000; ++attempt) {
      const std::filesystem::path aside = temporaryName(folder);
      if (::renameat2(AT_FDCWD, target.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST) continue;
        break;  // not possible here: the name is replaced in one rename
      }
      std::filesystem::rename(temporary, target, ec);
      if (ec) {
        std::filesystem::rename(aside, target, ec);
        return false;
      }
      std::filesystem::remove(aside, ec);
      return true;
    }
  }
#endif
  std::filesystem::rename(temporary, target, ec);
  return !ec;
}

}  // namespace

struct Channels::Channel {
  enum class State { Closed, Writing, Reading, Failed };
  State state = State::Closed;
  bool everOpened = false;
  std::FILE* out = nullptr;
  std::string pending;                   // lines not yet handed to `out`, sent a block at a time
  bool lostData = false;                 // a write did not reach the file
  std::filesystem::path target;          // the name the written file takes on close
  std::filesystem::path temporary;       // where it is written until then
  std::unique_ptr<std::streambuf> in;    // a file's or a text's content

  // Hands the lines written so far to the file; false when they did not all
  // reach it.
  bool sendPending() {
    if (!lostData && !pending.empty() && std::fwrite(pending.data(), 1, pending.size(), out) != pending.size())
      lostData = true;
    pending.clear();
    return !lostData;
  }
  // Ends a written file: only a complete file replaces the name (a link is
  // replaced, not its target); what a failed write was to replace stays as
  // it was. True when the file took its name.
  bool finish() {
    bool complete = sendPending() && std::fflush(out) == 0 && !std::ferror(out);
    complete = std::fclose(out) == 0 && complete;
    out = nullptr;
    if (complete && putInPlace(temporary, target)) return true;
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
    return false;
  }
};

Channels::Channels() = default;
Channels::~Channels() { closeAll(); }

bool isFolderPipeOrDevice(const std::filesystem::path& file) {
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(file, ec);
  return !ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
         !std::filesystem::is_symlink(status);
}

std::FILE* createFreshFile(const std::filesystem::path& folder, std::filesystem::path& created) {
  // A name left by a run that was killed may be taken: try the next one.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    created = temporaryName(folder);
#if defined(_WIN32)
    int fd = -1;
    const errno_t error = _wsopen_s(&fd, created.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY | _O_NOINHERIT,
                                    _SH_DENYNO, _S_IREAD | _S_IWRITE);
    if (error == 0) {
      std::FILE* file = _fdopen(fd, "wb");
      if (!file) {
        _close(fd);
        std::error_code ec;
        std::filesystem::remove(created, ec);
      } else {
        std::setvbuf(file, nullptr, _IONBF, 0);  // a channel sends whole blocks itself
      }
      return file;
    }
    if (error != EEXIST) return nullptr;
#else
    const int fd = ::open(created.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) {
      std::FILE* file = ::fdopen(fd, "wb");
      if (!file) {
        ::close(fd);
        ::unlink(created.c_str());
      } else {
        std::setvbuf(file, nullptr, _IONBF, 0);  // a channel sends whole blocks itself
      }
      return file;
    }
    if (errno != EEXIST) return nullptr;
#endif
  }
  return nullptr;
}

Channels::Channel& Channels::slot(int channel) {
  close(channel);
  auto& s = channels_[channel];
  if (!s) s = std::make_unique<Channel>();
  return *s;
}

bool Channels::openWrite(int channel, const std::filesystem::path& file) {
  Channel& c = slot(channel);
  c.lostData = false;
  c.target = file;
  if (!isFolderPipeOrDevice(file)) {
    const auto folder = file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    c.out = createFreshFile(folder, c.temporary);
  }
  c.state = c.out ? Channel::State::Writing : Channel::State::Failed;
  if (c.state == Channel::State::Writing) c.everOpened = true;
  else if (!firstUnopened_) firstUnopened_ = file;
  return c.state == Channel::State::Writing;
}

bool Channels::openRead(int channel, const std::filesystem::path& file) {
  Channel& c = slot(channel);
  std::error_code ec;
  if (std::filesystem::is_regular_file(file, ec)) {
    auto buffer = std::make_unique<std::filebuf>();
    if (buffer->open(file, std::ios::in | std::ios::binary)) c.in = std::move(buffer);
  }
  c.state = c.in ? Channel::State::Reading : Channel::State::Failed;
  if (c.state == Channel::State::Reading) c.everOpened = true;
  return c.state == Channel::State::Reading;
}

void Channels::openReadText(int channel, std::string text) {
  Channel& c = slot(channel);
  c.in = std::make_unique<std::stringbuf>(std::move(text), std::ios::in);
  c.state = Channel::State::Reading;
  c.everOpened = true;
}

void Channels::close(int channel) {
  auto it = channels_.find(channel);
  if (it == channels_.end()) return;
  Channel& c = *it->second;
  if (c.state == Channel::State::Writing) {
    if (!c.finish()) writeFailed_ = true;
    else if (!wrote(c.target)) written_.push_back(c.target);
  }
  c.in.reset();
  c.state = Channel::State::Closed;
}

void Channels::closeAll() {
  for (auto& [number, channel] : channels_) close(number);
}

bool Channels::isOpen(int channel) const {
  auto it = channels_.find(channel);
  return it != channels_.end() &&
         (it->second->state == Channel::State::Writing || it->second->state == Channel::State::Reading);
}

bool Channels::wasOpened(int channel) const {
  auto it = channels_.find(channel);
  return it != channels_.end() && it->second->everOpened;
}

bool Channels::wrote(const std::filesystem::path& file) const {
  for (const auto& w : written_)
    if (w == file) return true;
  return false;
}

Channels::Channel& Channels::known(int channel, std::string_view what) {
  // Lines mostly go to the channel the line before went to.
  if (!last_.second || last_.first != channel) {
    auto it = channels_.find(channel);
    last_ = {channel, it == channels_.end() ? nullptr : it->second.get()};
  }
  if (!last_.second || last_.second->state == Channel::State::Closed)
    throw std::logic_error(std::string(what) + " channel " + std::to_string(channel) + ", which is not open");
  return *last_.second;
}

void Channels::write(int channel, std::string_view line) {
  Channel& c = known(channel, "write to");
  if (c.state == Channel::State::Failed) return;
  if (c.state != Channel::State::Writing)
    throw std::logic_error("write to channel " + std::to_string(channel) + ", which is open for reading");
  if (c.lostData) return;
  c.pending += line;
  c.pending += "\r\n";
  if (c.pending.size() >= kWriteBuffer && !c.sendPending()) writeFailed_ = true;
}

std::optional<std::string> Channels::readLine(int channel) {
  Channel& c = known(channel, "read from");
  if (c.state != Channel::State::Reading) return std::nullopt;
  std::streambuf* buf = c.in.get();
  using Traits = std::char_traits<char>;
  std::string line;
  bool any = false;
  for (Traits::int_type ch = buf->sbumpc(); !Traits::eq_int_type(ch, Traits::eof()); ch = buf->sbumpc()) {
    any = true;
    if (ch == '\n') break;
    if (line.size() < kMaxLineLength) line.push_back(Traits::to_char_type(ch));
  }
  if (!any) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace pylar::engine
