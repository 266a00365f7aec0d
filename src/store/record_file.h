// A data file of figure records, read and written in place by record
// number (counted from 1).
#pragma once

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>

#include "store/figure_record.h"
#include "store/system_calls.h"

namespace zandorik {

// How long a command waits for another program's lock on a data file
// before it says that the file is in use.
inline constexpr std::chrono::milliseconds kLockWait{3000};

// The error number of a lock that could not be had in time.
inline constexpr int kErrorInUse = EWOULDBLOCK;

class RecordFile {
 public:
  // ReadWrite creates a missing file; Existing opens it for reading and
  // writing only if it is there; ReadOnly never writes.
  // CreateNew makes a new file and fails with EEXIST when one is there.
  enum class Mode { ReadWrite, Existing, ReadOnly, CreateNew };
  // A lock on the whole file, held by this open file: shared by any number
  // of readers, or exclusive for one writer. Other programs that open the
  // file take the same locks.
  enum class LockKind { Shared, Exclusive };
  enum class ReadResult { Ok, EndOfFile, Failed };

  RecordFile() = default;
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;
  ~RecordFile();

  // ReadWrite creates a missing file empty and never shortens one.
  bool Open(const std::string& path, Mode mode, FileError* error);
  // Like Open with ReadWrite or Existing, but a file that may be read and
  // not written (permissions, a read-only mount) is opened read-only.
  bool OpenForWritingIfAllowed(const std::string& path, Mode mode, FileError* error);
  bool IsReadOnly() const { return readOnly_; }
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Waits up to `wait` for the lock; fails with kErrorInUse when another
  // program holds it all that time. A journal left beside the file by a
  // write that was cut short (FILE.QMV.journal, see journal.h) is rolled
  // back first, under the exclusive lock, whatever lock was asked for; a
  // file opened read-only is opened a second time to write it.
  bool Lock(LockKind kind, std::chrono::milliseconds wait, FileError* error);
  void Unlock();

  // The system calls that reads and writes go through (tests put in their
  // own); the real ones unless told otherwise.
  void SetSystemCalls(SystemCalls* calls) { calls_ = calls ? calls : &SystemCalls::Real(); }
  SystemCalls& Calls() const { return *calls_; }
  // The path the file was opened by.
  const std::string& Path() const { return path_; }

  // Size of the file in bytes; whole records N = size / 486.
  bool Size(std::int64_t& bytes, FileError* error) const;

  // Record n: Ok, or EndOfFile when n is past the last whole record.
  ReadResult Read(std::int64_t n, FigureRecord& record, FileError* error) const;
  // Writes record n (1 to N + 1; N + 1 appends); refuses any other n.
  bool Write(std::int64_t n, const FigureRecord& record, FileError* error);

  // Up to `count` raw records from record n on; returns how many whole
  // records were read (0 at the end), or -1 on failure.
  std::int64_t ReadRaw(std::int64_t n, std::uint8_t* buffer, std::int64_t count,
                       FileError* error) const;

  // Up to `count` bytes from a byte offset: how many were read, 0 at the
  // end of the file, -1 on failure (a read interrupted kStalledTries times
  // running is one).
  std::int64_t ReadSome(std::int64_t offset, std::uint8_t* bytes, std::size_t count,
                        FileError* error) const;
  // Exactly `count` bytes from a byte offset; fewer is an error.
  bool ReadAt(std::int64_t offset, std::uint8_t* bytes, std::size_t count, FileError* error) const;

  // Writes raw bytes at a byte offset, whole or with an error; a disk that
  // takes nothing several times running is an error too.
  bool WriteRaw(std::int64_t offset, const std::uint8_t* bytes, std::size_t count,
                FileError* error);
  // Flushes everything written so far to the disk.
  bool Sync(FileError* error);
  // Cuts the file back to `bytes`.
  bool Truncate(std::int64_t bytes, FileError* error);

  // What the file system says of the open file.
  struct Status {
    std::int64_t size = 0;
    std::uint64_t device = 0, inode = 0;
    bool writeBits = false;    // any of the owner, group or other write bits
    unsigned permissions = 0;  // the read, write and run bits
  };
  bool Stat(Status& status, FileError* error) const;

 private:
  // The lock alone, without a look for a journal.
  bool TakeLock(LockKind kind, std::chrono::milliseconds wait, FileError* error);
  // Rolls back the journal beside the file, the lock `kind` held.
  bool RollBack(LockKind kind, std::chrono::milliseconds wait, FileError* error);

  int fd_ = -1;
  bool readOnly_ = false;
  std::string path_;
  SystemCalls* calls_ = &SystemCalls::Real();
};

// Holds a lock for as long as it lives.
class FileLock {
 public:
  FileLock(RecordFile& file, RecordFile::LockKind kind, std::chrono::milliseconds wait,
           FileError* error)
      : file_(file.Lock(kind, wait, error) ? &file : nullptr) {}
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock() {
    if (file_) file_->Unlock();
  }
  explicit operator bool() const { return file_ != nullptr; }

 private:
  RecordFile* file_;
};

}  // namespace zandorik
