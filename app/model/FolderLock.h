// The lock of a project folder for one run at a time.
//
// A run's scratch files have fixed names (names.dat, CHART.DAT, TZDATA.DAT,
// TZDIAM.DAT, ROCKMSG.DAT), so two runs in one folder would write into each
// other's files. Every run (the desktop program's, the headless export's, the
// command-line runner's) holds the lock of the folder's file PYLAR.LCK while it
// works there: an advisory lock on the open file (flock on POSIX, LockFileEx
// on Windows), so it goes with the process that held it, however that ends.
// The file itself is never removed; the holder writes its process id into it
// as one line. A process that finds the lock held under its own process id
// goes on without locking again: the desktop program holds the folder around
// the whole run and then calls the engine in the same process.
#pragma once

#include <QString>

#include <chrono>
#include <functional>

namespace pylar {

inline constexpr const char *kFolderLockFile = "PYLAR.LCK";
inline constexpr std::chrono::milliseconds kFolderLockWait{60000};

enum class TLockResult {
  Held,         // this object holds the lock, or this process held it already
  Busy,         // another process held it for the whole wait
  Unavailable,  // the lock file cannot be opened (a folder that cannot be written)
};

class TFolderLock {
 public:
  TFolderLock() = default;
  ~TFolderLock() { Release(); }
  TFolderLock(const TFolderLock &) = delete;
  TFolderLock &operator=(const TFolderLock &) = delete;

  // Locks `folder`, waiting up to `wait` while another process holds it;
  // `waiting` is called about ten times a second meanwhile. Message() says
  // why the lock was not taken.
  TLockResult Acquire(const QString &folder, std::chrono::milliseconds wait = kFolderLockWait,
                      const std::function<void()> &waiting = {});
  void Release();
  // Why the last Acquire did not take the lock, naming the folder; empty when it did.
  const QString &Message() const { return fMessage; }

 private:
  // The platform's handle of the open lock file; -1 (or null) when none.
  long long fHandle = -1;
  bool fOwned = false;
  QString fMessage;
};

}  // namespace pylar
