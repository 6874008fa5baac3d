// Work shared among threads: every piece done once, whatever the threads,
// and a failure in one piece reaches the caller instead of ending the
// program.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "parallel.h"

namespace pylar::engine {
namespace {

TEST(Parallel, EveryIndexIsDoneOnce) {
  for (unsigned threads : {0U, 1U, 2U, 5U})
    for (std::size_t count : {0U, 1U, 7U, 100U}) {
      std::vector<std::atomic<int>> done(count);
      forEachIndex(count, threads, [&](std::size_t k) { ++done[k]; });
      for (std::size_t k = 0; k < count; ++k)
        EXPECT_EQ(done[k].load(), 1) << "index " << k << " of " << count << " on " << threads << " threads";
    }
}

TEST(Parallel, AFailedPieceIsThrownToTheCaller) {
  for (unsigned threads : {1U, 4U}) {
    std::atomic<int> started{0};
    EXPECT_THROW(forEachIndex(50, threads,
                              [&](std::size_t k) {
                                ++started;
                                if (k == 3) throw std::runtime_error("piece 3 failed");
                              }),
                 std::runtime_error)
        << threads << " threads";
    if (threads == 1) {
      EXPECT_EQ(started.load(), 4) << "the pieces after the failure were still started";
    }
  }
}

}  // namespace
}  // namespace pylar::engine
