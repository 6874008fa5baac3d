// Not a reader: a target whose inputs are findings on purpose, one of each
// kind the fuzz script must report (crash, leak, timeout, out-of-memory).
// The script runs it first, so a run that would not report a finding fails.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input == "crash") std::abort();
  if (input == "leak") {
    volatile char* lost = static_cast<char*>(std::malloc(64));
    lost[0] = 1;
  }
  if (input == "timeout") {
    for (volatile unsigned long k = 0;; k = k + 1) {
    }
  }
  if (input == "out-of-memory") {
    // One request beyond the malloc limit is refused before it is served.
    volatile char* huge = static_cast<char*>(std::malloc(std::size_t{3} << 30));
    if (huge) huge[0] = 1;
    std::free(const_cast<char*>(huge));
  }
  return 0;
}
