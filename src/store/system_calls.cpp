#include "store/system_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zandorik {

int SystemCalls::Open(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}

ssize_t SystemCalls::Pread(int fd, void* buffer, size_t count, off_t offset) {
  return ::pread(fd, buffer, count, offset);
}

ssize_t SystemCalls::Pwrite(int fd, const void* buffer, size_t count, off_t offset) {
  return ::pwrite(fd, buffer, count, offset);
}

ssize_t SystemCalls::Write(int fd, const void* buffer, size_t count) {
  return ::write(fd, buffer, count);
}

int SystemCalls::Fsync(int fd) {
  return ::fsync(fd);
}

int SystemCalls::Ftruncate(int fd, off_t length) {
  return ::ftruncate(fd, length);
}

int SystemCalls::Rename(const char* from, const char* to) {
  return std::rename(from, to);
}

int SystemCalls::Unlink(const char* path) {
  return ::unlink(path);
}

SystemCalls& SystemCalls::Real() {
  static SystemCalls real;
  return real;
}

FileError ErrorOf(int number) {
  return FileError{number, std::strerror(number)};
}

bool WriteInSteps(std::size_t count, const std::function<ssize_t(std::size_t done)>& step,
                  FileError* error) {
  std::size_t done = 0;
  int stalled = 0;
  while (done < count) {
    const ssize_t w = step(done);
    if (w < 0 && errno != EINTR) {
      if (error) *error = ErrorOf(errno);
      return false;
    }
    if (w <= 0) {
      // Interrupted, or nothing taken: try again, but not for ever.
      if (++stalled >= kStalledTries) {
        if (error) {
          *error = FileError{
              EIO, "The disk took no data after " + std::to_string(kStalledTries) + " tries"};
        }
        return false;
      }
      continue;
    }
    stalled = 0;
    done += static_cast<std::size_t>(w);
  }
  return true;
}

bool WriteWhole(SystemCalls& calls, int fd, const void* bytes, std::size_t count,
                FileError* error) {
  const auto* from = static_cast<const unsigned char*>(bytes);
  return WriteInSteps(
      count, [&](std::size_t done) { return calls.Write(fd, from + done, count - done); }, error);
}

bool SyncFolderOf(SystemCalls& calls, const std::string& path, FileError* error) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : path.substr(0, slash);
  const int fd = calls.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) {
    if (error) *error = ErrorOf(errno);
    return false;
  }
  // Some file systems cannot flush a folder, and keep their names safe
  // without being asked.
  const bool synced = calls.Fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
  const int number = errno;
  ::close(fd);
  if (!synced && error) *error = ErrorOf(number);
  return synced;
}

void ReserveStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free descriptor: this one, as the lower ones are open.
    const int taken = ::open("/dev/null", O_RDONLY);
    if (taken >= 0 && taken != fd) ::close(taken);
  }
}

}  // namespace zandorik
