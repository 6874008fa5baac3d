#pragma once
// Independent pieces of work on several threads.

#include <cstddef>
#include <functional>

namespace pylar::engine {

// Calls work(k) for every k from 0 to count - 1 on up to `threads` threads
// (0: as many as the machine has); each thread takes the next k, and the
// calling thread is one of them, so that with one thread (or none to spare)
// the caller does them all, in order. The first exception a call throws is
// thrown again here once every thread has stopped.
void forEachIndex(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work);

}  // namespace pylar::engine
