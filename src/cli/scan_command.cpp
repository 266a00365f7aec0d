// zandorik scan: the figure codes of scanned or photographed dial sheets,
// found with zbar in PNG and JPEG images, read with Qt's image readers.
#include <sys/stat.h>

#include <QImageReader>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/drawing_commands.h"
#include "cli/stored_figures.h"
#include "cli/subcommand.h"
#include "cli/zandorik.h"
#include "program/output.h"
#include "share/qr_scanner.h"
#include "share/share_code.h"
#include "store/figure_text.h"

namespace zandorik {
namespace {

constexpr std::string_view kHelp =
    R"(Usage: zandorik scan IMAGE... [-o FILE.QMV [--dry-run] | --json]

Finds the figure codes (QR codes of share codes, as dial sheets print
them) in PNG or JPEG images: scans or photos of sheets. Each image's count
of codes is said on standard error; a code found twice counts once. Then:

  (nothing)              print each figure's name, a tab and its code, as
                         `zandorik code` does
  -o, --output FILE.QMV  store the figures in FILE.QMV as
                         `zandorik import FILE.QMV --code` does: all or
                         nothing, under the file's lock
  --dry-run              with -o: say what would be stored, write nothing
  --json                 print the figures as a JSON figures document
  -h, --help             show this help
  --                     end of the options

Exit status:
  0  done
  1  an image cannot be read; or FILE.QMV cannot be read or is in use
  2  the command line is wrong, no figure code was found, or a code is
     damaged or names a figure twice: nothing was stored
  3  FILE.QMV is damaged: nothing was stored
  4  the output or a write to FILE.QMV failed
)";

constexpr OptionSpec kOptions[] = {
    {"output", 'o', true}, {"json", 0, false}, {"dry-run", 0, false}};

// The QR codes' texts of an image; else false, with why.
bool ScanImage(const std::string& path, std::vector<std::string>& texts, std::string* why) {
  struct stat there {};
  if (::stat(path.c_str(), &there) != 0) {
    *why = path + ": " + std::strerror(errno);
    return false;
  }
  QImageReader reader(QString::fromLocal8Bit(path.c_str()));
  QImage image = reader.read();
  if (image.isNull()) {
    *why = path + ": cannot be read as an image (" + reader.errorString().toStdString() + ")";
    return false;
  }
  image.convertTo(QImage::Format_Grayscale8);
  const auto width = static_cast<std::size_t>(image.width());
  std::vector<std::uint8_t> grey(width * static_cast<std::size_t>(image.height()));
  for (int y = 0; y < image.height(); ++y)
    std::copy_n(image.constScanLine(y), width, grey.begin() + static_cast<long>(width) * y);
  texts = FindQrTexts(grey, image.width(), image.height());
  return true;
}

std::string Count(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "code N" in a problem, followed by the image the code came from.
std::string WithSources(std::string problem, const std::vector<std::string>& sources) {
  std::string out;
  for (std::size_t at = 0; at < problem.size();) {
    const std::size_t found = problem.find("code ", at);
    if (found == std::string::npos) {
      out += problem.substr(at);
      break;
    }
    std::size_t end = found + 5;
    while (end < problem.size() && problem[end] >= '0' && problem[end] <= '9')
      ++end;
    out += problem.substr(at, end - at);
    if (end > found + 5) {
      const std::size_t n = std::stoul(problem.substr(found + 5, end - found - 5));
      if (n >= 1 && n <= sources.size()) out += " (from " + sources[n - 1] + ")";
    }
    at = end;
  }
  return out;
}

int Run(const CommandContext& context) {
  const std::vector<std::string>& images = context.args.operands;
  const auto say = [&](const std::string& text) {
    std::fprintf(context.err, "zandorik scan: %s\n", VisibleText(text).c_str());
  };
  const auto fail = [&](int status, const std::string& text) {
    say(text);
    return status;
  };
  const std::string output = context.args.Value("output");
  const bool json = context.args.Has("json");
  if (images.empty()) return fail(kExitUsage, "name the images to scan");
  if (context.args.Has("output") && output.empty())
    return fail(kExitUsage, "--output needs a file name");
  if (json && !output.empty()) return fail(kExitUsage, "takes -o or --json, not both");
  if (context.args.Has("dry-run") && output.empty())
    return fail(kExitUsage, "--dry-run goes with -o");

  std::vector<std::string> codes;  // each once, in the order found
  bool unreadable = false;
  std::vector<std::string> sources;  // the image of each code
  for (const std::string& path : images) {
    std::vector<std::string> texts;
    std::string why;
    if (!ScanImage(path, texts, &why)) {
      unreadable = true;
      say(why);
      continue;
    }
    std::vector<std::string> here;
    std::size_t others = 0;
    for (const std::string& text : texts) {
      if (!LooksLikeShareCode(text)) {
        ++others;
      } else if (std::find(here.begin(), here.end(), text) == here.end()) {
        here.push_back(text);
        if (std::find(codes.begin(), codes.end(), text) == codes.end()) {
          codes.push_back(text);
          sources.push_back(path);
        }
      }
    }
    say(path + ": " + Count(here.size(), "figure code", "figure codes") +
        (others > 0 ? " (and " + Count(others, "other QR code", "other QR codes") + ", left alone)"
                    : ""));
  }
  if (unreadable) return fail(kExitUnreadable, "nothing was stored");
  if (codes.empty()) return fail(kExitUsage, "no figure code was found; nothing was stored");

  const FigureText figures = ReadFigureCodes(codes);
  if (!figures.problems.empty()) {
    for (const std::string& problem : figures.problems)
      say(WithSources(problem, sources));
    if (output.empty()) return fail(kExitUsage, "nothing was written");
    struct stat there {};
    return fail(kExitUsage, ::stat(output.c_str(), &there) == 0
                                ? "nothing was stored; the data file is as it was"
                                : "nothing was stored, and no data file was made");
  }
  if (!output.empty()) {
    std::vector<std::string> args = {"import", "--code"};
    if (context.args.Has("dry-run")) args.push_back("--dry-run");
    args.insert(args.end(), {"--", output});
    args.insert(args.end(), codes.begin(), codes.end());
    return RunZandorik(args, context.out, context.err, context.in);
  }
  std::string text;
  if (json) {
    FigureTextWriter writer(text);
    writer.Begin();
    for (const FigureRecord& figure : figures.figures)
      writer.Figure(figure, FigurePoints(figure));
    writer.End();
  } else {
    for (std::size_t i = 0; i < codes.size(); ++i)
      text += VisibleText(ShownName(figures.figures[i])) + "\t" + codes[i] + "\n";
  }
  std::fwrite(text.data(), 1, text.size(), context.out);
  return FinishOutput(context.out, context.err, "zandorik scan", kExitOk);
}

}  // namespace

extern const Subcommand kScanCommand = {"scan", kScanSummary, kHelp, kOptions, Run};

}  // namespace zandorik
