// The data file in use: figures listed and found by name, written one whole
// record at a time and flushed to the disk before a write counts as done.
//
// Other programs (a second window, the command-line tools) may use the same
// file at the same time. Whoever reads it holds a shared lock while it
// reads, whoever writes holds the exclusive lock from the search for its
// record until the record is flushed, or put back: DataFile takes no lock
// by itself; the commands hold one (Lock) around each whole step.
#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/record_file.h"

namespace zandorik {

// One entry of the name list: the record it was listed from, and that
// record's stored name.
struct NameEntry {
  std::string shown;                          // cut at the first two spaces, as UTF-8
  std::int64_t record = 0;                    // record number, from 1
  std::array<char, kNameLength> stored = {};  // the 30 stored bytes
  bool operator==(const NameEntry&) const = default;
};

// The error number of a file that is not a data file: one of the kinds of
// file the project itself writes, or "-".
inline constexpr int kErrorNotDataFile = EMEDIUMTYPE;

// What a file beginning with `head` is when it is one of the kinds of file
// the project writes: "a JSON document", "a PDF document", "an SVG image",
// "a PNG image" (or "an XML document"); "" for anything else.
std::string ForeignKind(std::string_view head);

// What the whole contents `bytes` of a file are when they are no JSON text:
// a kind ForeignKind names other than a JSON document, or "a data file" (a
// whole number of records, the first holding a zero byte, which JSON text
// never does); else "".
std::string NonJsonKind(std::string_view bytes);

// Whether `path` may name a data file: "-" never does (it stands for
// standard input or output), nor, for a new data file (`creating`), a name
// ending in .json, .pdf, .svg or .png. Else `why` says so.
bool MayNameDataFile(const std::string& path, bool creating, std::string* why);

// Whether `path` (followed through links) is a regular file recognised as a
// data file: none of the kinds of file ForeignKind names, and either named
// .QMV (in any case, itself or the file a link leads to) or a whole number
// of records long.
bool IsDataFileOnDisk(const std::string& path);

// Whether the open `file` may be read as a data file: false, with
// kErrorNotDataFile and "PATH is not a data file: it looks like a JSON
// document.", when its first bytes are those of a kind of file the
// project writes.
bool CheckDataFileContent(const RecordFile& file, FileError* error);

// For a name not found: "; did you mean "Alley Cat"?" when a stored name
// differs from `wanted` only in letter case or spaces, else "".
std::string NameHint(std::string_view wanted, const std::vector<NameEntry>& names);

class DataFile {
 public:
  // Opens for reading and writing; a missing file is created empty (only
  // with `create`), an existing one is never shortened. A file that may be
  // read but not written is opened for reading: see IsReadOnly. Fails with
  // kErrorNotDataFile for what MayNameDataFile and CheckDataFileContent
  // refuse.
  bool Open(const std::string& path, bool create, FileError* error);
  void Close() { file_.Close(); }
  bool IsOpen() const { return file_.IsOpen(); }
  bool IsReadOnly() const { return file_.IsReadOnly(); }
  const std::string& Path() const { return path_; }

  // Waits up to `wait` for the file's lock; FileLock releases it.
  FileLock Lock(RecordFile::LockKind kind, std::chrono::milliseconds wait, FileError* error) {
    return FileLock(file_, kind, wait, error);
  }
  void SetSystemCalls(SystemCalls* calls) { file_.SetSystemCalls(calls); }

  // Calls visit(n, record) for each stored figure in record order, a few
  // hundred records read at a time, until it returns false.
  bool EachFigure(const std::function<bool(std::int64_t, const FigureRecord&)>& visit,
                  FileError* error) const;

  // The name list: one entry for each stored figure, in record order.
  bool ListNames(std::vector<NameEntry>& names, FileError* error) const;

  struct Found {
    std::int64_t number = 0;  // record number, from 1
    bool stored = false;      // a figure of that name was found
  };
  // Where the window saves the figure `name` (UTF-8): PlaceFigures for
  // that one name, cut or padded to 30 characters in the code page.
  bool FindRecordByName(const std::string& name, Found& found, FileError* error) const;

  bool Read(std::int64_t n, FigureRecord& record, FileError* error) const;
  // The record an entry of the name list was listed from, if it still
  // holds the figure of that stored name (`listed` false when it does not:
  // the file was changed since).
  bool ReadListed(const NameEntry& entry, FigureRecord& record, bool& listed,
                  FileError* error) const;

  // Whether the file may be written now; else `why` not: a length that is
  // no whole number of records, a file removed or replaced since it was
  // opened, or a file that may only be read.
  bool MayWrite(std::string* why) const;
  // Removes the file, and closes it, when it holds nothing (a data file
  // made for a write that failed) and its path still names it.
  bool RemoveIfEmpty(FileError* error);

  // Whether the file holds whole records only; else `notice` says what is
  // wrong and the way out.
  bool IsWhole(std::string* notice) const;

  // Writes record n (1 to N + 1) and flushes it to the disk. On failure
  // the record's old bytes, or the old length, are put back and flushed;
  // `putBack` then says whether that worked (number 0) or why it did not.
  bool Write(std::int64_t n, const FigureRecord& record, FileError* error, FileError* putBack);

  // The one rule of where a saved figure goes, for the window's saves and
  // for imports alike: each of `names` (30 stored bytes each; any other
  // length matches no record), saved one after another, goes over the
  // first record of exactly that name, deleted or not, else into the last
  // deleted record left, else after the last record. `stored` says that a
  // figure of that name was replaced.
  bool PlaceFigures(const std::vector<std::string>& names, std::vector<Found>& places,
                    FileError* error) const;

  // One record to write: its number and the figure.
  struct Placed {
    std::int64_t number = 0;
    const FigureRecord* record = nullptr;
  };
  // Writes the records in order (each number at most one past the last
  // record so far) and flushes them to the disk once, at the end, all or
  // nothing: the old bytes of every record written in place and the old
  // length go first to the file's journal (journal.h), flushed, which is
  // removed after the last flush. On a failure, or SIGINT or SIGTERM, every
  // record already written, the failed one included, gets its old bytes
  // back, the file its old length, and that is flushed (then the signal
  // ends the program); `failedAt` is the index of the write that failed
  // (records.size() for the flush), `putBack` says whether putting back
  // worked (number 0) or why it did not (the journal then stays, for the
  // next program that locks the file). Killed or cut off by a power loss,
  // the write is rolled back by that next program.
  bool WriteAll(const std::vector<Placed>& records, FileError* error, FileError* putBack,
                std::size_t* failedAt);

  // Opens an existing data file only to read it, never to write it: fails
  // as RecordFile::Open does, and for what CheckDataFileContent refuses.
  bool OpenToRead(const std::string& path, FileError* error);

  // Calls visit(n, bytes) for records 1, 2, ... until it returns false or
  // the last whole record is passed, reading to the end of the file (files
  // under /proc say they are empty). Every whole record that the file's
  // length holds must be read: a read that ends early is a failure.
  // `tailBytes`, when not null, gets the bytes past the last whole record.
  template <typename Visit>
  bool Scan(Visit visit, FileError* error, std::int64_t* tailBytes = nullptr) const;

 private:
  static constexpr std::int64_t kScanChunk = 512;  // records read at a time
  static void ShortRead(std::int64_t n, std::int64_t records, FileError* error);

  RecordFile file_;
  std::string path_;
};

// What `zandorik repair` did to a damaged data file.
struct RepairReport {
  std::int64_t records = 0;    // whole records kept
  std::int64_t tailBytes = 0;  // bytes past them, copied and cut off
  std::string tailPath;        // where they were copied ("" when none)
};
// Copies the bytes past the last whole record to PATH.tail (never over an
// existing file but an empty one), flushes that copy, then cuts the data
// file to whole records under the exclusive lock. A file of whole records
// is left as it is (tailBytes 0).
// Fails with EEXIST when PATH.tail is there already and not empty,
// kErrorInUse when the lock cannot be had, kErrorNotDataFile for what
// CheckDataFileContent refuses; the description names the file and what is
// wrong.
bool RepairDataFile(const std::string& path, std::chrono::milliseconds wait, RepairReport& report,
                    FileError* error);

template <typename Visit>
bool DataFile::Scan(Visit visit, FileError* error, std::int64_t* tailBytes) const {
  constexpr auto kRecordBytes = static_cast<std::int64_t>(kRecordLength);
  std::int64_t size = 0;
  if (!file_.Size(size, error)) return false;
  const std::int64_t records = size / kRecordBytes;  // at least these are there
  std::vector<std::uint8_t> buffer(
      static_cast<std::size_t>(std::clamp<std::int64_t>(records + 1, 1, kScanChunk)) *
      kRecordLength);
  std::size_t held = 0;    // bytes in the buffer: part of a record at most, between reads
  std::int64_t total = 0;  // bytes read
  std::int64_t n = 1;      // the record of the buffer's first byte
  for (;;) {
    const std::int64_t got =
        file_.ReadSome(total, buffer.data() + held, buffer.size() - held, error);
    if (got < 0) return false;
    if (got == 0) break;
    held += static_cast<std::size_t>(got);
    total += got;
    const std::size_t whole = held / kRecordLength;
    for (std::size_t i = 0; i < whole; ++i, ++n)
      if (!visit(n, buffer.data() + i * kRecordLength)) return true;
    held -= whole * kRecordLength;
    std::copy_n(buffer.data() + whole * kRecordLength, held, buffer.data());
  }
  // The length said there is more: never take a short read for the end.
  if (n <= records) {
    ShortRead(n, records, error);
    return false;
  }
  if (tailBytes) *tailBytes = static_cast<std::int64_t>(held);
  return true;
}

}  // namespace zandorik
