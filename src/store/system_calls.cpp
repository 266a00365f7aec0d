#include "store/system_calls.h"

#include <fcntl.h>
#include <unistd.h>

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

SystemCalls& SystemCalls::Real() {
  static SystemCalls real;
  return real;
}

}  // namespace zandorik
