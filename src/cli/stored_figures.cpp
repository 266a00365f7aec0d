#include "cli/stored_figures.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/subcommand.h"
#include "cost/calculations.h"
#include "model/numbers.h"
#include "program/output.h"
#include "store/cp1252.h"
#include "store/record_screen.h"
#include "store/record_view.h"

namespace zandorik {

int StoredFigures::Open(const std::string& path, std::span<const std::string> names, std::FILE* err,
                        std::string_view who, SystemCalls* calls) {
  const auto fail = [&](int status, const std::string& text) {
    std::fprintf(err, "%.*s: %s\n", static_cast<int>(who.size()), who.data(),
                 VisibleText(text).c_str());
    return status;
  };
  if (std::string why; !MayNameDataFile(path, false, &why)) return fail(kExitUsage, why);
  // Only regular files: a device or a FIFO would never end, or never open.
  struct stat there {};
  if (::stat(path.c_str(), &there) != 0)
    return fail(kExitUnreadable, path + ": " + std::strerror(errno));
  if (!S_ISREG(there.st_mode)) return fail(kExitUnreadable, path + " is not a data file");
  file_.SetSystemCalls(calls);
  FileError error;
  const auto unreadable = [&] {
    return fail(kExitUnreadable, error.number == kErrorNotDataFile || error.number == kErrorInUse
                                     ? error.description
                                     : path + ": " + error.description);
  };
  if (!file_.Open(path, false, &error)) return unreadable();
  lock_.reset(new FileLock(file_.Lock(RecordFile::LockKind::Shared, kLockWait, &error)));
  if (!*lock_) return unreadable();
  every_ = names.empty();
  if (every_) return kExitOk;
  std::vector<NameEntry> listed;
  if (!file_.ListNames(listed, &error))
    return fail(kExitUnreadable, path + ": " + error.description);
  bool unknown = false;
  for (const std::string& name : names) {
    const std::optional<std::string> stored = EncodeCp1252Exactly(FitName(name));
    std::int64_t record = 0;
    if (stored && EncodeCp1252(name).size() <= kNameLength) {
      for (const NameEntry& entry : listed) {
        if (std::string_view(entry.stored.data(), kNameLength) == *stored) {
          record = entry.record;
          break;
        }
      }
    }
    if (record == 0) {
      unknown = true;
      fail(kExitUsage,
           "no figure named \"" + name + "\" is stored in " + path + NameHint(name, listed));
    } else if (std::find(chosen_.begin(), chosen_.end(), record) == chosen_.end()) {
      chosen_.push_back(record);
    }
  }
  return unknown ? fail(kExitUsage, "nothing was written") : kExitOk;
}

bool StoredFigures::Each(const std::function<bool(const FigureRecord&)>& visit,
                         FileError* error) const {
  if (every_)
    return file_.EachFigure([&](std::int64_t, const FigureRecord& r) { return visit(r); }, error);
  FigureRecord record;
  for (const std::int64_t n : chosen_) {
    if (!file_.Read(n, record, error)) return false;
    if (!visit(record)) break;
  }
  return true;
}

std::optional<std::int32_t> FigurePoints(const FigureRecord& record) {
  CollectingSink sink;
  return CalculateFigure(RecordFigure(record), sink).points;
}

namespace {

std::string Trimmed(std::string_view name) {
  const std::size_t last = name.find_last_not_of(' ');
  return std::string(last == std::string_view::npos ? std::string_view()
                                                    : name.substr(0, last + 1));
}

}  // namespace

bool ReadStoredFigure(const std::string& path, const std::string& name, StoredFigure& figure,
                      int& status, std::string* why) {
  const auto fail = [&](int code, std::string text) {
    status = code;
    if (why) *why = std::move(text);
    return false;
  };
  DataFile file;
  FileError error;
  if (!file.Open(path, false, &error))
    return fail(kExitUnreadable, path + ": " + error.description);
  const FileLock lock = file.Lock(RecordFile::LockKind::Shared, kLockWait, &error);
  if (!lock) {
    return fail(kExitUnreadable, error.number == kErrorInUse
                                     ? "the data file " + path + " is in use by another program"
                                     : path + ": " + error.description);
  }
  std::vector<NameEntry> entries;
  if (!file.ListNames(entries, &error))
    return fail(kExitUnreadable, path + ": " + error.description);
  const std::string wanted = Trimmed(name);
  for (const NameEntry& entry : entries) {
    const std::string stored = Trimmed(DecodeCp1252({entry.stored.data(), entry.stored.size()}));
    if (stored != wanted) continue;
    FigureRecord record;
    if (!file.Read(entry.record, record, &error))
      return fail(kExitUnreadable, path + ": " + error.description);
    figure = StoredFigure{};
    if (std::string notice; !file.IsWhole(&notice)) figure.damage.push_back(notice);
    std::vector<std::string> damage;
    ShowRecordOnScreen(record, figure.screen, &damage);
    for (const std::string& d : damage)
      figure.damage.push_back(path + ": record " + std::to_string(entry.record) + ": " + d);
    figure.screen.name = stored;
    status = kExitOk;
    return true;
  }
  return fail(kExitUsage, path + " holds no figure named \"" + name + "\"");
}

std::string PointsAndTotal(std::optional<std::int32_t> points, double total) {
  return (points ? std::to_string(*points) + " points" : std::string("no points")) + " (total " +
         FormatGeneral(total) + ")";
}

}  // namespace zandorik
