// The few system calls through which every byte of a data file, its
// journal and every output passes. The real ones by default; tests put in
// their own to make the disk fail part way (a short write, a write that
// makes no progress, a failed flush, a read that ends early, a file that
// may only be read, a rename that fails).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>

namespace zandorik {

// A failure of the file layer: the system's error number and its text.
struct FileError {
  int number = 0;
  std::string description;
};

// Tries in a row that move no byte (interrupted, or nothing taken) before
// a read or a write counts as failed.
inline constexpr int kStalledTries = 8;

class SystemCalls {
 public:
  virtual ~SystemCalls() = default;
  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Pread(int fd, void* buffer, size_t count, off_t offset);
  virtual ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset);
  // At the descriptor's position: a file written front to back, a pipe, a
  // device.
  virtual ssize_t Write(int fd, const void* buffer, size_t count);
  virtual int Fsync(int fd);
  virtual int Ftruncate(int fd, off_t length);
  virtual int Rename(const char* from, const char* to);
  virtual int Unlink(const char* path);

  // The calls of the operating system.
  static SystemCalls& Real();
};

// Writes `count` bytes by steps, whole or with an error: `step(done)`
// writes from byte `done` on and answers as write(2) does. A write that
// takes nothing, or is interrupted, kStalledTries times running is an
// error too.
bool WriteInSteps(std::size_t count, const std::function<ssize_t(std::size_t done)>& step,
                  FileError* error);
// Writes `count` bytes at the descriptor's position, as WriteInSteps.
bool WriteWhole(SystemCalls& calls, int fd, const void* bytes, std::size_t count, FileError* error);

// Flushes the folder holding `path` to the disk, so that a name made or
// removed there survives a power loss.
bool SyncFolderOf(SystemCalls& calls, const std::string& path, FileError* error);

// The error `number` with the system's text for it.
FileError ErrorOf(int number);

// Called first thing by every program: a standard descriptor (input,
// output, error) that the program was started without is taken by
// /dev/null, opened for reading, so that no file opened later (a data
// file above all) becomes the program's output, and writing the output
// fails, and is reported, instead of landing in that file.
void ReserveStandardDescriptors();

}  // namespace zandorik
