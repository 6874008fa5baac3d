#include "channels.h"

#include <fstream>
#include <stdexcept>
#include <system_error>

namespace pylar::engine {

struct Channels::Channel {
  enum class State { Closed, Writing, Reading, Failed };
  State state = State::Closed;
  bool everOpened = false;
  std::ofstream out;
  std::ifstream in;
};

Channels::Channels() = default;
Channels::~Channels() { closeAll(); }

bool existsButIsNotARegularFile(const std::filesystem::path& file) {
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  return !ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

bool Channels::openWrite(int channel, const std::filesystem::path& file) {
  close(channel);
  auto& slot = channels_[channel];
  if (!slot) slot = std::make_unique<Channel>();
  if (!existsButIsNotARegularFile(file)) slot->out.open(file, std::ios::binary | std::ios::trunc);
  slot->state = slot->out.is_open() && slot->out ? Channel::State::Writing : Channel::State::Failed;
  if (slot->state == Channel::State::Writing) slot->everOpened = true;
  else if (!firstUnopened_) firstUnopened_ = file;
  return slot->state == Channel::State::Writing;
}

bool Channels::openRead(int channel, const std::filesystem::path& file) {
  close(channel);
  auto& slot = channels_[channel];
  if (!slot) slot = std::make_unique<Channel>();
  std::error_code ec;
  if (std::filesystem::is_regular_file(file, ec)) slot->in.open(file, std::ios::binary);
  slot->state = slot->in.is_open() && slot->in ? Channel::State::Reading : Channel::State::Failed;
  if (slot->state == Channel::State::Reading) slot->everOpened = true;
  return slot->state == Channel::State::Reading;
}

void Channels::close(int channel) {
  auto it = channels_.find(channel);
  if (it == channels_.end()) return;
  Channel& c = *it->second;
  if (c.state == Channel::State::Writing) {
    c.out.flush();
    if (!c.out) writeFailed_ = true;
    c.out.close();
    if (!c.out) writeFailed_ = true;
  }
  if (c.in.is_open()) c.in.close();
  c.out.clear();
  c.in.clear();
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

Channels::Channel& Channels::known(int channel, std::string_view what) {
  auto it = channels_.find(channel);
  if (it == channels_.end() || it->second->state == Channel::State::Closed)
    throw std::logic_error(std::string(what) + " channel " + std::to_string(channel) + ", which is not open");
  return *it->second;
}

void Channels::write(int channel, std::string_view line) {
  Channel& c = known(channel, "write to");
  if (c.state == Channel::State::Failed) return;
  if (c.state != Channel::State::Writing)
    throw std::logic_error("write to channel " + std::to_string(channel) + ", which is open for reading");
  c.out.write(line.data(), static_cast<std::streamsize>(line.size()));
  c.out.write("\r\n", 2);
  if (!c.out) writeFailed_ = true;
}

std::optional<std::string> Channels::readLine(int channel) {
  Channel& c = known(channel, "read from");
  if (c.state != Channel::State::Reading) return std::nullopt;
  std::streambuf* buf = c.in.rdbuf();
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
