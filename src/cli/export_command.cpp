// zandorik export: the stored figures of a data file as a figures document
// (docs/figure-format.md), to standard output or a file.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/command_line.h"
#include "cli/coster.h"
#include "cli/stored_figures.h"
#include "store/figure_text.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp = R"(Usage: zandorik export FILE.QMV [NAME...] [-o OUT.json]

Writes the figures stored in FILE.QMV as one JSON document, every figure in
record order, or only the figures named (exact stored names, in the order
given). Whatever a record holds is kept, damage included, so that
`zandorik import` brings every figure back byte for byte. The format is
described in docs/figure-format.md (installed in
/usr/share/doc/zandorik-dial/). Exporting twice gives identical files.

  -o, --output OUT.json  write to OUT.json instead of standard output; the
                         file is replaced only once the whole document is
                         written
  -h, --help             show this help
  --                     end of the options

The export waits up to 3 seconds for a window or another program that is
writing to the file, and keeps it from being written meanwhile.

Exit status:
  0  exported
  1  the data file cannot be read, or is in use by another program
  2  the command line is wrong, or a name is not stored (nothing is written)
  3  the data file is damaged: its whole records were exported
  4  the output could not be written
)";

constexpr OptionSpec kOptions[] = {{"output", 'o', true}};
constexpr std::size_t kChunk = 1 << 20;  // bytes of text handed on at a time

// The output: standard output, or a temporary file beside OUT that takes
// its name only once it is whole.
class Destination {
 public:
  Destination(std::FILE* out, std::string path) : file_(out), path_(std::move(path)) {}
  ~Destination() {
    if (!temporary_.empty()) {
      if (file_) std::fclose(file_);
      ::unlink(temporary_.c_str());
    }
  }

  bool Open(std::string* why) {
    if (path_.empty()) return true;
    temporary_ = path_ + ".XXXXXX";
    const int fd = ::mkstemp(temporary_.data());
    if (fd < 0) {
      temporary_.clear();
      *why = path_ + ": " + std::strerror(errno);
      return false;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    file_ = ::fdopen(fd, "wb");
    return true;
  }
  bool Put(std::string& text) {
    const bool ok = std::fwrite(text.data(), 1, text.size(), file_) == text.size();
    text.clear();
    return ok;
  }
  // Flushes, and gives a file its name.
  bool Finish(std::string* why) {
    if (temporary_.empty()) {
      if (std::fflush(file_) == 0) return true;
      *why = std::strerror(errno);
      return false;
    }
    const bool written = std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    const int number = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed || ::rename(temporary_.c_str(), path_.c_str()) != 0) {
      *why = path_ + ": " + std::strerror(written && closed ? errno : number);
      return false;
    }
    temporary_.clear();
    return true;
  }

 private:
  std::FILE* file_;
  std::string path_;
  std::string temporary_;
};

int Run(const CommandContext& context) {
  const std::vector<std::string>& operands = context.args.operands;
  const auto fail = [&](int status, const std::string& text) {
    std::fprintf(context.err, "zandorik export: %s\n", VisibleText(text).c_str());
    return status;
  };
  if (operands.empty()) return fail(kExitUsage, "name the data file to export");
  const std::string& path = operands.front();
  const std::string output = context.args.Value("output");
  if (output.empty() && context.args.Has("output"))
    return fail(kExitUsage, "--output needs a file name");

  StoredFigures figures;
  if (const int opened = figures.Open(path, {operands.begin() + 1, operands.end()}, context.err,
                                      "zandorik export");
      opened != kExitOk) {
    return opened;
  }

  Destination destination(context.out, output);
  std::string why;
  if (!destination.Open(&why)) return fail(kExitWriteFailed, why);
  std::string text;
  text.reserve(kChunk + 8192);
  FigureTextWriter writer(text);
  writer.Begin();
  bool written = true;
  const auto write = [&](const FigureRecord& record) {
    writer.Figure(record, FigurePoints(record));
    if (text.size() >= kChunk) written = destination.Put(text);
    return written;
  };
  // A chunk of records at a time: memory stays flat.
  FileError error;
  if (!figures.Each(write, &error) && written)
    return fail(kExitUnreadable, path + ": " + error.description);
  if (!written) {
    return fail(kExitWriteFailed, "cannot write the output: " + std::string(std::strerror(errno)));
  }
  writer.End();
  if (!destination.Put(text) || !destination.Finish(&why)) {
    return fail(kExitWriteFailed,
                "cannot write the output: " + (why.empty() ? std::strerror(errno) : why));
  }
  if (std::string damage; !figures.File().IsWhole(&damage)) {
    fail(kExitDamaged, damage);
    return kExitDamaged;
  }
  return kExitOk;
}

}  // namespace

extern const Subcommand kExportCommand = {"export", "write stored figures as a JSON document",
                                          kHelp, kOptions, Run};

}  // namespace zandorik
