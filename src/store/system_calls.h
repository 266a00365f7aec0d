// The few system calls through which every byte of a data file passes.
// The real ones by default; tests put in their own to make the disk fail
// part way (a short write, a write that makes no progress, a failed
// flush, a read that ends early, a file that may only be read).
#pragma once

#include <sys/types.h>

namespace zandorik {

class SystemCalls {
 public:
  virtual ~SystemCalls() = default;
  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Pread(int fd, void* buffer, size_t count, off_t offset);
  virtual ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset);
  virtual int Fsync(int fd);
  virtual int Ftruncate(int fd, off_t length);

  // The calls of the operating system.
  static SystemCalls& Real();
};

// Called first thing by every program: a standard descriptor (input,
// output, error) that the program was started without is taken by
// /dev/null, opened for reading, so that no file opened later (a data
// file above all) becomes the program's output, and writing the output
// fails, and is reported, instead of landing in that file.
void ReserveStandardDescriptors();

}  // namespace zandorik
