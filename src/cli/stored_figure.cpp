#include "cli/stored_figure.h"

#include "cli/subcommand.h"
#include "model/numbers.h"
#include "store/cp1252.h"
#include "store/data_file.h"
#include "store/record_screen.h"

namespace zandorik {
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
