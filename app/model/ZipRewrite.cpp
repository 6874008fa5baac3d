#include "ZipRewrite.h"

#include <zlib.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace pylar {

namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEndOfCentral = 0x06054b50;
constexpr qsizetype kLocalFixed = 30;
constexpr qsizetype kCentralFixed = 46;
constexpr qsizetype kEndFixed = 22;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kEncrypted = 0x0001;
constexpr std::uint16_t kDataDescriptor = 0x0008;
// An entry to be edited is inflated whole; no workbook part comes near this.
constexpr std::uint32_t kMaxEditedSize = 256u << 20;

std::uint16_t u16(const QByteArray &b, qsizetype at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8);
}
std::uint32_t u32(const QByteArray &b, qsizetype at) { return u16(b, at) | static_cast<std::uint32_t>(u16(b, at + 2)) << 16; }
void put16(QByteArray &b, std::uint16_t v) {
  b.append(static_cast<char>(v & 0xff));
  b.append(static_cast<char>(v >> 8));
}
void put32(QByteArray &b, std::uint32_t v) {
  put16(b, static_cast<std::uint16_t>(v & 0xffff));
  put16(b, static_cast<std::uint16_t>(v >> 16));
}

struct Entry {
  std::uint16_t versionMade = 0, versionNeeded = 0, flags = 0, method = 0, time = 0, date = 0;
  std::uint32_t crc = 0, compressedSize = 0, size = 0, externalAttributes = 0;
  std::uint16_t internalAttributes = 0;
  std::uint32_t localOffset = 0;
  QByteArray name;
  QByteArray data;  // compressed as stored in the archive
};

std::optional<QByteArray> inflateRaw(const QByteArray &data, std::uint32_t size) {
  QByteArray out(static_cast<qsizetype>(size), Qt::Uninitialized);
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return std::nullopt;
  z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef *>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int status = inflate(&z, Z_FINISH);
  const bool whole = status == Z_STREAM_END && z.total_out == size;
  inflateEnd(&z);
  if (!whole) return std::nullopt;
  return out;
}

std::optional<QByteArray> deflateRaw(const QByteArray &data) {
  z_stream z{};
  if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    return std::nullopt;
  QByteArray out(static_cast<qsizetype>(deflateBound(&z, static_cast<uLong>(data.size()))), Qt::Uninitialized);
  z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef *>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&z, Z_FINISH);
  out.resize(static_cast<qsizetype>(z.total_out));
  deflateEnd(&z);
  if (status != Z_STREAM_END) return std::nullopt;
  return out;
}

ZipRewriteResult failure(const QString &why) { return {std::nullopt, why}; }

}  // namespace

ZipRewriteResult RewriteZipEntries(const QByteArray &archive, const std::function<bool(const QString &name)> &wanted,
                                   const ZipEntryEdit &edit) {
  // The end record: the last signature with room for its comment.
  qsizetype end = -1;
  for (qsizetype at = archive.size() - kEndFixed; at >= 0 && at >= archive.size() - kEndFixed - 0xffff; --at)
    if (u32(archive, at) == kEndOfCentral && at + kEndFixed + u16(archive, at + 20) == archive.size()) {
      end = at;
      break;
    }
  if (end < 0) return failure(QStringLiteral("not a zip archive"));
  const std::uint16_t count = u16(archive, end + 10);
  const qsizetype centralSize = u32(archive, end + 12);
  const qsizetype centralOffset = u32(archive, end + 16);
  if (u16(archive, end + 4) != 0 || u16(archive, end + 8) != count || centralOffset + centralSize > end)
    return failure(QStringLiteral("an archive of several disks or a damaged directory"));

  std::vector<Entry> entries;
  qsizetype at = centralOffset;
  for (int k = 0; k < count; ++k) {
    if (at + kCentralFixed > end || u32(archive, at) != kCentralHeader)
      return failure(QStringLiteral("a damaged directory"));
    Entry e;
    e.versionMade = u16(archive, at + 4);
    e.versionNeeded = u16(archive, at + 6);
    e.flags = u16(archive, at + 8);
    e.method = u16(archive, at + 10);
    e.time = u16(archive, at + 12);
    e.date = u16(archive, at + 14);
    e.crc = u32(archive, at + 16);
    e.compressedSize = u32(archive, at + 20);
    e.size = u32(archive, at + 24);
    const qsizetype nameLength = u16(archive, at + 28);
    const qsizetype extraLength = u16(archive, at + 30);
    const qsizetype commentLength = u16(archive, at + 32);
    e.internalAttributes = u16(archive, at + 36);
    e.externalAttributes = u32(archive, at + 38);
    e.localOffset = u32(archive, at + 42);
    if (at + kCentralFixed + nameLength + extraLength + commentLength > end)
      return failure(QStringLiteral("a damaged directory"));
    e.name = archive.mid(at + kCentralFixed, nameLength);
    at += kCentralFixed + nameLength + extraLength + commentLength;
    if (e.flags & kEncrypted) return failure(QStringLiteral("an encrypted entry"));
    if (e.compressedSize == std::numeric_limits<std::uint32_t>::max() ||
        e.size == std::numeric_limits<std::uint32_t>::max())
      return failure(QStringLiteral("a ZIP64 entry"));

    const qsizetype local = e.localOffset;
    if (local + kLocalFixed > centralOffset || u32(archive, local) != kLocalHeader)
      return failure(QStringLiteral("a damaged entry"));
    const qsizetype dataStart = local + kLocalFixed + u16(archive, local + 26) + u16(archive, local + 28);
    if (dataStart + static_cast<qsizetype>(e.compressedSize) > centralOffset)
      return failure(QStringLiteral("a damaged entry"));
    e.data = archive.mid(dataStart, e.compressedSize);

    const QString name = QString::fromUtf8(e.name);
    if (wanted(name)) {
      std::optional<QByteArray> content;
      if (e.method == kStored && e.compressedSize == e.size) content = e.data;
      if (e.method == kDeflated && e.size <= kMaxEditedSize) content = inflateRaw(e.data, e.size);
      if (!content) return failure(QStringLiteral("an entry that cannot be read: ") + name);
      const QByteArray edited = edit(name, *content);
      const std::optional<QByteArray> packed = deflateRaw(edited);
      if (!packed || edited.size() > std::numeric_limits<std::uint32_t>::max() / 2)
        return failure(QStringLiteral("an entry that cannot be written: ") + name);
      e.method = kDeflated;
      e.data = *packed;
      e.compressedSize = static_cast<std::uint32_t>(packed->size());
      e.size = static_cast<std::uint32_t>(edited.size());
      e.crc = static_cast<std::uint32_t>(
          crc32(0, reinterpret_cast<const Bytef *>(edited.constData()), static_cast<uInt>(edited.size())));
    }
    // Sizes and checksum stand in the headers, so no data descriptor follows.
    e.flags &= static_cast<std::uint16_t>(~kDataDescriptor);
    entries.push_back(std::move(e));
  }

  // The fields the local header and the central directory share, in this order.
  const auto putHeaderFields = [](QByteArray &out, const Entry &e) {
    put16(out, e.versionNeeded);
    put16(out, e.flags);
    put16(out, e.method);
    put16(out, e.time);
    put16(out, e.date);
    put32(out, e.crc);
    put32(out, e.compressedSize);
    put32(out, e.size);
    put16(out, static_cast<std::uint16_t>(e.name.size()));
  };
  QByteArray out;
  for (Entry &e : entries) {
    if (out.size() > std::numeric_limits<std::uint32_t>::max() - kLocalFixed - e.name.size() - e.data.size())
      return failure(QStringLiteral("an archive beyond 4 GB"));
    e.localOffset = static_cast<std::uint32_t>(out.size());
    put32(out, kLocalHeader);
    putHeaderFields(out, e);
    put16(out, 0);
    out += e.name;
    out += e.data;
  }
  const qsizetype directory = out.size();
  for (const Entry &e : entries) {
    put32(out, kCentralHeader);
    put16(out, e.versionMade);
    putHeaderFields(out, e);
    put16(out, 0);  // extra
    put16(out, 0);  // comment
    put16(out, 0);  // disk
    put16(out, e.internalAttributes);
    put32(out, e.externalAttributes);
    put32(out, e.localOffset);
    out += e.name;
  }
  if (out.size() > std::numeric_limits<std::uint32_t>::max()) return failure(QStringLiteral("an archive beyond 4 GB"));
  const qsizetype directorySize = out.size() - directory;
  put32(out, kEndOfCentral);
  put16(out, 0);
  put16(out, 0);
  put16(out, count);
  put16(out, count);
  put32(out, static_cast<std::uint32_t>(directorySize));
  put32(out, static_cast<std::uint32_t>(directory));
  put16(out, 0);
  return {out, {}};
}

}  // namespace pylar
