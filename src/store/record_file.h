// A data file of figure records, read and written in place by record
// number (counted from 1).
#pragma once

#include <cstdint>
#include <string>

#include "store/figure_record.h"

namespace zandorik {

// A failure of the file layer: the system's error number and its text.
struct FileError {
  int number = 0;
  std::string description;
};

class RecordFile {
 public:
  enum class Mode { ReadWrite, ReadOnly };
  enum class ReadResult { Ok, EndOfFile, Failed };

  RecordFile() = default;
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;
  ~RecordFile();

  // ReadWrite creates a missing file empty and never shortens one.
  bool Open(const std::string& path, Mode mode, FileError* error);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

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

  // Writes raw bytes at a byte offset, whole or with an error.
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
    bool writeBits = false;  // any of the owner, group or other write bits
  };
  bool Stat(Status& status, FileError* error) const;

 private:
  int fd_ = -1;
};

}  // namespace zandorik
