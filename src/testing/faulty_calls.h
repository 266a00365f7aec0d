// System calls that fail where a test says; the real ones everywhere else.
// The calls on a data file's journal and on folders pass through untouched
// unless `journalToo` is set, so that a fault meant for the data file (or
// an output) lands there.
#pragma once

#include <fcntl.h>

#include <cerrno>
#include <functional>
#include <map>
#include <string>

#include "store/system_calls.h"

namespace zandorik {

struct FaultyCalls : SystemCalls {
  std::function<int(const char*, int, mode_t)> open;
  std::function<ssize_t(int, void*, size_t, off_t)> pread;
  std::function<ssize_t(int, const void*, size_t, off_t)> pwrite;
  std::function<ssize_t(int, const void*, size_t)> write;
  std::function<int(int)> fsync;
  std::function<int(const char*, const char*)> rename;
  bool journalToo = false;

  int Open(const char* path, int flags, mode_t mode) override {
    const int fd = open && Faulted(path, flags) ? open(path, flags, mode)
                                                : SystemCalls::Open(path, flags, mode);
    if (fd >= 0) passed_[fd] = !Faulted(path, flags);
    return fd;
  }
  ssize_t Pread(int fd, void* b, size_t n, off_t at) override {
    return pread && Faulted(fd) ? pread(fd, b, n, at) : SystemCalls::Pread(fd, b, n, at);
  }
  ssize_t Pwrite(int fd, const void* b, size_t n, off_t at) override {
    return pwrite && Faulted(fd) ? pwrite(fd, b, n, at) : SystemCalls::Pwrite(fd, b, n, at);
  }
  ssize_t Write(int fd, const void* b, size_t n) override {
    return write && Faulted(fd) ? write(fd, b, n) : SystemCalls::Write(fd, b, n);
  }
  int Fsync(int fd) override { return fsync && Faulted(fd) ? fsync(fd) : SystemCalls::Fsync(fd); }
  int Rename(const char* from, const char* to) override {
    return rename ? rename(from, to) : SystemCalls::Rename(from, to);
  }

 private:
  bool Faulted(const std::string& path, int flags) const {
    return journalToo || ((flags & O_DIRECTORY) == 0 && !path.ends_with(".journal"));
  }
  bool Faulted(int fd) const {
    const auto it = passed_.find(fd);
    return it == passed_.end() || !it->second;
  }
  std::map<int, bool> passed_;  // descriptor -> its calls pass through
};

// A failed call: -1 with errno `number`.
inline ssize_t Failing(int number) {
  errno = number;
  return -1;
}

}  // namespace zandorik
