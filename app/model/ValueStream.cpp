#include "ValueStream.h"

#include <charconv>
#include <cmath>

namespace pylar {

namespace {
[[noreturn]] void streamError(const char *what) { throw EGridError(QString::fromLatin1(what)); }
}  // namespace

void TValueWriter::writeInteger(std::int32_t value) {
  fData.append(static_cast<char>(TValueType::Integer));
  const auto u = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) fData.append(static_cast<char>((u >> shift) & 0xFF));
}

void TValueWriter::writeString(const QString &value) {
  const QByteArray utf8 = value.toUtf8();
  fData.append(static_cast<char>(TValueType::String));
  const auto u = static_cast<std::uint32_t>(utf8.size());
  for (int shift = 0; shift < 32; shift += 8) fData.append(static_cast<char>((u >> shift) & 0xFF));
  fData.append(utf8);
}

void TValueWriter::writeBoolean(bool value) {
  fData.append(static_cast<char>(value ? TValueType::True : TValueType::False));
}

void TValueWriter::writeFloat(Extended value) {
  // Shortest text that reads back to the same value, "." always.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  const QByteArray text(buffer, result.ptr - buffer);
  fData.append(static_cast<char>(TValueType::Float));
  fData.append(static_cast<char>(text.size()));
  fData.append(text);
}

void TValueWriter::writeListBegin() { fData.append(static_cast<char>(TValueType::List)); }

void TValueWriter::writeListEnd() { fData.append(static_cast<char>(TValueType::Null)); }

bool TValueReader::nextIs(TValueType type) const {
  return fPos < fData.size() && static_cast<TValueType>(fData[fPos]) == type;
}

TValueType TValueReader::takeType() {
  if (fPos >= fData.size()) streamError("Unexpected end of stored data");
  return static_cast<TValueType>(fData[fPos++]);
}

std::int32_t TValueReader::takeInt32() {
  if (fData.size() - fPos < 4) streamError("Unexpected end of stored data");
  std::uint32_t u = 0;
  for (int k = 0; k < 4; ++k)
    u |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(fData[fPos + k])) << (8 * k);
  fPos += 4;
  return static_cast<std::int32_t>(u);
}

QByteArray TValueReader::takeBytes(std::int32_t count) {
  if (count < 0 || fData.size() - fPos < count) streamError("Unexpected end of stored data");
  QByteArray bytes = fData.mid(fPos, count);
  fPos += count;
  return bytes;
}

std::int32_t TValueReader::readInteger() {
  if (takeType() != TValueType::Integer) streamError("Invalid property value");
  return takeInt32();
}

QString TValueReader::readString() {
  if (takeType() != TValueType::String) streamError("Invalid property value");
  return QString::fromUtf8(takeBytes(takeInt32()));
}

bool TValueReader::readBoolean() {
  const TValueType type = takeType();
  if (type != TValueType::True && type != TValueType::False) streamError("Invalid property value");
  return type == TValueType::True;
}

Extended TValueReader::readFloat() {
  if (takeType() != TValueType::Float) streamError("Invalid property value");
  const QByteArray text = takeBytes(static_cast<std::uint8_t>(takeBytes(1)[0]));
  Extended value = 0;
  const auto [end, ec] = std::from_chars(text.constData(), text.constData() + text.size(), value);
  if (ec != std::errc() || end != text.constData() + text.size() || !std::isfinite(value))
    streamError("Invalid property value");
  return value;
}

void TValueReader::readListBegin() {
  if (takeType() != TValueType::List) streamError("Invalid property value");
}

bool TValueReader::endOfList() {
  if (fPos >= fData.size()) streamError("Unexpected end of stored data");
  if (!nextIs(TValueType::Null)) return false;
  ++fPos;
  return true;
}

}  // namespace pylar
