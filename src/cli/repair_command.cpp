// zandorik repair: a data file whose length is no whole number of records
// is cut back to its whole records, the bytes past them kept beside it.
#include "cli/subcommand.h"
#include "store/data_file.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp = R"(Usage: zandorik repair [--] FILE.QMV

Mends a data file whose length is no whole number of 486-byte records (a
write cut short, a copy that stopped part way): the bytes past the last
whole record are copied to FILE.QMV.tail beside it and flushed to the disk,
then the data file is cut back to its whole records. No figure is lost:
every whole record stays as it is. When FILE.QMV.tail exists already and
is not empty, nothing is changed. A file of whole records is left as it is.

The repair waits up to 3 seconds for a window or another program that
is using the file.

Exit status:
  0  repaired, or nothing needed repair
  1  the data file cannot be read, or is in use by another program
  2  the command line is wrong
  4  FILE.QMV.tail exists already, or a write failed (what the message
     says was done is done; else the data file is as it was)
)";

int Run(const CommandContext& context) {
  const std::vector<std::string>& operands = context.args.operands;
  if (operands.size() != 1) {
    std::fputs(operands.empty() ? "zandorik repair: name the data file to repair\n"
                                : "zandorik repair: repairs one data file at a time\n",
               context.err);
    return kExitUsage;
  }
  const std::string& path = operands.front();
  RepairReport report;
  FileError error;
  if (!RepairDataFile(path, kLockWait, report, &error)) {
    std::fprintf(context.err, "zandorik repair: %s\n", error.description.c_str());
    if (path == "-") return kExitUsage;
    const bool wrote = error.number == EEXIST || !report.tailPath.empty();
    return wrote ? kExitWriteFailed : kExitUnreadable;
  }
  std::string done;
  if (report.tailBytes == 0) {
    std::fprintf(context.out, "%s holds %lld whole records: nothing to repair.\n", path.c_str(),
                 static_cast<long long>(report.records));
  } else {
    std::fprintf(context.out,
                 "Copied the %lld bytes past record %lld to %s.\n"
                 "Cut %s back to %lld whole records.\n",
                 static_cast<long long>(report.tailBytes), static_cast<long long>(report.records),
                 report.tailPath.c_str(), path.c_str(), static_cast<long long>(report.records));
  }
  if (report.tailBytes != 0) {
    done = "the data file was repaired all the same (its tail is in " + report.tailPath + ")";
  }
  return FinishOutput(context.out, context.err, "zandorik repair", kExitOk, done);
}

}  // namespace

extern const Subcommand kRepairCommand = {"repair", "mend a data file cut short", kHelp, {}, Run};

}  // namespace zandorik
