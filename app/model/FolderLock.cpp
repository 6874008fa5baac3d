#include "FolderLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace pylar {

namespace {

// The process id in the lock file's first line; 0 when there is none.
qint64 parsePid(const char *text, qint64 size) {
  qint64 pid = 0;
  qint64 k = 0;
  for (; k < size && text[k] >= '0' && text[k] <= '9' && pid < (qint64(1) << 40); ++k) pid = pid * 10 + (text[k] - '0');
  return k > 0 ? pid : 0;
}

QByteArray pidLine(qint64 pid) { return QByteArray::number(pid) + "\r\n"; }

#if defined(_WIN32)

HANDLE handleOf(long long value) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(value)); }
qint64 ownPid() { return static_cast<qint64>(GetCurrentProcessId()); }
QString systemReason() { return qt_error_string(static_cast<int>(GetLastError())); }

// The lock covers one byte far beyond the process id, so that the id can
// still be read while the lock is held (a Windows lock keeps other handles
// from reading the bytes it covers).
OVERLAPPED lockRegion() {
  OVERLAPPED region{};
  region.Offset = 0;
  region.OffsetHigh = 1;
  return region;
}

long long openLockFile(const QString &path, QString &why) {
  const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
  HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    why = systemReason();
    return -1;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) || info.nNumberOfLinks > 1) {
    why = QStringLiteral("PYLAR.LCK is not a file of its own");
    CloseHandle(file);
    return -1;
  }
  return static_cast<long long>(reinterpret_cast<intptr_t>(file));
}

// 1: locked; 0: held by another handle; -1: failed.
int tryLock(long long handle) {
  OVERLAPPED region = lockRegion();
  if (LockFileEx(handleOf(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &region)) return 1;
  return GetLastError() == ERROR_LOCK_VIOLATION || GetLastError() == ERROR_IO_PENDING ? 0 : -1;
}

void unlock(long long handle) {
  OVERLAPPED region = lockRegion();
  UnlockFileEx(handleOf(handle), 0, 1, 0, &region);
}

void closeLockFile(long long handle) { CloseHandle(handleOf(handle)); }

qint64 readPid(long long handle) {
  char text[32];
  DWORD read = 0;
  OVERLAPPED start{};
  if (!ReadFile(handleOf(handle), text, sizeof text, &read, &start)) return 0;
  return parsePid(text, read);
}

void writePid(long long handle) {
  const QByteArray line = pidLine(ownPid());
  HANDLE file = handleOf(handle);
  LARGE_INTEGER zero{};
  DWORD written = 0;
  if (SetFilePointerEx(file, zero, nullptr, FILE_BEGIN) && SetEndOfFile(file))
    WriteFile(file, line.constData(), static_cast<DWORD>(line.size()), &written, nullptr);
}

#else

qint64 ownPid() { return static_cast<qint64>(::getpid()); }
QString systemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

long long openLockFile(const QString &path, QString &why) {
  const QByteArray name = QFile::encodeName(path);
  // Never through a link (the process id would be written into the file it
  // points at), never blocking on a pipe of that name.
  constexpr int kFlags = O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  int fd = ::open(name.constData(), O_RDWR | kFlags, 0666);
  // A folder the user may only read: the lock still keeps writers out.
  if (fd < 0 && (errno == EACCES || errno == EROFS)) fd = ::open(name.constData(), O_RDONLY | kFlags, 0666);
  if (fd < 0) {
    why = systemReason();
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink > 1) {
    why = QStringLiteral("PYLAR.LCK is not a file of its own");
    ::close(fd);
    return -1;
  }
  return fd;
}

int tryLock(long long handle) {
  for (;;) {
    if (::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) == 0) return 1;
    if (errno == EINTR) continue;
    return errno == EWOULDBLOCK || errno == EAGAIN ? 0 : -1;
  }
}

void unlock(long long handle) { ::flock(static_cast<int>(handle), LOCK_UN); }

void closeLockFile(long long handle) { ::close(static_cast<int>(handle)); }

qint64 readPid(long long handle) {
  char text[32];
  const ssize_t read = ::pread(static_cast<int>(handle), text, sizeof text, 0);
  return read > 0 ? parsePid(text, read) : 0;
}

void writePid(long long handle) {
  const int fd = static_cast<int>(handle);
  const QByteArray line = pidLine(ownPid());
  // The id is for people and for this process's own engine; a folder where
  // it cannot be written is still locked.
  if (::ftruncate(fd, 0) == 0) (void)!::pwrite(fd, line.constData(), static_cast<size_t>(line.size()), 0);
}

#endif

}  // namespace

TLockResult TFolderLock::Acquire(const QString &folder, std::chrono::milliseconds wait,
                                 const std::function<void()> &waiting) {
  Release();
  fMessage.clear();
  const QString native = QDir::toNativeSeparators(folder);
  QString why;
  const long long handle = openLockFile(QDir(folder).filePath(QString::fromLatin1(kFolderLockFile)), why);
  if (handle == -1) {
    fMessage = QStringLiteral("The folder %1 cannot be locked for a run (%2): the analysis was not run.").arg(native, why);
    return TLockResult::Unavailable;
  }
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    const int locked = tryLock(handle);
    if (locked == 1) {
      fHandle = handle;
      fOwned = true;
      writePid(handle);
      return TLockResult::Held;
    }
    if (locked < 0) {
      fMessage = QStringLiteral("The folder %1 cannot be locked for a run (%2): the analysis was not run.")
                     .arg(native, systemReason());
      closeLockFile(handle);
      return TLockResult::Unavailable;
    }
    const qint64 holder = readPid(handle);
    if (holder == ownPid()) {
      // This process holds the folder already, through another handle; that
      // handle keeps it locked when this one closes.
      closeLockFile(handle);
      return TLockResult::Held;
    }
    if (waited.elapsed() >= wait.count()) {
      closeLockFile(handle);
      fMessage = QStringLiteral("Another run is using the folder %1%2, and it was still running after %3 s: the "
                                "analysis was not run. Run it again once the other run has ended.")
                     .arg(native)
                     .arg(holder > 0 ? QStringLiteral(" (process %1)").arg(holder) : QString())
                     .arg(QString::number(double(wait.count()) / 1000.0));
      return TLockResult::Busy;
    }
    if (waiting) waiting();
    QThread::msleep(100);
  }
}

void TFolderLock::Release() {
  if (fHandle == -1) return;
  if (fOwned) unlock(fHandle);
  closeLockFile(fHandle);
  fHandle = -1;
  fOwned = false;
}

}  // namespace pylar
