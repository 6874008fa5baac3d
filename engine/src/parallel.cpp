#include "parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace pylar::engine {

void forEachIndex(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work) {
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failureMutex;
  auto run = [&] {
    for (std::size_t k = next++; k < count; k = next++) {
      try {
        work(k);
      } catch (...) {
        const std::lock_guard<std::mutex> hold(failureMutex);
        if (!failure) failure = std::current_exception();
        next = count;  // the others stop after their current piece
      }
    }
  };
  if (threads == 0) threads = std::max(1U, std::thread::hardware_concurrency());
  const std::size_t helpers = std::min<std::size_t>(threads, count) - (count == 0 ? 0 : 1);
  std::vector<std::thread> pool;
  pool.reserve(helpers);
  try {
    for (std::size_t t = 0; t < helpers; ++t) pool.emplace_back(run);
  } catch (const std::system_error&) {
    // No thread to spare: the ones started and this one share the work.
  }
  run();
  for (std::thread& t : pool) t.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace pylar::engine
