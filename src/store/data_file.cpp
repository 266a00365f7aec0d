#include "store/data_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "store/cp1252.h"
#include "store/journal.h"
#include "store/names.h"

namespace zandorik {
namespace {

constexpr auto kRecordBytes = static_cast<std::int64_t>(kRecordLength);

bool IsDeletedBytes(const std::uint8_t* record) {
  return record[record_offset::kDeleted] != 0 || record[record_offset::kDeleted + 1] != 0;
}

std::string_view StoredName(const std::uint8_t* record) {
  return {reinterpret_cast<const char*>(record + record_offset::kName), kNameLength};
}

std::int64_t Offset(std::int64_t n) {
  return (n - 1) * kRecordBytes;
}

std::string DamageText(const std::string& path, std::int64_t size) {
  return "The data file " + path + " is damaged: it is " + std::to_string(size) +
         " bytes long, which is not a whole number of " + std::to_string(kRecordLength) +
         "-byte records.";
}

}  // namespace

std::string ForeignKind(std::string_view head) {
  if (head.starts_with("\x89PNG\r\n\x1a\n")) return "a PNG image";
  if (head.starts_with("%PDF-")) return "a PDF document";
  if (head.starts_with("\xEF\xBB\xBF")) head.remove_prefix(3);
  const auto skipBlanks = [&head] {
    while (!head.empty() &&
           (head[0] == ' ' || head[0] == '\t' || head[0] == '\n' || head[0] == '\r'))
      head.remove_prefix(1);
  };
  skipBlanks();
  if (head.starts_with("<svg")) return "an SVG image";
  if (head.starts_with("<?xml"))
    return head.find("<svg") != std::string_view::npos ? "an SVG image" : "an XML document";
  if (head.starts_with("{") || head.starts_with("[")) {
    head.remove_prefix(1);
    skipBlanks();
    if (!head.empty() && std::string_view("\"{}[]").find(head[0]) != std::string_view::npos)
      return "a JSON document";
  }
  return {};
}

std::string NonJsonKind(std::string_view bytes) {
  if (std::string kind = ForeignKind(bytes.substr(0, 512));
      !kind.empty() && kind != "a JSON document")
    return kind;
  if (!bytes.empty() && bytes.size() % kRecordLength == 0 &&
      bytes.substr(0, kRecordLength).find('\0') != std::string_view::npos) {
    return "a data file";
  }
  return {};
}

bool MayNameDataFile(const std::string& path, bool creating, std::string* why) {
  const auto refuse = [why](std::string text) {
    if (why) *why = std::move(text);
    return false;
  };
  if (path == "-") {
    return refuse(
        "\"-\" is never a data file (it stands for standard input or output): name the data "
        "file, as figures.QMV");
  }
  const std::size_t dot = path.rfind('.');
  if (!creating || dot == std::string::npos || path.find('/', dot) != std::string::npos)
    return true;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  static constexpr std::pair<std::string_view, std::string_view> kKinds[] = {
      {"json", "a JSON document"},
      {"pdf", "a PDF document"},
      {"svg", "an SVG image"},
      {"png", "a PNG image"}};
  for (const auto& [ending, kind] : kKinds) {
    if (extension == ending) {
      return refuse(path + " would be a new data file named as " + std::string(kind) +
                    " is: give the data file a name ending in .QMV, as figures.QMV");
    }
  }
  return true;
}

bool IsDataFileOnDisk(const std::string& path) {
  struct stat there {};
  if (::stat(path.c_str(), &there) != 0 || !S_ISREG(there.st_mode)) return false;
  std::array<char, 512> head{};
  std::size_t got = 0;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    got = std::fread(head.data(), 1, head.size(), file);
    std::fclose(file);
  }
  if (!ForeignKind({head.data(), got}).empty()) return false;
  const auto namedQmv = [](std::string_view name) {
    if (name.size() < 4) return false;
    std::string ending(name.substr(name.size() - 4));
    for (char& c : ending)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return ending == ".QMV";
  };
  if (namedQmv(path)) return true;
  if (char* real = ::realpath(path.c_str(), nullptr)) {
    const bool named = namedQmv(real);
    std::free(real);
    if (named) return true;
  }
  return there.st_size > 0 && there.st_size % kRecordBytes == 0;
}

bool CheckDataFileContent(const RecordFile& file, FileError* error) {
  std::array<std::uint8_t, 512> head{};
  const std::int64_t got = file.ReadSome(0, head.data(), head.size(), error);
  if (got < 0) return false;
  const std::string kind =
      ForeignKind({reinterpret_cast<const char*>(head.data()), static_cast<std::size_t>(got)});
  if (kind.empty()) return true;
  if (error) {
    *error = FileError{kErrorNotDataFile,
                       file.Path() + " is not a data file: it looks like " + kind + "."};
  }
  return false;
}

std::string NameHint(std::string_view wanted, const std::vector<NameEntry>& names) {
  std::vector<std::string> stored;
  stored.reserve(names.size());
  for (const NameEntry& entry : names) {
    std::string_view name(entry.stored.data(), entry.stored.size());
    name = name.substr(0, name.find_last_not_of(' ') + 1);
    stored.push_back(DecodeCp1252(name));
  }
  const std::string similar = SimilarName(wanted, stored);
  return similar.empty() ? std::string() : "; did you mean \"" + similar + "\"?";
}

bool DataFile::Open(const std::string& path, bool create, FileError* error) {
  struct stat there {};
  std::string why;
  if (!MayNameDataFile(path, create && ::stat(path.c_str(), &there) != 0, &why)) {
    if (error) *error = FileError{kErrorNotDataFile, why};
    return false;
  }
  const auto mode = create ? RecordFile::Mode::ReadWrite : RecordFile::Mode::Existing;
  if (!file_.OpenForWritingIfAllowed(path, mode, error)) return false;
  if (!CheckDataFileContent(file_, error)) {
    file_.Close();
    return false;
  }
  path_ = path;
  return true;
}

bool DataFile::OpenToRead(const std::string& path, FileError* error) {
  if (!file_.Open(path, RecordFile::Mode::ReadOnly, error)) return false;
  if (!CheckDataFileContent(file_, error)) {
    file_.Close();
    return false;
  }
  path_ = path;
  return true;
}

void DataFile::ShortRead(std::int64_t n, std::int64_t records, FileError* error) {
  if (error) {
    *error = FileError{EIO, "The data file could not be read whole: record " + std::to_string(n) +
                                " of " + std::to_string(records) + " came back empty"};
  }
}

bool DataFile::EachFigure(const std::function<bool(std::int64_t, const FigureRecord&)>& visit,
                          FileError* error) const {
  FigureRecord record;
  return Scan(
      [&](std::int64_t n, const std::uint8_t* bytes) {
        if (IsDeletedBytes(bytes)) return true;
        DecodeRecordNumbers(bytes, record);
        record.Name.clear();
        AppendCp1252(StoredName(bytes), record.Name);
        return visit(n, record);
      },
      error);
}

bool DataFile::ListNames(std::vector<NameEntry>& names, FileError* error) const {
  std::vector<NameEntry> listed;
  std::int64_t bytes = 0;
  if (file_.Size(bytes, nullptr)) listed.reserve(static_cast<std::size_t>(bytes / kRecordBytes));
  std::string name;
  const bool ok = Scan(
      [&](std::int64_t n, const std::uint8_t* record) {
        if (!IsDeletedBytes(record)) {
          NameEntry& entry = listed.emplace_back();
          const std::string_view stored = StoredName(record);
          std::copy(stored.begin(), stored.end(), entry.stored.begin());
          entry.record = n;
          name.assign(stored);
          entry.shown = DecodeCp1252(Unstring(name, "  "));
        }
        return true;
      },
      error);
  if (ok) names = std::move(listed);
  return ok;
}

bool DataFile::FindRecordByName(const std::string& name, Found& found, FileError* error) const {
  // A name the code page cannot hold is stored nowhere: "" matches no
  // record's 30 bytes, so it goes where a new name would.
  std::vector<Found> places;
  if (!PlaceFigures({EncodeCp1252Exactly(FitName(name)).value_or("")}, places, error)) return false;
  found = places.front();
  return true;
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

bool DataFile::ReadListed(const NameEntry& entry, FigureRecord& record, bool& listed,
                          FileError* error) const {
  RecordBytes bytes;
  const std::int64_t got = file_.ReadRaw(entry.record, bytes.data(), 1, error);
  if (got < 0) return false;
  listed = got == 1 && !IsDeletedBytes(bytes.data()) &&
           StoredName(bytes.data()) == std::string_view(entry.stored.data(), kNameLength);
  if (listed) record = DecodeRecord(bytes.data());
  return true;
}

bool DataFile::IsWhole(std::string* notice) const {
  RecordFile::Status status;
  if (!file_.Stat(status, nullptr) || status.size % kRecordBytes == 0) return true;
  if (notice) {
    *notice = DamageText(path_, status.size) +
              " Its whole records can be read, but nothing will be written to it. To repair "
              "it, run: zandorik repair " +
              path_;
  }
  return false;
}

bool DataFile::MayWrite(std::string* why) const {
  const auto refuse = [why](std::string text) {
    if (why) *why = std::move(text);
    return false;
  };
  RecordFile::Status status;
  FileError error;
  if (!file_.Stat(status, &error)) {
    return refuse("The data file cannot be examined: " + error.description);
  }
  if (status.size % kRecordBytes != 0) {
    return refuse(DamageText(path_, status.size) +
                  " Nothing was written. To repair it, run: zandorik repair " + path_);
  }
  struct stat there {};
  if (::stat(path_.c_str(), &there) != 0 || there.st_ino != status.inode ||
      there.st_dev != status.device) {
    return refuse("The data file " + path_ +
                  " is no longer where it was opened: it was removed, moved or replaced. Nothing "
                  "was written. Choose the file again with Open File or New File.");
  }
  if (file_.IsReadOnly() || !status.writeBits) {
    return refuse("The data file " + path_ + " is read-only. Nothing was written.");
  }
  return true;
}

bool DataFile::RemoveIfEmpty(FileError* error) {
  RecordFile::Status status;
  struct stat there {};
  if (!file_.Stat(status, error)) return false;
  if (status.size != 0 || ::stat(path_.c_str(), &there) != 0 || there.st_ino != status.inode ||
      there.st_dev != status.device) {
    if (error) *error = FileError{ENOTEMPTY, "The data file is not empty"};
    return false;
  }
  if (file_.Calls().Unlink(path_.c_str()) != 0) {
    if (error) *error = ErrorOf(errno);
    return false;
  }
  file_.Close();
  return true;
}

bool DataFile::Write(std::int64_t n, const FigureRecord& record, FileError* error,
                     FileError* putBack) {
  return WriteAll({{n, &record}}, error, putBack, nullptr);
}

bool DataFile::PlaceFigures(const std::vector<std::string>& names, std::vector<Found>& places,
                            FileError* error) const {
  // Only the records whose name is wanted are remembered, and the deleted
  // ones: each save then takes the first of its name, or the last free.
  std::unordered_map<std::string_view, std::vector<std::int64_t>> byName;  // record order
  byName.reserve(names.size());
  for (const std::string& name : names)
    byName[name];
  std::vector<std::int64_t> freeSlots;                        // ascending; the last is taken first
  std::unordered_map<std::int64_t, std::string_view> holder;  // record -> wanted name it holds
  std::int64_t count = 0;
  const bool ok = Scan(
      [&](std::int64_t n, const std::uint8_t* record) {
        count = n;
        const auto it = byName.find(StoredName(record));
        if (it != byName.end()) {
          it->second.push_back(n);
          holder[n] = it->first;
        }
        if (IsDeletedBytes(record)) freeSlots.push_back(n);
        return true;
      },
      error);
  if (!ok) return false;
  std::unordered_set<std::int64_t> taken;  // no longer free: written by an earlier save
  places.assign(names.size(), Found{});
  const std::unordered_set<std::int64_t> deleted(freeSlots.begin(), freeSlots.end());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const auto wanted = byName.find(names[i]);
    Found& place = places[i];
    if (!wanted->second.empty()) {
      place.number = wanted->second.front();
      place.stored = taken.contains(place.number) || !deleted.contains(place.number);
    } else {
      while (!freeSlots.empty() && taken.contains(freeSlots.back()))
        freeSlots.pop_back();
      if (!freeSlots.empty()) {
        place.number = freeSlots.back();
        freeSlots.pop_back();
      } else {
        place.number = ++count;
      }
    }
    // The record now holds this name, and no other.
    const std::int64_t n = place.number;
    if (const auto old = holder.find(n); old != holder.end()) {
      std::vector<std::int64_t>& at = byName[old->second];
      at.erase(std::find(at.begin(), at.end(), n));
    }
    std::vector<std::int64_t>& mine = wanted->second;
    mine.insert(std::lower_bound(mine.begin(), mine.end(), n), n);
    holder[n] = wanted->first;
    taken.insert(n);
  }
  return true;
}

bool DataFile::WriteAll(const std::vector<Placed>& records, FileError* error, FileError* putBack,
                        std::size_t* failedAt) {
  if (putBack) *putBack = FileError{};
  if (failedAt) *failedAt = 0;
  RecordFile::Status status;
  if (!file_.Stat(status, error)) return false;
  const std::int64_t oldRecords = status.size / kRecordBytes;
  // The old bytes of each record written in place, once each, go to the
  // journal before the first write.
  JournalContents journal;
  journal.oldLength = status.size;
  std::unordered_set<std::int64_t> kept;
  for (const Placed& placed : records) {
    if (placed.number > oldRecords || !kept.insert(placed.number).second) continue;
    RecordBytes& bytes = journal.records.emplace_back(placed.number, RecordBytes{}).second;
    if (file_.ReadRaw(placed.number, bytes.data(), 1, error) != 1) {
      if (error && error->number == 0) *error = FileError{EIO, "The record could not be read"};
      return false;
    }
  }
  // Ctrl-C or a request to end stops the writing between two steps; the
  // program ends once the old records are back and the journal is gone.
  const HeldSignals signals;
  const auto interrupted = [&] {
    if (!signals.Pending()) return false;
    if (error) *error = FileError{EINTR, "Interrupted: the program was asked to end"};
    return true;
  };
  // The whole old file's check sum ties the journal to it.
  if (!ChecksumOfFile(file_, status.size, {}, journal.oldChecksum, error)) return false;
  if (!WriteJournal(file_.Calls(), file_.Path(), status.permissions, journal, error)) return false;
  std::size_t done = 0;
  bool ok = true;
  for (; done < records.size() && ok; ++done) {
    ok = !interrupted() && file_.Write(records[done].number, *records[done].record, error);
    if (!ok) break;
  }
  if (ok && !interrupted() && file_.Sync(error) && !interrupted() &&
      RemoveJournal(file_.Calls(), file_.Path(), error)) {
    return true;
  }
  if (failedAt) *failedAt = done;
  FileError failed;
  bool restored = true;
  for (auto it = journal.records.begin(); it != journal.records.end() && restored; ++it)
    restored = file_.WriteRaw(Offset(it->first), it->second.data(), it->second.size(), &failed);
  restored = restored && file_.Truncate(status.size, &failed) && file_.Sync(&failed);
  if (!restored) {
    // The journal stays: the next program that locks the file puts the
    // old records back.
    if (putBack) *putBack = failed.number != 0 ? failed : FileError{EIO, "failed"};
    return false;
  }
  // Left behind, it would only put back the same bytes again.
  RemoveJournal(file_.Calls(), file_.Path(), nullptr);
  return false;
}

bool RepairDataFile(const std::string& path, std::chrono::milliseconds wait, RepairReport& report,
                    FileError* error) {
  report = RepairReport{};
  const auto fail = [&](int number, std::string what) {
    if (error) *error = FileError{number, std::move(what)};
    return false;
  };
  RecordFile file;
  FileError why;
  if (std::string refusal; !MayNameDataFile(path, false, &refusal))
    return fail(kErrorNotDataFile, refusal);
  if (!file.Open(path, RecordFile::Mode::Existing, &why)) {
    return fail(why.number, path + ": " + why.description);
  }
  if (!CheckDataFileContent(file, &why)) return fail(why.number, why.description);
  FileLock lock(file, RecordFile::LockKind::Exclusive, wait, &why);
  if (!lock) {
    return fail(why.number, why.number == kErrorInUse
                                ? "The data file " + path + " is in use by another program"
                                : path + ": " + why.description);
  }
  RecordFile::Status status;
  if (!file.Stat(status, &why)) return fail(why.number, path + ": " + why.description);
  report.records = status.size / kRecordBytes;
  report.tailBytes = status.size % kRecordBytes;
  if (report.tailBytes == 0) return true;

  std::vector<std::uint8_t> tail(static_cast<std::size_t>(report.tailBytes));
  if (!file.ReadAt(report.records * kRecordBytes, tail.data(), tail.size(), &why)) {
    return fail(why.number, path + ": " + why.description);
  }
  report.tailPath = path + ".tail";
  RecordFile copy;
  // An empty tail (left by a repair that was stopped) holds nothing to keep.
  struct stat old {};
  const bool emptyTail =
      ::lstat(report.tailPath.c_str(), &old) == 0 && S_ISREG(old.st_mode) && old.st_size == 0;
  if (!copy.Open(report.tailPath,
                 emptyTail ? RecordFile::Mode::Existing : RecordFile::Mode::CreateNew, &why)) {
    if (why.number == EEXIST) {
      return fail(EEXIST, report.tailPath +
                              " is there already. Nothing was changed: move it away, then repair "
                              "again.");
    }
    return fail(why.number, report.tailPath + ": " + why.description + ". Nothing was changed.");
  }
  if (!copy.WriteRaw(0, tail.data(), tail.size(), &why) || !copy.Sync(&why)) {
    copy.Close();
    ::unlink(report.tailPath.c_str());
    return fail(why.number, report.tailPath + ": " + why.description + ". Nothing was changed.");
  }
  if (!file.Truncate(report.records * kRecordBytes, &why) || !file.Sync(&why)) {
    return fail(why.number, path + ": " + why.description + ". The bytes past record " +
                                std::to_string(report.records) + " are kept in " + report.tailPath +
                                ".");
  }
  return true;
}

}  // namespace zandorik
