// A small self-describing value encoding (integers, strings, booleans, floats,
// lists closed by a null marker) for the stored column definitions of grid
// tables. Reading checks every length and type, so a damaged definition gives
// an error, never a crash.
#pragma once

#include "DataEdit.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace pylar {

enum class TValueType : std::uint8_t { Null = 0, List, Integer, String, False, True, Float };

class TValueWriter {
 public:
  void writeInteger(std::int32_t value);
  void writeString(const QString &value);
  void writeBoolean(bool value);
  void writeFloat(Extended value);
  void writeListBegin();
  void writeListEnd();
  const QByteArray &data() const { return fData; }

 private:
  QByteArray fData;
};

class TValueReader {
 public:
  explicit TValueReader(QByteArray data) : fData(std::move(data)) {}
  // Each read throws EGridError when the next value is missing or of another type.
  std::int32_t readInteger();
  QString readString();
  bool readBoolean();
  Extended readFloat();
  void readListBegin();
  // True (and consumed) when the next value is the list's closing marker.
  bool endOfList();
  bool nextIs(TValueType type) const;
  bool atEnd() const { return fPos >= fData.size(); }

 private:
  TValueType takeType();
  std::int32_t takeInt32();
  QByteArray takeBytes(std::int32_t count);
  QByteArray fData;
  qsizetype fPos = 0;
};

}  // namespace pylar
