#pragma once
// One run at a time in a folder: the scratch files have fixed names, so a run
// holds the folder's lock file PYLAR.LCK for as long as it uses the folder.
//
// The lock is an advisory lock on the open file (flock(LOCK_EX) on POSIX,
// LockFileEx on the one byte at offset 2^32 on Windows, so that the text
// before it stays readable), released when the holder closes the file or
// dies; the file itself is never deleted. The holder writes its process id
// into the file as one line after it gets the lock and empties the file
// before it lets go. A lock held under this process's id by code that is not
// the engine (the desktop program holds the folder around its whole run and
// calls the engine inside it) lets the engine's run go ahead without locking
// again; two engine runs, in two threads or two processes, exclude each
// other.

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "pylar/run_files.h"

namespace pylar::engine {

inline constexpr std::string_view kLockFileName = runFileFixedName(RunFileKind::Lock);

class FolderLock {
 public:
  enum class Outcome {
    Locked,             // this run holds the lock
    HeldByThisProcess,  // held under this process's id by its caller
    Busy,               // another run held it for the whole wait
    NotALockFile,       // PYLAR.LCK is a link, not a regular file, or holds something else
    CannotOpen,         // PYLAR.LCK cannot be created, opened or locked
  };

  // Takes the lock of `folder`, waiting up to `wait` while another run holds it.
  FolderLock(const std::filesystem::path& folder, std::chrono::milliseconds wait);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  Outcome outcome() const { return outcome_; }
  // The run may use the folder.
  bool mayRun() const { return outcome_ == Outcome::Locked || outcome_ == Outcome::HeldByThisProcess; }
  const std::filesystem::path& file() const { return file_; }

 private:
  std::filesystem::path file_;
  std::string key_;  // the lock file's identity (device and file number)
  Outcome outcome_ = Outcome::CannotOpen;
#if defined(_WIN32)
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

}  // namespace pylar::engine
