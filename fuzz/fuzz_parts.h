// The inputs of the targets that read several files at once: the fuzzed bytes
// cut into parts at each kPartSeparator ("@@PART@@", also in parts.dict, so
// mutations keep it). scripts/run-fuzzers builds the seeds of these targets
// the same way, from the files of one sample run joined by the separator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <QByteArray>

namespace pylar_fuzz {

inline constexpr char kPartSeparator[] = "@@PART@@";

// At most `count` parts: the last one takes the rest, separators included;
// fewer parts when the input holds fewer separators.
inline std::vector<QByteArray> SplitParts(const std::uint8_t* data, std::size_t size, int count) {
  const QByteArray all(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QByteArray separator(kPartSeparator);
  std::vector<QByteArray> parts;
  qsizetype from = 0;
  while (static_cast<int>(parts.size()) + 1 < count) {
    const qsizetype at = all.indexOf(separator, from);
    if (at < 0) break;
    parts.push_back(all.mid(from, at - from));
    from = at + separator.size();
  }
  parts.push_back(all.mid(from));
  return parts;
}

}  // namespace pylar_fuzz
