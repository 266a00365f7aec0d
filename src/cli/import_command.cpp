// zandorik import: stores the figures of a figures document in a data
// file, as "Save Record" would store each, all or nothing.
#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "cli/subcommand.h"
#include "program/output.h"
#include "share/share_code.h"
#include "store/cp1252.h"
#include "store/data_file.h"
#include "store/figure_text.h"
#include "store/journal.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp = R"(Usage: zandorik import FILE.QMV [FIGURES.json | -] [--dry-run]
       zandorik import FILE.QMV --code CODE... [--dry-run]

Stores every figure of a JSON figures document (docs/figure-format.md; as
`zandorik export` writes it) in the data file FILE.QMV, read from
FIGURES.json or, without it or for "-", from standard input. Each figure
goes where "Save Record" would put it: over the figure of exactly that
name, else into the last freed record, else at the end. A missing FILE.QMV
is created (never under a name ending in .json, .pdf, .svg or .png), and
removed again when nothing could be stored in it.

All or nothing: every figure is checked before anything is written, and
every problem is listed with where it is in the document. A figure a
record cannot hold is refused: a number outside -32768 to 32767, a name
longer than 30 characters or with a character outside Windows-1252, a name
given twice. The records are flushed to the disk once, at the end; when a
write fails, every record already written is put back. Killed, stopped by
Ctrl-C or cut off by a power loss, the import is undone too: the old
records wait in FILE.QMV.journal until the next program locks the file.

The data file is locked from start to end: a window or another program
that uses it waits, and the import waits up to 3 seconds for them.

  --code      take the figures from share codes (`zandorik code` prints
              them) instead of a document; a code that is mistyped or
              is no figure code is refused, and nothing is written
  --dry-run   check the figures and say which would be added, which
              replaced and which are unchanged; write nothing
  -h, --help  show this help
  --          end of the options

Exit status:
  0  stored (or, with --dry-run, every figure could be stored)
  1  the data file or FIGURES.json cannot be read, the data file is not a
     data file, or it is in use by another program
  2  the command line, the document or a code is wrong: nothing was
     written
  3  the data file is damaged: nothing was written
  4  a write to the data file failed: what was written was put back; or
     the report could not be written (the message says what was stored)
)";

constexpr OptionSpec kOptions[] = {{"dry-run", 0, false}, {"code", 0, false}};

// The whole document in memory: a regular file mapped, anything else
// (a pipe, a terminal) read into a buffer that grows without copying.
class InputText {
 public:
  InputText() = default;
  InputText(const InputText&) = delete;
  InputText& operator=(const InputText&) = delete;
  ~InputText() {
    if (mapped_) ::munmap(data_, size_);
    if (!mapped_) std::free(data_);
  }

  bool Read(std::FILE* in) {
    struct stat st {};
    if (::fstat(::fileno(in), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
      void* map = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ,
                         MAP_PRIVATE | MAP_POPULATE, ::fileno(in), 0);
      if (map != MAP_FAILED) {
        data_ = static_cast<char*>(map);
        size_ = static_cast<std::size_t>(st.st_size);
        mapped_ = true;
        return true;
      }
    }
    std::size_t capacity = 0;
    for (;;) {
      if (capacity - size_ < kPiece) {
        capacity = std::max(2 * capacity, size_ + kPiece);
        char* grown = static_cast<char*>(std::realloc(data_, capacity));
        if (!grown) {
          errno = ENOMEM;
          return false;
        }
        data_ = grown;
      }
      const std::size_t got = std::fread(data_ + size_, 1, capacity - size_, in);
      size_ += got;
      if (got == 0) return !std::ferror(in);
    }
  }
  std::string_view Text() const { return {data_, size_}; }

 private:
  static constexpr std::size_t kPiece = 1 << 20;
  char* data_ = nullptr;
  std::size_t size_ = 0;
  bool mapped_ = false;
};

std::string Count(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

int Run(const CommandContext& context) {
  const std::vector<std::string>& operands = context.args.operands;
  const bool dryRun = context.args.Has("dry-run");
  const bool fromCodes = context.args.Has("code");
  const auto say = [&](const std::string& text) {
    std::fprintf(context.err, "zandorik import: %s\n", VisibleText(text).c_str());
  };
  const auto fail = [&](int status, const std::string& text) {
    say(text);
    return status;
  };
  if (operands.empty() || (!fromCodes && operands.size() > 2)) {
    return fail(kExitUsage, operands.empty() ? "name the data file to import into"
                                             : "takes one data file and one document");
  }
  if (fromCodes && operands.size() == 1) return fail(kExitUsage, "--code needs the codes");
  const std::string& path = operands[0];
  const std::string input = operands.size() == 2 ? operands[1] : "-";
  struct stat there {};
  const bool found = ::stat(path.c_str(), &there) == 0;
  if (!found && errno != ENOENT) return fail(kExitUnreadable, path + ": " + std::strerror(errno));
  const bool missing = !found;
  if (std::string why; !MayNameDataFile(path, missing, &why)) return fail(kExitUsage, why);

  // The data file is opened and locked first, and stays locked to the end.
  // A missing one is only created once the document is found sound.
  DataFile file;
  file.SetSystemCalls(context.calls);
  FileError error;
  std::unique_ptr<FileLock> lock;
  const auto lockFile = [&]() {
    lock.reset(new FileLock(
        file.Lock(dryRun ? RecordFile::LockKind::Shared : RecordFile::LockKind::Exclusive,
                  kLockWait, &error)));
    return static_cast<bool>(*lock);
  };
  const auto unreadable = [&](int status) {
    return fail(status, error.number == kErrorInUse
                            ? "the data file " + path + " is in use by another program"
                        : error.number == kErrorNotDataFile ? error.description
                                                            : path + ": " + error.description);
  };
  if (found) {
    if (!S_ISREG(there.st_mode)) return fail(kExitUnreadable, path + " is not a data file");
    if (!file.Open(path, false, &error)) return unreadable(kExitUnreadable);
    if (!lockFile()) return unreadable(kExitUnreadable);
  }

  FigureText document;
  if (fromCodes) {
    document = ReadFigureCodes(std::span(operands).subspan(1));
  } else {
    InputText text;
    if (input == "-") {
      if (!text.Read(context.in)) {
        return fail(kExitUnreadable,
                    "cannot read standard input: " + std::string(std::strerror(errno)));
      }
    } else {
      std::FILE* in = std::fopen(input.c_str(), "rb");
      if (!in) return fail(kExitUnreadable, input + ": " + std::strerror(errno));
      const bool read = text.Read(in);
      const int number = errno;
      std::fclose(in);
      if (!read) return fail(kExitUnreadable, input + ": " + std::strerror(number));
    }
    document = ReadFigureText(text.Text());
  }
  if (!document.problems.empty()) {
    for (const std::string& problem : document.problems)
      say(problem);
    if (document.unlisted > 0) {
      say("... and " +
          Count(static_cast<std::size_t>(document.unlisted), "more problem", "more problems"));
    }
    return fail(kExitUsage, "nothing was stored; the data file is as it was");
  }
  const std::vector<FigureRecord>& figures = document.figures;

  if (missing && !dryRun) {
    if (!file.Open(path, true, &error)) return unreadable(kExitWriteFailed);
    if (!lockFile()) return unreadable(kExitUnreadable);
  }
  std::vector<DataFile::Found> places;
  if (file.IsOpen()) {
    if (std::string refusal; !file.MayWrite(&refusal)) {
      return fail(file.IsWhole(nullptr) ? kExitWriteFailed : kExitDamaged, refusal);
    }
    std::vector<std::string> names;
    names.reserve(figures.size());
    for (const FigureRecord& figure : figures)
      names.push_back(EncodeCp1252(FitName(figure.Name)));
    if (!file.PlaceFigures(names, places, &error))
      return fail(kExitUnreadable, path + ": " + error.description);
  } else {
    for (std::size_t i = 0; i < figures.size(); ++i)
      places.push_back({static_cast<std::int64_t>(i) + 1, false});
  }
  // A figure stored already, byte for byte, is unchanged by its import.
  std::vector<bool> unchanged(figures.size(), false);
  std::size_t replaced = 0, same = 0;
  for (std::size_t i = 0; i < figures.size(); ++i) {
    if (!places[i].stored) continue;
    FigureRecord stored;
    if (!file.Read(places[i].number, stored, &error)) return unreadable(kExitUnreadable);
    unchanged[i] = EncodeRecord(stored) == EncodeRecord(figures[i]);
    ++(unchanged[i] ? same : replaced);
  }
  std::string counts = Count(replaced, "replaced", "replaced") + ", " +
                       Count(figures.size() - replaced - same, "added", "added");
  if (same > 0) counts += ", " + Count(same, "unchanged", "unchanged");

  if (dryRun) {
    for (std::size_t i = 0; i < figures.size(); ++i) {
      const std::string name = VisibleText(ShownName(figures[i]));
      std::fprintf(context.out, "%s record %lld: \"%s\"\n",
                   unchanged[i]       ? "unchanged"
                   : places[i].stored ? "would replace"
                                      : "would add as",
                   static_cast<long long>(places[i].number), name.c_str());
    }
    std::fprintf(context.out, "%s would be stored: %s\n",
                 Count(figures.size(), "figure", "figures").c_str(), counts.c_str());
    return FinishOutput(context.out, context.err, "zandorik import", kExitOk,
                        "nothing was written to the data file");
  }

  // Only what changes is written: when nothing does, the file is left
  // alone, its time of change too.
  if (same > 0 && same == figures.size()) {
    std::fprintf(
        context.out, "nothing to store: %s\n",
        same == 1
            ? "the figure is stored already, unchanged"
            : ("all " + std::to_string(same) + " figures are stored already, unchanged").c_str());
    return FinishOutput(context.out, context.err, "zandorik import", kExitOk,
                        "nothing was written to the data file");
  }
  std::vector<DataFile::Placed> writes;
  writes.reserve(figures.size());
  for (std::size_t i = 0; i < figures.size(); ++i)
    if (!unchanged[i]) writes.push_back({places[i].number, &figures[i]});
  FileError putBack;
  std::size_t failedAt = 0;
  if (!file.WriteAll(writes, &error, &putBack, &failedAt)) {
    const std::string what = failedAt < writes.size()
                                 ? "writing record " + std::to_string(writes[failedAt].number) +
                                       " (figure \"" + ShownName(*writes[failedAt].record) +
                                       "\") failed"
                                 : "flushing the records to the disk failed";
    if (putBack.number == 0) {
      // A data file made for the import, and left empty, goes again.
      if (missing && file.RemoveIfEmpty(nullptr)) {
        return fail(kExitWriteFailed, what + ": " + error.description +
                                          ". Nothing was stored, and no data file was made.");
      }
      return fail(kExitWriteFailed,
                  what + ": " + error.description +
                      ". Every record already written was put back: nothing was stored, and the "
                      "data file is as it was.");
    }
    std::string records;
    const std::size_t hurt = std::min(failedAt + 1, writes.size());
    for (std::size_t i = 0; i < hurt && i < 10; ++i)
      records += (i > 0 ? ", " : "") + std::to_string(writes[i].number);
    if (hurt > 10) records += " and " + std::to_string(hurt - 10) + " more";
    return fail(kExitWriteFailed, what + ": " + error.description +
                                      ". Putting back the records already written failed too (" +
                                      putBack.description + "): records " + records +
                                      " of the data file, and its length, may now be damaged; "
                                      "the next program to lock it puts them back from " +
                                      JournalPath(path) + ".");
  }
  std::fprintf(context.out, "%s stored: %s\n", Count(figures.size(), "figure", "figures").c_str(),
               counts.c_str());
  return FinishOutput(context.out, context.err, "zandorik import", kExitOk,
                      "the figures were stored all the same");
}

}  // namespace

extern const Subcommand kImportCommand = {
    "import", "store the figures of a JSON document in a data file", kHelp, kOptions, Run};

}  // namespace zandorik
