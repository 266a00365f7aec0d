// The stored figures a command reads: the data file opened for reading
// under its shared lock, and every figure or those named (export, code), or
// one figure read by name (reach, worth).
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

#include "model/figure.h"
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

// One stored figure read by name, for the commands that work on a single
// figure (`zandorik reach`, `zandorik worth`).
struct StoredFigure {
  FigureScreen screen;              // as loading it in the window shows it
  std::vector<std::string> damage;  // of the file and of the record, if any
};

// Reads the first figure whose stored name is `name` (letter case counts,
// trailing blanks aside) under the file's shared lock. False, with the
// reason and the exit status it calls for (kExitUnreadable, kExitUsage for
// a name the file does not hold), when it cannot.
bool ReadStoredFigure(const std::string& path, const std::string& name, StoredFigure& figure,
                      int& status, std::string* why);

// "P points (total X)", or "no points (total X)" for a total that leaves
// the range of whole numbers.
std::string PointsAndTotal(std::optional<std::int32_t> points, double total);

}  // namespace zandorik
