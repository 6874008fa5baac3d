#include "folder_lock.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pylar::engine {
namespace {

// A lock file holds a process id and its line end, or nothing.
constexpr std::size_t kMaxLockText = 64;
constexpr std::chrono::milliseconds kPollInterval{50};

bool isLockText(const std::string& text) {
  if (text.size() > kMaxLockText) return false;
  const std::size_t digitsEnd = text.find_first_not_of("0123456789");
  return digitsEnd == std::string::npos || text.find_first_not_of(" \t\r\n", digitsEnd) == std::string::npos;
}

unsigned long processIdIn(const std::string& text) {
  unsigned long id = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || id > 100000000UL) break;
    id = id * 10 + static_cast<unsigned long>(c - '0');
  }
  return id;
}

// The lock files (by file identity) this process's engine runs hold: a
// second engine run of the same folder in this process waits for the first,
// although the lock file names this process.
std::mutex& heldMutex() {
  static std::mutex m;
  return m;
}
std::set<std::string>& heldFolders() {
  static std::set<std::string> folders;
  return folders;
}

enum class TryLock { Got, HeldElsewhere, Failed };

#if defined(_WIN32)

unsigned long thisProcess() { return static_cast<unsigned long>(GetCurrentProcessId()); }

OVERLAPPED lockedRange() {
  OVERLAPPED range{};
  range.Offset = 0;
  range.OffsetHigh = 1;  // the byte at 2^32: beyond the process id
  return range;
}

std::string readText(HANDLE h) {
  char buffer[kMaxLockText + 1];
  OVERLAPPED at{};
  DWORD got = 0;
  if (!ReadFile(h, buffer, sizeof buffer, &got, &at)) return {};
  return std::string(buffer, got);
}

void replaceText(HANDLE h, const std::string& text) {
  LARGE_INTEGER zero{};
  if (!SetFilePointerEx(h, zero, nullptr, FILE_BEGIN) || !SetEndOfFile(h)) return;
  DWORD written = 0;
  if (!text.empty()) WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

TryLock tryLock(HANDLE h) {
  OVERLAPPED range = lockedRange();
  if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) return TryLock::Got;
  const DWORD error = GetLastError();
  return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? TryLock::HeldElsewhere : TryLock::Failed;
}

#else

unsigned long thisProcess() { return static_cast<unsigned long>(::getpid()); }

std::string readText(int fd) {
  char buffer[kMaxLockText + 1];
  const ssize_t got = ::pread(fd, buffer, sizeof buffer, 0);
  return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
}

void replaceText(int fd, const std::string& text) {
  if (::ftruncate(fd, 0) != 0) return;
  if (!text.empty() && ::pwrite(fd, text.data(), text.size(), 0) < 0) return;
}

TryLock tryLock(int fd) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return TryLock::Got;
    if (errno == EINTR) continue;
    return errno == EWOULDBLOCK ? TryLock::HeldElsewhere : TryLock::Failed;
  }
}

#endif

}  // namespace

FolderLock::FolderLock(const std::filesystem::path& folder, std::chrono::milliseconds wait)
    : file_((folder.empty() ? std::filesystem::path(".") : folder) / kLockFileName) {
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(file_, ec);
  if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    outcome_ = Outcome::NotALockFile;
    return;
  }
#if defined(_WIN32)
  HANDLE h = CreateFileW(file_.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
      info.nFileSizeHigh != 0 || info.nFileSizeLow > kMaxLockText) {
    CloseHandle(h);
    outcome_ = Outcome::NotALockFile;
    return;
  }
  key_ = std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":" +
         std::to_string(info.nFileIndexLow);
  auto handle = h;
  auto closeHandle = [&] { CloseHandle(h); };
#else
  const int fd = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
  if (fd < 0) {
    outcome_ = errno == ELOOP ? Outcome::NotALockFile : Outcome::CannotOpen;
    return;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > static_cast<off_t>(kMaxLockText)) {
    ::close(fd);
    outcome_ = Outcome::NotALockFile;
    return;
  }
  key_ = std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
  auto handle = fd;
  auto closeHandle = [&] { ::close(fd); };
#endif
  // Whatever else the name stands for (a file linked to it), a lock file
  // holds a process id or nothing: anything else is not written over.
  if (!isLockText(readText(handle))) {
    closeHandle();
    outcome_ = Outcome::NotALockFile;
    return;
  }

  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    {
      std::lock_guard guard(heldMutex());
      if (heldFolders().count(key_) == 0) {
        const TryLock attempt = tryLock(handle);
        if (attempt == TryLock::Got) {
          heldFolders().insert(key_);
          outcome_ = Outcome::Locked;
          break;
        }
        if (attempt == TryLock::Failed) {
          closeHandle();
          outcome_ = Outcome::CannotOpen;
          return;
        }
        if (processIdIn(readText(handle)) == thisProcess()) {
          closeHandle();
          outcome_ = Outcome::HeldByThisProcess;
          return;
        }
      }
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      closeHandle();
      outcome_ = Outcome::Busy;
      return;
    }
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kPollInterval, deadline - now));
  }
  replaceText(handle, std::to_string(thisProcess()) + "\r\n");
#if defined(_WIN32)
  handle_ = handle;
#else
  fd_ = handle;
#endif
}

FolderLock::~FolderLock() {
  if (outcome_ != Outcome::Locked) return;
#if defined(_WIN32)
  HANDLE h = static_cast<HANDLE>(handle_);
  replaceText(h, {});
  std::lock_guard guard(heldMutex());
  OVERLAPPED range = lockedRange();
  UnlockFileEx(h, 0, 1, 0, &range);
  CloseHandle(h);
  heldFolders().erase(key_);
#else
  // Emptied first: a process id left behind could be taken for a holder's.
  replaceText(fd_, {});
  std::lock_guard guard(heldMutex());
  ::close(fd_);
  heldFolders().erase(key_);
#endif
}

}  // namespace pylar::engine
