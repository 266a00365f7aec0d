// The stored figures a command reads (export, code): the data file opened
// for reading under its shared lock, and every figure or those named.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/data_file.h"

namespace zandorik {

class StoredFigures {
 public:
  // Opens `path` (a data file only: a regular file that is not one of the
  // documents the project writes) through `calls` (the real ones when
  // null), takes its shared lock, waiting up to 3 seconds, and finds the
  // records of `names`: exact stored names, in the order given; none for
  // every figure. Done: kExitOk. Else each problem is said on `err` after
  // `who` (a name not found with a hint at a stored name that differs only
  // in letter case or spaces), and the exit status is returned.
  int Open(const std::string& path, std::span<const std::string> names, std::FILE* err,
           std::string_view who, SystemCalls* calls = nullptr);
  // Calls visit for each chosen figure, in record order or in the order
  // named, until it returns false. False when a record cannot be read.
  bool Each(const std::function<bool(const FigureRecord&)>& visit, FileError* error) const;
  const DataFile& File() const { return file_; }

 private:
  DataFile file_;
  std::unique_ptr<FileLock> lock_;
  std::vector<std::int64_t> chosen_;
  bool every_ = true;
};

// The points as Calculate gives them.
std::optional<std::int32_t> FigurePoints(const FigureRecord& record);

}  // namespace zandorik
