// A full disk, for tests: while a TFileSizeLimit lives, the file system lets
// no file of this process grow past the given size. The signal the limit
// raises is ignored meanwhile, so a write past it fails ("File too large")
// instead of ending the process.
#pragma once

#include <sys/resource.h>

#include <csignal>

class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    if (getrlimit(RLIMIT_FSIZE, &fSaved) != 0) return;
    fPreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = fSaved;
    small.rlim_cur = bytes;
    fActive = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~TFileSizeLimit() {
    if (fActive) setrlimit(RLIMIT_FSIZE, &fSaved);
    if (fPreviousHandler != SIG_ERR) std::signal(SIGXFSZ, fPreviousHandler);
  }
  TFileSizeLimit(const TFileSizeLimit &) = delete;
  TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;

  // False when the limit could not be set: the test cannot run.
  bool Active() const { return fActive; }

 private:
  rlimit fSaved{};
  void (*fPreviousHandler)(int) = SIG_ERR;
  bool fActive = false;
};
