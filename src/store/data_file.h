// The data file in use: figures listed and found by name, written one whole
// record at a time and flushed to the disk before a write counts as done.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/record_file.h"

namespace zandorik {

class DataFile {
 public:
  // Opens for reading and writing; a missing file is created empty, an
  // existing one is never shortened.
  bool Open(const std::string& path, FileError* error);
  void Close() { file_.Close(); }
  bool IsOpen() const { return file_.IsOpen(); }
  const std::string& Path() const { return path_; }

  // The name list: one entry for each stored figure, in record order, its
  // stored name cut at the first two spaces.
  bool ListNames(std::vector<std::string>& names, FileError* error) const;

  enum class Search {
    // The first stored figure whose name begins with the name, read as a
    // pattern; deleted records are passed over. A name that is no valid
    // pattern, or that matches nothing, is tried again taken literally.
    Load,
    // The record whose stored name is exactly the name cut or padded to 30
    // characters, byte for byte; else the last deleted record, else the
    // place after the last record.
    Write,
  };
  struct Found {
    std::int64_t number = 0;  // record number, from 1
    bool stored = false;      // a figure of that name was found
  };
  bool FindRecordByName(const std::string& name, Search search, Found& found,
                        FileError* error) const;

  bool Read(std::int64_t n, FigureRecord& record, FileError* error) const;

  // Why the file must not be written now ("" when it may): a length that
  // is no whole number of records, a file removed or replaced since it was
  // opened, or a file marked read-only.
  std::string WriteRefusal() const;
  // Writes record n (1 to N + 1) and flushes it to the disk. On failure
  // the record's old bytes, or the old length, are put back.
  bool Write(std::int64_t n, const FigureRecord& record, FileError* error);

 private:
  // Calls visit(n, bytes) for records 1, 2, ... until it returns false or
  // the last whole record is passed.
  template <typename Visit>
  bool Scan(Visit visit, FileError* error) const;

  RecordFile file_;
  std::string path_;
};

}  // namespace zandorik
