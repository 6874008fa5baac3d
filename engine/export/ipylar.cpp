#include "pylar/ipylar.h"

#include "pylar/engine.h"

extern "C" std::int32_t PYLAR_CALL IPYLAR(std::int32_t argument) {
  if (argument != 2) return pylar::engine::kStatusWrongArgument;
  try {
    return pylar::engine::runFromNamesFile();
  } catch (...) {
    // Nothing may escape across the C boundary.
    return pylar::engine::kStatusInternalError;
  }
}
