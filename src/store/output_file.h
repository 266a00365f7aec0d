// The output of a command (an exported document, a dial sheet, any file a
// command writes besides its data file), the same way for every command:
//
// - a regular file, or a name not yet taken, is written to a temporary
//   file beside it (NAME.XXXXXX), flushed, and renamed over NAME by Commit
//   once it is whole: a failure leaves the file that was there as it was,
//   and no new file;
// - anything else a name can stand for (a FIFO, a terminal, a character
//   device such as /dev/null or /dev/full, /dev/stdout) is written to
//   directly, as a stream, and a failed write is an error all the same;
// - a symbolic link is followed to its target, which is written (or
//   replaced); the link stays a link;
// - the command's own input (its data file) is never written: Open refuses
//   an output that is the same file (device and inode) through any name,
//   path, symbolic or hard link; nor is any other data file: Open refuses
//   an existing file recognised as one (IsDataFileOnDisk), whatever its name;
// - names are bytes, passed to the system as they were given.
//
// Every byte goes through the SystemCalls seam, every write and the flush
// are checked. Standard output (`-o -`) is the program's FILE*.
#pragma once

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "store/system_calls.h"

namespace zandorik {

// The error number of an output that is one of the command's inputs.
inline constexpr int kErrorOutputIsInput = EEXIST;
// The error number of an output that is an existing data file.
inline constexpr int kErrorOutputIsDataFile = EPERM;

// Whether `number` is an output refused for the file it would destroy:
// nothing was written, and the command line was at fault.
inline bool IsRefusedOutput(int number) {
  return number == kErrorOutputIsInput || number == kErrorOutputIsDataFile;
}

// False, with kErrorOutputIsDataFile and a description naming the file,
// when `path` names (through any links) an existing data file, which
// writing any other kind of file over would destroy.
bool RefuseDataFileOutput(const std::string& path, FileError* error);

class OutputFile {
 public:
  explicit OutputFile(SystemCalls* calls = nullptr)
      : calls_(calls ? calls : &SystemCalls::Real()) {}
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  OutputFile(OutputFile&& other) noexcept;
  // Discards what was not committed.
  ~OutputFile() { Discard(); }

  // Opens the output named `path`. Fails with kErrorOutputIsInput when it
  // is one of `inputs` (the description names both), with
  // kErrorOutputIsDataFile when it is another data file, else with the
  // system's error.
  bool Open(const std::string& path, const std::vector<std::string>& inputs, FileError* error);
  // The program's standard output as the output; refused like a name when
  // it is one of `inputs` (`zandorik export d.QMV >> d.QMV`).
  bool OpenStandardOutput(std::FILE* out, const std::vector<std::string>& inputs, FileError* error);

  // Whether the output is written directly (standard output, a FIFO, a
  // device), rather than put in place by Commit.
  bool IsStream() const { return temporary_.empty(); }

  // Appends bytes; after a failure every later write fails with the same
  // error.
  bool Write(std::string_view bytes, FileError* error);
  // Flushes the output, and puts a file in place. False when anything
  // failed since Open: nothing is then put in place.
  bool Commit(FileError* error);
  // Closes the output; a temporary file is removed.
  void Discard();

 private:
  bool Fail(const FileError& why, FileError* error);

  SystemCalls* calls_;
  int fd_ = -1;
  std::FILE* stream_ = nullptr;  // standard output
  std::string target_;           // the file put in place (a link's target)
  std::string temporary_;        // "" for a stream
  FileError failed_;             // the first failure, number 0 for none
};

}  // namespace zandorik
