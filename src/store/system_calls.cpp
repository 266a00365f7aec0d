#include "store/system_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

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

int SystemCalls::Fsync(int fd) {
  return ::fsync(fd);
}

int SystemCalls::Ftruncate(int fd, off_t length) {
  return ::ftruncate(fd, length);
}

void ReserveStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free descriptor: this one, as the lower ones are open.
    const int taken = ::open("/dev/null", O_RDONLY);
    if (taken >= 0 && taken != fd) ::close(taken);
  }
}

SystemCalls& SystemCalls::Real() {
  static SystemCalls real;
  return real;
}

}  // namespace zandorik
