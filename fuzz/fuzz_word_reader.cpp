// The desktop program's word reader on arbitrary bytes, driven by a sequence
// of reads taken from the same bytes: every read either returns a value or
// throws EInOutError, and the reader never runs past the end.
#include <cstdint>
#include <cstdlib>

#include "model/WordRead.h"

using namespace pylar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  TWordReader reader = TWordReader::FromData(bytes);
  // At most one read per byte plus one: the reader consumes a word or a line
  // per successful read, so this is enough to reach the end of any input.
  for (std::size_t k = 0; k <= size && !reader.Eof(); ++k) {
    const unsigned op = size ? data[k % size] % 6U : 0U;
    try {
      switch (op) {
        case 0: reader.ReadFloat(); break;
        case 1: reader.ReadInteger(); break;
        case 2: reader.ReadInteger(-5, 40); break;
        case 3: reader.ReadLine(); break;
        case 4:
          if (reader.WordsLeftOnLine() < 0 || reader.WordsLeftOnLine() > reader.CurrentLineWordCount()) std::abort();
          reader.ReadFloat();
          break;
        default: reader.ReadInteger(1, 1); break;
      }
    } catch (const EInOutError& e) {
      if (e.message().isEmpty()) std::abort();
    }
  }
  return 0;
}
