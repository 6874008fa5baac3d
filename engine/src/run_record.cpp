#include "run_record.h"

#include <charconv>
#include <fstream>
#include <system_error>
#include <vector>

#include "pylar/engine.h"

namespace pylar::engine {
namespace {

constexpr std::string_view kRecordHead = "PYLAR RUN RECORD 1";
constexpr std::size_t kMaxRecordBytes = 4096;

std::string hex16(std::uint64_t value) {
  static const char* const kHex = "0123456789abcdef";
  std::string text(16, '0');
  for (int k = 15; k >= 0; --k, value >>= 4) text[static_cast<std::size_t>(k)] = kHex[value & 15];
  return text;
}

// The value after `key` and one blank on a line, when the line starts so.
std::optional<std::string_view> after(std::string_view line, std::string_view key) {
  if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ' ') return std::nullopt;
  return line.substr(key.size() + 1);
}

template <typename Number>
bool wholeNumber(std::string_view text, Number& value, int base = 10) {
  if (text.empty() || text.front() == '+') return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::uint64_t fnv1a64(std::string_view bytes, std::uint64_t hash) {
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= kFnvPrime;
  }
  return hash;
}

std::vector<std::string> runRecordLines(const RunRecord& r) {
  return {std::string(kRecordHead), "PROJECT " + r.project, "SIZE " + std::to_string(r.size),
          "FNV1A64 " + hex16(r.hash), "STATUS " + std::to_string(r.status)};
}

std::string runRecordText(const RunRecord& r) {
  std::string text;
  for (const std::string& line : runRecordLines(r)) text += line + "\r\n";
  return text;
}

std::optional<RunRecord> parseRunRecord(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;  // every line ends
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end + 1);
  }
  if (lines.size() != 5 || lines[0] != kRecordHead) return std::nullopt;
  RunRecord r;
  const auto project = after(lines[1], "PROJECT");
  const auto size = after(lines[2], "SIZE");
  const auto hash = after(lines[3], "FNV1A64");
  const auto status = after(lines[4], "STATUS");
  if (!project || !size || !hash || !status) return std::nullopt;
  r.project = std::string(*project);
  if (!wholeNumber(*size, r.size) || !wholeNumber(*status, r.status)) return std::nullopt;
  if (hash->size() != 16 || hash->find_first_not_of("0123456789abcdef") != std::string_view::npos ||
      !wholeNumber(*hash, r.hash, 16))
    return std::nullopt;
  return r;
}

ProjectBytes readProjectBytes(const std::filesystem::path& file, std::uint64_t keepAtMost) {
  ProjectBytes bytes;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return bytes;
  std::ifstream in(file, std::ios::binary);
  if (!in) return bytes;
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got == 0) break;
    const std::string_view chunk(buffer.data(), got);
    bytes.hash = fnv1a64(chunk, bytes.hash);
    bytes.size += got;
    if (bytes.size <= keepAtMost)
      bytes.text.append(chunk);
    else if (!bytes.tooLarge) {
      bytes.tooLarge = true;
      bytes.text.clear();
      bytes.text.shrink_to_fit();
    }
  }
  bytes.readable = in.eof() && !in.bad();
  return bytes;
}

std::filesystem::path runRecordFile(const RunNames& names) {
  return runFilePath(names, RunFileKind::RunRecord);
}

bool resultsAreCurrent(const std::filesystem::path& project) {
  const std::filesystem::path record = runRecordFile(namesBeside(project));
  std::error_code ec;
  if (!std::filesystem::is_regular_file(record, ec)) return false;
  std::string text;
  {
    std::ifstream in(record, std::ios::binary);
    text.resize(kMaxRecordBytes + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
  }
  if (text.size() > kMaxRecordBytes) return false;
  const auto r = parseRunRecord(text);
  if (!r || r->project != project.filename().string()) return false;
  if (r->status != kStatusCompleted && r->status != kStatusDesignLoadNotReached) return false;
  const ProjectBytes now = readProjectBytes(project, 0);
  return now.readable && now.size == r->size && now.hash == r->hash;
}

}  // namespace pylar::engine
