// The engine's project-file reader on arbitrary text: it either reads a
// project whose counts lie within the engine's limits, or fails with a
// message; the series built from what it read stays within its limit.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "capacity.h"
#include "fortran_format.h"
#include "project_input.h"

using namespace pylar::engine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto reader = ListReader::fromText(std::string(reinterpret_cast<const char*>(data), size));
  ProjectInput input;
  std::string error;
  if (!readProjectInput(reader, input, error)) {
    if (error.empty()) std::abort();  // a failure must say why
    return 0;
  }
  if (input.layers.empty() || input.layers.size() > static_cast<std::size_t>(kMaxLayers)) std::abort();
  if (input.PDSETT.size() > static_cast<std::size_t>(kMaxSettlements)) std::abort();
  if (input.tzDepths.size() > static_cast<std::size_t>(kMaxTzDepths)) std::abort();
  if (checkCapacityInput(input).empty()) {
    const Series series = buildSeries(input);
    if (series.pierCount() == 0 || series.pierCount() > static_cast<std::size_t>(series.limit)) std::abort();
  }
  return 0;
}
