#include "store/data_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "store/cp1252.h"
#include "store/names.h"

namespace zandorik {
namespace {

constexpr std::int64_t kScanChunk = 512;  // records read at a time

bool IsDeletedBytes(const std::uint8_t* record) {
  return record[record_offset::kDeleted] != 0 || record[record_offset::kDeleted + 1] != 0;
}

std::string_view StoredName(const std::uint8_t* record) {
  return {reinterpret_cast<const char*>(record + record_offset::kName), kNameLength};
}

std::int64_t Offset(std::int64_t n) {
  return (n - 1) * static_cast<std::int64_t>(kRecordLength);
}

}  // namespace

bool DataFile::Open(const std::string& path, FileError* error) {
  if (!file_.Open(path, RecordFile::Mode::ReadWrite, error)) return false;
  path_ = path;
  return true;
}

template <typename Visit>
bool DataFile::Scan(Visit visit, FileError* error) const {
  std::vector<std::uint8_t> buffer(kScanChunk * kRecordLength);
  for (std::int64_t n = 1;;) {
    const std::int64_t got = file_.ReadRaw(n, buffer.data(), kScanChunk, error);
    if (got < 0) return false;
    for (std::int64_t i = 0; i < got; ++i) {
      if (!visit(n + i, buffer.data() + i * static_cast<std::int64_t>(kRecordLength))) return true;
    }
    if (got < kScanChunk) return true;
    n += got;
  }
}

bool DataFile::ListNames(std::vector<std::string>& names, FileError* error) const {
  std::vector<std::string> listed;
  std::int64_t bytes = 0;
  if (file_.Size(bytes, nullptr)) listed.reserve(static_cast<std::size_t>(bytes / kRecordLength));
  std::string name;
  const bool ok = Scan(
      [&](std::int64_t, const std::uint8_t* record) {
        if (!IsDeletedBytes(record)) {
          name.assign(StoredName(record));
          listed.push_back(DecodeCp1252(Unstring(name, "  ")));
        }
        return true;
      },
      error);
  if (ok) names = std::move(listed);
  return ok;
}

bool DataFile::FindRecordByName(const std::string& name, Search search, Found& found,
                                FileError* error) const {
  found = Found{};
  const std::optional<std::string> bytes = EncodeCp1252Exactly(name);
  std::int64_t count = 0;
  if (search == Search::Write) {
    // A name the code page cannot hold is stored nowhere.
    const std::optional<std::string> wanted = EncodeCp1252Exactly(FitName(name));
    std::int64_t freeSlot = 0;
    const bool ok = Scan(
        [&](std::int64_t n, const std::uint8_t* record) {
          count = n;
          if (wanted && StoredName(record) == *wanted) {
            found = {n, !IsDeletedBytes(record)};
            return false;
          }
          if (IsDeletedBytes(record)) freeSlot = n;
          return true;
        },
        error);
    if (!ok) return false;
    if (found.number == 0) found.number = freeSlot != 0 ? freeSlot : count + 1;
    return true;
  }

  if (!bytes) return true;
  const auto firstMatch = [&](const NamePattern& pattern) {
    return Scan(
        [&](std::int64_t n, const std::uint8_t* record) {
          if (IsDeletedBytes(record) || !pattern.Matches(StoredName(record))) return true;
          found = {n, true};
          return false;
        },
        error);
  };
  if (const std::optional<NamePattern> pattern = NamePattern::Parse(*bytes + "*")) {
    if (!firstMatch(*pattern)) return false;
    if (found.stored) return true;
  }
  // Taken literally: every character in brackets stands for itself.
  std::string literal;
  for (char c : *bytes) {
    if (c == '*' || c == '?' || c == '#' || c == '[') {
      literal += '[';
      literal += c;
      literal += ']';
    } else {
      literal += c;
    }
  }
  return firstMatch(*NamePattern::Parse(literal + "*"));
}

bool DataFile::Read(std::int64_t n, FigureRecord& record, FileError* error) const {
  switch (file_.Read(n, record, error)) {
    case RecordFile::ReadResult::Ok:
      return true;
    case RecordFile::ReadResult::EndOfFile:  // the file was cut short meanwhile
      if (error) *error = FileError{ENODATA, std::strerror(ENODATA)};
      return false;
    case RecordFile::ReadResult::Failed:
      break;
  }
  return false;
}

std::string DataFile::WriteRefusal() const {
  RecordFile::Status status;
  FileError error;
  if (!file_.Stat(status, &error)) return "The data file cannot be examined: " + error.description;
  if (status.size % static_cast<std::int64_t>(kRecordLength) != 0) {
    return "The data file " + path_ + " is damaged: it is " + std::to_string(status.size) +
           " bytes long, which is not a whole number of " + std::to_string(kRecordLength) +
           "-byte records. Nothing was written.";
  }
  struct stat there {};
  if (::stat(path_.c_str(), &there) != 0 || there.st_ino != status.inode ||
      there.st_dev != status.device) {
    return "The data file " + path_ +
           " is no longer where it was opened: it was removed, moved or replaced. Nothing was "
           "written. Choose the file again with Open File or New File.";
  }
  if (!status.writeBits) {
    return "The data file " + path_ + " is read-only. Nothing was written.";
  }
  return {};
}

bool DataFile::Write(std::int64_t n, const FigureRecord& record, FileError* error) {
  RecordFile::Status status;
  if (!file_.Stat(status, error)) return false;
  RecordBytes old{};
  const bool inPlace = n <= status.size / static_cast<std::int64_t>(kRecordLength);
  if (inPlace && file_.ReadRaw(n, old.data(), 1, error) != 1) return false;
  if (file_.Write(n, record, error) && file_.Sync(error)) return true;
  // Put back what was there, so that only a whole record ever counts.
  FileError ignored;
  if (inPlace) {
    file_.WriteRaw(Offset(n), old.data(), old.size(), &ignored);
  } else {
    file_.Truncate(status.size, &ignored);
  }
  file_.Sync(&ignored);
  return false;
}

}  // namespace zandorik
